#include "Search/SearchTimeLinePopDlgEventImp.h"

#include <utility>

#include <boost/make_shared.hpp>

#include "Search/SearchTimeLineViewImp.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

// Frame of the pop-up; positions count the record's strings from 0.
DialogStyle PopUpFrameStyle()
{
    static const std::pair<int, const wchar_t*> kFields[] = {
        {0, L"FramePop.png"},      {1, L"bg_timelinepopdlg.png"}, {3, L"000000"},       {4, L"0,0,10,2"},
        {5, L"tile"},              {6, L"30,0,1,2"},              {7, L"stretch"},      {8, L"116,0,10,2"},
        {10, L"0,37,2,30"},        {12, L"0,37,2,30"},            {14, L"0,37,2,30"},   {16, L"0,85,10,3"},
        {18, L"10,85,30,3"},       {20, L"116,85,10,3"},          {22, L"123,37,3,30"}, {24, L"123,37,3,30"},
        {26, L"123,37,3,30"},      {45, L"Tahoma"},               {46, L"11"},          {48, L"333333"},
        {49, L"999999"},           {53, L"left"},                 {55, L"0,0,-1,-1"},   {56, L"0,0"},
    };
    DialogStyle style;
    for (const auto& [position, text] : kFields)
        *style.Field(position) = text;
    style.nReserved = 0;
    return style;
}

}  // namespace

CSearchTimeLinePopDlgEventImp::CSearchTimeLinePopDlgEventImp(const boost::shared_ptr<CSearchTimeLineViewImp>& parent)
    : m_parent(parent)
{
}

boost::shared_ptr<CSearchTimeLinePopDlgEventImp> CSearchTimeLinePopDlgEventImp::Create(
    const boost::shared_ptr<CSearchTimeLineViewImp>& parent)
{
    auto popUp = boost::make_shared<CSearchTimeLinePopDlgEventImp>(parent);
    popUp->CreateView();
    return popUp;
}

int CSearchTimeLinePopDlgEventImp::CreateView()
{
    DialogStyle style = PopUpFrameStyle();
    m_pDialog = SFCreateDialog(this, nullptr, {});
    if (!m_pDialog)
        return 0;
    m_pDialog->SetSkin(&style);
    m_pDialog->SetDrawBackGround(1);
    if (auto parent = m_parent.lock())
        m_pDialog->Create(L"TopPopDlg", parent->GetUIWnd());
    m_pDialog->ShowWindow(0);
    return 0;
}

void CSearchTimeLinePopDlgEventImp::Dlg_OnInitDialog(int)
{
    m_pPicture = SFCreatePictureCtrl(nullptr);
    if (m_pPicture) {
        m_pPicture->SetDrawPicture(0);
        m_pPicture->Create(L"", WS_CHILD, tagRECT{0, 0, 136, 98}, GetUIWnd(), 505);
    }
    m_pDialog->MoveWindow(0, 0, 138, 100);
}

void CSearchTimeLinePopDlgEventImp::Dlg_Destroy()
{
    SFDestroyPictureCtrl(m_pPicture);
    m_pPicture = nullptr;
}
