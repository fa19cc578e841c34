// Fusion with the theme's flat look: buttons as rounded flat panels in the raised, hover and
// accent colours with a one-pixel line border, an accent focus ring, flat progress bars drawn
// with solid rectangles only, tab pages as panels with the current tab marked by the accent, and
// the theme's own glyphs on Yes and No buttons.
#ifndef KTHEMESTYLE_H
#define KTHEMESTYLE_H

#include <QProxyStyle>

class KThemeStyle : public QProxyStyle
{
    Q_OBJECT
public:
    KThemeStyle();

    void polish(QPalette& palette) override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

#endif
