#include "VideoWidgets/SFQTPlayProgressPanel.h"

#include <QPainter>
#include <QResizeEvent>
#include <QSignalBlocker>

#include "Common/PlayProgressPanelLayout.h"
#include "VideoWidgets/SFQtPlayProgressPanel.h"
#include "Widgets/SFApplication.h"
#include "Widgets/SFQTButton.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTSliderCtrl.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

namespace {

QRect ToQRect(const tagRECT& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)); }

tagRECT ParseRect(const std::wstring& text) { return SFQTParseSkinRectInclusiveW(text.c_str()); }

// Positions of the layout texts the panel reads (0-based).
enum LayoutField {
    kTimeArea = 0,
    kNameColumn = 1,
    kPrevArrow = 2,
    kNextArrow = 3,
    kDrawingWidget = 4,
    kSliderBackground = 5,
    kSliderImage = 6,
    kSliderRects = 7,  // six rectangles
    kSliderRect = 13,
    kRowUp = 26,
    kRowDown = 27,
};

}  // namespace

CSFQTPlayProgressPanel::CSFQTPlayProgressPanel(IPlayProgressEvent* handler)
    : QWidget(nullptr),
      CSFPlayProgressPanel(handler),
      m_rowDown(new CSFQTButton(nullptr)),
      m_rowUp(new CSFQTButton(nullptr)),
      m_scrollBar(new QScrollBar(Qt::Horizontal, this)),
      m_slider(new CSFQTSliderCtrl(nullptr)),
      m_timer(new QTimer(this)),
      m_model(m_channels),
      m_drawing(new SFQtPlayProgressPanel(m_model, this))
{
    connect(m_rowDown, &QPushButton::clicked, this, &CSFQTPlayProgressPanel::OnSBDown);
    connect(m_rowUp, &QPushButton::clicked, this, &CSFQTPlayProgressPanel::OnSBUp);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &CSFQTPlayProgressPanel::OnHorizontalBarValueChanged);
    connect(m_drawing, &SFQtPlayProgressPanel::PropertyChanged, this, &CSFQTPlayProgressPanel::OnPropertyChanged);
    connect(m_drawing, &SFQtPlayProgressPanel::HighlightChannelChanged, this,
            &CSFQTPlayProgressPanel::OnHighlightChannelChanged);
    connect(m_drawing, &SFQtPlayProgressPanel::MouseOver, this, &CSFQTPlayProgressPanel::OnMouseOver);
    connect(m_drawing, &SFQtPlayProgressPanel::PositionChanged, this, &CSFQTPlayProgressPanel::OnPositionChanged);
    connect(m_drawing, &SFQtPlayProgressPanel::MousePress, this, &CSFQTPlayProgressPanel::OnMousePress);
    connect(m_drawing, &SFQtPlayProgressPanel::MouseRelease, this, &CSFQTPlayProgressPanel::OnMouseRelease);
    connect(m_slider, &QSlider::valueChanged, this, &CSFQTPlayProgressPanel::OnZoomerValueChanged);
    m_slider->SetTooltipEnable(0);
    m_rowDown->setParent(this);
    m_rowUp->setParent(this);
    m_slider->setParent(this);
}

CSFQTPlayProgressPanel::~CSFQTPlayProgressPanel()
{
    // The drawing widget reads the model: it goes before the model does.
    delete m_drawing;
    m_drawing = nullptr;
}

QSlider* CSFQTPlayProgressPanel::ZoomSlider() const { return m_slider; }

void CSFQTPlayProgressPanel::Repaint()
{
    m_drawing->update();
    update();
}

void CSFQTPlayProgressPanel::SetChannelRecord(const UISF_Channel& record)
{
    const int channel = record.channel;
    if (channel < 0)
        return;
    m_channels[channel] = record;
    auto days = CTimeLineModel::DaysOf(record);
    int start = 0, end = 0;
    const bool hasSpan = CTimeLineModel::Span(record, start, end);
    if (hasSpan)
        m_spans[channel] = {start, end};
    else
        m_spans.erase(channel);
    TimeLineDate first;
    if (!record.segments.empty()) {
        int earliest = record.segments.front().start;
        for (const auto& s : record.segments)
            earliest = std::min(earliest, s.start);
        first = TimeLineDateOf(earliest);
        start = earliest;
    }
    m_model.days[channel] = {first, std::move(days)};
    if (!m_model.canGoBack)
        m_model.canGoBack = m_model.HasEarlierDay(channel);
    if (!m_model.canGoForward)
        m_model.canGoForward = m_model.HasLaterDay(channel);
    if (hasSpan)
        m_model.cursors[channel] = start;
    m_model.dayCounters[channel] = 0;
    if (m_model.highlighted == -1) {
        m_model.highlighted = channel;
        m_model.FollowCursorDay(channel);
    }
    m_model.RebuildRows();
    Repaint();
}

