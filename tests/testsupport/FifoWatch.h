#pragma once

#include <atomic>
#include <string>
#include <thread>

// A FIFO at the given path, and a watcher that notices when anyone opens it for reading: it
// then opens the writing end, so that a reader blocked in its open is let go instead of hanging
// the test. Removed with the object. Test support only (POSIX).
class FifoWatch {
public:
    explicit FifoWatch(const std::string& path);
    ~FifoWatch();
    FifoWatch(const FifoWatch&) = delete;
    FifoWatch& operator=(const FifoWatch&) = delete;

    bool OpenedForReading() const { return m_opened.load(); }

private:
    std::string m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_opened{false};
    std::thread m_watcher;
};
