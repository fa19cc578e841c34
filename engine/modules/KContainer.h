// The interactive-music container: an Ogg physical stream, scrambled byte by byte (KScramble.h),
// whose first logical stream carries the project description (serial = number of tracks) and
// whose following content carries the tracks, either one Ogg Vorbis stream per track (serial k for
// track k) or one complete uncompressed audio file per track followed by a trailer of start
// offsets. Holding only a description, it is also the form of project files and mix files.
//
// Writing goes to a temporary file renamed over the target once everything was written and
// synced: a failed or cancelled export leaves the previous file as it was.
//
// Threads: the writers run on the caller's thread (an export worker or the thread that saves);
// the Vorbis writer encodes tracks on helper threads of its own and writes them in order from
// the caller's thread. The readers run on any thread. No lock of the engine is taken.
#ifndef KCONTAINER_H
#define KCONTAINER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <ogg/ogg.h>

#include "KFile.h"
#include "KTypes.h"

// Result codes of MeskToOgg5 besides 1 and the Vorbis encoder's own codes (-130, -131 ...).
enum {
    KCONTAINER_ERR_FILE = -1,    // file not writable, mixing or uncompressed-track failure
    KCONTAINER_ERR_TRACKS = -2,  // tracks without audio path, description not written
    KCONTAINER_ERR_FORMAT = -99, // unsupported format or unreadable track file
    KCONTAINER_ERR_DESC = -444,  // description export failed
    KCONTAINER_ERR_BUFFER = -999 // no read buffer
};

// Longest description text read back (a guard against corrupt lengths).
enum { KCONTAINER_MAX_DESCRIPTION = 256 * 1024 * 1024 };

// Encoder settings of a container's Vorbis tracks.
typedef struct SVorbisEnc {
    int bits;        // 16
    int blockLength; // frames per block handed to the encoder, 1024
    int channels;    // 1; 0 or less: each track's own channel count
    int rate;        // 44100
    float quality;   // 1.0
} SVorbisEnc;

SVorbisEnc *CreateAndIntSVorbisEnc(void);
SVorbisEnc *InitDefSVorbisEnc(SVorbisEnc *settings);
void SVorbisEnc_delete(SVorbisEnc **settings);
// The Vorbis quality of an export format code: ((code & 0xFFFF) - 256) as an unsigned 32-bit
// number, divided by 10 (low words 256..266 give 0.0..1.0; lower words wrap to a very large
// quality, which the encoder treats as its highest).
float k_vorbisQualityFromFormat(int code);

// Tracks encoded at once by the Vorbis writer: 0 (the default) uses every core, 1 encodes on the
// caller's thread alone. Process-wide.
void KContainer_setEncoderThreads(int threads);

// --- Writing ------------------------------------------------------------------------------------
// Writes a container to `path`. With a project the tracks follow the description, encoded as
// `format` says (the record is changed from RAW to AU); with a null project only the description
// is written. A null text uses the project's clean description, in which every track has the
// length and start date (in frames), rate and channel count of the audio stored for it, resampled
// from its file's rate to the export rate; a given text is written as it is. The project's stream
// numbers, lengths, dates and formats are as they were when this returns. 1, or a negative code
// (KCONTAINER_ERR_* or the encoder's); every failure sets the progress message and the failed
// state (progress may be null). Setting the progress state to stopped cancels the export: -1, the
// target untouched.
int MeskToOgg5(KFile *file, const char *path, KStreamFormat *format, const char *text,
               KProgress *progress);
// Export of a distributable file: -1 "Error in Parameters" for a null path or project or an
// invalid project; -3 when the export failed; else MeskToOgg5's result with the done state.
int exportToTovraPrg(const char *path, KFile *file, KStreamFormat *format, KProgress *progress);

// Writes one Ogg page (header, body) scrambled at the stream's position; 1, or 0 on a short write.
int tvrWritePage(const ogg_page *page, FILE *stream);
// Puts the text in as the stream's one packet (first and last) and writes its pages; 1, or 0
// when a write fails.
int insertXmlStream(ogg_stream_state *state, FILE *stream, const char *text, long length);
// The track writers, used by MeskToOgg5: `tracks` lists the numbered tracks of `file` in stream
// order. 1, or a negative code as MeskToOgg5.
int MultiBitStreamVorbisEncodage2b(KFile *file, KTrack **tracks, int n, FILE *stream,
                                   const SVorbisEnc *settings, KProgress *progress);
int RawEncodage(KFile *file, KTrack **tracks, int n, FILE *stream, KStreamFormat *format,
                KProgress *progress);

// --- Reading ------------------------------------------------------------------------------------
// What the description stream of a container says, besides its text.
typedef struct KContainerInfo {
    int64_t fileSize;       // bytes in the file
    int serial;             // the description stream's serial: the number of tracks
    int64_t descriptionEnd; // first byte after the description stream's last page
    int contiguous;         // 1 when no page of another stream came between its pages
} KContainerInfo;

// Reads the description packet of the container open on `stream` (read from position 0, every
// page's CRC checked, continuation pages reassembled). The text is a new NUL-terminated tvr_malloc
// block (caller frees) and *length its size. Null, with a line naming the cause on the standard
// error stream, for a file that is not a well-formed container. info may be null.
char *GetMeskFilePage(FILE *stream, long *length);
char *KContainer_readDescription(FILE *stream, size_t *length, KContainerInfo *info);
// The description text of a container file (caller frees), or null.
char *extractXmlDescFromOgg(const char *path);
// The codec of the tracks a container stores, from the bytes that follow its description:
// KAUDIOFMT_VORBIS for Ogg pages, SF_FORMAT_WAV, SF_FORMAT_AIFF, SF_FORMAT_AU or SF_FORMAT_CAF for
// the audio file of an uncompressed track; 0 for a file without tracks or one that cannot be read.
int KContainer_trackCodec(const char *path);
// A new project named by the path, filled from the container's description; null on failure.
KFile *OpenTovraFile(const char *path);

// Writes "*** Error OggVorbis (%d) - %s : %s ***" and returns the code.
int OggVorbisError(const char *context, int code);
const char *OggVorbisErrorText(int code);

#endif
