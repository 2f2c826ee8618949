// Synchronised play across new sets of files, synchronised seeks over file
// boundaries, the exit answer and the refusal of local recordings.
#include <algorithm>

#include "Base/TextCodec.h"
#include "Common/ConfigManager.h"
#include "Common/FileNameHelpers.h"
#include "Common/UserMessages.h"
#include "Main/MainPlayListener.h"
#include "Main/MainTimeLineEventImp.h"
#include "MainPageFixture.h"
#include "Support/TempFolder.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFVideoWindow.h"

using namespace MainPageTest;

namespace {

constexpr unsigned kNine = 1710061200;  // a day at 09:00:00 UTC

class SyncPlayAndClose : public PlayProtocolFixture {
protected:
    // One day's file per window, opened as the file list opens a day with Sync Play on.
    void OpenDayInSync(const std::wstring& day, int windows)
    {
        std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> records;
        for (int i = 0; i < windows; ++i)
            records.push_back(Record(L"/rec/" + day + L"/ch" + std::to_wstring(i) + L".kvx", Window(i),
                                     QUERY_FILEPATH_DAY, i, i + 1));
        ui->SetWantedShowNum(windows);
        ASSERT_TRUE(Open(records, 1));
        for (int i = 0; i < windows; ++i)
            ui->GetPlayListener()->OnPlayTimeInfoChanged(Handle(i), kNine, kNine + 600);
    }

    // A minute of a channel's day from 09:00 on, in the window of the channel.
    boost::shared_ptr<_QUERY_FILE_INFO> Minute(const std::wstring& path, int channel, int fileId, int minute)
    {
        auto record = Record(path, Window(channel), QUERY_FILEPATH_DAY, channel, fileId);
        record->startTime = std::int32_t(kNine + 60 * minute);
        record->endTime = record->startTime + 60;
        return record;
    }

    // Each window a channel's day of minutes from 09:00 on, with Sync Play on or off.
    void OpenMinutes(int windows, int minutes, bool sync = true)
    {
        bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, sync ? 1 : 0);
        std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> records;
        for (int i = 0; i < windows; ++i)
            for (int minute = 0; minute < minutes; ++minute)
                records.push_back(Minute(MinutePath(i, minute), i, 10 * i + minute + 1, minute));
        ui->SetWantedShowNum(int(records.size()));
        ASSERT_TRUE(Open(records, 1));
        ASSERT_TRUE(!sync || ProcessUntil([&] { return ui->GetSynPlay() == 1; }));
    }
    static std::wstring MinutePath(int channel, int minute)
    {
        return L"/rec/ch" + std::to_wstring(channel) + L"_" + std::to_wstring(minute) + L".kvx";
    }
    // The open libraries of a minute's files, once there are as many as wanted.
    std::vector<PlayManagerTest::FakePlayLibrary*> OpenLibrariesOf(int minute, int wanted)
    {
        std::vector<PlayManagerTest::FakePlayLibrary*> open;
        ProcessUntil([&] {
            open.clear();
            for (std::size_t i = 0; i < engine.Count(); ++i) {
                const std::vector<std::string> calls = engine.Calls(i);
                for (int channel = 0; channel < wanted; ++channel)
                    if (engine.At(i) && !calls.empty() &&
                        calls.front() == "Open " + SF_SOFT_BASE::WideToUtf8(MinutePath(channel, minute)))
                        open.push_back(engine.At(i));
            }
            return int(open.size()) == wanted;
        });
        return open;
    }
};

}  // namespace

TEST_F(SyncPlayAndClose, EveryNewDayFormsItsOwnGroupWhileSyncPlayIsOn)
{
    bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, 1);
    OpenDayInSync(L"day1", 2);
    ASSERT_EQ(ui->GetSynPlay(), 1);
    ASSERT_TRUE(Reaches("GroupPlay_AddToPlayGroup", 2));

    // A change of day: every window closes, the next day's files open.
    ui->CloseFiles(nullptr, -1);
    EXPECT_EQ(ui->GetSynPlay(), 0);
    EXPECT_EQ(bar->IsSyncPlay(), 1);
    OpenDayInSync(L"day2", 2);
    EXPECT_EQ(ui->GetSynPlay(), 1);
    EXPECT_TRUE(Reaches("GroupPlay_AddToPlayGroup", 4));
    // Steps are refused only while a group plays.
    ui->OneStepPlay(1);
    EXPECT_TRUE(Noted(L"Can not step play while synchronous playing!"));
}

