#pragma once

#include <QList>
#include <QRawFont>
#include <QRgb>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class AtomicFile;
class QBrush;
class QColor;
class QLineF;
class QPageLayout;
class QPen;
class QPointF;
class QRectF;

// Raised when a page needs what the PDF document does not write (a font without TrueType
// outlines or one whose licence forbids embedding, a patterned brush, decorated text). The
// caller then prints through Qt's PDF output, which does all of it.
class EPdfUnsupported : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

    void FillRect(const QRectF& rect, const QBrush& brush);
    void StrokeLine(const QLineF& line, const QPen& pen);
    void StrokeRect(const QRectF& rect, const QPen& pen);
    // Marks made from now on are cut at the rectangle, until ClearClip or the page's end.
    void SetClip(const QRectF& rect);
    void ClearClip();
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
    struct Font;
    enum class PathKind { None, Stroke, Fill };
    // A finished page on its way to the file.
    struct PageJob {
        int pageId = 0;
        int contentId = 0;
        std::string mediaBox;
        std::string content;
    };

    Font& font(const QRawFont& raw);
    double glyphWidth(Font& font, quint32 glyph);
    void endPage();
    // Forgets the colours and stroke settings written, as a graphics state restore undoes them.
    void resetGraphicsState();
    void flushPath();
    void useFill(const QColor& colour);
    void useStroke(const QPen& pen);
    void startPath(PathKind kind);
    // Sets the stroke state for the pen and opens a stroked path; false for no pen.
    bool startStroke(const QPen& pen);

    // The writer thread: compresses and writes finished pages in their order.
    void writePages();
    void writePage(const PageJob& job);
    // Waits until every finished page is in the file and stops the writer thread.
    void stopWriter();

    int newObject();
    void beginObject(int id);
    void write(const std::string& text);
    void write(const char* data, std::size_t size);
    void writeStream(int id, const std::string& dictionary, const std::string& data);
    void writeFont(Font& font);
    [[noreturn]] void throwWriteFailure() const;

    QString m_path;
    QString m_title;
    QString m_creator;
    std::unique_ptr<AtomicFile> m_ownFile;
    AtomicFile* m_file = nullptr;
    std::uint64_t m_offset = 0;
    std::atomic<bool> m_failed{false};
    bool m_finished = false;
    // Guarded by the writer's mutex while its thread runs.
    std::vector<std::uint64_t> m_objectOffsets;
    // The writer thread and its queue, on the heap so that its mutex lives and dies with the
    // document alone.
    struct Writer {
        std::mutex mutex;
        std::condition_variable queueChanged;
        std::deque<PageJob> queue;
        bool stopping = false;
        std::thread thread;
    };
    const std::unique_ptr<Writer> m_writer;
    std::vector<int> m_pages;
    std::vector<std::unique_ptr<Font>> m_fonts;

    // The open page.
    bool m_pageOpen = false;
    std::string m_content;
    std::string m_mediaBox;
    bool m_hasFill = false;
    QRgb m_fill = 0;
    bool m_hasStroke = false;
    QRgb m_stroke = 0;
    double m_lineWidth = -1;
    std::string m_dash;
    int m_cap = -1;
    int m_join = -1;
    int m_textMode = 0;
    PathKind m_pathKind = PathKind::None;
    bool m_clipped = false;
    int m_contentId = 0;
};
