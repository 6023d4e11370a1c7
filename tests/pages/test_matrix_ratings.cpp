#include "TLocale.h"
#include "TMatrixTable.h"
#include "TRatingsTable.h"
#include "TTitlePage.h"

#include <gtest/gtest.h>

namespace {

TMatchDocument MatrixDoc(uint8_t matrixKind, const std::vector<TFileKind>& kinds,
                         uint8_t labels = 2)
{
    TMatchDocument doc;
    doc.MatrixKind = matrixKind;
    doc.MatrixTriangular = matrixKind != 1;
    doc.FileLabelKind = labels;
    doc.FileCount = static_cast<int32_t>(kinds.size());
    const int32_t n = doc.FileCount;
    for (int32_t i = 0; i < n; ++i) {
        TMatchDocFileEntry e;
        e.Kind = kinds[i];
        e.Intra = 1000 + i;
        e.Ident = "I" + std::to_string(i + 1);
        e.Name = "N" + std::to_string(i + 1);
        doc.Entries.push_back(e);
    }
    doc.Entries.emplace_back();
    doc.Matrix.resize(n);
    for (int32_t r = 0; r < n; ++r) {
        for (int32_t c = 0; c < (doc.MatrixTriangular ? r : n); ++c)
            doc.Matrix[r].push_back(10 * r + c);
    }
    return doc;
}

} // namespace

TEST(MatrixTable, SymmetricKindsReadTheLowerTriangle)
{
    for (uint8_t kind : {0, 2}) {
        const TMatchDocument doc = MatrixDoc(kind, {0, 0, 0});
        const TMatrixTable m(doc);
        ASSERT_TRUE(m.Visible());
        EXPECT_EQ(m.ColCount(), 2 + 3 + 1);
        EXPECT_EQ(m.FixedCols(), 3);
        // row 1, column 3 and row 3, column 1 both show M[2][0]
        EXPECT_EQ(m.CellText(2 + 3, 1), "20");
        EXPECT_EQ(m.CellText(2 + 1, 3), "20");
        EXPECT_EQ(m.CellText(2 + 2, 2), "1001");
        EXPECT_EQ(m.CellColour(2 + 2, 2), PageColours::Diagonal);
        EXPECT_EQ(m.CellColour(2 + 1, 2), std::nullopt);
    }
}

TEST(MatrixTable, EliminationMatrixIsSquare)
{
    const TMatchDocument doc = MatrixDoc(1, {0, 1, 2});
    const TMatrixTable m(doc);
    EXPECT_EQ(m.CellText(2 + 3, 1), "2");  // M[0][2]
    EXPECT_EQ(m.CellText(2 + 1, 3), "20"); // M[2][0]
    EXPECT_EQ(m.CellText(2 + 2, 2), "11"); // the stored diagonal
    EXPECT_EQ(m.CellColour(2 + 2, 2), PageColours::EliminationDiagonal);
}

TEST(MatrixTable, GroupModeBlanksSameGroups)
{
    TMatchDocument doc = MatrixDoc(0, {0, 1, 1, 2, 3, 0});
    doc.GroupMode = 1;
    const TMatrixTable m(doc);
    const int c0 = 2;
    EXPECT_EQ(m.CellText(c0 + 5, 4), "");     // lock file against compact lock file
    EXPECT_EQ(m.CellText(c0 + 2, 2), "");     // a master file's diagonal
    EXPECT_EQ(m.CellText(c0 + 3, 2), "");     // two master files
    EXPECT_NE(m.CellText(c0 + 6, 1), "");     // two base files stay
    EXPECT_EQ(m.CellText(c0 + 1, 1), "1000"); // base diagonal
    EXPECT_NE(m.CellText(c0 + 4, 2), "");
    doc.GroupMode = 0;
    EXPECT_EQ(TMatrixTable(doc).CellText(c0 + 2, 2), "1001");
}

