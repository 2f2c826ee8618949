#include "Main/FileListEventImp.h"

#include <cstdio>
#include <cwchar>
#include <map>
#include <set>

#include <boost/make_shared.hpp>

#include "Common/FileTreeLabels.h"
#include "Base/MessageLoopIds.h"
#include "Base/PostTask.h"
#include "Common/FileNameHelpers.h"
#include "Common/LangString.h"
#include "Common/UserMessages.h"
#include "FileIndex/NamingRuleParser.h"
#include "Main/FileListOwner.h"
#include "Main/MainFrameHelpLogic.h"
#include "Main/MainFrameUILogic.h"
#include "Widgets/FileTreeStyle.h"
#include "Widgets/SFRadioBox.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

using FileIndexKeys::GetChannelNumber;
using FileIndexKeys::GetStreamIndex;

namespace {

constexpr const char* kSourceText = ".\\Main\\FileList";
constexpr UINT kExpand = 2;
constexpr UINT kSpaceKey = 32;

const wchar_t* IconOfFileType(int type)
{
    switch (type) {
    case 2: return L"avi.png";
    case 3: return L"mp4.png";
    case 4: return L"ps.png";
    case 5: return L"ts.png";
    default: return L"kvx.png";
    }
}

void NotifyAlreadyPlaying()
{
    ShowNotifyMessage(GetLangString(L"Already Playing!"), true);
}

}  // namespace

boost::shared_ptr<CFileListEventImp> CFileListEventImp::Create(const boost::shared_ptr<IFileListOwner>& owner)
{
    boost::shared_ptr<CFileListEventImp> panel(new CFileListEventImp(owner));
    panel->CreateView();
    return panel;
}

CFileListEventImp::CFileListEventImp(const boost::shared_ptr<IFileListOwner>& owner) : m_owner(owner) {}

// The widgets belong to the widget hierarchy.
CFileListEventImp::~CFileListEventImp() = default;

void CFileListEventImp::CreateView()
{
    boost::shared_ptr<IFileListOwner> owner = m_owner.lock();
    m_view = SFCreateView(this);
    if (!m_view)
        return;
    m_view->SetBackground(L"bg_tabbar.png");
    m_view->Create(nullptr, L"FileList", 0x50000000, tagRECT{0, 0, 100, 500},
                   owner ? owner->GetFileListParentWnd() : nullptr, kViewId);
}

int CFileListEventImp::OnCreate()
{
    m_tree = SFCreateTreeCtrl(this);
    if (m_tree) {
        m_tree->Create(0x10000004, tagRECT{0, 0, 100, 100}, GetUIWnd(), kTreeId, 1);
        UITreeCtrlStyle style = SFFileTreeStyle();
        style.str7 = style.str8 = L"mac_close_nor.png";
        m_tree->SetSkin(&style);
    }
    m_radio = SFCreateRadioBox(this);
    if (m_radio) {
        ImageRadioBox skin;
        skin.str0 = skin.str1 = skin.str2 = skin.str6 = L"btn_listContract.png";
        skin.str3 = skin.str4 = skin.str5 = skin.str7 = L"btn_listExpend.png";
        m_radio->SetSkin(&skin);
        m_radio->Create(L"", 0x10010000, tagRECT{0, 0, 15, 99}, GetUIWnd(), kRadioId);
        m_radio->SetCheck(1);
    }
    return 1;
}

void CFileListEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_tree)
        return;
    m_tree->MoveWindow(0, 0, cx - 16, cy);
    if (m_radio)
        m_radio->MoveWindow(cx - 15, (cy - 100) / 2, 15, 100);
}

void CFileListEventImp::RADIO_OnClicked(int checked, int, tagPOINT)
{
    boost::shared_ptr<IFileListOwner> owner = m_owner.lock();
    if (!owner)
        return;
    owner->ShowFileList(checked);
    if (m_view)
        m_view->SetBackground(checked ? L"bg_tabbar.png" : L"bg_monitor.png");
}

void CFileListEventImp::OnDlgKeyDown(UINT modifiers, UINT key)
{
    if (key != kSpaceKey)
        return;
    if (boost::shared_ptr<IFileListOwner> owner = m_owner.lock())
        owner->PassKeyToMainFrame(modifiers, kSpaceKey);
}

// Texts and kinds of the items.

