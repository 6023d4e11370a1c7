#pragma once

#include "PageTypes.h"
#include "TMatchDocument.h"

#include <functional>
#include <string>
#include <vector>

// Width of a text in pixels, measured by whoever shows it (the window's font, the printer's).
using TTextWidth = std::function<int(const std::string&)>;

// What the files page shows of a document: N + 4 rows (two title rows, the files, the sum without
// and the sum with lock files), one column per column code. Texts are code page 1252 bytes in the
// current locale; the document must outlive the table.
//
// Columns the document describes but cannot fill never fail: an added-column code of 0 or beyond
// the stored added columns is an empty column, a system code below -15 has empty titles and
// "???" cells.
class TFilesTable {
public:
    explicit TFilesTable(const TMatchDocument& doc);

    const TMatchDocument& Document() const { return m_doc; }
    int32_t FileCount = 0;       // N
    int32_t NameColumnCount = 0; // "Datei" and/or "Dateiname" before the number
    TColumnMap ColumnMap;
    bool SumPanelsEnabled = false;

    int32_t RowCount() const { return FileCount + 4; }
    int32_t ColCount() const { return static_cast<int32_t>(ColumnMap.size()); }
    static constexpr int32_t FixedRows = 2;
    // The name and number columns when they come first (the sum captions cover them), else 0.
    int32_t FixedCols() const;

    int32_t SumWithoutRow() const { return FileCount + 2; }
    int32_t SumWithRow() const { return FileCount + 3; }

    // The cell text, as the grid holds it: system cells from the document, added cells stored or
    // summed, and in a single log its file number in the number column of the file row.
    std::string GridCellText(int32_t c, int32_t r) const;
    // The computed sum of an added column over its file rows (lock files only when withLockFiles):
    // decimal in 64 bits, "####" for a cell that is not a 32-bit integer, empty when no cell
    // counted.
    std::string ColumnSum(int32_t c, bool withLockFiles) const;
    TOptionalColour CellColour(int32_t c, int32_t r) const;
    // The added column's properties, or nothing for a system column.
    std::optional<TColumnProperties> AddColInfo(int32_t c) const;

    // "G = Grunddatei, S = Sperrdatei, * = datensatzeigene Priorität kommt hinzu"
    std::string BuildLegend() const;
    // Captions of the two sum rows' fixed cells: three blanks and the locale text.
    static std::string Sum1Caption();
    static std::string Sum2Caption();

    // Content width of column c plus the 8-pixel margin, measured with width; digitWidth is the
    // width of "2". Remembers the widths of the ident and file-name columns.
    int ColumnWidth(int32_t c, const TTextWidth& width, int digitWidth);
    // ColumnWidth of every column, measuring each distinct column code once: a code may repeat,
    // and its column is the same wherever it stands.
    std::vector<int> ColumnWidths(const TTextWidth& width, int digitWidth);
    // Width of a counting column's figures: digitWidth per character of GrossTotal, at least 3.
    int NumberWidth(int digitWidth) const;
    int FileColumnWidth = 0;
    int FileNameColumnWidth = 0;

private:
    const TMatchDocAddColEntry* AddedColumn(int32_t code) const;
    std::string AddedCellText(int32_t code, int32_t r) const;

    const TMatchDocument& m_doc;
    // Per added column (index code - 1), filled for the summed ones the table shows.
    std::vector<std::string> m_sumWithout;
    std::vector<std::string> m_sumWith;
};

// The input files of a log, which its pages show: every entry but the last, the sums' row.
int32_t InputFileCount(const TMatchDocument& doc);

// The file label columns: 1 for FileLabelKind 1 ("Datei") or 0 ("Dateiname"), 2 for 2, else 0.
bool ShowsIdentColumn(uint8_t fileLabelKind);
bool ShowsNameColumn(uint8_t fileLabelKind);

// Parses a whole number as the platform's integer parser does: leading blanks, an optional sign,
// decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X" (up to 8 hexadecimal
// digits taken as a 32-bit pattern). False for anything else or outside 32 bits.
bool ParseInteger(const std::string& text, int32_t& value);
