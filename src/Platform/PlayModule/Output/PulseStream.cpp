#include "Platform/PlayModule/Output/PulseStream.h"

#include <pulse/pulseaudio.h>

namespace PLAY_MODULE {

namespace {

// What the server keeps ahead of the speaker: volume changes and Clear are
// heard within about this much.
constexpr pa_usec_t kServerBufferUs = 100000;

pa_buffer_attr ServerBuffer(const pa_sample_spec& spec)
{
    pa_buffer_attr buffer;
    buffer.maxlength = std::uint32_t(-1);
    buffer.tlength = std::uint32_t(pa_usec_to_bytes(kServerBufferUs, &spec));
    buffer.prebuf = std::uint32_t(-1);
    buffer.minreq = std::uint32_t(-1);
    buffer.fragsize = std::uint32_t(-1);
    return buffer;
}

}  // namespace

CPulseStream::~CPulseStream()
{
    if (m_stream) {
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
    }
    if (m_context) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    if (m_loop)
        pa_mainloop_free(m_loop);
}

bool CPulseStream::Connect(int sampleRate, int channels, std::chrono::milliseconds timeout)
{
    pa_sample_spec spec;
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = std::uint32_t(sampleRate);
    spec.channels = std::uint8_t(channels);
    if (m_loop || !pa_sample_spec_valid(&spec))
        return false;
    m_loop = pa_mainloop_new();
    m_context = m_loop ? pa_context_new(pa_mainloop_get_api(m_loop), "Lumivex Player") : nullptr;
    if (!m_context || pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto waitFor = [&](auto done) {
        while (!done() && !Failed() && std::chrono::steady_clock::now() < deadline)
            Serve(std::chrono::milliseconds(10));
        return done();
    };
    if (!waitFor([this] { return pa_context_get_state(m_context) == PA_CONTEXT_READY; }))
        return false;
    m_stream = pa_stream_new(m_context, "playback", &spec, nullptr);
    const pa_buffer_attr buffer = ServerBuffer(spec);
    if (!m_stream || pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY,
                                                nullptr, nullptr) < 0)
        return false;
    return waitFor([this] { return Ready(); });
}

bool CPulseStream::Serve(std::chrono::milliseconds upTo)
{
    if (!m_loop || Failed())
        return false;
    if (pa_mainloop_prepare(m_loop, int(std::chrono::microseconds(upTo).count())) < 0 ||
        pa_mainloop_poll(m_loop) < 0 || pa_mainloop_dispatch(m_loop) < 0)
        return false;
    return !Failed();
}

std::size_t CPulseStream::WritableBytes() const
{
    if (!Ready())
        return 0;
    const std::size_t bytes = pa_stream_writable_size(m_stream);
    return bytes == std::size_t(-1) ? 0 : bytes;
}

bool CPulseStream::Write(const std::uint8_t* data, std::size_t bytes)
{
    return Ready() && pa_stream_write(m_stream, data, bytes, nullptr, 0, PA_SEEK_RELATIVE) == 0;
}

void CPulseStream::Flush()
{
    if (!Ready())
        return;
    if (pa_operation* flush = pa_stream_flush(m_stream, nullptr, nullptr))
        pa_operation_unref(flush);
}

bool CPulseStream::Ready() const
{
    return m_stream && pa_stream_get_state(m_stream) == PA_STREAM_READY;
}

bool CPulseStream::Failed() const
{
    if (!m_context || !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
        return true;
    return m_stream && !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream));
}

}  // namespace PLAY_MODULE
