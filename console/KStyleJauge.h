// A meter variant: the lit picture covered above the level by the groove picture. Nothing
// builds it; the two pictures are given by whoever does.
#ifndef KSTYLEJAUGE_H
#define KSTYLEJAUGE_H

#include <QCommonStyle>
#include <QPixmap>

class KStyleJauge : public QCommonStyle
{
public:
    KStyleJauge(const QPixmap& groove, const QPixmap& lit);
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    QPixmap m_groove;
    QPixmap m_lit;
};

#endif
