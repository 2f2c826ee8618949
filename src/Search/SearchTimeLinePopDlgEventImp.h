#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFDialogEvent.h"

class CSFDialog;
class CSFPictureCtrl;
class CSearchTimeLineViewImp;

// The search time line's pop-up: a 138 x 100 dialog with one picture,
// made hidden and never shown.
class CSearchTimeLinePopDlgEventImp : public ISFDialogEvent {
public:
    explicit CSearchTimeLinePopDlgEventImp(const boost::shared_ptr<CSearchTimeLineViewImp>& parent);
    ~CSearchTimeLinePopDlgEventImp() override = default;
    CSearchTimeLinePopDlgEventImp(const CSearchTimeLinePopDlgEventImp&) = delete;
    CSearchTimeLinePopDlgEventImp& operator=(const CSearchTimeLinePopDlgEventImp&) = delete;

    static boost::shared_ptr<CSearchTimeLinePopDlgEventImp> Create(
        const boost::shared_ptr<CSearchTimeLineViewImp>& parent);
    int CreateView();
    CSFDialog* GetDialog() const { return m_pDialog; }

    void Dlg_OnInitDialog(int modeless) override;
    void Dlg_Destroy() override;

private:
    CSFPictureCtrl* m_pPicture = nullptr;
    boost::weak_ptr<CSearchTimeLineViewImp> m_parent;
    CSFDialog* m_pDialog = nullptr;
};
