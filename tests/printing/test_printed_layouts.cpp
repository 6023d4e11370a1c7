#include "PrintedLayout.h"
#include "TempDir.h"

#include "ReportNumbers.h"
#include "TReportSource.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

namespace {

constexpr double kMarginPoints = 10 * 72 / 25.4;
constexpr double kInsideTolerance = 0.5;
// pdftotext's word boxes reach from the font's ascent to its descent, which some fonts put
// further apart than their line spacing, so that the boxes of lines one below the other overlap
// a little; text over text overlaps more than that.
constexpr double kOverlapWidth = 0.5;
constexpr double kOverlapShare = 0.25;

std::string Describe(const PdfFile::Word& word)
{
    std::ostringstream out;
    out << '"' << word.text.toStdString() << "\" on page " << word.page << " at (" << word.xMin
        << ", " << word.yMin << ")-(" << word.xMax << ", " << word.yMax << ")";
    return out.str();
}

bool Overprint(const PdfFile::Word& a, const PdfFile::Word& b)
{
    const double width = std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin);
    const double height = std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin);
    const double lower = std::min(a.yMax - a.yMin, b.yMax - b.yMin);
    return width > kOverlapWidth && height > kOverlapShare * lower;
}

// The words on the line of a word, left to right.
std::vector<PdfFile::Word> LineOf(const std::vector<PdfFile::Word>& page, const PdfFile::Word& word)
{
    std::vector<PdfFile::Word> line;
    for (const PdfFile::Word& other : page) {
        if (std::abs(other.yMin - word.yMin) < 1.0)
            line.push_back(other);
    }
    std::sort(line.begin(), line.end(),
              [](const auto& a, const auto& b) { return a.xMin < b.xMin; });
    return line;
}

// The strip a page prints, from its label "Seite p x s"; -1 without one.
int StripOfPage(const std::vector<PdfFile::Word>& page)
{
    const PdfFile::Word* label = nullptr;
    for (const PdfFile::Word& word : page) {
        if (word.text == QStringLiteral("Seite") && (!label || word.yMin > label->yMin))
            label = &word;
    }
    if (!label)
        return -1;
    const auto line = LineOf(page, *label);
    const auto at = std::find_if(line.begin(), line.end(),
                                 [&](const auto& word) { return word.xMin == label->xMin; });
    if (line.end() - at < 4)
        return -1;
    return (at + 3)->text.toInt() - 1;
}

int Count(const std::vector<PdfFile::Word>& words, const std::function<bool(const QString&)>& is)
{
    return int(std::count_if(words.begin(), words.end(),
                             [&](const PdfFile::Word& word) { return is(word.text); }));
}

