#include "Widgets/SFQTEditCtrl.h"

#include <QBrush>
#include <QPalette>

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"

CSFQTEditCtrl::CSFQTEditCtrl(ISFEditCtrlEvent* handler) : QLineEdit(nullptr), CSFEditCtrl(handler)
{
    setAutoFillBackground(true);
    setFrame(false);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(this, &QLineEdit::textChanged, this, &CSFQTEditCtrl::OnTextChange);
    connect(this, &QLineEdit::editingFinished, this, &CSFQTEditCtrl::OnEditingFinished);
}

int CSFQTEditCtrl::Create(DWORD style, const tagRECT& rect, void* parent, UINT id)
{
    SFQTPlaceControl(this, parent, rect);
    m_controlId = id;
    SFQTShowByStyle(this, style);
    return 1;
}

int CSFQTEditCtrl::SetSkin(const wchar_t* imageName)
{
    if (!imageName)
        return 0;
    const QPixmap image = SFQTLoadSkinImage(imageName);
    QPalette skinned;
    skinned.setBrush(QPalette::All, QPalette::Base, QBrush(image));
    setPalette(skinned);
    return 1;
}

void CSFQTEditCtrl::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

int CSFQTEditCtrl::GetWindowTextW(wchar_t* buffer, int size) const
{
    return SFQTCopyToWideBuffer(text(), buffer, size);
}

void CSFQTEditCtrl::SetWindowTextW(const wchar_t* value)
{
    setText(SFQTStringFromWide(value));
}

void CSFQTEditCtrl::OnTextChange(const QString& value)
{
    if (!m_pHandler)
        return;
    std::wstring wide = SFQTWideFromString(value);
    m_pHandler->EDIT_OnTextChange(m_controlId, wide.data());
}

void CSFQTEditCtrl::OnEditingFinished()
{
    if (!m_pHandler)
        return;
    std::wstring wide = SFQTWideFromString(text());
    m_pHandler->EDIT_OnEditingFinished(m_controlId, wide.data());
}
