// The minimum limit handle: 8 pixels long, only its picture painted.
#ifndef KSTYLEMIN_H
#define KSTYLEMIN_H

#include "KStyleHandle.h"

class KStyleMin : public KStyleHandle
{
public:
    KStyleMin();
    static KStyleMin* shared();
};

#endif
