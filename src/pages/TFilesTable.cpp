#include "TFilesTable.h"

#include "CellText.h"
#include "ColumnMeaning.h"
#include "TLocale.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\0'; }

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int32_t InputFileCount(const TMatchDocument& doc)
{
    return std::max<int32_t>(0, static_cast<int32_t>(doc.Entries.size()) - 1);
}

bool ShowsIdentColumn(uint8_t fileLabelKind) { return fileLabelKind == 1 || fileLabelKind == 2; }

bool ShowsNameColumn(uint8_t fileLabelKind) { return fileLabelKind == 0 || fileLabelKind == 2; }

bool ParseInteger(const std::string& text, int32_t& value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size())
        return false;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit =
            hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    if (hex) {
        const auto pattern = static_cast<uint32_t>(magnitude);
        value = static_cast<int32_t>(negative ? 0u - pattern : pattern);
        return true;
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull))
        return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                     : static_cast<int32_t>(magnitude);
    return true;
}

std::string ColourName(const TCellColour& colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.Red, colour.Green, colour.Blue);
    return text;
}

TFilesTable::TFilesTable(const TMatchDocument& doc)
    : m_doc(doc)
{
    FileCount = InputFileCount(doc);
    NameColumnCount =
        int(ShowsIdentColumn(doc.FileLabelKind)) + int(ShowsNameColumn(doc.FileLabelKind));
    ColumnMap = doc.Columns;
    SumPanelsEnabled = true;
    const int32_t lastFixed = std::min<int32_t>(NameColumnCount, ColCount() - 1);
    for (int32_t c = 0; c <= lastFixed; ++c) {
        if (!ColumnMeaningOf(doc, ColumnMap[c]).NamesFile)
            SumPanelsEnabled = false;
    }
    // Sums are asked for at every paint; add them up once for each added column shown, however
    // many codes name it.
    m_sumWithout.resize(doc.AddedColumns.size());
    m_sumWith.resize(doc.AddedColumns.size());
    std::vector<bool> summed(doc.AddedColumns.size());
    for (int32_t c = 0; c < ColCount(); ++c) {
        const TMatchDocAddColEntry* column = AddedColumn(ColumnMap[c]);
        if (!column || doc.SingleNumber > 0 || summed[ColumnMap[c] - 1])
            continue;
        summed[ColumnMap[c] - 1] = true;
        if (column->SumWithout)
            m_sumWithout[ColumnMap[c] - 1] = ColumnSum(c, false);
        if (column->SumWith)
            m_sumWith[ColumnMap[c] - 1] = ColumnSum(c, true);
    }
}

int32_t TFilesTable::FixedCols() const
{
    return SumPanelsEnabled ? std::min<int32_t>(NameColumnCount + 1, ColCount()) : 0;
}

const TMatchDocAddColEntry* TFilesTable::AddedColumn(int32_t code) const
{
    if (code < 1 || code > static_cast<int32_t>(m_doc.AddedColumns.size()))
        return nullptr;
    return &m_doc.AddedColumns[code - 1];
}

std::string TFilesTable::AddedCellText(int32_t code, int32_t r) const
{
    const TMatchDocAddColEntry* column = AddedColumn(code);
    if (!column || r < 0 || r >= static_cast<int32_t>(column->Cells.size()))
        return std::string();
    return column->Cells[r];
}

std::string TFilesTable::GridCellText(int32_t c, int32_t r) const
{
    if (c < 0 || c >= ColCount() || r < 0 || r >= RowCount())
        return std::string();
    const int32_t code = ColumnMap[c];
    if (code < 0) {
        if (!IsSystemColumn(code) && r < FixedRows)
            return std::string();
        if (code == kCodeNumber && r == FixedRows && m_doc.SingleNumber > 0)
            return std::to_string(m_doc.SingleNumber);
        return CellText(m_doc, code, r);
    }
    const TMatchDocAddColEntry* column = AddedColumn(code);
    if (column && m_doc.SingleNumber <= 0) {
        if (r == SumWithoutRow() && column->SumWithout)
            return m_sumWithout[code - 1];
        if (r == SumWithRow() && column->SumWith)
            return m_sumWith[code - 1];
    }
    return AddedCellText(code, r);
}

