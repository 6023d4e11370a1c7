#include "GridCsv.h"

#include "AtomicFile.h"
#include "Cp1252.h"
#include "TFilesTable.h"
#include "TMatrixTable.h"
#include "TRatingsTable.h"

#include <ostream>

namespace {

template <class TextOf>
void CellsCsv(std::ostream& out, int32_t rows, int32_t cols, const TextOf& text)
{
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < cols; ++c) {
            if (c > 0)
                out << ',';
            out << CsvField(Cp1252ToUtf8(text(c, r)));
        }
        out << "\r\n";
        // A full disk or a closed output ends the work at once instead of after the last row.
        CheckOutputStream(out);
    }
}

} // namespace

std::string CsvField(const std::string& utf8)
{
    if (utf8.find_first_of(",\"\r\n") == std::string::npos)
        return utf8;
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

void WriteGridCsv(std::ostream& out, const TMatchDocument& doc, const std::string& grid)
{
    if (grid == "files") {
        const TFilesTable files(doc);
        CellsCsv(out, files.RowCount(), files.ColCount(),
                 [&files](int32_t c, int32_t r) { return files.GridCellText(c, r); });
    } else if (grid == "matrix") {
        const TMatrixTable matrix(doc);
        if (matrix.Visible())
            CellsCsv(out, matrix.RowCount(), matrix.ColCount(),
                     [&matrix](int32_t c, int32_t r) { return matrix.CellText(c, r); });
    } else if (grid == "ratings") {
        const TRatingsTable ratings(doc);
        if (ratings.Visible())
            CellsCsv(out, ratings.RowCount(), TRatingsTable::ColCount,
                     [&ratings](int32_t c, int32_t r) { return ratings.CellText(c, r); });
    }
}
