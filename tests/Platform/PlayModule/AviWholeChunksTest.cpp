#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "Platform/PlayModule/Source/AviKeptClip.h"
#include "Platform/PlayModule/Source/AviWholeChunks.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/RiffWalk.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

constexpr std::uint32_t kUnset = 0xFFFFFFFF;  // a size the writer never set
constexpr std::uint64_t kGiB = 1ull << 30;

void PutChunkHead(std::vector<std::uint8_t>& out, const char* id, std::uint32_t size, const char* type = nullptr)
{
    out.insert(out.end(), id, id + 4);
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(size >> (8 * i)));
    if (type) out.insert(out.end(), type, type + 4);
}

// Bytes at given places of a file whose gaps are holes.
class CSparseFile {
public:
    explicit CSparseFile(const std::string& path) : m_fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)) {}
    ~CSparseFile() { ::close(m_fd); }
    void Put(std::uint64_t at, const std::vector<std::uint8_t>& bytes)
    {
        ASSERT_EQ(::pwrite(m_fd, bytes.data(), bytes.size(), off_t(at)), ssize_t(bytes.size()));
    }
    void EndAt(std::uint64_t size) { ASSERT_EQ(::ftruncate(m_fd, off_t(size)), 0); }

private:
    int m_fd;
};

std::uint32_t SizeAt(const std::string& path, std::uint64_t at)
{
    std::uint8_t bytes[4] = {};
    const int fd = ::open(path.c_str(), O_RDONLY);
    const bool read = ::pread(fd, bytes, 4, off_t(at)) == 4;
    ::close(fd);
    return read ? std::uint32_t(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24) : 0;
}

// A clip as the writer leaves it when killed in its second RIFF part: a
// first part past 1 GiB closed with its index, a second ("AVIX") whose sizes
// are unset, its last chunk cut short. The picture data are holes.
struct TwoPartClip {
    std::uint64_t secondPartWholeEnd = 0;
    std::uint64_t firstPartEnd = 0;
};

TwoPartClip MakeTwoPartClip(const std::string& path, int secondPartFrames)
{
    constexpr std::uint32_t kBigFrame = 0x40000100;
    constexpr std::uint32_t kFrame = 40001;  // odd: padded
    CSparseFile file(path);
    std::vector<std::uint8_t> head;
    const std::uint64_t movieStart = 12 + 8 + 4 + 8;  // after "hdrl" with an empty "avih"
    const std::uint64_t movieEnd = movieStart + 12 + 8 + kBigFrame;
    const std::uint64_t firstPartEnd = movieEnd + 8 + 16;
    PutChunkHead(head, "RIFF", std::uint32_t(firstPartEnd - 8), "AVI ");
    PutChunkHead(head, "LIST", 4 + 8, "hdrl");
    PutChunkHead(head, "avih", 0);
    PutChunkHead(head, "LIST", std::uint32_t(movieEnd - movieStart - 8), "movi");
    PutChunkHead(head, "00dc", kBigFrame);
    file.Put(0, head);
    std::vector<std::uint8_t> index;
    PutChunkHead(index, "idx1", 16);
    index.resize(index.size() + 16);
    file.Put(movieEnd, index);

    std::vector<std::uint8_t> second;
    PutChunkHead(second, "RIFF", kUnset, "AVIX");
    PutChunkHead(second, "LIST", kUnset, "movi");
    file.Put(firstPartEnd, second);
    std::uint64_t at = firstPartEnd + second.size();
    for (int i = 0; i < secondPartFrames; ++i) {
        std::vector<std::uint8_t> frame;
        PutChunkHead(frame, i % 3 == 2 ? "01wb" : "00dc", kFrame);
        file.Put(at, frame);
        at += 8 + kFrame + 1;
    }
    std::vector<std::uint8_t> cut;
    PutChunkHead(cut, "00dc", kFrame);
    file.Put(at, cut);
    file.EndAt(at + 8 + kFrame / 2);
    return {at, firstPartEnd};
}

