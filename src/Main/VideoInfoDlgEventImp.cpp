#include "Main/VideoInfoDlgEventImp.h"

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Main/ShellSkins.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/StandardFrameStyle.h"

namespace {

constexpr DWORD kControlStyle = 0x10010000;
constexpr const wchar_t* kLabels[5] = {L"Resolution:", L"Frame Rate:", L"Time:", L"Size:", L"Path:"};

tagRECT Row(int left, int right, int row)
{
    const int top = 37 + 30 * row;
    return tagRECT{left, top, right, top + 20};
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CVideoInfoDlgEventImp)
    SF_ON_UI_MESSAGE(CVideoInfoDlgEventImp::kShowModalMessage, OnShowModal)
SF_END_MESSAGE_MAP()

boost::shared_ptr<CVideoInfoDlgEventImp> CVideoInfoDlgEventImp::Create(boost::weak_ptr<CPlayWinManagerEventImp> owner)
{
    boost::shared_ptr<CVideoInfoDlgEventImp> dialog = boost::make_shared<CVideoInfoDlgEventImp>(owner);
    boost::shared_ptr<CPlayWinManagerEventImp> manager = owner.lock();
    DialogStyle style = SFStandardFrameStyle();
    style.str1 = L"bg_monitor.png";
    dialog->m_dialog = SFCreateDialog(dialog.get(), manager ? manager->GetUIWnd() : nullptr);
    if (!dialog->m_dialog)
        return dialog;
    dialog->m_dialogAlive = dynamic_cast<QObject*>(dialog->m_dialog);
    dialog->m_dialog->SetSkin(&style);
    dialog->m_dialog->Create(L"", manager ? manager->GetUIWnd() : nullptr);
    dialog->m_dialog->SetWindowTextW(GetLangString(L"Property"));
    dialog->m_dialog->MoveWindow(0, 0, 300, 200);
    dialog->m_dialog->SetDrawBackGround(1);
    dialog->m_dialog->CenterWindow(nullptr);
    dialog->m_dialog->ShowWindow(0);
    return dialog;
}

CVideoInfoDlgEventImp::CVideoInfoDlgEventImp(boost::weak_ptr<CPlayWinManagerEventImp> owner)
    : m_owner(std::move(owner))
{
}

CVideoInfoDlgEventImp::~CVideoInfoDlgEventImp()
{
    if (m_dialogAlive)
        SFDestroyDialog(m_dialog);
}

void CVideoInfoDlgEventImp::Dlg_OnInitDialog(int modeless)
{
    if (!modeless)
        return;
    for (int row = 0; row < 5; ++row) {
        m_labels[row] = SFCreateStatic(nullptr);
        if (!m_labels[row])
            continue;
        m_labels[row]->Create(GetLangString(kLabels[row]), kControlStyle, Row(0, 80, row), GetUIWnd(), UINT(-1));
        m_labels[row]->SetTextAlignFlag(0x26);
        m_labels[row]->SetTextColor(kShellTextColour);
    }
    for (int row = 0; row < 4; ++row) {
        m_values[row] = SFCreateStatic(nullptr);
        if (!m_values[row])
            continue;
        m_values[row]->Create(L"", kControlStyle, Row(80, 280, row), GetUIWnd(), UINT(-1));
        m_values[row]->SetTextAlignFlag(0x25);
        m_values[row]->SetTextColor(kShellTextColour);
    }
    m_path = SFCreateButton(nullptr);
    if (m_path) {
        m_path->Create(L"", kControlStyle, tagRECT{85, 162, 285, 182}, GetUIWnd(), UINT(-1));
        m_path->SetTextAlign(0x8025);
        m_path->SetTextColor(kShellTextColour);
        m_path->SetTooltipEnable(1);
    }
}

void CVideoInfoDlgEventImp::SetVideoInfo(const std::wstring& resolution, const std::wstring& frameRate,
                                         const std::wstring& time, const std::wstring& size, const std::wstring& path)
{
    const std::wstring* texts[4] = {&resolution, &frameRate, &time, &size};
    for (int row = 0; row < 4; ++row)
        if (m_values[row])
            m_values[row]->SetStaticText(texts[row]->c_str());
    if (m_path) {
        m_path->SetWindowTextW(path.c_str());
        m_path->SetToolTipText(path.c_str());
    }
    if (GetUIWnd())
        SFPostMessage(GetUIWnd(), kShowModalMessage, 0);
}

std::wstring CVideoInfoDlgEventImp::GetValueText(int row) const
{
    wchar_t text[1024] = {};
    if (row >= 0 && row < 4 && m_values[row])
        m_values[row]->GetStaticText(text, 1024);
    else if (row == 4 && m_path)
        m_path->GetWindowTextW(text, 1024);
    return text;
}

void CVideoInfoDlgEventImp::OnShowModal(WPARAM, LPARAM)
{
    if (m_dialog)
        m_dialog->DoModalDlg();
}

void CVideoInfoDlgEventImp::OnDlgKeyDown(UINT, UINT flags)
{
    if (flags == 27 && m_dialog)
        m_dialog->MFCCancel();
}
