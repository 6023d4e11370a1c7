#include "TQRPdfDocument.h"

#include "AtomicFile.h"
#include "TrueTypeSubset.h"

#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QLineF>
#include <QPageLayout>
#include <QPen>
#include <QPointF>
#include <QRectF>

#include <zlib.h>

#include <algorithm>
#include <cmath>

namespace {

// Page contents are mostly numbers and glyph ids that repeat from row to row: the fastest
// level already shrinks them to a fraction, and the harder ones cost several times the time.
constexpr int kContentCompression = Z_BEST_SPEED;
constexpr int kFontCompression = Z_DEFAULT_COMPRESSION;
// Finished pages waiting for the writer thread: enough to ride out a slow page, few enough to
// keep the memory of a long report flat.
constexpr std::size_t kQueuedPages = 8;

// Fixed objects; the rest are numbered as they come.
constexpr int kCatalog = 1;
constexpr int kPageTree = 2;
constexpr int kResources = 3;
constexpr int kInfo = 4;

// Appends a number with at most `decimals` decimals (up to 6) and no trailing zeros. A page of
// table cells writes millions of them.
void appendNumber(std::string& out, double value, int decimals)
{
    static const long long scales[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    const long long scale = scales[decimals];
    double scaled = value * double(scale);
    if (!(std::fabs(scaled) < 1e15))
        scaled = 0;
    long long units = static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    char buffer[40];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    const bool negative = units < 0;
    if (negative)
        units = -units;
    long long fraction = units % scale;
    long long whole = units / scale;
    if (fraction != 0) {
        int places = decimals;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --places;
        }
        for (; places > 0; --places) {
            *--p = char('0' + fraction % 10);
            fraction /= 10;
        }
        *--p = '.';
    }
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    if (negative)
        *--p = '-';
    out.append(p, std::size_t(end - p));
}

std::string number(double value, int decimals = 3)
{
    std::string out;
    appendNumber(out, value, decimals);
    return out;
}

// Two coordinates in device pixels and what follows them.
void appendPoint(std::string& out, double x, double y, const char* then)
{
    appendNumber(out, x, 1);
    out += ' ';
    appendNumber(out, y, 1);
    out += then;
}

// An RGB colour and its operator.
std::string colourOperator(QRgb rgb, const char* op)
{
    return number(qRed(rgb) / 255.0) + ' ' + number(qGreen(rgb) / 255.0) + ' ' +
           number(qBlue(rgb) / 255.0) + op;
}

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

void appendHex4(std::string& out, unsigned value)
{
    static const char hex[] = "0123456789ABCDEF";
    out += hex[(value >> 12) & 0xF];
    out += hex[(value >> 8) & 0xF];
    out += hex[(value >> 4) & 0xF];
    out += hex[value & 0xF];
}

std::string utf16Hex(const QString& text)
{
    std::string out = "<FEFF";
    for (const QChar ch : text)
        appendHex4(out, ch.unicode());
    return out + ">";
}

int read16(const QByteArray& data, int at)
{
    if (at < 0 || at + 2 > data.size())
        return 0;
    return (std::uint8_t(data[at]) << 8) | std::uint8_t(data[at + 1]);
}

int readSigned16(const QByteArray& data, int at) { return std::int16_t(read16(data, at)); }

std::string deflate(const std::string& data, int level)
{
    uLongf size = compressBound(uLong(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()), level) != Z_OK)
        throw std::runtime_error("Der Druck konnte nicht abgeschlossen werden.");
    out.resize(size);
    return out;
}

// A PostScript name: letters, digits and hyphens.
std::string postScriptName(const QRawFont& font, bool emboldened)
{
    std::string name;
    const QString full = font.familyName() + QLatin1Char('-') +
                         (emboldened ? QStringLiteral("Bold") : font.styleName());
    for (const QChar ch : full) {
        const char16_t code = ch.unicode();
        if ((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') ||
            (code >= '0' && code <= '9') || code == '-')
            name += char(code);
    }
    return name.empty() ? std::string("Font") : name;
}

} // namespace

