#include <QDir>

#include <cerrno>
#include <cstring>
#include <set>

#include "Base/TextCodec.h"
#include "Common/ConfigManager.h"
#include "Common/UserMessages.h"
#include "Main/MainPlayListener.h"
#include "Main/PlayManagerPlayLogic.h"
#include "Main/MainTimeLineEventImp.h"
#include "MainPageFixture.h"
#include "Support/TempFolder.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"
#include "Widgets/SFVideoWindow.h"

using namespace MainPageTest;

namespace {

constexpr unsigned kDay = 1710028800;

// The UI logic and the play logic against the engine double.
class PlayProtocol : public PlayProtocolFixture {
protected:
    std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> Day(int windows, int type = QUERY_FILEPATH_DAY)
    {
        std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> records;
        for (int i = 0; i < windows; ++i)
            records.push_back(Record(L"/rec/ch" + std::to_wstring(i) + L".kvx", Window(i), type, i, i + 1));
        return records;
    }
};

}  // namespace

TEST_F(PlayProtocol, FilesOfADayOpenInTheirWindowsAndAllResumeAtTheLastAnswer)
{
    ASSERT_TRUE(Open(Day(4)));
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(ui->GetWindowEntry(Window(i)), nullptr) << i;
        EXPECT_EQ(ui->GetWindowEntry(Window(i))->directionMark, 1);
        EXPECT_EQ(ui->GetWindowOfHandle(Handle(i)), Window(i));
    }
    EXPECT_EQ(bar->IsPlaying(), 1);
    EXPECT_TRUE(Reaches("Resume", 4));
    EXPECT_EQ(engine.Total("Play"), 4);
}

TEST_F(PlayProtocol, FilesOfOneChannelShareAWindowAndReplacingThemClosesAll)
{
    auto records = Day(1, QUERY_FILEPATH_CHANNEL);
    records.push_back(Record(L"/rec/b.kvx", Window(0), QUERY_FILEPATH_CHANNEL, 0, 2));
    records.push_back(Record(L"/rec/c.kvx", Window(0), QUERY_FILEPATH_CHANNEL, 0, 3));
    ASSERT_TRUE(Open(records));
    // Of the files behind the shown one only the next has a library object, readied.
    Settle();
    ASSERT_EQ(engine.Count(), 2u);
    EXPECT_EQ(ui->GetHiddenEntry(Handle(0)), nullptr);

    ASSERT_TRUE(Open({Record(L"/rec/new.kvx", Window(0))}));
    EXPECT_TRUE(ProcessUntil([&] { return !engine.At(0) && !engine.At(1); }));
    EXPECT_EQ(ui->GetWindowEntry(Window(0))->path, L"/rec/new.kvx");
}

TEST_F(PlayProtocol, AFailedOpenIsCountedAndTheBatchStillResumesAndSyncs)
{
    engine.answers.refuseOpenOf = "bad";
    bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, 1);
    ui->SetWantedShowNum(3);
    auto records = Day(2);
    records.push_back(Record(L"/rec/bad.kvx", Window(2), QUERY_FILEPATH_DAY, 2, 3));
    ASSERT_TRUE(Open(records, 1));
    EXPECT_EQ(ui->GetWindowEntry(Window(2)), nullptr);
    EXPECT_EQ(ui->GetWantedShowNum(), 0);
    EXPECT_TRUE(Reaches("Resume", 2));
    // Opened to stand for the group, they play at the resume: their times come later.
    EXPECT_TRUE(Reaches("Preroll", 2));
    EXPECT_TRUE(Reaches("Play", 2));
    for (int i = 0; i < 2; ++i)
        ui->GetPlayListener()->OnPlayTimeInfoChanged(Handle(i), kDay, kDay + 600);
    EXPECT_EQ(ui->GetSynPlay(), 1);
}

TEST_F(PlayProtocol, AFileThatCannotBeOpenedIsReportedAndStopsThePlayBar)
{
    engine.answers.refuseOpenOf = "bad";
    ASSERT_TRUE(Open({Record(L"/rec/bad.kvx", Window(0))}));
    EXPECT_EQ(ui->GetWindowEntry(Window(0)), nullptr);
    EXPECT_TRUE(Noted(L"open or play record failed!"));
    EXPECT_EQ(bar->IsPlaying(), 0);
}

