#include "CellText.h"

#include "TLocale.h"

#include <atomic>
#include <charconv>
#include <clocale>

namespace {

constexpr int32_t kCodeGross = -2;
constexpr int32_t kCodeHits = -5;
constexpr int32_t kFirstFileDescribingCode = -11;
constexpr char kBlank = ' ';

std::atomic<char> g_decimalSeparator{'\0'};

// Counts come from the file unchecked; their differences must wrap as the producer's do, not
// become undefined behaviour.
int32_t WrappingDifference(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

std::string Number(int64_t value)
{
    return std::to_string(value);
}

bool IsBaseOrMaster(const TMatchDocFileEntry& entry)
{
    return entry.Kind < 2;
}

std::string BlankUnlessBaseOrMaster(const TMatchDocFileEntry& entry, const std::string& text)
{
    return IsBaseOrMaster(entry) ? text : std::string();
}

std::string Character(char c)
{
    return std::string(1, c == '\0' ? kBlank : c);
}

std::string FileDescribingCell(const TMatchDocument& doc, const TMatchDocFileEntry& entry,
                               int32_t code, int32_t row)
{
    switch (code) {
    case -11:
        return Number(int64_t(row) - 1);
    case -12:
        return entry.Ident;
    case -13:
        return entry.Name;
    case -14:
        return Number(static_cast<uint32_t>(entry.Priority) >> 2) +
               Character(entry.OwnPriority ? doc.OwnPriorityMark : kBlank);
    case -15:
        return Character(entry.Kind < doc.KindLetters.size() ? doc.KindLetters[entry.Kind]
                                                             : kBlank);
    }
    return "???";
}

std::string CountCell(const TMatchDocument& doc, const TMatchDocFileEntry& e, int32_t code,
                      char decimalSeparator)
{
    switch (code) {
    case -2:
        return Number(e.Gross);
    case -3:
        return KindInSet(doc.IntraKinds, e.Kind) ? Number(e.Intra) : std::string();
    case -4:
        return IsBaseOrMaster(e) || doc.MatrixKind != 0 || doc.Legacy ? Number(e.Duplicates)
                                                                      : std::string();
    case -5:
        return Number(e.Hits);
    case -6:
        return BlankUnlessBaseOrMaster(e, FormatPercent(e.Duplicates, e.Gross, decimalSeparator));
    case -7:
        return BlankUnlessBaseOrMaster(e, Number(e.NetEstimate));
    case -8:
        return BlankUnlessBaseOrMaster(e, Number(WrappingDifference(e.Gross, e.Duplicates)));
    case -9: {
        const int32_t net = WrappingDifference(e.Gross, e.Duplicates);
        return BlankUnlessBaseOrMaster(e, Number(WrappingDifference(net, e.Multi)));
    }
    case -10:
        return BlankUnlessBaseOrMaster(e, Number(e.Multi));
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

void SetDecimalSeparator(char separator)
{
    g_decimalSeparator.store(separator);
}

std::string CellText(const TMatchDocument& doc, int32_t code, int32_t row, char decimalSeparator)
{
    if (row < 0)
        return {};
    if (row <= 1) {
        const bool isSystemCode = code >= -TLocale::kColumnTitleCount && code <= -1;
        return Locale().ColumnTitle(isSystemCode ? -code : 0, row);
    }
    const int64_t sumRow = int64_t(doc.FileCount) + 2;
    if (row > sumRow) {
        if (code == kCodeGross)
            return Number(doc.GrossTotal);
        if (code == kCodeHits)
            return Number(doc.HitsTotal);
        return {};
    }
    const size_t index = static_cast<size_t>(row - 2);
    if (index >= doc.Entries.size())
        return {};
    const TMatchDocFileEntry& entry = doc.Entries[index];
    if (code <= kFirstFileDescribingCode && code >= -TLocale::kColumnTitleCount)
        return row == sumRow ? std::string() : FileDescribingCell(doc, entry, code, row);
    return CountCell(doc, entry, code, decimalSeparator);
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
    const auto isLock = [](TFileKind kind) { return kind == 2 || kind == 3; };
    return (a == 1 && b == 1) || (isLock(a) && isLock(b));
}
