#include "TQRBand.h"

#include "TQRCanvas.h"

#include <algorithm>

TQRBand::TQRBand(TQuickRep& report, TQRBandType type)
    : m_report(report)
    , m_type(type)
{
}

TQRBand::~TQRBand() = default;

double TQRBand::PrintHeight(const TQRCanvas& canvas) const
{
    double height = m_height;
    for (const auto& entry : m_printing)
        height = std::max(height, entry.second->StretchBottom(canvas));
    return height;
}

void TQRBand::Print(TQRCanvas& canvas, double top) const
{
    if (!canvas.Printing())
        return;
    const double y = top * canvas.YFactor();
    // A rule along the foot of a band prints after the fills of the band below it, which a
    // renderer rounding them to whole pixels would otherwise let cover a rule thinner than one.
    bool held = true;
    for (const auto& entry : m_printing) {
        const TQRPrintable& control = *entry.second;
        if (held && !control.FillsOnly()) {
            canvas.DrawHeldLines();
            held = false;
        }
        const bool rule = control.RuleAlongFoot(m_height);
        canvas.HoldLines(rule);
        control.Print(canvas, 0, y);
        canvas.HoldLines(false);
    }
    if (held)
        canvas.DrawHeldLines();
    canvas.Flush();
}

void TQRBand::adopt(std::unique_ptr<TQRPrintable> control)
{
    control->m_z = ++m_frontZ;
    m_printing.emplace(control->m_z, control.get());
    m_controls.push_back(std::move(control));
}

void TQRBand::enabledChanged(TQRPrintable& control)
{
    if (control.Enabled())
        m_printing.emplace(control.m_z, &control);
    else
        m_printing.erase(control.m_z);
}

void TQRBand::restack(TQRPrintable& control, bool toFront)
{
    const std::int64_t z = toFront ? ++m_frontZ : --m_backZ;
    if (control.Enabled()) {
        m_printing.erase(control.m_z);
        m_printing.emplace(z, &control);
    }
    control.m_z = z;
}
