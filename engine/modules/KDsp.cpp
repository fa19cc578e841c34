#include "KDsp.h"

#include <cmath>
#include <utility>

namespace {

// log2 n for a power of two n >= 1, else -1.
int powerOfTwo(int n)
{
    if (n < 1 || (n & (n - 1)) != 0)
        return -1;
    int stages = 0;
    while ((1 << stages) < n)
        ++stages;
    return stages;
}

// In-place forward DFT of n = 2^stages complex values: bit-reversal permutation, 2- and 4-point
// butterflies for the first two stages, then twiddles advanced by a complex rotation per stage.
void FFT(std::complex<double> *x, int n, int stages)
{
    for (int i = 1, j = 0; i < n; ++i) {
        int bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    if (stages >= 1) {
        for (int i = 0; i < n; i += 2) {
            const std::complex<double> a = x[i], b = x[i + 1];
            x[i] = a + b;
            x[i + 1] = a - b;
        }
    }
    if (stages >= 2) {
        for (int i = 0; i < n; i += 4) {
            const std::complex<double> a = x[i], b = x[i + 2];
            const std::complex<double> c = x[i + 1];
            const std::complex<double> d(x[i + 3].imag(), -x[i + 3].real()); // x[i+3] x (-i)
            x[i] = a + b;
            x[i + 2] = a - b;
            x[i + 1] = c + d;
            x[i + 3] = c - d;
        }
    }
    for (int half = 4; half < n; half <<= 1) {
        const std::complex<double> step(std::cos(M_PI / half), std::sin(-M_PI / half));
        std::complex<double> twiddle(1.0, 0.0);
        for (int k = 0; k < half; ++k) {
            for (int i = k; i < n; i += 2 * half) {
                const std::complex<double> t = x[i + half] * twiddle;
                x[i + half] = x[i] - t;
                x[i] += t;
            }
            twiddle *= step;
        }
    }
}

// Truncation toward zero, then the 16-bit range: sums never wrap.
inline int16_t saturate16(double v)
{
    if (std::isnan(v))
        return 0;
    const double t = std::trunc(v);
    return t < -32768.0 ? -32768 : t > 32767.0 ? 32767 : static_cast<int16_t>(t);
}

} // namespace

int k_fft_d(std::complex<double> *out, const double *in, int n)
{
    const int stages = powerOfTwo(n);
    if (!out || !in || stages < 0)
        return -1;
    for (int i = 0; i < n; ++i)
        out[i] = std::complex<double>(in[i], 0.0);
    FFT(out, n, stages);
    return stages;
}

int k_fft_i(std::complex<double> *in, double *out, int n)
{
    const int stages = powerOfTwo(n);
    if (!in || !out || stages < 0)
        return -1;
    for (int i = 0; i < n; ++i)
        in[i] = std::conj(in[i]);
    FFT(in, n, stages);
    const double scale = 1.0 / n;
    for (int i = 0; i < n; ++i)
        out[i] = in[i].real() * scale;
    return stages;
}

void convertIntTo2Double(const int16_t *stereo, double *left, double *right, int frames)
{
    if (!stereo || !left || !right)
        return;
    for (int i = 0; i < frames; ++i) {
        left[i] = stereo[2 * i] / 32768.0;
        right[i] = stereo[2 * i + 1] / 32768.0;
    }
}

void convert2DoubleToInt(const double *left, const double *right, int16_t *stereo, int frames)
{
    if (!left || !right || !stereo)
        return;
    for (int i = 0; i < frames; ++i) {
        stereo[2 * i] = saturate16(left[i] * 32768.0);
        stereo[2 * i + 1] = saturate16(right[i] * 32768.0);
    }
}

void convertFloatToInt(const float *in, int16_t *out, int n)
{
    if (!in || !out)
        return;
    for (int i = 0; i < n; ++i)
        out[i] = saturate16(static_cast<double>(in[i]) * 32768.0);
}

void convertDoubleToInt(const double *in, int16_t *out, int n)
{
    if (!in || !out)
        return;
    for (int i = 0; i < n; ++i)
        out[i] = saturate16(in[i] * 32768.0);
}

void convertIntToDouble(const int16_t *in, double *out, int n)
{
    if (!in || !out)
        return;
    for (int i = 0; i < n; ++i)
        out[i] = in[i] / 32768.0;
}
