#include "Widgets/QSliderExStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include "Widgets/SFQTSliderCtrl.h"

namespace {

const CSFQTSliderCtrl* SkinnedSlider(const QWidget* widget)
{
    return qobject_cast<const CSFQTSliderCtrl*>(widget);
}

int ImageLength(const QPixmap* image, bool horizontal)
{
    return horizontal ? image->width() : image->height();
}

int ImageThickness(const QPixmap* image, bool horizontal)
{
    return horizontal ? image->height() : image->width();
}

// Image of the handle for the option's state: 2 normal, 3 hover, 4 pressed,
// 5 disabled.
int HandleImageIndex(QStyle::State state)
{
    const bool over = state & QStyle::State_MouseOver;
    const bool enabled = state & QStyle::State_Enabled;
    if (over && (state & QStyle::State_Sunken))
        return 4;
    if (!over && enabled)
        return 2;
    if (over && enabled)
        return 3;
    return 5;
}

void DrawGroove(const CSFQTSliderCtrl* slider, QPainter* painter, QPoint centre)
{
    const QPixmap* passed = slider->GetSkinPixmap(0);
    const QPixmap* remaining = slider->GetSkinPixmap(1);
    if (!passed || !remaining)
        return;
    if (centre.x() > 0)
        painter->drawPixmap(0, 0, *passed, 0, 0, centre.x(), passed->height());
    painter->drawPixmap(centre.x(), 0, *remaining, centre.x(), 0, remaining->width() - centre.x(),
                        remaining->height());
}

void DrawHandle(const CSFQTSliderCtrl* slider, const QStyleOptionSlider* option, QPainter* painter, QPoint centre,
                const QRect& groove, const QRect& handle)
{
    for (int i = 2; i <= 5; ++i) {
        if (!slider->GetSkinPixmap(i))
            return;
    }
    const QPixmap* image = slider->GetSkinPixmap(HandleImageIndex(option->state));
    if (option->orientation == Qt::Horizontal)
        painter->drawPixmap(centre.x() - image->width() / 2, centre.y(), *image);
    else
        painter->drawPixmap((groove.width() - slider->GetSkinPixmap(2)->width()) / 2, handle.top(), *image);
}

}  // namespace

QSliderExStyle::QSliderExStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

void QSliderExStyle::polish(QWidget* widget)
{
    if (widget)
        widget->setAttribute(Qt::WA_Hover, true);
    QProxyStyle::polish(widget);
}

void QSliderExStyle::unpolish(QWidget* widget)
{
    if (widget)
        widget->setAttribute(Qt::WA_Hover, false);
    QProxyStyle::unpolish(widget);
}

int QSliderExStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const
{
    if (hint == SH_Slider_AbsoluteSetButtons)
        return Qt::LeftButton;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int QSliderExStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    const CSFQTSliderCtrl* slider = SkinnedSlider(widget);
    if (slider) {
        const bool horizontal = slider->orientation() == Qt::Horizontal;
        const QPixmap* track = slider->GetSkinPixmap(1);
        const QPixmap* handle = slider->GetSkinPixmap(2);
        switch (metric) {
        case PM_SliderLength:
        case PM_ScrollBarSliderMin:
            if (track)
                return ImageLength(track, horizontal);
            break;
        case PM_SliderThickness:
            if (track)
                return ImageThickness(track, horizontal);
            break;
        case PM_SliderControlThickness:
            if (handle)
                return ImageLength(handle, horizontal);
            break;
        default:
            break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void QSliderExStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const
{
    if (control != CC_Slider)
        return;
    const QRect groove = subControlRect(control, option, SC_SliderGroove, widget);
    const QRect handle = subControlRect(control, option, SC_SliderHandle, widget);
    painter->save();
    const CSFQTSliderCtrl* slider = SkinnedSlider(widget);
    const auto* sliderOption = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (slider && sliderOption) {
        const QPoint centre = slider->ValueToHandlePos(sliderOption->sliderPosition);
        if ((option->subControls & SC_SliderGroove) && groove.isValid() && handle.isValid())
            DrawGroove(slider, painter, centre);
        if (option->subControls & SC_SliderHandle)
            DrawHandle(slider, sliderOption, painter, centre, groove, handle);
    }
    painter->restore();
}
