#include "PrintCommand.h"

#include "Cp1252.h"
#include "TPrintProgress.h"
#include "TPrintSetter.h"
#include "TPrintSetupForm.h"
#include "TPrintSetupState.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TQuickRep.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

#include <QFileInfo>
#include <QPrinter>

#include <memory>

namespace {

struct TAllowances {
    bool Singles;
    bool Ratings;
    bool Matrix;
};

// Where the parts' pages are reported: part of parts.
struct TPartProgress {
    TPrintProgress* Progress;
    int Part;
    int Parts;
};

void PrintPart(const TReportSource& window, TPrintSetupState& state,
               const TQRPrinterSettings& holder, const TAllowances& allowed, int singleLogNumber,
               int fileNumber, const TPartProgress& progress, bool directPdf)
{
    const TMatchDocument& doc = window.Document();
    QPrinter printer(QPrinter::HighResolution);
    TQROutput output(printer, directPdf);
    // The PDF entry may be given the log's own name: it is never written over.
    output.KeepFile(doc.FileName);
    TnewPrinterForm form(window, output);
    TPrintProgress::Follow(progress.Progress, form.QuickRep1, progress.Part, progress.Parts);
    TQRPrinterSettings& settings = form.QuickRep1.PrinterSettings();
    CopyPrinterSettings(holder, settings);
    settings.OutputFileName = PartFileName(holder.OutputFileName, fileNumber);
    // Only applies printer, bin and orientation; a print dialog it may show for copies or a
    // page range does not stop the part when cancelled.
    TPrintSetupForm::Application().Execute(form.Setter(), state, false, allowed.Singles,
                                           allowed.Ratings, allowed.Matrix);
    try {
        form.PrintDocument(doc, state, singleLogNumber,
                           QString::fromStdString(Cp1252ToUtf8(doc.HeadText)),
                           window.SumPanelsEnabled);
    } catch (const EPrintCancelled&) {
        // The part begun is of no use: no job for the spooler, no file.
        output.Abort();
        throw;
    }
    output.Finish();
}

// The PDF entry's file is written directly, unless a font or text needs Qt's PDF output.
void PrintPart(const TReportSource& window, TPrintSetupState& state,
               const TQRPrinterSettings& holder, const TAllowances& allowed, int singleLogNumber,
               int fileNumber, const TPartProgress& progress)
{
    try {
        PrintPart(window, state, holder, allowed, singleLogNumber, fileNumber, progress, true);
    } catch (const EPdfUnsupported&) {
        PrintPart(window, state, holder, allowed, singleLogNumber, fileNumber, progress, false);
    }
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

bool PrintStatisticsLog(const TReportSource& window, TPrintSetupState& state,
                        TPrintProgress* progress)
{
    TPrintSetupForm& setupForm = TPrintSetupForm::Application();
    const int filesRows = window.FilesGrid().RowCount();
    const TAllowances allowed{filesRows > 5, window.RatingsPageVisible, window.FileCount > 1};

    TQRPrinterSettings holder;
    bool confirmed = false;
    {
        QPrinter probePrinter(QPrinter::HighResolution);
        TQROutput probeOutput(probePrinter);
        const auto probe = std::make_unique<TnewPrinterForm>(window, probeOutput);
        confirmed = setupForm.Execute(probe->Setter(), state, true, allowed.Singles,
                                      allowed.Ratings, allowed.Matrix);
        CopyPrinterSettings(probe->QuickRep1.PrinterSettings(), holder);
    }
    if (!confirmed)
        return false;

    const bool wholeLog = state.TitleAndTable || (state.Matrix && window.FileCount > 1) ||
                          (state.Ratings && window.RatingsPageVisible);
    const bool singles = state.Singles && filesRows > 5;
    const int parts = (wholeLog ? 1 : 0) + (singles ? window.FileCount : 0);
    int part = 0;
    try {
        if (wholeLog) {
            PrintPart(window, state, holder, allowed, window.Document().SingleNumber, 0,
                      {progress, ++part, parts});
        }
        if (singles) {
            for (int i = 0; i < window.FileCount; ++i)
                PrintPart(window, state, holder, allowed, i + 1, i + 1, {progress, ++part, parts});
        }
    } catch (const EPrintCancelled&) {
        return false;
    }
    return true;
}
