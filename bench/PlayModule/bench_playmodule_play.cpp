// Play-module speed on generated 704x576 H.264 recordings (25 fps, a key
// frame every 2 s), all in one run:
//   decoding at full speed with no display, against the ffmpeg command line
//   decoding the same file with the same thread count;
//   time from Seek to the first delivered frame (key and exact);
//   a back-step after the first;
//   CPU time of 36 streams playing at 1X;
//   memory per open module.
// Seeks and steps run on a ".kvx" recording of the synthetic pattern (mp4:0)
// and on an ".mp4" of FFmpeg's testsrc2 (mp4:1).
// PLAY_BENCH_SECONDS sets the length of the recordings (default 20).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include "KvxWriter/SyntheticRecording.h"
#include "Platform/PlayModule/IPlayModuleListener.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/TimeSource.h"

using namespace PLAY_MODULE;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds()
{
    const char* text = std::getenv("PLAY_BENCH_SECONDS");
    return text ? std::atof(text) : 20.0;
}

std::string Folder()
{
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "playbench-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    return folder;
}

std::string KvxFile()
{
    static const std::string path = [] {
        KVX_WRITER::SyntheticOptions options;
        options.seconds = Seconds();
        options.width = 704;
        options.height = 576;
        options.fps = 25;
        options.gopSeconds = 2;
        options.audio.reset();
        const std::string file = Folder() + "/bench.kvx";
        return KVX_WRITER::WriteSyntheticRecording(options, file) ? file : std::string();
    }();
    return path;
}

std::string Mp4File()
{
    static const std::string path = [] {
        const std::string file = Folder() + "/bench.mp4";
        const std::string command =
            "ffmpeg -v error -y -f lavfi -i testsrc2=size=704x576:rate=25 -t " +
            std::to_string(int(Seconds())) +
            " -c:v libx264 -preset veryfast -g 50 -b:v 1500k -pix_fmt yuv420p " + file;
        return std::system(command.c_str()) == 0 ? file : std::string();
    }();
    return path;
}

class RushingTime : public ITimeSource {
public:
    std::int64_t NowUs() const override { return m_now += 1'000'000; }

private:
    mutable std::atomic<std::int64_t> m_now{0};
};

class CountingListener : public IPlayModuleListener {
public:
    void OnFileRefFinished(CPlayModule*, int) override { ++indexes; }
    void OnFileEnd(CPlayModule*) override { ++ends; }
    void OnStreamData(CPlayModule*, unsigned char*, int, PM_FRAME_INFO*, int) override {}
    void OnFrameVisible(CPlayModule*, int, unsigned char*, int, PM_FRAME_INFO* info) override
    {
        lastStamp = info->nStampMs;
        ++frames;
    }
    void OnFileTimeDone(CPlayModule*, unsigned, unsigned) override {}
    int OnOverlayData(CPlayModule*, unsigned char*, int, int, int, int) override { return 1; }

    template <typename Condition>
    bool Wait(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(60))
    {
        const auto deadline = Clock::now() + limit;
        while (!condition()) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::yield();
        }
        return true;
    }

    std::atomic<int> frames{0};
    std::atomic<int> ends{0};
    std::atomic<int> indexes{0};
    std::atomic<int> lastStamp{-1};
};

double g_decodeFps = 0;
double g_ffmpegFps = 0;
double g_keySeekMs = 0;
double g_exactSeekMs = 0;
double g_backStepMs = 0;

// Frames a second of our module decoding and handing over, no display.
double DecodeRate(const std::string& path)
{
    CountingListener listener;
    CPlayModule module(&listener);
    module.SetTimeSource(std::make_shared<RushingTime>());
    if (!module.Open(path.c_str()))
        return 0;
    const auto start = Clock::now();
    module.Play(nullptr);
    listener.Wait([&] { return listener.ends > 0; });
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return listener.frames / seconds;
}

