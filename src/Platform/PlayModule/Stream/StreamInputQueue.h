#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace PLAY_MODULE {

// The bytes fed to a stream player, waiting for its worker. A block is taken
// whenever fewer bytes than the capacity are queued, so a block as large as
// the capacity is never refused for good. The worker learns that the input
// went idle through a finish request, made when the caller asks whether
// everything was consumed and nothing is queued.
class CStreamInputQueue {
public:
    enum class Pull { Data, Finish, Stop };

    void Open(std::size_t capacity);
    // Empties the queue and refuses data until the next Open.
    void Close();
    bool IsOpen() const;
    // False (nothing taken) while closed or full.
    bool Push(const std::uint8_t* data, std::size_t size);

    // Worker side: waits for the next block, a finish request or a stop.
    Pull Wait(std::vector<std::uint8_t>& out);
    // Worker side: everything up to the finish request has been handled.
    void FinishDone();

    // Bytes queued and not yet taken by the worker.
    std::size_t Queued() const;
    // 1 while fed data are not yet fully handled, else 0; asks the worker to
    // finish when nothing is queued.
    std::size_t Outstanding();

    void RequestStop();
    void ClearStop();
    // Drops queued data and any pending work (a stopped stream).
    void Discard();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::vector<std::uint8_t>> m_chunks;
    std::vector<std::uint8_t> m_spare;  // a handled chunk's buffer, reused by the next Push
    std::size_t m_queued = 0;
    std::size_t m_capacity = 0;
    bool m_open = false;
    bool m_stop = false;
    bool m_unfinished = false;
    bool m_finishRequested = false;
    bool m_finishing = false;
    std::uint64_t m_pushes = 0;
    std::uint64_t m_pushesAtFinish = 0;
};

}  // namespace PLAY_MODULE
