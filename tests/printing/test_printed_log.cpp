#include "PdfDevice.h"
#include "PdfFile.h"
#include "Samples.h"
#include "TempDir.h"

#include "CellText.h"
#include "ReportNumbers.h"
#include "TPrintSetupState.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

#include <QLocale>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

constexpr double kPointsPerUnit = 72.0 / 254.0;
constexpr double kLeftMarginPoints = 100 * kPointsPerUnit;
// Rules are 1/300 inch, half a pixel here: they must stay visible beside the next row's
// background, which the renderer rounds to whole pixels.
constexpr int kDpi = 150;

// Prints one part of doc into a PDF and lets the caller look at the form before it goes.
PdfFile PrintPart(PdfDevice kind, const TMatchDocument& doc, const std::string& path,
                  int singleLogNumber = 0, const TPrintSetupState& state = TPrintSetupState(1),
                  const std::function<void(const TnewPrinterForm&)>& inspect = {})
{
    const QString file = QString::fromStdString(path);
    {
        const TReportSource source(doc);
        QPdfWriter writer(file);
        TQRPdfDocument pdf(file);
        TQROutput output = kind == PdfDevice::Direct ? TQROutput(writer, pdf) : TQROutput(writer);
        TnewPrinterForm form(source, output);
        form.PrintDocument(doc, state, singleLogNumber, QStringLiteral("Kopf"));
        output.Finish();
        if (inspect)
            inspect(form);
    }
    return PdfFile(file);
}

std::vector<PdfFile::Word> OnPage(const std::vector<PdfFile::Word>& words, int page)
{
    std::vector<PdfFile::Word> result;
    for (const auto& word : words) {
        if (word.page == page)
            result.push_back(word);
    }
    return result;
}

PdfFile::Word Only(const PdfFile& pdf, const QString& text, int page = 1)
{
    const auto found = OnPage(pdf.Find(text), page);
    EXPECT_EQ(found.size(), 1u) << text.toStdString();
    return found.empty() ? PdfFile::Word{} : found.front();
}

QRgb PixelAt(const QImage& image, double xPoints, double yPoints)
{
    return image.pixel(qRound(xPoints * kDpi / 72.0), qRound(yPoints * kDpi / 72.0));
}

// The share of dark pixels on the darkest image row between two heights, across [x0, x1].
double DarkestRule(const QImage& image, double x0, double x1, double y0, double y1)
{
    const int left = qRound(x0 * kDpi / 72.0);
    const int right = qRound(x1 * kDpi / 72.0);
    double best = 0;
    for (int y = qRound(y0 * kDpi / 72.0); y <= qRound(y1 * kDpi / 72.0); ++y) {
        int dark = 0;
        for (int x = left; x < right; ++x)
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        best = std::max(best, double(dark) / (right - left));
    }
    return best;
}

// A log of three files whose added column holds the given cells (titles first).
TMatchDocument WithAddedColumns(const std::vector<std::vector<std::string>>& columns)
{
    TMatchDocument doc = GeneratedLog(3);
    doc.AddedColumns.clear();
    doc.Columns = {-12, -13, -11, -2};
    int32_t code = 1;
    for (const auto& cells : columns) {
        TMatchDocAddColEntry column;
        column.Cells = cells;
        doc.AddedColumns.push_back(column);
        doc.Columns.push_back(code++);
    }
    return doc;
}

const QColor kGrey(240, 240, 240);

// What the viewer prints through Qt and what the exporter writes directly.
class PrintedLog : public testing::TestWithParam<PdfDevice> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Outputs, PrintedLog, testing::Values(PdfDevice::Writer, PdfDevice::Direct),
                         [](const testing::TestParamInfo<PdfDevice>& info) {
                             return std::string(PdfDeviceName(info.param));
                         });