TEST_F(PlayProtocol, SyncPlayFormsOnceAndLaterTimeReportsAddNobody)
{
    bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, 1);
    ui->SetWantedShowNum(2);
    ASSERT_TRUE(Open(Day(2), 1));
    for (int i = 0; i < 2; ++i)
        ui->GetPlayListener()->OnPlayTimeInfoChanged(Handle(i), kDay, kDay + 600);
    ASSERT_EQ(ui->GetSynPlay(), 1);
    EXPECT_TRUE(Reaches("GroupPlay_AddToPlayGroup", 2));
    ui->GetPlayListener()->OnPlayTimeInfoChanged(Handle(0), kDay, kDay + 700);
    Settle();
    EXPECT_EQ(engine.Total("GroupPlay_AddToPlayGroup"), 2);
    EXPECT_EQ(ui->SetRepeatOne(1), 0);
    EXPECT_EQ(ui->GetRepeatOne(), 0);
}

TEST_F(PlayProtocol, CloseCountsAddUpAndTheExitIsAnsweredOnceAllClosed)
{
    ASSERT_TRUE(Open(Day(2)));
    host->closing = 1;
    ui->CloseFiles(nullptr, Window(0));
    ui->CloseFiles(nullptr, Window(1));
    EXPECT_EQ(ui->GetCloseWantedNum(), 2);
    // A close of nothing while closes are answering does not end the page early.
    ui->CloseFiles(nullptr, -1);
    EXPECT_EQ(ui->GetCloseWantedNum(), 2);
    EXPECT_TRUE(host->closedPages.empty());
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetCloseWantedNum() == 0; }));
    Settle();
    EXPECT_EQ(host->closedPages, std::vector<int>{0});
    EXPECT_EQ(bar->IsPlaying(), 0);
}

TEST_F(PlayProtocol, ExitWaitsForFilesStillOpening)
{
    ui->SetWantedReturnNum(2);
    for (const auto& record : Day(2))
        ui->StartPlayOneFile(record->path, record, 0);
    host->closing = 1;
    ui->CertainCloseFiles(nullptr, -1);
    ASSERT_TRUE(ProcessUntil([&] { return !host->closedPages.empty(); }));
    EXPECT_EQ(host->closedPages, std::vector<int>{0});
    EXPECT_TRUE(ProcessUntil([&] { return !engine.At(0) && !engine.At(1); }));
    for (std::size_t i = 0; i < 2; ++i) {
        const auto calls = engine.Calls(i);
        EXPECT_NE(std::find(calls.begin(), calls.end(), "Close"), calls.end()) << i;
    }
}

TEST_F(PlayProtocol, RepeatOneRestartsASingleFileAndClearsItsEndMark)
{
    ASSERT_TRUE(Open({Record(L"/rec/one.kvx", Window(0))}));
    ui->SetRepeatOne(1);
    ui->GetPlayListener()->OnFileEnd(Handle(0));
    EXPECT_EQ(ui->GetWindowEntry(Window(0))->endMark, 0);
    EXPECT_TRUE(Reaches("SeekPercent 0", 1));
    ui->Pause(0, nullptr, -1);
    Settle();
    EXPECT_EQ(engine.Total("SeekPercent 0"), 1);
}

TEST_F(PlayProtocol, SoundOpensOnlyAtNormalSpeedAndFollowsTheFocus)
{
    ASSERT_TRUE(Open(Day(2)));
    grid->SetFocusSubWin(Window(0));
    Settle();
    const int opened = engine.Total("OpenAudio");
    ui->ChangeAudio(Window(1), Window(0));
    EXPECT_TRUE(Reaches("OpenAudio", opened + 1));
    ui->SetPlaySpeed(2.0f);
    ui->ChangeAudio(Window(0), Window(1));
    Settle();
    EXPECT_EQ(engine.Total("OpenAudio"), opened + 1);
    ui->SetPlaySpeed(1.0f);
    EXPECT_TRUE(Reaches("OpenAudio", opened + 2));
}

