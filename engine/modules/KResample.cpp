#include "KResample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

#include "tvr_utils.h"

namespace {

const double kMaxRate = 1.0e7;

bool validRate(double rate)
{
    return rate > 0.0 && rate <= kMaxRate;
}

// Float samples pass through; 16-bit samples are truncated toward zero and kept in range.
template <typename T> T toSample(double value);
template <> float toSample<float>(double value)
{
    return static_cast<float>(value);
}
template <> int16_t toSample<int16_t>(double value)
{
    return static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
}

template <typename T>
T *resampleOnce(double inRate, const T *in, int inFrames, double outRate, int *outFrames,
                int channels, bool ceilCount)
{
    if (!in || !outFrames || inFrames < 1 || !validRate(inRate) || !validRate(outRate) ||
        (channels != 1 && channels != 2)) {
        return nullptr;
    }
    const double count = ceilCount ? std::ceil(inFrames * outRate / inRate)
                                   : std::floor((inFrames - 1) * outRate / inRate + 1.0);
    if (!(count >= 1.0) || count > static_cast<double>(INT_MAX / channels))
        return nullptr;
    const int n = static_cast<int>(count);
    T *out = static_cast<T *>(tvr_calloc(static_cast<size_t>(n) * channels, sizeof(T)));
    if (!out)
        return nullptr;
    const int last = inFrames - 1;
    for (int i = 0; i < n; ++i) {
        const double position = static_cast<double>(i) * inRate / outRate;
        const int j = std::min(static_cast<int>(position), last);
        // The frame after the last one does not exist: hold the last frame.
        const int next = j < last ? j + 1 : last;
        const double fraction = position - j;
        for (int c = 0; c < channels; ++c) {
            const double value = (1.0 - fraction) * in[j * channels + c] +
                                 fraction * in[next * channels + c];
            out[i * channels + c] = toSample<T>(value);
        }
    }
    *outFrames = n;
    return out;
}

// Rate ratio in lowest integer terms (millihertz precision for fractional rates).
void reduceRates(double inRate, double outRate, int64_t &inStep, int64_t &outStep)
{
    const bool integral = inRate == std::floor(inRate) && outRate == std::floor(outRate);
    const double scale = integral ? 1.0 : 1000.0;
    inStep = std::llround(inRate * scale);
    outStep = std::llround(outRate * scale);
    const int64_t divisor = std::gcd(inStep, outStep);
    inStep /= divisor;
    outStep /= divisor;
}

// Output frames the stream has completed once `available` input frames are in: those whose
// position lies strictly before the last available frame.
int64_t completedOutputs(const KResampler *r, int64_t available)
{
    if (available < 1)
        return 0;
    return ((available - 1) * r->outStep + r->inStep - 1) / r->inStep;
}

// Output frames of the whole stream: ceil(consumed x outRate / inRate).
int64_t streamOutputs(const KResampler *r)
{
    return (r->consumed * r->outStep + r->inStep - 1) / r->inStep;
}

template <typename T>
int runResampler(KResampler *r, const T *in, int inFrames, T *out, int64_t count, bool flush)
{
    const int channels = r->channels;
    const int64_t consumed = r->consumed;
    const int64_t available = consumed + inFrames;
    const float inverse = 1.0f / static_cast<float>(r->outStep);
    const int64_t whole = r->inStep / r->outStep, part = r->inStep % r->outStep;
    int64_t j = r->nextIndex, remainder = r->nextRemainder;
    auto sample = [&](int64_t g, int c) -> float {
        if (g >= consumed)
            return static_cast<float>(in[(g - consumed) * channels + c]);
        return r->history[g == consumed - 1 ? 1 : 0][c];
    };
    for (int64_t i = 0; i < count; ++i) {
        const float fraction = static_cast<float>(remainder) * inverse;
        T *frame = out + i * channels;
        if (j + 1 < available && j >= consumed) {
            const T *a = in + (j - consumed) * channels;
            for (int c = 0; c < channels; ++c)
                frame[c] = toSample<T>(a[c] + fraction * (static_cast<float>(a[channels + c]) -
                                                          static_cast<float>(a[c])));
        } else if (j + 1 < available) {
            for (int c = 0; c < channels; ++c) {
                const float a = sample(j, c), b = sample(j + 1, c);
                frame[c] = toSample<T>(a + fraction * (b - a));
            }
        } else if (flush && available > 0) {
            for (int c = 0; c < channels; ++c)
                frame[c] = toSample<T>(sample(available - 1, c));
        }
        j += whole;
        remainder += part;
        if (remainder >= r->outStep) {
            remainder -= r->outStep;
            ++j;
        }
    }
    r->nextIndex = j;
    r->nextRemainder = remainder;
    r->produced += count;
    // Keep the last two input frames for the blocks to come.
    for (int k = 0; k < 2; ++k) {
        const int64_t g = available - 2 + k;
        for (int c = 0; c < channels; ++c)
            r->history[k][c] = g >= 0 ? sample(g, c) : 0.0f;
    }
    r->consumed = available;
    return static_cast<int>(count);
}

template <typename T>
int processStream(KResampler *r, const T *in, int inFrames, T *out, int outCapacity)
{
    if (!r || inFrames < 0 || outCapacity < 0 || (inFrames > 0 && !in) ||
        (outCapacity > 0 && !out)) {
        return -1;
    }
    const int64_t available = r->consumed + inFrames;
    const int64_t ready = completedOutputs(r, available) - r->produced;
    if (ready > outCapacity) {
        // The frames left waiting must still find their input among the two kept frames.
        const int64_t pending = (r->produced + outCapacity) * r->inStep / r->outStep;
        if (pending < available - 2)
            return -1;
    }
    return runResampler(r, in, inFrames, out, std::min<int64_t>(ready, outCapacity), false);
}

template <typename T> int flushStream(KResampler *r, T *out, int outCapacity)
{
    const int frames = KResampler_flushFrames(r);
    if (frames < 0 || outCapacity < frames || (frames > 0 && !out))
        return -1;
    runResampler<T>(r, nullptr, 0, out, frames, true);
    KResampler_reset(r);
    return frames;
}

} // namespace

