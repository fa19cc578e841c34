// Value types of the engine interface: result and load-error texts, audio format names, the
// stream format record, the progress record and the library's version checks.
#include "KTypes.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>
#include <vector>

#include "tvr_utils.h"

// --- Result codes ------------------------------------------------------------------------------

const char *getStrTvrError(int code)
{
    switch (code) {
    case TVR_OK: return "Error : No error";
    case TVR_ERR_PARAM: return "Error : Bad parameters";
    case TVR_ERR_MEMORY: return "Error : Memory error";
    case TVR_ERR_NOT_FOUND: return "Error : Element not found";
    case TVR_ERR_MIX_CORRUPTED: return "Error : Mix is corrupted";
    case TVR_ERR_MIX_MANAGER: return "Error : Error in MixManager";
    case TVR_ERR_ELT_TABLE: return "Error : Error in element hash table";
    case TVR_ERR_ELT_ORGANISATION: return "Error : Error in element organization";
    case TVR_ERR_SOUND_LIB: return "Error : Error in SDL library";
    case TVR_ERR_FORMAT: return "Error : Audio format not supported";
    case TVR_ERR_BAD_TRACKS: return "Error : Cannot remove bad tracks";
    default: return "Error : Unknown error";
    }
}

namespace {
std::atomic<int> g_zarkError{0};
std::atomic<bool> g_libInit{false};
std::once_flag g_seedOnce;
} // namespace

int getZarkError(void)
{
    return g_zarkError.load();
}

int setZarkError(int code)
{
    g_zarkError.store(code);
    return code;
}

const char *getStrZarkError(void)
{
    switch (g_zarkError.load()) {
    case 0: return "Unknown error.";
    case 101: return "Warning : Your player is old. Please update it.";
    case 103: return "Warning : This Zark file is old. Some parameters may be not available.";
    case -102: return "ERROR : Your player is too old. You must update it.";
    case -104: return "ERROR : This Zark file is too old. Canno't associate configuration.";
    case -201: return "ERROR : Incorrect file.";
    case -202: return "ERROR : Incorrect selection chunk.";
    case -203: return "ERROR : Incorrect fmt chunk.";
    case -204: return "ERROR : Incorrect song chunk.";
    case -205: return "ERROR : Incorrect track chunk.";
    case -206: return "ERROR : Incorrect constraint chunk.";
    case -207: return "ERROR : Incorrect id chunk.";
    case -208: return "ERROR : Incorrect mixlaw chunk.";
    case -301: return "ERROR : Incorrect parameters.";
    case -302: return "ERROR : Cannot open file.";
    default: return "ERROR : undefined error.";
    }
}

// --- Audio format codes ------------------------------------------------------------------------

