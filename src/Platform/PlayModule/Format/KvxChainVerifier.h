#pragma once

#include <cstdint>

#include "Platform/PlayModule/Format/KvxRecord.h"
#include "Platform/PlayModule/Format/KvxSignatureCheck.h"

namespace PLAY_MODULE {

// Checks records, in stream order, against their chained digests and
// signatures. A key frame anchors the chain on the link it carries, so a
// byte range that starts at a key frame checks clean on its own.
class CKvxChainVerifier {
public:
    enum class Result {
        Ok,                // digest and chain hold
        DigestMismatch,    // the record's bytes were changed
        ChainBreak,        // records before it are missing or out of order (sequence or link)
        SignatureValid,    // a signature record that holds
        SignatureInvalid,  // a signature of another key, or of other data
    };

    explicit CKvxChainVerifier(const KvxPublicKey& key = RecorderPublicKey());

    Result Check(const KvxRecord& record);
    // True for a signature record that names a key other than ours.
    bool SignedByAnotherKey(const KvxRecord& record) const;
    // The next record starts a new chain (a new stream or file).
    void Reset();

private:
    bool SequenceFollows(const KvxRecord& record) const;
    Result CheckSignature(const KvxRecord& record) const;

    CKvxSignatureCheck m_signatures;
    bool m_started = false;
    kvx::Digest m_previous{};
    std::uint32_t m_lastSequence = 0;
};

}  // namespace PLAY_MODULE
