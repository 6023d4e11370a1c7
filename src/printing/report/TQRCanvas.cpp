#include "TQRCanvas.h"

#include "TQRSurface.h"

#include <QLineF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPointF>
#include <QRectF>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

std::uint64_t nextSerial()
{
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

// Distinct texts kept per font. A matrix repeats a few hundred texts millions of times; a files
// table has a text per cell, which must not pile up for the length of the pass. A shaped text
// keeps some 40 bytes a glyph: long lines of a description are kept by their characters.
constexpr std::size_t kMaxTexts = 16384;
constexpr std::size_t kMaxShapedCharacters = 1 << 19;
// Distinct widths kept per font and resolution: enough for the files table of a large log, which
// every single log of a report measures whole.
constexpr std::size_t kMaxWidths = 1 << 17;
// Characters of the texts whose widths, parts' widths or cuts are kept.
constexpr std::size_t kMaxMeasuredCharacters = 1 << 22;
// Texts up to this length are measured and cut whole; longer ones only as far as their room
// reaches.
constexpr qsizetype kWholeText = 256;
// Characters a part of a text goes on past the estimated end of its room, so that the last one's
// kerning with the next, which the part lacks, decides nothing.
constexpr qsizetype kPartOverrun = 8;

thread_local std::uint64_t t_measuredCharacters = 0;

// A length that ends neither inside a surrogate pair nor past the text.
qsizetype WholeCharacters(const QString& text, qsizetype length)
{
    if (length >= text.size())
        return text.size();
    if (length > 0 && text.at(length - 1).isHighSurrogate())
        return length + 1;
    return length;
}

// QPainter::drawText truncates the text's position to the 1/64 pixel grid of the font engine
// before it adds the glyph advances; starting the glyph run from the same point makes every
// glyph land exactly where drawText puts it.
double toFixedGrid(double pixels) { return static_cast<int>(pixels * 64) / 64.0; }

} // namespace

// The device's own width and height are whole pixels derived from a page size rounded to whole
// points, which puts a 10 mm margin off by up to half a millimetre; the page layout is exact.
TQRCanvas::TQRCanvas(QPagedPaintDevice& device)
    : m_device(device)
    , m_xFactor(device.logicalDpiX() / UnitsPerInch)
    , m_yFactor(device.logicalDpiY() / UnitsPerInch)
    , m_width(device.pageLayout().paintRect(QPageLayout::Millimeter).width() * 10)
    , m_height(device.pageLayout().paintRect(QPageLayout::Millimeter).height() * 10)
    , m_serial(nextSerial())
{
}

TQRCanvas::~TQRCanvas() = default;

int TQRCanvas::WidthPixels() const { return qRound(m_width * m_xFactor); }

int TQRCanvas::HeightPixels() const { return qRound(m_height * m_yFactor); }

std::size_t TQRCanvas::TextHash::operator()(const QString& text) const noexcept
{
    // FNV-1a over the UTF-16 code units; of a long text over its length and both ends, which
    // tell texts apart as well, without a page's look-ups costing the text's length each.
    constexpr qsizetype ends = 256;
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](char16_t unit) {
        hash ^= unit;
        hash *= 1099511628211ull;
    };
    if (text.size() <= 2 * ends) {
        for (const QChar ch : text)
            add(ch.unicode());
        return static_cast<std::size_t>(hash);
    }
    for (qsizetype i = 0; i < ends; ++i)
        add(text.at(i).unicode());
    for (qsizetype i = text.size() - ends; i < text.size(); ++i)
        add(text.at(i).unicode());
    hash ^= std::uint64_t(text.size());
    hash *= 1099511628211ull;
    return static_cast<std::size_t>(hash);
}

TQRCanvas::FontEntry::FontEntry()
    : texts(kMaxTexts, kMaxShapedCharacters)
    , partWidths(kMaxTexts, kMaxMeasuredCharacters)
    , cuts(kMaxTexts, kMaxMeasuredCharacters)
{
}

