#pragma once

// The contract between a time-line panel and its views: the channel record,
// its segments, the kind of a position report and the listener.

#include <cstdint>
#include <list>
#include <string>

#include "Platform/Win32/Win32Types.h"

// One recorded span: the view's own id, start and end (seconds since 1970
// UTC) and a flag the builders set to 1.
struct UISF_TimeSegment {
    std::int32_t id = 0;
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::int32_t flag = 0;
};

struct UISF_ReservedItem {
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::int32_t c = 0;
};

// One channel row of a time line.
struct UISF_Channel {
    std::int32_t channel;  // set by the builder
    std::wstring name;
    std::list<UISF_TimeSegment> segments;
    std::list<UISF_ReservedItem> reserved;
    std::wstring rowText;
};

// 0: the first cut mark moved; 1: the second cut mark moved or an ordinary report.
enum VIDEOCUT_TYPE : int {
    VIDEOCUT_START = 0,
    VIDEOCUT_END = 1,
};

// Listener of a time-line panel.
class IPlayProgressEvent {
public:
    virtual void OnPositionChanged(UINT /*panelId*/, int /*channel*/, int /*segmentId*/, int /*position*/,
                                   VIDEOCUT_TYPE /*type*/) {}
    virtual void OnSetHighlight(UINT /*panelId*/, int /*channel*/) {}
    virtual void OnMouseOverChannel(UINT /*panelId*/, int /*channel*/, tagPOINT /*point*/, int /*time*/) {}
    virtual void PPP_OnMouseLeave(UINT /*panelId*/) {}

protected:
    ~IPlayProgressEvent() = default;
};
