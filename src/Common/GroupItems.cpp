#include "Common/GroupItems.h"

#include <algorithm>

void CGroupItems::Add(const std::wstring& name, void* item)
{
    m_items[name] = item;
}

void* CGroupItems::Find(const std::wstring& name) const
{
    const auto found = m_items.find(name);
    return found == m_items.end() ? nullptr : found->second;
}

std::wstring CGroupItems::NameOf(void* item) const
{
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [item](const auto& entry) { return entry.second == item; });
    return found == m_items.end() ? std::wstring() : found->first;
}

void CGroupItems::Remove(void* item)
{
    std::erase_if(m_items, [item](const auto& entry) { return entry.second == item; });
}
