// A slider style that paints only a handle picture, 8 pixels long: the limit handles.
#ifndef KSTYLEHANDLE_H
#define KSTYLEHANDLE_H

#include "KStyleSliderBase.h"

#include <QPixmap>

class KStyleHandle : public KStyleSliderBase
{
public:
    explicit KStyleHandle(const QString& picture);

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

protected:
    int handleLength(Qt::Orientation orientation) const override;

private:
    QPixmap m_handle;
};

#endif
