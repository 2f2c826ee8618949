#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <filesystem>
#include <list>
#include <vector>

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Common/ConfigManager.h"
#include "Common/LangString.h"
#include "FileIndex/FileManager.h"
#include "Common/UserMessages.h"
#include "FileIndex/RecordingNames.h"
#include "Main/FileListEventImp.h"
#include "Main/MainPageEventImp.h"
#include "Main/ConfigViewEventImp.h"
#include "Main/MainFrameEventImp.h"
#include "Main/MessageNotifier.h"
#include "Preview/PreviewFileListEventImp.h"
#include "Preview/PreviewPageEventImp.h"
#include "Main/TabBarEventImp.h"
#include "Main/ToolBarEventImp.h"
#include "Main/TopPopDlgEventImp.h"
#include "Support/AppTestSession.h"
#include "Support/ProcessUntil.h"
#include "Support/TempFolder.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

namespace {

// A shown main frame whose settings file goes to a temporary folder.
class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.IsValid());
        ASSERT_TRUE(m_session.Enter(m_folder.Path()));
        m_frame = CMainFrameEventImp::Create(nullptr);
        ASSERT_NE(m_frame->GetMainWindow(), nullptr);
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        m_frame.reset();
        m_session.Leave();
    }

    tagRECT ClientRectOf(CSFView* view)
    {
        tagRECT r{};
        view->GetViewWindowRect(&r);
        m_frame->GetMainWindow()->Screen2Client(&r);
        return r;
    }
    int TabLeft(int id)
    {
        tagRECT r{};
        m_frame->GetTabBar()->GetPageTab(id)->GetRadioWindowRect(&r);
        m_frame->GetTabBar()->GetView()->Screen2Client(&r);
        return r.left;
    }
    void Resize(int cx, int cy)
    {
        m_frame->OnDlgSize(0, cx, cy);
    }

    TempFolder m_folder;
    AppTestSession m_session;
    boost::shared_ptr<CMainFrameEventImp> m_frame;
};

}  // namespace

TEST_F(MainFrameTest, ANoticeIsShownWholeAboveTheMainWindowAlsoWhenAPromptFollows)
{
    const std::wstring notice = L"The settings file could not be read and was kept as /home/someone/programs/"
                                L"lumivex-2026-12/Config/config.xml.unreadable-20261208104809";
    ShowNotifyMessage(notice, true);
    QWidget* popUp = static_cast<QWidget*>(CMessageNotifier::GetInstance()->GetUIWnd());
    ASSERT_NE(popUp, nullptr);
    // A prompt follows, as the offer of the file association does at a start.
    bool shownDuringPrompt = false;
    QTimer::singleShot(0, [&] {
        shownDuringPrompt = popUp->isVisible();
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    ShowMessageBox(L"Open these files with Lumivex?", nullptr, 1);
    EXPECT_TRUE(shownDuringPrompt);
    EXPECT_TRUE(popUp->isVisible());
    // Stacked above the main window: a window of it, not one of its own.
    ASSERT_NE(popUp->windowHandle(), nullptr);
    EXPECT_EQ(popUp->windowHandle()->transientParent(),
              static_cast<QWidget*>(m_frame->GetUIWnd())->windowHandle());
    // Whole: its row is tall enough for every line the text takes at the row's width.
    auto* list = popUp->findChild<QTableWidget*>();
    ASSERT_NE(list, nullptr);
    const int row = list->rowCount() - 1;
    const QString text = list->item(row, 0)->text();
    ASSERT_TRUE(text.endsWith(QString::fromStdWString(notice)));
    const QFontMetrics metrics(list->font());
    const int lines = metrics.horizontalAdvance(text) / list->columnWidth(0) + 1;
    EXPECT_GE(lines, 2);
    EXPECT_GE(list->rowHeight(row), lines * metrics.height());
}

TEST(MainFrameCommandLine, BackslashesTurnIntoSlashesOnlyWhenThePathIsMissing)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Touch("a\\b.kvx"));
    const std::string real = folder.File("a\\b.kvx");
    EXPECT_EQ(CMainFrameEventImp::MakeCommandLinePath(real), SF_SOFT_BASE::Utf8ToWide(real));
    EXPECT_EQ(CMainFrameEventImp::MakeCommandLinePath("\\rec\\x.kvx"), L"/rec/x.kvx");
    EXPECT_EQ(CMainFrameEventImp::MakeCommandLinePath("/rec/x.kvx"), L"/rec/x.kvx");
}

