#pragma once

#include <QPagedPaintDevice>
#include <QString>

#include <memory>
#include <vector>

class TQuickRep;

// The ways the program writes a PDF: a QPdfWriter, a QPrinter set to PDF output (the "printer"
// that is always offered), or the PDF document written directly with a QPdfWriter that only
// lays out (the exporter).
enum class PdfDevice { Writer, Printer, Direct };

const std::vector<PdfDevice>& AllPdfDevices();

// For Direct, the QPdfWriter the report lays out on.
std::unique_ptr<QPagedPaintDevice> MakePdfDevice(PdfDevice kind, const QString& path,
                                                 int resolution = 1200);
const char* PdfDeviceName(PdfDevice kind);

// Prints the report into a PDF file of that kind, on a device MakePdfDevice made for it.
void PrintReport(TQuickRep& report, PdfDevice kind, const QString& path, int resolution = 1200);
void PrintReport(TQuickRep& report, PdfDevice kind, QPagedPaintDevice& device, const QString& path);
