#pragma once

#include <QString>
#include <QStringList>

struct TQRPrinterSettings;

// A paged device that is a job for the platform's printers: a printer, or the entry of the
// printer list that writes a PDF file. The engine paints and measures on any paged device and
// knows no printer; this is what it asks of a device that prints, found by casting the device
// it is given. The program's printer support implements it.
class TQRPrintJob {
public:
    virtual ~TQRPrintJob();

    // The platform's printer list, which TQRPrinterSettings::PrinterIndex points into.
    virtual QStringList PrinterList() const = 0;
    // Makes the printer the platform's current one: where paper bins are read next.
    virtual void MakeCurrent(const QString& printer) = 0;

    // The settings of a pass before the job begins: the printer the index chooses (first, as
    // choosing one resets the page layout), copies, duplex, the paper source (binCode is the
    // driver's code for the settings' bin choice, -1 when it has none), title and creator.
    // std::runtime_error for the PDF entry without a file.
    virtual void ApplyJobSettings(const TQRPrinterSettings& settings, int binCode,
                                  const QString& title, const QString& creator) = 0;
    // The file the job writes as PDF; empty when it goes to a printer.
    virtual QString PdfFileName() const = 0;
    virtual QString Title() const = 0;
    virtual QString Creator() const = 0;
    virtual QString PrinterName() const = 0;
    // Keeps the job being painted from ever printing: what has been painted is dropped, also
    // when the painter ends afterwards.
    virtual void DropJob() = 0;
    // Right after the painter ended: the spooler's reason for refusing the job, empty when it
    // took the job or the job was not for the spooler.
    virtual QString JobRefusal() = 0;
};
