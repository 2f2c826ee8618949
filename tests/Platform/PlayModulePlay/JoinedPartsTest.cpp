#include "RecordingListener.h"
#include "TestClocks.h"

#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;
using namespace PlayModuleTest;

namespace {

class JoinedParts : public ::testing::TestWithParam<ContainerKind> {
protected:
    void SetUp() override { CPlayModule::SetRenderType(PM_RENDER_QT); }
};

// Four 2 s parts whose key frames are shown 80, 40, 0 and 80 ms after they
// are decoded, as recordings of encoders set up differently joined.
std::string JoinedFile(const CSampleFolder& folder, ContainerKind kind)
{
    const std::string path = folder.File(std::string("joined") + ContainerExtension(kind));
    ContainerSampleOptions options;
    options.seconds = 2;
    options.width = 96;
    options.height = 64;
    options.joinedPartsBFrames = {3, 1, 0, 3};
    EXPECT_TRUE(MakeContainerSample(path, kind, options));
    return path;
}

}  // namespace

TEST_P(JoinedParts, KeySeeksShowTheKeyFrameAtOrBeforeTheTarget)
{
    CSampleFolder folder;
    const std::string path = JoinedFile(folder, GetParam());
    std::vector<std::int64_t> keys;
    {
        RecordingListener listener;
        CPlayModule module(&listener);
        module.SetTimeSource(std::make_shared<RushingTimeSource>());
        ASSERT_EQ(1, module.Open(path.c_str()));
        ASSERT_EQ(1, module.Play(nullptr));
        ASSERT_TRUE(listener.WaitForEnd());
        for (const ShownFrame& frame : listener.Frames())
            if (frame.key) keys.push_back(frame.stampMs);
    }
    ASSERT_GE(keys.size(), 8u);

    RecordingListener listener;
    CPlayModule module(&listener);
    ASSERT_EQ(1, module.Open(path.c_str()));
    ASSERT_EQ(1, module.Play(nullptr));
    module.Pause();
    for (std::int64_t second = 1; second <= 7; ++second) {
        SCOPED_TRACE(::testing::Message() << "key seek to " << second << " s");
        const std::int64_t target = second * 1000;
        const std::int64_t expected = *std::prev(std::upper_bound(keys.begin(), keys.end(), target));
        listener.ClearFrames();
        ASSERT_EQ(1, module.Seek(module.GetFileStartTime() + unsigned(second), 0));
        ASSERT_TRUE(listener.WaitForFrames(1));
        EXPECT_EQ(expected, listener.LastFrame().stampMs);
        EXPECT_EQ(1, listener.LastFrame().key);
    }
}

INSTANTIATE_TEST_SUITE_P(Containers, JoinedParts,
                         ::testing::Values(ContainerKind::Mp4, ContainerKind::Avi, ContainerKind::Ts),
                         [](const auto& info) { return std::string(ContainerExtension(info.param) + 1); });