struct TQRPdfDocument::Font {
    QRawFont raw;
    int number = 0;
    // Pixel size as written in the page: the text positions are computed from it.
    double size = 0;
    std::size_t glyphCount = 0;
    // Advance per glyph in 1/1000 of the size, as the width table gives it; negative while
    // the glyph has not been used.
    std::vector<double> widths;
    std::vector<bool> used;
    std::vector<std::u16string> unicode;
    // Bold asked of a face that is not: drawn with an outline stroke of this width in pixels,
    // as Qt's own PDF output thickens such text too; 0 for none.
    double boldStroke = 0;
    int objectId = 0;
};

TQRPdfDocument::TQRPdfDocument(const QString& path)
    : m_path(path)
    , m_writer(std::make_unique<Writer>())
{
}

TQRPdfDocument::TQRPdfDocument(AtomicFile& file)
    : m_path(QFile::decodeName(QByteArray::fromStdString(file.Path())))
    , m_file(&file)
    , m_writer(std::make_unique<Writer>())
{
}

// An unfinished document's own file goes with it, never reaching its name.
TQRPdfDocument::~TQRPdfDocument() { stopWriter(); }

void TQRPdfDocument::throwWriteFailure() const
{
    if (m_file)
        m_file->ThrowIfFailed();
    throw std::runtime_error("Der Druck konnte nicht abgeschlossen werden.");
}

TQRPdfDocument::Font& TQRPdfDocument::font(const QRawFont& raw)
{
    for (const auto& font : m_fonts) {
        if (font->raw == raw)
            return *font;
    }
    if (raw.fontTable("glyf").isEmpty())
        throw EPdfUnsupported("font without TrueType outlines: " + raw.familyName().toStdString());
    // Embedding type: a restricted licence, or bitmaps only, forbid embedding the outlines.
    const int embedding = read16(raw.fontTable("OS/2"), 8);
    if ((embedding & 0x000F) == 0x0002 || (embedding & 0x0200) != 0)
        throw EPdfUnsupported("font must not be embedded: " + raw.familyName().toStdString());
    auto font = std::make_unique<Font>();
    font->raw = raw;
    font->number = int(m_fonts.size()) + 1;
    font->size = rounded(raw.pixelSize(), 3);
    font->glyphCount = std::size_t(std::max(1, read16(raw.fontTable("maxp"), 4)));
    font->widths.assign(font->glyphCount, -1);
    font->used.assign(font->glyphCount, false);
    font->unicode.assign(font->glyphCount, std::u16string());
    // The face is bold by its style bits (OS/2 fsSelection, else head macStyle) or its weight
    // class, as the font system reads them when it decides to thicken the glyphs.
    const QByteArray os2 = raw.fontTable("OS/2");
    const bool boldFace = os2.size() >= 64
                              ? (read16(os2, 62) & 0x0020) != 0 || read16(os2, 4) >= 700
                              : (read16(raw.fontTable("head"), 44) & 0x0001) != 0;
    if (raw.weight() >= QFont::Bold && !boldFace)
        font->boldStroke = raw.lineThickness() > 0 ? raw.lineThickness() / 2 : font->size / 60;
    m_fonts.push_back(std::move(font));
    return *m_fonts.back();
}

double TQRPdfDocument::glyphWidth(Font& font, quint32 glyph)
{
    double& width = font.widths[glyph];
    if (width < 0) {
        const QList<QPointF> advances = font.raw.advancesForGlyphIndexes(QList<quint32>{glyph});
        const double advance = advances.isEmpty() ? 0 : advances.front().x();
        width = font.size > 0 ? rounded(advance * 1000 / font.size, 1) : 0;
        font.used[glyph] = true;
    }
    return width;
}

int TQRPdfDocument::newObject()
{
    const std::lock_guard<std::mutex> lock(m_writer->mutex);
    m_objectOffsets.push_back(0);
    return int(m_objectOffsets.size());
}

