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
    return FromCp1252(text);
}

TOptionalColour TPageGrid::Colour(int c, int r) const
{
    if (!m_colour || c < 0 || c >= m_colCount || r < 0 || r >= m_rowCount)
        return std::nullopt;
    return m_colour(c, r);
}
