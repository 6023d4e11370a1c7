#include "PdfDevice.h"

#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TQRPrinter.h"
#include "TQuickRep.h"

#include <QPdfWriter>

const std::vector<PdfDevice>& AllPdfDevices()
{
    static const std::vector<PdfDevice> all = {PdfDevice::Writer, PdfDevice::Printer,
                                               PdfDevice::Direct};
    return all;
}

std::unique_ptr<QPagedPaintDevice> MakePdfDevice(PdfDevice kind, const QString& path,
                                                 int resolution)
{
    if (kind != PdfDevice::Printer) {
        auto writer = std::make_unique<QPdfWriter>(path);
        writer->setResolution(resolution);
        return writer;
    }
    auto printer = std::make_unique<TQRPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setResolution(resolution);
    return printer;
}

const char* PdfDeviceName(PdfDevice kind)
{
    switch (kind) {
    case PdfDevice::Writer:
        return "QPdfWriter";
    case PdfDevice::Printer:
        return "QPrinter";
    case PdfDevice::Direct:
        return "direct";
    }
    return "?";
}

void PrintReport(TQuickRep& report, PdfDevice kind, const QString& path, int resolution)
{
    auto device = MakePdfDevice(kind, path, resolution);
    PrintReport(report, kind, *device, path);
}

void PrintReport(TQuickRep& report, PdfDevice kind, QPagedPaintDevice& device, const QString& path)
{
    if (kind != PdfDevice::Direct) {
        report.Print(device);
        return;
    }
    TQRPdfDocument pdf(path);
    TQROutput output(device, pdf);
    report.Print(output);
    output.Finish();
}
