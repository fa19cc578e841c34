// FFT, the equaliser effect, the resamplers and the 16-bit converters.
#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "KDsp.h"
#include "KEqFx.h"
#include "KEqual.h"
#include "KResample.h"
#include "tvr_utils.h"

namespace {

using Complex = std::complex<double>;

std::vector<double> randomBlock(int n, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> block(static_cast<size_t>(n));
    for (double &v : block)
        v = value(generator);
    return block;
}

// A curve that is 1.0 everywhere but for a bump at the listed points.
_KEqualization *curveOf(std::vector<double> frequencies, std::vector<double> amplitudes)
{
    return KEqual_initAmplitudes(frequencies.data(), amplitudes.data(),
                                 static_cast<int>(frequencies.size()));
}

// Runs a whole signal through an effect block by block, then flushes it.
std::vector<double> equalizeStream(SEqFx *fx, const std::vector<double> &signal, int n)
{
    std::vector<double> out;
    std::vector<double> block(static_cast<size_t>(n));
    for (size_t start = 0; start < signal.size(); start += n) {
        for (int i = 0; i < n; ++i)
            block[i] = start + i < signal.size() ? signal[start + i] : 0.0;
        EXPECT_EQ(kfx_equalize(fx, block.data()), 1);
        out.insert(out.end(), block.begin(), block.end());
    }
    EXPECT_EQ(kfx_equalize_emptyBuffer(fx, block.data()), 1);
    out.insert(out.end(), block.begin(), block.end());
    return out;
}

} // namespace

// --- FFT ---------------------------------------------------------------------------------------

TEST(Fft, InverseOfForwardGivesTheInputBackForEveryPowerOfTwo)
{
    for (int stages = 0; stages <= 12; ++stages) {
        const int n = 1 << stages;
        const std::vector<double> in = randomBlock(n, static_cast<unsigned>(n));
        std::vector<Complex> spectrum(static_cast<size_t>(n));
        std::vector<double> back(static_cast<size_t>(n));
        ASSERT_EQ(k_fft_d(spectrum.data(), in.data(), n), stages);
        ASSERT_EQ(k_fft_i(spectrum.data(), back.data(), n), stages);
        for (int i = 0; i < n; ++i)
            ASSERT_NEAR(back[i], in[i], 1e-9) << "n=" << n << " i=" << i;
    }
}

TEST(Fft, MatchesTheDefinitionOfTheForwardTransform)
{
    for (int n : {2, 4, 8, 64}) {
        const std::vector<double> in = randomBlock(n, 7);
        std::vector<Complex> spectrum(static_cast<size_t>(n));
        k_fft_d(spectrum.data(), in.data(), n);
        for (int k = 0; k < n; ++k) {
            Complex sum = 0.0;
            for (int t = 0; t < n; ++t)
                sum += in[t] * std::polar(1.0, -2.0 * M_PI * k * t / n);
            EXPECT_NEAR(spectrum[k].real(), sum.real(), 1e-9) << n << " " << k;
            EXPECT_NEAR(spectrum[k].imag(), sum.imag(), 1e-9) << n << " " << k;
        }
    }
    // An impulse has a flat spectrum.
    std::vector<double> impulse(16, 0.0);
    impulse[0] = 1.0;
    std::vector<Complex> spectrum(16);
    k_fft_d(spectrum.data(), impulse.data(), 16);
    for (const Complex &bin : spectrum)
        EXPECT_NEAR(std::abs(bin - Complex(1.0, 0.0)), 0.0, 1e-12);
}

TEST(Fft, RefusesSizesThatAreNotPowersOfTwo)
{
    std::vector<double> in(12, 0.0);
    std::vector<Complex> spectrum(12);
    for (int n : {0, -4, 3, 6, 12})
        EXPECT_EQ(k_fft_d(spectrum.data(), in.data(), n), -1) << n;
    EXPECT_EQ(k_fft_i(spectrum.data(), in.data(), 12), -1);
    EXPECT_EQ(k_fft_d(nullptr, in.data(), 8), -1);
}

// --- Equaliser effect --------------------------------------------------------------------------

