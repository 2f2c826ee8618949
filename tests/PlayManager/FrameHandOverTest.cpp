#include <atomic>
#include <thread>

#include "Common/YuvToRgb.h"
#include "PlayManager/FakeEngineFixture.h"

using namespace PlayManagerTest;

namespace {

// A library thread that fires frames until told to finish.
class LibraryThread {
public:
    explicit LibraryThread(std::function<void()> work)
        : m_thread([this, work = std::move(work)] {
              work();
              m_done = true;
          })
    {
    }
    ~LibraryThread()
    {
        ProcessUntil([&] { return Done(); }, 30000);
        m_thread.join();
    }
    bool Done() const { return m_done; }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// Keeps every picture buffer it receives, to see whether it changes later.
class KeepingListener : public IPlayObjectListener {
public:
    int OnQTRenderSubWin(void*, boost::shared_ptr<unsigned char[]> frame, int, int,
                         boost::shared_ptr<SynSmartPtr>) override
    {
        kept.push_back(frame);
        firstBytes.push_back(frame[0]);
        return 1;
    }
    std::vector<boost::shared_ptr<unsigned char[]>> kept;
    std::vector<unsigned char> firstBytes;
};

// Takes the Qt path's pictures planar and keeps each one it receives.
class PlanarListener : public IPlayObjectListener {
public:
    explicit PlanarListener(std::thread::id gui) : m_gui(gui) {}
    bool TakesPlanarQtFrames() const override { return true; }
    int OnQTPlanarSubWin(void*, boost::shared_ptr<unsigned char[]> frame, int width, int height,
                         boost::shared_ptr<SynSmartPtr>) override
    {
        wrongThread = wrongThread || std::this_thread::get_id() != m_gui;
        kept.push_back(frame);
        firstBytes.push_back(frame[0]);
        sizes.emplace_back(width, height);
        return 1;
    }
    int OnQTRenderSubWin(void*, boost::shared_ptr<unsigned char[]>, int, int,
                         boost::shared_ptr<SynSmartPtr>) override
    {
        ++rgbFrames;
        return 1;
    }
    std::vector<boost::shared_ptr<unsigned char[]>> kept;
    std::vector<unsigned char> firstBytes;
    std::vector<std::pair<int, int>> sizes;
    int rgbFrames = 0;
    bool wrongThread = false;

private:
    std::thread::id m_gui;
};

class FrameHandOverTest : public FakeEngineTest {
protected:
    void SetUp() override
    {
        FakeEngineTest::SetUp();
        handle = MakeObject(0);
        library = libraries.At(0);
    }

    void* handle = nullptr;
    FakePlayLibrary* library = nullptr;
};

}  // namespace

TEST_F(FrameHandOverTest, AQtFrameArrivesAsRgbOnTheGuiThread)
{
    LibraryThread([&] { library->FireFrame(2, 64, 48, 3, 235); });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("QtFrame") == 1; }));
    EXPECT_FALSE(listener->WrongThreadSeen());
    EXPECT_EQ(64, listener->lastWidth);
    EXPECT_EQ(48, listener->lastHeight);
    ASSERT_EQ(64u * 48 * 4, listener->lastPicture.size());
    EXPECT_EQ(254, listener->lastPicture[0]);
    EXPECT_EQ(254, listener->lastPicture[1]);
    EXPECT_EQ(254, listener->lastPicture[2]);
    EXPECT_EQ(255, listener->lastPicture[3]);
    EXPECT_EQ(64, library->GetCurrentPlayingVideoFrameWidth());
    EXPECT_EQ(48, library->GetCurrentPlayingVideoFrameHeight());
}

TEST_F(FrameHandOverTest, AHeldTokenHoldsTheLibraryThreadUntilReleased)
{
    listener->holdTokens = true;
    std::atomic<int> fired{0};
    {
        LibraryThread thread([&] {
            for (int i = 0; i < 3; ++i) {
                library->FireFrame(2, 32, 32);
                ++fired;
            }
        });
        ASSERT_TRUE(ProcessUntil([&] { return fired >= 1 && listener->heldTokens.size() >= 2; }));
        ProcessUntil([] { return false; }, 100);
        EXPECT_EQ(1, fired.load());  // the second frame waits until one is drawn
        listener->heldTokens.clear();
        listener->holdTokens = false;
    }
    EXPECT_EQ(3, fired.load());
}

