#include "Search/SearchSimplePlayerEventImp.h"

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "Search/SeachViewEventImp.h"
#include "Search/SearchControls.h"
#include "Widgets/PlayerSkins.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr int kRowWidth = 398;

enum ControlId : UINT {
    kVideoWindowId = 500,
    kPlayId = 501,
    kSetRegionId = 502,
    kPreviousFrameId = 503,
    kNextFrameId = 504,
    kSpeedLabelId = 505,
    kSpeedSliderId = 506,
    kExportId = 507,
    kViewId = 508,
};

tagRECT Shrunk(tagRECT rect, int by)
{
    return tagRECT{rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CSearchSimplePlayerEventImp)
SF_ON_COMMAND(kExportId, OnExport)
SF_ON_COMMAND(kPreviousFrameId, OnPreviousFrame)
SF_ON_COMMAND(kNextFrameId, OnNextFrame)
SF_END_MESSAGE_MAP()

CSearchSimplePlayerEventImp::CSearchSimplePlayerEventImp(const boost::shared_ptr<CSeachViewEventImp>& parent)
    : m_parent(parent)
{
}

CSearchSimplePlayerEventImp::~CSearchSimplePlayerEventImp()
{
    SFDestroyView(m_pView);
    m_pView = nullptr;
}

boost::shared_ptr<CSearchSimplePlayerEventImp> CSearchSimplePlayerEventImp::Create(
    const boost::shared_ptr<CSeachViewEventImp>& parent)
{
    auto player = boost::make_shared<CSearchSimplePlayerEventImp>(parent);
    player->CreateView();
    return player;
}

int CSearchSimplePlayerEventImp::CreateView()
{
    m_pView = SFCreateView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBackground(L"bg_simpleplayer.png");
    if (auto parent = m_parent.lock())
        m_pView->Create(nullptr, L"SimplePlayer", WS_CHILD | WS_VISIBLE, tagRECT{0, 0, 400, 300},
                        parent->GetUIWnd(), kViewId);
    m_pView->ShowWindow(1);
    m_pView->SetRoundCornerRadius(3);
    return 0;
}

int CSearchSimplePlayerEventImp::OnCreate()
{
    CreateVideoWindow();
    CreateToggles();
    CreateFrameButtons();
    CreateSpeedControls();
    CreateExportButton();
    return 1;
}

void CSearchSimplePlayerEventImp::CreateVideoWindow()
{
    tagRECT client{0, 0, 0, 0};
    m_pView->GetViewClientRect(&client);
    ImageVideoWindowStyle skin = SFVideoWindowStyle(GetLangString(L"Loading..."));
    m_pVideoWindow = SFCreateVideoWindow(VIDEOWINDOWMODE_NORMAL, this, 1, 1);
    if (!m_pVideoWindow)
        return;
    m_pVideoWindow->SetSubWinCtrlsVisible(0);
    m_pVideoWindow->SetSkin(&skin);
    m_pVideoWindow->Create(L"VideoWindow", Shrunk(client, 10), GetUIWnd(), kVideoWindowId);
    m_pVideoWindow->SetDefaultLayout(LAYOUT_1, nullptr);
}

void CSearchSimplePlayerEventImp::CreateToggles()
{
    ImageRadioBox playSkin = SFPlayToggleStyle();
    if ((m_pPlay = SFCreateRadioBox(this))) {
        m_pPlay->SetSkin(&playSkin);
        m_pPlay->Create(L"", kSearchControlStyle, tagRECT{0, 0, 46, 47}, GetUIWnd(), kPlayId);
        m_pPlay->SetToolTipText(GetLangString(L"Play"));
    }
    ImageRadioBox regionSkin = MakeSearchRadioSkin(
        {L"btn_delregion.png", L"btn_delregion.png", L"btn_delregion.png", L"btn_setregion.png",
         L"btn_setregion.png", L"btn_setregion.png", L"btn_delregion.png", L"btn_setregion.png"});
    if ((m_pSetRegion = SFCreateRadioBox(this))) {
        m_pSetRegion->SetSkin(&regionSkin);
        m_pSetRegion->Create(L"", kSearchControlStyle, tagRECT{0, 0, 30, 30}, GetUIWnd(), kSetRegionId);
        m_pSetRegion->SetToolTipText(GetLangString(L"Set MD Region"));
    }
}

void CSearchSimplePlayerEventImp::CreateFrameButtons()
{
    struct FrameButton {
        CSFButton** button;
        const wchar_t* normal;
        const wchar_t* pressed;
        UINT id;
        const wchar_t* tip;
    };
    const FrameButton buttons[] = {
        {&m_pPreviousFrame, L"btn_prevnor.png", L"btn_prevover.png", kPreviousFrameId, L"Previous Frame"},
        {&m_pNextFrame, L"btn_nextnor.png", L"btn_nextover.png", kNextFrameId, L"Next Frame"},
    };
    for (const FrameButton& b : buttons) {
        ImageButtonStyle skin = MakeSearchButtonSkin(b.normal, b.normal, b.pressed);
        CSFButton* button = *b.button = SFCreateButton(this);
        if (!button)
            continue;
        button->SetSkin(&skin);
        button->Create(L"", kSearchControlStyle, tagRECT{0, 0, 30, 30}, GetUIWnd(), b.id);
        button->SetToolTipText(GetLangString(b.tip));
    }
}

void CSearchSimplePlayerEventImp::CreateSpeedControls()
{
    if ((m_pSpeedLabel = SFCreateStatic(nullptr))) {
        m_pSpeedLabel->Create(L"1X", kSearchControlStyle, tagRECT{0, 0, 30, 24}, GetUIWnd(), kSpeedLabelId);
        m_pSpeedLabel->SetTextAlignFlag(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        m_pSpeedLabel->SetTextColor(0xFFFFFF);
    }
    ImageSliderStyle skin = SFSpeedSliderStyle();
    if ((m_pSpeedSlider = SFCreateSliderCtrl(this))) {
        m_pSpeedSlider->SetSkin(&skin);
        m_pSpeedSlider->Create(kSearchControlStyle, tagRECT{0, 0, 116, 20}, GetUIWnd(), kSpeedSliderId,
                               SLIDER_RESPONSE_CONTINUOUS);
        m_pSpeedSlider->SetRange(0, 80, 0);
        m_pSpeedSlider->SetPos(40);
        m_pSpeedSlider->SetTooltipEnable(0);
    }
}

void CSearchSimplePlayerEventImp::CreateExportButton()
{
    ImageButtonStyle skin = MakeSearchButtonSkin(L"btn_commongnor.png", L"btn_commongnor.png", L"btn_commondown.png");
    if ((m_pExport = SFCreateButton(this))) {
        m_pExport->SetSkin(&skin);
        m_pExport->Create(GetLangString(L"Export"), kSearchControlStyle, tagRECT{0, 0, 100, 30}, GetUIWnd(), kExportId);
    }
}

void CSearchSimplePlayerEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_pVideoWindow || !m_pNextFrame || !m_pPlay || !m_pPreviousFrame || !m_pSpeedLabel || !m_pSpeedSlider ||
        !m_pExport)
        return;
    const int x0 = (cx - kRowWidth) / 2;
    PlaceSearchControl(m_pVideoWindow, {10, 10, cx - 10, cy - 70});
    PlaceSearchControl(m_pPlay, {x0, cy - 60, x0 + 49, cy - 11});
    PlaceSearchControl(m_pPreviousFrame, {x0 + 57, cy - 51, x0 + 88, cy - 20});
    PlaceSearchControl(m_pNextFrame, {x0 + 96, cy - 51, x0 + 127, cy - 20});
    PlaceSearchControl(m_pSpeedLabel, {x0 + 135, cy - 48, x0 + 165, cy - 24});
    PlaceSearchControl(m_pSpeedSlider, {x0 + 165, cy - 46, x0 + 281, cy - 26});
    PlaceSearchControl(m_pSetRegion, {x0 + 289, cy - 51, x0 + 320, cy - 20});
    PlaceSearchControl(m_pExport, {cx - 130, cy - 50, cx - 30, cy - 22});
}

const wchar_t* CSearchSimplePlayerEventImp::SpeedText(int pos)
{
    static const wchar_t* const kSpeeds[] = {L"1/16X", L"1/8X", L"1/4X", L"1/2X", L"1X",
                                             L"2X",    L"4X",   L"8X",   L"16X"};
    const int index = pos / 10;
    return index >= 0 && index < static_cast<int>(std::size(kSpeeds)) ? kSpeeds[index] : L"";
}

void CSearchSimplePlayerEventImp::SF_OnSliderPos(int, int pos)
{
    if (m_pSpeedLabel)
        m_pSpeedLabel->SetStaticText(SpeedText(pos));
}

void CSearchSimplePlayerEventImp::BTN_OnLButtonDown(int, UINT, tagPOINT)
{
    if (m_pExport)
        m_pExport->SetTextColor(0xFFFFFF);
}

void CSearchSimplePlayerEventImp::BTN_OnLButtonUp(int, UINT, tagPOINT)
{
    if (m_pExport)
        m_pExport->SetTextColor(0);
}
