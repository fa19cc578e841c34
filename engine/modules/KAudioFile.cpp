#include "KAudioFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <sndfile.h>
#include <vorbis/vorbisfile.h>

#include "KCodecVorbis.h"
#include "KContainer.h"
#include "tvr_utils.h"

struct KOggFile {
    OggVorbis_File decoder;
    FILE *stream;
    int channels;
    double rate;
    int bytesPerSample;
    int link;             // always 0: plain files are read through their first link
    int64_t linkStart;    // PCM position of the link's start
    int64_t linkFrames;   // PCM length of the link
    bool failed;          // the decoder failed: the file ended and is never decoded again
};

namespace {

size_t oggReadFunc(void *buffer, size_t size, size_t count, void *stream)
{
    return std::fread(buffer, size, count, static_cast<FILE *>(stream));
}

int oggSeekFunc(void *stream, ogg_int64_t offset, int whence)
{
    return fseeko(static_cast<FILE *>(stream), static_cast<off_t>(offset), whence);
}

int oggCloseFunc(void *stream)
{
    return std::fclose(static_cast<FILE *>(stream));
}

long oggTellFunc(void *stream)
{
    return static_cast<long>(ftello(static_cast<FILE *>(stream)));
}

// A FIFO would block and a directory is no audio file: only regular files are opened.
bool isRegularFile(const char *path, const char *function)
{
    struct stat info;
    if (stat(path, &info) != 0) {
        std::fprintf(stderr, "*** ERROR %s : cannot open \"%s\" (%s)\n", function, path,
                     std::strerror(errno));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        std::fprintf(stderr, "*** ERROR %s : \"%s\" is not a regular file\n", function, path);
        return false;
    }
    return true;
}

// Rates and channel counts the rest of the engine can work with; frames must fit the int field.
bool streamIsUsable(const char *function, const char *path, double rate, int channels,
                    int64_t frames)
{
    if (!(rate >= 1.0 && rate <= KAUDIOFILE_MAX_RATE)) {
        std::fprintf(stderr, "*** ERROR %s : unsupported sample rate %g in \"%s\"\n", function,
                     rate, path);
        return false;
    }
    if (channels < 1 || channels > KAUDIOFILE_MAX_CHANNELS) {
        std::fprintf(stderr,
                     "*** ERROR %s : %d channels in \"%s\" (only mono and stereo files are "
                     "handled)\n",
                     function, channels, path);
        return false;
    }
    if (frames < 0 || frames > INT_MAX) {
        std::fprintf(stderr, "*** ERROR %s : unusable frame count %lld in \"%s\"\n", function,
                     static_cast<long long>(frames), path);
        return false;
    }
    return true;
}

void fillFormat(KStreamFormat *format, int code, int bits, int channels, double rate)
{
    if (!format)
        return;
    format->code = code;
    format->bits = bits;
    format->channels = channels;
    format->rate = rate;
}

SNDFILE *openSndFile(const char *path, SF_INFO *info)
{
    std::memset(info, 0, sizeof(*info));
    SNDFILE *file = sf_open(path, SFM_READ, info);
    if (!file) {
        std::fprintf(stderr, "*** ERROR openKAudioFile : cannot read \"%s\" (%s)\n", path,
                     sf_strerror(nullptr));
        return nullptr;
    }
    if (!streamIsUsable("openKAudioFile", path, info->samplerate, info->channels,
                        info->frames)) {
        sf_close(file);
        return nullptr;
    }
    // No header was found: libsndfile guessed a headerless format from the extension.
    if ((info->format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW) {
        std::fprintf(stderr, "*** ERROR openKAudioFile : no audio file header in \"%s\"\n", path);
        sf_close(file);
        return nullptr;
    }
    return file;
}

// Frames of the first link still to be read, limited to max.
int oggFramesLeft(KOggFile *reader, int max)
{
    if (reader->failed)
        return 0;
    const int64_t position = ov_pcm_tell(&reader->decoder) - reader->linkStart;
    if (position < 0 || position >= reader->linkFrames)
        return 0;
    return static_cast<int>(std::min<int64_t>(max, reader->linkFrames - position));
}

bool isFloatEncoding(int code)
{
    const int subtype = code & SF_FORMAT_SUBMASK;
    return subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
}

// A decoder error: a hole is skipped (true: read on); any other error ends the file for good.
bool oggReadGoesOn(KOggFile *reader, long code, const char *function)
{
    if (code == OV_HOLE)
        return true;
    std::fprintf(stderr, "*** ERROR %s : the file cannot be decoded further and ends here\n",
                 function);
    OggVorbisError(function, static_cast<int>(code));
    reader->failed = true;
    return false;
}

// Float and double files read as 16-bit: full scale at +-1.0, saturated instead of wrapping
// (libsndfile would either not scale them or scale them by the file's peak).
sf_count_t readFloatAsShort(SNDFILE *file, short *out, sf_count_t frames, int channels)
{
    float block[2048];
    const sf_count_t blockFrames = static_cast<sf_count_t>(sizeof(block) / sizeof(block[0])) /
                                   channels;
    sf_count_t done = 0;
    while (done < frames) {
        const sf_count_t got = sf_readf_float(file, block, std::min(blockFrames, frames - done));
        if (got <= 0)
            break;
        short *target = out + done * channels;
        for (sf_count_t i = 0; i < got * channels; ++i) {
            const float v = std::isnan(block[i]) ? 0.0f : std::trunc(block[i] * 32768.0f);
            target[i] = static_cast<short>(std::clamp(v, -32768.0f, 32767.0f));
        }
        done += got;
    }
    return done;
}

} // namespace

// --- Ogg Vorbis --------------------------------------------------------------------------------

KOggFile *openOggFile(const char *path, KStreamFormat *format, int *frames)
{
    if (!path || !isRegularFile(path, "openOggFile"))
        return nullptr;
    FILE *stream = std::fopen(path, "rb");
    if (!stream) {
        std::fprintf(stderr, "*** ERROR openOggFile : cannot open \"%s\" (%s)\n", path,
                     std::strerror(errno));
        return nullptr;
    }
    KOggFile *reader = static_cast<KOggFile *>(tvr_calloc(1, sizeof(KOggFile)));
    if (!reader) {
        std::fclose(stream);
        return nullptr;
    }
    const ov_callbacks callbacks = {oggReadFunc, oggSeekFunc, oggCloseFunc, oggTellFunc};
    const int result = ov_open_callbacks(stream, &reader->decoder, nullptr, 0, callbacks);
    if (result < 0) {
        OggVorbisError("Error tvrVorbis_load : Cannot open Tovra File", result);
        std::fclose(stream); // the decoder does not own the stream when it refuses it
        tvr_free(reader);
        return nullptr;
    }
    reader->stream = stream;
    if (tvrVorbis_firstBrokenLink(&reader->decoder, "openOggFile", path) >= 0) {
        closeOggReading(&reader);
        return nullptr;
    }
    const vorbis_info *info = ov_info(&reader->decoder, 0);
    const int64_t linkFrames = ov_pcm_total(&reader->decoder, 0);
    if (!info || linkFrames < 0 ||
        !streamIsUsable("openOggFile", path, static_cast<double>(info->rate), info->channels,
                        linkFrames)) {
        if (!info || linkFrames < 0)
            std::fprintf(stderr, "*** ERROR openOggFile : no readable stream in \"%s\"\n", path);
        closeOggReading(&reader);
        return nullptr;
    }
    // Start at the first link whatever link the decoder stopped in while opening.
    const int seek = ov_pcm_seek(&reader->decoder, 0);
    if (seek != 0) {
        OggVorbisError("Error tvrVorbis_load : Cannot open Tovra File", seek);
        closeOggReading(&reader);
        return nullptr;
    }
    reader->channels = info->channels;
    reader->rate = static_cast<double>(info->rate);
    reader->bytesPerSample = 2;
    reader->link = 0;
    reader->linkStart = 0;
    reader->linkFrames = linkFrames;
    fillFormat(format, KAUDIOFMT_VORBIS, 16, reader->channels, reader->rate);
    if (frames)
        *frames = static_cast<int>(linkFrames);
    return reader;
}

int readOggSamples(KOggFile *reader, void *buffer, int bytes)
{
    if (!reader || !buffer || bytes < 1)
        return -1;
    char *out = static_cast<char *>(buffer);
    const int frameBytes = reader->channels * reader->bytesPerSample;
    int filled = 0;
    for (;;) {
        const int frames = oggFramesLeft(reader, (bytes - filled) / frameBytes);
        if (frames < 1)
            break;
        int link = 0;
        const long got = ov_read(&reader->decoder, out + filled, frames * frameBytes,
                                 0 /* little-endian */, 2, 1, &link);
        if (got < 0) {
            if (oggReadGoesOn(reader, got, "readOggSamples"))
                continue;
            break;
        }
        if (got == 0 || link != reader->link)
            break;
        filled += static_cast<int>(got);
    }
    std::memset(out + filled, 0, static_cast<size_t>(bytes - filled));
    return filled;
}

int readOggSamples_float(KOggFile *reader, float *buffer, int frames)
{
    if (!reader || !buffer || frames < 1)
        return -1;
    const int channels = reader->channels;
    int filled = 0;
    for (;;) {
        const int wanted = oggFramesLeft(reader, frames - filled);
        if (wanted < 1)
            break;
        float **planes = nullptr;
        int link = 0;
        const long got = ov_read_float(&reader->decoder, &planes, wanted, &link);
        if (got < 0) {
            if (oggReadGoesOn(reader, got, "readOggSamples_float"))
                continue;
            break;
        }
        if (got == 0 || link != reader->link)
            break;
        // The decoder may overshoot full scale slightly: clamp to the -1..1 contract.
        float *out = buffer + static_cast<size_t>(filled) * channels;
        for (int c = 0; c < channels; ++c) {
            const float *plane = planes[c];
            for (long i = 0; i < got; ++i)
                out[i * channels + c] = std::clamp(plane[i], -1.0f, 1.0f);
        }
        filled += static_cast<int>(got);
    }
    return filled;
}

int seekOggSamples(KOggFile *reader, int64_t frame)
{
    if (!reader || frame < 0 || frame > reader->linkFrames || reader->failed)
        return -1;
    const int result = ov_pcm_seek(&reader->decoder, reader->linkStart + frame);
    if (result != 0)
        return OggVorbisError("Error tvrVorbis_seek", result);
    return 1;
}

void closeOggReading(KOggFile **reader)
{
    if (!reader || !*reader)
        return;
    if ((*reader)->stream)
        ov_clear(&(*reader)->decoder); // also closes the stream
    tvr_free(*reader);
    *reader = nullptr;
}

// --- MPEG --------------------------------------------------------------------------------------

namespace {

struct KMpgFile {
    SNDFILE *file;
    int channels;
    int64_t frames;
};

} // namespace

void *openMpgFile(const char *path, KStreamFormat *format, int *frames)
{
    if (!path || !isRegularFile(path, "openMpgFile"))
        return nullptr;
    SF_INFO info;
    SNDFILE *file = openSndFile(path, &info);
    if (!file)
        return nullptr;
    if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_MPEG) {
        std::fprintf(stderr, "*** ERROR openMpgFile : \"%s\" is not an MPEG file\n", path);
        sf_close(file);
        return nullptr;
    }
    KMpgFile *reader = static_cast<KMpgFile *>(tvr_calloc(1, sizeof(KMpgFile)));
    if (!reader) {
        sf_close(file);
        return nullptr;
    }
    reader->file = file;
    reader->channels = info.channels;
    reader->frames = info.frames;
    fillFormat(format, KAUDIOFMT_MPEG, 16, info.channels, info.samplerate);
    if (frames)
        *frames = static_cast<int>(info.frames);
    return reader;
}

