// Counting semaphores over SDL.
#include "KSemaphore.h"

#include "KSdl.h"

#include "KThread.h"
#include "tvr_utils.h"

struct KSemaphore {
    SDL_sem *sem;
};

KSemaphore *KSemaphore_create(int initial)
{
    if (initial < 0)
        return nullptr;
    KSemaphore *s = static_cast<KSemaphore *>(tvr_malloc(sizeof(KSemaphore)));
    if (!s)
        return nullptr;
    const KSdl *sdl = KSdl_get();
    s->sem = sdl ? sdl->CreateSemaphore(static_cast<Uint32>(initial)) : nullptr;
    if (!s->sem) {
        tvr_free(s);
        return nullptr;
    }
    return s;
}

void _KSemaphore_destroy(KSemaphore *semaphore)
{
    if (!semaphore)
        return;
    KSdl_get()->DestroySemaphore(semaphore->sem);
    tvr_free(semaphore);
}

int KSemaphore_wait(KSemaphore *semaphore, const char *file, int line)
{
    if (!semaphore)
        return 0;
    tvr_debug("KSemaphore_wait %s %lu %s:%d", KThread_GetCurrentThreadName(),
              KThread_GetCurrentThreadId(), file, line);
    return KSdl_get()->SemWait(semaphore->sem) == 0 ? 1 : 0;
}

int KSemaphore_post(KSemaphore *semaphore)
{
    if (!semaphore)
        return 0;
    return KSdl_get()->SemPost(semaphore->sem) == 0 ? 1 : 0;
}

int KSemaphore_value(KSemaphore *semaphore)
{
    if (!semaphore)
        return 0;
    return static_cast<int>(KSdl_get()->SemValue(semaphore->sem));
}
