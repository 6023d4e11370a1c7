#include "LocaleErrors.h"
#include "TLocale.h"
#include "TStringList.h"
#include "TextTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <vector>

namespace {

// Every single-text slot with its relative id and both languages' texts.
struct SlotCase {
    std::string TLocale::*slot;
    int32_t id;
    const char* german;
    const char* english;
};

const SlotCase kSlots[] = {
    {&TLocale::NrTitle, 1, "Nr.", "Nr."},
    {&TLocale::FileTitle, 2, "Datei", "File"},
    {&TLocale::FileNameTitle, 3, "Dateiname", "Filename"},
    {&TLocale::PrioTitle, 4, "Prio", "Prio"},
    {&TLocale::KindTitle, 5, "Art", "Type"},
    {&TLocale::ReplacementsTitle, 6, "Ersetungen", "Replacements"},
    {&TLocale::RecordsLabel, 8, "S\xe4tze", "Data Records"},
    {&TLocale::RatingRowFormat, 9, "F%d", "F%d"},
    {&TLocale::OwnPriorityNote, 401, "datensatzeigene Priorit\xe4t kommt hinzu",
     "Including Priority In Data Record-Own"},
    {&TLocale::SumWithTitle, 501, "Summe mit  Sperrdateien", "Sum with Lockfiles"},
    {&TLocale::SumWithoutTitle, 502, "Summe ohne Sperrdateien", "Sum w/o  Lockfiles"},
    {&TLocale::ProtocolTitle, 504, "Protokoll", "Protocol"},
    {&TLocale::SingleProtocolTitle, 505, "Einzel-Protokoll", "Single-Protocol"},
    {&TLocale::PageTitle, 506, "Seite", "Page"},
    {&TLocale::NetShareTitle, 507, "Netto-Anteil", "Net-Proportion"},
    {&TLocale::StatisticTitle, 508, "Statistik", "Statistic"},
};

// Column titles for k = 1..15: German upper, lower, English upper, lower.
const char* const kColumnTitles[15][4] = {
    {"S\xe4tze", "Lieferung", "Delivered", "Addresses"},
    {"S\xe4tze", "Brutto", "Gross", "Input"},
    {"Intra-", "Dubletten", "Intra", "Dupes"},
    {"Dubletten", "absolut", "", "Dupes"},
    {"Dubletten", "Treffer", "Dupe", "Hits"},
    {"Dubletten", "in %", "Percentage", "Of Dupes"},
    {"S\xe4tze", "%-Netto", "Net Output", "Estimate"},
    {"S\xe4tze", "Netto", "Net Output", ""},
    {"S\xe4tze", "Single", "Output", "Singles"},
    {"S\xe4tze", "Multi", "Output", "Multies"},
    {"", "Nr.", "", "Nr."},
    {"", "Datei", "", "File"},
    {"", "Dateiname", "", "Filename"},
    {"", "Prio", "", "Prio"},
    {"", "Art", "", "Type"},
};

const char* const kMatrixTitles[3][2] = {
    {"Kompatibilit\xe4tsmatrix", "Compatibilitymatrix"},
    {"Eliminationsmatrix", "Eliminationmatrix"},
    {"\xdc"
     "berschneidungsmatrix",
     "Overlapmatrix"},
};

const char* const kFileKindNames[4][2] = {
    {"Grunddatei", "Basicfile"},
    {"Master-Datei", "Masterfile"},
    {"Sperrdatei", "Purgefile"},
    {"Kompaktsperrdatei", "Compact Purgefile"},
};

// Every slot of a locale, in field order, to compare whole locales.
std::vector<std::string> AllSlots(const TLocale& locale)
{
    std::vector<std::string> slots;
    for (const SlotCase& c : kSlots)
        slots.push_back(locale.*c.slot);
    for (const auto& column : locale.ColumnTitles)
        slots.insert(slots.end(), column.begin(), column.end());
    slots.insert(slots.end(), locale.MatrixTitles.begin(), locale.MatrixTitles.end());
    slots.insert(slots.end(), locale.FileKindNames.begin(), locale.FileKindNames.end());
    return slots;
}

void ExpectLanguage(const TLocale& locale, int language)
{
    for (const SlotCase& c : kSlots) {
        SCOPED_TRACE(c.id);
        const std::string expected = language == 0 ? c.german : c.english;
        EXPECT_EQ(locale.*c.slot, expected);
        EXPECT_EQ(locale.LoadText(c.id), expected);
    }
    for (int32_t k = 1; k <= 15; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(locale.ColumnTitle(k, 0), kColumnTitles[k - 1][2 * language]);
        EXPECT_EQ(locale.ColumnTitle(k, 1), kColumnTitles[k - 1][2 * language + 1]);
    }
    for (uint8_t kind = 0; kind < 3; ++kind)
        EXPECT_EQ(locale.MatrixTitle(kind), kMatrixTitles[kind][language]);
    for (uint8_t kind = 0; kind < 4; ++kind)
        EXPECT_EQ(locale.FileKindName(kind), kFileKindNames[kind][language]);
}

// A text table that tests fill as they need.
std::map<int32_t, std::string> g_fakeTexts;

std::string FakeText(int32_t absoluteId)
{
    const auto found = g_fakeTexts.find(absoluteId);
    return found == g_fakeTexts.end() ? std::string() : found->second;
}

class FakeTable : public ::testing::Test {
protected:
    void TearDown() override { g_fakeTexts.clear(); }
};

} // namespace

