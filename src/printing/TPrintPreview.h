#pragma once

#include "TQRBookmark.h"
#include "TQROutput.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QPageLayout>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class TnewPrinterForm;

// One part of a preview: its name and how to build its report, ready for its passes, on the
// output the preview lays out on (the print command's own report form of that part).
struct TPreviewPart {
    QString Name;
    std::function<std::unique_ptr<TnewPrinterForm>(TQROutput& layout)> Build;
};

// The pages of a print command as they will print, for a preview: each part's report runs on
// the device the command prints on, with its own printer settings, bin and orientation, and
// only the page asked for is painted, onto an image. Pages outside the printer settings' page
// range are left out, as they do not print.
//
// Pages are laid out on demand. Counting goes part by part in slices of a given time, so the
// first page shows long before a large log is counted. On the way a part's report is
// bookmarked every so many pages (TQRBookmark), and a page is painted by a pass that goes on
// from the last bookmark before it: no page costs more than the pages between two bookmarks,
// however far into the report it lies. The bookmarks of a part stay within a budget of control
// states (their spacing doubles when it would be exceeded), a few reports are kept built at a
// time, and no page is kept as an image: memory stays bounded whatever the report's length.
//
// Errors of a pass (a device that fails, a font the device cannot take) propagate.
class TPrintPreview {
public:
    // The control states all bookmarks of a part may hold together.
    static constexpr std::size_t kBookmarkBudget = 300'000;
    // Reports kept built besides the one of the part with the most pages.
    static constexpr std::size_t kKeptReports = 2;

    // layout is the device the command prints on; it must outlive the preview. Parts in print
    // order.
    TPrintPreview(QPagedPaintDevice& layout, std::vector<TPreviewPart> parts);
    ~TPrintPreview();
    TPrintPreview(const TPrintPreview&) = delete;
    TPrintPreview& operator=(const TPrintPreview&) = delete;

    // Pages known so far, and whether every part is counted (then PageCount is final).
    int PageCount() const;
    bool Counted() const;
    // Counts on for about the given time (at least one row); true when every part is counted.
    bool CountMore(int milliseconds);
    // Counts until page n (from 1) is known or the report ends; false when there is no page n.
    bool HasPage(int n);

    // The name of the part page n belongs to and the page's number within that part (from 1).
    QString PartName(int n) const;
    int PageInPart(int n) const;
    // The page layout the device had for the passes (paper, orientation, margins).
    QPageLayout PageLayout() const;
    // Page n (from 1; HasPage(n) first) as it prints, on white paper of the page layout's full
    // size at pixelsPerMm.
    QImage PageImage(int n, double pixelsPerMm);

    // For a benchmark or a test: bookmarks and control states held now, reports kept built.
    std::size_t Bookmarks() const;
    std::size_t BookmarkedControls() const;
    std::size_t BuiltReports() const;
    // For tests: bookmarks every page until the budget says otherwise, however few controls.
    void SetBookmarkSpacing(int pages);

private:
    struct Part;
    Part& built(std::size_t index);
    void releaseReports();
    // Counts part index on; stops at the first row of page stopPage or later when that is
    // above 0, or once the deadline has passed.
    void count(std::size_t index, int stopPage, const QDeadlineTimer& deadline);
    void keepBookmark(Part& part, std::shared_ptr<const TQRBookmark> bookmark);
    bool inRange(const Part& part, int page) const;
    int shownPages(const Part& part) const;
    // The part and its page for page n; false when n is not known yet.
    bool locate(int n, std::size_t& index, int& page) const;

    QPagedPaintDevice& m_layout;
    TQROutput m_layoutOutput;
    std::vector<Part> m_parts;
    int m_spacing = 1;
    std::uint64_t m_uses = 0;
};
