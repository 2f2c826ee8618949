#include <QElapsedTimer>
#include <QImage>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>

#include <sys/resource.h>

#include "Base/PostTask.h"
#include "Base/TextCodec.h"
#include "Common/ConfigManager.h"
#include "Common/FileNameHelpers.h"
#include "Common/IndexFileStore.h"
#include "Common/UserMessages.h"
#include "Main/MainPlayListener.h"
#include "Main/MainTimeLineEventImp.h"
#include "Main/PlayManagerPlayLogic.h"
#include "MainPageFixture.h"
#include "PlayManager/PlayManager.h"
#include "PlayManager/PlayObject.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Platform/PlayModule/Stream/IWatermarkCheckListener.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/SampleFolder.h"
#include "Platform/PlayModule/Stream/WatermarkChecker.h"
#include "Support/PromptRecorder.h"
#include "Support/SyncLog.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFRadioBox.h"

using namespace MainPageTest;
using SF_SOFT_BASE::Utf8ToWide;

namespace {

constexpr std::int64_t kStartMs = 1451703845000;  // 2016-01-02 03:04:05 UTC
constexpr unsigned kStart = unsigned(kStartMs / 1000);
constexpr std::int64_t kFrameMs = 40;  // 25 frames a second

using ShownFrame = std::pair<std::int64_t, QImage>;

// The main page on our real playback library and recordings made now.
class RealPlayback : public MainPageFixture {
protected:
    RealPlayback() : MainPageFixture(false) {}

    void SetUp() override
    {
        MainPageFixture::SetUp();
        SetPromptDialog(&prompts);
        SetNotifyMessageHandler([this](const std::wstring& text, bool) { notes.push_back(text); });
        page->OnSize(0, 1000, 600);
    }
    void TearDown() override
    {
        MainPageFixture::TearDown();
        SetNotifyMessageHandler({});
        SetPromptDialog(nullptr);
    }

    std::string Recording(int channel, double seconds = 4, std::int64_t startMs = kStartMs)
    {
        KVX_WRITER::SyntheticOptions options;
        options.startUtcMs = startMs;
        options.seconds = seconds;
        options.width = 352;
        options.height = 288;
        options.audio.reset();
        options.gopSeconds = 1;
        return samples.MakeKvx(options, true, "Cam01", channel);
    }
    int Window(int index) const { return grid->GetSubWinIDByIndex(index); }
    // Records window 0 in a format under a file-size limit, which stands in
    // for a full disk (with SIGXFSZ ignored a write past it fails with
    // EFBIG); whether the user was told while it recorded.
    bool RecordOntoAFullDisk(const std::string& path, int format)
    {
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit oldLimit{};
        getrlimit(RLIMIT_FSIZE, &oldLimit);
        const rlimit limit{200000, oldLimit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool started = ui->StartRecord(nullptr, Utf8ToWide(path), format, Window(0)) == 1 &&
                             ProcessUntil([&] { return PlayWnd(0)->RecordState() == 1; });
        const bool told = started && ProcessUntil([&] { return !notes.empty(); }, 60000);
        setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);
        return told;
    }
    void* Handle(int index) const { return ui->GetHandleOfWindow(Window(index)); }
    CSFQTVideoWindowPlayWnd* PlayWnd(int index) const
    {
        return dynamic_cast<CSFQTVideoWindow*>(grid)->CellAt(index)->GetPlayWnd();
    }
    bool HasFrame(int index) const
    {
        return !PlayWnd(index)->FrameImage().isNull() || !PlayWnd(index)->PresentedImage().isNull();
    }
    bool FramesIn(int windows) const
    {
        return ProcessUntil([&] {
            for (int i = 0; i < windows; ++i)
                if (!HasFrame(i))
                    return false;
            return true;
        });
    }
    // The picture a window shows.
    QImage Shown(int index) const
    {
        return PlayWnd(index)->FrameImage().isNull() ? PlayWnd(index)->PresentedImage() : PlayWnd(index)->FrameImage();
    }
    // The time of the frame a window's file shows, in ms since 1970.
    std::int64_t ShownMs(int index) { return ShownTimes({Handle(index)})[0]; }
    // The time and picture of each window's shown frame, once they stopped
    // changing (a window that lagged may still catch up with a pause).
    std::vector<ShownFrame> StillFrames(int windows)
    {
        std::vector<ShownFrame> last;
        std::vector<ShownFrame> now;
        for (int tries = 0; tries < 50 && (now.empty() || now != last); ++tries) {
            last = std::exchange(now, {});
            Settle(200);
            for (int i = 0; i < windows; ++i)
                now.emplace_back(ShownMs(i), Shown(i));
        }
        return now;
    }
    // Whether a window shows the frame of a moment: the last one at or before it.
    bool ShowsMoment(int index, std::int64_t momentMs)
    {
        const std::int64_t ahead = ShownMs(index) - momentMs;
        return ahead <= 0 && ahead > -kFrameMs;
    }
    // Played ms of recording per ms of wall time, over a few seconds.
    double PlayRate(int index, int wallMs = 2000)
    {
        QElapsedTimer wall;
        const std::int64_t from = ShownMs(index);
        wall.start();
        Settle(wallMs);
        const std::int64_t to = ShownMs(index);
        return double(to - from) / double(wall.elapsed());
    }
    std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> DayOf(int channels, int type = QUERY_FILEPATH_DAY,
                                                           double seconds = 4)
    {
        std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> records;
        for (int i = 0; i < channels; ++i)
            records.push_back(Record(Utf8ToWide(Recording(i + 1, seconds)), Window(i), type, i + 1, i + 1));
        return records;
    }
    bool TimesKnown(int windows) const
    {
        return ProcessUntil([&] {
            for (int i = 0; i < windows; ++i) {
                const _QUERY_FILE_INFO* entry = ui->GetWindowEntry(Window(i));
                if (!entry || entry->startTime < 0)
                    return false;
            }
            return true;
        });
    }

