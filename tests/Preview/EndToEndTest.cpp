#include <QImage>
#include <QSet>
#include <QTreeWidgetItem>

#include <filesystem>

#include "Base/TextCodec.h"
#include "Common/IndexFileStore.h"
#include "KvxWriter/InputRecording.h"
#include "KvxWriter/RecordingName.h"
#include "Platform/PlayModule/Support/ContainerSample.h"
#include "Platform/PlayModule/Support/SampleFolder.h"
#include "PlayManager/PlayObject.h"
#include "PlayManager/RenderSetup.h"
#include "PreviewPageFixture.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFStatic.h"

using namespace PreviewTest;
using SF_SOFT_BASE::Utf8ToWide;

namespace {

constexpr std::int64_t kStartMs = 1704096000000;  // 2024-01-01 08:00:00 UTC

class EndToEndTest : public PreviewPageTest {
public:
    void SetUp() override
    {
        InitRender();
        PreviewPageTest::SetUp();
        player->GetSlicesComboBox()->SetCurSel(2);  // 4 slices
    }
    void TearDown() override
    {
        PreviewPageTest::TearDown();
        for (const std::string& path : made)
            std::filesystem::remove(SF_SOFT_BASE::WideToUtf8(GetIndexFilePath(Utf8ToWide(path))));
    }
    bool RealLibrary() const override { return true; }

    std::string PatternRecording()
    {
        KVX_WRITER::SyntheticOptions options;
        options.startUtcMs = kStartMs;
        options.seconds = 40;
        options.width = 352;
        options.height = 288;
        options.audio.reset();
        options.overlays = false;
        made.push_back(folder.MakeKvx(options, false, UniqueRecorder()));
        return made.back();
    }

    std::string ClipRecording()
    {
        const std::string clip = folder.File("clip.mp4");
        PLAY_MODULE_TEST::ContainerSampleOptions clipOptions;
        clipOptions.seconds = 20;
        if (!PLAY_MODULE_TEST::MakeContainerSample(clip, PLAY_MODULE_TEST::ContainerKind::Mp4, clipOptions))
            return {};
        KVX_WRITER::InputOptions options;
        options.startUtcMs = kStartMs;
        options.audio.reset();
        const std::string path =
            folder.File(KVX_WRITER::RecordingFileName(UniqueRecorder() + "Clip", 2, 0, kStartMs, kStartMs + 20000));
        KVX_WRITER::InputResult result;
        if (!KVX_WRITER::WriteRecordingFromInput(options, clip, path, &result, nullptr))
            return {};
        made.push_back(path);
        return path;
    }

    // Lists the file and checks its item, as the user does.
    void Pick(const std::string& path)
    {
        page->SetFiles({}, boost::make_shared<std::vector<std::wstring>>(1, Utf8ToWide(path)));
        void* item = nullptr;
        for (void* i = fileList->GetTree()->GetRootItem(); i; i = fileList->GetTree()->GetNextSiblingItem(i)) {
            if (static_cast<QTreeWidgetItem*>(i)->toolTip(0) == QString::fromStdString(path))
                item = i;
        }
        ASSERT_NE(item, nullptr);
        fileList->GetTree()->SetCheck(item, 1);
        fileList->OnItemCheckStateChanged(item, 1);
    }

    bool WaitBuilt() { return PlayManagerTest::ProcessUntil([this] { return !logic->IsLoading(); }, 60000); }

    unsigned PlayTime(void* handle)
    {
        unsigned time = 0;
        PlayManagerTest::RunOnPlayLoop([&] { time = manager->GetCurrentPlayTime(handle); });
        return time;
    }

    // Whether the play object that built the index still plays (and decodes).
    bool IndexObjectPlays()
    {
        int playing = -1;
        PlayManagerTest::RunOnPlayLoop([&] {
            const PreviewHandleList& handles = playLogic->GetHandles();
            boost::shared_ptr<CPlayObject> object =
                handles.empty() ? nullptr : manager->GetSptrPlayObject(handles.front());
            playing = object ? object->Library()->IsPlaying() : -1;
        });
        return playing != 0;
    }

