// A tool-bar style that fills free-standing tool bars with the tiled tool-bar picture.
#ifndef KSTYLETOOLBAR_H
#define KSTYLETOOLBAR_H

#include <QCommonStyle>

class KStyleToolBar : public QCommonStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

#endif
