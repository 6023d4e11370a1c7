#pragma once

#include "ColumnMeaning.h"
#include "TMatchDocument.h"

#include <cstdint>
#include <string>

// The cells of the files table's system columns, shared by the window, the report and the
// exporter. Rows of a document with N files: 0 and 1 the title lines, 2 .. N+1 the files,
// N+2 the sum without lock files (entry N), N+3 the sum with lock files (GrossTotal, HitsTotal).

// The description of column `code` of the document: a system column's, an added column's with
// its stored flags, and for an added column the document does not hold one without titles, sums
// or colour.
TColumnMeaning ColumnMeaningOf(const TMatchDocument& doc, int32_t code);

// The decimal separator of percentage texts. Until set, the one of the C library's current
// numeric locale (a separator of more than one byte counts as '.'). Setting '\0' returns to that.
// The Qt layer sets the operating system's separator at start.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// The text of system column `code` (-15..-1) on `row`, in code page 1252:
// - rows 0 and 1: the column's title line from Locale(); throws ERangeError for a code outside
//   -15..-1;
// - rows past N+2: GrossTotal under -2, HitsTotal under -5, else empty;
// - rows 2 .. N+2: the cell of the entry; "???" for a code outside -15..-2; the file-describing
//   codes -15..-11 are empty on the sum row.
// Numbers are plain decimal, differences wrap in 32 bits. An empty string is a blank cell; a
// kind letter or priority mark that is missing (a kind outside 0..3, a zero byte) shows as one
// blank character. A negative row, or a row whose entry the document does not hold, is empty.
std::string CellText(const TMatchDocument& doc, int32_t code, int32_t row,
                     char decimalSeparator = DecimalSeparator());

// part / whole * 100 with two decimals and the given separator ("33,33"), "100" from 99.95 on.
// An empty string when whole is 0. Never fails.
std::string FormatPercent(int32_t part, int32_t whole, char decimalSeparator = DecimalSeparator());

// True when both kinds are master files (1) or both are lock files of either kind (2, 3): the
// matrix leaves such a cell blank when the document's GroupMode is set.
bool SameKindGroup(TFileKind a, TFileKind b);
