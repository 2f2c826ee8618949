#include <gtest/gtest.h>

#include "Platform/PlayModule/Engine/StreamDecoder.h"
#include "Platform/PlayModule/Source/FFmpegMediaSource.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <cstdlib>
#include <string>

using namespace PLAY_MODULE;

namespace {

// One second of a recording with this encoder's sound; false when FFmpeg
// could not write it.
bool MakeRecording(const std::string& path, const std::string& encoder)
{
    const std::string command =
        "ffmpeg -v error -y -f lavfi -i testsrc2=size=64x48:rate=5 -f lavfi -i sine=frequency=440:sample_rate=8000 "
        "-t 1 -c:v libx264 -pix_fmt yuv420p -ac 1 -c:a " + encoder + " '" + path + "'";
    return std::system(command.c_str()) == 0;
}

// Samples of sound decoded from the file.
int DecodedSamples(const std::string& path)
{
    CFFmpegMediaSource source;
    CStreamDecoder decoder;
    if (!source.Open(path) || !decoder.Open(source.AudioParameters(), 1))
        return -1;
    int samples = 0;
    MediaPacket packet;
    AVFramePtr frame = MakeFrame();
    while (source.ReadPacket(packet)) {
        if (packet.kind != PacketKind::Audio || !packet.packet)
            continue;
        decoder.Send(packet.packet.get(), packet.timeMs, packet.hasPts);
        while (decoder.Receive(frame.get()))
            samples += frame->nb_samples;
    }
    return samples;
}

class RecorderSound : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(RecorderSound, DecodesFromAnAviRecording)
{
    PLAY_MODULE_TEST::CSampleFolder folder;
    const std::string path = folder.File("sound.avi");
    ASSERT_TRUE(MakeRecording(path, GetParam()));
    // Most of the second's 8000 samples (an encoder may hold back its last frame).
    EXPECT_GT(DecodedSamples(path), 6000);
}

INSTANTIATE_TEST_SUITE_P(Codecs, RecorderSound,
                         ::testing::Values("g726", "libmp3lame", "pcm_alaw", "pcm_mulaw", "aac"));
