// Engine threads, recursive mutexes, semaphores, the buffer ring and the equaliser curve's lock,
// run under ThreadSanitizer as well as AddressSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "KBufferRing.h"
#include "KEqual.h"
#include "KMutex.h"
#include "KSemaphore.h"
#include "KThread.h"

namespace {

// --- Waiting for another thread to block ---------------------------------------------------------

pid_t currentThreadId()
{
    return static_cast<pid_t>(syscall(SYS_gettid));
}

// The scheduler's state letter of one thread of this process ('R' running, 'S' asleep in the
// kernel, ...), or 0 once the thread has ended.
char threadState(pid_t tid)
{
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string text;
    std::getline(stat, text);
    const size_t name = text.rfind(')');
    return name != std::string::npos && name + 2 < text.size() ? text[name + 2] : 0;
}

// The id of this process's thread of that name (as the engine names its threads), or 0.
pid_t threadNamed(const std::string &wanted)
{
    DIR *tasks = opendir("/proc/self/task");
    if (!tasks)
        return 0;
    pid_t found = 0;
    while (const dirent *entry = readdir(tasks)) {
        std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
        std::string name;
        if (entry->d_name[0] != '.' && std::getline(comm, name) && name == wanted)
            found = static_cast<pid_t>(std::atoi(entry->d_name));
    }
    closedir(tasks);
    return found;
}

// Waits until the thread sleeps in a wait (seen asleep on consecutive looks, so that a lock
// taken in passing does not count) or has ended. False only after a minute of neither, which
// only a thread that never waits takes.
bool blockedOrEnded(pid_t tid)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    int asleep = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const char state = threadState(tid);
        if (state == 0)
            return true;
        asleep = state == 'S' ? asleep + 1 : 0;
        if (asleep == 3)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// The ring's filler thread, once it has started.
pid_t fillerThread()
{
    pid_t tid = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while ((tid = threadNamed("bufferingProc")) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    return tid;
}

// --- Threads ------------------------------------------------------------------------------------

struct NameProbe {
    std::atomic<bool> sameName{false};
};

int reportName(void *arg)
{
    const char *name = KThread_GetCurrentThreadName();
    static_cast<NameProbe *>(arg)->sameName = name && std::strcmp(name, "x") == 0;
    return 42;
}

TEST(KThread, RefusesNullRecordsAndFunctions)
{
    EXPECT_EQ(KThread_start(nullptr), 0);
    KThread *noFunction = KThread_create(nullptr, nullptr, "none");
    ASSERT_NE(noFunction, nullptr);
    EXPECT_EQ(KThread_start(noFunction), 0);
    EXPECT_EQ(KThread_isStarted(noFunction), 0);
    EXPECT_EQ(KThread_kill(noFunction), 0);
    EXPECT_EQ(KThread_kill(nullptr), 0);
    _KThread_destroy(noFunction);
    _KThread_destroy(nullptr);
}

TEST(KThread, RunsNamedAndReturnsItsResultThroughWait)
{
    NameProbe probe;
    KThread *t = KThread_create(reportName, &probe, "x");
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(KThread_start(t), 1);
    EXPECT_EQ(KThread_isStarted(t), 1);
    int status = 0;
    EXPECT_EQ(KThread_wait(t, &status), 1);
    EXPECT_EQ(status, 42);
    EXPECT_TRUE(probe.sameName);
    EXPECT_EQ(KThread_isStarted(t), 0);
    EXPECT_EQ(KThread_GetCurrentThreadName(), nullptr); // the test's own thread has no entry

    // The record can be started again once waited for; destroy waits for a running thread.
    probe.sameName = false;
    ASSERT_EQ(KThread_start(t), 1);
    _KThread_destroy(t);
    EXPECT_TRUE(probe.sameName);
}

// --- Mutexes and semaphores ---------------------------------------------------------------------

struct Counter {
    KMutex *lock;
    long value;
};

int addUnderRecursiveLock(void *arg)
{
    Counter *c = static_cast<Counter *>(arg);
    for (int i = 0; i < 2000; ++i) {
        if (!KMutex_lock(c->lock) || !KMutex_lock(c->lock))
            return 1;
        ++c->value;
        if (!KMutex_unlock(c->lock) || !KMutex_unlock(c->lock))
            return 1;
    }
    return 0;
}

TEST(KMutex, IsRecursiveAndExcludesOtherThreads)
{
    EXPECT_EQ(KMutex_lock(nullptr), 0);
    EXPECT_EQ(KMutex_unlock(nullptr), 0);
    Counter counter{KMutex_create(), 0};
    ASSERT_NE(counter.lock, nullptr);
    std::vector<KThread *> threads;
    for (int i = 0; i < 4; ++i) {
        threads.push_back(KThread_create(addUnderRecursiveLock, &counter, "adder"));
        ASSERT_EQ(KThread_start(threads.back()), 1);
    }
    for (KThread *t : threads) {
        int status = -1;
        KThread_wait(t, &status);
        EXPECT_EQ(status, 0);
        _KThread_destroy(t);
    }
    EXPECT_EQ(counter.value, 4 * 2000);
    _KMutex_destroy(counter.lock);
}

struct PingPong {
    KSemaphore *ping;
    KSemaphore *pong;
};

int answerPings(void *arg)
{
    PingPong *p = static_cast<PingPong *>(arg);
    for (int i = 0; i < 100; ++i) {
        KSemaphore_wait(p->ping, __FILE__, __LINE__);
        KSemaphore_post(p->pong);
    }
    return 0;
}

TEST(KSemaphore, CountsAndHandsOverBetweenThreads)
{
    EXPECT_EQ(KSemaphore_create(-1), nullptr);
    EXPECT_EQ(KSemaphore_post(nullptr), 0);
    EXPECT_EQ(KSemaphore_wait(nullptr, __FILE__, __LINE__), 0);
    EXPECT_EQ(KSemaphore_value(nullptr), 0);

    KSemaphore *s = KSemaphore_create(0);
    ASSERT_NE(s, nullptr);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(KSemaphore_post(s), 1);
    EXPECT_EQ(KSemaphore_value(s), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(KSemaphore_wait(s, __FILE__, __LINE__), 1);
    EXPECT_EQ(KSemaphore_value(s), 0);
    _KSemaphore_destroy(s);

    PingPong p{KSemaphore_create(0), KSemaphore_create(0)};
    KThread *t = KThread_create(answerPings, &p, "pong");
    ASSERT_EQ(KThread_start(t), 1);
    for (int i = 0; i < 100; ++i) {
        KSemaphore_post(p.ping);
        KSemaphore_wait(p.pong, __FILE__, __LINE__);
    }
    _KThread_destroy(t);
    _KSemaphore_destroy(p.ping);
    _KSemaphore_destroy(p.pong);
}

// --- Buffer ring ---------------------------------------------------------------------------------

constexpr int kBlockBytes = 64;
constexpr int kBuffers = 10;

// Writes consecutive sequence numbers, one per block; holds back block `allowed` until the
// filler is asked to stop, so a test can keep the filler busy inside a buffer.
struct SequenceSource {
    std::atomic<uint32_t> next{0};
    std::atomic<uint32_t> allowed{UINT32_MAX};
    uint32_t tag = 0; // added to every number written
};

void fillSequence(uint8_t *buffer, int bytes, void *context)
{
    SequenceSource *source = static_cast<SequenceSource *>(context);
    while (source->next >= source->allowed && isBufferFilling())
        std::this_thread::yield();
    std::memset(buffer, 0, static_cast<size_t>(bytes));
    const uint32_t seq = source->next.load();
    const uint32_t tagged = seq + source->tag;
    std::memcpy(buffer, &tagged, sizeof tagged);
    source->next = seq + 1;
}

// Reads blocks until `blocks` were read or the ring has no more (a copy of 0 bytes), checking
// that the sequence numbers come in order without gap or repeat.
struct SequenceReader {
    int blocks = INT32_MAX;
    const SequenceSource *source = nullptr;
    std::vector<uint32_t> seen;
    uint32_t filledAtFirstCopy = 0;
    bool inOrder = true;
    bool secondCopyEmpty = true;

    void run()
    {
        uint8_t block[kBlockBytes];
        while (static_cast<int>(seen.size()) < blocks) {
            const int index = nextBufferToRead();
            if (index < 0)
                break;
            const int length = copyReadBuffer(index, block);
            if (length == 0)
                break;
            if (seen.empty())
                filledAtFirstCopy = source->next;
            uint32_t seq;
            std::memcpy(&seq, block, sizeof seq);
            inOrder = inOrder && length == kBlockBytes && (seen.empty() || seq == seen.back() + 1);
            secondCopyEmpty = secondCopyEmpty && copyReadBuffer(index, block) == 0;
            seen.push_back(seq);
        }
        unlock_readMutex();
    }
};

TEST(BufferRing, RefusesBadSizesAndWorksOnlyOnceStarted)
{
    struct Case {
        int size, count, result;
    } cases[] = {{0, 10, -101}, {64, 2, -101}, {-1, 10, -101}, {64, 3, 1}, {kBlockBytes, 10, 1}};
    for (const Case &c : cases) {
        EXPECT_EQ(initReadBuffers(c.size, c.count), c.result) << c.size << " x " << c.count;
    }
    EXPECT_EQ(getBufferBytesSize(), kBlockBytes);
    EXPECT_EQ(getBufferNumber(), 10);
    uint8_t block[kBlockBytes];
    EXPECT_EQ(nextBufferToRead(), -1); // buffering never started
    EXPECT_EQ(copyReadBuffer(-1, block), 0);
    EXPECT_EQ(copyReadBuffer(10, block), 0);
    EXPECT_EQ(unlock_readMutex(), 1);
    EXPECT_EQ(startBuffering(nullptr, nullptr), 0);
    cleanReadBuffers();
    EXPECT_EQ(getBufferNumber(), 0);
    SequenceSource source;
    EXPECT_EQ(startBuffering(fillSequence, &source), 0); // no ring
    EXPECT_EQ(stopBuffering(), 1);
}

TEST(BufferRing, PassesEveryBlockOnceInOrderAcrossRestarts)
{
    ASSERT_EQ(initReadBuffers(kBlockBytes, kBuffers), 1);
    for (int session = 0; session < 2; ++session) {
        SequenceSource source;
        SequenceReader reader;
        reader.blocks = 3000;
        reader.source = &source;
        ASSERT_EQ(startBuffering(fillSequence, &source), 1);
        EXPECT_EQ(isBufferFilling(), 1);
        std::thread consumer([&] { reader.run(); });
        for (int i = 0; i < 200; ++i) { // positions are readable from any thread
            EXPECT_LT(getFillBufferId(), kBuffers);
            EXPECT_LT(getReadBufferId(), kBuffers);
        }
        consumer.join();
        EXPECT_EQ(getReadBufferId(), -1);
        EXPECT_EQ(stopBuffering(), 1);
        EXPECT_EQ(isBufferFilling(), 0);
        EXPECT_EQ(getFillBufferId(), -1);
        ASSERT_EQ(reader.seen.size(), 3000u);
        EXPECT_EQ(reader.seen.front(), 0u);
        EXPECT_TRUE(reader.inOrder);
        EXPECT_TRUE(reader.secondCopyEmpty);
        EXPECT_GE(reader.filledAtFirstCopy, static_cast<uint32_t>(kBuffers));
    }
    cleanReadBuffers();
}

TEST(BufferRing, ReaderWaitsUntilEveryBufferIsFilled)
{
    ASSERT_EQ(initReadBuffers(kBlockBytes, kBuffers), 1);
    SequenceSource source;
    source.allowed = kBuffers - 1;
    SequenceReader reader;
    reader.blocks = 1;
    reader.source = &source;
    ASSERT_EQ(startBuffering(fillSequence, &source), 1);
    std::atomic<bool> done{false};
    std::atomic<pid_t> readerId{0};
    std::thread consumer([&] {
        readerId = currentThreadId();
        reader.run();
        done = true;
    });
    while (source.next < static_cast<uint32_t>(kBuffers - 1) || readerId == 0)
        std::this_thread::yield();
    ASSERT_TRUE(blockedOrEnded(readerId));
    EXPECT_FALSE(done); // nine of ten buffers filled: still waiting
    source.allowed = UINT32_MAX;
    consumer.join();
    EXPECT_EQ(reader.filledAtFirstCopy, static_cast<uint32_t>(kBuffers));
    ASSERT_EQ(reader.seen.size(), 1u);
    EXPECT_EQ(reader.seen[0], 0u);
    stopBuffering();
    cleanReadBuffers();
}

// The reader blocks on its first step (ring not yet full) or on the buffer the filler is
// filling; stopping the filler releases it, and it then finds every filled block once.
TEST(BufferRing, StopReleasesAWaitingReader)
{
    for (uint32_t held : {4u, 12u}) {
        SCOPED_TRACE(held);
        ASSERT_EQ(initReadBuffers(kBlockBytes, kBuffers), 1);
        SequenceSource source;
        source.allowed = held;
        SequenceReader reader;
        reader.source = &source;
        ASSERT_EQ(startBuffering(fillSequence, &source), 1);
        std::atomic<pid_t> readerId{0};
        std::thread consumer([&] {
            readerId = currentThreadId();
            reader.run();
        });
        while (source.next < held || readerId == 0)
            std::this_thread::yield();
        ASSERT_TRUE(blockedOrEnded(readerId));
        EXPECT_EQ(stopBuffering(), 1);
        consumer.join();
        EXPECT_TRUE(reader.inOrder);
        ASSERT_EQ(reader.seen.size(), held + 1);
        EXPECT_EQ(reader.seen.front(), 0u); // the block being filled at the stop is kept
        cleanReadBuffers();
    }
}

TEST(BufferRing, StopReleasesAFillerWaitingForTheReader)
{
    // No reader ever comes: the filler fills the ring and waits for it.
    ASSERT_EQ(initReadBuffers(kBlockBytes, kBuffers), 1);
    SequenceSource source;
    ASSERT_EQ(startBuffering(fillSequence, &source), 1);
    while (source.next < static_cast<uint32_t>(kBuffers))
        std::this_thread::yield();
    ASSERT_TRUE(blockedOrEnded(fillerThread()));
    EXPECT_EQ(stopBuffering(), 1);
    EXPECT_EQ(source.next.load(), static_cast<uint32_t>(kBuffers));
    EXPECT_EQ(getFillBufferId(), -1);

    // The reader stalls holding a buffer and the filler waits behind it: a stop ends the filler
    // all the same, and the reader then goes on with the blocks filled before the stop.
    SequenceSource second;
    ASSERT_EQ(startBuffering(fillSequence, &second), 1);
    std::atomic<bool> resume{false};
    std::atomic<int> readerHeld{-1};
    SequenceReader reader;
    reader.source = &second;
    std::thread consumer([&] {
        uint8_t block[kBlockBytes];
        int index = -1;
        for (int i = 0; i < 3; ++i)
            copyReadBuffer(index = nextBufferToRead(), block);
        readerHeld = index;
        while (!resume)
            std::this_thread::yield();
        reader.run();
    });
    while (second.next < static_cast<uint32_t>(kBuffers + 2) || readerHeld < 0)
        std::this_thread::yield();
    ASSERT_TRUE(blockedOrEnded(fillerThread()));
    EXPECT_EQ(readerHeld.load(), 2);
    EXPECT_EQ(second.next.load(), static_cast<uint32_t>(kBuffers + 2)); // waiting for buffer 2
    EXPECT_EQ(stopBuffering(), 1);
    EXPECT_EQ(isBufferFilling(), 0);
    resume = true;
    consumer.join();
    // Buffers 3..9 and then 0 and 1 again: sequence numbers 3..11, in order.
    ASSERT_EQ(reader.seen.size(), 9u);
    EXPECT_TRUE(reader.inOrder);
    EXPECT_EQ(reader.seen.front(), 3u);
    EXPECT_EQ(reader.seen.back(), 11u);
    cleanReadBuffers();
}

// A reader that keeps stepping, as the sound card's callback does, across a stop, a restart
// and a clean-up: it finds no block while the ring is stopped or gone, and reads the restarted
// ring from its first block.
TEST(BufferRing, ReaderGoesOnAcrossRestartAndCleanUp)
{
    ASSERT_EQ(initReadBuffers(kBlockBytes, kBuffers), 1);
    constexpr uint32_t kSecond = 1u << 20;
    SequenceSource first, second;
    second.tag = kSecond;
    std::atomic<bool> quit{false};
    std::atomic<size_t> count{0}, countSecond{0}, steps{0};
    std::vector<uint32_t> seen;
    ASSERT_EQ(startBuffering(fillSequence, &first), 1);
    std::thread consumer([&] {
        uint8_t block[kBlockBytes];
        while (!quit) {
            ++steps;
            const int length = copyReadBuffer(nextBufferToRead(), block);
            if (length == 0) {
                std::this_thread::yield();
                continue;
            }
            uint32_t seq;
            std::memcpy(&seq, block, sizeof seq);
            seen.push_back(seq);
            ++count;
            if (seq >= kSecond)
                ++countSecond;
        }
        unlock_readMutex();
    });
    while (count < 50)
        std::this_thread::yield();
    stopBuffering();
    ASSERT_EQ(startBuffering(fillSequence, &second), 1);
    while (countSecond < 50)
        std::this_thread::yield();
    cleanReadBuffers();
    // The reader goes on stepping over the freed ring for a while.
    const size_t stepsAtCleanUp = steps;
    while (steps < stepsAtCleanUp + 1000)
        std::this_thread::yield();
    quit = true;
    consumer.join();

    // Blocks of the first ring 0, 1, 2 ..., then those of the second from its first.
    size_t i = 0;
    for (; i < seen.size() && seen[i] < kSecond; ++i)
        EXPECT_EQ(seen[i], i);
    ASSERT_LT(i, seen.size());
    for (size_t k = i; k < seen.size(); ++k)
        EXPECT_EQ(seen[k], kSecond + (k - i));
}

// --- Equaliser curve shared between an editing and an evaluating thread ------------------------

TEST(KEqualLock, EditsAndEvaluationsDoNotInterleave)
{
    _KEqualization *curve = KEqual_new();
    ASSERT_NE(curve, nullptr);
    std::atomic<bool> stop{false};
    std::thread player([&] {
        while (!stop) {
            _KEqualization *bins = KEqual_getTotalEqual(curve, 0.0, 22050.0, 64);
            const double v = KEqual_getAmplitude(curve, 1234.0);
            EXPECT_GE(v, 0.0);
            KEqual_delete(&bins);
        }
    });
    _KEqualization *other = KEqual_new();
    for (int round = 0; round < 300; ++round) {
        for (double f : {20.0, 100.0, 1000.0, 20000.0})
            KEqual_setAmplitude(curve, f, 1.0 + round % 3);
        KEqual_setAmplitudeAt(curve, 50.0, 0.5, 1);
        KEqual_copy(other, curve);
        KEqual_copy(curve, other);
        while (KEqual_getNbFreq(curve) > 0)
            KEqual_removeAmplAt(curve, 0);
    }
    stop = true;
    player.join();
    KEqual_delete(&other);
    KEqual_delete(&curve);
}

} // namespace
