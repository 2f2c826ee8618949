#include "Main/PlayBarEventImp.h"

#include <boost/make_shared.hpp>

#include <array>

#include "Base/PostTask.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "Main/MainPageEventImp.h"
#include "Main/MainPageFileList.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "Main/OwnedView.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

constexpr DWORD kControlStyle = 0x10010000;

struct SpeedStep {
    const wchar_t* label;
    float factor;
};

constexpr std::array<SpeedStep, CPlayBarEventImp::kSpeedSteps> kSpeedStepTable{{
    {L"1/64X", 0.015625f}, {L"1/32X", 0.03125f}, {L"1/16X", 0.0625f}, {L"1/8X", 0.125f}, {L"1/4X", 0.25f},
    {L"1/2X", 0.5f}, {L"1X", 1.0f}, {L"2X", 2.0f}, {L"4X", 4.0f}, {L"8X", 8.0f}, {L"16X", 16.0f},
    {L"32X", 32.0f}, {L"64X", 64.0f},
}};

struct RadioSpec {
    int id;
    tagRECT rect;
    const wchar_t* toolTip;
    const wchar_t* images[8];
};

tagRECT Rect(int x, int y, int w, int h)
{
    return tagRECT{x, y, x + w, y + h};
}

const RadioSpec kRadios[] = {
    {CPlayBarEventImp::kRepeatOne, Rect(10, 15, 31, 31), L"Repeat One",
     {L"btn_repeatover.png", L"btn_repeatover.png", L"btn_repeatdown.png", L"btn_repeatnor.png",
      L"btn_repeatnor.png", L"btn_repeatdown.png", L"btn_repeatover.png", L"btn_repeatnor.png"}},
    {CPlayBarEventImp::kSyncPlay, Rect(49, 15, 31, 31), L"Sync Play",
     {L"btn_syncheck.png", L"btn_syncheck.png", L"btn_syndown.png", L"btn_synuncheck.png", L"btn_synuncheck.png",
      L"btn_syndown.png", L"btn_syncheck.png", L"btn_synuncheck.png"}},
    {CPlayBarEventImp::kReverse, Rect(88, 15, 31, 31), L"Reverse",
     {L"btn_playbackcheck.png", L"btn_playbackcheck.png", L"btn_playbackdown.png", L"btn_playbackuncheck.png",
      L"btn_playbackuncheck.png", L"btn_playbackdown.png", L"btn_playbackcheck.png", L"btn_playbackuncheck.png"}},
    {CPlayBarEventImp::kPlayPause, Rect(127, 5, 49, 49), L"Play",
     {L"btn_parsenor.png", L"btn_parsenor.png", L"btn_parseover.png", L"btn_playunchchecknor.png",
      L"btn_playunchchecknor.png", L"btn_playuncheckover.png", L"btn_parsenor.png", L"btn_playuncheckover.png"}},
    {CPlayBarEventImp::kMute, Rect(485, 15, 31, 31), L"Mute",
     {L"btn_volumenor.png", L"btn_volumenor.png", L"btn_volumeover.png", L"btn_silencenor.png",
      L"btn_silencenor.png", L"btn_silenceover.png", L"btn_volumenor.png", L"btn_silencenor.png"}},
};

struct ButtonSpec {
    int id;
    tagRECT rect;
    const wchar_t* toolTip;
    const wchar_t* images[4];
};

const ButtonSpec kButtons[] = {
    {CPlayBarEventImp::kStop, Rect(184, 15, 31, 31), L"Stop", {L"btn_stopnor.png", L"btn_stopnor.png", L"btn_stopover.png", L""}},
    {CPlayBarEventImp::kPrevious, Rect(223, 15, 31, 31), L"Previous Group",
     {L"btn_prevnor.png", L"btn_prevnor.png", L"btn_prevover.png", L"btn_prevdis.png"}},
    {CPlayBarEventImp::kNext, Rect(262, 15, 31, 31), L"Next Group",
     {L"btn_nextnor.png", L"btn_nextnor.png", L"btn_nextover.png", L"btn_nextdis.png"}},
};

