#include "TQRShape.h"

#include "TQRCanvas.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>

TQRShape::TQRShape(TQRBand& band)
    : TQRPrintable(band)
{
}

// Projecting caps would overrun the control, and on a PDF they cost a stroked outline per line
// instead of one path: a quarter of the speed, which counts with a line per table cell.
void TQRShape::SetPen(const QPen& pen)
{
    m_pen = pen;
    m_pen.setCapStyle(Qt::FlatCap);
}

void TQRShape::Print(TQRCanvas& canvas, double x, double y) const
{
    const QRectF rect(x + Left() * canvas.XFactor(), y + Top() * canvas.YFactor(),
                      Width() * canvas.XFactor(), Height() * canvas.YFactor());
    switch (m_shape) {
    case TQRShapeType::HorLine:
        if (m_pen.style() == Qt::NoPen)
            return;
        canvas.DrawLine(QLineF(QPointF(rect.left(), rect.center().y()),
                               QPointF(rect.right(), rect.center().y())),
                        m_pen);
        return;
    case TQRShapeType::VertLine:
        if (m_pen.style() == Qt::NoPen)
            return;
        canvas.DrawLine(QLineF(QPointF(rect.center().x(), rect.top()),
                               QPointF(rect.center().x(), rect.bottom())),
                        m_pen);
        return;
    case TQRShapeType::Rectangle:
        if (m_brush.style() != Qt::NoBrush)
            canvas.FillRect(rect, m_brush);
        if (m_pen.style() != Qt::NoPen)
            canvas.DrawRectOutline(rect, m_pen);
        return;
    }
}

bool TQRShape::FillsOnly() const
{
    return m_shape == TQRShapeType::Rectangle && m_pen.style() == Qt::NoPen &&
           m_brush.style() != Qt::NoBrush;
}

bool TQRShape::RuleAlongFoot(double bandHeight) const
{
    return m_shape == TQRShapeType::HorLine && m_pen.style() != Qt::NoPen &&
           Top() + Height() >= bandHeight - 1e-6;
}

struct TQRShape::ShapeState : State {
    TQRShapeType Shape = TQRShapeType::Rectangle;
    QPen Pen;
    QBrush Brush;
};

std::unique_ptr<TQRPrintable::State> TQRShape::SaveState() const
{
    auto state = std::make_unique<ShapeState>();
    SaveBaseState(*state);
    state->Shape = m_shape;
    state->Pen = m_pen;
    state->Brush = m_brush;
    return state;
}

void TQRShape::RestoreState(const State& state)
{
    const auto& shape = dynamic_cast<const ShapeState&>(state);
    RestoreBaseState(shape);
    m_shape = shape.Shape;
    m_pen = shape.Pen;
    m_brush = shape.Brush;
}
