#include "Main/MessageNotifier.h"

#include <cstdio>

#include <boost/make_shared.hpp>

#include "Base/SFDateTime.h"
#include "Common/LangString.h"
#include "Main/ShellSkins.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr DWORD kStayOnTop = 0x40000;
constexpr DWORD kToolWindow = 0xb;
// Left aligned, centred vertically, broken into lines: a notice is read
// whole, its path too.
constexpr UINT kRowFormat = 0x0814;

boost::shared_ptr<CMessageNotifier> g_instance;

ListCtrlStyle MakeListStyle()
{
    ListCtrlStyle s;
    std::wstring* f[46] = {&s.str0, &s.str1, &s.str2, &s.str3, &s.str4, &s.str5, &s.str6, &s.str7, &s.str8, &s.str9, &s.str10, &s.str11, &s.str12, &s.str13, &s.str14, &s.str15, &s.str16, &s.str17, &s.str18, &s.str19, &s.str20, &s.str21, &s.str22, &s.str23, &s.str24, &s.str25, &s.str26, &s.str27, &s.str28, &s.str29, &s.str30, &s.str31, &s.str32, &s.str33, &s.str34, &s.str35, &s.str36, &s.str37, &s.str38, &s.str39, &s.str40, &s.str41, &s.str42, &s.str43, &s.str44, &s.str45};
    *f[0] = L"ListCtrlnew.png";
    *f[1] = L"0,0,1,27";
    *f[2] = L"2,0,2,27";
    *f[3] = L"0,34,14,13";
    for (int i = 0; i < 6; ++i) {
        *f[4 + i] = std::to_wstring(14 + i) + L",34,1,13";
        *f[12 + i] = L"34," + std::to_wstring(14 + i) + L",13,1";
    }
    *f[10] = L"20,34,14,13";
    *f[11] = L"34,0,13,14";
    *f[18] = L"34,20,13,14";
    *f[19] = L"5,0,13,27";
    *f[20] = L"34,34,13,13";
    for (int i = 21; i <= 40; ++i)
        *f[i] = L"tile";
    for (int i : {21, 25, 28, 33, 36})
        *f[i] = L"stretch";
    *f[41] = L"bebebe";
    *f[42] = L"d0d0d0";
    *f[43] = L"727272";
    *f[44] = L"FAB400";
    *f[45] = L"FEFEFE";
    s.n0 = 13;
    s.n1 = 13;
    s.n2 = 20;
    s.n3 = 24;
    return s;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CMessageNotifier)
SF_ON_COMMAND(CMessageNotifier::kClearId, ClearMessages)
SF_END_MESSAGE_MAP()

CMessageNotifier::CMessageNotifier() = default;

CMessageNotifier::~CMessageNotifier()
{
    SFDestroyDialog(m_pDialog);
}

boost::shared_ptr<CMessageNotifier> CMessageNotifier::GetInstance()
{
    if (!g_instance) {
        g_instance = boost::make_shared<CMessageNotifier>();
        g_instance->m_skin = boost::make_shared<DialogStyle>(MakeInfoDlgStyle());
    }
    return g_instance;
}

std::wstring CMessageNotifier::MakeRowText(const std::wstring& text)
{
    SF_SOFT_BASE::CSFDateTime now;
    now.Now();
    wchar_t stamp[32] = {};
    std::swprintf(stamp, 32, L"%d/%02d/%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour, now.minute,
                  now.second);
    return std::wstring(stamp) + L"  " + text;
}

// A tool window of the main window stays above it, also when a prompt
// brings the main window forward.
void CMessageNotifier::CreateDlg(void* parentWnd)
{
    if (m_pDialog)
        return;
    m_pDialog = SFCreateDialog(this, parentWnd, Qt::Dialog);
    if (!m_pDialog)
        return;
    m_pDialog->SetSkin(m_skin.get());
    m_pDialog->SetDrawBackGround(1);
    m_pDialog->Create(GetLangString(L"Notification"), nullptr);
    m_pDialog->ModifyDlgStyleEx(kStayOnTop, kToolWindow, 0);
    m_pDialog->CenterWindow(nullptr);
    m_pDialog->ShowWindow(0);
}

