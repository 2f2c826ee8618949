// A synchronised seek over a boundary between files, on the real playback
// library: every window shows the same frame.
#include <QImage>

#include "Base/TextCodec.h"
#include "MainPageFixture.h"
#include "Platform/PlayModule/Support/SampleFolder.h"
#include "VideoWidgets/SFQTVideoWindow.h"
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
    std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> FilesPerChannel(int parts = 2)
    {
        std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> records;
        for (int part = 0; part < parts; ++part) {
            for (int i = 0; i < kWindows; ++i) {
                KVX_WRITER::SyntheticOptions options;
                options.startUtcMs = kStartMs + part * 4000;
                options.seconds = 4;
                options.width = 176;
                options.height = 144;
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
