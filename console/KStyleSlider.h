// Fader style: a pictured groove whose lit part runs up to the handle, and a handle picture that
// changes while the pointer is over a KSlider.
#ifndef KSTYLESLIDER_H
#define KSTYLESLIDER_H

#include "KStyleSliderBase.h"

#include <QPixmap>

class KStyleSlider : public KStyleSliderBase
{
public:
    KStyleSlider();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

    // One instance shared by every slider of the application (a style serves many widgets).
    static KStyleSlider* shared();

protected:
    int handleLength(Qt::Orientation orientation) const override;
    // Whether the widget shows its handle as hovered.
    virtual bool isHovered(const QWidget* widget) const;

private:
    QPixmap m_handle;
    QPixmap m_handleOver;
    QPixmap m_groove;
    QPixmap m_grooveOver;
    QPixmap m_grooveH;
    QPixmap m_grooveOverH;
};

#endif