// What every printed log must show, whatever its shape: every word inside the printable area
// and none over another, every file row of every part, every line of the description, the sums
// of every column that has them on every strip, each sum caption and legend.
void CheckPrintedLog(const TPrintedLog& log)
{
    const PdfFile pdf(log.Path);
    const QSizeF size = pdf.PageSize();
    const double right = size.width() - kMarginPoints;
    const double bottom = size.height() - kMarginPoints;
    for (const PdfFile::Word& word : log.Words) {
        EXPECT_TRUE(word.xMin >= kMarginPoints - kInsideTolerance &&
                    word.yMin >= kMarginPoints - kInsideTolerance &&
                    word.xMax <= right + kInsideTolerance && word.yMax <= bottom + kInsideTolerance)
            << "outside the printable area: " << Describe(word);
    }
    const int pages = pdf.Pages();
    for (int page = 1; page <= pages; ++page) {
        std::vector<PdfFile::Word> words = WordsOnPage(log.Words, page);
        std::sort(words.begin(), words.end(),
                  [](const auto& a, const auto& b) { return a.yMin < b.yMin; });
        for (std::size_t i = 0; i < words.size(); ++i) {
            for (std::size_t j = i + 1; j < words.size() && words[j].yMin < words[i].yMax; ++j) {
                EXPECT_FALSE(Overprint(words[i], words[j]))
                    << Describe(words[i]) << " over " << Describe(words[j]);
            }
        }
    }

    const int fileCount = log.Document.FileCount;
    std::map<int, int> expectedRows;
    for (const TPrintedPart& part : log.Parts) {
        for (int file = 1; file <= fileCount; ++file) {
            if (part.SingleLogNumber == 0 || part.SingleLogNumber == file ||
                part.SingleLogNumber > fileCount)
                ++expectedRows[file];
        }
    }
    for (int file = 1; file <= fileCount; ++file) {
        EXPECT_EQ(Count(log.Words, [&](const QString& text) { return text == FileToken(file); }),
                  expectedRows[file])
            << "rows of file " << file;
    }
    const int parts = int(log.Parts.size());
    for (int line = 0; line < int(log.Document.InfoLines.size()); ++line) {
        EXPECT_EQ(
            Count(log.Words, [&](const QString& text) { return text.startsWith(InfoToken(line)); }),
            parts)
            << "info line " << line;
    }
    EXPECT_EQ(Count(log.Words, [](const QString& text) { return text == "Grunddatei,"; }), parts)
        << "legends";

    // Both sum rows on every strip of every part, with every sum the strip's columns have.
    const TReportSource source(log.Document);
    const TReportGrid& grid = source.FilesGrid();
    const int rows = grid.RowCount();
    for (const TPrintedPart& part : log.Parts) {
        int captions = 0;
        for (int page = part.FirstPage; page < part.FirstPage + part.Pages; ++page) {
            const std::vector<PdfFile::Word> words = WordsOnPage(log.Words, page);
            const int strip = StripOfPage(words);
            for (const PdfFile::Word& word : words) {
                if (word.text != QStringLiteral("Summe"))
                    continue;
                ++captions;
                const auto line = LineOf(words, word);
                const int row = Count(line, [](const QString& text) { return text == "ohne"; })
                                    ? rows - 2
                                    : rows - 1;
                int sums = 0;
                for (int c = 0; c < grid.ColCount(); ++c) {
                    const bool visible =
                        c < grid.FixedCols() || part.FileLayout.Columns[c].Strip == strip;
                    sums += visible && !grid.Cell(c, row).trimmed().isEmpty();
                }
                EXPECT_EQ(int(line.size()) - 3, sums)
                    << "sums beside " << Describe(word) << " of the part of single log "
                    << part.SingleLogNumber;
            }
        }
        EXPECT_EQ(captions, 2 * (part.FileLayout.LastStrip + 1))
            << "sum captions of the part of single log " << part.SingleLogNumber;
    }
}

const char* DescriptionName(TDescription description)
{
    switch (description) {
    case TDescription::Short:
        return "short description";
    case TDescription::Long:
        return "long description";
    case TDescription::Wrapped:
        return "wrapping description";
    case TDescription::NoBlanks:
        return "description without blanks";
    case TDescription::Huge:
        return "description of several pages";
    }
    return "?";
}

// Every file label kind with tables of one, two and many strips; descriptions, long texts,
// wide columns and single logs spread over them so that each meets several kinds.
std::vector<TLogShape> Shapes()
{
    const TDescription descriptions[] = {TDescription::Short, TDescription::Long,
                                         TDescription::Wrapped, TDescription::NoBlanks,
                                         TDescription::Huge};
    std::vector<TLogShape> shapes;
    int variant = 0;
    for (uint8_t kind = 0; kind <= 3; ++kind) {
        for (TStrips strips : {TStrips::One, TStrips::Two, TStrips::Many}) {
            TLogShape shape;
            shape.FileLabelKind = kind;
            shape.Strips = strips;
            shape.Description = descriptions[variant % 5];
            shape.LongHead = variant % 3 == 0;
            shape.LongNames = variant % 4 == 1;
            shape.WideColumn = variant % 4 == 2;
            shape.CountingSecond = kind == 3 && variant % 2 == 1;
            shape.Files = variant % 5 == 3 ? 45 : 5;
            if (variant % 3 == 1)
                shape.Singles = {1, shape.Files};
            std::ostringstream name;
            name << "kind " << int(kind) << ", "
                 << (strips == TStrips::One   ? "one strip"
                     : strips == TStrips::Two ? "two strips"
                                              : "many strips")
                 << ", " << shape.Files << " files, " << DescriptionName(shape.Description)
                 << (shape.LongHead ? ", long head text" : "")
                 << (shape.LongNames ? ", long file names" : "")
                 << (shape.WideColumn ? ", a column wider than the page" : "")
                 << (shape.CountingSecond ? ", gross after the number" : "")
                 << (shape.Singles.empty() ? "" : ", single logs");
            shape.Name = name.str();
            shapes.push_back(shape);
            ++variant;
        }
    }
    TLogShape singles;
    singles.Name = "single logs only, long wrapping description, long names";
    singles.Description = TDescription::Wrapped;
    singles.LongNames = true;
    singles.WholeLog = false;
    singles.Singles = {1, 2, 3, 4, 5};
    shapes.push_back(singles);
    for (TStrips strips : {TStrips::One, TStrips::Many}) {
        TLogShape hostile;
        hostile.Name = strips == TStrips::One ? "huge texts, one strip, single logs"
                                              : "huge texts, many strips, single logs";
        hostile.FileLabelKind = strips == TStrips::One ? 2 : 3;
        hostile.Strips = strips;
        hostile.HugeTexts = true;
        hostile.Singles = {2};
        shapes.push_back(hostile);
    }
    return shapes;
}

