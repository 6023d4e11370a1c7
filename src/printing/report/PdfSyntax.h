#pragma once

#include <QRgb>
#include <QString>

#include <string>

// The pieces of PDF syntax the direct PDF output writes: numbers, hexadecimal strings,
// colours and compressed streams. Written without the C library's number formatting, which
// follows the user's locale.
namespace pdf {

// Appends a number with at most `decimals` decimals (up to 6) and no trailing zeros.
void appendNumber(std::string& out, double value, int decimals);
std::string number(double value, int decimals = 3);
// Two coordinates with one decimal and what follows them.
void appendPoint(std::string& out, double x, double y, const char* then);
// An RGB colour and its operator.
std::string colourOperator(QRgb rgb, const char* op);
// The value as the reader of the written number sees it.
double rounded(double value, int decimals);
// Four hexadecimal digits: a glyph id or a UTF-16 code unit.
void appendHex4(std::string& out, unsigned value);
// A text string in UTF-16 with its byte order mark.
std::string utf16Hex(const QString& text);
// The data compressed for a /FlateDecode stream at a zlib level; std::runtime_error when it
// cannot be.
std::string deflate(const std::string& data, int level);

} // namespace pdf
