#pragma once

#include "Widgets/SFEventBase.h"

// Callbacks of a page, bar or panel view to its event object.
class ISFViewEvent : public CSFEventBase {
public:
    ISFViewEvent() = default;
    // Its view, when it outlives this object, calls it no more.
    ~ISFViewEvent() override;

    const SF_MSGMAP* GetSFMessageMap() const override { return nullptr; }
    virtual int OnCreate() { return 0; }
    virtual void OnDestroy() {}
    virtual void OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {}
    virtual void OnLButtonDown(UINT /*flags*/, tagPOINT /*point*/) {}
    virtual void OnLButtonDblClk(UINT /*flags*/, tagPOINT /*point*/) {}
    virtual void OnShowWindow(int /*show*/) {}

    void* GetUIWnd() const { return m_pUIWnd; }
    void SetUIWnd(void* window) { m_pUIWnd = window; }

private:
    void* m_pUIWnd = nullptr;
};
