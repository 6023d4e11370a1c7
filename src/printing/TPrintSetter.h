#pragma once

#include "TQRBookmark.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class TQROutput;
class TQRPrintJob;
class TQuickRep;

// Drives the print setup of one report: the engine's print dialog, the printer of its printer
// settings, and the paper bin and page orientation that the print setup forces for the time
// of each generation pass (the report's own restored afterwards, also on error). The printers it
// chooses among are those of its output's print job: an output on a device that is no print job
// (a PDF writer) has none.
class TPrintSetter {
public:
    static constexpr int kNoBin = -1;
    static constexpr std::uint8_t kNoOrientation = 255;

    explicit TPrintSetter(TQuickRep& report);
    virtual ~TPrintSetter();
    TPrintSetter(const TPrintSetter&) = delete;
    TPrintSetter& operator=(const TPrintSetter&) = delete;

    TQuickRep& Report;
    // The driver bin code to force; kNoBin leaves the report's bin.
    int Bin = kNoBin;
    // 0 portrait, 1 landscape; kNoOrientation leaves the report's orientation.
    std::uint8_t Orientation = kNoOrientation;

    // Where Print sends the report; must be set before Prepare or Print (std::logic_error).
    void SetOutput(TQROutput* output) { m_output = output; }
    TQROutput* Output() const { return m_output; }

    // The engine's print dialog for the report; true when confirmed.
    virtual bool RunPrinterDialog();
    // More than one copy or a page range in the report's printer settings.
    virtual bool HasJobOptions();
    // The printer list entry of the report's printer index; empty outside the list.
    virtual QString GetPrinterName();
    // Points the report and the platform's current printer at the first entry of the
    // printer list equal to the name (case-sensitive); false when there is none.
    virtual bool SelectPrinter(const QString& name);
    virtual void SetBin(int code);
    virtual void SetOrientation(std::uint8_t value);
    // A generation pass without output, measuring on the output's device.
    virtual void Prepare();
    // A generation pass painted into the output.
    virtual void Print();
    // A generation pass as the run says (TQRRun), with bin and orientation applied as for
    // Prepare and Print: into the output when toOutput, else only measuring on its device.
    TQRRunResult Run(const TQRRun& how, bool toOutput);

private:
    template <class Pass> void run(const Pass& pass);
    TQRPrintJob* printJob() const;
    QStringList printerList() const;

    TQROutput* m_output = nullptr;
};