TEST_F(PlayProtocol, RecordRequestsAnswerWithTheirMessages)
{
    ASSERT_TRUE(Open(Day(1)));
    ui->SetPlaySpeed(2.0f);
    EXPECT_EQ(ui->StartRecord(nullptr, L"/tmp/x.kvx", 0, Window(0)), 1);
    EXPECT_TRUE(ProcessUntil([&] { return Noted(L"It can not record as playing under abnormal playing state!"); }));
    EXPECT_EQ(engine.Total("StartDataRecord 0"), 0);
    auto* cell = dynamic_cast<CSFQTVideoWindow*>(grid)->CellAt(0)->GetPlayWnd();
    ui->Task_StartRecord_Ret(1, Window(0));
    EXPECT_EQ(cell->RecordState(), 1);
    // A refusal does not leave the cell showing a recording.
    ui->Task_StartRecord_Ret(2, Window(0));
    EXPECT_EQ(cell->RecordState(), 0);
    ui->Task_StartRecord_Ret(0, Window(0));
    EXPECT_TRUE(Noted(L"Record Failed!"));
    ui->SetPlaySpeed(1.0f);
    ui->StartRecord(nullptr, L"/tmp/x.kvx", 0, Window(0));
    ASSERT_TRUE(Reaches("StartDataRecord 0", 1));
    // A stop needs no folder: it is posted even when the folder cannot be made.
    const std::wstring videos = CConfigManager::GetInstance()->VideoPath;
    CConfigManager::GetInstance()->VideoPath = L"/proc/no-such-folder/records";
    const int stops = engine.Total("StopDataRecord");
    manager->OnBnClickedVideoRecord(0, Window(0), 0);
    EXPECT_TRUE(Reaches("StopDataRecord", stops + 1));
    CConfigManager::GetInstance()->VideoPath = videos;
}

// Stops are posted at every file switch, seek or speed change: a failure is
// told only for a recording that was running, and only once.
TEST_F(PlayProtocol, OnlyARunningRecordingCanFailToStop)
{
    ASSERT_TRUE(Open(Day(2)));
    auto* cell = dynamic_cast<CSFQTVideoWindow*>(grid)->CellAt(0)->GetPlayWnd();
    auto* other = dynamic_cast<CSFQTVideoWindow*>(grid)->CellAt(1)->GetPlayWnd();
    for (int index : {0, 1}) {
        grid->SetSubWinRecordState(Window(index), 1);  // cleared by the stop's answer
        ui->StopRecord(nullptr, Window(index));
    }
    ASSERT_TRUE(ProcessUntil([&] { return cell->RecordState() == 0 && other->RecordState() == 0; }));
    EXPECT_TRUE(notes.empty());
    ui->Task_StartRecord_Ret(RECORD_STARTED, Window(0));
    ui->Task_StopRecord_Ret(0, Window(0));
    EXPECT_EQ(std::count(notes.begin(), notes.end(), L"Record Failed!"), 1);
    EXPECT_EQ(cell->RecordState(), 0);
    ui->Task_StopRecord_Ret(0, Window(0));
    ui->Task_StartRecord_Ret(RECORD_STARTED, Window(0));
    ui->RecordFailed(Handle(0), L"", 0);
    ui->Task_StopRecord_Ret(0, Window(0));
    EXPECT_EQ(std::count(notes.begin(), notes.end(), L"Record Failed! Nothing was kept."), 1);
    EXPECT_EQ(std::count(notes.begin(), notes.end(), L"Record Failed!"), 1);
}

// The recordings' folder cannot be written to: every way a recording fails
// names it and why, as the snapshot and export failures do.
TEST_F(PlayProtocol, ARecordingFailureNamesTheFolderAndWhy)
{
    ASSERT_TRUE(Open(Day(1)));
    TempFolder folder;
    WriteFile(folder.File("Video"), "a file where the folder goes");
    CConfigManager* config = CConfigManager::GetInstance();
    const std::wstring videos = config->VideoPath;
    config->VideoPath = SF_SOFT_BASE::Utf8ToWide(folder.File("Video"));
    const std::wstring failed = L"Record Failed! " + config->VideoPath + L": " +
                                SF_SOFT_BASE::Utf8ToWide(std::strerror(ENOTDIR));
    ui->Task_StartRecord_Ret(RECORD_FAILED, Window(0));
    ui->Task_StartRecord_Ret(RECORD_STARTED, Window(0));
    ui->Task_StopRecord_Ret(0, Window(0));
    ui->Task_StartRecord_Ret(RECORD_STARTED, Window(0));
    ui->RecordFailed(Handle(0), L"", 0);
    config->VideoPath = videos;
    EXPECT_EQ(notes, (std::vector<std::wstring>{failed, failed, failed + L" Nothing was kept."}));
}

