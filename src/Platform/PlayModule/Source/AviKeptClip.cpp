#include "Platform/PlayModule/Source/AviKeptClip.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Platform/PlayModule/Format/ReadAt.h"
#include "Platform/PlayModule/Source/AviWholeChunks.h"

namespace PLAY_MODULE {

namespace {

constexpr std::uint64_t kChunkHeader = 8;
constexpr std::uint64_t kListHeader = 12;
constexpr std::size_t kMaxStreams = 100;  // chunk ids "00dc" to "99wb"
// Places in the header chunks' data.
constexpr std::uint64_t kAvihTotalFrames = 16;
constexpr std::uint64_t kStrhLength = 32;
constexpr std::uint64_t kStrhSampleSize = 44;
constexpr std::uint64_t kStrhSize = 48;

struct Chunk {
    std::uint64_t at = 0;
    std::array<char, 4> id{};
    std::uint64_t size = 0;
    std::array<char, 4> type{};
    std::uint64_t End() const { return at + kChunkHeader + size + (size & 1); }
    bool Is(const char* id4, const char* type4 = nullptr) const
    {
        return std::memcmp(id.data(), id4, 4) == 0 && (!type4 || std::memcmp(type.data(), type4, 4) == 0);
    }
};

struct StreamCount {
    std::uint64_t chunks = 0;
    std::uint64_t bytes = 0;
    std::uint64_t firstPartChunks = 0;
};

class CMender {
public:
    CMender(int fd, std::uint64_t size) : m_fd(fd), m_size(size), m_headerLimit(size) {}

    void Mend()
    {
        std::uint64_t at = 0;
        Chunk part;
        for (; at + kListHeader <= m_size && Read(at, part) && part.Is("RIFF"); ++m_parts) {
            if (part.End() > m_size)
                SetSize(part, m_size);
            MendPart(part, m_parts == 0);
            at = part.End();
        }
        if (m_headerList.size > 0)
            m_headerLimit = std::min(m_headerLimit, m_headerList.End());
        WriteCounts();
    }

private:
    bool Read(std::uint64_t at, Chunk& chunk) const
    {
        std::uint8_t bytes[kListHeader] = {};
        if (ReadAt(m_fd, bytes, sizeof bytes, at) < ssize_t(kChunkHeader))
            return false;
        chunk.at = at;
        std::memcpy(chunk.id.data(), bytes, 4);
        chunk.size = ReadU32(bytes + 4);
        std::memcpy(chunk.type.data(), bytes + 8, 4);
        return true;
    }

    static std::uint32_t ReadU32(const std::uint8_t* bytes)
    {
        return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
               std::uint32_t(bytes[3]) << 24;
    }

    std::uint32_t U32At(std::uint64_t at) const
    {
        std::uint8_t bytes[4] = {};
        return ReadFullyAt(m_fd, bytes, 4, at) ? ReadU32(bytes) : 0;
    }

    void PutU32(std::uint64_t at, std::uint64_t value) const
    {
        const std::uint32_t clipped = value > 0xFFFFFFFFu ? 0xFFFFFFFFu : std::uint32_t(value);
        const std::uint8_t bytes[4] = {std::uint8_t(clipped), std::uint8_t(clipped >> 8), std::uint8_t(clipped >> 16),
                                       std::uint8_t(clipped >> 24)};
        [[maybe_unused]] const ssize_t written = ::pwrite(m_fd, bytes, 4, off_t(at));
    }

    void PutId(std::uint64_t at, const char* id4) const
    {
        [[maybe_unused]] const ssize_t written = ::pwrite(m_fd, id4, 4, off_t(at));
    }

    // The header's counts go inside its list, before the first movie list
    // and the file's end: a damaged chunk that claims more never has them
    // written into the chunks the cut is judged by.
    bool InHeader(std::uint64_t at) const { return at + 4 <= m_headerLimit; }

    void PutHeaderU32(std::uint64_t at, std::uint64_t value) const
    {
        if (InHeader(at))
            PutU32(at, value);
    }

    // A list the cut ends in ends with the file.
    void SetSize(Chunk& chunk, std::uint64_t end) const
    {
        chunk.size = end - chunk.at - kChunkHeader;
        PutU32(chunk.at + 4, chunk.size);
    }

