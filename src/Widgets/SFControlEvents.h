#pragma once

// Callback tables of the controls to their owners. Every operation has an
// empty default, so an owner overrides only what it needs.

#include "Platform/Win32/Win32Types.h"
#include "Widgets/SFSystemTime.h"
#include "Widgets/WidgetTypes.h"

class ISFButtonEvent {
public:
    virtual void BTN_OnLButtonDown(int /*id*/, UINT /*flags*/, tagPOINT /*point*/) {}
    virtual void BTN_OnLButtonUp(int /*id*/, UINT /*flags*/, tagPOINT /*point*/) {}
    virtual void BTN_OnMouseMove(int /*id*/, UINT /*flags*/, tagPOINT /*point*/) {}
    virtual void BTN_OnMouseLeave(int /*id*/, UINT /*flags*/, long /*param*/) {}
    virtual void BTN_OnClicked(int /*id*/) {}
    virtual void BTN_OnCustomerClicked() {}

protected:
    ~ISFButtonEvent() = default;
};

class ISFRadioBoxEvent {
public:
    virtual void RADIO_OnClicked(int /*checked*/, int /*id*/, tagPOINT /*point*/) {}
    virtual void RADIO_OnShowWindow(int, UINT, int) {}

protected:
    ~ISFRadioBoxEvent() = default;
};

class ISFNumSpinerEvent {
public:
    virtual void OnCurrentNumChanged(UINT /*id*/, int /*value*/) {}

protected:
    ~ISFNumSpinerEvent() = default;
};

class ISFSliderCtrlEvent {
public:
    virtual void SF_OnSliderPos(int /*id*/, int /*pos*/) {}

protected:
    ~ISFSliderCtrlEvent() = default;
};

class ISFComboBoxEvent {
public:
    virtual void SelectChanged(int /*id*/, int /*index*/) {}

protected:
    ~ISFComboBoxEvent() = default;
};

class ISFDateTimeCtrlEvent {
public:
    virtual void DTN_DropDownMonthCal(UINT /*id*/) {}
    virtual void DTN_DateTimeChange(UINT /*id*/, _SF_SYSTEMTIME /*time*/) {}

protected:
    ~ISFDateTimeCtrlEvent() = default;
};

class ISFEditCtrlEvent {
public:
    virtual void EDIT_OnTextChange(UINT /*id*/, wchar_t* /*text*/) {}
    virtual void EDIT_OnEditingFinished(UINT /*id*/, wchar_t* /*text*/) {}

protected:
    ~ISFEditCtrlEvent() = default;
};

class ISFImagePanelEvent {
public:
    virtual void IMGPNL_OnPlayImage(const wchar_t* /*path*/) {}

protected:
    ~ISFImagePanelEvent() = default;
};

class ISFTreeCtrlEvent {
public:
    virtual void OnItemDbClick(void* /*item*/, tagPOINT& /*point*/) {}
    virtual int OnItemClick(void* /*item*/, UINT /*flags*/) { return 1; }
    virtual void OnItemCheckStateChanged(void* /*item*/, int /*checked*/) {}
    virtual void OnItemCheckBoxClick(void* /*item*/, UINT) {}
    virtual void OnDlgKeyDown(UINT /*key*/, UINT /*flags*/) {}

protected:
    ~ISFTreeCtrlEvent() = default;
};

// Interfaces of the exported surface that nothing in the program implements.

class ISFCheckBoxEvent {
public:
    virtual void BTN_OnLButtonDown() {}
    virtual void BTN_OnLButtonUp() {}
    virtual void BTN_OnMouseMove() {}

protected:
    ~ISFCheckBoxEvent() = default;
};

class ISFStaticEvent {
public:
    virtual void STATIC_OnLButtonDown(UINT, UINT, tagPOINT) {}
    virtual void STATIC_OnLButtonUp(UINT, UINT, tagPOINT) {}
    virtual void STATIC_OnMouseMove(UINT, UINT, tagPOINT) {}

protected:
    ~ISFStaticEvent() = default;
};

class ISFPictureCtrlEvent {
public:
    virtual void PICTRL_OnLButtonDown(UINT, UINT, tagPOINT) {}
    virtual void PICTRL_OnLButtonUp(UINT, UINT, tagPOINT) {}
    virtual void PICTRL_OnMouseMove(UINT, UINT, tagPOINT) {}

protected:
    ~ISFPictureCtrlEvent() = default;
};

class ISFMonthCalCtrlEvent {
public:
    virtual void MONTHCAL_DateSelected(UINT /*id*/, _SF_SYSTEMTIME /*time*/) {}

protected:
    ~ISFMonthCalCtrlEvent() = default;
};

class ISFChildWndEvent {
public:
    virtual void Dlg_OnCommand(UINT /*id*/) {}
    virtual int OnCreate() { return 0; }
    virtual void OnDestroy() {}

    void* GetUIWnd() const { return m_pUIWnd; }
    void SetUIWnd(void* window) { m_pUIWnd = window; }

protected:
    ~ISFChildWndEvent() = default;

private:
    void* m_pUIWnd = nullptr;
};

class ISFFrameEvent {
public:
    virtual int OnFrameCreate() = 0;
    virtual void OnDistroy() {}

    void* GetUIWnd() const { return m_pUIWnd; }
    void SetUIWnd(void* window) { m_pUIWnd = window; }

protected:
    ~ISFFrameEvent() = default;

private:
    void* m_pUIWnd = nullptr;
};

class ISFControlBarEvent {
public:
    virtual int OnBarCreate() = 0;

    void* GetUIWnd() const { return m_pUIWnd; }
    void SetUIWnd(void* window) { m_pUIWnd = window; }

protected:
    ~ISFControlBarEvent() = default;

private:
    void* m_pUIWnd = nullptr;
};

// Mouse press, release and move, called without arguments.
#define SF_DECLARE_MOUSE_EVENT_INTERFACE(name)    \
    class name {                                  \
    public:                                       \
        virtual void OnMouseDown() = 0;           \
        virtual void OnMouseUp() = 0;             \
        virtual void OnMouseMove() = 0;           \
                                                  \
    protected:                                    \
        ~name() = default;                        \
    };

SF_DECLARE_MOUSE_EVENT_INTERFACE(ISFListBoxEvent)
SF_DECLARE_MOUSE_EVENT_INTERFACE(ISFGroupBoxEvent)
SF_DECLARE_MOUSE_EVENT_INTERFACE(ISFProgressCtrlEvent)
SF_DECLARE_MOUSE_EVENT_INTERFACE(ISFTabCtrlEvent)
SF_DECLARE_MOUSE_EVENT_INTERFACE(ISFIPAddressCtrlEvent)
#undef SF_DECLARE_MOUSE_EVENT_INTERFACE

class ISFWndTabBarEvent {
public:
    void* GetUIWnd() const { return m_pUIWnd; }
    void SetUIWnd(void* window) { m_pUIWnd = window; }

private:
    void* m_pUIWnd = nullptr;
};

class ISFListCtrlEvent {};

class IPlayControlEvent {
public:
    virtual void OnControlCommand(ControlIdentifier, ControlStatus) {}
    virtual void OnCBVolumeSlip(int) {}
    virtual void OnCBPlayModeSlip(int) {}

protected:
    ~IPlayControlEvent() = default;
};