double FfmpegRate(const std::string& path, int frames)
{
    const std::string command = "ffmpeg -v error -threads 1 -i " + path + " -f null - ";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        return 0;
    return frames / std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_DecodeNoDisplay(benchmark::State& state)
{
    const std::string path = Mp4File();
    for (auto _ : state) {
        const double ours = DecodeRate(path);
        const double theirs = FfmpegRate(path, int(Seconds() * 25));
        g_decodeFps = ours;
        g_ffmpegFps = theirs;
        state.counters["module_fps"] = ours;
        state.counters["ffmpeg_fps"] = theirs;
        state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
    }
}
BENCHMARK(BM_DecodeNoDisplay)->Iterations(3)->Unit(benchmark::kMillisecond);

struct OpenPaused {
    CountingListener listener;
    CPlayModule module{&listener};
    bool Open(const std::string& path)
    {
        if (!module.Open(path.c_str()) || !module.Play(nullptr))
            return false;
        module.Pause();
        return listener.Wait([&] { return listener.indexes > 0; });
    }
    // Wall time from the call to the next delivered frame at stamp.
    template <typename Action>
    double Measure(Action action, int stamp)
    {
        listener.lastStamp = -1;
        const auto start = Clock::now();
        action();
        listener.Wait([&] { return listener.lastStamp == stamp; }, std::chrono::seconds(5));
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
};

// Seeks to every other second (first + 2k), exact or to the key frame, and
// keeps the slowest in worst.
void MeasureSeeks(benchmark::State& state, unsigned firstSecond, int exact, double& worst)
{
    OpenPaused player;
    if (!player.Open(state.range(0) ? Mp4File() : KvxFile())) {
        state.SkipWithError("no recording");
        return;
    }
    const unsigned start = player.module.GetFileStartTime();
    int round = 0;
    for (auto _ : state) {
        const unsigned second = firstSecond + 2 * unsigned(round++ % int(Seconds() / 2 - 1));
        const double ms = player.Measure([&] { player.module.Seek(start + second, exact); },
                                         int(second * 1000));
        state.SetIterationTime(ms / 1000.0);
        worst = std::max(worst, ms);
    }
}

void BM_SeekToKeyFrame(benchmark::State& state) { MeasureSeeks(state, 2, 0, g_keySeekMs); }
BENCHMARK(BM_SeekToKeyFrame)->ArgName("mp4")->Arg(0)->Arg(1)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The last second of a group of pictures: 25 frames to decode first.
void BM_SeekExactEndOfGop(benchmark::State& state) { MeasureSeeks(state, 3, 1, g_exactSeekMs); }
BENCHMARK(BM_SeekExactEndOfGop)->ArgName("mp4")->Arg(0)->Arg(1)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_BackStepAfterTheFirst(benchmark::State& state)
{
    OpenPaused player;
    if (!player.Open(state.range(0) ? Mp4File() : KvxFile())) {
        state.SkipWithError("no recording");
        return;
    }
    const unsigned start = player.module.GetFileStartTime();
    player.Measure([&] { player.module.Seek(start + 4, 1); }, 4000);
    player.Measure([&] { player.module.StepBackward(); }, 3960);
    int stamp = 3960;
    for (auto _ : state) {
        stamp -= 40;
        if (stamp < 2000) {
            state.PauseTiming();
            player.Measure([&] { player.module.Seek(start + 4, 1); }, 4000);
            player.Measure([&] { player.module.StepBackward(); }, 3960);
            stamp = 3920;
            state.ResumeTiming();
        }
        const double ms = player.Measure([&] { player.module.StepBackward(); }, stamp);
        state.SetIterationTime(ms / 1000.0);
        g_backStepMs = std::max(g_backStepMs, ms);
    }
}
BENCHMARK(BM_BackStepAfterTheFirst)->ArgName("mp4")->Arg(0)->Arg(1)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

struct GridFigures {
    double coresAt1X = 0;
    double mbPerModule = 0;
};

GridFigures PlayGrid(const std::string& path, int streams, double seconds)
{
    std::vector<std::unique_ptr<CountingListener>> listeners;
    std::vector<std::unique_ptr<CPlayModule>> modules;
    const long before = ResidentKb();
    for (int i = 0; i < streams; ++i) {
        listeners.push_back(std::make_unique<CountingListener>());
        modules.push_back(std::make_unique<CPlayModule>(listeners.back().get()));
        modules.back()->Open(path.c_str());
        modules.back()->Play(nullptr);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double cpuStart = CpuSeconds();
    const auto wallStart = Clock::now();
    long peak = 0;
    while (Clock::now() - wallStart < std::chrono::duration<double>(seconds)) {
        peak = std::max(peak, ResidentKb());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    GridFigures figures;
    const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    figures.coresAt1X = (CpuSeconds() - cpuStart) / wall;
    figures.mbPerModule = double(peak - before) / 1024.0 / streams;
    return figures;
}

}  // namespace

int main(int argc, char** argv)
{
    CPlayModule::SetRenderType(PM_RENDER_QT);
    if (KvxFile().empty() || Mp4File().empty()) {
        std::fprintf(stderr, "could not make the recordings\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const GridFigures grid = PlayGrid(KvxFile(), 36, 5.0);
    const GridFigures mp4Grid = PlayGrid(Mp4File(), 36, 5.0);
    std::printf("\n%-48s %12s %12s\n", "measure (704x576 H.264, 25 fps, 2 s GOP)", "value", "goal");
    std::printf("%-48s %12.0f %12s\n", "module decode, no display (fps, 1 thread)", g_decodeFps, "");
    std::printf("%-48s %12.0f %12s\n", "ffmpeg -threads 1 -f null (fps)", g_ffmpegFps, "");
    std::printf("%-48s %12.2f %12s\n", "module / ffmpeg", g_ffmpegFps > 0 ? g_decodeFps / g_ffmpegFps : 0, ">= 0.95");
    std::printf("%-48s %12.2f %12s\n", "36 streams at 1X (.kvx): CPU cores in total", grid.coresAt1X, "< 1");
    std::printf("%-48s %12.2f %12s\n", "36 streams at 1X (.mp4): CPU cores in total", mp4Grid.coresAt1X, "< 1");
    std::printf("%-48s %12.1f %12s\n", "memory per open module, playing .kvx (MB)", grid.mbPerModule, "< 30");
    std::printf("%-48s %12.1f %12s\n", "memory per open module, playing .mp4 (MB)", mp4Grid.mbPerModule, "< 30");
    std::printf("%-48s %12.1f %12s\n", "Seek to a key frame, worst (ms)", g_keySeekMs, "< 50");
    std::printf("%-48s %12.1f %12s\n", "exact Seek to a GOP's last second, worst (ms)", g_exactSeekMs, "< 100");
    std::printf("%-48s %12.1f %12s\n", "back-step after the first, worst (ms)", g_backStepMs, "< 20");
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
    return 0;
}
