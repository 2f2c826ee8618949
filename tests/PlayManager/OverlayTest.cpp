#include <algorithm>
#include <chrono>
#include <thread>

#include "PlayManager/FakeEngineFixture.h"
#include "PlayManager/IVSPortPool.h"

using namespace PlayManagerTest;

TEST(IVSPortPoolTest, HandsOutTheLowestFreePort)
{
    CIVSPortPool* pool = CIVSPortPool::Instance();
    for (int port = 0; port < CIVSPortPool::kPortCount; ++port)
        ASSERT_EQ(port, pool->Alloc());
    EXPECT_EQ(-1, pool->Alloc());
    pool->Free(5);
    pool->Free(-1);
    pool->Free(512);
    EXPECT_EQ(5, pool->Alloc());
    EXPECT_EQ(-1, pool->Alloc());
    pool->Free(300);
    pool->Free(300);
    EXPECT_EQ(300, pool->Alloc());
    for (int port = 0; port < CIVSPortPool::kPortCount; ++port)
        pool->Free(port);
}

TEST(IVSPortPoolTest, ThreadsShareOnePool)
{
    CIVSPortPool* seen[2] = {};
    std::thread first([&] { seen[0] = CIVSPortPool::Instance(); });
    std::thread second([&] { seen[1] = CIVSPortPool::Instance(); });
    first.join();
    second.join();
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], CIVSPortPool::Instance());
}

TEST_F(FakeEngineTest, OverlayCallsComeInTheirOrder)
{
    void* handle = MakeObject(0);
    int port = -1;
    OnPlay([&] {
        EXPECT_EQ(1, manager->OpenIVSTrack(handle, 5));
        port = CIVSPortPool::Instance()->Alloc();  // the next free one
        CIVSPortPool::Instance()->Free(port);
        port -= 1;
    });
    ASSERT_GE(port, 0);
    const std::string p = std::to_string(port);
    FakePlayLibrary* library = libraries.At(0);
    EXPECT_EQ(44, library->FireOverlay(5));
    EXPECT_EQ(66, library->FireOverlay(6));
    EXPECT_EQ(0, library->FireOverlay(7));
    OnPlay([&] {
        EXPECT_EQ(1, manager->SetIVSDrawType(handle, 3));
        EXPECT_EQ(1, manager->CloseIVSTrack(handle));
    });
    const std::vector<std::string> expected = {
        "1:" + p,
        "11:" + p + ",1,-1,0,0",
        "11:" + p + ",2,-1,0,0",
        "11:" + p + ",3,-1,0,0",
        "10:" + p + ",1,1",
        "10:" + p + ",2,1",
        "10:" + p + ",3,1",
        "23:" + p + ",5",
        "9:" + p + ",1,75",
        "9:" + p + ",2,75",
        "4:" + p + ",4,1234",
        "9:" + p + ",1,75",
        "9:" + p + ",2,75",
        "6:" + p + ",0,4,1234",
        "9:" + p + ",1,75",
        "9:" + p + ",2,75",
        "23:" + p + ",3",
        "2:" + p,
    };
    EXPECT_EQ(expected, overlay->Calls());
    EXPECT_TRUE(library->Called("OpenIVSTrack"));
    EXPECT_TRUE(library->Called("CloseIVSTrack"));
    // The port went back to the pool.
    EXPECT_EQ(port, CIVSPortPool::Instance()->Alloc());
    CIVSPortPool::Instance()->Free(port);
}

TEST_F(FakeEngineTest, ClosingTheTrackWaitsForTheBlockBeingDrawn)
{
    void* handle = MakeObject(0);
    OnPlay([&] { EXPECT_EQ(1, manager->OpenIVSTrack(handle, 5)); });
    std::thread closer;
    bool closedWhileDrawing = true;
    overlay->SetInputRulesHook([&] {
        closer = std::thread([&] { OnPlay([&] { manager->CloseIVSTrack(handle); }); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const auto calls = overlay->Calls();
        closedWhileDrawing = std::find(calls.begin(), calls.end(), "2:0") != calls.end();
    });
    EXPECT_EQ(44, libraries.At(0)->FireOverlay(5));
    closer.join();
    overlay->SetInputRulesHook(nullptr);
    EXPECT_FALSE(closedWhileDrawing);
    EXPECT_EQ("2:0", overlay->Calls().back());
    // Once closed, blocks no longer reach the port, whoever holds it now.
    EXPECT_EQ(0, libraries.At(0)->FireOverlay(5));
    EXPECT_EQ("2:0", overlay->Calls().back());
}

TEST_F(FakeEngineTest, ATrackTheLibraryRefusesGivesItsPortBack)
{
    void* handle = MakeObject(0);
    libraries.At(0)->overlayTrackResult = 0;
    const int port = CIVSPortPool::Instance()->Alloc();
    CIVSPortPool::Instance()->Free(port);
    OnPlay([&] { EXPECT_EQ(0, manager->OpenIVSTrack(handle, 5)); });
    EXPECT_EQ("2:" + std::to_string(port), overlay->Calls().back());
    EXPECT_EQ(0, libraries.At(0)->FireOverlay(5));
    EXPECT_EQ(port, CIVSPortPool::Instance()->Alloc());
    CIVSPortPool::Instance()->Free(port);
}

TEST_F(FakeEngineTest, NoFreePortMeansNoOverlayTrack)
{
    void* handle = MakeObject(0);
    std::vector<int> taken;
    for (int port; (port = CIVSPortPool::Instance()->Alloc()) >= 0;)
        taken.push_back(port);
    OnPlay([&] { EXPECT_EQ(0, manager->OpenIVSTrack(handle, 7)); });
    EXPECT_TRUE(overlay->Calls().empty());
    EXPECT_FALSE(libraries.At(0)->Called("OpenIVSTrack"));
    EXPECT_EQ(0, libraries.At(0)->FireOverlay(5));
    OnPlay([&] { manager->CloseIVSTrack(handle); });
    EXPECT_TRUE(overlay->Calls().empty());
    for (int port : taken)
        CIVSPortPool::Instance()->Free(port);
}

TEST_F(FakeEngineTest, AnObjectClosedWithItsTrackOpenReturnsThePort)
{
    void* handle = MakeObject(0);
    OnPlay([&] {
        manager->OpenIVSTrack(handle, 7);
        manager->DestroyPlayObject(handle);
    });
    EXPECT_EQ("2:0", overlay->Calls().back());
    EXPECT_EQ(0, CIVSPortPool::Instance()->Alloc());
    CIVSPortPool::Instance()->Free(0);
}
