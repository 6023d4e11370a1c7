#include "CellText.h"
#include "Samples.h"
#include "TFilesTable.h"
#include "TLocale.h"

#include <gtest/gtest.h>

namespace {

// A document with the given columns and kinds; counts are small and recognisable.
TMatchDocument Doc(const TColumnMap& columns, const std::vector<TFileKind>& kinds,
                   uint8_t fileLabelKind = 2)
{
    TMatchDocument doc;
    doc.FileLabelKind = fileLabelKind;
    doc.KindLetters = {'G', 'M', 'S', 'K'};
    doc.OwnPriorityMark = '*';
    doc.Columns = columns;
    doc.FileCount = static_cast<int32_t>(kinds.size());
    doc.UpdateIntraKinds();
    for (size_t i = 0; i < kinds.size(); ++i) {
        TMatchDocFileEntry e;
        e.Kind = kinds[i];
        e.Ident = "ID" + std::to_string(i + 1);
        e.Name = "file" + std::to_string(i + 1);
        e.Gross = 100 * int32_t(i + 1);
        doc.Entries.push_back(e);
    }
    doc.Entries.emplace_back();
    doc.Ratings = {0};
    return doc;
}

TMatchDocAddColEntry Added(std::vector<std::string> cells, uint8_t without, uint8_t with)
{
    TMatchDocAddColEntry column;
    column.Cells = std::move(cells);
    column.SumWithout = without;
    column.SumWith = with;
    return column;
}

} // namespace

TEST(FilesTable, FixedColumnsAndSumPanels)
{
    struct Case {
        uint8_t labelKind;
        TColumnMap columns;
        int nameColumns;
        bool panels;
        int fixedCols;
    };
    const Case cases[] = {
        {2, {-12, -13, -11, -2}, 2, true, 3},
        {1, {-12, -11, -2}, 1, true, 2},
        {0, {-13, -11, -2}, 1, true, 2},
        {5, {-11, -2}, 0, true, 1},
        {2, {-11, -12, -13, -2}, 2, true, 3}, // any order of name and number columns
        {2, {-2, -12, -13, -11}, 2, false, 0},
        {2, {-12, -13, -2, -11}, 2, false, 0},
        {2, {-12, -13}, 2, true, 2}, // fewer columns than the fixed block
        {2, {}, 2, true, 0},
    };
    for (const Case& c : cases) {
        const TMatchDocument doc = Doc(c.columns, {0, 1, 2}, c.labelKind);
        const TFilesTable table(doc);
        EXPECT_EQ(table.NameColumnCount, c.nameColumns);
        EXPECT_EQ(table.SumPanelsEnabled, c.panels);
        EXPECT_EQ(table.FixedCols(), c.fixedCols);
        EXPECT_EQ(table.RowCount(), 7);
    }
}

TEST(FilesTable, AddedColumnSums)
{
    TMatchDocument doc = Doc({-11, 1, 2, 3}, {0, 2, 1, 3});
    const std::string max = "2147483647";
    doc.AddedColumns = {
        Added({"A", "", " 10", "20", "$1F", "", "stored1", "stored2"}, 1, 1),
        Added({"B", "", max, "x", max, "", "", ""}, 1, 1),
        Added({"C", "", "", "", "", "", "s1", "s2"}, 0, 0),
    };
    const TFilesTable table(doc);
    // Without lock files rows 2 and 4 count; with them all rows.
    EXPECT_EQ(table.GridCellText(1, 6), "41");
    EXPECT_EQ(table.GridCellText(1, 7), "61");
    EXPECT_EQ(table.GridCellText(2, 6), "4294967294"); // beyond 32 bits, shown in full
    EXPECT_EQ(table.GridCellText(2, 7), "####");
    EXPECT_EQ(table.GridCellText(3, 6), "s1"); // not summed: the stored text
    EXPECT_EQ(table.GridCellText(3, 7), "s2");
    EXPECT_EQ(table.GridCellText(1, 0), "A");

    doc.AddedColumns[0] = Added({"A", "", "", "", "", "", "x", "y"}, 1, 1);
    EXPECT_EQ(TFilesTable(doc).GridCellText(1, 6), ""); // nothing contributed
}

