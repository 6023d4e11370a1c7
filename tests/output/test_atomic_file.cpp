#include "AtomicFile.h"

#include "ChildProcess.h"
#include "MprWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <random>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Cause = EOutputError::Cause;

struct FileState {
    bool exists = false;
    mode_t mode = 0;
    ino_t inode = 0;
    std::string bytes;
    bool operator==(const FileState& other) const
    {
        return exists == other.exists && mode == other.mode && inode == other.inode &&
               bytes == other.bytes;
    }
};

FileState StateOf(const std::string& path)
{
    FileState state;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return state;
    state.exists = true;
    state.mode = st.st_mode;
    state.inode = st.st_ino;
    if (S_ISREG(st.st_mode))
        state.bytes = FileBytes(path);
    return state;
}

// The cause of the refusal, or nothing when the file could be created.
std::optional<Cause> Refusal(const std::string& path, const std::vector<std::string>& keep = {})
{
    try {
        AtomicFile file(path, keep);
        return std::nullopt;
    } catch (const EOutputError& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + path + "\""), std::string::npos) << e.what();
        return e.WhatCause();
    }
}

} // namespace

TEST(AtomicFile, TheTargetChangesOnlyAtCommitAndToTheWholeContent)
{
    std::mt19937 random(7);
    struct Case {
        const char* name;
        bool existing;
        int ending; // 0 commit, 1 discard, 2 destroyed unfinished, 3 restarted then committed
    };
    for (const Case& c : std::vector<Case>{{"new.pdf", false, 0},
                                           {"old.pdf", true, 0},
                                           {"old.pdf", true, 1},
                                           {"old.pdf", true, 2},
                                           {"new.pdf", false, 2},
                                           {"old.pdf", true, 3}}) {
        SCOPED_TRACE(testing::Message() << c.name << " ending " << c.ending);
        const TempDir dir;
        const std::string target = dir.Path(c.name);
        if (c.existing)
            WriteFileBytes(target, "the old report");
        const FileState before = StateOf(target);
        // Pieces of every size around the buffer's, so buffered and direct writes both occur.
        std::string expected;
        {
            AtomicFile file(target);
            EXPECT_EQ(FolderEntries(dir.Root().string()).size(), c.existing ? 2u : 1u);
            for (int piece = 0; piece < 12; ++piece) {
                const std::size_t size = std::uniform_int_distribution<std::size_t>(
                    0, piece % 3 == 0 ? 600000 : 3000)(random);
                const std::string bytes(size, char('a' + piece));
                ASSERT_TRUE(file.Write(bytes));
                expected += bytes;
                EXPECT_EQ(StateOf(target), before);
            }
            if (c.ending == 3) {
                file.Restart();
                expected = "only this";
                ASSERT_TRUE(file.Write(expected));
            }
            if (c.ending == 0 || c.ending == 3)
                file.Commit();
            else if (c.ending == 1)
                file.Discard();
        }
        const bool committed = c.ending == 0 || c.ending == 3;
        EXPECT_EQ(StateOf(target).bytes, committed ? expected : before.bytes);
        EXPECT_EQ(FolderEntries(dir.Root().string()), committed || c.existing
                                                          ? std::vector<std::string>{c.name}
                                                          : std::vector<std::string>{});
    }
}