TEST(EqualiserEffect, FlatCurveReturnsTheWholeInputDelayedByHalfABlock)
{
    const int n = 256;
    _KEqualization *flat = KEqual_new(); // no points: 1.0 everywhere
    SEqFx *fx = SEqFx_init(44100.0, n, flat);
    ASSERT_NE(fx, nullptr);
    const std::vector<double> signal = randomBlock(5 * n + 77, 3);
    // Twice, to check that the flush leaves the state ready for a new stream.
    for (int run = 0; run < 2; ++run) {
        const std::vector<double> out = equalizeStream(fx, signal, n);
        for (int i = 0; i < n / 2; ++i)
            ASSERT_NEAR(out[i], 0.0, 1e-12) << i;
        for (size_t i = 0; i < signal.size(); ++i)
            ASSERT_NEAR(out[i + n / 2], signal[i], 1e-9) << "run " << run << " i " << i;
        for (size_t i = signal.size() + n / 2; i < out.size(); ++i)
            ASSERT_NEAR(out[i], 0.0, 1e-9) << i;
    }
    SEqFx_delete(&fx);
    EXPECT_EQ(fx, nullptr);
    KEqual_delete(&flat);
}

// A constant curve is an exact gain, also for a DC offset and the Nyquist frequency, and a curve
// of zero silences them: the 0 Hz and Nyquist bins are scaled like the others.
TEST(EqualiserEffect, ConstantCurveScalesDcAndNyquistToo)
{
    const int n = 256;
    std::vector<double> signal(static_cast<size_t>(4 * n));
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] = 0.25 + ((i % 2) ? 0.5 : -0.5); // DC plus a Nyquist tone
    for (double gain : {0.5, 0.0}) {
        _KEqualization *curve = curveOf({20.0, 20000.0}, {gain, gain});
        SEqFx *fx = SEqFx_init(44100.0, n, curve);
        ASSERT_NE(fx, nullptr);
        const std::vector<double> out = equalizeStream(fx, signal, n);
        for (size_t i = n; i < signal.size(); ++i)
            ASSERT_NEAR(out[i + n / 2], gain * signal[i], 1e-9) << gain << " " << i;
        SEqFx_delete(&fx);
        KEqual_delete(&curve);
    }
}

TEST(EqualiserEffect, SineAtABandCentreComesOutWithTheBandGain)
{
    const double rate = 44100.0;
    const int n = 2048;
    struct Band {
        double frequency, gain;
    } bands[] = {{1000.0, 2.0}, {4000.0, 0.5}, {250.0, 1.5}, {10000.0, 0.25}};
    for (const Band &band : bands) {
        _KEqualization *curve = curveOf({band.frequency / 2, band.frequency, band.frequency * 2},
                                        {1.0, band.gain, 1.0});
        SEqFx *fx = SEqFx_init(rate, n, curve);
        ASSERT_NE(fx, nullptr);
        std::vector<double> signal(static_cast<size_t>(8 * n));
        for (size_t i = 0; i < signal.size(); ++i)
            signal[i] = 0.25 * std::sin(2.0 * M_PI * band.frequency * i / rate);
        const std::vector<double> out = equalizeStream(fx, signal, n);
        // Steady state: skip the first two blocks and stop before the end.
        double in2 = 0.0, out2 = 0.0;
        for (size_t i = 2 * n; i < 7 * static_cast<size_t>(n); ++i) {
            in2 += signal[i - n / 2] * signal[i - n / 2];
            out2 += out[i] * out[i];
        }
        const double gainDb = 10.0 * std::log10(out2 / in2);
        EXPECT_NEAR(gainDb, 20.0 * std::log10(band.gain), 0.5) << band.frequency << " Hz";
        SEqFx_delete(&fx);
        KEqual_delete(&curve);
    }
}

