#include "Samples.h"
#include "TPrintPlan.h"
#include "TPrintSetupState.h"
#include "TQRPdfDocument.h"
#include "TReportSource.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace {

TPrintSetupState Choices(bool table, bool matrix, bool ratings, bool singles)
{
    TPrintSetupState state(1);
    state.TitleAndTable = table;
    state.Matrix = matrix;
    state.Ratings = ratings;
    state.Singles = singles;
    return state;
}

// The parts as (whole log, number).
std::vector<std::pair<bool, int>> Parts(const TPrintPlan& plan)
{
    std::vector<std::pair<bool, int>> parts;
    for (const TPrintPart& part : plan.Parts())
        parts.emplace_back(part.WholeLog, part.SingleLogNumber);
    return parts;
}

std::vector<std::pair<bool, int>> Singles(int files)
{
    std::vector<std::pair<bool, int>> parts;
    for (int i = 1; i <= files; ++i)
        parts.emplace_back(false, i);
    return parts;
}

} // namespace

// What a log offers and what is chosen decide the parts: the whole log when anything it offers
// is chosen, single logs only of a log of two files or more.
TEST(PrintPlan, PartsFollowTheChoicesAndWhatTheLogOffers)
{
    const TMatchDocument whole = SampleWholeLog();
    TMatchDocument withoutRatings = whole;
    withoutRatings.Ratings.clear();
    const TMatchDocument single = SingleLogOf(whole, 3);
    using Parts_ = std::vector<std::pair<bool, int>>;
    struct Case {
        const char* name;
        const TMatchDocument& doc;
        TPrintSetupState state;
        Parts_ parts;
    };
    const std::vector<Case> cases = {
        {"everything", whole, Choices(true, true, true, true),
         [] {
             Parts_ parts{{true, 0}};
             for (const auto& part : Singles(8))
                 parts.push_back(part);
             return parts;
         }()},
        {"the matrix alone", whole, Choices(false, true, false, false), {{true, 0}}},
        {"the ratings alone", whole, Choices(false, false, true, false), {{true, 0}}},
        {"single logs alone", whole, Choices(false, false, false, true), Singles(8)},
        {"the ratings of a log without them", withoutRatings, Choices(false, false, true, true),
         Singles(8)},
        {"the table of a single log, with its number",
         single,
         Choices(true, false, false, true),
         {{true, 3}}},
        {"the matrix of a log of one file", single, Choices(false, true, false, true), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TReportSource source(c.doc);
        const TPrintPlan plan(source, c.state);
        EXPECT_EQ(Parts(plan), c.parts);
    }
}

TEST(PrintPlan, ASingleLogPrintsItsTableAloneWhatWasChosen)
{
    const TMatchDocument whole = SampleWholeLog();
    const TReportSource source(whole);
    const TPrintSetupState nothing = Choices(false, true, true, false);
    EXPECT_TRUE(TPrintPlan::PrintsSection(source, nothing, ReportSection::File, 2));
    EXPECT_FALSE(TPrintPlan::PrintsSection(source, nothing, ReportSection::Matrix, 2));
    EXPECT_FALSE(TPrintPlan::PrintsSection(source, nothing, ReportSection::Ratings, 2));
    EXPECT_FALSE(TPrintPlan::PrintsSection(source, nothing, ReportSection::File, 0));
    EXPECT_TRUE(TPrintPlan::PrintsSection(source, nothing, ReportSection::Matrix, 0));
    EXPECT_TRUE(TPrintPlan::PrintsSection(source, nothing, ReportSection::Ratings, 0));
}

// Only what the direct output cannot take goes again through Qt's output; any other failure
// ends the print at once.
TEST(PrintPlan, DirectPdfFallsBackToQtsOutputOnlyForWhatItCannotWrite)
{
    struct Case {
        const char* name;
        bool unsupported;
        bool fails;
        std::vector<bool> runs;
    };
    for (const Case& c : std::vector<Case>{{"written directly", false, false, {true}},
                                           {"a font it cannot take", true, false, {true, false}},
                                           {"a failing device", false, true, {true}}}) {
        SCOPED_TRACE(c.name);
        std::vector<bool> runs;
        const auto print = [&] {
            TPrintPlan::DirectPdfElseQt([&](bool direct) {
                runs.push_back(direct);
                if (direct && c.unsupported)
                    throw EPdfUnsupported("no outlines");
                if (c.fails)
                    throw std::runtime_error("device");
            });
        };
        if (c.fails)
            EXPECT_THROW(print(), std::runtime_error);
        else
            EXPECT_NO_THROW(print());
        EXPECT_EQ(runs, c.runs);
    }
}
