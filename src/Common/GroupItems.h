#pragma once

#include <map>
#include <string>

// The root items of a file tree's recorder groups, kept by the recorder's own
// name. The shown text cannot stand for the name: it loses the bytes of a
// name that are no UTF-8.
class CGroupItems {
public:
    void Add(const std::wstring& name, void* item);
    // The item of a group, or null.
    void* Find(const std::wstring& name) const;
    // The name of a group item; empty for any other item.
    std::wstring NameOf(void* item) const;
    // Forgets an item that is deleted.
    void Remove(void* item);

private:
    std::map<std::wstring, void*> m_items;
};