TEST_P(PrintedLog, ThreeFilesWithMergedSumsPrintRowsRulesCaptionsAndLegend)
{
    TempDir dir;
    const TMatchDocument doc = GeneratedLog(3);
    int lastStrip = -1;
    const PdfFile pdf = PrintPart(GetParam(), doc, dir.Path("three.pdf"), 0, TPrintSetupState(1),
                                  [&](const TnewPrinterForm& form) {
                                      lastStrip = form.Layout(ReportSection::File).LastStrip;
                                  });
    EXPECT_EQ(lastStrip, 0);
    const auto f1 = Only(pdf, "F1"), f2 = Only(pdf, "F2"), f3 = Only(pdf, "F3");
    const auto without = Only(pdf, "ohne");
    const auto with = Only(pdf, "mit");
    const auto legend = Only(pdf, "Grunddatei,");
    EXPECT_LT(f1.yMin, f2.yMin);
    EXPECT_LT(f2.yMin, f3.yMin);
    EXPECT_LT(f3.yMin, without.yMin);
    EXPECT_LT(without.yMin, with.yMin);
    const double row = f2.yMin - f1.yMin;
    // One blank row between the last sum row and the legend.
    EXPECT_NEAR(legend.yMin - with.yMin, 2 * row, row / 4);

    // The caption starts in column 0 and runs on over column 1.
    const auto summe = OnPage(pdf.Find("Summe"), 1);
    ASSERT_EQ(summe.size(), 2u);
    EXPECT_NEAR(summe[0].xMin, f1.xMin, 0.5);
    const auto name = Only(pdf, "datei_1.dat");
    for (const auto& word : OnPage(pdf.Find("Sperrdateien"), 1))
        EXPECT_GT(word.xMax, name.xMin);
    EXPECT_EQ(pdf.Text(1).count(QStringLiteral("datei_")), 3);

    const QImage page = pdf.Render(1, kDpi);
    const double beside = f1.xMin - 1.5;
    EXPECT_EQ(QColor(PixelAt(page, beside, (f1.yMin + f1.yMax) / 2)), QColor(Qt::white));
    EXPECT_EQ(QColor(PixelAt(page, beside, (f2.yMin + f2.yMax) / 2)), kGrey);
    EXPECT_EQ(QColor(PixelAt(page, beside, (f3.yMin + f3.yMax) / 2)), QColor(Qt::white));

    // Dotted rules between file rows, a solid one under the last.
    const double right = name.xMax;
    EXPECT_LT(DarkestRule(page, f1.xMin, right, f2.yMax, f3.yMin), 0.75);
    EXPECT_GT(DarkestRule(page, f1.xMin, right, f3.yMax, without.yMin), 0.95);
}

TEST_P(PrintedLog, SingleLogsPrintTheirRowOrEveryRowOnWhite)
{
    struct Case {
        int number;
        QStringList printed;
        QStringList absent;
        const char* header;
    };
    const std::vector<Case> cases = {
        {2, {"F2"}, {"F1", "F3"}, "Protokoll 2"},
        {5, {"F1", "F2", "F3"}, {}, "Protokoll 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        TempDir dir;
        const PdfFile pdf =
            PrintPart(GetParam(), GeneratedLog(3), dir.Path("single.pdf"), c.number);
        const QString text = pdf.Text(1);
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.header)));
        EXPECT_TRUE(text.contains(QStringLiteral("Zelmora -- Statistik-Einzel-Protokoll")));
        for (const QString& ident : c.absent)
            EXPECT_TRUE(pdf.Find(ident).empty()) << ident.toStdString();
        const QImage page = pdf.Render(1, kDpi);
        for (const QString& ident : c.printed) {
            const auto word = Only(pdf, ident);
            EXPECT_EQ(QColor(PixelAt(page, word.xMin - 1.5, (word.yMin + word.yMax) / 2)),
                      QColor(Qt::white));
        }
        EXPECT_EQ(OnPage(pdf.Find("Summe"), 1).size(), 2u);
        EXPECT_EQ(pdf.Pages(), 1);
    }
}

