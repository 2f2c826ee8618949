#include "Watermark/WatermarkFileTree.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

#include <boost/make_shared.hpp>

#include "Common/FileTreeLabels.h"
#include "Base/SFDateTime.h"
#include "Common/LangString.h"
#include "Widgets/SFTreeCtrl.h"

namespace {

constexpr UINT kExpand = 2;
constexpr int kTextLength = 520;

// The extension of a file name, lower-cased and cut to 7 characters.
std::wstring ExtensionOf(const std::wstring& name)
{
    const auto dot = name.rfind(L'.');
    if (dot == std::wstring::npos)
        return {};
    std::wstring extension = name.substr(dot, 7);
    for (wchar_t& c : extension)
        c = wchar_t(std::towlower(wint_t(c)));
    return extension;
}

std::wstring NameOf(const std::wstring& path)
{
    const auto slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::wstring CWatermarkFileTree::TextOf(void* item) const
{
    std::vector<wchar_t> buffer(kTextLength + 1, L'\0');
    m_tree->GetTreeItemText(item, buffer.data(), kTextLength);
    return buffer.data();
}

void CWatermarkFileTree::ForEachChild(void* parent, const std::function<void(void*)>& visit) const
{
    void* child = m_tree->GetChildItem(parent);
    while (child) {
        void* next = m_tree->GetNextSiblingItem(child);  // the visit may delete child
        visit(child);
        child = next;
    }
}

void* CWatermarkFileTree::FindChildWithData(void* parent, std::uint32_t data) const
{
    for (void* child = m_tree->GetChildItem(parent); child; child = m_tree->GetNextSiblingItem(child))
        if (m_tree->GetItemData(child) == data)
            return child;
    return nullptr;
}

void* CWatermarkFileTree::FindChildWithText(void* parent, const std::wstring& text) const
{
    for (void* child = m_tree->GetChildItem(parent); child; child = m_tree->GetNextSiblingItem(child))
        if (TextOf(child) == text)
            return child;
    return nullptr;
}

void* CWatermarkFileTree::FindRootWithData(std::uint32_t data) const
{
    return FindChildWithData(SF_TVI_ROOT, data);
}

void CWatermarkFileTree::AddSingleFiles(const std::list<_SINGLE_FILE_INFO>& files)
{
    for (const _SINGLE_FILE_INFO& file : files) {
        if (file.fileId == 0 || FindRootWithData(std::uint32_t(file.fileId)))
            continue;
        const std::wstring name = NameOf(file.path);
        if (ExtensionOf(name) != L".kvx")
            continue;
        void* item = m_tree->InsertItem(name.substr(0, name.rfind(L'.')).c_str(), SF_TVI_ROOT, SF_TVI_LAST);
        m_tree->SetItemData(item, DWORD(file.fileId));
        m_tree->SetToolTipText(item, name.c_str());
    }
}

// Groups stay above the single files, in order of arrival.
void* CWatermarkFileTree::InsertGroupItem(const std::wstring& name)
{
    void* after = SF_TVI_LAST;
    void* item = m_tree->GetChildItem(SF_TVI_ROOT);
    if (item && !m_tree->ItemHasChildren(item)) {
        after = SF_TVI_FIRST;
    } else {
        while (item && m_tree->ItemHasChildren(item)) {
            void* next = m_tree->GetNextSiblingItem(item);
            if (next && !m_tree->ItemHasChildren(next)) {
                after = item;
                break;
            }
            item = next;
        }
    }
    void* group = m_tree->InsertItem(name.c_str(), SF_TVI_ROOT, after);
    m_tree->SetItemData(group, 0);
    m_groups.Add(name, group);
    return group;
}

// Days stay in ascending order.
void* CWatermarkFileTree::InsertDateItem(void* group, std::int32_t dayKey)
{
    const std::wstring text = DayLabel(dayKey);
    if (void* existing = FindChildWithText(group, text))
        return existing;
    void* after = SF_TVI_FIRST;
    for (void* child = m_tree->GetChildItem(group); child; child = m_tree->GetNextSiblingItem(child)) {
        if (TextOf(child) > text)
            break;
        after = child;
    }
    void* date = m_tree->InsertItem(text.c_str(), group, after);
    m_tree->SetItemData(date, DWORD(dayKey));
    return date;
}

void CWatermarkFileTree::AddGroupFiles(const std::list<_GROUP_FILE_INFO>& groups)
{
    for (const _GROUP_FILE_INFO& element : groups) {
        void* group = m_groups.Find(element.groupName);
        if (!group)
            group = InsertGroupItem(element.groupName);
        void* date = InsertDateItem(group, element.key);
        for (const auto& channel : element.channels) {
            if (FindChildWithData(date, std::uint32_t(channel.first)))
                continue;
            void* item = m_tree->InsertItem(ChannelLabel(channel.first).c_str(), date, SF_TVI_LAST);
            m_tree->SetItemData(item, DWORD(channel.first));
        }
        m_tree->ExpandTreeItem(group, kExpand);
        m_tree->ExpandTreeItem(date, kExpand);
    }
}

void CWatermarkFileTree::DeleteGroupDay(const _GROUP_FILE_INFO& element)
{
    void* group = m_groups.Find(element.groupName);
    if (!group)
        return;
    void* date = FindChildWithData(group, std::uint32_t(element.key));
    if (!date)
        return;
    for (const auto& channel : element.channels)
        if (void* item = FindChildWithData(date, std::uint32_t(channel.first)))
            m_tree->DeleteItem(item);
    if (!m_tree->ItemHasChildren(date))
        m_tree->DeleteItem(date);
    if (!m_tree->ItemHasChildren(group)) {
        m_groups.Remove(group);
        m_tree->DeleteItem(group);
    }
}

void CWatermarkFileTree::DeleteFileItems(const std::list<_GROUP_FILE_INFO>& items)
{
    for (const _GROUP_FILE_INFO& element : items) {
        if (!element.channels.empty()) {
            DeleteGroupDay(element);
            continue;
        }
        if (void* item = element.key != 0 ? FindRootWithData(std::uint32_t(element.key)) : nullptr)
            m_tree->DeleteItem(item);
    }
}

std::list<CWatermarkFileTree::CheckedEntry> CWatermarkFileTree::CheckedEntries() const
{
    std::list<CheckedEntry> entries;
    ForEachChild(SF_TVI_ROOT, [&](void* root) {
        const std::uint32_t data = m_tree->GetItemData(root);
        if (data != 0) {
            if (m_tree->GetCheck(root))
                entries.push_back({true, data, {}, 0, root});
            return;
        }
        const std::wstring group = m_groups.NameOf(root);
        ForEachChild(root, [&](void* date) {
            ForEachChild(date, [&](void* channel) {
                if (m_tree->GetCheck(channel))
                    entries.push_back({false, m_tree->GetItemData(date), group, int(m_tree->GetItemData(channel)), date});
            });
        });
    });
    return entries;
}

boost::shared_ptr<std::list<_GROUP_FILE_INFO>> CWatermarkFileTree::GetCheckedFiles() const
{
    auto files = boost::make_shared<std::list<_GROUP_FILE_INFO>>();
    ForEachChild(SF_TVI_ROOT, [&](void* root) {
        const std::uint32_t data = m_tree->GetItemData(root);
        if (data != 0) {
            if (m_tree->GetCheck(root) == 1)
                files->push_back({TextOf(root), std::int32_t(data), {}});
            return;
        }
        ForEachChild(root, [&](void* date) {
            _GROUP_FILE_INFO element{m_groups.NameOf(root), std::int32_t(m_tree->GetItemData(date)), {}};
            ForEachChild(date, [&](void* channel) {
                if (m_tree->GetCheck(channel) == 1)
                    element.channels[int(m_tree->GetItemData(channel))] = channel;
            });
            if (!element.channels.empty())
                files->push_back(std::move(element));
        });
    });
    return files;
}
