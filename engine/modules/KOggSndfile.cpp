#include "KOggSndfile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "KContainer.h"
#include "KScramble.h"
#include "tvr_utils.h"

SOggSF *SOggSF_new(void)
{
    SOggSF *context = static_cast<SOggSF *>(tvr_malloc(sizeof(SOggSF)));
    if (context) {
        context->stream = nullptr;
        context->start = context->end = context->length = -1;
        context->streamNumber = -1;
        context->handle = nullptr;
        context->writing = 0;
        context->failed = 0;
    }
    return context;
}

void SOggSF_delete(SOggSF **context)
{
    if (!context || !*context)
        return;
    if ((*context)->handle)
        sf_close((*context)->handle);
    tvr_free(*context);
    *context = nullptr;
}

// --- Virtual I/O ---------------------------------------------------------------------------------

sf_count_t k_sf_getlen(void *user)
{
    const SOggSF *context = static_cast<const SOggSF *>(user);
    return context ? context->length : -1;
}

sf_count_t k_sf_seek(sf_count_t offset, int whence, void *user)
{
    SOggSF *context = static_cast<SOggSF *>(user);
    if (!context || !context->stream || context->start < 0)
        return -1;
    int64_t target;
    switch (whence) {
    case SEEK_SET:
        target = context->start + offset;
        break;
    case SEEK_CUR:
        target = ftello(context->stream) + offset;
        break;
    case SEEK_END:
        target = context->start + std::max<int64_t>(context->length, 0) + offset;
        break;
    default:
        return -1;
    }
    if (target < context->start || fseeko(context->stream, target, SEEK_SET) != 0)
        return -1;
    return target - context->start;
}

sf_count_t k_sf_read(void *buffer, sf_count_t count, void *user)
{
    SOggSF *context = static_cast<SOggSF *>(user);
    if (!context || !context->stream || !buffer || count <= 0 || context->start < 0)
        return 0;
    if (context->writing)
        std::fflush(context->stream);
    const int64_t position = ftello(context->stream);
    const int64_t end = context->start + std::max<int64_t>(context->length, 0);
    if (position < context->start || position >= end)
        return 0;
    // Never past the track's last byte, whatever its header claims.
    const int64_t wanted = std::min<int64_t>(count, end - position);
    return static_cast<sf_count_t>(
        tvrReadFunc(buffer, 1, static_cast<size_t>(wanted), context->stream));
}

sf_count_t k_sf_write(const void *buffer, sf_count_t count, void *user)
{
    SOggSF *context = static_cast<SOggSF *>(user);
    if (!context || !context->stream || !buffer || count <= 0 || !context->writing)
        return 0;
    const int64_t position = ftello(context->stream);
    const size_t written = tvrWriteFunc(buffer, 1, static_cast<size_t>(count), context->stream);
    if (written != static_cast<size_t>(count)) {
        context->failed = 1;
        return 0;
    }
    // The length is the high-water mark of what was written, so headers completed at close
    // carry the right sizes.
    context->length = std::max<int64_t>(context->length, position + count - context->start);
    return count;
}

sf_count_t k_sf_tell(void *user)
{
    SOggSF *context = static_cast<SOggSF *>(user);
    if (!context || !context->stream || context->start < 0)
        return -1;
    return ftello(context->stream) - context->start;
}

SF_VIRTUAL_IO *k_sf_virtualIO(void)
{
    static SF_VIRTUAL_IO io = {k_sf_getlen, k_sf_seek, k_sf_read, k_sf_write, k_sf_tell};
    return &io;
}

// --- Reading a track -----------------------------------------------------------------------------

namespace
{

int64_t getInt64(const unsigned char *in)
{
    uint64_t v = 0;
    for (int b = 7; b >= 0; --b)
        v = (v << 8) | in[b];
    return static_cast<int64_t>(v);
}

SOggSF *refuse(FILE *stream, const char *path, const char *cause)
{
    std::fprintf(stderr, "*** ERROR k_oggSndfileOpen : \"%s\" : %s\n", path, cause);
    if (stream)
        std::fclose(stream);
    return nullptr;
}

} // namespace