TQRCanvas::FontEntry& TQRCanvas::entry(const QFont& font) const
{
    // A report uses two or three fonts, so a short list beats hashing a font key per lookup.
    for (const auto& entry : m_fonts) {
        if (entry->font == font)
            return *entry;
    }
    auto entry = std::make_unique<FontEntry>();
    entry->font = font;
    entry->metrics = std::make_unique<QFontMetricsF>(font, &m_device);
    entry->widths = &sharedWidths(font, m_device.logicalDpiX(), m_device.logicalDpiY());
    m_fonts.push_back(std::move(entry));
    return *m_fonts.back();
}

// A text's width depends on nothing but the font and the resolution, and measuring costs more
// than anything else a canvas does with a text. A report of single logs, one pass pair each,
// would otherwise measure the whole files table again for every input file.
TQRCanvas::Widths& TQRCanvas::sharedWidths(const QFont& font, int dpiX, int dpiY)
{
    // Keyed by the font's description rather than a QFont, which would hold on to font engines
    // until the thread ends, after the application has let go of its fonts.
    struct Store {
        QString font;
        int dpiX;
        int dpiY;
        Widths widths;
    };
    static thread_local std::vector<std::unique_ptr<Store>> stores;
    const QString key = font.key();
    for (const auto& store : stores) {
        if (store->dpiX == dpiX && store->dpiY == dpiY && store->font == key)
            return store->widths;
    }
    stores.push_back(std::make_unique<Store>(
        Store{key, dpiX, dpiY, Widths(kMaxWidths, kMaxMeasuredCharacters)}));
    return stores.back()->widths;
}

std::uint64_t TQRCanvas::MeasuredCharacters() { return t_measuredCharacters; }

double TQRCanvas::measure(const FontEntry& entry, const QString& text) const
{
    t_measuredCharacters += std::uint64_t(text.size());
    return entry.metrics->horizontalAdvance(text);
}

QString TQRCanvas::elide(const FontEntry& entry, const QString& text, double width) const
{
    t_measuredCharacters += std::uint64_t(text.size());
    return entry.metrics->elidedText(text, Qt::ElideRight, width);
}

double TQRCanvas::width(FontEntry& entry, const QString& text) const
{
    if (const double* known = entry.widths->Find(text))
        return *known;
    return entry.widths->Insert(text, measure(entry, text));
}

double TQRCanvas::advance(FontEntry& entry, char16_t ch) const
{
    if (ch < 256) {
        if (entry.latinAdvances.empty())
            entry.latinAdvances.assign(256, std::nan(""));
        double& known = entry.latinAdvances[ch];
        if (std::isnan(known))
            known = width(entry, QString(QChar(ch)));
        return known;
    }
    const auto found = entry.advances.find(ch);
    if (found != entry.advances.end())
        return found->second;
    return entry.advances.emplace(ch, width(entry, QString(QChar(ch)))).first->second;
}

double TQRCanvas::pairAdjustment(FontEntry& entry, char16_t first, char16_t second) const
{
    const auto measured = [&] {
        const QChar pair[] = {QChar(first), QChar(second)};
        return measure(entry, QString(pair, 2)) - advance(entry, first) - advance(entry, second);
    };
    if (first < 256 && second < 256) {
        if (entry.latinPairs.empty())
            entry.latinPairs.assign(256 * 256, std::nan(""));
        double& known = entry.latinPairs[std::size_t(first) << 8 | second];
        if (std::isnan(known))
            known = measured();
        return known;
    }
    const std::uint32_t key = std::uint32_t(first) << 16 | second;
    const auto found = entry.pairs.find(key);
    if (found != entry.pairs.end())
        return found->second;
    return entry.pairs.emplace(key, measured()).first->second;
}

double TQRCanvas::EstimatedWidth(const QFont& font, const QString& text, double limit) const
{
    double estimate = 0;
    reach(entry(font), text, 0, limit, &estimate);
    return estimate;
}

qsizetype TQRCanvas::reach(FontEntry& entry, const QString& text, qsizetype start, double limit,
                           double* estimate) const
{
    const qsizetype end = std::min(text.size(), start + MaxLineCharacters);
    double x = 0;
    qsizetype i = start;
    while (i < end) {
        const char16_t ch = text.at(i).unicode();
        x += advance(entry, ch);
        if (i > start)
            x += pairAdjustment(entry, text.at(i - 1).unicode(), ch);
        ++i;
        if (x > limit)
            break;
    }
    if (estimate)
        *estimate = x;
    return i;
}

