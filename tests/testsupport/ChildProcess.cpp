#include "ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string TempFileName(const char* what)
{
    char name[] = "/tmp/zelmora-child-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        throw std::runtime_error(std::string("cannot create a file for the child's ") + what);
    close(fd);
    chmod(name, 0666);
    return name;
}

void Redirect(int fd, const std::string& path, int flags)
{
    const int opened = open(path.c_str(), flags, 0666);
    if (opened < 0)
        _exit(120);
    dup2(opened, fd);
    close(opened);
}

} // namespace

uid_t NobodyUid()
{
    const passwd* user = getpwnam("nobody");
    return user ? user->pw_uid : 65534;
}

gid_t NobodyGid()
{
    const passwd* user = getpwnam("nobody");
    return user ? user->pw_gid : 65534;
}

bool RunningAsRoot() { return geteuid() == 0; }

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options)
{
    start(
        [&argv, &options] {
            std::vector<char*> args;
            for (const std::string& arg : argv)
                args.push_back(const_cast<char*>(arg.c_str()));
            args.push_back(nullptr);
            for (const std::string& setting : options.Environment)
                putenv(const_cast<char*>(setting.c_str()));
            execv(args[0], args.data());
            _exit(127);
        },
        options);
}

ChildProcess::ChildProcess(const std::function<void()>& body, const ChildOptions& options)
{
    start(
        [&body] {
            try {
                body();
            } catch (...) {
                _exit(3);
            }
            _exit(0);
        },
        options);
}

void ChildProcess::start(const std::function<void()>& inChild, const ChildOptions& options)
{
    m_errPath = TempFileName("errors");
    m_readOut = options.StdoutPath.empty() && !options.CloseStdout;
    if (m_readOut)
        m_outPath = TempFileName("output");
    std::fflush(nullptr);
    m_pid = fork();
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
    if (m_pid > 0)
        return;
    // Whatever the test runner ignores or blocks (a background job ignores SIGINT), the child
    // starts as a program started from a terminal does.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    Redirect(STDERR_FILENO, m_errPath, O_WRONLY | O_TRUNC);
    if (options.CloseStdout)
        close(STDOUT_FILENO);
    else
        Redirect(STDOUT_FILENO, m_readOut ? m_outPath : options.StdoutPath,
                 O_WRONLY | O_CREAT | O_TRUNC);
    if (options.AsNobody) {
        if (setgroups(0, nullptr) != 0 || setgid(NobodyGid()) != 0 || setuid(NobodyUid()) != 0)
            _exit(121);
    }
    inChild();
    _exit(0);
}

ChildProcess::~ChildProcess()
{
    if (m_pid > 0 && !m_waited) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (!m_errPath.empty())
        unlink(m_errPath.c_str());
    if (!m_outPath.empty())
        unlink(m_outPath.c_str());
}

void ChildProcess::Kill(int signal) { kill(m_pid, signal); }

ChildResult ChildProcess::Wait()
{
    ChildResult result;
    int status = 0;
    rusage usage{};
    while (wait4(m_pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.PeakKilobytes = usage.ru_maxrss;
    m_waited = true;
    if (WIFEXITED(status))
        result.ExitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.Signal = WTERMSIG(status);
    result.Err = FileBytes(m_errPath);
    if (m_readOut)
        result.Out = FileBytes(m_outPath);
    return result;
}

SmallDisk::SmallDisk(std::size_t bytes)
{
    char name[] = "/tmp/zelmora-disk-XXXXXX";
    if (!mkdtemp(name))
        return;
    m_path = name;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=1777";
    m_mounted = mount("tmpfs", name, "tmpfs", 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        umount2(m_path.c_str(), MNT_DETACH);
    if (!m_path.empty())
        rmdir(m_path.c_str());
}

bool SmallDisk::MakeReadOnly()
{
    return m_mounted &&
           mount("tmpfs", m_path.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
