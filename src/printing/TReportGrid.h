#pragma once

#include "PageTypes.h"

#include <QString>

// A table as the main window's grid shows it, read by the printed report: its dimensions, fixed
// rows and columns, cell texts and colours. The window and the exporter build
// the same grids from the page data, so paper shows what the screen shows without widgets.
class TReportGrid {
public:
    virtual ~TReportGrid() = default;

    virtual int RowCount() const = 0;
    virtual int ColCount() const = 0;
    virtual int FixedRows() const = 0;
    virtual int FixedCols() const = 0;
    // The cell's text as the grid holds it (before any "&" escaping); empty outside the grid.
    virtual QString Cell(int c, int r) const = 0;
    // The fill the page gives the cell on paper, or none: the matrix diagonal. The files table's
    // sum and intra colours are the screen's only.
    virtual TOptionalColour Colour(int c, int r) const = 0;
};
