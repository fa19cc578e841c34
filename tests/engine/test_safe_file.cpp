// Saves through a temporary file: a complete file replaces the target, any failure keeps the old
// target and leaves no temporary behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AudioFixtures.h"
#include "KSafeFile.h"

namespace
{

struct SeamGuard {
    explicit SeamGuard(int64_t bytes) { KSafeFile_failWritesAfter(bytes); }
    ~SeamGuard() { KSafeFile_failWritesAfter(-1); }
};

TEST(SafeFile, CommitReplacesTargetAndKeepsPermissions)
{
    fixtures::TempDir dir;
    const std::string target = dir.file("project.tvprj");
    fixtures::writeBytes(target, "old");
    chmod(target.c_str(), 0640);

    KSafeFile *file = KSafeFile_open(target.c_str());
    ASSERT_NE(nullptr, file);
    EXPECT_TRUE(KSafeFile_write(file, "new content", 11));
    EXPECT_EQ("old", fixtures::readBytes(target)); // nothing visible before the commit
    EXPECT_EQ(1, KSafeFile_commit(&file));
    EXPECT_EQ(nullptr, file);
    EXPECT_EQ("new content", fixtures::readBytes(target));
    struct stat info;
    ASSERT_EQ(0, stat(target.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 0777);
    EXPECT_EQ(std::vector<std::string>{"project.tvprj"}, dir.entries());
}

TEST(SafeFile, DiscardAndFailedWritesKeepOldTarget)
{
    fixtures::TempDir dir;
    const std::string target = dir.file("mix.tvx");
    fixtures::writeBytes(target, "previous");

    KSafeFile *file = KSafeFile_open(target.c_str());
    ASSERT_NE(nullptr, file);
    KSafeFile_write(file, "partial", 7);
    KSafeFile_discard(&file);
    EXPECT_EQ(nullptr, file);

    // A write refused by the disk (through the seam) fails at the write or at the flush.
    for (int64_t limit : {0, 3, 5000}) {
        SeamGuard seam(limit);
        file = KSafeFile_open(target.c_str());
        ASSERT_NE(nullptr, file);
        std::string big(20000, 'x');
        KSafeFile_write(file, big.data(), big.size());
        EXPECT_EQ(0, KSafeFile_commit(&file)) << limit;
    }
    // A failure marked by the caller.
    file = KSafeFile_open(target.c_str());
    ASSERT_NE(nullptr, file);
    KSafeFile_write(file, "abc", 3);
    KSafeFile_fail(file);
    EXPECT_FALSE(KSafeFile_write(file, "def", 3));
    EXPECT_EQ(0, KSafeFile_commit(&file));

    EXPECT_EQ("previous", fixtures::readBytes(target));
    EXPECT_EQ(std::vector<std::string>{"mix.tvx"}, dir.entries());
}

// A write the disk refuses is reported as not written, whatever the stream's buffer held; a
// stream that miscounted would report part of it written and copy past the caller's data (the
// block is followed by more of the same buffer, so a miscount shows as a count, not a crash).
TEST(SafeFile, RefusedLargeWriteReportsNothingWritten)
{
    fixtures::TempDir dir;
    const std::string target = dir.file("song.tvx");
    fixtures::writeBytes(target, "previous");
    const size_t block = size_t(2) << 20; // beyond any buffer the stream keeps
    const std::vector<char> data(3 * block, 'x');
    for (int64_t limit : {0, 5000}) {
        SeamGuard seam(limit);
        KSafeFile *file = KSafeFile_open(target.c_str());
        ASSERT_NE(nullptr, file);
        FILE *stream = KSafeFile_stream(file);
        EXPECT_EQ(0u, std::fwrite(data.data(), 1, block, stream)) << limit;
        EXPECT_NE(0, std::ferror(stream));
        EXPECT_EQ(0, KSafeFile_commit(&file));
    }
    EXPECT_EQ("previous", fixtures::readBytes(target));
    EXPECT_EQ(std::vector<std::string>{"song.tvx"}, dir.entries());
}

TEST(SafeFile, UnwritableFolderIsRefused)
{
    EXPECT_EQ(nullptr, KSafeFile_open("/nonexistent-folder/file"));
    EXPECT_EQ(nullptr, KSafeFile_open(""));
    EXPECT_EQ(nullptr, KSafeFile_open(nullptr));
}

} // namespace
