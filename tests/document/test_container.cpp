#include "Errors.h"
#include "FifoWatch.h"
#include "MprWriter.h"
#include "TMatchDocFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::string Write(const TempDir& dir, const std::string& name, const std::string& bytes)
{
    const std::string path = dir.Path(name);
    WriteFileBytes(path, bytes);
    return path;
}

std::string MessageOfOpen(const std::string& path)
{
    TMatchDocFile file;
    file.SetFileName(path);
    try {
        file.Open();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "opened";
}

} // namespace

TEST(KeyStream, FirstBytesFromStateZero)
{
    uint32_t state = 0;
    const unsigned char expected[] = {0x00, 0x08, 0xDC, 0x33, 0x45, 0xAB};
    for (unsigned char key : expected)
        EXPECT_EQ(NextKeyByte(state), key);
}

TEST(Container, HeaderChecks)
{
    TempDir dir;
    const std::string header = Assemble("", {});
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected; // "%s" stands for the full path
    };
    MprOptions legacy3;
    legacy3.LegacyMagic = true;
    legacy3.Version = 3;
    MprOptions v0 = legacy3, v7 = legacy3, reserved = {};
    v0.Version = 0;
    v7.Version = 7;
    reserved.Reserved = 1;
    std::string badMagic = header;
    badMagic[5] = 'X';
    std::string noEof = header;
    noEof[31] = '\0';
    const Case cases[] = {
        {"short.mpr", header.substr(0, 43), "\"%s\" ist kein Statistik-Protokoll"},
        {"empty.mpr", "", "\"%s\" ist kein Statistik-Protokoll"},
        {"ok.mpr", header, "opened"},
        {"legacy3.mpr", Assemble("", legacy3), "opened"},
        {"v0.mpr", Assemble("", v0), "Statistik-Protokoll \"%s\": ungültige Version"},
        {"v7.mpr", Assemble("", v7), "Statistik-Protokoll \"%s\": ungültige Version"},
        {"reserved.mpr", Assemble("", reserved), "\"%s\" ist kein Statistik-Protokoll"},
        {"magic.mpr", badMagic, "\"%s\" ist kein Statistik-Protokoll"},
        {"magic-eof.mpr", noEof, "\"%s\" ist kein Statistik-Protokoll"},
    };
    for (const Case& c : cases) {
        const std::string path = Write(dir, c.name, c.bytes);
        std::string expected = c.expected;
        const auto at = expected.find("%s");
        if (at != std::string::npos)
            expected.replace(at, 2, path);
        EXPECT_EQ(MessageOfOpen(path), expected) << c.name;
    }
}

TEST(Container, VersionAndSeedAfterOpen)
{
    TempDir dir;
    MprOptions options;
    options.Version = 5;
    options.SeedWord = 0x2f4be873u; // a key state of 0
    TMatchDocFile file;
    file.SetFileName(Write(dir, "a.mpr", Assemble("", options)));
    file.Open();
    EXPECT_EQ(file.Version, 5);
    EXPECT_EQ(file.KeyState, 0u);
    file.Close();
    EXPECT_EQ(file.Version, 0);
}

TEST(Container, EmptyBodyFailsOnFirstRead)
{
    TempDir dir;
    TMatchDocFile file;
    file.SetFileName(Write(dir, "a.mpr", Assemble("", {})));
    file.Open();
    try {
        file.ReadInt32();
        FAIL() << "read past the end";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "Versuch hinter dem Dateiende zu lesen");
    }
}

