#include <filesystem>

#include "PageTestBase.h"
#include "Support/TempFolder.h"
#include "Watermark/Support/WatermarkFixtures.h"

using WATERMARK_TEST::CWatermarkFixtures;

namespace {

// Three channels of one day, and a large file of its own that takes many
// blocks to check.
class RunMechanics : public WatermarkPageTest {
protected:
    void SetUp() override
    {
        WatermarkPageTest::SetUp();
        ASSERT_TRUE(folder.IsValid());
        for (int channel = 1; channel <= 3; ++channel)
            ASSERT_FALSE(CWatermarkFixtures::RunKvxWrite("--name Cam07 --seconds 2 --size 160x120 --audio none "
                                                         "--start '2016-01-02 03:04:05' --channel " +
                                                         std::to_string(channel) + " '" + folder.Path() + "'")
                             .empty());
    }

    void MakeBigFile()
    {
        std::ofstream(folder.File("big.kvx")).close();
        std::filesystem::resize_file(folder.File("big.kvx"), 256 << 20);
    }

    void* FindItem(const std::wstring& text)
    {
        for (void* item : Items())
            if (Text(item) == text)
                return item;
        return nullptr;
    }

    // Starts a run of the big file and waits for its first progress.
    void StartBigRun()
    {
        MakeBigFile();
        ASSERT_TRUE(LoadFolder(folder.Path()));
        void* big = FindItem(L"big");
        ASSERT_NE(big, nullptr);
        page->GetTree()->SetCheck(big, 1);
        page->OnStartCheck();
        ASSERT_TRUE(ProcessUntil([&] { return Rows() == 1 && !Cell(0, 1).empty(); }));
        ASSERT_TRUE(page->IsChecking());
    }

    TempFolder folder;
};

}  // namespace

TEST_F(RunMechanics, ThreeChannelsOfADayStartAfterTheThirdAnswer)
{
    ASSERT_TRUE(LoadFolder(folder.Path()));
    for (int channel = 1; channel <= 3; ++channel) {
        void* item = FindItem(L"Channel" + std::to_wstring(channel) + L"_main");
        ASSERT_NE(item, nullptr);
        page->GetTree()->SetCheck(item, 1);
    }
    page->OnStartCheck();
    EXPECT_EQ(page->GetPendingQueries(), 3);
    EXPECT_FALSE(page->GetUILogic()->IsRunning());
    bool buttonsHeld = true;
    bool startedEarly = false;
    ASSERT_TRUE(ProcessUntil([&] {
        buttonsHeld = buttonsHeld && (!page->IsChecking() ||
                                      (!Enabled(page->GetStartButton()) && Enabled(page->GetStopButton())));
        startedEarly = startedEarly || (page->GetPendingQueries() > 0 && page->GetUILogic()->IsRunning());
        return !page->IsChecking();
    }, 60000));
    EXPECT_TRUE(buttonsHeld);
    EXPECT_FALSE(startedEarly);
    ASSERT_EQ(Rows(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Cell(row, 2), L"Original") << row;
    EXPECT_TRUE(Enabled(page->GetStartButton()));
    EXPECT_FALSE(Enabled(page->GetStopButton()));
}

TEST_F(RunMechanics, StopMidFileShowsNoResultForItOrLaterFiles)
{
    StartBigRun();
    page->StopCheck();
    ASSERT_TRUE(ProcessUntil([&] { return !page->IsChecking(); }, 30000));
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 2), L"");
    EXPECT_NE(Cell(0, 1), L"100%");
    EXPECT_TRUE(host->closeReports.empty());
    EXPECT_TRUE(host->resetTabs.empty());
}

TEST_F(RunMechanics, ClosingForExitWhileCheckingReportsAfterTheStop)
{
    StartBigRun();
    page->ClosePage(1);
    EXPECT_TRUE(host->closeReports.empty());
    ASSERT_TRUE(ProcessUntil([&] { return !host->closeReports.empty(); }, 30000));
    EXPECT_EQ(host->closeReports, std::vector<int>{4});
    EXPECT_EQ(host->resetTabs, std::vector<int>{173});
    EXPECT_FALSE(page->IsChecking());
    EXPECT_EQ(Rows(), 0);
}

