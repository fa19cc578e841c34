// Vorbis tracks of a container: track k is link k of the chained Ogg stream, read through
// vorbisfile with a descrambling read over the whole container.
//
// Threads: one context per open track, used by one thread at a time (the buffer-filling thread
// while playing); no lock is taken.
#ifndef KCODECVORBIS_H
#define KCODECVORBIS_H

#include <cstdint>
#include <cstdio>

#include <vorbis/vorbisfile.h>

typedef struct KCodecVorbis {
    OggVorbis_File *decoder; // owned; null until opened
    FILE *stream;            // the container; closed with the decoder
    int channels;
    double rate;
    int bytesPerSample; // 2: 16-bit samples
    int link;           // the track's link; -1 unset
    int64_t linkStart;  // PCM position of the link's start; -1 unset
    int decoderLink;    // the link's index for the decoder, which sees the track's bytes alone
                        // (then 0) or, in a damaged file, the whole container
    int failed;         // the decoder failed: the track ended and is never decoded again
    // The link's first frame, decoded when it was opened so that the decoder's set-up is done
    // by the open, not by the first read; given out before anything else is decoded.
    unsigned char primed[4];
    int primedBytes;
} KCodecVorbis;

KCodecVorbis *KCodecVorbis_new(void);
KCodecVorbis *KCodecVorbis_init(KCodecVorbis *context);
// A context with the stream open on the file ("!!! ERROR - KCodecVorbis_initialize : Cannot open
// Tovra file "%s" !!!" and null when it cannot be opened).
KCodecVorbis *KCodecVorbis_initialize(const char *path, int link, int channels, int bytes,
                                      double rate);
// Frees a context and its decoder record (the stream is not closed).
void KCodecVorbis_delete(KCodecVorbis **context);
// Releases decoder, stream and record; clears the caller's pointer.
void KCodecVorbis_close(KCodecVorbis **context);

// Opens link `link` of a container, positioned at its start. The link must exist and hold link
// number `link` as its serial; channels and rate come from the stream, and positive values given
// here that differ from it are refused. Null, with the decoder's message, on failure. The link's
// bytes are found by bisection and given to the decoder alone, so that opening every track of a
// container costs each open the same, however many tracks there are.
KCodecVorbis *tvrVorbis_load(const char *path, int link, int channels, int bytes, double rate);
// Fills 16-bit signed little-endian interleaved samples of the link; at the end of the link the
// rest of the buffer is cleared. Returns the bytes filled before the end, -1 for bad arguments.
// A decoder error other than a hole ends the track with a message: later reads return 0 and
// seeks fail without touching the decoder again.
int tvrVorbis_read(KCodecVorbis *context, void *buffer, int bytes);
// Moves to a frame counted from the link's start; 1, or the decoder's code (negative).
int tvrVorbis_seek(KCodecVorbis *context, int64_t frame);
// Frames of the link, or -1.
int64_t tvrVorbis_frames(KCodecVorbis *context);
// Builds each link's decoding state once, on a scratch state, before anything is decoded: the
// first link whose codebooks cannot be built, or -1 when every link can be decoded. libvorbis
// leaves such books half built after its first refusal and divides by zero on a later read, so
// a stream must be refused here, never read. A message names the link refused.
int tvrVorbis_firstBrokenLink(OggVorbis_File *decoder, const char *function, const char *path);

#endif
