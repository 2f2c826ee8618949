#pragma once

#include <string>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/PlaySpeedSteps.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFVideoWindowEvent.h"
#include "Widgets/SFViewEvent.h"

class CExportViewEventImp;
class CSFButton;
class CSFProgressCtrl;
class CSFRadioBox;
class CSFSliderCtrl;
class CSFStatic;
class CSFVideoWindow;
class CSFView;

// The export page's small player: one video window, play/pause, frame
// steps, speed, and the export row (progress and the export button).
class CExportSimplePlayerViewEventImp : public ISFViewEvent,
                                        public ISFVideoWindowEvent,
                                        public ISFRadioBoxEvent,
                                        public ISFSliderCtrlEvent,
                                        public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP()

public:
    static constexpr int kDefaultSpeedPosition = kNormalPlaySpeedPosition;

    static boost::shared_ptr<CExportSimplePlayerViewEventImp> Create(
        const boost::shared_ptr<CExportViewEventImp>& page, void* parentWindow);
    explicit CExportSimplePlayerViewEventImp(const boost::shared_ptr<CExportViewEventImp>& page);
    ~CExportSimplePlayerViewEventImp() override;

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    void RADIO_OnClicked(int checked, int id, tagPOINT point) override;
    void SF_OnSliderPos(int id, int position) override;
    void BTN_OnLButtonDown(int id, UINT flags, tagPOINT point) override;
    void BTN_OnLButtonUp(int id, UINT flags, tagPOINT point) override;

    void OnBnExport();
    void OnBnPrevFrame();
    void OnBnNextFrame();

    CSFView* GetView() const { return m_view; }
    CSFVideoWindow* GetVideoWindow() const { return m_videoWindow; }
    CSFProgressCtrl* GetProgressCtrl() const { return m_progress; }
    CSFButton* GetExportButton() const { return m_exportButton; }
    CSFSliderCtrl* GetSpeedSlider() const { return m_speedSlider; }
    CSFStatic* GetSpeedLabel() const { return m_speedLabel; }
    CSFRadioBox* GetPlayButton() const { return m_playButton; }

    void SetPlayState(int playing);
    void SetSpeedPosition(int position);
    void SetProgressPos(int percent);
    void SetExportButtonText(const wchar_t* text);
    void EnableExportButton(int enable);

    // The label and speed of a slider position (1X for any unknown one).
    static const wchar_t* SpeedLabel(int position);
    static float SpeedOf(int position);

private:
    int CreateView(void* parentWindow);
    void CreateVideoWindow(const tagRECT& rect);
    void CreatePlayControls();
    void CreateExportRow();
    void Step(bool forward);

    CSFView* m_view = nullptr;
    CSFVideoWindow* m_videoWindow = nullptr;
    CSFRadioBox* m_playButton = nullptr;
    CSFButton* m_prevButton = nullptr;
    CSFButton* m_nextButton = nullptr;
    CSFStatic* m_speedLabel = nullptr;
    CSFSliderCtrl* m_speedSlider = nullptr;
    CSFProgressCtrl* m_progress = nullptr;
    CSFButton* m_exportButton = nullptr;
    boost::weak_ptr<CExportViewEventImp> m_page;
};