void CSFQTPlayProgressPanel::RemoveChannelRecord(int channel)
{
    m_channels.erase(channel);
    m_spans.erase(channel);
    m_model.days.erase(channel);
    m_model.dayCounters.erase(channel);
    m_model.cursors.erase(channel);
    if (m_channels.empty())
        m_model.commonCursor = 0;
    m_model.RecomputeDayFlags();
    if (m_model.highlighted == channel)
        m_model.highlighted = -1;
    m_model.commonDayCounter = 0;
    m_model.RebuildRows();
    Repaint();
}

UISF_Channel* CSFQTPlayProgressPanel::GetChannelRecord(int channel)
{
    auto it = m_channels.find(channel);
    return it == m_channels.end() ? nullptr : &it->second;
}

void CSFQTPlayProgressPanel::SetSkin(const wchar_t* image)
{
    m_background = image ? SFQTLoadSkinImage(image) : QPixmap();
    update();
}

int CSFQTPlayProgressPanel::Create(const wchar_t*, const wchar_t*, DWORD, const tagRECT& rect, void* parent, UINT id)
{
    setGeometry(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)));
    m_controlId = id;
    setParent(static_cast<QWidget*>(parent));
    return 1;
}

void CSFQTPlayProgressPanel::MoveWindow(tagRECT* rect)
{
    if (!rect)
        return;
    const int w = rect->right - rect->left + 1, h = rect->bottom - rect->top + 1;
    MoveWindow(rect->left, rect->top, w, h);
}

void CSFQTPlayProgressPanel::MoveWindow(int x, int y, int w, int h)
{
    setGeometry(QRect(QPoint(x, y), QPoint(x + w - 1, y + h - 1)));
}

void CSFQTPlayProgressPanel::MoveCursor(int channel, int time)
{
    if (channel == -1) {
        if (m_model.commonCursor == time)
            return;
        m_model.commonCursor = time;
    } else if (auto [cursor, added] = m_model.cursors.try_emplace(channel, time); !added) {
        if (cursor->second == time)
            return;
        cursor->second = time;
    }
    m_drawing->update();
}

void CSFQTPlayProgressPanel::SetPlayTime(int channel, int time)
{
    if (HeldFor(channel))
        return;
    if (channel == -1) {
        MoveCursor(channel, time);
        return;
    }
    int start = 0, end = 0;
    if (!ChannelSpan(channel, start, end))
        return;
    if (static_cast<long long>(start) - 10 <= time && time <= static_cast<long long>(end) + 10)
        MoveCursor(channel, time);
}

bool CSFQTPlayProgressPanel::ChannelSpan(int channel, int& start, int& end) const
{
    auto it = m_spans.find(channel);
    if (it == m_spans.end())
        return false;
    start = it->second.first;
    end = it->second.second;
    return true;
}

int CSFQTPlayProgressPanel::GetPlayTime(int channel)
{
    auto it = m_model.cursors.find(channel);
    return it == m_model.cursors.end() ? 0 : it->second;
}

void CSFQTPlayProgressPanel::SetPlayOffset(int channel, int seconds)
{
    if (HeldFor(channel))
        return;
    int start = 0, end = 0;
    if (!ChannelSpan(channel, start, end))
        return;
    if (seconds >= 0 && static_cast<long long>(start) + seconds <= end)
        MoveCursor(channel, start + seconds);
}

void CSFQTPlayProgressPanel::SetHighlightChannel(int channel)
{
    if (m_model.Record(channel)) {
        if (m_model.highlighted != channel) {
            m_model.highlighted = channel;
            m_model.FollowCursorDay(channel);
        }
        const auto& rows = m_model.visibleRows;
        if (std::find(rows.begin(), rows.end(), channel) == rows.end()) {
            m_model.firstVisibleRow = static_cast<int>(std::distance(m_channels.begin(), m_channels.find(channel)));
            m_model.RebuildRows();
        }
        OnPropertyChanged();
    } else {
        m_model.highlighted = -1;
    }
    Repaint();
}

void CSFQTPlayProgressPanel::SetSingleRecordView(int channel, bool on)
{
    const UISF_Channel* record = m_model.Record(channel);
    m_model.singleView = on;
    m_model.singleChannel = record ? record->channel : channel;
    if (record) {
        m_model.singleZoom = m_model.singleZoomMax = 1;
        m_model.singleOffset = 0;
    }
    m_model.Rescale(0);
    OnPropertyChanged();
    Repaint();
}