CFileListEventImp::ItemKind CFileListEventImp::KindOf(void* item) const
{
    if (!item || !m_tree)
        return ItemKind::None;
    void* parent = m_tree->GetParentItem(item);
    if (!parent)
        return m_tree->GetItemData(item) != 0 ? ItemKind::Single : ItemKind::Group;
    return m_tree->GetParentItem(parent) ? ItemKind::Channel : ItemKind::Date;
}

std::wstring CFileListEventImp::TextOf(void* item) const
{
    if (!item || !m_tree)
        return {};
    // Read whole, however long the text is.
    std::wstring text(1024, L'\0');
    for (;;) {
        m_tree->GetTreeItemText(item, text.data(), static_cast<int>(text.size()));
        const std::size_t length = std::wcslen(text.c_str());
        if (length + 1 < text.size())
            return text.substr(0, length);
        text.assign(text.size() * 4, L'\0');
    }
}

void* CFileListEventImp::FirstChild(void* item) const
{
    return m_tree->GetChildItem(item);
}

void* CFileListEventImp::LastChild(void* item) const
{
    void* child = m_tree->GetChildItem(item);
    for (void* next = child; next; next = m_tree->GetNextSiblingItem(next))
        child = next;
    return child;
}

std::wstring CFileListEventImp::GroupNameOf(void* item) const
{
    return m_groupItems.NameOf(item);
}

void* CFileListEventImp::FindGroupItem(const std::wstring& name) const
{
    return m_groupItems.Find(name);
}

void* CFileListEventImp::FindSingleItem(int fileId) const
{
    auto found = m_singleItems.find(fileId);
    return found == m_singleItems.end() ? nullptr : found->second;
}

void CFileListEventImp::DeleteItem(void* item)
{
    switch (KindOf(item)) {
    case ItemKind::Group:
        m_groupItems.Remove(item);
        break;
    case ItemKind::Single:
        m_singleItems.erase(static_cast<int>(m_tree->GetItemData(item)));
        break;
    default:
        break;
    }
    m_tree->DeleteItem(item);
}

void* CFileListEventImp::FindDateItem(void* group, int dayKey) const
{
    for (void* date = FirstChild(group); date; date = m_tree->GetNextSiblingItem(date)) {
        if (m_tree->GetItemData(date) == static_cast<DWORD>(dayKey))
            return date;
    }
    return nullptr;
}

void* CFileListEventImp::FindChannelItem(void* date, int channelKey) const
{
    for (void* channel = FirstChild(date); channel; channel = m_tree->GetNextSiblingItem(channel)) {
        if (m_tree->GetItemData(channel) == static_cast<DWORD>(channelKey))
            return channel;
    }
    return nullptr;
}

// Filling.

void CFileListEventImp::AddSingleFiles(SingleFileListP singles)
{
    if (!singles || !m_tree)
        return;
    for (const _SINGLE_FILE_INFO& single : *singles) {
        if (FindSingleItem(single.fileId))
            continue;
        const std::size_t slash = single.path.rfind(L'/');
        const std::wstring name = slash == std::wstring::npos ? single.path : single.path.substr(slash + 1);
        const std::size_t dot = name.rfind(L'.');
        const std::wstring text = dot == std::wstring::npos ? name : name.substr(0, dot);
        void* item = m_tree->InsertItem(text.c_str(), SF_TVI_ROOT, SF_TVI_LAST);
        if (!item)
            continue;
        m_tree->SetItemData(item, static_cast<DWORD>(single.fileId));
        m_singleItems[single.fileId] = item;
        m_tree->SetToolTipText(item, name.c_str());
        m_tree->SetItemIcon(item, IconOfFileType(GetFileTypeByExtension(name)));
    }
}

void CFileListEventImp::AddGroupFiles(GroupFileListP groups)
{
    if (!groups || !m_tree)
        return;
    for (const _GROUP_FILE_INFO& day : *groups) {
        if (day.IsSingleFile())
            continue;
        void* group = FindGroupItem(day.groupName);
        if (!group)
            group = InsertGroupItem(day.groupName);
        void* date = group ? FindDateItem(group, day.key) : nullptr;
        if (group && !date)
            date = InsertDateItem(group, day.key);
        if (!date)
            continue;
        for (const auto& [channelKey, handle] : day.channels) {
            if (!FindChannelItem(date, channelKey))
                InsertChannelItem(date, channelKey);
        }
        m_tree->ExpandTreeItem(group, kExpand);
        m_tree->ExpandTreeItem(date, kExpand);
    }
}

