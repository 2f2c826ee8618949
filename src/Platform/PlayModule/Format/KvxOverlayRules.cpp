#include "Platform/PlayModule/Format/KvxOverlayRules.h"

#include <algorithm>

#include "Platform/PlayModule/Format/OverlayByteCursor.h"

namespace PLAY_MODULE {

namespace {
constexpr std::uint8_t kLayoutVersion = 1;
}

std::vector<std::uint8_t> KvxOverlayRules::Encode() const
{
    std::vector<std::uint8_t> out{kLayoutVersion, 0};
    const std::size_t count = COverlayByteCursor::PutCount(out, rules.size());
    for (std::size_t i = 0; i < count; ++i) {
        const Rule& rule = rules[i];
        COverlayByteCursor::PutU32(out, rule.id);
        out.push_back(rule.shape);
        out.push_back(rule.alarm ? 1 : 0);
        COverlayByteCursor::PutPoints(out, rule.points);
        const std::size_t nameSize = std::min<std::size_t>(rule.name.size(), 255);
        out.push_back(static_cast<std::uint8_t>(nameSize));
        out.insert(out.end(), rule.name.begin(), rule.name.begin() + static_cast<std::ptrdiff_t>(nameSize));
    }
    return out;
}

bool KvxOverlayRules::Decode(std::span<const std::uint8_t> payload)
{
    COverlayByteCursor in(payload);
    if (in.U8() != kLayoutVersion) return false;
    in.U8();
    const std::uint16_t count = in.U16();
    std::vector<Rule> decoded;
    for (std::uint16_t i = 0; i < count && in.Ok(); ++i) {
        Rule rule;
        rule.id = in.U32();
        const std::uint8_t shape = in.U8();
        rule.alarm = in.U8() != 0;
        rule.points = in.Points(in.U16());
        const auto name = in.Bytes(in.U8());
        rule.name.assign(name.begin(), name.end());
        if (shape != Line && shape != Polygon) return false;
        rule.shape = static_cast<Shape>(shape);
        decoded.push_back(std::move(rule));
    }
    if (!in.Ok() || !in.AtEnd()) return false;
    rules = std::move(decoded);
    return true;
}

}  // namespace PLAY_MODULE
