// The engine's radix-2 FFT and the sample converters between interleaved 16-bit stereo and
// two planes of doubles used by the mastering equaliser.
//
// Threads: any; plain functions over the caller's buffers, no lock, no allocation.
#ifndef KDSP_H
#define KDSP_H

#include <complex>
#include <cstdint>

// Forward transform (e^(-2 pi i k n / N)) of n real values into n complex values; n must be a
// power of two. Returns log2 n, or -1 for null buffers or an n that is not a power of two.
int k_fft_d(std::complex<double> *out, const double *in, int n);
// Inverse transform of n complex values (n a power of two); out receives the real parts.
// The input is used as work space and is left conjugated and transformed. Returns log2 n or -1.
int k_fft_i(std::complex<double> *in, double *out, int n);

// Splits interleaved stereo 16-bit samples into two planes of sample / 32768.
void convertIntTo2Double(const int16_t *stereo, double *left, double *right, int frames);
// Merges two planes into interleaved stereo 16-bit samples of value x 32768 truncated toward
// zero, saturated at -32768..32767.
void convert2DoubleToInt(const double *left, const double *right, int16_t *stereo, int frames);

#endif