TEST_F(PlayProtocol, AFailedSeekIsNotRetried)
{
    ASSERT_TRUE(Open(Day(1)));
    Settle();
    engine.answers.seekResult = 0;
    const int plays = engine.Total("PlayForward");
    ui->SeekRelativePos(nullptr, 30.0f, Window(0));
    EXPECT_TRUE(Reaches("SeekPercent 30", 1));
    Settle();
    EXPECT_EQ(engine.Total("PlayForward"), plays);
}

TEST_F(PlayProtocol, SnapshotsOfOneSecondGetNamesOfTheirOwn)
{
    TempFolder folder;
    CConfigManager::GetInstance()->SnapPath = folder.WidePath();
    CConfigManager::GetInstance()->SnapFormat = 2;
    ASSERT_TRUE(Open(Day(1)));
    manager->OnBnClickedVideoSnap(0, Window(0));
    manager->OnBnClickedVideoSnap(0, Window(0));
    ASSERT_TRUE(ProcessUntil([&] { return engine.Snapshots().size() == 2; }));
    const auto shots = engine.Snapshots();
    EXPECT_NE(shots[0], shots[1]);
    for (const std::string& shot : shots) {
        EXPECT_EQ(shot.rfind(folder.Path() + "/", 0), 0u) << shot;
        EXPECT_EQ(shot.substr(shot.size() - 4), ".bmp");
    }
}

TEST_F(PlayProtocol, ASnapshotThatCannotBeWrittenIsReported)
{
    TempFolder folder;
    CConfigManager::GetInstance()->SnapPath = folder.WidePath();
    ASSERT_TRUE(Open(Day(1)));
    manager->OnBnClickedVideoSnap(0, Window(0));
    ASSERT_TRUE(ProcessUntil([&] { return engine.Snapshots().size() == 1; }));
    Settle();
    EXPECT_FALSE(Noted(L"Snapshot Failed!"));
    engine.answers.snapResult = 0;
    manager->OnBnClickedVideoSnap(0, Window(0));
    EXPECT_TRUE(ProcessUntil([&] { return Noted(L"Snapshot Failed!"); }));
}

TEST_F(PlayProtocol, ATimeSpanBeforeItsOpenResultReachesTheTimeLine)
{
    auto record = Record(L"/rec/ch1.kvx", Window(0), QUERY_FILEPATH_CHANNEL, 1);
    void* handle = reinterpret_cast<void*>(0x1234);
    ui->SetWantedReturnNum(1);
    ui->GetPlayListener()->OnPlayTimeInfoChanged(handle, kDay, kDay + 60);
    ui->Task_PlayOneFile_Ret(1, handle, record);
    ASSERT_NE(ui->GetWindowEntry(Window(0)), nullptr);
    EXPECT_EQ(ui->GetWindowEntry(Window(0))->startTime, std::int32_t(kDay));
    const UISF_Channel* row = page->GetMainTimeLine()->GetPlayProgressPanel()->GetChannelRecord(Window(0));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name, L"Channel1_main");
}

TEST_F(PlayProtocol, DeletedItemsCloseTheirWindows)
{
    ASSERT_TRUE(Open({Record(L"/rec/a.kvx", Window(0), 0, -1, 1, 7), Record(L"/rec/b.kvx", Window(1), 0, -1, 2, 8)}));
    auto items = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    items->push_back(_GROUP_FILE_INFO{L"a", 7, {}});
    EXPECT_EQ(ui->CloseFilesOfDeletedItems(items), 1);
    EXPECT_EQ(ui->GetWindowEntry(Window(0)), nullptr);
    EXPECT_NE(ui->GetWindowEntry(Window(1)), nullptr);
}

TEST(PlayLogicTexts, DurationIsHoursMinutesSecondsAndZeroWhenImplausible)
{
    struct Case {
        unsigned start;
        unsigned end;
        const wchar_t* text;
    };
    for (const Case& c : {Case{100, 100 + 3723, L"01:02:03"}, Case{0, 356400, L"99:00:00"},
                          Case{0, 356401, L"00:00:00"}, Case{500, 400, L"00:00:00"}})
        EXPECT_EQ(CPlayManagerPlayLogic::FormatDuration(c.start, c.end), c.text) << c.end;
}