TEST(TextTable, LanguageListAndLanguageBlocks)
{
    EXPECT_EQ(TableText(1), "2");
    EXPECT_EQ(TableText(11), "Deutsch=1000");
    EXPECT_EQ(TableText(12), "Englisch (US)=2000");
    EXPECT_EQ(TableText(1006), "Ersetungen");
    EXPECT_EQ(TableText(2502), "Sum w/o  Lockfiles");
    // Ids without text in a language, and ids nobody uses.
    for (int32_t id :
         {0, 2, 10, 13, 1000, 1007, 1503, 2000, 2107, 2116, 3001, -1, INT_MIN, INT_MAX})
        EXPECT_EQ(TableText(id), "") << id;
}

TEST(TLocaleTexts, BothLanguages)
{
    {
        SCOPED_TRACE("German");
        ExpectLanguage(TLocale(TLocale::kGermanBase), 0);
    }
    {
        SCOPED_TRACE("English");
        ExpectLanguage(TLocale(TLocale::kEnglishBase), 1);
    }
}

TEST(TLocaleTexts, ColumnTitleOutsideItsRangeFails)
{
    const TLocale locale(TLocale::kGermanBase);
    const std::pair<int32_t, int32_t> cases[] = {
        {0, 0},  {16, 1},      {3, 2},       {1, -1},      {-1, 0},
        {15, 2}, {INT_MIN, 0}, {INT_MAX, 1}, {1, INT_MIN},
    };
    for (const auto& [k, line] : cases)
        EXPECT_THROW(locale.ColumnTitle(k, line), ERangeError) << k << ", " << line;
    EXPECT_NO_THROW(locale.ColumnTitle(1, 0));
    EXPECT_NO_THROW(locale.ColumnTitle(15, 1));
}

TEST(TLocaleTexts, KindsFromTheLogOutsideTheTablesHaveNoName)
{
    const TLocale locale(TLocale::kGermanBase);
    for (uint8_t kind : {3, 4, 255})
        EXPECT_EQ(locale.MatrixTitle(kind), "") << int(kind);
    for (uint8_t kind : {4, 8, 255})
        EXPECT_EQ(locale.FileKindName(kind), "") << int(kind);
}

TEST(TLocaleTexts, BaseWithoutTextsEmptiesEverySlotAndSwitchingBackRestores)
{
    TLocale locale(TLocale::kGermanBase);
    const std::vector<std::string> german = AllSlots(locale);

    locale.SetBase(3000);
    EXPECT_EQ(locale.Base, 3000);
    for (const std::string& slot : AllSlots(locale))
        EXPECT_EQ(slot, "");

    locale.SetBase(TLocale::kEnglishBase);
    ExpectLanguage(locale, 1);

    locale.SetBase(TLocale::kGermanBase);
    EXPECT_EQ(locale.Base, TLocale::kGermanBase);
    EXPECT_EQ(AllSlots(locale), german);
    ExpectLanguage(locale, 0);
}

TEST(TLocaleTexts, BasesNearTheEndsOfTheIdRange)
{
    // Base + id must not overflow; such ids have no text.
    for (int32_t base : {INT_MAX, INT_MIN, INT_MAX - 5}) {
        TLocale locale(base);
        EXPECT_EQ(locale.LoadText(INT_MAX), "") << base;
        EXPECT_EQ(locale.LoadText(INT_MIN), "") << base;
        EXPECT_EQ(locale.NrTitle, "") << base;
    }
    // A sum that would wrap round to a real id (1001) in 32 bits has no text either.
    EXPECT_EQ(TLocale(INT_MIN).LoadText(-2147482647), "");
    // A base that reaches a real text through a negative id.
    EXPECT_EQ(TLocale(3000).LoadText(-1999), "Nr.");
}

