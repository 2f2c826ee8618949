#pragma once

#include <map>
#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Widgets/PlaySpeedSteps.h"
#include "Widgets/SFControlEvents.h"
#include "Widgets/SFViewEvent.h"

class CPlayWinManagerEventImp;
class CPlayManagerUILogic;
class CSFButton;
class CSFRadioBox;
class CSFSliderCtrl;
class CSFStatic;
class CSFView;

// The main page's play bar: Repeat One, Sync Play, Reverse, Play/Pause,
// Stop, Previous, Next, Mute, the speed slider with its label and the
// volume slider.
class CPlayBarEventImp : public ISFViewEvent,
                         public ISFRadioBoxEvent,
                         public ISFSliderCtrlEvent,
                         public boost::enable_shared_from_this<CPlayBarEventImp> {
    SF_DECLARE_MESSAGE_MAP()

public:
    enum ButtonId {
        kRepeatOne = 156,
        kSyncPlay = 157,
        kReverse = 158,
        kPlayPause = 159,
        kStop = 160,
        kPrevious = 161,
        kNext = 162,
        kMute = 163,
        kSpeedSlider = 164,
        kVolumeSlider = 165,
    };
    static constexpr int kSpeedSteps = kPlaySpeedSteps;
    static constexpr int kNormalSpeedStep = kNormalPlaySpeedPosition;

    static boost::shared_ptr<CPlayBarEventImp> Create(const boost::shared_ptr<CPlayWinManagerEventImp>& owner);
    explicit CPlayBarEventImp(boost::weak_ptr<CPlayWinManagerEventImp> owner);
    ~CPlayBarEventImp() override;

    int CreateView(void* parentWindow);
    CSFView* GetView() const { return m_view; }
    int IsPlaying() const;
    int IsSyncPlay() const;
    float GetSpeed();
    void UpdateButtonState(int id, int check);

    int OnCreate() override;
    void RADIO_OnClicked(int check, int id, tagPOINT point) override;
    void SF_OnSliderPos(int id, int position) override;
    void OnSFBtnStop();
    void OnSFBtnPrev();
    void OnSFBtnNext();

    // Label and factor of a speed slider position.
    static std::wstring SpeedLabel(int position);
    static float SpeedFactor(int position);
    // The widgets, for the page's tests and shortcuts.
    CSFRadioBox* GetRadio(int id) const;
    CSFStatic* GetSpeedLabel() const { return m_speedLabel; }
    CSFSliderCtrl* GetSlider(int id) const { return id == kSpeedSlider ? m_speedSlider : id == kVolumeSlider ? m_volumeSlider : nullptr; }
    CSFButton* GetButton(int id) const;

private:
    boost::shared_ptr<CPlayManagerUILogic> UILogic() const;
    bool RefusedWhileOpening(int id, int check);
    void SetPlayToolTips(int playing);
    void SetToolTip(int id, const wchar_t* key);
    void MoveToAdjacent(int direction);
    void CreateRadios();
    void CreateButtons();
    void CreateSliders();

    CSFView* m_view = nullptr;
    boost::weak_ptr<CPlayWinManagerEventImp> m_owner;
    std::map<int, CSFRadioBox*> m_radios;
    CSFButton* m_stop = nullptr;
    CSFButton* m_previous = nullptr;
    CSFButton* m_next = nullptr;
    CSFStatic* m_speedLabel = nullptr;
    CSFSliderCtrl* m_speedSlider = nullptr;
    CSFSliderCtrl* m_volumeSlider = nullptr;
};
