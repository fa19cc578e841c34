// Slider geometry shared by the console's slider styles: Qt's rules for control thickness, tick
// offset, groove and handle, with a handle length of the style's own.
#ifndef KSTYLESLIDERBASE_H
#define KSTYLESLIDERBASE_H

#include <QCommonStyle>

class QStyleOptionSlider;

class KStyleSliderBase : public QCommonStyle
{
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

protected:
    // The handle length along the slider.
    virtual int handleLength(Qt::Orientation orientation) const = 0;
    // The slider's orientation: from the option, else from the widget, else horizontal.
    static Qt::Orientation orientationOf(const QStyleOption* option, const QWidget* widget);
    // The handle rectangle of this style for a slider option.
    QRect handleRect(const QStyleOptionSlider& slider) const;

private:
    int controlThickness(const QStyleOptionSlider& slider) const;
    int tickOffset(const QStyleOptionSlider& slider) const;
};

#endif
