#include "TQRPainterSurface.h"

#include <QGlyphRun>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>

#include <algorithm>

void TQRPainterSurface::Begin(QPainter& painter, bool reduced)
{
    m_painter = &painter;
    m_reduced = reduced;
    m_font.reset();
    m_pen.reset();
    m_brush.reset();
}

// A one-line layout gives the glyphs and positions drawText gives for plain left-to-right text.
// Controls, tabs, explicit direction marks, right-to-left scripts and whatever a layout might
// break or drop go through drawText itself.
bool TQRPainterSurface::PrepareLayout(QString& text) const
{
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x20 || code == 0x2028 || code == 0xFFFC || ch.isSurrogate())
            return false;
        switch (ch.direction()) {
        case QChar::DirL:
        case QChar::DirEN:
        case QChar::DirES:
        case QChar::DirET:
        case QChar::DirCS:
        case QChar::DirWS:
        case QChar::DirON:
        case QChar::DirNSM:
            break;
        default:
            return false;
        }
    }
    return true;
}

void TQRPainterSurface::usePen(const QPen& pen)
{
    if (m_pen == pen)
        return;
    const double scale = m_painter->transform().m11();
    if (m_reduced && pen.style() != Qt::NoPen && scale > 0 && pen.widthF() * scale < 1) {
        // Dashes are measured in pen widths: they keep their length on the page.
        QPen visible = pen;
        const double widening = 1 / scale / std::max(pen.widthF(), 1e-9);
        if (pen.style() != Qt::SolidLine) {
            QList<qreal> dashes = pen.dashPattern();
            for (qreal& dash : dashes)
                dash /= widening;
            visible.setDashPattern(dashes);
        }
        visible.setWidthF(1 / scale);
        m_painter->setPen(visible);
    } else {
        m_painter->setPen(pen);
    }
    m_pen = pen;
}

void TQRPainterSurface::useBrush(const QBrush& brush)
{
    if (m_brush == brush)
        return;
    m_painter->setBrush(brush);
    m_brush = brush;
}

void TQRPainterSurface::useTextColour(const QPen& pen)
{
    // Text is filled with the pen's brush; width, caps and joins play no part. A solid line pen
    // of the text's colour therefore draws text exactly as the text pen does, and keeping it
    // saves the two pen changes per table cell that switching back and forth would cost.
    if (m_pen && m_pen->style() == Qt::SolidLine && m_pen->brush() == pen.brush())
        return;
    usePen(pen);
}

void TQRPainterSurface::DrawText(const QFont& font, const QPointF& baselineLeft,
                                 const QString& text, const QPen& pen)
{
    if (m_font != font) {
        m_painter->setFont(font);
        m_font = font;
    }
    usePen(pen);
    m_painter->drawText(baselineLeft, text);
}

void TQRPainterSurface::DrawGlyphs(const QRawFont& font, const quint32* glyphs,
                                   const QPointF* positions, std::size_t count, const QPen& pen)
{
    useTextColour(pen);
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(QList<quint32>(glyphs, glyphs + count));
    run.setPositions(QList<QPointF>(positions, positions + count));
    m_painter->drawGlyphRun(QPointF(0, 0), run);
    if (m_reduced)
        strokeSyntheticBold(font, glyphs, positions, count, pen);
}

void TQRPainterSurface::strokeSyntheticBold(const QRawFont& font, const quint32* glyphs,
                                            const QPointF* positions, std::size_t count,
                                            const QPen& pen)
{
    // A face of its own for bold names itself so; a regular one asked for bold is thickened.
    if (font.weight() < QFont::Bold || font.styleName().contains(QLatin1String("Bold")))
        return;
    QPainterPath letters;
    for (std::size_t i = 0; i < count; ++i)
        letters.addPath(font.pathForGlyph(glyphs[i]).translated(positions[i]));
    const double scale = m_painter->transform().m11();
    const double width = std::max(font.pixelSize() / 24.0, scale > 0 ? 1 / scale : 0.0);
    m_painter->strokePath(letters,
                          QPen(pen.color(), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void TQRPainterSurface::DrawDecoratedRun(const QPointF& origin, const QGlyphRun& run,
                                         const QPen& pen)
{
    useTextColour(pen);
    m_painter->drawGlyphRun(origin, run);
}

void TQRPainterSurface::FillRect(const QRectF& rect, const QBrush& brush)
{
    // What QPainter::fillRect does, without restoring the pen and brush afterwards: a row of
    // cell backgrounds then costs one brush per colour instead of two state changes per cell.
    usePen(m_noPen);
    useBrush(brush);
    m_painter->drawRect(rect);
}

void TQRPainterSurface::StrokeLine(const QLineF& line, const QPen& pen)
{
    usePen(pen);
    m_painter->drawLine(line);
}

void TQRPainterSurface::StrokeRect(const QRectF& rect, const QPen& pen)
{
    usePen(pen);
    useBrush(m_noBrush);
    m_painter->drawRect(rect);
}

void TQRPainterSurface::SetClip(const QRectF& rect) { m_painter->setClipRect(rect); }

void TQRPainterSurface::ClearClip() { m_painter->setClipping(false); }
