#pragma once

#include "TQRBand.h"

#include <any>
#include <functional>
#include <memory>
#include <vector>

// Where a generation pass stands as a row begins, with everything the rest of the pass reads:
// the pass's place on its page, every band and control of the report, and what the report's
// owner keeps for its events. A pass of the same report that goes on from a bookmark fires the
// same events from there and gives the same pages as the pass it was taken in; the pages
// before need not be generated again. A bookmark taken outside a pass (TQuickRep::Bookmark)
// holds no place: a pass from it starts from the beginning, with the report as it was.
class TQRBookmark {
public:
    // The page the row begins on; 0 for a bookmark of the report outside a pass.
    int Page() const { return m_page; }
    bool AtStart() const { return m_page == 0; }
    // The controls held, for whoever keeps many bookmarks within a budget.
    std::size_t ControlCount() const;

private:
    friend class TQRPass;
    friend class TQuickRep;

    int m_page = 0;
    double m_y = 0;
    double m_footerTop = 0;
    int m_detailsOnPage = 0;
    bool m_pageBegunForDetail = false;
    std::vector<TQRBand::State> m_bands;
    std::any m_owner;
};

// What a row's start lets the pass do: go on, take a bookmark, or also end the pass there.
enum class TQRRowAction { Go, Bookmark, BookmarkAndStop };

// How one generation pass of TQuickRep::Run goes. The defaults run a whole pass that outputs the
// pages of the printer settings' range.
struct TQRRun {
    // Goes on from this bookmark of the same report instead of from the first page.
    std::shared_ptr<const TQRBookmark> From;
    // Outputs only this page; 0 for the printer settings' range.
    int OutputPage = 0;
    // Ends the pass as soon as this page has ended; 0 for no such end.
    int StopAfterPage = 0;
    // Asked as every row begins, with the page it begins on.
    std::function<TQRRowAction(int page)> AtRow;
    // Receives the bookmarks AtRow asked for.
    std::function<void(std::shared_ptr<const TQRBookmark> bookmark)> Bookmarked;
};

struct TQRRunResult {
    // Pages begun, from 1; in a pass that ended at a row the last is unfinished.
    int Pages = 0;
    // The pass came to the report's end.
    bool Finished = false;
};
