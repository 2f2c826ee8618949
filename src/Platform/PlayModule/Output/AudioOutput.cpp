#include "Platform/PlayModule/Output/AudioOutput.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

#include "Base/SFSignalStack.h"
#include "Platform/PlayModule/Output/PulseStream.h"

namespace PLAY_MODULE {

namespace {

constexpr auto kOpenTimeout = std::chrono::seconds(3);
constexpr auto kServeSlice = std::chrono::milliseconds(10);

}  // namespace

CAudioOutput::~CAudioOutput()
{
    Close();
}

bool CAudioOutput::Open(int sampleRate, int channels)
{
    Close();
    if (sampleRate <= 0 || channels <= 0)
        return false;
    channels = channels > 1 ? 2 : 1;
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_quit = false;
    m_started = false;
    m_opened = false;
    m_flush = false;
    m_thread = std::thread([this, sampleRate, channels] { Run(sampleRate, channels); });
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, kOpenTimeout, [this] { return m_started; });
    const bool opened = m_opened;
    lock.unlock();
    if (!opened)
        Close();
    return opened;
}

void CAudioOutput::Close()
{
    m_quit = true;
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    swr_free(&m_resampler);
    av_channel_layout_uninit(&m_inLayout);
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    m_readPos = 0;
    m_opened = false;
}

void CAudioOutput::Run(int sampleRate, int channels)
{
    SF_SOFT_BASE::SFEnsureSignalStack();
    CPulseStream device;
    const bool connected = device.Connect(sampleRate, channels, kOpenTimeout);
    {
        std::lock_guard lock(m_mutex);
        m_started = true;
        m_opened = connected;
    }
    m_changed.notify_all();
    if (connected)
        Play(device);
}

void CAudioOutput::Play(CPulseStream& device)
{
    std::vector<std::uint8_t> chunk;
    while (!m_quit && device.Serve(kServeSlice)) {
        if (TakeChunk(device.WritableBytes(), chunk))
            device.Flush();
        if (chunk.empty())
            continue;
        ScaleSamples(chunk.data(), chunk.size(), m_gain.load() * m_sampleScale.load());
        if (!device.Write(chunk.data(), chunk.size()))
            break;
    }
    // Closed, or the server went away: later sound is dropped.
    std::lock_guard lock(m_mutex);
    m_opened = false;
    m_queue.clear();
    m_readPos = 0;
}

// Takes up to room bytes of whole sample frames; true when the device's
// buffer is to be dropped first.
bool CAudioOutput::TakeChunk(std::size_t room, std::vector<std::uint8_t>& chunk)
{
    const std::size_t frameBytes = 2 * std::size_t(m_channels);
    std::lock_guard lock(m_mutex);
    const std::size_t take = std::min(room, WaitingLocked()) / frameBytes * frameBytes;
    const auto from = m_queue.begin() + std::ptrdiff_t(m_readPos);
    chunk.assign(from, from + std::ptrdiff_t(take));
    m_readPos += take;
    if (m_readPos == m_queue.size()) {
        m_queue.clear();
        m_readPos = 0;
    }
    return std::exchange(m_flush, false);
}

bool CAudioOutput::SameInput(const AVFrame& frame) const
{
    return frame.format == m_inFormat && frame.sample_rate == m_inRate &&
           av_channel_layout_compare(&frame.ch_layout, &m_inLayout) == 0;
}

bool CAudioOutput::Resample(const AVFrame& frame, std::vector<std::uint8_t>& out)
{
    // The resampler reads as many planes as it was made for: a frame of
    // another layout needs a new one.
    if (m_resampler && !SameInput(frame))
        swr_free(&m_resampler);
    if (!m_resampler) {
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, m_channels);
        if (swr_alloc_set_opts2(&m_resampler, &outLayout, AV_SAMPLE_FMT_S16, m_sampleRate,
                                const_cast<AVChannelLayout*>(&frame.ch_layout), AVSampleFormat(frame.format),
                                frame.sample_rate, 0, nullptr) < 0 ||
            swr_init(m_resampler) < 0) {
            swr_free(&m_resampler);
            return false;
        }
        av_channel_layout_uninit(&m_inLayout);
        if (av_channel_layout_copy(&m_inLayout, &frame.ch_layout) < 0) {
            swr_free(&m_resampler);
            return false;
        }
        m_inFormat = frame.format;
        m_inRate = frame.sample_rate;
    }
    const int capacity = swr_get_out_samples(m_resampler, frame.nb_samples);
    if (capacity <= 0)
        return false;
    out.resize(std::size_t(capacity) * 2 * std::size_t(m_channels));
    std::uint8_t* planes[1] = {out.data()};
    const int samples = swr_convert(m_resampler, planes, capacity,
                                    const_cast<const std::uint8_t**>(frame.extended_data),
                                    frame.nb_samples);
    if (samples < 0)
        return false;
    out.resize(std::size_t(samples) * 2 * std::size_t(m_channels));
    return true;
}

void CAudioOutput::Push(const AVFrame& frame)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_opened)
            return;
    }
    std::vector<std::uint8_t> pcm;
    if (!Resample(frame, pcm))
        return;
    std::lock_guard lock(m_mutex);
    const std::size_t limit = std::size_t(m_sampleRate) * 2 * std::size_t(m_channels);
    if (WaitingLocked() + pcm.size() > limit)
        return;
    if (m_readPos > 0) {
        m_queue.erase(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(m_readPos));
        m_readPos = 0;
    }
    m_queue.insert(m_queue.end(), pcm.begin(), pcm.end());
}

void CAudioOutput::Clear()
{
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    m_readPos = 0;
    m_flush = m_opened;
}

void CAudioOutput::SetGain(double gain)
{
    m_gain = std::clamp(gain, 0.0, 1.0);
}

void CAudioOutput::SetSampleScale(double scale)
{
    m_sampleScale = std::clamp(scale, 0.0, 2.0);
}

double WaveLevelScale(int level)
{
    return double(std::clamp(level, -100, 100) + 100) / 100.0;
}

void ScaleSamples(std::uint8_t* pcm, std::size_t bytes, double scale)
{
    if (scale == 1.0)
        return;
    for (std::size_t at = 0; at + 2 <= bytes; at += 2) {
        std::int16_t sample;
        std::memcpy(&sample, pcm + at, 2);
        const long scaled = std::lround(double(sample) * scale);
        sample = std::int16_t(std::clamp<long>(scaled, INT16_MIN, INT16_MAX));
        std::memcpy(pcm + at, &sample, 2);
    }
}

std::size_t CAudioOutput::QueuedBytes() const
{
    std::lock_guard lock(m_mutex);
    return WaitingLocked();
}

}  // namespace PLAY_MODULE
