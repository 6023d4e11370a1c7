#pragma once

#include <QString>

// The maker's notice of the product line: the year and the maker.
inline QString MakerNotice()
{
    return QStringLiteral("(C) 2026 Korvandelis Software & Service GmbH");
}
