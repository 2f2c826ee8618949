#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFDialogEvent.h"

class CExportTimeLineViewEventImp;
class CSFDialog;
class CSFPictureCtrl;

// The time line's small pop-up: made hidden with the time line, never shown.
class CExportTimeLinePopDlgEventImp : public ISFDialogEvent {
public:
    static boost::shared_ptr<CExportTimeLinePopDlgEventImp> Create(
        const boost::shared_ptr<CExportTimeLineViewEventImp>& timeLine, void* parentWindow);
    explicit CExportTimeLinePopDlgEventImp(const boost::shared_ptr<CExportTimeLineViewEventImp>& timeLine);
    ~CExportTimeLinePopDlgEventImp() override;

    const SF_MSGMAP* GetSFMessageMap() const override { return nullptr; }
    void Dlg_OnInitDialog(int modeless) override;
    void Dlg_Destroy() override;
    void OnDlgShowWindow(int, UINT) override {}
    void OnDlgTimer(UINT) override {}

    CSFDialog* GetDialog() const { return m_dialog; }

private:
    int CreateView(void* parentWindow);

    CSFPictureCtrl* m_picture = nullptr;
    void* m_unused = nullptr;
    boost::weak_ptr<CExportTimeLineViewEventImp> m_timeLine;
    CSFDialog* m_dialog = nullptr;
};
