#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

namespace PageColours {
constexpr TCellColour Sum{255, 128, 192};
constexpr TCellColour Intra{128, 255, 255};
constexpr TCellColour EliminationDiagonal{128, 128, 255};
constexpr TCellColour Diagonal{128, 255, 255};
} // namespace PageColours

// The properties of one added column of the files table, attached by the window to the column's
// row-0 cell and read by the report.
struct TColumnProperties {
    std::string UpperTitle;
    std::string LowerTitle;
    uint8_t SumWithout = 0;
    uint8_t SumWith = 0;
    // 1 means left-aligned, any other value right-aligned.
    uint8_t LeftAligned = 0;
};

// "#RRGGBB" of a colour, for exports.
std::string ColourName(const TCellColour& colour);
