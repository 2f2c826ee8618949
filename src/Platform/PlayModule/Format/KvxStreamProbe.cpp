#include "Platform/PlayModule/Format/KvxStreamProbe.h"

#include <algorithm>
#include <cstring>

#include "Platform/PlayModule/Format/KvxRecordHeader.h"

namespace PLAY_MODULE {

bool CKvxStreamProbe::HoldsHeader(std::span<const std::uint8_t> head)
{
    const std::size_t limit = std::min(head.size(), kProbeBytes + kvx::kHeaderSize);
    if (limit < kvx::kHeaderSize)
        return false;
    const std::size_t last = limit - kvx::kHeaderSize;  // last start with a whole header
    KvxRecordHeader header;
    for (std::size_t at = m_scanned; at <= last; ++at) {
        const void* hit = std::memchr(head.data() + at, kvx::kMarker[0], last + 1 - at);
        if (!hit)
            break;
        at = std::size_t(static_cast<const std::uint8_t*>(hit) - head.data());
        if (header.Decode(head.data() + at))
            return true;
    }
    m_scanned = last + 1;
    return false;
}

CKvxStreamProbe::Verdict CKvxStreamProbe::Inspect(std::span<const std::uint8_t> head)
{
    if (HoldsHeader(head))
        return Verdict::Kvx;
    return head.size() >= kProbeBytes + kvx::kHeaderSize ? Verdict::Other : Verdict::Undecided;
}

CKvxStreamProbe::Verdict CKvxStreamProbe::Decide(std::span<const std::uint8_t> head)
{
    return HoldsHeader(head) ? Verdict::Kvx : Verdict::Other;
}

}  // namespace PLAY_MODULE
