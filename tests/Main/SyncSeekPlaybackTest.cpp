// A day's moves over the boundaries between files, on the real playback
// library: seeks, reverse play and the day's end, with and without Sync Play.
#include <QElapsedTimer>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <set>

#include "Base/TextCodec.h"
#include "Main/MainTimeLineEventImp.h"
#include "MainPageFixture.h"
#include "Platform/PlayModule/Support/SampleFolder.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "Widgets/SFSliderCtrl.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"
#include "Widgets/SFVideoWindow.h"

using namespace MainPageTest;

namespace {

constexpr std::int64_t kStartMs = 1451703845000;  // 2016-01-02 03:04:05 UTC
constexpr unsigned kStart = unsigned(kStartMs / 1000);
constexpr int kWindows = 2;

class SyncSeekPlayback : public MainPageFixture {
protected:
    SyncSeekPlayback() : MainPageFixture(false) {}

    void SetUp() override
    {
        MainPageFixture::SetUp();
        page->OnSize(0, 1000, 600);
    }

    int Window(int index) const { return grid->GetSubWinIDByIndex(index); }
    // Files of 4 s one after the other per channel; the earliest opens first and is shown.
    // large: the second channel's pictures are to the first's as 1080p to D1.
    std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> FilesPerChannel(int parts = 2, bool large = false)
    {
        std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> records;
        for (int part = 0; part < parts; ++part) {
            for (int i = 0; i < kWindows; ++i) {
                KVX_WRITER::SyntheticOptions options;
                options.startUtcMs = kStartMs + part * 4000;
                options.seconds = 4;
                const bool big = large && i == 1;
                options.width = big ? 480 : 176;
                options.height = big ? 272 : 144;
                options.audio.reset();
                options.gopSeconds = 1;
                const std::string path = samples.MakeKvx(options, true, "Cam01", i + 1);
                auto record = Record(SF_SOFT_BASE::Utf8ToWide(path), Window(i), QUERY_FILEPATH_DAY, i + 1,
                                     parts * i + part + 1);
                record->startTime = std::int32_t(kStart + 4 * part);
                record->endTime = record->startTime + 4;
                records.push_back(record);
            }
        }
        return records;
    }
    QImage Shown(int index) const
    {
        return dynamic_cast<CSFQTVideoWindow*>(grid)->CellAt(index)->GetPlayWnd()->FrameImage();
    }
    // Whether a window paints a picture: most of it differs from its blank background.
    bool Painted(int index) const
    {
        auto* window = dynamic_cast<CSFQTVideoWindow*>(grid)->CellAt(index)->GetPlayWnd();
        const QImage painted = window->grab().toImage();
        const QRgb blank = painted.pixel(0, 0);
        int differing = 0;
        for (int y = 0; y < painted.height(); y += 4)
            for (int x = 0; x < painted.width(); x += 4)
                differing += painted.pixel(x, y) != blank;
        return differing > (painted.width() / 4) * (painted.height() / 4) / 2;
    }
    bool SameFrameEverywhere() const
    {
        const QImage first = Shown(0);
        for (int i = 1; i < kWindows; ++i)
            if (first.isNull() || Shown(i) != first)
                return false;
        return true;
    }

    PLAY_MODULE_TEST::CSampleFolder samples;
};

}  // namespace

TEST_F(SyncSeekPlayback, EveryWindowShowsTheSameFrameAfterASeekBackOverAFileBoundary)
{
    bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, 1);
    ui->SetWantedShowNum(2 * kWindows);
    ASSERT_TRUE(Open(FilesPerChannel(), 1));
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetSynPlay() == 1; }));
    // Paused, into the later files: every window settles on one frame.
    bar->UpdateButtonState(CPlayBarEventImp::kPlayPause, 0);
    ui->Pause(1, nullptr, -1);
    ui->Seek(nullptr, kStart + 6, Window(0));
    ASSERT_TRUE(ProcessUntil([&] { return SameFrameEverywhere(); }, 15000));
    const QImage later = Shown(0);
    // Back into the earlier files, from the last window's row.
    ui->Seek(nullptr, kStart + 1, Window(kWindows - 1));
    for (int i = 0; i < kWindows; ++i) {
        ASSERT_NE(ui->GetWindowEntry(Window(i)), nullptr);
        EXPECT_EQ(ui->GetWindowEntry(Window(i))->startTime, std::int32_t(kStart)) << "window " << i;
    }
    const bool settled = ProcessUntil(
        [&] {
            for (int i = 0; i < kWindows; ++i)
                if (Shown(i) == later)
                    return false;
            return SameFrameEverywhere();
        },
        15000);
    EXPECT_TRUE(settled) << "the windows show different moments";
}

