#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

// A FIFO at a path, for checks that nothing blocks on one. A reader that
// did block in open or read is let go when the object ends.
class Fifo {
public:
    explicit Fifo(std::string path) : m_path(std::move(path)), m_made(::mkfifo(m_path.c_str(), 0600) == 0) {}
    ~Fifo() { Release(); }
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;

    bool IsValid() const { return m_made; }
    // Opens the other end and closes it again: a blocked open returns, a
    // blocked read sees the end of the data.
    void Release() const
    {
        const int fd = ::open(m_path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
    }

private:
    std::string m_path;
    bool m_made;
};

// Runs the call on a thread of its own; true when it came back within the
// bound. When it did not, the FIFO is released so that the thread ends.
template <typename Call>
bool ReturnsWithoutBlocking(const Fifo& fifo, Call call, std::chrono::seconds bound = std::chrono::seconds(20))
{
    auto done = std::async(std::launch::async, std::move(call));
    if (done.wait_for(bound) == std::future_status::ready)
        return true;
    while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
        fifo.Release();
    return false;
}

// The same for a call that must run on this thread (the GUI thread): a
// helper thread releases the FIFO once the bound has passed.
template <typename Call>
bool ReturnsHereWithoutBlocking(const Fifo& fifo, Call call, std::chrono::seconds bound = std::chrono::seconds(20))
{
    std::atomic<bool> returned{false};
    std::atomic<bool> released{false};
    std::thread guard([&] {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (!returned && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (!returned) {
            released = true;
            fifo.Release();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    call();
    returned = true;
    guard.join();
    return !released;
}

// Watches a FIFO from a thread of its own for a reader: whether anything
// opened it for reading (a reader blocked in its open goes on then).
class FifoReaderWatch {
public:
    explicit FifoReaderWatch(std::string path) : m_path(std::move(path)), m_thread([this] { Watch(); }) {}
    ~FifoReaderWatch() { Stop(); }
    FifoReaderWatch(const FifoReaderWatch&) = delete;
    FifoReaderWatch& operator=(const FifoReaderWatch&) = delete;

    // Ends the watch; true when a reader opened the FIFO meanwhile.
    bool Stop()
    {
        m_done = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_opened;
    }

private:
    void Watch()
    {
        while (!m_done) {
            const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                m_opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    std::string m_path;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_opened{false};
    std::thread m_thread;
};
