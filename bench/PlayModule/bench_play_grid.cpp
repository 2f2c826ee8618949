// Play-module cost in a grid, each case in a process of its own (a fresh heap):
//   CPU of 36 D1 streams of the library alone (no hand-over, nothing
//   drawn) playing at 1X, from before the first Open to the end of the
//   window, against 36 `ffmpeg -re` processes (their default threads)
//   decoding the same window of the same file ("kvx": the ".ts" of the same
//   stream), also on the D1 H.264 recording with B-frames; what a user gets,
//   the program's windows against `ffmpeg -re`, is bench_main_page's
//   BM_SixteenWindowsAtOneX;
//   memory per open module while playing (peak resident growth / modules),
//   against as many libavformat + libavcodec decoders in one process, for
//   ".mp4", ".ts" and ".kvx" (smoke runs too);
//   bytes a ".kvx" window reads from Open to its first frame (all its
//   threads), against libavformat opening the ".ts" of the same stream and
//   decoding its first frame;
//   resident memory of 16 ".kvx" windows (12 D1, 4 1080p) in reverse play at
//   -1X (peak) and after reverse ended (forward, paused), against the same
//   windows paused before reverse;
//   resident growth of one 1080p ".kvx" window (H.264, H.265) while the
//   step-back key is held across 3 groups, against one group of its
//   decoded pictures;
//   the farthest a window's play time stood from its group's moment, ahead
//   or behind, 16 ".kvx" windows (12 D1, 4 1080p) with Sync Play at 1X
//   while eight busy loops starve their decoders, against the same group
//   without them (the library alone; bench_main_page's grid rows judge the
//   pictures the program's windows are handed).
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "Base/SFDateTime.h"
#include "Support/BenchRecordings.h"
#include "Support/BenchRun.h"
#include "Support/BusyLoops.h"
#include "Support/BenchTable.h"
#include "Support/ModuleRun.h"
#include "Support/PeerDecoder.h"

using namespace BENCH;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kGridStreams = 36;

double WindowSeconds()
{
    return Pick(30.0, 1.0);
}

using Modules = std::vector<std::unique_ptr<CPausedModule>>;

void OpenPlaying(Modules& modules, const std::string& path, int count)
{
    for (int i = 0; i < count; ++i) {
        modules.push_back(std::make_unique<CPausedModule>());
        modules.back()->module.Open(path.c_str());
        modules.back()->module.Play(nullptr);
    }
}

// Cores used by the grid: CPU seconds / wall seconds of the window.
double ModuleGridCores(const std::string& path)
{
    const auto values = InChild([&] {
        const double cpuStart = ProcessCpuSeconds();
        const auto start = Clock::now();
        Modules modules;
        OpenPlaying(modules, path, kGridStreams);
        std::this_thread::sleep_for(std::chrono::duration<double>(WindowSeconds()) - (Clock::now() - start));
        const std::vector<double> cores{(ProcessCpuSeconds() - cpuStart) / SecondsSince(start)};
        return cores;
    });
    return values.empty() ? 0 : values[0];
}

double FfmpegGridCores(const std::string& path)
{
    const std::string window = std::to_string(WindowSeconds());
    const std::vector<std::string> commands(
        kGridStreams, "ffmpeg -nostdin -v error -re -t " + window + " -i " + path + " -f null -");
    const auto start = Clock::now();
    const double cpu = RunProcessesCpuSeconds(commands);
    return cpu / std::max(WindowSeconds(), SecondsSince(start));
}

int MemoryModules()
{
    return Pick(16, 2);
}

