// The project lock: held per thread and recursive, and in debug builds an edit of the project
// that the playback threads share, made without the lock, stops the program.
#include <gtest/gtest.h>

#include "KProjectLock.h"
#include "ProjectBuilder.h"

namespace {

TEST(ProjectLock, HeldCountsNestedLocksOfTheCallingThread)
{
    EXPECT_EQ(0, k_projectLockHeld());
    {
        KProjectLock outer;
        KProjectLock inner;
        EXPECT_EQ(1, k_projectLockHeld());
    }
    EXPECT_EQ(0, k_projectLockHeld());
}

TEST(ProjectLockDeathTest, EditOfTheSharedProjectWithoutTheLockStops)
{
#ifdef NDEBUG
    GTEST_SKIP() << "the check runs in debug builds";
#endif
    ProjectBuilder shared, other;
    shared.track("A").group("G");
    other.track("A").group("G");
    k_setSharedProject(shared.file());
    EXPECT_EQ(1, addSubElt(other.file(), "G", "A")); // not shared: no lock needed
    {
        KProjectLock lock;
        EXPECT_EQ(1, addSubElt(shared.file(), "G", "A"));
        k_setMute(shared.file(), "A", 1);
    }
    EXPECT_DEATH(k_setMute(shared.file(), "A", 0), "changed without its lock");
    EXPECT_DEATH(delSubElt(shared.file(), "G", "A"), "changed without its lock");
    k_setSharedProject(nullptr);
    EXPECT_EQ(1, delSubElt(shared.file(), "G", "A"));
}

} // namespace
