#include "GridWindow.h"
#include "TGridObject.h"
#include "TStringGrid.h"

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Cell = std::pair<int, int>; // (col, row)

// The cells a viewport shows, partly shown ones included, computed from the geometry alone.
std::set<Cell> expectedVisibleCells(const TStringGrid& grid)
{
    const int width = grid.viewport()->width();
    const int height = grid.viewport()->height();
    std::vector<int> cols;
    int x = 0;
    for (int c = 0; c < grid.FixedCols() && x < width;
         x += grid.ColWidth(c++) + grid.GridLineWidth())
        cols.push_back(c);
    for (int c = grid.LeftCol(); c < grid.ColCount() && x < width;
         x += grid.ColWidth(c++) + grid.GridLineWidth())
        cols.push_back(c);
    std::vector<int> rows;
    const int step = grid.DefaultRowHeight() + grid.GridLineWidth();
    int y = 0;
    for (int r = 0; r < grid.FixedRows() && y < height; ++r, y += step)
        rows.push_back(r);
    for (int r = grid.TopRow(); r < grid.RowCount() && y < height; ++r, y += step)
        rows.push_back(r);
    std::set<Cell> cells;
    for (int c : cols)
        for (int r : rows)
            cells.insert({c, r});
    return cells;
}

TEST(StringGrid, FixedCellsStayInPlaceWhileTheRestScrolls)
{
    GridWindow w(300, 200, {100, 10, 2, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    ASSERT_EQ(grid.viewport()->size(), QSize(300, 200));
    grid.SetTopRow(30);
    grid.SetLeftCol(4);
    ASSERT_EQ(grid.TopRow(), 30);
    ASSERT_EQ(grid.LeftCol(), 4);

    const struct {
        int col;
        int row;
        QRect rect;
    } cases[] = {
        {0, 0, QRect(0, 0, 50, 20)},      // fixed corner
        {0, 1, QRect(0, 21, 50, 20)},     // second fixed row
        {0, 30, QRect(0, 42, 50, 20)},    // fixed column, first scrolled row right below
        {4, 0, QRect(51, 0, 50, 20)},     // fixed row follows the horizontal scroll
        {4, 30, QRect(51, 42, 50, 20)},   // top-left scrolling cell
        {6, 33, QRect(153, 105, 50, 20)}, // further in
        {8, 37, QRect(255, 189, 50, 20)}, // partly visible at the bottom-right
        {1, 30, QRect()},                 // scrolled out to the left
        {4, 29, QRect()},                 // scrolled out above
        {9, 30, QRect()},                 // beyond the right edge
        {4, 38, QRect()},                 // beyond the bottom edge
        {10, 0, QRect()},                 // no such column
        {0, 100, QRect()},                // no such row
        {-1, 0, QRect()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "cell " << c.col << "," << c.row);
        EXPECT_EQ(grid.CellRect(c.col, c.row), c.rect);
    }

    const struct {
        QPoint pos;
        QPoint cell;
    } points[] = {
        {{10, 10}, {0, 0}},   {{50, 20}, {0, 0}}, // a grid line counts for the cell before it
        {{51, 21}, {4, 1}},   {{60, 45}, {4, 30}}, {{299, 199}, {8, 37}},
        {{-1, 45}, {-1, 30}}, {{60, -1}, {4, -1}},
    };
    for (const auto& p : points) {
        SCOPED_TRACE(testing::Message() << "point " << p.pos.x() << "," << p.pos.y());
        EXPECT_EQ(grid.MouseToCell(p.pos), p.cell);
    }
}

TEST(StringGrid, PointsPastTheLastCellAreOnNoCell)
{
    GridWindow w(300, 200, {3, 2, 1, 1, 20, 50, 1});
    EXPECT_EQ(w.grid->MouseToCell({120, 70}), QPoint(-1, -1));
    EXPECT_EQ(w.grid->MouseToCell({60, 70}), QPoint(1, -1));
    EXPECT_EQ(w.grid->MouseToCell({120, 30}), QPoint(-1, 1));
}

TEST(StringGrid, VisibleRowCountAndTopRowLimits)
{
    const struct {
        const char* name;
        int height;
        int rowHeight;
        int lineWidth;
        int fixedRows;
        int rows;
        int requestedTop;
        int top;
        int visible;
    } cases[] = {
        {"one fixed row", 200, 20, 1, 1, 100, 1, 1, 8},
        {"without grid lines", 200, 20, 0, 1, 100, 1, 1, 9},
        {"last line exactly at the edge", 210, 20, 1, 0, 100, 0, 0, 10},
        {"last line cut off", 209, 20, 1, 0, 100, 0, 0, 9},
        {"wide lines, two fixed rows", 200, 20, 3, 2, 100, 2, 2, 6},
        {"scrolled to the middle", 200, 20, 1, 1, 100, 50, 50, 8},
        {"top row limited at the end", 200, 20, 1, 1, 100, 99, 92, 8},
        {"top row below the fixed rows", 200, 20, 1, 3, 100, 0, 3, 6},
        {"fewer rows than fit", 200, 20, 1, 1, 5, 3, 1, 4},
        {"fixed rows fill the viewport", 30, 20, 1, 2, 100, 10, 10, 0},
        {"only fixed rows", 200, 20, 1, 1, 1, 1, 1, 0},
        {"no rows", 200, 20, 1, 1, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GridWindow w(200, c.height, {c.rows, 5, c.fixedRows, 1, c.rowHeight, 30, c.lineWidth});
        ASSERT_EQ(w.grid->viewport()->height(), c.height);
        w.grid->SetTopRow(c.requestedTop);
        EXPECT_EQ(w.grid->TopRow(), c.top);
        EXPECT_EQ(w.grid->VisibleRowCount(), c.visible);
    }
}

TEST(StringGrid, VisibleColCountAndLeftColLimitsWithDifferentWidths)
{
    // Widths 50 (fixed), then 30, 100, 40, 60, 20, 80 with 2-pixel lines in a 250-pixel viewport.
    GridWindow w(250, 100, {5, 7, 1, 1, 20, 50, 2});
    TStringGrid& grid = *w.grid;
    const int widths[] = {50, 30, 100, 40, 60, 20, 80};
    for (int c = 0; c < 7; ++c)
        grid.SetColWidth(c, widths[c]);
    const struct {
        int requestedLeft;
        int left;
        int visible;
    } cases[] = {
        {1, 1, 3}, // 32 + 102 + 42 = 176 of 198; the 62 of column 4 do not fit
        {2, 2, 2}, // 102 + 42 = 144; with 62 more it would be 206
        {3, 3, 3}, // 42 + 62 + 22 = 126; with 82 more it would be 208
        {6, 4, 3}, // from the end: 82 + 22 + 62 = 166; 42 more do not fit, so 4 is the limit
        {0, 1, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "left " << c.requestedLeft);
        grid.SetLeftCol(c.requestedLeft);
        EXPECT_EQ(grid.LeftCol(), c.left);
        EXPECT_EQ(grid.VisibleColCount(), c.visible);
    }
}

TEST(StringGrid, DefaultColWidthResetsEveryColumnAndNewColumnsGetIt)
{
    GridWindow w(300, 200, {5, 3, 1, 1, 20, 40, 1});
    TStringGrid& grid = *w.grid;
    grid.SetColWidth(1, 90);
    grid.SetColCount(5);
    EXPECT_EQ(grid.ColWidth(1), 90);
    EXPECT_EQ(grid.ColWidth(4), 40);
    grid.SetDefaultColWidth(25);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid.ColWidth(c), 25) << "column " << c;
    grid.SetColWidth(7, 99); // no such column
    grid.SetColWidth(2, -5);
    EXPECT_EQ(grid.ColWidth(7), 0);
    EXPECT_EQ(grid.ColWidth(2), 0);
}

TEST(StringGrid, KeyboardMovesTheCurrentCellAndScrollsItIntoView)
{
    // Ten rows and five columns of the scrolling part fit fully: 21 + 10 x 21 and 51 + 5 x 51.
    GridWindow w(306, 231, {100, 20, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    ASSERT_EQ(grid.VisibleRowCount(), 10);
    ASSERT_EQ(grid.VisibleColCount(), 5);
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers none = Qt::NoModifier;

    // Each step starts where the one before ended.
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        int col;
        int row;
        int top;
        int left;
    } steps[] = {
        {"up at the first row stays", Qt::Key_Up, none, 1, 1, 1, 1},
        {"left at the first column stays", Qt::Key_Left, none, 1, 1, 1, 1},
        {"down", Qt::Key_Down, none, 1, 2, 1, 1},
        {"right", Qt::Key_Right, none, 2, 2, 1, 1},
        {"page down keeps one row", Qt::Key_PageDown, none, 2, 11, 10, 1},
        {"page up", Qt::Key_PageUp, none, 2, 2, 1, 1},
        {"page up near the top stops at the first row", Qt::Key_PageUp, none, 2, 1, 1, 1},
        {"ctrl+page down: last full row", Qt::Key_PageDown, ctrl, 2, 10, 1, 1},
        {"down past the last full row scrolls one", Qt::Key_Down, none, 2, 11, 2, 1},
        {"ctrl+page up: top row", Qt::Key_PageUp, ctrl, 2, 2, 2, 1},
        {"ctrl+down scrolls only", Qt::Key_Down, ctrl, 2, 2, 3, 1},
        {"ctrl+up scrolls only", Qt::Key_Up, ctrl, 2, 2, 2, 1},
        {"end", Qt::Key_End, none, 19, 2, 2, 15},
        {"right at the last column stays", Qt::Key_Right, none, 19, 2, 2, 15},
        {"home", Qt::Key_Home, none, 1, 2, 2, 1},
        {"ctrl+right pages", Qt::Key_Right, ctrl, 5, 2, 2, 5},
        {"ctrl+left pages", Qt::Key_Left, ctrl, 1, 2, 2, 1},
        {"ctrl+end", Qt::Key_End, ctrl, 19, 99, 90, 15},
        {"down at the last row stays", Qt::Key_Down, none, 19, 99, 90, 15},
        {"page down at the end stays", Qt::Key_PageDown, none, 19, 99, 90, 15},
        {"tab at the last cell wraps to the first", Qt::Key_Tab, none, 1, 1, 1, 1},
        {"shift+tab at the first cell wraps to the last", Qt::Key_Backtab, Qt::ShiftModifier, 19,
         99, 90, 15},
        {"shift+tab", Qt::Key_Tab, Qt::ShiftModifier, 18, 99, 90, 15},
        {"tab", Qt::Key_Tab, none, 19, 99, 90, 15},
        {"ctrl+home", Qt::Key_Home, ctrl, 1, 1, 1, 1},
        {"down", Qt::Key_Down, none, 1, 2, 1, 1},
        {"shift+tab at a row start goes to the row before", Qt::Key_Backtab, Qt::ShiftModifier, 19,
         1, 1, 15},
        {"tab at a row end goes to the next row", Qt::Key_Tab, none, 1, 2, 1, 1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        press(grid, s.key, s.modifiers);
        EXPECT_EQ(QPoint(grid.Col(), grid.Row()), QPoint(s.col, s.row));
        EXPECT_EQ(grid.TopRow(), s.top);
        EXPECT_EQ(grid.LeftCol(), s.left);
    }
}

TEST(StringGrid, UnhandledKeysAreLeftToOthers)
{
    GridWindow w(306, 231, {100, 20, 1, 1, 20, 50, 1});
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        bool accepted;
    } cases[] = {
        {Qt::Key_Down, Qt::NoModifier, true},    {Qt::Key_Down, Qt::AltModifier, false},
        {Qt::Key_A, Qt::NoModifier, false},      {Qt::Key_F2, Qt::NoModifier, false},
        {Qt::Key_Return, Qt::NoModifier, false},
    };
    for (const auto& c : cases) {
        QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
        QApplication::sendEvent(w.grid, &event);
        EXPECT_EQ(event.isAccepted(), c.accepted) << "key " << c.key;
    }
}

TEST(StringGrid, ClickSelectsAScrollingCellAndBringsItIntoFullView)
{
    // 8 full rows (21 + 8 x 21 = 189) and a partly visible ninth.
    GridWindow w(300, 200, {100, 10, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    const struct {
        const char* name;
        QPoint pos;
        int col;
        int row;
        int top;
    } cases[] = {
        {"scrolling cell", {120, 50}, 2, 2, 1},
        {"fixed row ignored", {170, 10}, 2, 2, 1},
        {"fixed column ignored", {10, 100}, 2, 2, 1},
        {"partly visible row scrolls up", {60, 195}, 1, 9, 2},
        {"outside the viewport ignored", {60, 500}, 1, 9, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        click(grid, c.pos);
        EXPECT_EQ(QPoint(grid.Col(), grid.Row()), QPoint(c.col, c.row));
        EXPECT_EQ(grid.TopRow(), c.top);
    }
}

TEST(StringGrid, TopLeftChangedFiresExactlyWhenTheTopLeftChanges)
{
    GridWindow w(306, 231, {100, 20, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    int fired = 0;
    QObject::connect(&grid, &TStringGrid::topLeftChanged, [&] { ++fired; });
    QScrollBar& vertical = *grid.verticalScrollBar();

    const struct {
        const char* name;
        std::function<void()> action;
        int fires;
        int top;
        int left;
    } steps[] = {
        {"same top row", [&] { grid.SetTopRow(1); }, 0, 1, 1},
        {"new top row", [&] { grid.SetTopRow(5); }, 1, 5, 1},
        {"beyond the end clamps", [&] { grid.SetTopRow(500); }, 1, 90, 1},
        {"beyond the end again", [&] { grid.SetTopRow(400); }, 0, 90, 1},
        {"new left column", [&] { grid.SetLeftCol(3); }, 1, 90, 3},
        {"moving the current cell brings it back", [&] { press(grid, Qt::Key_Down); }, 1, 2, 1},
        {"down inside the view", [&] { press(grid, Qt::Key_Down); }, 0, 2, 1},
        {"both change at once", [&] { press(grid, Qt::Key_End, Qt::ControlModifier); }, 1, 90, 15},
        {"scroll bar value", [&] { vertical.setValue(40); }, 1, 40, 15},
        {"thumb dragged",
         [&] {
             vertical.setSliderDown(true);
             vertical.setSliderPosition(60);
         },
         1, 60, 15},
        {"thumb released", [&] { vertical.setSliderDown(false); }, 0, 60, 15},
        {"wheel",
         [&] {
             QWheelEvent wheel(QPointF(50, 50), grid.viewport()->mapToGlobal(QPointF(50, 50)),
                               QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                               Qt::NoScrollPhase, false);
             QApplication::sendEvent(grid.viewport(), &wheel);
         },
         1, 60 + QApplication::wheelScrollLines(), 15},
        {"more rows", [&] { grid.SetRowCount(200); }, 0, 60 + QApplication::wheelScrollLines(), 15},
        {"fewer rows clamp the top row", [&] { grid.SetRowCount(50); }, 1, 40, 15},
        {"taller view clamps the top row", [&] { grid.resize(306, 441); }, 1, 30, 15},
        {"fixed rows reset the top-left", [&] { grid.SetFixedRows(2); }, 1, 2, 1},
        {"same fixed rows", [&] { grid.SetFixedRows(2); }, 0, 2, 1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        fired = 0;
        s.action();
        EXPECT_EQ(fired, s.fires);
        EXPECT_EQ(grid.TopRow(), s.top);
        EXPECT_EQ(grid.LeftCol(), s.left);
    }
}

TEST(StringGrid, CurrentCellStaysOnScrollingCells)
{
    GridWindow w(300, 200, {10, 6, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    const struct {
        const char* name;
        std::function<void()> action;
        int col;
        int row;
    } steps[] = {
        {"initially the first scrolling cell", [] {}, 1, 1},
        {"set", [&] { grid.SetCurrentCell(4, 8); }, 4, 8},
        {"into the fixed cells clamps", [&] { grid.SetCurrentCell(0, 0); }, 1, 1},
        {"past the end clamps", [&] { grid.SetCurrentCell(50, 50); }, 5, 9},
        {"removed rows pull it up", [&] { grid.SetRowCount(4); }, 5, 3},
        {"removed columns pull it left", [&] { grid.SetColCount(3); }, 2, 3},
        {"fixed columns reset it", [&] { grid.SetFixedCols(2); }, 2, 1},
        {"no scrolling column left", [&] { grid.SetFixedCols(3); }, -1, 1},
        {"columns again", [&] { grid.SetColCount(5); }, 3, 1},
        {"no rows", [&] { grid.SetRowCount(0); }, 3, -1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.action();
        EXPECT_EQ(QPoint(grid.Col(), grid.Row()), QPoint(s.col, s.row));
    }
}

TEST(StringGrid, TextIsAskedOnlyForTheCellsBeingPainted)
{
    GridWindow w(400, 300, {0, 0, 1, 1, 24, 64, 1});
    TStringGrid& grid = *w.grid;
    std::map<Cell, int> asked;
    grid.SetCellTextSource([&](int col, int row) {
        ++asked[{col, row}];
        return QString::number(col);
    });
    grid.SetRowCount(3000);
    grid.SetColCount(3000);
    EXPECT_TRUE(asked.empty());

    const struct {
        int top;
        int left;
    } views[] = {{1, 1}, {1500, 2000}, {2990, 2995}};
    for (const auto& v : views) {
        SCOPED_TRACE(testing::Message() << "top " << v.top << ", left " << v.left);
        grid.SetTopRow(v.top);
        grid.SetLeftCol(v.left);
        asked.clear();
        render(grid);
        const std::set<Cell> visible = expectedVisibleCells(grid);
        ASSERT_FALSE(visible.empty());
        EXPECT_LE(visible.size(), 7u * 12u);
        std::set<Cell> askedCells;
        for (const auto& [cell, count] : asked) {
            askedCells.insert(cell);
            EXPECT_EQ(count, 1) << "cell " << cell.first << "," << cell.second;
        }
        EXPECT_EQ(askedCells, visible);
    }
}

TEST(StringGrid, StoredTextsWinOverTheSourceAndGoWithTheirRows)
{
    GridWindow w(300, 200, {5, 4, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    grid.SetCellTextSource([](int col, int row) { return QString("%1/%2").arg(col).arg(row); });
    grid.SetCell(1, 2, "stored");
    grid.SetCell(3, 4, "last");
    grid.SetCell(4, 0, "outside"); // no such column
    EXPECT_EQ(grid.Cell(1, 2), "stored");
    EXPECT_EQ(grid.Cell(2, 2), "2/2");
    EXPECT_EQ(grid.Cell(4, 0), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");

    grid.SetRowCount(4);
    grid.SetRowCount(5);
    EXPECT_EQ(grid.Cell(3, 4), "3/4"); // the stored text went with its row
    EXPECT_EQ(grid.Cell(1, 2), "stored");

    grid.SetCellTextSource(nullptr);
    EXPECT_EQ(grid.Cell(2, 2), "");
    grid.ClearCells();
    EXPECT_EQ(grid.Cell(1, 2), "");
}

TEST(StringGrid, DrawHookRunsForEveryPaintedCellAfterTheNormalDrawing)
{
    GridWindow w(400, 300, {3000, 3000, 2, 1, 24, 64, 1});
    TStringGrid& grid = *w.grid;
    grid.SetTopRow(100);
    grid.SetLeftCol(200);
    grid.SetCurrentCell(203, 104);

    struct Call {
        QRect rect;
        TStringGrid::DrawState state;
        int count = 0;
    };
    std::map<Cell, Call> calls;
    grid.SetOnDrawCell(
        [&](int col, int row, const QRect& rect, TStringGrid::DrawState state, QPainter& painter) {
            Call& call = calls[{col, row}];
            call.rect = rect;
            call.state = state;
            ++call.count;
            if (col == 201 && row == 101) {
                // Larger than the cell: the clip must keep the neighbours and the lines intact.
                painter.fillRect(rect.adjusted(-10, -10, 10, 10), Qt::red);
            }
        });
    const QImage image = render(grid);

    const std::set<Cell> visible = expectedVisibleCells(grid);
    std::set<Cell> hooked;
    for (const auto& [cell, call] : calls) {
        hooked.insert(cell);
        SCOPED_TRACE(testing::Message() << "cell " << cell.first << "," << cell.second);
        EXPECT_EQ(call.count, 1);
        EXPECT_EQ(call.rect, grid.CellRect(cell.first, cell.second));
        TStringGrid::DrawState expected;
        if (cell.first < 1 || cell.second < 2)
            expected = TStringGrid::FixedCell;
        else if (cell == Cell{203, 104})
            expected = TStringGrid::SelectedCell;
        EXPECT_EQ(call.state, expected);
    }
    EXPECT_EQ(hooked, visible);

    const QRect painted = grid.CellRect(201, 101);
    ASSERT_FALSE(painted.isEmpty());
    const QColor base = grid.palette().color(QPalette::Base);
    EXPECT_EQ(pixel(image, painted.center()), QColor(Qt::red));
    EXPECT_EQ(pixel(image, painted.topLeft()), QColor(Qt::red));
    EXPECT_EQ(pixel(image, painted.bottomRight()), QColor(Qt::red));
    EXPECT_NE(pixel(image, painted.topRight() + QPoint(1, 0)), QColor(Qt::red));     // grid line
    EXPECT_TRUE(sameColor(pixel(image, painted.topRight() + QPoint(3, 2)), base));   // next cell
    EXPECT_TRUE(sameColor(pixel(image, painted.bottomLeft() + QPoint(2, 3)), base)); // below
}

TEST(StringGrid, FixedAndNormalCellsAreDrawnDifferently)
{
    GridWindow w(300, 200, {100, 10, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    grid.SetTopRow(20);
    grid.SetLeftCol(3);
    grid.SetCurrentCell(4, 21);
    const QPalette& palette = grid.palette();
    const QColor face = palette.color(QPalette::Button);
    const QColor base = palette.color(QPalette::Base);
    const QColor highlight = palette.color(QPalette::Highlight);
    const QColor normalLine = palette.color(QPalette::Midlight);
    ASSERT_NE(face, base);
    ASSERT_NE(normalLine, base);

    const auto check = [&](const QImage& image, const char* what,
                           const std::vector<std::pair<QPoint, QColor>>& expected) {
        SCOPED_TRACE(what);
        for (const auto& [pos, color] : expected)
            EXPECT_TRUE(sameColor(pixel(image, pos), color)) << "at " << pos.x() << "," << pos.y();
    };
    const std::vector<std::pair<QPoint, QColor>> withLines = {
        {{25, 10}, face},                                // fixed corner
        {{25, 52}, face},                                // fixed column beside scrolled rows
        {{75, 10}, face},                                // fixed row above scrolled columns
        {{76, 31}, base},                                // top-left scrolling cell (3, 20)
        {{127, 52}, highlight},                          // current cell (4, 21), grid not focused
        {{178, 73}, base},      {{101, 31}, normalLine}, // vertical line after column 3
        {{76, 41}, normalLine},                          // horizontal line below row 20
        {{280, 190}, base},                              // partly visible cell at the bottom-right
    };
    check(render(grid), "one-pixel lines", withLines);

    grid.SetGridLineWidth(0);
    // Without lines, column 3 spans 50..99 and column 4 100..149; row 20 spans 20..39.
    check(render(grid), "no lines",
          {{{25, 10}, face}, {{50, 30}, base}, {{100, 30}, base}, {{100, 40}, highlight}});
}

TEST(StringGrid, CurrentCellIsHighlightedWithAndWithoutFocus)
{
    GridWindow w(300, 200, {10, 5, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    grid.SetCurrentCell(2, 3);
    TStringGrid::DrawState currentState;
    grid.SetOnDrawCell(
        [&](int col, int row, const QRect&, TStringGrid::DrawState state, QPainter&) {
            if (col == 2 && row == 3)
                currentState = state;
        });
    const QColor highlight = grid.palette().color(QPalette::Highlight);
    const QPoint centre = grid.CellRect(2, 3).center();

    const struct {
        const char* name;
        QWidget* focus;
        TStringGrid::DrawState state;
    } cases[] = {
        {"focus elsewhere", w.other, TStringGrid::SelectedCell},
        {"focus on the grid", w.grid, TStringGrid::SelectedCell | TStringGrid::FocusedCell},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.focus->setFocus();
        ASSERT_TRUE(c.focus->hasFocus());
        const QImage image = render(grid);
        EXPECT_EQ(currentState, c.state);
        EXPECT_TRUE(sameColor(pixel(image, centre), highlight, 4));
    }
}

TEST(StringGrid, TextIsLeftAlignedWithAnInsetAndVerticallyCentred)
{
    GridWindow w(300, 200, {3, 3, 1, 1, 40, 120, 1});
    TStringGrid& grid = *w.grid;
    grid.SetCell(2, 1, "MMMM");
    grid.SetCurrentCell(1, 2); // keep the highlight away from the measured cell
    const QImage image = render(grid);
    const QRect cell = grid.CellRect(2, 1) & image.rect();
    const QColor base = grid.palette().color(QPalette::Base);

    QRect ink;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (!sameColor(pixel(image, {x, y}), base))
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), cell.left() + 2);
    EXPECT_LE(ink.left(), cell.left() + 4);
    EXPECT_LE(std::abs(ink.center().y() - cell.center().y()), 4);
}

class TTestObject : public TGridObject {
public:
    explicit TTestObject(std::set<std::string>& alive, std::string name)
        : m_alive(alive)
        , m_name(std::move(name))
    {
        m_alive.insert(m_name);
    }
    ~TTestObject() override { m_alive.erase(m_name); }

private:
    std::set<std::string>& m_alive;
    std::string m_name;
};

TEST(StringGrid, RowZeroObjectsAreOwnedByTheGrid)
{
    std::set<std::string> alive;
    using Names = std::set<std::string>;
    {
        TStringGrid grid;
        grid.SetColCount(4);
        auto first = std::make_unique<TTestObject>(alive, "first");
        TTestObject* firstPtr = first.get();
        grid.SetObject(1, std::move(first));
        grid.SetObject(3, std::make_unique<TTestObject>(alive, "last"));
        grid.SetObject(2, std::make_unique<TTestObject>(alive, "middle"));
        EXPECT_EQ(grid.Object(1), firstPtr);
        EXPECT_EQ(grid.ObjectAs<TTestObject>(1), firstPtr);
        EXPECT_EQ(grid.Object(0), nullptr);
        EXPECT_EQ(alive, (Names{"first", "middle", "last"}));

        grid.SetObject(1, std::make_unique<TTestObject>(alive, "second"));
        EXPECT_EQ(alive, (Names{"second", "middle", "last"}));

        grid.SetObject(2, nullptr);
        EXPECT_EQ(alive, (Names{"second", "last"}));

        grid.SetObject(9, std::make_unique<TTestObject>(alive, "outside"));
        EXPECT_EQ(alive, (Names{"second", "last"}));
        EXPECT_EQ(grid.Object(9), nullptr);

        grid.SetColCount(3);
        EXPECT_EQ(alive, (Names{"second"}));
        grid.SetColCount(4);
        EXPECT_EQ(grid.Object(3), nullptr);
    }
    EXPECT_TRUE(alive.empty());
}

} // namespace

TEST(StringGrid, HugeWidthsAreClampedAndLaidOutWithoutOverflow)
{
    GridWindow w(300, 200, {10, 4000, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    const int max = TStringGrid::MaxColWidth;
    grid.SetColWidth(1, std::numeric_limits<int>::max());
    EXPECT_EQ(grid.ColWidth(1), max);
    // A whole row of columns at the limit: positions past a billion pixels stay exact.
    std::vector<int> widths(4000, std::numeric_limits<int>::max());
    widths[2] = -7;
    widths[3] = 60;
    grid.SetColWidths(widths);
    EXPECT_EQ(grid.ColWidth(0), max);
    EXPECT_EQ(grid.ColWidth(2), 0);
    EXPECT_EQ(grid.ColWidth(3), 60);
    EXPECT_EQ(grid.ColWidth(3999), max);
    grid.SetLeftCol(3999);
    EXPECT_EQ(grid.LeftCol(), 3999);
    EXPECT_EQ(grid.VisibleColCount(), 0); // not even one column fits whole
    EXPECT_EQ(grid.MouseToCell(QPoint(10, 30)), QPoint(0, 1));
    EXPECT_EQ(grid.MouseToCell(QPoint(299, 30)), QPoint(0, 1));
    // Fewer widths than columns set the first ones only.
    grid.SetColWidths({5, 6});
    EXPECT_EQ(grid.ColWidth(1), 6);
    EXPECT_EQ(grid.ColWidth(3), 60);
}

TEST(StringGrid, OnlyTheTextThatCanShowIsDrawn)
{
    GridWindow w(300, 200, {10, 3, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    grid.SetColWidth(1, TStringGrid::MaxColWidth);
    const QString huge(1000000, QLatin1Char('W'));
    grid.SetCellTextSource([&huge](int, int) { return huge; });
    for (int col : {0, 1}) {
        const QRect rect = grid.CellRect(col, 1);
        ASSERT_FALSE(rect.isEmpty());
        const QString shown = grid.VisibleText(huge, rect);
        EXPECT_TRUE(huge.startsWith(shown));
        EXPECT_GE(shown.size(), std::min(rect.width(), 300 - rect.left()));
        EXPECT_LE(shown.size(), 300 + 2);
    }
    const QString shortText = QStringLiteral("kurz");
    EXPECT_EQ(grid.VisibleText(shortText, grid.CellRect(1, 1)), shortText);
    // A pair of surrogates at the cut stays whole.
    QString pairs;
    for (int i = 0; i < 400; ++i)
        pairs += QString::fromUcs4(U"\U0001F600");
    const QString cut = grid.VisibleText(pairs, grid.CellRect(1, 1));
    EXPECT_FALSE(cut.back().isHighSurrogate());
    EXPECT_TRUE(pairs.startsWith(cut));
    // Painting lays out those prefixes only, and the tool tip is a screenful with an ellipsis.
    EXPECT_FALSE(w.window.grab().isNull());
    const QString tip = grid.CutText(grid.CellRect(1, 1).topLeft() + QPoint(10, 5));
    EXPECT_EQ(tip.size(), 4097);
    EXPECT_TRUE(tip.endsWith(QChar(0x2026)));
    EXPECT_TRUE(huge.startsWith(tip.chopped(1)));
}

// A cell whose text is cut off by its width shows the whole text as its tool tip, fixed cells
// too; a text that fits shows none. Property over widths around the text's own.
TEST(StringGrid, CutCellTextShowsAsToolTip)
{
    GridWindow w(400, 200, {4, 4, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    const QString text = QStringLiteral("Kompaktsperrdatei Süd");
    const int needed = grid.fontMetrics().horizontalAdvance(text) + 2;
    for (const QPoint cell : {QPoint(0, 2), QPoint(2, 0), QPoint(2, 2)}) {
        grid.SetCell(cell.x(), cell.y(), text);
        for (int width : {needed - 12, needed - 1, needed, needed + 20}) {
            SCOPED_TRACE(testing::Message() << cell.x() << "," << cell.y() << " width " << width);
            grid.SetColWidth(cell.x(), width);
            const QPoint at = grid.CellRect(cell.x(), cell.y()).center();
            const bool cut = width < needed;
            EXPECT_EQ(grid.CutText(at), cut ? text : QString());
            QHelpEvent help(QEvent::ToolTip, at, grid.viewport()->mapToGlobal(at));
            QApplication::sendEvent(grid.viewport(), &help);
            // The grid takes the event only for a tip of its own.
            EXPECT_EQ(help.isAccepted(), cut);
            if (cut) {
                EXPECT_EQ(QToolTip::text(), text);
            }
        }
        grid.SetColWidth(cell.x(), 50);
    }
    // Between cells and beyond the last one there is nothing to show.
    EXPECT_EQ(grid.CutText(QPoint(399, 199)), QString());
}
