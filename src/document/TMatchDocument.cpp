#include "TMatchDocument.h"

#include "ColumnMeaning.h"
#include "Errors.h"
#include "TMatchDocFile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace {

const char* const kNotALog = "\"%s\" ist kein Statistik-Protokoll";
const char* const kBadSecurityCode = "Statistik-Protokoll \"%s\": ungültiger Sicherheitscode";

// Fails unless count items of at least bytesEach stored bytes fit in the rest of the file.
void RequireItems(const TSafeFile& file, int64_t count, int64_t bytesEach)
{
    if (count > 0 && bytesEach > 0 && count > file.Remaining() / bytesEach)
        throw EInOutError::EndOfFile();
}

void ReadInt32Array(TSafeFile& file, std::vector<int32_t>& values, int64_t count)
{
    RequireItems(file, count, 4);
    std::vector<unsigned char> raw(static_cast<size_t>(count) * 4);
    file.ReadBlock(raw.data(), static_cast<int64_t>(raw.size()));
    values.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = ReadLE32(raw.data() + 4 * i);
}

// Version 4 and older number the system columns from -5 on one lower. A code below them names no
// column either way; it must not wrap around into the added columns.
int32_t CurrentColumnCode(int32_t oldCode)
{
    if (oldCode > -5 || oldCode == std::numeric_limits<int32_t>::min())
        return oldCode;
    return oldCode - 1;
}

// Bytes of stored text a column shows on the files page: file idents or names, or the cells
// of an added column. Counting columns show figures, which the cell count bounds.
int64_t ColumnTextSize(const TMatchDocument& doc, int32_t code)
{
    int64_t size = 0;
    if (code == kCodeIdent || code == kCodeName) {
        for (int64_t i = 0; i < doc.FileCount; ++i) {
            const TMatchDocFileEntry& entry = doc.Entries[static_cast<size_t>(i)];
            size +=
                static_cast<int64_t>(code == kCodeIdent ? entry.Ident.size() : entry.Name.size());
        }
    } else if (code >= 1 && code <= static_cast<int64_t>(doc.AddedColumns.size())) {
        for (const std::string& cell : doc.AddedColumns[static_cast<size_t>(code) - 1].Cells)
            size += static_cast<int64_t>(cell.size());
    }
    return size;
}

// Fails with the "zu groß zum Anzeigen" message when the amount exceeds its bound.
void RequireAtMost(const TSafeFile& file, int64_t amount, int64_t bound, const std::string& what)
{
    if (amount <= bound)
        return;
    file.Fail("Statistik-Protokoll \"%s\" ist zu groß zum Anzeigen: " + std::to_string(amount) +
              " " + what + " (höchstens " + std::to_string(bound) + ")");
}

// A well-formed log can still describe pages no one could look at: a code repeated a million
// times over a thousand files, or one huge cell named by every column. Such a log is refused
// before anything is built from it; the look costs what the distinct columns hold.
void RequireShowablePages(const TSafeFile& file, const TMatchDocument& doc)
{
    const int64_t columns = static_cast<int64_t>(doc.Columns.size());
    RequireAtMost(file, columns, TMatchDocument::kMaxColumns, "Spalten");
    RequireAtMost(file, columns * (int64_t(doc.FileCount) + 4), TMatchDocument::kMaxCells,
                  "Zellen in der Dateitabelle");
    std::unordered_map<int32_t, int64_t> sizes;
    int64_t tableText = 0;
    for (int32_t code : doc.Columns) {
        auto found = sizes.find(code);
        if (found == sizes.end())
            found = sizes.emplace(code, ColumnTextSize(doc, code)).first;
        tableText += found->second;
    }
    RequireAtMost(file, tableText, TMatchDocument::kMaxTableText,
                  "Zeichen Text in der Dateitabelle");

    RequireAtMost(file, static_cast<int64_t>(doc.InfoLines.size()), TMatchDocument::kMaxInfoLines,
                  "Informationszeilen");
    int64_t infoText = 0;
    int64_t longestLine = 0;
    for (const std::string& line : doc.InfoLines) {
        infoText += static_cast<int64_t>(line.size());
        longestLine = std::max(longestLine, static_cast<int64_t>(line.size()));
    }
    RequireAtMost(file, infoText, TMatchDocument::kMaxInfoText, "Zeichen Informationstext");
    RequireAtMost(file, longestLine, TMatchDocument::kMaxInfoLineLength,
                  "Zeichen in einer Informationszeile");
}

struct LeadingRecord {
    unsigned char raw[TMatchDocument::kLeadingRecordSize];
    uint8_t Byte(int offset) const { return raw[offset]; }
    int32_t Int(int offset) const { return ReadLE32(raw + offset); }
};

} // namespace

