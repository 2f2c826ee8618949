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

struct Series {
    std::vector<double> seek, firstStep, insideStep, crossStep;
    std::vector<double> peerSeek, peerFirstStep, peerInsideStep, peerCrossStep;
};

std::vector<double> RandomTargets(double durationMs, int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> within(0, durationMs - 1000);
    std::vector<double> targets;
    for (int i = 0; i < count; ++i)
        targets.push_back(within(random));
    return targets;
}

double PeerMs(CPeerDecoder& peer, double targetMs)
{
    const auto start = std::chrono::steady_clock::now();
    peer.SeekExact(std::int64_t(targetMs));
    return SecondsSince(start) * 1000;
}

void MeasureSeeks(CPausedModule& player, CPeerDecoder& peer, Series& out)
{
    for (const double target : RandomTargets(player.DurationMs(), Pick(200, 3), 15)) {
        out.seek.push_back(player.SeekExact(target));
        out.firstStep.push_back(player.Time([&] { player.module.StepBackward(); }));
        out.peerSeek.push_back(PeerMs(peer, target));
        out.peerFirstStep.push_back(PeerMs(peer, target - kFrameMs));
    }
}

// Steps back with no pause from random frames, each run across a few groups.
void MeasureHeldKey(CPausedModule& player, CPeerDecoder& peer, Series& out)
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
            (across ? out.crossStep : out.insideStep).push_back(ms);
            crossings += across ? 1 : 0;
        }
    }
    for (int i = 0; i < Pick(24, 2); ++i) {
        const double keyMs = group(random) * kGroupMs;
        out.peerCrossStep.push_back(PeerMs(peer, keyMs - kFrameMs + 1));
        out.peerInsideStep.push_back(PeerMs(peer, keyMs + frames(random) * kFrameMs + 1));
    }
}

void MeasureCase(const RecordingCase& c, CTable& table, bool& opened)
{
    CPausedModule player;
    CPeerDecoder peer;
    if (!player.Open(c.path) || !peer.Open(c.peerPath, 0)) {
        opened = false;
        return;
    }
    Series series;
    MeasureSeeks(player, peer, series);
    MeasureHeldKey(player, peer, series);
    table.Rows(c.name + " exact seek", Figures::Of(series.seek), Figures::Of(series.peerSeek),
               c.size == Size::HD ? "< 100" : "");
    table.Rows(c.name + " first back-step after a seek", Figures::Of(series.firstStep),
               Figures::Of(series.peerFirstStep));
    table.Rows(c.name + " held back-step inside a group", Figures::Of(series.insideStep),
               Figures::Of(series.peerInsideStep), "< 50");
    table.Rows(c.name + " held back-step into the group before", Figures::Of(series.crossStep),
               Figures::Of(series.peerCrossStep), "< 50");
}

}  // namespace

int main(int argc, char** argv)
{
    ParseArguments(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_QT);
    CTable table("Exact seek and back-step, ms from the call to the shown frame (peer: libavformat + "
                 "libavcodec seek and decode in this process)");
    bool opened = true;
    const auto measure = [&](const RecordingCase& c) { MeasureCase(c, table, opened); };
    const bool made = ForEachRecording(measure) && ForEachH265Recording(measure);
    if (!made || !opened) {
        std::fprintf(stderr, "could not open the recordings\n");
        return 1;
    }
    table.Print();
    RemoveWorkFolder();
    return 0;
}