// A finished clip from the same muxer, and the same as a killed writer
// leaves it: sizes unset, no index after its movie list.
std::vector<std::vector<std::uint8_t>> ClipShapes(const CSampleFolder& folder)
{
    const std::string path = folder.File("whole.avi");
    ContainerSampleOptions options;
    options.seconds = 1.2;
    options.width = 64;
    options.height = 48;
    options.bFrames = 2;
    EXPECT_TRUE(MakeContainerSample(path, ContainerKind::Avi, options));
    const std::vector<std::uint8_t> finished = ReadFileBytes(path);
    std::vector<std::uint8_t> killed = finished;
    const auto movie = std::search(killed.begin(), killed.end(), std::begin("movi"), std::end("movi") - 1);
    if (movie == killed.end() || movie - killed.begin() < 8) return {finished};
    const std::size_t list = std::size_t(movie - killed.begin()) - 8;
    const std::uint32_t listSize = std::uint32_t(killed[list + 4] | killed[list + 5] << 8 | killed[list + 6] << 16 |
                                                 std::uint32_t(killed[list + 7]) << 24);
    killed.resize(list + 8 + listSize);
    for (const std::size_t at : {std::size_t(4), list + 4}) std::memset(killed.data() + at, 0xFF, 4);
    return {finished, killed};
}

void ExpectTheCutOfTheReference(const std::string& path)
{
    EXPECT_EQ(CAviWholeChunks::End(path), CRiffWalk::WholeEnd(path)) << path;
}

}  // namespace

TEST(AviWholeChunks, EveryPartPastTheFirstGiBIsKept)
{
    CSampleFolder folder;
    const std::string path = folder.File("two parts.avi");
    const TwoPartClip clip = MakeTwoPartClip(path, 7);
    EXPECT_GT(clip.firstPartEnd, kGiB);
    EXPECT_EQ(CAviWholeChunks::End(path), clip.secondPartWholeEnd);
    ExpectTheCutOfTheReference(path);

    // Kept, the second part and its movie list end with the file.
    EXPECT_EQ(CAviKeptClip::Keep(path), clip.secondPartWholeEnd);
    EXPECT_EQ(CAviWholeChunks::End(path), clip.secondPartWholeEnd);
    EXPECT_EQ(SizeAt(path, clip.firstPartEnd + 4), clip.secondPartWholeEnd - clip.firstPartEnd - 8);
    EXPECT_EQ(SizeAt(path, clip.firstPartEnd + 16), clip.secondPartWholeEnd - clip.firstPartEnd - 20);

    // A second part without a whole chunk: the first part alone.
    const std::string early = folder.File("second part begun.avi");
    MakeTwoPartClip(early, 0);
    EXPECT_EQ(CAviWholeChunks::End(early), clip.firstPartEnd);
    ExpectTheCutOfTheReference(early);
}

// The cut against a walk of every chunk of every RIFF part, over clips cut
// anywhere, damaged, with junk behind them, and two recordings joined.
TEST(AviWholeChunks, CutMatchesAFullRiffWalk)
{
    CSampleFolder folder;
    const std::string path = folder.File("cut.avi");
    std::uint32_t noise = 12345;
    const auto shapes = ClipShapes(folder);
    ASSERT_EQ(shapes.size(), 2u);
    for (const std::vector<std::uint8_t>& clip : shapes) {
        ASSERT_GT(clip.size(), 1000u);
        for (std::size_t size = 0; size <= clip.size(); size += 1 + size % 397) {
            std::vector<std::uint8_t> cut(clip.begin(), clip.begin() + std::ptrdiff_t(size));
            ASSERT_TRUE(WriteFileBytes(path, cut));
            ExpectTheCutOfTheReference(path);
            if (size % 5 == 0) {
                for (int i = 0; i < 24; ++i) cut.push_back(std::uint8_t((noise = noise * 1103515245 + 12345) >> 16));
                ASSERT_TRUE(WriteFileBytes(path, cut));
                ExpectTheCutOfTheReference(path);
            }
        }
        // Sizes and ids overwritten here and there (a chunk running past its
        // list, a list in a list).
        for (std::size_t at = 4; at + 4 <= clip.size(); at += 89) {
            std::vector<std::uint8_t> damaged = clip;
            damaged[at] ^= std::uint8_t(0x40 | at);
            ASSERT_TRUE(WriteFileBytes(path, damaged));
            ExpectTheCutOfTheReference(path);
        }
        std::vector<std::uint8_t> joined = clip;
        joined.insert(joined.end(), clip.begin(), clip.end());
        ASSERT_TRUE(WriteFileBytes(path, joined));
        ExpectTheCutOfTheReference(path);
        if (&clip == &shapes.front()) {
            EXPECT_EQ(CAviWholeChunks::End(path), clip.size());
        }
    }
    MakeTwoPartClip(path, 5);
    ExpectTheCutOfTheReference(path);
}
