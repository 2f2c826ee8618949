#include "Platform/PlayModule/Source/KeyFrameLookup.h"

#include <algorithm>
#include <iterator>

namespace PLAY_MODULE {

const CKeyFrameIndex::Entry* KeyFrameAt(const std::vector<CKeyFrameIndex::Entry>& entries, std::int64_t timeMs,
                                        bool next)
{
    if (entries.empty())
        return nullptr;
    const auto after = std::upper_bound(entries.begin(), entries.end(), timeMs,
                                        [](std::int64_t t, const CKeyFrameIndex::Entry& e) { return t < e.timeMs; });
    if (next)
        return after == entries.end() ? nullptr : &*after;
    return after == entries.begin() ? &entries.front() : &*std::prev(after);
}

}  // namespace PLAY_MODULE
