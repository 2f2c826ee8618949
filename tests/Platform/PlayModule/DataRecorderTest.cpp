#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "Platform/PlayModule/Output/DataRecorder.h"
#include "Platform/PlayModule/Format/KvxRecordEncoder.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;

namespace {

// One stored video record of an unsigned ".kvx" source, as the play thread hands it on.
MediaPacket VideoRecord(CKvxRecordEncoder& encoder, int index, std::size_t size)
{
    const std::vector<std::uint8_t> params{0, 0, 0, 1, 0x67, 1, 2, 3, 0, 0, 0, 1, 0x68, 4};
    const std::vector<std::uint8_t> data(size, std::uint8_t(index));
    KvxVideoFrame frame;
    frame.keyFrame = index % 25 == 0;
    frame.width = 320;
    frame.height = 240;
    frame.timeMs = 1700000000000 + index * 40;
    frame.parameterSets = params;
    frame.data = data;
    MediaPacket packet;
    encoder.AddVideo(frame, packet.rawStorage);
    packet.kind = PacketKind::Video;
    packet.key = frame.keyFrame;
    packet.timeMs = index * 40;
    packet.recordKind = int(kvx::RecordKind::Video);
    packet.raw = packet.rawStorage.data();
    packet.rawSize = int(packet.rawStorage.size());
    return packet;
}

}  // namespace

TEST(DataRecorder, RecordsOfAnUnsignedSourceReachTheFileWhileRecording)
{
    CSampleFolder folder;
    const std::string path = folder.File("copy.kvx");
    AVCodecParameters* video = avcodec_parameters_alloc();
    ASSERT_NE(video, nullptr);
    video->codec_type = AVMEDIA_TYPE_VIDEO;
    video->codec_id = AV_CODEC_ID_H264;
    video->width = 320;
    video->height = 240;
    CDataRecorder recorder;
    ASSERT_TRUE(recorder.Start(path, video, nullptr, 25.0, 1700000000000));
    avcodec_parameters_free(&video);

    // Nothing of an unsigned source is ever left out: it need not wait in
    // memory for a signature that never comes.
    CKvxRecordEncoder encoder;
    std::size_t total = 0;
    for (int i = 0; i < 100; ++i) {
        const MediaPacket packet = VideoRecord(encoder, i, 100'000);
        total += std::size_t(packet.rawSize);
        recorder.OnPacket(packet);
    }
    const std::string working = path + "_";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::filesystem::file_size(working) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GT(std::filesystem::file_size(working), 0u);

    ASSERT_TRUE(recorder.Stop());
    const auto records = ReadAllRecords(path);
    ASSERT_EQ(100u, records.size());
    EXPECT_EQ(total, records.back().offset + records.back().TotalSize());
}