ImageSliderStyle SliderSkin(const wchar_t* image, int trackWidth)
{
    auto box = [](int x, int w) { return std::to_wstring(x) + L",0," + std::to_wstring(w) + L",20"; };
    ImageSliderStyle style;
    style.str0 = image;
    style.str1 = box(0, trackWidth);
    style.str2 = box(trackWidth, trackWidth);
    style.str3 = box(2 * trackWidth, 20);
    style.str4 = box(2 * trackWidth + 20, 20);
    style.str5 = box(2 * trackWidth + 40, 20);
    style.str6 = box(2 * trackWidth + 60, 20);
    style.str7 = style.str8 = style.str9 = style.str10 = style.str11 = style.str12 = L"tile";
    return style;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CPlayBarEventImp)
    SF_ON_COMMAND(CPlayBarEventImp::kStop, OnSFBtnStop)
    SF_ON_COMMAND(CPlayBarEventImp::kPrevious, OnSFBtnPrev)
    SF_ON_COMMAND(CPlayBarEventImp::kNext, OnSFBtnNext)
SF_END_MESSAGE_MAP()

boost::shared_ptr<CPlayBarEventImp> CPlayBarEventImp::Create(const boost::shared_ptr<CPlayWinManagerEventImp>& owner)
{
    boost::shared_ptr<CPlayBarEventImp> bar = boost::make_shared<CPlayBarEventImp>(owner);
    bar->CreateView(owner ? owner->GetUIWnd() : nullptr);
    return bar;
}

CPlayBarEventImp::CPlayBarEventImp(boost::weak_ptr<CPlayWinManagerEventImp> owner) : m_owner(std::move(owner)) {}

CPlayBarEventImp::~CPlayBarEventImp()
{
    SFDestroyView(m_view);
    ReleaseOwnedView(this);
}

int CPlayBarEventImp::CreateView(void* parentWindow)
{
    return CreatePageView(this, m_view, L"bg_playbar.png", L"PlayBar", tagRECT{0, 0, 1000, 55}, parentWindow, 101);
}

int CPlayBarEventImp::OnCreate()
{
    CreateRadios();
    CreateButtons();
    CreateSliders();
    return 1;
}

void CPlayBarEventImp::CreateRadios()
{
    for (const RadioSpec& spec : kRadios) {
        CSFRadioBox* radio = SFCreateRadioBox(this);
        if (!radio)
            continue;
        radio->Create(L"", kControlStyle, spec.rect, GetUIWnd(), UINT(spec.id));
        ImageRadioBox skin{spec.images[0], spec.images[1], spec.images[2], spec.images[3],
                           spec.images[4], spec.images[5], spec.images[6], spec.images[7]};
        radio->SetSkin(&skin);
        if (spec.id == kMute)
            radio->SetCheck(1);
        radio->SetToolTipText(GetLangString(spec.toolTip));
        m_radios[spec.id] = radio;
    }
}

void CPlayBarEventImp::CreateButtons()
{
    for (const ButtonSpec& spec : kButtons) {
        CSFButton* button = SFCreateButton(nullptr);
        if (!button)
            continue;
        button->Create(L"", kControlStyle, spec.rect, GetUIWnd(), UINT(spec.id));
        ImageButtonStyle skin;
        skin.str0 = spec.images[0];
        skin.str1 = spec.images[1];
        skin.str2 = spec.images[2];
        skin.str3 = spec.images[3];
        button->SetSkin(&skin);
        button->SetToolTipText(GetLangString(spec.toolTip));
        (spec.id == kStop ? m_stop : spec.id == kPrevious ? m_previous : m_next) = button;
    }
    m_speedLabel = SFCreateStatic(nullptr);
    if (m_speedLabel) {
        m_speedLabel->Create(L"1X", kControlStyle, Rect(298, 16, 30, 25), GetUIWnd(), UINT(-1));
        m_speedLabel->SetTextAlignFlag(0x25);
        m_speedLabel->SetTextColor(0xFFFFFF);
        int width = 0;
        int height = 0;
        m_speedLabel->GetTextSize(width, height);
        m_speedLabel->MoveWindow(298, 16 + (31 - height) / 2, 30, 25);
    }
}

