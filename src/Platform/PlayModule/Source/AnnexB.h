#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "Platform/PlayModule/Format/KvxFormat.h"

namespace PLAY_MODULE {

// One NAL unit of an Annex B byte stream (start code excluded).
struct AnnexBUnit {
    std::span<const std::uint8_t> bytes;
    int type = -1;  // H.264: 5 bits; H.265: 6 bits
};

// Splits an Annex B access unit into its NAL units.
std::vector<AnnexBUnit> SplitAnnexB(std::span<const std::uint8_t> data, kvx::VideoCodec codec);
// The parameter-set units (VPS/SPS/PPS) of an access unit, each with a
// four-byte start code; empty when it holds none.
std::vector<std::uint8_t> ExtractParameterSets(std::span<const std::uint8_t> data, kvx::VideoCodec codec);
// True when the units hold every kind of parameter set a decoder needs
// (H.264: SPS and PPS; H.265: VPS, SPS and PPS).
bool HasEveryParameterSet(std::span<const std::uint8_t> data, kvx::VideoCodec codec);
// True when the access unit holds a picture (slice) unit of any kind.
bool HoldsPicture(std::span<const std::uint8_t> data, kvx::VideoCodec codec);
// True when the access unit holds an IDR/IRAP picture.
bool IsKeyAccessUnit(std::span<const std::uint8_t> data, kvx::VideoCodec codec);
// The same, looking no further than the first picture unit (fast: the
// parameter sets and the picture come first in an access unit).
bool FirstPictureIsKey(std::span<const std::uint8_t> data, kvx::VideoCodec codec);
// The same for the first bytes of an access unit: nothing while they hold
// no picture unit yet.
std::optional<bool> FirstPictureIsKeyIfAny(std::span<const std::uint8_t> data, kvx::VideoCodec codec);

}  // namespace PLAY_MODULE
