// The project lock (see KProjectLock.h).
#include "KProjectLock.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::recursive_mutex g_lock;
thread_local int t_depth = 0; // how many times this thread holds the lock
std::atomic<const _KFile *> g_shared{nullptr};

} // namespace

void k_lockProject(void)
{
    g_lock.lock();
    ++t_depth;
}

void k_unlockProject(void)
{
    --t_depth;
    g_lock.unlock();
}

int k_projectLockHeld(void)
{
    return t_depth > 0 ? 1 : 0;
}

void k_setSharedProject(_KFile *file)
{
    g_shared.store(file);
}

_KFile *k_sharedProject(void)
{
    return const_cast<_KFile *>(g_shared.load());
}

void k_checkProjectLock(const _KFile *file, const char *where)
{
#ifndef NDEBUG
    if (file && file == g_shared.load() && t_depth == 0) {
        std::fprintf(stderr, "*** ERROR %s : the playing project is changed without its lock ***\n",
                     where ? where : "");
        std::abort();
    }
#else
    (void)file;
    (void)where;
#endif
}
