#pragma once

#include "PdfDevice.h"
#include "PdfFile.h"
#include "SectionLayout.h"
#include "TMatchDocument.h"

#include <QString>

#include <string>
#include <vector>

// Logs of many shapes for the printed report, written as .mpr files and read back, printed
// into one PDF the way the exporter prints them (the whole log, then single logs, all sharing
// one print command's measures), and the printed words checked against the layout.

enum class TDescription { Short, Long, Wrapped, NoBlanks, Huge };
enum class TStrips { One, Two, Many };

struct TLogShape {
    std::string Name;
    uint8_t FileLabelKind = 2;
    int Files = 5;
    TStrips Strips = TStrips::One;
    TDescription Description = TDescription::Short;
    bool LongHead = false;
    // File names that make the name column wider than the page.
    bool LongNames = false;
    // One added column whose cells are wider than the printable width.
    bool WideColumn = false;
    // A counting column (gross) right after the number column.
    bool CountingSecond = false;
    // What hostile logs hold: a head text and file names far wider than the page (the names
    // beginning with more characters of no width than a line holds), customer and task texts
    // of pages of characters without a blank.
    bool HugeTexts = false;
    bool WholeLog = true;
    std::vector<int> Singles;
};

// The log of a shape: every file row carries a token of its own in a text column (FileToken),
// every info line starts with InfoToken.
TMatchDocument ShapedLog(const TLogShape& shape);
QString FileToken(int file);
QString InfoToken(int line);

// One printed part: its pages in the PDF, the layouts of the files table and the matrix, and
// the printable width and character width they were made with (report units).
struct TPrintedPart {
    int SingleLogNumber = 0;
    int FirstPage = 0;
    int Pages = 0;
    SectionLayout FileLayout;
    SectionLayout MatrixLayout;
    double UsableWidth = 0;
    double CharWidth = 0;
};

struct TPrintedLog {
    TMatchDocument Document;
    std::vector<TPrintedPart> Parts;
    std::vector<PdfFile::Word> Words;
    QString Path;
};

// Writes the shape's log to an .mpr file in dir, reads it and prints the parts into one PDF.
TPrintedLog PrintShape(const TLogShape& shape, PdfDevice device, const std::string& dir);

// The words on one page (from 1).
std::vector<PdfFile::Word> WordsOnPage(const std::vector<PdfFile::Word>& words, int page);
