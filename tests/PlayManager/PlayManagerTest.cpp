#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "PlayManager/FakeEngineFixture.h"

using namespace PlayManagerTest;

namespace {

void* const kUnknown = reinterpret_cast<void*>(0x7777);

}  // namespace

TEST_F(FakeEngineTest, UnknownHandlesGiveTheFailureValues)
{
    OnPlay([&] {
        EXPECT_EQ(502, manager->GetPlayPort(kUnknown));
        EXPECT_EQ(0, manager->Open(kUnknown, "x.kvx"));
        EXPECT_EQ(0, manager->Play(kUnknown, nullptr));
        EXPECT_EQ(0u, manager->GetCurrentPlayTime(kUnknown));
        EXPECT_EQ(0u, manager->GetFileStartTime(kUnknown));
        EXPECT_EQ(0, manager->StepForward(kUnknown));
        EXPECT_EQ(0, manager->SetIVSDrawType(kUnknown, 1));
        EXPECT_EQ(0, manager->GroupPlay_Open(kUnknown));
        manager->DestroyPlayObject(kUnknown);
        manager->SetPlayObjectListener(kUnknown, listener);
    });
}

TEST_F(FakeEngineTest, AKnownHandleReachesItsLibrary)
{
    void* handle = MakeObject(0);
    OnPlay([&] {
        EXPECT_EQ(17, manager->GetPlayPort(handle));
        EXPECT_EQ(1, manager->Open(handle, "a.kvx"));
        EXPECT_EQ(1, manager->Play(handle, nullptr));
        EXPECT_EQ(1000u, manager->GetFileStartTime(handle));
    });
    EXPECT_TRUE(libraries.At(0)->Called("Open a.kvx"));
    EXPECT_TRUE(libraries.At(0)->Called("Play"));
}

TEST_F(FakeEngineTest, HandlesAreNeverReusedAndClosedOnesAreNotFound)
{
    std::set<void*> seen;
    for (int i = 0; i < 50; ++i) {
        void* handle = MakeObject(0);
        EXPECT_NE(nullptr, handle);
        EXPECT_TRUE(seen.insert(handle).second);
        OnPlay([&] {
            manager->DestroyPlayObject(handle);
            EXPECT_EQ(0, manager->Open(handle, "late.kvx"));
        });
    }
}

TEST_F(FakeEngineTest, DestroyKeepsTheOthersAndTheirOrder)
{
    void* first = MakeObject(0);
    void* second = MakeObject(0);
    void* third = MakeObject(0);
    OnPlay([&] {
        manager->DestroyPlayObject(second);
        EXPECT_EQ(nullptr, manager->GetSptrPlayObject(second));
        EXPECT_EQ(first, manager->GetSptrPlayObject(first)->GetHandle());
        EXPECT_EQ(third, manager->GetSptrPlayObject(third)->GetHandle());
        EXPECT_EQ(1, manager->Open(third, "c.kvx"));
    });
    EXPECT_TRUE(libraries.At(2)->Called("Open c.kvx"));
}

TEST_F(FakeEngineTest, TwoManagersDoNotShareHandles)
{
    void* handle = MakeObject(0);
    OnPlay([&] {
        auto other = CPlayManager::Create(CPlayBackends{libraries.Factory(), overlay});
        EXPECT_EQ(0, other->Open(handle, "a.kvx"));
        EXPECT_EQ(502, other->GetPlayPort(handle));
        other.reset();
    });
}

TEST_F(FakeEngineTest, DestroyingAnObjectStopsAndClosesItsLibraryFirst)
{
    void* handle = MakeObject(0);
    OnPlay([&] {
        manager->Open(handle, "a.kvx");
        manager->DestroyPlayObject(handle);
    });
    EXPECT_EQ(nullptr, libraries.At(0));
    const auto calls = libraries.FinalCalls(0);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ("Stop", calls[calls.size() - 2]);
    EXPECT_EQ("Close", calls.back());
}

TEST_F(FakeEngineTest, SetRefValueOnPlayTypeThreeNeverReachesTheLibrary)
{
    void* noIndex = MakeObject(PLAY_TYPE_NO_INDEX);
    void* normal = MakeObject(0);
    unsigned char bytes[8] = {};
    OnPlay([&] {
        EXPECT_EQ(0, manager->SetRefValue(noIndex, bytes, sizeof bytes));
        EXPECT_EQ(1, manager->SetRefValue(normal, bytes, sizeof bytes));
    });
    for (const auto& call : libraries.At(0)->Calls())
        EXPECT_NE(0u, call.rfind("SetRefValue", 0)) << call;
    EXPECT_TRUE(libraries.At(1)->Called("SetRefValue 8"));
}

