// Polls a progress object every 100 ms on its own thread and re-emits its percentage and text
// for the export dialog's bar and text line (queued to the dialog's thread). stop() ends the
// polling at once; the destructor stops and waits.
#ifndef PROGRESSTHREAD_H
#define PROGRESSTHREAD_H

#include "ProgThread.h"

class ProgressThread : public ProgThread
{
public:
    using ProgThread::ProgThread;
};

#endif
