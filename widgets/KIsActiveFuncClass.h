// Implemented by a panel that owns gated buttons: a button's click acts only while isActive().
#ifndef KISACTIVEFUNCCLASS_H
#define KISACTIVEFUNCCLASS_H

class KIsActiveFuncClass
{
public:
    virtual bool isActive() = 0;

protected:
    ~KIsActiveFuncClass() = default;
};

#endif
