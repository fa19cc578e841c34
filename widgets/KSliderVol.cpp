#include "KSliderVol.h"

#include "KSliderTime.h"

#include <QMouseEvent>

KSliderVol::KSliderVol(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent)
{
}

void KSliderVol::mousePressEvent(QMouseEvent* event)
{
    m_moved = false;
    event->accept();
}

void KSliderVol::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    m_moved = true;
    KSliderTime::moveToPointer(*this, event->position());
}

void KSliderVol::mouseReleaseEvent(QMouseEvent* event)
{
    KSliderTime::moveToPointer(*this, event->position());
}

void KSliderVol::enterEvent(QEnterEvent* event)
{
    QSlider::enterEvent(event);
    m_hovered = true;
    update();
}

void KSliderVol::leaveEvent(QEvent* event)
{
    QSlider::leaveEvent(event);
    m_hovered = false;
    update();
}
