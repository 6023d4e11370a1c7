#include "TPrintSetter.h"

#include "TQROutput.h"
#include "TQRPrintJob.h"
#include "TQuickRep.h"

#include <stdexcept>

namespace {

// The bin choice through which a forced driver code reaches the printer.
constexpr TQRPaperSource kFirstBin = TQRPaperSource::OnlyOne;

// Puts the report's bin and orientation back as they were before the pass, on every way out.
class TRestoreOnExit {
public:
    TRestoreOnExit(TQRPrinterSettings& settings, TQuickRep& report, bool bin, bool orientation)
        : m_settings(settings)
        , m_report(report)
        , m_bin(bin)
        , m_orientation(orientation)
        , m_outputBin(settings.OutputBin)
        , m_firstBinCode(report.BinCode(kFirstBin))
        , m_pageOrientation(settings.Orientation)
    {
    }
    ~TRestoreOnExit()
    {
        if (m_bin) {
            m_report.SetBinCode(kFirstBin, m_firstBinCode);
            m_settings.OutputBin = m_outputBin;
        }
        if (m_orientation)
            m_settings.Orientation = m_pageOrientation;
    }
    TRestoreOnExit(const TRestoreOnExit&) = delete;
    TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

private:
    TQRPrinterSettings& m_settings;
    TQuickRep& m_report;
    bool m_bin;
    bool m_orientation;
    TQRPaperSource m_outputBin;
    int m_firstBinCode;
    QPageLayout::Orientation m_pageOrientation;
};

} // namespace

TPrintSetter::TPrintSetter(TQuickRep& report)
    : Report(report)
{
}

TPrintSetter::~TPrintSetter() = default;

bool TPrintSetter::RunPrinterDialog()
{
    if (!Report.PrinterSetup())
        return false;
    // The printer confirmed there is where the bins are read next.
    const QString chosen = GetPrinterName();
    if (!chosen.isEmpty())
        printJob()->MakeCurrent(chosen);
    return true;
}

bool TPrintSetter::HasJobOptions()
{
    const TQRPrinterSettings& settings = Report.PrinterSettings();
    return settings.Copies > 1 || settings.FirstPage > 0 || settings.LastPage > 0;
}

QString TPrintSetter::GetPrinterName()
{
    const QStringList printers = printerList();
    const int index = Report.PrinterSettings().PrinterIndex;
    return index >= 0 && index < printers.size() ? printers.at(index) : QString();
}

bool TPrintSetter::SelectPrinter(const QString& name)
{
    const int index = static_cast<int>(printerList().indexOf(name));
    if (index < 0)
        return false;
    Report.PrinterSettings().PrinterIndex = index;
    printJob()->MakeCurrent(name);
    return true;
}

TQRPrintJob* TPrintSetter::printJob() const { return m_output ? m_output->PrintJob() : nullptr; }

QStringList TPrintSetter::printerList() const
{
    const TQRPrintJob* job = printJob();
    return job ? job->PrinterList() : QStringList();
}

void TPrintSetter::SetBin(int code) { Bin = code; }

void TPrintSetter::SetOrientation(std::uint8_t value) { Orientation = value; }

void TPrintSetter::Prepare()
{
    run([this](TQROutput& output) { Report.Prepare(output.Device()); });
}

void TPrintSetter::Print()
{
    run([this](TQROutput& output) { Report.Print(output); });
}

TQRRunResult TPrintSetter::Run(const TQRRun& how, bool toOutput)
{
    TQRRunResult result;
    run([&](TQROutput& output) {
        result = Report.Run(output.Device(), toOutput ? &output : nullptr, how);
    });
    return result;
}

template <class Pass> void TPrintSetter::run(const Pass& pass)
{
    if (!m_output)
        throw std::logic_error("a print setter needs an output");
    TQRPrinterSettings& settings = Report.PrinterSettings();
    const bool forceBin = Bin >= 0;
    const bool forceOrientation = Orientation != kNoOrientation;
    const TRestoreOnExit restore(settings, Report, forceBin, forceOrientation);
    if (forceBin) {
        Report.SetBinCode(kFirstBin, Bin);
        settings.OutputBin = kFirstBin;
    }
    if (forceOrientation)
        settings.Orientation = Orientation == 0 ? QPageLayout::Portrait : QPageLayout::Landscape;
    pass(*m_output);
}
