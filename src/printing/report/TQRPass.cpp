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
        const double top = std::max(0.0, m_y);
        m_canvas.SetClip(QRectF(0, top * m_canvas.YFactor(), m_canvas.WidthPixels(),
                                std::max(0.0, m_footerTop - top) * m_canvas.YFactor()));
    }
    band->Print(m_canvas, m_y);
    if (cut && m_canvas.Printing())
        m_canvas.ClearClip();
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
