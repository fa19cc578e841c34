// SDL is opened by the engine the first time it needs it, not by the program loader: a program
// that has not yet made a thread, a lock or a sound device has no SDL in memory, and the first
// of them opens it and works.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "KMutex.h"
#include "KSemaphore.h"
#include "KThread.h"

namespace {

bool sdlMapped()
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("libSDL2") != std::string::npos)
            return true;
    }
    return false;
}

int postAndReport(void* arg)
{
    KSemaphore_post(static_cast<KSemaphore*>(arg));
    return 7;
}

TEST(SdlOnDemand, OpenedByTheFirstThreadOrLockAndWorking)
{
    // Asking the calling thread's id (every lock traces it) does not open SDL either.
    const KThreadId self = KThread_GetCurrentThreadId();
    EXPECT_NE(self, 0UL);
    ASSERT_FALSE(sdlMapped()) << "SDL was loaded before the engine needed it";

    KMutex* mutex = KMutex_create();
    ASSERT_NE(mutex, nullptr);
    EXPECT_TRUE(sdlMapped());
    EXPECT_EQ(KMutex_lock(mutex), 1);
    EXPECT_EQ(KMutex_lock(mutex), 1); // recursive
    EXPECT_EQ(KMutex_unlock(mutex), 1);
    EXPECT_EQ(KMutex_unlock(mutex), 1);
    _KMutex_destroy(mutex);

    KSemaphore* done = KSemaphore_create(0);
    ASSERT_NE(done, nullptr);
    KThread* thread = KThread_create(postAndReport, done, "on demand");
    ASSERT_EQ(KThread_start(thread), 1);
    EXPECT_EQ(KSemaphore_wait(done, __FILE__, __LINE__), 1);
    int status = 0;
    EXPECT_EQ(KThread_wait(thread, &status), 1);
    EXPECT_EQ(status, 7);
    EXPECT_EQ(KThread_GetCurrentThreadId(), self);
    _KThread_destroy(thread);
    _KSemaphore_destroy(done);
}

} // namespace