TEST(EqualiserEffect, ResetLoadsAnotherCurveAndTheFirstHalfBlockIsSilent)
{
    const int n = 512;
    _KEqualization *loud = curveOf({100.0}, {4.0});   // one point: 4.0 everywhere
    _KEqualization *quiet = curveOf({100.0}, {0.5});
    SEqFx *fx = SEqFx_init(48000.0, n, loud);
    ASSERT_NE(fx, nullptr);
    std::vector<double> block(n);
    for (int i = 0; i < n; ++i)
        block[i] = std::sin(2.0 * M_PI * 1500.0 * i / 48000.0);
    std::vector<double> first(block);
    ASSERT_EQ(kfx_equalize(fx, first.data()), 1);
    for (int i = 0; i < n / 2; ++i)
        ASSERT_EQ(first[i], 0.0) << i;
    for (int i = n / 2; i < n; ++i)
        EXPECT_NEAR(first[i], 4.0 * block[i - n / 2], 1e-6) << i;

    ASSERT_EQ(kfx_resetEqual(fx, quiet), 1);
    for (int round = 0; round < 3; ++round) {
        std::vector<double> next(n);
        for (int i = 0; i < n; ++i)
            next[i] = std::sin(2.0 * M_PI * 1500.0 * (i + (round + 1) * n) / 48000.0);
        ASSERT_EQ(kfx_equalize(fx, next.data()), 1);
        if (round > 0) {
            for (int i = 0; i < n; ++i)
                EXPECT_NEAR(next[i], 0.5 * std::sin(2.0 * M_PI * 1500.0 *
                                                    (i + (round + 1) * n - n / 2) / 48000.0),
                            1e-6);
        }
    }
    EXPECT_EQ(kfx_resetEqual(fx, nullptr), 0);
    EXPECT_EQ(kfx_equalize(nullptr, block.data()), 0);
    EXPECT_EQ(kfx_equalize(fx, nullptr), 0);
    EXPECT_EQ(kfx_equalize_emptyBuffer(fx, nullptr), 0);
    SEqFx_delete(&fx);
    KEqual_delete(&loud);
    KEqual_delete(&quiet);
}

// A stop or a seek flushes the effect; the next stream then comes out exactly as from a new
// state (silent first half block, no input or output held from before), with any curve.
TEST(EqualiserEffect, AfterAFlushANewStreamComesOutAsFromANewState)
{
    const int n = 256;
    _KEqualization *curve = curveOf({200.0, 2000.0, 8000.0}, {0.5, 2.0, 0.25});
    SEqFx *used = SEqFx_init(44100.0, n, curve);
    SEqFx *fresh = SEqFx_init(44100.0, n, curve);
    ASSERT_NE(used, nullptr);
    ASSERT_NE(fresh, nullptr);
    equalizeStream(used, randomBlock(4 * n, 5), n); // ends on a whole block of sound
    const std::vector<double> signal = randomBlock(4 * n, 6);
    const std::vector<double> out = equalizeStream(used, signal, n);
    const std::vector<double> expected = equalizeStream(fresh, signal, n);
    ASSERT_EQ(expected.size(), out.size());
    for (int i = 0; i < n / 2; ++i)
        ASSERT_EQ(out[i], 0.0) << i;
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_NEAR(out[i], expected[i], 1e-12) << i;
    SEqFx_delete(&used);
    SEqFx_delete(&fresh);
    KEqual_delete(&curve);
}

TEST(EqualiserEffect, RefusesBadArguments)
{
    _KEqualization *curve = KEqual_new();
    EXPECT_EQ(SEqFx_init(0.0, 1024, curve), nullptr);
    EXPECT_EQ(SEqFx_init(-44100.0, 1024, curve), nullptr);
    EXPECT_EQ(SEqFx_init(NAN, 1024, curve), nullptr);
    EXPECT_EQ(SEqFx_init(44100.0, 1000, curve), nullptr); // not a power of two
    EXPECT_EQ(SEqFx_init(44100.0, 0, curve), nullptr);
    EXPECT_EQ(SEqFx_init(44100.0, 1, curve), nullptr);
    EXPECT_EQ(SEqFx_init(44100.0, 1024, nullptr), nullptr);
    SEqFx_delete(nullptr);
    KEqual_delete(&curve);
}

// --- Resampling --------------------------------------------------------------------------------