TEST_F(SyncSeekPlayback, ASeekIntoTheLastFilesPlaysThemToTheDaysEnd)
{
    bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, 1);
    ui->SetWantedShowNum(3 * kWindows);
    ASSERT_TRUE(Open(FilesPerChannel(3), 1));
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetSynPlay() == 1; }));
    ui->Seek(nullptr, kStart + 9, Window(0));
    // Every window shows moving pictures of its last file, then the day ends.
    ASSERT_TRUE(ProcessUntil([&] { return !Shown(0).isNull() && ui->GetWindowEntry(Window(0))->fileId == 3; }, 15000));
    const QImage first = Shown(0);
    EXPECT_TRUE(ProcessUntil([&] { return Shown(0) != first; }, 15000)) << "the pictures stand still";
    EXPECT_TRUE(ProcessUntil([&] { return ui->AreAllFilesEnded() == 1; }, 15000));
}

TEST_F(SyncSeekPlayback, ADayOpenedInSyncStartsEveryWindowAtTheGroupsStart)
{
    constexpr std::int64_t kApartMs = 6 * 40;
    bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, 1);
    const auto day = FilesPerChannel();
    ui->SetWantedShowNum(int(day.size()));
    ui->SetWantedReturnNum(int(day.size()));
    std::vector<void*> shown(kWindows);
    // Shown times from the day's start; a window not open yet is left out.
    auto times = [&] {
        for (int i = 0; i < kWindows; ++i)
            shown[i] = ui->GetHandleOfWindow(Window(i));
        std::vector<std::int64_t> open;
        for (std::int64_t time : ShownTimes(shown))
            if (time != 0)
                open.push_back(time - kStartMs);
        return open;
    };
    std::vector<std::int64_t> apart;
    auto inStep = [&] {
        const std::vector<std::int64_t> now = times();
        const auto [low, high] = std::minmax_element(now.begin(), now.end());
        if (!now.empty() && *high - *low > kApartMs && apart.empty())
            apart = now;
        return now;
    };
    // The first window's files open well before the second's: it stands at the day's start.
    for (const auto& record : day)
        if (record->window == Window(0))
            ui->StartPlayOneFile(record->path, record, 1);
    std::int64_t aloneMs = 0;
    ProcessUntil([&] {
        const std::vector<std::int64_t> now = inStep();
        aloneMs = std::max(aloneMs, now.empty() ? 0 : now[0]);
        return false;
    }, 1000);
    EXPECT_LE(aloneMs, 40) << "runs ahead of the group alone";
    for (const auto& record : day)
        if (record->window != Window(0))
            ui->StartPlayOneFile(record->path, record, 1);
    ASSERT_TRUE(ProcessUntil([&] { return ui->GetSynPlay() == 1; }));
    // From the first pictures on, every window shows the group's moment.
    EXPECT_TRUE(ProcessUntil([&] {
        const std::vector<std::int64_t> now = inStep();
        return int(now.size()) == kWindows && *std::min_element(now.begin(), now.end()) > 1500;
    }, 15000)) << ::testing::PrintToString(times());
    EXPECT_TRUE(apart.empty()) << "windows apart: " << ::testing::PrintToString(apart);
}

