#pragma once

#include <vector>

#include "Base/SFDateTime.h"

class CFileInfo;

// What the file manager reports after each load.
class IFileManagerListener {
public:
    virtual ~IFileManagerListener() = default;
    virtual void OnSingleFile(int fileId, CFileInfo* record) = 0;
    // channelKeys arrive by channel number, then stream index.
    virtual void OnGroupDay(const wchar_t* groupName, int dayKey, SF_SOFT_BASE::CSFDateTime* date,
                            std::vector<int>* channelKeys) = 0;
};
