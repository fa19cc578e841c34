// Channel folding with pan gains, and the two file converters built on the reading layer: a
// stereo-to-mono copy of an audio file and an Ogg Vorbis encoder for finished mix renders.
//
// Threads: any thread (the import and export workers); no lock is taken. The converters write to
// a temporary file in the destination's folder and rename it over the destination only when
// everything succeeded, so a failure or a cancel leaves the old destination as it was.
#ifndef KAUDIOCONVERT_H
#define KAUDIOCONVERT_H

#include <stddef.h>

#include "KTypes.h"

// Fold interleaved float input into the output channels, gains[0] left and gains[1] right:
// 1->1 copies, 2->1 gives 0.5 x (left x gains[0] + right x gains[1]), 1->2 and 2->2 apply the
// gains per side. Returns 1, or 0 (with a message) for other channel counts or null arguments.
// mixChannels writes one plane per output channel; mixChannels_2 writes interleaved frames.
int mixChannels(float **out, int outChannels, const float *in, int inChannels, int frames,
                const double *gains);
int mixChannels_2(float *out, int outChannels, const float *in, int inChannels, int frames,
                  const double *gains);

// Writes a one-channel copy of a two-channel audio file, each sample (left + right) x 0.5; the
// destination's type comes from its extension: WAV, AIFF, AU, CAF and FLAC keep the source's
// sample encoding where the type takes it (16-bit PCM for Ogg Vorbis and MP3 sources), ".ogg"
// is written as Ogg Vorbis and ".mp3" as MPEG layer III. 1 when every frame was read and
// written, 0 otherwise (null paths, the same file for both, a source that is not stereo, a
// destination type that cannot be written). The WithCause form also leaves the first cause of a
// failure, naming the file concerned, in `cause` (an empty text on success; may be null).
int k_convertStereoToMono(const char *source, const char *destination);
int k_convertStereoToMonoWithCause(const char *source, const char *destination, char *cause,
                                   size_t causeSize);

// Encodes an audio file (read with libsndfile, samples full scale at +-1.0) into a plain Ogg
// Vorbis file at the given variable-bit-rate quality, clamped to -0.1..1.0. The progress record
// (may be null) gets "Vorbis compression...", the frame total and the frames done; setting its
// state to stopped cancels the work. 1 on success, 0 otherwise.
int convertSndfileToOgg(const char *source, const char *destination, float quality,
                        KProgress *progress);

#endif
