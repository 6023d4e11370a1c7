#pragma once

#include <cstdint>
#include <optional>

// What a column of the files table means wherever it is shown: the window, the report and the
// exporter read these descriptions instead of testing column codes themselves. A column code is
// -15 .. -1 for a system column (the document computes its cells) or k >= 1 for the added
// column stored as entry k - 1.

// A fill colour of a grid cell; no colour means the grid's normal drawing.
struct TCellColour {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const TCellColour& o) const
    {
        return Red == o.Red && Green == o.Green && Blue == o.Blue;
    }
};
using TOptionalColour = std::optional<TCellColour>;

namespace ColumnColours {
// The cells a column sums.
constexpr TCellColour Sum{255, 128, 192};
// The intra-duplicate counts of the files.
constexpr TCellColour Intra{128, 255, 255};
} // namespace ColumnColours

enum class TColumnAlignment : uint8_t { Right, Left };

// How a printed cell's number is written: as it stands, with two decimals, or as an integer;
// the latter two with thousands separators.
enum class TNumberFormat { AsIs = 0, TwoDecimals = 1, Integer = 2 };

struct TColumnMeaning {
    // Relative text ids of the upper and lower title line; 0 is a line without text.
    int32_t UpperTitleId = 0;
    int32_t LowerTitleId = 0;
    TColumnAlignment Alignment = TColumnAlignment::Right;
    // How the report writes the column's numbers; none: as the column's cells read.
    std::optional<TNumberFormat> PrintedFormat;
    // The file's number or name: the sum captions may stand over it.
    bool NamesFile = false;
    // Blank on the rows of lock files.
    bool BaseAndMasterOnly = false;
    // The sum row without lock files shows the column's sum; the sum row with lock files too.
    bool SumWithout = false;
    bool SumWith = false;
    // The colour of the column's cells on the file rows.
    TOptionalColour FileRowColour;
};

constexpr int32_t kSystemColumnCount = 15;

// The system columns the page data treats apart.
constexpr int32_t kCodeGross = -2;
constexpr int32_t kCodeIntra = -3;
constexpr int32_t kCodeHits = -5;
constexpr int32_t kCodeNumber = -11;
constexpr int32_t kCodeIdent = -12;
constexpr int32_t kCodeName = -13;
constexpr int32_t kCodePriority = -14;
constexpr int32_t kCodeKind = -15;

inline bool IsSystemColumn(int32_t code) { return code >= -kSystemColumnCount && code <= -1; }

// The description of system column code; for a code outside -15..-1 a column without titles,
// sums or colour whose numbers print as its cells read.
const TColumnMeaning& SystemColumnMeaning(int32_t code);

// An added column with its stored flags: left-aligned when leftAligned is 1, summed without and
// with lock files when the flags are set.
TColumnMeaning AddedColumnMeaning(uint8_t leftAligned, uint8_t sumWithout, uint8_t sumWith);

// File kinds: 0 base file, 1 master file, 2 lock file, 3 compact lock file; anything else comes
// unchecked from a log and is none of these.
inline bool IsBaseOrMaster(uint8_t kind) { return kind < 2; }

inline bool IsMasterFile(uint8_t kind) { return kind == 1; }

inline bool IsLockFile(uint8_t kind) { return kind == 2 || kind == 3; }
