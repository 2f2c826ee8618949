#include "Export/ExportViewEventImp.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include <boost/make_shared.hpp>

#include "Common/FileTreeLabels.h"
#include "Base/PostTask.h"
#include "Base/SFDateTime.h"
#include "Common/LangString.h"
#include "Common/SaveFolders.h"
#include "Common/UserMessages.h"
#include "Export/ExportSimplePlayerViewEventImp.h"
#include "Export/ExportTimeLineViewEventImp.h"
#include "Export/ExportViewExportLogic.h"
#include "Export/ExportViewPlayLogic.h"
#include "Export/ExportViewUILogic.h"
#include "Export/LocalTimeFields.h"
#include "FileIndex/FileIndexTypes.h"
#include "PageServices/FileIndexService.h"
#include "PageServices/PageHost.h"
#include "Widgets/PageComboStyle.h"
#include "Widgets/FileTreeStyle.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFDateTimeCtrl.h"
#include "Widgets/SFDialogEvent.h"
#include "Widgets/SFNumSpiner.h"
#include "Widgets/SFProgressCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"
#include "Widgets/SkinTextColour.h"

using namespace LumivexBase;

namespace {

constexpr DWORD kChild = 0x50010000;
constexpr int kExpand = 2;
constexpr int kKindDay = 0;
constexpr int kKindChannel = 1;
constexpr int kKindSingle = 2;
constexpr int kFolderRow = 520;

enum Label { kVideoPreview, kFiles, kSetup, kExportFormat, kStartDate, kStartTime, kEndDate, kEndTime,
             kInterval, kHours, kMinutes, kSeconds };
const wchar_t* const kLabelTexts[] = {L"Video Preview", L"Files", L"Setup", L"Export Format", L"Start Date",
                                      L"Start Time", L"End Date", L"End Time", L"Interval", L"h", L"m", L"s"};
enum Picker { kPickStartDate, kPickStartTime, kPickEndDate, kPickEndTime };

// Export-result texts by code.
const wchar_t* const kResultTexts[] = {L"No export file!", L"Export the end!", L"Export failed!",
                                       L"File is too large, export failed!"};
// Results that name files (kept in order until shown).
constexpr WPARAM kNamedResult = 4;
// Said before an export for the recordings the chosen format cannot be made
// of, by ExportRefusal; %1 stands for their names, joined by "\", \"".
const wchar_t* const kRefusalTexts[] = {
    L"\"%1\" cannot be exported as KVX: a part of an MP4 or AVI file does not play without the rest of "
    L"the file. Choose AVI, JPG or BMP.",
    L"\"%1\" cannot be exported: only H.264 and H.265 video can be cut to the chosen span."};
const wchar_t* const kNothingPlayableText = L"Export failed! Nothing in the span of \"%1\" plays.";

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return wchar_t(std::towlower(c)); });
    return text;
}

tagRECT Rect(int left, int top, int right, int bottom)
{
    return tagRECT{left, top, right, bottom};
}

bool ChooseFolderByDialog(void* parent, std::wstring& folder)
{
    std::vector<wchar_t> record(4 * kFolderRow, L'\0');
    wchar_t title[256] = {};
    if (!SFShowFileDialog(record.data(), title, 256, 0, 0, nullptr, 0, 0x800206, nullptr, parent))
        return false;
    folder = record.data() + 2 * kFolderRow;
    return true;
}

}  // namespace

SF_BEGIN_MESSAGE_MAP(CExportViewEventImp)
SF_ON_UI_MESSAGE(CExportViewEventImp::kExportResultMessage, OnExportResultMsg)
SF_END_MESSAGE_MAP()

// ---- creation and layout ----

boost::shared_ptr<CExportViewEventImp> CExportViewEventImp::Create(const boost::shared_ptr<IPageHost>& mainFrame)
{
    auto page = boost::make_shared<CExportViewEventImp>(mainFrame);
    // The main window is a dialog event object; its window parents the page.
    auto* frameEvents = dynamic_cast<ISFDialogEvent*>(mainFrame.get());
    page->CreateView(frameEvents ? frameEvents->GetUIWnd() : nullptr);
    page->CreateLogics();
    return page;
}

CExportViewEventImp::CExportViewEventImp(const boost::shared_ptr<IPageHost>& mainFrame) : m_mainFrame(mainFrame)
{
}

CExportViewEventImp::~CExportViewEventImp() = default;

void CExportViewEventImp::CreateView(void* parentWindow)
{
    m_view = SFCreateView(this);
    m_view->SetBackground(L"bg_monitor.png");
    m_view->SetBGClr(0xd0dae3);
    m_view->Create(nullptr, L"Export", 0x40000000, Rect(0, 0, 800, 600), parentWindow, kPageId);
}

