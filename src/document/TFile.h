#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// One operating-system file, opened read-only and read as a stream of bytes.
// Every operation that the operating system fails raises EInOutError with the runtime's text;
// reading past the end raises EInOutError::EndOfFile().
class TFile {
public:
    TFile() = default;
    ~TFile();
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Stores the path expanded to a full path against the current directory. Only while closed.
    // The path is kept whole: cutting it would name another file.
    void SetName(const std::string& path);
    const std::string& GetName() const { return m_name; }

    bool IsOpen() const { return m_file != nullptr; }
    void Open();
    int64_t Size() const { return m_size; }
    // Bytes read so far (the position in the file).
    int64_t Position() const { return m_position; }
    // Reads exactly n bytes; fewer available is a failure.
    void Read(void* buffer, int64_t n);
    void Close();

private:
    std::FILE* m_file = nullptr;
    std::string m_name;
    int64_t m_size = 0;
    int64_t m_position = 0;
};

// The full path of a path against the current directory, normalised lexically as the
// operating system does (".", ".." and repeated separators).
std::string ExpandFileName(const std::string& path);
