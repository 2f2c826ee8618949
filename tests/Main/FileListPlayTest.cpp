#include <gtest/gtest.h>

#include <QTreeWidget>

#include <cstdio>
#include <set>

#include "Common/FileTreeLabels.h"
#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Common/ConfigManager.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "FileIndex/RecordingNames.h"
#include "Main/MainFrameHelpLogic.h"
#include "Main/MainFrameUILogic.h"
#include "Support/Fifo.h"
#include "Support/ProcessUntil.h"
#include "Support/TempFolder.h"
#include "Widgets/SFTreeCtrl.h"
#include "FileListDoubles.h"

using namespace LumivexBase;
using SF_SOFT_BASE::CSFDateTime;
using SF_SOFT_BASE::Utf8ToWide;

namespace {

const CSFDateTime kMorning(2016, 1, 2, 8, 0, 0);
const CSFDateTime kNoon(2016, 1, 2, 12, 0, 0);
const CSFDateTime kNextDay(2016, 1, 3, 8, 0, 0);

class Prompt : public IPromptDialog {
public:
    int ShowMsg(const wchar_t* text, const wchar_t*, int) override
    {
        texts.emplace_back(text);
        return answer;
    }
    std::vector<std::wstring> texts;
    int answer = 2;
};

// The main frame's file logic with its help logic on a worker loop, the
// file list in a stand-in main page, over a generated folder.
class FileListPlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsValid());
        RegisterGuiLoop();
        ASSERT_TRUE(StartWorkerLoop(ML_HELPER));
        frame->page->uiLogic = CMainFrameUILogic::Create(frame);
        frame->page->fileList = CFileListEventImp::Create(frame->page);
        tree = page().fileList->GetTreeCtrl();
        SetNotifyMessageHandler([this](const std::wstring& text, bool) { notices.push_back(text); });
        SetPromptDialog(&prompt);
    }
    void TearDown() override
    {
        SetPromptDialog(nullptr);
        SetNotifyMessageHandler(nullptr);
        CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    }

    FakeMainPage& page() { return *frame->page; }
    CMainFrameUILogic& logic() { return *page().uiLogic; }

    std::string Add(const std::string& group, int channel, int stream, const CSFDateTime& start)
    {
        const std::string name = RecordingName(group, channel, stream, start, 600);
        EXPECT_TRUE(folder.Touch(name));
        return name;
    }

    // Opens a path as the main frame does and waits for the rebuilt list.
    void Open(const std::string& path)
    {
        const std::size_t before = frame->calls.size();
        auto text = boost::make_shared<std::wstring>(Utf8ToWide(path));
        logic().SetDropFiles(text);
        logic().GenerateFileList(text);
        // The help logic's answer to this marker comes after the build's.
        SF_POST_TASK(ML_HELPER, &CMainFrameHelpLogic::Task_GetFileManager, logic().GetHelpLogic());
        ASSERT_TRUE(ProcessUntil([&] {
            for (std::size_t i = before; i < frame->calls.size(); ++i)
                if (frame->calls[i] == "manager")
                    return true;
            return false;
        }));
    }

    // Lets every request posted so far be answered and handled.
    void Settle()
    {
        frame->calls.clear();
        SF_POST_TASK(ML_HELPER, &CMainFrameHelpLogic::Task_GetFileManager, logic().GetHelpLogic());
        ASSERT_TRUE(ProcessUntil([&] { return !frame->calls.empty(); }));
        ProcessUntil([] { return false; }, 50);
    }

    QTreeWidgetItem* Item(int root, int date = -1, int channel = -1)
    {
        QTreeWidgetItem* item = dynamic_cast<QTreeWidget*>(tree)->topLevelItem(root);
        if (date >= 0)
            item = item->child(date);
        if (channel >= 0)
            item = item->child(channel);
        return item;
    }

    void DoubleClick(void* item)
    {
        tagPOINT point{5, 5};
        page().fileList->OnItemDbClick(item, point);
        Settle();
    }

    TempFolder folder;
    boost::shared_ptr<FakeMainFrame> frame = boost::make_shared<FakeMainFrame>();
    CSFTreeCtrl* tree = nullptr;
    std::vector<std::wstring> notices;
    Prompt prompt;
};

