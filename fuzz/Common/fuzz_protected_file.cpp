// Any bytes as a protected layout file: a clear result, never a crash.
#include "Common/CustomLayoutStore.h"
#include "Common/ProtectedFile.h"

#include <QCryptographicHash>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/fuzz_layout_" + std::to_string(::getpid()) + ".dat";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    std::list<std::string> layouts;
    LoadCustomLayoutsFrom(path, layouts);
    // The cipher text alone, deciphered as it is.
    const std::string plain = path + ".out";
    DecryptFileDes(path.c_str(), GetProtectedFileKey(), plain.c_str());
    std::remove(plain.c_str());
    std::remove(path.c_str());
    return 0;
}

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

// The file starts with the MD5 of the cipher text after it: made right after
// each mutation, so the deciphered text gets read as layouts.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int)
{
    constexpr std::size_t kDigestSize = 16;
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (size < kDigestSize)
        return size;
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(data + kDigestSize, static_cast<qsizetype>(size - kDigestSize)), QCryptographicHash::Md5);
    std::memcpy(data, digest.constData(), kDigestSize);
    return size;
}