void CMessageNotifier::Dlg_OnInitDialog(int)
{
    m_pTop = CreateButton(this, kTopId, tagRECT{375, 4, 395, 24}, L"Top",
                          MakeButtonStyle({L"btn_settop_normal.png", L"btn_settop_normal.png", L"btn_settop_over.png"}));
    if (m_pTop)
        m_pTop->ShowWindow(0);
    m_pAutoHide = CreateButton(
        this, kAutoHideId, tagRECT{375, 4, 395, 24}, L"Auto hide",
        MakeButtonStyle({L"btn_setHide_normal.png", L"btn_setHide_normal.png", L"btn_setHide_down.png"}));
    m_pClear = CreateButton(nullptr, kClearId, tagRECT{400, 4, 420, 24}, L"Clear",
                            MakeButtonStyle({L"btn_clear_normal.png", L"btn_clear_normal.png", L"btn_clear_over.png"}));
    CreateList();
    if (m_pDialog)
        m_pDialog->MoveWindow(0, 0, 450, 317);
}

CSFButton* CMessageNotifier::CreateButton(ISFButtonEvent* handler, UINT id, const tagRECT& rect,
                                          const wchar_t* tipKey, const ImageButtonStyle& skin)
{
    CSFButton* button = SFCreateButton(handler);
    if (!button)
        return nullptr;
    ImageButtonStyle style = skin;
    button->SetSkin(&style);
    button->Create(L"", 0x10010000, rect, GetUIWnd(), id);
    button->SetToolTipText(GetLangString(tipKey));
    return button;
}

void CMessageNotifier::CreateList()
{
    m_pList = SFCreateListCtrl(nullptr);
    if (!m_pList)
        return;
    ListCtrlStyle style = MakeListStyle();
    m_pList->SetSkin(&style);
    m_pList->Create(0x10010001, tagRECT{1, 28, 449, 316}, GetUIWnd(), 703, true);
    m_pList->SetColumnTextAlign(0, kRowFormat);
    m_pList->SetObjectName(L"NotifyDlg");
    m_pList->InsertColumn(0, GetLangString(L"File Name"), 0, -1, -1);
    m_pList->SetHorizontalHeaderVisible(0);
    m_pList->SetShowGrid(0);
    m_pList->SetColumnWidth(0, 420);
}

void CMessageNotifier::Notify(const std::wstring& text, bool show)
{
    const std::wstring row = MakeRowText(text);
    CreateDlg(nullptr);
    if (m_pList) {
        m_pList->InsertItem(m_rowCount, row.c_str());
        m_pList->SetToolTipText(m_rowCount, 0, row.c_str());
        ++m_rowCount;
        m_pList->ScrollToBottom();
    }
    if (!show || !m_pDialog)
        return;
    if (!m_pDialog->IsDlgVisible())
        m_pDialog->ShowWindow(1);
    if (!m_pDialog->IsActiveWindow())
        m_pDialog->ActiveWindow();
}

void CMessageNotifier::CloseDlg()
{
    if (m_pDialog)
        m_pDialog->SendDlgMessage(WM_CLOSE, 0, 0);
}

void CMessageNotifier::DestroyDlg()
{
    SFDestroyDialog(m_pDialog);
    m_pDialog = nullptr;
    m_pList = nullptr;
    m_pClear = m_pAutoHide = m_pTop = nullptr;
}

void CMessageNotifier::ClearMessages()
{
    if (m_pList)
        m_pList->DeleteAllItems();
    m_rowCount = 0;
}

void CMessageNotifier::BTN_OnClicked(int id)
{
    if (!m_pDialog || !m_pTop || !m_pAutoHide)
        return;
    if (id == static_cast<int>(kAutoHideId)) {
        m_pAutoHide->ShowWindow(0);
        m_pTop->ShowWindow(1);
        m_pDialog->ModifyDlgStyleEx(0, kStayOnTop, 0);
    } else if (id == static_cast<int>(kTopId)) {
        m_pAutoHide->ShowWindow(1);
        m_pTop->ShowWindow(0);
        m_pDialog->ModifyDlgStyleEx(kStayOnTop, 0, 0);
    } else {
        return;
    }
    m_pDialog->ActiveWindow();
}

void CMessageNotifier::OnDlgKeyDown(UINT, UINT key)
{
    if (key == VK_ESCAPE && m_pDialog)
        m_pDialog->MFCCancel();
}
