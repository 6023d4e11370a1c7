#include "TGridSelection.h"

#include <algorithm>

qint64 TGridSelection::CellCount() const
{
    if (IsEmpty())
        return 0;
    return qint64(m_right - m_left + 1) * qint64(m_bottom - m_top + 1);
}

void TGridSelection::Clear() { *this = TGridSelection(); }

void TGridSelection::SelectCell(int col, int row, const Bounds& bounds)
{
    m_anchorCol = m_endCol = col;
    m_anchorRow = m_endRow = row;
    m_wholeRows = m_wholeCols = false;
    span(bounds);
}

void TGridSelection::ExtendTo(int col, int row, const Bounds& bounds)
{
    if (m_anchorCol < 0) {
        SelectCell(col, row, bounds);
        return;
    }
    m_endCol = col;
    m_endRow = row;
    span(bounds);
}

void TGridSelection::SelectRow(int row, const Bounds& bounds)
{
    SelectCell(bounds.FirstCol, row, bounds);
    m_wholeRows = true;
    span(bounds);
}

void TGridSelection::SelectCol(int col, const Bounds& bounds)
{
    SelectCell(col, bounds.FirstRow, bounds);
    m_wholeCols = true;
    span(bounds);
}

void TGridSelection::SelectAll(const Bounds& bounds)
{
    SelectCell(bounds.FirstCol, bounds.FirstRow, bounds);
    m_wholeRows = m_wholeCols = true;
    span(bounds);
}

void TGridSelection::Clamp(const Bounds& bounds)
{
    if (m_anchorCol < 0)
        return;
    span(bounds);
}

void TGridSelection::span(const Bounds& bounds)
{
    if (bounds.Empty()) {
        Clear();
        return;
    }
    const auto col = [&](int c) { return std::clamp(c, bounds.FirstCol, bounds.ColCount - 1); };
    const auto row = [&](int r) { return std::clamp(r, bounds.FirstRow, bounds.RowCount - 1); };
    m_anchorCol = col(m_anchorCol);
    m_anchorRow = row(m_anchorRow);
    m_endCol = col(m_endCol);
    m_endRow = row(m_endRow);
    m_left = m_wholeRows ? bounds.FirstCol : std::min(m_anchorCol, m_endCol);
    m_right = m_wholeRows ? bounds.ColCount - 1 : std::max(m_anchorCol, m_endCol);
    m_top = m_wholeCols ? bounds.FirstRow : std::min(m_anchorRow, m_endRow);
    m_bottom = m_wholeCols ? bounds.RowCount - 1 : std::max(m_anchorRow, m_endRow);
}
