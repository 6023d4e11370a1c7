#pragma once

#include <string>

// Document texts are Windows code page 1252 bytes; screens, JSON and CSV want UTF-8.
// Bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control
// characters of the same value, as the operating system's own conversion does.
std::string Cp1252ToUtf8(const std::string& text);
