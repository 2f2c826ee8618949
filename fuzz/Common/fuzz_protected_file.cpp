// Any bytes as a protected layout file: a clear result, never a crash.
#include "Common/CustomLayoutStore.h"
#include "Common/ProtectedFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
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
