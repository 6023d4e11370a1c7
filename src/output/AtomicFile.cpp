#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <ostream>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

// ---- Temporary files to remove when a signal ends the process ----
//
// The handler may run on any thread at any moment, so the registry is a fixed table of slots
// that it reads without locks: a slot is claimed, filled, and only then marked active.

constexpr int kSlots = 64;
constexpr int kFree = 0;
constexpr int kFilling = 1;
constexpr int kActive = 2;

struct TTempSlot {
    std::atomic<int> state{kFree};
    int dirFd = -1;
    char name[NAME_MAX + 1] = {};
};

TTempSlot g_slots[kSlots];

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[sizeof kCleanupSignals / sizeof kCleanupSignals[0]];

void RemoveRegisteredFiles()
{
    for (TTempSlot& slot : g_slots) {
        if (slot.state.load(std::memory_order_acquire) == kActive)
            unlinkat(slot.dirFd, slot.name, 0);
    }
}

extern "C" void CleanUpAndResignal(int signal)
{
    const int savedErrno = errno;
    RemoveRegisteredFiles();
    for (std::size_t i = 0; i < sizeof kCleanupSignals / sizeof kCleanupSignals[0]; ++i) {
        if (kCleanupSignals[i] != signal)
            continue;
        const struct sigaction& previous = g_previous[i];
        if (previous.sa_handler == SIG_DFL) {
            // Ends the process with the signal's own default action once this handler returns.
            struct sigaction defaultAction = {};
            defaultAction.sa_handler = SIG_DFL;
            sigemptyset(&defaultAction.sa_mask);
            sigaction(signal, &defaultAction, nullptr);
            raise(signal);
        } else if (!(previous.sa_flags & SA_SIGINFO) && previous.sa_handler != SIG_IGN) {
            previous.sa_handler(signal);
        }
    }
    errno = savedErrno;
}

void InstallCleanupHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (std::size_t i = 0; i < sizeof kCleanupSignals / sizeof kCleanupSignals[0]; ++i) {
            struct sigaction action = {};
            action.sa_handler = &CleanUpAndResignal;
            sigemptyset(&action.sa_mask);
            for (const int other : kCleanupSignals)
                sigaddset(&action.sa_mask, other);
            if (sigaction(kCleanupSignals[i], &action, &g_previous[i]) != 0)
                continue;
            // A signal the user's environment ignores (nohup) stays ignored; one that a
            // handler of its own with extra information serves keeps it.
            if (g_previous[i].sa_handler == SIG_IGN || (g_previous[i].sa_flags & SA_SIGINFO))
                sigaction(kCleanupSignals[i], &g_previous[i], nullptr);
        }
    });
}

int RegisterTemporary(int dirFd, const std::string& name)
{
    if (name.size() > NAME_MAX)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!g_slots[i].state.compare_exchange_strong(expected, kFilling))
            continue;
        g_slots[i].dirFd = dirFd;
        std::memcpy(g_slots[i].name, name.c_str(), name.size() + 1);
        g_slots[i].state.store(kActive, std::memory_order_release);
        return i;
    }
    return -1;
}

void Unregister(int slot)
{
    if (slot >= 0)
        g_slots[slot].state.store(kFree, std::memory_order_release);
}

// ---- Paths and messages ----

void SplitPath(const std::string& path, std::string& folder, std::string& name)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

EOutputError::Cause CauseOf(int errnoValue)
{
    using Cause = EOutputError::Cause;
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
        return Cause::FolderMissing;
    case EACCES:
    case EPERM:
        return Cause::NoPermission;
    case EROFS:
        return Cause::ReadOnlyFileSystem;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return Cause::DiskFull;
    case EISDIR:
        return Cause::IsFolder;
    default:
        return Cause::Other;
    }
}

std::string TemporaryName(const std::string& name)
{
    static std::atomic<unsigned> counter{0};
    static std::random_device device;
    // Hidden, beside the target, and recognisable as ours: no other process makes a name with
    // our process id in it.
    const std::string base = name.size() > 200 ? name.substr(0, 200) : name;
    return "." + base + "." + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(device() % 10000u) + ".tmp";
}

} // namespace

std::string OutputFailureReason(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
        return "der Ordner existiert nicht";
    case EACCES:
    case EPERM:
        return "keine Berechtigung zum Schreiben";
    case EROFS:
        return "das Dateisystem ist schreibgesch\xC3\xBCtzt";
    case ENOSPC:
    case EDQUOT:
        return "der Datentr\xC3\xA4ger ist voll";
    case EFBIG:
        return "die Datei wird zu gro\xC3\x9F";
    case EISDIR:
        return "das ist ein Ordner";
    case EBADF:
        return "die Ausgabe ist geschlossen";
    case EPIPE:
        return "der Empf\xC3\xA4nger der Ausgabe hat sie geschlossen";
    case ENAMETOOLONG:
        return "der Name ist zu lang";
    case EIO:
        return "E/A-Fehler beim Schreiben";
    default:
        return "E/A-Fehler " + std::to_string(errnoValue) + " (" + std::strerror(errnoValue) + ")";
    }
}

