#include "Platform/PlayModule/Format/BackgroundFileSink.h"

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

// 0, or the errno of the failed write.
int CBackgroundFileSink::WriteAll(const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int CBackgroundFileSink::Error()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

void CBackgroundFileSink::Run()
{
    SF_SOFT_BASE::SFEnsureSignalStack();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_busy || m_stop; });
        if (!m_busy) return;
        lock.unlock();
        const int error = WriteAll(m_inFlight);
        lock.lock();
        m_failed = m_failed || error != 0;
        if (m_error == 0)
            m_error = error;
        if (!m_failed)
            m_completed += m_inFlight.size();
        m_inFlight.clear();
        m_busy = false;
        m_changed.notify_all();
    }
}

std::uint64_t CBackgroundFileSink::Completed()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_completed;
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