TEST(Resampling, OutputCountsAndValuesFollowTheRateRatio)
{
    struct Case {
        double inRate, outRate;
        int inFrames, int16Frames, floatFrames;
    } cases[] = {
        {22050, 44100, 2, 4, 3},
        {44100, 48000, 2048, 2230, 2229},
        {48000, 44100, 1024, 941, 940},
        {44100, 44100, 5, 5, 5},
        {8000, 16000, 1, 2, 1},
    };
    for (const Case &c : cases) {
        for (int channels : {1, 2}) {
            // Exactly sized heap buffers: AddressSanitizer reports any read past the input.
            std::vector<int16_t> in16(static_cast<size_t>(c.inFrames) * channels);
            std::vector<float> inF(in16.size());
            for (size_t i = 0; i < in16.size(); ++i) {
                in16[i] = static_cast<int16_t>((i * 7919) % 20000 - 10000);
                inF[i] = in16[i] / 32768.0f;
            }
            int frames16 = -1, framesF = -1;
            int16_t *out16 = k_resampling_KInt16(c.inRate, in16.data(), c.inFrames, c.outRate,
                                                 &frames16, channels);
            float *outF = k_resampling_KFloat(c.inRate, inF.data(), c.inFrames, c.outRate,
                                              &framesF, channels);
            ASSERT_NE(out16, nullptr);
            ASSERT_NE(outF, nullptr);
            EXPECT_EQ(frames16, c.int16Frames) << c.inRate << "->" << c.outRate;
            EXPECT_EQ(framesF, c.floatFrames) << c.inRate << "->" << c.outRate;
            // Output frames at integer input positions are the input frames.
            for (int i = 0; i < framesF; ++i) {
                const double position = i * c.inRate / c.outRate;
                if (position != std::floor(position))
                    continue;
                for (int ch = 0; ch < channels; ++ch) {
                    const size_t at = static_cast<size_t>(position) * channels + ch;
                    EXPECT_EQ(out16[i * channels + ch], in16[at]);
                    EXPECT_FLOAT_EQ(outF[i * channels + ch], inF[at]);
                }
            }
            // The last output frame lies past the last input frame, which is held.
            for (int ch = 0; ch < channels; ++ch)
                EXPECT_EQ(out16[(frames16 - 1) * channels + ch],
                          in16[(c.inFrames - 1) * channels + ch]);
            tvr_free(out16);
            tvr_free(outF);
        }
    }
}

TEST(Resampling, RefusesWhatCannotBeResampled)
{
    const int16_t in16[6] = {};
    const float inF[6] = {};
    int frames = 77;
    EXPECT_EQ(k_resampling_KInt16(44100, in16, 2, 48000, &frames, 3), nullptr);
    EXPECT_EQ(k_resampling_KFloat(44100, inF, 2, 48000, &frames, 0), nullptr);
    EXPECT_EQ(k_resampling_KInt16(44100, in16, 0, 48000, &frames, 1), nullptr);
    EXPECT_EQ(k_resampling_KFloat(44100, inF, 0, 48000, &frames, 1), nullptr);
    EXPECT_EQ(k_resampling_KInt16(0, in16, 2, 48000, &frames, 1), nullptr);
    EXPECT_EQ(k_resampling_KFloat(44100, inF, 2, 0, &frames, 1), nullptr);
    EXPECT_EQ(k_resampling_KFloat(-1, inF, 2, 44100, &frames, 1), nullptr);
    EXPECT_EQ(k_resampling_KFloat(NAN, inF, 2, 44100, &frames, 1), nullptr);
    const std::vector<float> many(1000, 0.0f); // 1000 frames at 1 Hz to 10 MHz: too many frames
    EXPECT_EQ(k_resampling_KFloat(1, many.data(), 1000, 1e7, &frames, 1), nullptr);
    EXPECT_EQ(frames, 77);
    EXPECT_EQ(k_resampling_KInt16(44100, nullptr, 2, 48000, &frames, 1), nullptr);
    EXPECT_EQ(KResampler_new(0, 44100, 2), nullptr);
    EXPECT_EQ(KResampler_new(44100, 44100, 3), nullptr);
    EXPECT_EQ(KResampler_streamFrames(0, 44100, 10), -1);
    EXPECT_EQ(KResampler_streamFrames(44100, NAN, 10), -1);
    EXPECT_EQ(KResampler_streamFrames(44100, 48000, -1), -1);
    // Counts whose product with the rate step passes 64 bits still come out exact, and a count
    // that itself does not fit is refused.
    EXPECT_EQ(KResampler_streamFrames(48000, 44100, int64_t(160) << 55), int64_t(147) << 55);
    EXPECT_EQ(KResampler_streamFrames(1, 1e7, int64_t(1) << 40), -1);
}

