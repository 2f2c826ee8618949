#include "Preview/PreviewPageEventImp.h"

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "PageServices/PageHost.h"
#include "Preview/PreviewFileListEventImp.h"
#include "Preview/PreviewPagePlayLogic.h"
#include "Preview/PreviewSimplePlayerEventImp.h"
#include "Preview/PreviewSimplePlayerUILogic.h"
#include "Preview/PreviewTimeLineViewEventImp.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinTextColour.h"

namespace {

constexpr UINT kPageId = 116;

void Place(CSFView* view, int left, int top, int right, int bottom)
{
    if (view)
        view->MoveWindow(left, top, right - left, bottom - top);
}

}  // namespace

boost::shared_ptr<CPreviewPageEventImp> CPreviewPageEventImp::Create(
    const boost::shared_ptr<IPageHost>& mainFrame, void* parentWindow)
{
    auto page = boost::make_shared<CPreviewPageEventImp>(mainFrame);
    page->CreateView(parentWindow);
    return page;
}

CPreviewPageEventImp::CPreviewPageEventImp(const boost::shared_ptr<IPageHost>& mainFrame)
    : m_mainFrame(mainFrame)
{
}

CPreviewPageEventImp::~CPreviewPageEventImp()
{
    // The widgets call back into the children's event objects while they go:
    // end them first, unless the main window's tree already did.
    if (m_view && GetUIWnd())
        SFDestroyView(m_view);
}

void CPreviewPageEventImp::CreateView(void* parentWindow)
{
    m_view = SFCreateView(this);
    if (!m_view)
        return;
    m_view->SetBackground(L"bg_monitor.png");
    m_view->SetBGClr(0xD0DAE3);
    m_view->Create(nullptr, L"Preview", 0x40000000, tagRECT{0, 0, 800, 600}, parentWindow, kPageId);
    UsePlayLogic(boost::make_shared<CPreviewPagePlayLogic>());
}

void CPreviewPageEventImp::UsePlayLogic(const boost::shared_ptr<CPreviewPagePlayLogic>& playLogic)
{
    m_playLogic = playLogic;
    boost::shared_ptr<CPreviewSimplePlayerUILogic> uiLogic =
        m_playerView ? m_playerView->GetUILogic() : nullptr;
    m_playLogic->SetUILogic(uiLogic);
    if (uiLogic)
        uiLogic->SetPlayLogic(m_playLogic);
}

int CPreviewPageEventImp::OnCreate()
{
    boost::shared_ptr<CPreviewPageEventImp> self = shared_from_this();
    m_playerView = CPreviewSimplePlayerEventImp::Create(self);
    if (CSFView* playerView = m_playerView->GetView()) {
        playerView->SetBackground(L"bg_simpleplayer.png");
        playerView->ShowWindow(1);
        playerView->SetRoundCornerRadius(10);
    }
    m_fileList = CPreviewFileListEventImp::Create(self);
    m_playerLabel = CreateLabel(GetLangString(L"Video Preview"));
    m_filesLabel = CreateLabel(GetLangString(L"Files"));
    m_timeLine = CPreviewTimeLineViewEventImp::Create(self);
    return 1;
}

CSFStatic* CPreviewPageEventImp::CreateLabel(const wchar_t* text)
{
    CSFStatic* label = SFCreateStatic(nullptr);
    if (!label)
        return nullptr;
    label->Create(text, 0x10010000, tagRECT{0, 0, 50, 24}, GetUIWnd(), UINT(-1));
    label->SetTextAlignFlag(0x24);
    label->SetTextColor(kSkinTextColour);
    label->SetTextBold(1);
    return label;
}

void CPreviewPageEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_view || !m_playerLabel || !m_filesLabel || !m_timeLine)
        return;
    if (m_playerView)
        Place(m_playerView->GetView(), 30, 50, cx - 390, cy - 150);
    m_playerLabel->MoveWindow(30, 13, 80, 24);
    if (m_fileList)
        Place(m_fileList->GetView(), cx - 345, 50, cx - 45, cy - 150);
    m_filesLabel->MoveWindow(cx - 345, 13, 80, 24);
    Place(m_timeLine->GetView(), 0, cy - 100, cx, cy);
}

void CPreviewPageEventImp::SetFiles(boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> singleFiles,
                                    boost::shared_ptr<std::vector<std::wstring>> paths)
{
    if (!m_fileList)
        return;
    if (singleFiles)
        m_fileList->AddSingleFiles(*singleFiles);
    if (paths)
        m_fileList->AddFiles(*paths);
}

void CPreviewPageEventImp::StopPlay()
{
    if (m_playerView)
        m_playerView->StopPlay();
}

void CPreviewPageEventImp::ProcDestroy()
{
    boost::shared_ptr<CPreviewSimplePlayerUILogic> logic =
        m_playerView ? m_playerView->GetUILogic() : nullptr;
    if (!logic) {
        if (boost::shared_ptr<IPageHost> host = GetMainFrame())
            host->Task_OnCloseSuccess(2);
        return;
    }
    logic->SetClosing();
    logic->ProcDestroy();
}