    std::wstring Status()
    {
        wchar_t text[256] = {};
        player->GetStatusStatic()->GetStaticText(text, 256);
        return text;
    }

    PLAY_MODULE_TEST::CSampleFolder folder;
    std::vector<std::string> made;
};

TEST_F(EndToEndTest, RecordingsShowFourSlicesInTheirQuarters)
{
    for (const std::string& path : {PatternRecording(), ClipRecording()}) {
        SCOPED_TRACE(path);
        ASSERT_FALSE(path.empty());
        for (int pass = 0; pass < 2; ++pass) {
            Pick(path);
            ASSERT_TRUE(WaitBuilt());
            EXPECT_EQ(Status(), L"");
            ASSERT_EQ(logic->GetOpenSlices().size(), 4u);
            EXPECT_FALSE(IndexObjectPlays());
            EXPECT_TRUE(IsIndexFileValid(Utf8ToWide(path)));
            UISF_Channel* first = timeLine->GetPlayProgressPanel()->GetChannelRecord(0);
            ASSERT_NE(first, nullptr);
            const unsigned start = unsigned(first->segments.front().start);
            const unsigned span = unsigned(first->segments.front().end) - start;
            const std::map<int, int> slices = logic->GetSliceMap();
            for (const auto& [cell, handle] : logic->GetOpenSlices()) {
                const int k = slices.at(cell);
                EXPECT_EQ(RowName(k), std::to_wstring(k + 1) + L"/4");
                const unsigned time = PlayTime(handle);
                EXPECT_GE(time, start + k * span / 4) << k;
                EXPECT_LT(time, start + (k + 1) * span / 4) << k;
            }
        }
    }
}

TEST_F(EndToEndTest, PlayStepSpeedRowClickAndSliceEnd)
{
    const std::string path = PatternRecording();
    Pick(path);
    ASSERT_TRUE(WaitBuilt());
    ASSERT_EQ(logic->GetOpenSlices().size(), 4u);
    auto* panel = dynamic_cast<CSFQTPlayProgressPanel*>(timeLine->GetPlayProgressPanel());
    const unsigned start = unsigned(panel->GetChannelRecord(0)->segments.front().start);
    const unsigned end = unsigned(panel->GetChannelRecord(0)->segments.front().end);
    const unsigned lastStart = unsigned(panel->GetChannelRecord(3)->segments.front().start);

    EXPECT_EQ(logic->StepForward(), 1);
    player->SF_OnSliderPos(307, 9);  // 8X
    player->RADIO_OnClicked(1, 306, {});
    // The last slice runs into the end of the file and starts again at its own start.
    bool nearEnd = false, restarted = false;
    PlayManagerTest::ProcessUntil([&] {
        const int time = panel->GetPlayTime(3);
        nearEnd = nearEnd || unsigned(time) + 3 >= end;
        restarted = nearEnd && unsigned(time) >= lastStart && unsigned(time) < lastStart + 5;
        return restarted;
    }, 30000);
    EXPECT_TRUE(restarted);

    // A click on row 1 inside its slice moves that slice there.
    timeLine->OnPositionChanged(309, 1, -1, int(start + 15), VIDEOCUT_END);
    void* second = nullptr;
    for (const auto& [cell, handle] : logic->GetOpenSlices()) {
        if (logic->GetSliceMap().at(cell) == 1)
            second = handle;
    }
    EXPECT_TRUE(PlayManagerTest::ProcessUntil([&] {
        const unsigned time = PlayTime(second);
        return time >= start + 15 && time < start + 19;
    }, 5000));

    // Stop while the slices play closes every slice; the program's exit
    // while frames are in flight ends cleanly too.
    logic->StopPlay();
    ASSERT_TRUE(WaitBuilt());
    EXPECT_TRUE(logic->GetOpenSlices().empty());
    EXPECT_TRUE(playLogic->GetHandles().empty());
    EXPECT_EQ(fileList->GetCurrentItem(), nullptr);
    Pick(path);
    ASSERT_TRUE(WaitBuilt());
    player->RADIO_OnClicked(1, 306, {});
    PlayManagerTest::ProcessUntil([] { return false; }, 200);
    page->ProcDestroy();
    ASSERT_TRUE(PlayManagerTest::ProcessUntil([this] { return !host->closed.empty(); }, 10000));
    EXPECT_EQ(host->closed, std::vector<int>{2});
    EXPECT_TRUE(playLogic->GetHandles().empty());
}

TEST_F(EndToEndTest, BrokenFilesEndInAStatusOrAMessage)
{
    const std::string good = PatternRecording();
    const std::vector<std::uint8_t> bytes = PLAY_MODULE_TEST::ReadFileBytes(good);
    const std::string truncated = folder.File("Cam02_ch1_main_20240101080000_20240101080040.kvx");
    PLAY_MODULE_TEST::WriteFileBytes(truncated, {bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 20)});
    const std::string garbled = folder.File("garbled.kvx");
    std::vector<std::uint8_t> noise(200000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = std::uint8_t(i * 7919 % 251);
    PLAY_MODULE_TEST::WriteFileBytes(garbled, noise);
    const std::string empty = folder.File("empty.kvx");
    PLAY_MODULE_TEST::WriteFileBytes(empty, {});
    const std::string deleted = folder.File("deleted.kvx");
    PLAY_MODULE_TEST::WriteFileBytes(deleted, bytes);
    made.insert(made.end(), {truncated, garbled, empty, deleted});

    for (const std::string& path : {truncated, garbled, empty, deleted}) {
        SCOPED_TRACE(path);
        prompt.texts.clear();
        page->SetFiles({}, boost::make_shared<std::vector<std::wstring>>(1, Utf8ToWide(path)));
        if (path == deleted)
            std::filesystem::remove(path);
        Pick(path);
        ASSERT_TRUE(WaitBuilt());
        const bool told = !Status().empty() || !prompt.texts.empty();
        const bool previewed = logic->GetOpenSlices().size() == 4;
        EXPECT_TRUE(told || previewed);
        EXPECT_TRUE(told || path == truncated);
        logic->StopPlay();
        ASSERT_TRUE(WaitBuilt());
    }
}

}  // namespace