void CExportViewEventImp::CreateLogics()
{
    m_uiLogic = boost::make_shared<CExportViewUILogic>();
    m_playLogic = boost::make_shared<CExportViewPlayLogic>();
    m_exportLogic = boost::make_shared<CExportViewExportLogic>();
    m_uiLogic->SetPage(shared_from_this());
    m_uiLogic->SetPlayLogic(m_playLogic);
    m_uiLogic->SetExportLogic(m_exportLogic);
    m_playLogic->SetUILogic(m_uiLogic);
    m_exportLogic->SetListener(m_uiLogic);
}

int CExportViewEventImp::OnCreate()
{
    m_player = CExportSimplePlayerViewEventImp::Create(shared_from_this(), GetUIWnd());
    CreateControls();
    ResetTimePickers();
    CreateSpinners();
    m_timeLine = CExportTimeLineViewEventImp::Create(shared_from_this(), GetUIWnd());
    return 1;
}

void CExportViewEventImp::CreateControls()
{
    UITreeCtrlStyle treeStyle = SFFileTreeStyle();
    treeStyle.str4 = L"434343";  // a darker ground than the other pages' trees
    m_tree = SFCreateTreeCtrl(this);
    m_tree->SetSkin(&treeStyle);
    m_tree->Create(0x10000004, Rect(0, 0, 300, 300), GetUIWnd(), kTreeId, 1);
    m_tree->ShowWindow(1);
    CreateLabels();

    ImageComboBoxStyle comboStyle = SFPageComboStyle();
    m_formatCombo = SFCreateComboBox(this);
    m_formatCombo->SetSkin(&comboStyle);
    m_formatCombo->Create(0x50010003, Rect(0, 0, 100, 200), GetUIWnd(), kFormatComboId);
    for (const wchar_t* format : {L"JPG", L"BMP", L"KVX", L"AVI"})
        m_formatCombo->AddString(format);
    m_formatCombo->SetCurSel(0);
    CreatePickers();
}

void CExportViewEventImp::CreateLabels()
{
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        m_labels[i] = SFCreateStatic(nullptr);
        m_labels[i]->Create(GetLangString(kLabelTexts[i]), 0x10010000, Rect(0, 0, 50, 24), GetUIWnd(), UINT(-1));
        m_labels[i]->SetTextAlignFlag(0x24);
        m_labels[i]->SetTextColor(kSkinTextColour);
    }
    for (Label bold : {kVideoPreview, kFiles, kSetup})
        m_labels[bold]->SetTextBold(1);
}

void CExportViewEventImp::CreatePickers()
{
    ImageDateTimeStyle style;
    style.str0 = L"bg_time_noal.png";
    style.str1 = L"bg_time_noal.png";  // the dates take typed input as the times do
    style.str2 = L"0,0,100,24";
    style.str3 = L"0,24,100,24";
    style.str4 = L"0,48,100,24";
    style.str5 = L"0,72,100,24";
    style.str10 = L"80,0,20,24";
    style.str11 = L"80,12,20,12";
    style.str12 = L"80,0,20,12";
    for (Picker date : {kPickStartDate, kPickEndDate}) {
        m_pickers[date] = SFCreateDateTimeCtrl(this, 1);
        m_pickers[date]->SetSkin(&style);
        m_pickers[date]->Create(kChild, Rect(0, 0, 100, 24), GetUIWnd(),
                                date == kPickStartDate ? kStartDateId : kEndDateId);
    }
    const wchar_t* timeFields[] = {L"bg_time_noal.png", L"bg_time_noal.png", L"0,0,100,24", L"0,0,100,24",
                                   L"0,24,100,24",     L"0,72,100,24",     L"0,0,100,24", L"0,0,100,24",
                                   L"0,48,100,24",     L"0,72,100,24"};
    std::wstring* fields[] = {&style.str0, &style.str1, &style.str2, &style.str3, &style.str4,
                              &style.str5, &style.str6, &style.str7, &style.str8, &style.str9};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = timeFields[i];
    for (Picker time : {kPickStartTime, kPickEndTime}) {
        m_pickers[time] = SFCreateDateTimeCtrl(this, 0);
        m_pickers[time]->SetSkin(&style);
        m_pickers[time]->Create(kChild, Rect(0, 0, 100, 24), GetUIWnd(),
                                time == kPickStartTime ? kStartTimeId : kEndTimeId);
    }
}

