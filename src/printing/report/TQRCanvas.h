#pragma once

#include <QBrush>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QLineF>
#include <QList>
#include <QPen>
#include <QRawFont>
#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class QPagedPaintDevice;
class QPointF;
class QRectF;
class TQRSurface;

// The output canvas of one generation pass: the device's metrics in report units and, while a
// page is being output, the surface it is drawn on (TQRSurface: a painter, or a PDF document
// written directly). The preparing pass has a canvas without a surface that measures on the same
// device, so both passes lay out alike.
//
// Report units are 0.1 mm. Pixels are device pixels; the surface's origin is the top-left
// corner of the printable area (inside the margins).
//
// Controls draw through the canvas rather than on a painter, so that a page of thousands of
// cells costs no painter state change where nothing changes, and a text that recurs is shaped
// once: on a PDF, every pen or brush change is written into the page and every text is shaped
// anew, which made up most of the time of a large report. Text is moreover collected and drawn
// as one glyph run per font when the band is done (Flush), which writes one text object
// instead of one per cell. That changes no mark on the page: text is opaque in the text pen's
// colour, and it is only ever moved past text, lines and outlines of that colour (painting a
// colour over itself comes out the same in either order); anything else flushes it first.
class TQRCanvas {
public:
    static constexpr double UnitsPerInch = 254.0;

    explicit TQRCanvas(QPagedPaintDevice& device);
    TQRCanvas(const TQRCanvas&) = delete;
    TQRCanvas& operator=(const TQRCanvas&) = delete;
    ~TQRCanvas();

    // The pixel-per-unit factors.
    double XFactor() const { return m_xFactor; }
    double YFactor() const { return m_yFactor; }
    // Size of the printable area, in report units and in whole pixels.
    double Width() const { return m_width; }
    double Height() const { return m_height; }
    int WidthPixels() const;
    int HeightPixels() const;

    // Metrics of a font on this device; kept for the canvas's life.
    const QFontMetricsF& Metrics(const QFont& font) const;
    // Width of a text in pixels (QFontMetricsF::horizontalAdvance), measured once per text. The
    // whole text is laid out: for texts that print whole.
    double TextWidth(const QFont& font, const QString& text) const;
    // The width of a text where it is at most limit; otherwise some width above limit. A long
    // text is measured only as far as it takes to pass the limit, so that a text cut to its room
    // costs about the room, whatever its length. A text of more characters than any line can
    // hold (MaxLineCharacters) counts as wider than any limit where those characters are not.
    double TextWidth(const QFont& font, const QString& text, double limit) const;
    // The text as DrawText prints it within a width: whole when it fits, else cut and ending in
    // an ellipsis (QFontMetricsF::elidedText), found from about as much of it as the width holds.
    QString FittingText(const QFont& font, const QString& text, double width) const;
    // How many characters of text from start fit a width (at least one, never half a surrogate
    // pair), for a line broken at a character: the most whose width is at most the width.
    // Costs about the characters that fit.
    qsizetype FittingLength(const QFont& font, const QString& text, qsizetype start,
                            double width) const;
    // The sum of the advances of a text's characters and of what adjacent ones add (kerning), up
    // to the first character that passes limit: the width for fonts that kern in pairs only,
    // without laying the text out; an estimate for others, for whoever measures what decides.
    double EstimatedWidth(const QFont& font, const QString& text, double limit) const;
    // What a blank between a text ending in before and one beginning with after adds to their
    // widths: the blank's advance and the kerning either side of it. The width of a line of words
    // is then the sum of its words and their joins, without laying out the line again per word.
    double JoinWidth(const QFont& font, QChar before, QChar after) const;
    static constexpr qsizetype MaxLineCharacters = 1 << 16;
    // The characters handed to the font engine for measuring, cutting or laying out text on
    // this thread: what texts cost, for tests.
    static std::uint64_t MeasuredCharacters();

    // Distinguishes canvases, so controls can keep metrics they looked up on this one.
    std::uint64_t Serial() const { return m_serial; }

    // Where the page goes: null while nothing is output (the preparing pass, pages outside the
    // page range). Text collected and lines held before go out on the surface they were meant
    // for first.
    bool Printing() const { return m_surface != nullptr; }
    void SetOutput(TQRSurface* surface);