TEST(StreamingResampler, BlocksGiveTheSameFramesAsOneBuffer)
{
    const int frames = 9000;
    std::vector<float> in(2 * frames);
    for (int i = 0; i < frames; ++i) {
        in[2 * i] = std::sin(i * 0.01f);
        in[2 * i + 1] = std::cos(i * 0.013f);
    }
    for (auto rates : {std::pair<double, double>{48000, 44100}, {44100, 48000}, {22050, 44100},
                       {44100, 44100}, {44100.5, 32000}}) {
        int wholeFrames = 0;
        float *whole =
            k_resampling_KFloat(rates.first, in.data(), frames, rates.second, &wholeFrames, 2);
        ASSERT_NE(whole, nullptr);
        KResampler *r = KResampler_new(rates.first, rates.second, 2);
        ASSERT_NE(r, nullptr);
        std::mt19937 generator(5);
        std::uniform_int_distribution<int> size(0, 700);
        std::vector<float> out;
        for (int start = 0; start < frames;) {
            const int n = std::min(frames - start, size(generator));
            std::vector<float> block(2 * static_cast<size_t>(KResampler_outputFor(r, n)));
            const int got = KResampler_process_KFloat(r, in.data() + 2 * start, n, block.data(),
                                                      KResampler_outputFor(r, n));
            ASSERT_EQ(got, static_cast<int>(block.size() / 2));
            out.insert(out.end(), block.begin(), block.end());
            start += n;
        }
        std::vector<float> tail(2 * static_cast<size_t>(KResampler_flushFrames(r)));
        ASSERT_EQ(KResampler_flush_KFloat(r, tail.data(), static_cast<int>(tail.size() / 2)),
                  static_cast<int>(tail.size() / 2));
        out.insert(out.end(), tail.begin(), tail.end());
        // ceil(frames x out / in) frames in all; the one-buffer variant stops at the last input.
        const int expected = static_cast<int>(std::ceil(frames * rates.second / rates.first));
        EXPECT_EQ(static_cast<int>(out.size() / 2), expected) << rates.first;
        EXPECT_EQ(KResampler_streamFrames(rates.first, rates.second, frames),
                  static_cast<int64_t>(out.size() / 2))
            << rates.first;
        ASSERT_LE(wholeFrames, expected);
        for (int i = 0; i < 2 * wholeFrames; ++i)
            ASSERT_NEAR(out[i], whole[i], 2e-5) << rates.first << " sample " << i;
        tvr_free(whole);
        KResampler_delete(&r);
        EXPECT_EQ(r, nullptr);
    }
}

TEST(StreamingResampler, FiveMinutesAt48kHzBecomeExactly44100HzLongWithoutDrift)
{
    const double inRate = 48000, outRate = 44100, frequency = 997.0;
    const int64_t inFrames = 5 * 60 * 48000;
    KResampler *r = KResampler_new(inRate, outRate, 1);
    ASSERT_NE(r, nullptr);
    std::vector<float> in(1024), out(1024);
    int64_t consumed = 0, produced = 0;
    double worst = 0.0;
    auto check = [&](const float *frames, int count) {
        for (int i = 0; i < count; ++i, ++produced) {
            const double want = std::sin(2.0 * M_PI * frequency * produced / outRate);
            worst = std::max(worst, std::fabs(frames[i] - want));
        }
    };
    while (consumed < inFrames) {
        const int n = static_cast<int>(std::min<int64_t>(1024, inFrames - consumed));
        for (int i = 0; i < n; ++i)
            in[i] = static_cast<float>(std::sin(2.0 * M_PI * frequency * (consumed + i) / inRate));
        const int got = KResampler_process_KFloat(r, in.data(), n, out.data(), 1024);
        ASSERT_GE(got, 0);
        check(out.data(), got);
        consumed += n;
    }
    // Before the flush every frame whose position lies inside the input came out.
    const int rest = KResampler_flush_KFloat(r, out.data(), 1024);
    ASSERT_GE(rest, 0);
    check(out.data(), rest);
    EXPECT_EQ(produced, 5 * 60 * 44100);
    // Linear interpolation of a 1 kHz sine at 48 kHz errs by about 1e-3 at most: a drift of even
    // one frame would show as an error near 0.13 by the end.
    EXPECT_LT(worst, 3e-3);
    KResampler_delete(&r);
}

