#include "Widgets/SFQTDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimerEvent>

#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTKeyMap.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

CSFQTDialog::CSFQTDialog(ISFDialogEvent* handler, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags),
      CSFDialog(handler),
      m_chrome(this, this, CSFQTFrameChrome::Variant::Dialog, MakeActions()),
      m_timers(this)
{
    if (m_pHandler)
        m_pHandler->SetUIWnd(static_cast<QWidget*>(this));
    setAcceptDrops(true);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    connect(this, &CSFQTDialog::sgnClose, this, &QWidget::close, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnMaximized, this, &QWidget::showMaximized, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnMinimized, this, &QWidget::showMinimized, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnNormal, this, &QWidget::showNormal, Qt::QueuedConnection);
}

CSFQTDialog::~CSFQTDialog()
{
    m_timers.KillAll();
    if (m_pHandler) {
        m_pHandler->SetUIWnd(nullptr);
        m_pHandler->Dlg_Destroy();
    }
}

CSFQTFrameChrome::Actions CSFQTDialog::MakeActions()
{
    CSFQTFrameChrome::Actions actions;
    actions.isMaximized = [this] { return (windowState() & Qt::WindowMaximized) != 0; };
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

int CSFQTDialog::CreateDlg(void*)
{
    return 1;
}

int CSFQTDialog::DoModalDlg()
{
    setWindowModality(Qt::ApplicationModal);
    setModal(true);
    if (m_pHandler)
        m_pHandler->Dlg_OnInitDialog(0);
    QWidget::setFocus(Qt::OtherFocusReason);
    const int result = exec();
    return result == 0 ? 2 : result;
}

int CSFQTDialog::Create(const wchar_t* name, void* parent)
{
    if (parent)
        setParent(static_cast<QWidget*>(parent));
    SetWindowTextW(name);
    if (m_pHandler)
        m_pHandler->Dlg_OnInitDialog(1);
    return 1;
}

void CSFQTDialog::ShowWindow(int show)
{
    setModal(false);
    setWindowModality(Qt::NonModal);
    setVisible(show != 0);
}

void CSFQTDialog::MoveWindow(tagRECT* rect)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left + 1, rect->bottom - rect->top + 1);
}

void CSFQTDialog::MoveWindow(int x, int y, int w, int h)
{
    setGeometry(x, y, w, h);
    m_chrome.Skin().initialSize = QSize(w, h);
}

void CSFQTDialog::MFCOK()
{
    accept();
}

void CSFQTDialog::MFCCancel()
{
    reject();
}

QSize CSFQTDialog::RecordedSize() const
{
    const QSize recorded = m_chrome.Skin().initialSize;
    return (recorded.width() < 0 || recorded.height() < 0) ? size() : recorded;
}

QPoint CSFQTDialog::CalcCenterPos() const
{
    const QSize size = SFQTClampSizeToDesktop(this, RecordedSize(), m_chrome.Skin().minimumSize);
    return SFQTCenterPosition(this, size);
}

void CSFQTDialog::CenterWindow(void**)
{
    m_centerPos = CalcCenterPos();
    move(m_centerPos);
}

void CSFQTDialog::SetSkin(DialogStyle* style)
{
    if (style)
        m_chrome.SetSkin(*style);
}

void CSFQTDialog::Screen2Client(tagPOINT* point)
{
    SFQTScreenToClient(this, point);
}

void CSFQTDialog::Screen2Client(tagRECT* rect)
{
    SFQTScreenToClient(this, rect);
}

void CSFQTDialog::GetDlgClientRect(tagRECT* rect)
{
    if (rect)
        *rect = tagRECT{0, 0, width() - 1, height() - 1};
}

void CSFQTDialog::GetDlgWindowRect(tagRECT* rect)
{
    if (rect)
        *rect = SFQTGlobalWindowRect(this);
}

void CSFQTDialog::SendDlgMessage(UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        reject();
}

int CSFQTDialog::SetDlgWindowPos(void*, int x, int y, int cx, int cy, UINT flags)
{
    const QPoint position = (flags & 2) ? pos() : QPoint(x, y);
    const QSize newSize = (flags & 1) ? size() : QSize(cx, cy);
    setGeometry(QRect(position, newSize));
    update();
    return 1;
}

int CSFQTDialog::ModifyDlgStyleEx(DWORD remove, DWORD add, UINT)
{
    const bool wasVisible = isVisible();
    Qt::WindowFlags flags = windowFlags();
    if (remove)
        flags &= ~Qt::WindowFlags(static_cast<int>(remove));
    if (add)
        flags |= Qt::WindowFlags(static_cast<int>(add));
    setWindowFlags(flags);
    if (wasVisible)
        show();
    return 1;
}

