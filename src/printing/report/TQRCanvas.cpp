#include "TQRCanvas.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <atomic>

namespace {

std::uint64_t nextSerial()
{
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

} // namespace

// The device's own width and height are whole pixels derived from a page size rounded to whole
// points, which puts a 10 mm margin off by up to half a millimetre; the page layout is exact.
TQRCanvas::TQRCanvas(QPagedPaintDevice& device)
    : m_device(device)
    , m_xFactor(device.logicalDpiX() / UnitsPerInch)
    , m_yFactor(device.logicalDpiY() / UnitsPerInch)
    , m_width(device.pageLayout().paintRect(QPageLayout::Millimeter).width() * 10)
    , m_height(device.pageLayout().paintRect(QPageLayout::Millimeter).height() * 10)
    , m_serial(nextSerial())
{
}

int TQRCanvas::WidthPixels() const
{
    return qRound(m_width * m_xFactor);
}

int TQRCanvas::HeightPixels() const
{
    return qRound(m_height * m_yFactor);
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
