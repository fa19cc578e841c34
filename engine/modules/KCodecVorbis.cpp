#include "KCodecVorbis.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "KContainer.h"
#include "KScramble.h"
#include "tvr_utils.h"

namespace
{

// The bytes of the container the decoder sees: [begin, end) of the file, descrambled.
struct LinkView {
    FILE *stream;
    int64_t begin, end;
};

size_t viewRead(void *buffer, size_t size, size_t count, void *source)
{
    LinkView *view = static_cast<LinkView *>(source);
    const int64_t position = ftello(view->stream);
    if (size == 0 || position < view->begin || position >= view->end)
        return 0;
    const int64_t available = view->end - position;
    const size_t items = std::min<size_t>(count, static_cast<size_t>(available) / size);
    return tvrReadFunc(buffer, size, items, view->stream);
}

int viewSeek(void *source, ogg_int64_t offset, int whence)
{
    LinkView *view = static_cast<LinkView *>(source);
    int64_t target;
    switch (whence) {
    case SEEK_SET:
        target = view->begin + offset;
        break;
    case SEEK_CUR:
        target = ftello(view->stream) + offset;
        break;
    case SEEK_END:
        target = view->end + offset;
        break;
    default:
        return -1;
    }
    if (target < view->begin || target > view->end)
        return -1;
    return fseeko(view->stream, static_cast<off_t>(target), SEEK_SET);
}

int viewClose(void *source)
{
    LinkView *view = static_cast<LinkView *>(source);
    const int result = std::fclose(view->stream);
    delete view;
    return result;
}

long viewTell(void *source)
{
    LinkView *view = static_cast<LinkView *>(source);
    return static_cast<long>(ftello(view->stream) - view->begin);
}

struct PageAt {
    int64_t offset = -1; // -1: no page found
    int64_t length = 0;
    int serial = -1;
    bool bos = false;
};

// The first whole, checksummed page at or after `position` (looking a few page lengths ahead).
PageAt pageAt(FILE *stream, int64_t position, int64_t fileSize)
{
    PageAt found;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    int64_t fed = position, skipped = 0, want = 4096;
    const int64_t limit = std::min<int64_t>(fileSize, position + 4 * 65536);
    ogg_page page;
    while (true) {
        const long result = ogg_sync_pageseek(&sync, &page);
        if (result > 0) {
            found.offset = position + skipped;
            found.length = result;
            found.serial = ogg_page_serialno(&page);
            found.bos = ogg_page_bos(&page) != 0;
            break;
        }
        if (result < 0) {
            skipped += -result;
            continue;
        }
        if (fed >= limit || fseeko(stream, fed, SEEK_SET) != 0)
            break;
        // Small reads first: most pages are a few kilobytes, and walking a run of pages this
        // way would otherwise read and descramble 64 KB for each of them.
        const long chunk = static_cast<long>(std::min<int64_t>(want, limit - fed));
        want = std::min<int64_t>(2 * want, 65536);
        char *buffer = ogg_sync_buffer(&sync, chunk);
        const size_t got = buffer ? tvrReadFunc(buffer, 1, static_cast<size_t>(chunk), stream) : 0;
        if (got == 0)
            break;
        fed += static_cast<int64_t>(got);
        ogg_sync_wrote(&sync, static_cast<long>(got));
    }
    ogg_sync_clear(&sync);
    return found;
}

// Tracks are written in order after the description, so a page's track number (the description
// counting as track -1) never decreases along the file. The offset of the first page of track k
// or a later one (the file size when there is none), by bisection over byte positions.
int64_t firstPageOfTrack(FILE *stream, int64_t fileSize, int descriptionSerial, int k)
{
    auto track = [&](const PageAt &p) { return p.serial == descriptionSerial ? -1 : p.serial; };
    int64_t lo = 0, hi = fileSize; // every page starting before lo belongs to an earlier track
    while (hi - lo > 8 * 65536) {
        const int64_t mid = lo + (hi - lo) / 2;
        const PageAt p = pageAt(stream, mid, fileSize);
        if (p.offset < 0 || p.offset >= hi || track(p) >= k)
            hi = mid;
        else
            lo = p.offset + p.length;
    }
    for (int pages = 0; pages < 100000; ++pages) {
        const PageAt p = pageAt(stream, lo, fileSize);
        if (p.offset < 0)
            return fileSize;
        if (track(p) >= k)
            return p.offset;
        lo = p.offset + p.length;
    }
    return fileSize;
}

// The bytes of link `link` alone: [*begin, *end), the description's pages left out also for the
// first track. False when the pages found there do not begin that link and the next (a damaged
// file): the decoder then gets the whole container.
bool findLinkBytes(FILE *stream, int link, int64_t *begin, int64_t *end)
{
    if (fseeko(stream, 0, SEEK_END) != 0)
        return false;
    const int64_t fileSize = ftello(stream);
    const PageAt first = pageAt(stream, 0, fileSize);
    if (fileSize <= 0 || first.offset != 0 || !first.bos)
        return false;
    *begin = firstPageOfTrack(stream, fileSize, first.serial, link);
    const PageAt start = pageAt(stream, *begin, fileSize);
    if (start.offset != *begin || !start.bos || start.serial != link)
        return false;
    *end = firstPageOfTrack(stream, fileSize, first.serial, link + 1);
    if (*end < fileSize) {
        const PageAt next = pageAt(stream, *end, fileSize);
        if (next.offset != *end || !next.bos || next.serial != link + 1)
            return false;
    }
    return *end > *begin && fseeko(stream, *begin, SEEK_SET) == 0;
}

} // namespace

