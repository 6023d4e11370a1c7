#pragma once

#include <cstdint>
#include <vector>

class TQRLabel;
class TQRMemo;
class TQRShape;

// The parts of a printed statistics log, in the order they print.
enum class ReportSection { Idle = 0, File = 1, Matrix = 2, Ratings = 3 };

// One grid column in the report: its text width in report units, the strip it prints on, and
// its alignment (0 right, 1 left).
struct ColumnLayout {
    double Width = 0;
    int Strip = 0;
    std::uint8_t Alignment = 0;
};

// The controls and the layout of one section. The controls belong to the report's bands; these
// are references. Entry 0 of the line arrays is empty: the first column has no line on its left.
struct SectionLayout {
    int LastStrip = 0;
    bool LaidOut = false;
    std::vector<ColumnLayout> Columns;
    std::vector<TQRMemo*> HeaderMemos;
    std::vector<TQRShape*> HeaderLines;
    std::vector<TQRLabel*> CellLabels;
    std::vector<TQRShape*> CellLines;
    std::vector<TQRShape*> CellBackgrounds;
};