TEST(Container, StringsReadBackUnderAnySeed)
{
    TempDir dir;
    MprBody body;
    body.String("ab").String("").Length(-5).String("\xe4\xf6\xfc");
    std::string previousScrambled;
    for (uint32_t seed : {0u, 0x2f4be873u, 0xffffffffu}) {
        MprOptions options;
        options.SeedWord = seed;
        const std::string bytes = Assemble(body.Data, options);
        EXPECT_NE(bytes.substr(44), previousScrambled);
        previousScrambled = bytes.substr(44);
        TMatchDocFile file;
        file.SetFileName(Write(dir, "s.mpr", bytes));
        file.Open();
        EXPECT_EQ(file.ReadString(), "ab");
        EXPECT_EQ(file.ReadString(), "");
        EXPECT_EQ(file.Remaining(), 4 + 4 + 3);
        EXPECT_EQ(file.ReadString(), ""); // -5: only its length is consumed
        EXPECT_EQ(file.ReadString(), "\xe4\xf6\xfc");
        EXPECT_EQ(file.Remaining(), 0);
    }
    EXPECT_EQ(MprBody().String("ab").String("").Data.size(), 10u);
}

TEST(Container, OversizedStringFailsBeforeAllocating)
{
    TempDir dir;
    MprBody body;
    body.Length(0x7fffffff).Bytes("xyz", 3);
    TMatchDocFile file;
    file.SetFileName(Write(dir, "big.mpr", Assemble(body.Data)));
    file.Open();
    EXPECT_THROW(file.ReadString(), EInOutError);
}

TEST(Container, OperatingSystemErrors)
{
    TempDir dir;
    const std::string missing = dir.Path("nothing-here.mpr");
    EXPECT_EQ(MessageOfOpen(missing), "Datei nicht gefunden");
    EXPECT_EQ(MessageOfOpen(dir.Path("no-folder/x.mpr")), "Datei nicht gefunden");
    EXPECT_EQ(MessageOfOpen(dir.Root().string()), "Dateizugriff verweigert");
    EXPECT_EQ(MessageOfOpen(dir.Path(std::string(300, 'n'))), "Ungültiger Dateiname");
}

TEST(Container, FileNameIsExpandedAndKeptWhole)
{
    TempDir dir;
    // A path of more than 255 characters must still name the same file.
    std::string deep = dir.Root().string();
    for (int i = 0; i < 6; ++i) {
        deep += "/" + std::string(50, char('a' + i));
        std::filesystem::create_directory(deep);
    }
    const std::string path = deep + "/log.mpr";
    ASSERT_GT(path.size(), 300u);
    WriteFileBytes(path, Assemble(""));
    TMatchDocFile file;
    file.SetFileName(path);
    EXPECT_EQ(file.GetFileName(), path);
    EXPECT_NO_THROW(file.Open());

    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(deep);
    TMatchDocFile relative;
    relative.SetFileName("./x/../log.mpr");
    EXPECT_EQ(relative.GetFileName(), path);
    std::filesystem::current_path(cwd);
}

TEST(Container, OnlyARegularFileIsOpened)
{
    // Anything else is refused as the folder is, without opening it for reading: a FIFO would
    // wait for a writer forever. A link counts as what it points to.
    TempDir dir;
    const std::string log = Write(dir, "log.mpr", Assemble(""));
    FifoWatch fifo(dir.Path("fifo.mpr"));
    const std::string socketPath = dir.Path("socket.mpr");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    std::filesystem::create_symlink(dir.Path("fifo.mpr"), dir.Path("to-fifo.mpr"));
    std::filesystem::create_symlink(log, dir.Path("to-log.mpr"));
    const std::pair<std::string, std::string> cases[] = {
        {dir.Path("fifo.mpr"), "Dateizugriff verweigert"},
        {dir.Path("to-fifo.mpr"), "Dateizugriff verweigert"},
        {socketPath, "Dateizugriff verweigert"},
        {"/dev/null", "Dateizugriff verweigert"},
        {"/dev/zero", "Dateizugriff verweigert"},
        {dir.Root().string(), "Dateizugriff verweigert"},
        {dir.Path("to-log.mpr"), "opened"},
        {log, "opened"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(MessageOfOpen(path), expected) << path;
    EXPECT_FALSE(fifo.OpenedForReading());
    ::close(sock);
}