int readMpgSamples(void *reader, void *buffer, int bytes)
{
    KMpgFile *mpg = static_cast<KMpgFile *>(reader);
    if (!mpg || !buffer || bytes < 1)
        return -1;
    // The decoder gives floats: scaled here, as libsndfile's own conversion would truncate them.
    const sf_count_t frames = bytes / (2 * mpg->channels);
    return static_cast<int>(
        readFloatAsShort(mpg->file, static_cast<short *>(buffer), frames, mpg->channels) * 2 *
        mpg->channels);
}

int readMpgSamples_float(void *reader, float *buffer, int frames)
{
    KMpgFile *mpg = static_cast<KMpgFile *>(reader);
    if (!mpg || !buffer || frames < 1)
        return -1;
    return static_cast<int>(sf_readf_float(mpg->file, buffer, frames));
}

int seekMpgSamples(void *reader, int64_t frame)
{
    KMpgFile *mpg = static_cast<KMpgFile *>(reader);
    if (!mpg || frame < 0 || frame > mpg->frames)
        return -1;
    // libsndfile's MPEG reader gives silence for the first MPEG frame after a seek: land two
    // frames (of 1152 samples) early and decode up to the asked frame.
    const int64_t start = std::max<int64_t>(0, frame - 2 * 1152);
    if (sf_seek(mpg->file, start, SEEK_SET) < 0)
        return -1;
    float scratch[2 * 1152 * KAUDIOFILE_MAX_CHANNELS];
    for (int64_t left = frame - start; left > 0;) {
        const sf_count_t got = sf_readf_float(mpg->file, scratch, std::min<int64_t>(left, 1152));
        if (got <= 0)
            return -1;
        left -= got;
    }
    return 1;
}