TEST(StreamingResampler, PullGivesWholeOutputBlocksForTheMixer)
{
    // The mixer asks for 2048 output frames per block of a 16-bit stereo track at 44.1 kHz
    // played at 48 kHz, and reads exactly the input frames the resampler needs.
    KResampler *r = KResampler_new(44100, 48000, 2);
    ASSERT_NE(r, nullptr);
    int64_t read = 0;
    std::vector<int16_t> out(2 * 2048);
    for (int block = 0; block < 200; ++block) {
        const int need = KResampler_inputFor(r, 2048);
        ASSERT_GE(need, 0);
        std::vector<int16_t> in(2 * static_cast<size_t>(need)); // exactly sized
        for (int i = 0; i < need; ++i)
            in[2 * i] = in[2 * i + 1] = static_cast<int16_t>(((read + i) * 13) % 30000 - 15000);
        ASSERT_EQ(KResampler_process_KInt16(r, in.data(), need, out.data(), 2048), 2048);
        read += need;
        // Output frame k of the stream sits at input position k x 44100 / 48000.
        const int64_t k = static_cast<int64_t>(block) * 2048;
        if ((k * 44100) % 48000 == 0) {
            const int64_t at = k * 44100 / 48000;
            EXPECT_EQ(out[0], static_cast<int16_t>((at * 13) % 30000 - 15000)) << block;
        }
    }
    // 200 blocks of 2048 frames at 48 kHz need ceil(409600 x 44100 / 48000) + 1 input frames.
    EXPECT_NEAR(static_cast<double>(read), 409600.0 * 44100 / 48000, 2.0);
    // Too much input for the room given would lose frames: refused.
    std::vector<int16_t> big(2 * 5000);
    EXPECT_EQ(KResampler_process_KInt16(r, big.data(), 5000, out.data(), 2048), -1);
    KResampler_delete(&r);
}

// Values between two samples are truncated toward zero in both 16-bit resamplers.
TEST(StreamingResampler, SixteenBitValuesAreTruncatedLikeTheOneShotResampler)
{
    const int16_t in[] = {1, 2, -3, -2, 7, 8, 8};
    int oneShotFrames = 0;
    int16_t *oneShot = k_resampling_KInt16(22050, in, 7, 44100, &oneShotFrames, 1);
    ASSERT_NE(oneShot, nullptr);
    KResampler *r = KResampler_new(22050, 44100, 1);
    ASSERT_NE(r, nullptr);
    int16_t out[32] = {};
    const int made = KResampler_process_KInt16(r, in, 7, out, 32);
    ASSERT_GE(made, 6);
    const int16_t expected[] = {1, 1, 2, -0, -3, -2, -2, 2, 7, 7, 8, 8};
    for (int i = 0; i < made && i < 12; ++i) {
        EXPECT_EQ(out[i], expected[i]) << i;
        EXPECT_EQ(out[i], oneShot[i]) << i;
    }
    tvr_free(oneShot);
    KResampler_delete(&r);
}

// --- 16-bit converters -------------------------------------------------------------------------

TEST(SampleConverters, SplitAndMergeWithSaturation)
{
    const int16_t stereo[] = {16384, -32768, 32767, 0};
    double left[2], right[2];
    convertIntTo2Double(stereo, left, right, 2);
    EXPECT_DOUBLE_EQ(left[0], 0.5);
    EXPECT_DOUBLE_EQ(right[0], -1.0);
    EXPECT_DOUBLE_EQ(left[1], 32767.0 / 32768.0);
    EXPECT_DOUBLE_EQ(right[1], 0.0);

    const double l[] = {0.5, 1.0, -1.0, 3.0, -0.99999, NAN};
    const double r[] = {-0.5, 2.0, -2.0, -1e9, 0.00002, 0.0};
    int16_t merged[12];
    convert2DoubleToInt(l, r, merged, 6);
    const int16_t expected[] = {16384, -16384, 32767, 32767, -32768, -32768,
                                32767, -32768, -32767, 0, 0, 0};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(merged[i], expected[i]) << i;

    // One plane each way, the same rule: truncation toward zero, then saturation.
    const double values[] = {0.5, -0.5, 1.0, -1.0, 3.0, -0.99999, 0.00002, NAN};
    const int16_t plane[] = {16384, -16384, 32767, -32768, 32767, -32767, 0, 0};
    float asFloats[8];
    int16_t fromDoubles[8], fromFloats[8];
    for (int i = 0; i < 8; ++i)
        asFloats[i] = static_cast<float>(values[i]);
    convertDoubleToInt(values, fromDoubles, 8);
    convertFloatToInt(asFloats, fromFloats, 8);
    double back[8];
    convertIntToDouble(plane, back, 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(fromDoubles[i], plane[i]) << i;
        EXPECT_EQ(fromFloats[i], plane[i]) << i;
        EXPECT_DOUBLE_EQ(back[i], plane[i] / 32768.0) << i;
    }
}
