// Linear-interpolation resamplers for interleaved mono or stereo samples.
//
// k_resampling_KInt16 and k_resampling_KFloat convert one buffer on its own. A stream cut into
// blocks goes through a KResampler instead: it keeps the interpolation phase and the last input
// frames from block to block, so a long track keeps its exact length and never drifts.
//
// Threads: any; a KResampler is used by one thread at a time. No lock is taken; the process
// and flush calls never allocate.
#ifndef KRESAMPLE_H
#define KRESAMPLE_H

#include <cstdint>

// Output frame i takes the input at position i x inRate / outRate, interpolated between the two
// neighbouring frames; past the last input frame the last frame is held. Each returns a new
// buffer (release with tvr_free) and its frame count in *outFrames, or null for null buffers,
// inFrames < 1, a rate that is not positive and finite, channels other than 1 or 2, or an output
// too large to allocate.
// 16-bit: ceil(inFrames x outRate / inRate) frames, each value truncated toward zero.
int16_t *k_resampling_KInt16(double inRate, const int16_t *in, int inFrames, double outRate,
                             int *outFrames, int channels);
// Float: floor((inFrames - 1) x outRate / inRate + 1) frames.
float *k_resampling_KFloat(double inRate, const float *in, int inFrames, double outRate,
                           int *outFrames, int channels);

// Streaming resampler: after every input frame has gone through process and the stream ended
// with flush, exactly ceil(input frames x outRate / inRate) frames have come out.
typedef struct KResampler {
    int channels;            // 1 or 2
    int64_t inStep, outStep; // inRate / outRate in lowest terms
    int64_t consumed;        // input frames received
    int64_t produced;        // output frames written
    int64_t nextIndex;       // input frame at or before the next output frame's position
    int64_t nextRemainder;   // that position's fraction, in units of 1 / outStep
    float history[2][2];     // input frames consumed - 2 and consumed - 1, per channel
} KResampler;

// Null for a rate that is not positive and finite (or above 10 MHz) or channels other than 1, 2.
KResampler *KResampler_new(double inRate, double outRate, int channels);
void KResampler_delete(KResampler **resampler);
// Back to the start of a new stream with the same rates.
void KResampler_reset(KResampler *resampler);
// Frames the next process call writes from inFrames more input frames when given room for them.
int KResampler_outputFor(const KResampler *resampler, int inFrames);
// Input frames the next process call needs to write outFrames frames (the mixer's pull).
int KResampler_inputFor(const KResampler *resampler, int outFrames);
// Consumes every input frame and writes the output frames they complete, at most outCapacity.
// Push: room for KResampler_outputFor(inFrames) frames; pull: at most
// KResampler_inputFor(outCapacity) input frames. Returns the frames written, or -1 for bad
// arguments or when outCapacity is too small for the input given (input would be lost).
int KResampler_process_KFloat(KResampler *resampler, const float *in, int inFrames, float *out,
                              int outCapacity);
// 16-bit values are truncated toward zero, as by k_resampling_KInt16.
int KResampler_process_KInt16(KResampler *resampler, const int16_t *in, int inFrames,
                              int16_t *out, int outCapacity);
// Frames the flush writes at the end of the stream.
int KResampler_flushFrames(const KResampler *resampler);
// Frames a whole stream of inFrames input frames comes out as, ceil(inFrames x outRate / inRate)
// with the rates taken as KResampler_new takes them; -1 for a rate it refuses or inFrames < 0.
int64_t KResampler_streamFrames(double inRate, double outRate, int64_t inFrames);
// Ends the stream: writes the remaining frames (holding the last input frame) and resets the
// resampler. Returns the frames written, or -1 when outCapacity is below KResampler_flushFrames.
int KResampler_flush_KFloat(KResampler *resampler, float *out, int outCapacity);
int KResampler_flush_KInt16(KResampler *resampler, int16_t *out, int outCapacity);

#endif
