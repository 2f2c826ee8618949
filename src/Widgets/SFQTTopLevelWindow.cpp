#include "Widgets/SFQTTopLevelWindow.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QTimerEvent>

#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTKeyMap.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"

template <class QtWindow>
CSFQTTopLevelWindow<QtWindow>::CSFQTTopLevelWindow(ISFDialogEvent* handler, QWidget* parent, Qt::WindowFlags flags,
                                                   CSFQTFrameChrome::Variant variant,
                                                   CSFQTFrameChrome::Actions actions, KeyCodeMap keyCode)
    : QtWindow(parent, flags),
      CSFDialog(handler),
      m_chrome(this, this, variant, WithSizeReport(std::move(actions))),
      m_keyCode(keyCode),
      m_timers(this)
{
    if (m_pHandler)
        m_pHandler->SetUIWnd(static_cast<QWidget*>(this));
    this->setAcceptDrops(true);
    this->setMouseTracking(true);
    this->setFocusPolicy(Qt::StrongFocus);
}

template <class QtWindow>
CSFQTTopLevelWindow<QtWindow>::~CSFQTTopLevelWindow()
{
    m_timers.KillAll();
    if (m_pHandler) {
        m_pHandler->SetUIWnd(nullptr);
        m_pHandler->Dlg_Destroy();
    }
}

template <class QtWindow>
CSFQTFrameChrome::Actions CSFQTTopLevelWindow<QtWindow>::WithSizeReport(CSFQTFrameChrome::Actions actions)
{
    actions.sized = [this](int w, int h) {
        if (m_pHandler)
            m_pHandler->OnDlgSize(0, w, h);
    };
    return actions;
}

template <class QtWindow>
int CSFQTTopLevelWindow<QtWindow>::Create(const wchar_t* name, void* parent)
{
    if (parent)
        this->setParent(static_cast<QWidget*>(parent));
    SetWindowTextW(name);
    if (m_pHandler)
        m_pHandler->Dlg_OnInitDialog(1);
    return 1;
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::ShowWindow(int show)
{
    this->setWindowModality(Qt::NonModal);
    this->setVisible(show != 0);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::MoveWindow(tagRECT* rect)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left + 1, rect->bottom - rect->top + 1);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::MoveWindow(int x, int y, int w, int h)
{
    this->setGeometry(x, y, w, h);
    m_chrome.Skin().initialSize = QSize(w, h);
}

template <class QtWindow>
QPoint CSFQTTopLevelWindow<QtWindow>::CalcCenterPos() const
{
    QSize recorded = m_chrome.Skin().initialSize;
    if (recorded.isEmpty())
        recorded = this->size();
    const QSize size = SFQTClampSizeToDesktop(this, recorded, m_chrome.Skin().minimumSize);
    return SFQTCenterPosition(this, size);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::CenterWindow(void**)
{
    m_centerPos = CalcCenterPos();
    this->move(m_centerPos);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::SetSkin(DialogStyle* style)
{
    if (style)
        m_chrome.SetSkin(*style);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::Screen2Client(tagPOINT* point)
{
    SFQTScreenToClient(this, point);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::Screen2Client(tagRECT* rect)
{
    SFQTScreenToClient(this, rect);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::GetDlgClientRect(tagRECT* rect)
{
    if (rect)
        *rect = tagRECT{0, 0, this->width() - 1, this->height() - 1};
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::GetDlgWindowRect(tagRECT* rect)
{
    if (rect)
        *rect = SFQTGlobalWindowRect(this);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::SendDlgMessage(UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        MFCCancel();
}

template <class QtWindow>
int CSFQTTopLevelWindow<QtWindow>::SetDlgWindowPos(void*, int x, int y, int cx, int cy, UINT flags)
{
    const QPoint position = (flags & 2) ? this->pos() : QPoint(x, y);
    const QSize newSize = (flags & 1) ? this->size() : QSize(cx, cy);
    this->setGeometry(QRect(position, newSize));
    this->update();
    return 1;
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::SetWindowTextW(const wchar_t* text)
{
    m_chrome.LayoutTitleText(SFQTStringFromWide(text));
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::SetSizeRoundCorner(const wchar_t* radii)
{
    const tagPOINT pair = SFQTParseSkinPointW(radii);
    m_chrome.SetCornerRadii(QPoint(pair.x, pair.y));
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::MacShowFullScreen(bool on)
{
    on ? this->showFullScreen() : this->showNormal();
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::MacShowMinimize(bool on)
{
    on ? this->showMinimized() : this->showNormal();
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::timerEvent(QTimerEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgTimer(m_timers.CallerId(event->timerId()));
    QtWindow::timerEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::customEvent(QEvent* event)
{
    if (event->type() != CSFCustomEvent::EventType() || !m_pHandler)
        return;
    const auto* custom = static_cast<CSFCustomEvent*>(event);
    // The handler's entry may destroy this window.
    const QPointer<QObject> alive(this);
    SFDispatchCustomEvent(m_pHandler, *custom);
    if (!alive)
        return;
    if (custom->m_message == WM_COMMAND && custom->m_code == 0) {
        if (custom->m_lParam == 1)
            MFCOK();
        else if (custom->m_lParam == 2)
            MFCCancel();
    }
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::mousePressEvent(QMouseEvent* event)
{
    m_chrome.OnMousePress(event);
    QtWindow::mousePressEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::mouseMoveEvent(QMouseEvent* event)
{
    m_chrome.OnMouseMove(event);
    if (m_pHandler)
        m_pHandler->OnDlgMouseHover();
    QtWindow::mouseMoveEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::mouseReleaseEvent(QMouseEvent* event)
{
    m_chrome.OnMouseRelease(event);
    QtWindow::mouseReleaseEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::keyPressEvent(QKeyEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgKeyDown(SFQTModifierCode(event->modifiers()), m_keyCode(event->key()));
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::focusInEvent(QFocusEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgNcActivate(TRUE);
    QtWindow::focusInEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::focusOutEvent(QFocusEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgNcActivate(FALSE);
    QtWindow::focusOutEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::enterEvent(QEnterEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgMouseHover();
    QtWindow::enterEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::leaveEvent(QEvent* event)
{
    m_chrome.OnLeave();
    if (m_pHandler)
        m_pHandler->OnDlgMouseLeave();
    QtWindow::leaveEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::paintEvent(QPaintEvent* event)
{
    if (!m_chrome.Paint())
        QtWindow::paintEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::resizeEvent(QResizeEvent* event)
{
    QtWindow::resizeEvent(event);
    m_chrome.OnResize(event->size().width(), event->size().height(), event->oldSize().width());
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::closeEvent(QCloseEvent* event)
{
    if (m_pHandler && m_pHandler->Dlg_Close())
        event->ignore();
    else
        event->accept();
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::dropEvent(QDropEvent* event)
{
    if (SFQTDeliverDrop(m_pHandler, event))
        QtWindow::dropEvent(event);
}

template <class QtWindow>
void CSFQTTopLevelWindow<QtWindow>::showEvent(QShowEvent* event)
{
    QtWindow::showEvent(event);
    if (m_pHandler)
        m_pHandler->OnDlgShowWindow(1, 0);
}

template class CSFQTTopLevelWindow<QDialog>;
template class CSFQTTopLevelWindow<QMainWindow>;
