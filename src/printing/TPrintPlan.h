#pragma once

#include "SectionLayout.h"
#include "TPrintPreview.h"
#include "TReportMeasures.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TPrintSetupState;
class TQROutput;
class TReportSource;
class TnewPrinterForm;

// One part of a print command: the whole log, or one single log.
struct TPrintPart {
    bool WholeLog = false;
    // The whole log prints with the document's own number: 0, or k for a loaded single log.
    int SingleLogNumber = 0;
    // The single log the command prints as this part, 0 for the whole log (also of a loaded
    // single log): names its file and its pages in a preview.
    int SingleLog() const { return WholeLog ? 0 : SingleLogNumber; }
};

// What a log offers to print, whatever is chosen: the matrix for two input files or more, the
// ratings when the window shows their page, single logs for two input files or more (a log of
// one file is its own single log).
struct TPrintOffer {
    bool Singles = false;
    bool Ratings = false;
    bool Matrix = false;
};

// What one print command prints, in order: the whole log when any of its contents is chosen
// (the files table, the matrix of a log of two files or more, the ratings when the window shows
// them), then one single log per input file when single logs are chosen and offered. Each part
// prints on a fresh report form; the forms of a plan share their measures, which are the same
// for every part, so that single logs cost time in proportion to the files.
//
// The source and the state must outlive the plan.
class TPrintPlan {
public:
    TPrintPlan(const TReportSource& source, const TPrintSetupState& state);
    TPrintPlan(const TPrintPlan&) = delete;
    TPrintPlan& operator=(const TPrintPlan&) = delete;

    static TPrintOffer Offer(const TReportSource& source);
    // Whether a part prints the section: the files table when chosen, and always in a single
    // log (singleLogNumber above 0); the matrix and the ratings when chosen and offered, and
    // only in the whole log.
    static bool PrintsSection(const TReportSource& source, const TPrintSetupState& state,
                              ReportSection section, int singleLogNumber);
    // Runs print with the PDF written directly (true); where a font or text needs Qt's PDF
    // output, runs it again through that (false), which writes the same pages. Whatever the
    // first run began is for print to discard: the second run's output replaces it.
    static void DirectPdfElseQt(const std::function<void(bool direct)>& print);

    bool WholeLog() const;
    bool Singles() const;
    // The parts in print order.
    std::vector<TPrintPart> Parts() const;
    // The title of a file that holds every part: the head text.
    QString Title() const;

    // Prints one part into the output on a fresh form and returns the pages it printed. prepare
    // sees the form before it prints, to apply printer settings.
    int PrintPart(TQROutput& output, const TPrintPart& part,
                  const std::function<void(TnewPrinterForm& form)>& prepare = {});
    // The form PrintPart prints, built and ready for its passes, for whoever generates its pages
    // otherwise (a preview); it lives at most as long as the plan.
    std::unique_ptr<TnewPrinterForm>
    BuildPart(TQROutput& output, const TPrintPart& part,
              const std::function<void(TnewPrinterForm& form)>& prepare = {});
    // The parts for a preview, named as it shows them, each built as BuildPart builds it;
    // prepare sees every form before it is built, with the part's single log (0 for the whole
    // log). The plan must outlive them.
    std::vector<TPreviewPart>
    PreviewParts(const std::function<void(TnewPrinterForm& form, int singleLog)>& prepare);

private:
    const TReportSource& m_source;
    const TPrintSetupState& m_state;
    TReportMeasures m_measures;
};
