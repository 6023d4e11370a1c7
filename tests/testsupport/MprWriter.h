#pragma once

// Writes .mpr files for tests and samples. Test support only: the program never writes a log.

#include "TMatchDocument.h"

#include <cstdint>
#include <string>

struct MprOptions {
    int32_t Version = 6;
    bool LegacyMagic = false;
    uint32_t SeedWord = 0x12345678u;
    int32_t Reserved = 0;
    uint8_t SecurityCode = 1;
};

// Plain (unscrambled) body pieces, little-endian.
class MprBody {
public:
    MprBody& Byte(uint8_t value);
    MprBody& Int32(int32_t value);
    MprBody& Bytes(const void* data, size_t size);
    MprBody& Zeros(size_t count);
    // A length-prefixed string.
    MprBody& String(const std::string& text);
    // A raw length without text (for damaged strings).
    MprBody& Length(int32_t length) { return Int32(length); }

    std::string Data;
};

// The plain body of a document laid down as the given version writes it (old column codes below
// version 5, OriginId only in version 6, no ratings for a single element, no matrix for N <= 1).
std::string PlainBody(const TMatchDocument& doc, const MprOptions& options = {});

// Header plus the body scrambled with the key stream of the options' seed word.
std::string Assemble(const std::string& plainBody, const MprOptions& options = {});

// The whole file of a document.
inline std::string MprFile(const TMatchDocument& doc, const MprOptions& options = {})
{
    return Assemble(PlainBody(doc, options), options);
}

// Offsets in the plain body's leading record, for damaging a file on purpose.
namespace LeadingOffset {
constexpr size_t SecurityCode = 1;
constexpr size_t ColumnCount = 14;
constexpr size_t InfoCount = 18;
constexpr size_t FileCount = 22;
constexpr size_t RatingTop = 26;
constexpr size_t AddedCount = 30;
} // namespace LeadingOffset

void PatchInt32(std::string& bytes, size_t offset, int32_t value);

void WriteFileBytes(const std::string& path, const std::string& bytes);
