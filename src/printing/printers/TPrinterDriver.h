#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class QPrinter;

// What the program asks of the printer driver beyond Qt's printer list: the paper bins of a
// printer (names and numeric codes, in the driver's order), a way to make a job take its paper
// from one of them, and whether the spooler took a job. The process has one driver,
// replaceable so tests can present a driver that misbehaves.
class TPrinterDriver {
public:
    virtual ~TPrinterDriver();

    // How many bin names and how many bin codes the driver reports for the printer; 0 or less
    // when it reports none or cannot tell. The two may differ for a broken driver.
    virtual int BinNameCount(const QString& printer) = 0;
    virtual int BinCodeCount(const QString& printer) = 0;
    // Fills the names and codes; both come sized to the counts reported above. May throw
    // std::bad_alloc.
    virtual void GetBins(const QString& printer, std::vector<QString>& names,
                         std::vector<std::int16_t>& codes) = 0;
    // Makes the job printed on the printer take its paper from the bin with that code; a code
    // the printer does not know leaves the printer's own choice.
    virtual void ApplyBin(QPrinter& printer, const QString& printerName, int code) = 0;
    // Keeps the job being painted on the printer from ever printing: what has been painted is
    // dropped, also when the painter ends afterwards. By default Qt's abort.
    virtual void DropJob(QPrinter& printer);
    // Right after a job was handed to the spooler: the spooler's reason for refusing it (a
    // queue that rejects jobs, a printer that is gone), empty when it took the job.
    virtual QString JobRefusal();

    // The process's driver (the platform's own, MakePlatformPrinterDriver, unless replaced).
    static TPrinterDriver& Instance();
    // Installs a driver and returns the one it replaces; null restores the platform's own.
    static std::unique_ptr<TPrinterDriver> Replace(std::unique_ptr<TPrinterDriver> driver);

    // The installed printers followed by the entry that writes a PDF file (so a machine
    // without printers can still print): the printer list of the report's print jobs.
    static QStringList PrinterNames();
    static QString PdfPrinterName();
    // The platform's current printer: the one set last, else the system's default printer.
    static QString CurrentPrinter();
    static void SetCurrentPrinter(const QString& name);
};
