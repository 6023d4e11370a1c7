#include "CellText.h"

#include "TLocale.h"

#include <atomic>
#include <charconv>
#include <clocale>

namespace {

constexpr char kBlank = ' ';

std::atomic<char> g_decimalSeparator{'\0'};

// Counts come from the file unchecked; their differences must wrap as the producer's do, not
// become undefined behaviour.
int32_t WrappingDifference(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

std::string Number(int64_t value) { return std::to_string(value); }

std::string Character(char c) { return std::string(1, c == '\0' ? kBlank : c); }

std::string EntryCell(const TMatchDocument& doc, const TMatchDocFileEntry& e, int32_t code,
                      int32_t row, char decimalSeparator)
{
    switch (code) {
    case -2:
        return Number(e.Gross);
    case -3:
        return KindInSet(doc.IntraKinds, e.Kind) ? Number(e.Intra) : std::string();
    case -4:
        return IsBaseOrMaster(e.Kind) || doc.MatrixKind != 0 || doc.Legacy ? Number(e.Duplicates)
                                                                           : std::string();
    case -5:
        return Number(e.Hits);
    case -6:
        return FormatPercent(e.Duplicates, e.Gross, decimalSeparator);
    case -7:
        return Number(e.NetEstimate);
    case -8:
        return Number(WrappingDifference(e.Gross, e.Duplicates));
    case -9:
        return Number(WrappingDifference(WrappingDifference(e.Gross, e.Duplicates), e.Multi));
    case -10:
        return Number(e.Multi);
    case -11:
        return Number(int64_t(row) - 1);
    case -12:
        return e.Ident;
    case -13:
        return e.Name;
    case -14:
        return Number(static_cast<uint32_t>(e.Priority) >> 2) +
               Character(e.OwnPriority ? doc.OwnPriorityMark : kBlank);
    case -15:
        return Character(e.Kind < doc.KindLetters.size() ? doc.KindLetters[e.Kind] : kBlank);
    }
    return "???";
}

// The sum row with lock files holds the document's totals.
std::string TotalCell(const TMatchDocument& doc, int32_t code)
{
    switch (code) {
    case -2:
        return Number(doc.GrossTotal);
    case -5:
        return Number(doc.HitsTotal);
    }
    return "???";
}

} // namespace

char DecimalSeparator()
{
    const char chosen = g_decimalSeparator.load();
    if (chosen != '\0')
        return chosen;
    const char* point = std::localeconv()->decimal_point;
    return point && point[0] != '\0' && point[1] == '\0' ? point[0] : '.';
}

void SetDecimalSeparator(char separator) { g_decimalSeparator.store(separator); }

TColumnMeaning ColumnMeaningOf(const TMatchDocument& doc, int32_t code)
{
    if (code < 1)
        return SystemColumnMeaning(code);
    if (code > static_cast<int64_t>(doc.AddedColumns.size()))
        return TColumnMeaning();
    const TMatchDocAddColEntry& column = doc.AddedColumns[static_cast<size_t>(code) - 1];
    return AddedColumnMeaning(column.LeftAligned, column.SumWithout, column.SumWith);
}

std::string CellText(const TMatchDocument& doc, int32_t code, int32_t row, char decimalSeparator)
{
    if (row < 0)
        return {};
    if (row <= 1)
        return Locale().ColumnTitle(IsSystemColumn(code) ? -code : 0, row);
    const TColumnMeaning& column = SystemColumnMeaning(code);
    const int64_t sumRow = int64_t(doc.FileCount) + 2;
    if (row > sumRow)
        return column.SumWith ? TotalCell(doc, code) : std::string();
    const size_t index = static_cast<size_t>(row - 2);
    if (index >= doc.Entries.size())
        return {};
    const TMatchDocFileEntry& entry = doc.Entries[index];
    if (row == sumRow && IsSystemColumn(code) && !column.SumWithout)
        return {};
    if (column.BaseAndMasterOnly && !IsBaseOrMaster(entry.Kind))
        return {};
    return EntryCell(doc, entry, code, row, decimalSeparator);
}

std::string FormatPercent(int32_t part, int32_t whole, char decimalSeparator)
{
    if (whole == 0)
        return {};
    const long double x = static_cast<long double>(part) / whole * 100;
    if (!(x < 99.95L))
        return "100";
    // to_chars ignores the C locale, so the separator is ours to place.
    char buffer[64];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 2);
    std::string text(buffer, result.ptr);
    const size_t point = text.find('.');
    if (point != std::string::npos)
        text[point] = decimalSeparator;
    return text;
}

bool SameKindGroup(TFileKind a, TFileKind b)
{
    return (IsMasterFile(a) && IsMasterFile(b)) || (IsLockFile(a) && IsLockFile(b));
}
