// Engine threads over SDL and the process-wide table of their names.
#include "KThread.h"

#include <mutex>
#include <type_traits>

#include <pthread.h>

#include "KSdl.h"
#include <glib.h>

#include "tvr_utils.h"

static_assert(std::is_same<KThreadId, SDL_threadID>::value, "KThreadId must be SDL's thread id");
static_assert(std::is_same<KThreadId, pthread_t>::value, "SDL's thread id is the POSIX thread's");

struct KThread {
    SDL_Thread *handle; // null until started and again after a wait
    KThreadFunc fn;
    void *arg;
    char *name; // own copy, may be null
    KThreadId id;
};

namespace {

// Thread id -> name of every thread that runs through KThread_start, entered by the thread
// itself before it calls its function and removed when the function returns, so an id that the
// system reuses for another thread never finds a stale name.
std::mutex g_namesLock;
GHashTable *g_names = nullptr;

gpointer idKey(KThreadId id)
{
    return GSIZE_TO_POINTER(static_cast<gsize>(id));
}

// SDL's thread id on POSIX systems, read without SDL: asking for it (every lock traces it) must
// not open the library.
KThreadId currentThreadId()
{
    return pthread_self();
}

int threadEntry(void *data)
{
    KThread *t = static_cast<KThread *>(data);
    const KThreadId self = currentThreadId();
    {
        std::lock_guard<std::mutex> guard(g_namesLock);
        g_hash_table_insert(g_names, idKey(self), t->name);
    }
    const int result = t->fn(t->arg);
    {
        std::lock_guard<std::mutex> guard(g_namesLock);
        g_hash_table_remove(g_names, idKey(self));
    }
    return result;
}

} // namespace

KThread *KThread_create(KThreadFunc fn, void *arg, const char *name)
{
    KThread *t = static_cast<KThread *>(tvr_malloc(sizeof(KThread)));
    if (!t)
        return nullptr;
    t->fn = fn;
    t->arg = arg;
    if (name) {
        t->name = _tvr_strcpy(name);
        if (!t->name) {
            tvr_free(t);
            return nullptr;
        }
    }
    return t;
}

int KThread_start(KThread *thread)
{
    if (!thread || !thread->fn || thread->handle)
        return 0;
    {
        std::lock_guard<std::mutex> guard(g_namesLock);
        if (!g_names)
            g_names = g_hash_table_new(g_direct_hash, g_direct_equal);
    }
    const KSdl *sdl = KSdl_get();
    if (!sdl)
        return 0;
    thread->handle = sdl->CreateThread(threadEntry, thread->name ? thread->name : "KThread", thread);
    if (!thread->handle)
        return 0;
    thread->id = sdl->GetThreadID(thread->handle);
    return 1;
}

int _KThread_wait(KThread *thread, int *status, const char *file, int line)
{
    if (!thread || !thread->handle)
        return 1;
    tvr_debug("KThread_wait %s %lu %s:%d", KThread_GetCurrentThreadName(),
              KThread_GetCurrentThreadId(), file, line);
    int result = 0;
    KSdl_get()->WaitThread(thread->handle, &result);
    thread->handle = nullptr;
    if (status)
        *status = result;
    return 1;
}

void _KThread_destroy(KThread *thread)
{
    if (!thread)
        return;
    // Never free the record of a running thread: it reads its name and function from it.
    _KThread_wait(thread, nullptr, __FILE__, __LINE__);
    tvr_free(thread->name);
    tvr_free(thread);
}

int KThread_kill(KThread *thread)
{
    if (!thread || !thread->handle)
        return 0;
    return _KThread_wait(thread, nullptr, __FILE__, __LINE__);
}

int KThread_isStarted(KThread *thread)
{
    return thread && thread->handle ? 1 : 0;
}

const char *KThread_GetCurrentThreadName(void)
{
    std::lock_guard<std::mutex> guard(g_namesLock);
    if (!g_names)
        return nullptr;
    return static_cast<const char *>(g_hash_table_lookup(g_names, idKey(currentThreadId())));
}

KThreadId KThread_GetCurrentThreadId(void)
{
    return currentThreadId();
}