    void MendPart(const Chunk& part, bool first)
    {
        Chunk chunk;
        for (std::uint64_t at = part.at + kListHeader; at + kChunkHeader <= part.End() && Read(at, chunk);
             at = chunk.End()) {
            if (chunk.Is("LIST", "movi")) {
                m_headerLimit = std::min(m_headerLimit, chunk.at);
                if (chunk.End() > part.End())
                    SetSize(chunk, part.End());
                CountMovie(chunk, first);
            } else if (first && chunk.Is("LIST", "hdrl")) {
                m_headerList = chunk;
            }
        }
    }

    void CountMovie(const Chunk& movie, bool firstPart)
    {
        Chunk chunk;
        for (std::uint64_t at = movie.at + kListHeader; at + kChunkHeader <= movie.End() && Read(at, chunk);
             at = chunk.End()) {
            const bool digits = chunk.id[0] >= '0' && chunk.id[0] <= '9' && chunk.id[1] >= '0' && chunk.id[1] <= '9';
            if (!digits)
                continue;
            StreamCount& count = m_counts[std::size_t((chunk.id[0] - '0') * 10 + chunk.id[1] - '0')];
            ++count.chunks;
            count.bytes += chunk.size;
            count.firstPartChunks += firstPart ? 1 : 0;
        }
    }

    // The streams' lengths, the first part's frames and all frames. A clip
    // of more than one part is an OpenDML one: the space its writer kept for
    // the extended header becomes that header, as at a finished clip's end.
    void WriteCounts() const
    {
        std::uint64_t totalFramesAt = 0;
        std::uint64_t allFramesAt = 0;
        std::size_t stream = 0;
        std::uint64_t videoFrames = 0;
        std::uint64_t firstPartFrames = 0;
        Chunk chunk;
        for (std::uint64_t at = m_headerList.at + kListHeader; m_headerList.size > 0 &&
                                                               at + kChunkHeader <= m_headerList.End() && Read(at, chunk);
             at = chunk.End()) {
            if (chunk.Is("LIST", "strl") && stream < kMaxStreams) {
                Chunk head;
                if (Read(chunk.at + kListHeader, head) && head.Is("strh") && head.size >= kStrhSize) {
                    const StreamCount& count = m_counts[stream];
                    const std::uint64_t data = head.at + kChunkHeader;
                    const std::uint32_t sampleSize = U32At(data + kStrhSampleSize);
                    PutHeaderU32(data + kStrhLength, sampleSize == 0 ? count.chunks : count.bytes / sampleSize);
                    if (head.type == std::array<char, 4>{'v', 'i', 'd', 's'} && videoFrames == 0) {
                        videoFrames = count.chunks;
                        firstPartFrames = count.firstPartChunks;
                    }
                }
                ++stream;
            } else if (chunk.Is("avih") && chunk.size > kAvihTotalFrames) {
                totalFramesAt = chunk.at + kChunkHeader + kAvihTotalFrames;
            } else if (chunk.Is("LIST", "odml") || (m_parts > 1 && chunk.Is("JUNK", "odml"))) {
                Chunk head;
                if (Read(chunk.at + kListHeader, head) && head.Is("dmlh") && head.size >= 4 &&
                    InHeader(head.at + kChunkHeader)) {
                    allFramesAt = head.at + kChunkHeader;
                    PutId(chunk.at, "LIST");
                }
            }
        }
        if (totalFramesAt)
            PutHeaderU32(totalFramesAt, firstPartFrames);
        if (allFramesAt)
            PutHeaderU32(allFramesAt, videoFrames);
    }

    int m_fd;
    std::uint64_t m_size;
    std::uint64_t m_headerLimit;
    int m_parts = 0;
    Chunk m_headerList;
    std::array<StreamCount, kMaxStreams> m_counts{};
};

}  // namespace

std::uint64_t CAviKeptClip::Keep(const std::string& path)
{
    const std::uint64_t whole = CAviWholeChunks::End(path);
    const int fd = whole > 0 ? ::open(path.c_str(), O_RDWR | O_CLOEXEC) : -1;
    if (fd < 0)
        return whole;
    struct stat status {};
    const bool sized = ::fstat(fd, &status) == 0;
    if (sized && (std::uint64_t(status.st_size) == whole || ::ftruncate(fd, off_t(whole)) == 0))
        CMender(fd, whole).Mend();
    ::close(fd);
    return whole;
}

}  // namespace PLAY_MODULE
