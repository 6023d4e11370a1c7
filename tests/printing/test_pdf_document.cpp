#include "FontFiles.h"
#include "PdfDevice.h"
#include "PdfFile.h"
#include "ScriptedReport.h"
#include "TQRPdfDocument.h"
#include "TrueTypeSubset.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

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

TEST(TrueTypeSubset, KeepsTheUsedGlyphsAndTheGlyphsTheyAreMadeOf)
{
    const QByteArray bytes = DejaVuSans();
    ASSERT_FALSE(bytes.isEmpty()) << "DejaVu Sans is not installed";
    const FontFile font(bytes);
    const QRawFont original(bytes, 100);
    ASSERT_TRUE(original.isValid());

    const quint32 a = GlyphOf(original, QLatin1Char('a'));
    const quint32 z = GlyphOf(original, QLatin1Char('z'));
    // An accented capital built from other glyphs.
    quint32 composite = 0;
    for (const QChar ch : QStringLiteral("ÄÖÜÅÉÈÑ")) {
        const std::string glyph = font.Glyph(GlyphOf(original, ch));
        if (glyph.size() >= 10 && std::int16_t(be16(glyph, 0)) < 0) {
            composite = GlyphOf(original, ch);
            break;
        }
    }
    ASSERT_NE(composite, 0u) << "no composite glyph among the accented capitals";

    std::vector<bool> used(original.fontTable("maxp").isEmpty() ? 0 : 7000, false);
    used.at(a) = true;
    used.at(composite) = true;
    const std::string subset = SubsetTrueType(font.Reader(), used);
    ASSERT_FALSE(subset.empty());
    EXPECT_LT(subset.size(), font.data.size() / 2);
    // The font's checksum adjustment makes the whole file sum to the magic number.
    EXPECT_EQ(Checksum(subset), 0xB1B0AFBAu);

    const QRawFont reduced(QByteArray(subset.data(), int(subset.size())), 100);
    ASSERT_TRUE(reduced.isValid());
    EXPECT_EQ(reduced.pathForGlyph(a), original.pathForGlyph(a));
    EXPECT_EQ(reduced.pathForGlyph(composite), original.pathForGlyph(composite));
    EXPECT_FALSE(reduced.pathForGlyph(composite).isEmpty());
    EXPECT_FALSE(original.pathForGlyph(z).isEmpty());
    EXPECT_TRUE(reduced.pathForGlyph(z).isEmpty());
    EXPECT_EQ(reduced.advancesForGlyphIndexes(QList<quint32>{z}),
              original.advancesForGlyphIndexes(QList<quint32>{z}));
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

TEST(PdfDocument, TextReadsBackAsWrittenFromEmbeddedSubsets)
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

TEST(PdfDocument, CrossReferenceTablePointsAtEveryObject)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("xref.pdf"));
    ScriptedReport report(500);
    report.Rows = 10;
    PrintReport(report.Report, PdfDevice::Direct, path);
    EXPECT_EQ(PdfFile(path).Pages(), 4);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string data = file.readAll().toStdString();
    const auto tail = QRegularExpression(QStringLiteral("startxref\\n(\\d+)\\n%%EOF\\n$"))
                          .match(QString::fromLatin1(data.substr(data.size() - 40).c_str()));
    ASSERT_TRUE(tail.hasMatch());
    const std::size_t xref = tail.captured(1).toULongLong();
    const auto head = QRegularExpression(QStringLiteral("^xref\\n0 (\\d+)\\n"))
                          .match(QString::fromLatin1(data.substr(xref, 30).c_str()));
    ASSERT_TRUE(head.hasMatch());
    const int count = head.captured(1).toInt();
    const std::size_t entries = xref + std::size_t(head.capturedLength(0));
    EXPECT_EQ(data.substr(entries, 20), "0000000000 65535 f \n");
    for (int id = 1; id < count; ++id) {
        const std::string entry = data.substr(entries + 20 * std::size_t(id), 20);
        ASSERT_EQ(entry.substr(10), " 00000 n \n") << "object " << id;
        const std::size_t offset = std::stoull(entry.substr(0, 10));
        const std::string object = std::to_string(id) + " 0 obj\n";
        EXPECT_EQ(data.substr(offset, object.size()), object);
    }
    EXPECT_NE(data.find("trailer\n<< /Size " + std::to_string(count) + " "), std::string::npos);
}

TEST(PdfDocument, FontsWhoseLicenceForbidsEmbeddingAreRefused)
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
        QTemporaryDir dir;
        TQRPdfDocument pdf(dir.filePath(QStringLiteral("f.pdf")));
        pdf.BeginPage(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()),
                      1200, 1200);
        const quint32 glyph = GlyphOf(font, QLatin1Char('a'));
        const QPointF position(100, 100);
        if (c.refused)
            EXPECT_THROW(pdf.DrawGlyphs(font, &glyph, &position, 1, Qt::black), EPdfUnsupported);
        else
            EXPECT_NO_THROW(pdf.DrawGlyphs(font, &glyph, &position, 1, Qt::black));
    }
}
