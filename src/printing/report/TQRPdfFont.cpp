#include "TQRPdfFont.h"

#include "EPdfUnsupported.h"
#include "PdfSyntax.h"
#include "TQRPdfFile.h"
#include "TrueTypeSubset.h"

#include <QByteArray>
#include <QFont>
#include <QPointF>

#include <zlib.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kFontCompression = Z_DEFAULT_COMPRESSION;

int read16(const QByteArray& data, int at)
{
    if (at < 0 || at + 2 > data.size())
        return 0;
    return (std::uint8_t(data[at]) << 8) | std::uint8_t(data[at + 1]);
}

int readSigned16(const QByteArray& data, int at) { return std::int16_t(read16(data, at)); }

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

TQRPdfFont::TQRPdfFont(const QRawFont& raw, int number)
    : m_raw(raw)
    , m_number(number)
{
    if (raw.fontTable("glyf").isEmpty())
        throw EPdfUnsupported("font without TrueType outlines: " + raw.familyName().toStdString());
    // Embedding type: a restricted licence, or bitmaps only, forbid embedding the outlines.
    const int embedding = read16(raw.fontTable("OS/2"), 8);
    if ((embedding & 0x000F) == 0x0002 || (embedding & 0x0200) != 0)
        throw EPdfUnsupported("font must not be embedded: " + raw.familyName().toStdString());
    m_size = pdf::rounded(raw.pixelSize(), 3);
    m_glyphCount = std::size_t(std::max(1, read16(raw.fontTable("maxp"), 4)));
    m_widths.assign(m_glyphCount, -1);
    m_used.assign(m_glyphCount, false);
    m_unicode.assign(m_glyphCount, std::u16string());
    // The face is bold by its style bits (OS/2 fsSelection, else head macStyle) or its weight
    // class, as the font system reads them when it decides to thicken the glyphs.
    const QByteArray os2 = raw.fontTable("OS/2");
    const bool boldFace = os2.size() >= 64
                              ? (read16(os2, 62) & 0x0020) != 0 || read16(os2, 4) >= 700
                              : (read16(raw.fontTable("head"), 44) & 0x0001) != 0;
    if (raw.weight() >= QFont::Bold && !boldFace)
        m_boldStroke = raw.lineThickness() > 0 ? raw.lineThickness() / 2 : m_size / 60;
}

double TQRPdfFont::GlyphWidth(quint32 glyph)
{
    double& width = m_widths[glyph];
    if (width < 0) {
        const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(QList<quint32>{glyph});
        const double advance = advances.isEmpty() ? 0 : advances.front().x();
        width = m_size > 0 ? pdf::rounded(advance * 1000 / m_size, 1) : 0;
        m_used[glyph] = true;
    }
    return width;
}

void TQRPdfFont::NoteText(const QList<quint32>& glyphs, bool rightToLeft, const QString& text)
{
    const bool complete = std::all_of(glyphs.begin(), glyphs.end(), [this](quint32 glyph) {
        return glyph >= m_glyphCount || !m_unicode[glyph].empty();
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
        m_raw.glyphIndexesForChars(text.constData() + i, int(length), &character.glyph, &found);
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
        if (glyph >= m_glyphCount)
            continue;
        std::u16string& mapped = m_unicode[glyph];
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

std::string TQRPdfFont::unicodeMap() const
{
    std::vector<std::string> entries;
    for (std::size_t glyph = 0; glyph < m_glyphCount; ++glyph) {
        if (!m_used[glyph] || m_unicode[glyph].empty())
            continue;
        std::string entry = "<";
        pdf::appendHex4(entry, unsigned(glyph));
        entry += "> <";
        for (const char16_t unit : m_unicode[glyph])
            pdf::appendHex4(entry, unit);
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
    return cmap;
}

void TQRPdfFont::Write(TQRPdfFile& file)
{
    const QRawFont& raw = m_raw;
    const std::string program = SubsetTrueType(
        [&raw](const char* tag) {
            const QByteArray table = raw.fontTable(tag);
            return std::string(table.constData(), std::size_t(table.size()));
        },
        m_used);
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
    baseName += char('A' + (m_number / 676) % 26);
    baseName += char('A' + (m_number / 26) % 26);
    baseName += char('A' + m_number % 26);
    baseName += '+' + postScriptName(raw, m_boldStroke > 0);

    const int fileId = file.NewObject();
    const int descriptorId = file.NewObject();
    const int cidId = file.NewObject();
    const int unicodeId = file.NewObject();
    m_objectId = file.NewObject();

    file.WriteStream(fileId, " /Length1 " + std::to_string(program.size()), program,
                     kFontCompression);

    file.WriteObject(descriptorId,
                     "<< /Type /FontDescriptor /FontName " + baseName + " /Flags 4 /FontBBox [" +
                         std::to_string(qRound(readSigned16(head, 36) * scale)) + ' ' +
                         std::to_string(qRound(readSigned16(head, 38) * scale)) + ' ' +
                         std::to_string(qRound(readSigned16(head, 40) * scale)) + ' ' +
                         std::to_string(qRound(readSigned16(head, 42) * scale)) +
                         "] /ItalicAngle " +
                         pdf::number(raw.style() == QFont::StyleNormal ? 0 : -12) + " /Ascent " +
                         std::to_string(ascent) + " /Descent " + std::to_string(descent) +
                         " /CapHeight " + std::to_string(capHeight) + " /StemV 80 /FontFile2 " +
                         std::to_string(fileId) + " 0 R >>");

    std::string widths = "[";
    for (std::size_t glyph = 0; glyph < m_glyphCount;) {
        if (m_widths[glyph] < 0) {
            ++glyph;
            continue;
        }
        widths += std::to_string(glyph) + " [";
        for (; glyph < m_glyphCount && m_widths[glyph] >= 0; ++glyph)
            widths += pdf::number(m_widths[glyph], 1) + ' ';
        widths += "] ";
    }
    widths += ']';
    file.WriteObject(cidId, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + baseName +
                                " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) "
                                "/Supplement 0 >> /FontDescriptor " +
                                std::to_string(descriptorId) + " 0 R /DW 0 /W " + widths +
                                " /CIDToGIDMap /Identity >>");

    file.WriteStream(unicodeId, "", unicodeMap(), kFontCompression);

    file.WriteObject(m_objectId, "<< /Type /Font /Subtype /Type0 /BaseFont " + baseName +
                                     " /Encoding /Identity-H /DescendantFonts [" +
                                     std::to_string(cidId) + " 0 R] /ToUnicode " +
                                     std::to_string(unicodeId) + " 0 R >>");
}
