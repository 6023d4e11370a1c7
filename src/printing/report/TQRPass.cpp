#include "TQRPass.h"

#include "TQRBand.h"
#include "TQROutput.h"
#include "TQuickRep.h"

#include <QPagedPaintDevice>

#include <stdexcept>

namespace {

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
    // The rest of the bookmarked page goes nowhere: its beginning was never output here.
    m_canvas.SetOutput(nullptr, nullptr);
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
    m_y = 0;
    openDevicePage();
    if (m_report.OnStartPage) {
        PageEventScope scope(m_inPageEvent);
        m_report.OnStartPage(m_report);
    }
    printBand(m_report.Band(TQRBandType::PageHeader));
    m_footerTop = m_canvas.Height();
    if (const TQRBand* footer = m_report.Band(TQRBandType::PageFooter); prints(footer))
        m_footerTop -= footer->PrintHeight(m_canvas);
}

void TQRPass::endPage()
{
    if (const TQRBand* footer = m_report.Band(TQRBandType::PageFooter); prints(footer))
        footer->Print(m_canvas, m_footerTop);
    m_pageOpen = false;
    if (m_report.OnEndPage) {
        PageEventScope scope(m_inPageEvent);
        m_report.OnEndPage(m_report);
    }
    if (m_how.StopAfterPage > 0 && m_pageNumber >= m_how.StopAfterPage && !m_ending)
        throw TStopAfterPage();
}

void TQRPass::printDetail(const TQRBand& detail)
{
    // A band taller than an empty page prints anyway: breaking again would never end.
    if (m_detailsOnPage > 0 && m_y + detail.PrintHeight(m_canvas) > m_footerTop) {
        endPage();
        startPage();
    }
    if (m_detailsOnPage == 0)
        printBand(m_report.Band(TQRBandType::ColumnHeader));
    printBand(&detail);
    ++m_detailsOnPage;
}

void TQRPass::printBand(const TQRBand* band)
{
    if (!prints(band))
        return;
    const double height = band->PrintHeight(m_canvas);
    band->Print(m_canvas, m_y);
    m_y += height;
}

void TQRPass::openDevicePage()
{
    const bool inRange = m_how.OutputPage > 0
                             ? m_pageNumber == m_how.OutputPage
                             : m_report.PrinterSettings().PageInRange(m_pageNumber);
    const bool shown = m_output && inRange;
    if (!shown) {
        m_canvas.SetOutput(nullptr, nullptr);
        return;
    }
    m_output->OpenPage(m_canvas);
}

bool TQRPass::prints(const TQRBand* band) { return band && band->Enabled(); }
