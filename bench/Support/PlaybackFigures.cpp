#include "Support/PlaybackFigures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace BENCH {

namespace {

constexpr std::int64_t kUsPerSecond = 1000000;
constexpr std::int64_t kSampleUs = 40000;
constexpr std::int64_t kStartUpUs = 500000;  // the first half second after the first picture is not judged
constexpr double kKeyIntervalMs = 2000;
constexpr double kBusyHoldMs = 500;
constexpr double kPeakGoalMiB = 1024;
constexpr double kNever = 1e9;

double FootageMs(const ShownPicture& picture, double fileMs)
{
    return picture.file * fileMs + double(picture.stampMs);
}

std::vector<ShownPicture> AfterClick(const std::vector<ShownPicture>& shown, std::int64_t clickUs)
{
    std::vector<ShownPicture> after;
    std::copy_if(shown.begin(), shown.end(), std::back_inserter(after),
                 [clickUs](const ShownPicture& picture) { return picture.wallUs >= clickUs; });
    return after;
}

void AddHolds(const std::vector<ShownPicture>& shown, bool d1, PlaybackFigures& figures)
{
    for (std::size_t i = 1; i < shown.size(); ++i) {
        const double holdMs = double(shown[i].wallUs - shown[i - 1].wallUs) / 1000.0;
        if (shown[i].file == shown[i - 1].file) {
            figures.holdInsideMs = std::max(figures.holdInsideMs, holdMs);
        } else {
            ++figures.changes;
            figures.holdChangeMs = std::max(figures.holdChangeMs, holdMs);
        }
        if (d1)
            figures.holdD1Ms = std::max(figures.holdD1Ms, holdMs);
    }
}

// Fewest pictures in a whole wall second after the start-up; kNever when no whole second was played.
double FewestInAWallSecond(const std::vector<ShownPicture>& shown)
{
    if (shown.empty())
        return kNever;
    double fewest = kNever;
    std::size_t first = 0;
    for (std::int64_t start = shown.front().wallUs + kStartUpUs; start + kUsPerSecond <= shown.back().wallUs;
         start += kUsPerSecond) {
        while (first < shown.size() && shown[first].wallUs < start)
            ++first;
        std::size_t end = first;
        while (end < shown.size() && shown[end].wallUs < start + kUsPerSecond)
            ++end;
        fewest = std::min(fewest, double(end - first));
    }
    return fewest;
}

// Of the footage seconds played through (not the first or last one reached),
// the smallest share of their frames shown.
double SmallestSecondShare(const std::vector<ShownPicture>& shown, const PlaybackRun& run)
{
    std::map<std::int64_t, int> perSecond;
    for (const ShownPicture& picture : shown)
        ++perSecond[std::int64_t(std::floor(FootageMs(picture, run.fileMs) / 1000.0))];
    if (perSecond.size() < 3)
        return 1;
    double smallest = 1;
    for (auto it = std::next(perSecond.begin()); it != std::prev(perSecond.end()); ++it)
        smallest = std::min(smallest, double(it->second) / run.fps);
    return smallest;
}

// The first picture earlier than the one shown at the click (the click's
// own first picture when nothing stood before it).
std::vector<ShownPicture>::const_iterator FirstBack(const std::vector<ShownPicture>& shown, const PlaybackRun& run)
{
    const auto click = std::find_if(shown.begin(), shown.end(),
                                    [&run](const ShownPicture& picture) { return picture.wallUs >= run.clickWallUs; });
    if (click == shown.begin())
        return click;
    const double stoodMs = FootageMs(*std::prev(click), run.fileMs);
    return std::find_if(click, shown.end(),
                        [&](const ShownPicture& picture) { return FootageMs(picture, run.fileMs) < stoodMs; });
}

// From the click to the first earlier picture.
double FirstBackMs(const std::vector<ShownPicture>& shown, const PlaybackRun& run)
{
    const auto back = FirstBack(shown, run);
    if (back == shown.begin())
        return 0;  // nothing stood before the click to go back from
    return back == shown.end() ? kNever : double(back->wallUs - run.clickWallUs) / 1000.0;
}

// The pictures judged: from the click on; in reverse from the first earlier
// picture on, the wait for the turn being the first back time.
std::vector<ShownPicture> Judged(const std::vector<ShownPicture>& shown, const PlaybackRun& run)
{
    if (!run.backward)
        return AfterClick(shown, run.clickWallUs);
    return std::vector<ShownPicture>(FirstBack(shown, run), shown.end());
}

// The windows' footage times every 40 ms of wall time, while all of them play.
void AddSpread(const std::vector<std::vector<ShownPicture>>& windows, const PlaybackRun& run,
               PlaybackFigures& figures)
{
    std::int64_t from = std::numeric_limits<std::int64_t>::min();
    std::int64_t to = std::numeric_limits<std::int64_t>::max();
    for (const auto& shown : windows) {
        if (shown.empty())
            return;
        from = std::max(from, shown.front().wallUs);
        to = std::min(to, shown.back().wallUs);
    }
    std::vector<std::size_t> at(windows.size(), 0);
    std::vector<double> footage(windows.size());
    for (std::int64_t t = from; t <= to; t += kSampleUs) {
        for (std::size_t w = 0; w < windows.size(); ++w) {
            while (at[w] + 1 < windows[w].size() && windows[w][at[w] + 1].wallUs <= t)
                ++at[w];
            footage[w] = FootageMs(windows[w][at[w]], run.fileMs);
        }
        std::vector<double> sorted = footage;
        std::sort(sorted.begin(), sorted.end());
        const double moment = sorted[sorted.size() / 2];
        figures.spreadMs = std::max(figures.spreadMs, sorted.back() - sorted.front());
        figures.offMomentMs = std::max({figures.offMomentMs, sorted.back() - moment, moment - sorted.front()});
    }
}

}  // namespace

