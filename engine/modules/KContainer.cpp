#include "KContainer.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sndfile.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>

#include "KAudioConvert.h"
#include "KAudioFile.h"
#include "KOggSndfile.h"
#include "KResample.h"
#include "KSafeFile.h"
#include "KScramble.h"
#include "KZarkXml.h"
#include "tvr_utils.h"

namespace
{

std::atomic<int> g_encoderThreads{0};

void setProgressMsg(KProgress *progress, const char *text)
{
    if (progress)
        KProgress_setMsg(progress, text);
}

void fail(KProgress *progress, const char *text)
{
    if (progress) {
        if (text)
            KProgress_setMsg(progress, text);
        KProgress_setState(progress, KPROGRESS_FAILED);
    }
}

bool cancelled(const KProgress *progress)
{
    return progress && KProgress_getState(progress) == KPROGRESS_STOPPED;
}

// The running state, unless the job was cancelled already.
void startRunning(KProgress *progress, const char *text)
{
    if (progress && !cancelled(progress)) {
        KProgress_setState(progress, KPROGRESS_RUNNING);
        KProgress_setMsg(progress, text);
    }
}

std::string trackMessage(const char *pattern, const KTrack *track)
{
    const char *name = track && track->elt && track->elt->name ? track->elt->name : "";
    std::string text(pattern);
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

// The export rate when the format leaves it unset.
int projectRate(const KFile *file)
{
    if (file && file->format && file->format->rate >= 1.0 && file->format->rate <= 768000.0)
        return static_cast<int>(file->format->rate);
    return 44100;
}

// The rate a container's tracks are stored at: the format's, truncated, else the project's.
int exportRate(const KFile *file, double formatRate)
{
    if (formatRate >= 1.0 && formatRate <= static_cast<double>(INT_MAX))
        return static_cast<int>(formatRate);
    return projectRate(file);
}

// Whether a track's file is resampled to the rate it is stored at (half a hertz is no change).
bool resampledTo(double fileRate, int rate)
{
    return std::abs(fileRate - rate) > 0.5;
}

// The channel count a track is stored with: the format's, else the track's own (or the
// project's); below 1 the writers take the audio file's.
int exportChannels(KFile *file, KTrack *track, int formatChannels)
{
    return formatChannels >= 1 ? formatChannels : k_getTrackChannels(file, track);
}

// The pages of the description stream, unscrambled, in the order libogg makes them.
bool descriptionPages(int serial, const char *text, size_t length, std::vector<std::string> *pages)
{
    ogg_stream_state state;
    if (ogg_stream_init(&state, serial) != 0)
        return false;
    ogg_packet packet;
    std::memset(&packet, 0, sizeof(packet));
    packet.packet = reinterpret_cast<unsigned char *>(const_cast<char *>(text ? text : ""));
    packet.bytes = static_cast<long>(length);
    packet.b_o_s = 1;
    packet.e_o_s = 1;
    packet.granulepos = 0;
    packet.packetno = 0;
    bool ok = ogg_stream_packetin(&state, &packet) == 0;
    ogg_page page;
    while (ok && ogg_stream_pageout(&state, &page) > 0) {
        std::string bytes(reinterpret_cast<const char *>(page.header), page.header_len);
        bytes.append(reinterpret_cast<const char *>(page.body), page.body_len);
        pages->push_back(std::move(bytes));
    }
    ok = ok && ogg_stream_check(&state) == 0;
    ogg_stream_clear(&state);
    return ok && !pages->empty();
}

bool writeScrambled(const std::string &bytes, FILE *stream)
{
    return bytes.empty() || tvrWriteFunc(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

void appendPage(std::string *out, const ogg_page &page)
{
    out->append(reinterpret_cast<const char *>(page.header), page.header_len);
    out->append(reinterpret_cast<const char *>(page.body), page.body_len);
}

// Opens a track's audio file to be written into the container. On failure, says so on stderr,
// returns null and leaves in `failure` the progress message naming the file and `number`.
KAudioFile *openTrackAudio(const KTrack *track, int number, KStreamFormat *fileFormat, int *frames,
                           std::string *failure)
{
    KAudioFile *audio = openKAudioFile(track->path, fileFormat, frames);
    if (!audio) {
        std::fprintf(
            stderr,
            "Error MultiBitStreamVorbisEncodage2b::openKAudioFile() : cannot read file %s\n",
            track->path ? track->path : "(null)");
        char text[512];
        std::snprintf(text, sizeof(text), "Cannot read in audio file \"%s\" (%d)",
                      track->path ? track->path : "", number);
        *failure = text;
        KStreamFormat_init(fileFormat);
    }
    return audio;
}

// --- One Vorbis track, encoded into memory -------------------------------------------------------

struct VorbisJob {
    KTrack *track = nullptr;
    int serial = 0;
    int channels = 0;             // output channels; 0: the file's own
    double gains[2] = {1.0, 1.0}; // pan gains, taken on the caller's thread
    std::string bytes;            // unscrambled pages
    size_t firstPageEnd = 0;      // end of the identification header's page
    int result = 0;               // 1, or a negative code once finished
    std::string failure;          // progress message of a failure
    std::atomic<int64_t> framesDone{0};
    std::atomic<int64_t> frames{1};
    bool finished = false;
};

int encodeVorbisTrack(VorbisJob *job, const SVorbisEnc &settings, const std::atomic<bool> &abort)
{
    KTrack *track = job->track;
    int channels = job->channels;
    KStreamFormat fileFormat = {};
    int frames = 0;
    KAudioFile *audio = openTrackAudio(track, job->serial, &fileFormat, &frames, &job->failure);
    if (!audio)
        return KCONTAINER_ERR_FORMAT;
    const int fileChannels = fileFormat.channels;
    const double fileRate = fileFormat.rate;
    KStreamFormat_init(&fileFormat);
    if (channels < 1)
        channels = fileChannels;
    job->frames = frames > 0 ? frames : 1;

    vorbis_info info;
    vorbis_info_init(&info);
    int code = vorbis_encode_init_vbr(&info, channels, settings.rate, settings.quality);
    if (code != 0) {
        job->failure = "Error in Vorbis encoding initialization";
        OggVorbisError("MultiBitStreamVorbisEncodage2b()::vorbis_encode_init_vbr()", code);
        vorbis_info_clear(&info);
        closeKAudioReading(&audio);
        return code;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state state;
    ogg_stream_init(&state, job->serial);

    ogg_packet identification, commentPacket, setup;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &commentPacket, &setup);
    // A track without samples is its headers alone, the last one ending the stream: an audio
    // packet there would end a page at sample position 0, an encoder fault to standard tools.
    const bool empty = frames == 0;
    setup.e_o_s = empty ? 1 : 0;
    ogg_stream_packetin(&state, &identification);
    ogg_stream_packetin(&state, &commentPacket);
    ogg_stream_packetin(&state, &setup);
    ogg_page page;
    // The identification header alone on the first page, the two others on pages of their own.
    while (ogg_stream_flush(&state, &page) > 0) {
        appendPage(&job->bytes, page);
        if (job->firstPageEnd == 0)
            job->firstPageEnd = job->bytes.size();
    }

    const int blockLength = settings.blockLength > 0 ? settings.blockLength : 1024;
    KResampler *resampler = nullptr;
    if (resampledTo(fileRate, settings.rate))
        resampler = KResampler_new(fileRate, settings.rate, fileChannels);
    const int resampledCapacity = resampler
                                      ? std::max(KResampler_outputFor(resampler, blockLength) + 4,
                                                 KResampler_flushFrames(resampler) + 4) +
                                            blockLength
                                      : 0;
    std::vector<float> in;
    std::vector<float> resampled;
    int result = 1;
    try {
        in.assign(static_cast<size_t>(fileChannels) * blockLength, 0.0f);
        resampled.assign(static_cast<size_t>(fileChannels) * std::max(resampledCapacity, 1), 0.0f);
    } catch (const std::bad_alloc &) {
        job->failure = "Cannot allocate reading buffer";
        result = KCONTAINER_ERR_BUFFER;
    }
    if (result == 1 && resampledTo(fileRate, settings.rate) && !resampler) {
        job->failure = "Error : Export failed!";
        result = KCONTAINER_ERR_FORMAT;
    }
    const double *gains = job->gains;

    bool ended = empty;
    bool audioStarted = false;
    int64_t handed = 0;
    while (result == 1 && !ended) {
        if (abort.load()) {
            result = KCONTAINER_ERR_FILE;
            break;
        }
        std::fill(in.begin(), in.end(), 0.0f);
        const int got = readKAudioSamples_float(audio, in.data(), blockLength);
        const float *data = in.data();
        int count = 0;
        if (got < 0) {
            std::fprintf(stderr, "*** Error during compression of file \"%s\"\n", track->path);
            job->failure = "Cannot read in audio file";
            result = KCONTAINER_ERR_FILE;
            break;
        }
        if (got > 0) {
            if (resampler) {
                count = KResampler_process_KFloat(resampler, in.data(), got, resampled.data(),
                                                  resampledCapacity);
                data = resampled.data();
            } else {
                count = blockLength; // a whole block: the last one is padded with silence
            }
            handed += got;
        } else if (resampler) {
            count = KResampler_flush_KFloat(resampler, resampled.data(), resampledCapacity);
            data = resampled.data();
        }
        if (count < 0) {
            job->failure = "Error : Export failed!";
            result = KCONTAINER_ERR_FILE;
            break;
        }
        if (count > 0) {
            float **planes = vorbis_analysis_buffer(&dsp, count);
            if (!mixChannels(planes, channels, data, fileChannels, count, gains)) {
                std::fprintf(stderr, "*** Error during compression of file \"%s\"\n", track->path);
                job->failure = "Error during tracks mixing!";
                result = KCONTAINER_ERR_FILE;
                break;
            }
            vorbis_analysis_wrote(&dsp, count);
        }
        if (got <= 0) {
            vorbis_analysis_wrote(&dsp, 0);
            ended = true;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&state, &packet);
                // The first audio page ends at the first packet with a sample position: a stream
                // whose only audio page is also its last makes standard decoders skip it when
                // they open the file, and a page ending at position 0 is an encoder fault to them.
                const bool first = !audioStarted && packet.granulepos > 0 && !packet.e_o_s;
                audioStarted = audioStarted || first;
                while (first ? ogg_stream_flush(&state, &page) > 0
                             : ogg_stream_pageout(&state, &page) > 0)
                    appendPage(&job->bytes, page);
            }
        }
        job->framesDone.store(handed);
    }
    if (result == 1) {
        while (ogg_stream_flush(&state, &page) > 0)
            appendPage(&job->bytes, page);
    }
    KResampler_delete(&resampler);
    ogg_stream_clear(&state);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    closeKAudioReading(&audio);
    return result;
}

// Encodes the tracks on `threads` helper threads (at most `window` tracks ahead of the one being
// written) and writes them in order from the caller's thread. `held` pages (the description's
// continuation) go right after track 0's first page, so that every beginning page of the first
// link comes before any other page.
int writeVorbisTracks(KFile *file, KTrack **tracks, int n, FILE *stream, const SVorbisEnc &settings,
                      KProgress *progress, const std::vector<std::string> &held)
{
    std::vector<VorbisJob> jobs(static_cast<size_t>(n));
    // Everything read from the project is read here, before the helper threads start.
    for (int i = 0; i < n; ++i) {
        jobs[i].track = tracks[i];
        jobs[i].serial = tracks[i]->stream;
        jobs[i].channels = exportChannels(file, tracks[i], settings.channels);
        k_getTotalPan(tracks[i]->elt, &jobs[i].gains[0], &jobs[i].gains[1]);
    }
    int threads = g_encoderThreads.load();
    if (threads <= 0)
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::min(threads, n);
    const int window = 2 * threads;

    std::mutex lock;
    std::condition_variable changed;
    std::atomic<bool> abort{false};
    int next = 0;    // next track to encode
    int written = 0; // tracks written so far

    auto worker = [&]() {
        for (;;) {
            int index;
            {
                std::unique_lock<std::mutex> guard(lock);
                changed.wait(guard,
                             [&] { return abort.load() || next >= n || next < written + window; });
                if (abort.load() || next >= n)
                    return;
                index = next++;
            }
            VorbisJob &job = jobs[index];
            const int result = encodeVorbisTrack(&job, settings, abort);
            {
                std::lock_guard<std::mutex> guard(lock);
                job.result = result;
                job.finished = true;
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back(worker);

    int result = 1;
    for (int i = 0; i < n && result == 1; ++i) {
        VorbisJob &job = jobs[i];
        setProgressMsg(progress, trackMessage("Compression of track \"%s\"...", job.track).c_str());
        std::unique_lock<std::mutex> guard(lock);
        while (!job.finished) {
            changed.wait_for(guard, std::chrono::milliseconds(100));
            if (cancelled(progress)) {
                abort.store(true);
                result = KCONTAINER_ERR_FILE;
                break;
            }
            // Progress: frames handed to the encoder, each track weighing the same.
            if (progress) {
                double done = 0.0;
                for (int k = 0; k < n; ++k)
                    done += std::min(
                        1.0, static_cast<double>(jobs[k].framesDone.load()) /
                                 static_cast<double>(std::max<int64_t>(jobs[k].frames.load(), 1)));
                KProgress_setDProg(progress, std::min(0.99, done / n));
            }
        }
        if (result != 1)
            break;
        guard.unlock();
        if (job.result != 1) {
            result = job.result;
            fail(progress, job.failure.empty() ? "Error : Export failed!" : job.failure.c_str());
            break;
        }
        bool ok;
        if (i == 0 && !held.empty()) {
            ok = writeScrambled(job.bytes.substr(0, job.firstPageEnd), stream);
            for (size_t p = 0; ok && p < held.size(); ++p)
                ok = writeScrambled(held[p], stream);
            ok = ok && writeScrambled(job.bytes.substr(job.firstPageEnd), stream);
        } else {
            ok = writeScrambled(job.bytes, stream);
        }
        std::string().swap(job.bytes);
        if (!ok) {
            fail(progress, "Error during file writing!");
            result = KCONTAINER_ERR_FILE;
            break;
        }
        guard.lock();
        ++written;
        guard.unlock();
        changed.notify_all();
        if (progress)
            KProgress_setDProg(progress, std::min(0.99, static_cast<double>(i + 1) / n));
    }
    abort.store(result != 1);
    {
        std::lock_guard<std::mutex> guard(lock);
        next = result == 1 ? next : n;
    }
    changed.notify_all();
    for (std::thread &t : pool)
        t.join();
    return result;
}

} // namespace

// --- Settings and messages -----------------------------------------------------------------------

SVorbisEnc *InitDefSVorbisEnc(SVorbisEnc *settings)
{
    if (settings) {
        settings->bits = 16;
        settings->blockLength = 1024;
        settings->channels = 1;
        settings->rate = 44100;
        settings->quality = 1.0f;
    }
    return settings;
}

SVorbisEnc *CreateAndIntSVorbisEnc(void)
{
    return InitDefSVorbisEnc(static_cast<SVorbisEnc *>(tvr_malloc(sizeof(SVorbisEnc))));
}

void SVorbisEnc_delete(SVorbisEnc **settings)
{
    if (settings && *settings) {
        tvr_free(*settings);
        *settings = nullptr;
    }
}

float k_vorbisQualityFromFormat(int code)
{
    const uint32_t step = static_cast<uint32_t>(code & 0xFFFF) - 256u;
    return static_cast<float>(step) / 10.0f;
}

void KContainer_setEncoderThreads(int threads)
{
    g_encoderThreads.store(threads < 0 ? 0 : threads);
}

const char *OggVorbisErrorText(int code)
{
    switch (code) {
    case OV_HOLE:
        return "There was an interruption in the data.";
    case OV_EREAD:
        return "A read from media returned an error.";
    case OV_EFAULT:
        return "Internal logic fault; indicates a bug or heap/stack corruption.";
    case OV_EIMPL:
        return "Unimplemented mode; unable to comply with bitrate request.";
    case OV_EINVAL:
        return "Invalid setup request, eg, out of range argument.";
    case OV_ENOTVORBIS:
        return "Bitstream does not contain any Vorbis data.";
    case OV_EBADHEADER:
        return "Invalid Vorbis bitstream header.";
    case OV_EVERSION:
        return "Vorbis version mismatch.";
    case OV_EBADLINK:
        return "An invalid stream section was supplied to libvorbisfile, or the requested link is "
               "corrupt.";
    case OV_ENOSEEK:
        return "Bitstream is not seekable.";
    default:
        return "Unknown error.";
    }
}

int OggVorbisError(const char *context, int code)
{
    std::fprintf(stderr, "*** Error OggVorbis (%d) - %s : %s ***\n", code, context ? context : "",
                 OggVorbisErrorText(code));
    return code;
}

// --- Writing pieces ------------------------------------------------------------------------------

int tvrWritePage(const ogg_page *page, FILE *stream)
{
    if (!page || !stream)
        return 0;
    const size_t header = static_cast<size_t>(page->header_len);
    const size_t body = static_cast<size_t>(page->body_len);
    return tvrWriteFunc(page->header, 1, header, stream) == header &&
           (body == 0 || tvrWriteFunc(page->body, 1, body, stream) == body);
}

int insertXmlStream(ogg_stream_state *state, FILE *stream, const char *text, long length)
{
    if (!state || !stream || length < 0)
        return 0;
    ogg_packet packet;
    std::memset(&packet, 0, sizeof(packet));
    packet.packet = reinterpret_cast<unsigned char *>(const_cast<char *>(text ? text : ""));
    packet.bytes = length;
    packet.b_o_s = 1;
    packet.e_o_s = 1;
    if (ogg_stream_packetin(state, &packet) != 0)
        return 0;
    ogg_page page;
    while (ogg_stream_pageout(state, &page) > 0)
        if (!tvrWritePage(&page, stream))
            return 0;
    return 1;
}

int MultiBitStreamVorbisEncodage2b(KFile *file, KTrack **tracks, int n, FILE *stream,
                                   const SVorbisEnc *settings, KProgress *progress)
{
    if (!tracks || n < 0 || !stream || !settings)
        return KCONTAINER_ERR_FILE;
    startRunning(progress, "Compression...");
    if (n == 0)
        return 1;
    return writeVorbisTracks(file, tracks, n, stream, *settings, progress, {});
}

namespace
{

void putInt64(unsigned char *out, int64_t value)
{
    const uint64_t v = static_cast<uint64_t>(value);
    for (int b = 0; b < 8; ++b)
        out[b] = static_cast<unsigned char>(v >> (8 * b));
}

// One uncompressed track written through the virtual I/O at the stream's position; on success
// the stream stands after the track's last byte.
int writeRawTrack(KFile *file, KTrack *track, FILE *stream, const KStreamFormat *format, int rate,
                  KProgress *progress, int index, int n)
{
    const off_t start = ftello(stream);
    if (start < 0)
        return KCONTAINER_ERR_FILE;
    int channels = exportChannels(file, track, format->channels);
    KStreamFormat fileFormat = {};
    int frames = 0;
    std::string failure;
    KAudioFile *audio = openTrackAudio(track, index, &fileFormat, &frames, &failure);
    if (!audio) {
        fail(progress, failure.c_str());
        return KCONTAINER_ERR_FORMAT;
    }
    const int fileChannels = fileFormat.channels;
    const double fileRate = fileFormat.rate;
    const bool fileFormat16Bits = fileFormat.bits == 16;
    KStreamFormat_init(&fileFormat);
    if (channels < 1)
        channels = fileChannels;

    SOggSF context;
    std::memset(&context, 0, sizeof(context));
    context.stream = stream;
    context.start = start;
    context.end = -1;
    context.length = 0;
    context.streamNumber = track->stream;
    context.writing = 1;
    context.info.samplerate = rate;
    context.info.channels = channels;
    context.info.format = format->code;
    SNDFILE *handle = sf_format_check(&context.info)
                          ? sf_open_virtual(k_sf_virtualIO(), SFM_WRITE, &context.info, &context)
                          : nullptr;
    if (!handle) {
        std::fprintf(stderr,
                     "*** ERROR RawEncodage : the audio library refuses format 0x%x (%d "
                     "channels, %d Hz) for track \"%s\"\n",
                     format->code, channels, rate, track->elt ? track->elt->name : "");
        fail(progress, "Error : Export format not supported!");
        closeKAudioReading(&audio);
        return KCONTAINER_ERR_FILE;
    }
    sf_command(handle, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    setProgressMsg(progress, trackMessage("Compression of track \"%s\"...", track).c_str());

    const int blockFrames = 2048;
    KResampler *resampler = nullptr;
    if (resampledTo(fileRate, rate))
        resampler = KResampler_new(fileRate, rate, fileChannels);
    const int capacity = resampler ? std::max(KResampler_outputFor(resampler, blockFrames),
                                              KResampler_flushFrames(resampler)) +
                                         4 + blockFrames
                                   : blockFrames;
    int result = 1;
    std::vector<float> in, resampled, out;
    try {
        in.resize(static_cast<size_t>(fileChannels) * blockFrames);
        resampled.resize(static_cast<size_t>(fileChannels) * capacity);
        out.resize(static_cast<size_t>(channels) * capacity);
    } catch (const std::bad_alloc &) {
        fail(progress, "Cannot allocate reading buffer");
        result = KCONTAINER_ERR_BUFFER;
    }
    if (result == 1 && resampledTo(fileRate, rate) && !resampler) {
        fail(progress, "Error : Export format not supported!");
        result = KCONTAINER_ERR_FILE;
    }
    double gains[2] = {1.0, 1.0};
    k_getTotalPan(track->elt, &gains[0], &gains[1]);
    // 16-bit samples that need no change are copied as they are, without a float round trip.
    const bool copy16 = !resampler && gains[0] == 1.0 && gains[1] == 1.0 &&
                        fileChannels == channels &&
                        (format->code & KAUDIOFMT_SUB_MASK) == SF_FORMAT_PCM_16 && fileFormat16Bits;
    std::vector<int16_t> samples16(copy16 ? static_cast<size_t>(channels) * blockFrames : 0);
    int64_t done = 0;
    while (result == 1) {
        if (cancelled(progress)) {
            result = KCONTAINER_ERR_FILE;
            break;
        }
        if (copy16) {
            const int bytes =
                readKAudioSamples(audio, samples16.data(), static_cast<int>(samples16.size() * 2));
            const int frames16 = bytes > 0 ? bytes / 2 / channels : 0;
            if (bytes < 0 ||
                (frames16 > 0 && (sf_writef_short(handle, samples16.data(), frames16) != frames16 ||
                                  context.failed))) {
                fail(progress, "Error during file writing!");
                result = KCONTAINER_ERR_FILE;
                break;
            }
            if (frames16 == 0)
                break;
            done += frames16;
            if (progress)
                KProgress_setDProg(
                    progress,
                    std::min(0.99, frames > 0 ? (static_cast<double>(done) / frames + index) / n
                                              : static_cast<double>(index + 1) / n));
            continue;
        }
        const int got = readKAudioSamples_float(audio, in.data(), blockFrames);
        const float *data = in.data();
        int count = got;
        if (got < 0) {
            count = -1;
        } else if (resampler) {
            count = got > 0 ? KResampler_process_KFloat(resampler, in.data(), got, resampled.data(),
                                                        capacity)
                            : KResampler_flush_KFloat(resampler, resampled.data(), capacity);
            data = resampled.data();
        }
        if (count < 0) {
            fail(progress, "Error during file writing!");
            result = KCONTAINER_ERR_FILE;
            break;
        }
        // Only the frames produced are written: the last block is not padded.
        if (count > 0) {
            if (!mixChannels_2(out.data(), channels, data, fileChannels, count, gains)) {
                fail(progress, "Error during tracks mixing!");
                result = KCONTAINER_ERR_FILE;
                break;
            }
            if (sf_writef_float(handle, out.data(), count) != count || context.failed) {
                fail(progress, "Error during file writing!");
                result = KCONTAINER_ERR_FILE;
                break;
            }
        }
        if (got == 0)
            break;
        done += got;
        if (progress)
            KProgress_setDProg(progress,
                               std::min(0.99, frames > 0
                                                  ? (static_cast<double>(done) / frames + index) / n
                                                  : static_cast<double>(index + 1) / n));
    }
    // Closing completes the header through the virtual I/O.
    if (sf_close(handle) != 0 || context.failed) {
        if (result == 1) {
            fail(progress, "Error during file writing!");
            result = KCONTAINER_ERR_FILE;
        }
    }
    KResampler_delete(&resampler);
    closeKAudioReading(&audio);
    if (result == 1 && fseeko(stream, start + context.length, SEEK_SET) != 0)
        result = KCONTAINER_ERR_FILE;
    return result;
}

} // namespace

int RawEncodage(KFile *file, KTrack **tracks, int n, FILE *stream, KStreamFormat *format,
                KProgress *progress)
{
    if (!tracks || n < 0 || !stream || !format)
        return KCONTAINER_ERR_FILE;
    startRunning(progress, "Compression...");
    const int rate = exportRate(file, format->rate);
    std::vector<int64_t> offsets;
    for (int i = 0; i < n; ++i) {
        setProgressMsg(progress,
                       trackMessage("Initialization of track \"%s\"...", tracks[i]).c_str());
        offsets.push_back(static_cast<int64_t>(ftello(stream)));
        const int result = writeRawTrack(file, tracks[i], stream, format, rate, progress, i, n);
        if (result != 1)
            return result;
    }
    setProgressMsg(progress, "Finalization...");
    std::vector<unsigned char> trailer(8 * (offsets.size() + 1));
    for (size_t i = 0; i < offsets.size(); ++i)
        putInt64(&trailer[8 * i], offsets[i]);
    putInt64(&trailer[8 * offsets.size()], n);
    if (tvrWriteFunc(trailer.data(), 1, trailer.size(), stream) != trailer.size()) {
        fail(progress, "Error during file writing!");
        return KCONTAINER_ERR_FILE;
    }
    return 1;
}

// --- The container -------------------------------------------------------------------------------

namespace
{

// Numbers the tracks that have an audio path in creation order and restores the numbers the
// project had once the container is written, so a live project never loses its paths.
class TrackNumbering
{
public:
    explicit TrackNumbering(KFile *file)
    {
        for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
            if (e->type != KELT_TRACK || !e->data)
                continue;
            KTrack *track = static_cast<KTrack *>(e->data);
            ++m_trackCount;
            m_saved.push_back({track, track->stream});
            if (track->path) {
                track->stream = static_cast<int>(m_tracks.size());
                m_tracks.push_back(track);
            }
        }
    }
    ~TrackNumbering()
    {
        for (const auto &saved : m_saved)
            saved.first->stream = saved.second;
    }
    int trackCount() const { return m_trackCount; }
    std::vector<KTrack *> &tracks() { return m_tracks; }

private:
    int m_trackCount = 0;
    std::vector<KTrack *> m_tracks;
    std::vector<std::pair<KTrack *, int>> m_saved;
};

// While the container's own description is made, each track's length, start date, rate and
// channel count describe the audio the container stores for it: resampled from its file's rate
// to the export rate and mixed to the export channel count, as the track writers do. The
// project gets its own values back when this goes.
class StoredTrackFields
{
public:
    StoredTrackFields() = default;
    StoredTrackFields(const StoredTrackFields &) = delete;
    StoredTrackFields &operator=(const StoredTrackFields &) = delete;
    ~StoredTrackFields()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            KTrack *track = it->track;
            track->length = it->length;
            track->date = it->date;
            if (it->createdFormat) {
                KStreamFormat_delete(&track->format);
            } else if (track->format) {
                track->format->rate = it->rate;
                track->format->channels = it->channels;
            }
        }
    }

    // 1; KCONTAINER_ERR_FORMAT when a track's audio file cannot be opened, with the progress
    // message in *failure (the writers would refuse that track the same way); KCONTAINER_ERR_DESC
    // when memory fails.
    int apply(KFile *file, const std::vector<KTrack *> &tracks, const KStreamFormat &format,
              std::string *failure)
    {
        const int rate = exportRate(file, format.rate);
        for (size_t i = 0; i < tracks.size(); ++i) {
            KTrack *track = tracks[i];
            KStreamFormat fileFormat = {};
            int frames = 0;
            KAudioFile *audio =
                openTrackAudio(track, static_cast<int>(i), &fileFormat, &frames, failure);
            if (!audio)
                return KCONTAINER_ERR_FORMAT;
            closeKAudioReading(&audio);
            const double fileRate = fileFormat.rate;
            const int fileChannels = fileFormat.channels;
            KStreamFormat_init(&fileFormat);

            Saved saved{track, track->length, track->date, false,
                        track->format ? track->format->rate : -1.0,
                        track->format ? track->format->channels : -1};
            // Length and date count frames of the track's file; stored at another rate they
            // count as many frames as the resampler turns them into.
            uint32_t length = track->length;
            int date = track->date;
            if (resampledTo(fileRate, rate)) {
                const int64_t resampled = KResampler_streamFrames(fileRate, rate, track->length);
                if (resampled < 0)
                    continue; // the writers refuse this rate
                length = static_cast<uint32_t>(std::min<int64_t>(resampled, UINT32_MAX));
                const double scaled = std::round(track->date * (rate / fileRate));
                date = static_cast<int>(std::clamp(scaled, 0.0, static_cast<double>(INT_MAX)));
            }
            int channels = exportChannels(file, track, format.channels);
            if (channels < 1)
                channels = fileChannels;
            const bool rateDiffers = k_getTrackRate(file, track) != static_cast<double>(rate);
            const bool channelsDiffer =
                channels >= 1 && k_getTrackChannels(file, track) != channels;
            if ((rateDiffers || channelsDiffer) && !track->format) {
                track->format = KStreamFormat_new();
                if (!track->format) {
                    *failure = "Error during export Xml";
                    return KCONTAINER_ERR_DESC;
                }
                saved.createdFormat = true;
            }
            m_saved.push_back(saved);
            track->length = length;
            track->date = date;
            if (rateDiffers)
                track->format->rate = rate;
            if (channelsDiffer)
                track->format->channels = channels;
        }
        return 1;
    }

private:
    struct Saved {
        KTrack *track;
        uint32_t length;
        int date;
        bool createdFormat;
        double rate;
        int channels;
    };
    std::vector<Saved> m_saved;
};

int failExport(KProgress *progress, const char *text, int code)
{
    fail(progress, text);
    return code;
}

} // namespace

int MeskToOgg5(KFile *file, const char *path, KStreamFormat *format, const char *text,
               KProgress *progress)
{
    setProgressMsg(progress, "Initialization...");
    if (!path || !*path || (file && !format))
        return failExport(progress, "Error in Parameters", KCONTAINER_ERR_FILE);
    if (!file && !text)
        return failExport(progress, "Error during export Xml", KCONTAINER_ERR_DESC);

    std::unique_ptr<TrackNumbering> numbering;
    int n = 0;
    if (file) {
        numbering.reset(new TrackNumbering(file));
        n = static_cast<int>(numbering->tracks().size());
        if (n != numbering->trackCount())
            return failExport(progress, "Error during iniatialization", KCONTAINER_ERR_TRACKS);
    }
    char *ownText = nullptr;
    if (!text) {
        // Here a project is given (a null one needs a text).
        StoredTrackFields stored;
        std::string failure;
        const int applied = stored.apply(file, numbering->tracks(), *format, &failure);
        if (applied == KCONTAINER_ERR_FORMAT) {
            fail(progress, failure.c_str());
            return failExport(progress, "Error : Export failed!", applied);
        }
        ownText = applied == 1 ? exportToCleanXmlDesc(file) : nullptr;
        if (!ownText)
            return failExport(progress, "Error during export Xml", KCONTAINER_ERR_DESC);
        text = ownText;
    }
    std::vector<std::string> pages;
    const bool paged = descriptionPages(n, text, std::strlen(text), &pages);
    tvr_free(ownText);
    if (!paged)
        return failExport(progress, "Error during Xml stream writing", KCONTAINER_ERR_TRACKS);

    const int major = file ? (format->code & KAUDIOFMT_MAJOR_MASK) : 0;
    const bool vorbis = major == KAUDIOFMT_VORBIS;
    if (file && !vorbis) {
        if (major == SF_FORMAT_RAW)
            format->code =
                SF_FORMAT_AU | (format->code & (KAUDIOFMT_SUB_MASK | KAUDIOFMT_ENDIAN_MASK));
        const int raw = format->code & KAUDIOFMT_MAJOR_MASK;
        if (raw != SF_FORMAT_WAV && raw != SF_FORMAT_AIFF && raw != SF_FORMAT_AU &&
            raw != SF_FORMAT_CAF) {
            std::fprintf(stderr,
                         "!!! ERROR MeskToOgg5 : export format 0x%x (%s) is not supported\n",
                         format->code, KAudioFmt_getMajorFmtName(format->code));
            fail(progress, "Error : Export format not supported!");
            return failExport(progress, "Error : Export failed!", KCONTAINER_ERR_FORMAT);
        }
    }

    KSafeFile *target = KSafeFile_open(path);
    if (!target) {
        std::fprintf(stderr, "ERROR MeskToOgg5 : cannot open %s file on writing.\n", path);
        return failExport(progress, "Cannot writing in file", KCONTAINER_ERR_FILE);
    }
    FILE *stream = KSafeFile_stream(target);
    // With Vorbis tracks the description's continuation pages follow track 0's first page, so
    // that the beginning pages of the first link come first.
    const size_t firstBatch = (vorbis && n > 0) ? 1 : pages.size();
    bool ok = true;
    for (size_t p = 0; ok && p < firstBatch; ++p)
        ok = writeScrambled(pages[p], stream);
    if (!ok) {
        KSafeFile_discard(&target);
        return failExport(progress, "Error during Xml stream writing", KCONTAINER_ERR_TRACKS);
    }
    int result = 1;
    if (file) {
        KTrack **tracks = numbering->tracks().data();
        if (vorbis) {
            SVorbisEnc settings;
            InitDefSVorbisEnc(&settings);
            settings.bits = format->bits;
            settings.channels = format->channels;
            settings.rate = exportRate(file, format->rate);
            settings.quality = k_vorbisQualityFromFormat(format->code);
            startRunning(progress, "Compression...");
            if (n > 0)
                result =
                    writeVorbisTracks(file, tracks, n, stream, settings, progress,
                                      std::vector<std::string>(pages.begin() + 1, pages.end()));
        } else {
            result = RawEncodage(file, tracks, n, stream, format, progress);
        }
    }
    if (result == 1 && cancelled(progress))
        result = KCONTAINER_ERR_FILE;
    if (result == 1) {
        setProgressMsg(progress, "Finalization...");
        if (!KSafeFile_commit(&target)) {
            result = KCONTAINER_ERR_FILE;
            fail(progress, "Error during file writing!");
        }
    } else {
        KSafeFile_discard(&target);
    }
    if (result < 1) {
        if (!cancelled(progress))
            fail(progress, "Error : Export failed!");
        return result;
    }
    if (progress && file)
        KProgress_setDProg(progress, 99.9);
    return result;
}

int exportToTovraPrg(const char *path, KFile *file, KStreamFormat *format, KProgress *progress)
{
    if (!path || !file || !format || isValid(file) == 0)
        return failExport(progress, "Error in Parameters", -1);
    startRunning(progress, "Initialization...");
    const int result = MeskToOgg5(file, path, format, nullptr, progress);
    if (result > 0) {
        if (progress)
            KProgress_setState(progress, KPROGRESS_FINISHED);
        return result;
    }
    std::fprintf(stderr, " !!! ERROR - int exportToTovra (KFile* file) : %d\n", result);
    if (progress && KProgress_getState(progress) != KPROGRESS_STOPPED)
        KProgress_setState(progress, KPROGRESS_FAILED);
    return -3;
}

// --- Reading the description ---------------------------------------------------------------------

char *KContainer_readDescription(FILE *stream, size_t *length, KContainerInfo *info)
{
    if (!stream)
        return nullptr;
    if (fseeko(stream, 0, SEEK_END) != 0)
        return nullptr;
    const int64_t fileSize = ftello(stream);
    if (fileSize < 0 || fseeko(stream, 0, SEEK_SET) != 0)
        return nullptr;

    ogg_sync_state sync;
    ogg_sync_init(&sync);
    ogg_stream_state state;
    bool stateReady = false;
    int64_t position = 0; // bytes handed to the sync layer
    int64_t consumed = 0; // bytes of the pages taken out so far
    int64_t descriptionEnd = 0;
    bool contiguous = true, foreign = false;
    const char *error = nullptr;
    char *text = nullptr;
    size_t textLength = 0;
    int serial = 0;
    while (!error && !text) {
        ogg_page page;
        const int got = ogg_sync_pageout(&sync, &page);
        if (got < 0) {
            error = consumed == 0 ? "not a container (no Ogg page at the start)"
                                  : "a page is corrupt (bad capture pattern or CRC)";
            break;
        }
        if (got == 0) {
            if (position >= fileSize) {
                error = "the description stream is truncated";
                break;
            }
            const long chunk = static_cast<long>(std::min<int64_t>(65536, fileSize - position));
            char *buffer = ogg_sync_buffer(&sync, chunk);
            if (!buffer) {
                error = "out of memory";
                break;
            }
            const size_t read = std::fread(buffer, 1, static_cast<size_t>(chunk), stream);
            if (read != static_cast<size_t>(chunk)) {
                error = "the file cannot be read";
                break;
            }
            kd(buffer, read, position);
            position += static_cast<int64_t>(read);
            ogg_sync_wrote(&sync, static_cast<long>(read));
            continue;
        }
        const int64_t pageBytes = page.header_len + page.body_len;
        consumed += pageBytes;
        if (!stateReady) {
            if (!ogg_page_bos(&page)) {
                error = "the first page does not begin a stream";
                break;
            }
            serial = ogg_page_serialno(&page);
            if (serial < 0) {
                error = "the track count is negative";
                break;
            }
            ogg_stream_init(&state, serial);
            stateReady = true;
        }
        if (ogg_page_serialno(&page) != serial) {
            foreign = true;
            continue;
        }
        if (foreign)
            contiguous = false;
        if (ogg_stream_pagein(&state, &page) != 0) {
            error = "a description page is out of order";
            break;
        }
        descriptionEnd = consumed;
        if (state.body_fill > KCONTAINER_MAX_DESCRIPTION) {
            error = "the description is too long";
            break;
        }
        ogg_packet packet;
        const int out = ogg_stream_packetout(&state, &packet);
        if (out < 0) {
            error = "a description page is missing";
        } else if (out > 0) {
            if (!packet.b_o_s || !packet.e_o_s || !ogg_page_eos(&page)) {
                error = "the description stream does not hold exactly one packet";
            } else if (std::memchr(packet.packet, 0, static_cast<size_t>(packet.bytes))) {
                error = "the description holds a NUL byte";
            } else {
                textLength = static_cast<size_t>(packet.bytes);
                text = tvr_strndup(reinterpret_cast<const char *>(packet.packet), textLength);
                if (!text)
                    error = "out of memory";
            }
        }
    }
    if (stateReady)
        ogg_stream_clear(&state);
    ogg_sync_clear(&sync);
    if (error) {
        std::fprintf(stderr, "*** ERROR KContainer_readDescription : %s\n", error);
        tvr_free(text);
        return nullptr;
    }
    if (length)
        *length = textLength;
    if (info) {
        info->fileSize = fileSize;
        info->serial = serial;
        info->descriptionEnd = descriptionEnd;
        info->contiguous = contiguous ? 1 : 0;
    }
    return text;
}

char *GetMeskFilePage(FILE *stream, long *length)
{
    size_t size = 0;
    char *text = KContainer_readDescription(stream, &size, nullptr);
    if (text && length)
        *length = static_cast<long>(size);
    return text;
}

char *extractXmlDescFromOgg(const char *path)
{
    if (!path)
        return nullptr;
    struct stat st;
    FILE *stream = (stat(path, &st) == 0 && S_ISREG(st.st_mode)) ? std::fopen(path, "rb") : nullptr;
    if (!stream) {
        std::fprintf(stderr,
                     "Error - extractXmlDescFromOgg::fopen() : cannot open mesk file '%s' !\n",
                     path);
        return nullptr;
    }
    char *text = KContainer_readDescription(stream, nullptr, nullptr);
    std::fclose(stream);
    if (!text)
        std::fprintf(stderr, "Error - extractXmlDescFromOgg : no readable description in '%s'\n",
                     path);
    return text;
}

int KContainer_trackCodec(const char *path)
{
    FILE *stream = path ? std::fopen(path, "rb") : nullptr;
    if (!stream)
        return 0;
    KContainerInfo info;
    char *text = KContainer_readDescription(stream, nullptr, &info);
    int codec = 0;
    char magic[4];
    if (text && !info.contiguous) {
        codec = KAUDIOFMT_VORBIS; // track pages came between the description's pages
    } else if (text && info.descriptionEnd + 4 <= info.fileSize &&
               fseeko(stream, info.descriptionEnd, SEEK_SET) == 0 &&
               tvrReadFunc(magic, 1, 4, stream) == 4) {
        const std::string m(magic, 4);
        codec = m == "OggS"   ? KAUDIOFMT_VORBIS
                : m == "RIFF" ? SF_FORMAT_WAV
                : m == "FORM" ? SF_FORMAT_AIFF
                : m == ".snd" ? SF_FORMAT_AU
                : m == "caff" ? SF_FORMAT_CAF
                              : 0;
    }
    tvr_free(text);
    std::fclose(stream);
    return codec;
}

KFile *OpenTovraFile(const char *path)
{
    char *text = extractXmlDescFromOgg(path);
    if (!text)
        return nullptr;
    KFile *file = newZark(path, 2.0);
    const int loaded = file ? LoadFromXmlDesc(file, text) : 0;
    tvr_free(text);
    if (loaded != 1) {
        if (file)
            _freeZark(file);
        return nullptr;
    }
    return file;
}
