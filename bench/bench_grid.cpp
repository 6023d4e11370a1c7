#include "TStringGrid.h"

#include <QApplication>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

// A matrix page of 3000 input files: 3000 x 3000 cells whose texts are formatted when painted.

namespace {

constexpr int kCells = 3000;
const QSize kViewport(1920, 1080);

std::unique_ptr<TStringGrid> makeGrid()
{
    auto grid = std::make_unique<TStringGrid>();
    grid->setFrameShape(QFrame::NoFrame);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->resize(kViewport);
    grid->SetCellTextSource(
        [](int col, int row) { return QString::number(qint64(col) * 7919 + row); });
    grid->SetRowCount(kCells);
    grid->SetColCount(kCells);
    grid->SetFixedRows(1);
    grid->SetFixedCols(2);
    grid->SetDefaultRowHeight(20);
    grid->SetDefaultColWidth(48);
    grid->SetColWidth(0, 160);
    grid->show();
    return grid;
}

void setCellCounters(benchmark::State& state, const TStringGrid& grid)
{
    const int cells = (grid.VisibleColCount() + grid.FixedCols() + 1) *
                      (grid.VisibleRowCount() + grid.FixedRows() + 1);
    state.counters["cells/paint"] = cells;
    state.counters["cells/s"] =
        benchmark::Counter(cells, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_SetCounts(benchmark::State& state)
{
    const auto grid = makeGrid();
    for (auto _ : state) {
        grid->SetRowCount(1);
        grid->SetColCount(1);
        grid->SetRowCount(kCells);
        grid->SetColCount(kCells);
    }
}
BENCHMARK(BM_SetCounts);

void BM_PaintViewport(benchmark::State& state)
{
    const auto grid = makeGrid();
    grid->SetTopRow(kCells / 2);
    grid->SetLeftCol(kCells / 2);
    QImage image(kViewport, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        grid->viewport()->render(&image);
    setCellCounters(state, *grid);
}
BENCHMARK(BM_PaintViewport)->Unit(benchmark::kMillisecond);

void BM_PaintViewportWithDrawHook(benchmark::State& state)
{
    const auto grid = makeGrid();
    // Like the matrix page: the diagonal is coloured and its text drawn again.
    grid->SetOnDrawCell(
        [&](int col, int row, const QRect& rect, TStringGrid::DrawState, QPainter& painter) {
            if (col - 1 != row)
                return;
            painter.fillRect(rect, QColor(128, 255, 255));
            painter.drawText(rect.topLeft() + QPoint(2, 2 + painter.fontMetrics().ascent()),
                             grid->Cell(col, row));
        });
    grid->SetTopRow(kCells / 2);
    grid->SetLeftCol(kCells / 2);
    QImage image(kViewport, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        grid->viewport()->render(&image);
    setCellCounters(state, *grid);
}
BENCHMARK(BM_PaintViewportWithDrawHook)->Unit(benchmark::kMillisecond);

// Dragging the thumb through the whole grid: every position is a new top row and a repaint.
void BM_ThumbDragAndPaint(benchmark::State& state)
{
    const auto grid = makeGrid();
    QScrollBar* bar = grid->verticalScrollBar();
    QImage image(kViewport, QImage::Format_ARGB32_Premultiplied);
    bar->setSliderDown(true);
    int position = 0;
    for (auto _ : state) {
        position = (position + 97) % bar->maximum();
        bar->setSliderPosition(position);
        grid->viewport()->render(&image);
    }
    bar->setSliderDown(false);
    setCellCounters(state, *grid);
}
BENCHMARK(BM_ThumbDragAndPaint)->Unit(benchmark::kMillisecond);

void BM_PageDownAndPaint(benchmark::State& state)
{
    const auto grid = makeGrid();
    QImage image(kViewport, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        if (grid->Row() == grid->RowCount() - 1)
            grid->SetCurrentCell(grid->FixedCols(), grid->FixedRows());
        grid->SetCurrentCell(grid->Col(), grid->Row() + grid->VisibleRowCount());
        grid->viewport()->render(&image);
    }
    setCellCounters(state, *grid);
}
BENCHMARK(BM_PageDownAndPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
