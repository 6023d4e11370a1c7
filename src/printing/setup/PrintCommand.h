#pragma once

#include <QString>

class TPrintProgress;
class TPrintSetupState;
class TReportSource;
struct TQRPrinterSettings;

// Copies the fields a print command carries from the confirmed dialogs to every printed part:
// copies, duplex, page range, orientation, bin choice, paper size, printer, title, and the file
// of the PDF entry.
void CopyPrinterSettings(const TQRPrinterSettings& source, TQRPrinterSettings& destination);

// The print command of the main window: the print setup dialog once, then the whole log and,
// when chosen, one single log per input file, each part a print job of its own on a fresh
// report form with the confirmed printer, bin, orientation, copies and page range. Nothing
// prints when a dialog is cancelled. The first error (a bin error of the dialog, a failing
// job) ends the command after the part's form is released; later parts do not print.
// On the PDF entry the whole log goes to the chosen file and single log n to the same name
// with "-n" before its extension, so the parts do not overwrite each other. Each file appears
// only when complete (a full disk leaves what was there and ends the command with a message
// naming the file and why), and the log itself is never written over.
//
// Every page of every part goes to the progress, when there is one; when it asks to stop, the
// command stops after that page: parts printed before stay (with the spooler, or as files), the
// part being printed is dropped (its job aborted, its file removed), later parts do not print.
// True when every part printed; false when a dialog was cancelled or the progress stopped it.
//
// The setup dialog's "Vorschau", or starting with the preview (the remembered choices, without
// the setup dialog), shows the parts' pages in "Seitenansicht" first (TPrintPreviewForm):
// through the same plan and report forms, laid out on the same printer with the same choices.
// Its "Drucken" goes on to print them; closing it prints nothing (false).
enum class TPrintStart { Setup, Preview };
bool PrintStatisticsLog(const TReportSource& source, TPrintSetupState& state,
                        TPrintProgress* progress = nullptr, TPrintStart start = TPrintStart::Setup);

// The file a part goes to on the PDF entry.
QString PartFileName(const QString& fileName, int singleLogNumber);