TEST(MatrixTable, HeaderLayoutFollowsFileLabels)
{
    struct Case {
        uint8_t labels;
        std::vector<std::string> header;
        std::vector<std::string> row1;
    };
    const Case cases[] = {
        {2, {"Datei", "Dateiname", "", "1", "2"}, {"I1", "N1", "1", "1000", ""}},
        {1, {"Datei", "", "1", "2"}, {"I1", "1", "1000", ""}},
        {0, {"Dateiname", "", "1", "2"}, {"N1", "1", "1000", ""}},
        {3, {"", "1", "2"}, {"1", "1000", ""}},
    };
    for (const Case& c : cases) {
        TMatchDocument doc = MatrixDoc(0, {0, 2}, c.labels);
        doc.GroupMode = 0;
        const TMatrixTable m(doc);
        ASSERT_EQ(m.ColCount(), static_cast<int>(c.header.size()));
        for (int col = 0; col < m.ColCount(); ++col) {
            EXPECT_EQ(m.CellText(col, 0), c.header[col]);
            if (c.row1[col] != "") {
                EXPECT_EQ(m.CellText(col, 1), c.row1[col]);
            }
        }
    }
}

TEST(MatrixTable, HiddenBelowTwoFiles)
{
    EXPECT_FALSE(TMatrixTable(MatrixDoc(0, {0})).Visible());
    EXPECT_FALSE(TMatrixTable(MatrixDoc(0, {})).Visible());
}

TEST(RatingsTable, LabelsAndValues)
{
    TMatchDocument doc;
    doc.Ratings = {7};
    EXPECT_FALSE(TRatingsTable(doc).Visible());
    doc.Ratings = {7, 8, 9};
    const TRatingsTable t(doc);
    ASSERT_TRUE(t.Visible());
    EXPECT_EQ(t.RowCount(), 4);
    const char* expected[4][2] = {{"", "Ersetungen"}, {"S\xe4tze", "7"}, {"F1", "8"}, {"F2", "9"}};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(t.CellText(c, r), expected[r][c]);
    }
    Locale().SetBase(TLocale::kEnglishBase);
    EXPECT_EQ(t.CellText(0, 1), "Data Records");
    EXPECT_EQ(t.CellText(1, 0), "Replacements");
    Locale().SetBase(TLocale::kGermanBase);
    EXPECT_EQ(FormatRatingRow("F%d%s%n", 3), "F3%s%n");
}

TEST(TitlePage, TextsAndCaption)
{
    TMatchDocument doc;
    doc.HeadText = "A & B";
    doc.CustomerText = "Kunde";
    doc.TaskText = "Auftrag";
    doc.PercentText = "71,35";
    doc.InfoLines = {"eins", "eins"};
    TTitlePage title(doc);
    EXPECT_EQ(title.Head, "A & B");
    EXPECT_EQ(title.Customer, "  Kunde");
    EXPECT_EQ(title.Task, "  Auftrag");
    EXPECT_EQ(title.Percent, "  71,35 %");
    EXPECT_EQ(title.SingleNr, "");
    EXPECT_EQ(title.Info, doc.InfoLines);
    doc.SingleNumber = 3;
    EXPECT_EQ(TTitlePage(doc).SingleNr, "Protokoll 3  ");
    EXPECT_EQ(WindowCaption("ZelmoraViewer 2.0.3", ""),
              "ZelmoraViewer 2.0.3 - Statistik-Protokoll");
    EXPECT_EQ(WindowCaption("Z", "/tmp/a.mpr"), "Z - Statistik-Protokoll - /tmp/a.mpr");
    Locale().SetBase(TLocale::kEnglishBase);
    EXPECT_EQ(WindowCaption("Z", ""), "Z - Statistic-Protocol");
    EXPECT_EQ(TTitlePage(doc).SingleNr, "Protocol 3  ");
    Locale().SetBase(TLocale::kGermanBase);
}
