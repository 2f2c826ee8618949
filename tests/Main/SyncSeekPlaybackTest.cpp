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
    // Two files of 4 s one after the other per channel; the earlier opens first and is shown.
    std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> TwoFilesPerChannel()
    {
        std::vector<boost::shared_ptr<_QUERY_FILE_INFO>> records;
        for (int part = 0; part < 2; ++part) {
            for (int i = 0; i < kWindows; ++i) {
                KVX_WRITER::SyntheticOptions options;
                options.startUtcMs = kStartMs + part * 4000;
                options.seconds = 4;
                options.width = 176;
                options.height = 144;
                options.audio.reset();
                options.gopSeconds = 1;
                const std::string path = samples.MakeKvx(options, true, "Cam01", i + 1);
                records.push_back(Record(SF_SOFT_BASE::Utf8ToWide(path), Window(i), QUERY_FILEPATH_DAY, i + 1,
                                         2 * i + part + 1));
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
    ASSERT_TRUE(Open(TwoFilesPerChannel(), 1));
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
