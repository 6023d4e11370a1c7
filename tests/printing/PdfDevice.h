#pragma once

#include <QPagedPaintDevice>
#include <QString>

#include <memory>

// The two ways the program writes a PDF: a QPdfWriter, or a QPrinter set to PDF output (the
// "printer" that is always offered).
enum class PdfDevice { Writer, Printer };

std::unique_ptr<QPagedPaintDevice> MakePdfDevice(PdfDevice kind, const QString& path,
                                                 int resolution = 1200);
const char* PdfDeviceName(PdfDevice kind);