    // Turns window 0 to reverse and watches its frames fall.
    void ExpectFramesToFallOnceTurned()
    {
        grid->SetFocusSubWin(Window(0));
        ui->SetPlayDirection(0);
        Settle(300);
        EXPECT_EQ(ui->GetWindowEntry(Window(0))->directionMark, 0);
        EXPECT_EQ(bar->GetRadio(CPlayBarEventImp::kReverse)->GetCheck(), 1);
        // Frames fall: once turned, every shown frame is earlier than the one before.
        std::int64_t lastMs = ShownMs(0);
        bool fell = false;
        ASSERT_TRUE(ProcessUntil([&] {
            if (!fell) {
                const std::int64_t now = ShownMs(0);
                fell = now < lastMs;
                lastMs = now;
            }
            return fell;
        }));
        const std::int64_t turnedMs = lastMs;
        const QImage turned = Shown(0);
        bool rose = false;
        EXPECT_TRUE(ProcessUntil([&] {
            const std::int64_t now = ShownMs(0);
            rose = rose || now > lastMs;
            lastMs = now;
            return now <= turnedMs - 10 * kFrameMs;
        })) << turnedMs - lastMs;
        EXPECT_FALSE(rose);
        EXPECT_NE(Shown(0), turned);
    }

    PLAY_MODULE_TEST::CSampleFolder samples;
    PromptRecorder prompts;
    std::vector<std::wstring> notes;
};

}  // namespace

TEST_F(RealPlayback, FourChannelsOfADayPlayPauseStepChangeSpeedAndClose)
{
    ASSERT_TRUE(Open(DayOf(4, QUERY_FILEPATH_DAY, 24)));
    ASSERT_TRUE(FramesIn(4));
    ASSERT_TRUE(TimesKnown(4));
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(page->GetMainTimeLine()->GetPlayProgressPanel()->GetChannelRecord(Window(i)), nullptr) << i;

    ui->Pause(1, nullptr, -1);
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetPauseAnswered() == 1; }));
    const std::vector<ShownFrame> paused = StillFrames(4);
    // A step forward shows every window's next frame, a step back the paused one again.
    ui->OneStepPlay(1);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(ProcessUntil([&] {
            return ShownMs(i) == paused[i].first + kFrameMs && Shown(i) != paused[i].second;
        })) << i << " " << ShownMs(i) - paused[i].first;
    ui->OneStepPlay(0);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(ProcessUntil([&] { return ShownFrame(ShownMs(i), Shown(i)) == paused[i]; }))
            << i << " " << ShownMs(i) - paused[i].first;

    // Each speed plays its multiple of the wall time, from 1/4X to 8X.
    ui->Pause(0, nullptr, -1);
    double slower = 0;
    for (int position = 4; position <= 9; ++position) {
        const float speed = CPlayBarEventImp::SpeedFactor(position);
        ui->SetPlaySpeed(speed);
        ui->Seek(nullptr, kStart, Window(0));
        Settle(300);
        const double rate = PlayRate(0);
        EXPECT_LT(rate, speed * 1.35) << speed;
        // Up to 2X the pictures keep pace; faster, decoding may lag, but each speed is faster.
        if (speed <= 2)
            EXPECT_GT(rate, speed * 0.65) << speed;
        else
            EXPECT_GT(rate, slower * 1.3) << speed;
        slower = rate;
    }
    ui->SetPlaySpeed(1.0f);
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetPauseAnswered() == 1; }));

    // Closing every window while frames are in flight ends cleanly.
    ui->CloseFiles(nullptr, -1);
    EXPECT_TRUE(ProcessUntil([&] { return ui->GetCloseWantedNum() == 0; }));
    EXPECT_EQ(ui->GetWindowEntry(Window(0)), nullptr);
}

