#include "ExportCommand.h"
#include "JsonWriter.h"
#include "MprWriter.h"
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
          "\"columns\":[-11,-15,-12,-13,-14,-2,-3,-4,-5,-6,-7,-8,-9,-10,1,2]",
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
    JsonWriter json;
    json.BeginObject().Key("a").BeginArray().Int(1).Null().Bool(true).EndArray();
    json.Key("b").String("x").EndObject();
    EXPECT_EQ(json.Text(), "{\"a\":[1,null,true],\"b\":\"x\"}");
}
