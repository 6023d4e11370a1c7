#include "PdfExport.h"

#include "ExportCommand.h"
#include "TPrintPlan.h"
#include "TPrintSetupState.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TReportSource.h"

#include <QFile>
#include <QPdfWriter>

#include <ostream>
#include <vector>

int ExportPdf(const ExportCommand& command, const TMatchDocument& doc, std::ostream& err)
{
    const TReportSource window(doc);
    TPrintSetupState state(1);
    state.TitleAndTable = !command.NoTable;
    state.Matrix = !command.NoMatrix;
    state.Ratings = !command.NoRatings;
    state.Singles = command.Singles;
    TPrintPlan plan(window, state);
    const std::vector<TPrintPart> parts = plan.Parts();
    if (parts.empty()) {
        err << "Die Auswahl enth\xC3\xA4lt nichts, was von diesem Protokoll zu drucken "
               "w\xC3\xA4re.\n";
        return 2;
    }

    const QString path = QString::fromStdString(command.PdfPath);
    auto print = [&](TQROutput& output) {
        // The file holds every part: it is not titled after the first.
        output.SetTitle(plan.Title());
        for (const TPrintPart& part : parts)
            plan.PrintPart(output, part);
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
        err << e.what() << '\n';
        return 1;
    }
    return 0;
}
