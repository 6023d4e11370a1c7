#include "TQRPdfFile.h"

#include "AtomicFile.h"
#include "PdfSyntax.h"

#include <QByteArray>
#include <QFile>

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

namespace {

// Page contents are mostly numbers and glyph ids that repeat from row to row: the fastest
// level already shrinks them to a fraction, and the harder ones cost several times the time.
constexpr int kContentCompression = Z_BEST_SPEED;
// Finished pages waiting for the writer thread: enough to ride out a slow page, few enough to
// keep the memory of a long report flat.
constexpr std::size_t kQueuedPages = 8;

} // namespace

TQRPdfFile::TQRPdfFile(const QString& path)
    : m_path(path)
    , m_writer(std::make_unique<Writer>())
{
}

TQRPdfFile::TQRPdfFile(AtomicFile& file)
    : m_path(QFile::decodeName(QByteArray::fromStdString(file.Path())))
    , m_file(&file)
    , m_writer(std::make_unique<Writer>())
{
}

TQRPdfFile::~TQRPdfFile() { stopWriter(); }

bool TQRPdfFile::Running() const { return m_writer->thread.joinable(); }

void TQRPdfFile::throwWriteFailure() const
{
    if (m_file)
        m_file->ThrowIfFailed();
    throw std::runtime_error("Der Druck konnte nicht abgeschlossen werden.");
}

void TQRPdfFile::Open()
{
    if (!m_file) {
        m_ownFile = std::make_unique<AtomicFile>(QFile::encodeName(m_path).toStdString());
        m_file = m_ownFile.get();
    }
    write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    m_writer->thread = std::thread(&TQRPdfFile::writePages, this);
}

int TQRPdfFile::NewObject()
{
    const std::lock_guard<std::mutex> lock(m_writer->mutex);
    m_objectOffsets.push_back(0);
    return int(m_objectOffsets.size());
}

void TQRPdfFile::write(const char* data, std::size_t size)
{
    if (size == 0)
        return;
    if (!m_file->Write(data, size))
        m_failed = true;
    m_offset += size;
}

void TQRPdfFile::write(const std::string& text) { write(text.data(), text.size()); }

void TQRPdfFile::beginObject(int id)
{
    {
        const std::lock_guard<std::mutex> lock(m_writer->mutex);
        m_objectOffsets[std::size_t(id - 1)] = m_offset;
    }
    write(std::to_string(id) + " 0 obj\n");
}

void TQRPdfFile::WriteObject(int id, const std::string& text)
{
    beginObject(id);
    write(text + "\nendobj\n");
}

void TQRPdfFile::writeStream(int id, const std::string& dictionary, const std::string& data)
{
    beginObject(id);
    write("<<" + dictionary + " /Length " + std::to_string(data.size()) +
          " /Filter /FlateDecode >>\nstream\n");
    write(data);
    write("\nendstream\nendobj\n");
}

void TQRPdfFile::WriteStream(int id, const std::string& dictionary, const std::string& data,
                             int level)
{
    writeStream(id, dictionary, pdf::deflate(data, level));
}

void TQRPdfFile::QueuePage(int contentId, std::string content, int pageId, std::string page)
{
    PageJob job{contentId, std::move(content), pageId, std::move(page)};
    {
        std::unique_lock<std::mutex> lock(m_writer->mutex);
        m_writer->queueChanged.wait(lock, [this] { return m_writer->queue.size() < kQueuedPages; });
        m_writer->queue.push_back(std::move(job));
    }
    m_writer->queueChanged.notify_all();
    if (m_failed)
        throwWriteFailure();
}

void TQRPdfFile::writePages()
{
    for (;;) {
        PageJob job;
        {
            std::unique_lock<std::mutex> lock(m_writer->mutex);
            m_writer->queueChanged.wait(
                lock, [this] { return !m_writer->queue.empty() || m_writer->stopping; });
            if (m_writer->queue.empty())
                return;
            job = std::move(m_writer->queue.front());
            m_writer->queue.pop_front();
        }
        m_writer->queueChanged.notify_all();
        if (m_failed)
            continue;
        try {
            writeStream(job.contentId, "", pdf::deflate(job.content, kContentCompression));
            WriteObject(job.pageId, job.page);
        } catch (...) {
            m_failed = true;
        }
    }
}

void TQRPdfFile::stopWriter()
{
    if (!m_writer->thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_writer->mutex);
        m_writer->stopping = true;
    }
    m_writer->queueChanged.notify_all();
    m_writer->thread.join();
}

void TQRPdfFile::FinishPages()
{
    stopWriter();
    if (m_failed)
        throwWriteFailure();
}

void TQRPdfFile::WriteTrailer(int catalog, int info)
{
    const std::uint64_t xref = m_offset;
    std::string table =
        "xref\n0 " + std::to_string(m_objectOffsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::uint64_t offset : m_objectOffsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(offset));
        table += line;
    }
    write(table);
    write("trailer\n<< /Size " + std::to_string(m_objectOffsets.size() + 1) + " /Root " +
          std::to_string(catalog) + " 0 R /Info " + std::to_string(info) + " 0 R >>\nstartxref\n" +
          std::to_string(xref) + "\n%%EOF\n");
}

void TQRPdfFile::Commit()
{
    if (m_failed)
        throwWriteFailure();
    if (m_ownFile)
        m_ownFile->Commit();
}
