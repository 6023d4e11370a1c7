#include "TQRPdfPage.h"

#include "EPdfUnsupported.h"
#include "PdfSyntax.h"
#include "TQRPdfFont.h"

#include <QBrush>
#include <QColor>
#include <QLineF>
#include <QPageLayout>
#include <QPen>
#include <QPointF>
#include <QRectF>

#include <cmath>

void TQRPdfPage::Begin(const QPageLayout& layout, double dpiX, double dpiY)
{
    m_open = true;
    const QRect full = layout.fullRectPoints();
    const QRectF paint = layout.paintRect(QPageLayout::Point);
    m_mediaBox = "[0 0 " + std::to_string(full.width()) + ' ' + std::to_string(full.height()) + ']';
    // Device pixels from the top-left corner of the printable area, downwards.
    m_content = "q " + pdf::number(72.0 / dpiX, 6) + " 0 0 " + pdf::number(-72.0 / dpiY, 6) + ' ' +
                pdf::number(paint.left()) + ' ' + pdf::number(full.height() - paint.top()) +
                " cm\n";
    resetGraphicsState();
    m_pathKind = PathKind::None;
    m_clipped = false;
}

std::string TQRPdfPage::End()
{
    ClearClip();
    flushPath();
    m_content += "Q\n";
    m_open = false;
    const std::size_t size = m_content.size();
    std::string content = std::move(m_content);
    // The next page is likely as long: room for it saves copying it over as it grows.
    m_content = std::string();
    m_content.reserve(size + size / 4);
    return content;
}

void TQRPdfPage::resetGraphicsState()
{
    m_hasFill = false;
    m_hasStroke = false;
    m_textMode = 0;
    m_lineWidth = -1;
    m_dash.clear();
    m_cap = -1;
    m_join = -1;
}

void TQRPdfPage::SetClip(const QRectF& rect)
{
    ClearClip();
    flushPath();
    m_content += "q ";
    pdf::appendPoint(m_content, rect.x(), rect.y(), " ");
    pdf::appendPoint(m_content, rect.width(), rect.height(), " re W n\n");
    m_clipped = true;
}

void TQRPdfPage::ClearClip()
{
    if (!m_clipped)
        return;
    flushPath();
    m_content += "Q\n";
    m_clipped = false;
    resetGraphicsState();
}

void TQRPdfPage::flushPath()
{
    if (m_pathKind == PathKind::Stroke)
        m_content += "S\n";
    else if (m_pathKind == PathKind::Fill)
        m_content += "f\n";
    m_pathKind = PathKind::None;
}

void TQRPdfPage::startPath(PathKind kind)
{
    if (m_pathKind != kind)
        flushPath();
    m_pathKind = kind;
}

void TQRPdfPage::useFill(const QColor& colour)
{
    const QRgb rgb = colour.rgb();
    if (m_hasFill && m_fill == rgb)
        return;
    flushPath();
    m_content += pdf::colourOperator(rgb, " rg\n");
    m_hasFill = true;
    m_fill = rgb;
}

void TQRPdfPage::useStroke(const QPen& pen)
{
    if (pen.brush().style() != Qt::SolidPattern)
        throw EPdfUnsupported("patterned pen");
    const QRgb rgb = pen.color().rgb();
    const double width = pen.widthF();
    int cap = 0;
    if (pen.capStyle() == Qt::SquareCap)
        cap = 2;
    else if (pen.capStyle() == Qt::RoundCap)
        cap = 1;
    int join = 0;
    if (pen.joinStyle() == Qt::RoundJoin)
        join = 1;
    else if (pen.joinStyle() == Qt::BevelJoin)
        join = 2;
    std::string dash = "[] 0 d\n";
    if (pen.style() != Qt::SolidLine) {
        // Dashes are given in pen widths; a hairline counts as one pixel.
        const double unit = width > 0 ? width : 1;
        dash = "[";
        for (const qreal length : pen.dashPattern())
            dash += pdf::number(length * unit) + ' ';
        dash += "] " + pdf::number(pen.dashOffset() * unit) + " d\n";
    }
    const bool changes = !m_hasStroke || m_stroke != rgb || m_lineWidth != width || m_cap != cap ||
                         m_join != join || m_dash != dash;
    if (!changes)
        return;
    flushPath();
    if (!m_hasStroke || m_stroke != rgb) {
        m_content += pdf::colourOperator(rgb, " RG\n");
        m_hasStroke = true;
        m_stroke = rgb;
    }
    if (m_lineWidth != width) {
        m_content += pdf::number(width) + " w\n";
        m_lineWidth = width;
    }
    if (m_cap != cap) {
        m_content += std::to_string(cap) + " J\n";
        m_cap = cap;
    }
    if (m_join != join) {
        m_content += std::to_string(join) + " j\n";
        m_join = join;
    }
    if (m_dash != dash) {
        m_content += dash;
        m_dash = dash;
    }
}

