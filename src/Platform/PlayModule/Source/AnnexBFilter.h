#pragma once

#include <cstdint>
#include <vector>

struct AVBSFContext;
struct AVCodecParameters;
struct AVRational;

namespace PLAY_MODULE {

// True when H.264/H.265 packets carry length prefixes ("mp4" style) rather
// than start codes.
bool IsLengthPrefixed(const AVCodecParameters& parameters);

// The parameter sets of an H.264/H.265 stream's header when it holds them
// as start-code units (not the length-prefixed form of an ".mp4"); empty
// otherwise.
std::vector<std::uint8_t> HeaderParameterSets(const AVCodecParameters& parameters);

// A filter that gives H.264/H.265 packets start codes (packets that have them
// pass through); nullptr for other codecs or when it cannot be set up. Free
// it with av_bsf_free.
AVBSFContext* OpenAnnexBFilter(const AVCodecParameters& parameters, AVRational timeBase);

}  // namespace PLAY_MODULE
