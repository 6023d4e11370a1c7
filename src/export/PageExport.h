#pragma once

#include "TMatchDocument.h"

#include <iosfwd>
#include <string>

// The export of what the four pages show, built on the same page data as the window.

// The whole JSON object of the export, written to out as it is built (the memory it takes does
// not grow with the output) and flushed. EOutputError when out fails.
void WritePagesJson(std::ostream& out, const TMatchDocument& doc, const std::string& language);

// A file name (the operating system's bytes) as valid UTF-8 for JSON: its UTF-8 sequences as
// they are, every other byte as the four characters \xNN (upper-case hex), so the bytes can be
// recovered.
std::string FileNameUtf8(const std::string& bytes);
// A file name as the window shows it: UTF-8 decoded, every byte that is not part of a valid
// sequence shown as U+FFFD.
std::string DisplayFileName(const std::string& bytes);
