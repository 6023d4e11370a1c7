#include "TFile.h"

#include "Errors.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

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

void TFile::Open()
{
    if (IsOpen())
        Close();
    std::error_code ec;
    // A folder opens on some systems and fails on the first read; refuse it as the
    // operating system that the messages come from does.
    if (!m_name.empty() && fs::is_directory(fs::path(m_name), ec))
        throw EInOutError::FromErrno(EACCES);
    errno = 0;
    std::FILE* file = std::fopen(m_name.c_str(), "rb");
    if (!file)
        throw EInOutError::FromErrno(errno ? errno : ENOENT);
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