using Started = std::vector<std::pair<std::wstring, int>>;

std::wstring W(const std::string& text) { return Utf8ToWide(text); }

TEST_F(FileListPlayTest, OpeningAFolderFillsThePagesInOrderAndPlaysNothing)
{
    Add("Cam01", 1, 0, kMorning);
    folder.Touch("clip.avi");
    folder.Touch("notes.txt");
    const std::string hostile = "bad\xff 100% %s.avi";
    folder.Touch(hostile);
    Open(folder.Path());
    EXPECT_EQ(frame->calls, (std::vector<std::string>{"watermark:1,2", "export:logic,1,2", "preview:2,1",
                                                      "selectall:0", "manager"}));
    EXPECT_EQ(tree->GetChildrenCount(SF_TVI_ROOT), 3u);
    EXPECT_TRUE(page().started.empty());
    EXPECT_TRUE(notices.empty());

    // A name that is no UTF-8 plays from its very path.
    DoubleClick(Item(1)->text(0).startsWith("bad") ? Item(1) : Item(2));
    ASSERT_EQ(page().started.size(), 1u);
    EXPECT_EQ(SF_SOFT_BASE::WideToUtf8(page().started[0].path), folder.File(hostile));
    page().started.clear();

    // A folder without recordings, and one that cannot be read, say so.
    TempFolder empty;
    Open(empty.Path());
    Open(folder.File("missing"));
    EXPECT_EQ(notices, std::vector<std::wstring>(2, GetLangString(L"No Video Files Found!")));
    EXPECT_EQ(tree->GetChildrenCount(SF_TVI_ROOT), 3u);
}

TEST_F(FileListPlayTest, ReopeningShowsTheFolderAsItIsNow)
{
    const std::string gone = Add("Cam01", 1, 0, kMorning);
    Add("Cam01", 2, 0, kMorning);
    folder.Touch("old.avi");
    Open(folder.Path());
    ASSERT_EQ(Item(0, 0)->childCount(), 2);

    // Deleted on disk: a double-click asks whether to reload.
    std::remove(folder.File(gone).c_str());
    DoubleClick(Item(0, 0, 0));
    ASSERT_EQ(prompt.texts.size(), 1u);
    EXPECT_EQ(prompt.texts[0], GetLangString(L"The files or directory have changed, should you reload them?"));
    EXPECT_TRUE(page().started.empty());

    std::remove(folder.File("old.avi").c_str());
    Add("Cam01", 3, 0, kNextDay);
    folder.Touch("new.mp4");
    Open(folder.Path());
    ASSERT_EQ(tree->GetChildrenCount(SF_TVI_ROOT), 2u);
    EXPECT_EQ(Item(0)->childCount(), 2);
    EXPECT_EQ(Item(0, 0)->childCount(), 1);
    EXPECT_EQ(Item(0, 0, 0)->text(0).toStdWString(), ChannelLabel(2));
    EXPECT_EQ(Item(1)->text(0).toStdString(), "new");
}

TEST_F(FileListPlayTest, ReloadClosesDropsTheCheckedFilesAndReopensTheRememberedPaths)
{
    CConfigManager::GetInstance()->GetOpenedPaths() = {L"/a/", L"/b/"};
    prompt.answer = 1;
    auto files = boost::make_shared<std::list<_QUERY_FILE_INFO>>(1);
    files->front().path = W(folder.File("gone.kvx"));
    logic().Task_GetFilePath_Ret(files);
    EXPECT_EQ(page().calls, (std::vector<std::string>{"close:0,-1"}));
    EXPECT_EQ(frame->calls, (std::vector<std::string>{"openedpaths", "delete"}));
    EXPECT_EQ(frame->opened, (std::vector<std::wstring>{L"/a/", L"/b/"}));
    CConfigManager::GetInstance()->GetOpenedPaths().clear();
}