TEST_F(RealPlayback, SeekMovesOneWindowAndTheSynchronisedGroupTogether)
{
    ASSERT_TRUE(Open(DayOf(2, QUERY_FILEPATH_DAY, 12)));
    ASSERT_TRUE(TimesKnown(2));
    CSFPlayProgressPanel* panel = page->GetMainTimeLine()->GetPlayProgressPanel();
    // Paused as by the play bar's button, so the group formed below stays paused too.
    bar->UpdateButtonState(CPlayBarEventImp::kPlayPause, 0);
    ui->Pause(1, nullptr, -1);
    for (int i = 0; i < 2; ++i)
        ui->Seek(nullptr, kStart + 6, Window(i));
    ui->Pause(1, nullptr, -1);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(ProcessUntil([&] { return ShowsMoment(i, (kStart + 6) * 1000LL); })) << ShownMs(i);
    // The cursor follows a seek made while paused.
    EXPECT_TRUE(ProcessUntil([&] { return panel->GetPlayTime(Window(0)) >= int(kStart + 6); }));

    // A group formed of paused files stays where they are, even asked to pause again.
    bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, 1);
    ASSERT_EQ(ui->SetSynPlay(1), 1);
    Settle(500);
    ui->Pause(1, nullptr, -1);
    Settle(300);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(ShowsMoment(i, (kStart + 6) * 1000LL)) << ShownMs(i);
    // A seek of the group brings every window to the frame of the sought moment.
    ui->Seek(nullptr, kStart + 2, Window(0));
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(ProcessUntil([&] { return ShowsMoment(i, (kStart + 2) * 1000LL); })) << ShownMs(i);
}

TEST_F(RealPlayback, AStaleIndexIsReplacedAndThenFramesFallInReverse)
{
    auto records = DayOf(1, QUERY_FILEPATH_SINGLE, 12);
    const std::string index = SF_SOFT_BASE::WideToUtf8(GetIndexFilePath(records[0]->path));
    std::filesystem::create_directories(std::filesystem::path(index).parent_path());
    std::ofstream(index, std::ios::binary) << std::string(64, '\x01');
    ASSERT_FALSE(IsIndexFileValid(records[0]->path));
    ASSERT_TRUE(Open(records));
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetWindowEntry(Window(0))->indexMark == 1; }));
    EXPECT_TRUE(ProcessUntil([&] { return IsIndexFileValid(records[0]->path); }));
    ASSERT_TRUE(ProcessUntil([&] { return ShownMs(0) >= kStartMs + 1000; }));
    ExpectFramesToFallOnceTurned();
    EXPECT_TRUE(std::find(notes.begin(), notes.end(), L"Failed to play backward!") == notes.end());
    std::filesystem::remove(index);
}

// An ".mp4", with or without a creation time, is indexed as it opens on the
// main page, and then plays in reverse.
class RealMp4Playback : public RealPlayback, public ::testing::WithParamInterface<std::int64_t> {
};

TEST_P(RealMp4Playback, IsIndexedAndPlaysInReverse)
{
    PLAY_MODULE_TEST::ContainerSampleOptions options;
    options.seconds = 12;
    options.creationUtcMs = GetParam();
    const std::string path = samples.File("clip.mp4");
    ASSERT_TRUE(PLAY_MODULE_TEST::MakeContainerSample(path, PLAY_MODULE_TEST::ContainerKind::Mp4, options));
    auto record = Record(Utf8ToWide(path), Window(0), QUERY_FILEPATH_SINGLE);
    record->fileType = GetFileTypeByExtension(record->path);
    ASSERT_TRUE(Open({record}));
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetWindowEntry(Window(0))->indexMark == 1; }, 5000));
    EXPECT_TRUE(ProcessUntil([&] { return IsIndexFileValid(record->path); }));
    ASSERT_TRUE(FramesIn(1));
    Settle(1000);
    ExpectFramesToFallOnceTurned();
    EXPECT_TRUE(std::find(notes.begin(), notes.end(), L"Failed to play backward!") == notes.end());
    std::filesystem::remove(SF_SOFT_BASE::WideToUtf8(GetIndexFilePath(record->path)));
}

