#include "CellText.h"
#include "LocaleErrors.h"
#include "Samples.h"
#include "TLocale.h"
#include "TMatchDocument.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace {

TMatchDocFileEntry Entry(TFileKind kind, int32_t priority, uint8_t ownPriority, const char* ident,
                         const char* name, int32_t gross, int32_t intra, int32_t dupes,
                         int32_t hits, int32_t netEstimate, int32_t multi)
{
    TMatchDocFileEntry e;
    e.Kind = kind;
    e.Priority = priority;
    e.OwnPriority = ownPriority;
    e.Ident = ident;
    e.Name = name;
    e.Gross = gross;
    e.Intra = intra;
    e.Duplicates = dupes;
    e.Hits = hits;
    e.NetEstimate = netEstimate;
    e.Multi = multi;
    return e;
}

// Three files (base, master, lock) and the sum without the lock file.
TMatchDocument ThreeFiles()
{
    TMatchDocument doc;
    doc.KindLetters = {'G', 'M', 'S', 'K'};
    doc.OwnPriorityMark = '*';
    doc.UpdateIntraKinds();
    doc.FileCount = 3;
    doc.Entries = {
        Entry(0, 20, 1, "KAT", "katalog.dat", 200, 7, 50, 11, 75, 30),
        Entry(1, 21, 0, "KD", "k\xfcnden.dat", 3, 2, 1, 0, 66, 0),
        Entry(2, 8, 0, "ROB", "robinson.dat", 1000, 4, 100, 100, 90, 5),
        Entry(0, 0, 0, "", "", 203, 9, 51, 11, 74, 30),
    };
    doc.GrossTotal = 1203;
    doc.HitsTotal = 111;
    return doc;
}

// Makes the global locale German again whatever a test did to it.
class WithLocale : public ::testing::Test {
protected:
    void TearDown() override
    {
        Locale().SetBase(TLocale::kGermanBase);
        SetDecimalSeparator('\0');
    }
};

struct SeparatorCase {
    int32_t part;
    int32_t whole;
    const char* text; // with '.', a ',' separator gives the same with ','
};

} // namespace

TEST(CellText, EveryColumnOnEveryRow)
{
    const TMatchDocument doc = ThreeFiles();
    struct Case {
        int32_t code;
        // Rows 2, 3, 4 (files), 5 (sum without lock files), 6 (sum with), 7 and 1000 (beyond).
        const char* cells[7];
    };
    const Case cases[] = {
        {-1, {"???", "???", "???", "???", "", "", ""}},
        {-2, {"200", "3", "1000", "203", "1203", "1203", "1203"}},
        {-3, {"7", "2", "", "9", "", "", ""}},
        {-4, {"50", "1", "", "51", "", "", ""}},
        {-5, {"11", "0", "100", "11", "111", "111", "111"}},
        {-6, {"25.00", "33.33", "", "25.12", "", "", ""}},
        {-7, {"75", "66", "", "74", "", "", ""}},
        {-8, {"150", "2", "", "152", "", "", ""}},
        {-9, {"120", "2", "", "122", "", "", ""}},
        {-10, {"30", "0", "", "30", "", "", ""}},
        {-11, {"1", "2", "3", "", "", "", ""}},
        {-12, {"KAT", "KD", "ROB", "", "", "", ""}},
        {-13, {"katalog.dat", "k\xfcnden.dat", "robinson.dat", "", "", "", ""}},
        {-14, {"5*", "5 ", "2 ", "", "", "", ""}},
        {-15, {"G", "M", "S", "", "", "", ""}},
    };
    const int32_t rows[] = {2, 3, 4, 5, 6, 7, 1000};
    for (const Case& c : cases) {
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(CellText(doc, c.code, rows[i], '.'), c.cells[i])
                << "code " << c.code << ", row " << rows[i];
    }
}