TEST_P(PrintedLog, SingleLogRowHasASolidRuleUnderIt)
{
    TempDir dir;
    const PdfFile pdf = PrintPart(GetParam(), GeneratedLog(3), dir.Path("single2.pdf"), 2);
    const QImage page = pdf.Render(1, kDpi);
    const auto f2 = Only(pdf, "F2");
    const auto without = Only(pdf, "ohne");
    const auto with = Only(pdf, "mit");
    const double right = Only(pdf, "datei_2.dat").xMax;
    EXPECT_GT(DarkestRule(page, f2.xMin, right, f2.yMax, without.yMin), 0.95);
    EXPECT_LT(DarkestRule(page, f2.xMin, right, without.yMax, with.yMin), 0.75);
}

TEST_P(PrintedLog, TwoStripsRepeatFixedColumnsAndBlankTheDescription)
{
    std::vector<std::vector<std::string>> columns;
    for (int i = 0; i < 6; ++i) {
        const std::string wide(30, static_cast<char>('a' + i));
        columns.push_back({"Spalte" + std::to_string(i), "", wide, wide, wide, "", ""});
    }
    TempDir dir;
    int lastStrip = -1;
    TPrintSetupState tableOnly(1);
    tableOnly.Matrix = false;
    tableOnly.Ratings = false;
    const PdfFile pdf = PrintPart(GetParam(), WithAddedColumns(columns), dir.Path("strips.pdf"), 0,
                                  tableOnly, [&](const TnewPrinterForm& form) {
                                      lastStrip = form.Layout(ReportSection::File).LastStrip;
                                  });
    ASSERT_EQ(lastStrip, 1);
    ASSERT_EQ(pdf.Pages(), 2);
    EXPECT_TRUE(pdf.Text(1).contains(QStringLiteral("Seite 1 x 1")));
    EXPECT_TRUE(pdf.Text(2).contains(QStringLiteral("Seite 1 x 2")));
    EXPECT_FALSE(OnPage(pdf.Find("Benchmark"), 1).empty());
    EXPECT_TRUE(OnPage(pdf.Find("Benchmark"), 2).empty());
    // Blank lines keep the table at the height of strip 0.
    EXPECT_NEAR(Only(pdf, "F1", 1).yMin, Only(pdf, "F1", 2).yMin, 0.5);
    // The trailer follows strip 0 only; strip 1 ends with the last sum row.
    EXPECT_FALSE(OnPage(pdf.Find("Grunddatei,"), 1).empty());
    EXPECT_TRUE(OnPage(pdf.Find("Grunddatei,"), 2).empty());
    EXPECT_EQ(OnPage(pdf.Find("Summe"), 2).size(), 2u);
    EXPECT_EQ(pdf.Text(1).contains(QStringLiteral("Spalte5")),
              !pdf.Text(2).contains(QStringLiteral("Spalte5")));
}

