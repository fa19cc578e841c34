// The fader style for the kit's volume slider: as KStyleSlider, with the hover read from
// KSliderVol.
#ifndef KSTYLEVOL_H
#define KSTYLEVOL_H

#include "KStyleSlider.h"

class KStyleVol : public KStyleSlider
{
public:
    KStyleVol() = default;
    static KStyleVol* shared();

protected:
    bool isHovered(const QWidget* widget) const override;
};

#endif
