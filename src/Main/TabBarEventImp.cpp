#include "Main/TabBarEventImp.h"

#include <boost/make_shared.hpp>

#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "Main/MainFrameEventImp.h"
#include "Main/MainFrameHelpLogic.h"
#include "Main/ShellSkins.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr int kTabWidth = 101;
constexpr int kTabHeight = 25;
constexpr int kTabGap = 3;
constexpr int kTabsLeftWithHeader = 240;
constexpr int kTabsLeftAlone = 10;
const tagPOINT kInsideLabel{1, 1};

const wchar_t* const kTabKeys[CTabBarEventImp::kTabCount] = {L"Play Window", L"Search",    L"Preview",
                                                             L"Export File", L"Watermark", L"Config"};

}  // namespace

SF_BEGIN_MESSAGE_MAP(CTabBarEventImp)
SF_ON_COMMAND(CTabBarEventImp::kDeleteId, OnSFBtnDelete)
SF_END_MESSAGE_MAP()

CTabBarEventImp::CTabBarEventImp(const boost::shared_ptr<CMainFrameEventImp>& owner) : m_owner(owner) {}

CTabBarEventImp::~CTabBarEventImp()
{
    SFDestroyView(m_pView);
}

boost::shared_ptr<CTabBarEventImp> CTabBarEventImp::Create(const boost::shared_ptr<CMainFrameEventImp>& owner)
{
    auto bar = boost::make_shared<CTabBarEventImp>(owner);
    bar->m_pView = SFCreateView(bar.get());
    if (!bar->m_pView)
        return bar;
    bar->m_pView->SetBackground(L"bg_tabbar.png");
    bar->m_pView->Create(nullptr, L"TabBar", 0x50000000, ShellRect(0, 0, 1000, 32), owner ? owner->GetUIWnd() : nullptr,
                         102);
    return bar;
}

bool CTabBarEventImp::IsOnCloseMark(tagPOINT pt)
{
    return pt.x >= 85 && pt.x < 97 && pt.y >= 3 && pt.y < 15;
}

int CTabBarEventImp::OnCreate()
{
    CreateHeader();
    CreateTabs();
    return 1;
}

void CTabBarEventImp::CreateHeader()
{
    void* parent = GetUIWnd();
    m_pTitle = SFCreatePictureCtrl(nullptr);
    if (m_pTitle) {
        m_pTitle->SetImage(L"bg_filelisttitle.png");
        m_pTitle->Create(GetLangString(L"Group File List"), 0x50000000, ShellRect(0, 7, 226, 25), parent, UINT(-1));
    }
    m_pSelectAll = SFCreateRadioBox(this);
    if (m_pSelectAll) {
        ImageRadioBox skin = MakeRadioStyle({L"btn_selAllchecknor.png", L"btn_selAllchecknor.png",
                                             L"btn_selAllcheckdown.png", L"btn_selAllunchecknor.png",
                                             L"btn_selAllunchecknor.png", L"btn_selAlluncheckdown.png",
                                             L"btn_selAllunchecknor.png", L"btn_selAllchecknor.png"});
        m_pSelectAll->SetSkin(&skin);
        m_pSelectAll->Create(L"", 0x10010000, ShellRect(5, 10, 20, 20), parent, kSelectAllId);
    }
    m_pDelete = SFCreateButton(nullptr);
    if (m_pDelete) {
        ImageButtonStyle skin = MakeButtonStyle({L"btn_delnor.png", L"btn_delnor.png", L"btn_deldown.png"});
        m_pDelete->SetSkin(&skin);
        m_pDelete->Create(L"", 0x50000000, ShellRect(226 - 25, 10, 20, 20), parent, kDeleteId);
    }
}