KCodecVorbis *KCodecVorbis_init(KCodecVorbis *context)
{
    if (context) {
        context->decoder = nullptr;
        context->stream = nullptr;
        context->channels = 0;
        context->rate = 0.0;
        context->bytesPerSample = 0;
        context->link = -1;
        context->linkStart = -1;
        context->decoderLink = -1;
        context->failed = 0;
        context->primedBytes = 0;
    }
    return context;
}

KCodecVorbis *KCodecVorbis_new(void)
{
    return KCodecVorbis_init(static_cast<KCodecVorbis *>(tvr_malloc(sizeof(KCodecVorbis))));
}

KCodecVorbis *KCodecVorbis_initialize(const char *path, int link, int channels, int bytes,
                                      double rate)
{
    struct stat st;
    FILE *stream =
        (path && stat(path, &st) == 0 && S_ISREG(st.st_mode)) ? std::fopen(path, "rb") : nullptr;
    if (!stream) {
        std::fprintf(stderr,
                     "!!! ERROR - KCodecVorbis_initialize : Cannot open Tovra file \"%s\" !!!\n",
                     path ? path : "(null)");
        return nullptr;
    }
    KCodecVorbis *context = KCodecVorbis_new();
    if (!context) {
        std::fclose(stream);
        return nullptr;
    }
    context->stream = stream;
    context->link = link;
    context->channels = channels;
    context->bytesPerSample = bytes;
    context->rate = rate;
    return context;
}

void KCodecVorbis_delete(KCodecVorbis **context)
{
    if (!context || !*context)
        return;
    tvr_free((*context)->decoder);
    tvr_free(*context);
    *context = nullptr;
}

void KCodecVorbis_close(KCodecVorbis **context)
{
    if (!context || !*context)
        return;
    KCodecVorbis *c = *context;
    if (c->decoder)
        ov_clear(c->decoder); // closes the stream through the close callback
    else if (c->stream)
        std::fclose(c->stream);
    KCodecVorbis_delete(context);
}

KCodecVorbis *tvrVorbis_load(const char *path, int link, int channels, int bytes, double rate)
{
    if (!path || link < 0)
        return nullptr;
    KCodecVorbis *context = KCodecVorbis_initialize(path, link, channels, bytes, rate);
    if (!context)
        return nullptr;
    context->decoder = static_cast<OggVorbis_File *>(tvr_malloc(sizeof(OggVorbis_File)));
    if (!context->decoder) {
        KCodecVorbis_close(&context);
        return nullptr;
    }
    // The decoder reads the track's own bytes when they can be found, else the whole container.
    LinkView *view = new LinkView{context->stream, 0, 0};
    context->decoderLink = 0;
    if (!findLinkBytes(context->stream, link, &view->begin, &view->end)) {
        view->begin = 0;
        view->end = fseeko(context->stream, 0, SEEK_END) == 0 ? ftello(context->stream) : 0;
        fseeko(context->stream, 0, SEEK_SET);
        context->decoderLink = link;
    }
    const ov_callbacks callbacks = {viewRead, viewSeek, viewClose, viewTell};
    int result = ov_open_callbacks(view, context->decoder, nullptr, 0, callbacks);
    if (result != 0) {
        OggVorbisError("Error tvrVorbis_load : Cannot open Tovra File", result);
        delete view; // the decoder did not take the stream
        tvr_free(context->decoder);
        context->decoder = nullptr;
        KCodecVorbis_close(&context);
        return nullptr;
    }
    const int decoderLink = context->decoderLink;
    const char *refusal = nullptr;
    vorbis_info *info = nullptr;
    if (tvrVorbis_firstBrokenLink(context->decoder, "tvrVorbis_load", path) >= 0)
        refusal = "the track's codebooks are damaged";
    else if (decoderLink >= ov_streams(context->decoder))
        refusal = "the container has no such track";
    else if (ov_serialnumber(context->decoder, decoderLink) != link)
        refusal = "the track's stream number differs from its place";
    else if (!(info = ov_info(context->decoder, decoderLink)) || info->channels < 1 ||
             info->rate < 1)
        refusal = "the track has no usable format";
    else if ((channels > 0 && channels != info->channels) ||
             (rate > 0.0 && static_cast<long>(rate) != info->rate))
        refusal = "the track's format differs from the description's";
    if (!refusal) {
        context->channels = info->channels;
        context->rate = static_cast<double>(info->rate);
        context->bytesPerSample = 2;
        result = ov_raw_seek(context->decoder, context->decoder->offsets[decoderLink]);
        if (result != 0) {
            OggVorbisError("Error tvrVorbis_load : Cannot open Tovra File", result);
            refusal = "the track cannot be reached";
        } else {
            // The decoder counts PCM positions across its links, each link starting where the
            // ones before it end.
            context->linkStart = 0;
            for (int i = 0; i < decoderLink; ++i)
                context->linkStart += ov_pcm_total(context->decoder, i);
        }
    }
    if (refusal) {
        std::fprintf(stderr, "*** ERROR tvrVorbis_load : \"%s\" track %d : %s\n", path, link,
                     refusal);
        KCodecVorbis_close(&context);
        return nullptr;
    }
    // Decoding the first frame now builds the decoder's tables here rather than at the first read
    // (a player opens its tracks ahead, while the reads come block by block).
    const int frameBytes = 2 * context->channels;
    const int primed = tvrVorbis_read(context, context->primed, frameBytes);
    context->primedBytes = primed == frameBytes ? primed : 0;
    return context;
}

