// The mixer: computes one output block (16-bit signed interleaved stereo) of the playing project
// each time the filler thread asks for one. It applies the transport state of KPlayer.h (pause,
// seek, volume ramp, loop, stop, each smoothed by a fade), reads a block of every active track,
// resamples it to the output rate, fades tracks in and out when their play status changes,
// applies levels, pan, mute and solo, sums the tracks (saturating once when narrowing to 16
// bits), runs the mastering equaliser of the mix on play and records level meters.
//
// Threads: the mixer state, the track readers and the mastering run on the filler thread
// ("bufferingProc"); it never runs a solver search. For each block the filler takes the project
// lock twice for short steps: to decide the transport (with mutexStatus) and which tracks read,
// then to apply the statuses, take each track's gains, pans and meter targets and ready the
// mastering (its curve sampled when it changed). Seeking, decoding and resampling the tracks,
// summing them, their meters and the mastering run without the lock, so another thread waits
// for it no longer than a step that costs a few operations per track, whatever the tracks cost
// to decode. The first block opens the track readers without the project lock (see
// so_mixaudio). The meters are written by the filler and read by the GUI under their own lock.
#ifndef KMIXER_H
#define KMIXER_H

#include <atomic>
#include <cstdint>
#include <vector>

#include "KAudioFile.h"
#include "KCodecVorbis.h"
#include "KEqFx.h"
#include "KFile.h"
#include "KOggSndfile.h"
#include "KResample.h"
#include "KSemaphore.h"
#include "KTypes.h"

// One track slot of the mixer.
typedef struct SOSlot {
    KTrack *track;        // null for an unused slot
    KAudioFile *file;     // source mode 0 reader
    SOggSF *raw;          // source mode 1 uncompressed reader
    KCodecVorbis *vorbis; // source mode 1 Vorbis reader
    int channels;         // 1 or 2
    double rate;          // the reader's rate
    int64_t outStart;     // first output frame of the track
    int64_t outEnd;       // output frame after the track's last
    int started;          // the reader stands at the mixer's position
    int unplaced;         // its seek failed: silent until the next seek or restart places it
    int framesPerBlock;   // track frames per output block
    int fadeLength;       // blocks of a track fade
    int fadeCounter;
    KResampler *resampler; // null when the rates are equal
    int16_t *in;           // read buffer (inCapacity frames)
    int inCapacity;
    int16_t *resampled; // one output block of this track's channels
    // The block being mixed, planned under the project lock and read without it.
    int active;         // the track lies in the block and has an element
    int wantSeek;       // its reader is placed at the block's date before reading
    int seekStatus;     // the element's status when the seek was planned
    int sought;         // the seek was made for this block
    int offset;         // first output frame of the track in the block
    int count;          // output frames of the track in the block
    int last;           // output frame after the track's last in the block
    const int16_t *ready; // the block's samples once read (and heard), else null
    // How the block is summed, taken from the project under its lock.
    double mixGain;
    double mixPair[2];
    double meterGain;     // the track meters' gain and pan pair
    double meterPair[2];
    double meterPan[2];   // the element's own pan factors
    int meterId;          // the element's meter, and its parents' (meterParents of the mixer)
    int meterParentFirst;
    int meterParentCount;
} SOSlot;

