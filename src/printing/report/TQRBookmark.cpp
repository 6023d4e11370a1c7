#include "TQRBookmark.h"

std::size_t TQRBookmark::ControlCount() const
{
    std::size_t count = 0;
    for (const TQRBand::State& band : m_bands)
        count += band.Controls.size();
    return count;
}
