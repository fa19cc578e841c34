// Mix rendering: every offered format, another rate without a change of speed or length, float
// files at full scale, mastering without added silence or lost tail, progress, failures and
// cancels that leave nothing behind, the open project left as it was, and the render equal to
// the playback of the same mix through SDL's disk driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "KContainer.h"
#include "KEqual.h"
#include "KMix.h"
#include "KRender.h"
#include "KSafeFile.h"
#include "MixerFixtures.h"

using namespace mixfx;

namespace
{

constexpr int kRate = 44100;

// A project with one 1 s stereo sine track and a stored mix "M" holding it.
struct SineProject {
    fixtures::TempDir dir;
    ProjectBuilder project;
    explicit SineProject(int frames = kRate, double frequency = 440.0)
    {
        addFileTrack(project.file(), "A",
                     writeShorts(dir.file("a.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
                                 sine(frames, 2, kRate, frequency, 20000)),
                     frames);
        EXPECT_EQ(1, createDefaultSlctWithAllTracks(project.file(), "M"));
    }
    KFile *file() { return project.file(); }
};

KStreamFormat formatOf(int code, double rate)
{
    KStreamFormat f = {};
    f.code = code;
    f.rate = rate;
    f.bits = 16;
    f.channels = 2;
    return f;
}

std::vector<int16_t> readShorts(const std::string &path, SF_INFO *info)
{
    SNDFILE *f = sf_open(path.c_str(), SFM_READ, info);
    EXPECT_NE(nullptr, f) << path;
    if (!f)
        return {};
    std::vector<int16_t> s(static_cast<size_t>(info->frames) * info->channels);
    sf_readf_short(f, s.data(), info->frames);
    sf_close(f);
    return s;
}

// What the mixer makes of the mix, played alone (the reference for every render).
std::vector<int16_t> mixerReference(KFile *file, double rate, const char *mix = "M")
{
    KFile *copy = KFile_clone(file);
    KMix *m = findThisSlct(copy, mix);
    setMixAsCurrentMix(copy, m, 0);
    initializeStatus(copy);
    k_applyLevelsFromMix(copy, m);
    MixManager_setMixOnPlay(copy->mixes, mix);
    auto out = runMixer(copy, rate, 1000);
    _freeZark(copy);
    return out;
}

// Sign changes of the left channel, with a hysteresis that ignores a lossy codec's noise.
int zeroCrossings(const std::vector<int16_t> &s, size_t from, size_t to)
{
    int n = 0, sign = 0;
    for (size_t i = from; i < to; ++i) {
        const int v = at(s, i, 0);
        const int now = v > 200 ? 1 : v < -200 ? -1 : sign;
        if (sign != 0 && now != sign)
            ++n;
        sign = now;
    }
    return n;
}

struct FormatCase {
    const char *name;
    int code;
    bool exact;       // sample for sample against the mixer
    int expectedCode; // what the file says it is
};

class RenderFormat : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(RenderFormat, WritesTheMixInEveryOfferedFormat)
{
    const FormatCase &c = GetParam();
    SineProject p;
    const std::string path = p.dir.file(std::string("out.") + c.name);
    KStreamFormat format = formatOf(c.code, kRate);
    ASSERT_NE(0, k_renderFormatCode(c.code, kRate));
    ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &format, nullptr));
    EXPECT_EQ((std::vector<std::string>{std::string("a.wav"), std::string("out.") + c.name}),
              p.dir.entries());
    SF_INFO info = {};
    const auto got = readShorts(path, &info);
    EXPECT_EQ(2, info.channels);
    EXPECT_EQ(kRate, info.samplerate);
    EXPECT_EQ(c.expectedCode, info.format);
    const auto ref = mixerReference(p.file(), kRate);
    if (c.exact) {
        ASSERT_EQ(static_cast<sf_count_t>(kRate), info.frames);
        // 8-bit keeps the top byte; float files read back through libsndfile's x 32767.
        const int sub = c.expectedCode & SF_FORMAT_SUBMASK;
        const int tolerance = sub == SF_FORMAT_PCM_U8 ? 256 : sub == SF_FORMAT_FLOAT ? 1 : 0;
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_NEAR(ref[i], got[i], tolerance) << i;
    } else if ((c.expectedCode & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT) {
        // Values are checked as floats by FloatFilesAreFullScaleAtOne.
        EXPECT_EQ(static_cast<sf_count_t>(kRate), info.frames);
    } else {
        // Lossy: the length within an encoder frame, the tone's frequency kept.
        EXPECT_NEAR(static_cast<double>(kRate), static_cast<double>(info.frames), 2400.0);
        EXPECT_NEAR(440, zeroCrossings(got, kRate / 2, std::min<size_t>(got.size() / 2, kRate)), 4);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RenderFormat,
    ::testing::Values(
        FormatCase{"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, true, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        FormatCase{"wav24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, true,
                   SF_FORMAT_WAV | SF_FORMAT_PCM_24},
        FormatCase{"wavf", SF_FORMAT_WAV | SF_FORMAT_FLOAT, false, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        FormatCase{"wav8", SF_FORMAT_WAV | SF_FORMAT_PCM_S8, true,
                   SF_FORMAT_WAV | SF_FORMAT_PCM_U8},
        FormatCase{"aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, true,
                   SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
        FormatCase{"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, true,
                   SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        FormatCase{"caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, true, SF_FORMAT_CAF | SF_FORMAT_PCM_16},
        FormatCase{"ogg", KAUDIOFMT_VORBIS, false, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        FormatCase{"mp3", KAUDIOFMT_MPEG, false, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Render, FloatFilesAreFullScaleAtOne)
{
    SineProject p;
    const std::string path = p.dir.file("f.wav");
    KStreamFormat format = formatOf(SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRate);
    ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &format, nullptr));
    SF_INFO info = {};
    SNDFILE *f = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(nullptr, f);
    std::vector<float> got(static_cast<size_t>(info.frames) * 2);
    sf_readf_float(f, got.data(), info.frames);
    sf_close(f);
    const auto ref = mixerReference(p.file(), kRate);
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_FLOAT_EQ(ref[i] / 32768.0f, got[i]) << i;
}

TEST(Render, AnotherRateKeepsSpeedAndLength)
{
    SineProject p;
    const std::string path = p.dir.file("r.wav");
    KStreamFormat format = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000);
    ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &format, nullptr));
    SF_INFO info = {};
    const auto got = readShorts(path, &info);
    EXPECT_EQ(48000, info.samplerate);
    EXPECT_EQ(48000, info.frames);
    // 440 Hz: 880 zero crossings a second, measured after the fade-in.
    EXPECT_NEAR(440, zeroCrossings(got, 24000, 48000), 3);
}

TEST(Render, MasteringAddsNoLeadingSilenceAndLosesNoTail)
{
    SineProject p;
    const std::string plain = p.dir.file("plain.wav"), mastered = p.dir.file("mastered.wav");
    KStreamFormat format = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
    ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", plain.c_str(), &format, nullptr));
    _KEqualization *flat = KEqual_new();
    ASSERT_EQ(1, k_setMixMastering(p.file(), "M", flat));
    KEqual_delete(&flat);
    ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", mastered.c_str(), &format, nullptr));
    SF_INFO a = {}, b = {};
    const auto x = readShorts(plain, &a), y = readShorts(mastered, &b);
    ASSERT_EQ(a.frames, b.frames);
    for (size_t i = 0; i < x.size(); ++i)
        ASSERT_NEAR(x[i], y[i], 1) << i;
}

TEST(Render, ReportsProgressInMillisecondsAndEndsComplete)
{
    SineProject p(10 * kRate);
    KProgress *progress = KProgress_new();
    const std::string path = p.dir.file("p.wav");
    KStreamFormat format = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
    ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &format, progress));
    EXPECT_EQ(10000, KProgress_getITotal(progress));
    EXPECT_EQ(KPROGRESS_FINISHED, KProgress_getState(progress));
    EXPECT_DOUBLE_EQ(1.0, KProgress_getProg(progress));
    KProgress_delete(&progress);
}

TEST(Render, LeavesTheOpenProjectAsItWas)
{
    SineProject p;
    KElement *a = giveElt(p.file(), "A");
    a->status = KSTATUS_OFF;
    changeLevel(a, -60);
    const std::string path = p.dir.file("o.wav");
    KStreamFormat format = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
    ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &format, nullptr));
    EXPECT_EQ(KSTATUS_OFF, a->status);
    EXPECT_EQ(-60, a->levels->level);
    EXPECT_EQ(nullptr, MixManager_MixOnPlay(p.file()->mixes));
}

