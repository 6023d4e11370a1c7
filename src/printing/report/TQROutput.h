#pragma once

#include <QPainter>

class QPagedPaintDevice;

// One output document on a paged device (a print job, a PDF file) that one report or several
// reports in turn print into. The first page printed opens it; every report after the first
// starts on a new page of the same document.
//
// Finish completes the document (std::runtime_error when the device cannot). An output that goes
// without Finish was interrupted: a printer job is aborted, a file is closed as it stands.
class TQROutput {
public:
    explicit TQROutput(QPagedPaintDevice& device);
    ~TQROutput();
    TQROutput(const TQROutput&) = delete;
    TQROutput& operator=(const TQROutput&) = delete;

    QPagedPaintDevice& Device() const { return m_device; }
    // True once a page was opened.
    bool Started() const { return m_painter.isActive(); }

    // Opens the next page for painting: the first one begins the document.
    QPainter& OpenPage();
    void Finish();

private:
    QPagedPaintDevice& m_device;
    QPainter m_painter;
};
