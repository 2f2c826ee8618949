#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct ImageSliderStyle;

// A slider.
class CSFSliderCtrl {
public:
    explicit CSFSliderCtrl(ISFSliderCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFSliderCtrl() = default;
    CSFSliderCtrl(const CSFSliderCtrl&) = default;
    CSFSliderCtrl& operator=(const CSFSliderCtrl&) = default;

    virtual int Create(DWORD, const tagRECT&, void*, UINT, SLIDER_RESPONSE_MODE) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageSliderStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetPos() const { return 0; }
    virtual void GetRange(int&, int&) const {}
    virtual void SetPos(int) {}
    virtual void SetRange(int, int, int) {}
    virtual void SetTooltipEnable(int) {}

    ISFSliderCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFSliderCtrlEvent* m_pHandler;
};