namespace {

constexpr int kFileSeconds = 4;
constexpr int kDayFiles = 3;
constexpr std::int64_t kFrameMs = 40;

// One thing the user does; after it every window shows `file` (0 the first
// of the day, -1 the one of the moment it shows) at the moment `second`
// (from the day's start) and plays on.
struct DayMove {
    enum Kind {
        Seek,          // a click on the time line at second
        Reverse,       // Reverse pressed: time falls below second
        ReverseToStart,  // reverse play reaches the day's first frame
        Forward,       // Reverse released: time rises from second
        PlayOut,       // plays on to the day's last frame
        PlayOn,        // plays on over a boundary to second
        FastReverseToStart,  // Reverse pressed at 4X: over the boundaries to the day's first frame
    };
    const char* what;
    Kind kind;
    int second;
    int file;
};

const DayMove kDayMoves[] = {
    {"seek forward into the last file", DayMove::Seek, 9, 2},
    {"seek back into a middle file", DayMove::Seek, 5, 1},
    {"seek back into the first file", DayMove::Seek, 1, 0},
    {"seek forward within the first file", DayMove::Seek, 3, 0},
    {"play on into a middle file", DayMove::PlayOn, 5, 1},
    {"seek back into the first file it played through", DayMove::Seek, 2, 0},
    {"seek forward into a middle file", DayMove::Seek, 6, 1},
    {"seek forward into the last file again", DayMove::Seek, 10, 2},
    {"play to the day's end", DayMove::PlayOut, 12, 2},
    {"seek back into the last file after the day's end", DayMove::Seek, 9, 2},
    {"play to the day's end again", DayMove::PlayOut, 12, 2},
    {"seek back into the first file after the day's end", DayMove::Seek, 2, 0},
    {"seek forward into the last file to turn there", DayMove::Seek, 9, 2},
    {"reverse across a boundary", DayMove::Reverse, 7, 1},
    {"reverse to the day's start", DayMove::ReverseToStart, 0, 0},
    {"forward again from the day's start", DayMove::Forward, 0, 0},
    {"seek forward into the last file to reverse fast", DayMove::Seek, 10, 2},
    {"reverse at 4X over the boundaries to the day's start", DayMove::FastReverseToStart, 0, 0},
    {"forward again at 4X from the day's start", DayMove::Forward, 0, -1},
};

// Parameter: with Sync Play.
class DayMoves : public SyncSeekPlayback, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        SyncSeekPlayback::SetUp();
        if (GetParam())
            bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, 1);
        ui->SetWantedShowNum(kDayFiles * kWindows);
        m_day = FilesPerChannel(kDayFiles, true);
        ASSERT_TRUE(Open(m_day, GetParam() ? 1 : 0));
        ASSERT_TRUE(ProcessUntil([&] { return ui->GetSynPlay() == (GetParam() ? 1 : 0); }));
    }

    std::vector<void*> Shown() const
    {
        std::vector<void*> handles;
        for (int i = 0; i < kWindows; ++i)
            handles.push_back(ui->GetHandleOfWindow(Window(i)));
        return handles;
    }
    // Shown times from the day's start, in ms.
    std::vector<std::int64_t> Times() const
    {
        std::vector<std::int64_t> times = ShownTimes(Shown());
        for (std::int64_t& time : times)
            time -= kStartMs;
        return times;
    }
    // Times of the pictures the windows show, from the day's start, in ms.
    std::vector<std::int64_t> PictureTimes() const
    {
        std::vector<std::int64_t> times = ShownPictureTimes(Shown());
        for (std::int64_t& time : times)
            time -= kStartMs;
        return times;
    }
    const _QUERY_FILE_INFO& DayFile(int window, int file) const { return *m_day[file * kWindows + window]; }
    // file < 0: each window the file of the moment it shows.
    bool ShowsFile(int file) const
    {
        const std::vector<std::int64_t> times = file < 0 ? Times() : std::vector<std::int64_t>();
        for (int i = 0; i < kWindows; ++i) {
            const int wanted = file < 0 ? int(std::clamp<std::int64_t>(times[i] / 4000, 0, kDayFiles - 1)) : file;
            const _QUERY_FILE_INFO* entry = ui->GetWindowEntry(Window(i));
            if (!entry || entry->fileId != DayFile(i, wanted).fileId)
                return false;
        }
        return true;
    }
    // Recordings the process holds open.
    static std::set<std::string> OpenRecordings()
    {
        std::set<std::string> open;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            const std::filesystem::path target = std::filesystem::read_symlink(fd.path(), error);
            if (!error && target.extension() == ".kvx")
                open.insert(target.string());
        }
        return open;
    }
    // The shown files and, readied ahead, the next one of each in its play direction.
    std::set<std::string> ShownAndNextRecordings() const
    {
        std::set<std::string> wanted;
        auto add = [&wanted](const _QUERY_FILE_INFO& entry) {
            wanted.insert(std::filesystem::canonical(SF_SOFT_BASE::WideToUtf8(entry.path)));
        };
        for (int i = 0; i < kWindows; ++i) {
            const _QUERY_FILE_INFO* shown = ui->GetWindowEntry(Window(i));
            add(*shown);
            for (int file = 0; file < kDayFiles; ++file) {
                const int next = file + (shown->directionMark ? 1 : -1);
                if (DayFile(i, file).fileId == shown->fileId && next >= 0 && next < kDayFiles)
                    add(DayFile(i, next));
            }
        }
        return wanted;
    }
    bool All(const std::function<bool(std::int64_t)>& holds) const
    {
        for (std::int64_t time : Times())
            if (!holds(time))
                return false;
        return true;
    }
    void ClickTimeLine(int second)
    {
        // With Sync Play one row's click moves the group; else each row is clicked.
        for (int i = 0; i < (GetParam() ? 1 : kWindows); ++i)
            page->GetMainTimeLine()->OnPositionChanged(0, Window(i), 1, int(kStart) + second, VIDEOCUT_END);
    }
    void ClickReverse(int on)
    {
        ASSERT_TRUE(ProcessUntil([&] {
            for (int i = 0; i < kWindows; ++i)
                if (ui->GetWindowEntry(Window(i))->indexMark != 1)
                    return false;
            return true;
        }));
        bar->UpdateButtonState(CPlayBarEventImp::kReverse, on);
        bar->RADIO_OnClicked(on, CPlayBarEventImp::kReverse, {});
    }
    // Played ms per wall ms over a second, the same in every window.
    double Rate()
    {
        QElapsedTimer wall;
        const std::vector<std::int64_t> from = Times();
        wall.start();
        Settle(1000);
        const std::vector<std::int64_t> to = Times();
        // Each window on its own may lag a little behind another, never a file.
        const auto apartMs = std::int64_t((GetParam() ? 6 * kFrameMs : 1000) * m_speed);
        for (int i = 1; i < kWindows; ++i)
            EXPECT_LE(std::llabs(to[i] - to[0]), apartMs) << "windows apart";
        return double(to[0] - from[0]) / double(wall.elapsed());
    }
    // The rate of play at the speed asked for, generous on a busy machine.
    void ExpectRate(double sign)
    {
        const double rate = sign * Rate();
        if (m_speed == 1.0) {
            EXPECT_NEAR(rate, 1.0, 0.35);
        } else {
            EXPECT_GT(rate, 0.4 * m_speed);
        }
    }
    // With Sync Play every window shows the group's moment: none stands
    // apart from another by more than a few frames' play.
    void ExpectInStep(const std::vector<std::int64_t>& times) const
    {
        if (!GetParam())
            return;
        const auto [low, high] = std::minmax_element(times.begin(), times.end());
        EXPECT_LE(*high - *low, std::int64_t(6 * kFrameMs * m_speed)) << ::testing::PrintToString(times);
    }
    // Reverse at 4X over every boundary: the windows go back together and
    // each shows the first file down to its first frame.
    void ReverseFastToTheStart()
    {
        m_speed = 4.0;
        bar->GetSlider(CPlayBarEventImp::kSpeedSlider)->SetPos(CPlayBarEventImp::kNormalSpeedStep + 2);
        bar->SF_OnSliderPos(CPlayBarEventImp::kSpeedSlider, CPlayBarEventImp::kNormalSpeedStep + 2);
        ASSERT_FLOAT_EQ(bar->GetSpeed(), 4.0f);
        ClickReverse(1);
        std::int64_t apartMs = 0;
        std::vector<std::int64_t> lowest(kWindows, INT64_MAX);
        EXPECT_TRUE(ProcessUntil([&] {
            const std::vector<std::int64_t> times = Times();
            const auto [low, high] = std::minmax_element(times.begin(), times.end());
            apartMs = std::max(apartMs, *high - *low);
            for (int i = 0; i < kWindows; ++i)
                lowest[i] = std::min(lowest[i], times[i]);
            return *high <= kFrameMs;
        }, 15000)) << ::testing::PrintToString(Times());
        EXPECT_LE(*std::max_element(lowest.begin(), lowest.end()), kFrameMs);
        // The user looks a while at the first frame.
        Settle(2000);
        EXPECT_TRUE(All([&](std::int64_t t) { return t <= kFrameMs; })) << ::testing::PrintToString(Times());
        const std::vector<std::int64_t> pictures = PictureTimes();
        EXPECT_TRUE(std::all_of(pictures.begin(), pictures.end(), [](std::int64_t t) { return t <= kFrameMs; }))
            << "pictures shown: " << ::testing::PrintToString(pictures);
        // A boundary may keep one window a moment longer, never a file's worth.
        EXPECT_LE(apartMs, GetParam() ? 1000 : 4000) << "windows apart";
    }
    // Played forward from a moment, the pictures move on at once.
    void ExpectToPlayOnFrom(std::int64_t momentMs)
    {
        EXPECT_TRUE(ProcessUntil([&] { return All([&](std::int64_t t) { return t > momentMs + 300; }); }, 2000))
            << "stands at " << ::testing::PrintToString(Times());
    }
    void Make(const DayMove& move);

    std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> m_day;
    double m_speed = 1.0;
};