TEST(FilesTable, ParseIntegerLikeThePlatform)
{
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"  42", true, 42},
        {"+7", true, 7},
        {"-2147483648", true, INT32_MIN},
        {"2147483647", true, INT32_MAX},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$FF", true, 255},
        {"0x10", true, 16},
        {"X1a", true, 26},
        {"$FFFFFFFF", true, -1},
        {"-$10", true, -16},
        {"$100000000", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"12a", false, 0},
        {"1 2", false, 0},
        {"1.5", false, 0},
        {"0x", false, 0},
    };
    for (const Case& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(ParseInteger(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(FilesTable, SingleLogNumberGoesToTheNumberColumn)
{
    const TMatchDocument whole = SampleWholeLog();
    TMatchDocument single = SingleLogOf(whole, 3);
    single.Columns = {-12, -13, -11, -2, 1};
    const TFilesTable table(single);
    EXPECT_EQ(table.GridCellText(0, 2), whole.Entries[2].Ident);
    EXPECT_EQ(table.GridCellText(2, 2), "3");
    // Sum rows of a summed added column show their stored texts, still coloured as sums.
    single.AddedColumns[0].Cells[3] = "stored sum";
    const TFilesTable again(single);
    EXPECT_EQ(again.GridCellText(4, 3), "stored sum");
    EXPECT_EQ(again.CellColour(4, 3), ColumnColours::Sum);

    single.Columns = {-12, -13, -2};
    const TFilesTable noNumber(single);
    for (int c = 0; c < noNumber.ColCount(); ++c)
        EXPECT_NE(noNumber.GridCellText(c, 2), "3");
}

TEST(FilesTable, AddedColumnFlagsBelongToTheirOwnData)
{
    TMatchDocument doc = Doc({-11, 2, 1}, {0, 0});
    doc.AddedColumns = {Added({"first", "", "1", "2", "", "9"}, 0, 0),
                        Added({"second", "", "3", "4", "", ""}, 1, 0)};
    doc.AddedColumns[1].LeftAligned = 1;
    const TFilesTable table(doc);
    const auto info = table.AddColInfo(1);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->UpperTitle, "second");
    EXPECT_EQ(info->SumWithout, 1);
    EXPECT_EQ(info->LeftAligned, 1);
    EXPECT_EQ(table.GridCellText(1, 4), "7");
    EXPECT_EQ(table.CellColour(1, 4), ColumnColours::Sum);
    EXPECT_EQ(table.CellColour(2, 4), std::nullopt);
    EXPECT_EQ(table.GridCellText(2, 5), "9");
    EXPECT_FALSE(table.AddColInfo(0).has_value());
}

TEST(FilesTable, OddColumnCodesNeverFail)
{
    TMatchDocument doc = Doc({0, 5, -16, -200, -11}, {0, 1});
    doc.AddedColumns = {Added({"only", "", "1", "2", "", ""}, 1, 1)};
    const TFilesTable table(doc);
    for (int r = 0; r < table.RowCount(); ++r) {
        EXPECT_EQ(table.GridCellText(0, r), "");
        EXPECT_EQ(table.GridCellText(1, r), "");
        EXPECT_EQ(table.CellColour(1, r), std::nullopt);
    }
    EXPECT_EQ(table.GridCellText(2, 0), "");
    EXPECT_EQ(table.GridCellText(3, 1), "");
    EXPECT_EQ(table.GridCellText(2, 2), "???");
    EXPECT_EQ(table.GridCellText(3, 4), "???");
    EXPECT_EQ(table.CellColour(2, 4), std::nullopt);
}

TEST(FilesTable, Colours)
{
    const TMatchDocument doc = Doc({-12, -13, -11, -2, -3, -5, -14, -15, -1, -8}, {0, 2});
    const TFilesTable table(doc);
    const int sumWithout = 4, sumWith = 5;
    struct Case {
        int c, r;
        TOptionalColour colour;
    };
    const Case cases[] = {
        {0, sumWithout, std::nullopt},
        {2, sumWith, std::nullopt},
        {3, sumWithout, ColumnColours::Sum},
        {3, sumWith, ColumnColours::Sum},
        {5, sumWith, ColumnColours::Sum},
        {9, sumWith, std::nullopt},
        {9, sumWithout, ColumnColours::Sum},
        {8, sumWithout, ColumnColours::Sum},
        {6, sumWithout, std::nullopt},
        {7, sumWithout, std::nullopt},
        {4, 2, ColumnColours::Intra},
        {4, 3, ColumnColours::Intra},
        {4, 0, std::nullopt},
        {4, sumWithout, ColumnColours::Sum},
        {4, sumWith, std::nullopt},
        {3, 2, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.CellColour(c.c, c.r), c.colour) << c.c << "," << c.r;
}

TEST(FilesTable, Legend)
{
    struct Case {
        std::array<char, 4> letters;
        char mark;
        const char* german;
    };
    const Case cases[] = {
        {{'G', ' ', 'S', ' '}, ' ', "G = Grunddatei, S = Sperrdatei"},
        {{'G', 'M', 'S', 'S'},
         '*',
         "G = Grunddatei, M = Master-Datei, S = Sperrdatei, * = datensatzeigene Priorit\xe4t kommt "
         "hinzu"},
        {{' ', ' ', ' ', ' '}, '*', "* = datensatzeigene Priorit\xe4t kommt hinzu"},
        {{' ', ' ', ' ', ' '}, ' ', ""},
        {{'K', ' ', ' ', 'K'}, ' ', "K = Grunddatei"},
    };
    for (const Case& c : cases) {
        TMatchDocument doc = Doc({-11}, {0});
        doc.KindLetters = c.letters;
        doc.OwnPriorityMark = c.mark;
        EXPECT_EQ(TFilesTable(doc).BuildLegend(), c.german);
    }
    TMatchDocument doc = Doc({-11}, {0});
    doc.KindLetters = {'B', ' ', 'P', ' '};
    doc.OwnPriorityMark = ' ';
    Locale().SetBase(TLocale::kEnglishBase);
    EXPECT_EQ(TFilesTable(doc).BuildLegend(), "B = Basicfile, P = Purgefile");
    EXPECT_EQ(TFilesTable::Sum2Caption(), "   Sum with Lockfiles");
    Locale().SetBase(TLocale::kGermanBase);
    EXPECT_EQ(TFilesTable::Sum1Caption(), "   Summe ohne Sperrdateien");
    EXPECT_EQ(TFilesTable::Sum2Caption(), "   Summe mit  Sperrdateien");
}

TEST(FilesTable, ColumnWidths)
{
    TMatchDocument doc = Doc({-12, -13, -11, -14, -15, -2, 1}, {0, 1});
    doc.GrossTotal = 1234567;
    doc.Entries[0].Name = std::string(30, 'n');
    doc.AddedColumns = {Added({"T", "", "12345678901234567890", "", "", ""}, 0, 0)};
    TFilesTable table(doc);
    // One pixel per character, digits 7 wide.
    const TTextWidth width = [](const std::string& t) { return static_cast<int>(t.size()); };
    EXPECT_EQ(table.ColumnWidth(0, width, 7), 18 + 8); // short idents: the 18 minimum
    EXPECT_EQ(table.ColumnWidth(1, width, 7), 30 + 8); // the long name
    EXPECT_EQ(table.FileNameColumnWidth, 30);
    EXPECT_EQ(table.FileColumnWidth, 18);
    EXPECT_EQ(table.ColumnWidth(2, width, 7), 21 + 8);     // 3 digits
    EXPECT_EQ(table.ColumnWidth(3, width, 7), 1 + 21 + 8); // mark and 3 digits
    EXPECT_EQ(table.ColumnWidth(4, width, 7), 3 + 8);      // the title "Art" beats "W "
    EXPECT_EQ(table.ColumnWidth(5, width, 7), 7 * 7 + 8);  // seven digits of GrossTotal
    EXPECT_EQ(table.ColumnWidth(6, width, 7), 20 + 8);     // every row measured
}

TEST(FilesTable, KindWidthTakesItsTitleWhenWider)
{
    const TMatchDocument doc = Doc({-15}, {0});
    TFilesTable table(doc);
    const TTextWidth width = [](const std::string& t) { return static_cast<int>(t.size()) * 10; };
    EXPECT_EQ(table.ColumnWidth(0, width, 7), 30 + 8); // "Art" is wider than "W "
}

TEST(FilesTable, RepeatedCodesAreMeasuredAndSummedOnce)
{
    // Every column code many times over, in a mixed order: each distinct column is measured and
    // summed once, and every copy shows what a lone column of that code shows.
    const TColumnMap distinct = {-12, -13, -11, -2, -15, 1, 2, 3, 0, -99};
    TMatchDocument doc = Doc({}, {0, 2, 1, 3, 0});
    for (int copy = 0; copy < 300; ++copy) {
        for (size_t i = 0; i < distinct.size(); ++i)
            doc.Columns.push_back(distinct[(i * 7 + copy) % distinct.size()]);
    }
    doc.AddedColumns = {Added({"A", "", "1", "2", "3", "4", "5", "", ""}, 1, 1),
                        Added({"B", "", "x", "", "", "", "", "s", "t"}, 0, 1),
                        Added({"C", "long title", "", "", "", "", "", "", ""}, 0, 0)};
    TFilesTable table(doc);
    int measured = 0;
    const TTextWidth width = [&measured](const std::string& t) {
        ++measured;
        return static_cast<int>(t.size());
    };
    const std::vector<int> widths = table.ColumnWidths(width, 7);
    ASSERT_EQ(widths.size(), doc.Columns.size());

    int measuredOnce = 0;
    const TTextWidth counting = [&measuredOnce](const std::string& t) {
        ++measuredOnce;
        return static_cast<int>(t.size());
    };
    for (int32_t code : distinct) {
        TMatchDocument lone = doc;
        lone.Columns = {code};
        TFilesTable single(lone);
        const int expected = single.ColumnWidth(0, counting, 7);
        for (int32_t c = 0; c < table.ColCount(); ++c) {
            if (doc.Columns[c] != code)
                continue;
            ASSERT_EQ(widths[c], expected) << "column " << c << ", code " << code;
            for (int32_t r = 0; r < table.RowCount(); ++r)
                ASSERT_EQ(table.GridCellText(c, r), single.GridCellText(0, r)) << c << "," << r;
        }
    }
    EXPECT_EQ(measured, measuredOnce);
    EXPECT_EQ(table.GridCellText(5, table.SumWithoutRow()), "9");
    EXPECT_EQ(table.FileNameColumnWidth, 18);
}
