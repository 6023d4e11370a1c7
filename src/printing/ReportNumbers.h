#pragma once

#include "ColumnMeaning.h"

#include <QString>

// The separators of the current number format.
struct TNumberSeparators {
    QChar Decimal;
    QString Thousands;

    // The decimal separator the page data uses for its percentages and the thousands separator
    // of the default locale (the operating system's unless a test sets another).
    static TNumberSeparators Current();
};

// The text, blanks around it aside, is a whole decimal number of up to 64 bits.
bool ReadsAsInteger(const QString& text, qint64* value = nullptr);
// The text, blanks around it aside, is a decimal number with the given decimal separator
// (an integer is one too).
bool ReadsAsDecimal(const QString& text, QChar decimal, double* value = nullptr);
// The text written in the format when it reads as a number of that format, else unchanged.
// Two decimals round the decimal text itself, half away from zero, after taking it to 18
// significant digits ("2.675" gives 2.68, "-0.125" -0.13).
QString FormatNumber(const QString& text, TNumberFormat format,
                     const TNumberSeparators& separators);
