#pragma once

#include "Widgets/SFDialogEvent.h"

class CSFDialog;

// The skinned, still empty main window shown at start-up.
class CStartupFrameEventImp : public ISFDialogEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    CStartupFrameEventImp();
    ~CStartupFrameEventImp() override;
    CStartupFrameEventImp(const CStartupFrameEventImp&) = delete;
    CStartupFrameEventImp& operator=(const CStartupFrameEventImp&) = delete;

    // Creates, skins, titles and shows the window.
    void Create(const wchar_t* title);
    void Dlg_OnInitDialog(int) override {}

private:
    CSFDialog* m_pWindow = nullptr;
};
