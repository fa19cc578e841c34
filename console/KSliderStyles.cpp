#include "KSharedStyle.h"
#include "KSlider.h"
#include "KSliderVol.h"
#include "KStyleJauge.h"
#include "KStyleJaugeStereo.h"
#include "KStyleMax.h"
#include "KStyleMin.h"
#include "KStylePano.h"
#include "KStyleSlider.h"
#include "KStyleVol.h"

#include "KPictureCache.h"

#include <QPainter>
#include <QStyleOptionSlider>

namespace {
QPixmap picture(const char* name)
{
    return KPictureCache::pixmap(QStringLiteral("Sliders/") + QLatin1String(name));
}

int tickSides(const QStyleOptionSlider& slider)
{
    return ((slider.tickPosition & QSlider::TicksAbove) ? 1 : 0)
           + ((slider.tickPosition & QSlider::TicksBelow) ? 1 : 0);
}

int crossSpace(const QStyleOptionSlider& slider)
{
    return slider.orientation == Qt::Horizontal ? slider.rect.height() : slider.rect.width();
}

// The rows from `fromRow` to the bottom of a picture, stretched to the picture's full size with
// their top-left at `to`: the lit part of a groove below a handle. Nothing when the row lies
// past the picture.
void drawLitFrom(QPainter* painter, const QPixmap& lit, int fromRow, QPoint to)
{
    if (lit.isNull() || fromRow >= lit.height())
        return;
    fromRow = std::max(fromRow, 0);
    painter->drawPixmap(QRect(to, lit.size()), lit,
                        QRect(0, fromRow, lit.width(), lit.height() - fromRow));
}
}

// ---- shared geometry

Qt::Orientation KStyleSliderBase::orientationOf(const QStyleOption* option, const QWidget* widget)
{
    if (const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option))
        return slider->orientation;
    if (const auto* sliderWidget = qobject_cast<const QAbstractSlider*>(widget))
        return sliderWidget->orientation();
    return Qt::Horizontal;
}

int KStyleSliderBase::controlThickness(const QStyleOptionSlider& slider) const
{
    const int space = crossSpace(slider);
    const int sides = tickSides(slider);
    if (sides == 0)
        return space;
    int thick = 6;
    if (sides == 1)
        thick += handleLength(slider.orientation) / 4;
    if (space - thick > 0)
        return thick + 2 * (space - thick) / (sides + 2);
    return thick;
}

int KStyleSliderBase::tickOffset(const QStyleOptionSlider& slider) const
{
    const int space = crossSpace(slider);
    const int thickness = controlThickness(slider);
    if (slider.tickPosition == QSlider::TicksBothSides)
        return (space - thickness) / 2;
    if (slider.tickPosition == QSlider::TicksAbove)
        return space - thickness;
    return 0;
}

int KStyleSliderBase::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                  const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    switch (metric) {
    case PM_SliderLength:
        return handleLength(orientationOf(option, widget));
    case PM_SliderControlThickness:
        return slider ? controlThickness(*slider) : 0;
    case PM_SliderTickmarkOffset:
        return slider ? tickOffset(*slider) : 0;
    default:
        return QCommonStyle::pixelMetric(metric, option, widget);
    }
}

QRect KStyleSliderBase::handleRect(const QStyleOptionSlider& slider) const
{
    const QRect& r = slider.rect;
    const int len = handleLength(slider.orientation);
    const int thickness = controlThickness(slider);
    const int offset = tickOffset(slider);
    if (slider.orientation == Qt::Horizontal) {
        const int pos = sliderPositionFromValue(slider.minimum, slider.maximum,
                                                slider.sliderPosition, r.width() - len,
                                                slider.upsideDown);
        return QRect(r.left() + pos, r.top() + offset, len, thickness);
    }
    const int pos = sliderPositionFromValue(slider.minimum, slider.maximum, slider.sliderPosition,
                                            r.height() - len, slider.upsideDown);
    return QRect(r.left() + offset, r.top() + pos, thickness, len);
}

QRect KStyleSliderBase::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                       SubControl subControl, const QWidget* widget) const
{
    Q_UNUSED(widget);
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    QRect result;
    if (control == CC_Slider && slider) {
        const QRect& r = slider->rect;
        if (subControl == SC_SliderGroove) {
            const int offset = tickOffset(*slider);
            const int thickness = controlThickness(*slider);
            result = slider->orientation == Qt::Horizontal
                         ? QRect(r.left(), r.top() + offset, r.width(), thickness)
                         : QRect(r.left() + offset, r.top(), thickness, r.height());
        } else if (subControl == SC_SliderHandle) {
            result = handleRect(*slider);
        }
    }
    return option ? visualRect(option->direction, option->rect, result) : result;
}

// ---- faders

KStyleSlider::KStyleSlider()
    : m_handle(picture("Handle")), m_handleOver(picture("HandleOver")),
      m_groove(picture("Groove")), m_grooveOver(picture("GrooveOver")),
      m_grooveH(picture("GrooveH")), m_grooveOverH(picture("GrooveOverH"))
{
}

KStyleSlider* KStyleSlider::shared()
{
    return sharedStyle<KStyleSlider>();
}

int KStyleSlider::handleLength(Qt::Orientation orientation) const
{
    return orientation == Qt::Horizontal ? 14 : 10;
}

