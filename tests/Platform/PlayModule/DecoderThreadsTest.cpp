#include <thread>

#include <gtest/gtest.h>

#include "Platform/PlayModule/Engine/DecoderThreads.h"

using PLAY_MODULE::CDecoderThreads;

TEST(DecoderThreads, FewStreamsShareTheCoresAGridDecodesOneThreadEach)
{
    struct Case {
        int streams, cores, threads;
    };
    for (const Case c : {Case{1, 8, 0}, Case{2, 8, 4}, Case{4, 8, 2}, Case{5, 8, 1}, Case{36, 8, 1},
                         Case{1, 1, 1}, Case{0, 8, 1}}) {
        EXPECT_EQ(CDecoderThreads::ForStreams(c.streams, c.cores), c.threads) << c.streams << " on " << c.cores;
    }
    const int before = CDecoderThreads::PlayingStreams();
    {
        CDecoderThreads::Stream one, two;
        EXPECT_EQ(CDecoderThreads::PlayingStreams(), before + 2);
    }
    EXPECT_EQ(CDecoderThreads::PlayingStreams(), before);
}

TEST(DecoderThreads, SmallPicturesDecodeOnOneThreadUnlessFixed)
{
    const int cores = int(std::thread::hardware_concurrency());
    CDecoderThreads::Stream playing;
    const int streams = CDecoderThreads::PlayingStreams();
    EXPECT_EQ(CDecoderThreads::ForNewDecoder(352, 288), 1);
    EXPECT_EQ(CDecoderThreads::ForNewDecoder(704, 576), CDecoderThreads::ForStreams(streams, cores));
    CDecoderThreads::SetFixedThreads(3);
    EXPECT_EQ(CDecoderThreads::ForNewDecoder(352, 288), 3);
    CDecoderThreads::SetFixedThreads(0);
}
