#pragma once

#include "FileIndex/FileIndexTypes.h"

#include <list>
#include <memory>

using GroupFileList = std::list<_GROUP_FILE_INFO>;
using GroupFileListPtr = std::shared_ptr<GroupFileList>;

// True when some group of a has a group of b with the same name and key
// and either a's group has no channels or the two share a channel key.
// Null lists count as empty.
bool HasCommonGroupFiles(GroupFileListPtr a, GroupFileListPtr b);

// The part of a that also occurs in b (keepCommon 1) or the rest (any other
// value), split per channel where a matched group has channels. Neither
// list changes.
GroupFileListPtr SplitGroupFileList(GroupFileListPtr a, GroupFileListPtr b, int keepCommon);
