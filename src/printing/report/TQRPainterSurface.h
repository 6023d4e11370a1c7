#pragma once

#include "TQRSurface.h"

#include <QBrush>
#include <QFont>
#include <QPen>

#include <optional>

class QPainter;

// The canvas's marks on a painter: each gives the same marks as the QPainter call it stands for
// (QPainter::drawText, drawGlyphRun, fillRect, drawLine), changing the painter's font, pen and
// brush only where they differ from what the mark needs. A page of thousands of cells then costs
// no painter state change where nothing changes: on Qt's PDF output every pen or brush change is
// written into the page.
//
// Texts whose layout may differ from drawText's (controls, tabs, right-to-left scripts) are
// drawn by drawText itself.
class TQRPainterSurface final : public TQRSurface {
public:
    // Starts drawing on the painter, taking nothing for granted of the state it is in. A reduced
    // page is drawn onto an image (a preview) rather than on the device: there a rule thinner
    // than one of the image's pixels is drawn one pixel wide, as a PDF viewer draws it, and bold
    // that the font system makes of a regular face is drawn by stroking the letters, which the
    // image's scaled text would otherwise lose; all text is drawn as glyph runs for that.
    void Begin(QPainter& painter, bool reduced);

    bool LaysOutFirstDrawing() const override { return m_reduced; }
    bool PrepareLayout(QString& text) const override;
    void NoteText(const QRawFont&, const QList<quint32>&, bool, const QString&) override {}

    void DrawText(const QFont& font, const QPointF& baselineLeft, const QString& text,
                  const QPen& pen) override;
    void DrawGlyphs(const QRawFont& font, const quint32* glyphs, const QPointF* positions,
                    std::size_t count, const QPen& pen) override;
    void DrawDecoratedRun(const QPointF& origin, const QGlyphRun& run, const QPen& pen) override;
    void FillRect(const QRectF& rect, const QBrush& brush) override;
    void StrokeLine(const QLineF& line, const QPen& pen) override;
    void StrokeRect(const QRectF& rect, const QPen& pen) override;
    void SetClip(const QRectF& rect) override;
    void ClearClip() override;

private:
    void usePen(const QPen& pen);
    void useBrush(const QBrush& brush);
    // The text pen's colour from whatever solid pen is set, as text takes only its colour.
    void useTextColour(const QPen& pen);
    void strokeSyntheticBold(const QRawFont& font, const quint32* glyphs, const QPointF* positions,
                             std::size_t count, const QPen& pen);

    QPainter* m_painter = nullptr;
    bool m_reduced = false;
    // What the painter is known to have set; nothing at first.
    std::optional<QFont> m_font;
    std::optional<QPen> m_pen;
    std::optional<QBrush> m_brush;
    const QPen m_noPen{Qt::NoPen};
    const QBrush m_noBrush{Qt::NoBrush};
};
