#include "TQRPrinter.h"

#include "TPrinterDriver.h"
#include "TQRPrinterSettings.h"

#include <stdexcept>

namespace {

// The engine's paper sources are Qt's, number for number.
static_assert(int(TQRPaperSource::OnlyOne) == QPrinter::OnlyOne);
static_assert(int(TQRPaperSource::Auto) == QPrinter::Auto);
static_assert(int(TQRPaperSource::FormSource) == QPrinter::FormSource);
static_assert(int(TQRPaperSource::CustomSource) == QPrinter::CustomSource);

} // namespace

TQRPrinter::TQRPrinter(PrinterMode mode)
    : QPrinter(mode)
{
}

QStringList TQRPrinter::PrinterList() const { return TPrinterDriver::PrinterNames(); }

void TQRPrinter::MakeCurrent(const QString& printer) { TPrinterDriver::SetCurrentPrinter(printer); }

void TQRPrinter::ApplyJobSettings(const TQRPrinterSettings& settings, int binCode,
                                  const QString& title, const QString& creator)
{
    // Choosing a printer resets the page layout, so it comes first.
    const QStringList printers = PrinterList();
    const QString chosen = settings.PrinterIndex >= 0 && settings.PrinterIndex < printers.size()
                               ? printers.at(settings.PrinterIndex)
                               : QString();
    if (chosen == TPrinterDriver::PdfPrinterName()) {
        // Qt turns a PDF printer without a file back into the default printer: a job
        // meant for a file must never end up on paper instead.
        if (settings.OutputFileName.isEmpty())
            throw std::runtime_error("Keine Datei für die PDF-Ausgabe angegeben.");
        setOutputFormat(QPrinter::PdfFormat);
        setOutputFileName(settings.OutputFileName);
    } else if (!chosen.isEmpty() && outputFormat() == QPrinter::NativeFormat) {
        setPrinterName(chosen);
    }
    setCopyCount(qMax(1, settings.Copies));
    setDuplex(settings.Duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
    if (binCode >= 0)
        TPrinterDriver::Instance().ApplyBin(*this, printerName(), binCode);
    else
        setPaperSource(QPrinter::PaperSource(int(settings.OutputBin)));
    setDocName(title);
    setCreator(creator);
    // The engine outputs only the pages of its own range; the driver must not cut again.
    setPrintRange(QPrinter::AllPages);
}

QString TQRPrinter::PdfFileName() const
{
    return outputFormat() == QPrinter::PdfFormat ? outputFileName() : QString();
}

QString TQRPrinter::Title() const { return docName(); }

QString TQRPrinter::Creator() const { return creator(); }

QString TQRPrinter::PrinterName() const { return printerName(); }

void TQRPrinter::DropJob() { TPrinterDriver::Instance().DropJob(*this); }

QString TQRPrinter::JobRefusal()
{
    if (outputFormat() != QPrinter::NativeFormat)
        return QString();
    return TPrinterDriver::Instance().JobRefusal();
}
