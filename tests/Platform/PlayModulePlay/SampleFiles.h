#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace PlayModuleTest {

// A generated recording: frame n shows a moving bar; chroma is U=64, V=192
// so the two chroma planes can be told apart.
struct SampleSpec {
    std::string format = "mp4";   // mp4, avi, mpegts, mpeg (FFmpeg's program stream writer), ps (ours)
    bool hevc = false;
    int width = 320;
    int height = 240;
    int fps = 25;
    int frames = 100;
    int gop = 25;
    int bFrames = 2;
    bool audio = false;             // AAC (mp4, mpegts) tone
    std::string creationTime;      // ISO text, mp4 only
    int damagedPtsPacket = -1;     // ps only: this video packet's presentation time is garbage
    int garbageFromPacket = -1;    // ps only: from this video packet on, the time stamps jump 47,727 s
};

bool MakeSample(const std::string& path, const SampleSpec& spec);

// The shared samples by name ("clip.mp4", "clip.avi", "clip.ts", "clip.ps",
// "clip265.ps", "later.mp4"), made on first use.
const std::map<std::string, SampleSpec>& Samples();
std::string Sample(const std::string& name);

// A folder under the test temp folder, made on first use.
std::string TempPath(const std::string& name);

}  // namespace PlayModuleTest
