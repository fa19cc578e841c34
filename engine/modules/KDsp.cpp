#include "KDsp.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// The twiddles of every stage whose butterflies span `half` points, for half = 4, 8, ... below
// `n`: stage `half` holds its `half` values from index half - 4, each the previous one times the
// stage's rotation, as the transform has always advanced them (so results keep every bit). Built
// once per thread for the largest size asked.
const std::complex<double> *twiddles(int n)
{
    thread_local std::vector<std::complex<double>> table;
    thread_local int size = 0;
    if (n > size) {
        table.assign(static_cast<size_t>(std::max(0, n - 4)), std::complex<double>());
        for (int half = 4; half < n; half <<= 1) {
            const std::complex<double> step(std::cos(M_PI / half), std::sin(-M_PI / half));
            std::complex<double> twiddle(1.0, 0.0);
            std::complex<double> *stage = table.data() + (half - 4);
            for (int k = 0; k < half; ++k) {
                stage[k] = twiddle;
                twiddle *= step;
            }
        }
        size = n;
    }
    return table.data();
}

// In-place forward DFT of n = 2^stages complex values: bit-reversal permutation, 2- and 4-point
// butterflies for the first two stages, then the stages with their stored twiddles.
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
    if (n <= 4)
        return;
    const std::complex<double> *table = twiddles(n);
    double *v = reinterpret_cast<double *>(x);
    for (int half = 4; half < n; half <<= 1) {
        const double *w = reinterpret_cast<const double *>(table + (half - 4));
        for (int start = 0; start < n; start += 2 * half) {
            double *a = v + 2 * start, *b = v + 2 * (start + half);
#ifdef __SSE2__
            // Two lanes (real, imaginary): t = b x (wr, wr) + (bi, br) x (-wi, wi), the same
            // products and sums as below, the subtraction made as the sum of a negated product.
            const __m128d sign = _mm_set_pd(0.0, -0.0);
            for (int k = 0; k < half; ++k) {
                const __m128d bv = _mm_loadu_pd(b + 2 * k);
                const __m128d wv = _mm_loadu_pd(w + 2 * k);
                const __m128d wr = _mm_unpacklo_pd(wv, wv);
                const __m128d wi = _mm_xor_pd(_mm_unpackhi_pd(wv, wv), sign);
                const __m128d swapped = _mm_shuffle_pd(bv, bv, 1);
                const __m128d t = _mm_add_pd(_mm_mul_pd(bv, wr), _mm_mul_pd(swapped, wi));
                const __m128d av = _mm_loadu_pd(a + 2 * k);
                _mm_storeu_pd(b + 2 * k, _mm_sub_pd(av, t));
                _mm_storeu_pd(a + 2 * k, _mm_add_pd(av, t));
            }
#else
            for (int k = 0; k < half; ++k) {
                // t = b x twiddle on finite values, as the complex product gives it.
                const double br = b[2 * k], bi = b[2 * k + 1];
                const double wr = w[2 * k], wi = w[2 * k + 1];
                const double tr = br * wr - bi * wi, ti = br * wi + bi * wr;
                const double ar = a[2 * k], ai = a[2 * k + 1];
                b[2 * k] = ar - tr;
                b[2 * k + 1] = ai - ti;
                a[2 * k] = ar + tr;
                a[2 * k + 1] = ai + ti;
            }
#endif
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
