#include <QTreeWidgetItem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "Base/TextCodec.h"
#include "Common/IndexFileStore.h"
#include "PreviewPageFixture.h"
#include "Support/Fifo.h"
#include "Support/TempFolder.h"
#include "VideoWidgets/SFQTPlayProgressPanel.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFStatic.h"

using namespace PreviewTest;
using SF_SOFT_BASE::Utf8ToWide;

namespace {

const wchar_t kPreviewingNow[] =
    L"This operation can't accomplish as the video is previewing now, please retry later!";

QRect Edges(QWidget* widget)
{
    const QRect g = widget->geometry();
    return QRect(QPoint(g.x(), g.y()), QPoint(g.x() + g.width(), g.y() + g.height()));
}

std::wstring Text(CSFStatic* label)
{
    wchar_t text[128] = {};
    label->GetStaticText(text, 128);
    return text;
}

class PageTest : public PreviewPageTest {
public:
    void SetUp() override
    {
        PreviewPageTest::SetUp();
        recording = folder.File(UniqueRecordingName());
        WriteFile(recording, std::string(2000, 'x'));
        player->GetSlicesComboBox()->SetCurSel(2);  // 4 slices
    }
    void TearDown() override
    {
        PreviewPageTest::TearDown();
        std::filesystem::remove(SF_SOFT_BASE::WideToUtf8(GetIndexFilePath(Recording())));
    }
    std::wstring Recording() const { return Utf8ToWide(recording); }
    CSFVideoWindow* Grid() const { return player->GetVideoWindow(); }
    std::string LastCall(std::size_t library) const
    {
        PreviewFakeLibrary* fake = libraries.At(library);
        const auto calls = fake ? fake->Calls() : std::vector<std::string>{};
        return calls.empty() ? "" : calls.back();
    }
    void Settle() { PlayManagerTest::ProcessUntil([] { return false; }, 40); }
    // Lists the file and checks its item, as the user does.
    void* Pick(const std::string& path)
    {
        page->SetFiles({}, boost::make_shared<std::vector<std::wstring>>(1, Utf8ToWide(path)));
        CSFTreeCtrl* tree = fileList->GetTree();
        for (void* item = tree->GetRootItem(); item; item = tree->GetNextSiblingItem(item)) {
            if (static_cast<QTreeWidgetItem*>(item)->toolTip(0) == QString::fromStdString(path)) {
                tree->SetCheck(item, 1);
                fileList->OnItemCheckStateChanged(item, 1);
                return item;
            }
        }
        return nullptr;
    }
    // The controls and the file list after a preview that could not be built.
    void ExpectFailedAndPickableAgain(void* item, const std::wstring& status)
    {
        EXPECT_FALSE(logic->IsLoading());
        EXPECT_EQ(Text(player->GetStatusStatic()), status);
        EXPECT_TRUE(Widget(player->GetSlicesComboBox())->isEnabled());
        EXPECT_FALSE(Widget(player->GetStopButton())->isVisibleTo(Widget(player->GetView())));
        EXPECT_EQ(fileList->GetCurrentItem(), nullptr);
        EXPECT_EQ(fileList->GetTree()->GetCheck(item), 0);
        EXPECT_EQ(fileList->GetTree()->IsItemHilight(item), 0);
        EXPECT_TRUE(logic->GetOpenSlices().empty());
    }
    // Until the awaited answer came, however slow the loops run, then settles.
    void SettleUntil(const std::function<bool()>& done)
    {
        PlayManagerTest::ProcessUntil(done);
        Settle();
    }

