#pragma once

#include "SectionLayout.h"

#include <QFont>
#include <QString>

#include <functional>
#include <vector>

class TQRCanvas;
class TReportGrid;
class TReportMeasures;

// The room the strips of a table share, in report units: the printable width, the gap each
// column keeps beside it, and the share of the width the fixed columns may take together where
// the table needs more than one strip (width / FixedShareDivisor).
struct TStripRoom {
    double Width = 0;
    double Gap = 0;
    int FixedShareDivisor = 2;
};

// A section's table as its columns are measured: the grid, the texts its cells print as, and the
// names its columns' widths go under in the print command's measures.
struct TStripTable {
    const TReportGrid* Grid = nullptr;
    // The data columns (those after the fixed ones) are measured together and share one width:
    // the matrix, whose many columns hold few distinct texts.
    bool SharedDataWidth = false;
    // The column whose sum-row cells print under the sum captions, which span the columns up to
    // it: it is measured for what the columns before it leave of them. -1 for none.
    int CaptionColumn = -1;
    QString Sum1Caption;
    QString Sum2Caption;
    std::function<QString(int c, int r)> CellText;
    std::function<QString(int c)> ColumnKey;
};

// How a printed table's columns go across the pages: each column measured on the device by the
// widest text it prints, then the columns split into strips of the printable width, each strip
// repeating the fixed columns. Measured widths go into the print command's measures under the
// device's name, so the parts of one command measure each column once.
//
// The canvas and the measures must outlive the layout.
class TStripLayout {
public:
    TStripLayout(const TQRCanvas& canvas, const QFont& font, TReportMeasures& measures);

    // The width of text in device pixels, measured no further than the printable width: no
    // column is wider, and a text beyond it is cut to its column.
    int TextWidth(const QString& text) const;
    // The width of every column of the table, in report units.
    std::vector<double> ColumnWidths(const TStripTable& table);

    // Keeps the columns to the room (see CapWidths) and gives each its strip, the fixed columns
    // strip 0: a data column goes on the strip that has room for it beside the fixed columns and
    // the data columns before it, else it begins the next strip. A column that reaches the width
    // begins the next strip. Returns the last strip, 0 for a table on one strip.
    static int Split(std::vector<ColumnLayout>& columns, int fixedCols, const TStripRoom& room);
    // Fixed columns repeat on every strip, so what they take is taken from every strip's data.
    // Where a table needs more than one strip, they together take at most their share of the
    // width; where cutting them lets the table fit one strip, they are cut only as far as that.
    // The widest fixed columns give way first. A data column wider than what a strip has left
    // beside the fixed columns is cut to that room.
    static void CapWidths(std::vector<ColumnLayout>& columns, int fixedCols,
                          const TStripRoom& room);

private:
    int measureColumn(const TStripTable& table, int c);
    int measureCells(const TStripTable& table, int c, int first, int last, const QString& part);
    int measureDataColumns(const TStripTable& table);

    const TQRCanvas& m_canvas;
    QFont m_font;
    TReportMeasures& m_measures;
    // The device's name in the measures: its resolution and the font.
    QString m_device;
    int m_dataWidth = -1;
};
