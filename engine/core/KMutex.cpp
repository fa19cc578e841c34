// Recursive mutexes over SDL (SDL2's mutexes are recursive on every platform).
#include "KMutex.h"

#include "KSdl.h"

#include "KThread.h"
#include "tvr_utils.h"

struct KMutex {
    SDL_mutex *mutex;
};

KMutex *KMutex_create(void)
{
    KMutex *m = static_cast<KMutex *>(tvr_malloc(sizeof(KMutex)));
    if (!m)
        return nullptr;
    const KSdl *sdl = KSdl_get();
    m->mutex = sdl ? sdl->CreateMutex() : nullptr;
    if (!m->mutex) {
        tvr_free(m);
        return nullptr;
    }
    return m;
}

void _KMutex_destroy(KMutex *mutex)
{
    if (!mutex)
        return;
    KSdl_get()->DestroyMutex(mutex->mutex);
    tvr_free(mutex);
}

int _KMutex_lock(KMutex *mutex, const char *file, int line)
{
    if (!mutex)
        return 0;
    tvr_debug("KMutex_lock %s %lu %s:%d", KThread_GetCurrentThreadName(),
              KThread_GetCurrentThreadId(), file, line);
    return KSdl_get()->LockMutex(mutex->mutex) == 0 ? 1 : 0;
}

int _KMutex_unlock(KMutex *mutex, const char *file, int line)
{
    if (!mutex)
        return 0;
    tvr_debug("KMutex_unlock %s %lu %s:%d", KThread_GetCurrentThreadName(),
              KThread_GetCurrentThreadId(), file, line);
    return KSdl_get()->UnlockMutex(mutex->mutex) == 0 ? 1 : 0;
}
