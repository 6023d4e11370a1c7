// The whole-log PDF of a generated 2,000-file log: pages, seconds, pages per second and peak
// memory. A plain program rather than a Google Benchmark: one run takes long enough to time.
#include "ReportFonts.h"
#include "Samples.h"
#include "TPrintSetupState.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

#include "Cp1252.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPdfWriter>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::string PeakMemory()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return line.substr(6);
    }
    return "?";
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QGuiApplication app(argc, argv);
    RegisterReportFonts();
    const int files = argc > 1 ? std::stoi(argv[1]) : 2000;
    const QString path =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("bench-report.pdf");
    // "table": the files table only; "qt": through Qt's PDF output instead of the direct one.
    bool tableOnly = false;
    bool throughQt = false;
    for (int i = 3; i < argc; ++i) {
        tableOnly = tableOnly || std::string(argv[i]) == "table";
        throughQt = throughQt || std::string(argv[i]) == "qt";
    }

    const TMatchDocument doc = GeneratedLog(files, 1);
    const TReportSource window(doc);
    TPrintSetupState state(1);
    state.Matrix = !tableOnly;
    state.Ratings = !tableOnly;
    QElapsedTimer timer;
    timer.start();
    int pages = 0;
    {
        QPdfWriter writer(path);
        TQRPdfDocument pdf(path);
        auto output = throughQt ? std::make_unique<TQROutput>(writer)
                                : std::make_unique<TQROutput>(writer, pdf);
        TnewPrinterForm form(window, *output);
        form.PrintDocument(doc, state, 0, QString::fromStdString(Cp1252ToUtf8(doc.HeadText)),
                           window.SumPanelsEnabled);
        pages = form.QuickRep1.PageNumber();
        output->Finish();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%s: files %d, pages %d, %.2f s, %.1f pages/s, peak memory%s\n",
                throughQt ? "Qt PDF output" : "direct PDF output", files, pages, seconds,
                pages / seconds, PeakMemory().c_str());
    return 0;
}