// Groups come after the groups already listed and before the single files.
void* CFileListEventImp::InsertGroupItem(const std::wstring& name)
{
    void* after = SF_TVI_FIRST;
    for (void* root = FirstChild(SF_TVI_ROOT); root; root = m_tree->GetNextSiblingItem(root)) {
        if (KindOf(root) != ItemKind::Group)
            break;
        after = root;
    }
    void* item = m_tree->InsertItem(name.c_str(), SF_TVI_ROOT, after);
    if (!item)
        return nullptr;
    m_tree->SetItemData(item, 0);
    m_groupItems.Add(name, item);
    m_tree->SetCheck(item, 1);
    m_tree->SetItemIcon(item, L"group.png");
    return item;
}

// Dates run in calendar order.
void* CFileListEventImp::InsertDateItem(void* group, int dayKey)
{
    const std::wstring text = DayLabel(dayKey);
    void* after = SF_TVI_FIRST;
    for (void* date = FirstChild(group); date; date = m_tree->GetNextSiblingItem(date)) {
        if (TextOf(date) > text)
            break;
        after = date;
    }
    void* item = m_tree->InsertItem(text.c_str(), group, after);
    if (!item)
        return nullptr;
    m_tree->SetItemData(item, static_cast<DWORD>(dayKey));
    m_tree->SetCheck(item, 1);
    m_tree->SetItemIcon(item, L"date.png");
    return item;
}

void CFileListEventImp::InsertChannelItem(void* date, int channelKey)
{
    void* item = m_tree->InsertItem(ChannelLabel(channelKey).c_str(), date, SF_TVI_LAST);
    if (!item)
        return;
    m_tree->SetItemData(item, static_cast<DWORD>(channelKey));
    m_tree->SetCheck(item, 1);
    m_tree->SetItemIcon(item, GetStreamIndex(channelKey) == 0 ? L"main.png" : L"extra.png");
}

void CFileListEventImp::RemoveItemsNotIn(const std::list<_GROUP_FILE_INFO>& groups,
                                         const std::list<_SINGLE_FILE_INFO>& singles)
{
    if (!m_tree)
        return;
    std::map<std::pair<std::wstring, int>, const _GROUP_FILE_INFO*> days;
    for (const _GROUP_FILE_INFO& day : groups)
        days[{day.groupName, day.key}] = &day;
    std::set<int> fileIds;
    for (const _SINGLE_FILE_INFO& single : singles)
        fileIds.insert(single.fileId);

    void* root = FirstChild(SF_TVI_ROOT);
    while (root) {
        void* nextRoot = m_tree->GetNextSiblingItem(root);
        if (KindOf(root) == ItemKind::Single) {
            if (!fileIds.count(static_cast<int>(m_tree->GetItemData(root))))
                DeleteItem(root);
            root = nextRoot;
            continue;
        }
        const std::wstring name = GroupNameOf(root);
        void* date = FirstChild(root);
        while (date) {
            void* nextDate = m_tree->GetNextSiblingItem(date);
            auto found = days.find({name, static_cast<int>(m_tree->GetItemData(date))});
            void* channel = FirstChild(date);
            while (channel) {
                void* nextChannel = m_tree->GetNextSiblingItem(channel);
                if (found == days.end() ||
                    !found->second->channels.count(static_cast<int>(m_tree->GetItemData(channel))))
                    DeleteItem(channel);
                channel = nextChannel;
            }
            if (!FirstChild(date))
                DeleteItem(date);
            date = nextDate;
        }
        if (!FirstChild(root))
            DeleteItem(root);
        root = nextRoot;
    }
}

// Finding, deleting, marking.

void* CFileListEventImp::FindFileItem(_QUERY_FILE_INFO file)
{
    if (!m_tree)
        return nullptr;
    if (file.channelKey == FileIndexKeys::kSingleFileChannel)
        return FindSingleItem(file.requestKey);
    const std::size_t slash = file.path.rfind(L'/');
    const std::wstring name = slash == std::wstring::npos ? file.path : file.path.substr(slash + 1);
    CNamingRuleParser parser;
    if (!parser.Parse(name.c_str()))
        return nullptr;
    void* group = FindGroupItem(parser.name);
    void* date = group ? FindDateItem(group, file.requestKey) : nullptr;
    return date ? FindChannelItem(date, file.channelKey) : nullptr;
}

