#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFDialogEvent.h"

class CPreviewTimeLineViewEventImp;
class CSFDialog;
class CSFPictureCtrl;

// The time line's small pop-up: made hidden with the time line, never shown.
class CPreviewTimeLinePopDlgEventImp : public ISFDialogEvent {
public:
    static boost::shared_ptr<CPreviewTimeLinePopDlgEventImp> Create(
        const boost::shared_ptr<CPreviewTimeLineViewEventImp>& parent);
    explicit CPreviewTimeLinePopDlgEventImp(const boost::shared_ptr<CPreviewTimeLineViewEventImp>& parent);
    ~CPreviewTimeLinePopDlgEventImp() override;

    void Dlg_OnInitDialog(int modeless) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void OnDlgSize(UINT, int&, int&) override {}
    void Dlg_Destroy() override;
    void OnDlgShowWindow(int, UINT) override {}
    void OnDlgTimer(UINT) override {}

    CSFDialog* GetDialog() const { return m_dialog; }

private:
    void CreateView();

    CSFPictureCtrl* m_picture = nullptr;
    CSFPictureCtrl* m_unused = nullptr;
    boost::weak_ptr<CPreviewTimeLineViewEventImp> m_parent;
    CSFDialog* m_dialog = nullptr;
};
