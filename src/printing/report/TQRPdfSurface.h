#pragma once

#include "TQRPdfDocument.h"
#include "TQRSurface.h"

#include <QPen>

// The canvas's marks on the open page of a PDF document written directly: they go as they are
// into the page's content stream (TQRPdfPage), and text goes in only as glyphs of the document's
// embedded fonts, so every text is laid out when first drawn. Control characters print as
// nothing.
//
// EPdfUnsupported for a text that has no one-line layout, and for decorated text.
class TQRPdfSurface final : public TQRSurface {
public:
    explicit TQRPdfSurface(TQRPdfDocument& pdf)
        : m_pdf(pdf)
    {
    }

    bool LaysOutFirstDrawing() const override { return true; }
    bool PrepareLayout(QString& text) const override;
    void NoteText(const QRawFont& font, const QList<quint32>& glyphs, bool rightToLeft,
                  const QString& text) override
    {
        m_pdf.NoteText(font, glyphs, rightToLeft, text);
    }

    void DrawText(const QFont& font, const QPointF& baselineLeft, const QString& text,
                  const QPen& pen) override;
    void DrawGlyphs(const QRawFont& font, const quint32* glyphs, const QPointF* positions,
                    std::size_t count, const QPen& pen) override
    {
        m_pdf.DrawGlyphs(font, glyphs, positions, count, pen.color());
    }
    void DrawDecoratedRun(const QPointF& origin, const QGlyphRun& run, const QPen& pen) override;
    void FillRect(const QRectF& rect, const QBrush& brush) override { m_pdf.FillRect(rect, brush); }
    void StrokeLine(const QLineF& line, const QPen& pen) override { m_pdf.StrokeLine(line, pen); }
    void StrokeRect(const QRectF& rect, const QPen& pen) override { m_pdf.StrokeRect(rect, pen); }
    void SetClip(const QRectF& rect) override { m_pdf.SetClip(rect); }
    void ClearClip() override { m_pdf.ClearClip(); }

private:
    TQRPdfDocument& m_pdf;
};
