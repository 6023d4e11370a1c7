#include "Errors.h"
#include "HostileLogs.h"
#include "MprWriter.h"
#include "Samples.h"
#include "TMatchDocument.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

namespace {

void ExpectSameContent(const TMatchDocument& a, const TMatchDocument& b)
{
    EXPECT_EQ(a.OpaqueFlag, b.OpaqueFlag);
    EXPECT_EQ(a.GroupMode, b.GroupMode);
    EXPECT_EQ(a.IntraKinds, b.IntraKinds);
    EXPECT_EQ(a.FileLabelKind, b.FileLabelKind);
    EXPECT_EQ(a.OpaqueValue, b.OpaqueValue);
    EXPECT_EQ(a.KindLetters, b.KindLetters);
    EXPECT_EQ(a.OwnPriorityMark, b.OwnPriorityMark);
    EXPECT_EQ(a.MatrixKind, b.MatrixKind);
    EXPECT_EQ(a.MatrixTriangular, b.MatrixTriangular);
    EXPECT_EQ(a.Legacy, b.Legacy);
    EXPECT_EQ(a.SingleNumber, b.SingleNumber);
    EXPECT_EQ(a.Columns, b.Columns);
    EXPECT_EQ(a.OriginId, b.OriginId);
    EXPECT_EQ(a.CustomerText, b.CustomerText);
    EXPECT_EQ(a.HeadText, b.HeadText);
    EXPECT_EQ(a.TaskText, b.TaskText);
    EXPECT_EQ(a.PercentText, b.PercentText);
    EXPECT_EQ(a.InfoLines, b.InfoLines);
    EXPECT_EQ(a.GrossTotal, b.GrossTotal);
    EXPECT_EQ(a.HitsTotal, b.HitsTotal);
    EXPECT_EQ(a.FileCount, b.FileCount);
    ASSERT_EQ(a.Entries.size(), b.Entries.size());
    for (size_t i = 0; i < a.Entries.size(); ++i) {
        const TMatchDocFileEntry &x = a.Entries[i], &y = b.Entries[i];
        EXPECT_EQ(std::tie(x.Kind, x.OwnPriority, x.Priority, x.Ident, x.Name, x.Gross, x.Intra,
                           x.Duplicates, x.Hits, x.NetEstimate, x.Multi),
                  std::tie(y.Kind, y.OwnPriority, y.Priority, y.Ident, y.Name, y.Gross, y.Intra,
                           y.Duplicates, y.Hits, y.NetEstimate, y.Multi))
            << "entry " << i;
    }
    EXPECT_EQ(a.Ratings, b.Ratings);
    EXPECT_EQ(a.Matrix, b.Matrix);
    ASSERT_EQ(a.AddedColumns.size(), b.AddedColumns.size());
    for (size_t i = 0; i < a.AddedColumns.size(); ++i) {
        EXPECT_EQ(a.AddedColumns[i].Cells, b.AddedColumns[i].Cells);
        EXPECT_EQ(a.AddedColumns[i].SumWithout, b.AddedColumns[i].SumWithout);
        EXPECT_EQ(a.AddedColumns[i].SumWith, b.AddedColumns[i].SumWith);
        EXPECT_EQ(a.AddedColumns[i].LeftAligned, b.AddedColumns[i].LeftAligned);
    }
}

// A small document: n files, every field set to something recognisable.
TMatchDocument Small(int32_t n, uint8_t matrixKind = 0)
{
    return GeneratedLog(n, matrixKind, 42u + static_cast<uint32_t>(n));
}

// The plain body of a document without information lines whose column codes are exactly the
// given ones, as the file holds them (the writer would convert codes for an old version).
std::string BodyWithStoredCodes(TMatchDocument doc, const TColumnMap& codes,
                                const MprOptions& options)
{
    doc.Columns.clear();
    doc.InfoLines.clear();
    std::string body = PlainBody(doc, options);
    MprBody stored;
    for (int32_t code : codes)
        stored.Int32(code);
    PatchInt32(body, LeadingOffset::ColumnCount, static_cast<int32_t>(codes.size()));
    size_t columnsAt = TMatchDocument::kLeadingRecordSize + (options.Version >= 6 ? 16 : 0);
    for (const std::string* text :
         {&doc.CustomerText, &doc.HeadText, &doc.TaskText, &doc.PercentText})
        columnsAt += 4 + text->size();
    body.insert(columnsAt, stored.Data);
    return body;
}

class DocumentFiles : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes, const std::string& name = "log.mpr")
    {
        const std::string path = dir.Path(name);
        WriteFileBytes(path, bytes);
        return path;
    }
    TMatchDocument Load(const std::string& bytes)
    {
        TMatchDocument doc;
        doc.LoadFromFile(Write(bytes));
        return doc;
    }
    std::string LoadError(const std::string& bytes)
    {
        TMatchDocument doc;
        const std::string path = Write(bytes, "bad.mpr");
        try {
            doc.LoadFromFile(path);
        } catch (const std::exception& e) {
            EXPECT_TRUE(doc.FileName.empty());
            std::string message = e.what();
            const auto at = message.find(path);
            if (at != std::string::npos)
                message.replace(at, path.size(), "%s");
            return message;
        }
        return "loaded";
    }
    TempDir dir;
};

} // namespace

