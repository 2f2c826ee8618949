#include "Watermark/WaterMarkDetailEventImp.h"

#include <array>

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "Watermark/WatermarkEventImp.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"
#include "Widgets/StandardFrameStyle.h"

namespace {

constexpr UINT kEscape = 27;
constexpr int kListId = 704;
constexpr int kTitleHeight = 27;

// The standard frame with the dialog's own edge pieces.
DialogStyle DetailDialogStyle()
{
    DialogStyle s = SFStandardFrameStyle();
    s.str1 = L"bg_monitor.png";
    s.str10 = s.str12 = s.str14 = L"0,37,1,30";
    s.str18 = L"10,130,30,10";
    s.str22 = s.str24 = s.str26 = L"147,37,1,30";
    s.str47.clear();
    return s;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CWaterMarkDetailEventImp)
SF_END_MESSAGE_MAP()

CWaterMarkDetailEventImp::CWaterMarkDetailEventImp(boost::weak_ptr<CWatermarkEventImp> page) : m_page(std::move(page))
{
}

// The dialog is a child of the page's view and goes with it.
CWaterMarkDetailEventImp::~CWaterMarkDetailEventImp() = default;

boost::shared_ptr<CWaterMarkDetailEventImp> CWaterMarkDetailEventImp::Create(
    const boost::shared_ptr<CWatermarkEventImp>& page)
{
    auto detail = boost::make_shared<CWaterMarkDetailEventImp>(page);
    detail->CreateDialogWnd();
    return detail;
}

int CWaterMarkDetailEventImp::CreateDialogWnd()
{
    auto page = m_page.lock();
    DialogStyle style = DetailDialogStyle();
    m_dialog = SFCreateDialog(this, page ? page->GetUIWnd() : nullptr);
    if (!m_dialog)
        return 0;
    m_dialog->SetSkin(&style);
    m_dialog->Create(GetLangString(L"Detail"), nullptr);
    m_dialog->MoveWindow(0, 0, 500, 405);
    m_dialog->CenterWindow(nullptr);
    m_dialog->SetDrawBackGround(1);
    m_dialog->ShowWindow(0);
    return 0;
}

std::wstring CWaterMarkDetailEventImp::TextOfCode(int code)
{
    static const std::array<const wchar_t*, 13> kTexts = {
        L"The file has not been falsified!",
        L"Time error. To be developed.",
        L"Length information error.",
        L"To be developed.",
        L"Data verification failed.",
        L"There is no frame head on the data.",
        L"Unknown error. To be developed.",
        L"Frame loss error.",
        L"Watermark verification error.",
        nullptr,
        L"Unknown encode.",
        L"No watermark in this recording.",
        L"Signed with an unknown key.",
    };
    if (code < 0 || code >= int(kTexts.size()) || !kTexts[std::size_t(code)])
        return {};
    return GetLangString(kTexts[std::size_t(code)]);
}

void CWaterMarkDetailEventImp::Dlg_OnInitDialog(int first)
{
    if (first == 1)
        CreateList();
    else
        FillList();
}

void CWaterMarkDetailEventImp::CreateList()
{
    m_list = SFCreateListCtrl(nullptr);
    if (!m_list)
        return;
    ListCtrlStyle style = CWatermarkEventImp::ResultListStyle();
    style.str19 = L"5,0,13,0";
    style.str41 = L"D5D8DE";
    style.str42 = L"C0C6D2";
    style.str43 = L"727272";
    style.str44 = L"FAB400";
    style.str45 = L"000000";
    m_list->SetSkin(&style);
    m_list->Create(0x10010001, tagRECT{0, 0, 400, 300}, GetUIWnd(), kListId, true);
    m_list->SetExtendedStyle(0x20);
    m_list->SetObjectName(L"WaterDetail");
    m_list->SetColumnTextAlign(0, 5);
    m_list->SetColumnTextAlign(1, 5);
    m_list->InsertColumn(0, GetLangString(L"Error Info"), 1, 240, -1);
    m_list->InsertColumn(1, GetLangString(L"Detailed Time"), 1, 240, -1);
}

void CWaterMarkDetailEventImp::FillList()
{
    if (!m_list)
        return;
    m_list->DeleteAllItems();
    if (!m_errors)
        return;
    int row = 0;
    for (const WatermarkErrorEntry& entry : *m_errors) {
        m_list->InsertItem(row, TextOfCode(entry.code).c_str());
        m_list->SetItemText(row, 1, entry.time.c_str());
        ++row;
    }
}

void CWaterMarkDetailEventImp::OnDlgSize(UINT, int& cx, int& cy)
{
    if (!m_list)
        return;
    m_list->MoveWindow(0, kTitleHeight, cx, cy - kTitleHeight);
    m_list->SetColumnWidth(0, int(cx * 0.6));
    m_list->SetColumnWidth(1, int(cx * 0.4 + 2));
}

void CWaterMarkDetailEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (key == kEscape && m_dialog)
        m_dialog->MFCCancel();
}