TEST_P(PrintedLog, StripsOfWideColumns)
{
    const std::string narrow = "1";
    const std::string tooWide(400, 'X');
    struct Case {
        const char* name;
        std::vector<std::string> columnCells; // one cell text per added column
        std::vector<int> strips;              // strip of each added column
    };
    const std::vector<Case> cases = {
        {"fits", {narrow, narrow}, {0, 0}},
        {"first data column too wide", {tooWide, narrow}, {1, 2}},
        {"too wide column alone", {narrow, tooWide, narrow}, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::vector<std::string>> columns;
        for (const std::string& cell : c.columnCells)
            columns.push_back({"T", "", cell, "", "", "", ""});
        TMatchDocument doc = WithAddedColumns(columns);
        doc.Columns.erase(doc.Columns.begin() + 3); // no system column after the fixed ones
        TempDir dir;
        std::vector<int> strips;
        int fixedCols = 3;
        PrintPart(GetParam(), doc, dir.Path("w.pdf"), 0, TPrintSetupState(1),
                  [&](const TnewPrinterForm& form) {
                      const auto& layout = form.Layout(ReportSection::File);
                      for (size_t k = fixedCols; k < layout.Columns.size(); ++k)
                          strips.push_back(layout.Columns[k].Strip);
                  });
        EXPECT_EQ(strips, c.strips);
    }
}

TEST_P(PrintedLog, NumberFormatsOfAddedColumns)
{
    struct Case {
        const char* name;
        std::vector<std::string> cells; // titles, three files, two sums
        QStringList printed;
    };
    const std::vector<Case> cases = {
        {"integers", {"12345", "", "1234567", "", "-5000", "", ""}, {"1.234.567", "-5.000"}},
        {"decimal and integer", {"", "", "12,5", "3", "", "", ""}, {"12,50", "3,00"}},
        {"non-numeric", {"", "", "1234", "abc", "", "", ""}, {"1234", "abc"}},
        {"title rows unformatted", {"12345", "6789", "1", "", "", "", ""}, {"12345", "6789"}},
    };
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    SetDecimalSeparator(',');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const PdfFile pdf = PrintPart(GetParam(), WithAddedColumns({c.cells}), dir.Path("n.pdf"));
        for (const QString& text : c.printed)
            EXPECT_FALSE(pdf.Find(text).empty()) << text.toStdString();
    }
    SetDecimalSeparator('\0');
    QLocale::setDefault(QLocale::system());
}

TEST_P(PrintedLog, ColumnsAlignAndWriteTheirNumbersByWhatTheyShow)
{
    TMatchDocument doc = GeneratedLog(3);
    doc.Columns = {-12, -13, -11, -15, -14, -1, -2, -3, -4, -5, -6, -7, -8, -9, -10, 1, 2};
    TMatchDocFileEntry& first = doc.Entries[0];
    first.Kind = 0;
    first.Ident = "7007";
    first.Name = "6006";
    first.Gross = first.Duplicates = 2000;
    TMatchDocAddColEntry right;
    right.LeftAligned = 2;
    right.Cells = {"", "", "3", "4", "5", "", ""};
    doc.AddedColumns[0].LeftAligned = 1;
    doc.AddedColumns.push_back(right);
    const std::vector<uint8_t> left = {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0};

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    SetDecimalSeparator(',');
    TempDir dir;
    std::vector<uint8_t> alignments;
    const PdfFile pdf =
        PrintPart(GetParam(), doc, dir.Path("c.pdf"), 0, TPrintSetupState(1),
                  [&](const TnewPrinterForm& form) {
                      for (const auto& column : form.Layout(ReportSection::File).Columns)
                          alignments.push_back(column.Alignment);
                  });
    SetDecimalSeparator('\0');
    QLocale::setDefault(QLocale::system());
    EXPECT_EQ(alignments, left);
    // Counts with thousands separators, the share with two decimals, idents and names as stored.
    for (const char* printed : {"2.000", "100,00", "7007", "6006"})
        EXPECT_FALSE(pdf.Find(printed).empty()) << printed;
    for (const char* notPrinted : {"7.007", "6.006"})
        EXPECT_TRUE(pdf.Find(notPrinted).empty()) << notPrinted;
}

