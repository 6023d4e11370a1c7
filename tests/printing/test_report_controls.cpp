#include "FontFiles.h"
#include "PdfDevice.h"
#include "PdfFile.h"
#include "ScriptedReport.h"
#include "TQRCanvas.h"
#include "TQRPage.h"
#include "TQRShape.h"

#include <QFontDatabase>
#include <QTemporaryDir>
#include <QtMath>

#include <gtest/gtest.h>

namespace {

constexpr double PointsPerUnit = 72.0 / 254.0;
constexpr double Margin = 100 * PointsPerUnit;

QString print(TQuickRep& report, const QTemporaryDir& dir, PdfDevice kind)
{
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    PrintReport(report, kind, path);
    return path;
}

TQRShape& addShape(TQRBand& band, TQRShapeType type, QRectF units, const QColor& color)
{
    auto& shape = band.Add<TQRShape>();
    shape.SetShape(type);
    shape.SetLeft(units.left());
    shape.SetTop(units.top());
    shape.SetWidth(units.width());
    shape.SetHeight(units.height());
    if (type == TQRShapeType::Rectangle) {
        shape.SetPen(Qt::NoPen);
        shape.SetBrush(color);
    } else {
        shape.SetPen(QPen(color, 60)); // 60 pixels at 1200 dpi: 1.27 mm
    }
    return shape;
}

// The colour at a point given in report units inside the detail band of the first row, on a
// page rendered at 254 dpi (one pixel per 0.1 mm).
QColor colourAt(const QImage& page, double x, double y)
{
    return page.pixelColor(qRound(100 + x), qRound(100 + 160 + y));
}

// The controls give the same marks through Qt's PDF output and the direct one.
class ReportControls : public testing::TestWithParam<PdfDevice> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Outputs, ReportControls,
                         testing::Values(PdfDevice::Writer, PdfDevice::Direct),
                         [](const testing::TestParamInfo<PdfDevice>& info) {
                             return std::string(PdfDeviceName(info.param));
                         });

TEST_P(ReportControls, LabelsAlignWithinTheirWidth)
{
    struct Case {
        Qt::Alignment alignment;
        bool autoSize;
    };
    const std::vector<Case> cases = {{Qt::AlignLeft, false},
                                     {Qt::AlignRight, false},
                                     {Qt::AlignHCenter, false},
                                     {Qt::AlignRight, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "alignment " << int(c.alignment) << " auto size " << c.autoSize);
        QTemporaryDir dir;
        ScriptedReport report;
        report.Rows = 1;
        auto& label = report.Detail.Add<TQRLabel>();
        label.SetCaption(QStringLiteral("Gesamt"));
        label.SetLeft(1000);
        label.SetWidth(600);
        label.SetHeight(40);
        label.SetAlignment(c.alignment);
        label.SetAutoSize(c.autoSize);
        double printedWidth = 0, textWidth = 0;
        report.Report.OnEndPage = [&](TQuickRep& rep) {
            printedWidth = label.Width();
            textWidth =
                rep.Canvas()->TextWidth(label.Font(), label.Caption()) / rep.Canvas()->XFactor();
        };
        const PdfFile pdf(print(report.Report, dir, GetParam()));
        const auto word = pdf.Find(QStringLiteral("Gesamt")).at(0);

        const double width = c.autoSize ? textWidth : 600;
        EXPECT_DOUBLE_EQ(printedWidth, width);
        EXPECT_DOUBLE_EQ(label.Width(), 600) << "outside a pass the design width holds";
        const double left = Margin + 1000 * PointsPerUnit;
        const double right = left + width * PointsPerUnit;
        if (c.alignment & Qt::AlignLeft)
            EXPECT_NEAR(word.xMin, left, 1.0);
        else if (c.alignment & Qt::AlignRight)
            EXPECT_NEAR(word.xMax, right, 1.0);
        else
            EXPECT_NEAR((word.xMin + word.xMax) / 2, (left + right) / 2, 1.0);
    }
}