std::string TFilesTable::ColumnSum(int32_t c, bool withLockFiles) const
{
    const int32_t code = ColumnMap[c];
    int64_t sum = 0;
    bool any = false;
    for (int32_t i = 0; i < FileCount; ++i) {
        if (!withLockFiles && IsLockFile(m_doc.Entries[i].Kind))
            continue;
        const std::string text = Trim(AddedCellText(code, i + 2));
        if (text.empty())
            continue;
        int32_t value = 0;
        if (!ParseInteger(text, value))
            return "####";
        sum += value;
        any = true;
    }
    return any ? std::to_string(sum) : std::string();
}

TOptionalColour TFilesTable::CellColour(int32_t c, int32_t r) const
{
    if (c < 0 || c >= ColCount())
        return std::nullopt;
    const TColumnMeaning column = ColumnMeaningOf(m_doc, ColumnMap[c]);
    if ((r == SumWithoutRow() && column.SumWithout) || (r == SumWithRow() && column.SumWith))
        return ColumnColours::Sum;
    if (r >= FixedRows && r <= FileCount + 1)
        return column.FileRowColour;
    return std::nullopt;
}

std::optional<TColumnProperties> TFilesTable::AddColInfo(int32_t c) const
{
    if (c < 0 || c >= ColCount() || ColumnMap[c] < 1)
        return std::nullopt;
    TColumnProperties info;
    info.UpperTitle = GridCellText(c, 0);
    info.LowerTitle = GridCellText(c, 1);
    if (const TMatchDocAddColEntry* column = AddedColumn(ColumnMap[c])) {
        info.SumWithout = column->SumWithout;
        info.SumWith = column->SumWith;
        info.LeftAligned = column->LeftAligned;
    }
    return info;
}

std::string TFilesTable::BuildLegend() const
{
    std::string legend;
    auto append = [&legend](char letter, const std::string& name) {
        legend += legend.empty() ? std::string() : ", ";
        legend += std::string(1, letter) + " = " + name;
    };
    const auto& letters = m_doc.KindLetters;
    if (!std::all_of(letters.begin(), letters.end(), IsBlank)) {
        for (size_t kind = 0; kind < letters.size(); ++kind) {
            const char letter = letters[kind];
            if (IsBlank(letter) || std::find(letters.begin(), letters.begin() + kind, letter) !=
                                       letters.begin() + kind)
                continue;
            append(letter, Locale().FileKindName(static_cast<uint8_t>(kind)));
        }
    }
    if (!IsBlank(m_doc.OwnPriorityMark))
        append(m_doc.OwnPriorityMark, Locale().OwnPriorityNote);
    return legend;
}

std::string TFilesTable::Sum1Caption() { return "   " + Locale().SumWithoutTitle; }

std::string TFilesTable::Sum2Caption() { return "   " + Locale().SumWithTitle; }

int TFilesTable::NumberWidth(int digitWidth) const
{
    const int grossChars = static_cast<int>(std::to_string(m_doc.GrossTotal).size());
    return digitWidth * std::max(3, grossChars);
}

int TFilesTable::ColumnWidth(int32_t c, const TTextWidth& width, int digitWidth)
{
    const int32_t code = ColumnMap[c];
    int b = NumberWidth(digitWidth);
    int32_t lastRow = 1;
    if (code >= 1) {
        b = 18;
        lastRow = RowCount() - 1;
    } else if (code == kCodeKind) {
        b = width("W ");
    } else if (code == kCodePriority) {
        b = width(std::string(1, m_doc.OwnPriorityMark)) + 3 * digitWidth;
    } else if (code == kCodeName || code == kCodeIdent) {
        b = 18;
        lastRow = FileCount + 1;
    } else if (code == kCodeNumber) {
        b = 3 * digitWidth;
    }
    for (int32_t r = 0; r <= lastRow; ++r)
        b = std::max(b, width(GridCellText(c, r)));
    if (code == kCodeName)
        FileNameColumnWidth = b;
    else if (code == kCodeIdent)
        FileColumnWidth = b;
    return b + 8;
}

std::vector<int> TFilesTable::ColumnWidths(const TTextWidth& width, int digitWidth)
{
    std::vector<int> widths(ColumnMap.size());
    std::unordered_map<int32_t, int> measured;
    for (int32_t c = 0; c < ColCount(); ++c) {
        auto found = measured.find(ColumnMap[c]);
        if (found == measured.end())
            found = measured.emplace(ColumnMap[c], ColumnWidth(c, width, digitWidth)).first;
        widths[c] = found->second;
    }
    return widths;
}
