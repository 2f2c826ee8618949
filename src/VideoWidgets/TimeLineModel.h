#pragma once

#include <array>
#include <list>
#include <map>

#include "Platform/Win32/Win32Types.h"
#include "VideoWidgets/TimeLineDate.h"
#include "Widgets/PlayProgressTypes.h"

// The state a time-line panel shares with its drawing widget, and the
// mappings between times and positions in its two views.
class CTimeLineModel {
public:
    struct ChannelDays {
        TimeLineDate current;
        std::map<TimeLineDate, std::list<UISF_TimeSegment>> days;
    };
    struct FoundSegment {
        int id = -1;
        double percentage = 0.0;
    };

    explicit CTimeLineModel(std::map<int, UISF_Channel>& records) : records(records) {}

    // Record rules.
    const UISF_Channel* Record(int channel) const;
    static bool Span(const UISF_Channel& record, int& start, int& end);
    static const UISF_TimeSegment* SegmentAt(const UISF_Channel& record, int time);
    static long long Duration(const UISF_Channel& record);
    static std::map<TimeLineDate, std::list<UISF_TimeSegment>> DaysOf(const UISF_Channel& record);

    // Rows.
    void RebuildRows();
    int RowChannel(int row) const { return row >= 0 && row < 4 ? visibleRows[row] : -1; }
    const UISF_Channel* RowRecord(int row) const { return Record(RowChannel(row)); }
    int RowTop(int row) const;
    int RowBottom(int row) const;
    // Row whose band strictly contains y (time-area hit test), -1 for none.
    int RowAt(int y) const;
    // Row whose band (edges included) contains y, -1 for none.
    int RowAtInclusive(int y) const;

    // Days.
    std::int64_t MidnightOfCurrentDay(int channel) const;
    bool HasEarlierDay(int channel) const;
    bool HasLaterDay(int channel) const;
    void StepAll(bool forward, bool moveOffset);
    void FollowCursorDay(int channel);
    void RecomputeDayFlags();

    // Mappings; x counted from the time area's left edge.
    int DayXToSeconds(int x) const;
    int DayTimeToX(std::int64_t time) const;
    int SingleXToTime(int x) const;
    int SingleTimeToX(int time) const;
    double XToPercentage(int x) const;
    FoundSegment FindSegment(int channel, double percentage) const;

    // Zoom of the day view, keeping the time under the anchor in place.
    void ZoomIn(int anchor);
    void ZoomOut(int anchor);
    void SetZoom(int value, int anchor);
    void Rescale(int dx);
    void ClampDayOffset();
    void CenterOnTime(int time);

    int TimeAreaWidth() const { return timeArea.right - timeArea.left + 1; }

    std::map<int, UISF_Channel>& records;
    int firstVisibleRow = -1;
    std::map<int, int> cursors;
    std::map<int, ChannelDays> days;
    std::map<int, int> dayCounters;
    int commonDayCounter = 0;
    std::array<int, 4> visibleRows{-1, -1, -1, -1};
    int highlighted = -1;
    bool commonCursorOn = false;
    bool cutMarksOn = false;
    std::array<int, 2> cutMarks{0, 0};
    int commonCursor = 0;
    bool singleView = false;
    int singleChannel = -1;
    int singleZoom = 1;
    int singleZoomMax = 1;
    int singleOffset = 0;
    int singleVirtualWidth = 0;
    int dayZoom = 1;
    int dayOffset = 0;
    int dayVirtualWidth = 0;
    int visibleWidth = 0;
    tagRECT nameColumn{0, 0, -1, -1};
    tagRECT timeArea{0, 0, -1, -1};
    tagRECT prevArrow{0, 0, -1, -1};
    tagRECT nextArrow{0, 0, -1, -1};
    bool canGoBack = false;
    bool canGoForward = false;

private:
    void ApplyZoom(int factor, int anchor, bool clamp);
};
