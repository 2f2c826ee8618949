#include "Platform/PlayModule/KvxChainVerifier.h"

#include "Platform/PlayModule/KvxRecordDigest.h"
#include "Platform/PlayModule/KvxVideoPayload.h"

namespace PLAY_MODULE {

CKvxChainVerifier::CKvxChainVerifier(const KvxPublicKey& key) : m_signatures(key) {}

void CKvxChainVerifier::Reset()
{
    m_started = false;
    m_previous = {};
    m_lastSequence = 0;
}

bool CKvxChainVerifier::ChainFollows(const KvxRecord& record, const kvx::Digest& anchor) const
{
    if (!m_started) return true;
    return record.header.sequence == m_lastSequence + 1 && anchor == m_previous;
}

CKvxChainVerifier::Result CKvxChainVerifier::CheckSignature(const KvxRecord& record) const
{
    KvxSignaturePayload block;
    if (!block.Decode(record.payload) || block.signedDigest != m_previous)
        return Result::SignatureInvalid;
    return m_signatures.Verify(block) ? Result::SignatureValid : Result::SignatureInvalid;
}

CKvxChainVerifier::Result CKvxChainVerifier::Check(const KvxRecord& record)
{
    kvx::Digest anchor = m_previous;
    KvxVideoPayload video;
    if (record.header.IsKeyFrame() && video.Decode(record.payload, true)) anchor = video.chainLink;

    std::uint8_t header[kvx::kHeaderSize];
    record.header.Encode(header);
    const bool digestHolds =
        ComputeRecordDigest(anchor, header, record.payload) == record.header.digest;
    const bool chainHolds = ChainFollows(record, anchor);

    Result result = Result::Ok;
    if (!digestHolds) result = Result::DigestMismatch;
    else if (!chainHolds) result = Result::ChainBreak;
    else if (record.header.kind == kvx::RecordKind::Signature) result = CheckSignature(record);

    m_started = true;
    m_previous = record.header.digest;
    m_lastSequence = record.header.sequence;
    return result;
}

}  // namespace PLAY_MODULE
