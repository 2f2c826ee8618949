#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "Platform/PlayModule/Output/AudioOutput.h"

using PLAY_MODULE::ScaleSamples;
using PLAY_MODULE::WaveLevelScale;

namespace {

std::int16_t Scaled(std::int16_t sample, int level)
{
    std::uint8_t bytes[2];
    std::memcpy(bytes, &sample, 2);
    ScaleSamples(bytes, 2, WaveLevelScale(level));
    std::memcpy(&sample, bytes, 2);
    return sample;
}

}  // namespace

// The pages send -100..100: -100 silent, 0 as recorded, 100 the loudest.
TEST(WaveLevel, MinusHundredIsSilentZeroIsTheRecordingAndLoudSamplesClip)
{
    struct Case {
        int level;
        std::int16_t in;
        std::int16_t out;
    };
    const Case cases[] = {
        {-100, 12000, 0},     {-150, 12000, 0},       {-50, 12000, 6000},   {0, 12000, 12000},
        {0, -32768, -32768},  {50, 12000, 18000},     {100, 12000, 24000},  {100, 30000, 32767},
        {100, -30000, -32768}, {1000, 20000, 32767},  {100, -32768, -32768},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Scaled(c.in, c.level), c.out) << c.level << " " << c.in;
}

TEST(WaveLevel, AnOddByteAtTheEndIsLeftAlone)
{
    std::vector<std::uint8_t> pcm = {0x10, 0x00, 0x7f};
    ScaleSamples(pcm.data(), pcm.size(), 2.0);
    EXPECT_EQ(pcm[2], 0x7f);
    std::int16_t first;
    std::memcpy(&first, pcm.data(), 2);
    EXPECT_EQ(first, 32);
}