int tvrVorbis_read(KCodecVorbis *context, void *buffer, int bytes)
{
    if (!context || !context->decoder || !buffer || bytes < 0)
        return -1;
    char *out = static_cast<char *>(buffer);
    int filled = 0;
    const int frameBytes = 2 * (context->channels > 0 ? context->channels : 1);
    if (context->primedBytes > 0 && bytes >= context->primedBytes) {
        std::memcpy(out, context->primed, static_cast<size_t>(context->primedBytes));
        filled = context->primedBytes;
        context->primedBytes = 0;
    }
    while (bytes - filled >= frameBytes) {
        int section = -1;
        const long got = context->failed
                             ? 0
                             : ov_read(context->decoder, out + filled, bytes - filled, 0, 2, 1,
                                       &section);
        if (got == OV_HOLE)
            continue; // a gap in the data: the decoder goes on after it
        if (got < 0) {
            OggVorbisError("tvrVorbis_read : the track cannot be decoded further and ends here",
                           static_cast<int>(got));
            context->failed = 1;
            break;
        }
        if (got == 0 || section != context->decoderLink)
            break; // the end of the data, or the next track's
        filled += static_cast<int>(got);
    }
    std::memset(out + filled, 0, static_cast<size_t>(bytes - filled));
    return filled;
}

int tvrVorbis_seek(KCodecVorbis *context, int64_t frame)
{
    if (!context || !context->decoder || frame < 0)
        return OV_EINVAL;
    if (context->failed)
        return OggVorbisError("Error tvrVorbis_seek : the track ended on a decoder error", OV_EINVAL);
    const int64_t frames = ov_pcm_total(context->decoder, context->decoderLink);
    if (frames < 0 || frame > frames)
        return OggVorbisError("Error tvrVorbis_seek", OV_EINVAL);
    context->primedBytes = 0;
    if (frames == 0)
        return 1; // nothing to move through (and the decoder's search would divide by zero)
    const int result = ov_pcm_seek(context->decoder, context->linkStart + frame);
    return result == 0 ? 1 : OggVorbisError("Error tvrVorbis_seek", result);
}

int64_t tvrVorbis_frames(KCodecVorbis *context)
{
    if (!context || !context->decoder || context->decoderLink < 0)
        return -1;
    return ov_pcm_total(context->decoder, context->decoderLink);
}

int tvrVorbis_firstBrokenLink(OggVorbis_File *decoder, const char *function, const char *path)
{
    const int links = decoder ? static_cast<int>(ov_streams(decoder)) : 0;
    for (int link = 0; link < links; ++link) {
        vorbis_info *info = ov_info(decoder, link);
        vorbis_dsp_state scratch;
        if (!info || vorbis_synthesis_init(&scratch, info) != 0) {
            std::fprintf(stderr, "*** ERROR %s : \"%s\" link %d cannot be decoded (damaged codebooks)\n",
                         function, path ? path : "", link);
            return link;
        }
        vorbis_dsp_clear(&scratch);
    }
    return -1;
}