TEST(ReportTexts, NumberTexts)
{
    const TNumberSeparators german{QLatin1Char(','), QStringLiteral(".")};
    struct Case {
        const char* text;
        TNumberFormat format;
        const char* printed;
    };
    const std::vector<Case> cases = {
        {"1234567", TNumberFormat::Integer, "1.234.567"},
        {" -1000 ", TNumberFormat::Integer, "-1.000"},
        {"999", TNumberFormat::Integer, "999"},
        {"5000000000", TNumberFormat::Integer, "5.000.000.000"},
        {"12,5", TNumberFormat::Integer, "12,5"},
        {"12,5", TNumberFormat::TwoDecimals, "12,50"},
        {"1234,567", TNumberFormat::TwoDecimals, "1.234,57"},
        {"7", TNumberFormat::TwoDecimals, "7,00"},
        {"12.5", TNumberFormat::TwoDecimals, "12.5"},
        {"inf", TNumberFormat::TwoDecimals, "inf"},
        {"+-3", TNumberFormat::Integer, "+-3"},
        {"\t42\n", TNumberFormat::Integer, "42"},
        {"0", TNumberFormat::Integer, "0"},
        {"-0", TNumberFormat::Integer, "0"},
        {"-007", TNumberFormat::Integer, "-7"},
        {"000123456", TNumberFormat::Integer, "123.456"},
        {"-100000", TNumberFormat::Integer, "-100.000"},
        {"999999999999999999", TNumberFormat::Integer, "999.999.999.999.999.999"},
        {"9223372036854775807", TNumberFormat::Integer, "9.223.372.036.854.775.807"},
        {"9223372036854775808", TNumberFormat::Integer, "9223372036854775808"},
        {"+5", TNumberFormat::Integer, "5"},
        {"\xEF\xBC\x91\xEF\xBC\x92", TNumberFormat::Integer, "\xEF\xBC\x91\xEF\xBC\x92"},
        {"1234", TNumberFormat::AsIs, "1234"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatNumber(QString::fromUtf8(c.text), c.format, german),
                  QString::fromUtf8(c.printed))
            << c.text;
    }
}

TEST(ReportTexts, TwoDecimalsRoundTheDecimalTextHalfAwayFromZero)
{
    const TNumberSeparators english{QLatin1Char('.'), QStringLiteral(",")};
    const struct {
        const char* text;
        const char* printed;
    } cases[] = {
        {"2.675", "2.68"},
        {"1.005", "1.01"},
        {"0.125", "0.13"},
        {"-2.675", "-2.68"},
        {"-1.005", "-1.01"},
        {"-0.125", "-0.13"},
        {"0.124", "0.12"},
        {"-0.004", "0.00"},
        {"-0.005", "-0.01"},
        {"0.005", "0.01"},
        {"0.0049999", "0.00"},
        {"9.995", "10.00"},
        {"-999.995", "-1,000.00"},
        {"12345678901234567.891", "12,345,678,901,234,567.90"},
        {"-12345678901234567.891", "-12,345,678,901,234,567.90"},
        // Nineteen nines take the 18-digit step up to the next unit.
        {"0.9999999999999999999", "1.00"},
        {"1234567890123456789012", "1,234,567,890,123,456,790,000.00"},
        {"0.1249999999999999999", "0.13"},
        {"1e3", "1,000.00"},
        {"-1.2345e2", "-123.45"},
        {"2.675e0", "2.68"},
        {"5e-3", "0.01"},
        {"4.99e-3", "0.00"},
        {"0", "0.00"},
        {"-0", "0.00"},
        {".5", "0.50"},
        {"+7", "7.00"},
        {"007.5", "7.50"},
        {" 3.14159 ", "3.14"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(QString::fromLatin1(c.text), TNumberFormat::TwoDecimals, english),
                  QString::fromLatin1(c.printed))
            << c.text;
    }
}

