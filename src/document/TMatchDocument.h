#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// File kinds: 0 base file, 1 master file, 2 lock file, 3 compact lock file.
using TFileKind = uint8_t;
// A set of file kinds 0..7, one bit per kind.
using TFileKindSet = uint8_t;

inline bool KindInSet(TFileKindSet set, TFileKind kind)
{
    return kind < 8 && (set & (1u << kind)) != 0;
}

// One input file of a log, or the sum row without lock files.
struct TMatchDocFileEntry {
    TFileKind Kind = 0;
    uint8_t OwnPriority = 0;
    int32_t Priority = 0;
    std::string Ident;
    std::string Name;
    int32_t Gross = 0;
    int32_t Intra = 0;
    int32_t Duplicates = 0;
    int32_t Hits = 0;
    int32_t NetEstimate = 0;
    int32_t Multi = 0;
};

// One added column of the files table: its cells are stored as text, one per table row.
struct TMatchDocAddColEntry {
    std::vector<std::string> Cells;
    uint8_t SumWithout = 0;
    uint8_t SumWith = 0;
    uint8_t LeftAligned = 0;
};

using TColumnMap = std::vector<int32_t>;
using TDocTable = std::vector<TMatchDocFileEntry>;
using TRatingData = std::vector<int32_t>;
using TVectorData = std::vector<int32_t>;
using TMatrixData = std::vector<TVectorData>;
using TAddColTable = std::vector<TMatchDocAddColEntry>;

// The statistics log of one matching run, as read from a .mpr file. Texts are code page 1252
// bytes. Once loaded it is only read.
//
// LoadFromFile fails with the container's errors (EInOutError, Exception with "ist kein" or
// "ungültige Version"), with "Statistik-Protokoll \"<path>\": ungültiger Sicherheitscode", with
// "ist kein" for a negative count, and with the end-of-file error for any count or length whose
// data cannot fit in the rest of the file (checked before anything is allocated for it). A log
// that is well formed but whose pages would be beyond the bounds below fails with
// "Statistik-Protokoll \"<path>\" ist zu groß zum Anzeigen: <what> (höchstens <bound>)". A failed
// load leaves the document cleared or partly filled, with FileName empty.
class TMatchDocument {
public:
    static constexpr int kLeadingRecordSize = 54;
    static constexpr int kAddColBlockSize = 7;
    static constexpr int kEntryBlockSize = 30;

    // What the pages show at most. A code costs 4 bytes and may repeat, so a small file can
    // describe a files table of billions of cells; real logs have a few thousand files, a few
    // dozen columns and a few lines of information, far below every bound.
    static constexpr int64_t kMaxColumns = 10000;
    // Cells of the files table: columns x (files + 4).
    static constexpr int64_t kMaxCells = 10000000;
    // Bytes of stored text the files table shows (file idents and names, added cells), counted
    // once for every column that shows them.
    static constexpr int64_t kMaxTableText = int64_t(64) << 20;
    static constexpr int64_t kMaxInfoLines = 50000;
    static constexpr int64_t kMaxInfoText = int64_t(4) << 20;
    static constexpr int64_t kMaxInfoLineLength = 4096;

    TMatchDocument() = default;

    void Clear();
    void UpdateIntraKinds();
    void LoadFromFile(const std::string& path);

    std::string FileName;
    uint8_t OpaqueFlag = 0;
    uint8_t GroupMode = 0;
    TFileKindSet IntraKinds = 0;
    uint8_t FileLabelKind = 0;
    int32_t OpaqueValue = 0;
    std::array<char, 4> KindLetters{};
    char OwnPriorityMark = 0;
    uint8_t MatrixKind = 0;
    bool MatrixTriangular = false;
    bool Legacy = false;
    int32_t SingleNumber = 0;
    TColumnMap Columns;
    std::array<uint8_t, 16> OriginId{};
    std::string CustomerText;
    std::string HeadText;
    std::string TaskText;
    std::string PercentText;
    std::vector<std::string> InfoLines;
    int32_t GrossTotal = 0;
    int32_t HitsTotal = 0;
    int32_t FileCount = 0;
    TDocTable Entries;
    TRatingData Ratings;
    TMatrixData Matrix;
    TAddColTable AddedColumns;
};
