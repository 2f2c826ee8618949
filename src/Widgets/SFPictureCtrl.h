#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

// A picture.
class CSFPictureCtrl {
public:
    explicit CSFPictureCtrl(ISFPictureCtrlEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFPictureCtrl() = default;
    CSFPictureCtrl(const CSFPictureCtrl&) = default;
    CSFPictureCtrl& operator=(const CSFPictureCtrl&) = default;

    virtual int Create(const wchar_t*, DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetImage(const wchar_t*) {}
    virtual void SetDrawPicture(int) {}
    virtual void* GetHWnd() { return nullptr; }

    ISFPictureCtrlEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFPictureCtrlEvent* m_pHandler;
};
