#pragma once

#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

// A program or a function run in a child process, for what a test cannot do to itself: end by a
// signal, write to a full or closed standard output, run as an unprivileged user.
struct ChildOptions {
    // Standard output goes to this file ("/dev/full" works too); empty: a file of its own, read
    // back into ChildResult::Out.
    std::string StdoutPath;
    bool CloseStdout = false;
    // Runs as the user "nobody" (the tests themselves usually run as root, who may write any file).
    bool AsNobody = false;
    // Added to the environment, "NAME=value".
    std::vector<std::string> Environment;
};

struct ChildResult {
    int ExitCode = -1;      // -1 when ended by a signal
    int Signal = 0;         // the signal that ended it, else 0
    long PeakKilobytes = 0; // the most memory it held at once (resident set)
    std::string Out;
    std::string Err;
};

class ChildProcess {
public:
    // Starts the program (argv[0] a path).
    ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
    // Runs the function in a forked copy of this process; its exit code is 0 when it returns,
    // 3 when it throws.
    ChildProcess(const std::function<void()>& body, const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    void Kill(int signal);
    ChildResult Wait();

private:
    void start(const std::function<void()>& inChild, const ChildOptions& options);

    pid_t m_pid = -1;
    std::string m_outPath;
    std::string m_errPath;
    bool m_readOut = false;
    bool m_waited = false;
};

// The uid and gid of "nobody".
uid_t NobodyUid();
gid_t NobodyGid();
// Whether the tests run as root (and so can mount, and drop to another user).
bool RunningAsRoot();

// A tmpfs of a few kilobytes, mounted for the test on a fresh folder: a disk that fills up.
// Needs root; Ready() is false where mounting is not allowed.
class SmallDisk {
public:
    explicit SmallDisk(std::size_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Ready() const { return m_mounted; }
    std::string Path(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Root() const { return m_path; }
    // Remounts it read-only (true when that worked).
    bool MakeReadOnly();

private:
    std::string m_path;
    bool m_mounted = false;
};

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);
// The whole content of a file; empty when it cannot be read.
std::string FileBytes(const std::string& path);