void CSFQTDialog::SetWindowTextW(const wchar_t* text)
{
    m_chrome.LayoutTitleText(SFQTStringFromWide(text));
}

void CSFQTDialog::SetDlgIcon(const wchar_t* path)
{
    const QIcon icon(SFQTStringFromWide(path));
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}

void CSFQTDialog::SetSizeRoundCorner(const wchar_t* radii)
{
    const tagPOINT pair = SFQTParseSkinPointW(radii);
    m_chrome.SetCornerRadii(QPoint(pair.x, pair.y));
}

void CSFQTDialog::MacShowFullScreen(bool on)
{
    on ? showFullScreen() : showNormal();
}

void CSFQTDialog::MacShowMinimize(bool on)
{
    on ? showMinimized() : showNormal();
}

void CSFQTDialog::MacShowMaximize(bool on)
{
    on ? showMaximized() : showNormal();
}

void CSFQTDialog::ActiveWindow()
{
    raise();
    activateWindow();
}

void CSFQTDialog::accept()
{
    if (m_pHandler)
        m_pHandler->Dlg_OnOK();
    QDialog::accept();
}

void CSFQTDialog::reject()
{
    if (m_pHandler)
        m_pHandler->Dlg_OnCancel();
    QDialog::reject();
}

bool CSFQTDialog::event(QEvent* event)
{
    return QWidget::event(event);
}

void CSFQTDialog::timerEvent(QTimerEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgTimer(m_timers.CallerId(event->timerId()));
    QDialog::timerEvent(event);
}

void CSFQTDialog::customEvent(QEvent* event)
{
    if (event->type() != CSFCustomEvent::EventType() || !m_pHandler)
        return;
    const auto* custom = static_cast<CSFCustomEvent*>(event);
    SFDispatchCustomEvent(m_pHandler, *custom);
    if (custom->m_message == WM_COMMAND && custom->m_code == 0) {
        if (custom->m_lParam == 1)
            accept();
        else if (custom->m_lParam == 2)
            reject();
    }
}

void CSFQTDialog::mousePressEvent(QMouseEvent* event)
{
    m_chrome.OnMousePress(event);
    QDialog::mousePressEvent(event);
}

void CSFQTDialog::mouseMoveEvent(QMouseEvent* event)
{
    m_chrome.OnMouseMove(event);
    if (m_pHandler)
        m_pHandler->OnDlgMouseHover();
    QDialog::mouseMoveEvent(event);
}

void CSFQTDialog::mouseReleaseEvent(QMouseEvent* event)
{
    m_chrome.OnMouseRelease(event);
    QDialog::mouseReleaseEvent(event);
}

void CSFQTDialog::keyPressEvent(QKeyEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgKeyDown(SFQTModifierCode(event->modifiers()), SFQTDialogKeyCode(event->key()));
}

void CSFQTDialog::focusInEvent(QFocusEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgNcActivate(TRUE);
    QDialog::focusInEvent(event);
}

void CSFQTDialog::focusOutEvent(QFocusEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgNcActivate(FALSE);
    QDialog::focusOutEvent(event);
}

void CSFQTDialog::enterEvent(QEnterEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgMouseHover();
    QDialog::enterEvent(event);
}

void CSFQTDialog::leaveEvent(QEvent* event)
{
    m_chrome.OnLeave();
    if (m_pHandler)
        m_pHandler->OnDlgMouseLeave();
    QDialog::leaveEvent(event);
}

void CSFQTDialog::paintEvent(QPaintEvent* event)
{
    if (!m_chrome.Paint())
        QDialog::paintEvent(event);
}

void CSFQTDialog::resizeEvent(QResizeEvent* event)
{
    m_chrome.OnResize(event->size().width(), event->size().height(), event->oldSize().width());
}

void CSFQTDialog::closeEvent(QCloseEvent* event)
{
    if (m_pHandler && m_pHandler->Dlg_Close())
        event->ignore();
    else
        event->accept();
}

void CSFQTDialog::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CSFQTDialog::dropEvent(QDropEvent* event)
{
    if (SFQTDeliverDrop(m_pHandler, event))
        QDialog::dropEvent(event);
}

void CSFQTDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_pHandler)
        m_pHandler->OnDlgShowWindow(1, 0);
}
