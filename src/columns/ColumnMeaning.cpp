#include "ColumnMeaning.h"

namespace {

constexpr TColumnAlignment R = TColumnAlignment::Right;
constexpr TColumnAlignment L = TColumnAlignment::Left;
constexpr TNumberFormat AsIs = TNumberFormat::AsIs;
constexpr TNumberFormat Decimals = TNumberFormat::TwoDecimals;
constexpr TNumberFormat Integer = TNumberFormat::Integer;
constexpr TOptionalColour None = std::nullopt;

// Titles (upper, lower), alignment, printed format, names the file, base and master files only,
// summed without lock files, summed with lock files, file-row colour. The cells' values are
// computed by CellText.
const TColumnMeaning kSystemColumns[kSystemColumnCount] = {
    {101, 102, R, Integer, false, false, true, false, None},                 // -1 delivered
    {103, 104, R, Integer, false, false, true, true, None},                  // -2 gross
    {105, 106, R, Integer, false, false, true, false, ColumnColours::Intra}, // -3 intra
    {107, 108, R, Integer, false, false, true, false, None},                 // -4 duplicates
    {109, 110, R, Integer, false, false, true, true, None},                  // -5 hits
    {111, 112, R, Decimals, false, true, true, false, None},                 // -6 percentage
    {113, 114, R, Integer, false, true, true, false, None},                  // -7 net estimate
    {115, 116, R, Integer, false, true, true, false, None},                  // -8 net
    {117, 118, R, Integer, false, true, true, false, None},                  // -9 single
    {119, 120, R, Integer, false, true, true, false, None},                  // -10 multi
    {0, 1, R, Integer, true, false, false, false, None},                     // -11 number
    {0, 2, L, AsIs, true, false, false, false, None},                        // -12 ident
    {0, 3, L, AsIs, true, false, false, false, None},                        // -13 file name
    {0, 4, R, Integer, false, false, false, false, None},                    // -14 priority
    {0, 5, R, AsIs, false, false, false, false, None},                       // -15 kind letter
};

} // namespace

const TColumnMeaning& SystemColumnMeaning(int32_t code)
{
    static const TColumnMeaning none;
    return IsSystemColumn(code) ? kSystemColumns[-code - 1] : none;
}

TColumnMeaning AddedColumnMeaning(uint8_t leftAligned, uint8_t sumWithout, uint8_t sumWith)
{
    TColumnMeaning column;
    column.Alignment = leftAligned == 1 ? TColumnAlignment::Left : TColumnAlignment::Right;
    column.SumWithout = sumWithout != 0;
    column.SumWith = sumWith != 0;
    return column;
}
