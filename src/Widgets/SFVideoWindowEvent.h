#pragma once

#include "Platform/Win32/Win32Types.h"

// Callbacks of the video grid to its event object.
class ISFVideoWindowEvent {
public:
    virtual ~ISFVideoWindowEvent() = default;
    virtual void OnLayoutChanged() {}
    virtual void OnBnClickedVideoClose(int, int) {}
    virtual void OnBnClickedVideoSnap(int, int) {}
    virtual void OnBnClickedVideoRecord(int, int, int) {}
    virtual void OnBnClickedVideoProperty(int, int) {}
    virtual void OnFocusWndChanged(int, int) {}
    virtual void OnSubWndExchanged(int, int) {}
    virtual void OnSubWinZoom(int, int, int) {}
    virtual void OnSubWinOccupyRoom(int, int, int) {}
    virtual void VideoWidow_OnLButtonDown(int, int, tagPOINT&) {}
    virtual void VideoWidow_OnLButtonUp(int, int, tagPOINT&) {}
};
