#include "TQRPass.h"

#include "TQRBand.h"
#include "TQROutput.h"
#include "TQuickRep.h"

#include <QPagedPaintDevice>
#include <QRectF>

#include <algorithm>
#include <stdexcept>

namespace {

// Report units a band may pass its room by and still count as fitting: rounding, not content.
constexpr double kFitTolerance = 1e-6;

// Ends a pass at the end of the page it was asked to stop after, from wherever that page ends:
// not a std::exception, so that nothing on the way mistakes it for an error.
struct TStopAfterPage {};

// Marks the page events while they run; NewPage from inside them would recurse.
class PageEventScope {
public:
    explicit PageEventScope(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~PageEventScope() { m_flag = false; }
    PageEventScope(const PageEventScope&) = delete;
    PageEventScope& operator=(const PageEventScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

TQRPass::TQRPass(TQuickRep& report, QPagedPaintDevice& device, TQROutput* output, const TQRRun& how)
    : m_report(report)
    , m_device(device)
    , m_output(output)
    , m_how(how)
    , m_canvas(device)
{
}

TQRPass::~TQRPass() = default;

void TQRPass::Run()
{
    try {
        if (m_how.From && !m_how.From->AtStart()) {
            resume(*m_how.From);
        } else {
            if (m_how.From)
                m_report.restore(*m_how.From);
            bool printReport = true;
            if (m_report.BeforePrint)
                m_report.BeforePrint(m_report, printReport);
            if (!printReport) {
                m_finished = true;
                return;
            }
            startPage();
        }
        for (;;) {
            if (atRow())
                return;
            bool moreData = false;
            if (m_report.OnNeedData) {
                moreData = true;
                m_report.OnNeedData(m_report, moreData);
            }
            if (!moreData)
                break;
            if (const TQRBand* detail = m_report.Band(TQRBandType::Detail); prints(detail))
                printDetail(*detail);
        }
        m_ending = true;
        endPage();
        m_finished = true;
    } catch (const TStopAfterPage&) {
    }
}

void TQRPass::resume(const TQRBookmark& bookmark)
{
    m_report.restore(bookmark);
    m_pageNumber = bookmark.m_page;
    m_pageOpen = true;
    m_y = bookmark.m_y;
    m_footerTop = bookmark.m_footerTop;
    m_detailsOnPage = bookmark.m_detailsOnPage;
    m_pageBegunForDetail = bookmark.m_pageBegunForDetail;
    // The rest of the bookmarked page goes nowhere: its beginning was never output here.
    m_canvas.SetOutput(nullptr);
}

bool TQRPass::atRow()
{
    if (!m_how.AtRow)
        return false;
    const TQRRowAction action = m_how.AtRow(m_pageNumber);
    if (action == TQRRowAction::Go)
        return false;
    auto bookmark = m_report.bookmark();
    bookmark->m_page = m_pageNumber;
    bookmark->m_y = m_y;
    bookmark->m_footerTop = m_footerTop;
    bookmark->m_detailsOnPage = m_detailsOnPage;
    bookmark->m_pageBegunForDetail = m_pageBegunForDetail;
    if (m_how.Bookmarked)
        m_how.Bookmarked(std::move(bookmark));
    return action == TQRRowAction::BookmarkAndStop;
}

void TQRPass::NewPage()
{
    if (!m_pageOpen || m_inPageEvent)
        throw std::logic_error("a page break needs an open page outside the page events");
    endPage();
    startPage();
}

void TQRPass::startPage()
{
    ++m_pageNumber;
    m_pageOpen = true;
    m_detailsOnPage = 0;
    m_pageBegunForDetail = false;
    m_y = 0;
    openDevicePage();
    if (m_report.OnStartPage) {
        PageEventScope scope(m_inPageEvent);
        m_report.OnStartPage(m_report);
    }
    m_footerTop = m_canvas.Height();
    if (const TQRBand* footer = m_report.Band(TQRBandType::PageFooter); prints(footer))
        m_footerTop -= footer->PrintHeight(m_canvas);
    printBand(m_report.Band(TQRBandType::PageHeader));
}

void TQRPass::endPage()
{
    m_canvas.DrawHeldLines();
    if (const TQRBand* footer = m_report.Band(TQRBandType::PageFooter); prints(footer))
        footer->Print(m_canvas, m_footerTop);
    m_pageOpen = false;
    if (m_report.OnEndPage) {
        PageEventScope scope(m_inPageEvent);
        m_report.OnEndPage(m_report);
    }
    if (m_report.OnPageDone) {
        PageEventScope scope(m_inPageEvent);
        m_report.OnPageDone(m_report, m_output != nullptr);
    }
    if (m_how.StopAfterPage > 0 && m_pageNumber >= m_how.StopAfterPage && !m_ending)
        throw TStopAfterPage();
}

void TQRPass::printDetail(const TQRBand& detail)
{
    const TQRBand* header = m_report.Band(TQRBandType::ColumnHeader);
    // The column header prints with the first detail band of a page: the two fit or move on
    // together, whatever the page header took before them.
    const auto fits = [&] {
        double height = detail.PrintHeight(m_canvas);
        if (m_detailsOnPage == 0 && prints(header))
            height += header->PrintHeight(m_canvas);
        return m_y + height <= m_footerTop + kFitTolerance;
    };
    // On a page begun for the band it is taller than any page can hold: it prints there, cut at
    // the footer, rather than break page after page.
    if (!fits() && !m_pageBegunForDetail) {
        endPage();
        startPage();
        m_pageBegunForDetail = true;
    }
    if (m_detailsOnPage == 0)
        printBand(header);
    printBand(&detail);
    ++m_detailsOnPage;
    m_pageBegunForDetail = false;
}

void TQRPass::printBand(const TQRBand* band)
{
    if (!prints(band))
        return;
    const double height = band->PrintHeight(m_canvas);
    // Nothing goes below the page footer's top, nor past the printable area's other edges.
    const bool cut = m_y + height > m_footerTop + kFitTolerance;
    if (cut && m_canvas.Printing()) {
        // The rule above goes before the clip, which it lies outside of.
        m_canvas.DrawHeldLines();
        const double top = std::max(0.0, m_y);
        m_canvas.SetClip(QRectF(0, top * m_canvas.YFactor(), m_canvas.WidthPixels(),
                                std::max(0.0, m_footerTop - top) * m_canvas.YFactor()));
    }
    band->Print(m_canvas, m_y);
    if (cut && m_canvas.Printing()) {
        m_canvas.DrawHeldLines();
        m_canvas.ClearClip();
    }
    m_y += height;
}

void TQRPass::openDevicePage()
{
    const bool inRange = m_how.OutputPage > 0
                             ? m_pageNumber == m_how.OutputPage
                             : m_report.PrinterSettings().PageInRange(m_pageNumber);
    const bool shown = m_output && inRange;
    if (!shown) {
        m_canvas.SetOutput(nullptr);
        return;
    }
    m_output->OpenPage(m_canvas);
}

bool TQRPass::prints(const TQRBand* band) { return band && band->Enabled(); }
