#include "MprWriter.h"

#include "TMatchDocFile.h"

#include <fstream>
#include <stdexcept>

MprBody& MprBody::Byte(uint8_t value)
{
    Data.push_back(static_cast<char>(value));
    return *this;
}

MprBody& MprBody::Int32(int32_t value)
{
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        Data.push_back(static_cast<char>((v >> shift) & 0xFF));
    return *this;
}

MprBody& MprBody::Bytes(const void* data, size_t size)
{
    Data.append(static_cast<const char*>(data), size);
    return *this;
}

MprBody& MprBody::Zeros(size_t count)
{
    Data.append(count, '\0');
    return *this;
}

MprBody& MprBody::String(const std::string& text)
{
    Int32(static_cast<int32_t>(text.size()));
    Data += text;
    return *this;
}

void PatchInt32(std::string& bytes, size_t offset, int32_t value)
{
    MprBody b;
    b.Int32(value);
    bytes.replace(offset, 4, b.Data);
}

std::string PlainBody(const TMatchDocument& doc, const MprOptions& options)
{
    const int32_t n = doc.FileCount;
    const int32_t ratingTop = static_cast<int32_t>(doc.Ratings.size()) - 1;
    MprBody body;
    body.Byte(0)
        .Byte(options.SecurityCode)
        .Byte(doc.OpaqueFlag)
        .Byte(doc.GroupMode)
        .Byte(doc.FileLabelKind)
        .Int32(doc.OpaqueValue)
        .Bytes(doc.KindLetters.data(), 4)
        .Byte(static_cast<uint8_t>(doc.OwnPriorityMark))
        .Int32(static_cast<int32_t>(doc.Columns.size()))
        .Int32(static_cast<int32_t>(doc.InfoLines.size()))
        .Int32(n)
        .Int32(ratingTop < 0 ? 0 : ratingTop)
        .Int32(static_cast<int32_t>(doc.AddedColumns.size()))
        .Int32(doc.GrossTotal)
        .Int32(doc.SingleNumber)
        .Byte(doc.MatrixKind)
        .Zeros(7)
        .Int32(doc.HitsTotal);
    if (options.Version >= 6)
        body.Bytes(doc.OriginId.data(), 16);
    body.String(doc.CustomerText).String(doc.HeadText).String(doc.TaskText).String(doc.PercentText);
    for (const std::string& line : doc.InfoLines)
        body.String(line);
    for (int32_t code : doc.Columns)
        body.Int32(options.Version < 5 && code <= -6 ? code + 1 : code);
    for (const TMatchDocAddColEntry& column : doc.AddedColumns) {
        body.Byte(column.LeftAligned).Byte(column.SumWithout).Byte(column.SumWith).Zeros(4);
        for (int32_t row = 0; row < n + 4; ++row)
            body.String(row < static_cast<int32_t>(column.Cells.size()) ? column.Cells[row] : "");
    }
    for (int32_t i = 0; i <= n; ++i) {
        const TMatchDocFileEntry e =
            i < static_cast<int32_t>(doc.Entries.size()) ? doc.Entries[i] : TMatchDocFileEntry{};
        body.Byte(e.Kind).Byte(e.OwnPriority).Int32(e.Priority).Int32(e.Gross).Int32(e.Intra);
        body.Int32(e.Duplicates).Int32(e.NetEstimate).Int32(e.Multi).Int32(e.Hits);
        body.String(e.Ident).String(e.Name);
    }
    if (ratingTop > 0) {
        for (int32_t value : doc.Ratings)
            body.Int32(value);
    }
    if (n > 1) {
        const bool triangular = doc.MatrixKind != 1;
        for (int32_t i = n; i >= (triangular ? 2 : 1); --i) {
            const int32_t length = triangular ? i - 1 : n;
            for (int32_t c = 0; c < length; ++c) {
                const bool have = i - 1 < static_cast<int32_t>(doc.Matrix.size()) &&
                                  c < static_cast<int32_t>(doc.Matrix[i - 1].size());
                body.Int32(have ? doc.Matrix[i - 1][c] : 0);
            }
        }
    }
    return body.Data;
}

std::string Assemble(const std::string& plainBody, const MprOptions& options)
{
    MprBody header;
    header.Bytes(options.LegacyMagic ? TMatchDocFile::LegacyMagic : TMatchDocFile::CurrentMagic,
                 TSafeFile::kMagicSize);
    header.Int32(options.Version)
        .Int32(static_cast<int32_t>(options.SeedWord))
        .Int32(options.Reserved);
    std::string file = header.Data;
    uint32_t state = options.SeedWord ^ TSafeFile::kSeedMask;
    for (char c : plainBody)
        file.push_back(static_cast<char>(static_cast<unsigned char>(c) ^ NextKeyByte(state)));
    return file;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}
