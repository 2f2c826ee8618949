// The libraries the real program needs loaded before it starts.
#include <gtest/gtest.h>

#include <elf.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The DT_NEEDED names of a 64-bit ELF file; empty when it cannot be read.
std::vector<std::string> NeededLibraries(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::vector<char> bytes(file ? static_cast<std::size_t>(file.tellg()) : 0);
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Elf64_Ehdr header{};
    if (bytes.size() < sizeof header)
        return {};
    std::memcpy(&header, bytes.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        return {};
    auto section = [&](std::size_t index) {
        Elf64_Shdr entry{};
        const std::size_t at = header.e_shoff + index * sizeof entry;
        if (at + sizeof entry <= bytes.size())
            std::memcpy(&entry, bytes.data() + at, sizeof entry);
        return entry;
    };
    std::vector<std::string> needed;
    for (std::size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr dynamic = section(i);
        if (dynamic.sh_type != SHT_DYNAMIC)
            continue;
        const Elf64_Shdr strings = section(dynamic.sh_link);
        for (std::size_t at = dynamic.sh_offset; at + sizeof(Elf64_Dyn) <= dynamic.sh_offset + dynamic.sh_size;
             at += sizeof(Elf64_Dyn)) {
            Elf64_Dyn entry{};
            std::memcpy(&entry, bytes.data() + at, sizeof entry);
            if (entry.d_tag == DT_NEEDED && strings.sh_offset + entry.d_un.d_val < bytes.size())
                needed.emplace_back(bytes.data() + strings.sh_offset + entry.d_un.d_val);
        }
    }
    return needed;
}

bool NamesAny(const std::vector<std::string>& libraries, const char* prefix)
{
    for (const std::string& library : libraries)
        if (library.rfind(prefix, 0) == 0)
            return true;
    return false;
}

}  // namespace

// The playback libraries load after start; the program still needs Qt.
TEST(ProgramLibraries, ThePlaybackLibrariesAreNotLoadedWithTheProgram)
{
    const std::vector<std::string> needed = NeededLibraries(LUMIVEX_PROGRAM);
    ASSERT_TRUE(NamesAny(needed, "libQt6Widgets"));
    for (const char* playback : {"libavformat", "libavcodec", "libavutil", "libswscale", "libswresample",
                                 "libcrypto", "libpulse"})
        EXPECT_FALSE(NamesAny(needed, playback)) << playback;
}
