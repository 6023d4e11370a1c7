#pragma once

#include <QRgb>
#include <QtGlobal>

#include <cstddef>
#include <string>

class QBrush;
class QColor;
class QLineF;
class QPageLayout;
class QPen;
class QPointF;
class QRectF;
class TQRPdfFont;

// The content stream of one PDF page: filled rectangles, lines, rectangle outlines and glyph
// runs, in device pixels from the top-left corner of the printable area. The marks of a report
// repeat their colours and pens from cell to cell, so each state is written only when it
// changes, a band's lines go into one path, and a cell's text is one string.
//
// EPdfUnsupported for what it does not write: a patterned brush or pen.
class TQRPdfPage {
public:
    // Starts the content of a page of that layout and device resolution.
    void Begin(const QPageLayout& layout, double dpiX, double dpiY);
    bool Open() const { return m_open; }
    // The page's media box, "[0 0 width height]" in points.
    const std::string& MediaBox() const { return m_mediaBox; }

    void FillRect(const QRectF& rect, const QBrush& brush);
    void StrokeLine(const QLineF& line, const QPen& pen);
    void StrokeRect(const QRectF& rect, const QPen& pen);
    // Marks made from now on are cut at the rectangle, until ClearClip or the page's end.
    void SetClip(const QRectF& rect);
    void ClearClip();
    // Glyphs of the font at their positions on the baseline, filled in the colour.
    void DrawGlyphs(TQRPdfFont& font, const quint32* glyphs, const QPointF* positions,
                    std::size_t count, const QColor& colour);

    // Closes the content and hands it over; the page is closed until the next Begin.
    std::string End();

private:
    enum class PathKind { None, Stroke, Fill };

    // Forgets the colours and stroke settings written, as a graphics state restore undoes them.
    void resetGraphicsState();
    void flushPath();
    void useFill(const QColor& colour);
    void useStroke(const QPen& pen);
    void startPath(PathKind kind);
    // Sets the stroke state for the pen and opens a stroked path; false for no pen.
    bool startStroke(const QPen& pen);

    bool m_open = false;
    std::string m_content;
    std::string m_mediaBox;
    bool m_hasFill = false;
    QRgb m_fill = 0;
    bool m_hasStroke = false;
    QRgb m_stroke = 0;
    double m_lineWidth = -1;
    std::string m_dash;
    int m_cap = -1;
    int m_join = -1;
    int m_textMode = 0;
    PathKind m_pathKind = PathKind::None;
    bool m_clipped = false;
};
