// What the exporter writes and what it leaves alone, tried on the real program: full and closed
// outputs, refused targets, an unprivileged user, a full disk and the signals that end it.
#include "ChildProcess.h"
#include "FontFiles.h"
#include "JsonWriter.h"
#include "MprWriter.h"
#include "PageExport.h"
#include "ProductIdentity.h"
#include "Samples.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <thread>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const std::string kExporter = ZELMORA_EXPORT_BINARY;
const std::string kDiskFull = "der Datentr\xC3\xA4ger ist voll";

ChildResult RunExporter(const std::vector<std::string>& args, ChildOptions options = {},
                        const std::string& program = kExporter)
{
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    options.Environment.push_back("QT_QPA_PLATFORM=offscreen");
    ChildProcess child(argv, options);
    return child.Wait();
}

std::string WholeLog(const TempDir& dir, const std::string& name = "whole.mpr")
{
    const std::string path = dir.Path(name);
    WriteFileBytes(path, MprFile(SampleWholeLog()));
    return path;
}

// The length of a valid UTF-8 sequence at p (RFC 3629), 0 for none.
int Utf8Length(const unsigned char* p, const unsigned char* end)
{
    const int length = p[0] < 0x80   ? 1
                       : p[0] < 0xC2 ? 0
                       : p[0] < 0xE0 ? 2
                       : p[0] < 0xF0 ? 3
                       : p[0] < 0xF5 ? 4
                                     : 0;
    if (length == 0 || end - p < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
    }
    const bool overlongOrOutside = (p[0] == 0xE0 && p[1] < 0xA0) || (p[0] == 0xED && p[1] > 0x9F) ||
                                   (p[0] == 0xF0 && p[1] < 0x90) || (p[0] == 0xF4 && p[1] > 0x8F);
    return overlongOrOutside ? 0 : length;
}

bool ValidUtf8(const std::string& text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const int length = Utf8Length(p, end);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

// The bytes behind FileNameUtf8's text: every \xNN back to its byte.
std::string UnescapedFileName(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size()) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

} // namespace

TEST(ExportOutputs, AJsonOrCsvThatCannotBeWrittenIsAGermanMessageAndExitOne)
{
    TempDir dir;
    // Its files table alone is larger than the small disk.
    const std::string log = dir.Path("log.mpr");
    WriteFileBytes(log, MprFile(GeneratedLog(100)));
    SmallDisk disk(4 * 1024);
    struct Case {
        const char* what;
        ChildOptions options;
        std::string reason;
    };
    std::vector<Case> cases = {
        {"/dev/full", {"/dev/full", false, false, {}}, kDiskFull},
        {"closed", {"", true, false, {}}, "die Ausgabe ist geschlossen"},
    };
    if (disk.Ready())
        cases.push_back({"full disk", {disk.Path("out"), false, false, {}}, kDiskFull});
    for (const Case& c : cases) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--json", log}, {"--csv", "files", log}}) {
            SCOPED_TRACE(testing::Message() << c.what << ' ' << args[0]);
            const ChildResult result = RunExporter(args, c.options);
            EXPECT_EQ(result.ExitCode, 1);
            EXPECT_EQ(result.Err, "Die Ausgabe kann nicht geschrieben werden: " + c.reason + ".\n");
        }
    }
}

TEST(ExportOutputs, JsonIsWrittenAsItIsBuiltNotHeldInMemory)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's own memory hides the program's";
#endif
    TempDir dir;
    const std::string log = dir.Path("big.mpr");
    WriteFileBytes(log, MprFile(GeneratedLog(2000)));
    const std::string json = dir.Path("big.json");
    const ChildResult result = RunExporter({"--json", log}, ChildOptions{json, false, false, {}});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    struct stat st;
    ASSERT_EQ(stat(json.c_str(), &st), 0);
    // Some 57 MB of text from a 3 MB log: the document and its pages fit in far less.
    EXPECT_LT(result.PeakKilobytes * 1024, st.st_size)
        << result.PeakKilobytes << " KB for " << st.st_size << " bytes";
}

