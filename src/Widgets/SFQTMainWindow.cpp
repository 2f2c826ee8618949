#include "Widgets/SFQTMainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QTimerEvent>

#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTKeyMap.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"
#include "Widgets/WidgetsLog.h"

CSFQTMainWindow::CSFQTMainWindow(ISFDialogEvent* handler, QWidget* parent)
    : QMainWindow(parent),
      CSFDialog(handler),
      m_chrome(this, this, CSFQTFrameChrome::Variant::MainWindow, MakeActions()),
      m_timers(this),
      m_normalGeometry(geometry())
{
    if (m_pHandler)
        m_pHandler->SetUIWnd(static_cast<QWidget*>(this));
    setAcceptDrops(true);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    connect(this, &CSFQTMainWindow::sgnClose, this, &QWidget::close, Qt::QueuedConnection);
    connect(this, &CSFQTMainWindow::sgnMaximized, this, &QWidget::showMaximized, Qt::QueuedConnection);
    connect(this, &CSFQTMainWindow::sgnMinimized, this, &QWidget::showMinimized, Qt::QueuedConnection);
    connect(this, &CSFQTMainWindow::sgnNormal, this, &QWidget::showNormal, Qt::QueuedConnection);
}

CSFQTMainWindow::~CSFQTMainWindow()
{
    m_timers.KillAll();
    if (m_pHandler) {
        m_pHandler->SetUIWnd(nullptr);
        m_pHandler->Dlg_Destroy();
    }
}

CSFQTFrameChrome::Actions CSFQTMainWindow::MakeActions()
{
    CSFQTFrameChrome::Actions actions;
    actions.isMaximized = [this] { return m_maximized != 0; };
    actions.close = [this] { emit sgnClose(); };
    actions.maximize = [this] { emit sgnMaximized(); };
    actions.minimize = [this] { emit sgnMinimized(); };
    actions.normal = [this] { emit sgnNormal(); };
    actions.sized = [this](int w, int h) {
        if (m_pHandler)
            m_pHandler->OnDlgSize(0, w, h);
    };
    return actions;
}

int CSFQTMainWindow::Create(const wchar_t* name, void* parent)
{
    if (parent)
        setParent(static_cast<QWidget*>(parent));
    SetWindowTextW(name);
    if (m_pHandler)
        m_pHandler->Dlg_OnInitDialog(1);
    return 1;
}

void CSFQTMainWindow::ShowWindow(int show)
{
    setWindowModality(Qt::NonModal);
    setVisible(show != 0);
}

void CSFQTMainWindow::MoveWindow(tagRECT* rect)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left + 1, rect->bottom - rect->top + 1);
}

