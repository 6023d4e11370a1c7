#include "TQROutput.h"

#include "TPrinterDriver.h"
#include "TQRCanvas.h"
#include "TQRPdfDocument.h"

#include <QFile>
#include <QPagedPaintDevice>
#include <QPrinter>

#include <stdexcept>

TQROutput::TQROutput(QPagedPaintDevice& device, bool directPdf)
    : m_device(device)
    , m_directPdf(directPdf)
{
}

TQROutput::TQROutput(QPagedPaintDevice& device, TQRPdfDocument& pdf)
    : m_device(device)
    , m_pdf(&pdf)
{
}

TQROutput::TQROutput(QPagedPaintDevice& device, QPainter& painter)
    : m_device(device)
    , m_pagePainter(&painter)
{
}

bool TQROutput::Started() const
{
    if (m_pagePainter)
        return m_pagePainterUsed;
    return m_pdf ? m_pdf->PageCount() > 0 : m_painter.isActive();
}

TQROutput::~TQROutput()
{
    if (!m_painter.isActive())
        return;
    // A document that failed halfway must not reach the printer as a truncated job.
    if (auto* printer = dynamic_cast<QPrinter*>(&m_device))
        TPrinterDriver::Instance().DropJob(*printer);
    m_painter.end();
}

void TQROutput::OpenPage(TQRCanvas& canvas)
{
    if (m_pagePainter) {
        canvas.SetOutput(nullptr, nullptr);
        m_pagePainterUsed = true;
        canvas.SetOutput(m_pagePainter, nullptr);
        canvas.SetReduced(true);
        return;
    }
    if (m_directPdf && !Started()) {
        auto* printer = dynamic_cast<QPrinter*>(&m_device);
        if (printer && printer->outputFormat() == QPrinter::PdfFormat &&
            !printer->outputFileName().isEmpty()) {
            m_ownPdf = std::make_unique<TQRPdfDocument>(printer->outputFileName());
            m_ownPdf->SetTitle(printer->docName());
            m_ownPdf->SetCreator(printer->creator());
            m_pdf = m_ownPdf.get();
        }
        m_directPdf = false;
    }
    if (m_pdf) {
        canvas.SetOutput(nullptr, nullptr);
        m_pdf->BeginPage(m_device.pageLayout(), m_device.logicalDpiX(), m_device.logicalDpiY());
        canvas.SetOutput(nullptr, m_pdf);
        return;
    }
    canvas.SetOutput(nullptr, nullptr);
    if (!m_painter.isActive()) {
        if (!m_painter.begin(&m_device))
            throw std::runtime_error("Der Druck konnte nicht begonnen werden.");
    } else if (!m_device.newPage()) {
        throw std::runtime_error("Eine neue Druckseite konnte nicht begonnen werden.");
    }
    canvas.SetOutput(&m_painter, nullptr);
}

void TQROutput::Abort() noexcept
{
    auto* printer = dynamic_cast<QPrinter*>(&m_device);
    QString begun;
    if (m_ownPdf && printer) {
        begun = printer->outputFileName();
        m_pdf = nullptr;
        m_ownPdf.reset();
    }
    if (m_painter.isActive()) {
        if (printer && printer->outputFormat() == QPrinter::PdfFormat)
            begun = printer->outputFileName();
        else if (printer)
            TPrinterDriver::Instance().DropJob(*printer);
        m_painter.end();
    }
    if (!begun.isEmpty())
        QFile::remove(begun);
}

void TQROutput::Finish()
{
    if (m_pdf) {
        m_pdf->Finish();
        return;
    }
    if (m_painter.isActive() && !m_painter.end())
        throw std::runtime_error("Der Druck konnte nicht abgeschlossen werden.");
}
