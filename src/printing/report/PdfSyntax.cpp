#include "PdfSyntax.h"

#include <zlib.h>

#include <cmath>
#include <stdexcept>

namespace pdf {

// A page of table cells writes millions of numbers.
void appendNumber(std::string& out, double value, int decimals)
{
    static const long long scales[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    const long long scale = scales[decimals];
    double scaled = value * double(scale);
    if (!(std::fabs(scaled) < 1e15))
        scaled = 0;
    long long units = static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    char buffer[40];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    const bool negative = units < 0;
    if (negative)
        units = -units;
    long long fraction = units % scale;
    long long whole = units / scale;
    if (fraction != 0) {
        int places = decimals;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --places;
        }
        for (; places > 0; --places) {
            *--p = char('0' + fraction % 10);
            fraction /= 10;
        }
        *--p = '.';
    }
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    if (negative)
        *--p = '-';
    out.append(p, std::size_t(end - p));
}

std::string number(double value, int decimals)
{
    std::string out;
    appendNumber(out, value, decimals);
    return out;
}

void appendPoint(std::string& out, double x, double y, const char* then)
{
    appendNumber(out, x, 1);
    out += ' ';
    appendNumber(out, y, 1);
    out += then;
}

std::string colourOperator(QRgb rgb, const char* op)
{
    return number(qRed(rgb) / 255.0) + ' ' + number(qGreen(rgb) / 255.0) + ' ' +
           number(qBlue(rgb) / 255.0) + op;
}

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

void appendHex4(std::string& out, unsigned value)
{
    static const char hex[] = "0123456789ABCDEF";
    out += hex[(value >> 12) & 0xF];
    out += hex[(value >> 8) & 0xF];
    out += hex[(value >> 4) & 0xF];
    out += hex[value & 0xF];
}

std::string utf16Hex(const QString& text)
{
    std::string out = "<FEFF";
    for (const QChar ch : text)
        appendHex4(out, ch.unicode());
    return out + ">";
}

std::string deflate(const std::string& data, int level)
{
    uLongf size = compressBound(uLong(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()), level) != Z_OK)
        throw std::runtime_error("Der Druck konnte nicht abgeschlossen werden.");
    out.resize(size);
    return out;
}

} // namespace pdf
