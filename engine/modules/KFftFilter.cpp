#include "KFftFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "KDsp.h"
#include "tvr_utils.h"

namespace {

struct Shelving {
    double t = 0.0;
    double h0 = 0.0;
    double halfH0 = 0.0;
    double a = 0.0;
};

thread_local Shelving g_shelving;

} // namespace

SfftFilter *k_initFftFilter(const _KEqualization *curve, int bins, double rate)
{
    if (!curve || bins <= 0 || (bins & (bins - 1)) != 0 || bins > (1 << 24) || !(rate >= 0.0) ||
        !std::isfinite(rate)) {
        return nullptr;
    }
    SfftFilter *filter = static_cast<SfftFilter *>(tvr_calloc(1, sizeof(SfftFilter)));
    if (!filter)
        return nullptr;
    const int n = 2 * bins;
    filter->bins = bins;
    filter->amplitudes = static_cast<double *>(tvr_calloc(bins, sizeof(double)));
    filter->window = static_cast<double *>(tvr_calloc(n, sizeof(double)));
    filter->spectrum =
        static_cast<std::complex<double> *>(tvr_calloc(n, sizeof(std::complex<double>)));
    const double high = std::trunc(rate / 2.0 - rate / n);
    _KEqualization *sampled = KEqual_getTotalEqual(curve, 0.0, high, bins);
    if (!filter->amplitudes || !filter->window || !filter->spectrum || !sampled ||
        KEqual_getNbFreq(sampled) != bins) {
        KEqual_delete(&sampled);
        SfftFilter_delete(&filter);
        return nullptr;
    }
    std::printf("AMPL\n");
    for (int k = 0; k < bins; ++k) {
        filter->amplitudes[k] = std::max(0.0, KEqual_getAmplAt(sampled, k));
        std::printf("%f\n", filter->amplitudes[k]);
    }
    std::printf("===\n");
    KEqual_delete(&sampled);
    for (int i = 0; i < bins / 2; ++i)
        filter->window[i] = 1.0;
    return filter;
}

int k_fftFreqFilter(double *block, SfftFilter *filter)
{
    if (!block || !filter)
        return 0;
    const int a = filter->bins, n = 2 * a;
    std::complex<double> *spectrum = filter->spectrum;
    for (int i = 0; i < n; ++i)
        block[i] *= filter->window[i];
    k_fft_d(spectrum, block, n);
    for (int k = 1; k < a; ++k) {
        spectrum[k] *= filter->amplitudes[k];
        spectrum[n - k] = std::conj(spectrum[k]);
    }
    k_fft_i(spectrum, block, n);
    return 1;
}

void SfftFilter_delete(SfftFilter **filter)
{
    if (!filter || !*filter)
        return;
    tvr_free((*filter)->amplitudes);
    tvr_free((*filter)->window);
    tvr_free((*filter)->spectrum);
    tvr_free(*filter);
    *filter = nullptr;
}

void init_fftFilterVar(double rate, double cutoff, double gainDb)
{
    Shelving &s = g_shelving;
    s.t = std::tan(M_PI * cutoff / rate);
    s.h0 = std::pow(10.0, gainDb / 20.0) - 1.0;
    s.halfH0 = s.h0 / 2.0;
    s.a = gainDb > 1.0 ? (s.t - 1.0) / (s.t + 1.0) : (s.t - s.h0) / (s.t + s.h0);
}

double fe_A1(double x)
{
    const double a = g_shelving.a;
    return (1.0 / x + a) / (a / x + 1.0);
}

double fpb_H(double x)
{
    return 1.0 + g_shelving.halfH0 * (1.0 + fe_A1(x));
}

double fph_H(double x)
{
    return 1.0 + g_shelving.halfH0 * (1.0 - fe_A1(x));
}
