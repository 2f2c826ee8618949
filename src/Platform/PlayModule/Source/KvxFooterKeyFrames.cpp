#include "Platform/PlayModule/Source/KvxFooterKeyFrames.h"

#include "Platform/PlayModule/Source/KeyFrameLookup.h"
#include "Platform/PlayModule/Source/KvxIndexScanner.h"

namespace PLAY_MODULE {

std::optional<KeyFrameSpan> KvxFooterKeyFrames(const std::string& path, std::int64_t startMs, std::int64_t endMs)
{
    CKeyFrameIndex index;
    std::uint64_t recordsEnd = 0;
    if (!CKvxIndexScanner::FooterIndex(path, index, recordsEnd))
        return std::nullopt;
    const CKeyFrameIndex::Entry* first = KeyFrameAt(index.entries, startMs, false);
    const CKeyFrameIndex::Entry* next = KeyFrameAt(index.entries, endMs, true);
    if (!first)
        return std::nullopt;
    return KeyFrameSpan{first->position, next ? next->position : recordsEnd};
}

}  // namespace PLAY_MODULE
