#include "PdfDevice.h"
#include "PdfFile.h"
#include "ScriptedReport.h"
#include "TQRCanvas.h"
#include "TQRMemo.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr double PointsPerUnit = 72.0 / 254.0;
constexpr double Margin = 100 * PointsPerUnit;

// Prints the report to a PDF file in dir and returns its path.
QString print(TQuickRep& report, const QTemporaryDir& dir, PdfDevice kind = PdfDevice::Writer,
              int resolution = 1200)
{
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    PrintReport(report, kind, path, resolution);
    return path;
}

PdfFile::Word only(const PdfFile& pdf, const QString& text)
{
    const auto found = pdf.Find(text);
    EXPECT_EQ(found.size(), 1u) << text.toStdString();
    return found.empty() ? PdfFile::Word{0, text, -1e6, -1e6, -1e6, -1e6} : found.front();
}

QStringList numbered(const QString& prefix, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << prefix + QString::number(i);
    return lines;
}

} // namespace

TEST(ReportLayout, PageSetupAndTitleReachThePdf)
{
    struct Case {
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
        double width, height; // points
    };
    const std::vector<Case> cases = {
        {QPageSize::A4, QPageLayout::Landscape, 841.89, 595.28},
        {QPageSize::A4, QPageLayout::Portrait, 595.28, 841.89},
        {QPageSize::A5, QPageLayout::Landscape, 595.28, 419.53},
    };
    for (PdfDevice kind : AllPdfDevices()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << PdfDeviceName(kind) << " " << c.width << " x " << c.height);
            QTemporaryDir dir;
            ScriptedReport report;
            report.Report.PrinterSettings().PaperSize = c.paper;
            report.Report.PrinterSettings().Orientation = c.orientation;
            report.Report.PrinterSettings().Title = QStringLiteral("Statistik / 2");
            const PdfFile pdf(print(report.Report, dir, kind));
            EXPECT_EQ(pdf.Pages(), 1);
            EXPECT_NEAR(pdf.PageSize().width(), c.width, 0.5);
            EXPECT_NEAR(pdf.PageSize().height(), c.height, 0.5);
            EXPECT_EQ(pdf.Title(), QStringLiteral("Statistik / 2"));
            // The margins hold on every paper: the header's label sits 10 mm in from the corner.
            const auto head = only(pdf, QStringLiteral("Kopf"));
            EXPECT_NEAR(head.xMin, Margin, 1.0);
            EXPECT_NEAR(head.yMin, Margin, 2.0);
            EXPECT_LT(only(pdf, QStringLiteral("Seite1")).yMax, c.height - Margin + 0.5);
        }
    }
}

TEST(ReportLayout, CanvasFactorsFollowTheDeviceResolution)
{
    for (PdfDevice kind : AllPdfDevices()) {
        for (int resolution : {72, 96, 300, 600, 1200}) {
            SCOPED_TRACE(testing::Message() << PdfDeviceName(kind) << " at " << resolution);
            QTemporaryDir dir;
            ScriptedReport report;
            double xFactor = 0, yFactor = 0, width = 0, height = 0, textWidth = 0;
            report.Report.BeforePrint = [&](TQuickRep& rep, bool&) {
                const TQRCanvas& canvas = *rep.Canvas();
                xFactor = canvas.XFactor();
                yFactor = canvas.YFactor();
                width = canvas.Width();
                height = canvas.Height();
                textWidth = canvas.TextWidth(rep.Page().Font, QStringLiteral("WWWW"));
            };
            auto device = MakePdfDevice(kind, dir.filePath(QStringLiteral("r.pdf")), resolution);
            report.Report.Prepare(*device);
            EXPECT_DOUBLE_EQ(xFactor, resolution / 254.0);
            EXPECT_DOUBLE_EQ(yFactor, resolution / 254.0);
            // A4 landscape less 10 mm margins.
            EXPECT_NEAR(width, 2770, 1e-6);
            EXPECT_NEAR(height, 1900, 1e-6);
            // Four W of an 8 point font: roughly 1 cm whatever the resolution.
            EXPECT_GT(textWidth / xFactor, 60);
            EXPECT_LT(textWidth / xFactor, 160);
        }
    }
}

TEST(ReportLayout, BandsStackFromTheTopAndTheFooterSitsAtTheBottom)
{
    QTemporaryDir dir;
    ScriptedReport report(70);
    report.Rows = 2;
    const PdfFile pdf(print(report.Report, dir));
    const double head = only(pdf, QStringLiteral("Kopf")).yMin;
    EXPECT_NEAR(only(pdf, QStringLiteral("Spalten")).yMin - head, 100 * PointsPerUnit, 0.2);
    EXPECT_NEAR(only(pdf, QStringLiteral("Zeile0")).yMin - head, 160 * PointsPerUnit, 0.2);
    EXPECT_NEAR(only(pdf, QStringLiteral("Zeile1")).yMin - head, 230 * PointsPerUnit, 0.2);
    EXPECT_NEAR(only(pdf, QStringLiteral("Seite1")).yMin - head, 1820 * PointsPerUnit, 0.2);
}

