#pragma once

#include <cstdint>
#include <vector>

#include "Platform/PlayModule/Source/KeyFrameIndex.h"

namespace PLAY_MODULE {

// The one rule for the key frame of a time in an index's entries (in time
// order): without next, the last at or before timeMs (the first when all
// are later); with next, the first after timeMs. Null when there is none:
// no entries, or none after timeMs.
const CKeyFrameIndex::Entry* KeyFrameAt(const std::vector<CKeyFrameIndex::Entry>& entries, std::int64_t timeMs,
                                        bool next);

}  // namespace PLAY_MODULE
