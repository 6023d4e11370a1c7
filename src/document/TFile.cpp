#include "TFile.h"

#include "Errors.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string ExpandFileName(const std::string& path)
{
    if (path.empty())
        return path;
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(path), ec);
    if (ec)
        return path;
    std::string result = full.lexically_normal().string();
    // lexically_normal keeps a trailing separator of "dir/.."; the file name has none.
    if (result.size() > 1 && result.back() == fs::path::preferred_separator)
        result.pop_back();
    return result;
}

TFile::~TFile()
{
    if (m_file)
        std::fclose(m_file);
}

void TFile::SetName(const std::string& path)
{
    if (IsOpen())
        return;
    m_name = ExpandFileName(path);
}

namespace {

// Only a regular file is a log. Anything else is refused before it is opened for reading:
// opening a FIFO waits for a writer, a device may do anything when opened, and neither has an
// end to read up to. A folder is refused as the operating system the messages come from does.
void RequireRegularFile(const std::string& name)
{
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0)
        throw EInOutError::FromErrno(errno ? errno : ENOENT);
    if (!S_ISREG(info.st_mode))
        throw EInOutError::FromErrno(EACCES);
}

// Opens without waiting, whatever stands under the name by now, and makes sure it still is a
// regular file; then reads block again.
std::FILE* OpenRegularFile(const std::string& name)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw EInOutError::FromErrno(errno ? errno : ENOENT);
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const int flags = regular ? ::fcntl(fd, F_GETFL) : -1;
    if (!regular || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        throw EInOutError::FromErrno(EACCES);
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        const int err = errno;
        ::close(fd);
        throw EInOutError::FromErrno(err ? err : EIO);
    }
    return file;
}

} // namespace

void TFile::Open()
{
    if (IsOpen())
        Close();
    errno = 0;
    RequireRegularFile(m_name);
    std::FILE* file = OpenRegularFile(m_name);
    if (std::fseek(file, 0, SEEK_END) != 0) {
        int err = errno;
        std::fclose(file);
        throw EInOutError::FromErrno(err);
    }
    long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        int err = errno;
        std::fclose(file);
        throw EInOutError::FromErrno(err);
    }
    m_file = file;
    m_size = size;
    m_position = 0;
}

void TFile::Read(void* buffer, int64_t n)
{
    if (n <= 0)
        return;
    if (!m_file)
        throw EInOutError::FromErrno(EBADF);
    if (n > m_size - m_position)
        throw EInOutError::EndOfFile();
    size_t got = std::fread(buffer, 1, static_cast<size_t>(n), m_file);
    m_position += static_cast<int64_t>(got);
    if (got != static_cast<size_t>(n)) {
        if (std::ferror(m_file))
            throw EInOutError::FromErrno(errno ? errno : EIO);
        throw EInOutError::EndOfFile();
    }
}

void TFile::Close()
{
    if (!m_file)
        return;
    std::FILE* file = m_file;
    m_file = nullptr;
    m_size = 0;
    m_position = 0;
    std::fclose(file);
}
