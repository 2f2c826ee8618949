#include <boost/make_shared.hpp>

#include <QDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "Base/MessageLoopIds.h"
#include "Base/PlanarLayout.h"
#include "Base/PostTask.h"
#include "Base/SFDateTime.h"
#include "Common/YuvToRgb.h"
#include "PlayManager/EngineTestSupport.h"
#include "PlayManager/AVIRecorder.h"
#include "PlayManager/PlayManager.h"
#include "PlayManager/PlayObject.h"
#include "PlayManager/ReferenceDecode.h"
#include "PlayManager/RenderSetup.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

using namespace PlayManagerTest;

namespace {

KVX_WRITER::SyntheticOptions SmallKvx(double seconds = 4)
{
    KVX_WRITER::SyntheticOptions options;
    options.seconds = seconds;
    options.width = 320;
    options.height = 240;
    options.gopSeconds = 1;
    return options;
}

// Our real library under a manager made on the GUI thread; frames come as
// Qt pictures.
class RealPlaybackTest : public EngineLoopTest {
protected:
    void SetUp() override
    {
        EngineLoopTest::SetUp();
        InitRender();
        PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_QT);
        manager = CPlayManager::Create();
        listener = boost::make_shared<RecordingListener>(std::this_thread::get_id());
    }

    void TearDown() override
    {
        RunOnPlayLoop([this] { manager.reset(); });
        EngineLoopTest::TearDown();
    }

    void* OpenAndPlay(const std::string& path, int playType = 0,
                      const std::vector<std::uint8_t>& index = {})
    {
        void* handle = nullptr;
        RunOnPlayLoop([&] {
            handle = manager->CreatePlayObject(playType);
            manager->SetPlayObjectListener(handle, listener);
            if (!index.empty()) {
                std::vector<std::uint8_t> copy = index;
                manager->SetRefValue(handle, copy.data(), unsigned(copy.size()));
            }
            EXPECT_EQ(1, manager->Open(handle, path.c_str()));
            EXPECT_EQ(1, manager->Play(handle, nullptr));
        });
        return handle;
    }

    void Close(void* handle)
    {
        RunOnPlayLoop([&] {
            manager->Stop(handle);
            manager->Close(handle);
            manager->DestroyPlayObject(handle);
        });
    }

    int CountFor(const std::string& name, void* handle) const
    {
        int count = 0;
        for (const auto& event : listener->Events())
            count += event.name == name && event.handle == handle;
        return count;
    }

    PLAY_MODULE_TEST::CSampleFolder folder;
    boost::shared_ptr<CPlayManager> manager;
    boost::shared_ptr<RecordingListener> listener;
};

}  // namespace

TEST_F(RealPlaybackTest, FramesReachTheGuiThreadAsTheReferenceDecodeShowsThem)
{
    const std::string path = folder.File("sample.mp4");
    ASSERT_TRUE(PLAY_MODULE_TEST::MakeContainerSample(path, PLAY_MODULE_TEST::ContainerKind::Mp4));
    std::vector<std::uint8_t> reference;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(DecodeFirstPictureRgb(path, reference, width, height));

    listener->keepAll = true;
    void* handle = OpenAndPlay(path);
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("QtFrame") >= 3; }));
    EXPECT_FALSE(listener->WrongThreadSeen());
    ASSERT_EQ(reference.size(), listener->pictures.front().size());
    EXPECT_EQ(width, listener->lastWidth);
    EXPECT_EQ(height, listener->lastHeight);
    EXPECT_TRUE(reference == listener->pictures.front());
    Close(handle);
}

TEST_F(RealPlaybackTest, DirectDrawFramesCarryTheLibrarysPlanes)
{
    const std::string path = folder.File("dd.mp4");
    ASSERT_TRUE(PLAY_MODULE_TEST::MakeContainerSample(path, PLAY_MODULE_TEST::ContainerKind::Mp4));
    std::vector<std::uint8_t> reference;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(DecodeFirstPictureRgb(path, reference, width, height));
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_DDRAW);
    void* handle = OpenAndPlay(path);
    const bool arrived = ProcessUntil([&] { return CountFor("DDFrame", handle) >= 3; });
    Close(handle);
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_QT);
    ASSERT_TRUE(arrived);
    EXPECT_FALSE(listener->WrongThreadSeen());
    EXPECT_EQ(0, listener->Count("QtFrame"));
    EXPECT_EQ(width, listener->lastWidth);
    EXPECT_EQ(height, listener->lastHeight);
    EXPECT_EQ(std::size_t(width) * height, listener->lastPicture.size());
}

