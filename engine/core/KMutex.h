// Recursive mutexes over SDL: the same thread may lock a KMutex again. Each lock and unlock
// passes the caller's source path and line to the engine's debug trace.
#ifndef KMUTEX_H
#define KMUTEX_H

typedef struct KMutex KMutex;

// New unlocked mutex; null when memory or the SDL mutex fails.
KMutex *KMutex_create(void);
// Null ignored. The mutex must not be held by any thread.
void _KMutex_destroy(KMutex *mutex);
// 1 on success, 0 on failure (also for a null mutex).
int _KMutex_lock(KMutex *mutex, const char *file, int line);
int _KMutex_unlock(KMutex *mutex, const char *file, int line);

#define KMutex_lock(mutex) _KMutex_lock((mutex), __FILE__, __LINE__)
#define KMutex_unlock(mutex) _KMutex_unlock((mutex), __FILE__, __LINE__)

#endif
