#pragma once

#include "TMatchDocument.h"

#include <iosfwd>
#include <string>

// The export of what the four pages show, built on the same page data as the window.

// The whole JSON object of the export.
std::string PagesJson(const TMatchDocument& doc, const std::string& language);

// One grid ("files", "matrix" or "ratings") as CSV, RFC 4180, UTF-8, CRLF line ends. A hidden
// grid (matrix or ratings tab not shown) writes nothing.
void WriteGridCsv(std::ostream& out, const TMatchDocument& doc, const std::string& grid);

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& utf8);