TEST_F(RealPlaybackTest, IndexBytesComeBackAndAReopenNeedsNoScan)
{
    const std::string path = folder.MakeKvx(SmallKvx());
    ASSERT_FALSE(path.empty());
    void* handle = OpenAndPlay(path);
    ASSERT_TRUE(ProcessUntil([&] { return CountFor("FileRefFinished", handle) == 1; }));
    std::vector<std::uint8_t> index;
    RunOnPlayLoop([&] {
        unsigned length = 0;
        manager->GetRefValue(handle, nullptr, &length);
        ASSERT_GT(length, 0u);
        index.resize(length);
        EXPECT_NE(0, manager->GetRefValue(handle, index.data(), &length));
    });
    Close(handle);

    void* reopened = OpenAndPlay(path, 0, index);
    RunOnPlayLoop([&] {
        auto object = manager->GetSptrPlayObject(reopened);
        ASSERT_TRUE(object);
        EXPECT_EQ(2, object->Library()->NativeModule()->GetIndexOrigin());
    });
    Close(reopened);
}

TEST_F(RealPlaybackTest, AGroupOfTwoChannelsReportsOnePosition)
{
    const std::string first = folder.MakeKvx(SmallKvx(), true, "Cam01", 1);
    const std::string second = folder.MakeKvx(SmallKvx(), true, "Cam01", 2);
    void* a = OpenAndPlay(first);
    void* b = OpenAndPlay(second);
    RunOnPlayLoop([&] {
        void* group = manager->CreateGroupPlayObject();
        manager->SetListener(listener);
        EXPECT_NE(0, manager->GroupPlay_Open(group));
        EXPECT_NE(0, manager->GroupPlay_AddToPlayGroup(group, a));
        EXPECT_NE(0, manager->GroupPlay_AddToPlayGroup(group, b));
        manager->SetGroupPlayFlag(1);
    });
    ASSERT_TRUE(ProcessUntil([&] { return CountFor("Position", nullptr) >= 2; }));
    const int groupReports = CountFor("Position", nullptr);
    EXPECT_LE(groupReports, CountFor("Position", a) + 1);  // one per tick, not one per member
    const std::uint32_t start = 1451703845;                // the recordings' first second (UTC)
    for (const auto& event : listener->Events()) {
        if (event.name == "Position" && event.handle == nullptr) {
            EXPECT_GE(event.first, start);
            EXPECT_LE(event.first, start + 5);
        }
    }
    Close(a);
    Close(b);
}

TEST_F(RealPlaybackTest, AOneFileAviRecordingIsNamedFromItsFirstFrame)
{
    const std::string path = folder.MakeKvx(SmallKvx(2));
    const std::string clip = folder.File("20200101000000_5.avi");
    void* handle = OpenAndPlay(path);
    RunOnPlayLoop([&] { EXPECT_NE(0, manager->StartDataRecord(handle, clip.c_str(), 1)); });
    ASSERT_TRUE(ProcessUntil([&] { return CountFor("FileEnd", handle) == 1; }));
    RunOnPlayLoop([&] { EXPECT_NE(0, manager->StopDataRecord(handle)); });
    Close(handle);
    EXPECT_FALSE(std::filesystem::exists(clip));
    std::vector<std::string> clips;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        if (entry.path().extension() == ".avi")
            clips.push_back(entry.path().filename().string());
    ASSERT_EQ(clips.size(), 1u);
    const auto first = SF_SOFT_BASE::CSFDateTime(std::stoi(clips[0].substr(0, 4)), std::stoi(clips[0].substr(4, 2)),
                                                 std::stoi(clips[0].substr(6, 2)), std::stoi(clips[0].substr(8, 2)),
                                                 std::stoi(clips[0].substr(10, 2)), std::stoi(clips[0].substr(12, 2)))
                           .ToTime();
    EXPECT_GE(first, 1451703845u) << clips[0];  // the recording's first seconds
    EXPECT_LE(first, 1451703846u) << clips[0];
    EXPECT_EQ(clips[0].substr(14), "_5.avi");
}

