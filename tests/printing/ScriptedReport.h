#pragma once

#include "TQRLabel.h"
#include "TQuickRep.h"

#include <QStringList>

// A report with the four bands, one label on each, driven the way the report form drives it:
// a page counter that the page end advances and the page start prints, rows fed by the
// need-data event, and optional forced page breaks. Every event is written to Log.
//
// Bands (report units): page header 100 high ("Kopf"), column header 60 ("Spalten"), detail
// DetailHeight ("Zeile<row>"), page footer 80 ("Seite<counter + 1>"). Its bookmarks hold the
// row and the counter, and how long the log was: a pass from one goes on with the log as it
// stood there.
class ScriptedReport {
public:
    explicit ScriptedReport(double detailHeight = 50);

    TQuickRep Report;
    TQRBand& Header;
    TQRBand& Columns;
    TQRBand& Detail;
    TQRBand& Footer;
    TQRLabel& HeaderLabel;
    TQRLabel& ColumnLabel;
    TQRLabel& RowLabel;
    TQRLabel& PageLabel;

    int Rows = 3;
    // Before filling this row, need-data sets the page counter to -1 and forces a page break.
    int BreakBefore = -1;
    // When the rows have run out, need-data forces a page break before it answers false.
    bool BreakAtEnd = false;

    QStringList Log;
    int PageCounter = 0;

private:
    void beforePrint(bool& printReport);
    void startPage();
    void endPage();
    void needData(bool& moreData);

    int m_nextRow = 0;
};
