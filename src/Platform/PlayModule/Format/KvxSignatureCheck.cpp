#include "Platform/PlayModule/Format/KvxSignatureCheck.h"

#include <algorithm>
#include <cstring>

#include <openssl/evp.h>

namespace PLAY_MODULE {

CKvxSignatureCheck::CKvxSignatureCheck(const KvxPublicKey& key)
    : m_key(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size())),
      m_fingerprint(KeyFingerprint(key))
{
}

CKvxSignatureCheck::~CKvxSignatureCheck() { EVP_PKEY_free(m_key); }

std::array<std::uint8_t, 32> CKvxSignatureCheck::SignedMessage(const kvx::Digest& digest)
{
    std::array<std::uint8_t, 32> message{};
    static const char context[16] = "KVX chain v1";
    std::memcpy(message.data(), context, 16);
    std::copy(digest.begin(), digest.end(), message.begin() + 16);
    return message;
}

bool CKvxSignatureCheck::Verify(const KvxSignaturePayload& block) const
{
    if (!m_key || block.algorithm != KvxSignaturePayload::kEd25519) return false;
    if (block.keyFingerprint != m_fingerprint) return false;
    const auto message = SignedMessage(block.signedDigest);
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    bool ok = ctx && EVP_DigestVerifyInit(ctx, nullptr, nullptr, nullptr, m_key) == 1 &&
              EVP_DigestVerify(ctx, block.signature.data(), block.signature.size(), message.data(),
                               message.size()) == 1;
    EVP_MD_CTX_free(ctx);
    return ok;
}

}  // namespace PLAY_MODULE
