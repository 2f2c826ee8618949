#include "Preview/PreviewSimplePlayerEventImp.h"

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "Preview/PreviewPageEventImp.h"
#include "Preview/PreviewSimplePlayerUILogic.h"
#include "Preview/PreviewTimeLineViewEventImp.h"
#include "Widgets/PlaySpeedSteps.h"
#include "Widgets/PlayerSkins.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"
#include "Widgets/SkinTextColour.h"

namespace {

constexpr UINT kPrevFrameId = 300;
constexpr UINT kNextFrameId = 301;
constexpr UINT kViewId = 302;
constexpr UINT kSlicesComboId = 305;
constexpr UINT kPlayToggleId = 306;
constexpr UINT kSpeedSliderId = 307;
constexpr UINT kStopId = 330;
constexpr DWORD kControlStyle = 0x10010000;
constexpr int kBarWidth = 477;

tagRECT Rect(int left, int top, int right, int bottom) { return tagRECT{left, top, right, bottom}; }

}  // namespace

SF_BEGIN_MESSAGE_MAP(CPreviewSimplePlayerEventImp)
    SF_ON_COMMAND(kPrevFrameId, OnBnPrevFrame)
    SF_ON_COMMAND(kNextFrameId, OnBnNextFrame)
    SF_ON_COMMAND(kStopId, StopPlay)
SF_END_MESSAGE_MAP()

boost::shared_ptr<CPreviewSimplePlayerEventImp> CPreviewSimplePlayerEventImp::Create(
    const boost::shared_ptr<CPreviewPageEventImp>& page)
{
    auto view = boost::make_shared<CPreviewSimplePlayerEventImp>(page);
    view->CreateView();
    return view;
}

CPreviewSimplePlayerEventImp::CPreviewSimplePlayerEventImp(
    const boost::shared_ptr<CPreviewPageEventImp>& page)
    : m_page(page)
{
}

CPreviewSimplePlayerEventImp::~CPreviewSimplePlayerEventImp()
{
    m_logic.reset();
    m_page.reset();
}

void CPreviewSimplePlayerEventImp::CreateView()
{
    m_logic = boost::make_shared<CPreviewSimplePlayerUILogic>(shared_from_this());
    m_view = SFCreateView(this);
    boost::shared_ptr<CPreviewPageEventImp> page = m_page.lock();
    if (!m_view || !page)
        return;
    m_view->Create(nullptr, L"Video Preview", 0x50000000, Rect(0, 0, 400, 300), page->GetUIWnd(),
                   kViewId);
    m_view->SetBackground(L"bg_simpleplayer.png");
}

int CPreviewSimplePlayerEventImp::OnCreate()
{
    CreateVideoWindow();
    CreatePlayToggle();
    m_speedLabel = CreateLabel(L"1X");
    m_slicesLabel = CreateLabel(GetLangString(L"Slices:"));
    CreateSlicesCombo();
    m_prevButton = CreateStepButton(L"btn_prevnor.png", L"btn_prevover.png", kPrevFrameId,
                                    GetLangString(L"Previous Frame"));
    m_nextButton = CreateStepButton(L"btn_nextnor.png", L"btn_nextover.png", kNextFrameId,
                                    GetLangString(L"Next Frame"));
    m_stopButton = CreateStepButton(L"btn_stopnor.png", L"btn_stopover.png", kStopId,
                                    GetLangString(L"Stop"));
    if (m_stopButton)
        m_stopButton->ShowWindow(0);
    CreateSpeedSlider();
    m_status = CreateLabel(L"");
    return 1;
}

void CPreviewSimplePlayerEventImp::CreateVideoWindow()
{
    m_videoWindow = SFCreateVideoWindow(VIDEOWINDOWMODE_NORMAL, this, 4, 4);
    if (!m_videoWindow)
        return;
    m_videoWindow->SetSubWinCtrlsVisible(0);
    ImageVideoWindowStyle style = SFVideoWindowStyle(GetLangString(L"Loading..."));
    m_videoWindow->SetSkin(&style);
    m_videoWindow->Create(GetLangString(L"VideoWindow"), Rect(10, 10, 390, 290), GetUIWnd(), kViewId);
    m_videoWindow->SetDefaultLayout(LAYOUT_4, nullptr);
}

void CPreviewSimplePlayerEventImp::CreatePlayToggle()
{
    m_playToggle = SFCreateRadioBox(this);
    if (!m_playToggle)
        return;
    ImageRadioBox style = SFPlayToggleStyle();
    m_playToggle->SetSkin(&style);
    m_playToggle->Create(L"", kControlStyle, Rect(0, 0, 46, 47), GetUIWnd(), kPlayToggleId);
    m_playToggle->SetToolTipText(GetLangString(L"Play"));
}

