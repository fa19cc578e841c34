// The console's drop marker: fills one rectangle in its colour over the whole console.
#ifndef KRUBBERBAND_H
#define KRUBBERBAND_H

#include <QColor>
#include <QRubberBand>

class KRubberBand : public QRubberBand
{
    Q_OBJECT
public:
    KRubberBand(QRubberBand::Shape shape, QColor color, QWidget* parent);

    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    QColor color() const { return m_color; }
    QRect painted() const { return QRect(x, y, w, h); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};

#endif
