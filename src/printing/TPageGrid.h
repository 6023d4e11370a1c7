#pragma once

#include "TReportGrid.h"

#include <functional>
#include <string>
#include <unordered_map>

// A report grid over page data: cells come from a function in code page 1252 and are converted
// when asked, so a matrix of millions of cells costs nothing until printed. Long cells (more than
// a few thousand characters) are converted once and kept.
class TPageGrid : public TReportGrid {
public:
    using CellFunction = std::function<std::string(int c, int r)>;
    using ColourFunction = std::function<TOptionalColour(int c, int r)>;

    // Without a colour function no cell has a fill.
    TPageGrid(int rowCount, int colCount, int fixedRows, int fixedCols, CellFunction cell,
              ColourFunction colour = nullptr);

    int RowCount() const override { return m_rowCount; }
    int ColCount() const override { return m_colCount; }
    int FixedRows() const override { return m_fixedRows; }
    int FixedCols() const override { return m_fixedCols; }
    QString Cell(int c, int r) const override;
    TOptionalColour Colour(int c, int r) const override;

private:
    int m_rowCount;
    int m_colCount;
    int m_fixedRows;
    int m_fixedCols;
    CellFunction m_cell;
    ColourFunction m_colour;
    // Cells of more bytes than this are kept once converted.
    static constexpr std::size_t kLongCell = 4096;
    mutable std::unordered_map<std::string, QString> m_longCells;
};
