#include "TQRPdfSurface.h"

#include <QString>

bool TQRPdfSurface::PrepareLayout(QString& text) const
{
    text.removeIf([](QChar ch) {
        return ch.unicode() < 0x20 || ch.unicode() == 0x2028 || ch.unicode() == 0x2029 ||
               ch.unicode() == 0xFFFC;
    });
    return true;
}

void TQRPdfSurface::DrawText(const QFont&, const QPointF&, const QString&, const QPen&)
{
    throw EPdfUnsupported("text without a one-line layout");
}

void TQRPdfSurface::DrawDecoratedRun(const QPointF&, const QGlyphRun&, const QPen&)
{
    throw EPdfUnsupported("decorated text");
}
