#include "Platform/PlayModule/BackgroundFileSink.h"

#include <cerrno>

#include <unistd.h>

#include "Base/SFSignalStack.h"

namespace PLAY_MODULE {

CBackgroundFileSink::CBackgroundFileSink(int fd) : m_fd(fd), m_thread([this] { Run(); }) {}

CBackgroundFileSink::~CBackgroundFileSink()
{
    Drain();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool CBackgroundFileSink::WriteAll(const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void CBackgroundFileSink::Run()
{
    SF_SOFT_BASE::SFEnsureSignalStack();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_busy || m_stop; });
        if (!m_busy) return;
        lock.unlock();
        const bool ok = WriteAll(m_inFlight);
        lock.lock();
        m_failed = m_failed || !ok;
        m_inFlight.clear();
        m_busy = false;
        m_changed.notify_all();
    }
}

bool CBackgroundFileSink::Submit(std::vector<std::uint8_t>& buffer)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
    if (m_failed) {
        buffer.clear();
        return false;
    }
    m_inFlight.swap(buffer);
    buffer.clear();
    m_busy = true;
    m_changed.notify_all();
    return true;
}

bool CBackgroundFileSink::Drain()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
    return !m_failed;
}

}  // namespace PLAY_MODULE
