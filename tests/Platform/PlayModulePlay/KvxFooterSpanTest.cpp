#include "LocalTimes.h"
#include "RecordingListener.h"

#include "Base/SFDateTime.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/Source/KvxFooterKeyFrames.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace PLAY_MODULE;
using namespace PlayModuleTest;
using PLAY_MODULE_TEST::CSampleFolder;

// Read from the footer alone, a span's key frames are those the opened
// recording's lookups find, at its ends and past them; a recording without
// a footer has no such answer.
TEST(KvxFooter, SpanFromTheFooterAloneIsTheOpenedRecordingsSpan)
{
    CSampleFolder folder;
    KVX_WRITER::SyntheticOptions options;
    options.seconds = 5;
    options.width = 160;
    options.height = 120;
    options.gopSeconds = 1;
    const std::string path = folder.MakeKvx(options);
    ASSERT_FALSE(path.empty());
    RecordingListener listener;
    CPlayModule module(&listener);
    ASSERT_EQ(1, module.Open(path.c_str()));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.refFinished > 0; }));
    const std::int64_t t0 = options.startUtcMs;
    for (const std::int64_t start : {t0 - 5000, t0, t0 + 1500, t0 + 4999, t0 + 9000})
        for (const std::int64_t last : {t0 + 999, t0 + 1000, t0 + 3500, t0 + 4999, t0 + 60000}) {
            FRAME_POS first;
            FRAME_POS next;
            ASSERT_EQ(1, module.GetKeyFramePosByAbsTime(LocalSystemTime(start), first));
            ASSERT_EQ(1, module.GetNextKeyFramePosByAbsTime(LocalSystemTime(last), next));
            const auto span = KvxFooterKeyFrames(path, start, last);
            ASSERT_TRUE(span);
            EXPECT_EQ(*span, (KeyFrameSpan{std::uint64_t(first.nFilePos), std::uint64_t(next.nFilePos)}))
                << start - t0 << " " << last - t0;
        }
    module.Close();

    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - 48);
    EXPECT_FALSE(KvxFooterKeyFrames(path, t0, t0 + 1000));
}