TEST(ToolBarLogo, ALanguageWithoutItsOwnLogoShowsTheEnglishOne)
{
    TempFolder skin;
    ASSERT_TRUE(skin.Touch("logo_1.png"));
    SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(skin.Path() + "/"));
    SetLanguageNumber(2);
    EXPECT_EQ(CToolBarEventImp::LogoImage(), L"logo_1.png");
    ASSERT_TRUE(skin.Touch("logo_2.png"));
    EXPECT_EQ(CToolBarEventImp::LogoImage(), L"logo_2.png");
    SetLanguageNumber(1);
    SFSetSkinPath(L"");
}

TEST_F(MainFrameTest, BarsAndPagesShareTheClientArea)
{
    Resize(1000, 730);
    const tagRECT tool = ClientRectOf(m_frame->GetToolBar()->GetView());
    const tagRECT tab = ClientRectOf(m_frame->GetTabBar()->GetView());
    const tagRECT page = ClientRectOf(m_frame->GetConfigView()->GetView());
    EXPECT_EQ(tool.left, 1);
    EXPECT_EQ(tool.top, 1);
    EXPECT_EQ(tool.right, 998);
    EXPECT_EQ(tab.top, 62);
    EXPECT_EQ(tab.bottom, 94);
    EXPECT_EQ(page.top, 94);
    EXPECT_EQ(page.left, 1);
    EXPECT_EQ(page.right, 998);
    EXPECT_EQ(page.bottom, 728);
}

TEST_F(MainFrameTest, ToolBarWindowButtonsFollowTheRightEdge)
{
    m_frame->GetToolBar()->OnSize(0, 800, 62);
    auto left = [&](int id) {
        tagRECT r{};
        m_frame->GetToolBar()->GetButton(id)->GetBTNWindowRect(&r);
        m_frame->GetToolBar()->GetView()->Screen2Client(&r);
        return r.left;
    };
    EXPECT_EQ(left(CToolBarEventImp::kCloseId), 771);
    EXPECT_EQ(left(CToolBarEventImp::kMaximizeId), 750);
    EXPECT_EQ(left(CToolBarEventImp::kMinimizeId), 729);
    EXPECT_EQ(left(CToolBarEventImp::kAboutId), 708);
    EXPECT_EQ(left(CToolBarEventImp::kConfigId), 615);
    EXPECT_EQ(left(CToolBarEventImp::kWatermarkId), 558);
}

TEST_F(MainFrameTest, TabsOpenCloseAndLineUp)
{
    auto tabs = m_frame->GetTabBar();
    tabs->ShowPageTab(CTabBarEventImp::kSearchTab);
    tabs->ShowPageTab(CTabBarEventImp::kExportTab);
    EXPECT_TRUE(tabs->IsPageTabChecked(CTabBarEventImp::kExportTab));
    EXPECT_FALSE(tabs->IsPageTabChecked(CTabBarEventImp::kPlayWindowTab));
    // Header hidden on other pages: tabs start at 10.
    EXPECT_EQ(TabLeft(169), 10);
    EXPECT_EQ(TabLeft(170), 114);
    EXPECT_EQ(TabLeft(172), 218);
    tabs->RADIO_OnClicked(1, CTabBarEventImp::kPlayWindowTab, tagPOINT{50, 5});
    EXPECT_EQ(TabLeft(169), 240);
    EXPECT_EQ(TabLeft(170), 344);
    EXPECT_EQ(TabLeft(172), 448);
    // A click on the close mark of the unselected "Search" tab closes it.
    tabs->RADIO_OnClicked(1, CTabBarEventImp::kSearchTab, tagPOINT{90, 8});
    EXPECT_FALSE(tabs->IsPageTabOpen(CTabBarEventImp::kSearchTab));
    EXPECT_TRUE(tabs->IsPageTabChecked(CTabBarEventImp::kPlayWindowTab));
    EXPECT_EQ(TabLeft(172), 344);
    // Clicking the selected tab again keeps it selected.
    tabs->RADIO_OnClicked(0, CTabBarEventImp::kPlayWindowTab, tagPOINT{90, 8});
    EXPECT_TRUE(tabs->IsPageTabChecked(CTabBarEventImp::kPlayWindowTab));
}

