#include "TMatrixTable.h"

#include "CellText.h"
#include "TFilesTable.h"
#include "TLocale.h"

namespace {

// A row of the matrix as stored; damaged documents are never built, but an index is still
// checked rather than trusted.
bool Stored(const TMatrixData& matrix, int32_t row, int32_t column, int32_t& value)
{
    if (row < 0 || row >= static_cast<int32_t>(matrix.size()) || column < 0 ||
        column >= static_cast<int32_t>(matrix[row].size()))
        return false;
    value = matrix[row][column];
    return true;
}

} // namespace

TMatrixTable::TMatrixTable(const TMatchDocument& doc)
    : m_doc(doc)
{
    FileCount = InputFileCount(doc);
    ShowsIdent = ShowsIdentColumn(doc.FileLabelKind);
    ShowsName = ShowsNameColumn(doc.FileLabelKind);
    NameColumnCount = int(ShowsIdent) + int(ShowsName);
}

std::string TMatrixTable::Title() const { return Locale().MatrixTitle(m_doc.MatrixKind); }

bool TMatrixTable::Value(int32_t r, int32_t i, int32_t& value) const
{
    if (r < 1 || r > FileCount || i < 1 || i > FileCount)
        return false;
    const TMatchDocFileEntry& fileR = m_doc.Entries[r - 1];
    if (m_doc.GroupMode != 0 && SameKindGroup(fileR.Kind, m_doc.Entries[i - 1].Kind))
        return false;
    if (m_doc.MatrixKind == 1)
        return Stored(m_doc.Matrix, r - 1, i - 1, value);
    if (i > r)
        return Stored(m_doc.Matrix, i - 1, r - 1, value);
    if (i < r)
        return Stored(m_doc.Matrix, r - 1, i - 1, value);
    value = fileR.Intra;
    return true;
}

std::string TMatrixTable::CellText(int32_t c, int32_t r) const
{
    if (r < 0 || r >= RowCount() || c < 0 || c >= ColCount())
        return std::string();
    const int32_t c0 = NameColumnCount;
    if (c > c0) {
        if (r == 0)
            return std::to_string(c - c0);
        int32_t value = 0;
        return Value(r, c - c0, value) ? std::to_string(value) : std::string();
    }
    if (c == c0)
        return r == 0 ? std::string() : std::to_string(r);
    const bool identColumn = ShowsIdent && c == 0;
    if (r == 0)
        return identColumn ? Locale().FileTitle : Locale().FileNameTitle;
    const TMatchDocFileEntry& file = m_doc.Entries[r - 1];
    return identColumn ? file.Ident : file.Name;
}

TOptionalColour TMatrixTable::CellColour(int32_t c, int32_t r) const
{
    if (r < 1 || c != NameColumnCount + r)
        return std::nullopt;
    return m_doc.MatrixKind == 1 ? PageColours::EliminationDiagonal : PageColours::Diagonal;
}
