#pragma once

#include "ColumnMeaning.h"

#include <cstdint>
#include <string>

// The matrix diagonal; the files table's colours are its columns'.
namespace PageColours {
constexpr TCellColour EliminationDiagonal{128, 128, 255};
constexpr TCellColour Diagonal{128, 255, 255};
} // namespace PageColours

// The properties of one added column of the files table as stored, attached by the window to the
// column's row-0 cell. What the flags mean is the column's description (ColumnMeaningOf).
struct TColumnProperties {
    std::string UpperTitle;
    std::string LowerTitle;
    uint8_t SumWithout = 0;
    uint8_t SumWith = 0;
    uint8_t LeftAligned = 0;
};

// "#RRGGBB" of a colour, for exports.
std::string ColourName(const TCellColour& colour);
