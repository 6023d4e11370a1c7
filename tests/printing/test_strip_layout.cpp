#include "TStripLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

std::vector<ColumnLayout> Columns(const std::vector<double>& widths)
{
    std::vector<ColumnLayout> columns(widths.size());
    for (std::size_t c = 0; c < widths.size(); ++c)
        columns[c].Width = widths[c];
    return columns;
}

std::vector<int> Strips(const std::vector<ColumnLayout>& columns)
{
    std::vector<int> strips;
    for (const ColumnLayout& column : columns)
        strips.push_back(column.Strip);
    return strips;
}

std::vector<double> Widths(const std::vector<ColumnLayout>& columns)
{
    std::vector<double> widths;
    for (const ColumnLayout& column : columns)
        widths.push_back(column.Width);
    return widths;
}

} // namespace

// Printable width 100, a gap of 2 beside each column: a column of width w takes w + 2.
TEST(StripLayout, SplitsColumnsIntoStripsAndCapsThemToTheirRoom)
{
    struct Case {
        const char* name;
        std::vector<double> widths;
        int fixedCols;
        int divisor;
        std::vector<int> strips;
        std::vector<double> capped;
    };
    const std::vector<Case> cases = {
        {"a table that fits one strip", {20, 30, 30}, 1, 2, {0, 0, 0}, {20, 30, 30}},
        {"the column that no longer fits begins the next strip, fixed ones on strip 0",
         {20, 30, 30, 30, 30, 30},
         1,
         2,
         {0, 0, 0, 1, 1, 2},
         {20, 30, 30, 30, 30, 30}},
        {"a column that ends exactly at the width begins the next strip",
         {20, 37, 37},
         1,
         2,
         {0, 0, 1},
         {20, 37, 37}},
        {"without fixed columns", {48, 48, 10}, 0, 2, {0, 1, 1}, {48, 48, 10}},
        // Fixed 12 + 62 > 50: the widest gives way until they take half the width.
        {"fixed columns of a table of many strips take at most half",
         {10, 60, 40, 40, 40},
         2,
         2,
         {0, 0, 0, 1, 2},
         {10, 36, 40, 40, 40}},
        {"on the matrix at most a third",
         {10, 60, 40, 40, 40},
         2,
         3,
         {0, 0, 0, 1, 2},
         {10, 100.0 / 3 - 14, 40, 40, 40}},
        // Fixed 52 + 42, data 12: cut to 87 (a margin of 1 short of the width), one strip.
        {"fixed columns are cut only as far as the table fits one strip",
         {50, 40, 10},
         2,
         2,
         {0, 0, 0},
         {43, 40, 10}},
        {"a data column wider than the strip's room is cut to it",
         {20, 30, 500},
         1,
         2,
         {0, 0, 1},
         {20, 30, 76}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ColumnLayout> columns = Columns(c.widths);
        const int last = TStripLayout::Split(columns, c.fixedCols, {100, 2, c.divisor});
        EXPECT_EQ(Strips(columns), c.strips);
        EXPECT_EQ(last, c.strips.back());
        const std::vector<double> widths = Widths(columns);
        ASSERT_EQ(widths.size(), c.capped.size());
        for (std::size_t i = 0; i < widths.size(); ++i)
            EXPECT_NEAR(widths[i], c.capped[i], 1e-9) << "column " << i;
    }
}

// Whatever the widths: every strip holds its columns within the width beside the fixed ones,
// a strip begins only where its first column did not fit on the one before, no data column is
// cut that fitted its room, and fixed columns of a table of several strips keep to their share.
TEST(StripLayout, EveryStripFitsAndIsNoEarlierThanNeeded)
{
    std::mt19937 random(17);
    std::uniform_real_distribution<double> width(0, 140);
    std::uniform_int_distribution<int> count(1, 14);
    const double W = 100;
    const double C = 2;
    for (int round = 0; round < 2000; ++round) {
        std::vector<double> widths(std::size_t(count(random)));
        for (double& w : widths)
            w = width(random);
        const int fixedCols = std::uniform_int_distribution<int>(0, int(widths.size()))(random);
        const int divisor = round % 2 == 0 ? 2 : 3;
        std::vector<ColumnLayout> columns = Columns(widths);
        const int last = TStripLayout::Split(columns, fixedCols, {W, C, divisor});
        SCOPED_TRACE(testing::Message() << "round " << round);

        double fixed = 0;
        for (int c = 0; c < fixedCols; ++c) {
            EXPECT_EQ(columns[c].Strip, 0);
            EXPECT_LE(columns[c].Width, widths[c] + 1e-9);
            fixed += columns[c].Width + C;
        }
        if (last > 0) {
            EXPECT_LE(fixed, W / divisor + 1e-6);
        }
        if (fixedCols == int(widths.size()))
            continue;
        EXPECT_EQ(columns.back().Strip, last);
        double run = 0;
        int strip = columns[fixedCols].Strip;
        EXPECT_LE(strip, 1);
        for (int c = fixedCols; c < int(columns.size()); ++c) {
            const double room = std::max(0.0, W - fixed - C);
            EXPECT_NEAR(columns[c].Width, std::min(widths[c], room), 1e-9);
            const double taken = columns[c].Width + C;
            if (columns[c].Strip == strip) {
                run += taken;
            } else {
                EXPECT_EQ(columns[c].Strip, strip + 1);
                // It did not fit beside the columns before it.
                EXPECT_GE(fixed + run + taken, W - 1e-6);
                strip = columns[c].Strip;
                run = taken;
            }
            EXPECT_LE(fixed + run, W + 1e-6);
        }
    }
}
