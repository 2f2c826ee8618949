#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "Platform/PlayModule/Source/AviKeptClip.h"
#include "Platform/PlayModule/Source/AviWholeChunks.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/PlainDemux.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

std::size_t Find(const std::vector<std::uint8_t>& bytes, const char* id)
{
    return std::size_t(std::search(bytes.begin(), bytes.end(), id, id + 4) - bytes.begin());
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = std::uint8_t(value >> (8 * i));
}

// A clip as its writer leaves it when killed: the sizes of its RIFF part and
// movie list and its frame counts unset, no index, its last chunk cut short.
std::vector<std::uint8_t> KilledClip(const CSampleFolder& folder, int* frames)
{
    const std::string path = folder.File("finished.avi");
    ContainerSampleOptions options;
    options.seconds = 2;
    options.width = 64;
    options.height = 48;
    EXPECT_TRUE(MakeContainerSample(path, ContainerKind::Avi, options));
    *frames = 50;
    std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    const std::size_t movie = Find(bytes, "movi") - 8;
    const char* picture = "00dc";
    const char* index = "idx1";
    if (movie >= bytes.size()) return {};
    const auto indexStart = std::search(bytes.begin() + std::ptrdiff_t(movie), bytes.end(), index, index + 4);
    const auto last = std::find_end(bytes.begin() + std::ptrdiff_t(movie), indexStart, picture, picture + 4);
    if (last == indexStart) return {};
    bytes.resize(std::size_t(last - bytes.begin()) + 20);  // the last picture cut short
    PutU32(bytes, 4, 0xFFFFFFFF);
    PutU32(bytes, movie + 4, 0xFFFFFFFF);
    PutU32(bytes, Find(bytes, "avih") + 8 + 16, 0);
    PutU32(bytes, Find(bytes, "strh") + 8 + 32, 0);
    PutU32(bytes, Find(bytes, "dmlh") + 8, 0);
    return bytes;
}

int VideoPackets(const std::string& path)
{
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return -1;
    int packets = 0;
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(in, packet) >= 0) {
        packets += in->streams[packet->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? 1 : 0;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&in);
    return packets;
}

}  // namespace

TEST(AviKeptClip, AKeptClipSaysItsLength)
{
    CSampleFolder folder;
    int frames = 0;
    const std::vector<std::uint8_t> killed = KilledClip(folder, &frames);
    ASSERT_FALSE(killed.empty());
    const std::string path = folder.File("kept.avi");
    ASSERT_TRUE(WriteFileBytes(path, killed));

    const std::uint64_t kept = CAviKeptClip::Keep(path);
    EXPECT_EQ(kept, CAviWholeChunks::End(path));
    EXPECT_EQ(ReadFileBytes(path).size(), kept);
    EXPECT_EQ(VideoPackets(path), frames - 1);
    EXPECT_EQ(ContainerLengthMs(path), (frames - 1) * 40);
    // Kept again (a second start): nothing changes.
    const std::vector<std::uint8_t> once = ReadFileBytes(path);
    EXPECT_EQ(CAviKeptClip::Keep(path), kept);
    EXPECT_EQ(ReadFileBytes(path), once);
}

TEST(AviKeptClip, FilesThatAreNoAviAreLeftAsTheyAre)
{
    CSampleFolder folder;
    const std::string path = folder.File("text.avi");
    const std::vector<std::uint8_t> text(300, 'x');
    ASSERT_TRUE(WriteFileBytes(path, text));
    EXPECT_EQ(CAviKeptClip::Keep(path), text.size());
    EXPECT_EQ(ReadFileBytes(path), text);
}