// The estimate is exact for fonts whose glyphs only kern in pairs; what decides is measured.
double TQRCanvas::boundedWidth(FontEntry& entry, const QString& text, double limit) const
{
    if (text.size() <= kWholeText)
        return width(entry, text);
    if (const double* known = entry.widths->Find(text))
        return *known;
    // A part wider than the limit by more than any kerning is narrower than the whole text.
    const double margin = entry.metrics->height();
    if (const double* part = entry.partWidths.Find(text); part && *part > limit + margin / 2)
        return *part;
    qsizetype length = reach(entry, text, 0, limit + margin) + kPartOverrun;
    for (;;) {
        length = WholeCharacters(text, length);
        if (length >= text.size())
            return width(entry, text);
        const double part = measure(entry, text.left(length));
        const bool passes = part > limit + margin / 2;
        if (passes || length >= MaxLineCharacters)
            return entry.partWidths.Insert(text, passes ? part : limit + margin);
        length *= 2;
    }
}

QString TQRCanvas::fittingText(FontEntry& entry, const QString& text, double width) const
{
    if (text.size() <= kWholeText)
        return elide(entry, text, width);
    if (const CutText* known = entry.cuts.Find(text); known && known->width == width)
        return known->text;
    // Eliding a part gives the whole text's cut where the cut lies well before the part's end:
    // everything before it is laid out alike.
    const double margin = entry.metrics->height();
    qsizetype length = reach(entry, text, 0, width + margin) + kPartOverrun;
    QString cut;
    for (;;) {
        length = WholeCharacters(text, length);
        if (length >= text.size()) {
            cut = elide(entry, text, width);
            break;
        }
        const QString part = text.left(length);
        cut = elide(entry, part, width);
        if (cut.size() + kPartOverrun / 2 <= length)
            break;
        if (length >= MaxLineCharacters) {
            // Characters without width: what no line can hold is cut all the same, to what a
            // line can.
            cut = elide(entry,
                        text.left(WholeCharacters(text, MaxLineCharacters - 1)) + QChar(0x2026),
                        width);
            break;
        }
        length *= 2;
    }
    return entry.cuts.Insert(text, CutText{width, cut}).text;
}

TQRCanvas::ShapedText& TQRCanvas::text(FontEntry& entry, const QString& text) const
{
    if (ShapedText* known = entry.texts.Find(text))
        return *known;
    ShapedText measured;
    measured.width = width(entry, text);
    return entry.texts.Insert(text, std::move(measured));
}

const QFontMetricsF& TQRCanvas::Metrics(const QFont& font) const { return *entry(font).metrics; }

double TQRCanvas::TextWidth(const QFont& font, const QString& text) const
{
    return width(entry(font), text);
}

double TQRCanvas::TextWidth(const QFont& font, const QString& text, double limit) const
{
    return boundedWidth(entry(font), text, limit);
}

QString TQRCanvas::FittingText(const QFont& font, const QString& text, double width) const
{
    FontEntry& fontEntry = entry(font);
    if (boundedWidth(fontEntry, text, width + 0.01) <= width + 0.01)
        return text;
    return fittingText(fontEntry, text, width);
}

qsizetype TQRCanvas::FittingLength(const QFont& font, const QString& text, qsizetype start,
                                   double width) const
{
    FontEntry& fontEntry = entry(font);
    double estimate = 0;
    const qsizetype end = reach(fontEntry, text, start, width, &estimate);
    qsizetype length = end - start - (estimate > width ? 1 : 0);
    for (;;) {
        length = std::max<qsizetype>(1, length);
        if (start + length < text.size() && text.at(start + length - 1).isHighSurrogate())
            length += length > 1 ? -1 : 1;
        // The estimate goes by pairs of characters; the piece that prints is measured.
        if (length <= 1 || this->width(fontEntry, text.mid(start, length)) <= width)
            return length;
        --length;
    }
}

