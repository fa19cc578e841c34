// Position slider that jumps to the pointer: reports the pointed fraction while held and at
// release, and ignores programmatic moves while the user holds it.
#ifndef KSLIDERTIME_H
#define KSLIDERTIME_H

#include <QSlider>

class KSliderTime : public QSlider
{
    Q_OBJECT
public:
    static const double Def_MoveMinValue;

    explicit KSliderTime(QWidget* parent = nullptr);
    KSliderTime(Qt::Orientation orientation, QWidget* parent = nullptr);

    void setMinMove(double minMove);
    double minMove() const { return m_minMove; }
    bool isPressed() const { return m_pressed; }

    // The fraction 0..1 of the slider's length at a point: left or bottom is 0; 0 for an empty
    // slider.
    static double fractionAt(const QAbstractSlider& slider, QPointF position);
    // Moves the slider to the point without going through a subclass's setValue; returns the
    // fraction.
    static double moveToPointer(QAbstractSlider& slider, QPointF position);

public slots:
    void setValue(int value);

signals:
    void sliderMoved(double fraction);
    void pressed(bool held);
    void valueChangedOnPress(double fraction);
    void valueChangedOnRelease(double fraction);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    double m_minMove = Def_MoveMinValue;
    bool m_pressed = false;
};

#endif
