#pragma once

#include "EPdfUnsupported.h"
#include "TQRPdfFile.h"
#include "TQRPdfPage.h"

#include <QList>
#include <QRawFont>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <memory>
#include <vector>

class AtomicFile;
class TQRPdfFont;

// A PDF file written directly from the report canvas: filled rectangles, lines, rectangle
// outlines and glyph runs, in device pixels from the top-left corner of the printable area,
// exactly the marks a report makes. Fonts go in as subsets of their TrueType programs with a
// ToUnicode map, so the text can be searched and copied.
//
// Qt's PDF output writes each glyph as a text object of its own and compresses hard; for a
// report of thousands of pages of table cells that made up most of the time. Here a cell text
// is one string, a band's lines one path, and the page contents are compressed fast, on a
// thread of their own while the next page is laid out.
//
// The file appears under its name only once it is complete (AtomicFile): a failed or interrupted
// document leaves whatever was there before.
//
// The document ties its parts together: the file with its objects and writer thread
// (TQRPdfFile), the content of the open page (TQRPdfPage) and its fonts (TQRPdfFont); it adds
// the page tree, the resources, the catalog and the document information.
class TQRPdfDocument {
public:
    // Writes the file of that name, created at the first page and committed by Finish.
    explicit TQRPdfDocument(const QString& path);
    // Writes into a file that its owner commits after Finish (or discards).
    explicit TQRPdfDocument(AtomicFile& file);
    ~TQRPdfDocument();
    TQRPdfDocument(const TQRPdfDocument&) = delete;
    TQRPdfDocument& operator=(const TQRPdfDocument&) = delete;

    void SetTitle(const QString& title) { m_title = title; }
    // The program that made the document, for its /Creator and /Producer entries.
    void SetCreator(const QString& creator) { m_creator = creator; }
    int PageCount() const { return int(m_pages.size()); }

    // Ends the page before, if any, and opens the next one; the first opens the file
    // (EOutputError when it cannot be created).
    void BeginPage(const QPageLayout& layout, double dpiX, double dpiY);

    void FillRect(const QRectF& rect, const QBrush& brush) { m_page.FillRect(rect, brush); }
    void StrokeLine(const QLineF& line, const QPen& pen) { m_page.StrokeLine(line, pen); }
    void StrokeRect(const QRectF& rect, const QPen& pen) { m_page.StrokeRect(rect, pen); }
    // Marks made from now on are cut at the rectangle, until ClearClip or the page's end.
    void SetClip(const QRectF& rect) { m_page.SetClip(rect); }
    void ClearClip() { m_page.ClearClip(); }
    // Glyphs of one font at their positions on the baseline, filled in the colour.
    void DrawGlyphs(const QRawFont& font, const quint32* glyphs, const QPointF* positions,
                    std::size_t count, const QColor& colour);
    // Tells which characters the glyphs of a run stand for (the run laid out from the text).
    void NoteText(const QRawFont& font, const QList<quint32>& glyphs, bool rightToLeft,
                  const QString& text);

    // Ends the last page and writes the fonts, the page tree and the cross-reference table
    // (EOutputError naming the file and why when it cannot be written). Without it the file
    // never appears.
    void Finish();

private:
    TQRPdfFont& font(const QRawFont& raw);
    void endPage();

    QString m_title;
    QString m_creator;
    bool m_finished = false;
    TQRPdfFile m_file;
    std::vector<int> m_pages;
    std::vector<std::unique_ptr<TQRPdfFont>> m_fonts;
    // The open page.
    TQRPdfPage m_page;
    int m_contentId = 0;
};