double TQRCanvas::JoinWidth(const QFont& font, QChar before, QChar after) const
{
    FontEntry& fontEntry = entry(font);
    const auto measured = [&] {
        const QChar joined[] = {before, QLatin1Char(' '), after};
        return width(fontEntry, QString(joined, 3)) - advance(fontEntry, before.unicode()) -
               advance(fontEntry, after.unicode());
    };
    // Asked once a word: Latin-1 pairs from a table.
    if (before.unicode() >= 256 || after.unicode() >= 256)
        return measured();
    if (fontEntry.latinJoins.empty())
        fontEntry.latinJoins.assign(256 * 256, std::nan(""));
    double& known = fontEntry.latinJoins[std::size_t(before.unicode()) << 8 | after.unicode()];
    if (std::isnan(known))
        known = measured();
    return known;
}

void TQRCanvas::shape(const FontEntry& entry, const QString& text, ShapedText& shaped) const
{
    shaped.shaped = true;
    shaped.direct = true;
    QString laidOut = text;
    if (!m_surface->PrepareLayout(laidOut))
        return;
    if (laidOut.isEmpty()) {
        shaped.direct = false;
        return;
    }
    // Laid out on the device like the painter's font, so the glyph runs use the font engine
    // drawText would use and the PDF embeds the same font.
    t_measuredCharacters += std::uint64_t(laidOut.size());
    QTextLayout layout(laidOut, entry.font, &m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return;
    }
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    // Drawn whole, where the surface can.
    if (layout.lineCount() != 1 || line.textLength() != laidOut.size())
        return;
    const double baseline = line.ascent();
    const QList<QGlyphRun> runs = line.glyphRuns();
    shaped.runs.clear();
    shaped.runs.reserve(std::size_t(runs.size()));
    for (QGlyphRun run : runs) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        m_surface->NoteText(font, glyphs, run.isRightToLeft(), laidOut);
        QList<QPointF> positions = run.positions();
        for (QPointF& position : positions)
            position.ry() -= baseline;
        run.setPositions(positions);
        ShapedRun part;
        part.font = pendingFont(font);
        part.decorated = run.flags().toInt() != 0;
        part.glyphs.assign(glyphs.begin(), glyphs.end());
        part.positions.assign(positions.begin(), positions.end());
        // Only a decorated run is drawn as a glyph run; the others go by their arrays.
        if (part.decorated)
            part.run = std::move(run);
        shaped.runs.push_back(std::move(part));
    }
    shaped.direct = false;
}

std::size_t TQRCanvas::pendingFont(const QRawFont& font) const
{
    for (std::size_t i = 0; i < m_pending.size(); ++i) {
        if (m_pending[i].font == font)
            return i;
    }
    m_pending.push_back(PendingRun{font, {}, {}});
    return m_pending.size() - 1;
}

void TQRCanvas::DrawHeldLines()
{
    if (m_heldLines.empty())
        return;
    std::vector<std::pair<QLineF, QPen>> lines;
    lines.swap(m_heldLines);
    const bool hold = m_holdLines;
    m_holdLines = false;
    for (const auto& [line, pen] : lines)
        DrawLine(line, pen);
    m_holdLines = hold;
    // Kept with its capacity: the next row holds its rule again.
    lines.clear();
    m_heldLines.swap(lines);
}

void TQRCanvas::SetOutput(TQRSurface* surface)
{
    DrawHeldLines();
    Flush();
    m_surface = surface;
}

void TQRCanvas::DrawText(const QFont& font, const QPointF& baselineLeft, const QString& text)
{
    if (!Printing() || text.isEmpty())
        return;
    drawShaped(font, this->text(entry(font), text), text, baselineLeft);
}

void TQRCanvas::DrawText(const QFont& font, double left, double width, Qt::Alignment alignment,
                         double baseline, const QString& text)
{
    if (!Printing() || text.isEmpty())
        return;
    FontEntry& fontEntry = entry(font);
    // A hair of rounding between a width and the text it was measured from cuts nothing.
    const double room = width + 0.01;
    // A short text (nearly every cell) is looked up once, with its shaping; a long one is
    // measured as far as the room first.
    if (text.size() <= kWholeText || boundedWidth(fontEntry, text, room) <= room) {
        ShapedText& shaped = this->text(fontEntry, text);
        if (shaped.width <= room) {
            drawAligned(font, shaped, text, left, width, alignment, baseline);
            return;
        }
    }
    const QString cut = fittingText(fontEntry, text, width);
    if (!cut.isEmpty())
        drawAligned(font, this->text(fontEntry, cut), cut, left, width, alignment, baseline);
}

