#pragma once

#include "TFile.h"

#include <cstdint>
#include <memory>
#include <string>

// The scrambled container: a 44-byte clear header (32-byte magic, version, masked seed word,
// reserved 0) followed by a body XOR-ed with a linear congruential key stream. The file kind
// (accepted magics and versions, the name used in messages) is supplied by a subclass.
//
// Failures: EInOutError from the operating system and at the end of the file; Exception with
// "\"<path>\" ist kein <kind>" for a short file, a foreign magic or a reserved word other than 0,
// and "<kind> \"<path>\": ungültige Version" for a version the kind does not accept.
class TSafeFile {
public:
    static constexpr int kHeaderSize = 44;
    static constexpr int kMagicSize = 32;
    static constexpr uint32_t kSeedMask = 0x2f4be873u;
    static constexpr uint32_t kMultiplier = 134775813u;

    TSafeFile();
    virtual ~TSafeFile();
    TSafeFile(const TSafeFile&) = delete;
    TSafeFile& operator=(const TSafeFile&) = delete;

    // Only while closed. The path is expanded to a full path and kept whole.
    void SetFileName(const std::string& path);
    const std::string& GetFileName() const { return File->GetName(); }

    void Open();
    void Close();

    // Reads n bytes of the body and unscrambles them in place; nothing for n <= 0.
    void ReadBlock(void* buffer, int64_t n);
    // A 32-bit length, then that many bytes; a length below 1 is an empty string. A length that
    // cannot fit in the rest of the file fails before anything is allocated.
    std::string ReadString();
    int32_t ReadInt32();

    // Body bytes not yet read.
    int64_t Remaining() const { return File->Size() - File->Position(); }
    // Fails with the end-of-file error when fewer than n bytes are left.
    void RequireRemaining(int64_t n) const;

    // Raises Exception with the format's single "%s" replaced by the full path.
    [[noreturn]] void Fail(const std::string& format) const;

    std::unique_ptr<TFile> File;
    int32_t Version = 0;
    uint32_t KeyState = 0;

protected:
    virtual bool IsVersionSupported(int32_t version) const = 0;
    virtual bool IsMagic(const unsigned char* magic) const = 0;
    virtual std::string KindName() const = 0;
};

// Advances a key state by one byte and returns the key byte.
inline unsigned char NextKeyByte(uint32_t& state)
{
    state = state * TSafeFile::kMultiplier + 1u;
    return static_cast<unsigned char>(state >> 24);
}

// Little-endian 32-bit value at p.
inline int32_t ReadLE32(const unsigned char* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) |
                                (static_cast<uint32_t>(p[3]) << 24));
}
