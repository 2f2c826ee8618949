#include "Common/GroupFileLists.h"

namespace {

const _GROUP_FILE_INFO* FindSameGroup(const GroupFileListPtr& list, const _GROUP_FILE_INFO& group)
{
    if (!list)
        return nullptr;
    for (const auto& candidate : *list)
        if (candidate.groupName == group.groupName && candidate.key == group.key)
            return &candidate;
    return nullptr;
}

bool SharesChannel(const _GROUP_FILE_INFO& a, const _GROUP_FILE_INFO& b)
{
    for (const auto& channel : a.channels)
        if (b.channels.count(channel.first))
            return true;
    return false;
}

_GROUP_FILE_INFO EmptyCopy(const _GROUP_FILE_INFO& group)
{
    _GROUP_FILE_INFO copy;
    copy.groupName = group.groupName;
    copy.key = group.key;
    return copy;
}

}  // namespace

bool HasCommonGroupFiles(GroupFileListPtr a, GroupFileListPtr b)
{
    if (!a || !b)
        return false;
    for (const auto& groupA : *a)
        for (const auto& groupB : *b)
            if (groupA.groupName == groupB.groupName && groupA.key == groupB.key &&
                (groupA.channels.empty() || SharesChannel(groupA, groupB)))
                return true;
    return false;
}

GroupFileListPtr SplitGroupFileList(GroupFileListPtr a, GroupFileListPtr b, int keepCommon)
{
    auto common = std::make_shared<GroupFileList>();
    auto rest = std::make_shared<GroupFileList>();
    if (a) {
        for (const auto& group : *a) {
            const _GROUP_FILE_INFO* match = FindSameGroup(b, group);
            if (!match) {
                rest->push_back(group);
            } else if (group.channels.empty()) {
                common->push_back(group);
            } else {
                _GROUP_FILE_INFO shared = EmptyCopy(group);
                _GROUP_FILE_INFO other = EmptyCopy(group);
                for (const auto& channel : group.channels)
                    (match->channels.count(channel.first) ? shared : other).channels.insert(channel);
                if (!shared.channels.empty())
                    common->push_back(shared);
                if (!other.channels.empty())
                    rest->push_back(other);
            }
        }
    }
    return keepCommon == 1 ? common : rest;
}