TEST_F(SyncPlayAndClose, ASynchronisedSeekMovesEveryWindowToTheFileOfThatTime)
{
    bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, 1);
    // Each window: the later minute opens first and is shown, the earlier one waits hidden.
    std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> records;
    for (int i = 0; i < 3; ++i) {
        const std::wstring channel = L"/rec/ch" + std::to_wstring(i);
        records.push_back(Minute(channel + L"_0901.kvx", i, 10 * i + 2, 1));
        records.push_back(Minute(channel + L"_0900.kvx", i, 10 * i + 1, 0));
    }
    ui->SetWantedShowNum(int(records.size()));
    ASSERT_TRUE(Open(records, 1));
    std::vector<void*> later;
    for (int i = 0; i < 3; ++i)
        later.push_back(Handle(i));
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetSynPlay() == 1; }));
    ASSERT_TRUE(Reaches("GroupPlay_AddToPlayGroup", 3));

    // Back across the files' boundary from one window's row.
    ui->Seek(nullptr, kNine + 20, Window(1));
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(ui->GetWindowEntry(Window(i)), nullptr) << i;
        EXPECT_EQ(ui->GetWindowEntry(Window(i))->fileId, 10 * i + 1) << "window " << i;
        EXPECT_NE(ui->GetHiddenEntry(later[i]), nullptr) << "window " << i;
    }
    // The earlier files open into the group, the later ones close.
    EXPECT_TRUE(Reaches("GroupPlay_AddToPlayGroup", 6));
    EXPECT_TRUE(ProcessUntil([&] { return !engine.At(0) && !engine.At(1) && !engine.At(2); }));
    // And forward again: every window back on its later file.
    ui->Seek(nullptr, kNine + 90, Window(0));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ui->GetWindowOfHandle(later[i]), Window(i)) << "window " << i;
}

TEST_F(SyncPlayAndClose, ADaySeekedIntoItsLastFilesEndsWithThemAndItsCursorStaysWithinIt)
{
    OpenMinutes(2, 3);
    ui->Seek(nullptr, kNine + 150, Window(0));
    // The last minute's files open and play to their ends.
    const std::vector<PlayManagerTest::FakePlayLibrary*> last = OpenLibrariesOf(2, 2);
    ASSERT_EQ(last.size(), 2u);
    for (PlayManagerTest::FakePlayLibrary* library : last)
        library->FireFileEnd();
    EXPECT_TRUE(ProcessUntil([&] { return ui->AreAllFilesEnded() == 1; }, 2000));
    // The group's clock runs on past the day's end; the cursor stays with what is shown.
    EXPECT_EQ(ui->ClampToShownTimes(kNine + 400), kNine + 180);
    EXPECT_EQ(ui->ClampToShownTimes(kNine + 170), kNine + 170);
}

TEST_F(SyncPlayAndClose, AFileEndStartsTheReadiedNextFileInTheGroupBeforeAnyLoopHearsOfIt)
{
    OpenMinutes(2, 3);
    ASSERT_TRUE(Reaches("GroupPlay_AddToPlayGroup", 2));
    const std::vector<PlayManagerTest::FakePlayLibrary*> next = OpenLibrariesOf(1, 2);
    ASSERT_EQ(next.size(), 2u);
    ASSERT_TRUE(Reaches("Preroll", 4));
    for (PlayManagerTest::FakePlayLibrary* library : OpenLibrariesOf(0, 2))
        library->FireFileEnd();
    for (PlayManagerTest::FakePlayLibrary* library : next)
        EXPECT_TRUE(library->Called("PlayIfPrerolled"));
}