INSTANTIATE_TEST_SUITE_P(CreationTimes, RealMp4Playback, ::testing::Values(kStartMs, std::int64_t(-1)),
                         [](const auto& info) { return info.param < 0 ? "Undated" : "Dated"; });

TEST_F(RealPlayback, SnapshotsAreDecodableFilesOfTheirOwn)
{
    CConfigManager::GetInstance()->SnapPath = Utf8ToWide(samples.File("shots"));
    CConfigManager::GetInstance()->SnapFormat = 1;
    ASSERT_TRUE(Open(DayOf(1)));
    ASSERT_TRUE(FramesIn(1));
    ui->Pause(1, nullptr, -1);
    manager->OnBnClickedVideoSnap(0, Window(0));
    manager->OnBnClickedVideoSnap(0, Window(0));
    // Two JPEG pictures of the frame's size, under names of their own.
    EXPECT_TRUE(ProcessUntil([&] {
        int pictures = 0;
        for (const auto& entry : std::filesystem::directory_iterator(samples.File("shots")))
            if (entry.path().extension() == ".jpg" &&
                QImage(QString::fromStdString(entry.path().string())).size() == QSize(352, 288))
                ++pictures;
        return pictures == 2;
    }));
}

TEST_F(RealPlayback, ALocalRecordingInBothFormatsPlaysBack)
{
    ASSERT_TRUE(Open({Record(Utf8ToWide(Recording(1, 20)), Window(0))}));
    ASSERT_TRUE(FramesIn(1));
    std::filesystem::create_directory(samples.File("copies"));
    SYNC_LOG::Start();
    for (int format : {0, 1}) {
        const std::wstring path = Utf8ToWide(samples.File(format ? "copies/clip.avi" : "copies/copy.kvx"));
        const std::string extension = format ? ".avi" : ".kvx";
        ASSERT_EQ(ui->StartRecord(nullptr, path, format, Window(0)), 1);
        // Longer than two key-frame intervals: a copy runs from a key frame to the last signature.
        Settle(2500);
        ui->StopRecord(nullptr, Window(0));
        // An AVI file is named from the time of its first frame.
        std::string written;
        ASSERT_TRUE(ProcessUntil([&] {
            for (const auto& entry : std::filesystem::directory_iterator(samples.File("copies")))
                if (entry.path().extension() == extension && entry.path().filename() != "clip.avi")
                    written = entry.path().string();
            return !written.empty();
        }));
        // On the disk before it was renamed into place.
        EXPECT_TRUE(SYNC_LOG::SyncedBeforeRenameTo(written)) << written;
        auto record = Record(Utf8ToWide(written), Window(1 + format));
        record->fileType = format ? 2 : 1;
        ASSERT_TRUE(Open({record}));
        EXPECT_NE(ui->GetWindowEntry(Window(1 + format)), nullptr) << format;
        EXPECT_TRUE(ProcessUntil([&] { return HasFrame(1 + format); })) << format;
    }
    SYNC_LOG::Stop();
    // The native copy still carries a sound watermark.
    PLAY_MODULE::CWatermarkChecker checker;
    std::vector<PLAY_MODULE::WatermarkReport> reports;
    for (const PLAY_MODULE::KvxRecord& record : PLAY_MODULE_TEST::ReadAllRecords(samples.File("copies/copy.kvx")))
        checker.Check(record, reports);
    checker.Finish(reports);
    ASSERT_FALSE(reports.empty());
    for (const auto& report : reports)
        EXPECT_EQ(report.result, PLAY_MODULE::kWatermarkResultOk) << report.text << " " << report.kind;
}

TEST_F(RealPlayback, ALocalRecordingOntoAFullDiskIsReportedAtOnceWithWhatWasKept)
{
    ASSERT_TRUE(Open({Record(Utf8ToWide(Recording(1, 30)), Window(0))}));
    ASSERT_TRUE(FramesIn(1));
    const std::string copy = samples.File("copy.kvx");
    ASSERT_TRUE(RecordOntoAFullDisk(copy, 0));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(notes[0].starts_with(L"Record Failed! ")) << SF_SOFT_BASE::WideToUtf8(notes[0]);
    EXPECT_NE(notes[0].find(L" s were kept in " + Utf8ToWide(copy)), std::wstring::npos)
        << SF_SOFT_BASE::WideToUtf8(notes[0]);
    EXPECT_EQ(PlayWnd(0)->RecordState(), 0);
    ASSERT_TRUE(std::filesystem::exists(copy));
    EXPECT_LE(std::filesystem::file_size(copy), 200000u);
    EXPECT_GE(PLAY_MODULE_TEST::ReadAllRecords(copy).size(), 25u);
    // The stop has nothing more to say.
    ui->StopRecord(nullptr, Window(0));
    Settle(500);
    EXPECT_EQ(notes.size(), 1u);
}