SOggSF *k_oggSndfileOpen(const char *path, int k)
{
    if (!path || k < 0)
        return nullptr;
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return refuse(nullptr, path, "not a readable file");
    FILE *stream = std::fopen(path, "rb");
    if (!stream)
        return refuse(nullptr, path, "cannot open the file");
    KContainerInfo info;
    char *text = KContainer_readDescription(stream, nullptr, &info);
    if (!text)
        return refuse(stream, path, "no readable description");
    tvr_free(text);
    const int64_t size = info.fileSize;
    if (!info.contiguous || size - info.descriptionEnd < 8)
        return refuse(stream, path, "no track table");
    unsigned char word[8];
    if (fseeko(stream, size - 8, SEEK_SET) != 0 || tvrReadFunc(word, 1, 8, stream) != 8)
        return refuse(stream, path, "cannot read the track table");
    const int64_t n = getInt64(word);
    if (n <= 0 || n > (size - info.descriptionEnd - 8) / 8)
        return refuse(stream, path, "the track count does not fit the file");
    if (n != info.serial)
        return refuse(stream, path, "the track count differs from the description's");
    if (k >= n)
        return refuse(stream, path, "no such track");
    const int64_t table = size - 8 * (n + 1);
    std::vector<unsigned char> bytes(static_cast<size_t>(8 * n));
    if (fseeko(stream, table, SEEK_SET) != 0 ||
        tvrReadFunc(bytes.data(), 1, bytes.size(), stream) != bytes.size())
        return refuse(stream, path, "cannot read the track table");
    int64_t previous = info.descriptionEnd - 1;
    for (int64_t i = 0; i < n; ++i) {
        const int64_t offset = getInt64(&bytes[static_cast<size_t>(8 * i)]);
        if (offset <= previous || offset >= table)
            return refuse(stream, path, "the track table points outside the tracks");
        previous = offset;
    }
    SOggSF *context = SOggSF_new();
    if (!context)
        return refuse(stream, path, "out of memory");
    context->stream = stream;
    context->start = getInt64(&bytes[static_cast<size_t>(8 * k)]);
    context->end = (k + 1 < n ? getInt64(&bytes[static_cast<size_t>(8 * (k + 1))]) : table) - 1;
    context->length = context->end + 1 - context->start;
    context->streamNumber = k;
    std::memset(&context->info, 0, sizeof(context->info));
    if (fseeko(stream, context->start, SEEK_SET) != 0 ||
        !(context->handle = sf_open_virtual(k_sf_virtualIO(), SFM_READ, &context->info, context))) {
        std::fprintf(stderr, "*** ERROR k_oggSndfileOpen : \"%s\" : track %d is unreadable (%s)\n",
                     path, k, sf_strerror(nullptr));
        SOggSF_delete(&context);
        std::fclose(stream);
        return nullptr;
    }
    if (context->info.channels < 1 || context->info.samplerate < 1) {
        k_sndfile_close(&context);
        return refuse(nullptr, path, "the track's header is unusable");
    }
    return context;
}

int k_sndfile_read(SOggSF *context, void *buffer, int bytes)
{
    if (!context || !context->handle || !buffer || bytes < 0)
        return -1;
    const sf_count_t frames = bytes / 2 / context->info.channels;
    if (frames == 0)
        return 0;
    const sf_count_t got = sf_readf_short(context->handle, static_cast<short *>(buffer), frames);
    return got > 0 ? static_cast<int>(got * context->info.channels * 2) : 0;
}

int64_t k_sndfile_seek(SOggSF *context, int64_t frame)
{
    if (!context || !context->handle || frame < 0)
        return -1;
    return sf_seek(context->handle, frame, SEEK_SET);
}

void k_sndfile_close(SOggSF **context)
{
    if (!context || !*context)
        return;
    FILE *stream = (*context)->stream;
    SOggSF_delete(context);
    if (stream)
        std::fclose(stream);
}
