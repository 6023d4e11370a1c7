#include "TQRPrintable.h"

#include "TQRBand.h"
#include "TQuickRep.h"

TQRPrintable::TQRPrintable(TQRBand& band)
    : m_band(band)
{
}

TQRPrintable::~TQRPrintable() = default;

void TQRPrintable::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_band.enabledChanged(*this);
}

void TQRPrintable::BringToFront() { m_band.restack(*this, true); }

void TQRPrintable::SendToBack() { m_band.restack(*this, false); }

double TQRPrintable::StretchBottom(const TQRCanvas&) const { return 0; }

std::unique_ptr<TQRPrintable::State> TQRPrintable::SaveState() const
{
    auto state = std::make_unique<State>();
    SaveBaseState(*state);
    return state;
}

void TQRPrintable::RestoreState(const State& state) { RestoreBaseState(state); }

void TQRPrintable::SaveBaseState(State& state) const
{
    state.Left = m_left;
    state.Top = m_top;
    state.Width = m_width;
    state.Height = m_height;
    state.Enabled = m_enabled;
    state.Z = m_z;
}

void TQRPrintable::RestoreBaseState(const State& state)
{
    m_left = state.Left;
    m_top = state.Top;
    m_width = state.Width;
    m_height = state.Height;
    m_enabled = state.Enabled;
    m_z = state.Z;
}

const TQRCanvas* TQRPrintable::Canvas() const { return m_band.Report().Canvas(); }