TEST(ExportOutputs, JsonPathIsValidUtf8ForAnyFileNameAndTheCaptionDecodesItAsTheWindowDoes)
{
    TempDir dir;
    const std::string log = MprFile(SampleWholeLog());
    struct Case {
        std::string name;
        std::string path; // as JSON's path shows the name
        std::string caption;
    };
    const std::vector<Case> cases = {
        {"Gr\xC3\xBC\xC3\x9F.mpr", "Gr\xC3\xBC\xC3\x9F.mpr", "Gr\xC3\xBC\xC3\x9F.mpr"},
        {"Gr\xFC\xDF.mpr", "Gr\\xFC\\xDF.mpr", "Gr\xEF\xBF\xBD\xEF\xBF\xBD.mpr"},
        {"a\xC3(\xED\xA0\x80.mpr", "a\\xC3(\\xED\\xA0\\x80.mpr",
         "a\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.mpr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string path = dir.Path(c.name);
        WriteFileBytes(path, log);
        const ChildResult result = RunExporter({"--json", path});
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_TRUE(ValidUtf8(result.Out));
        EXPECT_NE(result.Out.find("\"path\":" + JsonWriter::Escape(dir.Path(c.path)) + ","),
                  std::string::npos);
        EXPECT_NE(result.Out.find("\"caption\":\"" + std::string(kApplicationTitle) +
                                  " - Statistik-Protokoll - " + dir.Path(c.caption) + "\""),
                  std::string::npos);
    }
}

TEST(ExportOutputs, AnyFileNameBecomesValidUtf8FromWhichItsBytesComeBack)
{
    std::mt19937 random(13);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string name(static_cast<std::size_t>(round % 12), '\0');
        for (char& c : name)
            c = static_cast<char>(round % 3 == 0 ? byte(random) : 0x80 + byte(random) % 0x80);
        if (name.find("\\x") != std::string::npos)
            continue; // a name that already holds the escape's text is not told apart
        const std::string text = FileNameUtf8(name);
        ASSERT_TRUE(ValidUtf8(text)) << round;
        ASSERT_EQ(UnescapedFileName(text), name) << round;
    }
}