struct RefusalCase {
    const char *name;
    std::function<int(SineProject &, const std::string &)> render;
};

class RenderRefusal : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(RenderRefusal, FailsAndLeavesNothingBehind)
{
    SineProject p(3 * kRate);
    const std::string path = p.dir.file("x.wav");
    EXPECT_EQ(0, GetParam().render(p, path));
    EXPECT_EQ(std::vector<std::string>{"a.wav"}, p.dir.entries());
    KSafeFile_failWritesAfter(-1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderRefusal,
    ::testing::Values(
        RefusalCase{"UnknownMix",
                    [](SineProject &p, const std::string &path) {
                        KStreamFormat f = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
                        return k_exportTovixToAudioFile(p.file(), "Nope", path.c_str(), &f,
                                                        nullptr);
                    }},
        RefusalCase{"NullFormat",
                    [](SineProject &p, const std::string &path) {
                        return k_exportTovixToAudioFile(p.file(), "M", path.c_str(), nullptr,
                                                        nullptr);
                    }},
        RefusalCase{"FormatLibsndfileRefuses",
                    [](SineProject &p, const std::string &path) {
                        KStreamFormat f = formatOf(SF_FORMAT_FLAC | SF_FORMAT_FLOAT, kRate);
                        return k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &f, nullptr);
                    }},
        RefusalCase{"UnreadableTrack",
                    [](SineProject &p, const std::string &path) {
                        setPathWOC(p.file(), "A", _tvr_strcpy("/nonexistent/a.wav"));
                        KStreamFormat f = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
                        return k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &f, nullptr);
                    }},
        RefusalCase{"DiskFull",
                    [](SineProject &p, const std::string &path) {
                        KSafeFile_failWritesAfter(100000);
                        KStreamFormat f = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
                        KProgress *progress = KProgress_new();
                        const int r =
                            k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &f, progress);
                        EXPECT_EQ(KPROGRESS_FAILED, KProgress_getState(progress));
                        KProgress_delete(&progress);
                        return r;
                    }},
        RefusalCase{"Cancelled",
                    [](SineProject &p, const std::string &path) {
                        KStreamFormat f = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
                        KProgress *progress = KProgress_new();
                        KProgress_setState(progress, KPROGRESS_STOPPED);
                        const int r =
                            k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &f, progress);
                        KProgress_delete(&progress);
                        return r;
                    }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Render, PlayStoppedFromOutsideIsAFailure)
{
    SineProject p(120 * kRate);
    const std::string path = p.dir.file("s.wav");
    KStreamFormat format = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
    KProgress *progress = KProgress_new();
    std::thread stopper([progress] {
        while (KProgress_getIDone(progress) < 1000 && KProgress_getState(progress) >= 0 &&
               KProgress_getState(progress) != KPROGRESS_FINISHED)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        so_stop();
    });
    EXPECT_EQ(0, k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &format, progress));
    stopper.join();
    EXPECT_EQ(std::vector<std::string>{"a.wav"}, p.dir.entries());
    KProgress_delete(&progress);
}

