#include "Platform/PlayModule/Format/KvxRecordDigest.h"

#include <memory>

#include <openssl/evp.h>

namespace PLAY_MODULE {

namespace {
struct MdCtxDeleter {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
}  // namespace

kvx::Digest ComputeRecordDigest(const kvx::Digest& previous, const std::uint8_t* header,
                                std::span<const std::uint8_t> payload)
{
    thread_local std::unique_ptr<EVP_MD_CTX, MdCtxDeleter> ctx(EVP_MD_CTX_new());
    unsigned char full[EVP_MAX_MD_SIZE];
    unsigned int fullSize = 0;
    EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr);
    EVP_DigestUpdate(ctx.get(), previous.data(), previous.size());
    EVP_DigestUpdate(ctx.get(), header, kvx::kDigestedHeaderSize);
    if (!payload.empty()) EVP_DigestUpdate(ctx.get(), payload.data(), payload.size());
    EVP_DigestFinal_ex(ctx.get(), full, &fullSize);
    kvx::Digest digest{};
    std::copy(full, full + digest.size(), digest.begin());
    return digest;
}

}  // namespace PLAY_MODULE
