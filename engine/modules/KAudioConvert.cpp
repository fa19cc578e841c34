#include "KAudioConvert.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sndfile.h>
#include <vorbis/vorbisenc.h>

#include "KAudioFile.h"
#include "KSafeFile.h"

namespace {

const int kConvertBlock = 1024;

void reportChannels(int inChannels, int outChannels)
{
    std::fprintf(stderr, "*** ERROR Export to Tovra : incorrect number of channels %d -> %d !\n",
                 inChannels, outChannels);
}

// Folds frames into one or two destinations: interleaved frames (right = left + 1) or separate
// planes. One loop per combination, with a constant stride, so that each one vectorises.
template <bool Interleaved>
void foldFrames(float *left, float *right, int outChannels, const float *in, int inChannels,
                int frames, float gainL, float gainR)
{
    const int stride = Interleaved ? 2 : 1; // used only when there are two output channels
    if (inChannels == 1 && outChannels == 1) {
        for (int i = 0; i < frames; ++i)
            left[i] = in[i];
    } else if (inChannels == 1) {
        for (int i = 0; i < frames; ++i) {
            left[i * stride] = in[i] * gainL;
            right[i * stride] = in[i] * gainR;
        }
    } else if (outChannels == 1) {
        for (int i = 0; i < frames; ++i)
            left[i] = 0.5f * (in[2 * i] * gainL + in[2 * i + 1] * gainR);
    } else {
        for (int i = 0; i < frames; ++i) {
            left[i * stride] = in[2 * i] * gainL;
            right[i * stride] = in[2 * i + 1] * gainR;
        }
    }
}

bool foldable(const void *out, int outChannels, const float *in, int inChannels, int frames)
{
    if (!out || !in || frames < 0 || inChannels < 1 || inChannels > 2 || outChannels < 1 ||
        outChannels > 2) {
        reportChannels(inChannels, outChannels);
        return false;
    }
    return true;
}

// A save through KSafeFile, discarded unless committed.
class PendingFile {
public:
    explicit PendingFile(const char *destination) : m_file(KSafeFile_open(destination)) {}
    ~PendingFile() { KSafeFile_discard(&m_file); }
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    int fd() const { return KSafeFile_fd(m_file); }
    bool write(const void *data, size_t length) { return KSafeFile_write(m_file, data, length); }
    bool commit() { return KSafeFile_commit(&m_file) == 1; }

private:
    KSafeFile *m_file;
};

// The same path spelled twice, or two names of one file (a link, "./a.wav" and "a.wav").
bool sameFile(const char *a, const char *b)
{
    if (std::strcmp(a, b) == 0)
        return true;
    struct stat first, second;
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool cancelled(const KProgress *progress)
{
    return progress && KProgress_getState(progress) == KPROGRESS_STOPPED;
}

} // namespace

// --- Channel folding ---------------------------------------------------------------------------

int mixChannels(float **out, int outChannels, const float *in, int inChannels, int frames,
                const double *gains)
{
    if (!foldable(out, outChannels, in, inChannels, frames) || !out[0] ||
        (outChannels == 2 && !out[1])) {
        return 0;
    }
    foldFrames<false>(out[0], outChannels == 2 ? out[1] : nullptr, outChannels, in, inChannels,
                      frames, gains ? static_cast<float>(gains[0]) : 1.0f,
                      gains ? static_cast<float>(gains[1]) : 1.0f);
    return 1;
}

int mixChannels_2(float *out, int outChannels, const float *in, int inChannels, int frames,
                  const double *gains)
{
    if (!foldable(out, outChannels, in, inChannels, frames))
        return 0;
    foldFrames<true>(out, out + 1, outChannels, in, inChannels, frames,
                     gains ? static_cast<float>(gains[0]) : 1.0f,
                     gains ? static_cast<float>(gains[1]) : 1.0f);
    return 1;
}

// --- Stereo to mono ----------------------------------------------------------------------------

namespace {

// Keeps the first cause of a failed conversion for the caller and says it on stderr.
class ConvertFailure {
public:
    ConvertFailure(char *text, size_t size) : m_text(text), m_size(size)
    {
        if (m_text && m_size > 0)
            m_text[0] = '\0';
    }