class PrintedLayouts : public testing::TestWithParam<PdfDevice> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Outputs, PrintedLayouts,
                         testing::Values(PdfDevice::Writer, PdfDevice::Direct),
                         [](const testing::TestParamInfo<PdfDevice>& info) {
                             return std::string(PdfDeviceName(info.param));
                         });

TEST_P(PrintedLayouts, EveryWordInsideThePageNoneOverAnotherNothingLost)
{
    for (const TLogShape& shape : Shapes()) {
        SCOPED_TRACE(shape.Name);
        TempDir dir;
        CheckPrintedLog(PrintShape(shape, GetParam(), dir.Root().string()));
    }
}

TEST_P(PrintedLayouts, TrailersAtAPageBreak)
{
    // Where a page ends depends on the font: a long table shows how many rows the first page
    // holds, and the logs that follow put the page break before and inside the trailer.
    for (uint8_t kind : {uint8_t(0), uint8_t(3)}) {
        TLogShape probe;
        probe.FileLabelKind = kind;
        probe.Files = 80;
        TempDir probeDir;
        const TPrintedLog printed = PrintShape(probe, GetParam(), probeDir.Root().string());
        static const QRegularExpression token(QStringLiteral("^R\\d+x$"));
        const int rows = Count(WordsOnPage(printed.Words, 1),
                               [](const QString& text) { return token.match(text).hasMatch(); });
        ASSERT_GT(rows, 5);
        for (int files : {rows - 3, rows - 2, rows - 1}) {
            TLogShape shape = probe;
            shape.Files = files;
            shape.Singles = {files};
            SCOPED_TRACE(testing::Message() << "kind " << int(kind) << ", " << files << " files");
            TempDir dir;
            const TPrintedLog log = PrintShape(shape, GetParam(), dir.Root().string());
            CheckPrintedLog(log);
        }
    }
}

namespace {

TPrintedLog Print(const TLogShape& shape, PdfDevice device, const TempDir& dir)
{
    return PrintShape(shape, device, dir.Root().string());
}

const PdfFile::Word* First(const std::vector<PdfFile::Word>& words, const QString& text,
                           int fromPage = 1)
{
    for (const PdfFile::Word& word : words) {
        if (word.page >= fromPage && word.text == text)
            return &word;
    }
    return nullptr;
}

const PdfFile::Word* FirstStarting(const std::vector<PdfFile::Word>& words, const QString& start,
                                   int fromPage = 1)
{
    for (const PdfFile::Word& word : words) {
        if (word.page >= fromPage && word.text.startsWith(start))
            return &word;
    }
    return nullptr;
}

// a is on a line above b's.
bool Before(const PdfFile::Word& a, const PdfFile::Word& b)
{
    return a.page < b.page || (a.page == b.page && a.yMin < b.yMin - 0.5);
}

} // namespace