void CExportViewEventImp::CreateSpinners()
{
    ImageNumSpinerStyle style;
    style.str0 = L"spiner_time_normal.png";
    style.str1 = style.str2 = L"down_button_normal.png";
    style.str3 = L"down_button_press.png";
    style.str4 = L"down_button_disable.png";
    style.str8 = style.str9 = L"up_button_normal.png";
    style.str10 = L"up_button_press.png";
    style.str11 = L"up_button_disable.png";
    const int ids[] = {kHoursId, kMinutesId, kSecondsId};
    const int maxima[] = {23, 59, 59};
    const int defaults[] = {0, 0, 6};
    for (std::size_t i = 0; i < m_spinners.size(); ++i) {
        m_spinners[i] = SFCreateNumSpiner(this);
        m_spinners[i]->SetSkin(&style);
        m_spinners[i]->Create(L"", Rect(0, 0, 60, 24), GetUIWnd(), UINT(ids[i]));
        m_spinners[i]->SetRange(0, maxima[i]);
        m_spinners[i]->SetCurrentNum(defaults[i]);
        m_spinners[i]->ShowWindow(1);
        m_spinners[i]->SetCircleStep(1);
    }
}

void CExportViewEventImp::ResetTimePickers()
{
    SF_SOFT_BASE::CSFDateTime now;
    now.Now();
    SetPickers(now.ToTime(), 0);
    SetPickers(now.ToTime(), 1);
}

void CExportViewEventImp::OnSize(UINT, int cx, int cy)
{
    const int w = cx;
    const int h = cy;
    auto move = [](auto* control, tagRECT rect) {
        if (control)
            control->MoveWindow(&rect);
    };
    if (m_player)
        move(m_player->GetView(), Rect(30, 50, w - 430, h - 150));
    move(m_labels[kVideoPreview], Rect(30, 13, 110, 37));
    move(m_tree, Rect(w - 385, 50, w - 45, h - 350));
    move(m_labels[kFiles], Rect(w - 385, 13, w - 305, 37));
    move(m_labels[kSetup], Rect(w - 385, h - 337, w - 305, h - 313));
    move(m_labels[kExportFormat], Rect(w - 385, h - 300, w - 305, h - 276));
    move(m_formatCombo, Rect(w - 300, h - 300, w - 200, h - 278));
    move(m_labels[kStartDate], Rect(w - 385, h - 263, w - 335, h - 239));
    move(m_pickers[kPickStartDate], Rect(w - 330, h - 263, w - 230, h - 239));
    move(m_labels[kStartTime], Rect(w - 215, h - 263, w - 165, h - 239));
    move(m_pickers[kPickStartTime], Rect(w - 160, h - 263, w - 60, h - 239));
    move(m_labels[kEndTime], Rect(w - 215, h - 226, w - 165, h - 202));
    move(m_pickers[kPickEndTime], Rect(w - 160, h - 226, w - 60, h - 202));
    move(m_labels[kEndDate], Rect(w - 385, h - 226, w - 335, h - 202));
    move(m_pickers[kPickEndDate], Rect(w - 330, h - 226, w - 230, h - 202));
    move(m_labels[kInterval], Rect(w - 385, h - 189, w - 335, h - 165));
    move(m_spinners[0], Rect(w - 330, h - 189, w - 270, h - 165));
    move(m_labels[kHours], Rect(w - 265, h - 189, w - 235, h - 165));
    move(m_spinners[1], Rect(w - 233, h - 189, w - 173, h - 165));
    move(m_labels[kMinutes], Rect(w - 165, h - 189, w - 135, h - 165));
    move(m_spinners[2], Rect(w - 133, h - 189, w - 73, h - 165));
    move(m_labels[kSeconds], Rect(w - 65, h - 189, w - 35, h - 165));
    if (m_timeLine)
        move(m_timeLine->GetView(), Rect(0, h - 100, w, h));
}

// ---- file tree ----

int CExportViewEventImp::ChannelKeyOf(void* item) const
{
    return IsChannelItem(item) ? int(m_tree->GetItemData(item)) : -1;
}

bool CExportViewEventImp::IsChannelItem(void* item) const
{
    void* date = m_tree->GetParentItem(item);
    return date && m_tree->GetParentItem(date);
}

std::wstring CExportViewEventImp::ItemText(void* item, int size) const
{
    std::vector<wchar_t> text(std::size_t(size) + 1, L'\0');
    m_tree->GetTreeItemText(item, text.data(), size);
    return text.data();
}

void* CExportViewEventImp::FindTopItemByData(DWORD data) const
{
    for (void* item = m_tree->GetChildItem(SF_TVI_ROOT); item; item = m_tree->GetNextSiblingItem(item))
        if (m_tree->GetItemData(item) == data && !m_tree->ItemHasChildren(item))
            return item;
    return nullptr;
}

void* CExportViewEventImp::FindDateItem(void* group, int dayKey) const
{
    for (void* date = m_tree->GetChildItem(group); date; date = m_tree->GetNextSiblingItem(date))
        if (m_tree->GetItemData(date) == DWORD(dayKey))
            return date;
    return nullptr;
}

