#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class AtomicFile;

// The file of a PDF document: its numbered objects, each where the cross-reference table says
// it is, and a thread of its own that compresses and writes finished pages in their order
// while the next page is laid out. What the objects say is the document's.
//
// Writes are checked: after a failed one nothing more reaches the file, and the failure is
// raised at the next page handed over or at the end (EOutputError naming the file and why, from
// the AtomicFile). The file appears under its name only once committed.
class TQRPdfFile {
public:
    // Writes the file of that name, created by Open and committed by Commit.
    explicit TQRPdfFile(const QString& path);
    // Writes into a file that its owner commits (or discards).
    explicit TQRPdfFile(AtomicFile& file);
    // Stops the writer thread; a file of its own that was never committed goes with it.
    ~TQRPdfFile();
    TQRPdfFile(const TQRPdfFile&) = delete;
    TQRPdfFile& operator=(const TQRPdfFile&) = delete;

    const QString& Path() const { return m_path; }
    // True from Open until FinishPages.
    bool Running() const;

    // Creates the file (EOutputError when it cannot be), writes the header and starts the
    // writer thread.
    void Open();
    // The number of a new object, from 1; it must be written before the table.
    int NewObject();
    // The object: "id 0 obj", the text, "endobj". Not while the writer thread runs.
    void WriteObject(int id, const std::string& text);
    // A stream object of the dictionary's entries and the data, compressed at the zlib level.
    // Not while the writer thread runs.
    void WriteStream(int id, const std::string& dictionary, const std::string& data, int level);
    // Hands a finished page to the writer thread: its content stream and then its page object.
    // Waits while enough pages wait already; raises a write failure of an earlier page.
    void QueuePage(int contentId, std::string content, int pageId, std::string page);
    // Waits until every page handed over is in the file and stops the writer thread; raises a
    // write failure.
    void FinishPages();
    // The cross-reference table of every object and the trailer naming the catalog and the
    // document information.
    void WriteTrailer(int catalog, int info);
    // Raises a write failure; otherwise a file of its own appears under its name.
    void Commit();

private:
    struct PageJob {
        int contentId = 0;
        std::string content;
        int pageId = 0;
        std::string page;
    };

    void writePages();
    void beginObject(int id);
    void write(const std::string& text);
    void write(const char* data, std::size_t size);
    void writeStream(int id, const std::string& dictionary, const std::string& data);
    void stopWriter();
    [[noreturn]] void throwWriteFailure() const;

    QString m_path;
    std::unique_ptr<AtomicFile> m_ownFile;
    AtomicFile* m_file = nullptr;
    std::uint64_t m_offset = 0;
    std::atomic<bool> m_failed{false};
    // Guarded by the writer's mutex while its thread runs.
    std::vector<std::uint64_t> m_objectOffsets;
    // The writer thread and its queue, on the heap so that its mutex lives and dies with the
    // file alone.
    struct Writer {
        std::mutex mutex;
        std::condition_variable queueChanged;
        std::deque<PageJob> queue;
        bool stopping = false;
        std::thread thread;
    };
    const std::unique_ptr<Writer> m_writer;
};
