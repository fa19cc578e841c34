// One reading interface over the audio files that tracks point to: Ogg Vorbis through the
// Vorbis decoder (first link of a plain, unscrambled file), MPEG and every other format through
// libsndfile. Files are chosen by extension (k_getAudioType).
//
// Threads: any thread (the export worker, the buffer-filling thread); no lock is taken, and a
// record is used by one thread at a time. Diagnostics go to the standard error stream.
#ifndef KAUDIOFILE_H
#define KAUDIOFILE_H

#include <cstdint>

#include "KTypes.h"

// Files with more channels are refused: the mixer and the channel folding handle mono and
// stereo only, and refusing at open gives a clear error instead of a silent track.
enum { KAUDIOFILE_MAX_CHANNELS = 2 };
// Sample rates outside 1..768000 Hz are refused (a rate of 0 would divide by zero downstream).
enum { KAUDIOFILE_MAX_RATE = 768000 };

// Plain Ogg Vorbis reader over the first link of a file.
typedef struct KOggFile KOggFile;

typedef struct KAudioFile {
    void *reader;          // KOggFile* for Ogg Vorbis, the MPEG reader, SNDFILE* for the others
    KStreamFormat *format; // the file's stream format, owned
    int frames;            // frame count
    int type;              // k_getAudioType of the path: KAUDIOFMT_VORBIS, KAUDIOFMT_MPEG or other
} KAudioFile;

// Opens a regular file by its extension; null (with a message) for an unknown extension, an
// unreadable or malformed file, no frames count, a rate or channel count out of range, or more
// than INT_MAX frames. format (may be null) receives a copy of the file's stream format and
// frames (may be null) its frame count.
KAudioFile *openKAudioFile(const char *path, KStreamFormat *format, int *frames);
// Closes the reader, frees format and record and clears the caller's pointer.
void closeKAudioReading(KAudioFile **record);
// Reads 16-bit signed native-endian interleaved samples, whole frames only; returns the bytes
// filled (0 at the end), -1 for null arguments, bytes < 1 or type 0.
int readKAudioSamples(KAudioFile *record, void *buffer, int bytes);
// Reads float interleaved samples in -1..1; returns frames read (0 at the end), -1 for null
// arguments, frames < 1 or type 0.
int readKAudioSamples_float(KAudioFile *record, float *buffer, int frames);
// Moves the next read to a frame from the file's start; 1 on success, -1 (or the decoder's
// code) on failure.
int seekKAudioSamples(KAudioFile *record, int64_t frame);
// out[i] = in[i] x 2^-15.
void convertIntToFloat(const int16_t *in, float *out, int n);

// Plain Ogg Vorbis files (first link).
KOggFile *openOggFile(const char *path, KStreamFormat *format, int *frames);
int readOggSamples(KOggFile *reader, void *buffer, int bytes);
int readOggSamples_float(KOggFile *reader, float *buffer, int frames);
int seekOggSamples(KOggFile *reader, int64_t frame);
void closeOggReading(KOggFile **reader);

// MPEG files through libsndfile's MPEG reader; content of another type under an MPEG name is
// refused. The format's code is KAUDIOFMT_MPEG, 16 bits.
void *openMpgFile(const char *path, KStreamFormat *format, int *frames);
// 16-bit signed native-endian interleaved samples, whole frames; bytes filled, 0 at the end.
int readMpgSamples(void *reader, void *buffer, int bytes);
// Float interleaved samples; frames read, 0 at the end.
int readMpgSamples_float(void *reader, float *buffer, int frames);
int seekMpgSamples(void *reader, int64_t frame);
void closeMpgReading(void **reader);

#endif