TEST_F(WithLocale, TitleRowsFollowTheLocale)
{
    const TMatchDocument doc = ThreeFiles();
    struct Case {
        int32_t code;
        const char* german[2];
        const char* english[2];
    };
    const Case cases[] = {
        {-1, {"S\xe4tze", "Lieferung"}, {"Delivered", "Addresses"}},
        {-4, {"Dubletten", "absolut"}, {"", "Dupes"}},
        {-8, {"S\xe4tze", "Netto"}, {"Net Output", ""}},
        {-11, {"", "Nr."}, {"", "Nr."}},
        {-15, {"", "Art"}, {"", "Type"}},
    };
    for (const Case& c : cases) {
        for (int32_t row : {0, 1}) {
            Locale().SetBase(TLocale::kGermanBase);
            EXPECT_EQ(CellText(doc, c.code, row), c.german[row]) << c.code << ", " << row;
            Locale().SetBase(TLocale::kEnglishBase);
            EXPECT_EQ(CellText(doc, c.code, row), c.english[row]) << c.code << ", " << row;
        }
    }
}

TEST(CellText, CodesOutsideTheSystemColumns)
{
    const TMatchDocument doc = ThreeFiles();
    for (int32_t code : {0, 1, 5, -16, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(code);
        for (int32_t row : {0, 1})
            EXPECT_THROW(CellText(doc, code, row), ERangeError);
        EXPECT_EQ(CellText(doc, code, 2), "???");
        EXPECT_EQ(CellText(doc, code, 5), "???");
        EXPECT_EQ(CellText(doc, code, 6), "");
    }
}

TEST(CellText, RowsTheDocumentDoesNotHold)
{
    const TMatchDocument doc = ThreeFiles();
    for (int32_t row : {-1, -2, INT_MIN})
        EXPECT_EQ(CellText(doc, -2, row), "") << row;
    EXPECT_EQ(CellText(doc, -2, INT_MAX), "1203");

    // An empty document has no sum entry: its one possible entry row stays blank.
    TMatchDocument empty;
    empty.GrossTotal = 12;
    for (int32_t code = -15; code <= -1; ++code)
        EXPECT_EQ(CellText(empty, code, 2), "") << code;
    EXPECT_EQ(CellText(empty, -2, 3), "12");

    // A document whose FileCount and Entries disagree must not be read past its entries.
    TMatchDocument damaged = ThreeFiles();
    damaged.Entries.resize(2);
    EXPECT_EQ(CellText(damaged, -2, 3), "3");
    EXPECT_EQ(CellText(damaged, -2, 4), "");
    EXPECT_EQ(CellText(damaged, -2, 5), "");
    damaged.FileCount = -5;
    EXPECT_EQ(CellText(damaged, -2, 2), "1203");
}

TEST(CellText, LockFilesAndTheirDuplicates)
{
    // Under -4 a lock file's duplicates show only for elimination or overlap matrices or in a
    // legacy log; under -6 .. -10 lock files are always blank.
    struct Case {
        TFileKind kind;
        uint8_t matrixKind;
        bool legacy;
        const char* duplicates;
    };
    const Case cases[] = {
        {0, 0, false, "50"}, {1, 0, false, "50"}, {2, 0, false, ""},     {3, 0, false, ""},
        {2, 1, false, "50"}, {3, 2, false, "50"}, {2, 0, true, "50"},    {3, 0, true, "50"},
        {4, 0, false, ""},   {255, 0, false, ""}, {255, 7, false, "50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << ", matrix "
                                        << int(c.matrixKind) << ", legacy " << c.legacy);
        TMatchDocument doc = ThreeFiles();
        doc.MatrixKind = c.matrixKind;
        doc.Legacy = c.legacy;
        doc.Entries[0].Kind = c.kind;
        EXPECT_EQ(CellText(doc, -4, 2, '.'), c.duplicates);
        const bool counted = c.kind < 2;
        EXPECT_EQ(CellText(doc, -6, 2, '.'), counted ? "25.00" : "");
        EXPECT_EQ(CellText(doc, -7, 2, '.'), counted ? "75" : "");
        EXPECT_EQ(CellText(doc, -8, 2, '.'), counted ? "150" : "");
        EXPECT_EQ(CellText(doc, -9, 2, '.'), counted ? "120" : "");
        EXPECT_EQ(CellText(doc, -10, 2, '.'), counted ? "30" : "");
        // Gross and hits show for every kind.
        EXPECT_EQ(CellText(doc, -2, 2, '.'), "200");
        EXPECT_EQ(CellText(doc, -5, 2, '.'), "11");
    }
}

TEST(CellText, IntraCountsFollowGroupMode)
{
    struct Case {
        uint8_t groupMode;
        TFileKind kind;
        bool shown;
    };
    const Case cases[] = {
        {0, 0, true},  {0, 1, true},  {0, 2, false}, {0, 3, false},  {0, 9, false},   {1, 0, true},
        {1, 1, false}, {1, 2, false}, {1, 3, false}, {200, 0, true}, {200, 1, false}, {1, 8, false},
    };
    for (const Case& c : cases) {
        TMatchDocument doc = ThreeFiles();
        doc.GroupMode = c.groupMode;
        doc.UpdateIntraKinds();
        doc.Entries[0].Kind = c.kind;
        EXPECT_EQ(CellText(doc, -3, 2), c.shown ? "7" : "")
            << "group mode " << int(c.groupMode) << ", kind " << int(c.kind);
    }
}

TEST(CellText, PriorityAndItsMark)
{
    struct Case {
        int32_t priority;
        uint8_t ownPriority;
        char mark;
        const char* text;
    };
    const Case cases[] = {
        {20, 1, '*', "5*"},
        {20, 0, '*', "5 "},
        {20, 2, '+', "5+"},
        {23, 1, '*', "5*"},
        {3, 1, '*', "0*"},
        {20, 1, ' ', "5 "},
        {20, 1, '\0', "5 "},
        {-1, 0, '*', "1073741823 "},
        {INT_MIN, 1, '#', "536870912#"},
        {INT_MAX, 0, '*', "536870911 "},
    };
    for (const Case& c : cases) {
        TMatchDocument doc = ThreeFiles();
        doc.OwnPriorityMark = c.mark;
        doc.Entries[0].Priority = c.priority;
        doc.Entries[0].OwnPriority = c.ownPriority;
        EXPECT_EQ(CellText(doc, -14, 2), c.text)
            << c.priority << ", own " << int(c.ownPriority) << ", mark " << int(c.mark);
    }
}

TEST(CellText, KindLetters)
{
    struct Case {
        TFileKind kind;
        const char* text;
    };
    const Case cases[] = {{0, "G"}, {1, "M"}, {2, "S"}, {3, "K"}, {4, " "}, {255, " "}};
    for (const Case& c : cases) {
        TMatchDocument doc = ThreeFiles();
        doc.Entries[1].Kind = c.kind;
        EXPECT_EQ(CellText(doc, -15, 3), c.text) << int(c.kind);
    }
    // A kind without a letter keeps its blank; a zero byte shows as a blank too.
    TMatchDocument doc = ThreeFiles();
    doc.KindLetters = {' ', '\0', '\xc4', 'K'};
    EXPECT_EQ(CellText(doc, -15, 2), " ");
    EXPECT_EQ(CellText(doc, -15, 3), " ");
    doc.Entries[1].Kind = 2;
    EXPECT_EQ(CellText(doc, -15, 3), "\xc4");
}

TEST(CellText, NumbersArePlainAndDifferencesWrap)
{
    struct Case {
        int32_t gross, dupes, multi;
        const char* grossText;
        const char* net;
        const char* single;
    };
    const Case cases[] = {
        {1234567, 0, 0, "1234567", "1234567", "1234567"},
        {-5, 3, 0, "-5", "-8", "-8"},
        {INT_MIN, 1, 0, "-2147483648", "2147483647", "2147483647"},
        {INT_MAX, -1, 0, "2147483647", "-2147483648", "-2147483648"},
        {INT_MAX, -1, INT_MIN, "2147483647", "-2147483648", "0"},
        {0, 0, 1, "0", "0", "-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grossText);
        TMatchDocument doc = ThreeFiles();
        doc.Entries[0].Gross = c.gross;
        doc.Entries[0].Duplicates = c.dupes;
        doc.Entries[0].Multi = c.multi;
        EXPECT_EQ(CellText(doc, -2, 2), c.grossText);
        EXPECT_EQ(CellText(doc, -8, 2), c.net);
        EXPECT_EQ(CellText(doc, -9, 2), c.single);
    }
    TMatchDocument doc = ThreeFiles();
    doc.Entries[0].Gross = 0;
    EXPECT_EQ(CellText(doc, -6, 2), "");
    doc.GrossTotal = INT_MIN;
    doc.HitsTotal = -1;
    EXPECT_EQ(CellText(doc, -2, 6), "-2147483648");
    EXPECT_EQ(CellText(doc, -5, 6), "-1");
}

TEST(CellText, SingleLogShowsItsFileAndTheWholeLogsSums)
{
    const TMatchDocument whole = SampleWholeLog();
    const TMatchDocument single = SingleLogOf(whole, 3);
    const TMatchDocFileEntry& file = whole.Entries[2];
    EXPECT_EQ(CellText(single, -11, 2), "1");
    EXPECT_EQ(CellText(single, -12, 2), file.Ident);
    EXPECT_EQ(CellText(single, -2, 2), std::to_string(file.Gross));
    EXPECT_EQ(CellText(single, -2, 3), std::to_string(whole.Entries[8].Gross));
    EXPECT_EQ(CellText(single, -11, 3), "");
    EXPECT_EQ(CellText(single, -2, 4), std::to_string(whole.GrossTotal));
    EXPECT_EQ(CellText(single, -5, 4), std::to_string(whole.HitsTotal));
    // Every row of the whole log agrees with the same file's row in its single log.
    for (int32_t code = -15; code <= -2; ++code) {
        if (code == -11)
            continue;
        EXPECT_EQ(CellText(single, code, 2), CellText(whole, code, 4)) << code;
        EXPECT_EQ(CellText(single, code, 3), CellText(whole, code, 10)) << code;
    }
}

TEST_F(WithLocale, FormatPercentWithEitherSeparator)
{
    const SeparatorCase cases[] = {
        {1, 3, "33.33"},
        {2, 3, "66.67"},
        {0, 7, "0.00"},
        {7, 7, "100"},
        {2999, 3000, "100"},
        {4, 3, "100"},
        {9994, 10000, "99.94"},
        {1, 8, "12.50"},
        {-1, 4, "-25.00"},
        {1, -4, "-25.00"},
        {-4, -4, "100"},
        {INT_MIN, -1, "100"},
        {INT_MIN, 1, "-214748364800.00"},
        {1, INT_MAX, "0.00"},
        {0, 0, ""},
        {5, 0, ""},
        {INT_MIN, 0, ""},
    };
    for (const SeparatorCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.part << " of " << c.whole);
        std::string german = c.text;
        for (char& ch : german) {
            if (ch == '.')
                ch = ',';
        }
        EXPECT_EQ(FormatPercent(c.part, c.whole, '.'), c.text);
        EXPECT_EQ(FormatPercent(c.part, c.whole, ','), german);
        SetDecimalSeparator(',');
        EXPECT_EQ(FormatPercent(c.part, c.whole), german);
        SetDecimalSeparator('\0');
    }
}

TEST_F(WithLocale, CellTextTakesTheSettableSeparator)
{
    const TMatchDocument doc = ThreeFiles();
    // Tests run in the "C" locale until something sets another.
    EXPECT_EQ(DecimalSeparator(), '.');
    EXPECT_EQ(CellText(doc, -6, 3), "33.33");
    SetDecimalSeparator(',');
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(CellText(doc, -6, 3), "33,33");
    EXPECT_EQ(CellText(doc, -6, 3, '.'), "33.33");
    SetDecimalSeparator('\0');
    EXPECT_EQ(CellText(doc, -6, 3), "33.33");
}

TEST(SameKindGroup, MastersWithMastersAndLocksWithLocks)
{
    const std::set<std::pair<int, int>> same = {{1, 1}, {2, 2}, {2, 3}, {3, 2}, {3, 3}};
    for (int a : {0, 1, 2, 3, 4, 255}) {
        for (int b : {0, 1, 2, 3, 4, 255}) {
            EXPECT_EQ(SameKindGroup(TFileKind(a), TFileKind(b)), same.count({a, b}) == 1)
                << a << ", " << b;
        }
    }
}