void closeMpgReading(void **reader)
{
    if (!reader || !*reader)
        return;
    KMpgFile *mpg = static_cast<KMpgFile *>(*reader);
    sf_close(mpg->file);
    tvr_free(mpg);
    *reader = nullptr;
}

// --- Reading record ----------------------------------------------------------------------------

namespace {

// Closes the reader of a file type and clears the pointer.
void closeReader(int type, void **reader)
{
    if (type == KAUDIOFMT_VORBIS) {
        KOggFile *ogg = static_cast<KOggFile *>(*reader);
        closeOggReading(&ogg);
    } else if (type == KAUDIOFMT_MPEG) {
        closeMpgReading(reader);
    } else if (*reader) {
        sf_close(static_cast<SNDFILE *>(*reader));
    }
    *reader = nullptr;
}

} // namespace

KAudioFile *openKAudioFile(const char *path, KStreamFormat *format, int *frames)
{
    if (!path)
        return nullptr;
    const int type = k_getAudioType(path);
    if (type == 0) {
        std::fprintf(stderr, "*** ERROR openKAudioFile : unknown audio file type \"%s\"\n", path);
        return nullptr;
    }
    KStreamFormat *own = KStreamFormat_new();
    if (!own)
        return nullptr;
    void *reader = nullptr;
    int count = 0;
    if (type == KAUDIOFMT_VORBIS) {
        reader = openOggFile(path, own, &count);
    } else if (type == KAUDIOFMT_MPEG) {
        reader = openMpgFile(path, own, &count);
    } else if (isRegularFile(path, "openKAudioFile")) {
        SF_INFO info;
        SNDFILE *file = openSndFile(path, &info);
        if (file) {
            fillFormat(own, info.format, KAudioFmt_getNumberBits(info.format), info.channels,
                       info.samplerate);
            count = static_cast<int>(info.frames);
            reader = file;
        }
    }
    KAudioFile *record = reader ? static_cast<KAudioFile *>(tvr_calloc(1, sizeof(KAudioFile)))
                                : nullptr;
    if (!record) {
        closeReader(type, &reader);
        KStreamFormat_delete(&own);
        return nullptr;
    }
    record->reader = reader;
    record->format = own;
    record->frames = count;
    record->type = type;
    if (format)
        KStreamFormat_copy(format, own);
    if (frames)
        *frames = count;
    return record;
}

