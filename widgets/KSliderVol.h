// Volume slider that jumps to the pointer; its style reads whether the pointer is over it and
// whether the current press has become a drag.
#ifndef KSLIDERVOL_H
#define KSLIDERVOL_H

#include <QSlider>

class KSliderVol : public QSlider
{
    Q_OBJECT
public:
    KSliderVol(Qt::Orientation orientation, QWidget* parent = nullptr);

    bool isHovered() const { return m_hovered; }
    bool isMoved() const { return m_moved; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_hovered = false;
    bool m_moved = false;
};

#endif
