// Exact seeks and back-steps of the play module on 10-minute recordings
// (D1 and 1080p, H.264 and H.265, a key frame every 2 s) in ".mp4", ".ts"
// and ".kvx", at random targets (fixed seed): median, p95 and max of the
// wall time from the call to the shown frame. The peer seeks libavformat
// back to a key frame and decodes with libavcodec up to the frame that holds
// the target, at FFmpeg's default threads, in this process ("kvx": the
// ".ts" of the same stream). A back-step's peer is an exact seek to the
// frame before.
//   first back-step: the step right after an exact seek;
//   held step-back key: from a random frame, steps back one after another
//   with no pause (as a held key does) across several groups; every step
//   timed, those inside a group apart from those into the group before.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "Support/BenchRecordings.h"
#include "Support/BenchRun.h"
#include "Support/BenchTable.h"
#include "Support/ModuleRun.h"
#include "Support/PeerDecoder.h"

using namespace BENCH;

namespace {

constexpr double kGroupMs = 2000;
constexpr double kFrameMs = 40;
constexpr int kCrossingsPerRun = 8;

// The four series of one side: exact seek, first back-step, held
// back-step inside a group and into the group before.
using Series = std::array<std::vector<double>, 4>;

// One series after another, each after its length, as a child reports them.
std::vector<double> Packed(const Series& series)
{
    std::vector<double> values;
    for (const std::vector<double>& one : series) {
        values.push_back(double(one.size()));
        values.insert(values.end(), one.begin(), one.end());
    }
    return values;
}

Series Unpacked(const std::vector<double>& values)
{
    Series series;
    std::size_t at = 0;
    for (std::vector<double>& one : series) {
        if (at >= values.size())
            break;
        const std::size_t count = std::min(std::size_t(values[at]), values.size() - at - 1);
        one.assign(values.begin() + std::ptrdiff_t(at) + 1, values.begin() + std::ptrdiff_t(at + 1 + count));
        at += 1 + count;
    }
    return series;
}

std::vector<double> RandomTargets(double durationMs, int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> within(0, durationMs - 1000);
    std::vector<double> targets;
    for (int i = 0; i < count; ++i)
        targets.push_back(within(random));
    return targets;
}

std::vector<double> SeekTargets()
{
    return RandomTargets(RecordingSeconds() * 1000, Pick(200, 3), 15);
}

double PeerMs(CPeerDecoder& peer, double targetMs)
{
    const auto start = std::chrono::steady_clock::now();
    peer.SeekExact(std::int64_t(targetMs));
    return SecondsSince(start) * 1000;
}

// Steps back with no pause from random frames, each run across a few groups.
void MeasureHeldKey(CPausedModule& player, Series& out)
{
    std::mt19937 random(16);
    const int crossingsPerRun = Pick(kCrossingsPerRun, 1);
    // Runs start in a group far enough from the file's start and before its last.
    std::uniform_int_distribution<int> group(crossingsPerRun, int(player.DurationMs() / kGroupMs) - 1);
    std::uniform_int_distribution<int> frames(0, int(kGroupMs / kFrameMs) - 1);
    for (int run = 0; run < Pick(3, 1); ++run) {
        player.SeekExact(group(random) * kGroupMs + frames(random) * kFrameMs + 20);
        player.Time([&] { player.module.StepBackward(); });
        for (int crossings = 0; crossings < crossingsPerRun;) {
            const bool across = player.counter.key;
            const double ms = player.Time([&] { player.module.StepBackward(); });
            out[across ? 3 : 2].push_back(ms);
            crossings += across ? 1 : 0;
        }
    }
}

std::vector<double> PlayerSeries(const std::string& path)
{
    CPausedModule player;
    if (!player.Open(path))
        return {};
    Series series;
    for (const double target : SeekTargets()) {
        series[0].push_back(player.SeekExact(target));
        series[1].push_back(player.Time([&] { player.module.StepBackward(); }));
    }
    MeasureHeldKey(player, series);
    return Packed(series);
}

std::vector<double> PeerSeries(const std::string& path)
{
    CPeerDecoder peer;
    if (!peer.Open(path, 0))
        return {};
    Series series;
    for (const double target : SeekTargets()) {
        series[0].push_back(PeerMs(peer, target));
        series[1].push_back(PeerMs(peer, target - kFrameMs));
    }
    std::mt19937 random(16);
    const int groups = int(RecordingSeconds() * 1000 / kGroupMs);
    std::uniform_int_distribution<int> group(Pick(kCrossingsPerRun, 1), groups - 1);
    std::uniform_int_distribution<int> frames(0, int(kGroupMs / kFrameMs) - 1);
    for (int i = 0; i < Pick(24, 2); ++i) {
        const double keyMs = group(random) * kGroupMs;
        series[3].push_back(PeerMs(peer, keyMs - kFrameMs + 1));
        series[2].push_back(PeerMs(peer, keyMs + frames(random) * kFrameMs + 1));
    }
    return Packed(series);
}

void MeasureCase(const RecordingCase& c, CTable& table, bool& opened)
{
    const std::vector<double> ours = InChild([&] { return PlayerSeries(c.path); });
    const std::vector<double> theirs = InChild([&] { return PeerSeries(c.peerPath); });
    if (ours.empty() || theirs.empty()) {
        opened = false;
        return;
    }
    const Series series = Unpacked(ours);
    const Series peer = Unpacked(theirs);
    table.Rows(c.name + " exact seek", Figures::Of(series[0]), Figures::Of(peer[0]),
               c.size == Size::HD ? "< 100" : "");
    table.Rows(c.name + " first back-step after a seek", Figures::Of(series[1]), Figures::Of(peer[1]));
    table.Rows(c.name + " held back-step inside a group", Figures::Of(series[2]), Figures::Of(peer[2]), "< 50");
    table.Rows(c.name + " held back-step into the group before", Figures::Of(series[3]), Figures::Of(peer[3]),
               "< 50");
}

}  // namespace

int main(int argc, char** argv)
{
    ParseArguments(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_QT);
    CTable table("Exact seek and back-step, ms from the call to the shown frame (peer: libavformat + "
                 "libavcodec seek and decode, each side in a process of its own)");
    bool opened = true;
    const auto measure = [&](const RecordingCase& c) { MeasureCase(c, table, opened); };
    const bool made =
        ForEachRecording(measure) && ForEachH265Recording(measure) && ForEachBFramesRecording(measure);
    if (!made || !opened) {
        std::fprintf(stderr, "could not open the recordings\n");
        return 1;
    }
    table.Print();
    RemoveWorkFolder();
    return 0;
}