    TempFolder folder;
    std::string recording;
};

TEST_F(PageTest, ChildrenSitOnTheRectanglesOfTheLayout)
{
    EXPECT_EQ(Edges(Widget(player->GetView())), QRect(QPoint(30, 50), QPoint(890, 650)));
    EXPECT_EQ(Edges(Widget(fileList->GetView())), QRect(QPoint(935, 50), QPoint(1235, 650)));
    EXPECT_EQ(Edges(Widget(timeLine->GetView())), QRect(QPoint(0, 700), QPoint(1280, 800)));
    const QList<QWidget*> labels = Widget(page->GetView())->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    std::vector<QRect> labelRects;
    for (QWidget* child : labels) {
        if (child->size() == QSize(80, 24))
            labelRects.push_back(Edges(child));
    }
    ASSERT_EQ(labelRects.size(), 2u);
    EXPECT_EQ(labelRects[0], QRect(QPoint(30, 13), QPoint(110, 37)));
    EXPECT_EQ(labelRects[1], QRect(QPoint(935, 13), QPoint(1015, 37)));

    CPreviewPageEventImp bare(host);
    bare.OnSize(0, 1280, 800);  // nothing made yet: nothing moves
}

TEST_F(PageTest, ControlBarStartsLeftOfANarrowView)
{
    for (auto [width, x0] : {std::pair{476, 0}, {475, -1}, {474, -1}, {473, -2}, {1000, 261}}) {
        player->OnSize(0, width, 300);
        EXPECT_EQ(Widget(player->GetPlayToggle())->x(), x0) << width;
        EXPECT_EQ(Widget(player->GetStopButton())->x(), x0 + 485) << width;
    }
}

TEST_F(PageTest, TimeLineRowsAreAddedOnce)
{
    EXPECT_EQ(timeLine->AddChannel(3, L"1/4", 1000, 1400), 1);
    EXPECT_EQ(timeLine->AddChannel(3, L"2/4", 1100, 1400), 0);
    UISF_Channel* row = timeLine->GetPlayProgressPanel()->GetChannelRecord(3);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name, L"1/4");
    ASSERT_EQ(row->segments.size(), 1u);
    EXPECT_EQ(row->segments.front().id, 1000);
    EXPECT_EQ(row->segments.front().start, 1000);
    EXPECT_EQ(row->segments.front().end, 1400);
    EXPECT_EQ(row->segments.front().flag, 1);
    timeLine->RemoveChannel(3);
    EXPECT_EQ(timeLine->AddChannel(3, L"2/4", 1100, 1400), 1);
}

TEST_F(PageTest, SpeedTableAndSliceLayouts)
{
    const std::vector<std::pair<const wchar_t*, float>> speeds = {
        {L"1/64X", 0.015625f}, {L"1/32X", 0.03125f}, {L"1/16X", 0.0625f}, {L"1/8X", 0.125f},
        {L"1/4X", 0.25f},      {L"1/2X", 0.5f},      {L"1X", 1.0f},       {L"2X", 2.0f},
        {L"4X", 4.0f},         {L"8X", 8.0f},        {L"16X", 16.0f},     {L"32X", 32.0f},
        {L"64X", 64.0f}};
    for (int pos = 0; pos < 13; ++pos) {
        EXPECT_EQ(std::wstring(CPreviewSimplePlayerEventImp::SpeedText(pos)), speeds[pos].first);
        EXPECT_EQ(CPreviewSimplePlayerEventImp::SpeedValue(pos), speeds[pos].second);
    }
    EXPECT_EQ(std::wstring(CPreviewSimplePlayerEventImp::SpeedText(13)), L"1X");
    EXPECT_EQ(CPreviewSimplePlayerEventImp::SpeedValue(-1), 1.0f);

    const std::vector<std::pair<int, int>> cells = {{0, 4}, {2, 4}, {3, 6}, {5, 8}, {7, 9}, {8, 13},
                                                    {11, 13}, {12, 16}, {14, 16}, {15, 16}};
    for (auto [index, count] : cells) {
        player->SelectChanged(305, index);
        EXPECT_EQ(Grid()->GetCurrentSubWinCount(), count) << index;
    }
    EXPECT_FALSE(logic->IsLoading());  // no file: the slice count changes nothing more
}

TEST_F(PageTest, FourSlicesSpreadOverTheFileWithTheirRows)
{
    libraries.autoReport = true;
    ASSERT_TRUE(Preview(Recording()));
    ASSERT_EQ(libraries.Count(), 5u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(libraries.At(k + 1)->Called("Seek " + std::to_string(1000 + 100 * k) + " 1")) << k;
        EXPECT_EQ(libraries.At(k + 1)->ReceivedIndex(), libraries.index);
        EXPECT_EQ(RowName(k), std::to_wstring(k + 1) + L"/4");
    }
    EXPECT_TRUE(IsIndexFileValid(Recording()));
    EXPECT_TRUE(Widget(player->GetSlicesComboBox())->isEnabled());
    EXPECT_FALSE(Widget(player->GetStopButton())->isVisibleTo(Widget(player->GetView())));
    EXPECT_EQ(Text(player->GetStatusStatic()), L"");
    EXPECT_EQ(Text(player->GetSpeedStatic()), L"1X");

    // A second preview reads the saved index.
    ASSERT_TRUE(Preview(Recording()));
    EXPECT_EQ(libraries.At(5)->ReceivedIndex(), libraries.index);
}