TEST(ReportLayout, StretchingMemosGrowTheirBandAndDisabledOnesTakeNoSpace)
{
    struct Case {
        const char* name;
        int lines;
        bool enabled;
        bool stretch;
        int printedLines;
        bool grows;
    };
    // The memo starts 50 units into a band of 100; an 8 point line is about 33 units.
    const std::vector<Case> cases = {
        {"one line fits", 1, true, true, 1, false},
        {"three lines stretch", 3, true, true, 3, true},
        {"forty lines stretch", 40, true, true, 40, true},
        {"disabled", 40, false, true, 0, false},
        {"fixed height", 5, true, false, 1, false},
    };
    for (TQRBandType type : {TQRBandType::PageHeader, TQRBandType::Detail}) {
        for (const Case& c : cases) {
            const bool inHeader = type == TQRBandType::PageHeader;
            SCOPED_TRACE(std::string(c.name) + (inHeader ? " in the page header" : " in a row"));
            QTemporaryDir dir;
            ScriptedReport report(100);
            report.Rows = 2;
            TQRBand& band = inHeader ? report.Header : report.Detail;
            auto& memo = band.Add<TQRMemo>();
            memo.SetTop(50);
            memo.SetLeft(1000);
            memo.SetWidth(500);
            memo.SetHeight(45);
            memo.SetLines(numbered(QStringLiteral("Memo"), c.lines));
            memo.SetStretch(c.stretch);
            memo.SetEnabled(c.enabled);
            // In a row the memo prints once, in the first row.
            if (!inHeader) {
                const auto needData = report.Report.OnNeedData;
                report.Report.OnNeedData = [&, needData](TQuickRep& rep, bool& more) {
                    needData(rep, more);
                    memo.SetEnabled(c.enabled && report.RowLabel.Caption() == "Zeile0");
                };
            }
            const PdfFile pdf(print(report.Report, dir));

            const auto memoWords = pdf.Find(QStringLiteral("Memo0"));
            ASSERT_EQ(int(memoWords.size()), c.printedLines > 0 ? 1 : 0);
            int printed = 0;
            for (const auto& word : pdf.Words())
                printed += word.text.startsWith(QStringLiteral("Memo"));
            EXPECT_EQ(printed, c.printedLines);

            // The band below the memo's band starts under the memo's last line when it grows,
            // else at the band's design height.
            const auto& bandTop =
                inHeader ? only(pdf, QStringLiteral("Kopf")) : only(pdf, QStringLiteral("Zeile0"));
            const auto& next = inHeader ? only(pdf, QStringLiteral("Spalten"))
                                        : only(pdf, QStringLiteral("Zeile1"));
            const double offset = next.yMin - bandTop.yMin;
            if (!c.grows) {
                EXPECT_NEAR(offset, 100 * PointsPerUnit, 0.2);
                continue;
            }
            const auto last = only(pdf, QStringLiteral("Memo%1").arg(c.lines - 1));
            const double lineStep = (last.yMin - memoWords.front().yMin) / (c.lines - 1);
            EXPECT_NEAR(offset, 50 * PointsPerUnit + c.lines * lineStep, 0.2);
        }
    }
}

TEST(ReportLayout, AFirstRowThatDoesNotFitUnderTheHeaderMovesToTheNextPage)
{
    // Page 1900 high, footer 80: a header memo ending 40 above the footer leaves no room for
    // the column header (60) and the first row (50).
    for (PdfDevice kind : AllPdfDevices()) {
        SCOPED_TRACE(PdfDeviceName(kind));
        QTemporaryDir dir;
        ScriptedReport report(50);
        report.Rows = 2;
        auto& memo = report.Header.Add<TQRMemo>();
        memo.SetTop(1780);
        memo.SetLeft(1000);
        memo.SetWidth(500);
        memo.SetHeight(40);
        memo.SetLines({QStringLiteral("Beschreibung")});
        memo.SetStretch(true);
        const auto startPage = report.Report.OnStartPage;
        report.Report.OnStartPage = [&, startPage](TQuickRep& rep) {
            startPage(rep);
            memo.SetEnabled(rep.PageNumber() == 1);
        };
        const PdfFile pdf(print(report.Report, dir, kind));
        ASSERT_EQ(pdf.Pages(), 2);
        EXPECT_EQ(only(pdf, QStringLiteral("Beschreibung")).page, 1);
        for (const char* text : {"Spalten", "Zeile0", "Zeile1"})
            EXPECT_EQ(only(pdf, QString::fromLatin1(text)).page, 2) << text;
        EXPECT_LT(only(pdf, QStringLiteral("Zeile0")).yMax,
                  only(pdf, QStringLiteral("Seite2")).yMin);
    }
}

