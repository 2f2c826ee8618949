#include "Platform/PlayModule/Format/KvxChainVerifier.h"

#include "Platform/PlayModule/Format/KvxRecordDigest.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"

namespace PLAY_MODULE {

CKvxChainVerifier::CKvxChainVerifier(const KvxPublicKey& key) : m_signatures(key) {}

void CKvxChainVerifier::Reset()
{
    m_started = false;
    m_previous = {};
    m_lastSequence = 0;
}

bool CKvxChainVerifier::SequenceFollows(const KvxRecord& record) const
{
    return !m_started || record.header.sequence == m_lastSequence + 1;
}

CKvxChainVerifier::Result CKvxChainVerifier::CheckSignature(const KvxRecord& record) const
{
    KvxSignaturePayload block;
    if (!block.Decode(record.payload) || block.signedDigest != m_previous)
        return Result::SignatureInvalid;
    return m_signatures.Verify(block) ? Result::SignatureValid : Result::SignatureInvalid;
}

bool CKvxChainVerifier::SignedByAnotherKey(const KvxRecord& record) const
{
    KvxSignaturePayload block;
    return record.header.kind == kvx::RecordKind::Signature && block.Decode(record.payload) &&
           !m_signatures.NamesOurKey(block);
}

CKvxChainVerifier::Result CKvxChainVerifier::Check(const KvxRecord& record)
{
    kvx::Digest anchor = m_previous;
    KvxVideoPayload video;
    if (record.header.IsKeyFrame() && video.Decode(record.payload, true)) anchor = video.chainLink;

    std::uint8_t header[kvx::kHeaderSize];
    record.header.Encode(header);
    // The reserved bytes lie outside the digest: the writer leaves them 0.
    const bool digestHolds = record.header.reserved == 0 &&
                             ComputeRecordDigest(anchor, header, record.payload) == record.header.digest;
    // A gap in the numbering means records are missing or out of order; the
    // digest, which chains on the record before, cannot tell that apart.
    Result result = Result::Ok;
    if (!SequenceFollows(record)) result = Result::ChainBreak;
    else if (!digestHolds) result = Result::DigestMismatch;
    else if (m_started && anchor != m_previous) result = Result::ChainBreak;
    else if (record.header.kind == kvx::RecordKind::Signature) result = CheckSignature(record);

    m_started = true;
    m_previous = record.header.digest;
    m_lastSequence = record.header.sequence;
    return result;
}

}  // namespace PLAY_MODULE