void DayMoves::Make(const DayMove& move)
{
    const std::int64_t targetMs = move.second * 1000LL;
    QElapsedTimer wall;
    wall.start();
    switch (move.kind) {
    case DayMove::Seek:
        ClickTimeLine(move.second);
        // The target's frame, then later ones: never a frame before it nor
        // one further on than the time since the click.
        EXPECT_TRUE(ProcessUntil([&] {
            const std::int64_t latestMs = targetMs + wall.elapsed() + 300;
            return ShowsFile(move.file) &&
                   All([&](std::int64_t t) { return t >= targetMs - kFrameMs && t <= latestMs; });
        }, 5000)) << ::testing::PrintToString(Times());
        ExpectToPlayOnFrom(targetMs);
        break;
    case DayMove::Reverse:
        ClickReverse(1);
        ASSERT_TRUE(ProcessUntil([&] {
            return ShowsFile(move.file) && All([&](std::int64_t t) { return t < targetMs; });
        }, 10000)) << ::testing::PrintToString(Times());
        ExpectRate(-1.0);
        break;
    case DayMove::ReverseToStart:
        EXPECT_TRUE(ProcessUntil([&] { return All([&](std::int64_t t) { return t <= kFrameMs; }); }, 10000))
            << ::testing::PrintToString(Times());
        // The user looks a while at the first frame.
        Settle(2000);
        EXPECT_TRUE(All([&](std::int64_t t) { return t <= kFrameMs; })) << ::testing::PrintToString(Times());
        break;
    case DayMove::Forward:
        ClickReverse(0);
        ExpectToPlayOnFrom(targetMs);
        ExpectRate(1.0);
        break;
    case DayMove::FastReverseToStart:
        ReverseFastToTheStart();
        break;
    case DayMove::PlayOn:
        EXPECT_TRUE(ProcessUntil([&] {
            return ShowsFile(move.file) && All([&](std::int64_t t) { return t >= targetMs; });
        }, 10000)) << ::testing::PrintToString(Times());
        break;
    case DayMove::PlayOut:
        EXPECT_TRUE(ProcessUntil([&] { return ui->AreAllFilesEnded() == 1; }, 10000));
        EXPECT_TRUE(All([&](std::int64_t t) { return t >= targetMs - 2 * kFrameMs; }))
            << ::testing::PrintToString(Times());
        break;
    }
    // Playing on, a window's time may cross into its next file a moment
    // before the page shows that file.
    EXPECT_TRUE(ProcessUntil([&] { return ShowsFile(move.file); }, 1000)) << ::testing::PrintToString(Times());
    ExpectInStep(Times());
    EXPECT_TRUE(ProcessUntil([&] { return OpenRecordings() == ShownAndNextRecordings(); }, 3000))
        << ::testing::PrintToString(OpenRecordings());
}

}  // namespace