CSFStatic* CPreviewSimplePlayerEventImp::CreateLabel(const wchar_t* text)
{
    CSFStatic* label = SFCreateStatic(nullptr);
    if (!label)
        return nullptr;
    label->Create(text, kControlStyle, Rect(0, 0, 30, 15), GetUIWnd(), UINT(-1));
    label->SetTextAlignFlag(0x25);
    label->SetTextColor(0xFFFFFF);
    return label;
}

void CPreviewSimplePlayerEventImp::CreateSlicesCombo()
{
    m_slicesCombo = SFCreateComboBox(this);
    if (!m_slicesCombo)
        return;
    ImageComboBoxStyle style;
    style.str0 = L"PreviewComboBox.png";
    std::wstring* rects[] = {&style.str1, &style.str2, &style.str3, &style.str4,
                             &style.str5, &style.str6, &style.str7};
    const wchar_t* sources[] = {L"0,0,100,24",  L"0,0,100,24",  L"0,72,100,24", L"0,48,100,24",
                                L"0,24,100,24", L"0,96,100,24", L"0,120,100,24"};
    for (int i = 0; i < 7; ++i)
        *rects[i] = sources[i];
    for (std::wstring* mode : {&style.str8, &style.str9, &style.str10, &style.str11, &style.str12,
                               &style.str13, &style.str14})
        *mode = L"tile";
    m_slicesCombo->SetSkin(&style);
    m_slicesCombo->SetTextColor(kSkinTextColour);
    m_slicesCombo->Create(0x50010003, Rect(0, 0, 100, 400), GetUIWnd(), kSlicesComboId);
    for (int count = 2; count <= 16; ++count)
        m_slicesCombo->AddString(std::to_wstring(count).c_str());
}

CSFButton* CPreviewSimplePlayerEventImp::CreateStepButton(const wchar_t* normal, const wchar_t* over,
                                                          UINT id, const wchar_t* tip)
{
    CSFButton* button = SFCreateButton(nullptr);
    if (!button)
        return nullptr;
    ImageButtonStyle style;
    style.str0 = normal;
    style.str1 = normal;
    style.str2 = over;
    button->SetSkin(&style);
    button->Create(L"", kControlStyle, Rect(0, 0, 30, 30), GetUIWnd(), id);
    button->SetToolTipText(tip);
    return button;
}

void CPreviewSimplePlayerEventImp::CreateSpeedSlider()
{
    m_speedSlider = SFCreateSliderCtrl(this);
    if (!m_speedSlider)
        return;
    ImageSliderStyle style = SFSpeedSliderStyle();
    m_speedSlider->SetSkin(&style);
    m_speedSlider->Create(kControlStyle, Rect(0, 0, 116, 20), GetUIWnd(), kSpeedSliderId,
                          SLIDER_RESPONSE_CONTINUOUS);
    m_speedSlider->SetRange(0, kPlaySpeedSteps - 1, 0);
    m_speedSlider->SetPos(kNormalPlaySpeedPosition);
    m_speedSlider->SetTooltipEnable(0);
}

bool CPreviewSimplePlayerEventImp::WidgetsExist() const
{
    return m_view && m_videoWindow && m_playToggle && m_prevButton && m_nextButton && m_speedLabel &&
           m_speedSlider && m_slicesLabel && m_slicesCombo;
}

void CPreviewSimplePlayerEventImp::OnSize(UINT, int cx, int cy)
{
    if (!WidgetsExist())
        return;
    tagRECT grid = Rect(10, 10, cx - 10, cy - 90);
    m_videoWindow->MoveWindow(grid.left, grid.top, grid.right - grid.left, grid.bottom - grid.top);
    const int x0 = (cx - kBarWidth) / 2;
    const int y0 = cy - 70;
    m_playToggle->MoveWindow(x0, y0, 49, 49);
    const int prevLeft = x0 + 49 + 8;
    m_prevButton->MoveWindow(prevLeft, y0 + 9, 31, 31);
    const int nextLeft = prevLeft + 31 + 8;
    m_nextButton->MoveWindow(nextLeft, y0 + 9, 31, 31);
    const int speedLeft = nextLeft + 31 + 8;
    m_speedLabel->MoveWindow(speedLeft, y0 + 21, 30, 15);
    const int sliderLeft = speedLeft + 30;
    m_speedSlider->MoveWindow(sliderLeft, y0 + 17, 116, 20);
    const int slicesLeft = sliderLeft + 116 + 8;
    m_slicesLabel->MoveWindow(slicesLeft, y0 + 12, 80, 24);
    const int comboLeft = slicesLeft + 80 + 8;
    m_slicesCombo->MoveWindow(comboLeft, y0 + 12, 100, 24);
    if (m_stopButton)
        m_stopButton->MoveWindow(comboLeft + 100 + 8, y0 + 12 - 4, 31, 31);
    if (m_status)
        m_status->MoveWindow(nextLeft + 31, y0 + 21 + 15 + 5, 250, 24);
}