void CTabBarEventImp::CreateTabs()
{
    const ImageRadioBox first =
        MakeRadioStyle({L"btn_tabSelect.png", L"btn_tabSelect.png", L"btn_tabSelect.png", L"btn_tabSelectUncheck.png",
                        L"btn_tabSelectUncheck.png", L"btn_tabSelectUncheck.png", L"btn_tabSelect.png",
                        L"btn_tabSelectUncheck.png"});
    const ImageRadioBox closable = MakeRadioStyle(
        {L"btn_tabUnselectcheck.png", L"btn_tabUnselectcheck.png", L"btn_tabUnselectcheck.png",
         L"btn_tabUnselect.png", L"btn_tabUnselect.png", L"btn_tabUnselect.png", L"btn_tabUnselectcheck.png",
         L"btn_tabUnselect.png"});
    for (int i = 0; i < kTabCount; ++i) {
        CSFRadioBox* tab = SFCreateRadioBox(this);
        m_pTabs[i] = tab;
        if (!tab)
            continue;
        ImageRadioBox skin = i == 0 ? first : closable;
        tab->SetSkin(&skin);
        const DWORD style = i == 0 ? 0x10030000 : 0x10000;
        tab->Create(GetLangString(kTabKeys[i]), style, ShellRect(240 + i * (kTabWidth + 2), 8, kTabWidth, kTabHeight),
                    GetUIWnd(), kPlayWindowTab + i);
        tab->SetTextColor(0);
        tab->SetTextOffset(i == 0 ? -110 : -120);
    }
    if (m_pTabs[0]) {
        m_pTabs[0]->SetCheck(1);
        m_pTabs[0]->SetBoldHeavy(1);
    }
}

CSFRadioBox* CTabBarEventImp::GetPageTab(int id) const
{
    const int index = id - kPlayWindowTab;
    return index >= 0 && index < kTabCount ? m_pTabs[index] : nullptr;
}

int CTabBarEventImp::IsPageTabChecked(int id) const
{
    CSFRadioBox* tab = GetPageTab(id);
    return tab ? tab->GetCheck() : 0;
}

int CTabBarEventImp::IsPageTabOpen(int id) const
{
    const int index = id - kSearchTab;
    return index >= 0 && index < kTabCount - 1 ? m_open[index] : 0;
}

void CTabBarEventImp::SetOpenFlag(int id, int open)
{
    const int index = id - kSearchTab;
    if (index >= 0 && index < kTabCount - 1)
        m_open[index] = open;
}

void CTabBarEventImp::RADIO_OnClicked(int checked, int id, tagPOINT pt)
{
    auto owner = m_owner.lock();
    if (!owner)
        return;
    if (id == kSelectAllId) {
        owner->CheckAllFileListItems(checked);
        return;
    }
    if (IsOnCloseMark(pt) && id != kPlayWindowTab) {
        CloseTab(id);
        return;
    }
    SelectTab(checked, id);
    if (IsPageTabChecked(kPlayWindowTab))
        ArrangePageTabs(owner->IsFileListShown() == 1 ? 1 : 0);
    else
        ArrangePageTabs(0);
}

void CTabBarEventImp::CloseTab(int id)
{
    auto owner = m_owner.lock();
    if (!owner)
        return;
    switch (id) {
    case kSearchTab:
    case kPreviewTab:
    case kConfigTab:
        SetOpenFlag(id, 0);
        if (CSFRadioBox* tab = GetPageTab(id))
            tab->ShowWindow(0);
        if (id == kPreviewTab)
            owner->StopPreview();
        RADIO_OnClicked(1, kPlayWindowTab, kInsideLabel);
        break;
    case kExportTab:
    case kWatermarkTab:
        // These pages close their work first and then give the tab back.
        owner->ClosePageOfTab(id);
        break;
    default:
        break;
    }
}

void CTabBarEventImp::SelectTab(int checked, int id)
{
    CSFRadioBox* clicked = GetPageTab(id);
    if (!clicked)
        return;
    if (!checked) {
        clicked->SetCheck(1);
        return;
    }
    auto owner = m_owner.lock();
    for (int i = 0; i < kTabCount; ++i) {
        if (m_pTabs[i]) {
            m_pTabs[i]->SetCheck(0);
            m_pTabs[i]->SetBoldHeavy(0);
        }
    }
    clicked->SetCheck(1);
    clicked->SetBoldHeavy(1);
    for (int tab = kPlayWindowTab; tab <= kConfigTab && owner; ++tab)
        if (CSFView* view = tab == id ? owner->BuildPageView(tab) : owner->GetPageView(tab))
            view->ShowWindow(tab == id ? 1 : 0);
}

