// A push button drawn from two pictures, one at rest and one while pressed.
#ifndef SNCBUTTON_H
#define SNCBUTTON_H

#include <QPixmap>
#include <QPushButton>
#include <QSize>

class SncButton : public QPushButton
{
public:
    explicit SncButton(QWidget* parent);
    // Stores both pictures and fixes the button to the given size.
    void setIcon(const QPixmap& normal, const QPixmap& pressed, const QSize& size);
    // The text drawn when a picture is missing; the push button's own text stays.
    void setText(const QString& text);
    bool isDown() const { return pressed; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QSize drawSize;
    QPixmap normalPixmap;
    QPixmap pressedPixmap;
    QString text;
    bool pressed = false;
};

#endif