void* CExportViewEventImp::FindChannelItem(void* date, int channelKey) const
{
    for (void* channel = m_tree->GetChildItem(date); channel; channel = m_tree->GetNextSiblingItem(channel))
        if (ChannelKeyOf(channel) == channelKey)
            return channel;
    return nullptr;
}

// Groups stay above the single files, in the order they came.
void* CExportViewEventImp::InsertGroupItem(const std::wstring& group)
{
    void* after = SF_TVI_LAST;
    void* lastGroup = nullptr;
    for (void* item = m_tree->GetChildItem(SF_TVI_ROOT); item; item = m_tree->GetNextSiblingItem(item)) {
        if (m_tree->ItemHasChildren(item)) {
            lastGroup = item;
            continue;
        }
        after = lastGroup ? lastGroup : SF_TVI_FIRST;
        break;
    }
    void* item = m_tree->InsertItem(group.c_str(), SF_TVI_ROOT, after);
    m_tree->SetItemUserCheckable(item, 0);
    m_tree->SetItemData(item, 0);
    m_groups.Add(group, item);
    return item;
}

// Dates stay in ascending order of their text.
void* CExportViewEventImp::InsertDateItem(void* group, int dayKey)
{
    const std::wstring text = DayLabel(dayKey);
    void* after = SF_TVI_LAST;
    void* previous = nullptr;
    for (void* date = m_tree->GetChildItem(group); date; date = m_tree->GetNextSiblingItem(date)) {
        if (ItemText(date, 12) > text) {
            after = previous ? previous : SF_TVI_FIRST;
            break;
        }
        previous = date;
    }
    void* item = m_tree->InsertItem(text.c_str(), group, after);
    m_tree->SetItemData(item, DWORD(dayKey));
    return item;
}

void CExportViewEventImp::FillFileTree(boost::shared_ptr<std::list<_GROUP_FILE_INFO>> groups)
{
    if (!groups || !m_tree)
        return;
    for (const _GROUP_FILE_INFO& entry : *groups) {
        if (entry.IsSingleFile())
            continue;
        void* group = m_groups.Find(entry.groupName);
        if (!group)
            group = InsertGroupItem(entry.groupName);
        void* date = FindDateItem(group, entry.key);
        if (!date)
            date = InsertDateItem(group, entry.key);
        for (const auto& [channelKey, unused] : entry.channels) {
            if (FindChannelItem(date, channelKey))
                continue;
            void* channel = m_tree->InsertItem(ChannelLabel(channelKey).c_str(), date, SF_TVI_LAST);
            m_tree->SetItemData(channel, DWORD(channelKey));
        }
        m_tree->ExpandTreeItem(group, kExpand);
        m_tree->ExpandTreeItem(date, kExpand);
    }
}

void CExportViewEventImp::AddFiles(boost::shared_ptr<std::list<_SINGLE_FILE_INFO>> files)
{
    if (!files || !m_tree)
        return;
    for (const _SINGLE_FILE_INFO& file : *files) {
        if (FindTopItemByData(DWORD(file.fileId)))
            continue;
        const std::size_t slash = file.path.rfind(L'/');
        const std::wstring name = slash == std::wstring::npos ? file.path : file.path.substr(slash + 1);
        const std::size_t dot = name.rfind(L'.');
        if (dot == std::wstring::npos || Lower(name.substr(dot, 7)) != L".kvx")
            continue;
        void* item = m_tree->InsertItem(name.substr(0, dot).c_str(), SF_TVI_ROOT, SF_TVI_LAST);
        m_tree->SetItemData(item, DWORD(file.fileId));
        m_tree->SetToolTipText(item, name.c_str());
    }
}

void CExportViewEventImp::DeleteSelectedItem(boost::shared_ptr<std::list<_GROUP_FILE_INFO>>& items)
{
    if (!items || !m_tree)
        return;
    for (const _GROUP_FILE_INFO& entry : *items) {
        if (entry.IsSingleFile()) {
            // By file id: two files may share a name.
            void* item = FindTopItemByData(DWORD(entry.key));
            if (!item)
                continue;
            if (m_tree->GetCheck(item) == 1)
                m_uiLogic->DeleteSingleFile(entry.key);
            m_tree->DeleteItem(item);
            continue;
        }
        void* group = m_groups.Find(entry.groupName);
        void* date = group ? FindDateItem(group, entry.key) : nullptr;
        if (!date)
            continue;
        if (entry.channels.size() != m_tree->GetChildrenCount(date)) {
            for (const auto& [channelKey, unused] : entry.channels) {
                if (void* channel = FindChannelItem(date, channelKey)) {
                    m_uiLogic->DeleteChannel(entry.groupName, entry.key, channelKey);
                    m_tree->DeleteItem(channel);
                }
            }
            continue;
        }
        m_uiLogic->DeleteGroup(entry.groupName, entry.key);
        m_tree->DeleteItem(date);
        if (!m_tree->ItemHasChildren(group)) {
            m_groups.Remove(group);
            m_tree->DeleteItem(group);
        }
    }
}

