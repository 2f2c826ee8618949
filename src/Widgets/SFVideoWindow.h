#pragma once

#include <boost/shared_ptr.hpp>

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFVideoWindowEvent.h"
#include "Widgets/WidgetTypes.h"

struct ImageVideoWindowStyle;

// Copies one picture's planes into an off-screen surface.
using SFPlaneCopyFunc = void (*)(BYTE*, BYTE*, BYTE*, BYTE*, DWORD, int, int);

// The video grid as its event objects see it.
class CSFVideoWindow {
public:
    explicit CSFVideoWindow(ISFVideoWindowEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFVideoWindow() = default;
    CSFVideoWindow(const CSFVideoWindow&) = default;
    CSFVideoWindow& operator=(const CSFVideoWindow&) = default;

    virtual int Create(const wchar_t* /*name*/, const tagRECT& /*rect*/, void* /*parent*/, UINT /*id*/) { return 0; }
    virtual int SetSkin(ImageVideoWindowStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void* GetLayoutOverView(int, int, DWORD, DWORD) { return nullptr; }
    virtual int GetLayoutOverView(void*, int, int, DWORD, DWORD) { return 0; }
    virtual VIDEOWINDOWMODE GetVideoWindowMode() { return VIDEOWINDOWMODE_NORMAL; }
    virtual int SetRows(int) { return 0; }
    virtual int SetColumns(int) { return 0; }
    virtual void SetSubWinProportion(int, int) {}
    virtual int GetLayout(char* /*buffer*/, int /*length*/) { return 0; }
    virtual int SetDefaultLayout(LAYOUT_TYPE, const char* /*layout*/) { return 0; }
    virtual void* GetSubWinHandle(int) { return nullptr; }
    virtual int GetCurrentSubWinIndex() { return -1; }
    virtual int GetCurrentSubWinID() { return -1; }
    virtual int GetSubWinIDByIndex(int) { return -1; }
    virtual int GetSubWinIndexByID(int) { return -1; }
    virtual int GetCurrentSubWinCount() { return 0; }
    virtual void SetSubWinVideoByIndex(int, int) {}
    virtual void SetSubWinVideoByID(int, int) {}
    virtual void SetDragMode(int) {}
    virtual void SetFrameZoomMode(int) {}
    virtual int IsEnableFrameZoom() { return 0; }
    virtual void SetDrawOSDHandle(int, void*) {}
    virtual void GetFrameOSDRect(tagRECT&) {}
    virtual void SetDragSubWinCursor(UINT, UINT) {}
    virtual void SetSubWinCtrlsVisible(int) {}
    virtual void SetSubWinRecordState(int, int) {}
    virtual void EableSubWinExchange(int) {}
    virtual void ResetSubWinSizeToMin(int) {}
    virtual void ResetSubWinSizeToMinByID(int) {}
    virtual int SetFocusSubWin(int) { return 0; }
    virtual void SetActiveCheckMode(int) {}
    virtual int RenderSubWin(int, BYTE*, RENDER_DATA_TYPE, int, int) { return 0; }
    virtual int RenderOffScreenSurface(int, BYTE*, int, int, int, int) { return 0; }
    // As RenderOffScreenSurface, with an owner that keeps the frame alive, so
    // that a cell may keep it without a copy.
    virtual int RenderKeptOffScreenSurface(int id, BYTE* data, boost::shared_ptr<const void>, int w, int h,
                                           int port, int extra)
    {
        return RenderOffScreenSurface(id, data, w, h, port, extra);
    }
    // A planar 4:2:0 picture (Y, V, U) the cell keeps, uncopied, until the next one.
    virtual int RenderPlanarSubWin(int, boost::shared_ptr<unsigned char[]>, int, int) { return 0; }
    virtual int GetOffScreenSurface(int, void*&, SFPlaneCopyFunc&, int, int) { return 0; }
    virtual int SHowSubWinAtLeast(int) { return 0; }
    virtual int EnableSubWinAnimation(int) { return 0; }
    virtual int VerticalSyncEnable(int) { return 0; }
    virtual void SnapLastFrame(int) {}
    virtual void SetLockScreen(int) {}

    // Default layout text of a standard grid; null for any other value.
    static const char* GetDefaultLayout(LAYOUT_TYPE type);

protected:
    ISFVideoWindowEvent* m_pHandler;
};
