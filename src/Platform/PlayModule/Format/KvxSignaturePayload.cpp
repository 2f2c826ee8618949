#include "Platform/PlayModule/Format/KvxSignaturePayload.h"

#include <algorithm>

namespace PLAY_MODULE {

void KvxSignaturePayload::Encode(std::vector<std::uint8_t>& out) const
{
    out.push_back(algorithm);
    out.insert(out.end(), 3, 0);
    out.insert(out.end(), keyFingerprint.begin(), keyFingerprint.end());
    out.insert(out.end(), signedDigest.begin(), signedDigest.end());
    out.insert(out.end(), signature.begin(), signature.end());
}

bool KvxSignaturePayload::Decode(std::span<const std::uint8_t> payload)
{
    if (payload.size() != kSize) return false;
    algorithm = payload[0];
    auto p = payload.begin() + 4;
    std::copy(p, p + 8, keyFingerprint.begin());
    std::copy(p + 8, p + 24, signedDigest.begin());
    std::copy(p + 24, p + 88, signature.begin());
    return true;
}

}  // namespace PLAY_MODULE
