#include "PdfDevice.h"
#include "PdfFile.h"
#include "ScriptedReport.h"
#include "TQRCanvas.h"
#include "TQRMemo.h"

#include <QFontMetricsF>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr double PointsPerUnit = 72.0 / 254.0;
constexpr double Margin = 100 * PointsPerUnit;
const QChar kEllipsis(0x2026);

// Letters that kern with each other, narrow and wide ones, umlauts, digits and punctuation.
const QString kAlphabet = QStringLiteral("AVWTYLPFToeayvwilmW.,-'/0123456789ÄÖÜäöüß");

QString Repeated(const QString& part, qsizetype length)
{
    QString text;
    while (text.size() < length)
        text += part;
    text.truncate(length);
    return text;
}

class RandomTexts {
public:
    explicit RandomTexts(unsigned seed)
        : m_random(seed)
    {
    }
    int Number(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    QString Word(int length)
    {
        QString word;
        for (int i = 0; i < length; ++i)
            word += kAlphabet.at(Number(0, int(kAlphabet.size()) - 1));
        return word;
    }
    // Words of all lengths (some wider than any width) between blanks, sometimes several.
    QString Line(int length)
    {
        QString line;
        while (line.size() < length) {
            line += Word(Number(0, 9) == 0 ? Number(30, 900) : Number(1, 12));
            line += QString(Number(0, 6) == 0 ? Number(2, 4) : 1, QLatin1Char(' '));
        }
        line.truncate(length);
        return line;
    }

private:
    std::mt19937 m_random;
};

// The greedy rule a wrapping memo follows, with every candidate line measured whole: the rule
// as it reads, at a cost that grows with the square of a line.
QStringList BrokenWhole(const TQRCanvas& canvas, const QFont& font, const QString& line,
                        double width)
{
    const auto fits = [&](const QString& text) { return canvas.TextWidth(font, text) <= width; };
    if (fits(line))
        return {line};
    QStringList out;
    QString current;
    for (QString word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (fits(candidate)) {
            current = candidate;
            continue;
        }
        if (!current.isEmpty())
            out.append(current);
        while (word.size() > 1 && !fits(word)) {
            qsizetype low = 1;
            qsizetype high = word.size();
            while (low < high) {
                const qsizetype middle = (low + high + 1) / 2;
                if (fits(word.left(middle)))
                    low = middle;
                else
                    high = middle - 1;
            }
            out.append(word.left(low));
            word.remove(0, low);
        }
        current = word;
    }
    out.append(current);
    return out;
}

// A canvas on the exporter's layout device (1200 dpi), and a memo of the report font that wraps.
struct MemoOnCanvas {
    QTemporaryDir dir;
    QPdfWriter device{dir.filePath(QStringLiteral("unused.pdf"))};
    TQRCanvas canvas{device};
    ScriptedReport report;
    TQRMemo& memo = report.Header.Add<TQRMemo>();

    explicit MemoOnCanvas(double width)
    {
        memo.SetWordWrap(true);
        memo.SetWidth(width);
    }
    double WidthPixels() const { return memo.Width() * canvas.XFactor(); }
};

// The words printed right of 90 mm, in order: what a label placed there printed.
QString PrintedRightOf(const PdfFile& pdf, double leftUnits)
{
    QString printed;
    for (const auto& word : pdf.Words()) {
        if (word.xMin >= Margin + (leftUnits - 100) * PointsPerUnit)
            printed += (printed.isEmpty() ? QString() : QStringLiteral(" ")) + word.text;
    }
    return printed;
}

} // namespace

