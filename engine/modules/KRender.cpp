// Mix rendering (see KRender.h).
#include "KRender.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <sndfile.h>

#include "KAudioFile.h"
#include "KBufferRing.h"
#include "KMix.h"
#include "KMixer.h"
#include "KPlayer.h"
#include "KSafeFile.h"
#include "KThread.h"
#include "tvr_utils.h"

namespace
{

// The open output of the one render: libsndfile writes through the safe file's stream.
SNDFILE *g_out = nullptr;
KThread *g_exportThread = nullptr;
void *g_exportArg = nullptr; // the argument record until the thread takes it over
std::atomic<int> g_stop{0};
std::atomic<int> g_writeFailed{0};
std::atomic<int> g_cancelled{0};
std::atomic<int64_t> g_renderFrames{-1}; // frames the file holds; -1 unlimited
std::atomic<int64_t> g_framesWritten{0};
std::atomic<int> g_playResult{1};
bool g_writeFloats = false; // set before the export thread starts

struct ExportArg {
    int64_t bytes;
    KProgress *progress;
    int64_t totalMs;
    double rate;
};

// libsndfile's virtual I/O over a stdio stream, every write checked by the safe file.
struct StreamIO {
    KSafeFile *safe;
    FILE *stream;
};

sf_count_t ioLength(void *user)
{
    FILE *f = static_cast<StreamIO *>(user)->stream;
    const long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(f);
    std::fseek(f, here, SEEK_SET);
    return end;
}

sf_count_t ioSeek(sf_count_t offset, int whence, void *user)
{
    FILE *f = static_cast<StreamIO *>(user)->stream;
    if (std::fseek(f, static_cast<long>(offset), whence) != 0)
        return -1;
    return std::ftell(f);
}

sf_count_t ioRead(void *buffer, sf_count_t count, void *user)
{
    return static_cast<sf_count_t>(
        std::fread(buffer, 1, static_cast<size_t>(count), static_cast<StreamIO *>(user)->stream));
}

sf_count_t ioWrite(const void *buffer, sf_count_t count, void *user)
{
    StreamIO *io = static_cast<StreamIO *>(user);
    return KSafeFile_write(io->safe, buffer, static_cast<size_t>(count)) ? count : 0;
}

sf_count_t ioTell(void *user)
{
    return std::ftell(static_cast<StreamIO *>(user)->stream);
}

SF_VIRTUAL_IO g_streamIO = {ioLength, ioSeek, ioRead, ioWrite, ioTell};

// Asks the player to stop (fade out and end) from the export thread.
void requestStop()
{
    SOTransport &tr = so_transport();
    if (KMutex_lock(tr.mutexStatus)) {
        tr.status.store(SO_STOPPED);
        tr.fadeStep = -std::fabs(tr.fadeStep);
        KMutex_unlock(tr.mutexStatus);
    }
}

// The export thread: writes every block the ring delivers until the ring is drained after the
// filler stopped. Blocks past the piece's end are read and dropped, so the filler never waits.
int k_threadExportTovix(void *data)
{
    ExportArg arg = *static_cast<ExportArg *>(data);
    tvr_free(data);
    g_exportArg = nullptr;
    KProgress *progress = arg.progress;
    KProgress_setITotal(progress, arg.totalMs);
    KProgress_setIProg(progress, 0);
    KProgress_setMsg(progress, "Export to PCM file in progress...");
    int16_t *buffer = static_cast<int16_t *>(tvr_malloc(static_cast<size_t>(arg.bytes)));
    // libsndfile's MPEG writer is fed floats: its 16-bit input path adds noise.
    float *floats = static_cast<float *>(tvr_malloc(static_cast<size_t>(arg.bytes) * 2));
    if (!buffer || !floats) {
        g_writeFailed = 1;
        requestStop();
    }
    const int64_t limit = g_renderFrames.load();
    int64_t written = 0;
    int64_t skip = -1; // frames of mastering latency still to drop; known with the first block
    for (;;) {
        const int index = nextBufferToRead();
        if (index < 0)
            break;
        const int n = buffer ? copyReadBuffer(index, buffer) : 0;
        if (n <= 0)
            break;
        if (g_writeFailed.load() || g_cancelled.load())
            continue;
        if (KProgress_getState(progress) == KPROGRESS_STOPPED) {
            g_cancelled = 1;
            requestStop();
            continue;
        }
        if (skip < 0) {
            ESOMixAudioArg *mixer = so_currentMixer();
            skip = mixer ? mixer->masteringLatency.load() : 0;
        }
        const int16_t *samples = buffer;
        int64_t frames = n / 4;
        const int64_t dropped = std::min(skip, frames);
        samples += 2 * dropped;
        frames -= dropped;
        skip -= dropped;
        if (limit >= 0)
            frames = std::max<int64_t>(0, std::min(frames, limit - written));
        if (frames > 0 && g_out) {
            sf_count_t done;
            if (g_writeFloats) {
                for (int64_t i = 0; i < 2 * frames; ++i)
                    floats[i] = samples[i] / 32768.0f;
                done = sf_writef_float(g_out, floats, frames);
            } else {
                done = sf_writef_short(g_out, samples, frames);
            }
            if (done != frames) {
                std::fprintf(stderr, "*** ERROR k_threadExportTovix : write failed : %s\n",
                             sf_strerror(g_out));
                g_writeFailed = 1;
                requestStop();
                continue;
            }
            written += frames;
            g_framesWritten.store(written);
            KProgress_setIProg(progress, static_cast<int64_t>(written * 1000.0 / arg.rate));
        }
    }
    unlock_readMutex();
    tvr_free(buffer);
    tvr_free(floats);
    if (!g_writeFailed.load() && !g_cancelled.load())
        KProgress_setDProg(progress, 1.0);
    return 1;
}

// The bit rate chosen for an MPEG file, as libsndfile's compression level (0 best, 1 smallest).
void setMpegBitrate(SNDFILE *out, int kbps)
{
    if (kbps <= 0)
        return;
    int mode = SF_BITRATE_MODE_CONSTANT;
    sf_command(out, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    double level = std::clamp((320.0 - kbps) / (320.0 - 32.0), 0.0, 1.0);
    sf_command(out, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
}

// Opens a libsndfile writer on a safe file; null on failure (the safe file then discarded).
SNDFILE *openOutput(KSafeFile **safe, StreamIO *io, const char *path, int code, int rate,
                    int channels)
{
    *safe = KSafeFile_open(path);
    if (!*safe)
        return nullptr;
    io->safe = *safe;
    io->stream = KSafeFile_stream(*safe);
    SF_INFO info = {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = code;
    SNDFILE *out = sf_open_virtual(&g_streamIO, SFM_WRITE, &info, io);
    if (!out) {
        std::fprintf(stderr, "*** ERROR k_exportTovixToAudioFile : cannot open %s : %s\n", path,
                     sf_strerror(nullptr));
        KSafeFile_discard(safe);
    }
    return out;
}

} // namespace

void so_renderSetPlayResult(int result)
{
    g_playResult.store(result);
}

int k_renderFormatCode(int code, double rate)
{
    if ((code & KAUDIOFMT_MAJOR_MASK) == KAUDIOFMT_VORBIS)
        code = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    else if ((code & KAUDIOFMT_MAJOR_MASK) == KAUDIOFMT_MPEG)
        code = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    // 8-bit WAV is unsigned.
    if ((code & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV &&
        (code & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_S8)
        code = (code & ~SF_FORMAT_SUBMASK) | SF_FORMAT_PCM_U8;
    SF_INFO info = {};
    info.samplerate = static_cast<int>(rate);
    info.channels = 2;
    info.format = code;
    return rate >= 1.0 && sf_format_check(&info) ? code : 0;
}

int k_initExportTovix(int64_t bufferBytes, KProgress *progress, int64_t totalMs, double rate)
{
    if (bufferBytes <= 0 || !(rate > 0.0))
        return 0;
    k_stopExportTovix();
    ExportArg *arg = static_cast<ExportArg *>(tvr_malloc(sizeof(ExportArg)));
    if (!arg)
        return 0;
    *arg = ExportArg{bufferBytes, progress, totalMs, rate};
    g_exportThread = KThread_create(k_threadExportTovix, arg, "k_startExportTovix");
    if (!g_exportThread) {
        tvr_free(arg);
        return 0;
    }
    g_exportArg = arg;
    g_stop = 0;
    return 1;
}

int k_startExportTovix(void)
{
    return KThread_start(g_exportThread);
}

int k_pauseExportTovix(void)
{
    if (g_stop.load() == 0)
        g_stop = 1;
    return 1;
}

int k_stopExportTovix(void)
{
    if (!g_exportThread)
        return 1;
    if (!KThread_isStarted(g_exportThread)) {
        // Created but never started: its argument record was never taken over.
        tvr_free(g_exportArg);
        g_exportArg = nullptr;
        _KThread_destroy(g_exportThread);
        g_exportThread = nullptr;
        return 1;
    }
    KThread_wait(g_exportThread, nullptr);
    _KThread_destroy(g_exportThread);
    g_exportThread = nullptr;
    return 1;
}

int k_exportTovixToAudioFile(KFile *file, const char *mixName, const char *path,
                             const KStreamFormat *format, KProgress *progress)
{
    if (!file || !mixName || !path || !format)
        return 0;
    KProgress_setMsg(progress, "Loading tracks...");
    if (!so_initLocks())
        return 0;
    // The render plays a copy: the open project keeps its current mix, statuses and levels.
    k_lockProject();
    KFile *work = findThisSlct(file, mixName) ? KFile_clone(file) : nullptr;
    k_unlockProject();
    if (!work)
        return 0;
    KMix *mix = findThisSlct(work, mixName);
    double rate = format->rate;
    if (!(rate > 0.0))
        rate = (work->format && work->format->rate > 0.0) ? work->format->rate : 44100.0;
    rate = std::floor(rate);
    const int code = k_renderFormatCode(format->code, rate);
    // The mix becomes current moving the play statuses with it; the toggles only agree with the
    // mix when every playing track was in the current mix, so the statuses are then derived from
    // the mix's tracks alone and its levels applied to them.
    if (!mix || !code || rate < 1000.0 || rate > KAUDIOFILE_MAX_RATE ||
        setMixAsCurrentMix(work, mix, 1) != TVR_OK || initializeStatus(work) != TVR_OK ||
        k_applyLevelsFromMix(work, mix) != TVR_OK) {
        _freeZark(work);
        return 0;
    }
    MixManager_setMixOnPlay(work->mixes, mixName);

    KSafeFile *safe = nullptr;
    StreamIO io = {};
    g_out = openOutput(&safe, &io, path, code, static_cast<int>(rate), 2);
    if (!g_out) {
        _freeZark(work);
        return 0;
    }
    // 16-bit blocks written to a float file are full scale at +-1.0.
    sf_command(g_out, SFC_SET_SCALE_INT_FLOAT_WRITE, nullptr, SF_TRUE);
    g_writeFloats = (code & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG;
    if (g_writeFloats && format->extra)
        setMpegBitrate(g_out, format->extra->values[2]);
    g_writeFailed = 0;
    g_cancelled = 0;
    g_renderFrames = static_cast<int64_t>(std::llround(computeLengthFile(work) * rate));
    g_framesWritten = 0;
    bool ok = so_outThreadAtRate(work, progress, SO_MODE_EXPORT, rate) == 1;
    const int64_t stops = so_stopCount();
    so_waitEndPlay();
    // A play stopped from outside (another play or render) leaves a short file: a failure.
    ok = ok && g_playResult.load() == 1 && !g_writeFailed.load() && !g_cancelled.load() &&
         so_stopCount() == stops && g_framesWritten.load() == g_renderFrames.load();
    if (sf_close(g_out) != 0)
        ok = false;
    g_out = nullptr;
    g_renderFrames = -1;
    if (ok) {
        ok = KSafeFile_commit(&safe) == 1;
    } else {
        KSafeFile_discard(&safe);
    }
    _freeZark(work);
    if (!ok && KProgress_getState(progress) != KPROGRESS_STOPPED) {
        KProgress_setMsg(progress, "Error during export");
        KProgress_setState(progress, KPROGRESS_FAILED);
    }
    return ok ? 1 : 0;
}

int k_waveToMp3(const char *source, const char *destination, int bitrateKbps)
{
    if (!source || !destination)
        return 0;
    SF_INFO in = {};
    SNDFILE *reader = sf_open(source, SFM_READ, &in);
    if (!reader)
        return 0;
    KSafeFile *safe = nullptr;
    StreamIO io = {};
    SNDFILE *out = openOutput(&safe, &io, destination, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III,
                              in.samplerate, in.channels);
    if (!out) {
        sf_close(reader);
        return 0;
    }
    setMpegBitrate(out, bitrateKbps);
    bool ok = true;
    float block[4096];
    const sf_count_t framesPerRead = 4096 / std::max(1, in.channels);
    for (;;) {
        const sf_count_t got = sf_readf_float(reader, block, framesPerRead);
        if (got <= 0)
            break;
        if (sf_writef_float(out, block, got) != got) {
            ok = false;
            break;
        }
    }
    if (sf_error(reader) != SF_ERR_NO_ERROR)
        ok = false;
    sf_close(reader);
    if (sf_close(out) != 0)
        ok = false;
    if (ok)
        return KSafeFile_commit(&safe) == 1 ? 1 : 0;
    KSafeFile_discard(&safe);
    return 0;
}
