// Reading audio files of every format, channel folding, and the two converters.
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AudioFixtures.h"
#include "KAudioConvert.h"
#include "KAudioFile.h"
#include "KTypes.h"
#include "tvr_utils.h"

using fixtures::FileFormat;
using fixtures::TempDir;

namespace {

const int kRate = 44100;
const int kFrames = 44100;

// Left a 1 kHz sine at 0.5, right a 250 Hz sine at 0.25, so the channels can be told apart.
std::vector<float> testSignal(int channels, int frames = kFrames)
{
    const std::vector<float> left = fixtures::sine(frames, kRate, 1000.0, 0.5);
    if (channels == 1)
        return left;
    return fixtures::interleave(left, fixtures::sine(frames, kRate, 250.0, 0.25));
}

std::vector<float> readAllFloat(KAudioFile *file, int channels)
{
    std::vector<float> all;
    std::vector<float> block(static_cast<size_t>(channels) * 1000);
    int got;
    while ((got = readKAudioSamples_float(file, block.data(), 1000)) > 0)
        all.insert(all.end(), block.begin(), block.begin() + got * channels);
    EXPECT_EQ(got, 0);
    return all;
}

double maxError(const std::vector<float> &a, const std::vector<float> &b, size_t from = 0)
{
    double worst = 0.0;
    for (size_t i = from; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::fabs(static_cast<double>(a[i]) - b[i]));
    return worst;
}

struct FormatCase {
    FileFormat format;
    int channels;
};

class ReadEveryFormat : public testing::TestWithParam<FormatCase> {};

std::vector<FormatCase> formatCases()
{
    std::vector<FormatCase> cases;
    for (const FileFormat &format : fixtures::allFormats())
        for (int channels : {1, 2})
            cases.push_back({format, channels});
    return cases;
}

} // namespace

TEST_P(ReadEveryFormat, ReportsStreamFormatAndReadsTheSamplesBack)
{
    const FormatCase param = GetParam();
    TempDir dir;
    const std::vector<float> written = testSignal(param.channels);
    const std::string path = fixtures::writeAudio(
        dir.file(std::string("signal.") + param.format.extension), param.format.sfFormat, kRate,
        param.channels, written);
    const bool vorbis = std::strcmp(param.format.extension, "ogg") == 0;

    KStreamFormat *format = KStreamFormat_new();
    int frames = -1;
    KAudioFile *file = openKAudioFile(path.c_str(), format, &frames);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(frames, kFrames);
    EXPECT_EQ(file->frames, kFrames);
    EXPECT_EQ(format->channels, param.channels);
    EXPECT_DOUBLE_EQ(format->rate, kRate);
    EXPECT_EQ(format->code, vorbis ? KAUDIOFMT_VORBIS : param.format.sfFormat);
    EXPECT_EQ(format->bits, vorbis ? 16 : KAudioFmt_getNumberBits(param.format.sfFormat));
    EXPECT_EQ(file->type, k_getAudioType(path.c_str()));

    const std::vector<float> read = readAllFloat(file, param.channels);
    ASSERT_EQ(read.size(), written.size());
    for (float v : read)
        ASSERT_TRUE(v >= -1.0f && v <= 1.0f);
    // Vorbis is lossy: skip its start-up and compare the level of each channel.
    if (vorbis) {
        for (int c = 0; c < param.channels; ++c) {
            const double want = fixtures::rms(written, param.channels, c, 4096, kFrames);
            const double got = fixtures::rms(read, param.channels, c, 4096, kFrames);
            EXPECT_NEAR(20 * std::log10(got / want), 0.0, 1.0) << "channel " << c;
        }
        EXPECT_LT(maxError(read, written, 4096 * param.channels), param.format.tolerance);
    } else {
        EXPECT_LE(maxError(read, written), param.format.tolerance);
    }

    // The 16-bit path returns the same signal in bytes of whole frames.
    ASSERT_EQ(seekKAudioSamples(file, 0), 1);
    std::vector<int16_t> pcm(static_cast<size_t>(kFrames) * param.channels);
    int bytes = 0, got;
    while ((got = readKAudioSamples(file, reinterpret_cast<char *>(pcm.data()) + bytes,
                                    static_cast<int>(pcm.size() * 2) - bytes)) > 0) {
        EXPECT_EQ(got % (2 * param.channels), 0);
        bytes += got;
        if (bytes == static_cast<int>(pcm.size() * 2))
            break;
    }
    EXPECT_EQ(bytes, kFrames * 2 * param.channels);
    for (size_t i = 4096 * param.channels; i < pcm.size(); i += 97)
        EXPECT_NEAR(pcm[i] / 32768.0, read[i], vorbis ? 2e-3 : 2.0 / 32768) << i;

    closeKAudioReading(&file);
    EXPECT_EQ(file, nullptr);
    KStreamFormat_delete(&format);
}

