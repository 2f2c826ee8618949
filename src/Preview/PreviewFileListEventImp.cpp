#include "Preview/PreviewFileListEventImp.h"

#include <algorithm>
#include <cwctype>
#include <set>

#include <boost/make_shared.hpp>

#include "Common/LangString.h"
#include "FileIndex/NamingRuleParser.h"
#include "Preview/PreviewPageEventImp.h"
#include "Preview/PreviewSimplePlayerEventImp.h"
#include "Preview/PreviewSimplePlayerUILogic.h"
#include "Widgets/FileTreeStyle.h"
#include "Widgets/SFWidgetFactory.h"
#include "Widgets/SkinStyles.h"

namespace {

constexpr UINT kViewId = 106;
constexpr UINT kTreeId = 143;
constexpr int kItemTextRoom = 520;

// Whether the extension (with its dot) names a recorder file: at most its
// first 7 characters are compared, case-insensitively.
bool IsPreviewExtension(std::wstring extension)
{
    const std::size_t compared = std::min<std::size_t>(extension.size(), 7);
    std::transform(extension.begin(), extension.begin() + std::ptrdiff_t(compared), extension.begin(),
                   [](wchar_t c) { return wchar_t(std::towlower(c)); });
    return extension == L".kvx";
}

std::wstring ExtensionOf(const std::wstring& name)
{
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}

std::wstring NameOf(const std::wstring& path)
{
    const std::size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring StemOf(const std::wstring& name)
{
    return name.substr(0, name.rfind(L'.'));
}

}  // namespace

boost::shared_ptr<CPreviewFileListEventImp> CPreviewFileListEventImp::Create(
    const boost::shared_ptr<CPreviewPageEventImp>& page)
{
    auto list = boost::make_shared<CPreviewFileListEventImp>(page);
    list->CreateView();
    return list;
}

CPreviewFileListEventImp::CPreviewFileListEventImp(const boost::shared_ptr<CPreviewPageEventImp>& page)
    : m_page(page)
{
}

CPreviewFileListEventImp::~CPreviewFileListEventImp() = default;

void CPreviewFileListEventImp::CreateView()
{
    m_view = SFCreateView(this);
    boost::shared_ptr<CPreviewPageEventImp> page = m_page.lock();
    if (!m_view || !page)
        return;
    m_view->SetBackground(L"bg_tabbar.png");
    m_view->Create(nullptr, L"FileList", 0x50000000, tagRECT{0, 0, 300, 300}, page->GetUIWnd(), kViewId);
}

int CPreviewFileListEventImp::OnCreate()
{
    m_tree = SFCreateTreeCtrl(this);
    if (!m_tree)
        return 1;
    UITreeCtrlStyle style = SFFileTreeStyle();
    style.n3 = style.n4 = 16;
    style.str2 = L"treeStateRadio.png";
    m_tree->SetSkin(&style);
    m_tree->Create(0x10000004, tagRECT{0, 0, 300, 300}, GetUIWnd(), kTreeId, 1);
    m_tree->ShowWindow(1);
    return 1;
}

void CPreviewFileListEventImp::OnSize(UINT, int cx, int cy)
{
    if (m_tree)
        m_tree->MoveWindow(0, 0, cx, cy);
}

void CPreviewFileListEventImp::AddSingleFiles(const std::list<_SINGLE_FILE_INFO>& files)
{
    if (!m_tree)
        return;
    // Taken once: a walk of the tree for every file grows with the square of the list.
    std::set<DWORD> known;
    for (const auto& entry : m_itemPaths)
        known.insert(m_tree->GetItemData(entry.first));
    for (const _SINGLE_FILE_INFO& file : files) {
        const std::wstring name = NameOf(file.path);
        if (known.count(DWORD(file.fileId)) || !IsPreviewExtension(ExtensionOf(name)))
            continue;
        void* item = m_tree->InsertItem(StemOf(name).c_str(), SF_TVI_ROOT, SF_TVI_LAST);
        if (!item)
            continue;
        m_tree->SetItemData(item, DWORD(file.fileId));
        m_itemPaths[item] = file.path;
        known.insert(DWORD(file.fileId));
        m_tree->SetToolTipText(item, file.path.c_str());
    }
}

void CPreviewFileListEventImp::AddFiles(const std::vector<std::wstring>& paths)
{
    if (!m_tree)
        return;
    for (const std::wstring& path : paths) {
        if (!IsPreviewExtension(ExtensionOf(path)) || m_pathItems.count(path))
            continue;
        void* item = m_tree->InsertItem(StemOf(NameOf(path)).c_str(), SF_TVI_ROOT, SF_TVI_LAST);
        if (!item)
            continue;
        m_pathItems[path] = item;
        m_tree->SetToolTipText(item, path.c_str());
    }
}

bool CPreviewFileListEventImp::IsPlayerBusy() const
{
    boost::shared_ptr<CPreviewPageEventImp> page = m_page.lock();
    boost::shared_ptr<CPreviewSimplePlayerEventImp> player = page ? page->GetSimplePlayerView() : nullptr;
    boost::shared_ptr<CPreviewSimplePlayerUILogic> logic = player ? player->GetUILogic() : nullptr;
    return logic && logic->IsLoading();
}

void CPreviewFileListEventImp::OnItemDbClick(void* item, tagPOINT&) { OnItemCheckStateChanged(item, 1); }

void CPreviewFileListEventImp::OnItemCheckStateChanged(void* item, int checked)
{
    if (!m_tree || !item)
        return;
    if (item == m_currentItem) {
        m_tree->SetCheck(item, 1);
        m_tree->SetItemHilight(item, 1);
        return;
    }
    if (IsPlayerBusy()) {
        m_tree->SetCheck(item, 0);
        return;
    }
    if (!checked)
        return;
    void* previous = m_currentItem;
    if (previous)
        m_tree->SetItemHilight(previous, 0);
    m_currentItem = item;
    if (previous)
        m_tree->SetCheck(previous, 0);
    m_tree->SetItemHilight(item, 1);
    OpenItem(item);
}

std::wstring CPreviewFileListEventImp::PathOf(void* item) const
{
    auto single = m_itemPaths.find(item);
    if (single != m_itemPaths.end())
        return single->second;
    for (const auto& [path, pathItem] : m_pathItems) {
        if (pathItem == item)
            return path;
    }
    return {};
}

void CPreviewFileListEventImp::OpenItem(void* item)
{
    const std::wstring path = PathOf(item);
    m_currentItem = item;
    m_tree->SetCheck(item, 1);
    boost::shared_ptr<CPreviewPageEventImp> page = m_page.lock();
    boost::shared_ptr<CPreviewSimplePlayerEventImp> player = page ? page->GetSimplePlayerView() : nullptr;
    if (!player)
        return;
    player->ResetPlayToggle();
    if (boost::shared_ptr<CPreviewSimplePlayerUILogic> logic = player->GetUILogic())
        logic->LoadFile(path);
}

void CPreviewFileListEventImp::ClearCurrentItem()
{
    void* old = m_currentItem;
    m_currentItem = nullptr;
    if (!m_tree || !old)
        return;
    m_tree->SetCheck(old, 0);
    m_tree->SetItemHilight(old, 0);
}

std::wstring CPreviewFileListEventImp::ItemText(void* item) const
{
    wchar_t text[kItemTextRoom + 1] = {};
    m_tree->GetTreeItemText(item, text, kItemTextRoom);
    return text;
}

PreviewGroupFileListPtr CPreviewFileListEventImp::LoadFileItems()
{
    auto items = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    if (!m_currentItem || !m_tree)
        return items;
    if (m_itemPaths.count(m_currentItem)) {
        _GROUP_FILE_INFO record;
        record.groupName = ItemText(m_currentItem);
        record.key = int(m_tree->GetItemData(m_currentItem));
        items->push_back(record);
        return items;
    }
    if (PathOf(m_currentItem).empty())
        return items;
    CNamingRuleParser parser;
    if (!parser.Parse(ItemText(m_currentItem).c_str()))
        return items;
    _GROUP_FILE_INFO record;
    record.groupName = parser.name;
    record.key = parser.DayKey();
    record.channels[parser.channel] = m_currentItem;
    items->push_back(record);
    return items;
}

int CPreviewFileListEventImp::DeleteFileItems(PreviewGroupFileListPtr items)
{
    if (!items || !m_tree)
        return 1;
    for (const _GROUP_FILE_INFO& group : *items) {
        if (group.channels.empty())
            DeleteSingleFileItem(group.key);
        else
            DeleteGroupItems(group);
    }
    return 1;
}

void CPreviewFileListEventImp::DeleteGroupItems(const _GROUP_FILE_INFO& group)
{
    for (const auto& [channel, listItem] : group.channels) {
        void* item = m_tree->GetRootItem();
        while (item) {
            void* next = m_tree->GetNextSiblingItem(item);
            CNamingRuleParser parser;
            const bool matches = !m_itemPaths.count(item) && parser.Parse(ItemText(item).c_str()) &&
                                 parser.DayKey() == group.key && parser.name == group.groupName &&
                                 parser.channel == channel;
            if (matches) {
                m_tree->DeleteItem(item);
                auto entry = std::find_if(m_pathItems.begin(), m_pathItems.end(),
                                          [item](const auto& pathItem) { return pathItem.second == item; });
                if (entry != m_pathItems.end())
                    m_pathItems.erase(entry);
                if (item == m_currentItem)
                    m_currentItem = nullptr;
            }
            item = next;
        }
    }
}

void CPreviewFileListEventImp::DeleteSingleFileItem(int fileId)
{
    auto entry = std::find_if(m_itemPaths.begin(), m_itemPaths.end(), [this, fileId](const auto& itemPath) {
        return m_tree->GetItemData(itemPath.first) == DWORD(fileId);
    });
    if (entry == m_itemPaths.end())
        return;
    void* item = entry->first;
    m_tree->DeleteItem(item);
    m_itemPaths.erase(entry);
    if (item == m_currentItem)
        m_currentItem = nullptr;
}
