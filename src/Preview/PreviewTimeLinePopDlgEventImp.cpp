#include "Preview/PreviewTimeLinePopDlgEventImp.h"

#include <boost/make_shared.hpp>

#include "Preview/PreviewTimeLineViewEventImp.h"
#include "Widgets/SFView.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

constexpr UINT kPictureId = 304;

void FillDialogStyle(DialogStyle& style)
{
    // Fields in record order; the third keeps its constructed value.
    const wchar_t* head[] = {L"FramePop.png", L"bg_timelinepopdlg.png", nullptr, L"000000",
                             L"0,0,10,2",     L"tile",                  L"30,0,1,2", L"stretch",
                             L"116,0,10,2"};
    int field = 0;
    for (const wchar_t* text : head) {
        if (text)
            *style.Field(field) = text;
        ++field;
    }
    auto pair = [&](const wchar_t* rect) {
        ++field;  // an empty text
        *style.Field(field++) = rect;
    };
    for (int i = 0; i < 3; ++i)
        pair(L"0,37,2,30");
    pair(L"0,85,10,3");
    pair(L"10,85,30,3");
    pair(L"116,85,10,3");
    for (int i = 0; i < 3; ++i)
        pair(L"123,37,3,30");
    field += 18;
    *style.Field(field++) = L"Tahoma";
    *style.Field(field++) = L"11";
    ++field;
    *style.Field(field++) = L"333333";
    *style.Field(field++) = L"999999";
    field += 3;
    *style.Field(field++) = L"left";
    ++field;
    *style.Field(field++) = L"0,0,-1,-1";
    *style.Field(field) = L"0,0";
}

}  // namespace

boost::shared_ptr<CPreviewTimeLinePopDlgEventImp> CPreviewTimeLinePopDlgEventImp::Create(
    const boost::shared_ptr<CPreviewTimeLineViewEventImp>& parent)
{
    auto popDlg = boost::make_shared<CPreviewTimeLinePopDlgEventImp>(parent);
    popDlg->CreateView();
    return popDlg;
}

CPreviewTimeLinePopDlgEventImp::CPreviewTimeLinePopDlgEventImp(
    const boost::shared_ptr<CPreviewTimeLineViewEventImp>& parent)
    : m_parent(parent)
{
}

CPreviewTimeLinePopDlgEventImp::~CPreviewTimeLinePopDlgEventImp()
{
    // A dialog still alive (its parent window outlived this object) must not
    // call back into it.
    if (m_dialog && GetUIWnd())
        SFDestroyDialog(m_dialog);
}

void CPreviewTimeLinePopDlgEventImp::CreateView()
{
    boost::shared_ptr<CPreviewTimeLineViewEventImp> parent = m_parent.lock();
    auto style = std::make_unique<DialogStyle>();
    FillDialogStyle(*style);
    m_dialog = SFCreateDialog(this, nullptr, {});
    if (!m_dialog)
        return;
    m_dialog->SetSkin(style.get());
    m_dialog->SetDrawBackGround(1);
    m_dialog->Create(L"TopPopDlg", parent && parent->GetView() ? parent->GetUIWnd() : nullptr);
    m_dialog->ShowWindow(0);
}

void CPreviewTimeLinePopDlgEventImp::Dlg_OnInitDialog(int)
{
    m_picture = SFCreatePictureCtrl(nullptr);
    if (m_picture) {
        m_picture->SetDrawPicture(0);
        m_picture->Create(L"", 0x40000000, tagRECT{0, 0, 136, 98}, GetUIWnd(), kPictureId);
    }
    if (m_dialog)
        m_dialog->MoveWindow(0, 0, 138, 100);
}

void CPreviewTimeLinePopDlgEventImp::Dlg_Destroy()
{
    m_picture = nullptr;
    m_unused = nullptr;
}
