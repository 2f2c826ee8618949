#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace BENCH {

// A picture handed to a window to show: the file it is of (in the day's
// order), its time in that file, and when it was handed over.
struct ShownPicture {
    int file = 0;
    std::int64_t stampMs = 0;
    std::int64_t wallUs = 0;
};
// Each window's pictures in the order handed over.
using ShownPictures = std::map<int, std::vector<ShownPicture>>;

struct PlaybackRun {
    double fileMs = 0;  // every file's length, one after the other in time
    double speed = 1;
    int fps = 25;
    bool backward = false;
    bool sync = false;
    bool busy = false;
    std::int64_t clickWallUs = 0;  // play (or reverse) pressed; pictures before it only set where a window stood
    int firstLargeWindow = 1 << 30;  // windows from here on are large pictures (1080p), the rest D1
};

struct PlaybackFigures {
    double holdInsideMs = 0;      // longest wall time between two pictures of one file
    double holdChangeMs = 0;      // the same between the last picture of a file and the first of the next
    double holdD1Ms = 0;          // longest hold of a D1 window, inside a file or at a change
    double fpsMin = 0;            // fewest pictures in a whole wall second, of any window
    double secondShareMin = 1;    // smallest share of a footage second's frames shown, of the seconds played through
    double spreadMs = 0;          // largest spread of the windows' footage times at one wall time
    double offMomentMs = 0;       // farthest a window stood from the group's moment (the windows' median)
    double firstBackMs = 0;       // click to an earlier picture than the one shown, in the slowest window
    double footageSeconds = 0;    // footage played, the mean of the windows
    int changes = 0;
};

PlaybackFigures MeasurePlayback(const ShownPictures& pictures, const PlaybackRun& run);

// The goals a row is held to; each miss named ("hold inside 140 ms > 80").
std::vector<std::string> MissedGoals(const PlaybackFigures& figures, const PlaybackRun& run, double peakMiB);

}  // namespace BENCH
