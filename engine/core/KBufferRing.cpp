// The ring of read buffers between the filler thread and the reader (see KBufferRing.h).
//
// Each buffer's lock is an owner mark (free, filler, reader) kept under one ring lock with one
// condition variable, rather than a mutex held across the fill: no thread ever holds two locks
// (the hand-over-hand order around a ring of mutexes is a lock-order cycle), the filler holds no
// lock while the mixer runs, and a stop wakes whichever side is waiting. The "ring full" and
// "reader started" handshakes are flags under the same lock, so nothing a waiting thread may
// still touch is ever destroyed under it.
#include "KBufferRing.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "KThread.h"
#include "KTypes.h"
#include "tvr_utils.h"

namespace {

enum Owner { FREE, FILLER, READER };

struct ReadBuffer {
    uint8_t *data; // written by the filler while it holds the buffer
    int filled;    // bytes; by the filler while it holds the buffer, else under the ring lock
    Owner owner;   // under the ring lock
};

struct FillerArg {
    KFillBufferFunc fill;
    void *context;
};

struct Ring {
    std::mutex lock;
    std::condition_variable changed;
    // Set by the controlling thread while no filler runs; atomic for the getters.
    std::atomic<int> count{0};
    std::atomic<int> size{0};
    ReadBuffer *buffers = nullptr;
    KThread *filler = nullptr;
    // Under the lock.
    bool started = false;       // between startBuffering and cleanReadBuffers
    unsigned session = 0;       // counts startBuffering calls
    bool ringFull = false;      // the filler has filled every buffer once
    bool readerStarted = false; // the reader holds its first buffer
    bool fillerLapDone = false;
    std::atomic<bool> run{false};
    std::atomic<int> fillIndex{-1};
    std::atomic<int> readIndex{-1};    // the reader's position, kept when it releases
    std::atomic<bool> readHeld{false}; // whether the reader holds buffer readIndex
};

Ring g_ring;

void resetPositions()
{
    g_ring.ringFull = false;
    g_ring.readerStarted = false;
    g_ring.fillerLapDone = false;
    g_ring.fillIndex = -1;
    g_ring.readIndex = -1;
    g_ring.readHeld = false;
}

// The filler thread ("bufferingProc").
int bufferingProc(void *data)
{
    FillerArg arg = *static_cast<FillerArg *>(data);
    tvr_free(data);
    const int size = g_ring.size;
    while (g_ring.run) {
        const int i = nextBufferToFill();
        if (i < 0)
            break;
        arg.fill(g_ring.buffers[i].data, size, arg.context);
        g_ring.buffers[i].filled = size;
    }
    {
        std::lock_guard<std::mutex> guard(g_ring.lock);
        const int held = g_ring.fillIndex.exchange(-1);
        if (held >= 0)
            g_ring.buffers[held].owner = FREE;
    }
    g_ring.changed.notify_all();
    std::fflush(stdout);
    return 0;
}

} // namespace

int initReadBuffers(int size, int count)
{
    if (size < 1 || count < KBUFFER_RING_MIN_COUNT)
        return TVR_ERR_PARAM;
    cleanReadBuffers();
    ReadBuffer *buffers =
        static_cast<ReadBuffer *>(tvr_calloc(static_cast<size_t>(count), sizeof(ReadBuffer)));
    if (!buffers)
        return TVR_ERR_MEMORY;
    for (int i = 0; i < count; ++i) {
        buffers[i].data = static_cast<uint8_t *>(tvr_malloc(static_cast<size_t>(size)));
        if (!buffers[i].data) {
            for (int j = 0; j < i; ++j)
                tvr_free(buffers[j].data);
            tvr_free(buffers);
            return TVR_ERR_MEMORY;
        }
    }
    std::lock_guard<std::mutex> guard(g_ring.lock);
    g_ring.buffers = buffers;
    g_ring.size = size;
    g_ring.count = count;
    return TVR_OK;
}

int getBufferBytesSize(void)
{
    return g_ring.size;
}

int getBufferNumber(void)
{
    return g_ring.count;
}

int isBufferFilling(void)
{
    return g_ring.run ? 1 : 0;
}

int getReadBufferId(void)
{
    return g_ring.readHeld ? g_ring.readIndex.load() : -1;
}

int getFillBufferId(void)
{
    return g_ring.fillIndex;
}

int copyReadBuffer(int index, void *dst)
{
    if (!dst)
        return 0;
    // Copied under the ring lock (one short block), so that a ring being freed or rebuilt by the
    // player thread never pulls a buffer from under a reader.
    std::lock_guard<std::mutex> guard(g_ring.lock);
    if (!g_ring.buffers || index < 0 || index >= g_ring.count ||
        g_ring.buffers[index].owner != READER)
        return 0;
    ReadBuffer &buffer = g_ring.buffers[index];
    const int length = buffer.filled;
    if (length > 0)
        std::memcpy(dst, buffer.data, static_cast<size_t>(length));
    buffer.filled = 0;
    return length;
}

// Gives buffer `next` to the reader and frees the one it held; called with the ring's lock held,
// which it releases before waking the filler.
static int handToReader(std::unique_lock<std::mutex> &guard, int previous, int next)
{
    g_ring.buffers[next].owner = READER;
    if (g_ring.readHeld)
        g_ring.buffers[previous].owner = FREE;
    g_ring.readerStarted = true;
    g_ring.readIndex = next;
    g_ring.readHeld = true;
    guard.unlock();
    g_ring.changed.notify_all();
    return next;
}

