#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
}

struct AVFrame;
struct SwrContext;

namespace PLAY_MODULE {

class CPulseStream;

// The sample factor of a wave level: -100 silent, 0 as recorded, 100 twice
// as loud; levels outside are taken as the nearest end.
double WaveLevelScale(int level);
// Multiplies native 16-bit samples by scale, saturating at the sample range.
void ScaleSamples(std::uint8_t* pcm, std::size_t bytes, double scale);

// Plays decoded audio on the sound server's default device, from a thread
// of its own that owns the whole connection (CPulseStream): it is made in
// Open and gone when Close returns, so nothing of it outlives the output.
// Without a server Open fails and nothing else happens.
class CAudioOutput {
public:
    CAudioOutput() = default;
    ~CAudioOutput();
    CAudioOutput(const CAudioOutput&) = delete;
    CAudioOutput& operator=(const CAudioOutput&) = delete;

    bool Open(int sampleRate, int channels);
    void Close();
    // Resamples to 16-bit interleaved and queues (at most about a second).
    void Push(const AVFrame& frame);
    // Drops the sound not yet played (pause, seek, step), also what the
    // device holds.
    void Clear();
    // The playback volume, 0.0 .. 1.0.
    void SetGain(double gain);
    // Multiplies the samples (0.0 .. 2.0), clipped to 16 bits.
    void SetSampleScale(double scale);
    std::size_t QueuedBytes() const;

private:
    void Run(int sampleRate, int channels);
    void Play(CPulseStream& device);
    bool TakeChunk(std::size_t room, std::vector<std::uint8_t>& chunk);
    bool Resample(const AVFrame& frame, std::vector<std::uint8_t>& out);
    bool SameInput(const AVFrame& frame) const;
    std::size_t WaitingLocked() const { return m_queue.size() - m_readPos; }

    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::uint8_t> m_queue;  // bytes from m_readPos on are waiting
    std::size_t m_readPos = 0;
    bool m_started = false;
    bool m_opened = false;
    bool m_flush = false;  // the device's buffer is to be dropped
    std::atomic<bool> m_quit{false};
    std::atomic<double> m_gain{1.0};
    std::atomic<double> m_sampleScale{1.0};
    SwrContext* m_resampler = nullptr;
    // What m_resampler was made for.
    AVChannelLayout m_inLayout{};
    int m_inFormat = -1;
    int m_inRate = 0;
    int m_sampleRate = 0;
    int m_channels = 0;
};

}  // namespace PLAY_MODULE
