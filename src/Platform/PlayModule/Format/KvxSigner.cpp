#include "Platform/PlayModule/Format/KvxSigner.h"

#include <fstream>
#include <sstream>

#include <openssl/evp.h>
#include <openssl/pem.h>

#include "Platform/PlayModule/Format/KvxSignatureCheck.h"

namespace PLAY_MODULE {

CKvxSigner::CKvxSigner(EVP_PKEY* key) : m_key(key)
{
    std::size_t size = m_publicKey.size();
    EVP_PKEY_get_raw_public_key(m_key, m_publicKey.data(), &size);
}

CKvxSigner::~CKvxSigner() { EVP_PKEY_free(m_key); }

std::shared_ptr<CKvxSigner> CKvxSigner::FromPem(const std::string& pem)
{
    BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
    if (!bio) return nullptr;
    EVP_PKEY* key = PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    if (!key) return nullptr;
    if (EVP_PKEY_get_id(key) != EVP_PKEY_ED25519) {
        EVP_PKEY_free(key);
        return nullptr;
    }
    return std::shared_ptr<CKvxSigner>(new CKvxSigner(key));
}

std::shared_ptr<CKvxSigner> CKvxSigner::FromPemFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    std::ostringstream text;
    text << in.rdbuf();
    return FromPem(text.str());
}

std::shared_ptr<CKvxSigner> CKvxSigner::Generate()
{
    EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519");
    if (!key) return nullptr;
    return std::shared_ptr<CKvxSigner>(new CKvxSigner(key));
}

std::array<std::uint8_t, 64> CKvxSigner::Sign(const kvx::Digest& digest) const
{
    std::array<std::uint8_t, 64> signature{};
    const auto message = CKvxSignatureCheck::SignedMessage(digest);
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    std::size_t size = signature.size();
    if (ctx && EVP_DigestSignInit(ctx, nullptr, nullptr, nullptr, m_key) == 1)
        EVP_DigestSign(ctx, signature.data(), &size, message.data(), message.size());
    EVP_MD_CTX_free(ctx);
    return signature;
}

}  // namespace PLAY_MODULE
