// Full screen lays the play page over the whole window, also when the
// window keeps its size (a maximized window on a screen without panels).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>

#include "Main/MainFrameEventImp.h"
#include "Main/TabBarEventImp.h"
#include "Main/ToolBarEventImp.h"
#include "Support/AppTestSession.h"
#include "Support/ProcessUntil.h"
#include "Support/TempFolder.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFView.h"

namespace {

class MainFrameFullScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.IsValid());
        ASSERT_TRUE(m_session.Enter(m_folder.Path()));
        m_frame = CMainFrameEventImp::Create(nullptr);
        ASSERT_NE(m_frame->GetMainWindow(), nullptr);
        m_window = dynamic_cast<QWidget*>(m_frame->GetMainWindow());
        ASSERT_NE(m_window, nullptr);
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        m_frame.reset();
        m_session.Leave();
    }

    tagRECT PlayPageRect() const
    {
        tagRECT r{};
        CSFView* page = m_frame->GetPageView(CTabBarEventImp::kPlayWindowTab);
        page->GetViewWindowRect(&r);
        m_frame->GetMainWindow()->Screen2Client(&r);
        return r;
    }

    TempFolder m_folder;
    AppTestSession m_session;
    boost::shared_ptr<CMainFrameEventImp> m_frame;
    QWidget* m_window = nullptr;
};

}  // namespace

TEST_F(MainFrameFullScreen, AMaximizedWindowGivesThePlayPageTheWholeWindow)
{
    m_window->showMaximized();
    ASSERT_TRUE(ProcessUntil([&] { return m_window->isMaximized(); }));
    ProcessUntil([] { return false; }, 100);
    const QSize size = m_window->size();
    int cx = size.width();
    int cy = size.height();
    m_frame->OnDlgSize(0, cx, cy);  // as the window reports its size
    ASSERT_GT(PlayPageRect().top, 60);
    m_frame->GetToolBar()->OnSFBtnFullScreen();
    ASSERT_EQ(m_frame->IsFullScreen(), 1);
    ASSERT_TRUE(ProcessUntil([&] { return m_window->isFullScreen(); }));
    ProcessUntil([] { return false; }, 100);
    ASSERT_EQ(m_window->size(), size) << "the screen has panels: this case does not arise";
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
