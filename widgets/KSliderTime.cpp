#include "KSliderTime.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

const double KSliderTime::Def_MoveMinValue = 0.01;

KSliderTime::KSliderTime(QWidget* parent) : QSlider(parent)
{
}

KSliderTime::KSliderTime(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent)
{
}

void KSliderTime::setMinMove(double minMove)
{
    m_minMove = minMove;
}

double KSliderTime::fractionAt(const QAbstractSlider& slider, QPointF position)
{
    const bool horizontal = slider.orientation() == Qt::Horizontal;
    const int length = horizontal ? slider.width() : slider.height();
    if (length <= 0)
        return 0.0;
    const double fraction = horizontal ? position.x() / length : 1.0 - position.y() / length;
    return std::clamp(fraction, 0.0, 1.0);
}

double KSliderTime::moveToPointer(QAbstractSlider& slider, QPointF position)
{
    const double fraction = fractionAt(slider, position);
    const double span = double(slider.maximum()) - double(slider.minimum());
    slider.QAbstractSlider::setValue(int(std::trunc(slider.minimum() + span * fraction)));
    return fraction;
}

void KSliderTime::setValue(int value)
{
    if (!m_pressed)
        QSlider::setValue(value);
}

void KSliderTime::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    event->accept();
}

void KSliderTime::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_pressed)
        return;
    emit pressed(true);
    const double fraction = moveToPointer(*this, event->position());
    emit sliderMoved(fraction);
    emit valueChangedOnPress(fraction);
}

void KSliderTime::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    emit pressed(false);
    m_pressed = false;
    const double fraction = moveToPointer(*this, event->position());
    emit sliderMoved(fraction);
    emit valueChangedOnRelease(fraction);
}

// A release that never arrives (hidden mid-drag, grab taken away) must not freeze the slider.
void KSliderTime::hideEvent(QHideEvent* event)
{
    QSlider::hideEvent(event);
    m_pressed = false;
}

bool KSliderTime::event(QEvent* event)
{
    if (event->type() == QEvent::UngrabMouse && m_pressed) {
        m_pressed = false;
        emit pressed(false);
    }
    return QSlider::event(event);
}