TEST_F(FakeEngineTest, SeekAsksForAnExactSeekOnlyOnExactPlay)
{
    void* exact = MakeObject(PLAY_TYPE_EXACT);
    void* normal = MakeObject(0);
    OnPlay([&] {
        manager->SeekByTime(exact, 100);
        manager->SeekByTime(normal, 100);
        manager->SeekByTimeExact(normal, 200, 9);
        manager->SeekByPercent(normal, 50);
    });
    EXPECT_TRUE(libraries.At(0)->Called("Seek 100 1"));
    EXPECT_TRUE(libraries.At(1)->Called("Seek 100 0"));
    EXPECT_TRUE(libraries.At(1)->Called("Seek 200 1"));
    EXPECT_TRUE(libraries.At(1)->Called("SeekPercent 50"));
}

TEST_F(FakeEngineTest, DataRecordTypes)
{
    void* handle = MakeObject(0);
    OnPlay([&] {
        EXPECT_EQ(0, manager->StopDataRecord(handle));
        EXPECT_EQ(0, manager->StartDataRecord(handle, "/tmp/x.dav", 2));
        EXPECT_EQ(0, manager->StopDataRecord(handle));
        EXPECT_EQ(1, manager->StartDataRecord(handle, "/tmp/x.dav", 0));
        EXPECT_EQ(1, manager->StopDataRecord(handle));
        EXPECT_EQ(0, manager->StopDataRecord(handle));
    });
    const auto calls = libraries.At(0)->Calls();
    EXPECT_EQ(1, std::count(calls.begin(), calls.end(), "StartDataRecord 0"));
    EXPECT_EQ(1, std::count(calls.begin(), calls.end(), "StopDataRecord"));
}

TEST_F(FakeEngineTest, AClipRecordingThatDidNotStartIsNotStoppedWithSuccess)
{
    void* handle = MakeObject(0);
    OnPlay([&] {
        EXPECT_EQ(0, manager->StartDataRecord(handle, "/nonexistent-folder/x/20200101000000[1]_1.avi", 1));
        EXPECT_EQ(0, manager->StopDataRecord(handle));
    });
}

TEST_F(FakeEngineTest, StartingARecordingEndsTheOneRunning)
{
    void* handle = MakeObject(0);
    OnPlay([&] {
        EXPECT_EQ(1, manager->StartDataRecord(handle, "/tmp/a.dav", 0));
        EXPECT_EQ(1, manager->StartDataRecord(handle, "/tmp/b.dav", 0));
        EXPECT_EQ(1, manager->StopDataRecord(handle));
    });
    const auto calls = libraries.At(0)->Calls();
    std::vector<std::string> recordCalls;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(recordCalls),
                 [](const std::string& call) { return call.find("DataRecord") != std::string::npos; });
    const std::vector<std::string> expected{"StartDataRecord 0", "StopDataRecord",
                                            "StartDataRecord 0", "StopDataRecord"};
    EXPECT_EQ(expected, recordCalls);
}

TEST_F(FakeEngineTest, StepsReportThePositionEvenWhenTheStepFails)
{
    void* handle = MakeObject(0);
    libraries.At(0)->stepResult = 0;
    OnPlay([&] {
        EXPECT_EQ(0, manager->StepForward(handle));
        EXPECT_EQ(0, manager->StepBackward(handle));
    });
    ASSERT_TRUE(ProcessUntil([&] { return listener->Count("Position") == 2; }));
    for (const auto& event : listener->Events()) {
        EXPECT_EQ(handle, event.handle);
        EXPECT_EQ(2000u, event.first);
    }
    EXPECT_FALSE(listener->WrongThreadSeen());
}

TEST_F(FakeEngineTest, StepsWithoutFileTimesOrListenerPostNothing)
{
    void* handle = MakeObject(0);
    libraries.At(0)->hasTimes = 0;
    OnPlay([&] { EXPECT_EQ(7, manager->StepForward(handle)); });
    listener.reset();
    libraries.At(0)->hasTimes = 1;
    OnPlay([&] { EXPECT_EQ(7, manager->StepBackward(handle)); });
    Settle();
    EXPECT_TRUE(libraries.At(0)->Called("StepBackward"));
}
