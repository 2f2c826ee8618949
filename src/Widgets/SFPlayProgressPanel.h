#pragma once

#include <array>
#include <map>
#include <string>

#include "Platform/Win32/Win32Types.h"
#include "Widgets/PlayProgressTypes.h"

// The panel's 30 layout texts (position 1 at index 0).
using PlayProgressPanelLayout = std::array<std::wstring, 30>;

// Image names of a time-line panel, looked up in the skin folder.
struct PlayProgressPanelImages {
    std::wstring rowUp[4];    // normal, hover, pressed, disabled
    std::wstring rowDown[4];  // normal, hover, pressed, disabled
    std::wstring record;      // kept, not drawn
    std::wstring otherRecord; // kept, not drawn
    std::wstring backwardDisabled;
    std::wstring backwardEnabled;
    std::wstring forwardDisabled;
    std::wstring forwardEnabled;
    std::wstring sliderBackground;
};

// The time-line panel as its views see it.
class CSFPlayProgressPanel {
public:
    explicit CSFPlayProgressPanel(IPlayProgressEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFPlayProgressPanel() { m_channels.clear(); }
    CSFPlayProgressPanel(const CSFPlayProgressPanel&) = default;
    CSFPlayProgressPanel& operator=(const CSFPlayProgressPanel&) = default;

    virtual void SetChannelRecord(const UISF_Channel& /*record*/) {}
    virtual void RemoveChannelRecord(int /*channel*/) {}
    virtual UISF_Channel* GetChannelRecord(int /*channel*/) { return nullptr; }
    virtual void SetSkin(const wchar_t* /*image*/) {}
    virtual void ReservedOp1(WPARAM, WPARAM, WPARAM, WPARAM, WPARAM) {}
    virtual void ReservedOp2(WPARAM, WPARAM, WPARAM, WPARAM, WPARAM) {}
    virtual void ReservedOp3() {}
    virtual void SetZoomFactor(int /*factor*/) {}
    virtual void ReservedOp4(WPARAM, WPARAM) {}
    virtual void ReservedOp5(WPARAM) {}
    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*windowName*/, DWORD /*style*/,
                       const tagRECT& /*rect*/, void* /*parent*/, UINT /*id*/) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetPlayTime(int /*channel*/, int /*time*/) {}
    virtual int GetPlayTime(int /*channel*/) { return 0; }
    virtual void SetPlayOffset(int /*channel*/, int /*seconds*/) {}
    virtual void SetHighlightChannel(int /*channel*/) {}
    virtual void SetSingleRecordView(int /*channel*/, bool /*on*/) {}
    virtual void ScrollChannelsDown() {}
    virtual void ScrollChannelsUp() {}
    virtual void ApplyLayout(const PlayProgressPanelLayout* /*layout*/, int /*unused*/) {}
    virtual void SetSkinImages(const PlayProgressPanelImages* /*images*/) {}
    virtual void ShowCommonCursor(bool /*on*/) {}
    virtual bool EnableCutMarks(bool on) { return on; }
    virtual void CenterOnTime(int /*time*/) {}
    virtual void SetCutMarkTime(int /*mark*/, double /*time*/) {}
    virtual void ReservedOp6(WPARAM) {}

protected:
    IPlayProgressEvent* m_pHandler;
    std::map<int, UISF_Channel> m_channels;
};
