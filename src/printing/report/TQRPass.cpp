#include "TQRPass.h"

#include "TQRBand.h"
#include "TQROutput.h"
#include "TQuickRep.h"

#include <QPagedPaintDevice>

#include <stdexcept>

namespace {

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

TQRPass::TQRPass(TQuickRep& report, QPagedPaintDevice& device, TQROutput* output)
    : m_report(report)
    , m_device(device)
    , m_output(output)
    , m_canvas(device)
{
}

TQRPass::~TQRPass() = default;

void TQRPass::Run()
{
    bool printReport = true;
    if (m_report.BeforePrint)
        m_report.BeforePrint(m_report, printReport);
    if (!printReport)
        return;
    startPage();
    for (;;) {
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
    endPage();
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
    if (m_report.OnPageDone) {
        PageEventScope scope(m_inPageEvent);
        m_report.OnPageDone(m_report, m_output != nullptr);
    }
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
    const bool shown = m_output && m_report.PrinterSettings().PageInRange(m_pageNumber);
    if (!shown) {
        m_canvas.SetOutput(nullptr, nullptr);
        return;
    }
    m_output->OpenPage(m_canvas);
}

bool TQRPass::prints(const TQRBand* band) { return band && band->Enabled(); }