TEST(ReportLayout, ABandTallerThanAPageIsCutAtTheFooter)
{
    for (PdfDevice kind : AllPdfDevices()) {
        SCOPED_TRACE(PdfDeviceName(kind));
        QTemporaryDir dir;
        ScriptedReport report(2000);
        report.Rows = 1;
        auto& low = report.Detail.Add<TQRLabel>();
        low.SetCaption(QStringLiteral("WWWWWWWWWW"));
        low.SetLeft(1500);
        low.SetTop(1700); // on the page 160 + 1700: inside the footer (from 1820)
        low.SetWidth(400);
        low.SetHeight(40);
        low.SetTransparent(true);
        const PdfFile pdf(print(report.Report, dir, kind));
        const int page = only(pdf, QStringLiteral("Zeile0")).page;
        EXPECT_EQ(page, 2) << "tried on a page of its own first";
        const QImage image = pdf.Render(page, 254);
        int dark = 0;
        for (int y = 100 + 1850; y < 100 + 1900; ++y) {
            for (int x = 100 + 1500; x < 100 + 1900; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        }
        EXPECT_EQ(dark, 0) << "the band printed over the footer";
    }
}

TEST(ReportLayout, WrappingMemosBreakWordsWithoutBlanksAtACharacter)
{
    const struct {
        const char* name;
        QString line;
    } cases[] = {
        {"a path", QStringLiteral("/daten/kunden/") + QString(60, QLatin1Char('x')) +
                       QStringLiteral("/abgleich.dat")},
        {"words and a long code",
         QStringLiteral("Code: ") + QString(90, QLatin1Char('7')) + QStringLiteral(" Ende")},
        {"fits", QStringLiteral("kurz")},
    };
    for (PdfDevice kind : AllPdfDevices()) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " on " << PdfDeviceName(kind));
            QTemporaryDir dir;
            ScriptedReport report;
            report.Rows = 1;
            auto& memo = report.Header.Add<TQRMemo>();
            memo.SetLeft(1000);
            memo.SetTop(50);
            memo.SetWidth(400);
            memo.SetWordWrap(true);
            memo.SetStretch(true);
            memo.SetLines({c.line});
            const PdfFile pdf(print(report.Report, dir, kind));
            QString printed;
            for (const auto& word : pdf.Words()) {
                if (word.text == QStringLiteral("Kopf") || word.yMin > 200 ||
                    word.xMin < Margin + 900 * PointsPerUnit)
                    continue;
                EXPECT_LE(word.xMax, Margin + 1400 * PointsPerUnit + 0.5)
                    << word.text.toStdString();
                printed += word.text;
            }
            QString expected = c.line;
            expected.remove(QLatin1Char(' '));
            EXPECT_EQ(printed, expected);
        }
    }
}

TEST(ReportLayout, CaptionsWiderThanTheirLabelAreCutWithAnEllipsis)
{
    const QString caption = QStringLiteral("Ein Text der in seine Breite nicht passt");
    struct Case {
        const char* name;
        bool autoSize;
        double maxWidth;
        Qt::Alignment alignment;
    };
    const std::vector<Case> cases = {
        {"fixed width, left", false, 0, Qt::AlignLeft},
        {"fixed width, right", false, 0, Qt::AlignRight},
        {"auto size up to a maximum", true, 300, Qt::AlignLeft},
    };
    for (PdfDevice kind : AllPdfDevices()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " on " << PdfDeviceName(kind));
            QTemporaryDir dir;
            ScriptedReport report;
            report.Rows = 1;
            auto& label = report.Detail.Add<TQRLabel>();
            label.SetCaption(caption);
            label.SetLeft(1000);
            label.SetWidth(300);
            label.SetHeight(40);
            label.SetAutoSize(c.autoSize);
            label.SetMaxWidth(c.maxWidth);
            label.SetAlignment(c.alignment);
            const PdfFile pdf(print(report.Report, dir, kind));
            QStringList printed;
            for (const auto& word : pdf.Words()) {
                if (word.xMin < Margin + 900 * PointsPerUnit)
                    continue;
                EXPECT_GE(word.xMin, Margin + 1000 * PointsPerUnit - 0.5);
                EXPECT_LE(word.xMax, Margin + 1300 * PointsPerUnit + 0.5);
                printed << word.text;
            }
            ASSERT_FALSE(printed.isEmpty());
            EXPECT_TRUE(printed.last().endsWith(QChar(0x2026))) << printed.join(' ').toStdString();
            EXPECT_TRUE(caption.startsWith(printed.join(' ').chopped(1)));
        }
    }
}