TEST_F(FileListPlayTest, DoubleClicksPlayAChannelASingleFileOrTheCheckedChannelsOfADay)
{
    const std::string first = Add("Cam01", 1, 0, kMorning);
    const std::string second = Add("Cam01", 1, 0, kNoon);
    Add("Cam01", 2, 0, kMorning);
    Add("Cam01", 3, 0, kMorning);
    const std::string four = Add("Cam01", 4, 0, kMorning);
    folder.Touch("Cam01.avi");
    Open(folder.Path());

    DoubleClick(Item(0));  // a group item plays nothing
    EXPECT_TRUE(page().started.empty());

    DoubleClick(Item(0, 0, 0));
    EXPECT_EQ(page().StartedNames(), (Started{{W(first), 7}, {W(second), 7}}));
    EXPECT_EQ(page().started[0].record.channelKey, 1);
    EXPECT_EQ(page().started[0].record.fileType, 1);
    EXPECT_EQ(page().calls, (std::vector<std::string>{"sync:0", "reset", "button:158,0"}));
    EXPECT_EQ(page().wantedReturn, 2);

    // Playing items answer with a notice and post nothing.
    page().wantedReturn = 0;
    page().started.clear();
    tree->SetItemHilight(Item(0, 0, 0), 1);
    DoubleClick(Item(0, 0, 0));
    EXPECT_TRUE(page().started.empty());
    EXPECT_EQ(notices, std::vector<std::wstring>{GetLangString(L"Already Playing!")});

    DoubleClick(Item(1));
    ASSERT_EQ(page().started.size(), 1u);
    EXPECT_EQ(page().started[0].record.channelKey, -1);
    EXPECT_EQ(page().started[0].record.fileType, 2);

    // A day plays its checked channels, highlighted or not, one window each,
    // in the grid switched first to the layout for them.
    page().started.clear();
    page().calls.clear();
    page().wantedReturn = 0;
    tree->SetCheck(Item(0, 0, 2), 0);
    tree->SetCheck(Item(0, 0, 1), 0);
    DoubleClick(Item(0, 0));
    EXPECT_EQ(page().StartedNames(), (Started{{W(first), 100}, {W(second), 100}, {W(four), 101}}));
    EXPECT_EQ(page().calls, (std::vector<std::string>{"close:0,-1", "layout:2", "button:158,0"}));
    EXPECT_EQ(page().grid.calls, (std::vector<std::string>{"id:0@2", "id:0@2", "id:1@2"}));

    // Nothing checked: nothing asked.
    page().started.clear();
    tree->SetCheck(Item(0, 0, 0), 0);
    tree->SetCheck(Item(0, 0, 3), 0);
    DoubleClick(Item(0, 0));
    EXPECT_TRUE(page().started.empty());
}

TEST_F(FileListPlayTest, RecordersNamedInBytesThatAreNoUtf8KeepTheirNames)
{
    // Both names show alike: the bytes that are no UTF-8 cannot be shown.
    const std::string first = Add("Cam\xff", 1, 0, kMorning);
    const std::string second = Add("Cam\xfe", 2, 0, kMorning);
    Open(folder.Path());
    Open(folder.Path());  // the rebuilt list keeps both groups
    ASSERT_EQ(dynamic_cast<QTreeWidget*>(tree)->topLevelItemCount(), 2);

    DoubleClick(Item(0, 0, 0));
    page().wantedReturn = 0;
    DoubleClick(Item(1, 0));
    std::set<std::wstring> played;
    for (const auto& [name, window] : page().StartedNames())
        played.insert(name);
    EXPECT_EQ(played, (std::set<std::wstring>{W(first), W(second)}));

    // The selection that deleting works from names the recorders themselves.
    std::set<std::wstring> groups;
    const GroupFileListP checked = page().fileList->GetCheckedFileList();
    for (const _GROUP_FILE_INFO& day : *checked)
        groups.insert(day.groupName);
    EXPECT_EQ(groups, (std::set<std::wstring>{W("Cam\xff"), W("Cam\xfe")}));
}

