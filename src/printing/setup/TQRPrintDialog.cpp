#include "TQRPrintDialog.h"

#include "TPrinterDriver.h"
#include "TQuickRep.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTranslator>

#include <cstring>
#include <memory>

namespace {

const int kLastPageOffered = 9999;

// Qt's dialog calls its file entry by a name of its own; the setup dialog shows the engine's.
// One entry, one name: Qt's dialog gets the engine's, ahead of any translation of Qt's.
class TPdfEntryName : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (context && sourceText && std::strcmp(context, "QPrintDialog") == 0 &&
            std::strcmp(sourceText, "Print to File (PDF)") == 0)
            return TPrinterDriver::PdfPrinterName();
        return QString();
    }
};

void InstallPdfEntryName()
{
    static QPointer<QTranslator> installed;
    if (installed || !QCoreApplication::instance())
        return;
    auto translator = std::make_unique<TPdfEntryName>();
    if (!QCoreApplication::installTranslator(translator.get()))
        return;
    translator->setParent(QCoreApplication::instance());
    installed = translator.release();
}

} // namespace

std::function<int(QPrintDialog& dialog)> TQRPrintDialog::ShowModal;

bool TQRPrintDialog::Run(TQuickRep& report)
{
    // Installed last, so it is asked before Qt's own translation.
    InstallPdfEntryName();
    QPrinter printer(QPrinter::HighResolution);
    SettingsToPrinter(report, printer);
    QPrintDialog dialog(&printer);
    // Qt's dialog points the printer at the default printer while it builds its list: the
    // settings apply again, so that it opens on the entry chosen last, the file entry too.
    if (printer.outputFormat() != QPrinter::PdfFormat)
        SettingsToPrinter(report, printer);
    dialog.setMinMax(1, kLastPageOffered);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    const int answer = ShowModal ? ShowModal(dialog) : dialog.exec();
    if (answer != QDialog::Accepted)
        return false;
    PrinterToSettings(printer, report);
    return true;
}

void TQRPrintDialog::SettingsToPrinter(const TQuickRep& report, QPrinter& printer)
{
    const TQRPrinterSettings& settings = report.PrinterSettings();
    const QStringList printers = TPrinterDriver::PrinterNames();
    const int index = settings.PrinterIndex;
    if (index >= 0 && index < printers.size()) {
        if (printers.at(index) == TPrinterDriver::PdfPrinterName()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(settings.OutputFileName);
        } else {
            printer.setPrinterName(printers.at(index));
        }
    }
    printer.setDocName(settings.Title);
    printer.setCopyCount(qMax(1, settings.Copies));
    printer.setPageOrientation(settings.Orientation);
    if (settings.FirstPage > 0 || settings.LastPage > 0) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(qMax(1, settings.FirstPage),
                          settings.LastPage > 0 ? settings.LastPage : kLastPageOffered);
    } else {
        printer.setPrintRange(QPrinter::AllPages);
    }
}

void TQRPrintDialog::PrinterToSettings(const QPrinter& printer, TQuickRep& report)
{
    TQRPrinterSettings& settings = report.PrinterSettings();
    const QStringList printers = TPrinterDriver::PrinterNames();
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        settings.PrinterIndex = static_cast<int>(printers.size()) - 1;
        settings.OutputFileName = printer.outputFileName();
    } else {
        settings.PrinterIndex = static_cast<int>(printers.indexOf(printer.printerName()));
    }
    settings.Copies = qMax(1, printer.copyCount());
    settings.Orientation = printer.pageLayout().orientation();
    if (printer.printRange() == QPrinter::PageRange) {
        settings.FirstPage = printer.fromPage();
        settings.LastPage = printer.toPage() >= kLastPageOffered ? 0 : printer.toPage();
    } else {
        settings.FirstPage = 0;
        settings.LastPage = 0;
    }
}