TEST_F(DocumentFiles, SamplesRoundTrip)
{
    for (const SampleLog& sample : AllSamples()) {
        SCOPED_TRACE(sample.FileName);
        const std::string path = Write(MprFile(sample.Document, sample.Options), sample.FileName);
        TMatchDocument doc;
        doc.LoadFromFile(path);
        EXPECT_EQ(doc.FileName, path);
        ExpectSameContent(doc, sample.Document);
    }
}

TEST_F(DocumentFiles, FileCountShapes)
{
    struct Case {
        int32_t n;
        uint8_t matrixKind;
        size_t rows;
        std::vector<size_t> rowLengths;
    };
    const Case cases[] = {
        {0, 0, 0, {}}, {1, 0, 0, {}}, {2, 0, 2, {0, 1}}, {3, 1, 3, {3, 3, 3}}, {3, 2, 3, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        TMatchDocument written = Small(c.n, c.matrixKind);
        TMatchDocument doc = Load(MprFile(written));
        EXPECT_EQ(doc.FileCount, c.n);
        EXPECT_EQ(doc.Entries.size(), size_t(c.n) + 1);
        ASSERT_EQ(doc.Matrix.size(), c.rows);
        for (size_t r = 0; r < c.rows; ++r)
            EXPECT_EQ(doc.Matrix[r].size(), c.rowLengths[r]);
        EXPECT_EQ(doc.MatrixTriangular, c.matrixKind != 1);
        ExpectSameContent(doc, written);
    }
}

TEST_F(DocumentFiles, MatrixRowsAreStoredLastFirst)
{
    TMatchDocument written = Small(3, 1);
    written.Matrix = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    const std::string body = PlainBody(written);
    // The last 36 bytes are the matrix: row 2 first, then 1, then 0.
    MprBody expected;
    for (int v : {7, 8, 9, 4, 5, 6, 1, 2, 3})
        expected.Int32(v);
    EXPECT_EQ(body.substr(body.size() - 36), expected.Data);
    EXPECT_EQ(Load(Assemble(body)).Matrix, written.Matrix);
}

TEST_F(DocumentFiles, RatingsOfOneElementAreNotStored)
{
    TMatchDocument written = Small(0);
    written.Ratings = {0};
    const std::string oneElement = PlainBody(written);
    EXPECT_EQ(Load(Assemble(oneElement)).Ratings, TRatingData{0});
    written.Ratings = {3, 4};
    const std::string two = PlainBody(written);
    EXPECT_EQ(two.size(), oneElement.size() + 8);
    EXPECT_EQ(Load(Assemble(two)).Ratings, (TRatingData{3, 4}));
}

TEST_F(DocumentFiles, VersionDifferences)
{
    TMatchDocument written = Small(2);
    written.Columns = {-12, -2, -6, -10, -15, -4, 1};
    written.OriginId.fill(0xAB);
    MprOptions v4;
    v4.Version = 4;
    v4.LegacyMagic = true;
    // Old column codes as a version-4 file stores them.
    std::string body = PlainBody(written, v4);
    const TMatchDocument old = Load(Assemble(body, v4));
    EXPECT_EQ(old.Columns, (TColumnMap{-12, -2, -6, -10, -15, -4, 1}));
    EXPECT_TRUE(old.Legacy);
    EXPECT_EQ(old.Entries[0].Hits, -1);
    EXPECT_EQ(old.Entries[1].Hits, written.Entries[1].Hits);
    EXPECT_EQ(old.OriginId, (std::array<uint8_t, 16>{}));

    MprOptions v5;
    v5.Version = 5;
    const TMatchDocument five = Load(MprFile(written, v5));
    EXPECT_FALSE(five.Legacy);
    EXPECT_EQ(five.OriginId, (std::array<uint8_t, 16>{}));
    EXPECT_EQ(five.Columns, written.Columns);

    const TMatchDocument six = Load(MprFile(written));
    EXPECT_EQ(six.OriginId, written.OriginId);
    written.Entries[0].Hits = -1;
    EXPECT_TRUE(Load(MprFile(written)).Legacy);
}

TEST_F(DocumentFiles, OldColumnCodesAreShifted)
{
    MprOptions v4;
    v4.Version = 4;
    const std::string body = BodyWithStoredCodes(Small(1), {-11, -2, -5, -9, 1}, v4);
    EXPECT_EQ(Load(Assemble(body, v4)).Columns, (TColumnMap{-12, -2, -6, -10, 1}));
}

TEST_F(DocumentFiles, SecurityCode)
{
    const TMatchDocument written = Small(2);
    for (uint8_t code : {0, 1, 2, 3, 255}) {
        MprOptions options;
        options.SecurityCode = code;
        const std::string result = LoadError(MprFile(written, options));
        if (code == 1 || code == 2)
            EXPECT_EQ(result, "loaded");
        else
            EXPECT_EQ(result, "Statistik-Protokoll \"%s\": ungültiger Sicherheitscode") << +code;
    }
}

TEST_F(DocumentFiles, TextsKeepOrderDuplicatesAndEmptiness)
{
    TMatchDocument written = Small(2);
    written.InfoLines = {"gleich", "gleich", "", "\xc4nderung"};
    written.Entries[1].Ident.clear();
    written.Entries[1].Name.clear();
    const TMatchDocument doc = Load(MprFile(written));
    EXPECT_EQ(doc.InfoLines, written.InfoLines);
    EXPECT_EQ(doc.Entries[1].Ident, "");
    EXPECT_EQ(doc.Entries[1].Name, "");
}

TEST_F(DocumentFiles, ReloadReplacesAndClearKeepsSingleBytes)
{
    TMatchDocument doc;
    doc.LoadFromFile(Write(MprFile(SampleWholeLog()), "a.mpr"));
    doc.LoadFromFile(Write(MprFile(Small(0)), "b.mpr"));
    ExpectSameContent(doc, Small(0));

    doc.LoadFromFile(Write(MprFile(SampleWholeLog()), "a.mpr"));
    doc.Clear();
    EXPECT_TRUE(doc.FileName.empty());
    EXPECT_EQ(doc.FileCount, 0);
    EXPECT_TRUE(doc.Entries.empty() && doc.Columns.empty() && doc.InfoLines.empty());
    EXPECT_TRUE(doc.Ratings.empty() && doc.Matrix.empty() && doc.AddedColumns.empty());
    EXPECT_EQ(doc.OriginId, (std::array<uint8_t, 16>{}));
    EXPECT_EQ(doc.KindLetters, SampleWholeLog().KindLetters);
    EXPECT_EQ(doc.GrossTotal, SampleWholeLog().GrossTotal);
    EXPECT_EQ(doc.OpaqueValue, SampleWholeLog().OpaqueValue);
}

TEST(Document, IntraKindsFollowGroupMode)
{
    TMatchDocument doc;
    doc.GroupMode = 1;
    doc.UpdateIntraKinds();
    EXPECT_EQ(doc.IntraKinds, 0b01);
    doc.GroupMode = 0;
    doc.UpdateIntraKinds();
    EXPECT_EQ(doc.IntraKinds, 0b11);
}

TEST_F(DocumentFiles, HostileCountsFailWithoutAllocating)
{
    const std::string eof = "Versuch hinter dem Dateiende zu lesen";
    const std::string notALog = "\"%s\" ist kein Statistik-Protokoll";
    struct Case {
        size_t offset;
        int32_t value;
        std::string expected;
    };
    const Case cases[] = {
        {LeadingOffset::FileCount, -1, notALog},
        {LeadingOffset::InfoCount, -1, notALog},
        {LeadingOffset::AddedCount, -7, notALog},
        {LeadingOffset::RatingTop, -1, notALog},
        {LeadingOffset::FileCount, 0x7fffffff, eof},
        {LeadingOffset::FileCount, 50000, eof},
        {LeadingOffset::InfoCount, 0x7fffffff, eof},
        {LeadingOffset::ColumnCount, 0x7fffffff, eof},
        {LeadingOffset::AddedCount, 0x7fffffff, eof},
        {LeadingOffset::RatingTop, 0x7fffffff, eof},
        {LeadingOffset::RatingTop, 100, eof},
        {LeadingOffset::ColumnCount, -3, "loaded"}, // no codes, the rest is read on
    };
    TMatchDocument written = Small(3);
    written.Columns.clear();
    for (const Case& c : cases) {
        std::string body = PlainBody(written);
        PatchInt32(body, c.offset, c.value);
        EXPECT_EQ(LoadError(Assemble(body)), c.expected) << c.offset << " " << c.value;
    }
}

TEST_F(DocumentFiles, EveryTruncationFailsCleanly)
{
    const std::string whole = MprFile(SampleWholeLog());
    for (size_t size = 0; size < whole.size(); ++size) {
        const std::string result = LoadError(whole.substr(0, size));
        const std::string expected = size < 44 ? "\"%s\" ist kein Statistik-Protokoll"
                                               : "Versuch hinter dem Dateiende zu lesen";
        ASSERT_EQ(result, expected) << size;
    }
    EXPECT_EQ(LoadError(whole + "trailing bytes are not looked at"), "loaded");
}

TEST_F(DocumentFiles, MissingFileLeavesNameEmpty)
{
    TMatchDocument doc;
    doc.LoadFromFile(Write(MprFile(Small(2))));
    EXPECT_THROW(doc.LoadFromFile(dir.Path("gone.mpr")), EInOutError);
    EXPECT_TRUE(doc.FileName.empty());
}

TEST(Samples, CommittedFilesMatchTheirBuilders)
{
    for (const SampleLog& sample : AllSamples()) {
        const std::string path = std::string(ZELMORA_SAMPLES_DIR) + "/" + sample.FileName;
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path;
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(bytes, MprFile(sample.Document, sample.Options))
            << sample.FileName << ": rebuild samples/ with make_samples";
    }
}

TEST_F(DocumentFiles, OldColumnCodesNeverWrap)
{
    // Codes as a version-4 file stores them, at the ends of the 32-bit range and around the
    // system codes: the shift must not overflow, least of all into the added columns.
    const int32_t lowest = std::numeric_limits<int32_t>::min();
    const int32_t highest = std::numeric_limits<int32_t>::max();
    const std::vector<std::pair<int32_t, int32_t>> cases = {
        {lowest, lowest},
        {lowest + 1, lowest},
        {lowest + 2, lowest + 1},
        {-15, -16},
        {-14, -15},
        {-5, -6},
        {-4, -4},
        {0, 0},
        {highest, highest},
    };
    TColumnMap stored;
    TColumnMap expected;
    for (const auto& [old, current] : cases) {
        stored.push_back(old);
        expected.push_back(current);
    }
    MprOptions v4;
    v4.Version = 4;
    EXPECT_EQ(Load(Assemble(BodyWithStoredCodes(Small(1), stored, v4), v4)).Columns, expected);
}

TEST_F(DocumentFiles, PagesBeyondTheirBoundsAreRefused)
{
    // Each bound is reached exactly by the first of a pair and passed by one by the second.
    const auto repeated = [](TMatchDocument doc, int32_t code, int64_t times) {
        doc.Columns.assign(static_cast<size_t>(times), code);
        return doc;
    };
    const auto hugeCell = [](int64_t length) {
        TMatchDocument doc = PlainFilesLog(1);
        TMatchDocAddColEntry column;
        column.Cells = {"", "", std::string(static_cast<size_t>(length), 'W'), "", ""};
        doc.AddedColumns = {column};
        return doc;
    };
    const auto longNames = [](int32_t files, size_t length) {
        TMatchDocument doc = PlainFilesLog(files);
        for (int32_t i = 0; i < files; ++i)
            doc.Entries[i].Name.assign(length, 'n');
        return doc;
    };
    const auto info = [](size_t lines, size_t length) {
        TMatchDocument doc = PlainFilesLog(1);
        doc.InfoLines.assign(lines, std::string(length, 'i'));
        return doc;
    };
    const auto withLine = [](TMatchDocument doc, const std::string& line) {
        doc.InfoLines.push_back(line);
        return doc;
    };
    const std::string tooLarge = "Statistik-Protokoll \"%s\" ist zu groß zum Anzeigen: ";
    struct Case {
        const char* what;
        TMatchDocument doc;
        std::string expected;
    };
    const Case cases[] = {
        {"columns", repeated(PlainFilesLog(1), -2, 10000), "loaded"},
        {"columns", repeated(PlainFilesLog(1), -2, 10001),
         tooLarge + "10001 Spalten (höchstens 10000)"},
        {"cells", repeated(PlainFilesLog(996), -11, 10000), "loaded"},
        {"cells", repeated(PlainFilesLog(997), -11, 10000),
         tooLarge + "10010000 Zellen in der Dateitabelle (höchstens 10000000)"},
        {"added text", repeated(hugeCell(65536), 1, 1024), "loaded"},
        {"added text", repeated(hugeCell(65536), 1, 1025),
         tooLarge + "67174400 Zeichen Text in der Dateitabelle (höchstens 67108864)"},
        {"names", repeated(longNames(2, 32768), -13, 1024), "loaded"},
        {"names", repeated(longNames(2, 32768), -13, 1025),
         tooLarge + "67174400 Zeichen Text in der Dateitabelle (höchstens 67108864)"},
        {"info lines", info(50000, 0), "loaded"},
        {"info lines", info(50001, 0), tooLarge + "50001 Informationszeilen (höchstens 50000)"},
        {"info text", info(1024, 4096), "loaded"},
        {"info text", withLine(info(1024, 4096), "x"),
         tooLarge + "4194305 Zeichen Informationstext (höchstens 4194304)"},
        {"info line", info(1, 4096), "loaded"},
        {"info line", info(1, 4097),
         tooLarge + "4097 Zeichen in einer Informationszeile (höchstens 4096)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoadError(MprFile(c.doc)), c.expected) << c.what;
}

TEST_F(DocumentFiles, HostileLogsLoadOrAreRefused)
{
    for (const HostileLog& log : HostileLogs()) {
        const std::string result = LoadError(MprFile(log.Build()));
        if (log.Refused)
            EXPECT_NE(result.find("ist zu groß zum Anzeigen"), std::string::npos) << log.Name;
        else
            EXPECT_EQ(result, "loaded") << log.Name;
    }
}