namespace {

// The page previewing 4 slices draws a picture into each of the 4 cells.
// LUMIVEX_PREVIEW_HOLD_MS keeps it on screen that long afterwards (for a
// screenshot under a real X server).
TEST_F(EndToEndTest, ThePageShowsFourPictures)
{
    const std::string path = PatternRecording();
    Pick(path);
    ASSERT_TRUE(WaitBuilt());
    QWidget* view = Widget(page->GetView());
    view->setWindowTitle("Preview");
    view->move(0, 0);
    PlayManagerTest::ProcessUntil([] { return false; }, 300);
    const QImage shot = Widget(player->GetVideoWindow())->grab().toImage();
    const QSize half = shot.size() / 2;
    for (int cell = 0; cell < 4; ++cell) {
        const QPoint origin((cell % 2) * half.width(), (cell / 2) * half.height());
        QSet<QRgb> colours;
        for (int y = 8; y < half.height() - 8; y += 9)
            for (int x = 8; x < half.width() - 8; x += 9)
                colours.insert(shot.pixel(origin + QPoint(x, y)));
        EXPECT_GT(colours.size(), 20) << cell;
    }
    if (const int hold = qEnvironmentVariableIntValue("LUMIVEX_PREVIEW_HOLD_MS"))
        PlayManagerTest::ProcessUntil([] { return false; }, hold);
}

}  // namespace
