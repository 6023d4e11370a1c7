#pragma once

#include "TQRPrintJob.h"

#include <QPrinter>

// A Qt printer as a job of the report engine: a real printer through the process's printer
// driver (TPrinterDriver), or the printer list's PDF entry. Every printer a report is printed
// on is one of these; a plain QPrinter is only a paged device to the engine.
class TQRPrinter : public QPrinter, public TQRPrintJob {
public:
    explicit TQRPrinter(PrinterMode mode = ScreenResolution);

    QStringList PrinterList() const override;
    void MakeCurrent(const QString& printer) override;
    void ApplyJobSettings(const TQRPrinterSettings& settings, int binCode, const QString& title,
                          const QString& creator) override;
    QString PdfFileName() const override;
    QString Title() const override;
    QString Creator() const override;
    QString PrinterName() const override;
    void DropJob() override;
    QString JobRefusal() override;
};
