#include "SncButton.h"

#include <QPainter>

SncButton::SncButton(QWidget* parent) : QPushButton(parent)
{
}

void SncButton::setIcon(const QPixmap& normal, const QPixmap& pressedPicture, const QSize& size)
{
    normalPixmap = normal;
    pressedPixmap = pressedPicture;
    drawSize = size;
    setFixedSize(size);
}

void SncButton::setText(const QString& value)
{
    text = value;
}

void SncButton::mousePressEvent(QMouseEvent* event)
{
    pressed = true;
    update();
    QPushButton::mousePressEvent(event);
}

void SncButton::mouseReleaseEvent(QMouseEvent* event)
{
    pressed = false;
    update();
    QPushButton::mouseReleaseEvent(event);
}

void SncButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!normalPixmap.isNull() && !pressedPixmap.isNull()) {
        painter.drawPixmap(QRect(QPoint(0, 0), drawSize), pressed ? pressedPixmap : normalPixmap);
        return;
    }
    // Without pictures the text stands centred on the button.
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(rect(), Qt::AlignCenter, text);
}
