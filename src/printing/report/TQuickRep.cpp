#include "TQuickRep.h"

#include "TQROutput.h"
#include "TQRPass.h"
#include "TQRPdfDocument.h"
#include "TQRPrintJob.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include <stdexcept>

std::function<bool(TQuickRep& report)> TQuickRep::PrintDialog;

TQuickRep::TQuickRep() = default;

TQuickRep::~TQuickRep() = default;

TQRBand& TQuickRep::AddBand(TQRBandType type)
{
    if (Band(type))
        throw std::logic_error("a report has one band of each kind");
    m_bands.push_back(std::make_unique<TQRBand>(*this, type));
    return *m_bands.back();
}

TQRBand* TQuickRep::Band(TQRBandType type) const
{
    for (const auto& band : m_bands) {
        if (band->BandType() == type)
            return band.get();
    }
    return nullptr;
}

void TQuickRep::Prepare(QPagedPaintDevice& device) { run(device, nullptr); }

void TQuickRep::Print(QPagedPaintDevice& device)
{
    TQROutput output(device);
    run(device, &output);
    output.Finish();
}

void TQuickRep::Print(TQROutput& output) { run(output.Device(), &output); }

TQRRunResult TQuickRep::Run(QPagedPaintDevice& device, TQROutput* output, const TQRRun& how)
{
    return run(device, output, how);
}

std::shared_ptr<const TQRBookmark> TQuickRep::Bookmark() const { return bookmark(); }

std::shared_ptr<TQRBookmark> TQuickRep::bookmark() const
{
    auto bookmark = std::make_shared<TQRBookmark>();
    bookmark->m_bands.reserve(m_bands.size());
    for (const auto& band : m_bands)
        bookmark->m_bands.push_back(band->SaveState());
    if (SaveOwnerState)
        bookmark->m_owner = SaveOwnerState();
    return bookmark;
}

void TQuickRep::restore(const TQRBookmark& bookmark)
{
    if (bookmark.m_bands.size() != m_bands.size())
        throw std::logic_error("a bookmark belongs to the report it was taken of");
    for (std::size_t i = 0; i < m_bands.size(); ++i)
        m_bands[i]->RestoreState(bookmark.m_bands[i]);
    if (RestoreOwnerState)
        RestoreOwnerState(bookmark.m_owner);
}

void TQuickRep::NewPage()
{
    if (!m_pass)
        throw std::logic_error("a page break needs a running pass");
    m_pass->NewPage();
}

int TQuickRep::PageNumber() const { return m_pass ? m_pass->PageNumber() : m_pageCount; }

const TQRCanvas* TQuickRep::Canvas() const { return m_pass ? &m_pass->Canvas() : nullptr; }

int TQuickRep::BinCode(TQRPaperSource choice) const
{
    const auto found = m_binCodes.find(choice);
    return found == m_binCodes.end() ? -1 : found->second;
}

void TQuickRep::SetBinCode(TQRPaperSource choice, int code)
{
    if (code < 0)
        m_binCodes.erase(choice);
    else
        m_binCodes[choice] = code;
}

bool TQuickRep::PrinterSetup() { return PrintDialog && PrintDialog(*this); }

TQRRunResult TQuickRep::run(QPagedPaintDevice& device, TQROutput* output, const TQRRun& how)
{
    if (m_pass)
        throw std::logic_error("a report runs one pass at a time");
    applySettings(device, output);
    m_pageCount = 0;
    m_pass = std::make_unique<TQRPass>(*this, device, output, how);
    try {
        m_pass->Run();
    } catch (...) {
        m_pageCount = m_pass->PageNumber();
        m_pass.reset();
        throw;
    }
    m_pageCount = m_pass->PageNumber();
    const TQRRunResult result{m_pageCount, m_pass->Finished()};
    m_pass.reset();
    return result;
}

void TQuickRep::applySettings(QPagedPaintDevice& device, TQROutput* output) const
{
    // A printer refuses job settings while it prints; the page layout may change per page.
    if (!(output && output->Started())) {
        // An output that holds several reports may have a title of its own.
        const QString title =
            output && !output->Title().isEmpty() ? output->Title() : m_printerSettings.Title;
        applyJobSettings(device, title);
        if (output && output->Pdf()) {
            output->Pdf()->SetTitle(title);
            output->Pdf()->SetCreator(m_creator);
        }
    }
    const TQRPrinterSettings& settings = m_printerSettings;
    const QMarginsF margins(m_page.LeftMargin, m_page.TopMargin, m_page.RightMargin,
                            m_page.BottomMargin);
    const QPageLayout layout(QPageSize(settings.PaperSize), settings.Orientation, margins / 10.0,
                             QPageLayout::Millimeter);
    if (device.setPageLayout(layout))
        return;
    // A printer whose hardware margins exceed ours keeps its own margins.
    device.setPageSize(layout.pageSize());
    device.setPageOrientation(layout.orientation());
}

void TQuickRep::applyJobSettings(QPagedPaintDevice& device, const QString& title) const
{
    const TQRPrinterSettings& settings = m_printerSettings;
    if (auto* job = dynamic_cast<TQRPrintJob*>(&device)) {
        job->ApplyJobSettings(settings, BinCode(settings.OutputBin), title, m_creator);
    } else if (device.devType() == QInternal::Printer) {
        // It would print without the printer, copies, bin and title of the settings.
        throw std::logic_error("a printer takes a report only as a print job");
    } else if (auto* writer = dynamic_cast<QPdfWriter*>(&device)) {
        writer->setTitle(title);
        writer->setCreator(m_creator);
    }
}