void TQRCanvas::drawAligned(const QFont& font, ShapedText& shaped, const QString& text, double left,
                            double width, Qt::Alignment alignment, double baseline)
{
    double textLeft = left;
    if (alignment & Qt::AlignRight)
        textLeft = left + width - shaped.width;
    else if (alignment & Qt::AlignHCenter)
        textLeft = left + (width - shaped.width) / 2;
    drawShaped(font, shaped, text, QPointF(textLeft, baseline));
}

void TQRCanvas::drawShaped(const QFont& font, ShapedText& shaped, const QString& text,
                           const QPointF& baselineLeft)
{
    if (!shaped.shaped && (shaped.drawn || m_surface->LaysOutFirstDrawing()))
        shape(entry(font), text, shaped);
    shaped.drawn = true;
    if (!shaped.shaped || shaped.direct) {
        // No flush: collected text is of the same colour, so this may come before it.
        m_surface->DrawText(font, baselineLeft, text, m_textPen);
        return;
    }
    const QPointF origin(toFixedGrid(baselineLeft.x()), toFixedGrid(baselineLeft.y()));
    for (const ShapedRun& run : shaped.runs) {
        if (run.decorated) {
            Flush();
            m_surface->DrawDecoratedRun(origin, run.run, m_textPen);
            continue;
        }
        PendingRun& pending = m_pending[run.font];
        // A cell's few glyphs are copied in one loop: cheaper than two bulk copies that size.
        const std::size_t count = run.glyphs.size();
        const std::size_t at = pending.glyphs.size();
        pending.glyphs.resize(at + count);
        pending.positions.resize(at + count);
        quint32* glyphs = pending.glyphs.data() + at;
        QPointF* positions = pending.positions.data() + at;
        for (std::size_t i = 0; i < count; ++i) {
            glyphs[i] = run.glyphs[i];
            // Both on the 1/64 pixel grid, so the sum is exact and lands where drawText puts it.
            positions[i] = origin + run.positions[i];
        }
        m_hasPending = true;
    }
}

void TQRCanvas::Flush()
{
    if (!m_hasPending)
        return;
    m_hasPending = false;
    for (PendingRun& pending : m_pending) {
        if (pending.glyphs.empty())
            continue;
        m_surface->DrawGlyphs(pending.font, pending.glyphs.data(), pending.positions.data(),
                              pending.glyphs.size(), m_textPen);
        // Kept with their capacity: the next band collects about as many glyphs.
        pending.glyphs.clear();
        pending.positions.clear();
    }
}

void TQRCanvas::SetClip(const QRectF& rect)
{
    Flush();
    if (m_surface)
        m_surface->SetClip(rect);
}

void TQRCanvas::ClearClip()
{
    Flush();
    if (m_surface)
        m_surface->ClearClip();
}

bool TQRCanvas::commutesWithText(const QPen& pen) const
{
    const QBrush& text = m_textPen.brush();
    return pen.style() == Qt::NoPen || (pen.brush().style() == Qt::SolidPattern &&
                                        pen.color() == text.color() && text.color().alpha() == 255);
}

void TQRCanvas::FillRect(const QRectF& rect, const QBrush& brush)
{
    if (!Printing())
        return;
    Flush();
    m_surface->FillRect(rect, brush);
}

void TQRCanvas::DrawLine(const QLineF& line, const QPen& pen)
{
    if (!Printing())
        return;
    if (m_holdLines) {
        m_heldLines.emplace_back(line, pen);
        return;
    }
    if (!commutesWithText(pen))
        Flush();
    m_surface->StrokeLine(line, pen);
}

void TQRCanvas::DrawRectOutline(const QRectF& rect, const QPen& pen)
{
    if (!Printing())
        return;
    if (!commutesWithText(pen))
        Flush();
    m_surface->StrokeRect(rect, pen);
}