boost::shared_ptr<std::list<_GROUP_FILE_INFO>> CExportViewEventImp::CheckedItems(bool hilightedOnly)
{
    auto items = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    if (!m_tree)
        return items;
    auto wanted = [&](void* item) {
        return m_tree->GetCheck(item) == 1 && (!hilightedOnly || m_tree->IsItemHilight(item));
    };
    for (void* top = m_tree->GetChildItem(SF_TVI_ROOT); top; top = m_tree->GetNextSiblingItem(top)) {
        if (!m_tree->ItemHasChildren(top)) {
            if (m_tree->GetItemData(top) && wanted(top))
                items->push_back({ItemText(top, 520), int(m_tree->GetItemData(top)), {}});
            continue;
        }
        for (void* date = m_tree->GetChildItem(top); date; date = m_tree->GetNextSiblingItem(date)) {
            _GROUP_FILE_INFO entry{m_groups.NameOf(top), int(m_tree->GetItemData(date)), {}};
            for (void* channel = m_tree->GetChildItem(date); channel; channel = m_tree->GetNextSiblingItem(channel))
                if (wanted(channel))
                    entry.channels[ChannelKeyOf(channel)] = channel;
            if (!entry.channels.empty())
                items->push_back(entry);
        }
    }
    return items;
}

boost::shared_ptr<std::list<_GROUP_FILE_INFO>> CExportViewEventImp::GetCheckedChannelNames()
{
    return CheckedItems(false);
}

boost::shared_ptr<std::list<_GROUP_FILE_INFO>> CExportViewEventImp::GetHilightCheckedChannelNames()
{
    return CheckedItems(true);
}

void CExportViewEventImp::OnItemDbClick(void* item, tagPOINT&)
{
    if (!IsChannelItem(item) || m_tree->GetCheck(item) != 1)
        return;
    if (!m_controlsEnabled) {
        ShowBusyMessage();
        return;
    }
    void* date = m_tree->GetParentItem(item);
    void* group = date ? m_tree->GetParentItem(date) : nullptr;
    if (group)
        m_uiLogic->PlayChannel(m_groups.NameOf(group), int(m_tree->GetItemData(date)), ChannelKeyOf(item));
}

void CExportViewEventImp::OnItemCheckStateChanged(void* item, int checked)
{
    const DWORD data = m_tree->GetItemData(item);
    void* parent = m_tree->GetParentItem(item);
    if (IsChannelItem(item)) {
        void* group = m_tree->GetParentItem(parent);
        const std::wstring groupName = m_groups.NameOf(group);
        const int dayKey = int(m_tree->GetItemData(parent));
        if (checked)
            m_uiLogic->OpenChannel(groupName, dayKey, ChannelKeyOf(item));
        else
            m_uiLogic->CloseChannel(groupName, dayKey, ChannelKeyOf(item));
    } else if (data && !parent) {  // a single file
        if (checked)
            m_uiLogic->OpenSingleFile(int(data));
        else
            m_uiLogic->CloseSingleFile(int(data));
    } else if (data && parent) {  // a date
        if (checked)
            m_uiLogic->OpenDay(m_groups.NameOf(parent), int(data));
        else
            m_uiLogic->CloseDay(m_groups.NameOf(parent), int(data));
    }
}

void CExportViewEventImp::OnItemCheckBoxClick(void* item, UINT checkable)
{
    if (!m_tree->GetParentItem(item) && m_tree->ItemHasChildren(item))
        return;  // a group
    if (!checkable)
        ShowBusyMessage();
}

void CExportViewEventImp::SelectChanged(int id, int index)
{
    if (id != kFormatComboId)
        return;
    const int enable = index == 2 || index == 3 ? 0 : 1;  // "KVX" and "AVI" take no interval
    for (CSFNumSpiner* spinner : m_spinners)
        spinner->EnableWindow(enable);
}

void CExportViewEventImp::SetTreeCheckable(int enable)
{
    m_controlsEnabled = enable;
    if (!m_tree)
        return;
    for (void* top = m_tree->GetChildItem(SF_TVI_ROOT); top; top = m_tree->GetNextSiblingItem(top)) {
        if (!m_tree->ItemHasChildren(top)) {
            m_tree->SetItemUserCheckable(top, enable);
            continue;
        }
        for (void* date = m_tree->GetChildItem(top); date; date = m_tree->GetNextSiblingItem(date)) {
            m_tree->SetItemUserCheckable(date, enable);
            for (void* channel = m_tree->GetChildItem(date); channel; channel = m_tree->GetNextSiblingItem(channel))
                m_tree->SetItemUserCheckable(channel, enable);
        }
    }
}

