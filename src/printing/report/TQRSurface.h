#pragma once

#include <QList>
#include <QtGlobal>

#include <cstddef>

class QBrush;
class QFont;
class QGlyphRun;
class QLineF;
class QPen;
class QPointF;
class QRawFont;
class QRectF;
class QString;

// What the canvas draws a page on: a painter, or a PDF document written directly. The canvas
// measures, cuts, lays out and collects text; a surface only makes the marks, in device pixels
// from the top-left corner of the printable area, and says how it takes text.
//
// A surface that cannot make a mark (a PDF document and a decorated text) raises
// EPdfUnsupported, and the page goes to Qt's PDF output instead.
class TQRSurface {
public:
    virtual ~TQRSurface();

    // Whether a text is laid out into glyph runs the first time it is drawn rather than when it
    // recurs (until then DrawText draws it).
    virtual bool LaysOutFirstDrawing() const = 0;
    // Readies a text for laying out into glyph runs: false where this surface draws it whole
    // instead (DrawText). What it leaves of the text is laid out; nothing left prints nothing.
    virtual bool PrepareLayout(QString& text) const = 0;
    // Which characters the glyphs of a run laid out from text stand for.
    virtual void NoteText(const QRawFont& font, const QList<quint32>& glyphs, bool rightToLeft,
                          const QString& text) = 0;

    // A text not laid out into glyph runs, as QPainter::drawText draws it at the baseline's left
    // end, in the pen.
    virtual void DrawText(const QFont& font, const QPointF& baselineLeft, const QString& text,
                          const QPen& pen) = 0;
    // Glyphs of one font at their positions on the baseline, filled in the pen's colour.
    virtual void DrawGlyphs(const QRawFont& font, const quint32* glyphs, const QPointF* positions,
                            std::size_t count, const QPen& pen) = 0;
    // A glyph run with decorations (underline, strike-out), from the origin.
    virtual void DrawDecoratedRun(const QPointF& origin, const QGlyphRun& run, const QPen& pen) = 0;
    virtual void FillRect(const QRectF& rect, const QBrush& brush) = 0;
    virtual void StrokeLine(const QLineF& line, const QPen& pen) = 0;
    // The rectangle's outline, not filled.
    virtual void StrokeRect(const QRectF& rect, const QPen& pen) = 0;
    // Marks made from now on are cut at the rectangle, until ClearClip.
    virtual void SetClip(const QRectF& rect) = 0;
    virtual void ClearClip() = 0;
};