TEST_F(SyncPlayAndClose, ReversePlayIntoTheFileBeforeGoesOnInItFromItsEnd)
{
    engine.answers.backwardStartEnds = true;
    OpenMinutes(2, 3);
    ui->Seek(nullptr, kNine + 150, Window(0));
    const std::vector<PlayManagerTest::FakePlayLibrary*> last = OpenLibrariesOf(2, 2);
    ASSERT_EQ(last.size(), 2u);
    for (int i = 0; i < 2; ++i)
        ui->GetPlayListener()->OnFileRefFinished(Handle(i), 1);
    ui->SetPlayDirection(0);
    const std::vector<PlayManagerTest::FakePlayLibrary*> middle = OpenLibrariesOf(1, 2);
    ASSERT_EQ(middle.size(), 2u);
    ASSERT_TRUE(ProcessUntil([&] {
        return middle[0]->Called("Preroll") && middle[1]->Called("Preroll") && last[0]->Called("HoldGroupAtEnd 1") &&
               last[1]->Called("HoldGroupAtEnd 1");
    }));
    // Back at the last files' starts: each window goes on in its middle file,
    // not in the one before it. Readied ahead, that one takes its place in the
    // group as the later file ends.
    for (PlayManagerTest::FakePlayLibrary* library : last)
        library->FireFileEnd(true);
    for (PlayManagerTest::FakePlayLibrary* library : middle)
        EXPECT_TRUE(library->Called("PlayIfPrerolled"));
    Settle(300);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(ui->GetWindowEntry(Window(i))->fileId, 10 * i + 2) << "window " << i;
    // Readied ahead, each stood at its end with its last group decoded: shown,
    // it is not sought near its end again (that would skip its last frames).
    for (PlayManagerTest::FakePlayLibrary* library : middle) {
        const std::vector<std::string> calls = library->Calls();
        const auto preroll = std::find(calls.begin(), calls.end(), "Preroll");
        ASSERT_NE(preroll, calls.end()) << ::testing::PrintToString(calls);
        EXPECT_LT(std::find(calls.begin(), calls.end(), "PlayBackward"), preroll);
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const std::string& call) { return call.rfind("SeekPercent", 0) == 0; }),
                  0)
            << ::testing::PrintToString(calls);
    }
}

TEST_F(SyncPlayAndClose, AStartReachedInReverseAndHeardOfOnlyAfterTheTurnForwardMovesNoWindow)
{
    OpenMinutes(2, 3);
    const std::vector<PlayManagerTest::FakePlayLibrary*> first = OpenLibrariesOf(0, 2);
    ASSERT_EQ(first.size(), 2u);
    for (int i = 0; i < 2; ++i)
        ui->GetPlayListener()->OnFileRefFinished(Handle(i), 1);
    ui->SetPlayDirection(0);
    // The day's first files reach their start; the user turns forward
    // before their reports arrive.
    for (PlayManagerTest::FakePlayLibrary* library : first)
        library->FireFileEnd(true);
    ui->SetPlayDirection(1);
    Settle(300);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(ui->GetWindowEntry(Window(i))->fileId, 10 * i + 1) << "window " << i;
    // Their end, reached forward, moves each window on.
    for (PlayManagerTest::FakePlayLibrary* library : first)
        library->FireFileEnd();
    EXPECT_TRUE(ProcessUntil([&] { return ui->GetWindowEntry(Window(1))->fileId == 12; }));
    EXPECT_EQ(ui->GetWindowEntry(Window(0))->fileId, 2);
}

// An end reached forward lies behind reverse play: another window's change
// of file in reverse, which resumes the files whose end is still to be
// acted on, leaves it where it plays.
TEST_F(SyncPlayAndClose, WithoutSyncPlayAnEndReachedForwardMovesNoWindowInReverse)
{
    OpenMinutes(2, 2, false);
    for (PlayManagerTest::FakePlayLibrary* library : OpenLibrariesOf(0, 2))
        library->FireFileEnd();
    ASSERT_TRUE(ProcessUntil([&] {
        return ui->GetWindowEntry(Window(0))->fileId == 2 && ui->GetWindowEntry(Window(1))->fileId == 12;
    }));
    // Window 1's last file ends forward; then play turns back and window 0
    // reaches its file's start.
    ui->GetPlayListener()->OnFileEnd(Handle(1));
    for (int i = 0; i < 2; ++i)
        ui->GetPlayListener()->OnFileRefFinished(Handle(i), 1);
    ui->SetPlayDirection(0);
    ui->GetPlayListener()->OnFileEndReached(Handle(0), 0);
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetWindowEntry(Window(0))->fileId == 1; }));
    Settle(300);
    EXPECT_EQ(ui->GetWindowEntry(Window(1))->fileId, 12);
}