TEST_F(FrameHandOverTest, StopLetsAWaitingLibraryThreadGo)
{
    listener->holdTokens = true;
    LibraryThread thread([&] {
        for (int i = 0; i < 5; ++i)
            library->FireFrame(2, 32, 32);
    });
    ASSERT_TRUE(ProcessUntil([&] { return listener->heldTokens.size() >= 2; }));
    OnPlay([&] { manager->Stop(handle); });
    EXPECT_TRUE(ProcessUntil([&] { return thread.Done(); }));
}

TEST_F(FrameHandOverTest, DestroyingTheObjectLetsAWaitingLibraryThreadGo)
{
    listener->holdTokens = true;
    LibraryThread thread([&] {
        for (int i = 0; i < 3; ++i)
            library->FireFrame(2, 32, 32);
    });
    ASSERT_TRUE(ProcessUntil([&] { return listener->heldTokens.size() >= 2; }));
    // The fake does not join its caller, so the object may go while the
    // thread still waits; the wait gives up on the stopping library.
    library->stopping = 1;
    EXPECT_TRUE(ProcessUntil([&] { return thread.Done(); }));
}

TEST_F(FrameHandOverTest, PicturesLargerThanTheOldFixedBufferAreSizedFromTheFrame)
{
    listener->keepAll = true;
    LibraryThread([&] {
        library->FireFrame(2, 64, 48);
        library->FireFrame(2, 2600, 1960, 3, 235);
        library->FireFrame(2, 32, 16);
    });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("QtFrame") == 3; }));
    ASSERT_EQ(3u, listener->pictures.size());
    EXPECT_EQ(2600u * 1960 * 4, listener->pictures[1].size());
    const auto& large = listener->pictures[1];
    EXPECT_EQ((std::vector<std::uint8_t>{254, 254, 254, 255}),
              std::vector<std::uint8_t>(large.end() - 4, large.end()));
    EXPECT_EQ(32, library->GetCurrentPlayingVideoFrameWidth());
}

TEST_F(FrameHandOverTest, APictureTheGuiStillHoldsIsNeverOverwritten)
{
    auto keeping = boost::make_shared<KeepingListener>();
    OnPlay([&] { manager->SetPlayObjectListener(handle, keeping); });
    LibraryThread([&] {
        library->FireFrame(2, 16, 16, 3, 16);   // black
        library->FireFrame(2, 16, 16, 3, 235);  // white
        library->FireFrame(2, 16, 16, 3, 16);   // black
    });
    ASSERT_TRUE(ProcessUntil([&] { return keeping->kept.size() == 3; }));
    EXPECT_EQ(0, keeping->kept[0][0]);
    EXPECT_EQ(254, keeping->kept[1][0]);
    EXPECT_EQ(0, keeping->kept[2][0]);
    EXPECT_EQ((std::vector<unsigned char>{0, 254, 0}), keeping->firstBytes);
}

TEST_F(FrameHandOverTest, ADirectDrawFrameCarriesItsPlanesAndOverlayValues)
{
    OnPlay([&] { manager->OpenIVSTrack(handle, 7); });
    LibraryThread([&] { library->FireFrame(1, 16, 8, 3, 77); });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("DDFrame") == 1; }));
    const ListenerEvent event = listener->Events().back();
    EXPECT_EQ(1234u, event.second);  // the library's overlay value
    EXPECT_EQ(std::vector<std::uint8_t>(16 * 8, 77), listener->lastPicture);
    OnPlay([&] { manager->CloseIVSTrack(handle); });
}

TEST_F(FrameHandOverTest, ADirectDrawFrameNamesNoOverlayPortWithoutAnOpenTrack)
{
    LibraryThread([&] { library->FireFrame(1, 16, 8); });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("DDFrame") == 1; }));
    EXPECT_EQ(unsigned(-1), listener->Events().back().first);

    OnPlay([&] {
        manager->OpenIVSTrack(handle, 7);
        manager->CloseIVSTrack(handle);
    });
    LibraryThread([&] { library->FireFrame(1, 16, 8); });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("DDFrame") == 2; }));
    EXPECT_EQ(unsigned(-1), listener->Events().back().first);
}

