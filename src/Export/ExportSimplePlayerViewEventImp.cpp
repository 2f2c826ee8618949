#include "Export/ExportSimplePlayerViewEventImp.h"

#include <cwchar>

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "Export/ExportViewEventImp.h"
#include "Export/ExportViewUILogic.h"
#include "Widgets/PlaySpeedSteps.h"
#include "Widgets/PlayerSkins.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFProgressCtrl.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFVideoWindow.h"
#include "Widgets/SFView.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

enum ControlId : UINT {
    kPrevFrameId = 310,
    kNextFrameId = 311,
    kExportButtonId = 312,
    kVideoWindowId = 313,
    kPlayButtonId = 314,
    kSpeedLabelId = 315,
    kSpeedSliderId = 316,
    kProgressId = 317,
    kViewId = 112,
};

constexpr DWORD kChildVisible = 0x10010000;
constexpr int kGroupWidth = 281;
constexpr int kFastestStep = 9;  // 8X: faster speeds refuse frame steps

ImageButtonStyle ButtonStyle(const wchar_t* normal, const wchar_t* pressed)
{
    ImageButtonStyle style;
    style.str0 = normal;
    style.str1 = normal;
    style.str2 = pressed;
    return style;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CExportSimplePlayerViewEventImp)
SF_ON_COMMAND(kExportButtonId, OnBnExport)
SF_ON_COMMAND(kPrevFrameId, OnBnPrevFrame)
SF_ON_COMMAND(kNextFrameId, OnBnNextFrame)
SF_END_MESSAGE_MAP()

boost::shared_ptr<CExportSimplePlayerViewEventImp> CExportSimplePlayerViewEventImp::Create(
    const boost::shared_ptr<CExportViewEventImp>& page, void* parentWindow)
{
    auto view = boost::make_shared<CExportSimplePlayerViewEventImp>(page);
    view->CreateView(parentWindow);
    return view;
}

CExportSimplePlayerViewEventImp::CExportSimplePlayerViewEventImp(const boost::shared_ptr<CExportViewEventImp>& page)
    : m_page(page)
{
}

CExportSimplePlayerViewEventImp::~CExportSimplePlayerViewEventImp() = default;

int CExportSimplePlayerViewEventImp::CreateView(void* parentWindow)
{
    m_view = SFCreateView(this);
    m_view->SetBackground(L"bg_simpleplayer.png");
    m_view->Create(nullptr, L"SimplePlayer", 0x50000000, tagRECT{0, 0, 400, 300}, parentWindow, kViewId);
    m_view->ShowWindow(1);
    m_view->SetRoundCornerRadius(10);
    return 0;
}

int CExportSimplePlayerViewEventImp::OnCreate()
{
    tagRECT client{0, 0, 400, 300};
    if (m_view)
        m_view->GetViewClientRect(&client);
    CreateVideoWindow(tagRECT{client.left + 10, client.top + 10, client.right - 10, client.bottom - 10});
    CreatePlayControls();
    CreateExportRow();
    return 1;
}

void CExportSimplePlayerViewEventImp::CreateVideoWindow(const tagRECT& rect)
{
    m_videoWindow = SFCreateVideoWindow(VIDEOWINDOWMODE_NORMAL, this, 1, 1);
    m_videoWindow->SetSubWinCtrlsVisible(0);
    ImageVideoWindowStyle style = SFVideoWindowStyle(L"");
    m_videoWindow->SetSkin(&style);
    m_videoWindow->Create(GetLangString(L"VideoWindow"), rect, GetUIWnd(), kVideoWindowId);
}

void CExportSimplePlayerViewEventImp::CreatePlayControls()
{
    ImageRadioBox radio = SFPlayToggleStyle();
    m_playButton = SFCreateRadioBox(this);
    m_playButton->SetSkin(&radio);
    m_playButton->Create(L"", kChildVisible, tagRECT{0, 0, 46, 47}, GetUIWnd(), kPlayButtonId);
    m_playButton->SetToolTipText(GetLangString(L"Play"));

    ImageButtonStyle prev = ButtonStyle(L"btn_prevnor.png", L"btn_prevover.png");
    m_prevButton = SFCreateButton(nullptr);
    m_prevButton->SetSkin(&prev);
    m_prevButton->Create(L"", kChildVisible, tagRECT{0, 0, 30, 30}, GetUIWnd(), kPrevFrameId);
    m_prevButton->SetToolTipText(GetLangString(L"Previous Frame"));
    ImageButtonStyle next = ButtonStyle(L"btn_nextnor.png", L"btn_nextover.png");
    m_nextButton = SFCreateButton(nullptr);
    m_nextButton->SetSkin(&next);
    m_nextButton->Create(L"", kChildVisible, tagRECT{0, 0, 30, 30}, GetUIWnd(), kNextFrameId);
    m_nextButton->SetToolTipText(GetLangString(L"Next Frame"));

    m_speedLabel = SFCreateStatic(nullptr);
    m_speedLabel->Create(L"1X", kChildVisible, tagRECT{0, 0, 30, 15}, GetUIWnd(), kSpeedLabelId);
    m_speedLabel->SetTextAlignFlag(0x25);
    m_speedLabel->SetTextColor(0xFFFFFF);

    ImageSliderStyle slider = SFSpeedSliderStyle();
    m_speedSlider = SFCreateSliderCtrl(this);
    m_speedSlider->SetSkin(&slider);
    m_speedSlider->Create(kChildVisible, tagRECT{0, 0, 116, 20}, GetUIWnd(), kSpeedSliderId,
                          SLIDER_RESPONSE_CONTINUOUS);
    m_speedSlider->SetRange(0, kPlaySpeedSteps - 1, 0);
    m_speedSlider->SetPos(kDefaultSpeedPosition);
    m_speedSlider->SetTooltipEnable(0);
}