void TQRPdfDocument::write(const char* data, std::size_t size)
{
    if (size == 0)
        return;
    if (!m_file->Write(data, size))
        m_failed = true;
    m_offset += size;
}

void TQRPdfDocument::write(const std::string& text) { write(text.data(), text.size()); }

void TQRPdfDocument::beginObject(int id)
{
    {
        const std::lock_guard<std::mutex> lock(m_writer->mutex);
        m_objectOffsets[std::size_t(id - 1)] = m_offset;
    }
    write(std::to_string(id) + " 0 obj\n");
}

void TQRPdfDocument::writeStream(int id, const std::string& dictionary, const std::string& data)
{
    beginObject(id);
    write("<<" + dictionary + " /Length " + std::to_string(data.size()) +
          " /Filter /FlateDecode >>\nstream\n");
    write(data);
    write("\nendstream\nendobj\n");
}

void TQRPdfDocument::BeginPage(const QPageLayout& layout, double dpiX, double dpiY)
{
    if (m_finished)
        throw std::logic_error("a finished PDF document takes no more pages");
    if (!m_writer->thread.joinable()) {
        if (!m_file) {
            m_ownFile = std::make_unique<AtomicFile>(QFile::encodeName(m_path).toStdString());
            m_file = m_ownFile.get();
        }
        write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
        for (int id = 1; id <= kInfo; ++id)
            newObject();
        m_writer->thread = std::thread(&TQRPdfDocument::writePages, this);
    }
    endPage();
    m_pages.push_back(newObject());
    m_contentId = newObject();
    m_pageOpen = true;

    const QRect full = layout.fullRectPoints();
    const QRectF paint = layout.paintRect(QPageLayout::Point);
    m_mediaBox = "[0 0 " + std::to_string(full.width()) + ' ' + std::to_string(full.height()) + ']';
    // Device pixels from the top-left corner of the printable area, downwards.
    // Written without the C library's number formatting, which follows the user's locale.
    m_content = "q " + number(72.0 / dpiX, 6) + " 0 0 " + number(-72.0 / dpiY, 6) + ' ' +
                number(paint.left()) + ' ' + number(full.height() - paint.top()) + " cm\n";
    resetGraphicsState();
    m_pathKind = PathKind::None;
    m_clipped = false;
}

void TQRPdfDocument::resetGraphicsState()
{
    m_hasFill = false;
    m_hasStroke = false;
    m_textMode = 0;
    m_lineWidth = -1;
    m_dash.clear();
    m_cap = -1;
    m_join = -1;
}

void TQRPdfDocument::SetClip(const QRectF& rect)
{
    ClearClip();
    flushPath();
    m_content += "q ";
    appendPoint(m_content, rect.x(), rect.y(), " ");
    appendPoint(m_content, rect.width(), rect.height(), " re W n\n");
    m_clipped = true;
}

void TQRPdfDocument::ClearClip()
{
    if (!m_clipped)
        return;
    flushPath();
    m_content += "Q\n";
    m_clipped = false;
    resetGraphicsState();
}

void TQRPdfDocument::endPage()
{
    if (!m_pageOpen)
        return;
    ClearClip();
    flushPath();
    m_content += "Q\n";
    m_pageOpen = false;
    const std::size_t size = m_content.size();
    PageJob job{m_pages.back(), m_contentId, m_mediaBox, std::move(m_content)};
    // The next page is likely as long: room for it saves copying it over as it grows.
    m_content = std::string();
    m_content.reserve(size + size / 4);
    {
        std::unique_lock<std::mutex> lock(m_writer->mutex);
        m_writer->queueChanged.wait(lock, [this] { return m_writer->queue.size() < kQueuedPages; });
        m_writer->queue.push_back(std::move(job));
    }
    m_writer->queueChanged.notify_all();
    if (m_failed)
        throwWriteFailure();
}

