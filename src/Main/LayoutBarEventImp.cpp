#include "Main/LayoutBarEventImp.h"

#include <boost/make_shared.hpp>

#include <string>

#include "Common/ConfigManager.h"
#include "Main/MainPageEventImp.h"
#include "Main/MainTimeLineEventImp.h"
#include "Main/OwnedView.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Widgets/SFPlayProgressPanel.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

constexpr int kButtonCount = 9;
constexpr int kButtonOrder[kButtonCount] = {146, 147, 150, 152, 153, 154, 148, 149, 151};
constexpr int kWindowCounts[kButtonCount] = {1, 4, 6, 8, 9, 13, 16, 25, 36};  // by id 146..154
constexpr int kLayoutTypes[kButtonCount] = {0, 1, 2, 3, 4, 5, 6, 8, 9};       // by id 146..154

tagRECT ButtonRect(int place)
{
    const int top = 20 + 43 * place;
    return tagRECT{17, top, 70, top + 42};
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CLayoutBarEventImp)
    SF_ON_COMMAND(CLayoutBarEventImp::kCustomButtonId, OnBnClickedCustomLayout)
SF_END_MESSAGE_MAP()

boost::shared_ptr<CLayoutBarEventImp> CLayoutBarEventImp::Create(boost::weak_ptr<CPlayWinManagerEventImp> manager)
{
    boost::shared_ptr<CLayoutBarEventImp> bar = boost::make_shared<CLayoutBarEventImp>(manager);
    boost::shared_ptr<CPlayWinManagerEventImp> owner = manager.lock();
    bar->CreateView(owner ? owner->GetUIWnd() : nullptr);
    return bar;
}

CLayoutBarEventImp::CLayoutBarEventImp(boost::weak_ptr<CPlayWinManagerEventImp> manager)
    : m_manager(std::move(manager))
{
}

CLayoutBarEventImp::~CLayoutBarEventImp()
{
    SFDestroyView(m_view);
    ReleaseOwnedView(this);
}

int CLayoutBarEventImp::CreateView(void* parentWindow)
{
    return CreatePageView(this, m_view, L"bg_monitor.png", L"LayoutBar", tagRECT{0, 0, 70, 500}, parentWindow, 107);
}

const int* CLayoutBarEventImp::ButtonOrder()
{
    return kButtonOrder;
}

int CLayoutBarEventImp::LayoutTypeOfId(int id)
{
    return id >= kFirstLayoutId && id <= kLastLayoutId ? kLayoutTypes[id - kFirstLayoutId] : -1;
}

CSFRadioBox* CLayoutBarEventImp::GetRadio(int id) const
{
    auto it = m_radios.find(id);
    return it == m_radios.end() ? nullptr : it->second;
}

int CLayoutBarEventImp::OnCreate()
{
    for (int place = 0; place < kButtonCount; ++place) {
        const int id = kButtonOrder[place];
        CSFRadioBox* radio = SFCreateRadioBox(this);
        if (!radio)
            continue;
        const std::wstring count = std::to_wstring(kWindowCounts[id - kFirstLayoutId]);
        const std::wstring check = L"btn_win" + count + L"check.png";
        const std::wstring uncheck = L"btn_win" + count + L"uncheck.png";
        ImageRadioBox skin{check, check, check, uncheck, uncheck, uncheck, check, uncheck};
        radio->SetSkin(&skin);
        radio->Create(L"", place == 0 ? 0x10030000 : 0x10010000, ButtonRect(place), GetUIWnd(), UINT(id));
        m_radios[id] = radio;
    }
    m_customButton = SFCreateButton(nullptr);
    if (m_customButton) {
        ImageButtonStyle skin;
        skin.str0 = L"btn_layoutuncheck.png";
        skin.str1 = L"btn_layoutcheck.png";
        skin.str2 = L"btn_layoutuncheck.png";
        m_customButton->SetSkin(&skin);
        m_customButton->Create(L"", 0x10010000, ButtonRect(kButtonCount), GetUIWnd(), kCustomButtonId);
    }
    const int stored = CConfigManager::GetInstance()->VideoLayout;
    if (stored >= kFirstLayoutId && stored <= kLastLayoutId)
        RADIO_OnClicked(1, stored, tagPOINT{1, 1});
    return 1;
}

void CLayoutBarEventImp::RADIO_OnClicked(int flag, int id, tagPOINT)
{
    CSFRadioBox* clicked = GetRadio(id);
    if (flag == 0) {
        if (clicked)
            clicked->SetCheck(1);
        return;
    }
    for (auto& radio : m_radios)
        radio.second->SetCheck(0);
    const int type = LayoutTypeOfId(id);
    if (type >= 0) {
        if (clicked)
            clicked->SetCheck(1);
        CConfigManager::GetInstance()->VideoLayout = id;
    }
    boost::shared_ptr<CPlayWinManagerEventImp> manager = m_manager.lock();
    if (!manager)
        return;
    if (manager->GetVideoWindow() && type >= 0)
        manager->GetVideoWindow()->SetDefaultLayout(LAYOUT_TYPE(type), nullptr);
    boost::shared_ptr<CMainPageEventImp> page = manager->GetMainPage();
    if (page && page->GetMainTimeLine())
        page->GetMainTimeLine()->GetPlayProgressPanel()->SetSingleRecordView(-1, false);
}

int CLayoutBarEventImp::SelectLayoutByWndCount(int count)
{
    if (count < 1)
        return 0;
    // The first standard grid that holds count windows; above 36 the largest
    // (the file logic plays the first 36 and tells the user).
    int id = kLastLayoutId;
    for (int candidate = kFirstLayoutId; candidate <= kLastLayoutId; ++candidate) {
        if (kWindowCounts[candidate - kFirstLayoutId] >= count) {
            id = candidate;
            break;
        }
    }
    RADIO_OnClicked(1, id, tagPOINT{1, 1});
    return kWindowCounts[id - kFirstLayoutId];
}

void CLayoutBarEventImp::OnBnClickedCustomLayout()
{
    boost::shared_ptr<CPlayWinManagerEventImp> manager = m_manager.lock();
    if (!manager || !m_customButton)
        return;
    tagRECT rect{};
    m_customButton->GetBTNWindowRect(&rect);
    manager->PopCustomLayoutDlg(rect.right, rect.bottom - 450);
}