TEST_P(DayMoves, EveryWindowShowsTheMomentOfEachMoveFromTheFileOfThatMomentAlone)
{
    for (const DayMove& move : kDayMoves) {
        SCOPED_TRACE(move.what);
        Make(move);
        if (HasFatalFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(SyncPlay, DayMoves, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Synchronised" : "EachWindow"; });

TEST_F(SyncSeekPlayback, AChannelWhoseFirstFileFailsPlaysOnFromItsNextFile)
{
    auto notes = boost::make_shared<std::vector<std::wstring>>();
    SetNotifyMessageHandler([notes](const std::wstring& text, bool) { notes->push_back(text); });
    auto day = FilesPerChannel(2);
    std::ofstream(SF_SOFT_BASE::WideToUtf8(day[0]->path), std::ios::binary | std::ios::trunc) << std::string(4096, 'Z');
    ASSERT_TRUE(Open(day));
    // The second file of window 0 plays there, its pictures shown.
    EXPECT_TRUE(ProcessUntil([&] {
        const _QUERY_FILE_INFO* entry = ui->GetWindowEntry(Window(0));
        return entry && entry->fileId == day[kWindows]->fileId && Painted(0) &&
               ShownTimes({ui->GetHandleOfWindow(Window(0))})[0] > kStartMs + 4500;
    }, 8000));
    EXPECT_EQ(*notes, std::vector<std::wstring>{L"open or play record failed!"});
    SetNotifyMessageHandler({});
}
