#include <atomic>
#include <thread>

#include "Base/SFDateTime.h"
#include "PlayManager/FakeEngineFixture.h"

using namespace PlayManagerTest;

namespace {

unsigned Midnight() { return unsigned(SF_SOFT_BASE::GetTodayStartTime()); }

// Runs fn on a thread of its own, as the library's threads call, serving
// the GUI loop meanwhile (frame hand-overs wait for it).
void OnLibraryThread(const std::function<void()>& fn)
{
    std::atomic<bool> done{false};
    std::thread thread([&] {
        fn();
        done = true;
    });
    ProcessUntil([&] { return done.load(); }, 30000);
    thread.join();
}

}  // namespace

TEST_F(FakeEngineTest, FileTimesWithoutEndAreIgnored)
{
    MakeObject(0);
    OnLibraryThread([&] { libraries.At(0)->FireFileTimeDone(100, 0); });
    Settle();
    EXPECT_EQ(0, listener->Count("PlayTimeInfo"));
    for (const auto& call : libraries.At(0)->Calls())
        EXPECT_NE(0u, call.rfind("SetFileTimeInfo", 0));
}

TEST_F(FakeEngineTest, FileTimesFromZeroStartAtTodaysMidnight)
{
    void* handle = MakeObject(0);
    OnLibraryThread([&] { libraries.At(0)->FireFileTimeDone(0, 600); });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("PlayTimeInfo") == 1; }));
    const unsigned midnight = Midnight();
    EXPECT_TRUE(libraries.At(0)->Called("SetFileTimeInfo " + std::to_string(midnight) + " " +
                                        std::to_string(midnight + 600)));
    const ListenerEvent event = listener->Events().back();
    EXPECT_EQ(handle, event.handle);
    EXPECT_EQ(midnight, event.first);
    EXPECT_EQ(midnight + 600, event.second);
    EXPECT_FALSE(listener->WrongThreadSeen());
}

TEST_F(FakeEngineTest, IndexFinishedAndFileEndReachTheListener)
{
    void* handle = MakeObject(0);
    void* noIndex = MakeObject(PLAY_TYPE_NO_INDEX);
    OnLibraryThread([&] {
        libraries.At(0)->FireRefFinished(1);
        libraries.At(1)->FireRefFinished(1);
        libraries.At(1)->FireFileEnd();
    });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("FileEnd") == 1; }));
    Settle();
    ASSERT_EQ(1, listener->Count("FileRefFinished"));
    for (const auto& event : listener->Events()) {
        if (event.name == "FileRefFinished") {
            EXPECT_EQ(handle, event.handle);
        } else if (event.name == "FileEnd") {
            EXPECT_EQ(noIndex, event.handle);
        }
    }
}

TEST_F(FakeEngineTest, RelaysForADestroyedObjectAreDropped)
{
    void* handle = MakeObject(0);
    FakePlayLibrary* library = libraries.At(0);
    // The library reports while the play loop is busy closing the object.
    OnPlay([&] {
        OnLibraryThread([&] { library->FireFileEnd(); });
        manager->DestroyPlayObject(handle);
    });
    Settle();
    EXPECT_EQ(0, listener->Count("FileEnd"));
}

TEST_F(FakeEngineTest, TheFirstFrameAfterAnExactSeekReportsItOnce)
{
    void* handle = MakeObject(0);
    OnPlay([&] { manager->SeekByTime(handle, 10); });
    OnLibraryThread([&] { libraries.At(0)->FireFrame(2, 16, 16); });
    Settle();
    EXPECT_EQ(0, listener->Count("SeekSuccess"));

    OnPlay([&] { manager->SeekByTimeExact(handle, 10, 0); });
    OnLibraryThread([&] {
        libraries.At(0)->FireFrame(2, 16, 16, /*infoKind=*/1);  // not a shown frame
    });
    Settle();
    EXPECT_EQ(0, listener->Count("SeekSuccess"));
    OnLibraryThread([&] {
        libraries.At(0)->FireFrame(2, 16, 16);
        libraries.At(0)->FireFrame(2, 16, 16);
    });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("QtFrame") == 3; }));
    Settle();
    EXPECT_EQ(1, listener->Count("SeekSuccess"));
}

TEST_F(FakeEngineTest, AFileWithoutTimesGetsTodaysSpanFromItsFirstFrame)
{
    void* handle = MakeObject(0);
    void* exact = MakeObject(PLAY_TYPE_EXACT);
    for (std::size_t i = 0; i < 2; ++i) {
        libraries.At(i)->hasTimes = 0;
        libraries.At(i)->fileLength = 300;
    }
    OnLibraryThread([&] {
        libraries.At(0)->FireFrame(2, 16, 16);
        libraries.At(1)->FireFrame(2, 16, 16);
    });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("PlayTimeInfo") == 1; }));
    Settle();
    const unsigned midnight = Midnight();
    EXPECT_TRUE(libraries.At(0)->Called("SetFileTimeInfo " + std::to_string(midnight) + " " +
                                        std::to_string(midnight + 300)));
    for (const auto& event : listener->Events()) {
        if (event.name != "PlayTimeInfo")
            continue;
        EXPECT_EQ(handle, event.handle);
        EXPECT_EQ(0u, event.first);
        EXPECT_EQ(300u, event.second);
    }
    for (const auto& call : libraries.At(1)->Calls())
        EXPECT_NE(0u, call.rfind("SetFileTimeInfo", 0)) << "exact play object " << exact;
}

