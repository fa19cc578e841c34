// Saves through a temporary file: a complete file replaces the target, any failure keeps the old
// target and leaves no temporary behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "AudioFixtures.h"
#include "KAudioConvert.h"
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

// Runs `body` in a child process that then waits until kill() is called and is killed there:
// its save never commits.
struct Child {
    explicit Child(const std::function<void()> &body)
    {
        int ready[2];
        if (pipe(ready) != 0 || pipe(m_gate) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(m_gate[1]);
            body();
            ssize_t ignored = write(ready[1], "r", 1);
            char byte;
            ignored = read(m_gate[0], &byte, 1);
            (void)ignored;
            raise(SIGKILL);
        }
        close(m_gate[0]);
        char byte;
        EXPECT_EQ(1, read(ready[0], &byte, 1));
        close(ready[0]);
        close(ready[1]);
    }
    // Lets the child go on to be killed, and waits for it.
    void kill()
    {
        close(m_gate[1]);
        int status = 0;
        waitpid(m_pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
    }
    pid_t m_pid = -1;
    int m_gate[2] = {-1, -1};
};

// A save killed before its commit leaves its temporary; the next save of that target removes it,
// but never the temporary of a save still running (in this process or another).
TEST(SafeFile, NextSaveRemovesWhatKilledSavesLeft)
{
    fixtures::TempDir dir;
    const std::string target = dir.file("song.tvx");
    const std::string other = dir.file("mono.wav");
    fixtures::writeBytes(target, "old");
    fixtures::writeAudio(dir.file("src.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 2,
                         std::vector<float>(2000, 0.25f));
    auto save = [](const std::string &path, const char *text) {
        KSafeFile *file = KSafeFile_open(path.c_str());
        return file && KSafeFile_write(file, text, std::strlen(text)) && KSafeFile_commit(&file);
    };
    // Killed saves of two targets.
    Child killed([&] {
        KSafeFile *file = KSafeFile_open(target.c_str());
        KSafeFile_write(file, "partial", 7);
        std::fflush(KSafeFile_stream(file));
        KSafeFile_open(other.c_str());
    });
    killed.kill();
    EXPECT_EQ(4u, dir.entries().size());

    // A save running in another process and one in this process keep their temporaries.
    Child running([&] { KSafeFile_open(target.c_str()); });
    KSafeFile *mine = KSafeFile_open(target.c_str());
    ASSERT_NE(nullptr, mine);
    EXPECT_TRUE(save(target, "new"));
    EXPECT_EQ("new", fixtures::readBytes(target));
    EXPECT_EQ(5u, dir.entries().size()); // target, source, the killed mono's, running's, mine
    EXPECT_TRUE(KSafeFile_write(mine, "mine", 4));
    EXPECT_EQ(1, KSafeFile_commit(&mine));
    EXPECT_EQ("mine", fixtures::readBytes(target));
    running.kill();

    // One successful save per target clears everything; the conversion's save too.
    EXPECT_TRUE(save(target, "last"));
    EXPECT_EQ(1, k_convertStereoToMono(dir.file("src.wav").c_str(), other.c_str()));
    EXPECT_EQ((std::vector<std::string>{"mono.wav", "song.tvx", "src.wav"}),
              dir.entries());
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
