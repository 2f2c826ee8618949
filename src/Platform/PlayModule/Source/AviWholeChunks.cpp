#include "Platform/PlayModule/Source/AviWholeChunks.h"

#include <algorithm>
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

std::uint64_t EndOf(std::uint64_t at, const Chunk& chunk)
{
    return at + kChunkHeader + chunk.size + (chunk.size & 1);
}

// The end of the last whole chunk from `at` up to `limit`; 0 for none.
std::uint64_t LastWholeEnd(int fd, std::uint64_t at, std::uint64_t limit)
{
    std::uint64_t whole = 0;
    Chunk chunk;
    while (at + kChunkHeader <= limit && ReadChunk(fd, at, chunk) && EndOf(at, chunk) <= limit) {
        whole = EndOf(at, chunk);
        at = whole;
    }
    return whole;
}

// The end of the whole chunks of one RIFF part: its header chunks, the whole
// chunks of its movie list (whose size a killed writer never set) and what
// follows that list whole. 0 when its movie list holds no whole chunk.
std::uint64_t WholePartEnd(int fd, std::uint64_t at, std::uint64_t limit)
{
    std::uint64_t whole = 0;
    Chunk chunk;
    while (at + kChunkHeader <= limit && ReadChunk(fd, at, chunk)) {
        const std::uint64_t end = EndOf(at, chunk);
        if (Is(chunk.id, "LIST") && Is(chunk.listType, "movi") && at + kListHeader <= limit) {
            const std::uint64_t movieEnd = LastWholeEnd(fd, at + kListHeader, std::min(end, limit));
            if (movieEnd == 0)
                return 0;
            whole = end <= limit ? end : movieEnd;
        } else if (end <= limit && whole > 0) {
            whole = end;
        }
        if (end > limit)
            break;
        at = end;
    }
    return whole;
}

}  // namespace

// Every RIFF part in turn ("AVI ", then "AVIX" past the first GiB); the
// last may be cut short anywhere, its sizes unset.
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
        std::uint64_t at = 0;
        while (ReadChunk(fd, at, riff) && Is(riff.id, "RIFF") &&
               (at == 0 || Is(riff.listType, "AVIX"))) {
            const std::uint64_t end = EndOf(at, riff);
            const std::uint64_t partWhole = WholePartEnd(fd, at + kListHeader, std::min(end, fileSize));
            if (partWhole == 0)
                break;
            whole = partWhole;
            if (end > fileSize || partWhole < end)
                break;
            at = end;
        }
    }
    ::close(fd);
    return whole;
}

}  // namespace PLAY_MODULE