TEST_F(RunMechanics, ClosingWhenIdleEmptiesTheListAndResetsTheTabOnce)
{
    ASSERT_TRUE(LoadFolder(folder.Path()));
    CheckAll();
    ASSERT_TRUE(RunCheck());
    ASSERT_EQ(Rows(), 3);
    page->ClosePage(0);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(host->resetTabs, std::vector<int>{173});
    EXPECT_TRUE(host->closeReports.empty());
}

TEST_F(RunMechanics, QueriesThatFindNothingStillEndTheRun)
{
    ASSERT_TRUE(LoadFolder(folder.Path()));
    // A file that left the index after it was listed, and a channel the
    // index never had.
    std::ofstream(folder.File("loose.kvx")) << "x";
    ASSERT_TRUE(LoadFolder(folder.File("loose.kvx")));
    void* loose = FindItem(L"loose");
    ASSERT_NE(loose, nullptr);
    auto gone = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    gone->push_back({L"loose.kvx", std::int32_t(page->GetTree()->GetItemData(loose)), {}});
    SF_POST_TASK(LumivexBase::ML_HELPER, &CMainFrameHelpLogic::Task_DelCertainFile, host->helpLogic, gone);
    auto ghost = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    ghost->push_back({L"Ghost", SF_SOFT_BASE::CSFDateTime::MakeTime(2016, 1, 2, 0, 0, 0), {{7, nullptr}}});
    page->AddGroupFiles(ghost);
    page->GetTree()->SetCheck(loose, 1);
    page->GetTree()->SetCheck(FindItem(L"Channel7_main"), 1);

    ASSERT_TRUE(RunCheck(30000));
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(Enabled(page->GetStartButton()));
    EXPECT_FALSE(page->GetUILogic()->IsRunning());
}

TEST_F(RunMechanics, StopWhileQueryingEndsTheRunAndDropsTheLateAnswers)
{
    ASSERT_TRUE(LoadFolder(folder.Path()));
    CheckAll();
    page->OnStartCheck();
    ASSERT_GT(page->GetPendingQueries(), 0);
    page->StopCheck();
    EXPECT_FALSE(page->IsChecking());
    EXPECT_TRUE(Enabled(page->GetStartButton()));
    ProcessUntil([] { return false; }, 300);  // the answers arrive
    EXPECT_EQ(Rows(), 0);
    EXPECT_FALSE(page->GetUILogic()->IsRunning());

    ASSERT_TRUE(RunCheck(60000));  // a new run counts from 0 again
    EXPECT_EQ(Rows(), 3);
}

TEST_F(RunMechanics, SecondPressAndLateReportsChangeNothing)
{
    ASSERT_TRUE(LoadFolder(folder.Path()));
    CheckAll();
    page->OnStartCheck();
    page->OnStartCheck();  // the button is disabled; a stray press is ignored
    ASSERT_TRUE(ProcessUntil([&] { return !page->IsChecking(); }, 60000));
    ASSERT_EQ(Rows(), 3);
    const auto before = page->GetRecords().size();
    page->GetUILogic()->Task_WaterError(nullptr, 0, 1, 3);
    page->GetUILogic()->Task_WaterMarkText(nullptr, L"late", 0);
    page->ShowResult(7, 1);
    page->ShowProgress(-1, 50);
    EXPECT_EQ(page->GetRecords().size(), before);
    for (const auto& record : page->GetRecords())
        EXPECT_TRUE(record.errors.empty());
    EXPECT_EQ(Rows(), 3);
}

TEST_F(WatermarkPageTest, LayoutAt1024)
{
    auto* tree = dynamic_cast<QWidget*>(page->GetTree());
    auto* list = dynamic_cast<QTableWidget*>(page->GetResultList());
    ASSERT_TRUE(tree && list);
    EXPECT_EQ(tree->geometry(), QRect(50, 45, 392, 700 - 123 - 45));
    EXPECT_EQ(list->geometry(), QRect(582, 45, 392, 700 - 123 - 45));
    EXPECT_EQ(list->columnWidth(0), 188);
    EXPECT_EQ(list->columnWidth(1), 58);
    EXPECT_EQ(list->columnWidth(2), 58);
    EXPECT_EQ(list->columnWidth(3), 88);
    EXPECT_EQ(dynamic_cast<QWidget*>(page->GetStartButton())->geometry(), QRect(462, 100, 100, 28));
}
