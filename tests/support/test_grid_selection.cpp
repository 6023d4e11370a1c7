#include "GridWindow.h"
#include "TGridCopy.h"
#include "TGridSelection.h"
#include "TStringGrid.h"

#include <QContextMenuEvent>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

namespace {

struct Block {
    int left, top, right, bottom;
    bool operator==(const Block& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

std::ostream& operator<<(std::ostream& out, const Block& b)
{
    return out << b.left << "," << b.top << ".." << b.right << "," << b.bottom;
}

Block BlockOf(const TGridSelection& s) { return {s.Left(), s.Top(), s.Right(), s.Bottom()}; }

void mouse(TStringGrid& grid, QEvent::Type type, const QPoint& pos,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, grid.viewport()->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(grid.viewport(), &event);
}

QPoint centre(const TStringGrid& grid, int col, int row)
{
    return grid.CellRect(col, row).center();
}

} // namespace

// Whatever is done to it, a selection stays inside the scrolling cells it was given, holds its
// anchor, and spans the rectangle between the anchor and the cell it was extended to (whole rows
// or columns where it began on a header).
TEST(GridSelection, BlockStaysInsideItsCellsAndSpansFromItsAnchor)
{
    std::mt19937 random(20261210);
    const auto any = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    TGridSelection s;
    TGridSelection::Bounds b{1, 2, 10, 30};
    for (int step = 0; step < 5000; ++step) {
        SCOPED_TRACE(step);
        const int col = any(-3, 14);
        const int row = any(-3, 35);
        const int clampedCol = std::clamp(col, b.FirstCol, std::max(b.FirstCol, b.ColCount - 1));
        const int clampedRow = std::clamp(row, b.FirstRow, std::max(b.FirstRow, b.RowCount - 1));
        const bool cellsBefore = !s.IsEmpty() && !s.WholeRows() && !s.WholeCols();
        const int anchorCol = s.AnchorCol();
        const int anchorRow = s.AnchorRow();
        const int op = any(0, 6);
        switch (op) {
        case 0:
            s.SelectCell(col, row, b);
            break;
        case 1:
        case 2:
            s.ExtendTo(col, row, b);
            break;
        case 3:
            s.SelectRow(row, b);
            break;
        case 4:
            s.SelectCol(col, b);
            break;
        case 5:
            s.SelectAll(b);
            break;
        case 6:
            b = {any(0, 3), any(0, 3), any(0, 12), any(0, 32)};
            s.Clamp(b);
            break;
        }
        if (b.Empty()) {
            EXPECT_TRUE(s.IsEmpty());
            EXPECT_EQ(s.CellCount(), 0);
            continue;
        }
        if (s.IsEmpty()) {
            // Only clamping an empty selection leaves it empty.
            EXPECT_EQ(op, 6);
            continue;
        }
        EXPECT_GE(s.Left(), b.FirstCol);
        EXPECT_GE(s.Top(), b.FirstRow);
        EXPECT_LT(s.Right(), b.ColCount);
        EXPECT_LT(s.Bottom(), b.RowCount);
        EXPECT_TRUE(s.Contains(s.AnchorCol(), s.AnchorRow()));
        if (s.WholeRows()) {
            EXPECT_EQ(s.Left(), b.FirstCol);
            EXPECT_EQ(s.Right(), b.ColCount - 1);
        }
        if (s.WholeCols()) {
            EXPECT_EQ(s.Top(), b.FirstRow);
            EXPECT_EQ(s.Bottom(), b.RowCount - 1);
        }
        if (op == 0) {
            EXPECT_EQ(BlockOf(s), (Block{clampedCol, clampedRow, clampedCol, clampedRow}));
        }
        if ((op == 1 || op == 2) && cellsBefore) {
            EXPECT_EQ(BlockOf(s),
                      (Block{std::min(anchorCol, clampedCol), std::min(anchorRow, clampedRow),
                             std::max(anchorCol, clampedCol), std::max(anchorRow, clampedRow)}));
        }
        EXPECT_EQ(s.CellCount(), qint64(s.Right() - s.Left() + 1) * (s.Bottom() - s.Top() + 1));
        for (int probe = 0; probe < 4; ++probe) {
            const int c = any(-1, 12);
            const int r = any(-1, 32);
            EXPECT_EQ(s.Contains(c, r),
                      c >= s.Left() && c <= s.Right() && r >= s.Top() && r <= s.Bottom());
        }
    }
}

// What the mouse and the keys select, and where the current cell goes meanwhile.
TEST(StringGrid, MouseAndKeysSelectBlocksRowsAndColumns)
{
    // 8 full rows (21 + 8 x 21 = 189) and a partly visible ninth; 10 columns, 1 fixed of each.
    const struct {
        const char* name;
        std::function<void(TStringGrid&)> act;
        Block block;
        QPoint current;
        int top;
    } cases[] = {
        {"click", [](TStringGrid& g) { click(g, centre(g, 2, 3)); }, {2, 3, 2, 3}, {2, 3}, 1},
        {"shift+click",
         [](TStringGrid& g) {
             click(g, centre(g, 2, 3));
             mouse(g, QEvent::MouseButtonPress, centre(g, 4, 1), Qt::ShiftModifier);
         },
         {2, 1, 4, 3},
         {4, 1},
         1},
        {"drag",
         [](TStringGrid& g) {
             mouse(g, QEvent::MouseButtonPress, centre(g, 2, 3));
             mouse(g, QEvent::MouseMove, centre(g, 3, 5));
             mouse(g, QEvent::MouseMove, centre(g, 4, 6));
             mouse(g, QEvent::MouseButtonRelease, centre(g, 4, 6));
         },
         {2, 3, 4, 6},
         {4, 6},
         1},
        {"drag past the bottom scrolls along",
         [](TStringGrid& g) {
             mouse(g, QEvent::MouseButtonPress, centre(g, 2, 3));
             for (int i = 0; i < 3; ++i)
                 mouse(g, QEvent::MouseMove, QPoint(centre(g, 2, 3).x(), 250));
         },
         {2, 3, 2, 11},
         {2, 11},
         4},
        {"row header", [](TStringGrid& g) { click(g, centre(g, 0, 4)); }, {1, 4, 9, 4}, {1, 1}, 1},
        {"row headers with shift",
         [](TStringGrid& g) {
             click(g, centre(g, 0, 4));
             mouse(g, QEvent::MouseButtonPress, centre(g, 0, 2), Qt::ShiftModifier);
         },
         {1, 2, 9, 4},
         {1, 1},
         1},
        {"cell, then shift on a row header",
         [](TStringGrid& g) {
             click(g, centre(g, 3, 5));
             mouse(g, QEvent::MouseButtonPress, centre(g, 0, 7), Qt::ShiftModifier);
         },
         {1, 5, 9, 7},
         {3, 5},
         1},
        {"column headers dragged",
         [](TStringGrid& g) {
             mouse(g, QEvent::MouseButtonPress, centre(g, 2, 0));
             mouse(g, QEvent::MouseMove, centre(g, 4, 0));
         },
         {2, 1, 4, 99},
         {1, 1},
         1},
        {"corner", [](TStringGrid& g) { click(g, centre(g, 0, 0)); }, {1, 1, 9, 99}, {1, 1}, 1},
        {"ctrl+a",
         [](TStringGrid& g) { press(g, Qt::Key_A, Qt::ControlModifier); },
         {1, 1, 9, 99},
         {1, 1},
         1},
        {"ctrl+a, then a move collapses",
         [](TStringGrid& g) {
             press(g, Qt::Key_A, Qt::ControlModifier);
             press(g, Qt::Key_Down);
         },
         {1, 2, 1, 2},
         {1, 2},
         1},
        {"ctrl+a, then scrolling keeps it",
         [](TStringGrid& g) {
             press(g, Qt::Key_A, Qt::ControlModifier);
             press(g, Qt::Key_Down, Qt::ControlModifier);
         },
         {1, 1, 9, 99},
         {1, 1},
         2},
        {"shift with arrows",
         [](TStringGrid& g) {
             press(g, Qt::Key_Down, Qt::ShiftModifier);
             press(g, Qt::Key_Down, Qt::ShiftModifier);
             press(g, Qt::Key_Right, Qt::ShiftModifier);
         },
         {1, 1, 2, 3},
         {2, 3},
         1},
        {"shift+tab moves without extending",
         [](TStringGrid& g) {
             click(g, centre(g, 3, 3));
             press(g, Qt::Key_Backtab, Qt::ShiftModifier);
         },
         {2, 3, 2, 3},
         {2, 3},
         1},
        {"setting the current cell collapses",
         [](TStringGrid& g) {
             press(g, Qt::Key_A, Qt::ControlModifier);
             g.SetCurrentCell(5, 5);
         },
         {5, 5, 5, 5},
         {5, 5},
         1},
        {"new cell texts collapse",
         [](TStringGrid& g) {
             press(g, Qt::Key_A, Qt::ControlModifier);
             g.SetCellTextSource([](int, int) { return QStringLiteral("x"); });
         },
         {1, 1, 1, 1},
         {1, 1},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GridWindow w(300, 200, {100, 10, 1, 1, 20, 50, 1});
        TStringGrid& grid = *w.grid;
        c.act(grid);
        EXPECT_EQ(BlockOf(grid.Selection()), c.block);
        EXPECT_EQ(QPoint(grid.Col(), grid.Row()), c.current);
        EXPECT_EQ(grid.TopRow(), c.top);
    }
}

// The current cell keeps its highlight; the other selected cells are shaded over whatever the
// draw hook painted, so a coloured cell shows the selection too.
TEST(StringGrid, SelectionIsShadedApartFromTheCurrentCellAndOverColouredCells)
{
    GridWindow w(400, 200, {20, 8, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    std::map<std::pair<int, int>, TStringGrid::DrawState> states;
    grid.SetOnDrawCell(
        [&](int col, int row, const QRect& rect, TStringGrid::DrawState state, QPainter& painter) {
            states[{col, row}] = state;
            if (col == 3 && row == 3)
                painter.fillRect(rect, Qt::red);
        });
    click(grid, centre(grid, 2, 2));
    mouse(grid, QEvent::MouseButtonPress, centre(grid, 4, 4), Qt::ShiftModifier);
    const QImage image = render(grid);
    const QPalette& palette = grid.palette();
    const QColor base = palette.color(QPalette::Base);
    const QColor highlight = palette.color(QPalette::Highlight);
    const QPoint inside = grid.CellRect(3, 2).bottomRight() - QPoint(2, 2); // no text there

    const auto state = [&](int col, int row) { return states[{col, row}]; };
    EXPECT_EQ(state(3, 2), TStringGrid::MarkedCell);
    EXPECT_EQ(state(3, 3), TStringGrid::MarkedCell);
    EXPECT_EQ(state(4, 4), TStringGrid::SelectedCell);
    EXPECT_EQ(state(5, 5), TStringGrid::DrawState());
    EXPECT_TRUE(sameColor(pixel(image, centre(grid, 4, 4)), highlight));
    EXPECT_TRUE(sameColor(pixel(image, centre(grid, 5, 5)), base));
    const QColor marked = pixel(image, inside);
    EXPECT_FALSE(sameColor(marked, base, 8));
    EXPECT_FALSE(sameColor(marked, highlight, 8));
    EXPECT_FALSE(sameColor(pixel(image, centre(grid, 3, 3)), Qt::red, 8));
}

TEST(StringGrid, CopyAndContextMenuAreAskedOfTheOwner)
{
    GridWindow w(400, 200, {20, 8, 1, 1, 20, 50, 1});
    TStringGrid& grid = *w.grid;
    QSignalSpy copies(&grid, &TStringGrid::copyRequested);
    QSignalSpy menus(&grid, &TStringGrid::contextMenuRequested);
    grid.SetCurrentCell(3, 4);
    const QPoint atCurrent = grid.viewport()->mapToGlobal(centre(grid, 3, 4));

    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int copies;
        int menus;
    } keys[] = {
        {Qt::Key_C, Qt::ControlModifier, 1, 0}, {Qt::Key_Menu, Qt::NoModifier, 0, 1},
        {Qt::Key_F10, Qt::ShiftModifier, 0, 1}, {Qt::Key_F10, Qt::NoModifier, 0, 0},
        {Qt::Key_C, Qt::NoModifier, 0, 0},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        copies.clear();
        menus.clear();
        QKeyEvent event(QEvent::KeyPress, k.key, k.modifiers);
        QApplication::sendEvent(&grid, &event);
        EXPECT_EQ(event.isAccepted(), k.copies + k.menus > 0);
        EXPECT_EQ(copies.count(), k.copies);
        ASSERT_EQ(menus.count(), k.menus);
        if (k.menus) {
            EXPECT_EQ(menus.first().first().toPoint(), atCurrent);
        }
    }

    // A right click inside the selection keeps it; outside it selects the cell clicked.
    grid.SelectBlock(2, 2, 5, 6);
    const auto rightClick = [&](int col, int row) {
        const QPoint pos = centre(grid, col, row);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, grid.viewport()->mapToGlobal(pos));
        QApplication::sendEvent(grid.viewport(), &event);
        return grid.viewport()->mapToGlobal(pos);
    };
    menus.clear();
    rightClick(4, 5);
    EXPECT_EQ(BlockOf(grid.Selection()), (Block{2, 2, 5, 6}));
    const QPoint outside = rightClick(6, 7);
    EXPECT_EQ(BlockOf(grid.Selection()), (Block{6, 7, 6, 7}));
    EXPECT_EQ(QPoint(grid.Col(), grid.Row()), QPoint(6, 7));
    ASSERT_EQ(menus.count(), 2);
    EXPECT_EQ(menus.last().first().toPoint(), outside);
}

// A copy takes the block with the title rows above its columns and the label columns beside its
// rows, every text as it is.
TEST(GridCopy, TitlesAndLabelsGoWithTheBlock)
{
    const TGridCopy::CellText text = [](int c, int r) {
        if (c == 2 && r == 3)
            return QString(); // an empty cell stays an empty field
        if (c == 3 && r == 3)
            return QStringLiteral("####");
        return QStringLiteral("%1/%2").arg(c).arg(r);
    };
    const struct {
        const char* name;
        int fixedCols, fixedRows, left, top, right, bottom;
        const char* tsv;
    } cases[] = {
        {"one cell", 1, 1, 2, 2, 2, 2, "0/0\t2/0\n0/2\t2/2\n"},
        {"block with an empty and a #### cell", 2, 1, 2, 2, 3, 3,
         "0/0\t1/0\t2/0\t3/0\n0/2\t1/2\t2/2\t3/2\n0/3\t1/3\t\t####\n"},
        {"no fixed cells", 0, 0, 3, 3, 4, 3, "####\t4/3\n"},
        {"two title rows", 0, 2, 4, 5, 4, 5, "4/0\n4/1\n4/5\n"},
        {"block cut at the fixed cells", 1, 1, 0, 0, 1, 1, "0/0\t1/0\n0/1\t1/1\n"},
        {"empty block", 1, 1, 3, 3, 2, 2, "0/0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TGridCopy copy(text, c.fixedCols, c.fixedRows, c.left, c.top, c.right, c.bottom);
        EXPECT_EQ(copy.Tsv().toStdString(), c.tsv);
    }

    // Texts a spreadsheet would split are quoted; HTML takes every text escaped, fixed cells as
    // header cells.
    const TGridCopy odd(
        [](int c, int r) {
            const QString texts[2][2] = {{"<Nr.>", "Müller & \"Söhne\""}, {"a\tb", "x\ny"}};
            return texts[r][c];
        },
        1, 1, 1, 1, 1, 1);
    EXPECT_EQ(odd.Tsv().toStdString(), "<Nr.>\t\"Müller & \"\"Söhne\"\"\"\n\"a\tb\"\t\"x\ny\"\n");
    const QString html = odd.Html();
    EXPECT_TRUE(html.contains(
        QStringLiteral("<tr><th>&lt;Nr.&gt;</th><th>Müller &amp; &quot;Söhne&quot;</th></tr>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<tr><th>a\tb</th><td>x\ny</td></tr>")));
    EXPECT_TRUE(html.contains(QStringLiteral("charset=\"utf-8\"")));
}

TEST(GridCopy, LargeCopiesGoAsTextOnlyAndHugeOnesNotAtAll)
{
    int asked = 0;
    const TGridCopy::CellText text = [&](int, int) {
        ++asked;
        return QStringLiteral("1");
    };
    const struct {
        int cols, rows;
        bool copied, html;
    } cases[] = {
        {10, 10, true, true},
        {400, 400, true, false},
        {2003, 2001, true, false}, // the whole matrix of a 2,000-file log
        {2501, 2001, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cols << " x " << c.rows);
        asked = 0;
        const TGridCopy copy(text, 1, 1, 1, 1, c.cols - 1, c.rows - 1);
        EXPECT_EQ(copy.CellCount(), qint64(c.cols) * c.rows);
        const std::unique_ptr<QMimeData> data = copy.MimeData();
        ASSERT_EQ(data != nullptr, c.copied);
        // Refused before a single cell is read.
        EXPECT_EQ(asked, c.copied ? copy.CellCount() * (c.html ? 2 : 1) : 0);
        if (!data)
            continue;
        EXPECT_EQ(data->hasHtml(), c.html);
        EXPECT_EQ(data->text().size(), 2 * copy.CellCount());
    }
}
