#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

struct pa_mainloop;
struct pa_context;
struct pa_stream;

namespace PLAY_MODULE {

// One playback stream on the sound server's default device, with its own
// connection and main loop, all driven by the thread that owns the object:
// nothing runs behind the owner's back, and the destructor tears the whole
// connection down before it returns. Writes never block.
class CPulseStream {
public:
    CPulseStream() = default;
    ~CPulseStream();
    CPulseStream(const CPulseStream&) = delete;
    CPulseStream& operator=(const CPulseStream&) = delete;

    // 16-bit native samples; false without a server or when it refuses the
    // format within the timeout.
    bool Connect(int sampleRate, int channels, std::chrono::milliseconds timeout);
    // Serves the connection for up to the given time; false once it failed.
    bool Serve(std::chrono::milliseconds upTo);
    // What the server takes now without running past its buffer.
    std::size_t WritableBytes() const;
    bool Write(const std::uint8_t* data, std::size_t bytes);
    // Drops what the server holds and has not played yet.
    void Flush();

private:
    bool Ready() const;
    bool Failed() const;

    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
};

}  // namespace PLAY_MODULE
