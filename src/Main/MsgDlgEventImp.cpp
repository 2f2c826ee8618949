#include "Main/MsgDlgEventImp.h"

#include <algorithm>

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "Main/MainFrameEventImp.h"
#include "Main/ShellSkins.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr UINT kTextAlign = 0x2014;
constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 28;

}  // namespace

SF_BEGIN_MESSAGE_MAP(CMsgDlgEventImp)
SF_END_MESSAGE_MAP()

CMsgDlgEventImp::CMsgDlgEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner) : m_owner(owner) {}

CMsgDlgEventImp::~CMsgDlgEventImp()
{
    SFDestroyDialog(m_pDialog);
}

boost::shared_ptr<CMsgDlgEventImp> CMsgDlgEventImp::Create(const boost::shared_ptr<CMainFrameEventImp>& owner)
{
    auto dlg = boost::make_shared<CMsgDlgEventImp>(owner);
    dlg->m_pDialog = CreateShellDialog(dlg.get(), owner ? owner->GetUIWnd() : nullptr, MakeMsgDlgStyle(), L"MsgDlg",
                                       GetLangString(L"Msg"), 360, 90);
    return dlg;
}

void CMsgDlgEventImp::Dlg_OnInitDialog(int modeless)
{
    if (modeless != 1)
        return;
    void* parent = GetUIWnd();
    m_pText = SFCreateStatic(nullptr);
    if (m_pText) {
        m_pText->SetTextAlignFlag(kTextAlign);
        m_pText->Create(L"", 0x10010000, tagRECT{20, 37, 280, 52}, parent, UINT(-1));
        m_pText->SetTextColor(kShellTextColour);
    }
    m_pOk = CreateButton(L"OK", 1);
    m_pCancel = CreateButton(L"Cancel", 2);
}

CSFButton* CMsgDlgEventImp::CreateButton(const wchar_t* textKey, UINT id)
{
    CSFButton* button = SFCreateButton(this);
    if (!button)
        return nullptr;
    ImageButtonStyle skin =
        MakeButtonStyle({L"btn_commongnor_short.png", L"btn_commongnor_short.png", L"btn_commondown_short.png"});
    button->SetSkin(&skin);
    button->Create(GetLangString(textKey), 0x10000, tagRECT{0, 0, kButtonWidth, kButtonHeight}, GetUIWnd(), id);
    return button;
}

MsgDlgLayout CMsgDlgEventImp::ComputeLayout(int textWidth, int textHeight, int type)
{
    MsgDlgLayout layout{};
    layout.text = tagRECT{20, 37, 20 + textWidth, 37 + std::max(textHeight, 50)};
    const int width = std::max(textWidth + 40, kMinWidth);
    const int y = layout.text.bottom + 10;
    const int x = type == 1 ? (width - 160) / 2 : (width - kButtonWidth) / 2;
    layout.ok = tagRECT{x, y, x + kButtonWidth, y + kButtonHeight};
    if (type == 1)
        layout.cancel = tagRECT{x + 90, y, x + 160, y + kButtonHeight};
    layout.dialog = tagRECT{0, 0, width, y + 38};
    return layout;
}

int CMsgDlgEventImp::ShowMsg(const wchar_t* text, const wchar_t* title, int type)
{
    if (!m_pDialog || !m_pText || !m_pOk || !m_pCancel)
        return -1;
    if (m_showing)
        return ShowInOwnDialog(text, title, type);
    m_pText->SetStaticText(text ? text : L"");
    m_pText->SetTextAlignFlag(kTextAlign);
    int w = 0;
    int h = 0;
    m_pText->GetTextSize(w, h);
    MsgDlgLayout layout = ComputeLayout(w, h, type);
    m_pText->MoveWindow(&layout.text);
    m_pOk->ShowWindow(0);
    m_pCancel->ShowWindow(0);
    m_pOk->MoveWindow(&layout.ok);
    m_pOk->ShowWindow(1);
    if (type == 1) {
        m_pCancel->MoveWindow(&layout.cancel);
        m_pCancel->ShowWindow(1);
    }
    m_pDialog->SetWindowTextW(title ? title : GetLangString(L"Prompt"));
    m_pDialog->MoveWindow(&layout.dialog);
    m_pDialog->CenterWindow(nullptr);
    m_showing = true;
    const int answer = m_pDialog->DoModalDlg();
    m_showing = false;
    return answer;
}

int CMsgDlgEventImp::ShowInOwnDialog(const wchar_t* text, const wchar_t* title, int type)
{
    const boost::shared_ptr<CMsgDlgEventImp> other = Create(m_owner.lock());
    return other->ShowMsg(text, title, type);
}

void CMsgDlgEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (!m_pDialog)
        return;
    if (key == VK_ESCAPE)
        m_pDialog->MFCCancel();
    else if (key == VK_RETURN)
        m_pDialog->MFCOK();
}
