#include "Platform/PlayModule/Output/AudioOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
}

using PLAY_MODULE::CAudioOutput;

namespace {

AVFrame* ToneFrame(int sampleRate, int samples)
{
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_SAMPLE_FMT_S16;
    frame->sample_rate = sampleRate;
    frame->nb_samples = samples;
    av_channel_layout_default(&frame->ch_layout, 1);
    av_frame_get_buffer(frame, 0);
    auto* pcm = reinterpret_cast<std::int16_t*>(frame->data[0]);
    for (int i = 0; i < samples; ++i)
        pcm[i] = std::int16_t((i / 10) % 2 ? 3000 : -3000);
    return frame;
}

}  // namespace

// Without a sound server Open fails cleanly; with one (a null sink is
// enough) queued sound drains into the device.
TEST(AudioOutput, PlaysQueuedSoundOrFailsCleanly)
{
    CAudioOutput output;
    EXPECT_FALSE(output.Open(0, 1));
    if (!output.Open(8000, 1)) {
        AVFrame* frame = ToneFrame(8000, 800);
        output.Push(*frame);  // ignored while closed
        av_frame_free(&frame);
        EXPECT_EQ(0u, output.QueuedBytes());
        GTEST_SKIP() << "no sound device";
    }
    output.SetGain(0.5);
    AVFrame* frame = ToneFrame(8000, 4000);  // half a second
    output.Push(*frame);
    av_frame_free(&frame);
    EXPECT_GT(output.QueuedBytes(), 0u);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (output.QueuedBytes() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(0u, output.QueuedBytes());
    frame = ToneFrame(8000, 4000);
    output.Push(*frame);
    av_frame_free(&frame);
    output.Clear();
    EXPECT_EQ(0u, output.QueuedBytes());
    output.Close();
}

// A stream whose sound changes layout midway (stereo planar, then mono)
// keeps playing: the second kind is not read as the first.
TEST(AudioOutput, FollowsAChangeOfChannelLayout)
{
    CAudioOutput output;
    if (!output.Open(8000, 2))
        GTEST_SKIP() << "no sound device";
    AVFrame* stereo = av_frame_alloc();
    stereo->format = AV_SAMPLE_FMT_FLTP;
    stereo->sample_rate = 8000;
    stereo->nb_samples = 800;
    av_channel_layout_default(&stereo->ch_layout, 2);
    ASSERT_GE(av_frame_get_buffer(stereo, 0), 0);
    for (int plane = 0; plane < 2; ++plane)
        std::fill_n(reinterpret_cast<float*>(stereo->data[plane]), 800, 0.25f);
    output.Push(*stereo);
    av_frame_free(&stereo);
    output.Clear();
    AVFrame* mono = ToneFrame(8000, 4000);
    output.Push(*mono);
    av_frame_free(&mono);
    EXPECT_GT(output.QueuedBytes(), 0u);
    output.Close();
}