typedef struct ESOMixAudioArg {
    SOSlot *slots;  // trackCount slots; null once loading failed
    int sourceMode; // 0 each track's own file, 1 tracks inside a container
    KFile *file;
    int codec;             // container codec (project format code & 0x0fff0000)
    char *name;            // copy of the project name
    KSemaphore *sem;       // posted when the play ended
    int trackCount;        // slots
    int slotCount;         // slots filled by the loading
    int blockBytes;        // 0 until the first block
    int64_t counter;       // block counter
    int frames;            // output frames per block
    KStreamFormat *format; // 16 bits, 2 channels, the output rate
    KProgress *progress;   // sound-card mode only
    int exportMode;
    int32_t *mix;             // the block's sums (frames x 2)
    std::vector<int> meterParents; // the parents' meter ids of every slot summed in the block
    double *eqLeft, *eqRight; // mastering planes (frames)
    // Mastering state: effect states built for this mix, rate and frame count.
    SEqFx *masterLeft, *masterRight;
    char *masterMix;
    double masterRate;
    int masterFrames;
    std::atomic<int> masteringMoved;
    std::atomic<int> masteringLatency; // output frames the mastering delays the stream by
    std::atomic<int64_t> blocksMixed;  // blocks handed to the ring so far
    // Track blocks mixed as silence because their reader could not be placed at the block's date
    // (its seek failed): the track never plays audio from another position.
    std::atomic<int64_t> silencedBlocks;
    // Set with a post of sem when a loop restart asks for a new random selection, which the
    // player thread makes (never the filler: the search would hold up the blocks).
    std::atomic<int> reselect;
} ESOMixAudioArg;

// New mixer state for the project at the output rate (<= 0: the project's, else 44100) and block
// size; null on memory failure. Player thread.
ESOMixAudioArg *init_ESOMixAudioArg(KFile *file, double rate, int frames, int exportMode,
                                    KProgress *progress);
// Closes every reader and frees the state; clears the caller's pointer.
void _delete_Memory(ESOMixAudioArg **mixer);

// The filler's function: clears the buffer and mixes one block into it. Filler thread.
void fillBuffer(uint8_t *buffer, int bytes, void *mixer);
// Mixes one block of bytes / 4 stereo frames into out. Filler thread, not holding the project
// lock: it takes it to decide the block and to weigh its tracks, and reads, sums and masters
// them without it. The first block loads the tracks: their names and paths are taken under the
// lock, their readers opened without it and installed under it again.
void so_mixaudio(ESOMixAudioArg *mixer, uint8_t *out, int bytes);

// Adds one track block into the 32-bit sums with gain x 0.5 and the pan pair; mono or stereo in,
// mono or stereo out (any input into mono folds the channels). Other combinations add nothing.
void k_mixaudio_KInt16(int32_t *out, int outChannels, const int16_t *in, int inChannels,
                       const double pair[2], int frames, double gain);
// The same on float samples and float sums (no truncation).
void k_mixaudio_KFloat(float *out, int outChannels, const float *in, int inChannels,
                       const double pair[2], int frames, double gain);
// Narrows the sums to 16 bits, saturating.
void k_saturate_KInt16(const int32_t *sums, int16_t *out, int n);
// Sums of the squares of each channel of `frames` interleaved stereo frames, exact: what the
// meters of a stereo block are made of.
void sumOfSquaresStereo(const int16_t *samples, int frames, uint64_t *left, uint64_t *right);

// Track loading (under the project lock, readers opened while it is held), reading and seeking
// (filler thread).
int so_sLForeach(ESOMixAudioArg *mixer);
int so_LoadSamplesFromMeskFile(ESOMixAudioArg *mixer, int slot, KTrack *track);
int so_ReadSamplesInMeskFile(ESOMixAudioArg *mixer, int slot, void *buffer, int bytes);
int so_SeekSamplesInMeskFile(ESOMixAudioArg *mixer, int slot, int64_t frame);

// Meters: per ring slot, the master's sums of squares and each element's. init_stats runs on the
// player thread while no filler runs; so_getDataView on any thread.
int init_stats(int slots, int elements);
void clear_stats_buffer(int slot);
void free_stats(void);
int stats_ready(void);
void set_stats_ready(int ready);
double so_getDataView(const char *name, int channel);

// Mastering: 1 when the mix on play has a mastering curve (filler thread).
int so_hasMastering(ESOMixAudioArg *mixer);
// Asks the mixer to reload the mastering curve of the named mix at the next block; GUI thread.
void so_mixEqualMoved(const char *mix);

// The mixer state of the play (null between plays); the player thread sets it.
ESOMixAudioArg *so_currentMixer(void);
void so_setCurrentMixer(ESOMixAudioArg *mixer);

#endif
