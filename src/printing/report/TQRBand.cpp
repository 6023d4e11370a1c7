#include "TQRBand.h"

#include "TQRCanvas.h"

#include <algorithm>
#include <stdexcept>

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

TQRBand::State TQRBand::SaveState() const
{
    State state;
    state.Height = m_height;
    state.Enabled = m_enabled;
    state.FrontZ = m_frontZ;
    state.BackZ = m_backZ;
    state.Controls.reserve(m_controls.size());
    for (const auto& control : m_controls)
        state.Controls.push_back(control->SaveState());
    return state;
}

void TQRBand::RestoreState(const State& state)
{
    if (state.Controls.size() != m_controls.size())
        throw std::logic_error("a band's state holds its own controls only");
    m_height = state.Height;
    m_enabled = state.Enabled;
    m_frontZ = state.FrontZ;
    m_backZ = state.BackZ;
    m_printing.clear();
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        TQRPrintable& control = *m_controls[i];
        control.RestoreState(*state.Controls[i]);
        if (control.Enabled())
            m_printing.emplace(control.m_z, &control);
    }
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
