#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE_TEST {

enum class ContainerKind { Avi, Mp4, Ps, Ts };

struct ContainerSampleOptions {
    double seconds = 4;
    int width = 320;
    int height = 240;
    int fps = 25;
    double gopSeconds = 1;
    PLAY_MODULE::kvx::VideoCodec codec = PLAY_MODULE::kvx::VideoCodec::H264;
    std::int64_t creationUtcMs = -1;  // -1: no creation time in the container
    // Where the parameter sets stand (".ts", ".mp4", ".avi"): with every key
    // frame and in the header; before the first frame alone; nowhere.
    enum class ParameterSets { Everywhere, AtStart, Nowhere } parameterSets = ParameterSets::Everywhere;
    // B-frames between references (".mp4", ".ts", ".avi").
    int bFrames = 0;
    bool openGroups = false;  // B-frames after a key frame shown before it
    // Parts of `seconds` each coded by encoders of their own and joined, with
    // open groups where true (openGroups then does not count).
    std::vector<bool> joinedPartsOpen;
    // Or parts of `seconds` each coded with these numbers of B-frames and
    // joined, each decoded only as far ahead as its own B-frames need (a part
    // that would then be decoded before the one ahead ends starts later).
    std::vector<int> joinedPartsBFrames;
    // ".ps": every n-th frame that is no key frame goes without time stamps.
    int unstampedEvery = 0;
};

// Writes the test pattern, coded by our encoder, into an ".avi", ".mp4",
// ".ps" (with a stream map) or ".ts" file. Video only.
bool MakeContainerSample(const std::string& path, ContainerKind kind,
                         const ContainerSampleOptions& options = {});

const char* ContainerExtension(ContainerKind kind);

}  // namespace PLAY_MODULE_TEST
