#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace PLAY_MODULE {

// Tells ".kvx" stream bytes from other containers: ".kvx" data hold a sound
// record header within their first kProbeBytes (at byte 0 unless the start
// is damaged). Call again as the head grows; only new bytes are scanned.
class CKvxStreamProbe {
public:
    enum class Verdict { Undecided, Kvx, Other };
    static constexpr std::size_t kProbeBytes = 64 * 1024;

    Verdict Inspect(std::span<const std::uint8_t> head);
    // With no more bytes coming: Kvx or Other.
    Verdict Decide(std::span<const std::uint8_t> head);
    void Reset() { m_scanned = 0; }

private:
    bool HoldsHeader(std::span<const std::uint8_t> head);

    std::size_t m_scanned = 0;
};

}  // namespace PLAY_MODULE
