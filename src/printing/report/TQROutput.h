#pragma once

#include "TQRPainterSurface.h"

#include <QPainter>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class AtomicFile;
class QIODevice;
class QPagedPaintDevice;
class QPdfWriter;
class TQRCanvas;
class TQRPdfDocument;
class TQRPrintJob;

// One output document on a paged device (a print job, a PDF file) that one report or several
// reports in turn print into. The first page printed opens it; every report after the first
// starts on a new page of the same document.
//
// With a PDF document the pages are written there directly, and the device (a QPdfWriter of
// the same page layout and resolution, never painted on) only serves to lay out and measure.
// An output may also decide that at its first page: with directPdf, a print job (TQRPrintJob)
// that prints to a PDF file by then has that file written directly.
//
// Every PDF file an output writes appears under its name only when complete (AtomicFile): a
// print job that prints to a PDF file has its pages painted by Qt's PDF output into such a file
// unless they are written directly, and so do the pages of an output on a file of its own.
//
// Finish completes the document: std::runtime_error when the device cannot, EOutputError (the
// file, and why) when a file cannot be written, and the printer and the spooler's words when the
// spooler refuses the job. An output that goes without Finish was interrupted: a printer job is
// aborted, a file never appears.
class TQROutput {
public:
    explicit TQROutput(QPagedPaintDevice& device, bool directPdf = false);
    TQROutput(QPagedPaintDevice& device, TQRPdfDocument& pdf);
    // Pages painted by Qt's PDF output into the file, in the device's page layout and
    // resolution; the file's owner commits it after Finish.
    TQROutput(QPagedPaintDevice& device, AtomicFile& file);
    // Pages painted with a painter of the caller's (a preview's page image), whose origin and
    // scale the caller sets to the printable area's top-left corner in device pixels; the
    // device only lays out and measures, and no document is opened on it.
    TQROutput(QPagedPaintDevice& device, QPainter& painter);
    ~TQROutput();
    TQROutput(const TQROutput&) = delete;
    TQROutput& operator=(const TQROutput&) = delete;

    // A file that a PDF file of this output must never replace (the log being printed: also
    // through another path or a link). Before the first page.
    void KeepFile(const std::string& path) { m_keep.push_back(path); }

    QPagedPaintDevice& Device() const { return m_device; }
    // The device as a job for the platform's printers; null for one that is not (a PDF writer).
    TQRPrintJob* PrintJob() const;
    TQRPdfDocument* Pdf() const { return m_pdf; }
    // True once a page was opened.
    bool Started() const { return m_started; }
    // The document's title when it is not that of the first report printed into it (a file of
    // several reports); set before the first page.
    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }

    // Opens the next page and points the canvas at it: the first one begins the document.
    void OpenPage(TQRCanvas& canvas);
    void Finish();
    // Ends the document unfinished, for a cancelled print: a printer job is dropped unsent, a PDF
    // file being written is removed and whatever was under its name stays. Also after a failure.
    void Abort() noexcept;

private:
    void beginDocument();
    QPaintDevice& paintDevice() const;

    QPagedPaintDevice& m_device;
    bool m_directPdf = false;
    bool m_started = false;
    QString m_title;
    std::vector<std::string> m_keep;
    // Declared before what writes into them, so they outlive it.
    std::unique_ptr<AtomicFile> m_ownFile;
    AtomicFile* m_file = nullptr;
    std::unique_ptr<QIODevice> m_fileDevice;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<TQRPdfDocument> m_ownPdf;
    TQRPdfDocument* m_pdf = nullptr;
    QPainter m_painter;
    QPainter* m_pagePainter = nullptr;
    // What the canvas draws the open page on.
    TQRPainterSurface m_painterSurface;
    std::unique_ptr<TQRSurface> m_pdfSurface;
};