void CSFQTPlayProgressPanel::ApplyLayout(const PlayProgressPanelLayout* layout, int)
{
    if (!layout)
        return;
    const PlayProgressPanelLayout& texts = *layout;
    m_model.timeArea = ParseRect(texts[kTimeArea]);
    m_model.nameColumn = ParseRect(texts[kNameColumn]);
    m_model.prevArrow = ParseRect(texts[kPrevArrow]);
    m_model.nextArrow = ParseRect(texts[kNextArrow]);
    m_model.Rescale(0);
    m_sliderBackgroundRect = ParseRect(texts[kSliderBackground]);
    m_drawing->setGeometry(ToQRect(ParseRect(texts[kDrawingWidget])));
    m_drawing->update();
    m_rowUp->setGeometry(ToQRect(ParseRect(texts[kRowUp])));
    m_rowDown->setGeometry(ToQRect(ParseRect(texts[kRowDown])));
    m_slider->setGeometry(ToQRect(ParseRect(texts[kSliderRect])));
    ImageSliderStyle sliderSkin;
    std::wstring* sliderTexts[] = {&sliderSkin.str0, &sliderSkin.str1, &sliderSkin.str2, &sliderSkin.str3,
                                   &sliderSkin.str4, &sliderSkin.str5, &sliderSkin.str6};
    for (int i = 0; i < 7; ++i)
        *sliderTexts[i] = texts[kSliderImage + i];
    m_slider->SetSkin(&sliderSkin);
    const QRect drawing = m_drawing->geometry();
    const tagRECT& area = m_model.timeArea;
    m_scrollBar->setGeometry(QRect(QPoint(drawing.left() + area.left, drawing.top() + area.bottom + 1),
                                   QPoint(drawing.left() + area.right, drawing.top() + area.bottom + 21)));
    m_scrollBar->setRange(0, 0);
    m_scrollBar->setPageStep(m_model.TimeAreaWidth());
    m_scrollBar->setSingleStep(std::max(1, m_model.TimeAreaWidth() / 10));
    OnPropertyChanged();
}

void CSFQTPlayProgressPanel::SetSkinImages(const PlayProgressPanelImages* images)
{
    if (!images)
        return;
    auto skin = [](const std::wstring* names) {
        ImageButtonStyle style;
        style.str0 = names[0];
        style.str1 = names[1];
        style.str2 = names[2];
        style.str3 = names[3];
        return style;
    };
    ImageButtonStyle up = skin(images->rowUp), down = skin(images->rowDown);
    m_rowUp->SetSkin(&up);
    m_rowDown->SetSkin(&down);
    const std::wstring* names[SFQtPlayProgressPanel::ImgCount] = {
        &images->record,          &images->otherRecord,     &images->backwardDisabled,
        &images->backwardEnabled, &images->forwardDisabled, &images->forwardEnabled};
    for (int i = 0; i < SFQtPlayProgressPanel::ImgCount; ++i)
        m_drawing->SetImage(i, SFQTLoadSkinImage(*names[i]));
    m_sliderBackground = SFQTLoadSkinImage(images->sliderBackground);
    Repaint();
}

void CSFQTPlayProgressPanel::ShowCommonCursor(bool on)
{
    m_model.commonCursorOn = on;
    Repaint();
}

bool CSFQTPlayProgressPanel::EnableCutMarks(bool on)
{
    m_model.cutMarksOn = on;
    Repaint();
    return m_model.cutMarksOn;
}

void CSFQTPlayProgressPanel::CenterOnTime(int time)
{
    m_model.CenterOnTime(time);
    OnPropertyChanged();
    Repaint();
}

void CSFQTPlayProgressPanel::SetCutMarkTime(int mark, double time)
{
    if (m_mouseHeld || mark < 0 || mark > 1 || !m_model.cutMarksOn || !std::isfinite(time))
        return;
    m_model.cutMarks[mark] = static_cast<int>(std::clamp(time, -2147483648.0, 2147483647.0));
    Repaint();
}

void CSFQTPlayProgressPanel::OnSBDown()
{
    ++m_model.firstVisibleRow;
    m_model.RebuildRows();
    Repaint();
}

void CSFQTPlayProgressPanel::OnSBUp()
{
    --m_model.firstVisibleRow;
    m_model.RebuildRows();
    Repaint();
}

void CSFQTPlayProgressPanel::OnHorizontalBarValueChanged(int value)
{
    (m_model.singleView ? m_model.singleOffset : m_model.dayOffset) = value;
    Repaint();
}

