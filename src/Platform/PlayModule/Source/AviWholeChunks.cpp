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

// The end of the whole chunks from `at` up to `limit`; `at` for none.
std::uint64_t LastWholeEnd(int fd, std::uint64_t at, std::uint64_t limit)
{
    Chunk chunk;
    while (at + kChunkHeader <= limit && ReadChunk(fd, at, chunk) && EndOf(at, chunk) <= limit)
        at = EndOf(at, chunk);
    return at;
}

struct Part {
    std::uint64_t whole = 0;  // end of its last whole chunk, once a movie list holds one
    bool complete = false;    // every chunk of it whole
};

// The whole chunks of one RIFF part up to `limit`: its header chunks, the
// whole chunks of its movie lists (whose size a killed writer never set) and
// what follows them whole.
Part WalkPart(int fd, std::uint64_t at, std::uint64_t limit)
{
    Part part;
    bool movie = false;
    Chunk chunk;
    while (at + kChunkHeader <= limit && ReadChunk(fd, at, chunk)) {
        const std::uint64_t end = EndOf(at, chunk);
        if (Is(chunk.id, "LIST") && Is(chunk.listType, "movi") && at + kListHeader <= limit) {
            const std::uint64_t movieEnd = LastWholeEnd(fd, at + kListHeader, std::min(end, limit));
            if (movieEnd > at + kListHeader) {
                movie = true;
                part.whole = movieEnd;
            }
            if (movieEnd < end)
                return part;  // cut short, or a chunk in it is not whole
        } else if (end > limit) {
            return part;
        }
        if (movie)
            part.whole = end;
        at = end;
    }
    part.complete = at == limit;
    return part;
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
            const Part part = WalkPart(fd, at + kListHeader, std::min(end, fileSize));
            if (part.whole > 0)
                whole = part.complete && end <= fileSize ? end : part.whole;
            if (!part.complete || end > fileSize)
                break;
            at = end;
        }
    }
    ::close(fd);
    return whole;
}

}  // namespace PLAY_MODULE
