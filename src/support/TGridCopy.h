#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QMimeData;
class TStringGrid;

// What a copy of grid cells puts on the clipboard: a block of scrolling cells together with the
// fixed cells that belong to it, the title rows above its columns and the label columns beside
// its rows, so that a spreadsheet pastes a readable table. The cells come as tab-separated lines
// (text/plain) and as a small HTML table (text/html) whose fixed cells are header cells. Every
// text is taken exactly as given: sums, "####" and empty cells alike.
//
// In the lines, a text holding a tab, a line break or a quote is put in quotes with its quotes
// doubled, as spreadsheets read it; every line ends with "\n".
//
// Copying is bounded: more than MaxCells cells are not copied at all (a whole matrix of a
// large log would be hundreds of megabytes of text), and more than MaxHtmlCells go as text only
// (no office program takes an HTML table of that size).
class TGridCopy {
public:
    using CellText = std::function<QString(int col, int row)>;

    static constexpr qint64 MaxCells = 5'000'000;
    static constexpr qint64 MaxHtmlCells = 100'000;

    // Columns 0..fixedCols-1 and left..right by rows 0..fixedRows-1 and top..bottom; an empty
    // range (right < left) adds nothing. The block is cut to start after the fixed cells.
    TGridCopy(CellText text, int fixedCols, int fixedRows, int left, int top, int right,
              int bottom);
    // The grid's selection with its fixed cells, or with all every cell of the grid; nothing
    // for an empty selection. Texts from text.
    static TGridCopy OfGrid(const TStringGrid& grid, const CellText& text, bool all);

    // Cells the copy takes, fixed ones included.
    qint64 CellCount() const;
    bool TooLarge() const { return CellCount() > MaxCells; }

    QString Tsv() const;
    QString Html() const;
    // Both forms (the HTML only up to MaxHtmlCells); null when TooLarge.
    std::unique_ptr<QMimeData> MimeData() const;

private:
    template <class Visit> void forEachRow(const Visit& visit) const;

    CellText m_text;
    int m_fixedCols;
    int m_fixedRows;
    int m_left;
    int m_top;
    int m_right;
    int m_bottom;
};
