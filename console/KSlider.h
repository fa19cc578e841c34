// A position slider that knows whether the pointer is over it, so that its style can light the
// handle.
#ifndef KSLIDER_H
#define KSLIDER_H

#include "KSliderTime.h"

class KSlider : public KSliderTime
{
    Q_OBJECT
public:
    KSlider(Qt::Orientation orientation, QWidget* parent = nullptr);
    bool isHovered() const { return m_hovered; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_hovered = false;
};

#endif