    void operator()(const char *format, ...) __attribute__((format(printf, 2, 3)))
    {
        char line[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof(line), format, args);
        va_end(args);
        std::fprintf(stderr, "*** ERROR k_convertStereoToMono : %s\n", line);
        if (m_text && m_size > 0 && m_text[0] == '\0')
            std::snprintf(m_text, m_size, "%s", line);
    }

private:
    char *m_text;
    size_t m_size;
};

// Why nothing can be created beside `path`: its folder is missing or not writable.
std::string folderProblem(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    const std::string folder = slash ? std::string(path, slash == path ? 1 : slash - path) : ".";
    struct stat status;
    if (stat(folder.c_str(), &status) != 0 || access(folder.c_str(), W_OK) != 0)
        return std::strerror(errno);
    if (!S_ISDIR(status.st_mode))
        return std::strerror(ENOTDIR);
    return "the file system refused the file";
}

// The libsndfile format of a mono copy written to `destination`: the type from its extension
// (Ogg Vorbis and MP3 through libsndfile's own encoders), the source's sample encoding when the
// type takes it, else the best PCM encoding the type takes. 0 when libsndfile writes no such file.
int monoOutputFormat(const char *destination, const KAudioFile *input)
{
    const int type = k_getAudioType(destination);
    SF_INFO info;
    std::memset(&info, 0, sizeof(info));
    info.channels = 1;
    info.samplerate = static_cast<int>(input->format->rate);
    if (type == KAUDIOFMT_VORBIS) {
        info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        return sf_format_check(&info) ? info.format : 0;
    }
    if (type == KAUDIOFMT_MPEG) {
        info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        return sf_format_check(&info) ? info.format : 0;
    }
    if (type == 0)
        return 0;
    const bool compressed = input->type == KAUDIOFMT_VORBIS || input->type == KAUDIOFMT_MPEG;
    const int kept = compressed ? SF_FORMAT_PCM_16 : (input->format->code & KAUDIOFMT_SUB_MASK);
    for (const int subtype : {kept, static_cast<int>(SF_FORMAT_PCM_24),
                              static_cast<int>(SF_FORMAT_PCM_16)}) {
        info.format = type | subtype;
        if (sf_format_check(&info))
            return info.format;
    }
    return 0;
}

} // namespace

int k_convertStereoToMono(const char *source, const char *destination)
{
    return k_convertStereoToMonoWithCause(source, destination, nullptr, 0);
}

int k_convertStereoToMonoWithCause(const char *source, const char *destination, char *cause,
                                   size_t causeSize)
{
    ConvertFailure failure(cause, causeSize);
    if (!source || !destination) {
        failure("no file named");
        return 0;
    }
    if (sameFile(source, destination)) {
        failure("\"%s\" is the source itself", destination);
        return 0;
    }
    struct stat status;
    if (stat(source, &status) != 0) {
        failure("cannot read \"%s\" (%s)", source, std::strerror(errno));
        return 0;
    }
    int frames = 0;
    KAudioFile *input = openKAudioFile(source, nullptr, &frames);
    if (!input) {
        failure("\"%s\" is not a readable audio file", source);
        return 0;
    }
    if (input->format->channels != 2) {
        failure("\"%s\" has %d channels, not 2", source, input->format->channels);
        closeKAudioReading(&input);
        return 0;
    }
    SF_INFO info;
    std::memset(&info, 0, sizeof(info));
    info.format = monoOutputFormat(destination, input);
    info.channels = 1;
    info.samplerate = static_cast<int>(input->format->rate);
    if (info.format == 0) {
        const char *dot = std::strrchr(destination, '.');
        failure("this program cannot write a mono audio file of type \"%s\" at %d Hz (\"%s\")",
                dot ? dot + 1 : "", info.samplerate, destination);
        closeKAudioReading(&input);
        return 0;
    }
    PendingFile pending(destination);
    if (pending.fd() < 0) {
        failure("cannot write in the folder of \"%s\" (%s)", destination,
                folderProblem(destination).c_str());
        closeKAudioReading(&input);
        return 0;
    }
    SNDFILE *output = sf_open_fd(pending.fd(), SFM_WRITE, &info, SF_FALSE);
    if (!output) {
        failure("cannot write \"%s\" (%s)", destination, sf_strerror(nullptr));
        closeKAudioReading(&input);
        return 0;
    }
    sf_command(output, SFC_SET_CLIPPING, nullptr, SF_TRUE);

    std::vector<float> stereo(2 * kConvertBlock);
    std::vector<float> mono(kConvertBlock);
    int64_t total = 0;
    bool written = true;
    int got;
    while (written && (got = readKAudioSamples_float(input, stereo.data(), kConvertBlock)) > 0) {
        for (int i = 0; i < got; ++i)
            mono[i] = (stereo[2 * i] + stereo[2 * i + 1]) * 0.5f;
        written = sf_writef_float(output, mono.data(), got) == got;
        total += got;
    }
    std::string writeError;
    if (!written || sf_error(output) != SF_ERR_NO_ERROR)
        writeError = sf_strerror(output);
    written = written && sf_error(output) == SF_ERR_NO_ERROR;
    written = sf_close(output) == 0 && written;
    closeKAudioReading(&input);
    if (total != frames) {
        failure("read %lld of %d frames of \"%s\"", static_cast<long long>(total), frames,
                source);
        return 0;
    }
    if (!written) {
        failure("cannot write \"%s\" (%s)", destination,
                writeError.empty() ? "write error" : writeError.c_str());
        return 0;
    }
    if (!pending.commit()) {
        failure("cannot put \"%s\" in place (%s)", destination,
                folderProblem(destination).c_str());
        return 0;
    }
    return 1;
}

// --- Ogg Vorbis encoder ------------------------------------------------------------------------

namespace {

// The Ogg stream and Vorbis encoder of one conversion, released together.
struct VorbisEncoder {
    ogg_stream_state stream;
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    bool streamReady = false, dspReady = false;