TEST_F(RealPlayback, ALocalAviRecordingOntoAFullDiskKeepsAPlayableIncompleteClipAndSaysSoAtOnce)
{
    ASSERT_TRUE(Open({Record(Utf8ToWide(Recording(1, 30)), Window(0))}));
    ASSERT_TRUE(FramesIn(1));
    ASSERT_TRUE(RecordOntoAFullDisk(samples.File("clip.avi"), 1));
    ASSERT_EQ(notes.size(), 1u);
    const std::wstring kept = L" s were kept in ";
    const std::size_t at = notes[0].find(kept);
    ASSERT_TRUE(notes[0].starts_with(L"Record Failed! ") && at != std::wstring::npos)
        << SF_SOFT_BASE::WideToUtf8(notes[0]);
    const std::string path = SF_SOFT_BASE::WideToUtf8(notes[0].substr(at + kept.size()));
    EXPECT_TRUE(path.ends_with("_incomplete.avi")) << path;
    EXPECT_EQ(PlayWnd(0)->RecordState(), 0);
    ui->StopRecord(nullptr, Window(0));
    Settle(500);
    EXPECT_EQ(notes.size(), 1u);
    auto record = Record(Utf8ToWide(path), Window(1));
    record->fileType = 2;
    ASSERT_TRUE(Open({record}));
    EXPECT_TRUE(ProcessUntil([&] { return HasFrame(1); }));
}

TEST_F(RealPlayback, TheEndOfAFileMovesToTheNextFileOfItsChannel)
{
    auto first = Record(Utf8ToWide(Recording(1, 2)), Window(0), QUERY_FILEPATH_CHANNEL, 1, 1);
    auto second = Record(Utf8ToWide(Recording(1, 2, kStartMs + 3000)), Window(0), QUERY_FILEPATH_CHANNEL, 1, 2);
    ASSERT_TRUE(Open({first, second}));
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetWindowEntry(Window(0))->fileId == 2; }, 15000));
    EXPECT_NE(ui->GetHiddenEntry(ui->GetHandleOfWindow(Window(0))), ui->GetWindowEntry(Window(0)));
}

TEST_F(RealPlayback, BadRecordingsAreReportedOrPlayedAsFarAsTheyGoNeverHang)
{
    const std::string truncated = Recording(1, 9);
    std::filesystem::resize_file(truncated, std::filesystem::file_size(truncated) / 3);
    const std::string garbled = samples.File("Cam01_ch2_main_20160102030405_20160102030409.kvx");
    std::ofstream(garbled, std::ios::binary) << std::string(4096, '\x5a');
    const std::string deleted = Recording(3);
    std::filesystem::remove(deleted);

    ASSERT_TRUE(Open({Record(Utf8ToWide(truncated), Window(0)), Record(Utf8ToWide(garbled), Window(1)),
                      Record(Utf8ToWide(deleted), Window(2))}));
    EXPECT_EQ(ui->GetWantedReturnNum(), 0);
    // The garbled and the deleted file are each reported and leave their windows empty.
    EXPECT_EQ(ui->GetWindowEntry(Window(1)), nullptr);
    EXPECT_EQ(ui->GetWindowEntry(Window(2)), nullptr);
    EXPECT_EQ(notes, std::vector<std::wstring>(2, L"open or play record failed!"));
    // The truncated one opens: a snapshot of it is tried for real.
    ASSERT_NE(ui->GetWindowEntry(Window(0)), nullptr);
    EXPECT_TRUE(FramesIn(1));
    ui->Pause(1, nullptr, -1);
    CConfigManager::GetInstance()->SnapPath = L"/proc/no-such-folder";
    manager->OnBnClickedVideoSnap(0, Window(0));
    EXPECT_EQ(prompts.texts, std::vector<std::wstring>{L"Failed to create path!"});
    // It plays up to its cut, whose end closes the window quietly, as a whole file's would.
    ui->Pause(0, nullptr, -1);
    EXPECT_TRUE(ProcessUntil([&] { return ui->GetWindowEntry(Window(0)) == nullptr; }, 20000));
    EXPECT_EQ(notes.size(), 2u);
}
