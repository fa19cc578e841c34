// The minimum level handle of a strip.
#ifndef KSLIDERMIN_H
#define KSLIDERMIN_H

#include "KSliderLimit.h"

class KSliderMin : public KSliderLimit
{
    Q_OBJECT
public:
    explicit KSliderMin(QWidget* parent = nullptr);
};

#endif
