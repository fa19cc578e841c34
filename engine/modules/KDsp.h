// The engine's radix-2 FFT and the sample converters between 16-bit samples and planes of
// doubles or floats (the interleaved stereo ones serve the mastering equaliser).
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

// One plane of n samples each way: 16-bit samples of value x 32768 truncated toward zero and
// saturated, or doubles of sample / 32768. Null buffers or n below 1 do nothing.
void convertFloatToInt(const float *in, int16_t *out, int n);
void convertDoubleToInt(const double *in, int16_t *out, int n);
void convertIntToDouble(const int16_t *in, double *out, int n);

#endif