TEST(ExportOutputs, APdfThatMustNotBeWrittenLeavesEverythingAsItWas)
{
    TempDir dir;
    const std::string log = WholeLog(dir, "log.mpr");
    ASSERT_EQ(link(log.c_str(), dir.Path("hard.mpr").c_str()), 0);
    ASSERT_EQ(symlink("log.mpr", dir.Path("soft.pdf").c_str()), 0);
    ASSERT_EQ(mkdir(dir.Path("folder").c_str(), 0755), 0);
    const bool device =
        RunningAsRoot() && mknod(dir.Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    struct Case {
        std::string output;
        int exitCode;
        std::string reason;
    };
    std::vector<Case> cases = {
        {log, 2, "das ist die Eingabedatei selbst"},
        {dir.Path("hard.mpr"), 2, "das ist die Eingabedatei selbst"},
        {dir.Path("soft.pdf"), 2, "das ist die Eingabedatei selbst"},
        {dir.Path("folder/../log.mpr"), 2, "das ist die Eingabedatei selbst"},
        {dir.Path("folder"), 1, "das ist ein Ordner"},
        {dir.Path("missing/out.pdf"), 1,
         "der Ordner \"" + dir.Path("missing") + "\" existiert nicht"},
    };
    if (device)
        cases.push_back({dir.Path("null"), 1,
                         "das ist keine gew\xC3\xB6hnliche Datei (ein Ger\xC3\xA4t, eine Pipe "
                         "oder ein Socket)"});
    const std::string logBytes = FileBytes(log);
    const std::vector<std::string> entries = FolderEntries(dir.Root().string());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const ChildResult result = RunExporter({"--pdf", c.output, log});
        EXPECT_EQ(result.ExitCode, c.exitCode);
        EXPECT_NE(result.Err.find("Die Datei \"" + c.output +
                                  "\" kann nicht geschrieben werden: " + c.reason + ".\n"),
                  std::string::npos)
            << result.Err;
        EXPECT_EQ(FileBytes(log), logBytes);
        EXPECT_EQ(FolderEntries(dir.Root().string()), entries);
    }
    if (device) {
        struct stat st;
        ASSERT_EQ(lstat(dir.Path("null").c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
}

TEST(ExportOutputs, AWriteProtectedReportOfAUserStays)
{
    if (!RunningAsRoot())
        GTEST_SKIP() << "needs root to run the exporter as another user";
    TempDir dir;
    ASSERT_EQ(chmod(dir.Root().c_str(), 0777), 0);
    const std::string log = WholeLog(dir);
    const std::string report = dir.Path("report.pdf");
    WriteFileBytes(report, "the old report");
    ASSERT_EQ(chmod(report.c_str(), 0444), 0);
    ASSERT_EQ(chown(report.c_str(), NobodyUid(), NobodyGid()), 0);
    // The build tree may lie where nobody may not enter (root's home, as on a fresh machine):
    // the user runs a copy of the program from a folder of its own.
    TempDir programs;
    ASSERT_EQ(chmod(programs.Root().c_str(), 0755), 0);
    const std::string exporter = programs.Path("zelmora-export");
    std::filesystem::copy_file(kExporter, exporter);
    ASSERT_EQ(chmod(exporter.c_str(), 0755), 0);
    ChildOptions asNobody;
    asNobody.AsNobody = true;
    asNobody.Environment.push_back("XDG_RUNTIME_DIR=" + dir.Path(""));
    const ChildResult result = RunExporter({"--pdf", report, log}, asNobody, exporter);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_NE(result.Err.find("Die Datei \"" + report +
                              "\" kann nicht geschrieben werden: die Datei ist "
                              "schreibgesch\xC3\xBCtzt.\n"),
              std::string::npos)
        << result.Err;
    EXPECT_EQ(FileBytes(report), "the old report");
    EXPECT_EQ(FolderEntries(dir.Root().string()),
              (std::vector<std::string>{"report.pdf", "whole.mpr"}));
}

TEST(ExportOutputs, AFullDiskLeavesTheOldReportOnBothWaysOfWritingThePdf)
{
    SmallDisk disk(16 * 1024);
    if (!disk.Ready())
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    TempDir dir;
    const std::string log = WholeLog(dir);
    // The second way: Qt's PDF output, for the only font there, which must not be embedded.
    const std::string font = InstalledFont("DejaVu Sans");
    ASSERT_FALSE(font.empty()) << "DejaVu Sans is not installed";
    ASSERT_EQ(mkdir(dir.Path("fonts").c_str(), 0755), 0);
    WriteFileBytes(dir.Path("fonts/Restricted.ttf"), WithEmbeddingBits(font, 0x0002));
    WriteFileBytes(dir.Path("fonts.conf"), "<?xml version=\"1.0\"?>\n<fontconfig>\n<dir>" +
                                               dir.Path("fonts") + "</dir>\n<cachedir>" +
                                               dir.Path("cache") + "</cachedir>\n</fontconfig>\n");
    const std::string report = disk.Path("report.pdf");
    for (const bool qtOutput : {false, true}) {
        SCOPED_TRACE(qtOutput ? "Qt's PDF output" : "direct PDF output");
        WriteFileBytes(report, "the old report");
        ChildOptions options;
        if (qtOutput) {
            options.Environment.push_back("FONTCONFIG_FILE=" + dir.Path("fonts.conf"));
            options.Environment.push_back("ZELMORA_REPORT_FONTS=");
        }
        // Singles make the report far larger than the disk.
        const ChildResult result = RunExporter({"--pdf", report, "--singles", log}, options);
        EXPECT_EQ(result.ExitCode, 1);
        EXPECT_NE(result.Err.find("Die Datei \"" + report +
                                  "\" kann nicht geschrieben werden: " + kDiskFull + ".\n"),
                  std::string::npos)
            << result.Err;
        EXPECT_EQ(FileBytes(report), "the old report");
        EXPECT_EQ(FolderEntries(disk.Root()), std::vector<std::string>{"report.pdf"});
    }
}

TEST(ExportOutputs, CtrlCSigtermOrACrashWhileThePdfIsWrittenLeaveTheOldReport)
{
    TempDir dir;
    const std::string log = dir.Path("big.mpr");
    WriteFileBytes(log, MprFile(GeneratedLog(300)));
    ASSERT_EQ(mkdir(dir.Path("out").c_str(), 0755), 0);
    const std::string report = dir.Path("out/report.pdf");
    // SIGKILL stands for a crash: nothing can clean up, but the report is still the old one.
    for (const int signal : {SIGINT, SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        WriteFileBytes(report, "the old report");
        std::vector<std::string> argv{kExporter, "--pdf", report, "--singles", log};
        ChildProcess child(argv, ChildOptions{"", false, false, {"QT_QPA_PLATFORM=offscreen"}});
        // Signalled once the writing has begun: something new in the folder, or the report
        // changed.
        bool writing = false;
        for (int i = 0; i < 6000 && !writing; ++i) {
            writing =
                FolderEntries(dir.Path("out")).size() > 1 || FileBytes(report) != "the old report";
            if (!writing)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(writing);
        child.Kill(signal);
        const ChildResult result = child.Wait();
        if (result.ExitCode == 0)
            GTEST_SKIP() << "the export finished before the signal arrived";
        EXPECT_EQ(result.Signal, signal);
        EXPECT_EQ(FileBytes(report), "the old report");
        if (signal != SIGKILL) {
            EXPECT_EQ(FolderEntries(dir.Path("out")), std::vector<std::string>{"report.pdf"});
        }
        for (const std::string& name : FolderEntries(dir.Path("out"))) {
            if (name != "report.pdf")
                std::remove(dir.Path("out/" + name).c_str());
        }
    }
}
