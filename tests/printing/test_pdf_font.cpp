#include "EPdfUnsupported.h"
#include "FontFiles.h"
#include "PdfDevice.h"
#include "PdfFile.h"
#include "ReportFonts.h"
#include "ScriptedReport.h"
#include "TQRPdfFont.h"
#include "TrueTypeSubset.h"

#include <QDir>
#include <QFile>
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

std::uint32_t be16(const std::string& data, std::size_t at)
{
    return (std::uint32_t(std::uint8_t(data.at(at))) << 8) | std::uint8_t(data.at(at + 1));
}

std::uint32_t be32(const std::string& data, std::size_t at)
{
    return (be16(data, at) << 16) | be16(data, at + 2);
}

QByteArray DejaVuSans() { return QByteArray::fromStdString(InstalledFont("DejaVu Sans")); }

// The tables of a font file by tag.
struct FontFile {
    std::string data;
    std::map<std::string, std::string> tables;

    explicit FontFile(const QByteArray& bytes)
        : data(bytes.constData(), bytes.size())
    {
        const std::size_t count = be16(data, 4);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t entry = 12 + 16 * i;
            const std::string tag = data.substr(entry, 4);
            tables[tag] = data.substr(be32(data, entry + 8), be32(data, entry + 12));
        }
    }

    FontTableReader Reader() const
    {
        return [this](const char* tag) {
            const auto found = tables.find(tag);
            return found == tables.end() ? std::string() : found->second;
        };
    }

    // The glyph's bytes in glyf.
    std::string Glyph(quint32 glyph) const
    {
        const std::string& loca = tables.at("loca");
        const bool longOffsets = be16(tables.at("head"), 50) != 0;
        const std::size_t start = longOffsets ? be32(loca, glyph * 4) : be16(loca, glyph * 2) * 2;
        const std::size_t end =
            longOffsets ? be32(loca, glyph * 4 + 4) : be16(loca, glyph * 2 + 2) * 2;
        return tables.at("glyf").substr(start, end - start);
    }
};

// The glyphs a composite glyph is drawn from.
std::vector<quint32> Components(const std::string& glyph)
{
    std::vector<quint32> parts;
    if (glyph.size() < 10 || std::int16_t(be16(glyph, 0)) >= 0)
        return parts;
    for (std::size_t at = 10; at + 4 <= glyph.size();) {
        const std::uint32_t flags = be16(glyph, at);
        parts.push_back(be16(glyph, at + 2));
        at += (flags & 0x0001) ? 8 : 6; // word or byte arguments
        at += (flags & 0x0008) ? 2 : (flags & 0x0040) ? 4 : (flags & 0x0080) ? 8 : 0; // scale
        if (!(flags & 0x0020)) // more components
            break;
    }
    return parts;
}

// A glyph's data as the subset holds it: the original's, at most without the zero bytes that
// pad it.
bool SameGlyphData(const std::string& reduced, const std::string& original)
{
    return original.compare(0, reduced.size(), reduced) == 0 &&
           original.find_first_not_of('\0', reduced.size()) == std::string::npos &&
           reduced.empty() == original.empty();
}

quint32 GlyphOf(const QRawFont& font, QChar ch)
{
    quint32 glyph = 0;
    int count = 1;
    font.glyphIndexesForChars(&ch, 1, &glyph, &count);
    return glyph;
}

std::uint32_t Checksum(const std::string& data)
{
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at + 4 <= data.size(); at += 4)
        sum += be32(data, at);
    return sum;
}

} // namespace