int nextBufferToRead(void)
{
    std::unique_lock<std::mutex> guard(g_ring.lock);
    if (!g_ring.started || g_ring.count <= 0)
        return -1;
    // A ring freed or restarted while the reader waited ends this step.
    const unsigned session = g_ring.session;
    const auto gone = [session] { return !g_ring.started || g_ring.session != session; };
    // First step: wait until every buffer is filled (or the filler is stopped).
    if (!g_ring.readerStarted) {
        g_ring.changed.wait(guard, [&] { return gone() || g_ring.ringFull || !g_ring.run; });
        if (gone())
            return -1;
    }
    const int previous = g_ring.readIndex;
    const int next = (previous + 1) % g_ring.count;
    // Never pass the filler: wait while it fills the next buffer.
    g_ring.changed.wait(guard, [&] { return gone() || g_ring.buffers[next].owner != FILLER; });
    if (gone())
        return -1;
    return handToReader(guard, previous, next);
}

int tryNextBufferToRead(void)
{
    std::unique_lock<std::mutex> guard(g_ring.lock);
    if (!g_ring.started || g_ring.count <= 0)
        return -1;
    if (!g_ring.readerStarted && !g_ring.ringFull && g_ring.run)
        return KBUFFER_RING_LATE;
    const int previous = g_ring.readIndex;
    const int next = (previous + 1) % g_ring.count;
    if (g_ring.buffers[next].owner == FILLER)
        return KBUFFER_RING_LATE;
    return handToReader(guard, previous, next);
}

int unlock_readMutex(void)
{
    {
        std::lock_guard<std::mutex> guard(g_ring.lock);
        if (!g_ring.readHeld)
            return 1;
        if (g_ring.buffers)
            g_ring.buffers[g_ring.readIndex].owner = FREE;
        g_ring.readHeld = false;
    }
    g_ring.changed.notify_all();
    return 1;
}

int nextBufferToFill(void)
{
    std::unique_lock<std::mutex> guard(g_ring.lock);
    const int count = g_ring.count;
    if (!g_ring.run || count <= 0)
        return -1;
    const int current = g_ring.fillIndex;
    if (!g_ring.fillerLapDone && current == count - 1) {
        // Every buffer is filled: let the reader start, and wait until it holds buffer 0.
        g_ring.fillerLapDone = true;
        g_ring.ringFull = true;
        g_ring.changed.notify_all();
        g_ring.changed.wait(guard, [] { return g_ring.readerStarted || !g_ring.run; });
    }
    // Never pass the reader: wait while it holds the next buffer.
    const int next = (current + 1) % count;
    g_ring.changed.wait(
        guard, [next] { return g_ring.buffers[next].owner != READER || !g_ring.run; });
    if (!g_ring.run)
        return -1;
    g_ring.buffers[next].owner = FILLER;
    if (current >= 0)
        g_ring.buffers[current].owner = FREE;
    g_ring.fillIndex = next;
    guard.unlock();
    g_ring.changed.notify_all();
    return next;
}

int startBuffering(KFillBufferFunc fill, void *context)
{
    if (!fill || g_ring.count <= 0 || !g_ring.buffers)
        return 0;
    stopBuffering();
    FillerArg *arg = static_cast<FillerArg *>(tvr_malloc(sizeof(FillerArg)));
    if (!arg)
        return 0;
    arg->fill = fill;
    arg->context = context;
    {
        std::lock_guard<std::mutex> guard(g_ring.lock);
        resetPositions();
        for (int i = 0; i < g_ring.count; ++i) {
            g_ring.buffers[i].filled = 0;
            g_ring.buffers[i].owner = FREE;
        }
        g_ring.started = true;
        ++g_ring.session;
        // Set before the thread starts, so that a stop requested at once is never missed.
        g_ring.run = true;
    }
    g_ring.changed.notify_all();
    g_ring.filler = KThread_create(bufferingProc, arg, "bufferingProc");
    if (!KThread_start(g_ring.filler)) {
        {
            std::lock_guard<std::mutex> guard(g_ring.lock);
            g_ring.run = false;
            g_ring.started = false;
        }
        g_ring.changed.notify_all();
        _KThread_destroy(g_ring.filler);
        g_ring.filler = nullptr;
        tvr_free(arg);
        return 0;
    }
    return 1;
}

int stopBuffering(void)
{
    if (!g_ring.filler)
        return 1;
    {
        std::lock_guard<std::mutex> guard(g_ring.lock);
        g_ring.run = false;
    }
    // Wakes a reader waiting for the ring to fill and a filler waiting for the reader.
    g_ring.changed.notify_all();
    _KThread_destroy(g_ring.filler);
    g_ring.filler = nullptr;
    return 1;
}

void cleanReadBuffers(void)
{
    stopBuffering();
    {
        std::lock_guard<std::mutex> guard(g_ring.lock);
        if (g_ring.buffers) {
            for (int i = 0; i < g_ring.count; ++i)
                tvr_free(g_ring.buffers[i].data);
            tvr_free(g_ring.buffers);
            g_ring.buffers = nullptr;
        }
        g_ring.count = 0;
        g_ring.size = 0;
        g_ring.started = false;
        resetPositions();
    }
    g_ring.changed.notify_all();
}