int CFileListEventImp::DeleteFileItems(GroupFileListP& items)
{
    if (!items || !m_tree)
        return 1;
    for (const _GROUP_FILE_INFO& element : *items) {
        if (element.IsSingleFile()) {
            if (void* single = FindSingleItem(element.key))
                DeleteItem(single);
            continue;
        }
        void* group = FindGroupItem(element.groupName);
        void* date = group ? FindDateItem(group, element.key) : nullptr;
        if (date)
            DeleteDateChannels(group, date, element.channels);
    }
    return 1;
}

void CFileListEventImp::DeleteDateChannels(void* group, void* date, const std::map<int, void*>& channels)
{
    for (const auto& [channelKey, handle] : channels) {
        if (void* channel = FindChannelItem(date, channelKey))
            DeleteItem(channel);
    }
    if (FirstChild(date))
        return;
    DeleteItem(date);
    if (!FirstChild(group))
        DeleteItem(group);
}

int CFileListEventImp::SetFilesHilight(GroupFileListP& items, int highlight)
{
    if (!items || !m_tree)
        return 1;
    for (const _GROUP_FILE_INFO& element : *items) {
        if (element.IsSingleFile()) {
            if (void* single = FindSingleItem(element.key))
                m_tree->SetItemHilight(single, highlight);
            continue;
        }
        HighlightDay(element, highlight);
    }
    return 1;
}

void CFileListEventImp::HighlightDay(const _GROUP_FILE_INFO& item, int highlight)
{
    void* group = FindGroupItem(item.groupName);
    void* date = group ? FindDateItem(group, item.key) : nullptr;
    if (!date)
        return;
    for (const auto& [channelKey, handle] : item.channels) {
        if (void* channel = FindChannelItem(date, channelKey))
            m_tree->SetItemHilight(channel, highlight);
    }
    if (highlight == 1) {
        m_tree->SetItemHilight(date, 1);
        m_tree->SetItemHilight(group, 1);
        return;
    }
    if (!m_tree->IsAnyChildItemHilight(date))
        m_tree->SetItemHilight(date, 0);
    if (!m_tree->IsAnyChildItemHilight(group))
        m_tree->SetItemHilight(group, 0);
}

GroupFileListP CFileListEventImp::GetCheckedFileList()
{
    return CollectMarked(false);
}

GroupFileListP CFileListEventImp::GetHilightFileList()
{
    return CollectMarked(true);
}

GroupFileListP CFileListEventImp::CollectMarked(bool highlighted)
{
    auto list = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    if (!m_tree)
        return list;
    auto marked = [&](void* item) {
        return highlighted ? m_tree->IsItemHilight(item) != 0 : m_tree->GetCheck(item) != 0;
    };
    for (void* root = FirstChild(SF_TVI_ROOT); root; root = m_tree->GetNextSiblingItem(root)) {
        if (KindOf(root) == ItemKind::Single) {
            if (marked(root))
                list->push_back({TextOf(root), static_cast<int>(m_tree->GetItemData(root)), {}});
            continue;
        }
        for (void* date = FirstChild(root); date; date = m_tree->GetNextSiblingItem(date)) {
            _GROUP_FILE_INFO day{GroupNameOf(root), static_cast<int>(m_tree->GetItemData(date)), {}};
            for (void* channel = FirstChild(date); channel; channel = m_tree->GetNextSiblingItem(channel)) {
                if (marked(channel))
                    day.channels[static_cast<int>(m_tree->GetItemData(channel))] = channel;
            }
            if (!day.channels.empty())
                list->push_back(std::move(day));
        }
    }
    return list;
}

// Play requests.

void CFileListEventImp::OnItemDbClick(void* item, tagPOINT& point)
{
    const int window = point.y < 0 ? point.x : -1;
    auto channels = boost::make_shared<std::map<int, void*>>();
    switch (KindOf(item)) {
    case ItemKind::Channel: {
        if (m_tree->IsItemHilight(item)) {
            NotifyAlreadyPlaying();
            return;
        }
        void* date = m_tree->GetParentItem(item);
        (*channels)[static_cast<int>(m_tree->GetItemData(item))] = item;
        PostPlayRequest(QUERY_FILEPATH_CHANNEL, m_tree->GetItemData(date), GroupNameOf(m_tree->GetParentItem(date)),
                        channels, window);
        return;
    }
    case ItemKind::Single: {
        if (m_tree->IsItemHilight(item)) {
            NotifyAlreadyPlaying();
            return;
        }
        (*channels)[static_cast<int>(m_tree->GetItemData(item))] = item;
        PostPlayRequest(QUERY_FILEPATH_SINGLE, m_tree->GetItemData(item), std::wstring(), channels, window);
        return;
    }
    case ItemKind::Date: {
        for (void* channel = FirstChild(item); channel; channel = m_tree->GetNextSiblingItem(channel)) {
            if (m_tree->GetCheck(channel))
                (*channels)[static_cast<int>(m_tree->GetItemData(channel))] = channel;
        }
        if (!channels->empty())
            PostPlayRequest(QUERY_FILEPATH_DAY, m_tree->GetItemData(item), GroupNameOf(m_tree->GetParentItem(item)),
                            channels, -1);
        return;
    }
    default:
        return;
    }
}

