#include "Widgets/SFQTView.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"

CSFQTView::CSFQTView(ISFViewEvent* handler) : QWidget(nullptr), CSFView(handler)
{
    if (m_pHandler)
        m_pHandler->SetUIWnd(static_cast<QWidget*>(this));
    setWindowFlag(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_MouseTracking);
    setFocusPolicy(Qt::StrongFocus);
}

CSFQTView::~CSFQTView()
{
    if (m_pHandler) {
        m_pHandler->OnDestroy();
        m_pHandler->SetUIWnd(nullptr);
    }
    m_rowWidgets.clear();
}

int CSFQTView::Create(const wchar_t*, const wchar_t* windowName, DWORD style, const tagRECT& rect, void* parent,
                      UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    setWindowTitle(SFQTStringFromWide(windowName));
    setGeometry(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)));
    m_controlId = id;
    setVisible((style & WS_VISIBLE) != 0);
    if (m_pHandler)
        m_pHandler->OnCreate();
    return 1;
}

void CSFQTView::SetBackground(const wchar_t* imageName)
{
    m_background = SFQTLoadSkinImage(imageName ? imageName : L"");
}

void CSFQTView::MoveWindow(tagRECT* rect)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left + 1, rect->bottom - rect->top + 1);
}

void CSFQTView::MoveWindow(int x, int y, int width, int height)
{
    if (isVisible()) {
        hide();
        setGeometry(x, y, width, height);
        show();
    } else {
        setGeometry(x, y, width, height);
    }
}

void CSFQTView::GetViewClientRect(tagRECT* rect)
{
    if (rect)
        *rect = SFQTInclusiveRect(QWidget::rect());
}

void CSFQTView::GetViewWindowRect(tagRECT* rect)
{
    if (rect)
        *rect = SFQTGlobalWindowRect(this);
}

void CSFQTView::Screen2Client(tagPOINT* point)
{
    SFQTScreenToClient(this, point);
}

void CSFQTView::Screen2Client(tagRECT* rect)
{
    SFQTScreenToClient(this, rect);
}

void CSFQTView::AddRowWidget(QWidget* widget)
{
    if (!widget)
        return;
    widget->setParent(this);
    const int x = m_rowWidgets.isEmpty() ? 10 : m_rowWidgets.last()->geometry().right() + 10;
    widget->setGeometry(x, m_rowTop, widget->width(), widget->height());
    m_rowWidgets.append(widget);
}

void CSFQTView::paintEvent(QPaintEvent* event)
{
    if (!m_background.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(rect(), m_background);
    }
    QWidget::paintEvent(event);
}

void CSFQTView::resizeEvent(QResizeEvent*)
{
    if (m_pHandler && (width() != m_lastWidth || height() != m_lastHeight)) {
        m_lastWidth = width();
        m_lastHeight = height();
        m_pHandler->OnSize(0, rect().width(), rect().height());
    }
    if (m_cornerRadius != 0) {
        const int r = static_cast<int>(std::min<UINT>(m_cornerRadius, UINT(kSFQTSkinValueLimit)));
        SFQTApplyRoundMask(this, r, r);
    }
}

void CSFQTView::mousePressEvent(QMouseEvent* event)
{
    if (m_pHandler && event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        m_pHandler->OnLButtonDown(0, tagPOINT{pos.x(), pos.y()});
    }
    QWidget::mousePressEvent(event);
}

void CSFQTView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_pHandler && event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        m_pHandler->OnLButtonDblClk(0, tagPOINT{pos.x(), pos.y()});
    }
}

void CSFQTView::showEvent(QShowEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnShowWindow(1);
    QWidget::showEvent(event);
}

void CSFQTView::hideEvent(QHideEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnShowWindow(0);
    QWidget::hideEvent(event);
}

void CSFQTView::customEvent(QEvent* event)
{
    if (event->type() == CSFCustomEvent::EventType())
        SFDispatchCustomEvent(m_pHandler, *static_cast<CSFCustomEvent*>(event));
}
