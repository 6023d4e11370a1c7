#pragma once

#include "TFilesTable.h"
#include "TMatchDocument.h"
#include "TMatrixTable.h"
#include "TPageGrid.h"
#include "TRatingsTable.h"

#include <QString>
#include <QStringList>

#include <memory>

// What the printed report reads of the main window: its three grids and the facts around them
// (the two sum captions, the legend, the info memo). Built from the page data of a document, so the
// viewer and the exporter hand the report the same tables the window shows. The document must
// outlive the source.
class TReportSource {
public:
    explicit TReportSource(const TMatchDocument& doc);
    TReportSource(const TReportSource&) = delete;
    TReportSource& operator=(const TReportSource&) = delete;

    const TMatchDocument& Document() const { return m_doc; }
    // The page data the grids show: what the log holds (its files, whether the sum rows are
    // merged, whether the ratings page shows) is theirs to say.
    const TFilesTable& Files() const { return m_files; }
    const TMatrixTable& Matrix() const { return m_matrix; }
    const TRatingsTable& Ratings() const { return m_ratings; }
    const TReportGrid& FilesGrid() const { return *m_filesGrid; }
    const TReportGrid& MatrixGrid() const { return *m_matrixGrid; }
    const TReportGrid& RatingsGrid() const { return *m_ratingsGrid; }

    // The captions of the two sum panels, with their leading blanks.
    QString Sum1Caption;
    QString Sum2Caption;
    // The caption of the legend panel.
    QString LegendCaption;
    // The lines of the info memo.
    QStringList InfoLines;

private:
    const TMatchDocument& m_doc;
    TFilesTable m_files;
    TMatrixTable m_matrix;
    TRatingsTable m_ratings;
    std::unique_ptr<TPageGrid> m_filesGrid;
    std::unique_ptr<TPageGrid> m_matrixGrid;
    std::unique_ptr<TPageGrid> m_ratingsGrid;
};
