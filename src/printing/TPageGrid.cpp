#include "TPageGrid.h"

#include "QtText.h"

TPageGrid::TPageGrid(int rowCount, int colCount, int fixedRows, int fixedCols, CellFunction cell,
                     ColourFunction colour)
    : m_rowCount(rowCount)
    , m_colCount(colCount)
    , m_fixedRows(fixedRows)
    , m_fixedCols(fixedCols)
    , m_cell(std::move(cell))
    , m_colour(std::move(colour))
{
}

QString TPageGrid::Cell(int c, int r) const
{
    if (c < 0 || c >= m_colCount || r < 0 || r >= m_rowCount)
        return QString();
    const std::string text = m_cell(c, r);
    if (text.empty())
        return QString();
    if (text.size() <= kLongCell)
        return FromCp1252(text);
    // A report prints the cells of the fixed columns on every strip, and cuts a long one to its
    // column: converting it once keeps what a page costs apart from what its cells hold. Kept by
    // the text, which repeated columns share.
    const auto found = m_longCells.find(text);
    if (found != m_longCells.end())
        return found->second;
    return m_longCells.emplace(text, FromCp1252(text)).first->second;
}

TOptionalColour TPageGrid::Colour(int c, int r) const
{
    if (!m_colour || c < 0 || c >= m_colCount || r < 0 || r >= m_rowCount)
        return std::nullopt;
    return m_colour(c, r);
}
