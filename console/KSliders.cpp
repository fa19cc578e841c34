#include "KJauge.h"
#include "KLevelText.h"
#include "KSlider.h"
#include "KSliderMax.h"
#include "KSliderMin.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>

KSlider::KSlider(Qt::Orientation orientation, QWidget* parent) : KSliderTime(orientation, parent)
{
}

void KSlider::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    KSliderTime::enterEvent(event);
}

void KSlider::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    KSliderTime::leaveEvent(event);
}

KSliderLimit::KSliderLimit(const QString& enterTip, QWidget* parent)
    : QSlider(parent), m_enterTip(enterTip)
{
}

double KSliderLimit::valueToCB(int value) const
{
    if (maximum() == minimum())
        return -240.0;
    return -240.0 + 300.0 * (double(value) - minimum()) / (double(maximum()) - minimum());
}

void KSliderLimit::mouseMoveEvent(QMouseEvent* event)
{
    QSlider::mouseMoveEvent(event);
    QToolTip::showText(event->globalPosition().toPoint(), KLevelText::levelText(value()),
                       this);
}

void KSliderLimit::enterEvent(QEnterEvent* event)
{
    QSlider::enterEvent(event);
    QToolTip::showText(event->globalPosition().toPoint(), m_enterTip, this);
}

KSliderMax::KSliderMax(QWidget* parent) : KSliderLimit(tr("Position maximale du volume"), parent)
{
}

KSliderMin::KSliderMin(QWidget* parent) : KSliderLimit(tr("Position minimale du volume"), parent)
{
}

KJauge::KJauge(QWidget* parent) : QSlider(parent)
{
}

void KJauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int h = height();
    const int n = h / 15;
    const double f = n * 0.15;
    // A column shorter than two segments, or an empty range, would divide by zero below.
    const int a = std::max(1, int(f));
    const int b = std::max(1, int(n * 0.8));
    const double level =
        maximum() != 0 ? h - value() * (double(h) / maximum()) : double(h);
    int r = 0;
    int g = 255;
    int k = 1;
    for (int i = 0; i < n; ++i) {
        const int top = h - 10 - 15 * i;
        const QRect segment(0, top, 3, 10);
        if (top > int(level)) {
            painter.fillRect(segment, QColor(r, g, 0));
            if (r < 249) {
                r = (255 / b) * i;
                g = 255;
            } else {
                g = f > 1.0 ? 255 - (255 / a) * k : 255 - 255 * k;
                g = std::clamp(g, 0, 255);
                ++k;
                r = 255;
            }
        } else {
            painter.fillRect(segment, Qt::black);
        }
    }
}
