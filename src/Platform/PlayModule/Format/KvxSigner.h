#pragma once

#include <array>
#include <memory>
#include <string>

#include "Platform/PlayModule/Format/KvxFormat.h"
#include "Platform/PlayModule/Format/KvxPublicKey.h"

typedef struct evp_pkey_st EVP_PKEY;

namespace PLAY_MODULE {

// An Ed25519 private key that signs chain digests.
class CKvxSigner {
public:
    ~CKvxSigner();
    CKvxSigner(const CKvxSigner&) = delete;
    CKvxSigner& operator=(const CKvxSigner&) = delete;

    // Null when the text is no Ed25519 private key in PEM form.
    static std::shared_ptr<CKvxSigner> FromPem(const std::string& pem);
    static std::shared_ptr<CKvxSigner> FromPemFile(const std::string& path);
    // A fresh random key (tests of foreign signatures).
    static std::shared_ptr<CKvxSigner> Generate();

    const KvxPublicKey& PublicKey() const { return m_publicKey; }
    // Signature over the message form of a digest (see SignedMessage).
    std::array<std::uint8_t, 64> Sign(const kvx::Digest& digest) const;

private:
    explicit CKvxSigner(EVP_PKEY* key);
    EVP_PKEY* m_key;
    KvxPublicKey m_publicKey{};
};

}  // namespace PLAY_MODULE
