#pragma once

// A grid in a window of its own for the grid's tests, with the few helpers they share.
#include "TStringGrid.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct GridShape {
    int rows = 100;
    int cols = 20;
    int fixedRows = 1;
    int fixedCols = 1;
    int rowHeight = 20;
    int colWidth = 50;
    int lineWidth = 1;
};

// A window with a grid whose viewport is exactly the given size (no frame, no scroll bars) and
// one more focusable widget, so that Tab has somewhere else to go.
class GridWindow {
public:
    GridWindow(int viewportWidth, int viewportHeight, const GridShape& shape = {})
    {
        grid = new TStringGrid(&window);
        grid->setFrameShape(QFrame::NoFrame);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setGeometry(0, 0, viewportWidth, viewportHeight);
        other = new QLineEdit(&window);
        other->setGeometry(0, viewportHeight, viewportWidth, 20);
        window.resize(viewportWidth, viewportHeight + 20);
        grid->SetRowCount(shape.rows);
        grid->SetColCount(shape.cols);
        grid->SetFixedRows(shape.fixedRows);
        grid->SetFixedCols(shape.fixedCols);
        grid->SetDefaultRowHeight(shape.rowHeight);
        grid->SetDefaultColWidth(shape.colWidth);
        grid->SetGridLineWidth(shape.lineWidth);
        window.show();
        other->setFocus(); // the current cell is then drawn as when the grid is not focused
        QCoreApplication::processEvents();
    }

    QWidget window;
    TStringGrid* grid;
    QLineEdit* other;
};

[[maybe_unused]] void press(TStringGrid& grid, int key,
                            Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&grid, &event);
}

[[maybe_unused]] void click(TStringGrid& grid, const QPoint& pos)
{
    QMouseEvent event(QEvent::MouseButtonPress, pos, grid.viewport()->mapToGlobal(pos),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &event);
}

[[maybe_unused]] QImage render(TStringGrid& grid)
{
    QImage image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    grid.viewport()->render(&image);
    return image;
}

[[maybe_unused]] QColor pixel(const QImage& image, const QPoint& pos)
{
    return image.pixelColor(pos);
}

// Palette colours carry 16 bits per channel; painted they are rounded to 8. A style's focus frame
// may tint what it frames a little more.
[[maybe_unused]] testing::AssertionResult sameColor(const QColor& actual, const QColor& expected,
                                                    int tolerance = 1)
{
    const auto near = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
    if (near(actual.red(), expected.red()) && near(actual.green(), expected.green()) &&
        near(actual.blue(), expected.blue()))
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << qPrintable(actual.name()) << " instead of " << qPrintable(expected.name());
}

} // namespace
