// The older frequency filter and the shelving functions.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "KFftFilter.h"

namespace {

// A filter over a constant curve g scales every bin but 0 Hz and Nyquist by g (0 for a negative
// g), after a window that keeps the first quarter of the block.
TEST(FftFilter, ConstantCurveScalesAllButTheEndBinsOfTheWindowedBlock)
{
    const int bins = 64, n = 2 * bins;
    for (double value : {1.0, 0.5, 3.0, 0.0, -2.0}) {
        const double frequency = 1000.0;
        const double g = value < 0.0 ? 0.0 : value;
        _KEqualization *curve = KEqual_initAmplitudes(&frequency, &value, 1);
        testing::internal::CaptureStdout();
        SfftFilter *filter = k_initFftFilter(curve, bins, 44100.0);
        const std::string printed = testing::internal::GetCapturedStdout();
        ASSERT_NE(filter, nullptr) << g;
        std::string expectedPrint = "AMPL\n";
        char line[64];
        std::snprintf(line, sizeof(line), "%f\n", g);
        for (int k = 0; k < bins; ++k)
            expectedPrint += line;
        EXPECT_EQ(printed, expectedPrint + "===\n");

        std::mt19937 random(7);
        std::uniform_real_distribution<double> sample(-1.0, 1.0);
        std::vector<double> block(n), windowed(n);
        for (int i = 0; i < n; ++i) {
            block[i] = sample(random);
            windowed[i] = i < bins / 2 ? block[i] : 0.0;
        }
        double mean = 0.0, nyquist = 0.0;
        for (int i = 0; i < n; ++i) {
            mean += windowed[i] / n;
            nyquist += (i % 2 ? -windowed[i] : windowed[i]) / n;
        }
        ASSERT_EQ(k_fftFreqFilter(block.data(), filter), 1);
        for (int i = 0; i < n; ++i) {
            const double ends = mean + (i % 2 ? -nyquist : nyquist);
            EXPECT_NEAR(block[i], g * windowed[i] + (1.0 - g) * ends, 1e-12) << g << " " << i;
        }
        SfftFilter_delete(&filter);
        EXPECT_EQ(filter, nullptr);
        KEqual_delete(&curve);
    }
}

TEST(FftFilter, RefusesBadArguments)
{
    _KEqualization *curve = KEqual_new();
    testing::internal::CaptureStdout();
    EXPECT_EQ(k_initFftFilter(nullptr, 64, 44100.0), nullptr);
    EXPECT_EQ(k_initFftFilter(curve, 0, 44100.0), nullptr);
    EXPECT_EQ(k_initFftFilter(curve, -8, 44100.0), nullptr);
    EXPECT_EQ(k_initFftFilter(curve, 48, 44100.0), nullptr); // not a power of two
    EXPECT_EQ(k_initFftFilter(curve, 64, -1.0), nullptr);
    EXPECT_EQ(k_initFftFilter(curve, 64, NAN), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    double block[4] = {};
    EXPECT_EQ(k_fftFreqFilter(block, nullptr), 0);
    SfftFilter_delete(nullptr);
    KEqual_delete(&curve);
}

// The low shelf gives the gain's amplitude at x = 1 and none at x = -1, the high shelf the
// reverse; between them the all-pass follows the boost or the cut coefficient.
TEST(Shelving, ShelvesReachTheGainAtTheirEndAndFollowTheCoefficient)
{
    const double rate = 44100.0, cutoff = 1000.0;
    const double t = std::tan(M_PI * cutoff / rate);
    for (double gainDb : {6.0, -6.0, 0.5, 12.0}) {
        init_fftFilterVar(rate, cutoff, gainDb);
        const double v0 = std::pow(10.0, gainDb / 20.0), h0 = v0 - 1.0;
        EXPECT_NEAR(fpb_H(1.0), v0, 1e-12) << gainDb;
        EXPECT_NEAR(fpb_H(-1.0), 1.0, 1e-12) << gainDb;
        EXPECT_NEAR(fph_H(1.0), 1.0, 1e-12) << gainDb;
        EXPECT_NEAR(fph_H(-1.0), v0, 1e-12) << gainDb;
        const double a = gainDb > 1.0 ? (t - 1.0) / (t + 1.0) : (t - h0) / (t + h0);
        EXPECT_NEAR(fe_A1(2.0), (0.5 + a) / (a / 2.0 + 1.0), 1e-12) << gainDb;
        EXPECT_NEAR(fpb_H(2.0) + fph_H(2.0), 2.0 + h0, 1e-12) << gainDb;
    }
}

} // namespace
