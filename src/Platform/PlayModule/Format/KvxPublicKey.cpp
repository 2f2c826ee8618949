#include "Platform/PlayModule/Format/KvxPublicKey.h"

#include <algorithm>

#include <openssl/evp.h>

namespace PLAY_MODULE {

const KvxPublicKey& RecorderPublicKey()
{
    // Raw Ed25519 public key of tools/KvxWriter/keys/test-recorder-private.pem.
    static const KvxPublicKey key{0x5e, 0x86, 0xee, 0x74, 0x1a, 0xf6, 0xe8, 0x20,
                                  0x15, 0xe2, 0x57, 0x37, 0x40, 0x9a, 0xc5, 0x29,
                                  0x14, 0xc3, 0x50, 0x8d, 0xb4, 0x3f, 0xaa, 0xcf,
                                  0x13, 0x63, 0x7f, 0x71, 0x46, 0xea, 0x21, 0xa1};
    return key;
}

std::array<std::uint8_t, 8> KeyFingerprint(const KvxPublicKey& key)
{
    unsigned char full[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(key.data(), key.size(), full, &size, EVP_sha256(), nullptr);
    std::array<std::uint8_t, 8> fingerprint{};
    std::copy(full, full + fingerprint.size(), fingerprint.begin());
    return fingerprint;
}

}  // namespace PLAY_MODULE
