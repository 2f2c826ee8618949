#pragma once

#include <array>
#include <cstdint>

#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Format/KvxPublicKey.h"
#include "Platform/PlayModule/Format/KvxSignaturePayload.h"

typedef struct evp_pkey_st EVP_PKEY;

namespace PLAY_MODULE {

// Checks Ed25519 signatures of chain digests against one public key.
class CKvxSignatureCheck {
public:
    explicit CKvxSignatureCheck(const KvxPublicKey& key = RecorderPublicKey());
    ~CKvxSignatureCheck();
    CKvxSignatureCheck(const CKvxSignatureCheck&) = delete;
    CKvxSignatureCheck& operator=(const CKvxSignatureCheck&) = delete;

    // True when the block is an Ed25519 signature of its digest by our key.
    bool Verify(const KvxSignaturePayload& block) const;
    // True when the block names our key as its signer.
    bool NamesOurKey(const KvxSignaturePayload& block) const { return block.keyFingerprint == m_fingerprint; }

    // The bytes that are signed: a fixed context text and the digest.
    static std::array<std::uint8_t, 32> SignedMessage(const kvx::Digest& digest);

private:
    EVP_PKEY* m_key;
    std::array<std::uint8_t, 8> m_fingerprint;
};

}  // namespace PLAY_MODULE
