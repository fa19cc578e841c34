// A limit handle over the level range: shows its value in decibels while dragged and what it
// limits when the pointer enters.
#ifndef KSLIDERLIMIT_H
#define KSLIDERLIMIT_H

#include <QSlider>

class KSliderLimit : public QSlider
{
    Q_OBJECT
public:
    // The value mapped onto the level range -240..60; -240 for an empty range.
    double valueToCB(int value) const;

protected:
    KSliderLimit(const QString& enterTip, QWidget* parent);
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    QString m_enterTip;
};

#endif
