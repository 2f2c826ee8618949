#pragma once

#include <map>
#include <utility>

#include <QPixmap>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QWidget>

#include "VideoWidgets/TimeLineModel.h"
#include "Widgets/SFPlayProgressPanel.h"

class CSFQTButton;
class CSFQTSliderCtrl;
class SFQtPlayProgressPanel;

// The Qt time-line panel: holds the channel records and the view model,
// the zoom slider, the scroll bar, the two row buttons and the drawing
// widget, and forwards what the user does to its listener.
class CSFQTPlayProgressPanel : public QWidget, public CSFPlayProgressPanel {
    Q_OBJECT
public:
    explicit CSFQTPlayProgressPanel(IPlayProgressEvent* handler);
    ~CSFQTPlayProgressPanel() override;

    void SetChannelRecord(const UISF_Channel& record) override;
    void RemoveChannelRecord(int channel) override;
    UISF_Channel* GetChannelRecord(int channel) override;
    void SetSkin(const wchar_t* image) override;
    void ReservedOp1(WPARAM, WPARAM, WPARAM, WPARAM, WPARAM) override { throw "unimplemented"; }
    void ReservedOp2(WPARAM, WPARAM, WPARAM, WPARAM, WPARAM) override { throw "umimplemented"; }
    void ReservedOp3() override { throw "unimplemented"; }
    void SetZoomFactor(int factor) override { OnZoomerValueChanged(factor); }
    void ReservedOp4(WPARAM, WPARAM) override { throw "umimplemented"; }
    void ReservedOp5(WPARAM) override {}
    int Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const tagRECT& rect, void* parent,
               UINT id) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(tagRECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override;
    void SetPlayTime(int channel, int time) override;
    int GetPlayTime(int channel) override;
    void SetPlayOffset(int channel, int seconds) override;
    void SetHighlightChannel(int channel) override;
    void SetSingleRecordView(int channel, bool on) override;
    void ScrollChannelsDown() override { OnSBDown(); }
    void ScrollChannelsUp() override { OnSBUp(); }
    void ApplyLayout(const PlayProgressPanelLayout* layout, int) override;
    void SetSkinImages(const PlayProgressPanelImages* images) override;
    void ShowCommonCursor(bool on) override;
    bool EnableCutMarks(bool on) override;
    void CenterOnTime(int time) override;
    void SetCutMarkTime(int mark, double time) override;
    void ReservedOp6(WPARAM) override { throw "unimplemented"; }

    const CTimeLineModel& Model() const { return m_model; }
    CTimeLineModel& Model() { return m_model; }
    SFQtPlayProgressPanel* DrawingWidget() const { return m_drawing; }
    QSlider* ZoomSlider() const;
    QScrollBar* ScrollBar() const { return m_scrollBar; }
    UINT ControlId() const { return m_controlId; }
    int SliderBackgroundLeft() const { return m_sliderBackgroundRect.left; }

public slots:
    void OnSBDown();
    void OnSBUp();
    void OnHorizontalBarValueChanged(int value);
    void OnPropertyChanged();
    void OnTimer();
    void OnZoomerValueChanged(int value);
    void OnHighlightChannelChanged(int channel);
    void OnMousePress(int channel);
    void OnMouseRelease(int channel);
    void OnMouseOver(int channel, QPoint globalPos, int time);
    void OnPositionChanged(int channel, int segmentId, int position, bool firstMark);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool HeldFor(int channel) const { return m_mouseHeld && (m_heldChannel == channel || m_heldChannel == -1); }
    int ZoomAnchor() const;
    void Repaint();
    // Sets a cursor (channel -1: the common one); only the drawing, which
    // shows the cursors, is drawn again, and only when the cursor moved.
    void MoveCursor(int channel, int time);
    // A channel's first start and last end, false when it spans less than a second.
    bool ChannelSpan(int channel, int& start, int& end) const;

    CSFQTButton* m_rowDown;
    CSFQTButton* m_rowUp;
    QScrollBar* m_scrollBar;
    CSFQTSliderCtrl* m_slider;
    QPixmap m_background;
    QPixmap m_sliderBackground;
    tagRECT m_sliderBackgroundRect{0, 0, -1, -1};
    UINT m_controlId = static_cast<UINT>(-1);
    QTimer* m_timer;
    int m_lastZoom = 1;
    bool m_mouseHeld = false;
    int m_heldChannel = -1;
    CTimeLineModel m_model;
    // Each record's span, kept with it: play times come many times a second.
    std::map<int, std::pair<int, int>> m_spans;
    SFQtPlayProgressPanel* m_drawing;
};

// Gives a panel of the given width the standard layout texts.
void SetPlayProgressPanelLayout(CSFPlayProgressPanel* panel, int width, int height);