INSTANTIATE_TEST_SUITE_P(Formats, ReadEveryFormat, testing::ValuesIn(formatCases()),
                         [](const testing::TestParamInfo<FormatCase> &info) {
                             return std::string(info.param.format.name) + "_" +
                                    std::to_string(info.param.channels) + "ch";
                         });

TEST(AudioRead, SeekMovesTheNextReadToTheFrame)
{
    TempDir dir;
    const std::vector<float> written = testSignal(2);
    for (const char *name : {"seek.wav", "seek.ogg"}) {
        const bool vorbis = std::strstr(name, ".ogg") != nullptr;
        const std::string path = fixtures::writeAudio(
            dir.file(name),
            vorbis ? SF_FORMAT_OGG | SF_FORMAT_VORBIS : SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRate, 2,
            written);
        KAudioFile *file = openKAudioFile(path.c_str(), nullptr, nullptr);
        ASSERT_NE(file, nullptr) << name;
        ASSERT_EQ(seekKAudioSamples(file, 30000), 1) << name;
        std::vector<float> block(2 * 100);
        ASSERT_EQ(readKAudioSamples_float(file, block.data(), 100), 100);
        for (int i = 0; i < 200; ++i)
            EXPECT_NEAR(block[i], written[60000 + i], vorbis ? 0.05 : 1e-7) << name << " " << i;
        EXPECT_EQ(seekKAudioSamples(file, -1), -1);
        EXPECT_EQ(seekKAudioSamples(file, kFrames + 1), -1);
        closeKAudioReading(&file);
    }
}

TEST(AudioRead, OnlyTheFirstLinkOfAChainedOggFileIsRead)
{
    TempDir dir;
    const std::string first = fixtures::writeAudio(dir.file("a.ogg"), SF_FORMAT_OGG | SF_FORMAT_VORBIS,
                                                   kRate, 1, fixtures::sine(3000, kRate, 440, 0.5));
    const std::string second = fixtures::writeAudio(dir.file("b.ogg"), SF_FORMAT_OGG | SF_FORMAT_VORBIS,
                                                    kRate, 1, fixtures::sine(5000, kRate, 880, 0.5));
    const std::string chained = dir.file("chain.ogg");
    fixtures::writeBytes(chained, fixtures::readBytes(first) + fixtures::readBytes(second));

    int frames = 0;
    KAudioFile *file = openKAudioFile(chained.c_str(), nullptr, &frames);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(frames, 3000);
    std::vector<float> block(10000);
    int total = 0, got;
    while ((got = readKAudioSamples_float(file, block.data(), 10000)) > 0)
        total += got;
    EXPECT_EQ(total, 3000);
    ASSERT_EQ(seekKAudioSamples(file, 0), 1);
    std::vector<char> pcm(20000, 0x55);
    EXPECT_EQ(readKAudioSamples(file, pcm.data(), 20000), 6000);
    EXPECT_EQ(pcm[6000], 0); // the rest of the request is cleared
    EXPECT_EQ(pcm[19999], 0);
    closeKAudioReading(&file);
}