void TQRPdfDocument::writePages()
{
    for (;;) {
        PageJob job;
        {
            std::unique_lock<std::mutex> lock(m_writer->mutex);
            m_writer->queueChanged.wait(
                lock, [this] { return !m_writer->queue.empty() || m_writer->stopping; });
            if (m_writer->queue.empty())
                return;
            job = std::move(m_writer->queue.front());
            m_writer->queue.pop_front();
        }
        m_writer->queueChanged.notify_all();
        if (m_failed)
            continue;
        try {
            writePage(job);
        } catch (...) {
            m_failed = true;
        }
    }
}

void TQRPdfDocument::writePage(const PageJob& job)
{
    writeStream(job.contentId, "", deflate(job.content, kContentCompression));
    beginObject(job.pageId);
    write("<< /Type /Page /Parent " + std::to_string(kPageTree) + " 0 R /Resources " +
          std::to_string(kResources) + " 0 R /MediaBox " + job.mediaBox + " /Contents " +
          std::to_string(job.contentId) + " 0 R >>\nendobj\n");
}

void TQRPdfDocument::stopWriter()
{
    if (!m_writer->thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_writer->mutex);
        m_writer->stopping = true;
    }
    m_writer->queueChanged.notify_all();
    m_writer->thread.join();
}

void TQRPdfDocument::flushPath()
{
    if (m_pathKind == PathKind::Stroke)
        m_content += "S\n";
    else if (m_pathKind == PathKind::Fill)
        m_content += "f\n";
    m_pathKind = PathKind::None;
}

void TQRPdfDocument::startPath(PathKind kind)
{
    if (m_pathKind != kind)
        flushPath();
    m_pathKind = kind;
}

void TQRPdfDocument::useFill(const QColor& colour)
{
    const QRgb rgb = colour.rgb();
    if (m_hasFill && m_fill == rgb)
        return;
    flushPath();
    m_content += colourOperator(rgb, " rg\n");
    m_hasFill = true;
    m_fill = rgb;
}

void TQRPdfDocument::useStroke(const QPen& pen)
{
    if (pen.brush().style() != Qt::SolidPattern)
        throw EPdfUnsupported("patterned pen");
    const QRgb rgb = pen.color().rgb();
    const double width = pen.widthF();
    int cap = 0;
    if (pen.capStyle() == Qt::SquareCap)
        cap = 2;
    else if (pen.capStyle() == Qt::RoundCap)
        cap = 1;
    int join = 0;
    if (pen.joinStyle() == Qt::RoundJoin)
        join = 1;
    else if (pen.joinStyle() == Qt::BevelJoin)
        join = 2;
    std::string dash = "[] 0 d\n";
    if (pen.style() != Qt::SolidLine) {
        // Dashes are given in pen widths; a hairline counts as one pixel.
        const double unit = width > 0 ? width : 1;
        dash = "[";
        for (const qreal length : pen.dashPattern())
            dash += number(length * unit) + ' ';
        dash += "] " + number(pen.dashOffset() * unit) + " d\n";
    }
    const bool changes = !m_hasStroke || m_stroke != rgb || m_lineWidth != width || m_cap != cap ||
                         m_join != join || m_dash != dash;
    if (!changes)
        return;
    flushPath();
    if (!m_hasStroke || m_stroke != rgb) {
        m_content += colourOperator(rgb, " RG\n");
        m_hasStroke = true;
        m_stroke = rgb;
    }
    if (m_lineWidth != width) {
        m_content += number(width) + " w\n";
        m_lineWidth = width;
    }
    if (m_cap != cap) {
        m_content += std::to_string(cap) + " J\n";
        m_cap = cap;
    }
    if (m_join != join) {
        m_content += std::to_string(join) + " j\n";
        m_join = join;
    }
    if (m_dash != dash) {
        m_content += dash;
        m_dash = dash;
    }
}

void TQRPdfDocument::FillRect(const QRectF& rect, const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush)
        return;
    if (brush.style() != Qt::SolidPattern)
        throw EPdfUnsupported("patterned brush");
    if (m_pathKind == PathKind::Stroke)
        flushPath();
    useFill(brush.color());
    startPath(PathKind::Fill);
    appendPoint(m_content, rect.x(), rect.y(), " ");
    appendPoint(m_content, rect.width(), rect.height(), " re\n");
}

