#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTreeWidget>
#include <QWidget>

#include <boost/make_shared.hpp>

#include "Base/TextCodec.h"
#include "Main/FileListEventImp.h"
#include "Main/MainFrameEventImp.h"
#include "Main/MainPageEventImp.h"
#include "Main/TabBarEventImp.h"
#include "Support/AppTestSession.h"
#include "Support/ProcessUntil.h"
#include "Support/TempFolder.h"
#include "Support/TextContrast.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFTreeCtrl.h"

namespace {

// The main window as the program shows it: its skin images and style sheet.
class PageTextContrast : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        const std::string resources = std::string(LUMIVEX_SOURCE_DIR) + "/resources/";
        SFSetSkinPath(SF_SOFT_BASE::Utf8ToWide(resources + "Skin/"));
        QFile styleSheet(QString::fromStdString(resources + "Lumivex_Style.css"));
        ASSERT_TRUE(styleSheet.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
        ASSERT_TRUE(m_folder.IsValid());
        ASSERT_TRUE(m_session.Enter(m_folder.Path()));
        m_frame = CMainFrameEventImp::Create(nullptr);
        ASSERT_NE(m_frame->GetMainWindow(), nullptr);
    }
    void TearDown() override
    {
        m_frame.reset();
        m_session.Leave();
        qApp->setStyleSheet(QString());
        SFSetSkinPath(L"");
    }

    TempFolder m_folder;
    AppTestSession m_session;
    boost::shared_ptr<CMainFrameEventImp> m_frame;
};

// Every text a page shows stands out from what lies behind it.
TEST_P(PageTextContrast, EveryTextOfThePageIsReadable)
{
    auto* window = dynamic_cast<QWidget*>(m_frame->GetMainWindow());
    ASSERT_NE(window, nullptr);
    window->resize(1280, 800);
    m_frame->GetTabBar()->ShowPageTab(GetParam());
    ProcessUntil([] { return false; }, 50);
    EXPECT_EQ(TextContrast::TooFaint(window), std::vector<std::string>{});
}

// The file the user picked in the main page's file list stands out as well.
class FileListTextContrast : public PageTextContrast {
};

TEST_F(FileListTextContrast, TheSelectedFileIsReadable)
{
    auto* window = dynamic_cast<QWidget*>(m_frame->GetMainWindow());
    ASSERT_NE(window, nullptr);
    window->resize(1280, 800);
    boost::shared_ptr<CFileListEventImp> fileList = m_frame->GetMainPage()->GetFileList();
    fileList->AddSingleFiles(boost::make_shared<std::list<_SINGLE_FILE_INFO>>(
        std::list<_SINGLE_FILE_INFO>{{1, L"/videos/front door.mp4"}, {2, L"/videos/yard.avi"}}));
    auto* tree = dynamic_cast<QTreeWidget*>(fileList->GetTreeCtrl());
    ASSERT_NE(tree, nullptr);
    tree->setCurrentItem(tree->topLevelItem(1));
    ProcessUntil([] { return false; }, 50);
    EXPECT_EQ(TextContrast::TooFaint(window), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(EachPage, PageTextContrast,
                         ::testing::Values(CTabBarEventImp::kPlayWindowTab, CTabBarEventImp::kSearchTab,
                                           CTabBarEventImp::kPreviewTab, CTabBarEventImp::kExportTab,
                                           CTabBarEventImp::kWatermarkTab, CTabBarEventImp::kConfigTab));

}  // namespace