bool KStyleSlider::isHovered(const QWidget* widget) const
{
    const auto* slider = qobject_cast<const KSlider*>(widget);
    return slider && slider->isHovered();
}

void KStyleSlider::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Slider || !slider) {
        QCommonStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect g = QCommonStyle::subControlRect(CC_Slider, slider, SC_SliderGroove, widget);
    const QRect h = subControlRect(CC_Slider, slider, SC_SliderHandle, widget);
    const bool vertical = slider->orientation == Qt::Vertical;
    if (slider->subControls & SC_SliderGroove) {
        if (!vertical) {
            painter->drawPixmap(g.x(), g.y() + 2, m_grooveH);
            if (h.x() > 0)
                painter->drawPixmap(QPoint(g.x(), g.y() + 2), m_grooveOverH,
                                    QRect(g.x(), g.y(), h.x(), m_grooveOverH.height()));
        } else {
            painter->drawPixmap(g.x(), g.y(), m_groove);
            drawLitFrom(painter, m_grooveOver, h.y(), QPoint(g.x() + 7, h.y() + 3));
        }
    }
    if (slider->subControls & SC_SliderHandle) {
        const QPixmap& handle = isHovered(widget) ? m_handleOver : m_handle;
        painter->drawPixmap(vertical ? h.x() + 4 : h.x(), h.y(), handle);
    }
}

KStyleVol* KStyleVol::shared()
{
    return sharedStyle<KStyleVol>();
}

bool KStyleVol::isHovered(const QWidget* widget) const
{
    const auto* slider = qobject_cast<const KSliderVol*>(widget);
    return slider && slider->isHovered();
}

// ---- limit handles

KStyleHandle::KStyleHandle(const QString& picturePath) : m_handle(KPictureCache::pixmap(picturePath))
{
}

int KStyleHandle::handleLength(Qt::Orientation) const
{
    return 8;
}

void KStyleHandle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Slider || !slider) {
        QCommonStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    if (slider->subControls & SC_SliderHandle)
        painter->drawPixmap(subControlRect(CC_Slider, slider, SC_SliderHandle, widget).topLeft(),
                            m_handle);
}

KStyleMax::KStyleMax() : KStyleHandle(QStringLiteral("Sliders/HandleMax"))
{
}

KStyleMax* KStyleMax::shared()
{
    return sharedStyle<KStyleMax>();
}

KStyleMin::KStyleMin() : KStyleHandle(QStringLiteral("Sliders/HandleMin"))
{
}

KStyleMin* KStyleMin::shared()
{
    return sharedStyle<KStyleMin>();
}

// ---- pan

const QColor KStylePano::Def_HandleColor(0, 153, 204);

KStylePano* KStylePano::shared()
{
    return sharedStyle<KStylePano>();
}

int KStylePano::handleLength(Qt::Orientation) const
{
    return 2;
}

void KStylePano::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Slider || !slider) {
        QCommonStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    if (slider->subControls & SC_SliderHandle) {
        const QRect h = subControlRect(CC_Slider, slider, SC_SliderHandle, widget);
        painter->fillRect(QRect(h.x(), h.y() + 2, 2, 15), Def_HandleColor);
    }
}

// ---- meters

KStyleJaugeStereo::KStyleJaugeStereo()
    : m_groove(picture("JaugeStereoGroove")), m_grooveOver(picture("JaugeStereoGrooveOver"))
{
}

KStyleJaugeStereo* KStyleJaugeStereo::shared()
{
    return sharedStyle<KStyleJaugeStereo>();
}

void KStyleJaugeStereo::drawComplexControl(ComplexControl control,
                                           const QStyleOptionComplex* option, QPainter* painter,
                                           const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Slider || !slider)
        return;
    if (!(slider->subControls & SC_SliderGroove))
        return;
    const QRect g = subControlRect(CC_Slider, slider, SC_SliderGroove, widget);
    const QRect h = subControlRect(CC_Slider, slider, SC_SliderHandle, widget);
    painter->drawPixmap(g.x(), g.y(), m_groove);
    // The lowest level is silence: nothing lit. The lit picture is clipped at the level, not
    // stretched, so that each row keeps the colour of its level (and the blit stays unscaled).
    if (slider->sliderPosition > slider->minimum && h.y() < m_grooveOver.height())
        painter->drawPixmap(QPoint(g.x() + 2, h.y() + 2), m_grooveOver,
                            QRect(0, h.y(), m_grooveOver.width(), m_grooveOver.height() - h.y()));
}

KStyleJauge::KStyleJauge(const QPixmap& groove, const QPixmap& lit) : m_groove(groove), m_lit(lit)
{
}

void KStyleJauge::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Slider || !slider)
        return;
    if (!(slider->subControls & SC_SliderGroove))
        return;
    const QRect g = subControlRect(CC_Slider, slider, SC_SliderGroove, widget);
    const QRect h = subControlRect(CC_Slider, slider, SC_SliderHandle, widget);
    painter->drawPixmap(g.x(), g.y(), m_groove);
    painter->drawPixmap(g.x() + 2, g.y() + 2, m_lit);
    if (h.y() > 0)
        painter->drawPixmap(QRect(g.x(), g.y(), m_groove.width(), h.y()), m_groove);
}