void CSFQTMainWindow::MoveWindow(int x, int y, int w, int h)
{
    setGeometry(x, y, w, h);
    m_chrome.Skin().initialSize = QSize(w, h);
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

QPoint CSFQTMainWindow::CalcCenterPos() const
{
    QSize recorded = m_chrome.Skin().initialSize;
    if (recorded.width() <= 0 || recorded.height() <= 0)
        recorded = size();
    const QSize size = SFQTClampSizeToDesktop(this, recorded, m_chrome.Skin().minimumSize);
    return SFQTCenterPosition(this, size);
}

void CSFQTMainWindow::CenterWindow(void**)
{
    m_centerPos = CalcCenterPos();
    move(m_centerPos);
}

void CSFQTMainWindow::SetSkin(DialogStyle* style)
{
    if (style)
        m_chrome.SetSkin(*style);
}

void CSFQTMainWindow::Screen2Client(tagPOINT* point)
{
    SFQTScreenToClient(this, point);
}

void CSFQTMainWindow::Screen2Client(tagRECT* rect)
{
    SFQTScreenToClient(this, rect);
}

void CSFQTMainWindow::GetDlgClientRect(tagRECT* rect)
{
    if (rect)
        *rect = tagRECT{0, 0, width() - 1, height() - 1};
}

void CSFQTMainWindow::GetDlgWindowRect(tagRECT* rect)
{
    if (rect)
        *rect = SFQTGlobalWindowRect(this);
}

void CSFQTMainWindow::SendDlgMessage(UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        DoCancel();
}

int CSFQTMainWindow::SetDlgWindowPos(void*, int x, int y, int cx, int cy, UINT flags)
{
    const QPoint position = (flags & 2) ? pos() : QPoint(x, y);
    const QSize newSize = (flags & 1) ? size() : QSize(cx, cy);
    setGeometry(QRect(position, newSize));
    update();
    return 1;
}

void CSFQTMainWindow::SetWindowTextW(const wchar_t* text)
{
    m_chrome.LayoutTitleText(SFQTStringFromWide(text));
}

void CSFQTMainWindow::SetDlgIcon(const wchar_t* path)
{
    const QIcon icon(SFQTSkinFilePath(path));
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}

void CSFQTMainWindow::SetSizeRoundCorner(const wchar_t* radii)
{
    const tagPOINT pair = SFQTParseSkinPointW(radii);
    m_chrome.SetCornerRadii(QPoint(pair.x, pair.y));
}

void CSFQTMainWindow::MacShowFullScreen(bool on)
{
    on ? showFullScreen() : showNormal();
}

void CSFQTMainWindow::MacShowMinimize(bool on)
{
    on ? showMinimized() : showNormal();
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

void CSFQTMainWindow::timerEvent(QTimerEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgTimer(m_timers.CallerId(event->timerId()));
    QMainWindow::timerEvent(event);
}

void CSFQTMainWindow::customEvent(QEvent* event)
{
    if (event->type() != CSFCustomEvent::EventType() || !m_pHandler)
        return;
    const auto* custom = static_cast<CSFCustomEvent*>(event);
    SFDispatchCustomEvent(m_pHandler, *custom);
    if (custom->m_message == WM_COMMAND && custom->m_code == 0) {
        if (custom->m_lParam == 1)
            DoOK();
        else if (custom->m_lParam == 2)
            DoCancel();
    }
}

void CSFQTMainWindow::mousePressEvent(QMouseEvent* event)
{
    m_chrome.OnMousePress(event);
    QMainWindow::mousePressEvent(event);
}

void CSFQTMainWindow::mouseMoveEvent(QMouseEvent* event)
{
    m_chrome.OnMouseMove(event);
    if (m_pHandler)
        m_pHandler->OnDlgMouseHover();
    QMainWindow::mouseMoveEvent(event);
}

void CSFQTMainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    m_chrome.OnMouseRelease(event);
    QMainWindow::mouseReleaseEvent(event);
}

void CSFQTMainWindow::keyPressEvent(QKeyEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgKeyDown(SFQTModifierCode(event->modifiers()), SFQTMainWindowKeyCode(event->key()));
}

void CSFQTMainWindow::focusInEvent(QFocusEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgNcActivate(TRUE);
    QMainWindow::focusInEvent(event);
}

void CSFQTMainWindow::focusOutEvent(QFocusEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgNcActivate(FALSE);
    QMainWindow::focusOutEvent(event);
}

void CSFQTMainWindow::enterEvent(QEnterEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgMouseHover();
    QMainWindow::enterEvent(event);
}

void CSFQTMainWindow::leaveEvent(QEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgMouseLeave();
    QMainWindow::leaveEvent(event);
}

void CSFQTMainWindow::paintEvent(QPaintEvent* event)
{
    if (!m_chrome.Paint())
        QMainWindow::paintEvent(event);
}

void CSFQTMainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    m_chrome.OnResize(event->size().width(), event->size().height(), event->oldSize().width());
}

void CSFQTMainWindow::closeEvent(QCloseEvent* event)
{
    qCDebug(lcWidgets) << "CSFQTMainWindow::closeEvent!";
    if (m_pHandler && m_pHandler->Dlg_Close())
        event->ignore();
    else
        event->accept();
}

void CSFQTMainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CSFQTMainWindow::dropEvent(QDropEvent* event)
{
    if (SFQTDeliverDrop(m_pHandler, event))
        QMainWindow::dropEvent(event);
}

void CSFQTMainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_pHandler)
        m_pHandler->OnDlgShowWindow(1, 0);
}
