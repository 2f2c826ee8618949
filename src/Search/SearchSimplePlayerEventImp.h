#pragma once

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFVideoWindowEvent.h"
#include "Widgets/SFViewEvent.h"

class CSFButton;
class CSFRadioBox;
class CSFSliderCtrl;
class CSFStatic;
class CSFVideoWindow;
class CSFView;
class CSeachViewEventImp;

// The search page's small player: a one-cell video window over a row of
// controls. It plays nothing; the slider only names a speed and a press on
// any of its buttons whitens the "Export" text until release.
class CSearchSimplePlayerEventImp : public ISFViewEvent,
                                    public ISFVideoWindowEvent,
                                    public ISFRadioBoxEvent,
                                    public ISFSliderCtrlEvent,
                                    public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP()
public:
    explicit CSearchSimplePlayerEventImp(const boost::shared_ptr<CSeachViewEventImp>& parent);
    ~CSearchSimplePlayerEventImp() override;
    CSearchSimplePlayerEventImp(const CSearchSimplePlayerEventImp&) = delete;
    CSearchSimplePlayerEventImp& operator=(const CSearchSimplePlayerEventImp&) = delete;

    static boost::shared_ptr<CSearchSimplePlayerEventImp> Create(const boost::shared_ptr<CSeachViewEventImp>& parent);
    int CreateView();
    CSFView* GetView() const { return m_pView; }

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;

    void SF_OnSliderPos(int id, int pos) override;
    void BTN_OnLButtonDown(int id, UINT flags, tagPOINT point) override;
    void BTN_OnLButtonUp(int id, UINT flags, tagPOINT point) override;

    // The speed text of a slider position: "1/16X" ... "16X", empty beyond.
    static const wchar_t* SpeedText(int pos);

private:
    void CreateVideoWindow();
    void CreateToggles();
    void CreateFrameButtons();
    void CreateSpeedControls();
    void CreateExportButton();
    void OnExport() {}
    void OnPreviousFrame() {}
    void OnNextFrame() {}

    CSFVideoWindow* m_pVideoWindow = nullptr;
    CSFRadioBox* m_pPlay = nullptr;
    CSFRadioBox* m_pSetRegion = nullptr;
    CSFButton* m_pPreviousFrame = nullptr;
    CSFButton* m_pNextFrame = nullptr;
    CSFButton* m_pExport = nullptr;
    CSFStatic* m_pSpeedLabel = nullptr;
    CSFSliderCtrl* m_pSpeedSlider = nullptr;
    boost::weak_ptr<CSeachViewEventImp> m_parent;
    CSFView* m_pView = nullptr;
};
