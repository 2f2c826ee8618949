#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Writes the pictures of a snapshot export on a thread of its own, so that
// encoding them overlaps the decoding of the next frames. At most a few
// pictures wait; a caller with more waits for room.
class CSnapshotQueue {
public:
    struct Picture {
        std::vector<char> frame;
        long size = 0;
        long width = 0;
        long height = 0;
        long format = 0;
        bool jpeg = true;  // else BMP
        std::string path;
    };
    // Writes one picture; false when it could not be written.
    using Writer = std::function<bool(Picture& picture)>;
    using FailureHandler = std::function<void()>;
    static constexpr std::size_t kMaxWaiting = 4;

    CSnapshotQueue(Writer writer, FailureHandler onFailure);
    ~CSnapshotQueue();
    CSnapshotQueue(const CSnapshotQueue&) = delete;
    CSnapshotQueue& operator=(const CSnapshotQueue&) = delete;

    void Push(Picture picture);
    // Until every picture pushed is written (or limit passed); false on time-out.
    bool WaitIdle(std::chrono::milliseconds limit);
    // Pictures written since the last Reset.
    std::size_t Written() const;
    void Reset();

private:
    void Run();

    Writer m_writer;
    FailureHandler m_onFailure;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Picture> m_waiting;
    bool m_busy = false;
    bool m_quit = false;
    std::size_t m_written = 0;
    std::thread m_thread;
};
