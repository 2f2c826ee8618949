#pragma once

#include <QProxyStyle>

// Style of the skinned slider: draws its groove and handle from the
// slider's skin images over the "Fusion" style.
class QSliderExStyle : public QProxyStyle {
    Q_OBJECT
public:
    QSliderExStyle();
    ~QSliderExStyle() override = default;

    void polish(QWidget* widget) override;
    void unpolish(QWidget* widget) override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

    using QProxyStyle::polish;
    using QProxyStyle::unpolish;
};
