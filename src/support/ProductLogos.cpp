#include "ProductLogos.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

QPixmap drawLogo(int width, int height, const std::function<void(QPainter&)>& draw)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap logo(QSize(width, height) * ratio);
    logo.setDevicePixelRatio(ratio);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter);
    return logo;
}

QFont logoFont(int pixels, bool bold)
{
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void drawText(QPainter& painter, const QRectF& box, const QString& text, const QFont& font,
              const QColor& color)
{
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

QPixmap ZelmoraProductLogo()
{
    return drawLogo(320, 96, [](QPainter& painter) {
        const QColor teal(0x00, 0x6D, 0x77);
        // Two overlapping record cards: one kept, its duplicate struck out behind it.
        painter.setPen(QPen(teal, 2));
        painter.setBrush(QColor(0xD8, 0xEE, 0xF0));
        painter.drawRoundedRect(QRectF(12, 10, 58, 40), 5, 5);
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(26, 26, 58, 40), 5, 5);
        painter.setPen(QPen(teal, 3, Qt::SolidLine, Qt::RoundCap));
        for (int line = 0; line < 3; ++line)
            painter.drawLine(QPointF(34, 36 + 10 * line),
                             QPointF(74 - 12 * (line % 2), 36 + 10 * line));
        painter.setPen(QPen(QColor(0xC0, 0x39, 0x2B), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(16, 46), QPointF(24, 14));
        drawText(painter, QRectF(100, 6, 216, 50), QStringLiteral("Zelmora"), logoFont(38, true),
                 teal);
        drawText(painter, QRectF(102, 56, 216, 24), QString::fromUtf8("Statistik-Protokoll-Viewer"),
                 logoFont(14, false), QColor(0x44, 0x44, 0x44));
    });
}

QPixmap KorvandelisVertriebLogo()
{
    return drawLogo(300, 80, [](QPainter& painter) {
        const QColor orange(0xE0, 0x7A, 0x1F);
        // Three rising bars for the sales office.
        painter.setPen(Qt::NoPen);
        painter.setBrush(orange);
        for (int bar = 0; bar < 3; ++bar)
            painter.drawRoundedRect(QRectF(12 + 18 * bar, 52 - 16 * bar, 12, 18 + 16 * bar), 2, 2);
        drawText(painter, QRectF(84, 8, 212, 36), QStringLiteral("Korvandelis"), logoFont(28, true),
                 QColor(0x33, 0x33, 0x33));
        drawText(painter, QRectF(86, 44, 212, 24), QStringLiteral("Vertrieb"), logoFont(16, false),
                 orange);
    });
}

QPixmap KorvandelisHerstellerLogo()
{
    return drawLogo(300, 80, [](QPainter& painter) {
        const QColor maroon(0x80, 0x00, 0x00);
        // A ring with a K cut out of it.
        painter.setPen(QPen(maroon, 5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(12, 10, 60, 60));
        QPainterPath letter;
        letter.moveTo(32, 24);
        letter.lineTo(32, 56);
        letter.moveTo(54, 24);
        letter.lineTo(34, 40);
        letter.lineTo(54, 56);
        painter.setPen(QPen(maroon, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(letter);
        drawText(painter, QRectF(86, 8, 212, 36), QStringLiteral("Korvandelis"), logoFont(28, true),
                 maroon);
        drawText(painter, QRectF(88, 44, 212, 24), QStringLiteral("Software GmbH"),
                 logoFont(16, false), QColor(0x44, 0x44, 0x44));
    });
}
