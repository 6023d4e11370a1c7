#pragma once

#include <functional>

class QPrintDialog;
class QPrinter;
class TQuickRep;

// The report engine's print dialog: Qt's print dialog on a printer set up from the report's
// printer settings (printer, copies, page range from 1 to 9999, orientation); when confirmed,
// what it chose is written back into those settings. A file printer chosen there becomes the
// engine's PDF entry with the file's name; the dialog calls that entry by the engine's name for it
// (TPrinterDriver::PdfPrinterName). Install with TQuickRep::PrintDialog = Run.
class TQRPrintDialog {
public:
    static bool Run(TQuickRep& report);

    // Shows the dialog modally; replaced by tests, which act on the dialog's printer and return
    // the dialog's result. Without a replacement: exec().
    static std::function<int(QPrintDialog& dialog)> ShowModal;

    // The two halves of Run, for whoever drives a printer of their own.
    static void SettingsToPrinter(const TQuickRep& report, QPrinter& printer);
    static void PrinterToSettings(const QPrinter& printer, TQuickRep& report);
};
