#include "TReportSource.h"

#include "QtText.h"
#include "TTitlePage.h"

TReportSource::TReportSource(const TMatchDocument& doc)
    : m_doc(doc)
    , m_files(doc)
    , m_matrix(doc)
    , m_ratings(doc)
{
    const TFilesTable* files = &m_files;
    m_filesGrid = std::make_unique<TPageGrid>(
        files->RowCount(), files->ColCount(), TFilesTable::FixedRows, files->FixedCols(),
        [files](int c, int r) { return files->GridCellText(c, r); });
    const TMatrixTable* matrix = &m_matrix;
    m_matrixGrid = std::make_unique<TPageGrid>(
        matrix->RowCount(), matrix->ColCount(), TMatrixTable::FixedRows, matrix->FixedCols(),
        [matrix](int c, int r) { return matrix->CellText(c, r); },
        [matrix](int c, int r) { return matrix->CellColour(c, r); });
    const TRatingsTable* ratings = &m_ratings;
    m_ratingsGrid = std::make_unique<TPageGrid>(
        ratings->RowCount(), TRatingsTable::ColCount, TRatingsTable::FixedRows,
        TRatingsTable::FixedCols, [ratings](int c, int r) { return ratings->CellText(c, r); });

    Sum1Caption = FromCp1252(TFilesTable::Sum1Caption());
    Sum2Caption = FromCp1252(TFilesTable::Sum2Caption());
    LegendCaption = FromCp1252(files->BuildLegend());
    for (const std::string& line : TTitlePage(doc).Info)
        InfoLines << FromCp1252(line);
}
