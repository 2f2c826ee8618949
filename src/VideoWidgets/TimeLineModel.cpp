#include "VideoWidgets/TimeLineModel.h"

#include <algorithm>
#include <cstdlib>

const UISF_Channel* CTimeLineModel::Record(int channel) const
{
    if (channel < 0)
        return nullptr;
    auto it = records.find(channel);
    return it == records.end() ? nullptr : &it->second;
}

bool CTimeLineModel::Span(const UISF_Channel& record, int& start, int& end)
{
    if (record.segments.empty())
        return false;
    start = record.segments.front().start;
    end = record.segments.front().end;
    for (const auto& s : record.segments) {
        start = std::min(start, s.start);
        end = std::max(end, s.end);
    }
    return static_cast<long long>(end) - start >= 1;
}

const UISF_TimeSegment* CTimeLineModel::SegmentAt(const UISF_Channel& record, int time)
{
    for (const auto& s : record.segments)
        if (s.start < time && s.end > time)
            return &s;
    return nullptr;
}

long long CTimeLineModel::Duration(const UISF_Channel& record)
{
    long long total = 0;
    for (const auto& s : record.segments)
        total += static_cast<long long>(s.end) - s.start;
    return total;
}

std::map<TimeLineDate, std::list<UISF_TimeSegment>> CTimeLineModel::DaysOf(const UISF_Channel& record)
{
    std::map<TimeLineDate, std::list<UISF_TimeSegment>> result;
    for (const auto& s : record.segments) {
        const TimeLineDate first = TimeLineDateOf(s.start), last = TimeLineDateOf(s.end);
        result[first].push_back(s);
        if (!(last == first))
            result[last].push_back(s);
    }
    return result;
}

void CTimeLineModel::RebuildRows()
{
    visibleRows.fill(-1);
    if (records.empty()) {
        firstVisibleRow = -1;
        return;
    }
    const int count = static_cast<int>(records.size());
    firstVisibleRow = std::clamp(firstVisibleRow, 0, std::max(0, count - 4));
    auto it = std::next(records.begin(), firstVisibleRow);
    for (int row = 0; row < 4 && it != records.end(); ++row, ++it)
        visibleRows[row] = it->first;
}

int CTimeLineModel::RowTop(int row) const
{
    const int h = nameColumn.bottom - nameColumn.top + 1;
    return nameColumn.top + row * (h / 4);
}

int CTimeLineModel::RowBottom(int row) const
{
    const int h = nameColumn.bottom - nameColumn.top + 1;
    return RowTop(row) + h / 4 - 1;
}

int CTimeLineModel::RowAt(int y) const
{
    for (int row = 0; row < 4; ++row)
        if (y > RowTop(row) && y < RowBottom(row))
            return row;
    return -1;
}

int CTimeLineModel::RowAtInclusive(int y) const
{
    for (int row = 0; row < 4; ++row)
        if (y >= RowTop(row) && y <= RowBottom(row))
            return row;
    return -1;
}

std::int64_t CTimeLineModel::MidnightOfCurrentDay(int channel) const
{
    auto it = days.find(channel);
    return LocalMidnight(it == days.end() ? TimeLineDate{} : it->second.current);
}

bool CTimeLineModel::HasEarlierDay(int channel) const
{
    auto it = days.find(channel);
    return it != days.end() && !it->second.days.empty() && it->second.days.begin()->first < it->second.current;
}

bool CTimeLineModel::HasLaterDay(int channel) const
{
    auto it = days.find(channel);
    return it != days.end() && !it->second.days.empty() && it->second.current < it->second.days.rbegin()->first;
}

void CTimeLineModel::RecomputeDayFlags()
{
    canGoBack = canGoForward = false;
    for (const auto& entry : days) {
        canGoBack = canGoBack || HasEarlierDay(entry.first);
        canGoForward = canGoForward || HasLaterDay(entry.first);
    }
}

void CTimeLineModel::StepAll(bool forward, bool moveOffset)
{
    for (auto& [channel, entry] : days) {
        if (forward ? !HasLaterDay(channel) : !HasEarlierDay(channel))
            continue;
        auto it = entry.days.find(entry.current);
        if (it == entry.days.end())
            it = entry.days.lower_bound(entry.current);
        if (forward) {
            it = it == entry.days.end() ? it : std::next(it);
        } else {
            it = it == entry.days.begin() ? it : std::prev(it);
        }
        if (it == entry.days.end())
            continue;
        entry.current = it->first;
        dayCounters[channel] += forward ? 1 : -1;
        if (moveOffset)
            dayOffset = forward ? 0 : std::max(0, dayVirtualWidth - visibleWidth);
    }
    bool any = false;
    for (const auto& entry : days)
        any = any || (forward ? HasLaterDay(entry.first) : HasEarlierDay(entry.first));
    if (forward) {
        canGoForward = any;
        canGoBack = true;
    } else {
        canGoBack = any;
        canGoForward = true;
    }
}

void CTimeLineModel::FollowCursorDay(int channel)
{
    if (singleView)
        return;
    auto cursor = cursors.find(channel);
    if (cursor == cursors.end())
        return;
    auto entry = days.find(channel);
    if (entry != days.end() && !entry->second.days.empty()) {
        const TimeLineDate date = TimeLineDateOf(cursor->second);
        const auto& list = entry->second.days;
        auto found = list.find(date);
        const int n = static_cast<int>(std::distance(list.begin(), found));
        const int d = commonDayCounter - n;
        for (int i = 0; i < std::abs(d); ++i)
            StepAll(d < 1, false);
        commonDayCounter = n;
    }
    const long long seconds = cursor->second - MidnightOfCurrentDay(channel);
    dayOffset = static_cast<int>(static_cast<long long>(dayVirtualWidth) * seconds / 86400 - visibleWidth / 2);
    ClampDayOffset();
}

