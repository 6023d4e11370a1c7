#include "TQROutput.h"

#include "AtomicFile.h"
#include "TQRCanvas.h"
#include "TQRPdfDocument.h"
#include "TQRPdfSurface.h"
#include "TQRPrintJob.h"

#include <QFile>
#include <QIODevice>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include <stdexcept>

namespace {

// Qt's PDF output writing into an AtomicFile; a failed write fails Qt's write, and the file
// keeps the reason.
class TAtomicFileDevice : public QIODevice {
public:
    explicit TAtomicFileDevice(AtomicFile& file)
        : m_file(file)
    {
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        return m_file.Write(data, static_cast<std::size_t>(size)) ? size : -1;
    }

private:
    AtomicFile& m_file;
};

TQRPrintJob* JobOf(QPagedPaintDevice& device) { return dynamic_cast<TQRPrintJob*>(&device); }

} // namespace

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

TQROutput::TQROutput(QPagedPaintDevice& device, AtomicFile& file)
    : m_device(device)
    , m_file(&file)
{
}

TQROutput::TQROutput(QPagedPaintDevice& device, QPainter& painter)
    : m_device(device)
    , m_pagePainter(&painter)
{
}

TQROutput::~TQROutput()
{
    if (!m_painter.isActive())
        return;
    // A document that failed halfway must not reach the printer as a truncated job.
    if (auto* job = JobOf(m_device); job && !m_writer)
        job->DropJob();
    m_painter.end();
}

TQRPrintJob* TQROutput::PrintJob() const { return JobOf(m_device); }

QPaintDevice& TQROutput::paintDevice() const
{
    if (m_writer)
        return *m_writer;
    return m_device;
}

void TQROutput::beginDocument()
{
    m_started = true;
    if (m_pdf)
        return;
    TQRPrintJob* job = JobOf(m_device);
    if (!m_file && job && !job->PdfFileName().isEmpty()) {
        m_ownFile = std::make_unique<AtomicFile>(
            QFile::encodeName(job->PdfFileName()).toStdString(), m_keep);
        m_file = m_ownFile.get();
    }
    if (!m_file)
        return;
    const QString title = job ? job->Title() : QString();
    if (m_directPdf) {
        m_ownPdf = std::make_unique<TQRPdfDocument>(*m_file);
        m_ownPdf->SetTitle(title);
        m_ownPdf->SetCreator(job ? job->Creator() : QString());
        m_pdf = m_ownPdf.get();
        return;
    }
    m_fileDevice = std::make_unique<TAtomicFileDevice>(*m_file);
    m_fileDevice->open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(m_fileDevice.get());
    m_writer->setResolution(m_device.logicalDpiX());
    if (auto* layout = dynamic_cast<QPdfWriter*>(&m_device)) {
        m_writer->setTitle(layout->title());
        m_writer->setCreator(layout->creator());
    } else if (job) {
        m_writer->setTitle(title);
        m_writer->setCreator(job->Creator());
    }
}

void TQROutput::OpenPage(TQRCanvas& canvas)
{
    if (m_pagePainter) {
        // Nothing is begun on the device: the page goes to the caller's painter.
        m_started = true;
        canvas.SetOutput(nullptr);
        m_painterSurface.Begin(*m_pagePainter, true);
        canvas.SetOutput(&m_painterSurface);
        return;
    }
    if (!m_started)
        beginDocument();
    if (m_pdf) {
        canvas.SetOutput(nullptr);
        m_pdf->BeginPage(m_device.pageLayout(), m_device.logicalDpiX(), m_device.logicalDpiY());
        if (!m_pdfSurface)
            m_pdfSurface = std::make_unique<TQRPdfSurface>(*m_pdf);
        canvas.SetOutput(m_pdfSurface.get());
        return;
    }
    canvas.SetOutput(nullptr);
    // The page layout may change from one report to the next; the device that lays out has it.
    if (m_writer)
        m_writer->setPageLayout(m_device.pageLayout());
    if (!m_painter.isActive()) {
        if (!m_painter.begin(&paintDevice())) {
            if (m_file)
                m_file->ThrowIfFailed();
            throw std::runtime_error("Der Druck konnte nicht begonnen werden.");
        }
    } else if (!(m_writer ? m_writer->newPage() : m_device.newPage())) {
        throw std::runtime_error("Eine neue Druckseite konnte nicht begonnen werden.");
    }
    m_painterSurface.Begin(m_painter, false);
    canvas.SetOutput(&m_painterSurface);
}

void TQROutput::Finish()
{
    if (m_pdf) {
        m_pdf->Finish();
    } else if (m_painter.isActive() && !m_painter.end()) {
        throw std::runtime_error("Der Druck konnte nicht abgeschlossen werden.");
    }
    if (m_file) {
        if (m_fileDevice)
            m_fileDevice->close();
        m_file->ThrowIfFailed();
        if (m_ownFile)
            m_ownFile->Commit();
        return;
    }
    TQRPrintJob* job = JobOf(m_device);
    if (m_started && job) {
        // Qt hands the finished job to the spooler and does not say whether it was taken.
        const QString refusal = job->JobRefusal();
        if (!refusal.isEmpty())
            throw std::runtime_error(QStringLiteral("Der Drucker \"%1\" hat den Druckauftrag nicht "
                                                    "angenommen: %2")
                                         .arg(job->PrinterName(), refusal)
                                         .toStdString());
    }
}

void TQROutput::Abort() noexcept
{
    // The direct output's writer thread stops before its file goes.
    if (m_ownPdf) {
        m_pdf = nullptr;
        m_ownPdf.reset();
    }
    if (m_painter.isActive()) {
        if (auto* job = JobOf(m_device); job && !m_writer)
            job->DropJob();
        m_painter.end();
    }
    if (m_file)
        m_file->Discard();
}