TEST_F(MainFrameTest, ConfigTabShowsTheSettingsPage)
{
    CSFView* page = m_frame->GetConfigView()->GetView();
    auto* widget = static_cast<QWidget*>(page->GetUIWnd());
    EXPECT_FALSE(widget->isVisible());
    m_frame->GetTabBar()->ShowPageTab(CTabBarEventImp::kConfigTab);
    EXPECT_TRUE(widget->isVisible());
    m_frame->GetTabBar()->RADIO_OnClicked(1, CTabBarEventImp::kConfigTab, tagPOINT{86, 3});
    EXPECT_FALSE(widget->isVisible());
    EXPECT_FALSE(m_frame->GetTabBar()->IsPageTabOpen(CTabBarEventImp::kConfigTab));
}

TEST_F(MainFrameTest, AHiddenPageIsBuiltWhenShownWithTheFilesHandedToItBefore)
{
    Resize(1000, 730);
    EXPECT_EQ(m_frame->GetPageView(CTabBarEventImp::kPreviewTab), nullptr);
    auto singles = boost::make_shared<std::list<_SINGLE_FILE_INFO>>(
        std::list<_SINGLE_FILE_INFO>{{1, L"/rec/first.kvx"}, {2, L"/rec/second.kvx"}});
    m_frame->FillPreviewPage(singles, boost::make_shared<std::vector<std::wstring>>());
    m_frame->GetTabBar()->ShowPageTab(CTabBarEventImp::kPreviewTab);

    CSFView* view = m_frame->GetPageView(CTabBarEventImp::kPreviewTab);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(static_cast<QWidget*>(view->GetUIWnd())->isVisible());
    const tagRECT page = ClientRectOf(view);
    EXPECT_EQ(page.top, 94);
    EXPECT_EQ(page.left, 1);
    EXPECT_EQ(page.right, 998);
    EXPECT_EQ(page.bottom, 728);
    CSFTreeCtrl* files = m_frame->GetPreviewPage()->GetFileListView()->GetTree();
    EXPECT_EQ(files->GetCount(), 2u);
}

TEST_F(MainFrameTest, PagesNeverBuiltAnswerTheCloseAtOnce)
{
    m_frame->RegisterPageCloser(CMainFrameEventImp::kMainPlayPage, [] {});
    m_frame->SetCloseGracePeriod(0);
    EXPECT_EQ(m_frame->Dlg_Close(), 1);
    const std::map<int, int> table{{0, 0}, {2, 1}, {3, 1}, {4, 1}};
    EXPECT_EQ(m_frame->GetPageCloseTable(), table);
    EXPECT_EQ(m_frame->GetPageView(CTabBarEventImp::kExportTab), nullptr);
}

// Files handed to pages never shown are only held: closing builds none of
// them (building the preview page fills its tree with every file).
TEST_F(MainFrameTest, ClosingBuildsNoPageThatWasNeverShown)
{
    auto singles = boost::make_shared<std::list<_SINGLE_FILE_INFO>>(
        std::list<_SINGLE_FILE_INFO>{{1, L"/rec/first.kvx"}, {2, L"/rec/second.kvx"}});
    auto groups = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    m_frame->FillPreviewPage(singles, boost::make_shared<std::vector<std::wstring>>());
    m_frame->FillWatermarkPage(groups, singles);
    m_frame->RegisterPageCloser(CMainFrameEventImp::kMainPlayPage, [] {});
    m_frame->SetCloseGracePeriod(0);
    EXPECT_EQ(m_frame->Dlg_Close(), 1);
    for (int tab : {CTabBarEventImp::kPreviewTab, CTabBarEventImp::kWatermarkTab, CTabBarEventImp::kExportTab})
        EXPECT_EQ(m_frame->GetPageView(tab), nullptr) << tab;
    const std::map<int, int> table{{0, 0}, {2, 1}, {3, 1}, {4, 1}};
    EXPECT_EQ(m_frame->GetPageCloseTable(), table);
}