TEST_P(ReportControls, ShapesPrintInTheirStackingOrderWhenEnabled)
{
    QTemporaryDir dir;
    ScriptedReport report(400);
    report.Rows = 1;
    TQRBand& band = report.Detail;
    const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 160, 0), grey(240, 240, 240);
    auto& back = addShape(band, TQRShapeType::Rectangle, {100, 0, 400, 300}, red);
    auto& front = addShape(band, TQRShapeType::Rectangle, {300, 0, 400, 300}, blue);
    front.SendToBack(); // the red one now covers the overlap
    front.SetEnabled(false);
    front.SetEnabled(true); // and re-enabling keeps its place in the stack
    auto& hidden = addShape(band, TQRShapeType::Rectangle, {900, 0, 200, 300}, green);
    hidden.SetEnabled(false);
    addShape(band, TQRShapeType::HorLine, {1200, 100, 500, 20}, green);
    addShape(band, TQRShapeType::VertLine, {1900, 0, 20, 300}, blue);
    auto& opaque = band.Add<TQRLabel>();
    opaque.SetLeft(2200);
    opaque.SetWidth(300);
    opaque.SetHeight(200);
    opaque.SetColor(grey);
    auto& clear = band.Add<TQRLabel>();
    clear.SetLeft(200);
    clear.SetTop(200);
    clear.SetWidth(200);
    clear.SetHeight(80);
    clear.SetTransparent(true);
    back.BringToFront();
    clear.BringToFront();

    const QImage page = PdfFile(print(report.Report, dir, GetParam())).Render(1, 254);
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(colourAt(page, 200, 100), red);
    EXPECT_EQ(colourAt(page, 400, 100), red) << "overlap";
    EXPECT_EQ(colourAt(page, 600, 100), blue);
    EXPECT_EQ(colourAt(page, 1000, 100), QColor(Qt::white)) << "disabled shape";
    EXPECT_EQ(colourAt(page, 1450, 110), green) << "horizontal line through the middle";
    EXPECT_EQ(colourAt(page, 1450, 60), QColor(Qt::white));
    EXPECT_EQ(colourAt(page, 1910, 250), blue) << "vertical line through the middle";
    EXPECT_EQ(colourAt(page, 1950, 250), QColor(Qt::white));
    EXPECT_EQ(colourAt(page, 2350, 100), grey) << "label background";
    EXPECT_EQ(colourAt(page, 210, 270), red) << "transparent label";
}

TEST_P(ReportControls, RepeatedTextsPrintWhereTheirFirstPrintingDid)
{
    // The first printing of a text and its repetitions take different ways to the page.
    QTemporaryDir dir;
    ScriptedReport report(60);
    report.Rows = 4;
    auto& value = report.Detail.Add<TQRLabel>();
    value.SetCaption(QStringLiteral("12.345,67"));
    value.SetLeft(1000);
    value.SetWidth(400);
    value.SetHeight(40);
    value.SetAlignment(Qt::AlignRight);

    const auto words =
        PdfFile(print(report.Report, dir, GetParam())).Find(QStringLiteral("12.345,67"));
    ASSERT_EQ(words.size(), 4u);
    EXPECT_NEAR(words[0].xMax, Margin + 1400 * PointsPerUnit, 1.0);
    for (size_t i = 1; i < words.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        EXPECT_NEAR(words[i].xMin, words[0].xMin, 0.01);
        EXPECT_NEAR(words[i].xMax, words[0].xMax, 0.01);
        EXPECT_NEAR(words[i].yMin - words[i - 1].yMin, 60 * PointsPerUnit, 0.01);
        EXPECT_NEAR(words[i].yMax - words[i - 1].yMax, 60 * PointsPerUnit, 0.01);
    }
}

TEST_P(ReportControls, TextStaysBehindAFillStackedInFrontOfIt)
{
    QTemporaryDir dir;
    ScriptedReport report(100);
    report.Rows = 2; // the second row's text is the repeated one
    auto& text = report.Detail.Add<TQRLabel>();
    text.SetCaption(QStringLiteral("WWWWWW"));
    text.SetLeft(1000);
    text.SetWidth(400);
    text.SetHeight(40);
    text.SetTransparent(true);
    auto& cover = report.Detail.Add<TQRLabel>();
    cover.SetLeft(950);
    cover.SetTop(0);
    cover.SetWidth(600);
    cover.SetHeight(80);
    const QColor grey(240, 240, 240);
    cover.SetColor(grey);

    const auto marked = [](const QImage& page, int row, const QColor& ground) {
        int count = 0;
        for (int y = 5; y < 75; ++y) {
            for (int x = 960; x < 1540; ++x) {
                if (colourAt(page, x, row * 100 + y) != ground)
                    ++count;
            }
        }
        return count;
    };
    const QImage page = PdfFile(print(report.Report, dir, GetParam())).Render(1, 254);
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(marked(page, 0, grey), 0);
    EXPECT_EQ(marked(page, 1, grey), 0);
    // Without the cover the text is there to be hidden.
    cover.SetEnabled(false);
    QTemporaryDir other;
    const QImage bare = PdfFile(print(report.Report, other, GetParam())).Render(1, 254);
    EXPECT_GT(marked(bare, 0, Qt::white), 100);
    EXPECT_GT(marked(bare, 1, Qt::white), 100);
}

