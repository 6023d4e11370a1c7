#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QString>

// The paper sources a printer may be asked for, numbered as Qt's print support numbers them.
enum class TQRPaperSource {
    OnlyOne = 0,
    Lower,
    Middle,
    Manual,
    Envelope,
    EnvelopeManual,
    Auto,
    Tractor,
    SmallFormat,
    LargeFormat,
    LargeCapacity,
    Cassette,
    FormSource,
    CustomSource = 14,
};

// The report's own printer settings: what a print dialog writes and what every printing pass
// applies to its device. A page range of 0 means "from the first" and "to the last" page; pages
// outside the range are generated (all events fire) but not output.
struct TQRPrinterSettings {
    int Copies = 1;
    bool Duplex = true;
    int FirstPage = 0;
    int LastPage = 0;
    QPageLayout::Orientation Orientation = QPageLayout::Landscape;
    // The paper source the printer driver is asked for; Auto leaves the driver's choice.
    TQRPaperSource OutputBin = TQRPaperSource::Auto;
    QPageSize::PageSizeId PaperSize = QPageSize::A4;
    // Index into the printer list of the print job (TQRPrintJob::PrinterList); outside the list
    // leaves the device's printer alone.
    int PrinterIndex = -1;
    // The name of the print job (the document title of a PDF file).
    QString Title;
    // The file the PDF entry of the printer list writes.
    QString OutputFileName;

    bool PageInRange(int page) const
    {
        return (FirstPage <= 0 || page >= FirstPage) && (LastPage <= 0 || page <= LastPage);
    }
};