void CSFQTPlayProgressPanel::OnPropertyChanged()
{
    const QSignalBlocker blockBar(m_scrollBar);
    const QSignalBlocker blockSlider(m_slider);
    if (m_model.singleView) {
        m_slider->setRange(0, m_model.singleZoomMax);
        m_slider->setValue(1);
        m_scrollBar->setRange(0, std::max(0, m_model.singleVirtualWidth - m_model.visibleWidth));
        m_scrollBar->setValue(m_model.singleOffset);
    } else {
        m_slider->setRange(1, 100);
        m_slider->setValue(m_model.dayZoom);
        m_scrollBar->setRange(0, std::max(0, m_model.dayVirtualWidth - m_model.visibleWidth));
        m_scrollBar->setValue(m_model.dayOffset);
    }
}

void CSFQTPlayProgressPanel::OnTimer()
{
    if (!m_model.singleView)
        return;
    int start = 0, end = 0;
    if (!ChannelSpan(0, start, end))
        return;
    int& cursor = m_model.cursors[0];
    cursor = cursor + 1 > end ? start : cursor + 1;
    Repaint();
}

int CSFQTPlayProgressPanel::ZoomAnchor() const
{
    const auto& rows = m_model.visibleRows;
    const int channel = m_model.highlighted;
    auto cursor = m_model.cursors.find(channel);
    if (channel >= 0 && cursor != m_model.cursors.end() && std::find(rows.begin(), rows.end(), channel) != rows.end()) {
        const long long seconds = cursor->second - m_model.MidnightOfCurrentDay(channel);
        const int x = static_cast<int>(seconds * m_model.dayVirtualWidth / 86400) - m_model.dayOffset;
        if (x > 0 && x < m_model.visibleWidth)
            return x;
    }
    return m_model.visibleWidth / 2;
}

void CSFQTPlayProgressPanel::OnZoomerValueChanged(int value)
{
    m_lastZoom = value;
    if (m_model.singleView)
        m_model.singleOffset = 0;
    else
        m_model.SetZoom(value, ZoomAnchor());
    OnPropertyChanged();
    Repaint();
}

void CSFQTPlayProgressPanel::OnHighlightChannelChanged(int channel)
{
    if (m_pHandler)
        m_pHandler->OnSetHighlight(m_controlId, channel);
}

void CSFQTPlayProgressPanel::OnMousePress(int channel)
{
    m_mouseHeld = true;
    m_heldChannel = channel;
}

void CSFQTPlayProgressPanel::OnMouseRelease(int) { m_mouseHeld = false; }

void CSFQTPlayProgressPanel::OnMouseOver(int channel, QPoint globalPos, int time)
{
    if (m_pHandler)
        m_pHandler->OnMouseOverChannel(m_controlId, channel, tagPOINT{globalPos.x(), globalPos.y()}, time);
}

void CSFQTPlayProgressPanel::OnPositionChanged(int channel, int segmentId, int position, bool firstMark)
{
    if (m_pHandler)
        m_pHandler->OnPositionChanged(m_controlId, channel, segmentId, position,
                                      firstMark ? VIDEOCUT_START : VIDEOCUT_END);
}

void CSFQTPlayProgressPanel::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        if (!m_background.isNull())
            painter.drawPixmap(rect(), m_background);
        if (!m_sliderBackground.isNull())
            painter.drawPixmap(ToQRect(m_sliderBackgroundRect), m_sliderBackground);
    }
    QWidget::paintEvent(event);
}

void CSFQTPlayProgressPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int nameWidth = m_model.nameColumn.right - m_model.nameColumn.left + 1;
    if (event->oldSize().width() <= nameWidth)
        return;
    const int dx = event->size().width() - event->oldSize().width();
    const int dy = event->size().height() - event->oldSize().height();
    m_model.Rescale(dx);
    m_rowUp->move(m_rowUp->pos() + QPoint(dx, dy));
    m_rowDown->move(m_rowDown->pos() + QPoint(dx, dy));
    m_drawing->resize(m_drawing->size() + QSize(dx, dy));
    m_scrollBar->move(m_scrollBar->pos() + QPoint(0, dy));
    m_scrollBar->resize(m_model.TimeAreaWidth(), m_scrollBar->height());
    OnPropertyChanged();
}

void CSFQTPlayProgressPanel::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (m_pHandler)
        m_pHandler->PPP_OnMouseLeave(m_controlId);
}

void SetPlayProgressPanelLayout(CSFPlayProgressPanel* panel, int width, int)
{
    if (!panel)
        return;
    const PlayProgressPanelLayout layout = MakePlayProgressPanelLayout(width);
    panel->ApplyLayout(&layout, 0);
}
