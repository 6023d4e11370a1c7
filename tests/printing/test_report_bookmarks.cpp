#include "ScriptedReport.h"
#include "TQRBookmark.h"
#include "TQROutput.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Script {
    const char* name;
    double detailHeight;
    int rows;
    int breakBefore;
    bool breakAtEnd;
};

// Page geometry of ScriptedReport: 1900 units high; a detail of 500 leaves room for three rows
// a page, one of 2000 is taller than any page.
const Script kScripts[] = {
    {"many short rows", 50, 120, -1, false},
    {"rows that move on", 500, 11, -1, false},
    {"a forced break inside need data", 500, 9, 4, false},
    {"a forced break before the end", 50, 40, -1, true},
    {"a row taller than a page", 2000, 3, -1, false},
};

class BookmarkedReport {
public:
    explicit BookmarkedReport(const Script& script)
        : report(script.detailHeight)
        , device(dir.filePath(QStringLiteral("layout.pdf")))
    {
        report.Rows = script.rows;
        report.BreakBefore = script.breakBefore;
        report.BreakAtEnd = script.breakAtEnd;
        device.setResolution(96);
    }

    // One page as a pass outputs it alone, from the bookmark.
    QImage Page(int page, const std::shared_ptr<const TQRBookmark>& from)
    {
        QImage image(1200, 800, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        TQROutput output(device, painter);
        TQRRun how;
        how.From = from;
        how.OutputPage = page;
        how.StopAfterPage = page;
        const TQRRunResult result = report.Report.Run(device, &output, how);
        EXPECT_EQ(result.Pages, page);
        return image;
    }

    QTemporaryDir dir;
    ScriptedReport report;
    QPdfWriter device;
};

} // namespace

// A pass that goes on from a bookmark fires the same events from there and gives the same pages
// as the pass the bookmark was taken in: every page painted from every bookmark of an earlier
// page is the page painted by a pass from the start, and a pass from any bookmark to the end
// leaves the same event log.
TEST(ReportBookmarks, APassFromABookmarkGivesTheSamePagesAndEvents)
{
    for (const Script& script : kScripts) {
        SCOPED_TRACE(script.name);
        BookmarkedReport r(script);
        const std::shared_ptr<const TQRBookmark> start = r.report.Report.Bookmark();
        EXPECT_TRUE(start->AtStart());

        std::vector<std::shared_ptr<const TQRBookmark>> bookmarks;
        TQRRun everyRow;
        everyRow.AtRow = [](int) { return TQRRowAction::Bookmark; };
        everyRow.Bookmarked = [&](std::shared_ptr<const TQRBookmark> b) {
            bookmarks.push_back(std::move(b));
        };
        const TQRRunResult whole = r.report.Report.Run(r.device, nullptr, everyRow);
        ASSERT_TRUE(whole.Finished);
        ASSERT_GE(whole.Pages, 2);
        const std::string log = r.report.Log.join('\n').toStdString();
        ASSERT_EQ(int(bookmarks.size()), script.rows + 1);

        for (int page = 1; page <= whole.Pages; ++page) {
            const QImage expected = r.Page(page, start);
            for (const auto& bookmark : bookmarks) {
                if (bookmark->Page() >= page)
                    continue;
                SCOPED_TRACE(testing::Message()
                             << "page " << page << " from a row of page " << bookmark->Page());
                EXPECT_TRUE(r.Page(page, bookmark) == expected);
            }
        }
        for (const auto& bookmark : bookmarks) {
            TQRRun rest;
            rest.From = bookmark;
            const TQRRunResult result = r.report.Report.Run(r.device, nullptr, rest);
            EXPECT_TRUE(result.Finished);
            EXPECT_EQ(result.Pages, whole.Pages);
            EXPECT_EQ(r.report.Log.join('\n').toStdString(), log);
        }
        // The start gives back the report as it was before any pass, with an empty log.
        TQRRun fromStart;
        fromStart.From = start;
        r.report.Report.Run(r.device, nullptr, fromStart);
        EXPECT_EQ(r.report.Log.join('\n').toStdString(), log);
    }
}

// A pass ends where its run asks: after a page (the last one counts as the report's end), or at
// a row, with a bookmark of that row.
TEST(ReportBookmarks, PassesEndWhereTheirRunAsks)
{
    BookmarkedReport r(kScripts[1]); // 11 rows of three a page: four pages
    TQRRun afterTwo;
    afterTwo.StopAfterPage = 2;
    TQRRunResult result = r.report.Report.Run(r.device, nullptr, afterTwo);
    EXPECT_EQ(result.Pages, 2);
    EXPECT_FALSE(result.Finished);
    EXPECT_EQ(r.report.Log.last(), "end 2 2");

    TQRRun afterLast;
    afterLast.StopAfterPage = 4;
    result = r.report.Report.Run(r.device, nullptr, afterLast);
    EXPECT_EQ(result.Pages, 4);
    EXPECT_TRUE(result.Finished);

    std::shared_ptr<const TQRBookmark> stop;
    TQRRun atThirdPage;
    atThirdPage.AtRow = [](int page) {
        return page >= 3 ? TQRRowAction::BookmarkAndStop : TQRRowAction::Go;
    };
    atThirdPage.Bookmarked = [&](std::shared_ptr<const TQRBookmark> b) { stop = std::move(b); };
    result = r.report.Report.Run(r.device, nullptr, atThirdPage);
    EXPECT_EQ(result.Pages, 3);
    EXPECT_FALSE(result.Finished);
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->Page(), 3);
    EXPECT_EQ(r.report.Log.last(), "start 3 Seite3 Zeile6");
    TQRRun fromStop;
    fromStop.From = stop;
    result = r.report.Report.Run(r.device, nullptr, fromStop);
    EXPECT_EQ(result.Pages, 4);
    EXPECT_TRUE(result.Finished);
}