    VorbisEncoder()
    {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~VorbisEncoder()
    {
        if (dspReady) {
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        if (streamReady)
            ogg_stream_clear(&stream);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }

    bool start(int channels, int rate, float quality, PendingFile &out)
    {
        const int result = vorbis_encode_init_vbr(&info, channels, rate, quality);
        if (result != 0) {
            std::fprintf(stderr,
                         "*** Error OggVorbis (%d) - convertSndfileToOgg()::vorbis_encode_init_vbr() "
                         "***\n",
                         result);
            return false;
        }
        if (vorbis_analysis_init(&dsp, &info) != 0)
            return false;
        vorbis_block_init(&dsp, &block);
        dspReady = true;
        ogg_stream_init(&stream, 0);
        streamReady = true;
        ogg_packet identification, comments, setup;
        vorbis_analysis_headerout(&dsp, &comment, &identification, &comments, &setup);
        ogg_stream_packetin(&stream, &identification);
        ogg_stream_packetin(&stream, &comments);
        ogg_stream_packetin(&stream, &setup);
        ogg_page page;
        while (ogg_stream_flush(&stream, &page) != 0)
            if (!writePage(page, out))
                return false;
        return true;
    }

    // Takes every finished block out of the encoder and writes every finished page.
    bool drain(PendingFile &out)
    {
        ogg_packet packet;
        ogg_page page;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                    if (!writePage(page, out))
                        return false;
            }
        }
        return true;
    }

    static bool writePage(const ogg_page &page, PendingFile &out)
    {
        return out.write(page.header, static_cast<size_t>(page.header_len)) &&
               out.write(page.body, static_cast<size_t>(page.body_len));
    }
};

} // namespace

int convertSndfileToOgg(const char *source, const char *destination, float quality,
                        KProgress *progress)
{
    if (!source || !destination || std::isnan(quality))
        return 0;
    if (sameFile(source, destination)) {
        std::fprintf(stderr, "*** ERROR convertSndfileToOgg : \"%s\" is the source itself\n",
                     destination);
        return 0;
    }
    struct stat status;
    if (stat(source, &status) != 0 || !S_ISREG(status.st_mode)) {
        std::fprintf(stderr, "*** ERROR convertSndfileToOgg : cannot read \"%s\"\n", source);
        return 0;
    }
    SF_INFO info;
    std::memset(&info, 0, sizeof(info));
    SNDFILE *input = sf_open(source, SFM_READ, &info);
    if (!input) {
        std::fprintf(stderr, "*** ERROR convertSndfileToOgg : cannot read \"%s\" (%s)\n", source,
                     sf_strerror(nullptr));
        return 0;
    }
    if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW || info.channels < 1 ||
        info.channels > 255 || info.samplerate < 1 ||
        info.samplerate > KAUDIOFILE_MAX_RATE) {
        std::fprintf(stderr,
                     "*** ERROR convertSndfileToOgg : unsupported stream in \"%s\" (%d channels, "
                     "%d Hz)\n",
                     source, info.channels, info.samplerate);
        sf_close(input);
        return 0;
    }
    PendingFile pending(destination);
    if (pending.fd() < 0) {
        sf_close(input);
        return 0;
    }
    KProgress_setMsg(progress, "Vorbis compression...");
    KProgress_setITotal(progress, info.frames);
    KProgress_setIProg(progress, 0);

    const int channels = info.channels;
    VorbisEncoder encoder;
    bool ok = encoder.start(channels, info.samplerate, std::clamp(quality, -0.1f, 1.0f), pending);
    std::vector<float> buffer(static_cast<size_t>(channels) * kConvertBlock);
    int64_t done = 0;
    bool ended = false;
    while (ok && !ended) {
        if (cancelled(progress)) {
            ok = false;
            break;
        }
        const sf_count_t got = sf_readf_float(input, buffer.data(), kConvertBlock);
        if (got > 0) {
            // Only the frames read go in, so the encoded stream keeps the source's length.
            float **planes = vorbis_analysis_buffer(&encoder.dsp, kConvertBlock);
            for (int c = 0; c < channels; ++c)
                for (sf_count_t i = 0; i < got; ++i)
                    planes[c][i] = buffer[static_cast<size_t>(i) * channels + c];
            vorbis_analysis_wrote(&encoder.dsp, static_cast<int>(got));
            done += got;
            KProgress_setIProg(progress, done);
        } else {
            ok = sf_error(input) == SF_ERR_NO_ERROR;
            vorbis_analysis_wrote(&encoder.dsp, 0);
            ended = true;
        }
        ok = ok && encoder.drain(pending);
    }
    sf_close(input);
    if (!ok) {
        std::fprintf(stderr, "*** ERROR convertSndfileToOgg : \"%s\" not written\n", destination);
        return 0;
    }
    return pending.commit() ? 1 : 0;
}