PlaybackFigures MeasurePlayback(const ShownPictures& pictures, const PlaybackRun& run)
{
    PlaybackFigures figures;
    figures.fpsMin = kNever;
    std::vector<std::vector<ShownPicture>> windows;
    double footageMs = 0;
    for (const auto& [window, all] : pictures) {
        const std::vector<ShownPicture> shown = Judged(all, run);
        AddHolds(shown, window < run.firstLargeWindow, figures);
        figures.fpsMin = std::min(figures.fpsMin, FewestInAWallSecond(shown));
        figures.secondShareMin = std::min(figures.secondShareMin, SmallestSecondShare(shown, run));
        if (run.backward)
            figures.firstBackMs = std::max(figures.firstBackMs, FirstBackMs(all, run));
        if (!shown.empty())
            footageMs += std::abs(FootageMs(shown.back(), run.fileMs) - FootageMs(shown.front(), run.fileMs));
        windows.push_back(shown);
    }
    if (figures.fpsMin == kNever)
        figures.fpsMin = 0;
    AddSpread(windows, run, figures);
    figures.footageSeconds = windows.empty() ? 0 : footageMs / 1000.0 / double(windows.size());
    return figures;
}

std::vector<std::string> MissedGoals(const PlaybackFigures& figures, const PlaybackRun& run, double peakMiB)
{
    std::vector<std::string> missed;
    auto check = [&missed](const char* what, double value, double goal, bool atMost) {
        if (atMost ? value <= goal : value >= goal)
            return;
        char text[96];
        std::snprintf(text, sizeof text, "%s %.4g %s %.4g", what, value, atMost ? ">" : "<", goal);
        missed.emplace_back(text);
    };
    const bool normalSpeed = run.speed == 1;
    const double frameMs = 1000.0 / run.fps;
    if (run.busy) {
        check("D1 hold ms", figures.holdD1Ms, kBusyHoldMs, true);
        if (run.sync)
            check("off the group's moment ms", figures.offMomentMs, normalSpeed ? kBusyHoldMs : kKeyIntervalMs, true);
    } else {
        // At 1X two frame intervals; faster, a fifth of a second.
        const double holdMs = normalSpeed ? 2 * frameMs : 200;
        check("hold inside ms", figures.holdInsideMs, holdMs, true);
        check("hold at a change ms", figures.holdChangeMs, holdMs, true);
        if (normalSpeed) {
            check("frames a second", figures.fpsMin, run.fps - 1, false);
            check("share of a second", figures.secondShareMin, double(run.fps - 1) / run.fps, false);
        }
        if (run.sync)
            check("off the group's moment ms", figures.offMomentMs, normalSpeed ? frameMs : kKeyIntervalMs, true);
    }
    check("peak MiB", peakMiB, kPeakGoalMiB, true);
    return missed;
}

}  // namespace BENCH
