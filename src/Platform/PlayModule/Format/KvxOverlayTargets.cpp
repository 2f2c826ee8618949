#include "Platform/PlayModule/Format/KvxOverlayTargets.h"

#include "Platform/PlayModule/Format/OverlayByteCursor.h"

namespace PLAY_MODULE {

namespace {
constexpr std::uint8_t kLayoutVersion = 1;
}

std::vector<std::uint8_t> KvxOverlayTargets::Encode() const
{
    std::vector<std::uint8_t> out{kLayoutVersion, 0};
    const std::size_t count = COverlayByteCursor::PutCount(out, targets.size());
    for (std::size_t i = 0; i < count; ++i) {
        const Target& target = targets[i];
        COverlayByteCursor::PutU32(out, target.id);
        out.push_back(target.objectClass);
        out.push_back(target.alarm ? 1 : 0);
        COverlayByteCursor::PutPoint(out, target.topLeft);
        COverlayByteCursor::PutPoint(out, target.size);
        COverlayByteCursor::PutPoints(out, target.track);
    }
    return out;
}

bool KvxOverlayTargets::Decode(std::span<const std::uint8_t> payload)
{
    COverlayByteCursor in(payload);
    if (in.U8() != kLayoutVersion) return false;
    in.U8();
    const std::uint16_t count = in.U16();
    std::vector<Target> decoded;
    for (std::uint16_t i = 0; i < count && in.Ok(); ++i) {
        Target target;
        target.id = in.U32();
        target.objectClass = static_cast<ObjectClass>(in.U8());
        target.alarm = in.U8() != 0;
        target.topLeft = in.Point();
        target.size = in.Point();
        target.track = in.Points(in.U16());
        decoded.push_back(std::move(target));
    }
    if (!in.Ok() || !in.AtEnd()) return false;
    targets = std::move(decoded);
    return true;
}

}  // namespace PLAY_MODULE
