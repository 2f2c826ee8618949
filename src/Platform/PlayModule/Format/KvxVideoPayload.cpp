#include "Platform/PlayModule/Format/KvxVideoPayload.h"

#include "Platform/PlayModule/Format/ByteOrder.h"

namespace PLAY_MODULE {

void KvxVideoPayload::EncodeKey(std::vector<std::uint8_t>& out) const
{
    const std::size_t base = out.size();
    out.resize(base + kKeyInfoSize);
    std::uint8_t* p = out.data() + base;
    StoreU16(p, kKeyInfoSize);
    p[2] = static_cast<std::uint8_t>(codec);
    p[3] = 0;
    StoreU16(p + 4, width);
    StoreU16(p + 6, height);
    StoreU32(p + 8, frameRateMilli);
    std::copy(chainLink.begin(), chainLink.end(), p + 12);
    StoreU32(p + 28, static_cast<std::uint32_t>(parameterSets.size()));
    out.insert(out.end(), parameterSets.begin(), parameterSets.end());
    out.insert(out.end(), frame.begin(), frame.end());
}

bool KvxVideoPayload::Decode(std::span<const std::uint8_t> payload, bool keyFrame)
{
    if (!keyFrame) {
        frame = payload;
        parameterSets = {};
        return true;
    }
    if (payload.size() < kKeyInfoSize) return false;
    const std::uint8_t* p = payload.data();
    const std::size_t infoSize = LoadU16(p);
    if (infoSize < kKeyInfoSize || infoSize > payload.size()) return false;
    if (p[2] != std::uint8_t(kvx::VideoCodec::H264) && p[2] != std::uint8_t(kvx::VideoCodec::H265))
        return false;
    const std::uint32_t paramSize = LoadU32(p + 28);
    if (paramSize > payload.size() - infoSize) return false;
    codec = static_cast<kvx::VideoCodec>(p[2]);
    width = LoadU16(p + 4);
    height = LoadU16(p + 6);
    frameRateMilli = LoadU32(p + 8);
    std::copy(p + 12, p + 28, chainLink.begin());
    parameterSets = payload.subspan(infoSize, paramSize);
    frame = payload.subspan(infoSize + paramSize);
    return true;
}

std::vector<std::uint8_t> KvxVideoPayload::DecodableBytes() const
{
    std::vector<std::uint8_t> bytes(parameterSets.begin(), parameterSets.end());
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    return bytes;
}

}  // namespace PLAY_MODULE
