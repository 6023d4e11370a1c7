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
    return QString::fromStdString(Cp1252ToUtf8(text));
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
