#pragma once

#include "TMatchDocument.h"

#include <iosfwd>
#include <string>

// One grid of the pages ("files", "matrix" or "ratings") as CSV: RFC 4180, UTF-8, CRLF line
// ends, every cell exactly as the grid holds it. A hidden grid (matrix or ratings tab not
// shown) writes nothing, and so does an unknown grid name. The exporter's --csv and the
// window's "Als CSV speichern…" both write through here, so their files are the same bytes.
// EOutputError as soon as out fails.
void WriteGridCsv(std::ostream& out, const TMatchDocument& doc, const std::string& grid);

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& utf8);
