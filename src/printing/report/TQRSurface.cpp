#include "TQRSurface.h"

TQRSurface::~TQRSurface() = default;
