#pragma once

#include <cstdint>
#include <string>

namespace PLAY_MODULE {

// Keeps the whole part of an AVI clip whose writer was killed: cuts it after
// its last whole chunk (CAviWholeChunks) and gives its header what the
// writer would have given it at the end: the sizes of its RIFF parts and
// movie lists, the frame and sample counts of its streams and, for a clip of
// more than one part, its OpenDML header with the count of all its frames,
// so that players know its length.
class CAviKeptClip {
public:
    // Bytes kept; 0 when none of it is whole. A file that is no AVI is left
    // as it is (its size).
    static std::uint64_t Keep(const std::string& path);
};

}  // namespace PLAY_MODULE