EOutputError EOutputError::Because(Cause cause, const std::string& path, const std::string& reason)
{
    return EOutputError(cause, "Die Datei " + Quoted(path) +
                                   " kann nicht geschrieben werden: " + reason + ".");
}

EOutputError EOutputError::FromErrno(const std::string& path, int errnoValue)
{
    return Because(CauseOf(errnoValue), path, OutputFailureReason(errnoValue));
}

AtomicFile::AtomicFile(const std::string& path, const std::vector<std::string>& keep)
    : m_path(path)
{
    using Cause = EOutputError::Cause;
    for (const std::string& kept : keep) {
        struct stat st;
        if (!kept.empty() && stat(kept.c_str(), &st) == 0)
            m_keep.push_back({static_cast<unsigned long long>(st.st_dev),
                              static_cast<unsigned long long>(st.st_ino)});
    }

    std::string target = path;
    struct stat linkStat;
    if (!path.empty() && lstat(path.c_str(), &linkStat) == 0 && S_ISLNK(linkStat.st_mode)) {
        // The file the link points to is the one the user means; the link itself stays.
        char* resolved = realpath(path.c_str(), nullptr);
        if (!resolved)
            throw EOutputError::Because(Cause::Other, path,
                                        "die Verkn\xC3\xBCpfung zeigt auf keine Datei");
        target = resolved;
        std::free(resolved);
    }
    SplitPath(target, m_folder, m_name);
    if (m_name.empty() || m_name == "." || m_name == "..")
        throw EOutputError::Because(Cause::IsFolder, path, "das ist ein Ordner");

    m_dirFd = open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            throw EOutputError::Because(Cause::FolderMissing, path,
                                        "der Ordner " + Quoted(m_folder) + " existiert nicht");
        throw EOutputError::FromErrno(path, error);
    }

    struct stat st;
    bool replaces = false;
    if (fstatat(m_dirFd, m_name.c_str(), &st, 0) == 0) {
        for (const Identity& kept : m_keep) {
            if (kept.device == static_cast<unsigned long long>(st.st_dev) &&
                kept.inode == static_cast<unsigned long long>(st.st_ino)) {
                closeFiles();
                throw EOutputError::Because(Cause::IsInput, path,
                                            "das ist die Eingabedatei selbst");
            }
        }
        if (S_ISDIR(st.st_mode)) {
            closeFiles();
            throw EOutputError::Because(Cause::IsFolder, path, "das ist ein Ordner");
        }
        if (!S_ISREG(st.st_mode)) {
            closeFiles();
            throw EOutputError::Because(
                Cause::NotRegularFile, path,
                "das ist keine gew\xC3\xB6hnliche Datei (ein Ger\xC3\xA4t, eine Pipe "
                "oder ein Socket)");
        }
        // The same rule as opening the file for writing: what the process could not
        // overwrite in place it does not replace either.
        if (faccessat(m_dirFd, m_name.c_str(), W_OK, AT_EACCESS) != 0) {
            const int error = errno;
            closeFiles();
            if (error == EACCES || error == EPERM)
                throw EOutputError::Because(Cause::NoPermission, path,
                                            "die Datei ist schreibgesch\xC3\xBCtzt");
            throw EOutputError::FromErrno(path, error);
        }
        replaces = true;
    } else if (errno != ENOENT) {
        const int error = errno;
        closeFiles();
        throw EOutputError::FromErrno(path, error);
    }

    InstallCleanupHandlers();
    int error = 0;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_tempName = TemporaryName(m_name);
        struct stat existing;
        if (fstatat(m_dirFd, m_tempName.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        // Known to the signal handler before it exists: a signal the moment after the file is
        // created must find it. The name was free, and no one else makes names with our id.
        m_slot = RegisterTemporary(m_dirFd, m_tempName);
        m_fd = openat(m_dirFd, m_tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            break;
        error = errno;
        Unregister(m_slot);
        m_slot = -1;
        if (error != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_tempName.clear();
        closeFiles();
        if (error == EACCES || error == EPERM)
            throw EOutputError::Because(Cause::NoPermission, path,
                                        "keine Berechtigung zum Schreiben in den Ordner " +
                                            Quoted(m_folder));
        throw EOutputError::FromErrno(path, error ? error : EEXIST);
    }
    if (replaces) {
        // Owner first: changing it clears the set-id bits the mode would carry.
        if (fchown(m_fd, st.st_uid, st.st_gid) != 0 && fchown(m_fd, uid_t(-1), st.st_gid) != 0) {
            // Not ours to give away: the file stays the writer's.
        }
        fchmod(m_fd, st.st_mode & 0777);
    }
    m_buffer.reserve(kBufferSize);
}

AtomicFile::~AtomicFile() { Discard(); }

std::string AtomicFile::TemporaryPath() const
{
    if (m_tempName.empty())
        return std::string();
    return m_folder == "/" ? "/" + m_tempName : m_folder + "/" + m_tempName;
}

void AtomicFile::fail(int errnoValue)
{
    if (m_errno == 0)
        m_errno = errnoValue ? errnoValue : EIO;
    // What was written is of no use any more, and on a full disk it takes the room others need.
    Discard();
}

bool AtomicFile::writeAll(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = write(m_fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
            return false;
        }
        if (written == 0) {
            fail(ENOSPC);
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool AtomicFile::flushBuffer()
{
    if (m_buffer.empty())
        return true;
    const bool written = writeAll(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return written;
}

bool AtomicFile::Write(const void* data, std::size_t size)
{
    if (m_errno != 0)
        return false;
    if (m_fd < 0) {
        fail(EBADF);
        return false;
    }
    const char* bytes = static_cast<const char*>(data);
    if (m_buffer.size() + size <= kBufferSize) {
        m_buffer.insert(m_buffer.end(), bytes, bytes + size);
        return true;
    }
    if (!flushBuffer())
        return false;
    if (size >= kBufferSize)
        return writeAll(bytes, size);
    m_buffer.insert(m_buffer.end(), bytes, bytes + size);
    return true;
}

void AtomicFile::ThrowIfFailed() const
{
    if (m_errno != 0)
        throw EOutputError::FromErrno(m_path, m_errno);
}

void AtomicFile::Restart()
{
    if (m_fd < 0)
        return;
    m_buffer.clear();
    if (ftruncate(m_fd, 0) != 0 || lseek(m_fd, 0, SEEK_SET) != 0)
        fail(errno);
}

void AtomicFile::Commit()
{
    if (m_committed)
        return;
    ThrowIfFailed();
    if (m_fd < 0)
        throw EOutputError::FromErrno(m_path, EBADF);
    flushBuffer();
    if (m_errno == 0 && fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        fail(errno);
    if (m_fd >= 0) {
        const int fd = m_fd;
        m_fd = -1;
        if (close(fd) != 0 && errno != EINTR)
            fail(errno);
    }
    ThrowIfFailed();

    // Between the checks at the start and now the target may have become something else.
    struct stat st;
    if (fstatat(m_dirFd, m_name.c_str(), &st, 0) == 0) {
        const bool kept = [&] {
            for (const Identity& identity : m_keep) {
                if (identity.device == static_cast<unsigned long long>(st.st_dev) &&
                    identity.inode == static_cast<unsigned long long>(st.st_ino))
                    return true;
            }
            return false;
        }();
        if (kept || !S_ISREG(st.st_mode)) {
            Discard();
            throw EOutputError::Because(
                kept ? EOutputError::Cause::IsInput : EOutputError::Cause::NotRegularFile, m_path,
                kept ? "das ist die Eingabedatei selbst"
                     : "das ist keine gew\xC3\xB6hnliche Datei mehr");
        }
    }
    if (renameat(m_dirFd, m_tempName.c_str(), m_dirFd, m_name.c_str()) != 0) {
        const int error = errno;
        Discard();
        throw EOutputError::FromErrno(m_path, error);
    }
    m_committed = true;
    Unregister(m_slot);
    m_slot = -1;
    m_tempName.clear();
    // The new name lasts a crash of the machine only once the folder is on disk too.
    fsync(m_dirFd);
    closeFiles();
}

void AtomicFile::Discard() noexcept
{
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_tempName.empty() && m_dirFd >= 0)
        unlinkat(m_dirFd, m_tempName.c_str(), 0);
    m_tempName.clear();
    Unregister(m_slot);
    m_slot = -1;
    m_buffer.clear();
    closeFiles();
}

void AtomicFile::closeFiles() noexcept
{
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (m_dirFd >= 0 && m_tempName.empty()) {
        close(m_dirFd);
        m_dirFd = -1;
    }
}

void ReserveStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // Read-only: a write to it fails as it did while it was closed.
        const int opened = open("/dev/null", O_RDONLY);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
}

void CheckOutputStream(std::ostream& out)
{
    if (out)
        return;
    const int error = errno;
    throw EOutputError(EOutputError::Cause::Other, "Die Ausgabe kann nicht geschrieben werden: " +
                                                       OutputFailureReason(error ? error : EIO) +
                                                       ".");
}