TEST_F(FakeEngineTest, EachTickPostsOnePositionWhilePlaying)
{
    void* handle = MakeObject(0);
    void* exact = MakeObject(PLAY_TYPE_EXACT);
    OnPlay([&] {
        manager->Task_OnTimer();
        manager->Task_OnTimer();
    });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("Position") == 4; }));
    for (const auto& event : listener->Events()) {
        if (event.handle == handle) {
            EXPECT_EQ(1005u, event.first);  // played + start
        } else {
            EXPECT_EQ(exact, event.handle);
            EXPECT_EQ(2000u, event.first);  // current time
        }
    }
    libraries.At(0)->playing = 0;
    OnPlay([&] {
        manager->Stop(exact);
        manager->Task_OnTimer();
    });
    Settle();
    EXPECT_EQ(4, listener->Count("Position"));

    // Paused, a position that moved since the last report (a seek whose
    // picture reported too early) is reported once.
    libraries.At(0)->playedTime = 9;
    OnPlay([&] {
        manager->Task_OnTimer();
        manager->Task_OnTimer();
    });
    Settle();
    ASSERT_EQ(5, listener->Count("Position"));
    EXPECT_EQ(1009u, listener->Events().back().first);
}

TEST_F(FakeEngineTest, TheRunningTimerReportsPositions)
{
    MakeObject(0);
    EXPECT_TRUE(ProcessUntil([&] { return listener->Count("Position") >= 2; }));
}

TEST_F(FakeEngineTest, AManagerDroppedOnThePlayThreadLeavesNoTimerBehind)
{
    boost::weak_ptr<CPlayManager> weak = manager;
    MakeObject(0);
    OnPlay([&] { manager.reset(); });
    EXPECT_TRUE(weak.expired());
    ProcessUntil([] { return false; }, 700);  // a few ticks' time
    const int positions = listener->Count("Position");
    ProcessUntil([] { return false; }, 700);
    EXPECT_EQ(positions, listener->Count("Position"));
}

TEST_F(FakeEngineTest, GroupTickReportsOnlyWhenOnAndTheQuerySucceeds)
{
    void* group = nullptr;
    OnPlay([&] {
        group = manager->CreateGroupPlayObject();
        manager->Task_OnTimer();  // flag 0: no query
    });
    FakePlayLibrary* groupLibrary = libraries.At(0);
    EXPECT_FALSE(groupLibrary->Called("GroupPlay_QueryGroupPlayingTime"));

    OnPlay([&] {
        EXPECT_EQ(1, manager->SetGroupPlayFlag(2));
        manager->Task_OnTimer();
        EXPECT_EQ(1, manager->SetGroupPlayFlag(1));
        manager->Task_OnTimer();  // no listener yet
    });
    const auto calls = groupLibrary->Calls();
    EXPECT_EQ(1, std::count(calls.begin(), calls.end(), "GroupPlay_QueryGroupPlayingTime"));
    Settle();
    EXPECT_EQ(0, listener->Count("Position"));

    OnPlay([&] {
        manager->SetListener(listener);
        manager->Task_OnTimer();
    });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("Position") == 1; }));
    const ListenerEvent event = listener->Events().back();
    EXPECT_EQ(nullptr, event.handle);
    EXPECT_EQ(unsigned(SF_SOFT_BASE::CSFDateTime::MakeTime(2020, 5, 6, 7, 8, 9)), event.first);

    groupLibrary->groupQueryResult = 0;
    OnPlay([&] { manager->Task_OnTimer(); });
    Settle();
    EXPECT_EQ(1, listener->Count("Position"));
}

TEST_F(FakeEngineTest, AFailedGroupTimeQueryLeavesAClearedRecord)
{
    OnPlay([&] {
        void* group = manager->CreateGroupPlayObject();
        libraries.At(0)->groupQueryResult = 0;
        PLAY_MODULE::__DATETIME_INFO time{};
        time.nHour = 5;
        EXPECT_EQ(0, manager->GroupPlay_QueryGroupPlayingTime(group, &time));
        EXPECT_EQ(0, time.nYear);
        EXPECT_EQ(0, time.nHour);
        time.nHour = 5;
        EXPECT_EQ(0, manager->GroupPlay_QueryGroupPlayingTime(nullptr, &time));
        EXPECT_EQ(0, time.nHour);
        EXPECT_EQ(0, manager->GroupPlay_QueryGroupPlayingTime(group, nullptr));
    });
}

TEST_F(FakeEngineTest, TwoGroupsReportInCreationOrder)
{
    OnPlay([&] {
        manager->CreateGroupPlayObject();
        manager->CreateGroupPlayObject();
        manager->SetListener(listener);
        manager->SetGroupPlayFlag(1);
    });
    libraries.At(1)->groupTime = {2020, 5, 6, 7, 8, 10, 0};
    OnPlay([&] { manager->Task_OnTimer(); });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("Position") == 2; }));
    const auto events = listener->Events();
    EXPECT_LT(events[0].first, events[1].first);
}

TEST_F(FakeEngineTest, GroupMembersAreFoundByPlayHandle)
{
    void* handle = MakeObject(0);
    void* group = nullptr;
    OnPlay([&] {
        group = manager->CreateGroupPlayObject();
        EXPECT_EQ(0, manager->GroupPlay_AddToPlayGroup(reinterpret_cast<void*>(0x55), handle));
        EXPECT_EQ(0, manager->GroupPlay_AddToPlayGroup(group, reinterpret_cast<void*>(0x55)));
        EXPECT_EQ(1, manager->GroupPlay_AddToPlayGroup(group, handle));
        EXPECT_EQ(1, manager->GroupPlay_DelFromPlayGroup(group, handle));
        EXPECT_NE(handle, group);
    });
    EXPECT_TRUE(libraries.At(1)->Called("GroupPlay_AddToPlayGroup"));
}
