#pragma once

#include "Widgets/PlayProgressTypes.h"

// The export time line as the export logic fills it: one row per line id.
class IExportTimeLine {
public:
    virtual ~IExportTimeLine() = default;
    // The row of a line id, or null.
    virtual UISF_Channel* GetChannelRecord(int lineId) = 0;
    // Adds the row, or merges it into the row of the same line id.
    virtual void SetChannelRecord(const UISF_Channel& record) = 0;
    virtual void RemoveChannelRecord(int lineId) = 0;
    virtual void SetPlayTime(int lineId, int time) = 0;
};