TEST_F(PageTest, CommandsActOnTheSlices)
{
    libraries.autoReport = true;
    ASSERT_TRUE(Preview(Recording()));
    player->SF_OnSliderPos(307, 10);
    EXPECT_EQ(Text(player->GetSpeedStatic()), L"16X");
    EXPECT_EQ(logic->StepForward(), 0);
    EXPECT_EQ(notes.back(), L"Can not step play while fast playing upon 16x speed!");
    player->SF_OnSliderPos(307, 9);
    EXPECT_EQ(logic->StepForward(), 1);
    Settle();
    EXPECT_EQ(LastCall(1), "StepForward");
    EXPECT_EQ(LastCall(4), "StepForward");

    player->GetPlayToggle()->SetCheck(1);
    player->RADIO_OnClicked(1, 306, {});
    Settle();
    EXPECT_EQ(LastCall(2), "Resume");
    player->OnBnPrevFrame();
    Settle();
    EXPECT_EQ(LastCall(3), "StepBackward");
    EXPECT_EQ(player->GetPlayToggle()->GetCheck(), 0);

    // A click on row 1 before the slice's start seeks nothing; after it, it seeks.
    timeLine->OnPositionChanged(309, 1, 1100, 1050, VIDEOCUT_END);
    timeLine->OnPositionChanged(309, 1, -1, 1150, VIDEOCUT_END);
    Settle();
    EXPECT_EQ(LastCall(2), "Seek 1150 1");
    timeLine->OnPositionChanged(309, 1, -1, 1050, VIDEOCUT_END);  // the play logic keeps the slice
    Settle();
    EXPECT_EQ(LastCall(2), "Seek 1150 1");
}

// A stop while the slices play (the file deleted, say) closes everything and
// leaves the play toggle showing play.
TEST_F(PageTest, StoppingLeavesThePlayToggleShowingPlay)
{
    libraries.autoReport = true;
    ASSERT_TRUE(Preview(Recording()));
    player->GetPlayToggle()->SetCheck(1);
    player->RADIO_OnClicked(1, 306, {});
    page->StopPlay();
    ASSERT_TRUE(PlayManagerTest::ProcessUntil([this] { return logic->GetOpenSlices().empty() && !libraries.At(0); }));
    Settle();
    EXPECT_EQ(player->GetPlayToggle()->GetCheck(), 0);
}

TEST_F(PageTest, SliceEndRestartsAtItsOwnStartAfterCellsWereSwapped)
{
    auto* grid = dynamic_cast<CSFQTVideoWindow*>(Grid());
    ASSERT_NE(grid, nullptr);
    CSFQTVideoWindowSubWnd* first = grid->CellAt(0);
    grid->OnCellPress(first, Widget(first)->mapToGlobal(QPoint(5, 5)));
    Widget(first)->setGeometry(Widget(grid->CellAt(1))->geometry());
    grid->OnTimeOutExchangeSubwin();
    grid->OnCellRelease(first, QPoint(5, 5));
    ASSERT_EQ(Grid()->GetSubWinIDByIndex(0), 1);

    libraries.autoReport = true;
    ASSERT_TRUE(Preview(Recording()));
    libraries.At(1)->FireFileEnd();  // slice 0, shown in cell 1
    libraries.At(2)->FireFileEnd();  // slice 1, shown in cell 0
    SettleUntil([this] { return LastCall(1).starts_with("Seek") && LastCall(2).starts_with("Seek"); });
    EXPECT_EQ(LastCall(1), "Seek 1000 1");
    EXPECT_EQ(LastCall(2), "Seek 1100 1");

    // Highlight and focus follow each other.
    timeLine->OnSetHighlight(309, 1);
    SettleUntil([this] { return Grid()->GetCurrentSubWinID() == 0; });
    EXPECT_EQ(Grid()->GetCurrentSubWinID(), 0);
    player->OnFocusWndChanged(1, 0);
    auto* panel = dynamic_cast<CSFQTPlayProgressPanel*>(timeLine->GetPlayProgressPanel());
    EXPECT_EQ(panel->Model().highlighted, 0);
    timeLine->OnSetHighlight(309, 9);  // no cell shows channel 9
    Settle();
    EXPECT_EQ(Grid()->GetCurrentSubWinID(), 0);
}