TEST_P(ReportControls, BoldTextPrintsHeavierThanRegularAlsoFromAFaceWithoutBold)
{
    // DejaVu Sans's regular outlines as a family that has no bold face: the bold is made from
    // the regular.
    const std::string regular =
        WithFamilyName(InstalledFont("DejaVu Sans"), "DejaVu Sans", "Regula Sans");
    ASSERT_FALSE(regular.empty()) << "DejaVu Sans is not installed";
    const int id = QFontDatabase::addApplicationFontFromData(QByteArray::fromStdString(regular));
    ASSERT_TRUE(QFontDatabase::applicationFontFamilies(id).contains(QStringLiteral("Regula Sans")));

    for (const QString& family : {TQRPage::DefaultFont().family(), QStringLiteral("Regula Sans")}) {
        SCOPED_TRACE(family.toStdString());
        QTemporaryDir dir;
        ScriptedReport report(100);
        report.Rows = 1;
        QFont font = TQRPage::DefaultFont();
        font.setFamily(family);
        for (const bool bold : {false, true}) {
            auto& label = report.Detail.Add<TQRLabel>();
            font.setBold(bold);
            label.SetFont(font);
            label.SetCaption(QStringLiteral("Zelmora -- Statistik"));
            label.SetLeft(bold ? 1500 : 100);
            label.SetWidth(1300);
            label.SetHeight(50);
        }
        const QImage page = PdfFile(print(report.Report, dir, GetParam())).Render(1, 254);
        ASSERT_FALSE(page.isNull());
        const auto ink = [&page](double left) {
            double sum = 0;
            for (int y = 0; y < 60; ++y) {
                for (int x = 0; x < 1300; ++x)
                    sum += 255 - qGray(colourAt(page, left + x, y).rgb());
            }
            return sum;
        };
        EXPECT_GT(ink(100), 0);
        EXPECT_GT(ink(1500), 1.1 * ink(100));
    }
}

TEST_P(ReportControls, ARuleAtTheFootOfARowStaysVisibleBesideTheNextRowsFill)
{
    // The report's rules are 1/300 inch; rendered at 150 dpi, a renderer that rounds the next
    // row's background to whole pixels must not cover the rule above it, wherever the rows fall
    // between the pixels.
    constexpr int dpi = 150;
    const double rule = 4 * 254.0 / 1200;
    for (const double height : {40.0, 41.3, 43.7, 45.1, 47.9}) {
        SCOPED_TRACE(testing::Message()
                     << "rows of " << height << " units on " << PdfDeviceName(GetParam()));
        QTemporaryDir dir;
        ScriptedReport report(height);
        report.Rows = 12;
        addShape(report.Detail, TQRShapeType::Rectangle, QRectF(0, 0, 1500, height - rule),
                 QColor(240, 240, 240))
            .SendToBack();
        auto& line = report.Detail.Add<TQRShape>();
        line.SetShape(TQRShapeType::HorLine);
        line.SetPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::FlatCap));
        line.SetLeft(0);
        line.SetTop(height - rule);
        line.SetWidth(1500);
        line.SetHeight(rule);
        const QImage page = PdfFile(print(report.Report, dir, GetParam())).Render(1, dpi);
        const auto pixels = [&](double units) { return units * dpi / 254.0; };
        for (int row = 1; row < report.Rows; ++row) {
            const double bottom = 100 + 160 + row * height;
            double darkest = 0;
            for (int y = qFloor(pixels(bottom - rule)) - 1; y <= qCeil(pixels(bottom)) + 1; ++y) {
                int dark = 0;
                const int left = qRound(pixels(300));
                const int right = qRound(pixels(1400));
                for (int x = left; x < right; ++x)
                    dark += qGray(page.pixel(x, y)) < 160;
                darkest = std::max(darkest, double(dark) / (right - left));
            }
            EXPECT_GT(darkest, 0.9) << "the rule under row " << row - 1;
        }
    }
}