bool CExportViewEventImp::AllChildrenChecked(void* parent) const
{
    for (void* child = m_tree->GetChildItem(parent); child; child = m_tree->GetNextSiblingItem(child))
        if (m_tree->GetCheck(child) != 1)
            return false;
    return true;
}

bool CExportViewEventImp::AnyChildChecked(void* parent) const
{
    for (void* child = m_tree->GetChildItem(parent); child; child = m_tree->GetNextSiblingItem(child))
        if (m_tree->GetCheck(child) == 1)
            return true;
    return false;
}

void CExportViewEventImp::CheckChildren(void* parent, int check)
{
    for (void* child = m_tree->GetChildItem(parent); child; child = m_tree->GetNextSiblingItem(child))
        m_tree->SetCheck(child, check);
}

void CExportViewEventImp::HilightChildren(void* parent, int hilight)
{
    for (void* child = m_tree->GetChildItem(parent); child; child = m_tree->GetNextSiblingItem(child))
        m_tree->SetItemHilight(child, hilight);
}

bool CExportViewEventImp::FindItems(const std::wstring& group, int key, int kind, void*& groupItem,
                                    void*& dateItem) const
{
    if (!m_tree)
        return false;
    if (kind == kKindSingle) {
        groupItem = FindTopItemByData(DWORD(key));
        return groupItem != nullptr;
    }
    groupItem = m_groups.Find(group);
    dateItem = groupItem ? FindDateItem(groupItem, key) : nullptr;
    return dateItem != nullptr;
}

void CExportViewEventImp::SetTreeItemCheck(const std::wstring& group, int key, int channelKey, int kind, int check)
{
    void* groupItem = nullptr;
    void* date = nullptr;
    if (!FindItems(group, key, kind, groupItem, date))
        return;
    if (kind == kKindSingle) {
        m_tree->SetCheck(groupItem, check);
        return;
    }
    if (kind == kKindDay) {
        CheckChildren(date, check);
        m_tree->SetCheck(date, check);
        m_tree->SetCheck(groupItem, check && AllChildrenChecked(groupItem) ? 1 : 0);
        return;
    }
    void* channel = FindChannelItem(date, channelKey);
    if (!channel)
        return;
    if (check) {
        m_tree->SetItemUserCheckable(date, 1);
        m_tree->SetCheck(channel, 1);
        if (AllChildrenChecked(date))
            m_tree->SetCheck(date, 1);
        if (AllChildrenChecked(groupItem))
            m_tree->SetCheck(groupItem, 1);
        return;
    }
    m_tree->SetCheck(channel, 0);
    m_tree->SetCheck(groupItem, 0);
    m_tree->SetCheck(date, 0);
    if (!AnyChildChecked(date))
        m_tree->SetItemHilight(date, 0);
    if (!AnyChildChecked(groupItem))
        m_tree->SetItemHilight(groupItem, 0);
}

void CExportViewEventImp::SetTreeItemHilight(const std::wstring& group, int key, int channelKey, int kind,
                                             int hilight)
{
    void* groupItem = nullptr;
    void* date = nullptr;
    if (!FindItems(group, key, kind, groupItem, date))
        return;
    if (kind == kKindSingle) {
        m_tree->SetItemHilight(groupItem, hilight);
        return;
    }
    if (kind == kKindDay) {
        HilightChildren(date, hilight);
        m_tree->SetItemHilight(date, hilight);
        m_tree->SetItemHilight(groupItem, hilight && AllChildrenChecked(groupItem) ? 1 : 0);
        return;
    }
    void* channel = FindChannelItem(date, channelKey);
    if (!channel)
        return;
    m_tree->SetItemHilight(channel, hilight);
    if (hilight) {
        m_tree->SetItemHilight(date, 1);
        m_tree->SetItemHilight(groupItem, 1);
    }
}

void CExportViewEventImp::ShowBusyMessage()
{
    const wchar_t* text = nullptr;
    switch (m_uiLogic ? m_uiLogic->GetBusyState() : 0) {
    case 1:
    case 3:
    case 5: text = L"This operation can't accomplish as the videos are opening now, please retry later!"; break;
    case 2:
    case 4:
    case 6: text = L"This operation can't accomplish as the videos are closing now, please retry later!"; break;
    case 7: text = L"This operation can't accomplish as the videos are playing now, please retry later!"; break;
    default: return;
    }
    ShowNotifyMessage(GetLangString(text), true);
}

// ---- main window, file logic and tab bar ----

