#pragma once

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFViewEvent.h"

// A child view (page, bar or panel) as event objects see it.
class CSFView {
public:
    explicit CSFView(ISFViewEvent* handler) : m_pHandler(handler)
    {
        if (m_pHandler)
            m_pHandler->ResetMessageIDCache();
    }
    virtual ~CSFView() = default;
    CSFView(const CSFView&) = default;
    CSFView& operator=(const CSFView&) = default;

    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*windowName*/, DWORD /*style*/,
                       const tagRECT& /*rect*/, void* /*parent*/, UINT /*id*/) { return 0; }
    virtual void ShowWindow(int /*show*/) {}
    virtual void SetBackground(const wchar_t* /*imageName*/) {}
    virtual void MoveWindow(tagRECT* /*rect*/) {}
    virtual void MoveWindow(int /*x*/, int /*y*/, int /*w*/, int /*h*/) {}
    virtual void GetViewClientRect(tagRECT* /*rect*/) {}
    virtual void GetViewWindowRect(tagRECT* /*rect*/) {}
    virtual void Screen2Client(tagPOINT* /*point*/) {}
    virtual void Screen2Client(tagRECT* /*rect*/) {}
    virtual int isWindow() { return 0; }
    virtual int SubclassWindow() { return 0; }
    virtual void* UnsubclassWindow() { return nullptr; }
    virtual void SetRoundCornerRadius(UINT /*radius*/) {}
    virtual void SetBGClr(UINT /*colour*/) {}

    void* GetUIWnd() const { return m_pHandler ? m_pHandler->GetUIWnd() : nullptr; }
    ISFViewEvent* GetHandler() const { return m_pHandler; }
    // The handler is going: nothing is passed to it any more.
    void DetachHandler() { m_pHandler = nullptr; }

protected:
    ISFViewEvent* m_pHandler;
};
