#include "TQRCanvas.h"

#include <QPaintDevice>
#include <QPainter>

#include <atomic>

namespace {

std::uint64_t nextSerial()
{
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

} // namespace

TQRCanvas::TQRCanvas(QPaintDevice& device)
    : m_device(device)
    , m_xFactor(device.logicalDpiX() / UnitsPerInch)
    , m_yFactor(device.logicalDpiY() / UnitsPerInch)
    , m_widthPixels(device.width())
    , m_heightPixels(device.height())
    , m_serial(nextSerial())
{
}

const QFontMetricsF& TQRCanvas::Metrics(const QFont& font) const
{
    // A report uses two or three fonts, so a short list beats hashing a font key per lookup.
    for (const auto& entry : m_metrics) {
        if (entry.first == font)
            return *entry.second;
    }
    m_metrics.emplace_back(font, std::make_unique<QFontMetricsF>(font, &m_device));
    return *m_metrics.back().second;
}

double TQRCanvas::TextWidth(const QFont& font, const QString& text) const
{
    return Metrics(font).horizontalAdvance(text);
}

void TQRCanvas::SetPainter(QPainter* painter)
{
    m_painter = painter;
    m_painterHasFont = false;
    m_painterHasPen = false;
}

void TQRCanvas::UseFont(const QFont& font)
{
    if (!m_painter || (m_painterHasFont && m_painterFont == font))
        return;
    m_painter->setFont(font);
    m_painterFont = font;
    m_painterHasFont = true;
}

void TQRCanvas::UsePen(const QPen& pen)
{
    if (!m_painter || (m_painterHasPen && m_painterPen == pen))
        return;
    m_painter->setPen(pen);
    m_painterPen = pen;
    m_painterHasPen = true;
}