TEST(AudioRead, SixteenBitReadsStopAtWholeFrames)
{
    TempDir dir;
    const std::string path = fixtures::writeAudio(dir.file("s.wav"),
                                                  SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
                                                  testSignal(2, 10));
    KAudioFile *file = openKAudioFile(path.c_str(), nullptr, nullptr);
    ASSERT_NE(file, nullptr);
    // An exactly sized heap buffer: AddressSanitizer catches any write past it.
    char *buffer = new char[7];
    std::memset(buffer, 0x55, 7);
    EXPECT_EQ(readKAudioSamples(file, buffer, 7), 4);
    EXPECT_EQ(buffer[6], 0x55);
    EXPECT_EQ(readKAudioSamples(file, nullptr, 8), -1);
    EXPECT_EQ(readKAudioSamples(file, buffer, 0), -1);
    EXPECT_EQ(readKAudioSamples_float(file, nullptr, 1), -1);
    closeKAudioReading(&file);
    EXPECT_EQ(readKAudioSamples(nullptr, buffer, 7), -1);
    delete[] buffer;
}

TEST(AudioRead, PathsAreUtf8Bytes)
{
    TempDir dir;
    for (const char *name : {"\xC3\xA9lan \xE2\x80\x94 <take 2>.wav", "caf\xC3\xA9.ogg"}) {
        const bool vorbis = std::strstr(name, ".ogg") != nullptr;
        const std::string path = fixtures::writeAudio(
            dir.file(name),
            vorbis ? SF_FORMAT_OGG | SF_FORMAT_VORBIS : SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 1,
            testSignal(1, 500));
        int frames = 0;
        KAudioFile *file = openKAudioFile(path.c_str(), nullptr, &frames);
        EXPECT_NE(file, nullptr) << name;
        EXPECT_EQ(frames, 500) << name;
        closeKAudioReading(&file);
    }
}

TEST(AudioRead, ClippedFloatFilesSaturateOnTheSixteenBitPath)
{
    TempDir dir;
    const std::string path = fixtures::writeAudio(dir.file("hot.wav"),
                                                  SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRate, 1,
                                                  {1.5f, -1.5f, 0.5f});
    KAudioFile *file = openKAudioFile(path.c_str(), nullptr, nullptr);
    ASSERT_NE(file, nullptr);
    int16_t pcm[3];
    ASSERT_EQ(readKAudioSamples(file, pcm, 6), 6);
    EXPECT_EQ(pcm[0], 32767);
    EXPECT_EQ(pcm[1], -32768);
    EXPECT_EQ(pcm[2], 16384);
    closeKAudioReading(&file);
}

TEST(AudioRead, NamesThatAreNotReadableAudioGiveNull)
{
    TempDir dir;
    const std::vector<float> signal = testSignal(1, 100);
    const std::string wav = fixtures::writeAudio(dir.file("real.wav"),
                                                 SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 1, signal);
    const std::string bytes = fixtures::readBytes(wav);
    // WAV content under other names: an MPEG name is refused, unknown and upper-case extensions
    // are not recognised, and the file is left as it was.
    for (const char *name : {"song.mp3", "song.xyz", "song.WAV", "noextension"}) {
        const std::string path = dir.file(name);
        fixtures::writeBytes(path, bytes);
        testing::internal::CaptureStderr();
        EXPECT_EQ(openKAudioFile(path.c_str(), nullptr, nullptr), nullptr) << name;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("ERROR"), std::string::npos);
        EXPECT_EQ(fixtures::readBytes(path), bytes) << name;
    }
    EXPECT_EQ(openKAudioFile(nullptr, nullptr, nullptr), nullptr);
}

