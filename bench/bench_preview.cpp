// The print preview of a generated log (2,000 files unless given): the whole log and one single
// log per file, laid out on a 1200 dpi PDF printer as the viewer's PDF entry lays out. Prints
// the time to the first page's image, the memory then, the time to count every page, pages
// far into the report, and the memory at the end. A plain program: one run is long enough to
// time, and the figures are what the preview's user waits for.
//
//   bench_preview [FILES]
#include "Samples.h"
#include "TPrintPlan.h"
#include "TPrintPreview.h"
#include "TPrintSetupState.h"
#include "TPrinterDriver.h"
#include "TQRPrinter.h"
#include "TQRPrinterSettings.h"
#include "TQuickRep.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    }
    return -1;
}

void Memory(const char* when)
{
    std::printf("  memory %s: %ld MB now, %ld MB at most\n", when, StatusKb("VmRSS:") / 1024,
                StatusKb("VmHWM:") / 1024);
}

double Ms(QElapsedTimer& timer)
{
    const double ms = timer.nsecsElapsed() / 1e6;
    timer.restart();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
    const TMatchDocument doc = GeneratedLog(files, 1);
    const TReportSource source(doc);
    TPrintSetupState state(1);
    state.Singles = true;
    QTemporaryDir dir;
    // The PDF entry of the printer list: never printed on here, it only lays out.
    const int pdfEntry =
        int(TPrinterDriver::PrinterNames().indexOf(TPrinterDriver::PdfPrinterName()));
    const QString file = dir.filePath(QStringLiteral("preview.pdf"));
    std::printf("log: %d files, whole log and %d single logs\n", files, files);
    Memory("before the preview");

    QElapsedTimer timer;
    timer.start();
    TPrintPlan plan(source, state);
    TQRPrinter layout(QPrinter::HighResolution);
    TPrintPreview preview(layout, plan.PreviewParts([&](TnewPrinterForm& form, int) {
        form.QuickRep1.PrinterSettings().PrinterIndex = pdfEntry;
        form.QuickRep1.PrinterSettings().OutputFileName = file;
    }));
    // A page at 100 % on a 96 dpi screen.
    const double perMm = 96 / 25.4;
    const QImage first = preview.PageImage(1, perMm);
    std::printf("first page (%dx%d pixels) shown after %.0f ms\n", first.width(), first.height(),
                Ms(timer));
    Memory("with the first page");

    const QImage second = preview.PageImage(2, perMm);
    std::printf("second page after %.0f ms more\n", Ms(timer));
    int slices = 0;
    while (!preview.CountMore(30))
        ++slices;
    std::printf("all %d pages counted in %.0f ms (%d slices of 30 ms), %zu bookmarks holding %zu "
                "control states, %zu reports built\n",
                preview.PageCount(), Ms(timer), slices + 1, preview.Bookmarks(),
                preview.BookmarkedControls(), preview.BuiltReports());
    Memory("when counted");

    const int pages = preview.PageCount();
    double worst = 0;
    double total = 0;
    int shown = 0;
    for (int page : {pages / 3, pages / 3 + 1, pages / 2, pages / 2 - 1, pages - 1, pages,
                     pages / 10, 3 * pages / 4}) {
        preview.PageImage(page, perMm);
        const double ms = Ms(timer);
        worst = std::max(worst, ms);
        total += ms;
        ++shown;
    }
    std::printf("pages far into the report: %.0f ms on average, %.0f ms at worst\n", total / shown,
                worst);
    Memory("at the end");
    return 0;
}