void CExportViewEventImp::UpdateFileManager(const boost::shared_ptr<IFileIndexService>& fileIndex)
{
    if (fileIndex)
        PostTaskToLoop(ML_HELPER, MakeTask(&IFileIndexService::Task_GetFileManager, fileIndex),
                       ".\\Export\\ExportViewEventImp", 647, "&CMainFrameHelpLogic::Task_GetFileManager",
                       "CExportViewEventImp::UpdateFileManager");
}

void CExportViewEventImp::SetFileManager(boost::shared_ptr<CFileManager>& fileManager)
{
    m_uiLogic->SetFileManager(fileManager);
}

int CExportViewEventImp::IsExporting() const
{
    return m_uiLogic->IsExporting();
}

bool CExportViewEventImp::NothingToClose() const
{
    return !m_uiLogic->IsExporting() && m_uiLogic->HasNoPlayHandle();
}

void CExportViewEventImp::StartClosing()
{
    m_uiLogic->SaveRefAll();
    m_uiLogic->DeleteFilesAll();
    m_uiLogic->StopExport();
}

void CExportViewEventImp::ProcDestroy()
{
    m_closing = 1;
    if (!NothingToClose()) {
        StartClosing();
        return;
    }
    m_closeReported = true;
    if (auto mainFrame = m_mainFrame.lock())
        mainFrame->Task_OnCloseSuccess(kPageNumber);
}

void CExportViewEventImp::CloseAll()
{
    if (NothingToClose()) {
        if (auto mainFrame = m_mainFrame.lock())
            mainFrame->ResetPageTab(kTabId);
        return;
    }
    if (m_leavePending)
        return;
    m_leavePending = 1;
    StartClosing();
}

// Completes a close or a leave that was asked for, once.
void CExportViewEventImp::ResetAfterExport()
{
    auto mainFrame = m_mainFrame.lock();
    if (m_closing) {
        if (m_closeReported)
            return;
        m_closeReported = true;
        if (mainFrame)
            mainFrame->Task_OnCloseSuccess(kPageNumber);
    } else if (m_leavePending) {
        m_leavePending = 0;
        if (mainFrame)
            mainFrame->ResetPageTab(kTabId);
    } else {
        return;
    }
    if (m_player) {
        m_player->SetPlayState(0);
        m_player->SetSpeedPosition(CExportSimplePlayerViewEventImp::kDefaultSpeedPosition);
    }
}

// ---- player, time line and pickers ----

CSFVideoWindow* CExportViewEventImp::GetVideoWindow()
{
    return m_player ? m_player->GetVideoWindow() : nullptr;
}

boost::shared_ptr<IExportTimeLine> CExportViewEventImp::GetTimeLineView()
{
    return m_timeLine;
}

std::uint32_t CExportViewEventImp::PickerTime(int dateIndex, int timeIndex) const
{
    _SF_SYSTEMTIME date{};
    _SF_SYSTEMTIME time{};
    m_pickers[std::size_t(dateIndex)]->GetDate(&date);
    m_pickers[std::size_t(timeIndex)]->GetTime(&time);
    return SF_SOFT_BASE::CSFDateTime(date.wYear, date.wMonth, date.wDay, time.wHour, time.wMinute, time.wSecond)
        .ToTime();
}

void CExportViewEventImp::SetPickers(unsigned int time, int which)
{
    _SF_SYSTEMTIME value = LocalTimeFields<_SF_SYSTEMTIME>(time);
    if (m_pickers[which ? kPickEndDate : kPickStartDate])
        m_pickers[which ? kPickEndDate : kPickStartDate]->SetDate(&value);
    if (m_pickers[which ? kPickEndTime : kPickStartTime])
        m_pickers[which ? kPickEndTime : kPickStartTime]->SetTime(&value);
}

void CExportViewEventImp::SetCutTime(unsigned int time, int which)
{
    if (m_timeLine)
        m_timeLine->SetCutMark(which ? 1 : 0, time);
    SetPickers(time, which);
}

void CExportViewEventImp::OnCutTimeChanged(unsigned int time, int which)
{
    SetPickers(time, which);
    m_uiLogic->Seek(time, which);
}

void CExportViewEventImp::ShowPlaying(int lineId)
{
    if (m_timeLine)
        m_timeLine->SetHighlightChannel(lineId);
    if (m_player)
        m_player->SetPlayState(1);
}

void CExportViewEventImp::ResetPlayButton()
{
    if (m_player)
        m_player->SetPlayState(0);
}

void CExportViewEventImp::PauseFromPlayer()
{
    if (CSFVideoWindow* window = GetVideoWindow())
        window->SnapLastFrame(-1);
    m_uiLogic->Pause();
}

int CExportViewEventImp::SetPlaySpeed(float speed)
{
    m_uiLogic->SetPlaySpeed(speed);
    return 1;
}

// ---- export run ----

