#pragma once

#include "TPrinterDriver.h"

#include <QStringList>

// The printer driver of a CUPS system. A printer's bins are the "media-source" values its
// destination supports, in the order CUPS reports them; a bin's code is its index there and
// its name the printer's own localization of the value (from the driver's strings), else
// CUPS's. The PDF entry of the engine's printer list has one bin. A printer CUPS does not know
// has none.
class TCupsPrinterDriver : public TPrinterDriver {
public:
    int BinNameCount(const QString& printer) override;
    int BinCodeCount(const QString& printer) override;
    void GetBins(const QString& printer, std::vector<QString>& names,
                 std::vector<std::int16_t>& codes) override;
    // Adds "media-source" to the CUPS options of the job (replacing one set before).
    void ApplyBin(QPrinter& printer, const QString& printerName, int code) override;
    // Qt's CUPS engine cannot abort: whatever it holds goes to the queue when the painter
    // ends. A copy count the scheduler refuses keeps the job from being queued at all.
    void DropJob(QPrinter& printer) override;
    // Qt's CUPS print engine submits the job on this thread and drops the answer; libcups keeps
    // the last answer of the thread.
    QString JobRefusal() override;

    // The "media-source" values of the printer; empty for an unknown printer.
    static QStringList MediaSources(const QString& printer);
    // The names of the bins, one per value of MediaSources.
    static QStringList MediaSourceNames(const QString& printer);
};
