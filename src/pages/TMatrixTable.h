#pragma once

#include "PageTypes.h"
#include "TMatchDocument.h"

#include <string>

// What the matrix page shows: one fixed header row, then one row per input file; the file label
// columns and the number column are fixed, then one column per input file. Cells are formatted
// when asked, so a matrix of thousands of files costs nothing until shown. The document must
// outlive the table.
class TMatrixTable {
public:
    explicit TMatrixTable(const TMatchDocument& doc);

    // The tab shows only for two or more input files.
    bool Visible() const { return FileCount >= 2; }
    // The matrix kind's name in the current locale.
    std::string Title() const;

    int32_t FileCount = 0;
    int32_t NameColumnCount = 0; // c0
    bool ShowsIdent = false;     // column 0 is "Datei"
    bool ShowsName = false;      // column c0 - 1 is "Dateiname"

    int32_t RowCount() const { return FileCount + 1; }
    int32_t ColCount() const { return NameColumnCount + FileCount + 1; }
    int32_t FixedCols() const { return NameColumnCount + 1; }
    static constexpr int32_t FixedRows = 1;

    std::string CellText(int32_t c, int32_t r) const;
    // The value shown for files r and i (1-based), or nothing for a cell left blank.
    bool Value(int32_t r, int32_t i, int32_t& value) const;
    // The diagonal's colour.
    TOptionalColour CellColour(int32_t c, int32_t r) const;

private:
    const TMatchDocument& m_doc;
};
