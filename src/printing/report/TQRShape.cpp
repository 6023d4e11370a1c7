#include "TQRShape.h"

#include "TQRCanvas.h"

#include <QPainter>

TQRShape::TQRShape(TQRBand& band) : TQRPrintable(band) {}

// Projecting caps would overrun the control, and on a PDF they cost a stroked outline per line
// instead of one path: a quarter of the speed, which counts with a line per table cell.
void TQRShape::SetPen(const QPen& pen)
{
    m_pen = pen;
    m_pen.setCapStyle(Qt::FlatCap);
}

void TQRShape::Print(TQRCanvas& canvas, double x, double y) const
{
    QPainter& painter = *canvas.Painter();
    const QRectF rect(x + Left() * canvas.XFactor(), y + Top() * canvas.YFactor(),
                      Width() * canvas.XFactor(), Height() * canvas.YFactor());
    switch (m_shape) {
    case TQRShapeType::HorLine:
        if (m_pen.style() == Qt::NoPen)
            return;
        canvas.UsePen(m_pen);
        painter.drawLine(QPointF(rect.left(), rect.center().y()),
                         QPointF(rect.right(), rect.center().y()));
        return;
    case TQRShapeType::VertLine:
        if (m_pen.style() == Qt::NoPen)
            return;
        canvas.UsePen(m_pen);
        painter.drawLine(QPointF(rect.center().x(), rect.top()),
                         QPointF(rect.center().x(), rect.bottom()));
        return;
    case TQRShapeType::Rectangle:
        if (m_brush.style() != Qt::NoBrush)
            painter.fillRect(rect, m_brush);
        if (m_pen.style() != Qt::NoPen) {
            canvas.UsePen(m_pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect);
        }
        return;
    }
}