TEST_F(SyncPlayAndClose, TheExitIsAnsweredOnceWhenEveryFileIsClosed)
{
    ASSERT_TRUE(Open({Record(L"/rec/a.kvx", Window(0)), Record(L"/rec/b.kvx", Window(1))}));
    host->closing = 1;
    // A window's close is still in flight when the exit asks for all.
    ui->CloseFiles(nullptr, Window(0));
    ui->CertainCloseFiles(nullptr, -1);
    ASSERT_TRUE(ProcessUntil([&] { return !host->closedPages.empty(); }));
    EXPECT_EQ(ui->GetHandleOfWindow(Window(1)), nullptr);
    EXPECT_EQ(engine.At(1), nullptr) << "a file still open when the page said it was closed";
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetCloseWantedNum() <= 0; }));
    Settle(300);
    EXPECT_EQ(host->closedPages, std::vector<int>{0});
}

TEST_F(SyncPlayAndClose, RecordingAFileOfAnotherFormatIsRefusedAndSaysSo)
{
    TempFolder folder;
    CConfigManager::GetInstance()->VideoPath = folder.WidePath();
    ASSERT_TRUE(Open({Record(L"/rec/a.avi", Window(0)), Record(L"/rec/b.KVX", Window(1))}));
    auto* cell = dynamic_cast<CSFQTVideoWindow*>(grid)->CellAt(0)->GetPlayWnd();
    cell->SetRecordState(1);  // as the click left it
    manager->OnBnClickedVideoRecord(0, Window(0), 1);
    EXPECT_EQ(cell->RecordState(), 0);
    EXPECT_TRUE(Noted(L"Only .kvx files can be recorded!"));
    Settle();
    EXPECT_EQ(engine.Total("StartDataRecord 0") + engine.Total("StartDataRecord 1"), 0);
    notes.clear();
    EXPECT_EQ(ui->StartRecord(nullptr, L"/tmp/x.kvx", 0, Window(1)), 1);
    EXPECT_FALSE(Noted(L"Only .kvx files can be recorded!"));
    // A window that plays nothing is no format refusal.
    EXPECT_EQ(ui->StartRecord(nullptr, L"/tmp/x.kvx", 0, Window(2)), 0);
    EXPECT_TRUE(notes.empty());
}

TEST_F(SyncPlayAndClose, ASnapshotNeverTakesTheNameOfAnExistingFile)
{
    TempFolder folder;
    CConfigManager::GetInstance()->SnapPath = folder.WidePath();
    CConfigManager::GetInstance()->SnapFormat = 2;
    ASSERT_TRUE(Open({Record(L"/rec/a.kvx", Window(0), QUERY_FILEPATH_SINGLE, 3)}));
    // Every name of this moment and channel is taken but one.
    const int time = page->GetMainTimeLine()->GetPlayProgressPanel()->GetPlayTime(Window(0));
    std::wstring drawn;
    MakeTimeStampFileName(3, std::uint32_t(time), drawn, L".bmp");
    const std::string stamp = SF_SOFT_BASE::WideToUtf8(drawn.substr(0, drawn.rfind(L'_') + 1));
    constexpr int kFree = 4242;
    for (int number = 0; number < 10000; ++number) {
        if (number != kFree) {
            ASSERT_TRUE(folder.Touch(stamp + std::to_string(number) + ".bmp"));
        }
    }
    manager->OnBnClickedVideoSnap(0, Window(0));
    ASSERT_TRUE(ProcessUntil([&] { return engine.Snapshots().size() == 1; }));
    EXPECT_EQ(engine.Snapshots()[0], folder.File(stamp + std::to_string(kFree) + ".bmp"));
    // With none left the snapshot is refused, not written over another.
    ASSERT_TRUE(folder.Touch(stamp + std::to_string(kFree) + ".bmp"));
    manager->OnBnClickedVideoSnap(0, Window(0));
    EXPECT_TRUE(Noted(L"Snapshot Failed!"));
    Settle();
    EXPECT_EQ(engine.Snapshots().size(), 1u);
}
