#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

struct UIImagePanelStyle;

// A scrolling panel of images.
class CSFImagePanel {
public:
    explicit CSFImagePanel(ISFImagePanelEvent* handler) : m_pHandler(handler) {}
    virtual ~CSFImagePanel() = default;
    CSFImagePanel(const CSFImagePanel&) = default;
    CSFImagePanel& operator=(const CSFImagePanel&) = default;

    virtual int Create(const wchar_t*, const tagRECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(UIImagePanelStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(tagRECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetCount() const { return 0; }
    virtual int AddItem(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*) { return 0; }
    virtual void ClearItems() {}
    virtual void DelByItemName(const wchar_t*) {}
    virtual void SetScrollType(DISPLAY_TYPE) {}
    virtual const wchar_t* GetHotImagePath() { return nullptr; }

    ISFImagePanelEvent* GetHandler() const { return m_pHandler; }

protected:
    ISFImagePanelEvent* m_pHandler;
};