TEST_F(FrameHandOverTest, AStoppedObjectPresentsNoDirectDrawFrames)
{
    OnPlay([&] { manager->Stop(handle); });
    LibraryThread([&] { library->FireFrame(1, 16, 8); });
    Settle();
    EXPECT_EQ(0, listener->Count("DDFrame"));
}

TEST_F(FrameHandOverTest, OtherRenderKindsAndShortFramesPresentNothing)
{
    LibraryThread([&] {
        library->FireFrame(0, 16, 16);
        library->FireFrame(5, 16, 16);
        library->FireFrame(2, 1, 1);
        library->FireShortFrame(2, 64, 64);
        library->FireShortFrame(1, 64, 64);
    });
    Settle();
    EXPECT_EQ(0, listener->Count("QtFrame"));
    EXPECT_EQ(0, listener->Count("DDFrame"));
}

TEST_F(FrameHandOverTest, AListenerTakingPlanarPicturesGetsTheQtFramesPlanes)
{
    auto planar = boost::make_shared<PlanarListener>(std::this_thread::get_id());
    OnPlay([&] { manager->SetPlayObjectListener(handle, planar); });
    LibraryThread([&] {
        library->FireFrame(2, 16, 8, 3, 16);
        library->FireFrame(2, 16, 8, 3, 235);
        library->FireFrame(2, 16, 8, 3, 16);
    });
    ASSERT_TRUE(ProcessUntil([&] { return planar->kept.size() == 3; }));
    EXPECT_FALSE(planar->wrongThread);
    EXPECT_EQ(0, planar->rgbFrames);
    EXPECT_EQ(std::make_pair(16, 8), planar->sizes.back());
    // Every picture the receiver still holds keeps its own planes.
    const std::size_t luma = 16 * 8;
    const unsigned char expectedLuma[] = {16, 235, 16};
    for (std::size_t i = 0; i < 3; ++i) {
        const unsigned char* bytes = planar->kept[i].get();
        EXPECT_EQ(std::vector<unsigned char>(luma, expectedLuma[i]), std::vector<unsigned char>(bytes, bytes + luma));
        EXPECT_EQ(std::vector<unsigned char>(luma / 2, 128),
                  std::vector<unsigned char>(bytes + luma, bytes + luma + luma / 2));
    }
    EXPECT_EQ((std::vector<unsigned char>{16, 235, 16}), planar->firstBytes);
    EXPECT_EQ(16, library->GetCurrentPlayingVideoFrameWidth());
}

TEST_F(FrameHandOverTest, ASharedFrameReachesThePlanarListenerInItsOwnBuffer)
{
    auto planar = boost::make_shared<PlanarListener>(std::this_thread::get_id());
    OnPlay([&] { manager->SetPlayObjectListener(handle, planar); });
    auto buffer = std::make_shared<std::vector<unsigned char>>(16 * 8 * 3 / 2, 77);
    const std::shared_ptr<const unsigned char> frame(buffer, buffer->data());
    LibraryThread([&] { library->FireSharedFrame(2, frame, 16, 8); });
    ASSERT_TRUE(ProcessUntil([&] { return planar->kept.size() == 1; }));
    EXPECT_EQ(buffer->data(), planar->kept[0].get());
    // The receiver keeps the library's buffer itself alive, and lets it go.
    EXPECT_LE(3, buffer.use_count());
    planar->kept.clear();
    EXPECT_TRUE(ProcessUntil([&] { return buffer.use_count() == 2; }));
}

TEST_F(FrameHandOverTest, WithAnOverlayTrackOpenAPlanarListenerStillGetsRgbPictures)
{
    auto planar = boost::make_shared<PlanarListener>(std::this_thread::get_id());
    OnPlay([&] {
        manager->SetPlayObjectListener(handle, planar);
        manager->OpenIVSTrack(handle, 7);
    });
    LibraryThread([&] { library->FireFrame(2, 16, 8, 3, 77); });
    ASSERT_TRUE(ProcessUntil([&] { return planar->rgbFrames == 1; }));
    EXPECT_TRUE(planar->kept.empty());
    OnPlay([&] { manager->CloseIVSTrack(handle); });
}