void closeKAudioReading(KAudioFile **record)
{
    if (!record || !*record)
        return;
    KAudioFile *file = *record;
    closeReader(file->type, &file->reader);
    KStreamFormat_delete(&file->format);
    tvr_free(file);
    *record = nullptr;
}

int readKAudioSamples(KAudioFile *record, void *buffer, int bytes)
{
    if (!record || !buffer || bytes < 1 || record->type == 0 || !record->reader)
        return -1;
    if (record->type == KAUDIOFMT_VORBIS)
        return readOggSamples(static_cast<KOggFile *>(record->reader), buffer, bytes);
    if (record->type == KAUDIOFMT_MPEG)
        return readMpgSamples(record->reader, buffer, bytes);
    // Whole frames only: a partial frame at the end of the buffer is left untouched.
    const int channels = record->format->channels;
    const sf_count_t frames = bytes / (2 * channels);
    SNDFILE *file = static_cast<SNDFILE *>(record->reader);
    short *samples = static_cast<short *>(buffer);
    const sf_count_t got = isFloatEncoding(record->format->code)
                               ? readFloatAsShort(file, samples, frames, channels)
                               : sf_readf_short(file, samples, frames);
    return static_cast<int>(got * 2 * channels);
}

int readKAudioSamples_float(KAudioFile *record, float *buffer, int frames)
{
    if (!record || !buffer || frames < 1 || record->type == 0 || !record->reader)
        return -1;
    if (record->type == KAUDIOFMT_VORBIS)
        return readOggSamples_float(static_cast<KOggFile *>(record->reader), buffer, frames);
    if (record->type == KAUDIOFMT_MPEG)
        return readMpgSamples_float(record->reader, buffer, frames);
    return static_cast<int>(sf_readf_float(static_cast<SNDFILE *>(record->reader), buffer, frames));
}

int seekKAudioSamples(KAudioFile *record, int64_t frame)
{
    if (!record || !record->reader || frame < 0)
        return -1;
    if (record->type == KAUDIOFMT_VORBIS)
        return seekOggSamples(static_cast<KOggFile *>(record->reader), frame);
    if (record->type == KAUDIOFMT_MPEG)
        return seekMpgSamples(record->reader, frame);
    if (frame > record->frames)
        return -1;
    return sf_seek(static_cast<SNDFILE *>(record->reader), frame, SEEK_SET) < 0 ? -1 : 1;
}

void convertIntToFloat(const int16_t *in, float *out, int n)
{
    if (!in || !out)
        return;
    for (int i = 0; i < n; ++i)
        out[i] = static_cast<float>(in[i]) * (1.0f / 32768.0f);
}
