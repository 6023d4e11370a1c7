#pragma once

#include <QPainter>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class TQRCanvas;
class TQRPdfDocument;

// One output document on a paged device (a print job, a PDF file) that one report or several
// reports in turn print into. The first page printed opens it; every report after the first
// starts on a new page of the same document.
//
// With a PDF document the pages are written there directly, and the device (a QPdfWriter of
// the same page layout and resolution, never painted on) only serves to lay out and measure.
// An output may also decide that at its first page: with directPdf, a QPrinter that prints to a
// PDF file by then has that file written directly.
//
// Finish completes the document (std::runtime_error when the device cannot). An output that goes
// without Finish was interrupted: a printer job is aborted, a file is closed as it stands.
class TQROutput {
public:
    explicit TQROutput(QPagedPaintDevice& device, bool directPdf = false);
    TQROutput(QPagedPaintDevice& device, TQRPdfDocument& pdf);
    // Pages painted with a painter of the caller's (a preview's page image), whose origin and
    // scale the caller sets to the printable area's top-left corner in device pixels; the
    // device only lays out and measures, and no document is opened on it.
    TQROutput(QPagedPaintDevice& device, QPainter& painter);
    ~TQROutput();
    TQROutput(const TQROutput&) = delete;
    TQROutput& operator=(const TQROutput&) = delete;

    QPagedPaintDevice& Device() const { return m_device; }
    TQRPdfDocument* Pdf() const { return m_pdf; }
    // True once a page was opened.
    bool Started() const;
    // The document's title when it is not that of the first report printed into it (a file of
    // several reports); set before the first page.
    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }

    // Opens the next page and points the canvas at it: the first one begins the document.
    void OpenPage(TQRCanvas& canvas);
    void Finish();
    // Ends the document unfinished, for a cancelled print: a printer job is dropped unsent, a PDF
    // file this output began is removed.
    void Abort() noexcept;

private:
    QPagedPaintDevice& m_device;
    bool m_directPdf = false;
    QString m_title;
    std::unique_ptr<TQRPdfDocument> m_ownPdf;
    TQRPdfDocument* m_pdf = nullptr;
    QPainter m_painter;
    QPainter* m_pagePainter = nullptr;
    bool m_pagePainterUsed = false;
};
