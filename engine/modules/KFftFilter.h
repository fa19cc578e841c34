// The older frequency filter (a curve applied to one block in the frequency domain, without
// overlap) and the first-order shelving functions of a cut-off and a gain.
//
// Threads: a filter is used by one thread at a time; the shelving setting is per thread.
#ifndef KFFTFILTER_H
#define KFFTFILTER_H

#include <complex>

#include "KEqual.h"

struct SfftFilter {
    int bins;                        // a: half the transform size
    double *amplitudes;              // a values, the curve at 0 .. int(rate / 2 - rate / 2a)
    double *window;                  // 2a values: 1 for the first a / 2, then 0
    std::complex<double> *spectrum;  // 2a work values
};

// A filter of `bins` amplitudes (a power of two) sampled from the curve, negative ones set to 0;
// prints them to the standard output after a line "AMPL" and before a line "===". Null for no
// curve, bins not a power of two, a negative or non-finite rate, or on memory failure.
SfftFilter *k_initFftFilter(const _KEqualization *curve, int bins, double rate);
// Filters a block of 2 x bins doubles in place: window, forward transform, bins 1 .. a - 1
// scaled by their amplitudes and mirrored as conjugates, inverse transform. 1, or 0 for null.
int k_fftFreqFilter(double *block, SfftFilter *filter);
// Frees the filter and clears the pointer; null is ignored.
void SfftFilter_delete(SfftFilter **filter);

// Shelving setting of this thread: t = tan(pi x cutoff / rate), h0 = 10^(gain / 20) - 1 and the
// all-pass coefficient a = (t - 1) / (t + 1) for a gain above 1 dB, else (t - h0) / (t + h0).
void init_fftFilterVar(double rate, double cutoff, double gainDb);
// First-order all-pass at x: (1 / x + a) / (a / x + 1).
double fe_A1(double x);
// Low shelf 1 + h0 / 2 x (1 + fe_A1(x)) and high shelf 1 + h0 / 2 x (1 - fe_A1(x)).
double fpb_H(double x);
double fph_H(double x);

#endif
