#pragma once

#include <QString>

#include <string>

// Document and locale texts are code page 1252 bytes; this is where they become QString.
QString FromCp1252(const std::string& text);
// A UTF-8 message (an exception's text) as QString.
QString FromUtf8(const std::string& text);
