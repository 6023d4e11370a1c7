#pragma once

#include "TGridObject.h"
#include "TGridSelection.h"

#include <QAbstractScrollArea>
#include <QFlags>
#include <QPoint>
#include <QRect>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QPainter;

// A read-only grid of text cells whose leading rows and columns stay fixed while the rest
// scrolls by whole rows and columns.
//
// Geometry, in viewport pixels: every row is DefaultRowHeight high, column c is ColWidth(c) wide,
// and each cell is followed by a grid line of GridLineWidth to its right and below it. Fixed rows
// and columns start at the viewport's top-left corner; the scrolling part starts right after them
// with TopRow and LeftCol. Nothing is kept per cell: text comes from the cell text source, or
// from SetCell for small grids, and is asked for only while a cell is painted.
//
// The current cell is always a scrolling cell (Col() >= FixedCols, Row() >= FixedRows), or -1 on
// an axis without scrolling cells; it is drawn highlighted, and framed while the grid has the
// focus. Arrows, Tab/Shift+Tab (wrapping through all cells), Page Up/Down, Home/End and their
// Ctrl forms move it; a click on a scrolling cell selects it; the wheel and the scroll bars
// scroll, following the thumb while it is dragged. A cell too narrow for its text shows the whole
// text as its tool tip.
//
// Besides the current cell there is a selection, a block of scrolling cells (TGridSelection):
// a click selects the cell, dragging or Shift+click selects the block from where it began,
// Shift with a movement key extends it to where the current cell went, a click on a fixed cell
// of a row (column) selects the whole row (column), dragging or Shift+click over those headers
// whole rows (columns), a click on the fixed corner and Ctrl+A select every scrolling cell.
// Header clicks and Ctrl+A leave the current cell where it is. The selected cells other than
// the current one are shaded over their normal drawing and the draw hook, so that coloured
// cells show it too. The grid asks its owner to copy (Ctrl+C) and for a context menu (menu key,
// Shift+F10, right click; a right click outside the selection selects that cell first).
//
// Defaults: 5 x 5 cells, one fixed row and column, rows 24 and columns 64 pixels, 1-pixel lines.
// Sizes, counts and indices passed in are clamped to their valid ranges (a column is at most
// MaxColWidth wide); out-of-range cells are ignored rather than failing.
class TStringGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    enum DrawStateFlag {
        FixedCell = 0x1,
        SelectedCell = 0x2, // the current cell
        FocusedCell = 0x4,  // the current cell while the grid has the focus
        MarkedCell = 0x8,   // a selected cell other than the current one
    };
    Q_DECLARE_FLAGS(DrawState, DrawStateFlag)

    // Runs after a cell has been drawn normally. The painter is clipped to the cell rectangle
    // (without grid lines) and its state is restored afterwards.
    using DrawCellHandler = std::function<void(int col, int row, const QRect& rect, DrawState state,
                                               QPainter& painter)>;
    using CellTextSource = std::function<QString(int col, int row)>;

    explicit TStringGrid(QWidget* parent = nullptr);
    ~TStringGrid() override;

    int RowCount() const { return m_rowCount; }
    void SetRowCount(int count);
    int ColCount() const { return m_colCount; }
    void SetColCount(int count);

    // Changing a fixed count moves the top-left and the current cell to the first scrolling
    // cell. A count at or above RowCount/ColCount is kept and takes effect when the grid grows.
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int count);
    int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int count);

    int DefaultRowHeight() const { return m_rowHeight; }
    void SetDefaultRowHeight(int height);
    // Setting the default width gives it to every column.
    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int width);
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    // The widths of the first columns at once (extra widths are ignored), laid out once.
    void SetColWidths(const std::vector<int>& widths);
    // Columns scroll whole, so no column shows more than a screen of itself; the limit keeps
    // the sums of widths far inside int.
    static constexpr int MaxColWidth = 32767;
    // 0 draws no grid lines.
    int GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int width);

    // First visible scrolling row and column. Setting them clamps to the range the scroll bars
    // offer: the last row or column cannot scroll above the bottom or right edge.
    int TopRow() const { return m_topRow; }
    void SetTopRow(int row);
    int LeftCol() const { return m_leftCol; }
    void SetLeftCol(int col);
    // Scrolling rows and columns that are fully visible, grid line included, from TopRow and
    // LeftCol on.
    int VisibleRowCount() const;
    int VisibleColCount() const;

    int Col() const { return m_col; }
    int Row() const { return m_row; }
    // Makes (col, row), clamped to the scrolling cells, the current cell and scrolls it into
    // full view.
    void SetCurrentCell(int col, int row);

    // The selected block; after any change of the current cell other than by a header click or
    // Ctrl+A, and whenever the cells change (counts, fixed counts, source), the current cell
    // alone.
    const TGridSelection& Selection() const { return m_selection; }
    void SelectAll();
    // The current cell alone again.
    void ClearSelection();
    // Selects a block of scrolling cells (clamped) without moving the current cell.
    void SelectBlock(int left, int top, int right, int bottom);

    // Text of a cell: the stored text if SetCell gave one, otherwise the source's text.
    QString Cell(int col, int row) const;
    // Stores a text for one cell; it wins over the source. Cells outside the grid are ignored,
    // and stored texts of rows or columns that are removed are dropped.
    void SetCell(int col, int row, const QString& text);
    void ClearCells();
    // The source is asked only for cells being painted (and by Cell).
    void SetCellTextSource(CellTextSource source);

    // The object carried by the row-0 cell of a column; null when there is none.
    TGridObject* Object(int col) const;
    template <class T> T* ObjectAs(int col) const { return dynamic_cast<T*>(Object(col)); }
    // Takes ownership; the previous object of the column is freed. Ignored for a column outside
    // the grid (the object is freed).
    void SetObject(int col, std::unique_ptr<TGridObject> object);

    const DrawCellHandler& OnDrawCell() const { return m_onDrawCell; }
    void SetOnDrawCell(DrawCellHandler handler);

    // A failure while cells are shown (a cell text that cannot be had, memory running out, while
    // painting or giving a tool tip) must not leave the event: showing stops there, and the
    // handler is told once per event. It runs inside the event, so it must not throw or show
    // anything itself.
    using ShowFailureHandler = std::function<void(std::exception_ptr failure)>;
    void SetOnShowFailure(ShowFailureHandler handler);

    // As much of a text as can show in a cell rectangle drawn into this grid's viewport: no
    // character is narrower than a pixel, so the rest would be laid out only to be clipped.
    QString VisibleText(const QString& text, const QRect& rect) const;

    // Rectangle of a cell in viewport coordinates, grid line excluded; also for a partly
    // visible cell. Empty for a cell outside the grid or out of view.
    QRect CellRect(int col, int row) const;
    // (col, row) of the cell under a viewport position, a point on a grid line counting for the
    // cell before it; each is -1 where the position is on no cell or outside the viewport.
    QPoint MouseToCell(const QPoint& pos) const;
    // The whole text of the cell under a viewport position when the cell cuts it off (a huge
    // one cut to a screenful and an ellipsis); empty when the text fits or there is no cell.
    QString CutText(const QPoint& pos) const;

