#include "Widgets/SFQTMainWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTKeyMap.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/WidgetsLog.h"

CSFQTMainWindow::CSFQTMainWindow(ISFDialogEvent* handler, QWidget* parent)
    : CSFQTTopLevelWindow<QMainWindow>(handler, parent, Qt::WindowFlags(), CSFQTFrameChrome::Variant::MainWindow,
                                       MakeActions(this), SFQTMainWindowKeyCode),
      m_normalGeometry(geometry())
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    connect(this, &CSFQTMainWindow::sgnClose, this, &QWidget::close, Qt::QueuedConnection);
    connect(this, &CSFQTMainWindow::sgnMaximized, this, &QWidget::showMaximized, Qt::QueuedConnection);
    connect(this, &CSFQTMainWindow::sgnMinimized, this, &QWidget::showMinimized, Qt::QueuedConnection);
    connect(this, &CSFQTMainWindow::sgnNormal, this, &QWidget::showNormal, Qt::QueuedConnection);
}

CSFQTFrameChrome::Actions CSFQTMainWindow::MakeActions(CSFQTMainWindow* window)
{
    CSFQTFrameChrome::Actions actions;
    actions.isMaximized = [window] { return window->m_maximized != 0; };
    actions.close = [window] { emit window->sgnClose(); };
    actions.maximize = [window] { emit window->sgnMaximized(); };
    actions.minimize = [window] { emit window->sgnMinimized(); };
    actions.normal = [window] { emit window->sgnNormal(); };
    return actions;
}

void CSFQTMainWindow::DoOK()
{
    if (m_pHandler)
        m_pHandler->Dlg_OnOK();
}

void CSFQTMainWindow::DoCancel()
{
    if (m_pHandler) {
        m_pHandler->SetUIWnd(nullptr);
        m_pHandler->Dlg_OnCancel();
    }
    emit sgnClose();
}

void CSFQTMainWindow::SetDlgIcon(const wchar_t* path)
{
    SFQTSetWindowIcon(this, SFQTSkinFilePath(path));
}

void CSFQTMainWindow::MacShowMaximize(bool on)
{
    if (on && m_maximized == 0) {
        m_normalGeometry = geometry();
        const QScreen* screen = QGuiApplication::primaryScreen();
        tagRECT area = SFQTInclusiveRect(screen ? screen->availableGeometry() : geometry());
        MoveWindow(&area);
        m_maximized = 1;
        return;
    }
    tagRECT normal = SFQTInclusiveRect(m_normalGeometry);
    MoveWindow(&normal);
    m_maximized = 0;
}

void CSFQTMainWindow::OnSessionChange(WPARAM code)
{
    if (!m_pHandler)
        return;
    if (code == WTS_SESSION_LOCK)
        m_pHandler->OnMsgScreenLock(TRUE);
    else if (code == WTS_SESSION_UNLOCK)
        m_pHandler->OnMsgScreenLock(FALSE);
    qCDebug(lcWidgets) << "WM_WTSSESSION_CHANGE return ";
}

void CSFQTMainWindow::closeEvent(QCloseEvent* event)
{
    qCDebug(lcWidgets) << "CSFQTMainWindow::closeEvent!";
    CSFQTTopLevelWindow<QMainWindow>::closeEvent(event);
}
