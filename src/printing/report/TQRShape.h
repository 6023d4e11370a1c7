#pragma once

#include "TQRPrintable.h"

#include <QBrush>
#include <QPen>

enum class TQRShapeType { HorLine, VertLine, Rectangle };

// A line through the middle of the control's rectangle (horizontal or vertical, as long as the
// rectangle), or the rectangle itself filled with Brush and outlined with Pen. Pen widths are
// device pixels; a pen with Qt::NoPen draws no outline. Lines end flush with the rectangle
// (flat caps, whatever the pen says).
class TQRShape : public TQRPrintable {
public:
    explicit TQRShape(TQRBand& band);

    TQRShapeType Shape() const { return m_shape; }
    void SetShape(TQRShapeType shape) { m_shape = shape; }
    const QPen& Pen() const { return m_pen; }
    void SetPen(const QPen& pen);
    const QBrush& Brush() const { return m_brush; }
    void SetBrush(const QBrush& brush) { m_brush = brush; }

    void Print(TQRCanvas& canvas, double x, double y) const override;
    bool FillsOnly() const override;
    bool RuleAlongFoot(double bandHeight) const override;

    std::unique_ptr<State> SaveState() const override;
    void RestoreState(const State& state) override;

private:
    struct ShapeState;

    TQRShapeType m_shape = TQRShapeType::Rectangle;
    QPen m_pen{Qt::black, 1, Qt::SolidLine, Qt::FlatCap};
    QBrush m_brush{Qt::white};
};
