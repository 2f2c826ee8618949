// Decoding speed of the play module against libavcodec in the same process,
// both timed from opening the file to the Nth decoded frame (median of
// three rounds taken by turns), on 40-second
// recordings (D1 at 2 Mbit/s and 1080p at 4 Mbit/s, 2 s between key frames)
// in ".mp4", ".ts" and ".kvx", and coded again with B-frames in H.264 and
// H.265 ".mp4": with one decoder thread, and with the
// threads each picks for one stream (FFmpeg's default: one per core); with
// the CPU time a frame took beside each.
// FFmpeg reads no ".kvx": its figure there is of the ".ts" of the same stream.
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#if __has_include("Platform/PlayModule/Engine/DecoderThreads.h")
#include "Platform/PlayModule/Engine/DecoderThreads.h"
#define HAS_DECODER_THREADS 1
#endif
#include "Platform/PlayModule/Engine/TimeSource.h"
#include "Support/BenchRecordings.h"
#include "Support/BenchRun.h"
#include "Support/BenchTable.h"
#include "Support/ModuleRun.h"
#include "Support/PeerDecoder.h"

using namespace BENCH;
using Clock = std::chrono::steady_clock;

namespace {

// A clock that is always far ahead: every frame is due at once.
class RushingTime : public PLAY_MODULE::ITimeSource {
public:
    std::int64_t NowUs() const override { return m_now += 1'000'000; }

private:
    mutable std::atomic<std::int64_t> m_now{0};
};

constexpr int kRecordingSeconds = 40;

// 30 s of the recording.
int Frames()
{
    return Pick(750, 100);
}

// Counts what the module hands over and wakes the waiting thread at the
// last frame or the end: polling would cost CPU counted as the module's.
class CLastFrameSignal : public CFrameCounter {
public:
    void OnFileEnd(PLAY_MODULE::CPlayModule* module) override
    {
        CFrameCounter::OnFileEnd(module);
        Signal();
    }
    void OnFrameVisible(PLAY_MODULE::CPlayModule* module, int kind, unsigned char* data, int size,
                        PM_FRAME_INFO* info) override
    {
        CFrameCounter::OnFrameVisible(module, kind, data, size, info);
        if (frames == Frames())
            Signal();
    }
    void Wait(std::chrono::minutes limit)
    {
        std::unique_lock lock(m_mutex);
        m_signal.wait_for(lock, limit, [&] { return m_signalled; });
    }

private:
    void Signal()
    {
        {
            std::lock_guard lock(m_mutex);
            m_signalled = true;
        }
        m_signal.notify_all();
    }
    std::mutex m_mutex;
    std::condition_variable m_signal;
    bool m_signalled = false;
};

void FixDecoderThreads([[maybe_unused]] int threads)
{
#ifdef HAS_DECODER_THREADS
    PLAY_MODULE::CDecoderThreads::SetFixedThreads(threads);
#endif
}

// Frames a second, and CPU ms a frame of the whole process (every thread,
// the index scan's too) from Open to the last thread joined.
struct Speed {
    double fps = 0;
    double cpuMs = 0;
};

Speed Measured(int frames, double seconds, double cpuSeconds)
{
    return frames > 0 ? Speed{frames / seconds, 1000.0 * cpuSeconds / frames} : Speed{};
}

Speed ModuleSpeed(const std::string& path, int threads)
{
    FixDecoderThreads(threads);
    CLastFrameSignal counter;
    auto module = std::make_unique<PLAY_MODULE::CPlayModule>(&counter);
    module->SetTimeSource(std::make_shared<RushingTime>());
    const double cpuStart = ProcessCpuSeconds();
    const auto start = Clock::now();
    if (!module->Open(path.c_str()) || !module->Play(nullptr))
        return {};
    counter.Wait(std::chrono::minutes(5));
    const double seconds = SecondsSince(start);
    const int frames = counter.frames;
    module.reset();
    FixDecoderThreads(0);
    return Measured(frames, seconds, ProcessCpuSeconds() - cpuStart);
}

Speed PeerSpeed(const std::string& path, int threads)
{
    const double cpuStart = ProcessCpuSeconds();
    const auto start = Clock::now();
    int frames = 0;
    double seconds = 0;
    {
        CPeerDecoder peer;
        if (!peer.Open(path, threads))
            return {};
        while (frames < Frames() && peer.NextFrame())
            ++frames;
        seconds = SecondsSince(start);
    }
    return Measured(frames, seconds, ProcessCpuSeconds() - cpuStart);
}

// Ours and the peer by turns, a few rounds each: the median of each side,
// so that load from elsewhere falls on both alike.
void DecodeRows(CTable& table, const RecordingCase& c, int threads, const std::string& label,
                const std::string& goal)
{
    std::vector<double> ours, peer, oursCpu, peerCpu;
    for (int round = 0; round < Pick(3, 1); ++round) {
        const Speed module = ModuleSpeed(c.path, threads);
        const Speed other = PeerSpeed(c.peerPath, threads);
        ours.push_back(module.fps);
        oursCpu.push_back(module.cpuMs);
        peer.push_back(other.fps);
        peerCpu.push_back(other.cpuMs);
    }
    table.Row(c.name + ", " + label + " (fps)", Figures::Of(ours).median, Figures::Of(peer).median, goal);
    // CPU time is the fair figure on a busy machine: wall time counts others' load.
    table.Row(c.name + ", " + label + " (CPU ms a frame)", Figures::Of(oursCpu).median,
              Figures::Of(peerCpu).median, "<= 1.0");
}

}  // namespace

int main(int argc, char** argv)
{
    ParseArguments(argc, argv);
    SetRecordingSeconds(kRecordingSeconds);
    av_log_set_level(AV_LOG_ERROR);
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_QT);
    CTable table("Decoding, no display: frames a second from Open to frame " + std::to_string(Frames()) +
                 " (peer: libavcodec in this process)");
    const auto rows = [&](const RecordingCase& c) {
        DecodeRows(table, c, 1, "1 thread", ">= 1.0");
        DecodeRows(table, c, 0, "default threads", ">= 1.0");
    };
    const bool made = ForEachRecording(rows) && ForEachBFramesRecording(rows);
    if (!made)
        return 1;
    table.Print();
    RemoveWorkFolder();
    return 0;
}