void CExportSimplePlayerViewEventImp::CreateExportRow()
{
    ImageButtonStyle button = ButtonStyle(L"btn_commongnor.png", L"btn_commondown.png");
    m_exportButton = SFCreateButton(this);
    m_exportButton->SetSkin(&button);
    m_exportButton->Create(GetLangString(L"Begin Export"), kChildVisible, tagRECT{0, 0, 100, 30}, GetUIWnd(),
                           kExportButtonId);

    ImageProgressCtrlStyle progress = SFProgressBarStyle();
    m_progress = SFCreateProgressCtrl(nullptr);
    m_progress->SetSkin(&progress);
    m_progress->Create(kChildVisible, tagRECT{0, 0, 100, 11}, GetUIWnd(), kProgressId);
    m_progress->ModifyStyleEx(0x20000, 0, 0x20);
    m_progress->SetPos(0);
}

void CExportSimplePlayerViewEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_view || !m_videoWindow || !m_playButton || !m_prevButton || !m_nextButton || !m_speedLabel ||
        !m_speedSlider || !m_progress || !m_exportButton)
        return;
    const int x0 = (cx - kGroupWidth) / 2;
    tagRECT video{10, 10, cx - 10, cy - 160};
    tagRECT play{x0, cy - 130, x0 + 49, cy - 81};
    tagRECT prev{x0 + 57, cy - 121, x0 + 88, cy - 90};
    tagRECT next{x0 + 96, cy - 121, x0 + 127, cy - 90};
    tagRECT label{x0 + 135, cy - 111, x0 + 165, cy - 96};
    tagRECT slider{x0 + 165, cy - 113, x0 + 281, cy - 93};
    tagRECT button{cx - 130, cy - 50, cx - 30, cy - 22};
    tagRECT progress{50, cy - 42, cx - 150, cy - 31};
    m_videoWindow->MoveWindow(&video);
    m_playButton->MoveWindow(&play);
    m_prevButton->MoveWindow(&prev);
    m_nextButton->MoveWindow(&next);
    m_speedLabel->MoveWindow(&label);
    m_speedSlider->MoveWindow(&slider);
    m_exportButton->MoveWindow(&button);
    m_progress->MoveWindow(&progress);
}

void CExportSimplePlayerViewEventImp::RADIO_OnClicked(int checked, int, tagPOINT)
{
    auto page = m_page.lock();
    if (!page)
        return;
    if (checked) {
        if (auto uiLogic = page->GetUILogic())
            uiLogic->PlayCurrent();
        m_playButton->SetToolTipText(GetLangString(L"Pause"));
        return;
    }
    page->PauseFromPlayer();
    m_playButton->SetToolTipText(GetLangString(L"Play"));
}

const wchar_t* CExportSimplePlayerViewEventImp::SpeedLabel(int position)
{
    return SFPlaySpeedLabel(position);
}

float CExportSimplePlayerViewEventImp::SpeedOf(int position)
{
    return SFPlaySpeedFactor(position);
}

void CExportSimplePlayerViewEventImp::SF_OnSliderPos(int, int position)
{
    m_speedLabel->SetStaticText(SpeedLabel(position));
    if (auto page = m_page.lock())
        page->SetPlaySpeed(SpeedOf(position));
}

void CExportSimplePlayerViewEventImp::Step(bool forward)
{
    if (m_speedSlider->GetPos() > kFastestStep) {
        ShowNotifyMessage(GetLangString(L"Can not step play while fast playing upon 16x speed!"), true);
        return;
    }
    auto page = m_page.lock();
    auto uiLogic = page ? page->GetUILogic() : nullptr;
    if (!uiLogic)
        return;
    if (forward)
        uiLogic->PlayNext();
    else
        uiLogic->PlayPrev();
}

void CExportSimplePlayerViewEventImp::OnBnPrevFrame()
{
    Step(false);
}

void CExportSimplePlayerViewEventImp::OnBnNextFrame()
{
    Step(true);
}

void CExportSimplePlayerViewEventImp::OnBnExport()
{
    wchar_t caption[256] = {};
    m_exportButton->GetWindowTextW(caption, 256);
    if (auto page = m_page.lock())
        page->OnExportButton(std::wcscmp(caption, GetLangString(L"Begin Export")) == 0 ? 1 : 0);
}

void CExportSimplePlayerViewEventImp::BTN_OnLButtonDown(int, UINT, tagPOINT)
{
    m_exportButton->SetTextColor(0xFFFFFF);
}

void CExportSimplePlayerViewEventImp::BTN_OnLButtonUp(int, UINT, tagPOINT)
{
    m_exportButton->SetTextColor(0x000000);
}

void CExportSimplePlayerViewEventImp::SetPlayState(int playing)
{
    m_playButton->SetCheck(playing ? 1 : 0);
    m_playButton->SetToolTipText(GetLangString(playing ? L"Pause" : L"Play"));
}

void CExportSimplePlayerViewEventImp::SetSpeedPosition(int position)
{
    m_speedLabel->SetStaticText(SpeedLabel(position));
    m_speedSlider->SetPos(position);
    if (auto page = m_page.lock())
        page->SetPlaySpeed(SpeedOf(position));
}

void CExportSimplePlayerViewEventImp::SetProgressPos(int percent)
{
    m_progress->SetPos(percent);
}

void CExportSimplePlayerViewEventImp::SetExportButtonText(const wchar_t* text)
{
    m_exportButton->SetWindowTextW(text);
}

void CExportSimplePlayerViewEventImp::EnableExportButton(int enable)
{
    m_exportButton->EnableWindow(enable);
}