TEST_F(MainFrameTest, FullScreenParksThePopUpAndEscapeLeaves)
{
    m_frame->OnDlgKeyDown(0, VK_ESCAPE);
    EXPECT_EQ(m_frame->IsFullScreen(), 0);
    m_frame->GetToolBar()->OnSFBtnFullScreen();
    ASSERT_EQ(m_frame->IsFullScreen(), 1);
    CSFDialog* pop = m_frame->GetTopPopDlg()->GetDlg();
    EXPECT_TRUE(pop->IsDlgVisible());
    tagRECT r{};
    pop->GetDlgWindowRect(&r);
    EXPECT_EQ(r.bottom + 1, CTopPopDlgEventImp::kParkedVisible);
    EXPECT_EQ(r.bottom - r.top + 1, CTopPopDlgEventImp::kHeight);
    m_frame->GetTopPopDlg()->OnDlgMouseHover();
    pop->GetDlgWindowRect(&r);
    EXPECT_EQ(r.top, 0);
    m_frame->GetTopPopDlg()->OnDlgMouseLeave();
    pop->GetDlgWindowRect(&r);
    EXPECT_EQ(r.bottom + 1, CTopPopDlgEventImp::kParkedVisible);
    // Zoom on the bar checks zoom in the tool bar and clears drag.
    m_frame->GetTopPopDlg()->RADIO_OnClicked(1, 135, tagPOINT{1, 1});
    m_frame->GetTopPopDlg()->RADIO_OnClicked(1, 134, tagPOINT{1, 1});
    EXPECT_EQ(m_frame->GetToolBar()->IsDigitalZoomChecked(), 1);
    EXPECT_EQ(m_frame->GetToolBar()->IsDragChecked(), 0);
    m_frame->OnDlgKeyDown(0, VK_ESCAPE);
    EXPECT_EQ(m_frame->IsFullScreen(), 0);
    EXPECT_FALSE(pop->IsDlgVisible());
}

TEST_F(MainFrameTest, FullScreenOnlyFromThePlayWindow)
{
    m_frame->GetTabBar()->ShowPageTab(CTabBarEventImp::kConfigTab);
    m_frame->GetToolBar()->OnSFBtnFullScreen();
    EXPECT_EQ(m_frame->IsFullScreen(), 0);
}

TEST_F(MainFrameTest, ClosingSavesFoldersAndWaitsForThePages)
{
    CConfigManager::GetInstance()->GetOpenedPaths() = {L"/rec/a/"};
    m_frame->GetConfigView()->SelectChanged(CConfigViewEventImp::kSnapFormatCombo, 1);
    m_frame->SetCloseGracePeriod(0);
    m_frame->Task_OnCloseSuccess(CMainFrameEventImp::kExportPage);
    EXPECT_EQ(m_frame->Dlg_Close(), 1);
    EXPECT_EQ(m_frame->IsClosing(), 1);
    EXPECT_FALSE(m_frame->GetMainWindow()->IsDlgVisible());
    // Without a file index (nothing opened this run) the remembered folders are kept.
    EXPECT_EQ(CConfigManager::GetInstance()->OldPath, L"/rec/a/;");
    EXPECT_NE(ReadFile(m_folder.File("Config/config.xml")).find("<SnapFormat value=\"1\""), std::string::npos);
    EXPECT_EQ(m_frame->Dlg_Close(), 0);
}

TEST_F(MainFrameTest, ClosingRemembersTheFoldersOfTheFileIndexAlsoWhenTheSettingsPageWasNeverShown)
{
    CConfigManager::GetInstance()->GetOpenedPaths() = {L"/rec/a/"};
    auto manager = boost::make_shared<CFileManager>(nullptr);
    ASSERT_TRUE(manager->AddSingleFile(L"/rec/b/single.kvx"));
    m_frame->SetFileManager(manager);
    m_frame->SetCloseGracePeriod(0);
    EXPECT_EQ(m_frame->Dlg_Close(), 1);
    EXPECT_EQ(CConfigManager::GetInstance()->OldPath, L"/rec/b/;");
}

TEST_F(MainFrameTest, CloseTableNeedsEveryPage)
{
    for (int id : {0, 2, 3, 4})
        m_frame->Task_OnCloseSuccess(id);
    EXPECT_EQ(m_frame->IsAllPagesClosed(), 1);
    const std::map<int, int> table{{0, 1}, {2, 1}, {3, 1}, {4, 1}};
    EXPECT_EQ(m_frame->GetPageCloseTable(), table);
}