TEST_F(FileListPlayTest, ADayOfMoreThan36ChannelsPlays36AndSaysSo)
{
    for (int channel = 1; channel <= 40; ++channel)
        Add("Cam01", channel, 0, kMorning);
    Open(folder.Path());
    page().syncPlay = 1;
    DoubleClick(Item(0, 0));
    ASSERT_EQ(page().started.size(), 36u);
    EXPECT_EQ(page().started.back().record.window, 135);
    EXPECT_EQ(page().started.back().sync, 1);
    EXPECT_EQ(page().wantedReturn, 36);
    EXPECT_EQ(page().wantedShow, 36);
    EXPECT_EQ(page().calls, (std::vector<std::string>{"close:0,-1", "timeline:1", "layout:36", "button:158,0"}));
    EXPECT_EQ(notices, std::vector<std::wstring>{GetLangString(L"Only the first 36 channels of the day are played!")});
}

TEST_F(FileListPlayTest, DroppedFilesPlayTheirChannelOrThemselves)
{
    const std::string first = Add("Cam01", 2, 1, kMorning);
    const std::string second = Add("Cam01", 2, 1, kNoon);
    Add("Cam01", 3, 0, kMorning);
    folder.Touch("odd name.mp4");
    Open(folder.File(second));
    Settle();
    EXPECT_EQ(page().StartedNames(), (Started{{W(first), 7}, {W(second), 7}}));

    page().started.clear();
    page().wantedReturn = 0;
    Open(folder.File("odd name.mp4"));
    ASSERT_EQ(page().started.size(), 1u);
    EXPECT_EQ(page().started[0].record.queryType, QUERY_FILEPATH_SINGLE);
    EXPECT_EQ(page().started[0].record.fileType, 3);

    // A later rebuild of the list does not open the dropped file again.
    page().started.clear();
    page().wantedReturn = 0;
    logic().GenerateFileList(boost::make_shared<std::wstring>(Utf8ToWide(folder.File("odd name.mp4"))));
    Settle();
    EXPECT_TRUE(page().started.empty());
}

