#include "Export/SnapshotQueue.h"

CSnapshotQueue::CSnapshotQueue(Writer writer, FailureHandler onFailure)
    : m_writer(std::move(writer)), m_onFailure(std::move(onFailure)), m_thread([this] { Run(); })
{
}

CSnapshotQueue::~CSnapshotQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void CSnapshotQueue::Push(Picture picture)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waiting.size() < kMaxWaiting || m_quit; });
    m_waiting.push_back(std::move(picture));
    m_changed.notify_all();
}

bool CSnapshotQueue::WaitIdle(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, limit, [this] { return m_waiting.empty() && !m_busy; });
}

std::size_t CSnapshotQueue::Written() const
{
    std::lock_guard lock(m_mutex);
    return m_written;
}

void CSnapshotQueue::Reset()
{
    std::lock_guard lock(m_mutex);
    m_written = 0;
}

void CSnapshotQueue::Run()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return !m_waiting.empty() || m_quit; });
        if (m_quit)
            return;
        Picture picture = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_busy = true;
        m_changed.notify_all();
        lock.unlock();
        const bool written = m_writer(picture);
        if (!written)
            m_onFailure();  // no lock held while calling out
        lock.lock();
        m_busy = false;
        m_written += written ? 1 : 0;
        m_changed.notify_all();
    }
}
