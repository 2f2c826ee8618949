#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "Platform/PlayModule/Format/KvxAudioPayload.h"
#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Format/KvxVideoFrame.h"

namespace PLAY_MODULE {

class CKvxSigner;

// Turns frames and blocks into ".kvx" records: numbers them, chains their
// digests and, with a signer, puts a signature record before every key
// frame (and one at the end, by AddClosingSignature).
class CKvxRecordEncoder {
public:
    explicit CKvxRecordEncoder(std::shared_ptr<const CKvxSigner> signer = nullptr);

    // Each call appends the encoded record(s) to out.
    void AddVideo(const KvxVideoFrame& frame, std::vector<std::uint8_t>& out);
    void AddAudio(const KvxAudioPayload& audio, std::int64_t timeMs, std::vector<std::uint8_t>& out);
    // kind: OverlayRules or OverlayTargets; payload in the overlay layout.
    void AddOverlay(kvx::RecordKind kind, std::int64_t timeMs, std::span<const std::uint8_t> payload,
                    std::vector<std::uint8_t>& out);
    void AddWatermark(std::int64_t timeMs, std::string_view utf8Text, std::vector<std::uint8_t>& out);
    // Signs the records written since the last signature, if any.
    void AddClosingSignature(std::int64_t timeMs, std::vector<std::uint8_t>& out);

    std::uint32_t NextSequence() const { return m_sequence; }
    bool Signs() const { return m_signer != nullptr; }

private:
    void AddRecord(kvx::RecordKind kind, std::uint16_t flags, std::int64_t timeMs,
                   std::span<const std::uint8_t> payload, std::vector<std::uint8_t>& out);
    void SealRecord(kvx::RecordKind kind, std::uint16_t flags, std::int64_t timeMs, std::size_t at,
                    std::vector<std::uint8_t>& out);
    void AddSignature(std::int64_t timeMs, std::vector<std::uint8_t>& out);

    std::shared_ptr<const CKvxSigner> m_signer;
    std::uint32_t m_sequence = 0;
    kvx::Digest m_lastDigest{};
    bool m_unsignedRecords = false;
};

}  // namespace PLAY_MODULE
