#include "KEqFx.h"

#include <algorithm>
#include <cmath>

#include "KDsp.h"
#include "tvr_utils.h"

namespace {

// The curve at the bin frequencies k x rate / N, k = 0 .. N/2 - 1, sampled under one lock.
bool sampleCurve(const _KEqualization *curve, double rate, int frames, double *amplitudes)
{
    const int bins = frames / 2;
    _KEqualization *sampled =
        KEqual_getTotalEqual(curve, 0.0, rate / 2.0 - rate / frames, bins);
    if (!sampled || KEqual_getNbFreq(sampled) != bins) {
        KEqual_delete(&sampled);
        return false;
    }
    for (int k = 0; k < bins; ++k)
        amplitudes[k] = KEqual_getAmplAt(sampled, k);
    KEqual_delete(&sampled);
    return true;
}

// Windows the work buffer, scales each bin by the curve (keeping the spectrum conjugate
// symmetric so the result is real) and transforms it back into the work buffer. The 0 Hz and
// Nyquist bins are scaled too (by the nearest sampled amplitude), so that a constant curve is an
// exact gain.
void computeEq(SEqFx *state)
{
    const int n = state->frames;
    double *work = state->work;
    std::complex<double> *spectrum = state->spectrum;
    for (int i = 0; i < n; ++i)
        work[i] *= state->window[i];
    k_fft_d(spectrum, work, n);
    spectrum[0] *= state->amplitudes[0];
    spectrum[n / 2] *= state->amplitudes[n / 2 - 1];
    for (int k = 1; k < n / 2; ++k) {
        spectrum[k] *= state->amplitudes[k];
        spectrum[n - k] = std::conj(spectrum[k]);
    }
    k_fft_i(spectrum, work, n);
}

} // namespace

SEqFx *SEqFx_init(double rate, int frames, const _KEqualization *curve)
{
    if (!curve || !(rate > 0.0) || !std::isfinite(rate) || frames < 2 ||
        (frames & (frames - 1)) != 0) {
        return nullptr;
    }
    SEqFx *state = static_cast<SEqFx *>(tvr_calloc(1, sizeof(SEqFx)));
    if (!state)
        return nullptr;
    const size_t n = static_cast<size_t>(frames);
    state->frames = frames;
    state->rate = rate;
    state->input = static_cast<double *>(tvr_calloc(n, sizeof(double)));
    state->history = static_cast<double *>(tvr_calloc(n / 2, sizeof(double)));
    state->tail = static_cast<double *>(tvr_calloc(n / 2, sizeof(double)));
    state->amplitudes = static_cast<double *>(tvr_calloc(n / 2, sizeof(double)));
    state->window = static_cast<double *>(tvr_calloc(n, sizeof(double)));
    state->work = static_cast<double *>(tvr_calloc(n, sizeof(double)));
    state->spectrum =
        static_cast<std::complex<double> *>(tvr_calloc(n, sizeof(std::complex<double>)));
    if (!state->input || !state->history || !state->tail || !state->amplitudes ||
        !state->window || !state->work || !state->spectrum ||
        !sampleCurve(curve, rate, frames, state->amplitudes)) {
        SEqFx_delete(&state);
        return nullptr;
    }
    for (int i = 0; i < frames; ++i)
        state->window[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / frames);
    return state;
}

void SEqFx_delete(SEqFx **state)
{
    if (!state || !*state)
        return;
    SEqFx *s = *state;
    tvr_free(s->input);
    tvr_free(s->history);
    tvr_free(s->tail);
    tvr_free(s->amplitudes);
    tvr_free(s->window);
    tvr_free(s->work);
    tvr_free(s->spectrum);
    tvr_free(s);
    *state = nullptr;
}

int kfx_resetEqual(SEqFx *state, const _KEqualization *curve)
{
    if (!state || !curve)
        return 0;
    const int bins = state->frames / 2;
    double *fresh = static_cast<double *>(tvr_calloc(static_cast<size_t>(bins), sizeof(double)));
    if (!fresh || !sampleCurve(curve, state->rate, state->frames, fresh)) {
        tvr_free(fresh);
        return 0;
    }
    std::copy(fresh, fresh + bins, state->amplitudes);
    tvr_free(fresh);
    return 1;
}

int kfx_equalize(SEqFx *state, double *block)
{
    if (!state || !block)
        return 0;
    const int n = state->frames, h = n / 2;
    std::copy(block, block + n, state->input);

    // Frame straddling the previous block and this one.
    std::copy(state->history, state->history + h, state->work);
    std::copy(state->input, state->input + h, state->work + h);
    computeEq(state);
    std::copy(state->work, state->work + n, block);
    if (state->held == 0) // nothing was played before this block
        std::fill(block, block + h, 0.0);
    for (int i = 0; i < h; ++i)
        block[i] += state->tail[i];

    // Frame of this block.
    std::copy(state->input, state->input + n, state->work);
    computeEq(state);
    for (int i = 0; i < h; ++i)
        block[h + i] += state->work[i];
    std::copy(state->work + h, state->work + n, state->tail);
    std::copy(state->input + h, state->input + n, state->history);
    state->held = h;
    return 1;
}

int kfx_equalize_emptyBuffer(SEqFx *state, double *block)
{
    if (!state || !block)
        return 0;
    const int n = state->frames, h = n / 2;
    if (state->held == 0) {
        std::fill(block, block + n, 0.0);
    } else {
        // Last frame: the held input followed by silence, added to the held output.
        std::copy(state->history, state->history + h, state->work);
        std::fill(state->work + h, state->work + n, 0.0);
        computeEq(state);
        for (int i = 0; i < h; ++i)
            block[i] = state->work[i] + state->tail[i];
        std::copy(state->work + h, state->work + n, block + h);
    }
    std::fill(state->history, state->history + h, 0.0);
    std::fill(state->tail, state->tail + h, 0.0);
    state->held = 0;
    return 1;
}