TEST(TrueTypeSubset, KeepsExactlyTheUsedGlyphsAndTheGlyphsTheyAreMadeOf)
{
    std::vector<std::pair<std::string, QByteArray>> fonts = {{"DejaVu Sans", DejaVuSans()}};
    ASSERT_FALSE(fonts.front().second.isEmpty()) << "DejaVu Sans is not installed";
    for (const char* name : {"tahoma.ttf", "tahomabd.ttf"}) {
        QFile file(QDir(ReportFontFolder()).filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::ReadOnly))
            fonts.emplace_back(name, file.readAll());
    }
    std::mt19937 random(20260312);
    for (const auto& [name, bytes] : fonts) {
        SCOPED_TRACE(name);
        const FontFile font(bytes);
        const QRawFont original(bytes, 100);
        ASSERT_TRUE(original.isValid());
        const quint32 count = be16(font.tables.at("maxp"), 4);
        std::vector<bool> drawn;
        for (quint32 glyph = 0; glyph < count; ++glyph)
            drawn.push_back(!original.pathForGlyph(glyph).isEmpty());

        // An accented capital built from other glyphs, and some glyphs anywhere in the font.
        std::vector<std::vector<quint32>> sets = {{GlyphOf(original, QLatin1Char('a'))}};
        for (const QChar ch : QStringLiteral("ÄÖÜÅÉÈÑ")) {
            if (!Components(font.Glyph(GlyphOf(original, ch))).empty()) {
                sets.front().push_back(GlyphOf(original, ch));
                break;
            }
        }
        ASSERT_EQ(sets.front().size(), 2u) << "no composite glyph among the accented capitals";
        for (int round = 0; round < 12; ++round) {
            std::vector<quint32> glyphs(1 + random() % 40);
            for (quint32& glyph : glyphs)
                glyph = random() % count;
            sets.push_back(glyphs);
        }

        for (const std::vector<quint32>& set : sets) {
            std::vector<bool> used(count + 100, false);
            std::vector<bool> kept(count, false);
            std::vector<quint32> pending = {0};
            for (const quint32 glyph : set) {
                used[glyph] = true;
                pending.push_back(glyph);
            }
            while (!pending.empty()) {
                const quint32 glyph = pending.back();
                pending.pop_back();
                if (glyph >= count || kept[glyph])
                    continue;
                kept[glyph] = true;
                for (const quint32 part : Components(font.Glyph(glyph)))
                    pending.push_back(part);
            }
            quint32 last = 0;
            std::size_t glyphBytes = 0;
            for (quint32 glyph = 0; glyph < count; ++glyph) {
                if (kept[glyph]) {
                    last = glyph;
                    glyphBytes += (font.Glyph(glyph).size() + 3) / 4 * 4;
                }
            }

            const std::string subset = SubsetTrueType(font.Reader(), used);
            ASSERT_FALSE(subset.empty());
            // The font's checksum adjustment makes the whole file sum to the magic number.
            EXPECT_EQ(Checksum(subset), 0xB1B0AFBAu);
            const FontFile reducedFile(QByteArray(subset.data(), int(subset.size())));
            // The glyphs after the last one kept are gone; ids up to it keep their place.
            EXPECT_EQ(be16(reducedFile.tables.at("maxp"), 4), last + 1);
            // What it holds besides the glyphs' own data: a few bytes of position and metrics
            // per glyph id, the tables that apply to all glyphs, and short names.
            std::size_t whole = 0;
            for (const char* tag :
                 {"OS/2", "cvt ", "fpgm", "gasp", "head", "hhea", "maxp", "prep"}) {
                const auto found = font.tables.find(tag);
                whole += found == font.tables.end() ? 0 : found->second.size();
            }
            EXPECT_LE(subset.size(), glyphBytes + 10 * (last + 1) + whole + 4096);

            // The outlines compare as data: a rasterizer that hints a font without hinting
            // programs of its own measures the font's other glyphs, which the subset lacks.
            const QRawFont reduced(QByteArray(subset.data(), int(subset.size())), 100);
            ASSERT_TRUE(reduced.isValid());
            for (quint32 glyph = 0; glyph < count; ++glyph) {
                const std::string data = glyph <= last ? reducedFile.Glyph(glyph) : std::string();
                if (kept[glyph]) {
                    ASSERT_TRUE(SameGlyphData(data, font.Glyph(glyph))) << glyph;
                    ASSERT_EQ(!reduced.pathForGlyph(glyph).isEmpty(), drawn[glyph]) << glyph;
                    ASSERT_EQ(reduced.advancesForGlyphIndexes(QList<quint32>{glyph}),
                              original.advancesForGlyphIndexes(QList<quint32>{glyph}))
                        << glyph;
                } else {
                    ASSERT_TRUE(data.empty()) << glyph;
                }
            }
        }
    }
}

