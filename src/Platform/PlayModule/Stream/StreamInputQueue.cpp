#include "Platform/PlayModule/Stream/StreamInputQueue.h"

namespace PLAY_MODULE {

void CStreamInputQueue::Open(std::size_t capacity)
{
    std::lock_guard lock(m_mutex);
    m_chunks.clear();
    m_queued = 0;
    m_capacity = capacity;
    m_open = true;
    m_unfinished = false;
    m_finishRequested = false;
}

void CStreamInputQueue::Close()
{
    std::lock_guard lock(m_mutex);
    m_open = false;
    m_chunks.clear();
    m_queued = 0;
    m_unfinished = false;
    m_finishRequested = false;
}

bool CStreamInputQueue::IsOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_open;
}

bool CStreamInputQueue::Push(const std::uint8_t* data, std::size_t size)
{
    std::lock_guard lock(m_mutex);
    if (!m_open || m_queued >= m_capacity)
        return false;
    if (size == 0)
        return true;
    std::vector<std::uint8_t> chunk = std::move(m_spare);
    chunk.assign(data, data + size);
    m_chunks.push_back(std::move(chunk));
    m_queued += size;
    m_unfinished = true;
    ++m_pushes;
    m_wake.notify_all();
    return true;
}

CStreamInputQueue::Pull CStreamInputQueue::Wait(std::vector<std::uint8_t>& out)
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stop || !m_chunks.empty() || m_finishRequested; });
    if (m_stop)
        return Pull::Stop;
    if (!m_chunks.empty()) {
        if (out.capacity() > m_spare.capacity())
            m_spare = std::move(out);
        out = std::move(m_chunks.front());
        m_chunks.pop_front();
        m_queued -= out.size();
        return Pull::Data;
    }
    m_finishRequested = false;
    m_finishing = true;
    m_pushesAtFinish = m_pushes;
    return Pull::Finish;
}

void CStreamInputQueue::FinishDone()
{
    std::lock_guard lock(m_mutex);
    m_finishing = false;
    if (m_chunks.empty() && m_pushes == m_pushesAtFinish)
        m_unfinished = false;
}

std::size_t CStreamInputQueue::Queued() const
{
    std::lock_guard lock(m_mutex);
    return m_queued;
}

std::size_t CStreamInputQueue::Outstanding()
{
    std::lock_guard lock(m_mutex);
    if (m_unfinished && m_chunks.empty() && !m_finishRequested && !m_finishing) {
        m_finishRequested = true;
        m_wake.notify_all();
    }
    return m_unfinished ? 1 : 0;
}

void CStreamInputQueue::RequestStop()
{
    std::lock_guard lock(m_mutex);
    m_stop = true;
    m_wake.notify_all();
}

void CStreamInputQueue::ClearStop()
{
    std::lock_guard lock(m_mutex);
    m_stop = false;
}

void CStreamInputQueue::Discard()
{
    std::lock_guard lock(m_mutex);
    m_chunks.clear();
    m_queued = 0;
    m_unfinished = false;
    m_finishRequested = false;
    m_finishing = false;
}

}  // namespace PLAY_MODULE
