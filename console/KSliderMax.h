// The maximum level handle of a strip.
#ifndef KSLIDERMAX_H
#define KSLIDERMAX_H

#include "KSliderLimit.h"

class KSliderMax : public KSliderLimit
{
    Q_OBJECT
public:
    explicit KSliderMax(QWidget* parent = nullptr);
};

#endif
