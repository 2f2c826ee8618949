#include "Platform/PlayModule/Format/KvxRecordEncoder.h"

#include <cstring>

#include "Platform/PlayModule/Format/KvxRecordDigest.h"
#include "Platform/PlayModule/Format/KvxRecordHeader.h"
#include "Platform/PlayModule/Format/KvxSignaturePayload.h"
#include "Platform/PlayModule/Format/KvxSigner.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"

namespace PLAY_MODULE {

CKvxRecordEncoder::CKvxRecordEncoder(std::shared_ptr<const CKvxSigner> signer)
    : m_signer(std::move(signer))
{
}

void CKvxRecordEncoder::AddRecord(kvx::RecordKind kind, std::uint16_t flags, std::int64_t timeMs,
                                  std::span<const std::uint8_t> payload,
                                  std::vector<std::uint8_t>& out)
{
    const std::size_t at = out.size();
    out.resize(at + kvx::kHeaderSize);
    out.insert(out.end(), payload.begin(), payload.end());
    SealRecord(kind, flags, timeMs, at, out);
}

// Fills in the header of the record at out[at] whose payload follows it up
// to the end of out; the digest is taken from the bytes just written.
void CKvxRecordEncoder::SealRecord(kvx::RecordKind kind, std::uint16_t flags, std::int64_t timeMs,
                                   std::size_t at, std::vector<std::uint8_t>& out)
{
    KvxRecordHeader header;
    header.kind = kind;
    header.flags = flags;
    header.payloadSize = static_cast<std::uint32_t>(out.size() - at - kvx::kHeaderSize);
    header.sequence = m_sequence++;
    header.timeMs = timeMs;
    std::uint8_t* bytes = out.data() + at;
    header.Encode(bytes);  // only bytes 0..23 are digested
    header.digest = ComputeRecordDigest(m_lastDigest, bytes, {bytes + kvx::kHeaderSize, header.payloadSize});
    header.Encode(bytes);
    m_lastDigest = header.digest;
    m_unsignedRecords = kind != kvx::RecordKind::Signature;
}

void CKvxRecordEncoder::AddSignature(std::int64_t timeMs, std::vector<std::uint8_t>& out)
{
    KvxSignaturePayload block;
    block.keyFingerprint = KeyFingerprint(m_signer->PublicKey());
    block.signedDigest = m_lastDigest;
    block.signature = m_signer->Sign(m_lastDigest);
    std::vector<std::uint8_t> payload;
    block.Encode(payload);
    AddRecord(kvx::RecordKind::Signature, 0, timeMs, payload, out);
}

void CKvxRecordEncoder::AddVideo(const KvxVideoFrame& frame, std::vector<std::uint8_t>& out)
{
    if (!frame.keyFrame) {
        AddRecord(kvx::RecordKind::Video, 0, frame.timeMs, frame.data, out);
        return;
    }
    if (m_signer && m_unsignedRecords) AddSignature(frame.timeMs, out);
    KvxVideoPayload payload;
    payload.codec = frame.codec;
    payload.width = frame.width;
    payload.height = frame.height;
    payload.frameRateMilli = frame.frameRateMilli;
    payload.chainLink = m_lastDigest;
    payload.parameterSets = frame.parameterSets;
    payload.frame = frame.data;
    const std::size_t at = out.size();
    out.resize(at + kvx::kHeaderSize);
    payload.EncodeKey(out);
    SealRecord(kvx::RecordKind::Video, kvx::kFlagKeyFrame, frame.timeMs, at, out);
}

void CKvxRecordEncoder::AddAudio(const KvxAudioPayload& audio, std::int64_t timeMs,
                                 std::vector<std::uint8_t>& out)
{
    const std::size_t at = out.size();
    out.resize(at + kvx::kHeaderSize);
    audio.Encode(out);
    SealRecord(kvx::RecordKind::Audio, 0, timeMs, at, out);
}

void CKvxRecordEncoder::AddOverlay(kvx::RecordKind kind, std::int64_t timeMs,
                                   std::span<const std::uint8_t> payload,
                                   std::vector<std::uint8_t>& out)
{
    AddRecord(kind, 0, timeMs, payload, out);
}

void CKvxRecordEncoder::AddWatermark(std::int64_t timeMs, std::string_view utf8Text,
                                     std::vector<std::uint8_t>& out)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8Text.data());
    AddRecord(kvx::RecordKind::Watermark, 0, timeMs, {bytes, utf8Text.size()}, out);
}

void CKvxRecordEncoder::AddClosingSignature(std::int64_t timeMs, std::vector<std::uint8_t>& out)
{
    if (m_signer && m_unsignedRecords) AddSignature(timeMs, out);
}

}  // namespace PLAY_MODULE
