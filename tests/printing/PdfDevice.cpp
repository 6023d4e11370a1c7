#include "PdfDevice.h"

#include <QPdfWriter>
#include <QPrinter>

std::unique_ptr<QPagedPaintDevice> MakePdfDevice(PdfDevice kind, const QString& path,
                                                 int resolution)
{
    if (kind == PdfDevice::Writer) {
        auto writer = std::make_unique<QPdfWriter>(path);
        writer->setResolution(resolution);
        return writer;
    }
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setResolution(resolution);
    return printer;
}

const char* PdfDeviceName(PdfDevice kind)
{
    return kind == PdfDevice::Writer ? "QPdfWriter" : "QPrinter";
}
