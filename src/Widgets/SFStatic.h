#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

// A static text.
class CSFStatic {
public:
    explicit CSFStatic(ISFStaticEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFStatic() = default;
    CSFStatic(const CSFStatic&) = default;
    CSFStatic& operator=(const CSFStatic&) = default;

    virtual int Create(const wchar_t*, DWORD, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetStaticText(wchar_t* /*buffer*/, int /*size*/) const { return 0; }
    virtual void SetStaticText(const wchar_t*) {}
    virtual void SetTextAlignFlag(UINT) {}
    virtual UINT GetTextAlignFlag() { return 0; }
    virtual void SetTextColor(UINT) {}
    virtual void SetTextBold(int) {}
    virtual void GetTextSize(int&, int&) {}
    virtual void SetBgColor(UINT, int) {}

    ISFStaticEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFStaticEvent* m_pHandler;
};
