#include "TLocale.h"

#include "LocaleErrors.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace {

constexpr int32_t kLanguageCountId = 1;
constexpr int32_t kLanguageListId = 10;

// Plain decimal within 32 bits only: the table's numbers are ours, anything else is a broken
// table.
int32_t ToInteger(const std::string& text)
{
    const auto fail = [&text]() {
        std::string shown;
        for (const char c : text)
            shown += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        return EConvertError("'" + shown + "' ist kein g\xc3\xbcltiger Integerwert");
    };
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const std::from_chars_result result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end)
        throw fail();
    return value;
}

std::string LookUp(TTextLookup lookup, int64_t absoluteId)
{
    if (absoluteId < std::numeric_limits<int32_t>::min() ||
        absoluteId > std::numeric_limits<int32_t>::max())
        return {};
    return lookup(static_cast<int32_t>(absoluteId));
}

} // namespace

TLocale::TLocale(int32_t base, TTextLookup lookup)
    : m_lookup(lookup)
{
    SetBase(base);
}

void TLocale::SetBase(int32_t base)
{
    Base = base;
    NrTitle = LoadText(1);
    FileTitle = LoadText(2);
    FileNameTitle = LoadText(3);
    PrioTitle = LoadText(4);
    KindTitle = LoadText(5);
    ReplacementsTitle = LoadText(6);
    RecordsLabel = LoadText(8);
    RatingRowFormat = LoadText(9);
    for (int32_t k = 1; k <= kColumnTitleCount; ++k) {
        const TColumnMeaning& column = SystemColumnMeaning(-k);
        ColumnTitles[k - 1][0] = TitleText(column.UpperTitleId);
        ColumnTitles[k - 1][1] = TitleText(column.LowerTitleId);
    }
    for (size_t i = 0; i < MatrixTitles.size(); ++i)
        MatrixTitles[i] = LoadText(201 + static_cast<int32_t>(i));
    for (size_t i = 0; i < FileKindNames.size(); ++i)
        FileKindNames[i] = LoadText(301 + static_cast<int32_t>(i));
    OwnPriorityNote = LoadText(401);
    SumWithTitle = LoadText(501);
    SumWithoutTitle = LoadText(502);
    ProtocolTitle = LoadText(504);
    SingleProtocolTitle = LoadText(505);
    PageTitle = LoadText(506);
    NetShareTitle = LoadText(507);
    StatisticTitle = LoadText(508);
}

std::string TLocale::TitleText(int32_t id) const { return id == 0 ? std::string() : LoadText(id); }

std::string TLocale::LoadText(int32_t id) const
{
    std::string text = LookUp(m_lookup, int64_t(Base) + id);
    // A string resource is read into a fixed buffer; longer texts have always come out cut.
    if (text.size() > kTextBufferSize - 1)
        text.resize(kTextBufferSize - 1);
    return text;
}

const std::string& TLocale::ColumnTitle(int32_t k, int32_t line) const
{
    if (k < 1 || k > kColumnTitleCount || line < 0 || line > 1)
        throw ERangeError();
    return ColumnTitles[k - 1][line];
}

const std::string& TLocale::MatrixTitle(uint8_t kind) const
{
    static const std::string none;
    return kind < MatrixTitles.size() ? MatrixTitles[kind] : none;
}

const std::string& TLocale::FileKindName(uint8_t kind) const
{
    static const std::string none;
    return kind < FileKindNames.size() ? FileKindNames[kind] : none;
}

void TLocale::FillLocaleList(TStrings* strings) const
{
    if (!strings)
        return;
    strings->Clear();
    const int32_t count = ToInteger(LookUp(m_lookup, kLanguageCountId));
    for (int32_t i = 1; i <= count; ++i) {
        const std::string entry = LookUp(m_lookup, int64_t(kLanguageListId) + i);
        const size_t equals = entry.find('=');
        const int32_t base =
            ToInteger(equals == std::string::npos ? std::string() : entry.substr(equals + 1));
        strings->Add(entry.substr(0, equals), base);
    }
}

TLocale& Locale()
{
    static TLocale locale(TLocale::kGermanBase);
    return locale;
}
