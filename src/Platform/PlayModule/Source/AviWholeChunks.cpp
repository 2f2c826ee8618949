#include "Platform/PlayModule/Source/AviWholeChunks.h"

#include <array>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Platform/PlayModule/Format/ReadAt.h"

namespace PLAY_MODULE {

namespace {

constexpr std::uint64_t kChunkHeader = 8;
constexpr std::uint64_t kListHeader = 12;

struct Chunk {
    std::array<char, 4> id{};
    std::uint64_t size = 0;
    std::array<char, 4> listType{};
};

bool ReadChunk(int fd, std::uint64_t at, Chunk& chunk)
{
    std::uint8_t bytes[kListHeader] = {};
    if (ReadAt(fd, bytes, sizeof bytes, at) < ssize_t(kChunkHeader))
        return false;
    std::memcpy(chunk.id.data(), bytes, 4);
    chunk.size = std::uint64_t(bytes[4]) | std::uint64_t(bytes[5]) << 8 | std::uint64_t(bytes[6]) << 16 |
                 std::uint64_t(bytes[7]) << 24;
    std::memcpy(chunk.listType.data(), bytes + 8, 4);
    return true;
}

bool Is(const std::array<char, 4>& id, const char* text)
{
    return std::memcmp(id.data(), text, 4) == 0;
}

// The end of the movie list's last whole chunk, from its first; 0 for none.
std::uint64_t WholeMovieEnd(int fd, std::uint64_t at, std::uint64_t fileSize)
{
    std::uint64_t whole = 0;
    Chunk chunk;
    while (ReadChunk(fd, at, chunk)) {
        const std::uint64_t end = at + kChunkHeader + chunk.size + (chunk.size & 1);
        if (end > fileSize)
            break;
        whole = end;
        at = end;
    }
    return whole;
}

}  // namespace

std::uint64_t CAviWholeChunks::End(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct stat status {};
    const std::uint64_t fileSize = ::fstat(fd, &status) == 0 ? std::uint64_t(status.st_size) : 0;
    Chunk riff;
    std::uint64_t whole = fileSize;
    if (ReadChunk(fd, 0, riff) && Is(riff.id, "RIFF") && Is(riff.listType, "AVI ")) {
        whole = 0;
        std::uint64_t at = kListHeader;
        Chunk chunk;
        while (ReadChunk(fd, at, chunk)) {
            if (Is(chunk.id, "LIST") && Is(chunk.listType, "movi")) {
                whole = WholeMovieEnd(fd, at + kListHeader, fileSize);
                break;
            }
            const std::uint64_t end = at + kChunkHeader + chunk.size + (chunk.size & 1);
            if (end > fileSize)
                break;
            at = end;
        }
    }
    ::close(fd);
    return whole;
}

}  // namespace PLAY_MODULE
