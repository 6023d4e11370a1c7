#pragma once

#include <cstddef>
#include <string>

// The length of the valid UTF-8 sequence that starts at bytes[i] (RFC 3629: no overlong forms,
// no surrogates, nothing above U+10FFFF), or 0 when none starts there. File names are the
// operating system's bytes and need not be UTF-8; this tells which of them are.
std::size_t Utf8SequenceAt(const std::string& bytes, std::size_t i);
