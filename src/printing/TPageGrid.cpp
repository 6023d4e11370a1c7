#include "TPageGrid.h"

#include "Cp1252.h"

TPageGrid::TPageGrid(int rowCount, int colCount, int fixedRows, int fixedCols, CellFunction cell)
    : m_rowCount(rowCount)
    , m_colCount(colCount)
    , m_fixedRows(fixedRows)
    , m_fixedCols(fixedCols)
    , m_cell(std::move(cell))
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
        return QString::fromStdString(Cp1252ToUtf8(text));
    // A report prints the cells of the fixed columns on every strip, and cuts a long one to its
    // column: converting it once keeps what a page costs apart from what its cells hold. Kept by
    // the text, which repeated columns share.
    const auto found = m_longCells.find(text);
    if (found != m_longCells.end())
        return found->second;
    return m_longCells.emplace(text, QString::fromStdString(Cp1252ToUtf8(text))).first->second;
}

const TColumnProperties* TPageGrid::Object(int c) const
{
    if (c < 0 || static_cast<size_t>(c) >= m_hasObject.size() || !m_hasObject[c])
        return nullptr;
    return &m_objects[c];
}

void TPageGrid::SetObject(int c, const TColumnProperties& properties)
{
    if (c < 0 || c >= m_colCount)
        return;
    if (m_objects.empty()) {
        m_objects.resize(m_colCount);
        m_hasObject.resize(m_colCount, false);
    }
    m_objects[c] = properties;
    m_hasObject[c] = true;
}
