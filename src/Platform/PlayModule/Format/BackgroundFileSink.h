#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace PLAY_MODULE {

// Writes filled buffers to a file descriptor on its own thread, so the
// caller can fill the next buffer meanwhile. One buffer is in flight at a
// time; a write error is kept and reported by every later call.
class CBackgroundFileSink {
public:
    explicit CBackgroundFileSink(int fd);
    ~CBackgroundFileSink();
    CBackgroundFileSink(const CBackgroundFileSink&) = delete;
    CBackgroundFileSink& operator=(const CBackgroundFileSink&) = delete;

    // Hands buffer over (it comes back empty, with its capacity kept),
    // after the previous one has been written. False once a write failed.
    bool Submit(std::vector<std::uint8_t>& buffer);
    // Waits until everything handed over is written; false on any failure.
    bool Drain();
    // The errno of the first failed write (ENOSPC for one that wrote
    // nothing), 0 while none failed.
    int Error();
    // Bytes of the buffers written whole, in the order handed over.
    std::uint64_t Completed();

private:
    void Run();
    int WriteAll(const std::vector<std::uint8_t>& bytes);

    int m_fd;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::uint8_t> m_inFlight;
    bool m_busy = false;
    bool m_stop = false;
    bool m_failed = false;
    int m_error = 0;
    std::uint64_t m_completed = 0;
    std::thread m_thread;
};

}  // namespace PLAY_MODULE