TEST_F(FakeTable, LoadTextCutsAt1023Characters)
{
    struct Case {
        size_t stored;
        size_t loaded;
    };
    for (const Case c :
         {Case{0, 0}, Case{1022, 1022}, Case{1023, 1023}, Case{1024, 1023}, Case{5000, 1023}}) {
        std::string text(c.stored, 'x');
        if (!text.empty())
            text.back() = 'y';
        g_fakeTexts[1401] = text;
        const TLocale locale(TLocale::kGermanBase, FakeText);
        EXPECT_EQ(locale.LoadText(401), text.substr(0, c.loaded)) << c.stored;
        EXPECT_EQ(locale.OwnPriorityNote, text.substr(0, c.loaded)) << c.stored;
    }
}

TEST(TLocaleList, FillsTheLanguagesWithTheirBases)
{
    const TLocale locale(TLocale::kEnglishBase);
    TStringList list;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        locale.FillLocaleList(&list);
        ASSERT_EQ(list.Items.size(), 2u);
        EXPECT_EQ(list.Items[0].Text, "Deutsch");
        EXPECT_EQ(list.Items[0].Object, 1000);
        EXPECT_EQ(list.Items[1].Text, "Englisch (US)");
        EXPECT_EQ(list.Items[1].Object, 2000);
    }

    TStringList used;
    used.Add("alt", 7);
    locale.FillLocaleList(&used);
    ASSERT_EQ(used.Items.size(), 2u);
    EXPECT_EQ(used.Items[0].Text, "Deutsch");

    EXPECT_NO_THROW(locale.FillLocaleList(nullptr));
}

TEST_F(FakeTable, LanguageListFromOtherTables)
{
    struct Case {
        const char* name;
        std::map<int32_t, std::string> texts;
        std::vector<std::pair<std::string, int32_t>> items; // when it loads
        bool fails;
    };
    const Case cases[] = {
        {"no languages", {{1, "0"}}, {}, false},
        {"negative count", {{1, "-3"}, {11, "A=1"}}, {}, false},
        {"one language", {{1, "1"}, {11, "Nur=5000"}, {12, "Mehr=6000"}}, {{"Nur", 5000}}, false},
        {"name with blanks and a second equals sign", {{1, "1"}, {11, "A b=c=1"}}, {}, true},
        {"empty name, negative base", {{1, "1"}, {11, "=-7"}}, {{"", -7}}, false},
        {"count not a number", {{1, "zwei"}}, {}, true},
        {"count missing", {}, {}, true},
        {"count too large for 32 bits", {{1, "4294967297"}}, {}, true},
        {"entry without equals sign", {{1, "1"}, {11, "Deutsch"}}, {}, true},
        {"base not a number", {{1, "1"}, {11, "Deutsch=tausend"}}, {}, true},
        {"base empty", {{1, "1"}, {11, "Deutsch="}}, {}, true},
        {"count larger than the list", {{1, "2000000000"}, {11, "A=1"}}, {{"A", 1}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_fakeTexts = c.texts;
        const TLocale locale(TLocale::kGermanBase, FakeText);
        TStringList list;
        list.Add("alt", 1);
        if (c.fails) {
            EXPECT_THROW(locale.FillLocaleList(&list), EConvertError);
        } else {
            EXPECT_NO_THROW(locale.FillLocaleList(&list));
        }
        // What was read before a failure stays; nothing half-made is added.
        std::vector<std::pair<std::string, int32_t>> items;
        for (const TStringItem& item : list.Items)
            items.emplace_back(item.Text, item.Object);
        EXPECT_EQ(items, c.items);
    }
}

TEST(GlobalLocale, StartsGermanAndIsOneObject)
{
    TLocale& locale = Locale();
    EXPECT_EQ(&locale, &Locale());
    EXPECT_EQ(locale.Base, TLocale::kGermanBase);
    ExpectLanguage(locale, 0);

    locale.SetBase(TLocale::kEnglishBase);
    EXPECT_EQ(Locale().ColumnTitle(4, 1), "Dupes");
    Locale().SetBase(TLocale::kGermanBase);
    EXPECT_EQ(locale.ColumnTitle(4, 1), "absolut");
}