TEST_P(PrintedLayouts, LongDescriptionsGoOnOverTheNextPagesBeforeTheTable)
{
    for (TDescription description :
         {TDescription::Long, TDescription::Wrapped, TDescription::Huge}) {
        SCOPED_TRACE(DescriptionName(description));
        TLogShape shape;
        shape.Description = description;
        shape.Singles = {2};
        TempDir dir;
        const TPrintedLog log = Print(shape, GetParam(), dir);
        for (const TPrintedPart& part : log.Parts) {
            SCOPED_TRACE(testing::Message() << "single log " << part.SingleLogNumber);
            const PdfFile::Word* previous = nullptr;
            for (int line = 0; line < int(log.Document.InfoLines.size()); ++line) {
                const PdfFile::Word* word =
                    FirstStarting(log.Words, InfoToken(line), part.FirstPage);
                ASSERT_NE(word, nullptr) << "info line " << line;
                if (previous) {
                    EXPECT_TRUE(Before(*previous, *word)) << "info line " << line;
                }
                previous = word;
            }
            const PdfFile::Word* share = First(log.Words, "Netto-Anteil:", part.FirstPage);
            const PdfFile::Word* titles = First(log.Words, "Dateiname", part.FirstPage);
            const PdfFile::Word* row =
                First(log.Words, FileToken(part.SingleLogNumber == 0 ? 1 : part.SingleLogNumber),
                      part.FirstPage);
            ASSERT_TRUE(share && titles && row);
            EXPECT_TRUE(Before(*previous, *share));
            EXPECT_TRUE(Before(*share, *titles));
            EXPECT_TRUE(Before(*titles, *row));
            EXPECT_EQ(titles->page, row->page) << "column titles kept with the first row";
            const PdfFile::Word* footer = First(log.Words, "Korvandelis", row->page);
            ASSERT_NE(footer, nullptr);
            EXPECT_EQ(footer->page, row->page);
            EXPECT_LT(row->yMax, footer->yMin) << "the first row above the footer";
        }
    }
}

TEST_P(PrintedLayouts, NumberColumnFirstOnManyStripsLeavesNoStaleCellsOnLaterStrips)
{
    TLogShape shape;
    shape.FileLabelKind = 3;
    shape.Strips = TStrips::Many;
    TempDir dir;
    const TPrintedLog log = Print(shape, GetParam(), dir);
    const TPrintedPart& part = log.Parts.at(0);
    ASSERT_GE(part.FileLayout.LastStrip, 2);
    const QStringList letters = {"G", "M", "S", "K"};
    int laterPages = 0;
    for (int page = part.FirstPage; page < part.FirstPage + part.Pages; ++page) {
        const auto words = WordsOnPage(log.Words, page);
        const int strip = StripOfPage(words);
        if (strip < 1 || Count(words, [](const QString& text) { return text == "Summe"; }) == 0)
            continue;
        ++laterPages;
        // The kind letters belong to column 1, which strip 0 shows.
        EXPECT_EQ(Count(words, [&](const QString& text) { return letters.contains(text); }), 0)
            << "page " << page;
        // The caption stays in the number column, left of the strip's first data column.
        const PdfFile::Word* caption = First(words, "Sperrdateien");
        const PdfFile::Word* data = First(words, "Spalte");
        ASSERT_TRUE(caption && data);
        EXPECT_LT(caption->xMax, data->xMin);
    }
    EXPECT_EQ(laterPages, part.FileLayout.LastStrip);
}

TEST_P(PrintedLayouts, ACountingColumnAfterTheNumberColumnKeepsItsSums)
{
    TLogShape shape;
    shape.FileLabelKind = 3;
    shape.CountingSecond = true;
    TempDir dir;
    const TPrintedLog log = Print(shape, GetParam(), dir);
    const TReportSource source(log.Document);
    const TReportGrid& grid = source.FilesGrid();
    for (const char* caption : {"ohne", "mit"}) {
        SCOPED_TRACE(caption);
        const int row = grid.RowCount() - (QString::fromLatin1(caption) == "ohne" ? 2 : 1);
        const QString sum =
            FormatNumber(grid.Cell(1, row), TNumberFormat::Integer, TNumberSeparators::Current());
        const PdfFile::Word* word = First(log.Words, QString::fromLatin1(caption));
        ASSERT_NE(word, nullptr);
        // Gross prints twice in this log: after the number and among the counts.
        EXPECT_EQ(Count(LineOf(WordsOnPage(log.Words, word->page), *word),
                        [&](const QString& text) { return text == sum; }),
                  2)
            << sum.toStdString();
    }
}

