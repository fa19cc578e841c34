// A vertical column of LED segments, 15 pixels apart, lit up to the value from green through
// yellow to red.
#ifndef KJAUGE_H
#define KJAUGE_H

#include <QSlider>

class KJauge : public QSlider
{
    Q_OBJECT
public:
    explicit KJauge(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

#endif