// Peak resident growth over the first seconds of play, per module.
double ModuleMegabytes(const std::string& path)
{
    const auto values = InChild([&] {
        const long before = ResidentKb();
        Modules modules;
        OpenPlaying(modules, path, MemoryModules());
        long peak = before;
        const auto start = Clock::now();
        while (SecondsSince(start) < Pick(3.0, 1.0)) {
            peak = std::max(peak, ResidentKb());
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        const std::vector<double> mb{double(peak - before) / 1024.0 / MemoryModules()};
        return mb;
    });
    return values.empty() ? 0 : values[0];
}

double PeerMegabytes(const std::string& path)
{
    const auto values = InChild([&] {
        const long before = ResidentKb();
        std::vector<std::unique_ptr<CPeerDecoder>> peers;
        long peak = before;
        for (int i = 0; i < MemoryModules(); ++i) {
            peers.push_back(std::make_unique<CPeerDecoder>());
            peers.back()->Open(path, 1);
        }
        for (int frame = 0; frame < Pick(75, 25); ++frame) {
            for (auto& peer : peers)
                peer->NextFrame();
            peak = std::max(peak, ResidentKb());
        }
        const std::vector<double> mb{double(peak - before) / 1024.0 / MemoryModules()};
        return mb;
    });
    return values.empty() ? 0 : values[0];
}

// Bytes read by this process so far (every thread's reads).
double ReadKb()
{
    std::FILE* io = std::fopen("/proc/self/io", "r");
    if (!io)
        return 0;
    char key[32];
    unsigned long long value = 0;
    double kb = 0;
    while (std::fscanf(io, "%31s %llu", key, &value) == 2)
        if (std::string(key) == "rchar:")
            kb = double(value) / 1024.0;
    std::fclose(io);
    return kb;
}

double ModuleFirstFrameReadKb(const std::string& path)
{
    const auto values = InChild([&] {
        const double before = ReadKb();
        CPausedModule player;
        player.module.Open(path.c_str());
        player.module.Play(nullptr);
        CFrameCounter::WaitFor([&] { return player.counter.frames > 0; }, std::chrono::seconds(10));
        const std::vector<double> kb{ReadKb() - before};
        return kb;
    });
    return values.empty() ? 0 : values[0];
}

double PeerFirstFrameReadKb(const std::string& path)
{
    const auto values = InChild([&] {
        const double before = ReadKb();
        CPeerDecoder peer;
        peer.Open(path, 1);
        peer.NextFrame();
        const std::vector<double> kb{ReadKb() - before};
        return kb;
    });
    return values.empty() ? 0 : values[0];
}

int ReverseWindows(Size size)
{
    return size == Size::D1 ? Pick(12, 1) : Pick(4, 1);
}

double ResidentMb()
{
    return double(ResidentKb()) / 1024.0;
}

// Paused windows, before reverse, at their peak in reverse, after reverse.
std::vector<double> ReverseGridMegabytes()
{
    return InChild([] {
        Modules modules;
        for (const Size size : Sizes())
            for (int i = 0; i < ReverseWindows(size); ++i) {
                modules.push_back(std::make_unique<CPausedModule>());
                if (!modules.back()->Open(Recording(size, Container::Kvx)))
                    return std::vector<double>();
            }
        for (std::size_t i = 0; i < modules.size(); ++i)
            modules[i]->SeekExact(modules[i]->DurationMs() * double(i + 1) / double(modules.size() + 2));
        const double paused = ResidentMb();
        for (auto& window : modules) {
            window->module.SetPlayDirection(1);
            window->module.Resume();
        }
        double peak = paused;
        const auto start = Clock::now();
        while (SecondsSince(start) < Pick(8.0, 1.0)) {
            peak = std::max(peak, ResidentMb());
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        for (auto& window : modules) {
            window->module.Pause();
            window->module.SetPlayDirection(0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return std::vector<double>{paused, peak, ResidentMb()};
    });
}

// Peak resident growth of one window stepping back with no pause.
double HeldStepBackMegabytes(const std::string& path)
{
    const auto values = InChild([&] {
        CPausedModule window;
        if (!window.Open(path))
            return std::vector<double>();
        window.SeekExact(window.DurationMs() / 2);
        const double before = ResidentMb();
        double peak = before;
        for (int groups = 0; groups < 3;) {
            groups += window.counter.key ? 1 : 0;
            window.Time([&] { window.module.StepBackward(); });
            peak = std::max(peak, ResidentMb());
        }
        return std::vector<double>{peak - before};
    });
    return values.empty() ? 0 : values[0];
}

double GroupOfPicturesMegabytes(Size size)
{
    return 50.0 * Width(size) * Height(size) * 1.5 / 1024.0 / 1024.0;
}

void ReverseGridRows(CTable& table)
{
    const std::vector<double> grid = ReverseGridMegabytes();
    if (grid.size() != 3)
        return;
    int count = 0;
    for (const Size size : Sizes())
        count += ReverseWindows(size);
    const std::string windows = std::to_string(count);
    table.Row(windows + " .kvx windows in reverse at -1X, peak resident (MB)", grid[1], grid[0], "< 1024");
    table.Row(windows + " .kvx windows after reverse ended, resident (MB)", grid[2], grid[0], "~ peer");
}

void HeldStepBackRow(CTable& table, const std::string& codec, const std::string& path)
{
    const Size size = Sizes().back();
    table.Row("held back-step, " + SizeName(size) + " " + codec + " .kvx, resident growth (MB)",
              HeldStepBackMegabytes(path), GroupOfPicturesMegabytes(size));
}

std::int64_t GroupTimeMs(PLAY_MODULE::CPlayModule& group)
{
    PLAY_MODULE::__DATETIME_INFO time{};
    if (group.GroupPlay_QueryGroupPlayingTime(&time) != 1)
        return -1;
    const std::int64_t seconds = SF_SOFT_BASE::CSFDateTime::MakeTime(time.nYear, time.nMonth, time.nDay,
                                                                    time.nHour, time.nMinute, time.nSecond);
    return seconds * 1000 + time.nMillisecond;
}

// The farthest (ms) a window's play time stood from the group's moment,
// sampled every 20 ms while the group plays at 1X, with busyLoops spinning.
double GroupLagMs(int busyLoops)
{
    const auto values = InChild([busyLoops] {
        BENCH::BusyLoops busy(busyLoops);
        Modules modules;
        PLAY_MODULE::CPlayModule group;
        group.GroupPlay_Open();
        for (const Size size : Sizes())
            OpenPlaying(modules, Recording(size, Container::Kvx), ReverseWindows(size));
        for (auto& window : modules)
            group.GroupPlay_AddToPlayGroup(&window->module);
        double worst = 0;
        const auto start = Clock::now();
        while (SecondsSince(start) < WindowSeconds()) {
            const std::int64_t groupMs = GroupTimeMs(group);
            for (auto& window : modules)
                worst = std::max(worst, std::abs(double(groupMs - window->module.GetCurrentPlayTimeMs())));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        group.GroupPlay_Close();
        return std::vector<double>{worst};
    });
    return values.empty() ? -1 : values[0];
}

void GridRow(CTable& table, const RecordingCase& c)
{
    table.Row(std::to_string(kGridStreams) + " " + c.name + " streams at 1X, library alone (CPU cores)",
              ModuleGridCores(c.path), FfmpegGridCores(c.peerPath), "<= 1.0");
}

}  // namespace

int main(int argc, char** argv)
{
    ParseArguments(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_QT);
    CTable table("Streams at 1X and memory, each case in a process of its own (peer: ffmpeg -re "
                 "processes; libavcodec decoders)");
    const bool made = ForEachRecording([&](const RecordingCase& c) {
        if (c.size == Size::D1)
            GridRow(table, c);
        if (c.container == Container::Kvx)
            table.Row("read from Open to the first frame, " + c.name + " (kB)", ModuleFirstFrameReadKb(c.path),
                      PeerFirstFrameReadKb(c.peerPath), "< 1024 kB");
    }) && ForEachBFramesRecording([&](const RecordingCase& c) {
        if (c.size == Size::D1 && c.name.find("H.264") != std::string::npos)
            GridRow(table, c);
    }) && ForEachRecording([&](const RecordingCase& c) {
        table.Row("memory per open module, " + c.name + " (MB)", ModuleMegabytes(c.path),
                  PeerMegabytes(c.peerPath), "<= 1.2");
    }, {Container::Mp4, Container::Ts, Container::Kvx});
    if (!made)
        return 1;
    if (Selected("windows in reverse"))
        ReverseGridRows(table);
    if (Selected("from the group"))
        table.Row("16 .kvx windows with Sync Play at 1X, 8 busy loops: farthest from the group's moment (ms)",
                  GroupLagMs(8), GroupLagMs(0), "< 500");
    if (Selected("held back-step, H.264"))
        HeldStepBackRow(table, "H.264", Recording(Sizes().back(), Container::Kvx));
    if (Selected("held back-step, H.265"))
        HeldStepBackRow(table, "H.265", H265Recording(Sizes().back(), Container::Kvx));
    table.Print();
    RemoveWorkFolder();
    return 0;
}