void CPreviewSimplePlayerEventImp::ResetPlayToggle()
{
    if (!m_playToggle)
        return;
    m_playToggle->SetCheck(0);
    m_playToggle->SetToolTipText(GetLangString(L"Play"));
}

void CPreviewSimplePlayerEventImp::RADIO_OnClicked(int checked, int id, tagPOINT)
{
    if (UINT(id) != kPlayToggleId || !m_logic)
        return;
    if (m_logic->IsLoading()) {
        if (m_playToggle)
            m_playToggle->SetCheck(0);
        ShowNotifyMessage(GetLangString(L"This operation can't accomplish as the video is previewing "
                                        L"now, please retry later!"),
                          true);
        return;
    }
    if (checked) {
        if (m_playToggle)
            m_playToggle->SetToolTipText(GetLangString(L"Pause"));
        m_logic->Pause(1);
        return;
    }
    if (m_playToggle)
        m_playToggle->SetToolTipText(GetLangString(L"Play"));
    if (m_videoWindow)
        m_videoWindow->SnapLastFrame(-1);
    m_logic->Pause(0);
}

void CPreviewSimplePlayerEventImp::OnBnPrevFrame()
{
    if (m_logic && m_logic->StepBackward())
        ResetPlayToggle();
}

void CPreviewSimplePlayerEventImp::OnBnNextFrame()
{
    if (m_logic && m_logic->StepForward())
        ResetPlayToggle();
}

void CPreviewSimplePlayerEventImp::StopPlay()
{
    if (m_logic)
        m_logic->StopPlay();
}

void CPreviewSimplePlayerEventImp::ShowStopButton(int show)
{
    if (m_stopButton)
        m_stopButton->ShowWindow(show);
}

const wchar_t* CPreviewSimplePlayerEventImp::SpeedText(int pos) { return SFPlaySpeedLabel(pos); }

float CPreviewSimplePlayerEventImp::SpeedValue(int pos) { return SFPlaySpeedFactor(pos); }

void CPreviewSimplePlayerEventImp::SF_OnSliderPos(int, int pos)
{
    if (m_speedLabel)
        m_speedLabel->SetStaticText(SpeedText(pos));
    if (m_logic)
        m_logic->SetPlaySpeed(SpeedValue(pos));
}

int CPreviewSimplePlayerEventImp::SliceLayout(int index)
{
    if (index < 0 || index > 14)
        return -1;
    constexpr int kLastIndexOfLayout[] = {2, 4, 6, 7, 11, 14};
    constexpr LAYOUT_TYPE kLayouts[] = {LAYOUT_4, LAYOUT_6, LAYOUT_8, LAYOUT_9, LAYOUT_13, LAYOUT_16};
    int i = 0;
    while (index > kLastIndexOfLayout[i])
        ++i;
    return kLayouts[i];
}

void CPreviewSimplePlayerEventImp::SelectChanged(int, int index)
{
    ResetPlayToggle();
    const int layout = SliceLayout(index);
    if (layout >= 0 && m_videoWindow)
        m_videoWindow->SetDefaultLayout(LAYOUT_TYPE(layout), nullptr);
    if (m_logic)
        m_logic->LoadFile(L"");
}

void CPreviewSimplePlayerEventImp::OnFocusWndChanged(int subWindowId, int)
{
    boost::shared_ptr<CPreviewPageEventImp> page = m_page.lock();
    boost::shared_ptr<CPreviewTimeLineViewEventImp> timeLine = page ? page->GetTimeLineView() : nullptr;
    CSFPlayProgressPanel* panel = timeLine ? timeLine->GetPlayProgressPanel() : nullptr;
    if (!panel || !m_logic)
        return;
    const std::map<int, int> slices = m_logic->GetSliceMap();
    auto it = slices.find(subWindowId);
    if (it != slices.end())
        panel->SetHighlightChannel(it->second);
}
