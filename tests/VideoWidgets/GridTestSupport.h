#pragma once

#include <string>
#include <vector>

#include <QEvent>
#include <QWidget>

#include "Base/PlanarLayout.h"
#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFVideoWindowEvent.h"

// Counts the paint events of a widget.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

// Records every grid callback as a line of text.
class RecordingGridHandler : public ISFVideoWindowEvent {
public:
    void OnLayoutChanged() override { ++layoutChanges; }
    void OnBnClickedVideoClose(int index, int id) override { Add("close", index, id); }
    void OnBnClickedVideoSnap(int index, int id) override { Add("snap", index, id); }
    void OnBnClickedVideoRecord(int index, int id, int state) override { Add("record", index, id, state); }
    void OnBnClickedVideoProperty(int index, int id) override { Add("property", index, id); }
    void OnFocusWndChanged(int newId, int oldId) override { Add("focus", newId, oldId); }
    void OnSubWndExchanged(int a, int b) override { Add("exchange", a, b); }
    void OnSubWinZoom(int index, int id, int up) override { Add("zoom", index, id, up); }
    void OnSubWinOccupyRoom(int index, int id, int occupied) override { Add("occupy", index, id, occupied); }
    void VideoWidow_OnLButtonDown(int index, int id, tagPOINT&) override { Add("down", index, id); }
    void VideoWidow_OnLButtonUp(int index, int id, tagPOINT&) override { Add("up", index, id); }

    bool Has(const std::string& line) const
    {
        for (const auto& e : events)
            if (e == line)
                return true;
        return false;
    }

    int layoutChanges = 0;
    std::vector<std::string> events;

private:
    void Add(const char* name, int a, int b, int c = -99)
    {
        std::string line = std::string(name) + " " + std::to_string(a) + " " + std::to_string(b);
        if (c != -99)
            line.append(" ").append(std::to_string(c));
        events.push_back(line);
    }
};

// A 32-bit frame (R, G, B, 255) of one colour.
inline std::vector<BYTE> RgbFrame(int w, int h, BYTE r, BYTE g, BYTE b)
{
    std::vector<BYTE> bytes(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < bytes.size(); i += 4)
        bytes[i] = r, bytes[i + 1] = g, bytes[i + 2] = b, bytes[i + 3] = 255;
    return bytes;
}

// A planar 4:2:0 frame laid out Y, U, V of one colour.
inline std::vector<BYTE> YuvFrame(int w, int h, BYTE y, BYTE u, BYTE v)
{
    const SF_SOFT_BASE::PlanarLayout layout{w, h};
    const size_t luma = layout.LumaSize(), chroma = layout.ChromaSize();
    std::vector<BYTE> bytes(layout.Size(), y);
    std::fill(bytes.begin() + luma, bytes.begin() + luma + chroma, u);
    std::fill(bytes.begin() + luma + chroma, bytes.end(), v);
    return bytes;
}