TEST_P(PrintedLayouts, LongTextsAreCutToTheirRoomOrBrokenWhereTheyHaveNoBlank)
{
    struct Case {
        const char* name;
        TLogShape shape;
        std::function<void(const TPrintedLog& log)> check;
    };
    const QChar ellipsis(0x2026);
    const auto endsCut = [ellipsis](const TPrintedLog& log, const QString& start) {
        int cut = 0;
        for (const PdfFile::Word& word : log.Words)
            cut += word.text.startsWith(start) && word.text.endsWith(ellipsis);
        EXPECT_GT(cut, 0) << "no text starting with " << start.toStdString() << " cut";
    };
    std::vector<Case> cases;
    {
        TLogShape shape;
        shape.LongHead = true;
        cases.push_back({"head text", shape, [&](const TPrintedLog& log) {
                             const PdfFile::Word* task = First(log.Words, "Statistik");
                             const PdfFile::Word* head = First(log.Words, "Kopf");
                             ASSERT_TRUE(task && head);
                             EXPECT_GT(head->xMin, task->xMax) << "clear of the section caption";
                             const auto line = LineOf(WordsOnPage(log.Words, 1), *head);
                             EXPECT_TRUE(line.back().text.endsWith(ellipsis));
                         }});
    }
    {
        TLogShape shape;
        shape.Description = TDescription::NoBlanks;
        cases.push_back(
            {"info lines without blanks", shape, [](const TPrintedLog& log) {
                 // Read in order, the pieces of a broken line give the line again.
                 for (int line = 0; line + 1 < int(log.Document.InfoLines.size()); ++line) {
                     const PdfFile::Word* from = FirstStarting(log.Words, InfoToken(line));
                     ASSERT_NE(from, nullptr);
                     QString text;
                     bool reading = false;
                     for (const PdfFile::Word& word : log.Words) {
                         if (word.text.startsWith(InfoToken(line + 1)))
                             break;
                         reading = reading || word.text.startsWith(InfoToken(line));
                         if (reading && word.xMin < from->xMin + 1)
                             text += word.text;
                     }
                     EXPECT_EQ(text.toStdString(), log.Document.InfoLines[line]);
                 }
             }});
    }
    {
        TLogShape shape;
        shape.FileLabelKind = 0;
        shape.LongNames = true;
        shape.Strips = TStrips::Two;
        cases.push_back({"long file names", shape, [&](const TPrintedLog& log) {
                             endsCut(log, QStringLiteral("datei_1.dat_"));
                         }});
    }
    {
        TLogShape shape;
        shape.WideColumn = true;
        cases.push_back({"a column wider than the page", shape,
                         [&](const TPrintedLog& log) { endsCut(log, QStringLiteral("WWWW")); }});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const TPrintedLog log = Print(c.shape, GetParam(), dir);
        CheckPrintedLog(log);
        c.check(log);
    }
}

