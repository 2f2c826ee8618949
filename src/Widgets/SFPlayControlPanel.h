#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SkinStyles.h"
#include "Widgets/WidgetTypes.h"

// A play control panel (no Qt form; never created).
class CSFPlayControlPanel {
public:
    explicit CSFPlayControlPanel(IPlayControlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFPlayControlPanel() = default;
    CSFPlayControlPanel(const CSFPlayControlPanel&) = default;
    CSFPlayControlPanel& operator=(const CSFPlayControlPanel&) = default;

    virtual void SetBackground(const char* /*image*/) {}
    virtual void SetAnchor(ControlIdentifier, tagRECT&) {}
    // Takes the record by value and only releases it.
    virtual void SetBtnAnchorSkin(ControlIdentifier, ControlStatus, ImageRadioBox) {}
    virtual void SetControlStatus(ControlIdentifier, ControlStatus) {}
    virtual int Create(void* /*parent*/) { return 0; }
    virtual void DoPaint() {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void ShowWindow(int) {}
    virtual void SetThumbPosition(int, ControlIdentifier) {}

protected:
    IPlayControlEvent* m_pHandler;
};
