#pragma once

#include <QtGlobal>

// The selected block of a grid's scrolling cells: columns Left..Right by rows Top..Bottom.
//
// A block begins at an anchor and is extended from it. Begun on a cell, it is the rectangle
// between the anchor and the cell it is extended to; begun on a row header it is whole rows
// (every scrolling column of the rows between), on a column header whole columns; SelectAll
// takes every scrolling cell. Every operation keeps the block inside the scrolling cells it is
// given, clamping the cells passed in; without scrolling cells on an axis the block is empty.
class TGridSelection {
public:
    // The scrolling cells: columns FirstCol..ColCount-1 by rows FirstRow..RowCount-1.
    struct Bounds {
        int FirstCol = 0;
        int FirstRow = 0;
        int ColCount = 0;
        int RowCount = 0;
        bool Empty() const { return FirstCol >= ColCount || FirstRow >= RowCount; }
    };

    bool IsEmpty() const { return m_left < 0; }
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Right() const { return m_right; }
    int Bottom() const { return m_bottom; }
    // Where the block began; -1 when empty.
    int AnchorCol() const { return m_anchorCol; }
    int AnchorRow() const { return m_anchorRow; }
    bool WholeRows() const { return m_wholeRows; }
    bool WholeCols() const { return m_wholeCols; }
    bool Contains(int col, int row) const
    {
        return !IsEmpty() && col >= m_left && col <= m_right && row >= m_top && row <= m_bottom;
    }
    // Cells in the block (0 when empty); 64 bits, as whole columns of a big matrix are many.
    qint64 CellCount() const;

    void Clear();
    // The one cell, which becomes the anchor.
    void SelectCell(int col, int row, const Bounds& bounds);
    // From the anchor to the cell: the rectangle, or the rows (columns) between for a block of
    // whole rows (columns). Without an anchor, the cell alone.
    void ExtendTo(int col, int row, const Bounds& bounds);
    // The whole row (column), which becomes the anchor.
    void SelectRow(int row, const Bounds& bounds);
    void SelectCol(int col, const Bounds& bounds);
    void SelectAll(const Bounds& bounds);
    // Keeps the block and its anchor inside new bounds, or clears it when none are left.
    void Clamp(const Bounds& bounds);

private:
    void span(const Bounds& bounds);

    int m_anchorCol = -1;
    int m_anchorRow = -1;
    int m_endCol = -1;
    int m_endRow = -1;
    bool m_wholeRows = false;
    bool m_wholeCols = false;
    int m_left = -1;
    int m_top = -1;
    int m_right = -1;
    int m_bottom = -1;
};