// Runs a render on a thread of its own and waits for its end up to a deadline that only a
// render that never ends reaches; such a render is then stopped so that the test can go on.
int renderWithDeadline(KFile *file, const std::string &path, KProgress *progress,
                       const std::function<void()> &whileRunning = {})
{
    KStreamFormat format = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
    std::atomic<int> result{-1};
    std::thread render([&] {
        result = k_exportTovixToAudioFile(file, "M", path.c_str(), &format, progress);
    });
    if (whileRunning)
        whileRunning();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (result.load() < 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const bool ended = result.load() >= 0;
    if (!ended) {
        if (progress)
            KProgress_setState(progress, KPROGRESS_STOPPED);
        so_stop();
    }
    render.join();
    EXPECT_TRUE(ended) << "the render did not end";
    return ended ? result.load() : -1;
}

// The player's loop switch is for listening: a render plays the piece once and ends, whether the
// render runs to its end or is cancelled (then nothing is left beside the target).
TEST(Render, EndsWhenThePlayerLoops)
{
    for (const ESOLoop loop : {SO_LOOP, SO_LOOP_RANDOM}) {
        SCOPED_TRACE(loop);
        SineProject p;
        const std::string plain = p.dir.file("plain.wav"), looped = p.dir.file("looped.wav");
        KStreamFormat format = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
        ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", plain.c_str(), &format, nullptr));
        so_setLoop(loop);
        KProgress *progress = KProgress_new();
        EXPECT_EQ(1, renderWithDeadline(p.file(), looped, progress));
        EXPECT_EQ(KPROGRESS_FINISHED, KProgress_getState(progress));
        KProgress_delete(&progress);
        so_setLoop(SO_LOOP_NONE);
        SF_INFO a = {}, b = {};
        EXPECT_EQ(readShorts(plain, &a), readShorts(looped, &b));
        EXPECT_EQ(a.frames, b.frames);
    }
}

TEST(Render, CancelEndsALongRenderAndLeavesNothing)
{
    for (const ESOLoop loop : {SO_LOOP_NONE, SO_LOOP}) {
        SCOPED_TRACE(loop);
        SineProject p(120 * kRate);
        so_setLoop(loop);
        KProgress *progress = KProgress_new();
        EXPECT_EQ(0, renderWithDeadline(p.file(), p.dir.file("c.wav"), progress, [progress] {
                      while (KProgress_getIDone(progress) < 1000 &&
                             KProgress_getState(progress) >= 0 &&
                             KProgress_getState(progress) != KPROGRESS_FINISHED)
                          std::this_thread::sleep_for(std::chrono::milliseconds(1));
                      KProgress_setState(progress, KPROGRESS_STOPPED);
                  }));
        KProgress_delete(&progress);
        so_setLoop(SO_LOOP_NONE);
        EXPECT_EQ(std::vector<std::string>{"a.wav"}, p.dir.entries());
    }
}

// A project read back from its container plays its tracks from inside it.
struct ContainerCase {
    const char *name;
    int code;
    int tolerance; // per sample against the source project's render
};

class RenderFromContainer : public ::testing::TestWithParam<ContainerCase>
{
};

TEST_P(RenderFromContainer, SoundsLikeTheSourceProject)
{
    SineProject p(kRate / 2);
    KStreamFormat wav = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
    const std::string source = p.dir.file("source.wav"), fromContainer = p.dir.file("c.wav");
    ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", source.c_str(), &wav, nullptr));
    KStreamFormat format = formatOf(GetParam().code, kRate);
    format.channels = 0; // each track keeps its channels
    const std::string container = p.dir.file("song.tvx");
    ASSERT_EQ(1, MeskToOgg5(p.file(), container.c_str(), &format, nullptr, nullptr));
    KFile *opened = OpenTovraFile(container.c_str());
    ASSERT_NE(nullptr, opened);
    EXPECT_EQ(0, k_isAProject(opened));
    const int result = k_exportTovixToAudioFile(opened, "M", fromContainer.c_str(), &wav, nullptr);
    _freeZark(opened);
    ASSERT_EQ(1, result);
    SF_INFO a = {}, b = {};
    const auto x = readShorts(source, &a), y = readShorts(fromContainer, &b);
    ASSERT_EQ(a.frames, b.frames);
    double error = 0.0, energy = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        error += (x[i] - y[i]) * double(x[i] - y[i]);
        energy += x[i] * double(x[i]);
        if (GetParam().tolerance == 0) {
            ASSERT_EQ(x[i], y[i]) << i;
        }
    }
    EXPECT_LT(error, 0.01 * energy);
}

