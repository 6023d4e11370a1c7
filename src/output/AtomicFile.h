#pragma once

#include <cstddef>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

// Why an output cannot be written. The message is German (UTF-8), names the file and says why,
// ready to be shown: "Die Datei "/x/y.pdf" kann nicht geschrieben werden: der Datenträger ist
// voll."
class EOutputError : public std::runtime_error {
public:
    enum class Cause {
        FolderMissing,
        NoPermission, // no right to write into the folder, or a write-protected file
        ReadOnlyFileSystem,
        DiskFull,
        IsFolder,
        NotRegularFile, // a device, a FIFO, a socket
        IsInput,        // the same file as one the program reads (also through a link)
        Other,
    };

    EOutputError(Cause cause, const std::string& message)
        : std::runtime_error(message)
        , m_cause(cause)
    {
    }
    Cause WhatCause() const { return m_cause; }

    // The failure of an operating-system call on the file, by its errno value.
    static EOutputError FromErrno(const std::string& path, int errnoValue);
    static EOutputError Because(Cause cause, const std::string& path, const std::string& reason);

private:
    Cause m_cause;
};

// The German reason for an errno value of a failed write ("der Datenträger ist voll", ...).
std::string OutputFailureReason(int errnoValue);

// Throws EOutputError for a stream that failed: "Die Ausgabe kann nicht geschrieben werden: ...".
void CheckOutputStream(std::ostream& out);

// A file that appears under its name only when it is complete. It is written under a temporary
// name in the target's own folder (so the final rename stays on one file system) and renamed over
// the target by Commit, after every write, the flush, fsync and close succeeded. Whatever goes
// wrong before that (a failed write, an exception, the object going out of scope, SIGINT, SIGTERM
// or SIGHUP) removes the temporary file and leaves the target exactly as it was.
//
// The constructor refuses, before anything is written, a target that is a folder, a device, a
// FIFO or a socket, a file the process may not write (a write-protected report stays as it is),
// and one of the files in keep (the log being read: the same file through any path, hard link or
// symbolic link). A target that is a symbolic link has the file it points to replaced; a file
// that is replaced keeps its permission bits, and its owner and group where the process may set
// them. Nothing this class did not create is ever removed or truncated.
//
// Paths are the operating system's bytes. One object is written from one thread at a time.
class AtomicFile {
public:
    // Throws EOutputError when the target is refused or the temporary file cannot be created.
    explicit AtomicFile(const std::string& path, const std::vector<std::string>& keep = {});
    // Discards the temporary file unless committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The target as given.
    const std::string& Path() const { return m_path; }
    // Where the bytes go until Commit; empty once committed or discarded.
    std::string TemporaryPath() const;

    // Appends bytes (buffered). False once any write failed; the first failure is kept and
    // every later write is dropped.
    bool Write(const void* data, std::size_t size);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    bool Failed() const { return m_errno != 0; }
    // Throws the kept failure as EOutputError, if there is one.
    void ThrowIfFailed() const;
    // Drops everything written so far and starts the temporary file again from its first byte.
    void Restart();

    // Flushes, syncs and closes the temporary file, checks that the target still may be replaced
    // and renames the temporary file over it. Throws EOutputError on any failure, after the
    // temporary file was removed.
    void Commit();
    // Removes the temporary file; the target stays as it was. For a cancelled or failed output;
    // may be called at any time, also more than once and after Commit (then it does nothing).
    void Discard() noexcept;
    bool Committed() const { return m_committed; }

private:
    bool flushBuffer();
    bool writeAll(const char* data, std::size_t size);
    void fail(int errnoValue);
    void closeFiles() noexcept;

    std::string m_path;
    std::string m_folder;
    std::string m_name;
    std::string m_tempName;
    struct Identity {
        unsigned long long device;
        unsigned long long inode;
    };
    std::vector<Identity> m_keep;
    int m_dirFd = -1;
    int m_fd = -1;
    int m_slot = -1;
    int m_errno = 0;
    bool m_committed = false;
    std::vector<char> m_buffer;
};

// Standard input, output and error that are closed when the program starts get a descriptor on
// /dev/null that cannot be written: writes to a closed standard output still fail, and no file
// the program opens later takes their number (a warning printed to a closed standard error
// would otherwise land in the file). Call first thing in main.
void ReserveStandardDescriptors();