TEST_F(MainFrameTest, PagesAreAskedInOrderAndTheLastReportCloses)
{
    std::vector<int> asked;
    for (int id : {CMainFrameEventImp::kWatermarkPage, CMainFrameEventImp::kMainPlayPage,
                   CMainFrameEventImp::kPreviewPage})
        m_frame->RegisterPageCloser(id, [&asked, id] { asked.push_back(id); });
    m_frame->SetCloseGracePeriod(0);
    EXPECT_EQ(m_frame->Dlg_Close(), 1);
    EXPECT_EQ(asked, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(m_frame->IsAllPagesClosed(), 0);
    m_frame->Task_OnCloseSuccess(4);
    m_frame->Task_OnCloseSuccess(0);
    EXPECT_EQ(m_frame->IsAllPagesClosed(), 0);
    m_frame->Task_OnCloseSuccess(2);
    EXPECT_EQ(m_frame->IsAllPagesClosed(), 1);
    EXPECT_EQ(m_frame->WasCloseForced(), 0);
}

TEST_F(MainFrameTest, AStuckPageIsGivenUpAfterTheGracePeriod)
{
    m_frame->RegisterPageCloser(CMainFrameEventImp::kExportPage, [] {});
    m_frame->SetCloseGracePeriod(50);
    EXPECT_EQ(m_frame->Dlg_Close(), 1);
    EXPECT_EQ(m_frame->WasCloseForced(), 0);
    EXPECT_TRUE(ProcessUntil([&] { return m_frame->WasCloseForced() == 1; }));
}

// Full screen lays the play page over the whole window, also when the
// window keeps its size (a maximized window on a screen without panels).
TEST_F(MainFrameTest, AMaximizedWindowGivesThePlayPageTheWholeWindowInFullScreen)
{
    auto* window = dynamic_cast<QWidget*>(m_frame->GetMainWindow());
    ASSERT_NE(window, nullptr);
    CSFView* playPage = m_frame->GetPageView(CTabBarEventImp::kPlayWindowTab);
    auto PlayPageRect = [&] { return ClientRectOf(playPage); };
    window->showMaximized();
    ASSERT_TRUE(ProcessUntil([&] { return window->isMaximized(); }));
    ProcessUntil([] { return false; }, 100);
    const QSize size = window->size();
    int cx = size.width();
    int cy = size.height();
    m_frame->OnDlgSize(0, cx, cy);  // as the window reports its size
    ASSERT_GT(PlayPageRect().top, 60);
    m_frame->GetToolBar()->OnSFBtnFullScreen();
    ASSERT_EQ(m_frame->IsFullScreen(), 1);
    ASSERT_TRUE(ProcessUntil([&] { return window->isFullScreen(); }));
    ProcessUntil([] { return false; }, 100);
    ASSERT_EQ(window->size(), size) << "the screen has panels: this case does not arise";
    const tagRECT full = PlayPageRect();
    EXPECT_EQ(full.left, 0);
    EXPECT_EQ(full.top, 0);
    EXPECT_EQ(full.right - full.left + 1, size.width());
    EXPECT_EQ(full.bottom - full.top + 1, size.height());
    // Leaving full screen brings the bars' layout back.
    m_frame->OnDlgKeyDown(0, VK_ESCAPE);
    ProcessUntil([] { return false; }, 100);
    EXPECT_GT(PlayPageRect().top, 60);
}

// The folders remembered from the last run come back at start, in their
// order, an empty one among them.
TEST(MainFrameStart, OpensEveryRememberedFolder)
{
    TempFolder work, files;
    AppTestSession session;
    ASSERT_TRUE(session.Enter(work.Path()));
    ASSERT_TRUE(session.StartLoops({LumivexBase::ML_HELPER}));
    const SF_SOFT_BASE::CSFDateTime start(2016, 1, 2, 8, 0, 0);
    std::vector<std::wstring>& remembered = CConfigManager::GetInstance()->GetOpenedPaths();
    for (const char* name : {"b", "empty", "a", "c"}) {
        ASSERT_TRUE(files.MakeFolder(name));
        remembered.push_back(SF_SOFT_BASE::Utf8ToWide(files.File(name)));
    }
    ASSERT_TRUE(files.Touch("a/" + RecordingName("Cam01", 1, 0, start, 60)));
    ASSERT_TRUE(files.Touch("b/" + RecordingName("Cam02", 1, 0, start, 60)));
    ASSERT_TRUE(files.Touch("c/clip.avi"));
    ASSERT_TRUE(files.Touch("b/site.mp4"));

    auto frame = CMainFrameEventImp::Create(nullptr);
    auto* tree = dynamic_cast<QTreeWidget*>(frame->GetMainPage()->GetFileList()->GetTreeCtrl());
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(ProcessUntil([&] { return tree->topLevelItemCount() == 4; }));
    QStringList names;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        names << tree->topLevelItem(i)->text(0);
    EXPECT_EQ(names.join(","), "Cam01,Cam02,site,clip");
    frame.reset();
    session.StopLoops();
    session.Leave();
}