namespace {

struct MajorFormat {
    int major;
    const char *smallName;
    const char *name;
};

const MajorFormat kMajorFormats[] = {
    {0x10000, "WAV", "WAVE"},
    {0x20000, "AIFF", "AIFF"},
    {0x30000, "AU", "AU"},
    {0x40000, nullptr, "RAW PCM data"},
    {0x50000, nullptr, "Ensoniq PARIS file"},
    {0x60000, nullptr, "Amiga IFF / SVX8 / SV16"},
    {0x70000, nullptr, "Sphere NIST"},
    {0x80000, nullptr, "VOC files"},
    {0xa0000, nullptr, "Berkeley/IRCAM/CARL"},
    {0xb0000, nullptr, "Sonic Foundry's 64 bit RIFF/WAV"},
    {0xc0000, nullptr, "Matlab (tm) V4.2 / GNU Octave 2.0"},
    {0xd0000, nullptr, "Matlab (tm) V5.0 / GNU Octave 2.1"},
    {0xe0000, nullptr, "Portable Voice"},
    {0xf0000, nullptr, "Fasttracker 2 Extended Instrument"},
    {0x100000, nullptr, "HMM Tool Kit"},
    {0x110000, nullptr, "Midi Sample Dump Standard"},
    {0x120000, nullptr, "Audio Visual Research"},
    {0x130000, nullptr, "MS WAVE with WAVEFORMATEX"},
    {0x160000, nullptr, "Sound Designer 2"},
    {0x170000, "FLAC", "FLAC lossless file"},
    {0x180000, "CAF", "CAF"},
    {KAUDIOFMT_VORBIS, "OGG", "Vorbis"},
    {KAUDIOFMT_MPEG, "MP3", "MPEG"},
};

struct Encoding {
    int value;
    const char *name;
    int bits;
};

const Encoding kEncodings[] = {
    {1, "Signed 8 bits", 8},
    {2, "Signed 16 bits", 16},
    {3, "Signed 24 bits", 24},
    {4, "Signed 32 bits", 32},
    {5, "Unsigned 8 bits", 8},
    {6, "32 bits float", 32},
    {7, "64 bit float", 64},
    {16, "U-Law encoded", 8},
    {17, "A-Law encoded", 8},
    {18, "IMA ADPCM", 4},
    {19, "Microsoft ADPCM", 4},
    {32, "GSM 6.10 encoding", 8},
    {33, "OKI / Dialogix ADPCM", -1},
    {48, "32kbs G721 ADPCM encoding", 32},
    {49, "24kbs G723 ADPCM encoding", 24},
    {50, "40kbs G723 ADPCM encoding", 40},
    {64, "12 bits Delta Width Variable Word encoding", 12},
    {65, "16 bits Delta Width Variable Word encoding", 16},
    {66, "24 bits Delta Width Variable Word encoding", 24},
    {67, "N bits Delta Width Variable Word encoding", -1},
    {80, "8 bits differential PCM", 8},
    {81, "16 bits differential PCM", 16},
};

const char *const kQualityNames[] = {"Quality -1", "Quality 0", "Quality 1", "Quality 2",
                                     "Quality 3",  "Quality 4", "Quality 5", "Quality 6",
                                     "Quality 7",  "Quality 8", "Quality 9", "Quality 10"};

const MajorFormat *findMajor(int code)
{
    int major = code & KAUDIOFMT_MAJOR_MASK;
    for (const MajorFormat &format : kMajorFormats)
        if (format.major == major)
            return &format;
    return nullptr;
}

// The encoding entry of a code. The Vorbis major type holds a quality there and the MPEG major
// type a bit rate, so neither is looked up in the encoding table.
const Encoding *findEncoding(int code)
{
    int major = code & KAUDIOFMT_MAJOR_MASK;
    if (major == KAUDIOFMT_VORBIS || major == KAUDIOFMT_MPEG)
        return nullptr;
    int sub = code & KAUDIOFMT_SUB_MASK;
    for (const Encoding &encoding : kEncodings)
        if (encoding.value == sub)
            return &encoding;
    return nullptr;
}

// Index of the Vorbis quality (-1..10 stored as 255..266) in kQualityNames, or -1.
int vorbisQualityIndex(int code)
{
    if ((code & KAUDIOFMT_MAJOR_MASK) != KAUDIOFMT_VORBIS)
        return -1;
    int index = (code & KAUDIOFMT_SUB_MASK) - (KAUDIOFMT_VORBIS_QUALITY_BASE - 1);
    return index >= 0 && index < 12 ? index : -1;
}

} // namespace

int KAudioFmt_isSndFileFmt(int code)
{
    int major = code & KAUDIOFMT_MAJOR_MASK;
    return (major == 0 || major == KAUDIOFMT_VORBIS || major == KAUDIOFMT_MPEG) ? 0 : 1;
}

const char *KAudioFmt_getSmallName(int code)
{
    const MajorFormat *format = findMajor(code);
    return format ? format->smallName : nullptr;
}

const char *KAudioFmt_getMajorFmtName(int code)
{
    const MajorFormat *format = findMajor(code);
    return format ? format->name : "Unknown audio format";
}

const char *KAudioFmt_getSubFmtName(int code)
{
    int quality = vorbisQualityIndex(code);
    if (quality >= 0)
        return kQualityNames[quality];
    const Encoding *encoding = findEncoding(code);
    return encoding ? encoding->name : nullptr;
}

const char *KAudioFmt_getEndianFmtName(int code)
{
    switch (code & KAUDIOFMT_ENDIAN_MASK) {
    case 0x10000000: return "Force little endian-ness";
    case 0x20000000: return "Force big endian-ness";
    case 0x30000000: return "Force CPU endian-ness";
    default: return "Default file endian-ness";
    }
}