TEST_F(PlayProtocol, OverlayLinesFollowTheSettingOnEveryOpenFile)
{
    ASSERT_TRUE(Open(Day(2)));
    ui->ShowTrace(3);
    EXPECT_TRUE(Reaches("OpenIVSTrack", 2));
    ui->ShowTrace(0);
    EXPECT_TRUE(Reaches("CloseIVSTrack", 2));
}

TEST_F(PlayProtocol, AFrameStillQueuedWhenThePageGoesDrawsNothing)
{
    ASSERT_TRUE(Open(Day(1)));
    void* handle = Handle(0);
    auto listener = ui->GetPlayListener();
    parent.reset();
    grid = nullptr;
    bar.reset();
    manager.reset();
    page.reset();
    boost::shared_ptr<unsigned char[]> frame(new unsigned char[16 * 16 * 4]());
    EXPECT_EQ(listener->OnQTRenderSubWin(handle, frame, 16, 16, {}), 0);
    listener->OnFileEnd(handle);
}

// A day of one-minute files: three windows, four files each, in channel order.
TEST_F(PlayProtocol, OnlyShownFilesOfADayAndTheirNextOnesOpenAndTheNextIsReadyBeforeItsBoundary)
{
    std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> records;
    for (int i = 0; i < 3; ++i)
        for (int minute = 0; minute < 4; ++minute) {
            auto record = Record(L"/rec/ch" + std::to_wstring(i) + L"_" + std::to_wstring(minute) + L".kvx",
                                 Window(i), QUERY_FILEPATH_DAY, i, 10 * i + minute + 1);
            record->startTime = std::int32_t(kDay + 60 * minute);
            record->endTime = record->startTime + 60;
            records.push_back(record);
        }
    ASSERT_TRUE(Open(records));
    // The shown files play; the next file of each window is opened ahead and
    // stands on its first frame; the others decode nothing.
    ASSERT_TRUE(Reaches("Preroll", 3));
    EXPECT_EQ(engine.Count(), 6u);
    EXPECT_EQ(engine.Total("Play"), 3);
    std::set<std::string> readied;
    std::size_t next = 0;
    for (std::size_t i = 3; i < 6; ++i) {
        readied.insert(engine.Calls(i).front());
        next = engine.Calls(i).front() == "Open /rec/ch0_1.kvx" ? i : next;
    }
    EXPECT_EQ(readied, (std::set<std::string>{"Open /rec/ch0_1.kvx", "Open /rec/ch1_1.kvx", "Open /rec/ch2_1.kvx"}));
    // Each shown file holds a synchronised group at its end until its next one joins.
    EXPECT_EQ(engine.Total("HoldGroupAtEnd 1"), 3);
    // Yet the time line shows every file of the day.
    for (int i = 0; i < 3; ++i) {
        const UISF_Channel* row = page->GetMainTimeLine()->GetPlayProgressPanel()->GetChannelRecord(Window(i));
        ASSERT_NE(row, nullptr) << i;
        EXPECT_EQ(row->segments.size(), 4u) << i;
    }
    // The end of a shown file plays its readied next one (no open at the
    // boundary), closes the ended one and readies the one after.
    void* first = Handle(0);
    engine.At(0)->FireFileEnd();
    // Playing alone, the next file starts as the shown one ends, before any loop hears of it.
    EXPECT_TRUE(engine.At(next)->Called("PlayIfPrerolled"));
    ASSERT_TRUE(ProcessUntil([&] { return engine.Count() == 7u && !engine.At(0) && !engine.Calls(6).empty(); }));
    EXPECT_EQ(engine.Calls(6).front(), "Open /rec/ch0_2.kvx");
    EXPECT_EQ(ui->GetWindowEntry(Window(0))->fileId, 2);
    EXPECT_NE(ui->GetHiddenEntry(first), nullptr);
    EXPECT_TRUE(Reaches("Play", 4));
    EXPECT_TRUE(Reaches("Preroll", 4));
    EXPECT_EQ(engine.Total("Open /rec/ch0_1.kvx"), 1);
}
