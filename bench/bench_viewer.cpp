// Opens a log of 2,000 input files with an elimination matrix (4 million cells) in the main
// window and prints what it costs: loading, building the four pages, painting each page once,
// and the peak memory. With --reference it instead fills a QTableWidget with every cell of the
// same matrix, the way a grid holding one item per cell would. Last, "Alles kopieren" of the
// matrix: its time and the memory the clipboard's text takes.
//
//   bench_viewer [FILES] [--reference]
#include "MprWriter.h"
#include "QtText.h"
#include "Samples.h"
#include "TDocumentEditorForm.h"
#include "TGridCommands.h"
#include "TMatrixTable.h"
#include "TStringGrid.h"
#include "TempDir.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTabWidget>
#include <QTableWidget>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <malloc.h>

namespace {

// VmHWM of this process; ResetPeak starts it again from the present size, so the making of the
// benchmark log does not count.
long PeakMegabytes()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    long kb = -1;
    char line[256];
    while (status && std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
            break;
    }
    if (status)
        std::fclose(status);
    return kb / 1024;
}

void ResetPeak()
{
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

double Ms(QElapsedTimer& timer)
{
    const double ms = timer.nsecsElapsed() / 1e6;
    timer.restart();
    return ms;
}

void PaintPage(TDocumentEditorForm& form, QWidget* page)
{
    form.PageControl->setCurrentWidget(page);
    QApplication::processEvents();
    form.grab();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int files = 2000;
    bool reference = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reference") == 0)
            reference = true;
        else
            files = std::atoi(argv[i]);
    }
    TempDir dir;
    const std::string path = dir.Path("bench.mpr");
    WriteFileBytes(path, MprFile(GeneratedLog(files, 1)));
    std::printf("log: %d files, elimination matrix, %.1f MB on disk\n", files,
                std::filesystem::file_size(path) / 1e6);
    malloc_trim(0);
    ResetPeak();
    std::printf("memory before opening: %ld MB\n", PeakMegabytes());

    QElapsedTimer timer;
    if (reference) {
        TMatchDocument doc;
        doc.LoadFromFile(path);
        const TMatrixTable matrix(doc);
        timer.start();
        QTableWidget table(matrix.RowCount(), matrix.ColCount());
        for (int r = 0; r < matrix.RowCount(); ++r) {
            for (int c = 0; c < matrix.ColCount(); ++c)
                table.setItem(r, c, new QTableWidgetItem(FromCp1252(matrix.CellText(c, r))));
        }
        std::printf("QTableWidget, matrix only, one item per cell: filled in %.0f ms", Ms(timer));
        table.resize(800, 500);
        table.show();
        table.grab();
        std::printf(", first paint %.0f ms, peak memory %ld MB\n", Ms(timer), PeakMegabytes());
        return 0;
    }

    TDocumentEditorForm form;
    form.resize(1000, 700);
    form.show();
    QApplication::processEvents();
    timer.start();
    form.LoadFile(QString::fromStdString(path));
    const double total = Ms(timer);
    form.UpdateState(); // builds the four pages again from the loaded log
    const double pages = Ms(timer);
    std::printf(
        "LoadFile (read + all four pages built): %.0f ms; building the pages alone: %.0f ms\n",
        total, pages);
    timer.restart();
    PaintPage(form, form.FilesSheet);
    std::printf("files page first paint: %.0f ms\n", Ms(timer));
    PaintPage(form, form.MatrixSheet);
    std::printf("matrix page first paint: %.0f ms\n", Ms(timer));
    for (int step = 0; step < 100; ++step) {
        form.MatrixGrid->SetTopRow(step * (files / 100));
        form.MatrixGrid->SetLeftCol(step * (files / 100));
        form.MatrixGrid->viewport()->grab();
    }
    std::printf("matrix: 100 scroll steps with repaint: %.1f ms per step\n", Ms(timer) / 100);
    PaintPage(form, form.RatingsSheet);
    PaintPage(form, form.TitleSheet);
    std::printf("peak memory: %ld MB\n", PeakMegabytes());

    // "Alles kopieren" on the whole matrix: building the clipboard's text, and what it holds.
    malloc_trim(0);
    ResetPeak();
    const long before = PeakMegabytes();
    timer.restart();
    form.MatrixCommands->Copy(true);
    const double copied = Ms(timer);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    std::printf("matrix \"Alles kopieren\": %.0f ms, %lld characters%s, peak memory %ld MB "
                "above the %ld MB before\n",
                copied, data ? static_cast<long long>(data->text().size()) : 0LL,
                data && data->hasHtml() ? " and HTML" : " (no HTML)", PeakMegabytes() - before,
                before);
    return 0;
}
