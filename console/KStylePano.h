// The pan slider: no groove, a thin blue bar as handle.
#ifndef KSTYLEPANO_H
#define KSTYLEPANO_H

#include "KStyleSliderBase.h"

class KStylePano : public KStyleSliderBase
{
public:
    static const QColor Def_HandleColor;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

    static KStylePano* shared();

protected:
    int handleLength(Qt::Orientation orientation) const override;
};

#endif
