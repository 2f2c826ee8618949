#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "Main/AboutDlgEventImp.h"
#include "Main/MainFrameEventImp.h"
#include "Main/MessageNotifier.h"
#include "Main/MsgDlgEventImp.h"
#include "Main/TabBarEventImp.h"
#include "Main/TopPopDlgEventImp.h"
#include "Support/ProcessUntil.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFDialog.h"

namespace {

bool Save(void* window, const char* name)
{
    auto* widget = static_cast<QWidget*>(window);
    QDir().mkpath("screenshots");
    return widget && widget->grab().save(QString("screenshots/") + name);
}

}  // namespace

// Pictures of the shell's windows for a person to look at:
//   main_tests --gtest_also_run_disabled_tests --gtest_filter='*ShellScreenshots*'
// writes screenshots/*.png in the current folder.
TEST(ShellScreenshots, DISABLED_EachWindow)
{
    SFSetSkinPath(QString(LUMIVEX_SOURCE_DIR "/resources/Skin/").toStdWString());
    auto frame = CMainFrameEventImp::Create(nullptr);
    ProcessUntil([] { return false; }, 300);
    EXPECT_TRUE(Save(frame->GetUIWnd(), "main.png"));
    frame->GetTabBar()->ShowPageTab(CTabBarEventImp::kConfigTab);
    ProcessUntil([] { return false; }, 200);
    EXPECT_TRUE(Save(frame->GetUIWnd(), "settings.png"));
    frame->GetAboutDlg()->GetDlg()->ShowWindow(1);
    EXPECT_TRUE(Save(frame->GetAboutDlg()->GetUIWnd(), "about.png"));
    frame->GetAboutDlg()->GetDlg()->ShowWindow(0);
    QTimer::singleShot(200, [] {
        QWidget* modal = QApplication::activeModalWidget();
        EXPECT_TRUE(Save(modal, "message.png"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(modal, &enter);
    });
    GetMsgDlg()->ShowMsg(L"The item you want to delete is in the operating now. Please stop current operation and "
                         L"then delete.",
                         nullptr, 1);
    auto notifier = CMessageNotifier::GetInstance();
    notifier->Notify(L"No Video Files Found!", true);
    notifier->Notify(L"This operation can't accomplish as the videos are opening now, please retry later!", true);
    EXPECT_TRUE(Save(notifier->GetUIWnd(), "notifier.png"));
    frame->GetTabBar()->ShowPageTab(CTabBarEventImp::kPlayWindowTab);
    frame->SetFullScreen(1);
    frame->GetTopPopDlg()->OnDlgMouseHover();
    ProcessUntil([] { return false; }, 200);
    EXPECT_TRUE(Save(frame->GetTopPopDlg()->GetUIWnd(), "toppop.png"));
    frame->SetFullScreen(0);
}
