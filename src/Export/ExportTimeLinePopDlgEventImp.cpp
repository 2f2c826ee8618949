#include "Export/ExportTimeLinePopDlgEventImp.h"

#include <boost/make_shared.hpp>

#include "Export/ExportTimeLineViewEventImp.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

constexpr UINT kPictureId = 304;

DialogStyle PopUpStyle()
{
    DialogStyle style;
    const std::pair<int, const wchar_t*> fields[] = {
        {0, L"FramePop.png"}, {1, L"bg_timelinepopdlg.png"}, {3, L"000000"}, {4, L"0,0,10,2"},
        {5, L"tile"}, {6, L"30,0,1,2"}, {7, L"stretch"}, {8, L"116,0,10,2"}, {10, L"0,37,2,30"},
        {12, L"0,37,2,30"}, {14, L"0,37,2,30"}, {16, L"0,85,10,3"}, {18, L"10,85,30,3"},
        {20, L"116,85,10,3"}, {22, L"123,37,3,30"}, {24, L"123,37,3,30"}, {26, L"123,37,3,30"},
        {45, L"Tahoma"}, {46, L"11"}, {48, L"333333"}, {49, L"999999"}, {53, L"left"},
        {55, L"0,0,-1,-1"}, {56, L"0,0"}};
    for (const auto& [index, text] : fields)
        *style.Field(index) = text;
    return style;
}

}  // namespace

boost::shared_ptr<CExportTimeLinePopDlgEventImp> CExportTimeLinePopDlgEventImp::Create(
    const boost::shared_ptr<CExportTimeLineViewEventImp>& timeLine, void* parentWindow)
{
    auto popUp = boost::make_shared<CExportTimeLinePopDlgEventImp>(timeLine);
    popUp->CreateView(parentWindow);
    return popUp;
}

CExportTimeLinePopDlgEventImp::CExportTimeLinePopDlgEventImp(
    const boost::shared_ptr<CExportTimeLineViewEventImp>& timeLine)
    : m_timeLine(timeLine)
{
}

CExportTimeLinePopDlgEventImp::~CExportTimeLinePopDlgEventImp() = default;

int CExportTimeLinePopDlgEventImp::CreateView(void* parentWindow)
{
    DialogStyle style = PopUpStyle();
    m_dialog = SFCreateDialog(this, nullptr);
    m_dialog->SetSkin(&style);
    m_dialog->SetDrawBackGround(1);
    m_dialog->Create(L"TopPopDlg", parentWindow);
    m_dialog->ShowWindow(0);
    return 0;
}

void CExportTimeLinePopDlgEventImp::Dlg_OnInitDialog(int)
{
    m_picture = SFCreatePictureCtrl(nullptr);
    m_picture->SetDrawPicture(0);
    m_picture->Create(L"", 0x40000000, tagRECT{0, 0, 136, 98}, GetUIWnd(), kPictureId);
    m_dialog->MoveWindow(0, 0, 138, 100);
}

void CExportTimeLinePopDlgEventImp::Dlg_Destroy()
{
    m_picture = nullptr;
    m_unused = nullptr;
}