signals:
    void topLeftChanged();
    // Ctrl+C.
    void copyRequested();
    // The context menu is asked for, to be shown at a global position.
    void contextMenuRequested(const QPoint& globalPos);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Span {
        int index;
        int pos;
        int size;
    };

    int fixedRowsInUse() const;
    int fixedColsInUse() const;
    int rowExtent() const;
    int colExtent(int col) const;
    int fixedHeight() const;
    int fixedWidth() const;
    int scrollHeight() const;
    int scrollWidth() const;
    int rowsFitting() const;
    // Smallest TopRow (LeftCol) that shows the row (column) in full, or the row (column) itself
    // when it alone does not fit.
    int firstTopShowing(int row) const;
    int firstLeftShowing(int col) const;
    int maxTopRow() const;
    int maxLeftCol() const;
    std::vector<Span> visibleRows() const;
    std::vector<Span> visibleCols() const;

    void moveTopLeft(int col, int row);
    bool moveCurrent(int col, int row);
    void scrollIntoView(int col, int row);
    void relayout(int left, int top);
    void resetTopLeftAndCurrent();
    void updateScrollBars();
    void updateCurrentCell();
    void dropCellsOutside();
    bool handleNavigationKey(const QKeyEvent& event);
    bool handleSelectionKey(const QKeyEvent& event);
    TGridSelection::Bounds selectionBounds() const;
    void resetSelection();
    void extendSelection();
    // What a press began: a block of cells, whole rows, whole columns, or nothing.
    enum class DragKind { None, Cells, Rows, Cols };
    void pressAt(const QPoint& pos, bool extend);
    void dragTo(const QPoint& pos);
    // The cell under a position, or the next one past the edge it is beyond, for dragging.
    QPoint dragCellAt(const QPoint& pos) const;
    void selectCellAt(const QPoint& pos);
    void paintCells(QPainter& painter, const QRect& area);
    void paintCell(QPainter& painter, const Span& col, const Span& row, DrawState state);

    int m_rowCount = 5;
    int m_colCount = 5;
    int m_fixedRows = 1;
    int m_fixedCols = 1;
    int m_rowHeight = 24;
    int m_defaultColWidth = 64;
    int m_gridLineWidth = 1;
    int m_topRow = 1;
    int m_leftCol = 1;
    int m_col = 1;
    int m_row = 1;
    bool m_syncingScrollBars = false;
    TGridSelection m_selection;
    DragKind m_drag = DragKind::None;
    std::vector<int> m_colWidths;
    std::vector<std::unique_ptr<TGridObject>> m_objects;
    std::unordered_map<quint64, QString> m_cells;
    CellTextSource m_source;
    DrawCellHandler m_onDrawCell;
    ShowFailureHandler m_onShowFailure;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TStringGrid::DrawState)
