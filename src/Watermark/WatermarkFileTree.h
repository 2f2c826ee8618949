#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>

#include <boost/shared_ptr.hpp>

#include "Common/GroupItems.h"
#include "FileIndex/FileIndexTypes.h"

class CSFTreeCtrl;

// The check-box tree of the watermark page: single ".kvx" files at the root
// (item data: file id), groups at the root above them (data 0), their days
// (data: day key) and channels (data: channel key).
class CWatermarkFileTree {
public:
    // A checked entry to query: a single file (file id, no group) or one
    // channel of a group's day (day key, group name, channel key).
    struct CheckedEntry {
        bool single = false;
        std::uint32_t key = 0;
        std::wstring group;
        int channelKey = 0;
        void* item = nullptr;
    };

    explicit CWatermarkFileTree(CSFTreeCtrl* tree) : m_tree(tree) {}

    void AddSingleFiles(const std::list<_SINGLE_FILE_INFO>& files);
    void AddGroupFiles(const std::list<_GROUP_FILE_INFO>& groups);
    void DeleteFileItems(const std::list<_GROUP_FILE_INFO>& items);
    // The checked entries in tree order, as "Start Check" queries them.
    std::list<CheckedEntry> CheckedEntries() const;
    // The checked entries as the tab bar deletes them from the lists.
    boost::shared_ptr<std::list<_GROUP_FILE_INFO>> GetCheckedFiles() const;

private:
    std::wstring TextOf(void* item) const;
    void* FindRootWithData(std::uint32_t data) const;
    void* FindChildWithData(void* parent, std::uint32_t data) const;
    void* FindChildWithText(void* parent, const std::wstring& text) const;
    void* InsertGroupItem(const std::wstring& name);
    void* InsertDateItem(void* group, std::int32_t dayKey);
    void ForEachChild(void* parent, const std::function<void(void*)>& visit) const;
    void DeleteGroupDay(const _GROUP_FILE_INFO& element);

    CSFTreeCtrl* m_tree;
    CGroupItems m_groups;
};