TEST(ReportTexts, ALongCaptionCostsItsRoomNotItsLength)
{
    struct Case {
        const char* name;
        QString caption;
        double room; // report units
        bool autoSize;
        // Characters the font engine may be handed beyond a few times what prints.
        std::uint64_t allowance;
    };
    const std::uint64_t perText = 8192;
    const std::vector<Case> cases = {
        {"a million W", QString(1000000, QLatin1Char('W')), 300, false, perText},
        {"a million characters of words",
         Repeated(QStringLiteral("Tour AV Wolke Tee 17 "), 1000000), 1500, false, perText},
        {"an auto-sized head text", Repeated(QStringLiteral("Kopfzeile "), 1000000), 800, true,
         perText},
        // Soft hyphens print as nothing: no room is ever full of them.
        {"two million characters without width",
         QString(2000000, QChar(0xAD)) + QStringLiteral("Ende"), 300, false,
         8 * std::uint64_t(TQRCanvas::MaxLineCharacters)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ScriptedReport report;
        report.Rows = 1;
        auto& label = report.Detail.Add<TQRLabel>();
        label.SetCaption(c.caption);
        label.SetLeft(1000);
        label.SetWidth(c.room);
        label.SetHeight(40);
        label.SetAutoSize(c.autoSize);
        label.SetMaxWidth(c.autoSize ? c.room : 0);
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        const std::uint64_t before = TQRCanvas::MeasuredCharacters();
        PrintReport(report.Report, PdfDevice::Direct, path);
        const std::uint64_t measured = TQRCanvas::MeasuredCharacters() - before;

        const PdfFile pdf(path);
        const QString printed = PrintedRightOf(pdf, 1000);
        ASSERT_TRUE(printed.endsWith(kEllipsis)) << printed.toStdString();
        QString shown = printed.chopped(1);
        shown.remove(QLatin1Char(' '));
        QString start = c.caption.left(shown.size() + 200);
        start.remove(QLatin1Char(' '));
        start.remove(QChar(0xAD));
        EXPECT_TRUE(start.startsWith(shown)) << printed.toStdString();
        for (const auto& word : pdf.Words()) {
            if (word.xMin >= Margin + 900 * PointsPerUnit) {
                EXPECT_LE(word.xMax, Margin + (1000 + c.room) * PointsPerUnit + 0.5);
            }
        }
        EXPECT_LE(measured, 16 * std::uint64_t(printed.size()) + c.allowance)
            << printed.size() << " characters printed";
    }
}

TEST(ReportTexts, MemoLinesBreakInTimeLinearInTheirText)
{
    const qsizetype length = 300000;
    RandomTexts random(7);
    const struct {
        const char* name;
        QString line;
    } cases[] = {
        {"a line without blanks", random.Word(int(length))},
        {"a line of words", Repeated(QStringLiteral("Tour AV Wolke Tee 17 abgeflacht "), length)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoOnCanvas on(400);
        const std::uint64_t before = TQRCanvas::MeasuredCharacters();
        const QStringList lines = on.memo.PrintedLines(on.canvas, {c.line});
        const std::uint64_t measured = TQRCanvas::MeasuredCharacters() - before;
        // Each line printed is measured once, for printing it; the rest is a few characters and
        // pairs of them.
        EXPECT_LE(measured, 2 * std::uint64_t(length) + 20000);
        ASSERT_GT(lines.size(), 100);
        for (const QString& line : lines)
            ASSERT_LE(on.canvas.TextWidth(on.memo.Font(), line), on.WidthPixels())
                << line.toStdString();
        QString text = c.line;
        EXPECT_EQ(lines.join(QString()).remove(QLatin1Char(' ')), text.remove(QLatin1Char(' ')));
    }
}

TEST(ReportTexts, BrokenLinesAreThoseOfTheGreedyRuleMeasuredWhole)
{
    RandomTexts random(11);
    for (int i = 0; i < 200; ++i) {
        const double width = random.Number(20, 1500);
        MemoOnCanvas on(width);
        const QString line = random.Line(random.Number(0, 900));
        SCOPED_TRACE(testing::Message()
                     << "width " << width << ": \"" << line.toStdString() << '"');
        EXPECT_EQ(on.memo.PrintedLines(on.canvas, {line}),
                  BrokenWhole(on.canvas, on.memo.Font(), line, on.WidthPixels()));
    }
}

TEST(ReportTexts, CutTextsAndBoundedWidthsAgreeWithWholeMeasures)
{
    RandomTexts random(5);
    MemoOnCanvas on(100);
    const QFont& font = on.memo.Font();
    const QFontMetricsF& metrics = on.canvas.Metrics(font);
    for (int i = 0; i < 400; ++i) {
        const QString text =
            i % 2 ? random.Line(random.Number(1, 3000)) : random.Word(random.Number(1, 3000));
        const double width = random.Number(1, 8000);
        SCOPED_TRACE(testing::Message()
                     << "width " << width << ": \"" << text.toStdString() << '"');
        const double whole = metrics.horizontalAdvance(text);
        const double bounded = on.canvas.TextWidth(font, text, width);
        if (whole <= width)
            EXPECT_EQ(bounded, whole);
        else
            EXPECT_GT(bounded, width);
        const QString expected =
            whole <= width + 0.01 ? text : metrics.elidedText(text, Qt::ElideRight, width);
        EXPECT_EQ(on.canvas.FittingText(font, text, width), expected);
    }
}
