#include "ReportNumbers.h"

#include "CellText.h"

#include <QLocale>

#include <algorithm>
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

namespace {

// The text, blanks around it aside, with the decimal separator made a point: only digits, signs,
// the separator and an exponent letter pass, so that the float parser cannot take "inf", "nan"
// or hexadecimal forms, which no cell means as numbers. Empty for any other character.
std::string CanonicalDecimal(const QString& text, QChar decimal)
{
    std::string canonical;
    const QString trimmed = text.trimmed();
    canonical.reserve(std::size_t(trimmed.size()));
    bool separatorSeen = false;
    for (const QChar ch : trimmed) {
        if (ch == decimal && !separatorSeen) {
            canonical += '.';
            separatorSeen = true;
        } else if (ch.isDigit() && ch.unicode() < 128) {
            canonical += static_cast<char>(ch.unicode());
        } else if (ch == QLatin1Char('e') || ch == QLatin1Char('E') || ch == QLatin1Char('-') ||
                   ch == QLatin1Char('+')) {
            canonical += static_cast<char>(ch.unicode());
        } else {
            return std::string();
        }
    }
    // The float parser takes a minus but no plus sign, and one sign only.
    if (!canonical.empty() && canonical[0] == '+') {
        canonical.erase(0, 1);
        if (canonical.empty() || canonical[0] == '-')
            return std::string();
    }
    return canonical;
}

// Adds one unit in the last place of a digit string; true when it carries out of the first.
bool IncrementDigits(std::string& digits)
{
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

// Keeps the first `keep` digits, rounding half away from zero on the digit after them; the point
// moves when the rounding carries into a new leading digit. keep may be 0 or less (nothing is
// kept, and only a first digit of 5 or more rounds up to one unit at that place).
void RoundDigits(std::string& digits, long& point, long keep)
{
    if (keep >= long(digits.size()))
        return;
    const bool up = keep >= 0 && digits[std::size_t(keep)] >= '5';
    digits.resize(std::size_t(std::max(0L, keep)));
    if (!up)
        return;
    if (keep == 0) {
        digits = "1";
        ++point;
        return;
    }
    if (IncrementDigits(digits)) {
        digits.pop_back();
        ++point;
    }
}

// A canonical decimal text ("[-]ddd[.ddd][e[+-]dd]", as ReadsAsDecimal accepted it) with two
// decimals: taken to 18 significant digits, then to two decimals, each time rounded half away
// from zero on the decimal digits themselves. A binary double would print "2.675" as 2.67.
std::string TwoDecimals(const std::string& canonical)
{
    bool negative = false;
    std::size_t i = 0;
    if (i < canonical.size() && canonical[i] == '-') {
        negative = true;
        ++i;
    }
    std::string digits;
    long point = 0;
    bool inFraction = false;
    for (; i < canonical.size() && canonical[i] != 'e' && canonical[i] != 'E'; ++i) {
        if (canonical[i] == '.') {
            inFraction = true;
            continue;
        }
        digits += canonical[i];
        if (!inFraction)
            ++point;
    }
    if (i < canonical.size()) {
        ++i;
        bool negativeExponent = false;
        if (i < canonical.size() && (canonical[i] == '-' || canonical[i] == '+'))
            negativeExponent = canonical[i++] == '-';
        long exponent = 0;
        // The float parser found the number finite, so a long exponent only pads zeros.
        for (; i < canonical.size() && exponent < 100000; ++i)
            exponent = exponent * 10 + (canonical[i] - '0');
        point += negativeExponent ? -exponent : exponent;
    }
    // Digits from the first significant one: value = 0.digits x 10^point.
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        digits.clear();
    } else {
        digits.erase(0, first);
        point -= long(first);
        digits.erase(digits.find_last_not_of('0') + 1);
    }
    constexpr long kSignificantDigits = 18;
    RoundDigits(digits, point, kSignificantDigits);
    RoundDigits(digits, point, point + 2);

    std::string whole;
    std::string fraction;
    for (long k = 0; k < point + 2; ++k) {
        const char digit = k >= 0 && k < long(digits.size()) ? digits[std::size_t(k)] : '0';
        if (k < point)
            whole += digit;
        else if (k >= 0)
            fraction += digit;
    }
    if (whole.empty())
        whole = "0";
    while (fraction.size() < 2)
        fraction.insert(fraction.begin(), '0');
    const bool zero = digits.empty();
    return (negative && !zero ? "-" : "") + whole + '.' + fraction;
}

} // namespace

bool ReadsAsDecimal(const QString& text, QChar decimal, double* value)
{
    const std::string canonical = CanonicalDecimal(text, decimal);
    const char* first = canonical.data();
    const char* end = canonical.data() + canonical.size();
    if (first == end)
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
        if (!ReadsAsDecimal(text, separators.Decimal))
            return text;
        return Group(TwoDecimals(CanonicalDecimal(text, separators.Decimal)), separators);
    }
    return text;
}