bool TQRPdfDocument::startStroke(const QPen& pen)
{
    if (pen.style() == Qt::NoPen)
        return false;
    if (m_pathKind == PathKind::Fill)
        flushPath();
    useStroke(pen);
    startPath(PathKind::Stroke);
    return true;
}

void TQRPdfDocument::StrokeLine(const QLineF& line, const QPen& pen)
{
    if (!startStroke(pen))
        return;
    appendPoint(m_content, line.x1(), line.y1(), " m ");
    appendPoint(m_content, line.x2(), line.y2(), " l\n");
}

void TQRPdfDocument::StrokeRect(const QRectF& rect, const QPen& pen)
{
    if (!startStroke(pen))
        return;
    appendPoint(m_content, rect.x(), rect.y(), " ");
    appendPoint(m_content, rect.width(), rect.height(), " re\n");
}

void TQRPdfDocument::DrawGlyphs(const QRawFont& raw, const quint32* glyphs,
                                const QPointF* positions, std::size_t count, const QColor& colour)
{
    if (count == 0)
        return;
    Font& font = this->font(raw);
    flushPath();
    useFill(colour);
    const double size = font.size;
    if (size <= 0)
        return;
    const int mode = font.boldStroke > 0 ? 2 : 0; // fill and stroke, or fill
    if (mode == 2)
        useStroke(QPen(colour, font.boldStroke, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    std::string& out = m_content;
    out += "BT\n";
    if (m_textMode != mode) {
        out += std::to_string(mode) + " Tr\n";
        m_textMode = mode;
    }
    out += "/F";
    out += std::to_string(font.number);
    out += ' ';
    appendNumber(out, size, 3);
    out += " Tf 1 0 0 -1 0 0 Tm\n";
    // Where the last Td put the line start and where the next glyph would go by the widths,
    // both as the viewer computes them from the written (rounded) numbers.
    double lineX = 0;
    double lineY = 0;
    double nextX = 0;
    bool open = false;
    for (std::size_t i = 0; i < count; ++i) {
        quint32 glyph = glyphs[i];
        if (glyph >= font.glyphCount)
            glyph = 0;
        const double x = positions[i].x();
        const double y = positions[i].y();
        const double gap = x - nextX;
        // A cell's glyphs stay in one string; another cell, line or a step back starts anew.
        if (open && std::fabs(y - lineY) < 0.05 && gap > -0.05 && gap < size / 2) {
            if (std::fabs(gap) >= 0.05) {
                const double adjust = rounded(-gap * 1000 / size, 1);
                out += "> ";
                appendNumber(out, adjust, 1);
                out += " <";
                nextX -= adjust * size / 1000;
            }
        } else {
            if (open)
                out += ">] TJ\n";
            const double dx = rounded(x - lineX, 1);
            const double dy = rounded(lineY - y, 1);
            appendPoint(out, dx, dy, " Td [<");
            lineX += dx;
            lineY -= dy;
            nextX = lineX;
            open = true;
        }
        appendHex4(out, glyph);
        nextX += glyphWidth(font, glyph) * size / 1000;
    }
    out += ">] TJ\nET\n";
}

void TQRPdfDocument::NoteText(const QRawFont& raw, const QList<quint32>& glyphs, bool rightToLeft,
                              const QString& text)
{
    Font& font = this->font(raw);
    const bool complete = std::all_of(glyphs.begin(), glyphs.end(), [&font](quint32 glyph) {
        return glyph >= font.glyphCount || !font.unicode[glyph].empty();
    });
    if (complete)
        return;
    // The text's characters with the glyph the font maps each to.
    struct Character {
        std::u16string text;
        quint32 glyph = 0;
    };
    std::vector<Character> characters;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        Character character;
        character.text.assign(reinterpret_cast<const char16_t*>(text.constData() + i),
                              std::size_t(length));
        int found = 1;
        raw.glyphIndexesForChars(text.constData() + i, int(length), &character.glyph, &found);
        characters.push_back(std::move(character));
        i += length;
    }
    // Glyphs in text order; one that no character maps to stands for the characters up to
    // the next glyph's (a ligature, a contextual form).
    std::vector<quint32> order(glyphs.begin(), glyphs.end());
    if (rightToLeft)
        std::reverse(order.begin(), order.end());
    std::size_t cursor = 0;
    auto findGlyph = [&characters](std::size_t from, quint32 glyph) {
        for (std::size_t at = from; at < characters.size(); ++at) {
            if (characters[at].glyph == glyph)
                return at;
        }
        return characters.size();
    };
    for (std::size_t k = 0; k < order.size(); ++k) {
        const quint32 glyph = order[k];
        if (glyph >= font.glyphCount)
            continue;
        std::u16string& mapped = font.unicode[glyph];
        const std::size_t at = findGlyph(cursor, glyph);
        if (at < characters.size()) {
            if (mapped.empty())
                mapped = characters[at].text;
            cursor = at + 1;
            continue;
        }
        std::size_t end =
            k + 1 < order.size() ? findGlyph(cursor, order[k + 1]) : characters.size();
        if (end == characters.size() && k + 1 < order.size())
            end = std::min(cursor + 1, characters.size());
        if (mapped.empty()) {
            for (std::size_t c = cursor; c < end; ++c)
                mapped += characters[c].text;
        }
        cursor = std::max(cursor, end);
    }
}

void TQRPdfDocument::writeFont(Font& font)
{
    const QRawFont& raw = font.raw;
    const std::string program = SubsetTrueType(
        [&raw](const char* tag) {
            const QByteArray table = raw.fontTable(tag);
            return std::string(table.constData(), std::size_t(table.size()));
        },
        font.used);
    if (program.empty())
        throw EPdfUnsupported("font tables unreadable: " + raw.familyName().toStdString());
    const QByteArray head = raw.fontTable("head");
    const QByteArray hhea = raw.fontTable("hhea");
    const QByteArray os2 = raw.fontTable("OS/2");
    const int unitsPerEm = std::max(16, read16(head, 18));
    const double scale = 1000.0 / unitsPerEm;
    // The heights the text was laid out with, which a font may take from its OS/2 table
    // rather than hhea: a viewer's text boxes then cover the lines as printed.
    const double pixelSize = raw.pixelSize();
    const int ascent = pixelSize > 0 ? qRound(raw.ascent() * 1000 / pixelSize)
                                     : qRound(readSigned16(hhea, 4) * scale);
    const int descent = pixelSize > 0 ? -qRound(raw.descent() * 1000 / pixelSize)
                                      : qRound(readSigned16(hhea, 6) * scale);
    const int capHeight =
        read16(os2, 0) >= 2 && os2.size() >= 90 ? qRound(readSigned16(os2, 88) * scale) : ascent;
    std::string baseName = "/ZLM";
    baseName += char('A' + (font.number / 676) % 26);
    baseName += char('A' + (font.number / 26) % 26);
    baseName += char('A' + font.number % 26);
    baseName += '+' + postScriptName(raw, font.boldStroke > 0);

    const int fileId = newObject();
    const int descriptorId = newObject();
    const int cidId = newObject();
    const int unicodeId = newObject();
    font.objectId = newObject();

    writeStream(fileId, " /Length1 " + std::to_string(program.size()),
                deflate(program, kFontCompression));

    beginObject(descriptorId);
    write("<< /Type /FontDescriptor /FontName " + baseName + " /Flags 4 /FontBBox [" +
          std::to_string(qRound(readSigned16(head, 36) * scale)) + ' ' +
          std::to_string(qRound(readSigned16(head, 38) * scale)) + ' ' +
          std::to_string(qRound(readSigned16(head, 40) * scale)) + ' ' +
          std::to_string(qRound(readSigned16(head, 42) * scale)) + "] /ItalicAngle " +
          number(raw.style() == QFont::StyleNormal ? 0 : -12) + " /Ascent " +
          std::to_string(ascent) + " /Descent " + std::to_string(descent) + " /CapHeight " +
          std::to_string(capHeight) + " /StemV 80 /FontFile2 " + std::to_string(fileId) +
          " 0 R >>\nendobj\n");

    std::string widths = "[";
    for (std::size_t glyph = 0; glyph < font.glyphCount;) {
        if (font.widths[glyph] < 0) {
            ++glyph;
            continue;
        }
        widths += std::to_string(glyph) + " [";
        for (; glyph < font.glyphCount && font.widths[glyph] >= 0; ++glyph)
            widths += number(font.widths[glyph], 1) + ' ';
        widths += "] ";
    }
    widths += ']';
    beginObject(cidId);
    write("<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + baseName +
          " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
          " /FontDescriptor " +
          std::to_string(descriptorId) + " 0 R /DW 0 /W " + widths +
          " /CIDToGIDMap /Identity >>\nendobj\n");

    std::vector<std::string> entries;
    for (std::size_t glyph = 0; glyph < font.glyphCount; ++glyph) {
        if (!font.used[glyph] || font.unicode[glyph].empty())
            continue;
        std::string entry = "<";
        appendHex4(entry, unsigned(glyph));
        entry += "> <";
        for (const char16_t unit : font.unicode[glyph])
            appendHex4(entry, unit);
        entry += ">\n";
        entries.push_back(std::move(entry));
    }
    std::string cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                       "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    for (std::size_t first = 0; first < entries.size(); first += 100) {
        const std::size_t last = std::min(entries.size(), first + 100);
        cmap += std::to_string(last - first) + " beginbfchar\n";
        for (std::size_t i = first; i < last; ++i)
            cmap += entries[i];
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    writeStream(unicodeId, "", deflate(cmap, kFontCompression));

    beginObject(font.objectId);
    write("<< /Type /Font /Subtype /Type0 /BaseFont " + baseName +
          " /Encoding /Identity-H /DescendantFonts [" + std::to_string(cidId) +
          " 0 R] /ToUnicode " + std::to_string(unicodeId) + " 0 R >>\nendobj\n");
}

void TQRPdfDocument::Finish()
{
    if (m_finished || !m_writer->thread.joinable())
        return;
    endPage();
    stopWriter();
    if (m_failed)
        throwWriteFailure();
    for (const auto& font : m_fonts)
        writeFont(*font);

    std::string fonts;
    for (const auto& font : m_fonts)
        fonts +=
            " /F" + std::to_string(font->number) + ' ' + std::to_string(font->objectId) + " 0 R";
    beginObject(kResources);
    write("<< /ProcSet [/PDF /Text] /Font <<" + fonts + " >> >>\nendobj\n");

    std::string kids;
    for (const int page : m_pages)
        kids += std::to_string(page) + " 0 R ";
    beginObject(kPageTree);
    write("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(m_pages.size()) +
          " >>\nendobj\n");

    beginObject(kCatalog);
    write("<< /Type /Catalog /Pages " + std::to_string(kPageTree) + " 0 R >>\nendobj\n");

    const QString now = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss"));
    beginObject(kInfo);
    std::string creator;
    if (!m_creator.isEmpty())
        creator = " /Creator " + utf16Hex(m_creator) + " /Producer " + utf16Hex(m_creator);
    write("<< /Title " + utf16Hex(m_title) + creator + " /CreationDate (D:" + now.toStdString() +
          "Z) >>\nendobj\n");

    const std::uint64_t xref = m_offset;
    std::string table =
        "xref\n0 " + std::to_string(m_objectOffsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::uint64_t offset : m_objectOffsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(offset));
        table += line;
    }
    write(table);
    write("trailer\n<< /Size " + std::to_string(m_objectOffsets.size() + 1) + " /Root " +
          std::to_string(kCatalog) + " 0 R /Info " + std::to_string(kInfo) +
          " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
    m_finished = true;
    if (m_failed)
        throwWriteFailure();
    if (m_ownFile)
        m_ownFile->Commit();
}
