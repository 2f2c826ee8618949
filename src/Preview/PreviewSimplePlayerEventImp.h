#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/SFControlEvents.h"
#include "Widgets/SFVideoWindowEvent.h"
#include "Widgets/SFViewEvent.h"

class CPreviewPageEventImp;
class CPreviewSimplePlayerUILogic;
class CSFButton;
class CSFComboBox;
class CSFRadioBox;
class CSFSliderCtrl;
class CSFStatic;
class CSFVideoWindow;
class CSFView;

// The preview's slice player: the video grid and the control bar under it
// (play toggle, frame steps, speed, slice count, Stop, status line). Turns
// each user action into a call on its UI logic.
class CPreviewSimplePlayerEventImp : public ISFViewEvent,
                                     public ISFVideoWindowEvent,
                                     public ISFRadioBoxEvent,
                                     public ISFComboBoxEvent,
                                     public ISFSliderCtrlEvent,
                                     public boost::enable_shared_from_this<CPreviewSimplePlayerEventImp> {
    SF_DECLARE_MESSAGE_MAP()

public:
    static boost::shared_ptr<CPreviewSimplePlayerEventImp> Create(
        const boost::shared_ptr<CPreviewPageEventImp>& page);
    explicit CPreviewSimplePlayerEventImp(const boost::shared_ptr<CPreviewPageEventImp>& page);
    ~CPreviewSimplePlayerEventImp() override;

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;

    void OnFocusWndChanged(int subWindowId, int secondId) override;
    void OnSubWinZoom(int, int, int) override {}
    void RADIO_OnClicked(int checked, int id, tagPOINT point) override;
    void SelectChanged(int id, int index) override;
    void SF_OnSliderPos(int id, int pos) override;

    void OnBnPrevFrame();
    void OnBnNextFrame();
    void StopPlay();
    void ShowStopButton(int show);
    // Unchecks the play toggle and sets its tool tip back to "Play".
    void ResetPlayToggle();

    CSFView* GetView() const { return m_view; }
    CSFVideoWindow* GetVideoWindow() const { return m_videoWindow; }
    CSFComboBox* GetSlicesComboBox() const { return m_slicesCombo; }
    CSFStatic* GetStatusStatic() const { return m_status; }
    CSFSliderCtrl* GetSpeedSlider() const { return m_speedSlider; }
    CSFStatic* GetSpeedStatic() const { return m_speedLabel; }
    CSFRadioBox* GetPlayToggle() const { return m_playToggle; }
    CSFButton* GetStopButton() const { return m_stopButton; }
    boost::shared_ptr<CPreviewSimplePlayerUILogic> GetUILogic() const { return m_logic; }
    boost::shared_ptr<CPreviewPageEventImp> GetPage() const { return m_page.lock(); }

    // Speed text and value of a slider position; other positions count as 6.
    static const wchar_t* SpeedText(int pos);
    static float SpeedValue(int pos);
    // The grid layout for a "Slices:" index; -1 leaves the layout as it is.
    static int SliceLayout(int index);

private:
    void CreateView();
    void CreateVideoWindow();
    void CreatePlayToggle();
    CSFStatic* CreateLabel(const wchar_t* text);
    void CreateSlicesCombo();
    CSFButton* CreateStepButton(const wchar_t* normal, const wchar_t* over, UINT id, const wchar_t* tip);
    void CreateSpeedSlider();
    bool WidgetsExist() const;

    CSFVideoWindow* m_videoWindow = nullptr;
    CSFStatic* m_status = nullptr;
    CSFRadioBox* m_playToggle = nullptr;
    CSFButton* m_prevButton = nullptr;
    CSFButton* m_nextButton = nullptr;
    CSFSliderCtrl* m_speedSlider = nullptr;
    CSFStatic* m_speedLabel = nullptr;
    CSFStatic* m_slicesLabel = nullptr;
    CSFButton* m_stopButton = nullptr;
    CSFView* m_view = nullptr;
    CSFComboBox* m_slicesCombo = nullptr;
    boost::weak_ptr<CPreviewPageEventImp> m_page;
    boost::shared_ptr<CPreviewSimplePlayerUILogic> m_logic;
};