TEST_F(PageTest, CommandsWhileLoadingAreRefusedAndStopEndsTheBuild)
{
    ASSERT_TRUE(libraries.autoReport == false);
    logic->LoadFile(Recording());
    ASSERT_TRUE(PlayManagerTest::ProcessUntil([this] { return libraries.Count() == 1; }));
    Settle();
    notes.clear();
    EXPECT_EQ(logic->StepBackward(), 0);
    EXPECT_EQ(logic->StepForward(), 0);
    logic->SetPlaySpeed(2.0f);
    logic->PauseOne(0);
    player->GetPlayToggle()->SetCheck(1);
    player->RADIO_OnClicked(1, 306, {});
    EXPECT_EQ(notes, std::vector<std::wstring>(5, kPreviewingNow));
    EXPECT_EQ(player->GetPlayToggle()->GetCheck(), 0);
    EXPECT_FALSE(Widget(player->GetSlicesComboBox())->isEnabled());

    // The user picks no other file while the preview is built.
    fileList->AddFiles({L"/rec/other.kvx"});
    void* other = fileList->GetTree()->GetRootItem();
    fileList->GetTree()->SetCheck(other, 1);
    fileList->OnItemCheckStateChanged(other, 1);
    EXPECT_EQ(fileList->GetTree()->GetCheck(other), 0);
    EXPECT_EQ(fileList->GetCurrentItem(), nullptr);

    logic->StopPlay();
    ASSERT_TRUE(PlayManagerTest::ProcessUntil([this] { return !logic->IsLoading(); }));
    EXPECT_EQ(libraries.At(0), nullptr);
    EXPECT_TRUE(Widget(player->GetSlicesComboBox())->isEnabled());
    EXPECT_EQ(Text(player->GetStatusStatic()), L"");

    // Late reports of the stopped build change nothing.
    const std::size_t made = libraries.Count();
    logic->OnFileRefFinished(reinterpret_cast<void*>(0x1234), 1);
    logic->Task_SaveIndexRet(reinterpret_cast<void*>(0x1234), 1);
    logic->Task_PauseOneRet(reinterpret_cast<void*>(0x1234), 1);
    logic->Task_OnLoadFileSuccess(reinterpret_cast<void*>(0x1234), 1);
    Settle();
    EXPECT_EQ(libraries.Count(), made);
    EXPECT_FALSE(logic->IsLoading());
    EXPECT_FALSE(IsIndexFileValid(Recording()));
}

TEST_F(PageTest, AFailedOpenClearsLoadingAndClosesThePlayObject)
{
    libraries.openResult = 0;
    logic->LoadFile(Recording());
    ASSERT_TRUE(PlayManagerTest::ProcessUntil([this] { return libraries.Count() == 1 && !logic->IsLoading(); }));
    Settle();
    EXPECT_EQ(libraries.At(0), nullptr);
    EXPECT_TRUE(playLogic->GetHandles().empty());
    EXPECT_EQ(Text(player->GetStatusStatic()), L"Open the video file unsuccessfully");
    notes.clear();
    EXPECT_EQ(logic->StepForward(), 1);
    EXPECT_TRUE(notes.empty());
}

TEST_F(PageTest, FilesOf4GiBAreRefused)
{
    for (std::uintmax_t size : {4294967296ull, 4294967295ull}) {
        std::filesystem::resize_file(recording, size);
        prompt.texts.clear();
        const std::size_t made = libraries.Count();
        logic->LoadFile(Recording());
        ASSERT_TRUE(PlayManagerTest::ProcessUntil(
            [&] { return !prompt.texts.empty() || libraries.Count() > made; }));
        if (size == 4294967296ull) {
            EXPECT_EQ(prompt.texts, std::vector<std::wstring>{L"The file is bigger than 4G.It can not be previewed!"});
            EXPECT_FALSE(logic->IsLoading());
        } else {
            EXPECT_TRUE(prompt.texts.empty());
            EXPECT_TRUE(logic->IsLoading());
        }
    }
}

TEST_F(PageTest, ASecondLoadDuringTheClosingChainOnlyReplacesTheFile)
{
    const std::string second = folder.File("second.kvx");
    WriteFile(second, "abc");
    logic->LoadFile(Recording());
    logic->LoadFile(Utf8ToWide(second));
    ASSERT_TRUE(PlayManagerTest::ProcessUntil([this] { return libraries.Count() == 1; }));
    Settle();
    EXPECT_EQ(libraries.Count(), 1u);
    EXPECT_TRUE(libraries.At(0)->Called("Open " + second));
}

