#pragma once

#include <QFont>

// Page setup of a report besides paper size and orientation (those are printer settings, so a
// print dialog changes them in one place). Margins are in report units (0.1 mm).
struct TQRPage {
    double LeftMargin = 100;
    double TopMargin = 100;
    double RightMargin = 100;
    double BottomMargin = 100;
    // The report font: controls created on the report's bands start with it. A family that is
    // not installed is replaced by the font system's substitute when it is measured or drawn.
    QFont Font = DefaultFont();

    static QFont DefaultFont()
    {
        QFont font(QStringLiteral("Tahoma"));
        font.setPointSizeF(8);
        return font;
    }
};
