// The maximum limit handle: 8 pixels long, only its picture painted.
#ifndef KSTYLEMAX_H
#define KSTYLEMAX_H

#include "KStyleHandle.h"

class KStyleMax : public KStyleHandle
{
public:
    KStyleMax();
    static KStyleMax* shared();
};

#endif