TEST_P(PrintedLayouts, FixedColumnsLeaveTheStripsOfATableMostOfTheirRoom)
{
    // What the fixed columns of a section take of every strip, in report units.
    const auto fixedWidth = [](const SectionLayout& layout, int fixedCols, double C) {
        double width = 0;
        for (int c = 0; c < fixedCols; ++c)
            width += layout.Columns[c].Width + C;
        return width;
    };
    struct Case {
        const char* name;
        bool longNames;
        TStrips strips;
        int files;
        // Most of the printable width the fixed columns take, as a share; 1 for no bound.
        double filesShare, matrixShare;
        bool oneStrip;
    };
    const std::vector<Case> cases = {
        {"long names, many strips", true, TStrips::Many, 45, 0.5, 1.0 / 3, false},
        {"long names, a table that fits one strip once they are cut", true, TStrips::One, 3, 1, 1,
         true},
        {"short names, many strips", false, TStrips::Many, 45, 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLogShape shape;
        shape.FileLabelKind = 0;
        shape.LongNames = c.longNames;
        shape.Strips = c.strips;
        shape.Files = c.files;
        TempDir dir;
        const TPrintedLog log = Print(shape, GetParam(), dir);
        CheckPrintedLog(log);
        const TPrintedPart& part = log.Parts.front();
        const TReportSource source(log.Document);
        const double W = part.UsableWidth;
        const double C = part.CharWidth;
        EXPECT_LE(fixedWidth(part.FileLayout, source.FilesGrid().FixedCols(), C),
                  c.filesShare * W + 1e-6);
        EXPECT_LE(fixedWidth(part.MatrixLayout, source.MatrixGrid().FixedCols(), C),
                  c.matrixShare * W + 1e-6);
        if (c.oneStrip) {
            EXPECT_EQ(part.FileLayout.LastStrip, 0);
            EXPECT_EQ(part.MatrixLayout.LastStrip, 0);
        }
        // Names are cut only where they are too long.
        const int cut = Count(log.Words, [](const QString& text) {
            return text.startsWith(QStringLiteral("datei_")) && text.endsWith(QChar(0x2026));
        });
        EXPECT_EQ(cut > 0, c.longNames) << cut << " names cut";
    }
}

TEST_P(PrintedLayouts, APageThatBeginsInTheTrailerHasNoColumnTitlesNorTheirRule)
{
    TLogShape probe;
    probe.Files = 80;
    TempDir probeDir;
    const TPrintedLog printed = Print(probe, GetParam(), probeDir);
    int rows = 0;
    for (int file = 1; file <= probe.Files; ++file)
        rows += First(printed.Words, FileToken(file))->page == 1;
    // The blank row first on the next page, then the legend alone there.
    for (int files : {rows - 2, rows - 3}) {
        SCOPED_TRACE(testing::Message() << files << " files");
        TLogShape shape = probe;
        shape.Files = files;
        TempDir dir;
        const TPrintedLog log = Print(shape, GetParam(), dir);
        const PdfFile::Word* legend = First(log.Words, "Grunddatei,");
        ASSERT_NE(legend, nullptr);
        ASSERT_EQ(legend->page, 2);
        const auto words = WordsOnPage(log.Words, 2);
        EXPECT_EQ(Count(words, [](const QString& text) { return text == "Dateiname"; }), 0);
        // No rule between the header's divider and the legend.
        const int dpi = 100;
        const QImage page = PdfFile(log.Path).Render(2, dpi);
        const auto pixels = [dpi](double points) { return qRound(points * dpi / 72.0); };
        const int left = pixels(kMarginPoints);
        const int right = pixels(kMarginPoints + 100);
        for (int y = pixels(kMarginPoints + 40); y < pixels(legend->yMin) - 1; ++y) {
            int dark = 0;
            for (int x = left; x < right; ++x)
                dark += qGray(page.pixel(x, y)) < 160;
            EXPECT_LT(dark, (right - left) / 2) << "a rule at " << y * 72.0 / dpi << " pt";
        }
    }
}

TEST_P(PrintedLayouts, BlankLinesKeepLaterStripsAtTheHeightOfTheFirst)
{
    for (TDescription description : {TDescription::Wrapped, TDescription::Long}) {
        SCOPED_TRACE(DescriptionName(description));
        TLogShape shape;
        shape.Strips = TStrips::Two;
        shape.Description = description;
        TempDir dir;
        const TPrintedLog log = Print(shape, GetParam(), dir);
        ASSERT_GE(log.Parts.at(0).FileLayout.LastStrip, 1);
        // The first file row on each page of the files table (the matrix names files too).
        std::vector<PdfFile::Word> rows;
        for (const PdfFile::Word& word : log.Words) {
            if (word.text == "F1" && First(WordsOnPage(log.Words, word.page), "Summe"))
                rows.push_back(word);
        }
        ASSERT_EQ(int(rows.size()), log.Parts.at(0).FileLayout.LastStrip + 1);
        for (const PdfFile::Word& row : rows)
            EXPECT_NEAR(row.yMin, rows.front().yMin, 0.5) << "page " << row.page;
    }
}