int KAudioFmt_getNumberBits(int code)
{
    if (vorbisQualityIndex(code) >= 0)
        return 16;
    const Encoding *encoding = findEncoding(code);
    return encoding ? encoding->bits : -1;
}

int k_getAudioType(const char *fileName)
{
    if (!fileName)
        return 0;
    const char *dot = std::strrchr(fileName, '.');
    if (!dot)
        return 0;
    const char *extension = dot + 1;
    if (std::strlen(extension) >= 50)
        return 0;
    struct Extension {
        const char *text;
        int major;
    };
    static const Extension kExtensions[] = {
        {"ogg", KAUDIOFMT_VORBIS}, {"au", 0x30000},        {"flac", 0x170000},
        {"caf", 0x180000},         {"mpeg", KAUDIOFMT_MPEG}, {"mp2", KAUDIOFMT_MPEG},
        {"mp3", KAUDIOFMT_MPEG},   {"aif", 0x20000},        {"aiff", 0x20000},
        {"wav", 0x10000},          {"wave", 0x10000},
    };
    for (const Extension &known : kExtensions)
        if (std::strcmp(extension, known.text) == 0)
            return known.major;
    return 0;
}

// --- Stream format -----------------------------------------------------------------------------

KStreamFormat *KStreamFormat_new(void)
{
    KStreamFormat *format = static_cast<KStreamFormat *>(tvr_malloc(sizeof(KStreamFormat)));
    return format ? KStreamFormat_init(format) : nullptr;
}

KStreamFormat *KStreamFormat_init(KStreamFormat *format)
{
    if (!format)
        return nullptr;
    tvr_free(format->extra);
    format->code = 0;
    format->bits = -1;
    format->channels = -1;
    format->rate = -1.0;
    format->extra = nullptr;
    return format;
}

KStreamFormat *KStreamFormat_copy(KStreamFormat *target, const KStreamFormat *source)
{
    if (!target || !source)
        return nullptr;
    target->code = source->code;
    target->bits = source->bits;
    target->channels = source->channels;
    target->rate = source->rate;
    if (source->extra) {
        if (!target->extra) {
            target->extra = static_cast<KStreamExtra *>(tvr_malloc(sizeof(KStreamExtra)));
            if (!target->extra)
                return nullptr;
        }
        *target->extra = *source->extra;
    }
    return target;
}

KStreamFormat *KStreamFormat_clone(const KStreamFormat *format)
{
    if (!format)
        return nullptr;
    KStreamFormat *clone = KStreamFormat_new();
    if (clone && !KStreamFormat_copy(clone, format))
        KStreamFormat_delete(&clone);
    return clone;
}

void KStreamFormat_delete(KStreamFormat **format)
{
    if (!format || !*format)
        return;
    tvr_free((*format)->extra);
    tvr_free(*format);
    *format = nullptr;
}

// --- Progress ----------------------------------------------------------------------------------

// The worker writes and the polling thread reads without a lock: every field the poller reads is
// atomic, and a replaced message stays allocated until the record is deleted.
struct KProgress {
    std::atomic<double> fraction{0.0};
    std::atomic<int64_t> done{0};
    std::atomic<int64_t> total{-1};
    std::atomic<int> state{KPROGRESS_NEW};
    std::atomic<char *> message{nullptr};
    std::mutex retiredMutex; // guards retired between writers
    std::vector<char *> retired;
};

namespace {

void retireMessage(KProgress *progress, char *message)
{
    if (!message)
        return;
    std::lock_guard<std::mutex> lock(progress->retiredMutex);
    progress->retired.push_back(message);
}

// Step shared by both progress updates: -1 when the update is ignored, else the state after it.
int startProgress(KProgress *progress)
{
    int state = progress->state.load();
    if (state < 0 || state >= KPROGRESS_FINISHED)
        return -1;
    if (state == 0 || state == 1) {
        progress->state.store(KPROGRESS_RUNNING);
        state = KPROGRESS_RUNNING;
    }
    return state;
}

} // namespace

