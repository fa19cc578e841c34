// The strips' level meter: a slider whose value is the level, drawn as a groove with its lit
// part from the level down; no handle.
#ifndef KSTYLEJAUGESTEREO_H
#define KSTYLEJAUGESTEREO_H

#include <QCommonStyle>
#include <QPixmap>

class KStyleJaugeStereo : public QCommonStyle
{
public:
    KStyleJaugeStereo();
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    static KStyleJaugeStereo* shared();

private:
    QPixmap m_groove;
    QPixmap m_grooveOver;
};

#endif
