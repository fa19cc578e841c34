#include "KCodecVorbis.h"

#include <sys/stat.h>

#include <cstring>

#include "KContainer.h"
#include "KScramble.h"
#include "tvr_utils.h"

namespace
{

size_t descramblingRead(void *buffer, size_t size, size_t count, void *stream)
{
    return tvrReadFunc(buffer, size, count, static_cast<FILE *>(stream));
}

int plainSeek(void *stream, ogg_int64_t offset, int whence)
{
    return fseeko(static_cast<FILE *>(stream), static_cast<off_t>(offset), whence);
}

int plainClose(void *stream)
{
    return std::fclose(static_cast<FILE *>(stream));
}

long plainTell(void *stream)
{
    return static_cast<long>(ftello(static_cast<FILE *>(stream)));
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
    const ov_callbacks callbacks = {descramblingRead, plainSeek, plainClose, plainTell};
    int result = ov_open_callbacks(context->stream, context->decoder, nullptr, 0, callbacks);
    if (result != 0) {
        OggVorbisError("Error tvrVorbis_load : Cannot open Tovra File", result);
        tvr_free(context->decoder);
        context->decoder = nullptr; // the decoder did not take the stream
        KCodecVorbis_close(&context);
        return nullptr;
    }
    const char *refusal = nullptr;
    vorbis_info *info = nullptr;
    if (link >= ov_streams(context->decoder))
        refusal = "the container has no such track";
    else if (ov_serialnumber(context->decoder, link) != link)
        refusal = "the track's stream number differs from its place";
    else if (!(info = ov_info(context->decoder, link)) || info->channels < 1 || info->rate < 1)
        refusal = "the track has no usable format";
    else if ((channels > 0 && channels != info->channels) ||
             (rate > 0.0 && static_cast<long>(rate) != info->rate))
        refusal = "the track's format differs from the description's";
    if (!refusal) {
        context->channels = info->channels;
        context->rate = static_cast<double>(info->rate);
        context->bytesPerSample = 2;
        result = ov_raw_seek(context->decoder, context->decoder->offsets[link]);
        if (result != 0) {
            OggVorbisError("Error tvrVorbis_load : Cannot open Tovra File", result);
            refusal = "the track cannot be reached";
        } else {
            context->linkStart = ov_pcm_tell(context->decoder);
        }
    }
    if (refusal) {
        std::fprintf(stderr, "*** ERROR tvrVorbis_load : \"%s\" track %d : %s\n", path, link,
                     refusal);
        KCodecVorbis_close(&context);
        return nullptr;
    }
    return context;
}

int tvrVorbis_read(KCodecVorbis *context, void *buffer, int bytes)
{
    if (!context || !context->decoder || !buffer || bytes < 0)
        return -1;
    char *out = static_cast<char *>(buffer);
    int filled = 0;
    const int frameBytes = 2 * (context->channels > 0 ? context->channels : 1);
    while (bytes - filled >= frameBytes) {
        int section = -1;
        const long got = ov_read(context->decoder, out + filled, bytes - filled, 0, 2, 1, &section);
        if (got < 0) {
            OggVorbisError("tvrVorbis_read::ov_read", static_cast<int>(got));
            break;
        }
        if (got == 0 || section != context->link)
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
    const int64_t frames = ov_pcm_total(context->decoder, context->link);
    if (frames < 0 || frame > frames)
        return OggVorbisError("Error tvrVorbis_seek", OV_EINVAL);
    if (frames == 0)
        return 1; // nothing to move through (and the decoder's search would divide by zero)
    const int result = ov_pcm_seek(context->decoder, context->linkStart + frame);
    return result == 0 ? 1 : OggVorbisError("Error tvrVorbis_seek", result);
}

int64_t tvrVorbis_frames(KCodecVorbis *context)
{
    if (!context || !context->decoder || context->link < 0)
        return -1;
    return ov_pcm_total(context->decoder, context->link);
}
