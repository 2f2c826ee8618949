#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

// Handler of the animated picture; nothing implements it.
class ISFPictureExEvent {
protected:
    ~ISFPictureExEvent() = default;
};

// An animated picture (no Qt form; never created).
class CSFPictureEx {
public:
    explicit CSFPictureEx(ISFPictureExEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFPictureEx() = default;
    CSFPictureEx(const CSFPictureEx&) = default;
    CSFPictureEx& operator=(const CSFPictureEx&) = default;

    virtual int Create(const wchar_t*, DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int Draw() { return 0; }
    virtual int Load(const wchar_t*, int) { return 0; }

    ISFPictureExEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFPictureExEvent* m_pHandler;
};
