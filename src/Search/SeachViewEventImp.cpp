#include "Search/SeachViewEventImp.h"

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "PageServices/PageHost.h"
#include "Search/SearchControls.h"
#include "Search/SearchSimplePlayerEventImp.h"
#include "Search/SearchTimeLineViewImp.h"
#include "Widgets/FileTreeStyle.h"
#include "Widgets/PlayerSkins.h"
#include "Widgets/SFWidgetFactory.h"

namespace {

constexpr UINT kLeftAlignedLine = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
constexpr DWORD kTreeLinesAtRoot = 0x4;
constexpr DWORD kStaticEdge = 0x20000;  // extended style: a sunken edge
constexpr UINT kFrameChanged = 0x20;
// Titles and criteria texts stand on the dark page background.
constexpr UINT kPageTextColour = 0xD7DCE3;

enum ControlId : UINT {
    kViewId = 104,
    kLabelId = 505,
    kFileTreeId = 509,
    kStartDateId = 510,
    kEndDateId = 511,
    kStartTimeId = 512,
    kEndTimeId = 513,
    kSearchTypeMDId = 514,
    kStartDetectId = 515,
    kProgressId = 516,
    kEventListId = 517,
};

enum DateTimeFormat { kTimeFormat = 0, kDateFormat = 1 };

ImageDateTimeStyle DateTimeSkin()
{
    ImageDateTimeStyle s;
    s.str0 = s.str1 = L"bg_time_noal.png";
    s.str2 = s.str3 = L"down_button_normal.png";
    s.str4 = L"down_button_press.png";
    s.str5 = L"down_button_disable.png";
    s.str6 = s.str7 = L"up_button_normal.png";
    s.str8 = L"up_button_press.png";
    s.str9 = L"up_button_disable.png";
    s.str10 = L"80,0,20,24";
    s.str11 = L"80,12,20,12";
    s.str12 = L"80,0,20,12";
    return s;
}

UIImagePanelStyle EventListSkin()
{
    UIImagePanelStyle s;
    s.str0 = L"/Skin/SB_H_Dis.png";
    s.str1 = L"/Skin/SB_H_Dn.png";
    s.str2 = L"/Skin/SB_H_Hot.png";
    s.str3 = L"/Skin/SB_H_Up.png";
    s.str4 = L"/Skin/SB_V_Dis.png";
    s.str5 = L"/Skin/SB_V_Dn.png";
    s.str6 = L"/Skin/SB_V_Hot.png";
    s.str7 = L"/Skin/SB_V_Up.png";
    s.str8 = GetLangString(L"Search type");
    s.str9 = GetLangString(L"File name");
    s.str10 = GetLangString(L"Start Time");
    s.str11 = GetLangString(L"End Time");
    s.str12 = L"A2A8B2";
    s.str15 = L"353B48";
    s.n0 = 63;
    s.n1 = 100;
    s.n2 = s.n3 = s.n4 = 6;
    return s;
}

CSFStatic* CreateLabel(const wchar_t* key, void* parent)
{
    CSFStatic* label = SFCreateStatic(nullptr);
    if (label) {
        label->Create(GetLangString(key), kSearchControlStyle, tagRECT{0, 0, 50, 24}, parent, kLabelId);
        label->SetTextAlignFlag(kLeftAlignedLine);
        label->SetTextColor(kPageTextColour);
    }
    return label;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CSeachViewEventImp)
SF_ON_COMMAND(kStartDetectId, OnStartDetect)
SF_END_MESSAGE_MAP()

CSeachViewEventImp::CSeachViewEventImp(const boost::shared_ptr<IPageHost>& host) : m_host(host) {}

CSeachViewEventImp::~CSeachViewEventImp()
{
    // Dropped while its view still lives (the main window not yet gone): the
    // view and its controls report to this page, so they go with it.
    if (GetUIWnd())
        delete m_pView;
    m_pView = nullptr;
}

boost::shared_ptr<CSeachViewEventImp> CSeachViewEventImp::Create(const boost::shared_ptr<IPageHost>& host,
                                                                 void* hostWindow)
{
    auto page = boost::make_shared<CSeachViewEventImp>(host);
    page->CreateView(hostWindow);
    return page;
}

int CSeachViewEventImp::CreateView(void* hostWindow)
{
    m_pView = SFCreateView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBackground(L"bg_monitor.png");
    m_pView->SetBGClr(0xDED8D5);
    m_pView->Create(nullptr, L"Search", WS_CHILD, tagRECT{0, 0, 1000, 640}, hostWindow, kViewId);
    return 0;
}

int CSeachViewEventImp::OnCreate()
{
    m_player = CSearchSimplePlayerEventImp::Create(shared_from_this());
    CreateTree();
    CreateLabels();
    CreateDateTimeControls();
    CreateSearchType();
    CreateStartDetect();
    CreateProgress();
    CreateEventList();
    m_timeLine = CSearchTimeLineViewImp::Create(shared_from_this());
    return 1;
}

void CSeachViewEventImp::CreateTree()
{
    UITreeCtrlStyle skin = SFFileTreeStyle();
    if ((m_pFileTree = SFCreateTreeCtrl(this))) {
        m_pFileTree->SetSkin(&skin);
        m_pFileTree->Create(WS_VISIBLE | kTreeLinesAtRoot, tagRECT{0, 0, 300, 300}, GetUIWnd(), kFileTreeId, 1);
        m_pFileTree->ShowWindow(1);
    }
}

void CSeachViewEventImp::CreateLabels()
{
    m_pVideoPreviewLabel = CreateLabel(L"Video Preview", GetUIWnd());
    m_pFilesLabel = CreateLabel(L"Files", GetUIWnd());
    m_pEventListLabel = CreateLabel(L"Event List", GetUIWnd());
    for (CSFStatic* title : {m_pVideoPreviewLabel, m_pFilesLabel, m_pEventListLabel})
        if (title)
            title->SetTextBold(1);
    m_pStartDateLabel = CreateLabel(L"Start Date", GetUIWnd());
    m_pStartTimeLabel = CreateLabel(L"Start Time", GetUIWnd());
    m_pEndDateLabel = CreateLabel(L"End Date", GetUIWnd());
    m_pEndTimeLabel = CreateLabel(L"End Time", GetUIWnd());
    m_pSearchTypeLabel = CreateLabel(L"Search type", GetUIWnd());
}

void CSeachViewEventImp::CreateDateTimeControls()
{
    ImageDateTimeStyle skin = DateTimeSkin();
    struct Picker {
        CSFDateTimeCtrl** control;
        DateTimeFormat format;
        UINT id;
        bool editable;
    };
    const Picker pickers[] = {{&m_pStartDate, kDateFormat, kStartDateId, false},
                              {&m_pEndDate, kDateFormat, kEndDateId, false},
                              {&m_pStartTime, kTimeFormat, kStartTimeId, true},
                              {&m_pEndTime, kTimeFormat, kEndTimeId, true}};
    for (const Picker& p : pickers) {
        CSFDateTimeCtrl* control = *p.control = SFCreateDateTimeCtrl(this, p.format);
        if (!control)
            continue;
        control->SetSkin(&skin);
        control->Create(WS_CHILD | kSearchControlStyle, tagRECT{0, 0, 100, 24}, GetUIWnd(), p.id);
        if (!p.editable)
            control->EnableWindow(0);
    }
}

void CSeachViewEventImp::CreateSearchType()
{
    ImageRadioBox skin = MakeSearchRadioSkin({L"Checkbox.png", L"Checkbox.png", L"Checkbox.png", L"Uncheckbox.png",
                                              L"Uncheckbox.png", L"Uncheckbox.png", L"Checkbox.png",
                                              L"Uncheckbox.png"});
    if ((m_pSearchTypeMD = SFCreateRadioBox(this))) {
        m_pSearchTypeMD->SetSkin(&skin);
        m_pSearchTypeMD->Create(GetLangString(L"MD"), kSearchControlStyle, tagRECT{0, 0, 70, 24}, GetUIWnd(),
                                kSearchTypeMDId);
        m_pSearchTypeMD->SetCheck(1);
        m_pSearchTypeMD->SetTextAlign(kLeftAlignedLine);
        m_pSearchTypeMD->SetTextColor(kPageTextColour);
    }
}

void CSeachViewEventImp::CreateStartDetect()
{
    ImageButtonStyle skin = MakeSearchButtonSkin(L"btn_commongnor.png", L"btn_commongnor.png", L"btn_commondown.png");
    if ((m_pStartDetect = SFCreateButton(this))) {
        m_pStartDetect->SetSkin(&skin);
        m_pStartDetect->Create(GetLangString(L"Start Detect"), kSearchControlStyle, tagRECT{0, 0, 100, 24},
                               GetUIWnd(), kStartDetectId);
    }
}

void CSeachViewEventImp::CreateProgress()
{
    ImageProgressCtrlStyle skin = SFProgressBarStyle();
    if ((m_pProgress = SFCreateProgressCtrl(nullptr))) {
        m_pProgress->SetSkin(&skin);
        m_pProgress->Create(kSearchControlStyle, tagRECT{0, 0, 100, 11}, GetUIWnd(), kProgressId);
        m_pProgress->SetRange(0, 100);
        m_pProgress->SetPos(0);
        m_pProgress->ModifyStyleEx(kStaticEdge, 0, kFrameChanged);
        m_pProgress->ShowWindow(1);
    }
}

void CSeachViewEventImp::CreateEventList()
{
    UIImagePanelStyle skin = EventListSkin();
    if ((m_pEventList = SFCreateImagePanel(this))) {
        m_pEventList->SetSkin(&skin);
        m_pEventList->Create(L"", tagRECT{0, 0, 600, 100}, GetUIWnd(), kEventListId);
        m_pEventList->ShowWindow(1);
    }
}

void CSeachViewEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_pView || !m_pVideoPreviewLabel || !m_player || !m_player->GetView() || !m_pFileTree || !m_pFilesLabel ||
        !m_pEventListLabel)
        return;
    PlaceSearchControl(m_player->GetView(), {30, 50, cx - 430, cy - 230});
    PlaceSearchControl(m_pVideoPreviewLabel, {30, 13, 110, 37});
    PlaceSearchControl(m_pFileTree, {cx - 385, 50, cx - 45, cy - 380});
    PlaceSearchControl(m_pFilesLabel, {cx - 385, 13, cx - 305, 37});
    PlaceSearchControl(m_pEventListLabel, {30, cy - 224, 110, cy - 200});
    PlaceSearchControl(m_pStartDateLabel, {cx - 385, cy - 367, cx - 335, cy - 343});
    PlaceSearchControl(m_pStartDate, {cx - 330, cy - 367, cx - 230, cy - 343});
    PlaceSearchControl(m_pStartTimeLabel, {cx - 215, cy - 367, cx - 165, cy - 343});
    PlaceSearchControl(m_pStartTime, {cx - 160, cy - 367, cx - 60, cy - 343});
    PlaceSearchControl(m_pEndTimeLabel, {cx - 215, cy - 330, cx - 165, cy - 306});
    PlaceSearchControl(m_pEndTime, {cx - 160, cy - 330, cx - 60, cy - 306});
    PlaceSearchControl(m_pEndDateLabel, {cx - 385, cy - 330, cx - 335, cy - 306});
    PlaceSearchControl(m_pEndDate, {cx - 330, cy - 330, cx - 230, cy - 306});
    PlaceSearchControl(m_pSearchTypeLabel, {cx - 385, cy - 293, cx - 320, cy - 269});
    PlaceSearchControl(m_pSearchTypeMD, {cx - 315, cy - 293, cx - 225, cy - 269});
    PlaceSearchControl(m_pProgress, {cx - 385, cy - 251, cx - 175, cy - 240});
    PlaceSearchControl(m_pStartDetect, {cx - 162, cy - 259, cx - 62, cy - 231});
    PlaceSearchControl(m_pEventList, {30, cy - 194, cx - 45, cy - 106});
    if (m_timeLine)
        PlaceSearchControl(m_timeLine->GetView(), {0, cy - 100, cx, cy});
}

void CSeachViewEventImp::BTN_OnLButtonDown(int, UINT, tagPOINT)
{
    if (m_pStartDetect)
        m_pStartDetect->SetTextColor(0xFFFFFF);
}

void CSeachViewEventImp::BTN_OnLButtonUp(int, UINT, tagPOINT)
{
    if (m_pStartDetect)
        m_pStartDetect->SetTextColor(0);
}

// "MD" is the only search type: a click leaves it chosen.
void CSeachViewEventImp::RADIO_OnClicked(int checked, int id, tagPOINT)
{
    if (id == static_cast<int>(kSearchTypeMDId) && !checked && m_pSearchTypeMD)
        m_pSearchTypeMD->SetCheck(1);
}