TEST_F(FileListPlayTest, AnAnswerForAWindowWaitsWhileFilesOpen)
{
    const std::string name = Add("Cam01", 1, 0, kMorning);
    auto answer = [&](int window) {
        auto files = boost::make_shared<std::list<_QUERY_FILE_INFO>>(1);
        files->front().path = W(folder.File(name));
        files->front().queryType = QUERY_FILEPATH_CHANNEL;
        files->front().channelKey = 1;
        files->front().window = window;
        return files;
    };
    page().wantedReturn = 1;
    logic().Task_GetFilePath_Ret(answer(-1));
    EXPECT_EQ(notices.size(), 1u);
    logic().Task_GetFilePath_Ret(answer(3));
    ProcessUntil([] { return false; }, 150);
    EXPECT_TRUE(page().started.empty());
    page().wantedReturn = 0;
    ASSERT_TRUE(ProcessUntil([&] { return !page().started.empty(); }));
    EXPECT_EQ(page().started[0].record.window, 3);
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(FileListPlayTest, SteppingWalksTheLeavesAndSkipsPlayingOnes)
{
    Add("Cam01", 1, 0, kMorning);
    Add("Cam01", 2, 0, kMorning);
    Add("Cam01", 1, 0, kNextDay);
    Add("Cam02", 5, 0, kMorning);
    folder.Touch("last.avi");
    Open(folder.Path());
    CFileListEventImp& list = *page().fileList;
    auto step = [&](QTreeWidgetItem* from, int direction, int dayMode) {
        page().started.clear();
        page().wantedReturn = 0;
        const bool stepped = list.PlayAdjacentFile(from, direction, dayMode, 4);
        Settle();
        return stepped;
    };
    auto channelOf = [&] { return page().started.empty() ? 0 : page().started[0].record.channelKey; };

    EXPECT_TRUE(step(Item(0, 0, 0), 1, 0));  // next channel of the day
    EXPECT_EQ(channelOf(), 2);
    EXPECT_EQ(page().started[0].record.window, 4);
    EXPECT_TRUE(step(Item(0, 1, 0), 1, 0));  // first channel of the next group
    EXPECT_EQ(channelOf(), 5);
    EXPECT_TRUE(step(Item(1, 0, 0), 1, 0));  // then the single files
    EXPECT_EQ(channelOf(), -1);
    EXPECT_TRUE(step(Item(2), 0, 1));  // back from a single file, day mode ignored
    EXPECT_EQ(channelOf(), 5);
    EXPECT_FALSE(step(Item(2), 1, 0));
    EXPECT_FALSE(step(nullptr, 1, 0));

    tree->SetItemHilight(Item(0, 0, 1), 1);
    tree->SetItemHilight(Item(0, 1, 0), 1);
    EXPECT_TRUE(step(Item(0, 0, 0), 1, 0));  // past the playing ones
    EXPECT_EQ(channelOf(), 5);
    tree->SetItemHilight(Item(2), 1);
    EXPECT_FALSE(step(Item(1, 0, 0), 1, 0));

    // Day mode closes the grid and opens the next date.
    page().calls.clear();
    EXPECT_TRUE(step(Item(0, 0, 0), 1, 1));
    EXPECT_EQ(page().calls.front(), "close:0,-1");
    EXPECT_EQ(page().started.size(), 1u);
    EXPECT_EQ(page().started[0].record.queryType, QUERY_FILEPATH_DAY);
    EXPECT_FALSE(step(Item(0, 0, 0), 0, 1));  // no earlier date
}

}  // namespace

TEST(FilesPresentTest, OnlyReadableRegularFilesCountAndAFifoNeverBlocks)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Touch("a.kvx"));
    Fifo fifo(folder.File("pipe.kvx"));
    ASSERT_TRUE(fifo.IsValid());
    auto list = [&](std::initializer_list<std::string> names) {
        std::list<_QUERY_FILE_INFO> files;
        for (const std::string& name : names)
            files.push_back({.path = Utf8ToWide(folder.File(name))});
        return files;
    };
    EXPECT_TRUE(CMainFrameUILogic::AreAllFilesPresent(list({"a.kvx"})));
    EXPECT_FALSE(CMainFrameUILogic::AreAllFilesPresent(list({"a.kvx", "gone.kvx"})));
    bool present = true;
    EXPECT_TRUE(ReturnsWithoutBlocking(fifo, [&] { present = CMainFrameUILogic::AreAllFilesPresent(list({"a.kvx", "pipe.kvx"})); }));
    EXPECT_FALSE(present);
}

namespace {

TEST_F(FileListPlayTest, DayStepsPastTheFirstOrLastDateKeepTheWindowsPlaying)
{
    Add("Cam01", 1, 0, kMorning);
    Add("Cam01", 1, 0, kNextDay);
    Open(folder.Path());
    CFileListEventImp& list = *page().fileList;
    page().calls.clear();
    page().started.clear();
    EXPECT_FALSE(list.PlayAdjacentFile(Item(0, 1, 0), 1, 1, -1));  // Next on the last date
    EXPECT_FALSE(list.PlayAdjacentFile(Item(0, 0), 0, 1, -1));     // Previous on the first date
    Settle();
    EXPECT_TRUE(page().started.empty());
    EXPECT_EQ(std::count(page().calls.begin(), page().calls.end(), "close:0,-1"), 0);
    // With a date to go to, the grid closes first.
    EXPECT_TRUE(list.PlayAdjacentFile(Item(0, 0, 0), 1, 1, -1));
    EXPECT_EQ(page().calls.front(), "close:0,-1");
}

}  // namespace
