#include "ExportCommand.h"
#include "GridCsv.h"
#include "JsonWriter.h"
#include "MprWriter.h"
#include "PageExport.h"
#include "ProductIdentity.h"
#include "Samples.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct ExportRun {
    int code;
    std::string out, err;
};

ExportRun Export(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = RunExport(args, out, err);
    return {code, out.str(), err.str()};
}

} // namespace

TEST(ExportArguments, UsageErrorsExitTwo)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"log.mpr"},
        {"--json"},
        {"--lang", "fr", "--json", "log.mpr"},
        {"--csv", "sums", "log.mpr"},
        {"--json", "--singles", "log.mpr"},
        {"--json", "a.mpr", "b.mpr"},
        {"--json", "--csv", "files", "a.mpr"},
    };
    for (const auto& args : bad) {
        const ExportRun run = Export(args);
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(run.err.find("usage: zelmora-export"), std::string::npos);
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(ExportArguments, HelpAndVersionOnStdoutExitZero)
{
    const struct {
        std::vector<std::string> args;
        std::string outStart;
    } cases[] = {
        {{"--help"}, "usage: zelmora-export"},
        // Whatever else the line holds, even a bad argument or a log that is not there.
        {{"--json", "missing.mpr", "--help"}, "usage: zelmora-export"},
        {{"--version"}, std::string("zelmora-export (ZelmoraViewer) ") + kViewerVersion + "\n"},
        {{"--csv", "files", "--version", "--help"}, "zelmora-export (ZelmoraViewer) "},
    };
    for (const auto& c : cases) {
        const ExportRun run = Export(c.args);
        EXPECT_EQ(run.code, 0) << c.args.front();
        EXPECT_EQ(run.out.rfind(c.outStart, 0), 0u) << run.out;
        EXPECT_EQ(run.err, "");
    }
    // The help names every option the parser takes.
    const std::string help = Export({"--help"}).out;
    for (const char* option : {"--lang", "--json", "--csv", "--pdf", "--singles", "--no-table",
                               "--no-matrix", "--no-ratings", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

TEST(ExportJson, DocumentOfTheSample)
{
    TempDir dir;
    const std::string path = dir.Path("whole.mpr");
    WriteFileBytes(path, MprFile(SampleWholeLog()));
    const ExportRun run = Export({"--lang", "en", "--json", path});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.rfind("{\"path\":" + JsonWriter::Escape(path) + ",\"language\":\"en\"", 0),
              0u);
    for (const char* part :
         {"\"customerText\":\"Versandhaus M\xc3\xbcller & S\xc3\xb6hne GmbH, K\xc3\xb6ln\"",
          "\"taskText\":\"Auftrag 4711 \xe2\x80\x93 Abgleich", "\"intraKinds\":[0,1]",
          "\"kindLetters\":\"GMSK\"", "\"originId\":\"3f2a910c5e7741d28b19e460a50fc358\"",
          "\"columns\":[-12,-13,-11,-15,-14,-2,-3,-4,-5,-6,-7,-8,-9,-10,1,2]",
          "\"ratings\":[18120,9040,3115,806,122,17]", "\"matrix\":[[],["})
        EXPECT_NE(run.out.find(part), std::string::npos) << part;
}

TEST(ExportJson, LoadFailureIsOneGermanLine)
{
    TempDir dir;
    const std::string path = dir.Path("short.mpr");
    WriteFileBytes(path, "too short");
    const ExportRun run = Export({"--json", path});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "\"" + path + "\" ist kein Statistik-Protokoll\n");
    EXPECT_TRUE(run.out.empty());
}

TEST(ExportJson, EscapesControlCharacters)
{
    EXPECT_EQ(JsonWriter::Escape("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    std::ostringstream out;
    JsonWriter json(out);
    json.BeginObject().Key("a").BeginArray().Int(1).Null().Bool(true).EndArray();
    json.Key("b").String("x").EndObject();
    json.Flush();
    EXPECT_EQ(out.str(), "{\"a\":[1,null,true],\"b\":\"x\"}");
}

namespace {

std::string SamplePath(const TempDir& dir, const SampleLog& sample)
{
    const std::string path = dir.Path(sample.FileName);
    WriteFileBytes(path, MprFile(sample.Document, sample.Options));
    return path;
}

} // namespace

TEST(ExportCsv, GridsOfTheSamples)
{
    TempDir dir;
    const auto samples = AllSamples();
    const std::string whole = SamplePath(dir, samples[0]);
    const ExportRun files = Export({"--csv", "files", whole});
    ASSERT_EQ(files.code, 0) << files.err;
    EXPECT_EQ(files.out.substr(0, files.out.find("\r\n")),
              ",,,,,S\xc3\xa4tze,Intra-,Dubletten,Dubletten,Dubletten,S\xc3\xa4tze,S\xc3\xa4tze,"
              "S\xc3\xa4tze,S\xc3\xa4tze,Porto,Region");
    // Tests run in the C locale: a decimal point.
    EXPECT_NE(files.out.find("\r\nKAT26,katalog_fruehjahr_2026.dat,1,G,5 ,120000,1840,9200,310,"
                             "7.67,92,110800,106700,4100,9580,Nord\r\n"),
              std::string::npos);
    const ExportRun english = Export({"--lang", "en", "--csv", "ratings", whole});
    EXPECT_EQ(english.out, ",Replacements\r\nData Records,18120\r\nF1,9040\r\nF2,3115\r\nF3,806\r\n"
                           "F4,122\r\nF5,17\r\n");
    const std::string one = SamplePath(dir, samples[2]);
    const ExportRun matrix = Export({"--csv", "matrix", one});
    EXPECT_EQ(matrix.code, 0);
    EXPECT_EQ(matrix.out, ""); // one file: no matrix page
    EXPECT_EQ(CsvField("a,\"b\""), "\"a,\"\"b\"\"\"");
}

TEST(ExportJson, PagesOfTheSamples)
{
    TempDir dir;
    const auto samples = AllSamples();
    const ExportRun whole = Export({"--json", SamplePath(dir, samples[0])});
    for (const std::string& part : std::initializer_list<std::string>{
             "\"pages\":[\"Titel\",\"Dateien\",\"Matrix\",\"Ratings\"]",
             std::string("\"caption\":\"") + kApplicationTitle + " - Statistik-Protokoll - ",
             "\"customer\":\"  Versandhaus M\xc3\xbcller & S\xc3\xb6hne GmbH, K\xc3\xb6ln\"",
             "\"percent\":\"  71,35 %\"",
             "\"fixedRows\":2,\"fixedCols\":3,\"sumPanelsEnabled\":true",
             "\"legend\":\"G = Grunddatei, M = Master-Datei, S = Sperrdatei, K = "
             "Kompaktsperrdatei, * = datensatzeigene Priorit\xc3\xa4t kommt hinzu\"",
             "\"sumCaptions\":[\"   Summe ohne Sperrdateien\",\"   Summe mit  Sperrdateien\"]",
             "\"matrix\":{\"title\":\"Kompatibilit\xc3\xa4tsmatrix\",\"fixedCols\":3,",
             "\"#ff80c0\"",
             "\"ratings\":{\"cells\":[[\"\",\"Ersetungen\"],[\"S\xc3\xa4tze\",\"18120\"]"})
        EXPECT_NE(whole.out.find(part), std::string::npos) << part;

    const ExportRun single = Export({"--lang", "en", "--json", SamplePath(dir, samples[1])});
    EXPECT_NE(single.out.find("\"singleNr\":\"Protocol 3  \""), std::string::npos);
    EXPECT_NE(single.out.find("\"pages\":[\"Titel\",\"Dateien\",\"Ratings\"],"), std::string::npos);
    EXPECT_NE(single.out.find("\"matrix\":null"), std::string::npos);
}
