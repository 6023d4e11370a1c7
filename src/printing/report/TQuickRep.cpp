#include "TQuickRep.h"

#include "TPrinterDriver.h"
#include "TQROutput.h"
#include "TQRPass.h"
#include "TQRPdfDocument.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

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

QStringList TQuickRep::PrinterNames()
{
    return QPrinterInfo::availablePrinterNames() << PdfPrinterName();
}

QString TQuickRep::PdfPrinterName() { return QStringLiteral("PDF-Datei"); }

int TQuickRep::BinCode(QPrinter::PaperSource choice) const
{
    const auto found = m_binCodes.find(choice);
    return found == m_binCodes.end() ? -1 : found->second;
}

void TQuickRep::SetBinCode(QPrinter::PaperSource choice, int code)
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
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) {
        // Choosing a printer resets the page layout, so it comes first.
        const QStringList printers = PrinterNames();
        const QString chosen = settings.PrinterIndex >= 0 && settings.PrinterIndex < printers.size()
                                   ? printers.at(settings.PrinterIndex)
                                   : QString();
        if (chosen == PdfPrinterName()) {
            // Qt turns a PDF printer without a file back into the default printer: a job
            // meant for a file must never end up on paper instead.
            if (settings.OutputFileName.isEmpty())
                throw std::runtime_error("Keine Datei für die PDF-Ausgabe angegeben.");
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(settings.OutputFileName);
        } else if (!chosen.isEmpty() && printer->outputFormat() == QPrinter::NativeFormat) {
            printer->setPrinterName(chosen);
        }
        printer->setCopyCount(qMax(1, settings.Copies));
        printer->setDuplex(settings.Duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
        const int binCode = BinCode(settings.OutputBin);
        if (binCode >= 0)
            TPrinterDriver::Instance().ApplyBin(*printer, printer->printerName(), binCode);
        else
            printer->setPaperSource(settings.OutputBin);
        printer->setDocName(title);
        printer->setCreator(m_creator);
        // The engine outputs only the pages of its own range; the driver must not cut again.
        printer->setPrintRange(QPrinter::AllPages);
    } else if (auto* writer = dynamic_cast<QPdfWriter*>(&device)) {
        writer->setTitle(title);
        writer->setCreator(m_creator);
    }
}
