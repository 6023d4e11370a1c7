#include "TQRPrintable.h"

#include "TQRBand.h"
#include "TQuickRep.h"

TQRPrintable::TQRPrintable(TQRBand& band) : m_band(band) {}

TQRPrintable::~TQRPrintable() = default;

void TQRPrintable::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_band.enabledChanged(*this);
}

void TQRPrintable::BringToFront()
{
    m_band.restack(*this, true);
}

void TQRPrintable::SendToBack()
{
    m_band.restack(*this, false);
}

double TQRPrintable::StretchBottom(const TQRCanvas&) const
{
    return 0;
}

const TQRCanvas* TQRPrintable::Canvas() const
{
    return m_band.Report().Canvas();
}
