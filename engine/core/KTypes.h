// The small value types that cross the engine's interface: audio format codes and their names,
// the stream format record, the progress record, result codes and their texts, the load-error
// code and the library's version checks.
#ifndef KTYPES_H
#define KTYPES_H

#include <cstdint>

// --- Result codes ------------------------------------------------------------------------------
enum {
    TVR_OK = 1,
    TVR_ERR_PARAM = -101,
    TVR_ERR_MEMORY = -102,
    TVR_ERR_NOT_FOUND = -201,
    TVR_ERR_MIX_CORRUPTED = -202,
    TVR_ERR_MIX_MANAGER = -203,
    TVR_ERR_ELT_TABLE = -204,
    TVR_ERR_ELT_ORGANISATION = -205,
    TVR_ERR_SOUND_LIB = -301,
    TVR_ERR_FORMAT = -302,
    TVR_ERR_BAD_TRACKS = -303
};
const char *getStrTvrError(int code);

// Process-wide load-error code set by the description loaders.
int getZarkError(void);
int setZarkError(int code);
const char *getStrZarkError(void);

// --- Audio format codes (libsndfile's layout plus two engine major types) ---------------------
enum {
    KAUDIOFMT_MAJOR_MASK = 0x0fff0000,
    KAUDIOFMT_SUB_MASK = 0x0000ffff,
    KAUDIOFMT_ENDIAN_MASK = 0x30000000,
    KAUDIOFMT_VORBIS = 0x510000,
    KAUDIOFMT_MPEG = 0x520000,
    KAUDIOFMT_VORBIS_QUALITY_BASE = 256
};
int KAudioFmt_isSndFileFmt(int code);
const char *KAudioFmt_getSmallName(int code);
const char *KAudioFmt_getMajorFmtName(int code);
const char *KAudioFmt_getSubFmtName(int code);
const char *KAudioFmt_getEndianFmtName(int code);
int KAudioFmt_getNumberBits(int code);
int k_getAudioType(const char *fileName);

// --- Stream format -----------------------------------------------------------------------------
typedef struct KStreamExtra {
    int values[5];   // encoder settings; values[2] is the MPEG bit rate
} KStreamExtra;

typedef struct KStreamFormat {
    int code;            // audio format code; 0 = unset
    int bits;            // bits per sample; -1 = unset
    int channels;        // channel count; -1 = unset
    double rate;         // sample rate in Hz; below 0 = unset
    KStreamExtra *extra; // owned; null when absent
} KStreamFormat;

KStreamFormat *KStreamFormat_new(void);
// Frees the extra record and resets the fields: the record must come from KStreamFormat_new or
// be zero-initialised (KStreamFormat f = {};), never left uninitialised.
KStreamFormat *KStreamFormat_init(KStreamFormat *format);
KStreamFormat *KStreamFormat_copy(KStreamFormat *target, const KStreamFormat *source);
KStreamFormat *KStreamFormat_clone(const KStreamFormat *format);
void KStreamFormat_delete(KStreamFormat **format);

// --- Progress ----------------------------------------------------------------------------------
// A worker thread writes the record while a polling thread reads it: the numeric fields are
// atomic, and superseded messages are kept until the record is deleted so a reader never sees
// freed text.
enum {
    KPROGRESS_NEW = 0,
    KPROGRESS_RUNNING = 2,
    KPROGRESS_FINISHED = 3,
    KPROGRESS_STOPPED = -1,
    KPROGRESS_FAILED = -2
};
typedef struct KProgress KProgress;

KProgress *KProgress_new(void);
KProgress *KProgress_init(KProgress *progress);
void KProgress_delete(KProgress **progress);
void KProgress_setITotal(KProgress *progress, int64_t total);
int64_t KProgress_getITotal(const KProgress *progress);
int64_t KProgress_getIDone(const KProgress *progress);
const char *KProgress_setMsg(KProgress *progress, const char *text);
const char *KProgress_getMsg(const KProgress *progress);
int KProgress_getState(const KProgress *progress);
double KProgress_getProg(const KProgress *progress);
void KProgress_setState(KProgress *progress, int state);
// Both progress updates return 0 for an absent record, 1 when they stored progress (or finished
// the job), and otherwise the state, unchanged by an ignored update.
int KProgress_setDProg(KProgress *progress, double fraction);
int KProgress_setIProg(KProgress *progress, int64_t done);

// --- Library and versions ----------------------------------------------------------------------
void k_TovraLibIniatilization(void);
int k_libIsInit(void);
double getZarkLibVersion(void);
int oLVersIsOk(double version);
// cFVersIsOk and TovraGenerateFileId take a project and are declared with the project graph.

#endif
