// The PDF of a generated 2,000-file log, the whole log or its single logs, as the exporter
// prints it: pages, seconds, CPU seconds, pages per second and peak memory. A plain program
// rather than a Google Benchmark: one run takes long enough to time, and peak memory needs a
// process of its own. Single logs cost time in proportion to the files: compare 1,000 with 2,000.
//
//   bench_report [FILES] [OUT.pdf] [table] [singles] [qt | viewer]
//
// "table" prints the files table only, "singles" the single logs instead of the whole log; "qt"
// goes through Qt's PDF output instead of the direct one, "viewer" through the viewer's print
// command onto its PDF entry (the dialogs answered by the program), a file per part.
#include "PrintCommand.h"
#include "ReportFonts.h"
#include "Samples.h"
#include "TPrintPlan.h"
#include "TPrintSetupForm.h"
#include "TPrintSetupState.h"
#include "TPrinterDriver.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TQuickRep.h"
#include "TReportSource.h"

#include <QApplication>
#include <QByteArray>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPdfWriter>
#include <QRegularExpression>

#include <sys/resource.h>

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

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Choices {
    bool TableOnly = false;
    bool Singles = false;
};

// Prints into one PDF file as the exporter does; returns the pages.
int PrintIntoOneFile(const TReportSource& source, const Choices& choices, const QString& path,
                     bool throughQt)
{
    TPrintSetupState state(1);
    state.TitleAndTable = !choices.Singles;
    state.Matrix = !choices.TableOnly && !choices.Singles;
    state.Ratings = !choices.TableOnly && !choices.Singles;
    state.Singles = choices.Singles;
    int pages = 0;
    QPdfWriter writer(path);
    TQRPdfDocument pdf(path);
    auto output =
        throughQt ? std::make_unique<TQROutput>(writer) : std::make_unique<TQROutput>(writer, pdf);
    TPrintPlan plan(source, state);
    output->SetTitle(plan.Title());
    for (const TPrintPart& part : plan.Parts())
        pages += plan.PrintPart(*output, part);
    output->Finish();
    return pages;
}

// Prints through the viewer's print command onto the PDF entry, the setup dialog confirmed
// with the choices; the whole log goes to the file, single log n beside it with "-n".
void PrintThroughTheViewer(const TReportSource& source, const Choices& choices, const QString& path)
{
    TQuickRep::PrintDialog = [&path](TQuickRep& report) {
        TQRPrinterSettings& settings = report.PrinterSettings();
        settings.PrinterIndex = static_cast<int>(
            TPrinterDriver::PrinterNames().indexOf(TPrinterDriver::PdfPrinterName()));
        settings.OutputFileName = path;
        return true;
    };
    TPrintSetupForm::ShowModal = [&choices](TPrintSetupForm& form) {
        form.TableCheckBox->setChecked(!choices.Singles);
        form.MatrixCheckBox->setChecked(!choices.TableOnly && !choices.Singles);
        form.RatingsCheckBox->setChecked(!choices.TableOnly && !choices.Singles);
        form.SinglesCheckBox->setChecked(choices.Singles);
        form.OkButtonClick();
        return form.result();
    };
    TPrintSetupState state(1);
    PrintStatisticsLog(source, state);
    TQuickRep::PrintDialog = nullptr;
    TPrintSetupForm::ShowModal = nullptr;
    // The application's dialog goes before the application does.
    TPrintSetupForm::Release();
}

// The pages of the files the viewer's command wrote, by their page trees.
int PagesWritten(const TReportSource& source, const Choices& choices, const QString& path)
{
    int pages = 0;
    const int first = choices.Singles ? 1 : 0;
    const int last = choices.Singles ? source.Files().FileCount : 0;
    static const QRegularExpression count(QStringLiteral("/Type /Pages .*/Count (\\d+)"));
    for (int i = first; i <= last; ++i) {
        QFile file(PartFileName(path, i));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const auto match = count.match(QString::fromLatin1(file.readAll()));
        pages += match.hasMatch() ? match.captured(1).toInt() : 0;
    }
    return pages;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    RegisterReportFonts();
    const int files = argc > 1 ? std::stoi(argv[1]) : 2000;
    const QString path =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("bench-report.pdf");
    Choices choices;
    bool throughQt = false;
    bool viewer = false;
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        choices.TableOnly = choices.TableOnly || option == "table";
        choices.Singles = choices.Singles || option == "singles";
        throughQt = throughQt || option == "qt";
        viewer = viewer || option == "viewer";
    }

    const TMatchDocument doc = GeneratedLog(files, 1);
    const TReportSource source(doc);
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = CpuSeconds();
    int pages = 0;
    if (viewer)
        PrintThroughTheViewer(source, choices, path);
    else
        pages = PrintIntoOneFile(source, choices, path, throughQt);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpuStart;
    if (viewer)
        pages = PagesWritten(source, choices, path);
    const char* way = viewer      ? "viewer's print command"
                      : throughQt ? "Qt PDF output"
                                  : "direct PDF output";
    std::printf("%s, %s: files %d, pages %d, %.2f s, CPU %.2f s, %.1f pages/s, peak memory%s\n",
                way, choices.Singles ? "single logs" : "whole log", files, pages, seconds, cpu,
                pages / seconds, PeakMemory().c_str());
    return 0;
}
