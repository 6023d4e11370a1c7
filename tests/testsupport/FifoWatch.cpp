#include "FifoWatch.h"

#include <chrono>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FifoWatch::FifoWatch(const std::string& path)
    : m_path(path)
{
    if (::mkfifo(path.c_str(), 0600) != 0)
        throw std::runtime_error("cannot make the FIFO " + path);
    m_watcher = std::thread([this] {
        while (!m_stop.load()) {
            // Succeeds only while someone holds the reading end open (ENXIO otherwise).
            const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                m_opened.store(true);
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
}

FifoWatch::~FifoWatch()
{
    m_stop.store(true);
    m_watcher.join();
    ::unlink(m_path.c_str());
}
