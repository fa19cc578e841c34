// Counting semaphores over SDL.
#ifndef KSEMAPHORE_H
#define KSEMAPHORE_H

typedef struct KSemaphore KSemaphore;

// New semaphore holding initial; null on failure.
KSemaphore *KSemaphore_create(int initial);
// Null ignored. No thread may wait on the semaphore or post it any more.
void _KSemaphore_destroy(KSemaphore *semaphore);
// Waits until the value is above 0 and takes one; 1, or 0 for a null semaphore or an SDL failure.
int KSemaphore_wait(KSemaphore *semaphore, const char *file, int line);
// Adds one; 1 on success, 0 on failure.
int KSemaphore_post(KSemaphore *semaphore);
// Current value; 0 for a null semaphore.
int KSemaphore_value(KSemaphore *semaphore);

#endif