TEST(AudioRead, BadFilesGiveAClearErrorAndNoRecord)
{
    TempDir dir;
    const std::string wav = fixtures::readBytes(fixtures::writeAudio(
        dir.file("good.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2, testSignal(2, 1000)));
    const std::string ogg = fixtures::readBytes(
        fixtures::writeAudio(dir.file("good.ogg"), SF_FORMAT_OGG | SF_FORMAT_VORBIS, kRate, 2,
                             testSignal(2, 1000)));
    std::string rateZero = wav;
    std::memset(&rateZero[24], 0, 8); // sample rate and byte rate of the fmt chunk
    std::string garbage(512, '\x5a');

    fixtures::writeAudio(dir.file("six.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 6,
                         std::vector<float>(600, 0.1f));
    std::filesystem::create_directory(dir.file("folder.wav"));
    struct Case {
        const char *name;
        std::string bytes; // written unless empty and the file already exists
        bool write;
    } cases[] = {
        {"empty.wav", "", true},
        {"header-cut.wav", wav.substr(0, 20), true},
        {"garbage.wav", garbage, true},
        {"rate0.wav", rateZero, true},
        {"six.wav", "", false},
        {"folder.wav", "", false},
        {"missing.flac", "", false},
        {"empty.ogg", "", true},
        {"garbage.ogg", garbage, true},
        {"header-cut.ogg", ogg.substr(0, 60), true},
        {"codebook.ogg", fixtures::breakCodebook(ogg), true},
    };
    for (const Case &c : cases) {
        const std::string path = dir.file(c.name);
        if (c.write)
            fixtures::writeBytes(path, c.bytes);
        int frames = 12345;
        testing::internal::CaptureStderr();
        KAudioFile *file = openKAudioFile(path.c_str(), nullptr, &frames);
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(file, nullptr) << c.name;
        EXPECT_EQ(frames, 12345) << c.name;
        EXPECT_TRUE(message.find("ERROR") != std::string::npos ||
                    message.find("Error") != std::string::npos)
            << c.name << ": " << message;
        closeKAudioReading(&file);
    }
}

TEST(AudioRead, TruncatedAudioDataReadsOnlyWhatIsThere)
{
    TempDir dir;
    for (const char *name : {"cut.wav", "cut.ogg"}) {
        const bool vorbis = std::strstr(name, ".ogg") != nullptr;
        const std::string whole = fixtures::readBytes(fixtures::writeAudio(
            dir.file(std::string("whole") + (vorbis ? ".ogg" : ".wav")),
            vorbis ? SF_FORMAT_OGG | SF_FORMAT_VORBIS : SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
            testSignal(2, 20000)));
        const std::string path = dir.file(name);
        fixtures::writeBytes(path, whole.substr(0, whole.size() * 2 / 3));
        testing::internal::CaptureStderr();
        int frames = 0;
        KAudioFile *file = openKAudioFile(path.c_str(), nullptr, &frames);
        testing::internal::GetCapturedStderr();
        if (!file)
            continue; // refused with a message: also fine
        EXPECT_LE(frames, 20000) << name;
        std::vector<float> block(2 * 4096);
        int total = 0, got;
        while ((got = readKAudioSamples_float(file, block.data(), 4096)) > 0) {
            for (int i = 0; i < 2 * got; ++i)
                ASSERT_TRUE(std::isfinite(block[i]) && std::fabs(block[i]) <= 1.0f);
            total += got;
        }
        EXPECT_LT(total, 20000) << name;
        closeKAudioReading(&file);
    }
}

TEST(AudioRead, ConvertIntToFloatScalesBy2PowMinus15)
{
    const int16_t in[] = {0, 16384, -32768, 32767};
    float out[4];
    convertIntToFloat(in, out, 4);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], 0.5f);
    EXPECT_FLOAT_EQ(out[2], -1.0f);
    EXPECT_FLOAT_EQ(out[3], 32767.0f / 32768.0f);
}

// --- Channel folding ---------------------------------------------------------------------------

TEST(MixChannels, FoldsEveryHandledCombination)
{
    const float mono[] = {0.8f, -0.4f};
    const float stereo[] = {0.8f, 0.2f, -0.4f, 0.6f};
    const double gains[] = {0.5, 1.0};
    struct Case {
        int in, out;
        std::vector<float> expected; // interleaved
    } cases[] = {
        {1, 1, {0.8f, -0.4f}},                    // copied, gains not applied
        {1, 2, {0.4f, 0.8f, -0.2f, -0.4f}},       // input x left gain, input x right gain
        {2, 2, {0.4f, 0.2f, -0.2f, 0.6f}},        // each side by its gain
        {2, 1, {0.5f * (0.4f + 0.2f), 0.5f * (-0.2f + 0.6f)}}, // both sides, halved
    };
    for (const Case &c : cases) {
        const float *in = c.in == 1 ? mono : stereo;
        std::vector<float> interleaved(2 * c.out, 9.0f);
        ASSERT_EQ(mixChannels_2(interleaved.data(), c.out, in, c.in, 2, gains), 1);
        std::vector<float> left(2, 9.0f), right(2, 9.0f);
        float *planes[] = {left.data(), right.data()};
        ASSERT_EQ(mixChannels(planes, c.out, in, c.in, 2, gains), 1);
        for (int i = 0; i < 2; ++i) {
            for (int ch = 0; ch < c.out; ++ch) {
                const float want = c.expected[i * c.out + ch];
                EXPECT_FLOAT_EQ(interleaved[i * c.out + ch], want) << c.in << "->" << c.out;
                EXPECT_FLOAT_EQ((ch == 0 ? left : right)[i], want) << c.in << "->" << c.out;
            }
        }
        if (c.out == 1) {
            EXPECT_EQ(right[0], 9.0f); // the second plane is left alone
        }
    }
}

TEST(MixChannels, OtherChannelCountsAreRefusedWithAMessage)
{
    const float in[6] = {};
    float out[6] = {7, 7, 7, 7, 7, 7};
    float *planes[] = {out, out + 3};
    const double gains[] = {1.0, 1.0};
    testing::internal::CaptureStderr();
    EXPECT_EQ(mixChannels(planes, 2, in, 3, 2, gains), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "*** ERROR Export to Tovra : incorrect number of channels 3 -> 2 !\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(mixChannels_2(out, 6, in, 1, 1, gains), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("1 -> 6"), std::string::npos);
    EXPECT_EQ(out[0], 7.0f);
    testing::internal::CaptureStderr();
    EXPECT_EQ(mixChannels_2(nullptr, 2, in, 2, 1, gains), 0);
    testing::internal::GetCapturedStderr();
}

// --- Stereo to mono ----------------------------------------------------------------------------

TEST(StereoToMono, WritesTheHalfSumWithFramesAndRateKept)
{
    TempDir dir;
    const int frames = 5000, rate = 48000;
    const std::vector<float> a = fixtures::sine(frames, rate, 440, 0.6);
    std::vector<float> minusA(a.size());
    for (size_t i = 0; i < a.size(); ++i)
        minusA[i] = -a[i];
    struct Case {
        const char *name;
        std::vector<float> left, right, expected;
        int sfFormat;
    } cases[] = {
        {"same.wav", a, a, a, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        {"opposite.aiff", a, minusA, fixtures::silence(frames), SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
        {"leftonly.flac", a, fixtures::silence(frames), [&] {
             std::vector<float> half(a);
             for (float &v : half)
                 v *= 0.5f;
             return half;
         }(), SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
    };
    for (const Case &c : cases) {
        const std::string source = fixtures::writeAudio(
            dir.file(std::string("src-") + c.name), c.sfFormat, rate, 2,
            fixtures::interleave(c.left, c.right));
        const std::string destination = dir.file(c.name);
        ASSERT_EQ(k_convertStereoToMono(source.c_str(), destination.c_str()), 1) << c.name;
        SF_INFO info{};
        const std::vector<float> mono = fixtures::readAudio(destination, &info);
        EXPECT_EQ(info.channels, 1);
        EXPECT_EQ(info.samplerate, rate);
        EXPECT_EQ(info.frames, frames);
        EXPECT_EQ(info.format, c.sfFormat) << c.name; // the source's encoding is kept
        EXPECT_LT(maxError(mono, c.expected), 2.0 / 32768) << c.name;
    }
    EXPECT_EQ(dir.entries().size(), 6u); // no temporary file left behind
}

TEST(StereoToMono, CompressedSourcesGiveSixteenBitOutput)
{
    TempDir dir;
    const std::pair<const char *, int> sources[] = {
        {"src.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {"src.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
    };
    for (const auto &[name, sfFormat] : sources) {
        const std::string source =
            fixtures::writeAudio(dir.file(name), sfFormat, kRate, 2, testSignal(2, 4000));
        const std::string destination = dir.file(std::string("mono-") + name + ".wav");
        ASSERT_EQ(k_convertStereoToMono(source.c_str(), destination.c_str()), 1) << name;
        SF_INFO info{};
        const std::vector<float> mono = fixtures::readAudio(destination, &info);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << name;
        EXPECT_EQ(info.frames, 4000) << name;
        // Half the sum of a 0.5 and a 0.25 sine: about 0.198 RMS once the decoder has settled.
        EXPECT_NEAR(fixtures::rms(mono, 1, 0, 2000, 4000), 0.198, 0.02) << name;
    }
}

// MPEG files written by libsndfile read back through the engine: level, seeking, both sample
// paths; content of another type under an MPEG name stays refused.
TEST(AudioRead, Mp3FilesReadAndSeek)
{
    TempDir dir;
    const std::vector<float> written = testSignal(2);
    const std::string path = fixtures::writeAudio(
        dir.file("song.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, kRate, 2, written);
    KStreamFormat *format = KStreamFormat_new();
    int frames = -1;
    KAudioFile *file = openKAudioFile(path.c_str(), format, &frames);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->type, KAUDIOFMT_MPEG);
    EXPECT_EQ(format->code, KAUDIOFMT_MPEG);
    EXPECT_EQ(frames, kFrames);
    EXPECT_EQ(format->channels, 2);
    EXPECT_EQ(format->bits, 16);
    EXPECT_DOUBLE_EQ(format->rate, kRate);

    const std::vector<float> read = readAllFloat(file, 2);
    ASSERT_EQ(read.size(), written.size());
    for (int c = 0; c < 2; ++c) {
        const double want = fixtures::rms(written, 2, c, 4096, kFrames);
        const double got = fixtures::rms(read, 2, c, 4096, kFrames);
        EXPECT_NEAR(20 * std::log10(got / want), 0.0, 1.0) << "channel " << c;
    }
    ASSERT_EQ(seekKAudioSamples(file, 30000), 1);
    std::vector<int16_t> pcm(200);
    EXPECT_EQ(readKAudioSamples(file, pcm.data(), 400), 400);
    for (size_t i = 0; i < pcm.size(); ++i)
        EXPECT_NEAR(pcm[i] / 32768.0, read[60000 + i], 2e-3) << i;
    EXPECT_EQ(seekKAudioSamples(file, kFrames + 1), -1);
    closeKAudioReading(&file);
    KStreamFormat_delete(&format);
}

TEST(StereoToMono, RefusalsLeaveEveryFileAsItWas)
{
    TempDir dir;
    const std::string stereo = fixtures::writeAudio(
        dir.file("stereo.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2, testSignal(2, 2000));
    const std::string mono = fixtures::writeAudio(
        dir.file("mono.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 1, testSignal(1, 2000));
    const std::string existing = dir.file("existing.wav");
    fixtures::writeBytes(existing, "keep me");
    const std::string stereoBytes = fixtures::readBytes(stereo);
    ASSERT_EQ(symlink(stereo.c_str(), dir.file("alias.wav").c_str()), 0);
    const std::string dotted = dir.path().string() + "/./stereo.wav";

    struct Case {
        const char *why;
        std::string source, destination;
    } cases[] = {
        {"same path", stereo, stereo},
        {"same file by another spelling", stereo, dotted},
        {"same file through a link", stereo, dir.file("alias.wav")},
        {"mono source", mono, existing},
        {"destination folder missing", stereo, dir.file("no/such/out.wav")},
        {"unknown destination type", stereo, dir.file("out.xyz")},
        {"missing source", dir.file("none.wav"), existing},
    };
    for (const Case &c : cases) {
        testing::internal::CaptureStderr();
        char cause[512] = "stale";
        EXPECT_EQ(k_convertStereoToMonoWithCause(c.source.c_str(), c.destination.c_str(), cause,
                                                 sizeof(cause)),
                  0)
            << c.why;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("ERROR"), std::string::npos)
            << c.why;
        // The cause names the file it is about.
        EXPECT_TRUE(std::strstr(cause, c.source.c_str()) ||
                    std::strstr(cause, c.destination.c_str()))
            << c.why << ": " << cause;
    }
    EXPECT_EQ(k_convertStereoToMono(nullptr, existing.c_str()), 0);
    EXPECT_EQ(k_convertStereoToMono(stereo.c_str(), nullptr), 0);
    EXPECT_EQ(fixtures::readBytes(stereo), stereoBytes);
    EXPECT_EQ(fixtures::readBytes(existing), "keep me");
    EXPECT_EQ(dir.entries(),
              (std::vector<std::string>{"alias.wav", "existing.wav", "mono.wav", "stereo.wav"}));
}

// --- Ogg Vorbis encoder ------------------------------------------------------------------------

TEST(ConvertToOgg, EncodesAFloatRenderWithItsLengthAndLevel)
{
    TempDir dir;
    // A mix render: stereo 32-bit float AU, full scale at 1.0.
    const std::vector<float> left = fixtures::sine(1500, kRate, 1000, 0.5);
    const std::string source = fixtures::writeAudio(
        dir.file("render_0.tmp"), SF_FORMAT_AU | SF_FORMAT_FLOAT, kRate, 2,
        fixtures::interleave(left, left));
    const std::string destination = dir.file("song.ogg");
    KProgress *progress = KProgress_new();
    ASSERT_EQ(convertSndfileToOgg(source.c_str(), destination.c_str(), 0.5f, progress), 1);
    EXPECT_STREQ(KProgress_getMsg(progress), "Vorbis compression...");
    EXPECT_EQ(KProgress_getITotal(progress), 1500);
    EXPECT_EQ(KProgress_getIDone(progress), 1500);
    KProgress_delete(&progress);

    int frames = 0;
    KStreamFormat *format = KStreamFormat_new();
    KAudioFile *file = openKAudioFile(destination.c_str(), format, &frames);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(frames, 1500); // the last block is not padded with silence
    EXPECT_EQ(format->channels, 2);
    EXPECT_DOUBLE_EQ(format->rate, kRate);
    const std::vector<float> decoded = readAllFloat(file, 2);
    float peak = 0.0f;
    for (float v : decoded)
        peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(peak, 0.5f, 0.05f);
    closeKAudioReading(&file);
    KStreamFormat_delete(&format);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"render_0.tmp", "song.ogg"}));
}

TEST(ConvertToOgg, CancelOrFailureKeepsTheOldDestination)
{
    TempDir dir;
    const std::string source = fixtures::writeAudio(
        dir.file("render.au"), SF_FORMAT_AU | SF_FORMAT_FLOAT, kRate, 1, testSignal(1, 30000));
    const std::string destination = dir.file("song.ogg");
    fixtures::writeBytes(destination, "previous export");

    KProgress *progress = KProgress_new();
    KProgress_setState(progress, KPROGRESS_STOPPED);
    testing::internal::CaptureStderr();
    EXPECT_EQ(convertSndfileToOgg(source.c_str(), destination.c_str(), 0.3f, progress), 0);
    KProgress_delete(&progress);
    const std::string garbage = dir.file("garbage.au");
    fixtures::writeBytes(garbage, std::string(300, 'x'));
    EXPECT_EQ(convertSndfileToOgg(garbage.c_str(), destination.c_str(), 0.3f, nullptr), 0);
    EXPECT_EQ(convertSndfileToOgg(source.c_str(), source.c_str(), 0.3f, nullptr), 0);
    EXPECT_EQ(convertSndfileToOgg(source.c_str(), destination.c_str(), NAN, nullptr), 0);
    EXPECT_EQ(convertSndfileToOgg(dir.file("none.au").c_str(), destination.c_str(), 0.3f, nullptr),
              0);
    EXPECT_EQ(convertSndfileToOgg(source.c_str(), dir.file("no/such/folder.ogg").c_str(), 0.3f,
                                  nullptr),
              0);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(fixtures::readBytes(destination), "previous export");
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"garbage.au", "render.au", "song.ogg"}));

    // Out-of-range qualities are clamped rather than refused.
    for (float quality : {-5.0f, 3.0f})
        EXPECT_EQ(convertSndfileToOgg(source.c_str(), destination.c_str(), quality, nullptr), 1);
}
