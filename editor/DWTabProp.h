// A dock window around one property panel, framed in white. Closing it while it floats puts
// it back in its place instead of hiding it, so the panel is never lost off screen.
#ifndef DWTABPROP_H
#define DWTABPROP_H

#include "DWProperties.h"

class DWTabProp : public DWProperties
{
    Q_OBJECT

public:
    explicit DWTabProp(QWidget* parent = nullptr);

public slots:
    // Floating, the window keeps its panel's size as its smallest; docked, the layout decides.
    void floatableChange(bool floating);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

#endif
