// Engine threads over SDL, with a process-wide table naming every thread started here.
// Threads are never killed: their owner asks them to stop (a run flag, a semaphore post) and
// waits for them.
#ifndef KTHREAD_H
#define KTHREAD_H

typedef struct KThread KThread;
typedef int (*KThreadFunc)(void *arg);
typedef unsigned long KThreadId; // SDL's thread id

// New record, not started; name copied (may be null). Null on memory failure.
KThread *KThread_create(KThreadFunc fn, void *arg, const char *name);
// Starts fn(arg) on a new thread named after the record; 1, or 0 for a null record or function,
// an already running thread, or when SDL cannot create the thread.
int KThread_start(KThread *thread);
// Waits for the thread's end (its result into status when given) and clears the handle; 1.
// A record never started, or already waited for, returns 1 at once (status untouched).
int _KThread_wait(KThread *thread, int *status, const char *file, int line);
// Null ignored. A thread still running is waited for (its owner must have asked it to stop),
// then its name entry and the record are freed.
void _KThread_destroy(KThread *thread);
// Ends a started thread by waiting for it (its owner must have asked it to stop): 0 for null or
// not started, else 1.
int KThread_kill(KThread *thread);
// 1 when the record exists and has a running or unjoined thread.
int KThread_isStarted(KThread *thread);
// The calling thread's registered name; null when it was not started by KThread_start.
const char *KThread_GetCurrentThreadName(void);
KThreadId KThread_GetCurrentThreadId(void);

#define KThread_wait(thread, status) _KThread_wait((thread), (status), __FILE__, __LINE__)

#endif
