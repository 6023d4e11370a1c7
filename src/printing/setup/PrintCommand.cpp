#include "PrintCommand.h"

#include "TPrintPlan.h"
#include "TPrintPreview.h"
#include "TPrintPreviewForm.h"
#include "TPrintProgress.h"
#include "TPrintSetter.h"
#include "TPrintSetupForm.h"
#include "TPrintSetupState.h"
#include "TQROutput.h"
#include "TQRPrinter.h"
#include "TQuickRep.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

#include <QApplication>
#include <QFileInfo>

#include <memory>
#include <string>
#include <vector>

namespace {

// Where the parts' pages are reported: part of parts.
struct TPartProgress {
    TPrintProgress* Progress;
    int Part;
    int Parts;
};

// A part's form takes the confirmed dialogs' settings, its file named after the part.
void TakeSettings(TnewPrinterForm& form, const TQRPrinterSettings& holder, int singleLog)
{
    TQRPrinterSettings& settings = form.QuickRep1.PrinterSettings();
    CopyPrinterSettings(holder, settings);
    settings.OutputFileName = PartFileName(holder.OutputFileName, singleLog);
}

void PrintPart(TPrintPlan& plan, TPrintSetupState& state, const TQRPrinterSettings& holder,
               const TPrintOffer& allowed, const TPrintPart& part, const TPartProgress& progress,
               const std::string& log, bool directPdf)
{
    TQRPrinter printer(QPrinter::HighResolution);
    TQROutput output(printer, directPdf);
    // The PDF entry may be given the log's own name: it is never written over.
    output.KeepFile(log);
    try {
        plan.PrintPart(output, part, [&](TnewPrinterForm& form) {
            TPrintProgress::Follow(progress.Progress, form.QuickRep1, progress.Part,
                                   progress.Parts);
            TakeSettings(form, holder, part.SingleLog());
            // Only applies printer, bin and orientation; a print dialog it may show for copies
            // or a page range does not stop the part when cancelled.
            TPrintSetupForm::Application().Execute(form.Setter(), state, false, allowed.Singles,
                                                   allowed.Ratings, allowed.Matrix);
        });
    } catch (const EPrintCancelled&) {
        // The part begun is of no use: no job for the spooler, no file.
        output.Abort();
        throw;
    }
    output.Finish();
}

// The PDF entry's file is written directly, unless a font or text needs Qt's PDF output.
void PrintPart(TPrintPlan& plan, TPrintSetupState& state, const TQRPrinterSettings& holder,
               const TPrintOffer& allowed, const TPrintPart& part, const TPartProgress& progress,
               const std::string& log)
{
    TPrintPlan::DirectPdfElseQt(
        [&](bool direct) { PrintPart(plan, state, holder, allowed, part, progress, log, direct); });
}

// The parts' pages in "Seitenansicht", laid out as they print: on a printer like the one each
// part prints on, with the holder's settings and the bin and orientation the dialog chose. True
// when "Drucken" closed it.
bool PreviewParts(TPrintPlan& plan, const TQRPrinterSettings& holder, int bin,
                  std::uint8_t orientation)
{
    TQRPrinter layout(QPrinter::HighResolution);
    TPrintPreview preview(layout, plan.PreviewParts([&](TnewPrinterForm& form, int singleLog) {
        TakeSettings(form, holder, singleLog);
        form.Setter().SetBin(bin);
        form.Setter().SetOrientation(orientation);
    }));
    TPrintPreviewForm form(preview, QApplication::activeWindow());
    return form.Execute();
}

} // namespace

void CopyPrinterSettings(const TQRPrinterSettings& source, TQRPrinterSettings& destination)
{
    destination.Copies = source.Copies;
    destination.Duplex = source.Duplex;
    destination.FirstPage = source.FirstPage;
    destination.LastPage = source.LastPage;
    destination.Orientation = source.Orientation;
    destination.OutputBin = source.OutputBin;
    destination.PaperSize = source.PaperSize;
    destination.PrinterIndex = source.PrinterIndex;
    destination.Title = source.Title;
    destination.OutputFileName = source.OutputFileName;
}

QString PartFileName(const QString& fileName, int singleLogNumber)
{
    if (singleLogNumber <= 0 || fileName.isEmpty())
        return fileName;
    const QFileInfo info(fileName);
    const QString suffix = info.suffix();
    QString base = fileName;
    if (!suffix.isEmpty())
        base.chop(suffix.size() + 1);
    base += QStringLiteral("-%1").arg(singleLogNumber);
    return suffix.isEmpty() ? base : base + QLatin1Char('.') + suffix;
}

bool PrintStatisticsLog(const TReportSource& source, TPrintSetupState& state,
                        TPrintProgress* progress, TPrintStart start)
{
    TPrintSetupForm& setupForm = TPrintSetupForm::Application();
    const TPrintOffer allowed = TPrintPlan::Offer(source);

    TQRPrinterSettings holder;
    bool confirmed = false;
    bool preview = start == TPrintStart::Preview;
    int bin = TPrintSetter::kNoBin;
    std::uint8_t orientation = TPrintSetter::kNoOrientation;
    {
        TQRPrinter probePrinter(QPrinter::HighResolution);
        TQROutput probeOutput(probePrinter);
        const auto probe = std::make_unique<TnewPrinterForm>(source, probeOutput);
        confirmed = setupForm.Execute(probe->Setter(), state, !preview, allowed.Singles,
                                      allowed.Ratings, allowed.Matrix);
        preview = preview || setupForm.PreviewChosen;
        CopyPrinterSettings(probe->QuickRep1.PrinterSettings(), holder);
        bin = probe->Setter().Bin;
        orientation = probe->Setter().Orientation;
    }
    if (!confirmed)
        return false;

    TPrintPlan plan(source, state);
    const std::vector<TPrintPart> parts = plan.Parts();
    if (preview && (parts.empty() || !PreviewParts(plan, holder, bin, orientation)))
        return false;
    const int count = int(parts.size());
    int part = 0;
    try {
        for (const TPrintPart& each : parts)
            PrintPart(plan, state, holder, allowed, each, {progress, ++part, count},
                      source.Document().FileName);
    } catch (const EPrintCancelled&) {
        return false;
    }
    return true;
}
