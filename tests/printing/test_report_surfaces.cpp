#include "FontFiles.h"
#include "TQRCanvas.h"
#include "TQRPage.h"
#include "TQRPainterSurface.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QImage whitePage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The darkest row's mean grey between two columns.
int darkestRow(const QImage& image, int left, int right)
{
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        int sum = 0;
        for (int x = left; x < right; ++x)
            sum += qGray(image.pixel(x, y));
        darkest = std::min(darkest, sum / (right - left));
    }
    return darkest;
}

double ink(const QImage& image, const QRect& area)
{
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            sum += 255 - qGray(image.pixel(x, y));
    }
    return sum;
}

} // namespace

TEST(PainterSurface, TakesNothingForGrantedOfThePainterItBeginsOn)
{
    // A painter begun again has the default pen and no brush, whatever it had before.
    QImage first = whitePage(20, 20);
    QImage second = whitePage(20, 20);
    TQRPainterSurface surface;
    QPainter painter(&first);
    surface.Begin(painter, false);
    surface.FillRect(QRectF(0, 0, 20, 20), QBrush(Qt::red));
    painter.end();
    painter.begin(&second);
    surface.Begin(painter, false);
    surface.FillRect(QRectF(0, 0, 20, 20), QBrush(Qt::red));
    painter.end();
    EXPECT_EQ(first.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(second.pixelColor(10, 10), QColor(Qt::red));
}

TEST(PainterSurface, AReducedPageDrawsRulesThinnerThanAPixelOnePixelWide)
{
    // A rule of 4 device pixels at 1200 dpi, a fifth of a pixel on a 60 dpi image.
    for (const bool reduced : {false, true}) {
        SCOPED_TRACE(reduced ? "reduced" : "on the device");
        QImage image = whitePage(100, 20);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(0.05, 0.05);
        TQRPainterSurface surface;
        surface.Begin(painter, reduced);
        surface.StrokeLine(QLineF(0, 200, 2000, 200), QPen(Qt::black, 4));
        painter.end();
        const int darkest = darkestRow(image, 10, 90);
        if (reduced)
            EXPECT_LT(darkest, 128);
        else
            EXPECT_GT(darkest, 160);
    }
}

TEST(PainterSurface, AReducedPageThickensBoldMadeOfARegularFaceAlsoForATextDrawnOnce)
{
    // DejaVu Sans's regular outlines as a family that has no bold face.
    const std::string regular =
        WithFamilyName(InstalledFont("DejaVu Sans"), "DejaVu Sans", "Regula Sans");
    ASSERT_FALSE(regular.empty()) << "DejaVu Sans is not installed";
    QFontDatabase::addApplicationFontFromData(QByteArray::fromStdString(regular));

    QTemporaryDir dir;
    QPdfWriter device(dir.filePath(QStringLiteral("unused.pdf")));
    device.setResolution(1200);
    TQRCanvas canvas(device);
    // 10 pixels a millimetre, the device's pixels brought down by the painter's scale.
    const double scale = 10 / (1200 / 25.4);
    QImage image = whitePage(1000, 200);
    image.setDotsPerMeterX(qRound(1200 / 0.0254));
    image.setDotsPerMeterY(qRound(1200 / 0.0254));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    TQRPainterSurface surface;
    surface.Begin(painter, true);
    canvas.SetOutput(&surface);
    QFont font = TQRPage::DefaultFont();
    font.setFamily(QStringLiteral("Regula Sans"));
    const QString text = QStringLiteral("Zelmora -- Statistik");
    canvas.DrawText(font, QPointF(100, 400), text);
    font.setBold(true);
    canvas.DrawText(font, QPointF(100 + 500 / scale, 400), text);
    canvas.SetOutput(nullptr);
    painter.end();

    const double regularInk = ink(image, QRect(0, 0, 500, 200));
    EXPECT_GT(regularInk, 0);
    EXPECT_GT(ink(image, QRect(500, 0, 500, 200)), 1.1 * regularInk);
}
