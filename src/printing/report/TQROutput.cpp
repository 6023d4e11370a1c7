#include "TQROutput.h"

#include <QPagedPaintDevice>
#include <QPrinter>

#include <stdexcept>

TQROutput::TQROutput(QPagedPaintDevice& device) : m_device(device) {}

TQROutput::~TQROutput()
{
    if (!m_painter.isActive())
        return;
    // A document that failed halfway must not reach the printer as a truncated job.
    if (auto* printer = dynamic_cast<QPrinter*>(&m_device))
        printer->abort();
    m_painter.end();
}

QPainter& TQROutput::OpenPage()
{
    if (!m_painter.isActive()) {
        if (!m_painter.begin(&m_device))
            throw std::runtime_error("Der Druck konnte nicht begonnen werden.");
    } else if (!m_device.newPage()) {
        throw std::runtime_error("Eine neue Druckseite konnte nicht begonnen werden.");
    }
    return m_painter;
}

void TQROutput::Finish()
{
    if (m_painter.isActive() && !m_painter.end())
        throw std::runtime_error("Der Druck konnte nicht abgeschlossen werden.");
}
