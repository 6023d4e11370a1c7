#include "TPrinterDriver.h"

#include "PlatformPrinterDriver.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace {

std::unique_ptr<TPrinterDriver>& InstalledDriver()
{
    static std::unique_ptr<TPrinterDriver> driver;
    return driver;
}

QString& ChosenPrinter()
{
    static QString name;
    return name;
}

} // namespace

TPrinterDriver::~TPrinterDriver() = default;

void TPrinterDriver::DropJob(QPrinter& printer) { printer.abort(); }

QString TPrinterDriver::JobRefusal() { return QString(); }

TPrinterDriver& TPrinterDriver::Instance()
{
    std::unique_ptr<TPrinterDriver>& driver = InstalledDriver();
    if (!driver)
        driver = MakePlatformPrinterDriver();
    return *driver;
}

std::unique_ptr<TPrinterDriver> TPrinterDriver::Replace(std::unique_ptr<TPrinterDriver> driver)
{
    std::unique_ptr<TPrinterDriver> previous = std::move(InstalledDriver());
    InstalledDriver() = std::move(driver);
    return previous;
}

QStringList TPrinterDriver::PrinterNames()
{
    return QPrinterInfo::availablePrinterNames() << PdfPrinterName();
}

QString TPrinterDriver::PdfPrinterName() { return QStringLiteral("PDF-Datei"); }

QString TPrinterDriver::CurrentPrinter()
{
    const QString& chosen = ChosenPrinter();
    return chosen.isEmpty() ? QPrinterInfo::defaultPrinterName() : chosen;
}

void TPrinterDriver::SetCurrentPrinter(const QString& name) { ChosenPrinter() = name; }