void CTimeLineModel::ClampDayOffset()
{
    dayOffset = std::clamp(dayOffset, 0, std::max(0, dayVirtualWidth - visibleWidth));
}

int CTimeLineModel::DayXToSeconds(int x) const
{
    if (dayVirtualWidth <= 0)
        return 0;
    return static_cast<int>((static_cast<long long>(dayOffset) + x) * 86400 / dayVirtualWidth);
}

int CTimeLineModel::DayTimeToX(std::int64_t time) const
{
    return static_cast<int>(static_cast<long long>(dayVirtualWidth) * SecondsOfDay(time) / 86400);
}

int CTimeLineModel::SingleXToTime(int x) const
{
    const UISF_Channel* record = Record(singleChannel);
    if (!record)
        return -1;
    auto cursor = cursors.find(singleChannel);
    const UISF_TimeSegment* segment = cursor == cursors.end() ? nullptr : SegmentAt(*record, cursor->second);
    if (!segment || singleVirtualWidth <= 0)
        return 0;
    return static_cast<int>(static_cast<double>(singleOffset + x) / singleVirtualWidth * (segment->end - segment->start) +
                            segment->start);
}

int CTimeLineModel::SingleTimeToX(int time) const
{
    const UISF_Channel* record = Record(singleChannel);
    int start = 0, end = 0;
    if (!record || !Span(*record, start, end))
        return -1;
    return static_cast<int>((static_cast<long long>(time) - start) * singleVirtualWidth /
                            (static_cast<long long>(end) - start));
}

double CTimeLineModel::XToPercentage(int x) const
{
    if (singleView) {
        const UISF_Channel* record = Record(singleChannel);
        if (!record)
            return -1;
        auto cursor = cursors.find(singleChannel);
        if (cursor == cursors.end() || !SegmentAt(*record, cursor->second) || singleVirtualWidth <= 0)
            return 0;
        return static_cast<double>(singleOffset + x) / singleVirtualWidth * 100;
    }
    return dayVirtualWidth <= 0 ? 0 : static_cast<double>(dayOffset + x) / dayVirtualWidth * 100;
}

CTimeLineModel::FoundSegment CTimeLineModel::FindSegment(int channel, double p) const
{
    FoundSegment found{-1, p};
    const UISF_Channel* record = Record(channel);
    int start = 0, end = 0;
    if (!record || !Span(*record, start, end))
        return found;
    if (singleView) {
        const long long pos = static_cast<long long>(Duration(*record) * p / 100);
        long long total = 0;
        for (const auto& s : record->segments) {
            const long long length = static_cast<long long>(s.end) - s.start;
            if (total + length > pos && length > 0)
                return {s.id, static_cast<double>(pos - total) * 100 / length};
            total += length;
        }
        return found;
    }
    const long long t = MidnightOfCurrentDay(channel) + static_cast<long long>(p * 86400 / 100);
    for (const auto& s : record->segments) {
        if (s.start <= t && t <= s.end) {
            const double length = s.end - s.start;
            return {s.id, length > 0 ? (t - s.start) * 100 / length : 0.0};
        }
    }
    return found;
}

void CTimeLineModel::ApplyZoom(int factor, int anchor, bool clamp)
{
    factor = std::clamp(factor, 1, 100);
    if (dayVirtualWidth > 0)
        dayOffset = static_cast<int>((static_cast<long long>(dayOffset) + anchor) * factor * visibleWidth /
                                         dayVirtualWidth -
                                     anchor);
    else
        dayOffset = 0;
    if (clamp)
        dayOffset = std::clamp(dayOffset, 0, std::max(0, (factor - 1) * visibleWidth));
    dayZoom = factor;
    dayVirtualWidth = factor * visibleWidth;
}

void CTimeLineModel::ZoomIn(int anchor)
{
    int factor = dayZoom + 1;
    if (factor * 2 > 100)
        ++factor;
    ApplyZoom(factor, anchor, false);
    ClampDayOffset();
}

void CTimeLineModel::ZoomOut(int anchor)
{
    int factor = dayZoom - 1;
    if (factor * 2 > 100)
        --factor;
    ApplyZoom(factor, anchor, true);
}

void CTimeLineModel::SetZoom(int value, int anchor) { ApplyZoom(value, anchor, true); }

void CTimeLineModel::Rescale(int dx)
{
    timeArea.right += dx;
    nextArrow.left += dx;
    nextArrow.right += dx;
    const int oldVirtual = dayVirtualWidth;
    visibleWidth = std::max(0, TimeAreaWidth());
    if (oldVirtual > 0)
        dayOffset = static_cast<int>(static_cast<long long>(dayOffset) * dayZoom * visibleWidth / oldVirtual);
    dayVirtualWidth = dayZoom * visibleWidth;
    singleVirtualWidth = singleZoom * visibleWidth;
}

void CTimeLineModel::CenterOnTime(int time)
{
    if (!singleView) {
        dayOffset = DayTimeToX(time);
        ClampDayOffset();
        return;
    }
    const UISF_Channel* record = Record(singleChannel);
    int start = 0, end = 0;
    if (!record || !Span(*record, start, end))
        return;
    // The place of the time within the record, not within its day.
    const long long length = static_cast<long long>(end) - start;
    const long long offset = static_cast<long long>(singleVirtualWidth) * (static_cast<long long>(time) - start) / length -
                             visibleWidth / 2;
    singleOffset = static_cast<int>(std::clamp<long long>(offset, 0, std::max(0, singleVirtualWidth - visibleWidth)));
}
