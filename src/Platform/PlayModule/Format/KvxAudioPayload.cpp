#include "Platform/PlayModule/Format/KvxAudioPayload.h"

#include "Platform/PlayModule/Format/ByteOrder.h"

namespace PLAY_MODULE {

void KvxAudioPayload::Encode(std::vector<std::uint8_t>& out) const
{
    const std::size_t base = out.size();
    out.resize(base + kInfoSize);
    std::uint8_t* p = out.data() + base;
    p[0] = static_cast<std::uint8_t>(codec);
    p[1] = channels;
    StoreU16(p + 2, 0);
    StoreU32(p + 4, sampleRate);
    out.insert(out.end(), data.begin(), data.end());
}

bool KvxAudioPayload::Decode(std::span<const std::uint8_t> payload)
{
    if (payload.size() < kInfoSize) return false;
    const std::uint8_t c = payload[0];
    if (c < 1 || c > 3 || payload[1] == 0) return false;
    codec = static_cast<kvx::AudioCodec>(c);
    channels = payload[1];
    sampleRate = LoadU32(payload.data() + 4);
    data = payload.subspan(kInfoSize);
    return sampleRate != 0;
}

}  // namespace PLAY_MODULE
