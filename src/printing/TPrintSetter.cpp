#include "TPrintSetter.h"

#include "TQROutput.h"
#include "TQuickRep.h"

#include <stdexcept>

TPrintSetter::TPrintSetter(TQuickRep& report) : Report(report) {}

TPrintSetter::~TPrintSetter() = default;

void TPrintSetter::SetBin(int code)
{
    Bin = code;
}

void TPrintSetter::SetOrientation(std::uint8_t value)
{
    Orientation = value;
}

void TPrintSetter::Prepare()
{
    run([this](TQROutput& output) { Report.Prepare(output.Device()); });
}

void TPrintSetter::Print()
{
    run([this](TQROutput& output) { Report.Print(output); });
}

template <class Pass> void TPrintSetter::run(const Pass& pass)
{
    if (!m_output)
        throw std::logic_error("a print setter needs an output");
    const QPageLayout::Orientation remembered = Report.PrinterSettings().Orientation;
    const bool forceOrientation = Orientation != kNoOrientation;
    if (forceOrientation)
        Report.PrinterSettings().Orientation =
            Orientation == 0 ? QPageLayout::Portrait : QPageLayout::Landscape;
    try {
        pass(*m_output);
    } catch (...) {
        if (forceOrientation)
            Report.PrinterSettings().Orientation = remembered;
        throw;
    }
    if (forceOrientation)
        Report.PrinterSettings().Orientation = remembered;
}