    // The drawing operations of the controls; without an output they do nothing. Each gives the
    // same marks as the QPainter call it stands for (QPainter::drawText at the baseline's left
    // end, QPainter::fillRect, QPainter::drawLine); text is drawn with a black pen.
    void DrawText(const QFont& font, const QPointF& baselineLeft, const QString& text);
    // The text aligned (Qt::AlignLeft, AlignRight or AlignHCenter) within a width from left,
    // by its TextWidth; like measuring and then drawing, with one look-up of the text. A text
    // wider than the width is cut to it and ends in an ellipsis.
    void DrawText(const QFont& font, double left, double width, Qt::Alignment alignment,
                  double baseline, const QString& text);
    void FillRect(const QRectF& rect, const QBrush& brush);
    void DrawLine(const QLineF& line, const QPen& pen);
    // The rectangle's outline with the pen, not filled.
    void DrawRectOutline(const QRectF& rect, const QPen& pen);
    // Draws the text collected so far. Before the page ends or anyone paints on the surface
    // directly.
    void Flush();
    // While holding, lines are kept instead of drawn, until DrawHeldLines: for a rule that must
    // print over what comes after it. The page must not end with lines held.
    void HoldLines(bool hold) { m_holdLines = hold; }
    void DrawHeldLines();
    // Marks made from now on are cut at the rectangle (pixels), until ClearClip: for a band that
    // is taller than the room a page has for it.
    void SetClip(const QRectF& rect);
    void ClearClip();

private:
    // A text as drawText would lay it out: glyph runs with positions relative to the left end
    // of the baseline. Shaped when it is drawn the second time: laying out costs more than one
    // drawText, and a files table draws most of its texts once. A surface that takes glyphs only
    // (TQRSurface::LaysOutFirstDrawing) has every text shaped when it is first drawn.
    // One glyph run of a shaped text, taken apart once so that drawing it copies plain arrays.
    struct ShapedRun {
        // Index of the run's font in m_pending.
        std::size_t font = 0;
        // With decorations, which are drawn along its glyphs: it goes out on its own.
        bool decorated = false;
        QGlyphRun run;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
    };
    struct ShapedText {
        double width = 0;
        bool drawn = false;
        bool shaped = false;
        // Drawn whole (TQRSurface::DrawText): a text whose layout the glyph runs might not
        // reproduce.
        bool direct = false;
        std::vector<ShapedRun> runs;
    };
    // Cell texts are short; Qt's string hash costs more than the rest of a look-up.
    struct TextHash {
        std::size_t operator()(const QString& text) const noexcept;
    };
    // Texts and what is known of them, up to a number of texts and of their characters: emptied
    // when either would be passed, so that neither many texts nor long ones pile up.
    template <typename Value> class TextCache {
    public:
        TextCache(std::size_t texts, std::size_t characters)
            : m_maxTexts(texts)
            , m_maxCharacters(characters)
        {
        }
        Value* Find(const QString& text)
        {
            const auto found = m_map.find(text);
            return found == m_map.end() ? nullptr : &found->second;
        }
        Value& Insert(const QString& text, Value value)
        {
            const std::size_t characters = std::size_t(text.size());
            if (m_map.size() >= m_maxTexts || m_characters + characters > m_maxCharacters) {
                m_map.clear();
                m_characters = 0;
            }
            m_characters += characters;
            return m_map.insert_or_assign(text, std::move(value)).first->second;
        }

    private:
        std::size_t m_maxTexts;
        std::size_t m_maxCharacters;
        std::size_t m_characters = 0;
        std::unordered_map<QString, Value, TextHash> m_map;
    };
    using Widths = TextCache<double>;
    struct CutText {
        double width = 0;
        QString text;
    };
    struct FontEntry {
        FontEntry();
        QFont font;
        std::unique_ptr<QFontMetricsF> metrics;
        TextCache<ShapedText> texts;
        // Shared by the canvases of the same resolution.
        Widths* widths = nullptr;
        // Long texts measured only in part: the width of the part, above the limit it was
        // measured for.
        Widths partWidths;
        // Long texts cut to a width, by the text.
        TextCache<CutText> cuts;
        // Advances of single characters, and what two adjacent ones add to them (kerning): what
        // finds how far into a long text a width reaches without laying the text out.
        // Latin-1 characters (what logs hold, mostly) in tables, NaN where not yet measured.
        std::vector<double> latinAdvances;
        std::vector<double> latinPairs;
        std::vector<double> latinJoins;
        std::unordered_map<char16_t, double> advances;
        std::unordered_map<std::uint32_t, double> pairs;
    };

    // Text widths of a font at a resolution, kept for the thread's life.
    static Widths& sharedWidths(const QFont& font, int dpiX, int dpiY);
    FontEntry& entry(const QFont& font) const;
    double width(FontEntry& entry, const QString& text) const;
    double boundedWidth(FontEntry& entry, const QString& text, double limit) const;
    QString fittingText(FontEntry& entry, const QString& text, double width) const;
    // The end of the characters from start whose estimated width reaches past limit: the index
    // after the first one that ends beyond it, or the text's end (at most MaxLineCharacters on).
    qsizetype reach(FontEntry& entry, const QString& text, qsizetype start, double limit,
                    double* estimate = nullptr) const;
    double advance(FontEntry& entry, char16_t ch) const;
    double pairAdjustment(FontEntry& entry, char16_t first, char16_t second) const;
    // horizontalAdvance and elidedText, counted.
    double measure(const FontEntry& entry, const QString& text) const;
    QString elide(const FontEntry& entry, const QString& text, double width) const;
    ShapedText& text(FontEntry& entry, const QString& text) const;
    void shape(const FontEntry& entry, const QString& text, ShapedText& shaped) const;
    void drawShaped(const QFont& font, ShapedText& shaped, const QString& text,
                    const QPointF& baselineLeft);
    void drawAligned(const QFont& font, ShapedText& shaped, const QString& text, double left,
                     double width, Qt::Alignment alignment, double baseline);
    // Whether marks of the pen may be drawn before text collected earlier.
    bool commutesWithText(const QPen& pen) const;

    // Glyphs of one font at their page positions, to be drawn in one go; one per font the
    // canvas has shaped text in, so a shaped run knows its place.
    struct PendingRun {
        QRawFont font;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
    };
    std::size_t pendingFont(const QRawFont& font) const;

    QPagedPaintDevice& m_device;
    double m_xFactor;
    double m_yFactor;
    double m_width;
    double m_height;
    std::uint64_t m_serial;
    TQRSurface* m_surface = nullptr;
    const QPen m_textPen{Qt::black};
    mutable std::vector<std::unique_ptr<FontEntry>> m_fonts;
    mutable std::vector<PendingRun> m_pending;
    bool m_hasPending = false;
    bool m_holdLines = false;
    std::vector<std::pair<QLineF, QPen>> m_heldLines;
};
