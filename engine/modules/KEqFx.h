// The equaliser effect: applies an equaliser curve to a stream of blocks of one channel by
// overlap-add in the frequency domain (periodic Hann window, 50 % overlap). The output lags the
// input by half a block; with a flat curve it is the input delayed by exactly N/2 samples.
//
// Threads: the buffer-filling thread (the mixer's mastering) owns a state; the curve is sampled
// under its own lock. kfx_equalize and kfx_equalize_emptyBuffer never allocate.
#ifndef KEQFX_H
#define KEQFX_H

#include <complex>

#include "KEqual.h"

typedef struct SEqFx {
    int frames;                       // N, the block length: a power of two
    double rate;                      // sample rate in Hz
    int held;                         // samples held over from the previous call: 0 or N/2
    double *input;                    // copy of the block's input (N)
    double *history;                  // second half of the previous input (N/2)
    double *tail;                     // second half of the previous output frame (N/2)
    double *amplitudes;               // the curve at each bin frequency k x rate / N (N/2)
    double *window;                   // periodic Hann window (N)
    double *work;                     // real work buffer (N)
    std::complex<double> *spectrum;   // complex work buffer (N)
} SEqFx;

// New state for blocks of frames samples at rate; null for rate <= 0, frames not a power of two
// (or below 2), a null curve, or a memory or sampling failure.
SEqFx *SEqFx_init(double rate, int frames, const _KEqualization *curve);
// Frees the state and clears the pointer.
void SEqFx_delete(SEqFx **state);
// Reloads the amplitudes from another curve, keeping the stream's state; 1, or 0 when the curve
// cannot be sampled (the old amplitudes then stay).
int kfx_resetEqual(SEqFx *state, const _KEqualization *curve);
// Equalises one block of N samples in place; 1, or 0 for a null state or block.
int kfx_equalize(SEqFx *state, double *block);
// Writes the held-over output (and the filter's decay) into a block of N samples and resets the
// stream; 1, or 0 for a null state or block.
int kfx_equalize_emptyBuffer(SEqFx *state, double *block);

#endif