void TMatchDocument::Clear()
{
    FileName.clear();
    FileCount = 0;
    OriginId.fill(0);
    CustomerText.clear();
    HeadText.clear();
    TaskText.clear();
    PercentText.clear();
    InfoLines.clear();
    Columns.clear();
    Entries.clear();
    Ratings.clear();
    Matrix.clear();
    AddedColumns.clear();
}

void TMatchDocument::UpdateIntraKinds()
{
    IntraKinds = GroupMode != 0 ? TFileKindSet(1u << 0) : TFileKindSet((1u << 0) | (1u << 1));
}

void TMatchDocument::LoadFromFile(const std::string& path)
{
    Clear();
    TMatchDocFile file;
    file.SetFileName(path);
    file.Open();

    LeadingRecord record;
    file.ReadBlock(record.raw, kLeadingRecordSize);
    const uint8_t securityCode = record.Byte(1);
    if (securityCode != 1 && securityCode != 2)
        file.Fail(kBadSecurityCode);

    const int32_t columnCount = record.Int(14);
    const int32_t infoCount = record.Int(18);
    const int32_t fileCount = record.Int(22);
    const int32_t ratingTop = record.Int(26);
    const int32_t addedCount = record.Int(30);
    if (infoCount < 0 || fileCount < 0 || ratingTop < 0 || addedCount < 0)
        file.Fail(kNotALog);

    OpaqueFlag = record.Byte(2);
    GroupMode = record.Byte(3);
    UpdateIntraKinds();
    FileLabelKind = record.Byte(4);
    OpaqueValue = record.Int(5);
    std::memcpy(KindLetters.data(), record.raw + 9, 4);
    OwnPriorityMark = static_cast<char>(record.Byte(13));
    FileCount = fileCount;
    GrossTotal = record.Int(34);
    HitsTotal = record.Int(50);
    Legacy = file.Version < 5;
    SingleNumber = record.Int(38);
    MatrixKind = record.Byte(42);
    MatrixTriangular = MatrixKind != 1;

    if (file.Version >= 6)
        file.ReadBlock(OriginId.data(), 16);
    else
        OriginId.fill(0);

    CustomerText = file.ReadString();
    HeadText = file.ReadString();
    TaskText = file.ReadString();
    PercentText = file.ReadString();
    RequireItems(file, infoCount, 4);
    InfoLines.reserve(static_cast<size_t>(infoCount));
    for (int32_t i = 0; i < infoCount; ++i)
        InfoLines.push_back(file.ReadString());

    if (columnCount > 0)
        ReadInt32Array(file, Columns, columnCount);
    if (file.Version < 5) {
        for (int32_t& code : Columns)
            code = CurrentColumnCode(code);
    }

    const int64_t rowCount = int64_t(fileCount) + 4;
    RequireItems(file, addedCount, kAddColBlockSize + 4 * rowCount);
    AddedColumns.resize(static_cast<size_t>(addedCount));
    for (TMatchDocAddColEntry& column : AddedColumns) {
        unsigned char block[kAddColBlockSize];
        file.ReadBlock(block, kAddColBlockSize);
        column.LeftAligned = block[0];
        column.SumWithout = block[1];
        column.SumWith = block[2];
        RequireItems(file, rowCount, 4);
        column.Cells.resize(static_cast<size_t>(rowCount));
        for (std::string& cell : column.Cells)
            cell = file.ReadString();
    }

    RequireItems(file, int64_t(fileCount) + 1, kEntryBlockSize + 8);
    Entries.resize(static_cast<size_t>(fileCount) + 1);
    for (TMatchDocFileEntry& entry : Entries) {
        unsigned char block[kEntryBlockSize];
        file.ReadBlock(block, kEntryBlockSize);
        entry.Kind = block[0];
        entry.OwnPriority = block[1];
        entry.Priority = ReadLE32(block + 2);
        entry.Gross = ReadLE32(block + 6);
        entry.Intra = ReadLE32(block + 10);
        entry.Duplicates = ReadLE32(block + 14);
        entry.NetEstimate = ReadLE32(block + 18);
        entry.Multi = ReadLE32(block + 22);
        entry.Hits = ReadLE32(block + 26);
        entry.Ident = file.ReadString();
        entry.Name = file.ReadString();
    }

    if (Legacy)
        Entries[0].Hits = -1;
    else if (Entries[0].Hits < 0)
        Legacy = true;

    if (ratingTop > 0)
        ReadInt32Array(file, Ratings, int64_t(ratingTop) + 1);
    else
        Ratings.assign(1, 0);

    if (fileCount > 1) {
        const int64_t n = fileCount;
        RequireItems(file, MatrixTriangular ? n * (n - 1) / 2 : n * n, 4);
        Matrix.resize(static_cast<size_t>(n));
        const int32_t lowest = MatrixTriangular ? 2 : 1;
        for (int32_t i = fileCount; i >= lowest; --i)
            ReadInt32Array(file, Matrix[i - 1], MatrixTriangular ? i - 1 : n);
    }

    RequireShowablePages(file, *this);
    file.Close();
    FileName = path;
}
