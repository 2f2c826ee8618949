#include "Widgets/SFQTComboBox.h"

#include <algorithm>
#include <functional>

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QScreen>

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"
#include "Widgets/WidgetsLog.h"

CSFQTComboBox::CSFQTComboBox(ISFComboBoxEvent* handler) : QComboBox(nullptr), CSFComboBox(handler)
{
    setFrame(false);
    view()->viewport()->setFocusPolicy(Qt::NoFocus);
    connect(this, &QComboBox::currentIndexChanged, this, &CSFQTComboBox::OnSelectChanged);
}

int CSFQTComboBox::Create(DWORD style, const tagRECT& rect, void* parent, UINT id)
{
    SFQTPlaceControl(this, parent, rect);
    m_controlId = id;
    SFQTShowByStyle(this, style);
    return 1;
}

QString CSFQTComboBox::SkinStyleSheet()
{
    return QStringLiteral("QComboBox {subcontrol-position: bottom;}"
                          "QComboBox QAbstractItemView {border: 1px solid darkgray;border-top-width: 0px;"
                          "background-color: rgb(128,128,128);"
                          "selection-background-color: rgb(100,100,100);"
                          "subcontrol-origin: content;"
                          "background-clip:content;"
                          "position: absolute;}"
                          "QComboBox QAbstractItemView::item:selected {Background: rgba(255,0,0,50%);}");
}

int CSFQTComboBox::SetSkin(ImageComboBoxStyle* skin)
{
    if (!skin)
        return 0;
    m_skinImage = SFQTLoadSkinImage(skin->str0);
    const std::wstring* rects[kPieceCount] = {&skin->str1, &skin->str2, &skin->str3, &skin->str4,
                                              &skin->str5, &skin->str6, &skin->str7};
    const std::wstring* modes[kPieceCount] = {&skin->str8,  &skin->str9,  &skin->str10, &skin->str11,
                                              &skin->str12, &skin->str13, &skin->str14};
    for (int i = 0; i < kPieceCount; ++i) {
        if (rects[i]->empty())
            continue;
        m_pieces[i].source = SFQTParseSkinRectW(rects[i]->c_str());
        m_pieces[i].used = 1;
        m_pieces[i].stretch = *modes[i] == L"stretch" ? 1 : 0;
    }
    setStyleSheet(SkinStyleSheet());
    return 1;
}

void CSFQTComboBox::SetTextColor(UINT color)
{
    m_textColor = SFQTColorFromColorRef(color);
    update();
}

void CSFQTComboBox::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void CSFQTComboBox::WithoutSelectReport(const std::function<void()>& change)
{
    disconnect(this, &QComboBox::currentIndexChanged, this, &CSFQTComboBox::OnSelectChanged);
    change();
    connect(this, &QComboBox::currentIndexChanged, this, &CSFQTComboBox::OnSelectChanged);
}

int CSFQTComboBox::AddString(const wchar_t* text)
{
    QPixmap spacer(1, kRowHeight);
    spacer.fill(Qt::transparent);
    setIconSize(QSize(1, kRowHeight));
    WithoutSelectReport([&] { addItem(QIcon(spacer), SFQTStringFromWide(text), QVariant()); });
    return count() - 1;
}

int CSFQTComboBox::DeleteString(UINT index)
{
    if (index >= static_cast<UINT>(count()))
        return -1;
    WithoutSelectReport([&] { removeItem(static_cast<int>(index)); });
    return count();
}

int CSFQTComboBox::GetLBText(int index, wchar_t* buffer, int size) const
{
    if (index < 0 || index >= count())
        return -1;
    return SFQTCopyToWideBuffer(itemText(index), buffer, size);
}

int CSFQTComboBox::SetCurSel(int index)
{
    if (index < 0 || index >= count())
        return -1;
    setCurrentIndex(index);
    return currentIndex();
}

void CSFQTComboBox::OnSelectChanged(int index)
{
    if (m_pHandler)
        m_pHandler->SelectChanged(static_cast<int>(m_controlId), index);
}

void CSFQTComboBox::SetState(int state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

bool CSFQTComboBox::PopupIsActive() const
{
    return view() && view()->window()->isActiveWindow();
}

void CSFQTComboBox::mousePressEvent(QMouseEvent* event)
{
    SetState(StateListOpen);
    QComboBox::mousePressEvent(event);
}

void CSFQTComboBox::mouseReleaseEvent(QMouseEvent* event)
{
    SetState(StateNormal);
    QComboBox::mouseReleaseEvent(event);
}

void CSFQTComboBox::enterEvent(QEnterEvent* event)
{
    if (!PopupIsActive())
        SetState(StateHover);
    QComboBox::enterEvent(event);
}

void CSFQTComboBox::leaveEvent(QEvent* event)
{
    if (!PopupIsActive() && m_state != StateNormal) {
        SetState(StateNormal);
        qCDebug(lcWidgets) << "leave";
    }
    QComboBox::leaveEvent(event);
}

void CSFQTComboBox::focusInEvent(QFocusEvent* event)
{
    SetState(StateNormal);
    m_listShown = 0;
    QComboBox::focusInEvent(event);
}

void CSFQTComboBox::showPopup()
{
    SetState(StateListOpen);
    m_listShown = 1;
    QComboBox::showPopup();
}

void CSFQTComboBox::hidePopup()
{
    SetState(StateNormal);
    m_listShown = 0;
    QComboBox::hidePopup();
}

bool CSFQTComboBox::ListFitsBelow() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return true;
    const int rows = std::min(count(), maxVisibleItems());
    const int top = mapToGlobal(QPoint(0, 0)).y();
    return rows * kRowHeight + top + height() <= screen->geometry().bottom();
}

int CSFQTComboBox::UsedPieceOr(int wanted, int fallback) const
{
    return m_pieces[wanted].used ? wanted : fallback;
}

int CSFQTComboBox::PieceToDraw() const
{
    int piece = PieceNormal;
    if (!isEnabled())
        piece = UsedPieceOr(PieceDisabled, PieceNormal);
    else if (m_listShown)
        piece = ListFitsBelow() ? PieceListBelow : PieceListAbove;
    else if (m_state == StateHover)
        piece = UsedPieceOr(PieceHover, PieceNormal);
    return m_pieces[piece].used ? piece : -1;
}

void CSFQTComboBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int piece = PieceToDraw();
    if (piece >= 0 && !m_skinImage.isNull()) {
        const tagRECT& r = m_pieces[piece].source;
        const QRect source(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
        painter.drawPixmap(rect(), m_skinImage, source);
    }
    QRect textRect = rect();
    textRect.setRight(textRect.right() - height());
    if (m_textColor.isValid())
        painter.setPen(m_textColor);
    painter.drawText(textRect, Qt::AlignCenter, currentText());
}