TEST_F(RealPlaybackTest, AnAviRecordingIsNamedFromItsFrameTimeAndOpens)
{
    const std::string path = folder.MakeKvx(SmallKvx(6));
    const std::string clipFolder = folder.File("video");
    std::filesystem::create_directories(clipFolder);
    const std::string clip = clipFolder + "/20200101000000[2]_77.avi";
    void* handle = OpenAndPlay(path);
    RunOnPlayLoop([&] {
        EXPECT_NE(0, manager->StartDataRecord(handle, clip.c_str(), 1));
        manager->GetSptrPlayObject(handle)->Recorder()->SetSplitSize(32 * 1024);
    });
    ProcessUntil([] { return false; }, 2500);
    RunOnPlayLoop([&] { EXPECT_NE(0, manager->StopDataRecord(handle)); });
    Close(handle);

    const std::string kSuffix = "[2]_77.avi";  // the clip's tag is kept
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(clipFolder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(OpensAsVideo(entry.path().string())) << name;
        ASSERT_EQ(kSuffix, name.substr(std::min(name.size(), std::size_t(14)))) << name;
        ASSERT_TRUE(std::all_of(name.begin(), name.begin() + 14, ::isdigit)) << name;
        ++files;
        const auto field = [&](int at, int size) { return std::stoi(name.substr(at, size)); };
        const auto time = SF_SOFT_BASE::CSFDateTime(field(0, 4), field(4, 2), field(6, 2),
                                                    field(8, 2), field(10, 2), field(12, 2))
                              .ToTime();
        EXPECT_GE(time, 1451703845u) << name;  // within the recording
        EXPECT_LE(time, 1451703845u + 6) << name;
    }
    // The first file too carries its frames' time, not the page's.
    EXPECT_FALSE(std::filesystem::exists(clip));
    EXPECT_GE(files, 2);
}

TEST_F(RealPlaybackTest, OpeningAndClosingWhileFramesAreInFlightNeverHangs)
{
    const std::string kvx = folder.MakeKvx(SmallKvx(3));
    const std::string mp4 = folder.File("stress.mp4");
    ASSERT_TRUE(PLAY_MODULE_TEST::MakeContainerSample(mp4, PLAY_MODULE_TEST::ContainerKind::Mp4));
    for (int round = 0; round < 12; ++round) {
        listener->holdTokens = round % 3 == 1;  // a window that has not drawn yet
        void* handle = OpenAndPlay(round % 2 ? kvx : mp4);
        ASSERT_TRUE(ProcessUntil([&] { return CountFor("QtFrame", handle) >= 1; })) << round;
        if (round % 4 == 3)
            RunOnPlayLoop([&] { manager->OpenIVSTrack(handle, 7); });
        Close(handle);
        listener->heldTokens.clear();
    }
    // A manager dropped with a playing object in it.
    listener->holdTokens = true;
    void* handle = OpenAndPlay(kvx);
    ASSERT_TRUE(ProcessUntil([&] { return CountFor("QtFrame", handle) >= 2; }));
    RunOnPlayLoop([&] { manager.reset(); });
    listener->heldTokens.clear();
    manager = CPlayManager::Create();
}