void CPlayBarEventImp::CreateSliders()
{
    m_speedSlider = SFCreateSliderCtrl(this);
    if (m_speedSlider) {
        m_speedSlider->Create(kControlStyle, Rect(333, 20, 116, 20), GetUIWnd(), kSpeedSlider, SLIDER_RESPONSE_CONTINUOUS);
        ImageSliderStyle skin = SliderSkin(L"slider_speed.png", 115);
        m_speedSlider->SetSkin(&skin);
        m_speedSlider->SetRange(0, kSpeedSteps - 1, 0);
        m_speedSlider->SetPos(kNormalSpeedStep);
        m_speedSlider->SetTooltipEnable(0);
    }
    m_volumeSlider = SFCreateSliderCtrl(this);
    if (m_volumeSlider) {
        m_volumeSlider->Create(kControlStyle, Rect(516, 20, 80, 20), GetUIWnd(), kVolumeSlider, SLIDER_RESPONSE_CONTINUOUS);
        ImageSliderStyle skin = SliderSkin(L"slider_volume.png", 80);
        m_volumeSlider->SetSkin(&skin);
        m_volumeSlider->SetRange(0, 100, 0);
        m_volumeSlider->SetPos(50);
    }
}

CSFRadioBox* CPlayBarEventImp::GetRadio(int id) const
{
    auto it = m_radios.find(id);
    return it == m_radios.end() ? nullptr : it->second;
}

CSFButton* CPlayBarEventImp::GetButton(int id) const
{
    return id == kStop ? m_stop : id == kPrevious ? m_previous : id == kNext ? m_next : nullptr;
}

int CPlayBarEventImp::IsPlaying() const
{
    return GetRadio(kPlayPause) ? GetRadio(kPlayPause)->GetCheck() : 0;
}

int CPlayBarEventImp::IsSyncPlay() const
{
    return GetRadio(kSyncPlay) ? GetRadio(kSyncPlay)->GetCheck() : 0;
}

std::wstring CPlayBarEventImp::SpeedLabel(int position)
{
    return position >= 0 && position < kSpeedSteps ? kSpeedStepTable[std::size_t(position)].label : L"1X";
}

float CPlayBarEventImp::SpeedFactor(int position)
{
    return position >= 0 && position < kSpeedSteps ? kSpeedStepTable[std::size_t(position)].factor : 1.0f;
}

float CPlayBarEventImp::GetSpeed()
{
    const int position = m_speedSlider ? m_speedSlider->GetPos() : kNormalSpeedStep;
    const bool reverse = GetRadio(kReverse) && GetRadio(kReverse)->GetCheck();
    if (m_speedLabel)
        m_speedLabel->SetStaticText(((reverse ? L"-" : L"") + SpeedLabel(position)).c_str());
    return SpeedFactor(position);
}

void CPlayBarEventImp::SetToolTip(int id, const wchar_t* key)
{
    if (CSFRadioBox* radio = GetRadio(id))
        radio->SetToolTipText(GetLangString(key));
    else if (CSFButton* button = GetButton(id))
        button->SetToolTipText(GetLangString(key));
}

void CPlayBarEventImp::SetPlayToolTips(int playing)
{
    SetToolTip(kPlayPause, playing ? L"Pause" : L"Play");
    SetToolTip(kPrevious, playing ? L"Previous Group" : L"Previous Frame");
    SetToolTip(kNext, playing ? L"Next Group" : L"Next Frame");
}

void CPlayBarEventImp::UpdateButtonState(int id, int check)
{
    CSFRadioBox* radio = GetRadio(id);
    if (!radio || id == kMute)
        return;
    radio->SetCheck(check);
    if (id == kRepeatOne)
        SetToolTip(kRepeatOne, check ? L"Sequence Play" : L"Repeat One");
    else if (id == kReverse)
        GetSpeed();
    else if (id == kPlayPause)
        SetPlayToolTips(check);
}

boost::shared_ptr<CPlayManagerUILogic> CPlayBarEventImp::UILogic() const
{
    boost::shared_ptr<CPlayWinManagerEventImp> owner = m_owner.lock();
    return owner ? owner->GetPlayManagerUILogic() : nullptr;
}

bool CPlayBarEventImp::RefusedWhileOpening(int id, int check)
{
    boost::shared_ptr<CPlayManagerUILogic> ui = UILogic();
    if (!ui || ui->GetWantedReturnNum() <= 0)
        return false;
    ShowNotifyMessage(GetLangString(L"This operation can't accomplish as the videos are opening now, please retry later!"),
                      true);
    if (CSFRadioBox* radio = GetRadio(id); radio && id != kRepeatOne)
        radio->SetCheck(check ? 0 : 1);
    return true;
}