void TQRPdfPage::FillRect(const QRectF& rect, const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush)
        return;
    if (brush.style() != Qt::SolidPattern)
        throw EPdfUnsupported("patterned brush");
    if (m_pathKind == PathKind::Stroke)
        flushPath();
    useFill(brush.color());
    startPath(PathKind::Fill);
    pdf::appendPoint(m_content, rect.x(), rect.y(), " ");
    pdf::appendPoint(m_content, rect.width(), rect.height(), " re\n");
}

bool TQRPdfPage::startStroke(const QPen& pen)
{
    if (pen.style() == Qt::NoPen)
        return false;
    if (m_pathKind == PathKind::Fill)
        flushPath();
    useStroke(pen);
    startPath(PathKind::Stroke);
    return true;
}

void TQRPdfPage::StrokeLine(const QLineF& line, const QPen& pen)
{
    if (!startStroke(pen))
        return;
    pdf::appendPoint(m_content, line.x1(), line.y1(), " m ");
    pdf::appendPoint(m_content, line.x2(), line.y2(), " l\n");
}

void TQRPdfPage::StrokeRect(const QRectF& rect, const QPen& pen)
{
    if (!startStroke(pen))
        return;
    pdf::appendPoint(m_content, rect.x(), rect.y(), " ");
    pdf::appendPoint(m_content, rect.width(), rect.height(), " re\n");
}

void TQRPdfPage::DrawGlyphs(TQRPdfFont& font, const quint32* glyphs, const QPointF* positions,
                            std::size_t count, const QColor& colour)
{
    if (count == 0)
        return;
    flushPath();
    useFill(colour);
    const double size = font.Size();
    if (size <= 0)
        return;
    const int mode = font.BoldStroke() > 0 ? 2 : 0; // fill and stroke, or fill
    if (mode == 2)
        useStroke(QPen(colour, font.BoldStroke(), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    std::string& out = m_content;
    out += "BT\n";
    if (m_textMode != mode) {
        out += std::to_string(mode) + " Tr\n";
        m_textMode = mode;
    }
    out += "/F";
    out += std::to_string(font.Number());
    out += ' ';
    pdf::appendNumber(out, size, 3);
    out += " Tf 1 0 0 -1 0 0 Tm\n";
    // Where the last Td put the line start and where the next glyph would go by the widths,
    // both as the viewer computes them from the written (rounded) numbers.
    double lineX = 0;
    double lineY = 0;
    double nextX = 0;
    bool open = false;
    for (std::size_t i = 0; i < count; ++i) {
        quint32 glyph = glyphs[i];
        if (glyph >= font.GlyphCount())
            glyph = 0;
        const double x = positions[i].x();
        const double y = positions[i].y();
        const double gap = x - nextX;
        // A cell's glyphs stay in one string; another cell, line or a step back starts anew.
        if (open && std::fabs(y - lineY) < 0.05 && gap > -0.05 && gap < size / 2) {
            if (std::fabs(gap) >= 0.05) {
                const double adjust = pdf::rounded(-gap * 1000 / size, 1);
                out += "> ";
                pdf::appendNumber(out, adjust, 1);
                out += " <";
                nextX -= adjust * size / 1000;
            }
        } else {
            if (open)
                out += ">] TJ\n";
            const double dx = pdf::rounded(x - lineX, 1);
            const double dy = pdf::rounded(lineY - y, 1);
            pdf::appendPoint(out, dx, dy, " Td [<");
            lineX += dx;
            lineY -= dy;
            nextX = lineX;
            open = true;
        }
        pdf::appendHex4(out, glyph);
        nextX += font.GlyphWidth(glyph) * size / 1000;
    }
    out += ">] TJ\nET\n";
}