void CTabBarEventImp::ShowPageTab(int id)
{
    CSFRadioBox* tab = GetPageTab(id);
    if (tab) {
        if (tab->GetCheck())
            return;
        tab->ShowWindow(1);
        SetOpenFlag(id, 1);
    }
    RADIO_OnClicked(1, id, kInsideLabel);
}

void CTabBarEventImp::ResetPageTab(int id)
{
    if (id == kPreviewTab || id == kExportTab || id == kWatermarkTab) {
        SetOpenFlag(id, 0);
        if (CSFRadioBox* tab = GetPageTab(id))
            tab->ShowWindow(0);
    }
    RADIO_OnClicked(1, kPlayWindowTab, kInsideLabel);
}

void CTabBarEventImp::SetSelectAllCheck(int check)
{
    if (m_pSelectAll)
        m_pSelectAll->SetCheck(check);
}

void CTabBarEventImp::ArrangePageTabs(int showGroupFileList)
{
    CSFRadioBox* first = m_pTabs[0];
    if (!first || !m_pView)
        return;
    tagRECT rect{};
    first->GetRadioWindowRect(&rect);
    m_pView->Screen2Client(&rect);
    const int width = rect.right - rect.left;
    const int left = showGroupFileList ? kTabsLeftWithHeader : kTabsLeftAlone;
    if (m_pTitle)
        m_pTitle->ShowWindow(showGroupFileList ? 1 : 0);
    if (m_pSelectAll)
        m_pSelectAll->ShowWindow(showGroupFileList ? 1 : 0);
    if (m_pDelete)
        m_pDelete->ShowWindow(showGroupFileList ? 1 : 0);
    rect.left = left;
    rect.right = left + width;
    first->MoveWindow(&rect);
    for (int id = kSearchTab; id <= kConfigTab; ++id) {
        CSFRadioBox* tab = GetPageTab(id);
        if (!tab || !IsPageTabOpen(id))
            continue;
        rect.left += width + 1 + kTabGap;
        rect.right += width + 1 + kTabGap;
        tab->MoveWindow(&rect);
    }
    for (int id : {kPreviewTab, kSearchTab, kWatermarkTab, kExportTab, kConfigTab})
        if (CSFRadioBox* tab = GetPageTab(id))
            tab->Invalidate(1);
}

DeleteUsage CTabBarEventImp::CollectDeleteUsage() const
{
    DeleteUsage usage;
    if (auto owner = m_owner.lock())
        owner->FillDeleteUsage(usage);
    return usage;
}

void CTabBarEventImp::OnSFBtnDelete()
{
    auto owner = m_owner.lock();
    if (!owner)
        return;
    const DeleteUsage usage = CollectDeleteUsage();
    if (!IsDeleteSetInUse(usage)) {
        ApplyDeleteSet(usage.checked);
        return;
    }
    if (owner->GetWantedReturnNum() > 0) {
        ShowNotifyMessage(GetLangString(L"This operation can't accomplish as the videos are opening now, please "
                                         L"retry later!"),
                          true);
        return;
    }
    const bool paused = owner->PauseMainPlayback();
    const int answer = ShowMessageBox(GetLangString(L"The item you want to delete is in the operating now. Please "
                                                    L"stop current operation and then delete."),
                                      GetLangString(L"Prompt"), 1);
    if (answer == 1) {
        owner->StopDeleteUses(FindUsesToStop(usage), usage);
        ApplyDeleteSet(usage.checked);
    } else {
        ApplyDeleteSet(MakeFreeDeleteSet(usage));
    }
    if (paused)
        owner->ResumeMainPlayback();
}

void CTabBarEventImp::ApplyDeleteSet(const GroupFileListPtr& set)
{
    auto owner = m_owner.lock();
    if (!owner)
        return;
    owner->RemoveFromPageLists(set);
    auto helpLogic = owner->GetHelpLogic();
    if (helpLogic)
        SF_POST_TASK(LumivexBase::ML_HELPER, &CMainFrameHelpLogic::Task_DelCertainFile, helpLogic,
                     ToItemList(set));
}
