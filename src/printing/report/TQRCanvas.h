#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// The output canvas of one generation pass: the device's metrics in report units and, while a
// page is being output, the painter. The preparing pass has a canvas without a painter that
// measures on the same device, so both passes lay out alike.
//
// Report units are 0.1 mm. Pixels are device pixels; the painter's origin is the top-left
// corner of the printable area (inside the margins).
class TQRCanvas {
public:
    static constexpr double UnitsPerInch = 254.0;

    explicit TQRCanvas(QPagedPaintDevice& device);
    TQRCanvas(const TQRCanvas&) = delete;
    TQRCanvas& operator=(const TQRCanvas&) = delete;

    // The pixel-per-unit factors.
    double XFactor() const { return m_xFactor; }
    double YFactor() const { return m_yFactor; }
    // Size of the printable area, in report units and in whole pixels.
    double Width() const { return m_width; }
    double Height() const { return m_height; }
    int WidthPixels() const;
    int HeightPixels() const;

    // Metrics of a font on this device; kept for the canvas's life.
    const QFontMetricsF& Metrics(const QFont& font) const;
    // Width of a text in pixels.
    double TextWidth(const QFont& font, const QString& text) const;

    // Distinguishes canvases, so controls can keep metrics they looked up on this one.
    std::uint64_t Serial() const { return m_serial; }

    // Null while nothing is output (the preparing pass, pages outside the page range).
    QPainter* Painter() const { return m_painter; }
    void SetPainter(QPainter* painter);
    // Sets the painter's font unless it already is that one; without a painter it does nothing.
    void UseFont(const QFont& font);
    // Likewise for the pen; text is drawn with a black pen.
    void UsePen(const QPen& pen);
    void UseTextPen() { UsePen(m_textPen); }

private:
    QPagedPaintDevice& m_device;
    double m_xFactor;
    double m_yFactor;
    double m_width;
    double m_height;
    std::uint64_t m_serial;
    QPainter* m_painter = nullptr;
    QFont m_painterFont;
    bool m_painterHasFont = false;
    QPen m_painterPen;
    bool m_painterHasPen = false;
    const QPen m_textPen{Qt::black};
    mutable std::vector<std::pair<QFont, std::unique_ptr<QFontMetricsF>>> m_metrics;
};