void CPlayBarEventImp::RADIO_OnClicked(int check, int id, tagPOINT)
{
    boost::shared_ptr<CPlayManagerUILogic> ui = UILogic();
    if (!ui)
        return;
    if (id != kRepeatOne && RefusedWhileOpening(id, check))
        return;
    switch (id) {
    case kRepeatOne:
        ui->SetRepeatOne(check ? 1 : 0);
        SetToolTip(kRepeatOne, check && ui->GetRepeatOne() == 1 ? L"Sequence Play" : L"Repeat One");
        break;
    case kSyncPlay:
        ui->SetSynPlay(check ? 1 : 0);
        break;
    case kReverse:
        ui->SetPlayDirection(check ? 0 : 1);
        SF_OnSliderPos(kSpeedSlider, m_speedSlider ? m_speedSlider->GetPos() : kNormalSpeedStep);
        break;
    case kPlayPause:
        if (check) {
            ui->Pause(0, nullptr, -1);
        } else {
            if (boost::shared_ptr<CPlayWinManagerEventImp> owner = m_owner.lock(); owner && owner->GetVideoWindow())
                owner->GetVideoWindow()->SnapLastFrame(-1);
            ui->Pause(1, nullptr, -1);
        }
        SetPlayToolTips(check);
        break;
    case kMute:
        ui->SetMutePlay(check ? 0 : 1);
        break;
    default:
        break;
    }
}

void CPlayBarEventImp::SF_OnSliderPos(int id, int position)
{
    boost::shared_ptr<CPlayManagerUILogic> ui = UILogic();
    if (id == kSpeedSlider) {
        const float speed = GetSpeed();
        if (ui)
            ui->SetPlaySpeed(speed);
    } else if (id == kVolumeSlider && ui) {
        ui->SetPlayVolume(position);
    }
}

void CPlayBarEventImp::OnSFBtnStop()
{
    boost::shared_ptr<CPlayManagerUILogic> ui = UILogic();
    if (!ui)
        return;
    if (ui->GetWantedReturnNum() > 0) {
        SF_POST_TASK(LumivexBase::ML_MAIN, &CPlayBarEventImp::OnSFBtnStop, shared_from_this());
        return;
    }
    ui->CloseFiles(nullptr, -1);
}

void CPlayBarEventImp::OnSFBtnPrev()
{
    MoveToAdjacent(0);
}

void CPlayBarEventImp::OnSFBtnNext()
{
    MoveToAdjacent(1);
}

void CPlayBarEventImp::MoveToAdjacent(int direction)
{
    boost::shared_ptr<CPlayWinManagerEventImp> owner = m_owner.lock();
    boost::shared_ptr<CPlayManagerUILogic> ui = UILogic();
    if (!owner || !ui || RefusedWhileOpening(direction ? kNext : kPrevious, 0))
        return;
    if (!IsPlaying()) {
        ui->OneStepPlay(direction);
        return;
    }
    CSFVideoWindow* grid = owner->GetVideoWindow();
    boost::shared_ptr<CMainPageEventImp> page = owner->GetMainPage();
    const int window = grid ? grid->GetCurrentSubWinID() : -1;
    if (const _QUERY_FILE_INFO* entry = ui->GetWindowEntry(window)) {
        const _QUERY_FILE_INFO copy = *entry;
        void* item = MainPageFileList::FindFileItem(page, copy);
        if (copy.queryType == QUERY_FILEPATH_DAY) {
            if (!MainPageFileList::PlayAdjacentFile(page, item, direction, 1, -1) && direction == 0) {
                if (CSFRadioBox* sync = GetRadio(kSyncPlay))
                    sync->SetCheck(0);
                ui->SetSynPlay(0);
            }
        } else if (!MainPageFileList::PlayAdjacentFile(page, item, direction, 0, -1)) {
            ui->CloseFiles(nullptr, copy.window);
        }
        return;
    }
    const _QUERY_FILE_INFO* first = grid ? ui->GetWindowEntry(grid->GetSubWinIDByIndex(0)) : nullptr;
    if (first && first->queryType == QUERY_FILEPATH_DAY)
        MainPageFileList::PlayAdjacentFile(page, MainPageFileList::FindFileItem(page, *first), direction, 1, -1);
}