TEST(TrueTypeSubset, DamagedTablesGiveNoFontOrEmptyGlyphs)
{
    const QByteArray bytes = DejaVuSans();
    ASSERT_FALSE(bytes.isEmpty()) << "DejaVu Sans is not installed";
    const QRawFont original(bytes, 100);
    const quint32 a = GlyphOf(original, QLatin1Char('a'));
    // Far from 'a', whose end is also the next glyph's start.
    const quint32 b = GlyphOf(original, QLatin1Char('x'));
    const std::vector<bool> used(7000, true);

    struct Case {
        const char* name;
        std::function<void(FontFile&)> damage;
        bool font;
    };
    const std::vector<Case> cases = {
        {"no glyf table", [](FontFile& f) { f.tables.erase("glyf"); }, false},
        {"no hmtx table", [](FontFile& f) { f.tables.erase("hmtx"); }, false},
        {"head cut short", [](FontFile& f) { f.tables["head"].resize(40); }, false},
        {"loca shorter than the glyph count", [](FontFile& f) { f.tables["loca"].resize(8); },
         false},
        {"glyph count of zero",
         [](FontFile& f) { f.tables["maxp"][4] = f.tables["maxp"][5] = '\0'; }, false},
        {"glyph 'a' reaching past glyf",
         [a](FontFile& f) {
             std::string& loca = f.tables["loca"];
             const bool longOffsets = be16(f.tables["head"], 50) != 0;
             for (int i = 0; i < (longOffsets ? 4 : 2); ++i)
                 loca[(a + 1) * (longOffsets ? 4 : 2) + i] = '\xFF';
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FontFile font(bytes);
        c.damage(font);
        const std::string subset = SubsetTrueType(font.Reader(), used);
        ASSERT_EQ(!subset.empty(), c.font);
        if (!c.font)
            continue;
        const QRawFont reduced(QByteArray(subset.data(), int(subset.size())), 100);
        ASSERT_TRUE(reduced.isValid());
        EXPECT_TRUE(reduced.pathForGlyph(a).isEmpty());
        EXPECT_EQ(reduced.pathForGlyph(b), original.pathForGlyph(b));
    }
}

TEST(PdfFont, TextReadsBackAsWrittenFromEmbeddedSubsets)
{
    struct Case {
        QString text;
        QString reads;
    };
    const std::vector<Case> cases = {
        // Ligatures stand for their letters.
        {QStringLiteral("Treffer fine flow"), QStringLiteral("Treffer fine flow")},
        {QStringLiteral("Grüße – 5 € ½ ©"), QStringLiteral("Grüße – 5 € ½ ©")},
        {QStringLiteral("Ωμέγα Жизнь"), QStringLiteral("Ωμέγα Жизнь")},
        // Control characters print as nothing.
        {QStringLiteral("A\tB\x01"
                        "C"),
         QStringLiteral("ABC")},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.pdf"));
    ScriptedReport report;
    report.Rows = int(cases.size());
    const auto needData = report.Report.OnNeedData;
    std::size_t row = 0;
    report.Report.OnNeedData = [&](TQuickRep& rep, bool& more) {
        needData(rep, more);
        if (more)
            report.RowLabel.SetCaption(cases.at(row++).text);
    };
    PrintReport(report.Report, PdfDevice::Direct, path);

    const PdfFile pdf(path);
    const QString text = pdf.Text(1);
    for (const Case& c : cases)
        EXPECT_TRUE(text.contains(c.reads)) << c.reads.toStdString() << " in\n"
                                            << text.toStdString();
    const QStringList fonts = pdf.Fonts();
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts) {
        SCOPED_TRACE(font.toStdString());
        EXPECT_TRUE(font.contains(QStringLiteral("CID TrueType")));
        // Embedded, a subset, with a Unicode map.
        EXPECT_TRUE(font.contains(QRegularExpression(QStringLiteral("\\byes\\s+yes\\s+yes\\b"))));
    }
}

TEST(PdfFont, FontsWhoseLicenceForbidsEmbeddingAreRefused)
{
    const QByteArray bytes = DejaVuSans();
    ASSERT_FALSE(bytes.isEmpty()) << "DejaVu Sans is not installed";
    struct Case {
        int embedding; // the OS/2 table's fsType
        bool refused;
    };
    const std::vector<Case> cases = {
        {0x0000, false}, // installable
        {0x0002, true},  // restricted licence
        {0x0004, false}, // preview and print
        {0x0008, false}, // editable
        {0x0204, true},  // bitmaps only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "fsType " << c.embedding);
        const QByteArray patched =
            QByteArray::fromStdString(WithEmbeddingBits(bytes.toStdString(), c.embedding));
        const QRawFont font(patched, 50);
        ASSERT_TRUE(font.isValid());
        if (c.refused)
            EXPECT_THROW(TQRPdfFont(font, 1), EPdfUnsupported);
        else
            EXPECT_NO_THROW(TQRPdfFont(font, 1));
    }
}
