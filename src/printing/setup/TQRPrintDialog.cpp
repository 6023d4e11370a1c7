#include "TQRPrintDialog.h"

#include "TQuickRep.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {

const int kLastPageOffered = 9999;

} // namespace

std::function<int(QPrintDialog& dialog)> TQRPrintDialog::ShowModal;

bool TQRPrintDialog::Run(TQuickRep& report)
{
    QPrinter printer(QPrinter::HighResolution);
    SettingsToPrinter(report, printer);
    QPrintDialog dialog(&printer);
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
    const QStringList printers = TQuickRep::PrinterNames();
    const int index = settings.PrinterIndex;
    if (index >= 0 && index < printers.size()) {
        if (printers.at(index) == TQuickRep::PdfPrinterName()) {
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
    const QStringList printers = TQuickRep::PrinterNames();
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
