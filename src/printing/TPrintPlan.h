#pragma once

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
};

// What one print command prints, in order: the whole log when any of its contents is chosen
// (the files table, the matrix of a log of two files or more, the ratings when the window shows
// them), then one single log per input file when single logs are chosen and the log has two
// files or more. Each part prints on a fresh report form; the forms of a plan share their
// measures, which are the same for every part, so that single logs cost time in proportion to
// the files.
//
// The source and the state must outlive the plan.
class TPrintPlan {
public:
    TPrintPlan(const TReportSource& source, const TPrintSetupState& state);
    TPrintPlan(const TPrintPlan&) = delete;
    TPrintPlan& operator=(const TPrintPlan&) = delete;

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

private:
    const TReportSource& m_source;
    const TPrintSetupState& m_state;
    TReportMeasures m_measures;
};
