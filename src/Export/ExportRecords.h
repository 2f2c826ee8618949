#pragma once

#include <cstdint>
#include <string>

#include "FileIndex/FileIndexTypes.h"

// One recording taken onto the export page, under its file key.
struct _EXPORT_FILE_INFO {
    CFileInfo fileInfo;
    std::int32_t fileId = 0;
    std::int32_t channelKey = -1;  // -1 for a single file
    std::int32_t lineId = 0;       // its time-line row
    std::int32_t dayKey = -1;      // -1 for a single file
    std::wstring groupName;
    std::int32_t isChannelFile = 0;
    std::int32_t isOpen = 0;
    std::int32_t isActive = 0;
    std::int32_t isSelected = 0;
    std::uint32_t exportStart = 0;
    std::uint32_t exportEnd = 0;
    void* playHandle = nullptr;
};

// One play object of the export page.
struct _EXPORT_HANDLE_INFO {
    std::int32_t isAnalysed = 0;
    std::int32_t isAnalyseOk = 0;
    std::int32_t isOnTimeLine = 0;
    std::int32_t hasTimes = 0;
    std::int32_t fileKey = -1;
    std::int32_t state = 3;  // 0 playing, 1 paused, 2 opened or stopped, 3 created or closed
    std::int32_t isIndexReady = 0;
    std::int32_t needsIndexSave = 0;
    std::uint32_t startTime = 0;
    std::uint32_t endTime = 0;
    std::uint64_t analysedStart = 0;
    std::uint64_t analysedEnd = 0;
    std::int32_t analyseRetries = 0;
    std::int32_t askedWithIndexReady = 0;  // the index was ready when the last lookup was asked
    std::int32_t awaitsIndex = 0;          // a lookup failed before the index was built: asked again when it is

    bool IsLive() const { return state == 0 || state == 1; }
};