void CExportViewEventImp::OnExportButton(int start)
{
    if (!m_controlsEnabled) {
        ShowBusyMessage();
        return;
    }
    if (!start) {
        m_uiLogic->StopExport();
        return;
    }
    const std::uint32_t begin = PickerTime(kPickStartDate, kPickStartTime);
    const std::uint32_t end = PickerTime(kPickEndDate, kPickEndTime);
    if (end < begin) {
        ShowMessageBox(GetLangString(L"Wrong time,please reset!"), L"", 0);
        return;
    }
    std::wstring folder;
    const bool chosen = m_chooseFolder ? m_chooseFolder(folder) : ChooseFolderByDialog(GetUIWnd(), folder);
    if (!chosen)
        return;
    if (folder.size() > kMaxFolderLength) {
        ShowMessageBox(GetLangString(L"The path is too long. Please select again!"), GetLangString(L"Prompt"), 0);
        return;
    }
    const std::uint32_t interval = std::uint32_t(m_spinners[0]->GetCurrentNum() * 3600 +
                                                 m_spinners[1]->GetCurrentNum() * 60 +
                                                 m_spinners[2]->GetCurrentNum());
    m_uiLogic->StartExport(m_formatCombo->GetCurSel(), folder, begin, end, interval);
}

void CExportViewEventImp::PostExportResult(int code)
{
    SFPostMessage(GetUIWnd(), kExportResultMessage, WPARAM(code));
}

void CExportViewEventImp::PostNoExportFile() { PostExportResult(0); }
void CExportViewEventImp::PostExportFailed(const std::wstring& folder)
{
    const std::wstring failed = GetLangString(kResultTexts[2]);
    const std::wstring said = WithFolderProblem(failed, folder);
    if (said == failed) {
        PostExportResult(2);
        return;
    }
    m_namedResults.push_back(said);
    PostExportResult(kNamedResult);
}
void CExportViewEventImp::PostFileTooLarge() { PostExportResult(3); }

void CExportViewEventImp::PostCannotExport(const std::vector<std::wstring>& fileNames, ExportRefusal reason)
{
    std::wstring names;
    for (const std::wstring& name : fileNames)
        names += (names.empty() ? L"" : L"\", \"") + name;
    PostNamedResult(kRefusalTexts[int(reason)], names);
}

void CExportViewEventImp::PostNothingPlayable(const std::wstring& fileName)
{
    PostNamedResult(kNothingPlayableText, fileName);
}

void CExportViewEventImp::PostNamedResult(const wchar_t* text, const std::wstring& names)
{
    std::wstring said = GetLangString(text);
    const std::size_t at = said.find(L"%1");
    if (at != std::wstring::npos)
        said.replace(at, 2, names);
    m_namedResults.push_back(said);
    PostExportResult(kNamedResult);
}

void CExportViewEventImp::OnExportResultMsg(WPARAM wParam, LPARAM)
{
    if (wParam == kNamedResult) {  // shown once for each posted
        if (m_namedResults.empty())
            return;
        const std::wstring text = m_namedResults.front();
        m_namedResults.pop_front();
        ShowMessageBox(text.c_str(), GetLangString(L"Prompt"), 0);
        return;
    }
    if (wParam < std::size(kResultTexts))
        ShowMessageBox(GetLangString(kResultTexts[wParam]), GetLangString(L"Prompt"), 0);
}

void CExportViewEventImp::OnExportStarted()
{
    m_player->SetExportButtonText(GetLangString(L"Stop Export"));
    m_formatCombo->EnableWindow(0);
    m_player->GetProgressCtrl()->SetTextVisible(1);
}

void CExportViewEventImp::OnExportStopped()
{
    m_player->SetExportButtonText(GetLangString(L"Begin Export"));
    m_player->EnableExportButton(1);
    m_formatCombo->EnableWindow(1);
    ShowPreparing(false);
    m_player->SetProgressPos(0);
    m_player->GetProgressCtrl()->SetTextVisible(0);
}

void CExportViewEventImp::OnExportFinished()
{
    OnExportStopped();
    PostExportResult(1);
}

void CExportViewEventImp::SetExportProgress(int percent)
{
    ShowPreparing(false);
    m_player->SetProgressPos(percent);
}

void CExportViewEventImp::SetPrepareProgress(int percent)
{
    ShowPreparing(true);
    m_player->SetProgressPos(percent);
}

void CExportViewEventImp::ShowPreparing(bool preparing)
{
    if (preparing == m_preparing)
        return;
    m_preparing = preparing;
    const std::wstring text = preparing ? std::wstring(GetLangString(L"Preparing")) + L" %p%" : L"%p%";
    m_player->GetProgressCtrl()->SetTextFormat(text.c_str());
}

void CExportViewEventImp::DisableExportButton()
{
    m_player->EnableExportButton(0);
}