int16_t *k_resampling_KInt16(double inRate, const int16_t *in, int inFrames, double outRate,
                             int *outFrames, int channels)
{
    return resampleOnce(inRate, in, inFrames, outRate, outFrames, channels, true);
}

float *k_resampling_KFloat(double inRate, const float *in, int inFrames, double outRate,
                           int *outFrames, int channels)
{
    return resampleOnce(inRate, in, inFrames, outRate, outFrames, channels, false);
}

KResampler *KResampler_new(double inRate, double outRate, int channels)
{
    if (!validRate(inRate) || !validRate(outRate) || (channels != 1 && channels != 2))
        return nullptr;
    KResampler *r = static_cast<KResampler *>(tvr_calloc(1, sizeof(KResampler)));
    if (!r)
        return nullptr;
    r->channels = channels;
    reduceRates(inRate, outRate, r->inStep, r->outStep);
    if (r->inStep < 1 || r->outStep < 1) {
        tvr_free(r);
        return nullptr;
    }
    KResampler_reset(r);
    return r;
}

void KResampler_delete(KResampler **resampler)
{
    if (!resampler || !*resampler)
        return;
    tvr_free(*resampler);
    *resampler = nullptr;
}

void KResampler_reset(KResampler *r)
{
    if (!r)
        return;
    r->consumed = r->produced = r->nextIndex = r->nextRemainder = 0;
    for (auto &frame : r->history)
        frame[0] = frame[1] = 0.0f;
}

int KResampler_outputFor(const KResampler *r, int inFrames)
{
    if (!r || inFrames < 0)
        return -1;
    const int64_t ready = completedOutputs(r, r->consumed + inFrames) - r->produced;
    return static_cast<int>(std::min<int64_t>(ready, INT_MAX));
}

int KResampler_inputFor(const KResampler *r, int outFrames)
{
    if (!r || outFrames < 0)
        return -1;
    if (outFrames == 0)
        return 0;
    const int64_t last = r->produced + outFrames - 1;
    const int64_t index = last * r->inStep / r->outStep;
    const int64_t needed = index + 2 - r->consumed;
    return static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(needed, INT_MAX)));
}

int KResampler_process_KFloat(KResampler *r, const float *in, int inFrames, float *out,
                              int outCapacity)
{
    return processStream(r, in, inFrames, out, outCapacity);
}

int KResampler_process_KInt16(KResampler *r, const int16_t *in, int inFrames, int16_t *out,
                              int outCapacity)
{
    return processStream(r, in, inFrames, out, outCapacity);
}

int64_t KResampler_streamFrames(double inRate, double outRate, int64_t inFrames)
{
    if (!validRate(inRate) || !validRate(outRate) || inFrames < 0)
        return -1;
    int64_t inStep = 0, outStep = 0;
    reduceRates(inRate, outRate, inStep, outStep);
    if (inStep < 1 || outStep < 1)
        return -1;
    // 128 bits: a 64-bit frame count times a step of up to 10^10 does not fit in 64.
    const unsigned __int128 frames =
        (static_cast<unsigned __int128>(inFrames) * static_cast<unsigned __int128>(outStep) +
         static_cast<unsigned __int128>(inStep - 1)) /
        static_cast<unsigned __int128>(inStep);
    return frames > static_cast<unsigned __int128>(INT64_MAX) ? -1 : static_cast<int64_t>(frames);
}

int KResampler_flushFrames(const KResampler *r)
{
    if (!r)
        return -1;
    return static_cast<int>(std::min<int64_t>(streamOutputs(r) - r->produced, INT_MAX));
}

int KResampler_flush_KFloat(KResampler *r, float *out, int outCapacity)
{
    return flushStream(r, out, outCapacity);
}

int KResampler_flush_KInt16(KResampler *r, int16_t *out, int outCapacity)
{
    return flushStream(r, out, outCapacity);
}
