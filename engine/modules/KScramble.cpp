#include "KScramble.h"

#include <sys/types.h>

#include <algorithm>
#include <atomic>

namespace
{

std::atomic<int64_t> g_writtenBytes{0};
std::atomic<int64_t> g_writeCalls{0};

// Adds (sign x (p mod period + offset)) to every byte, p counting on from `position`. Within a run
// that does not cross a multiple of the period the added value is a byte counter, which the
// compiler vectorises.
template <int Sign> void shift(uint8_t *out, const uint8_t *in, size_t length, int64_t position)
{
    if (position < 0)
        position = 0;
    int64_t phase = position % KSCRAMBLE_PERIOD;
    while (length > 0) {
        const size_t run = static_cast<size_t>(
            std::min<int64_t>(static_cast<int64_t>(length), KSCRAMBLE_PERIOD - phase));
        const uint8_t base = static_cast<uint8_t>(phase + KSCRAMBLE_OFFSET);
        for (size_t i = 0; i < run; ++i) {
            const uint8_t add = static_cast<uint8_t>(base + static_cast<uint8_t>(i));
            out[i] = static_cast<uint8_t>(Sign > 0 ? in[i] + add : in[i] - add);
        }
        out += run;
        in += run;
        length -= run;
        phase = 0;
    }
}

} // namespace

void kScrambleCopy(uint8_t *out, const uint8_t *in, size_t length, int64_t position)
{
    shift<1>(out, in, length, position);
}

void kDescrambleCopy(uint8_t *out, const uint8_t *in, size_t length, int64_t position)
{
    shift<-1>(out, in, length, position);
}

void ke(void *buffer, size_t length, int64_t position)
{
    if (buffer)
        kScrambleCopy(static_cast<uint8_t *>(buffer), static_cast<uint8_t *>(buffer), length,
                      position);
}

void kd(void *buffer, size_t length, int64_t position)
{
    if (buffer)
        kDescrambleCopy(static_cast<uint8_t *>(buffer), static_cast<uint8_t *>(buffer), length,
                        position);
}

size_t tvrWriteFunc(const void *buffer, size_t size, size_t count, FILE *stream)
{
    if (!buffer || !stream || size == 0 || count == 0 || count > SIZE_MAX / size)
        return 0;
    const off_t start = ftello(stream);
    if (start < 0)
        return 0;
    g_writeCalls.fetch_add(1, std::memory_order_relaxed);
    // Scrambled through a fixed scratch block: the caller's buffer stays as it was.
    uint8_t scratch[16384];
    const uint8_t *in = static_cast<const uint8_t *>(buffer);
    const size_t total = size * count;
    size_t done = 0;
    while (done < total) {
        const size_t chunk = std::min(total - done, sizeof(scratch));
        kScrambleCopy(scratch, in + done, chunk, static_cast<int64_t>(start) + done);
        const size_t written = std::fwrite(scratch, 1, chunk, stream);
        done += written;
        if (written != chunk)
            break;
    }
    g_writtenBytes.fetch_add(static_cast<int64_t>(done), std::memory_order_relaxed);
    return done / size;
}

size_t tvrReadFunc(void *buffer, size_t size, size_t count, FILE *stream)
{
    if (!buffer || !stream || size == 0 || count == 0 || count > SIZE_MAX / size)
        return 0;
    const off_t start = ftello(stream);
    if (start < 0)
        return 0;
    const size_t got = std::fread(buffer, 1, size * count, stream);
    kd(buffer, got, static_cast<int64_t>(start));
    return got / size;
}

int64_t tvrWrittenBytes(void)
{
    return g_writtenBytes.load();
}

int64_t tvrWriteCalls(void)
{
    return g_writeCalls.load();
}