TEST(AtomicFile, RefusedTargetsAreLeftAsTheyAre)
{
    TempDir dir;
    const std::string log = dir.Path("log.mpr");
    WriteFileBytes(log, "the log");
    ASSERT_EQ(link(log.c_str(), dir.Path("hard.mpr").c_str()), 0);
    ASSERT_EQ(symlink(log.c_str(), dir.Path("soft.pdf").c_str()), 0);
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(dir.Path("folder").c_str(), 0755), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.Path("socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    struct Case {
        std::string path;
        Cause cause;
    };
    const std::vector<Case> cases = {
        {log, Cause::IsInput},
        {dir.Path("hard.mpr"), Cause::IsInput},
        {dir.Path("soft.pdf"), Cause::IsInput},
        {dir.Path("folder/../log.mpr"), Cause::IsInput},
        {dir.Path("fifo"), Cause::NotRegularFile},
        {dir.Path("socket"), Cause::NotRegularFile},
        {"/dev/null", Cause::NotRegularFile},
        {dir.Path("folder"), Cause::IsFolder},
        {dir.Path("folder/"), Cause::IsFolder},
        {dir.Path("missing/out.pdf"), Cause::FolderMissing},
        {dir.Path("log.mpr/out.pdf"), Cause::FolderMissing},
    };
    std::vector<std::pair<std::string, FileState>> before;
    for (const std::string& name : FolderEntries(dir.Root().string()))
        before.emplace_back(name, StateOf(dir.Path(name)));
    const FileState devNull = StateOf("/dev/null");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(Refusal(c.path, {log}), c.cause);
    }
    std::vector<std::pair<std::string, FileState>> after;
    for (const std::string& name : FolderEntries(dir.Root().string()))
        after.emplace_back(name, StateOf(dir.Path(name)));
    EXPECT_EQ(after, before);
    EXPECT_EQ(StateOf("/dev/null"), devNull);
    EXPECT_TRUE(S_ISCHR(StateOf("/dev/null").mode));
    close(sock);
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissionsAndALinkStaysALink)
{
    TempDir dir;
    const std::string real = dir.Path("real.pdf");
    WriteFileBytes(real, "old");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    if (RunningAsRoot()) {
        ASSERT_EQ(chown(real.c_str(), NobodyUid(), NobodyGid()), 0);
    }
    ASSERT_EQ(symlink("real.pdf", dir.Path("link.pdf").c_str()), 0);

    AtomicFile file(dir.Path("link.pdf"));
    ASSERT_TRUE(file.Write("new"));
    file.Commit();

    struct stat st;
    ASSERT_EQ(lstat(dir.Path("link.pdf").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (RunningAsRoot()) {
        EXPECT_EQ(st.st_uid, NobodyUid());
    }
    EXPECT_EQ(FileBytes(real), "new");
    EXPECT_EQ(FolderEntries(dir.Root().string()),
              (std::vector<std::string>{"link.pdf", "real.pdf"}));
}

TEST(AtomicFile, WhatTheUserMayNotOverwriteStays)
{
    if (!RunningAsRoot())
        GTEST_SKIP() << "needs root to run as another user and to mount";
    TempDir dir;
    ASSERT_EQ(chmod(dir.Root().c_str(), 0777), 0);
    const std::string report = dir.Path("report.pdf");
    WriteFileBytes(report, "keep me");
    ASSERT_EQ(chmod(report.c_str(), 0444), 0);
    ASSERT_EQ(mkdir(dir.Path("closed").c_str(), 0755), 0);

    // A normal user: a write-protected report in a folder they may write, and a folder they
    // may not write.
    struct Case {
        std::string path;
        Cause cause;
        const char* reason;
    };
    for (const Case& c : {Case{report, Cause::NoPermission, "schreibgesch\xC3\xBCtzt"},
                          Case{dir.Path("closed/new.pdf"), Cause::NoPermission, "Berechtigung"}}) {
        ChildProcess child(
            [&c] {
                try {
                    AtomicFile file(c.path);
                } catch (const EOutputError& e) {
                    const bool expected = e.WhatCause() == c.cause &&
                                          std::string(e.what()).find(c.reason) != std::string::npos;
                    _exit(expected ? 10 : 11);
                }
            },
            ChildOptions{"", false, true, {}});
        EXPECT_EQ(child.Wait().ExitCode, 10) << c.path;
    }
    EXPECT_EQ(FileBytes(report), "keep me");
    EXPECT_EQ(FolderEntries(dir.Root().string()),
              (std::vector<std::string>{"closed", "report.pdf"}));
    EXPECT_TRUE(FolderEntries(dir.Path("closed")).empty());

    // Root may write any file, so for root "could not overwrite" is a read-only file system.
    SmallDisk disk(64 * 1024);
    if (!disk.Ready())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    WriteFileBytes(disk.Path("report.pdf"), "keep me");
    ASSERT_TRUE(disk.MakeReadOnly());
    EXPECT_EQ(Refusal(disk.Path("report.pdf")), Cause::ReadOnlyFileSystem);
    EXPECT_EQ(FileBytes(disk.Path("report.pdf")), "keep me");
}

TEST(AtomicFile, AFullDiskFailsTheCommitAndKeepsTheOldFile)
{
    SmallDisk disk(64 * 1024);
    if (!disk.Ready())
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    const std::string target = disk.Path("report.pdf");
    WriteFileBytes(target, "the old report");
    AtomicFile file(target);
    const std::string chunk(40000, 'x');
    bool written = true;
    for (int i = 0; i < 8 && written; ++i)
        written = file.Write(chunk);
    try {
        file.ThrowIfFailed();
        file.Commit();
        FAIL() << "a full disk was reported as success";
    } catch (const EOutputError& e) {
        EXPECT_EQ(e.WhatCause(), Cause::DiskFull);
        EXPECT_EQ(std::string(e.what()), "Die Datei \"" + target +
                                             "\" kann nicht geschrieben werden: der "
                                             "Datentr\xC3\xA4ger ist voll.");
    }
    EXPECT_EQ(FileBytes(target), "the old report");
    EXPECT_EQ(FolderEntries(disk.Root()), std::vector<std::string>{"report.pdf"});
}

TEST(AtomicFile, ASignalRemovesTheTemporaryFileAndStillEndsTheProcess)
{
    TempDir dir;
    const std::string target = dir.Path("report.pdf");
    WriteFileBytes(target, "the old report");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        ChildProcess child([&] {
            AtomicFile first(target);
            AtomicFile second(dir.Path("other.pdf"));
            first.Write(std::string(1 << 20, 'x'));
            second.Write("y");
            raise(signal);
            _exit(5); // not reached: the signal's default action ends the process
        });
        const ChildResult result = child.Wait();
        EXPECT_EQ(result.Signal, signal);
        EXPECT_EQ(FolderEntries(dir.Root().string()), std::vector<std::string>{"report.pdf"});
        EXPECT_EQ(FileBytes(target), "the old report");
    }
}