INSTANTIATE_TEST_SUITE_P(Codecs, RenderFromContainer,
                         ::testing::Values(ContainerCase{"Uncompressed",
                                                         SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0},
                                           ContainerCase{"Vorbis", KAUDIOFMT_VORBIS | 0x10A, 1}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Render, ExportThreadControlWithoutAThread)
{
    EXPECT_EQ(1, k_stopExportTovix());
    EXPECT_EQ(0, k_initExportTovix(0, nullptr, 1000, kRate));
    EXPECT_EQ(1, k_stopExportTovix());
}

TEST(Render, WaveToMp3EncodesThroughLibsndfile)
{
    SineProject p;
    const std::string mp3 = p.dir.file("a.mp3");
    ASSERT_EQ(1, k_waveToMp3(p.dir.file("a.wav").c_str(), mp3.c_str(), 192));
    SF_INFO info = {};
    const auto got = readShorts(mp3, &info);
    EXPECT_EQ(SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, info.format);
    EXPECT_EQ(0, k_waveToMp3("/nonexistent.wav", mp3.c_str(), 192));
}

// The same mix played through SDL's disk driver gives the render's samples.
TEST(Render, EqualsPlaybackThroughTheDiskDriver)
{
    SineProject p(2 * kRate, 1000.0);
    const std::string rendered = p.dir.file("render.wav"), played = p.dir.file("played.raw");
    KStreamFormat format = formatOf(SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate);
    ASSERT_EQ(1, k_exportTovixToAudioFile(p.file(), "M", rendered.c_str(), &format, nullptr));

    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", played.c_str(), 1);
    // Five times faster than real time: the device never waits for the mixer, so blocks it finds
    // not yet mixed play as whole silent blocks, left out below.
    setenv("SDL_DISKAUDIODELAY", "9", 1);
    ASSERT_EQ(1, so_init());
    KMix *mix = findThisSlct(p.file(), "M");
    setMixAsCurrentMix(p.file(), mix, 0);
    initializeStatus(p.file());
    k_applyLevelsFromMix(p.file(), mix);
    MixManager_setMixOnPlay(p.file()->mixes, "M");
    ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
    so_waitEndPlay();
    EXPECT_EQ(0, so_isPlay());
    // The device is closed when the play ends: the file is complete and grows no more.
    const auto size = std::filesystem::file_size(played);
    ASSERT_EQ(1, so_close());
    ASSERT_EQ(size, std::filesystem::file_size(played));

    SF_INFO info = {};
    const auto want = readShorts(rendered, &info);
    // Callbacks that found no block ready (before the start or later) played whole blocks of
    // silence; every other block is the render's, in order.
    std::vector<int16_t> got;
    const long start = fixtures::findRenderInPlayed(played, want, SO_FRAMES_PER_BLOCK * 2, &got);
    ASSERT_GE(start, 0) << "render not found in the played stream";
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(want[i], got[start + i])
            << i << " of " << want.size() << " from " << start << " in " << got.size();
}

} // namespace
