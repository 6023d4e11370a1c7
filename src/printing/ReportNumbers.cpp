#include "ReportNumbers.h"

#include "CellText.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <string>

TNumberSeparators TNumberSeparators::Current()
{
    return {QChar::fromLatin1(DecimalSeparator()), QLocale().groupSeparator()};
}

bool ReadsAsInteger(const QString& text, qint64* value)
{
    // Without the white space QString::trimmed takes away; only ASCII can be digits and a sign.
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from).isSpace())
        ++from;
    while (to > from && text.at(to - 1).isSpace())
        --to;
    std::string ascii;
    ascii.reserve(std::size_t(to - from));
    for (qsizetype i = from; i < to; ++i) {
        const char16_t code = text.at(i).unicode();
        if (code > 127)
            return false;
        ascii += char(code);
    }
    // The integer parser takes a minus but no plus sign.
    const size_t start = !ascii.empty() && ascii[0] == '+' ? 1 : 0;
    const char* first = ascii.data() + start;
    const char* end = ascii.data() + ascii.size();
    if (first == end || (start == 1 && *first == '-'))
        return false;
    qint64 parsed = 0;
    const auto result = std::from_chars(first, end, parsed);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    if (value)
        *value = parsed;
    return true;
}

bool ReadsAsDecimal(const QString& text, QChar decimal, double* value)
{
    // Only digits, one sign, the separator and an exponent: the float parser would also take
    // "inf", "nan" and hexadecimal forms, which no cell means as numbers.
    std::string canonical;
    const QString trimmed = text.trimmed();
    canonical.reserve(trimmed.size());
    bool separatorSeen = false;
    for (int i = 0; i < trimmed.size(); ++i) {
        const QChar ch = trimmed.at(i);
        if (ch == decimal && !separatorSeen) {
            canonical += '.';
            separatorSeen = true;
        } else if (ch.isDigit() && ch.unicode() < 128) {
            canonical += static_cast<char>(ch.unicode());
        } else if (ch == QLatin1Char('e') || ch == QLatin1Char('E') || ch == QLatin1Char('-') ||
                   ch == QLatin1Char('+')) {
            canonical += static_cast<char>(ch.unicode());
        } else {
            return false;
        }
    }
    const size_t start = !canonical.empty() && canonical[0] == '+' ? 1 : 0;
    const char* first = canonical.data() + start;
    const char* end = canonical.data() + canonical.size();
    if (first == end || (start == 1 && *first == '-'))
        return false;
    double parsed = 0;
    const auto result = std::from_chars(first, end, parsed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed))
        return false;
    if (value)
        *value = parsed;
    return true;
}

namespace {

// Inserts the thousands separator into the digits before the decimal point of a plain
// "[-]ddd[.dd]" text and puts the decimal separator in place of the point.
QString Group(const std::string& plain, const TNumberSeparators& separators)
{
    const bool negative = !plain.empty() && plain[0] == '-';
    const size_t digitsStart = negative ? 1 : 0;
    size_t point = plain.find('.');
    if (point == std::string::npos)
        point = plain.size();
    QString out;
    if (negative)
        out += QLatin1Char('-');
    for (size_t i = digitsStart; i < point; ++i) {
        if (i > digitsStart && (point - i) % 3 == 0)
            out += separators.Thousands;
        out += QLatin1Char(plain[i]);
    }
    if (point < plain.size()) {
        out += separators.Decimal;
        out += QString::fromLatin1(plain.data() + point + 1,
                                   static_cast<int>(plain.size() - point - 1));
    }
    return out;
}

} // namespace

namespace {

// A plain "[-]digits" text of at most 18 digits grouped straight from its characters, the same
// text the general path makes of it; null for anything else. A matrix formats millions of
// cells, mostly such ones.
QString GroupPlainDigits(const QString& text, const TNumberSeparators& separators)
{
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    const bool negative = size > 0 && chars[0] == QLatin1Char('-');
    qsizetype first = negative ? 1 : 0;
    if (size - first < 1 || size - first > 18)
        return QString();
    for (qsizetype i = first; i < size; ++i) {
        if (chars[i].unicode() < '0' || chars[i].unicode() > '9')
            return QString();
    }
    // Leading zeros go, as they do in the number's own text.
    while (first < size - 1 && chars[first] == QLatin1Char('0'))
        ++first;
    const qsizetype digits = size - first;
    const bool zero = digits == 1 && chars[first] == QLatin1Char('0');
    QString out;
    out.reserve(digits + digits / 3 * separators.Thousands.size() + 1);
    if (negative && !zero)
        out += QLatin1Char('-');
    for (qsizetype i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0)
            out += separators.Thousands;
        out += chars[first + i];
    }
    return out;
}

} // namespace

QString FormatNumber(const QString& text, TNumberFormat format, const TNumberSeparators& separators)
{
    if (format == TNumberFormat::Integer) {
        if (QString plain = GroupPlainDigits(text, separators); !plain.isNull())
            return plain;
        qint64 value = 0;
        if (!ReadsAsInteger(text, &value))
            return text;
        return Group(std::to_string(value), separators);
    }
    if (format == TNumberFormat::TwoDecimals) {
        double value = 0;
        if (!ReadsAsDecimal(text, separators.Decimal, &value))
            return text;
        char buffer[400];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
        if (result.ec != std::errc())
            return text;
        std::string plain(buffer, result.ptr);
        if (plain == "-0.00")
            plain = "0.00";
        return Group(plain, separators);
    }
    return text;
}
