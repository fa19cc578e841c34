// Recursive mutexes over SDL (SDL2's mutexes are recursive on every platform).
#include "KMutex.h"

#include <SDL.h>

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
    m->mutex = SDL_CreateMutex();
    if (!m->mutex) {
        SDL_GetError(); // the text is not needed: null tells the caller
        tvr_free(m);
        return nullptr;
    }
    return m;
}

void _KMutex_destroy(KMutex *mutex)
{
    if (!mutex)
        return;
    SDL_DestroyMutex(mutex->mutex);
    tvr_free(mutex);
}

int _KMutex_lock(KMutex *mutex, const char *file, int line)
{
    if (!mutex)
        return 0;
    tvr_debug("KMutex_lock %s %lu %s:%d", KThread_GetCurrentThreadName(),
              KThread_GetCurrentThreadId(), file, line);
    return SDL_LockMutex(mutex->mutex) == 0 ? 1 : 0;
}

int _KMutex_unlock(KMutex *mutex, const char *file, int line)
{
    if (!mutex)
        return 0;
    tvr_debug("KMutex_unlock %s %lu %s:%d", KThread_GetCurrentThreadName(),
              KThread_GetCurrentThreadId(), file, line);
    return SDL_UnlockMutex(mutex->mutex) == 0 ? 1 : 0;
}