TEST_F(RealPlaybackTest, ClosingNeedsNoHelpFromABusyGuiThread)
{
    const std::string path = folder.MakeKvx(SmallKvx(3));
    listener->holdTokens = true;  // frames handed over but not drawn yet
    void* handle = OpenAndPlay(path);
    ASSERT_TRUE(ProcessUntil([&] { return CountFor("QtFrame", handle) >= 2; }));
    auto closed = std::make_shared<std::atomic<bool>>(false);
    auto task = LumivexBase::MakeTask<int>([closed, handle, manager = manager] {
        manager->Stop(handle);
        manager->Close(handle);
        manager->DestroyPlayObject(handle);
        *closed = true;
    });
    LumivexBase::PostTaskToLoop(LumivexBase::ML_PLAY, task, __FILE__, __LINE__, "close", "test");
    // The GUI thread is busy: it runs no events while the file closes.
    for (int i = 0; i < 1000 && !*closed; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(closed->load());
    listener->heldTokens.clear();
}

namespace {

bool PositionSeen(const RecordingListener& listener, void* handle, unsigned time, std::size_t from)
{
    const auto events = listener.Events();
    for (std::size_t i = from; i < events.size(); ++i)
        if (events[i].name == "Position" && events[i].handle == handle && events[i].first == time)
            return true;
    return false;
}

}  // namespace

TEST_F(RealPlaybackTest, PausedSeeksAndStepsReportTheNewPositionAndDirectionOneIsBackward)
{
    const unsigned start = 1451703845;  // the recording's first second (UTC)
    const std::string path = folder.MakeKvx(SmallKvx(4));
    void* handle = OpenAndPlay(path, PLAY_TYPE_EXACT);
    ASSERT_TRUE(ProcessUntil([&] { return CountFor("QtFrame", handle) >= 1; }));
    RunOnPlayLoop([&] {
        EXPECT_EQ(manager->GetFileStartTime(handle, 0), start);
        EXPECT_EQ(manager->GetFileEndTime(handle, 0), start + 4);
        manager->Pause(handle);
    });
    std::size_t from = listener->Events().size();
    RunOnPlayLoop([&] { manager->SeekByTimeExact(handle, start + 3, 0); });
    EXPECT_TRUE(ProcessUntil([&] { return PositionSeen(*listener, handle, start + 3, from); }));

    from = listener->Events().size();
    RunOnPlayLoop([&] { manager->StepBackward(handle); });  // 2.96 s
    EXPECT_TRUE(ProcessUntil([&] { return PositionSeen(*listener, handle, start + 2, from); }));

    from = listener->Events().size();
    RunOnPlayLoop([&] {
        EXPECT_EQ(1, manager->SetPlayDirection(handle, 1));
        manager->Resume(handle);
    });
    EXPECT_TRUE(ProcessUntil([&] { return PositionSeen(*listener, handle, start, from); }));
    EXPECT_FALSE(PositionSeen(*listener, handle, start + 3, from));
    Close(handle);
}

namespace {

// The largest difference of one colour channel between two RGBA pictures.
int LargestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    int largest = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (i % 4 != 3)
            largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

}  // namespace

TEST_F(RealPlaybackTest, OddSizedPicturesShowAsFFmpegConvertsThemOnEitherPath)
{
    // 35 x 21 red, coded 4:2:0 at that odd size.
    const std::string path = folder.File("odd.avi");
    const std::string make = "ffmpeg -v error -y -f lavfi -i color=red:size=70x42:rate=25 -vf scale=35:21,format=yuv420p "
                             "-t 1 -c:v mpeg4 -q:v 2 " + path;
    ASSERT_EQ(0, std::system(make.c_str()));
    std::vector<std::uint8_t> reference;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(DecodeFirstPictureByFFmpeg(path, reference, width, height));
    ASSERT_EQ(width, 35);
    ASSERT_EQ(height, 21);
    ASSERT_GT(reference[0], 200);  // red
    ASSERT_LT(reference[1], 60);

    listener->keepAll = true;
    void* handle = OpenAndPlay(path);
    ASSERT_TRUE(ProcessUntil([&] { return CountFor("QtFrame", handle) >= 1; }));
    Close(handle);
    ASSERT_EQ(reference.size(), listener->pictures.front().size());
    EXPECT_LE(LargestDifference(reference, listener->pictures.front()), 8);

    // The DirectDraw path hands over the planes; the window's fallback shows
    // them as the shared layout places them (U first on this path).
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_DDRAW);
    handle = OpenAndPlay(path);
    const bool arrived = ProcessUntil([&] { return CountFor("DDFrame", handle) >= 1; });
    Close(handle);
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_QT);
    ASSERT_TRUE(arrived);
    const SF_SOFT_BASE::PlanarLayout layout{width, height};
    ASSERT_EQ(listener->lastPlanar.size(), layout.Size());
    std::vector<std::uint8_t> shown(reference.size());
    const std::uint8_t* planes = listener->lastPlanar.data();
    ConvertYuv420ToRgb32(reinterpret_cast<std::uint32_t*>(shown.data()), width, planes,
                         planes + layout.SecondChromaOffset(), planes + layout.FirstChromaOffset(), width,
                         layout.ChromaWidth(), width, height);
    EXPECT_LE(LargestDifference(reference, shown), 8);
}

TEST_F(RealPlaybackTest, OverlaysAreDrawnOnTheQtPathToo)
{
    const std::string path = folder.MakeKvx(SmallKvx(2));
    auto firstPictures = [&](bool track) {
        listener->keepAll = true;
        listener->pictures.clear();
        void* handle = nullptr;
        RunOnPlayLoop([&] {
            handle = manager->CreatePlayObject(0);
            manager->SetPlayObjectListener(handle, listener);
            EXPECT_EQ(1, manager->Open(handle, path.c_str()));
            if (track) {
                EXPECT_EQ(1, manager->OpenIVSTrack(handle, 7));
            }
            EXPECT_EQ(1, manager->Play(handle, nullptr));
        });
        EXPECT_TRUE(ProcessUntil([&] { return CountFor("QtFrame", handle) >= 12; }));
        Close(handle);
        const auto count = std::min<std::ptrdiff_t>(12, std::ptrdiff_t(listener->pictures.size()));
        return std::vector<std::vector<std::uint8_t>>(listener->pictures.begin(), listener->pictures.begin() + count);
    };
    const auto plain = firstPictures(false);
    const auto drawn = firstPictures(true);
    ASSERT_EQ(plain.size(), drawn.size());
    int differing = 0;
    for (std::size_t i = 0; i < plain.size(); ++i)
        differing += plain[i] != drawn[i];
    EXPECT_GT(differing, 0);
}