void CFileListEventImp::PostPlayRequest(QUERY_FILEPATH_TYPE type, unsigned key, const std::wstring& group,
                                        boost::shared_ptr<std::map<int, void*>> channels, int window)
{
    boost::shared_ptr<IFileListOwner> owner = m_owner.lock();
    boost::shared_ptr<CMainFrameUILogic> replyTarget = owner ? owner->GetMainFrameUILogic() : nullptr;
    if (!replyTarget)
        return;
    LumivexBase::PostTaskToLoop(
        LumivexBase::ML_HELPER,
        LumivexBase::MakeTask(&CMainFrameHelpLogic::Task_GetFilePath, replyTarget->GetHelpLogic(), type, key, group,
                              channels, boost::shared_ptr<IFileManagerQuery>(replyTarget), window),
        kSourceText, __LINE__, "&CMainFrameHelpLogic::Task_GetFilePath", "CFileListEventImp::OnItemDbClick");
}

// The file leaves are the channels of each group day, group by group, then
// the single files.
void* CFileListEventImp::FirstLeafOfRoot(void* root, bool forward) const
{
    if (KindOf(root) != ItemKind::Group)
        return root;
    void* date = forward ? FirstChild(root) : LastChild(root);
    return date ? (forward ? FirstChild(date) : LastChild(date)) : nullptr;
}

void* CFileListEventImp::NextFileLeaf(void* item, bool forward) const
{
    auto step = [&](void* node) {
        return forward ? m_tree->GetNextSiblingItem(node) : m_tree->GetPrevSiblingItem(node);
    };
    void* root = item;
    if (KindOf(item) == ItemKind::Channel) {
        if (void* sibling = step(item))
            return sibling;
        void* date = m_tree->GetParentItem(item);
        for (void* next = step(date); next; next = step(next)) {
            if (void* leaf = forward ? FirstChild(next) : LastChild(next))
                return leaf;
        }
        root = m_tree->GetParentItem(date);
    }
    for (void* next = step(root); next; next = step(next)) {
        if (void* leaf = FirstLeafOfRoot(next, forward))
            return leaf;
    }
    return nullptr;
}

void* CFileListEventImp::NextDate(void* date, bool forward) const
{
    auto step = [&](void* node) {
        return forward ? m_tree->GetNextSiblingItem(node) : m_tree->GetPrevSiblingItem(node);
    };
    if (void* sibling = step(date))
        return sibling;
    for (void* root = step(m_tree->GetParentItem(date)); root; root = step(root)) {
        if (KindOf(root) == ItemKind::Single)
            return forward ? root : nullptr;
        if (void* found = forward ? FirstChild(root) : LastChild(root))
            return found;
    }
    return nullptr;
}

bool CFileListEventImp::PlayAdjacentFile(void* item, int direction, int dayMode, int window)
{
    const ItemKind kind = KindOf(item);
    if (kind == ItemKind::None || kind == ItemKind::Group)
        return false;
    const bool forward = direction == 1;
    tagPOINT point{window, -1};
    if (kind != ItemKind::Single && dayMode == 1) {
        void* date = kind == ItemKind::Date ? item : m_tree->GetParentItem(item);
        void* target = NextDate(date, forward);
        if (!target)
            return false;
        // The grid closes only when there is a date to open.
        if (boost::shared_ptr<IFileListOwner> owner = m_owner.lock())
            owner->CloseFiles(0, -1);
        OnItemDbClick(target, point);
        return true;
    }
    // From a date: the leaf after its last (before its first) channel.
    void* from = kind == ItemKind::Date ? (forward ? LastChild(item) : FirstChild(item)) : item;
    void* target = from ? NextFileLeaf(from, forward) : nullptr;
    while (target && m_tree->IsItemHilight(target))
        target = NextFileLeaf(target, forward);
    if (!target)
        return false;
    OnItemDbClick(target, point);
    return true;
}