KProgress *KProgress_new(void)
{
    void *block = tvr_malloc(sizeof(KProgress));
    if (!block)
        return nullptr;
    try {
        return new (block) KProgress();
    } catch (...) {
        tvr_free(block);
        return nullptr;
    }
}

KProgress *KProgress_init(KProgress *progress)
{
    if (!progress)
        return nullptr;
    progress->fraction.store(0.0);
    progress->done.store(0);
    progress->total.store(-1);
    progress->state.store(KPROGRESS_NEW);
    retireMessage(progress, progress->message.exchange(nullptr));
    return progress;
}

void KProgress_delete(KProgress **progress)
{
    if (!progress || !*progress)
        return;
    KProgress *record = *progress;
    tvr_free(record->message.load());
    for (char *message : record->retired)
        tvr_free(message);
    record->~KProgress();
    tvr_free(record);
    *progress = nullptr;
}

void KProgress_setITotal(KProgress *progress, int64_t total)
{
    if (progress)
        progress->total.store(total);
}

int64_t KProgress_getITotal(const KProgress *progress)
{
    return progress ? progress->total.load() : -1;
}

int64_t KProgress_getIDone(const KProgress *progress)
{
    return progress ? progress->done.load() : 0;
}

const char *KProgress_setMsg(KProgress *progress, const char *text)
{
    if (!progress)
        return nullptr;
    char *copy = _tvr_strcpy(text);
    if (text && !copy)
        return nullptr;
    retireMessage(progress, progress->message.exchange(copy));
    return copy;
}

const char *KProgress_getMsg(const KProgress *progress)
{
    return progress ? progress->message.load() : nullptr;
}

int KProgress_getState(const KProgress *progress)
{
    return progress ? progress->state.load() : KPROGRESS_FAILED;
}

double KProgress_getProg(const KProgress *progress)
{
    if (!progress)
        return -1.0;
    int state = progress->state.load();
    if (state == KPROGRESS_STOPPED || state == KPROGRESS_FAILED)
        return -1.0;
    return progress->fraction.load();
}

void KProgress_setState(KProgress *progress, int state)
{
    if (!progress)
        return;
    if (state == KPROGRESS_FINISHED || state == KPROGRESS_STOPPED || state == KPROGRESS_FAILED) {
        progress->fraction.store(1.0);
        progress->done.store(progress->total.load());
    }
    progress->state.store(state);
}

int KProgress_setDProg(KProgress *progress, double fraction)
{
    if (!progress)
        return 0;
    int state = startProgress(progress);
    if (state < 0)
        return progress->state.load();
    if (!(fraction >= 0.0)) // negative or NaN
        return state;
    if (fraction >= 1.0) {
        KProgress_setState(progress, KPROGRESS_FINISHED);
        return 1;
    }
    progress->fraction.store(fraction);
    int64_t total = progress->total.load();
    if (total > 0)
        progress->done.store(static_cast<int64_t>(fraction * static_cast<double>(total)));
    return 1;
}

int KProgress_setIProg(KProgress *progress, int64_t done)
{
    if (!progress)
        return 0;
    int state = startProgress(progress);
    if (state < 0)
        return progress->state.load();
    int64_t total = progress->total.load();
    if (total <= 0 || done < 0)
        return state;
    if (done < total) {
        progress->done.store(done);
        progress->fraction.store(static_cast<double>(done) / static_cast<double>(total));
        return 1;
    }
    KProgress_setState(progress, KPROGRESS_FINISHED);
    return 1;
}

// --- Library and versions ----------------------------------------------------------------------

void k_TovraLibIniatilization(void)
{
    // Seeded once: re-seeding with the same second would repeat the random sequence.
    std::call_once(g_seedOnce, [] { std::srand(static_cast<unsigned>(std::time(nullptr))); });
    g_libInit.store(true);
}

int k_libIsInit(void)
{
    return g_libInit.load() ? 1 : 0;
}

double getZarkLibVersion(void)
{
    return 2.0;
}

int oLVersIsOk(double version)
{
    if (!std::isfinite(version))
        return -1;
    if (std::floor(version) > 2.0)
        return -1;
    return version > 2.0 ? 0 : 1;
}