TEST_F(PageTest, ANameThatIsNotUtf8OpensByItsBytes)
{
    const std::string odd = folder.File("caf\xe9 \xff.kvx");
    WriteFile(odd, "abc");
    page->SetFiles({}, boost::make_shared<std::vector<std::wstring>>(1, Utf8ToWide(odd)));
    void* item = fileList->GetTree()->GetRootItem();
    ASSERT_NE(item, nullptr);
    fileList->GetTree()->SetCheck(item, 1);
    fileList->OnItemCheckStateChanged(item, 1);
    ASSERT_TRUE(PlayManagerTest::ProcessUntil([this] { return libraries.Count() == 1; }));
    Settle();
    EXPECT_TRUE(libraries.At(0)->Called("Open " + odd));
}

TEST_F(PageTest, ClosingThePageClosesEveryPlayObjectAndReportsPageTwo)
{
    libraries.autoReport = true;
    ASSERT_TRUE(Preview(Recording()));
    ASSERT_EQ(libraries.Count(), 5u);
    page->ProcDestroy();
    ASSERT_TRUE(PlayManagerTest::ProcessUntil([this] { return !host->closed.empty(); }));
    EXPECT_EQ(host->closed, std::vector<int>{2});
    EXPECT_TRUE(playLogic->GetHandles().empty());
    for (std::size_t i = 0; i < libraries.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(libraries.At(i), nullptr);
        const auto calls = libraries.FinalCalls(i);
        EXPECT_NE(std::find(calls.begin(), calls.end(), "Stop"), calls.end());
        EXPECT_NE(std::find(calls.begin(), calls.end(), "Close"), calls.end());
    }
}

TEST_F(PageTest, TheIndexPlayObjectIsPausedOnceTheSlicesAreBuilt)
{
    libraries.autoReport = true;
    ASSERT_TRUE(Preview(Recording()));
    ASSERT_NE(libraries.At(0), nullptr);
    EXPECT_TRUE(libraries.At(0)->Called("Pause"));
    EXPECT_FALSE(libraries.At(0)->Called("Resume"));
}

TEST_F(PageTest, AFailedPreviewLetsTheFileBePickedAgainAtOnce)
{
    struct Case {
        const char* name;
        std::function<void(PageTest&)> prepare;
        std::wstring status;
    };
    const std::vector<Case> cases = {
        {"open fails", [](PageTest& t) { t.libraries.openResult = 0; }, L"Open the video file unsuccessfully"},
        {"index fails",
         [](PageTest& t) {
             t.libraries.autoReport = true;
             t.libraries.indexOk = 0;
         },
         L"The file index  was created failed!"},
        {"slice fails",
         [](PageTest& t) {
             t.libraries.autoReport = true;
             t.libraries.index.clear();
         },
         L"Can not enable frame by frame preview."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.prepare(*this);
        void* item = Pick(recording);
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(PlayManagerTest::ProcessUntil(
            [&] { return libraries.Count() > 0 && !logic->IsLoading(); }));
        Settle();
        ExpectFailedAndPickableAgain(item, c.status);

        const std::size_t made = libraries.Count();
        fileList->GetTree()->SetCheck(item, 1);
        fileList->OnItemCheckStateChanged(item, 1);
        EXPECT_EQ(fileList->GetCurrentItem(), item);
        ASSERT_TRUE(PlayManagerTest::ProcessUntil([&] { return libraries.Count() > made; }));
        ASSERT_TRUE(PlayManagerTest::ProcessUntil([this] { return !logic->IsLoading(); }));
    }
}

TEST_F(PageTest, ARecordingThatIsNoRegularFileIsRefusedWithoutOpeningIt)
{
    const std::string fifo = folder.File(UniqueRecorder() + "_ch2_main_20240101080000_20240101090000.kvx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string directory = folder.File(UniqueRecorder() + "_ch3_main_20240101080000_20240101090000.kvx");
    ASSERT_TRUE(std::filesystem::create_directory(directory));
    FifoReaderWatch watch(fifo);
    for (const std::string& path : {fifo, directory}) {
        SCOPED_TRACE(path);
        void* item = Pick(path);
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(PlayManagerTest::ProcessUntil([&] { return libraries.Count() > 0 || !logic->IsLoading(); }));
        Settle();
        EXPECT_EQ(libraries.Count(), 0u);
        ExpectFailedAndPickableAgain(item, L"Open the video file unsuccessfully");
    }
    EXPECT_FALSE(watch.Stop());

    // A link to a recording is followed.
    const std::string link = folder.File(UniqueRecorder() + "_ch4_main_20240101080000_20240101090000.kvx");
    std::filesystem::create_symlink(recording, link);
    ASSERT_NE(Pick(link), nullptr);
    EXPECT_TRUE(PlayManagerTest::ProcessUntil([this] { return libraries.Count() == 1; }));
}

}  // namespace