TEST(ReportTexts, TwoDecimalsAgreeWithExactRoundingOfRandomDecimals)
{
    // Random decimals of up to 17 significant digits, half of them ending on a 5 just past the
    // second decimal, against rounding on their exact integer value.
    const TNumberSeparators plain{QLatin1Char('.'), QString()};
    std::uint64_t state = 12345;
    const auto next = [&state](std::uint64_t mod) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return (state >> 11) % mod;
    };
    for (int i = 0; i < 20000; ++i) {
        const int scale = 3 + int(next(5)); // decimals of the text: 3 to 7
        std::uint64_t units = next(100000000000000000ull);
        if (i % 2 == 0)
            units = units / 10 * 10 + 5;
        for (int k = 3; k < scale && i % 4 == 0; ++k)
            units = units / 10 * 10; // the 5 moves up to the third decimal
        const bool negative = next(2) == 1;
        std::uint64_t divisor = 1;
        for (int k = 2; k < scale; ++k)
            divisor *= 10;
        const std::uint64_t rest = units % divisor;
        std::uint64_t cents = units / divisor + (rest * 2 >= divisor ? 1 : 0);
        std::string digits = std::to_string(units);
        if (int(digits.size()) <= scale)
            digits.insert(0, std::size_t(scale + 1 - int(digits.size())), '0');
        digits.insert(digits.size() - std::size_t(scale), 1, '.');
        std::string expected = std::to_string(cents / 100) + '.' + char('0' + cents / 10 % 10) +
                               char('0' + cents % 10);
        if (negative && cents != 0)
            expected.insert(0, 1, '-');
        const QString text = QString::fromStdString((negative ? "-" : "") + digits);
        ASSERT_EQ(FormatNumber(text, TNumberFormat::TwoDecimals, plain),
                  QString::fromStdString(expected))
            << text.toStdString();
    }
}

TEST_P(PrintedLog, MatrixColumnsShareOneWidthAndTheDiagonalIsColoured)
{
    struct Case {
        uint8_t kind;
        QColor diagonal;
    };
    for (const Case& c : {Case{1, QColor(128, 128, 255)}, Case{0, QColor(128, 255, 255)},
                          Case{2, QColor(128, 255, 255)}}) {
        SCOPED_TRACE(int(c.kind));
        TempDir dir;
        TPrintSetupState state(1);
        state.TitleAndTable = false;
        state.Ratings = false;
        std::vector<double> widths;
        double charWidth = 0;
        const PdfFile pdf =
            PrintPart(GetParam(), GeneratedLog(4, c.kind), dir.Path("m.pdf"), 0, state,
                      [&](const TnewPrinterForm& form) {
                          for (const auto& column : form.Layout(ReportSection::Matrix).Columns)
                              widths.push_back(column.Width);
                          charWidth = form.CharWidth();
                      });
        ASSERT_EQ(widths.size(), 7u); // ident, name, number, four files
        for (size_t k = 4; k < widths.size(); ++k)
            EXPECT_EQ(widths[k], widths[3]);
        // The cell of file 2 in row 2, and its neighbour in the same row.
        double left = 0;
        for (size_t k = 0; k < 4; ++k)
            left += widths[k] + charWidth;
        const auto f2 = Only(pdf, "F2");
        const double y = (f2.yMin + f2.yMax) / 2;
        const QImage page = pdf.Render(1, kDpi);
        const double x = kLeftMarginPoints + (left - 0.3 * charWidth) * kPointsPerUnit;
        EXPECT_EQ(QColor(PixelAt(page, x, y)), c.diagonal);
        const double next = x + (widths[3] + charWidth) * kPointsPerUnit;
        EXPECT_EQ(QColor(PixelAt(page, next, y)), kGrey);
    }
}

TEST(ReportTexts, SectionNames)
{
    EXPECT_EQ(TnewPrinterForm::SectionName(ReportSection::File, 3), QStringLiteral("File3"));
    EXPECT_EQ(TnewPrinterForm::SectionName(ReportSection::Matrix, 12), QStringLiteral("Matrix12"));
    EXPECT_EQ(TnewPrinterForm::SectionName(ReportSection::Ratings, 0), QStringLiteral("Ratings0"));
    const struct {
        ReportSection section;
        const char* message;
    } failures[] = {
        {ReportSection::Idle, "Es wurde ein Name f\xC3\xBCr den Idle-State angefordert."},
        {static_cast<ReportSection>(7),
         "Es wurde ein Name f\xC3\xBCr einen undefinierten Status angefordert!"},
    };
    for (const auto& failure : failures) {
        try {
            TnewPrinterForm::SectionName(failure.section, 0);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), failure.message);
        }
    }
}
