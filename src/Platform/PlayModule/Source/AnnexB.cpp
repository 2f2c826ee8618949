#include "Platform/PlayModule/Source/AnnexB.h"

#include <algorithm>

namespace PLAY_MODULE {

namespace {

// Position of the next start code (00 00 01) at or after from; size if none.
std::size_t FindStartCode(std::span<const std::uint8_t> d, std::size_t from)
{
    for (std::size_t i = from; i + 3 <= d.size(); ++i)
        if (d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1) return i;
    return d.size();
}

int UnitType(std::uint8_t first, kvx::VideoCodec codec)
{
    return codec == kvx::VideoCodec::H264 ? (first & 0x1F) : ((first >> 1) & 0x3F);
}

bool IsParameterSet(int type, kvx::VideoCodec codec)
{
    if (codec == kvx::VideoCodec::H264) return type == 7 || type == 8;
    return type >= 32 && type <= 34;
}

}  // namespace

std::vector<AnnexBUnit> SplitAnnexB(std::span<const std::uint8_t> data, kvx::VideoCodec codec)
{
    std::vector<AnnexBUnit> units;
    std::size_t start = FindStartCode(data, 0);
    while (start < data.size()) {
        const std::size_t begin = start + 3;
        std::size_t next = FindStartCode(data, begin);
        std::size_t end = next;
        while (end > begin && data[end - 1] == 0 && next < data.size()) --end;  // trailing zero of 00 00 00 01
        if (end > begin) units.push_back({data.subspan(begin, end - begin), UnitType(data[begin], codec)});
        start = next;
    }
    return units;
}

std::vector<std::uint8_t> ExtractParameterSets(std::span<const std::uint8_t> data, kvx::VideoCodec codec)
{
    std::vector<std::uint8_t> out;
    for (const AnnexBUnit& unit : SplitAnnexB(data, codec)) {
        if (!IsParameterSet(unit.type, codec)) continue;
        out.insert(out.end(), {0, 0, 0, 1});
        out.insert(out.end(), unit.bytes.begin(), unit.bytes.end());
    }
    return out;
}

bool HasEveryParameterSet(std::span<const std::uint8_t> data, kvx::VideoCodec codec)
{
    const std::vector<int> needed = codec == kvx::VideoCodec::H264 ? std::vector<int>{7, 8} : std::vector<int>{32, 33, 34};
    const std::vector<AnnexBUnit> units = SplitAnnexB(data, codec);
    return std::all_of(needed.begin(), needed.end(), [&](int type) {
        return std::any_of(units.begin(), units.end(), [type](const AnnexBUnit& unit) { return unit.type == type; });
    });
}

bool HoldsPicture(std::span<const std::uint8_t> data, kvx::VideoCodec codec)
{
    const bool h264 = codec == kvx::VideoCodec::H264;
    const std::vector<AnnexBUnit> units = SplitAnnexB(data, codec);
    return std::any_of(units.begin(), units.end(), [h264](const AnnexBUnit& unit) {
        return h264 ? unit.type >= 1 && unit.type <= 5 : unit.type >= 0 && unit.type <= 31;
    });
}

bool IsKeyAccessUnit(std::span<const std::uint8_t> data, kvx::VideoCodec codec)
{
    for (const AnnexBUnit& unit : SplitAnnexB(data, codec)) {
        if (codec == kvx::VideoCodec::H264 && unit.type == 5) return true;
        if (codec == kvx::VideoCodec::H265 && unit.type >= 16 && unit.type <= 21) return true;
    }
    return false;
}

bool FirstPictureIsKey(std::span<const std::uint8_t> data, kvx::VideoCodec codec)
{
    return FirstPictureIsKeyIfAny(data, codec).value_or(false);
}

std::optional<bool> FirstPictureIsKeyIfAny(std::span<const std::uint8_t> data, kvx::VideoCodec codec)
{
    for (std::size_t at = FindStartCode(data, 0); at + 3 < data.size(); at = FindStartCode(data, at + 3)) {
        const int type = UnitType(data[at + 3], codec);
        if (codec == kvx::VideoCodec::H264 && type >= 1 && type <= 5) return type == 5;
        if (codec == kvx::VideoCodec::H265 && type <= 31) return type >= 16 && type <= 21;
    }
    return std::nullopt;
}

}  // namespace PLAY_MODULE
