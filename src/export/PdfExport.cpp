#include "PdfExport.h"

#include "Cp1252.h"
#include "Errors.h"
#include "ExportCommand.h"
#include "TPrintSetupState.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

#include <QFile>
#include <QPdfWriter>

#include <ostream>

namespace {

void PrintPart(const TReportSource& window, TQROutput& output, const TPrintSetupState& state,
               int singleLogNumber)
{
    const TMatchDocument& doc = window.Document();
    TnewPrinterForm form(window, output);
    form.PrintDocument(doc, state, singleLogNumber,
                       QString::fromStdString(Cp1252ToUtf8(doc.HeadText)), window.SumPanelsEnabled);
}

} // namespace

int ExportPdf(const ExportCommand& command, const TMatchDocument& doc, std::ostream& err)
{
    const TReportSource window(doc);
    TPrintSetupState state(1);
    state.TitleAndTable = !command.NoTable;
    state.Matrix = !command.NoMatrix;
    state.Ratings = !command.NoRatings;
    state.Singles = command.Singles;

    const bool wholeLog = state.TitleAndTable || (state.Matrix && window.FileCount > 1) ||
                          (state.Ratings && window.RatingsPageVisible);
    const bool singles = state.Singles && window.FilesGrid().RowCount() > 5;
    if (!wholeLog && !singles) {
        err << "Die Auswahl enth\xC3\xA4lt nichts, was von diesem Protokoll zu drucken "
               "w\xC3\xA4re.\n";
        return 2;
    }

    const QString path = QString::fromStdString(command.PdfPath);
    auto print = [&](TQROutput& output) {
        if (wholeLog)
            PrintPart(window, output, state, doc.SingleNumber);
        if (singles) {
            for (int i = 0; i < window.FileCount; ++i)
                PrintPart(window, output, state, i + 1);
        }
        output.Finish();
    };
    try {
        // The PDF is written directly; the writer only lays out. A font or text the direct
        // output cannot take goes through Qt's PDF output instead, which writes the same pages.
        bool direct = true;
        try {
            QPdfWriter layout(path);
            TQRPdfDocument pdf(path);
            TQROutput output(layout, pdf);
            print(output);
        } catch (const EPdfUnsupported&) {
            direct = false;
        }
        if (!direct) {
            QPdfWriter writer(path);
            TQROutput output(writer);
            print(output);
        }
    } catch (const std::exception& e) {
        QFile::remove(path);
        err << ErrorMessage(e) << '\n';
        return 1;
    }
    return 0;
}
