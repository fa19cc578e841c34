// Mixer: golden output of generated tracks (levels, pans, mutes, solos, groups, master gain,
// formats and rates), fades, transport requests (pause, seek, volume, loop), mastering and
// saturation, driven block by block without threads.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <functional>
#include <utility>

#include "KEqual.h"
#include "KLevels.h"
#include "KMix.h"
#include "KProjectLock.h"
#include "MixerFixtures.h"

using namespace mixfx;

// The mixer's opening, placing and reading of its tracks' files, seen by the test: this program's
// sf_open, sf_seek and sf_readf_short come before libsndfile's in the dynamic lookup and pass
// every call on. A test gives what runs on the mixer's thread at the next such call (once), as
// the editor may change the project meanwhile.
namespace readerspy
{
std::function<void()> onOpen, onSeek, onRead;

template <typename F> F libsndfile(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void runOnce(std::function<void()> &step)
{
    if (std::function<void()> now = std::exchange(step, nullptr))
        now();
}
} // namespace readerspy

extern "C" SNDFILE *sf_open(const char *path, int mode, SF_INFO *info)
{
    static const auto next =
        readerspy::libsndfile<SNDFILE *(*)(const char *, int, SF_INFO *)>("sf_open");
    if (mode == SFM_READ)
        readerspy::runOnce(readerspy::onOpen);
    return next(path, mode, info);
}

extern "C" sf_count_t sf_seek(SNDFILE *file, sf_count_t frames, int whence)
{
    static const auto next =
        readerspy::libsndfile<sf_count_t (*)(SNDFILE *, sf_count_t, int)>("sf_seek");
    readerspy::runOnce(readerspy::onSeek);
    return next(file, frames, whence);
}

extern "C" sf_count_t sf_readf_short(SNDFILE *file, short *frames, sf_count_t count)
{
    static const auto next =
        readerspy::libsndfile<sf_count_t (*)(SNDFILE *, short *, sf_count_t)>("sf_readf_short");
    readerspy::runOnce(readerspy::onRead);
    return next(file, frames, count);
}

namespace
{

constexpr int kRate = 44100;
constexpr int kBlock = SO_FRAMES_PER_BLOCK;
constexpr int kTrackFade = 2 * kRate / kBlock; // 43 blocks

struct Golden {
    const char *name;
    std::function<void(fixtures::TempDir &, KFile *)> setup;
    int16_t left, right; // steady value at block 60
};

// A 3 s track of a constant value.
void dcTrack(fixtures::TempDir &dir, KFile *file, const char *name, int16_t value, int channels = 2,
             int sfFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_16, int rate = kRate, int seconds = 3)
{
    const int frames = seconds * rate;
    const std::string path = writeShorts(dir.file(std::string(name) + ".wav"), sfFormat, rate,
                                         channels, dc(frames, channels, value));
    addFileTrack(file, name, path, frames);
}

// Track `name` over a 16-bit WAV file `fileName` at kRate holding `samples`, described as
// `frames` long and starting at `date`.
void wav16Track(fixtures::TempDir &dir, KFile *file, const char *name, const char *fileName,
                int channels, const std::vector<int16_t> &samples, uint32_t frames, int date = 0)
{
    addFileTrack(file, name,
                 writeShorts(dir.file(fileName), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, channels,
                             samples),
                 frames, date);
}

const std::vector<Golden> &goldenCases()
{
    static const std::vector<Golden> cases = {
        {"UnityStereo", [](auto &d, KFile *f) { dcTrack(d, f, "A", 10000); }, 5000, 5000},
        {"UnityMono", [](auto &d, KFile *f) { dcTrack(d, f, "A", 10000, 1); }, 5000, 5000},
        {"Pcm24",
         [](auto &d, KFile *f) { dcTrack(d, f, "A", 10000, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_24); },
         5000, 5000},
        {"Flac",
         [](auto &d, KFile *f) { dcTrack(d, f, "A", 10000, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16); },
         5000, 5000},
        {"HalfGainLevel",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000);
             changeLevel(giveElt(f, "A"), -30);
         },
         2500, 2500},
        {"DoubleGainLevel",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000);
             changeLevel(giveElt(f, "A"), 30);
         },
         10000, 10000},
        {"SilenceLevel",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000);
             changeLevel(giveElt(f, "A"), KLEVEL_MIN);
         },
         0, 0},
        {"PanRightHalf",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000);
             KElement_setPan(giveElt(f, "A"), 0.5);
         },
         2500, 5000},
        {"PanHardLeftMono",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000, 1);
             KElement_setPan(giveElt(f, "A"), -1.0);
         },
         5000, 0},
        {"Muted",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000);
             k_setMute(f, "A", 1);
         },
         0, 0},
        {"SoloSilencesOthers",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000);
             dcTrack(d, f, "B", 4000);
             k_setSolo(f, "B", 1);
         },
         2000, 2000},
        {"TwoTracksAdd",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000);
             dcTrack(d, f, "B", -4000);
         },
         3000, 3000},
        {"GroupLevelScalesMembers",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000);
             ASSERT_EQ(1, createElt(f, KCONST_GROUP, "G", createDataGrp(0, 10)));
             ASSERT_EQ(1, addSubElt(f, "G", "A"));
             giveElt(f, "G")->status = KSTATUS_BY_MEMBER;
             changeLevel(giveElt(f, "G"), -30);
         },
         2500, 2500},
        {"MasterGain",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000);
             k_setMasterLvl(f, 0.5);
         },
         2500, 2500},
        {"SumsSaturate",
         [](auto &d, KFile *f) {
             for (const char *n : {"A", "B", "C"}) {
                 dcTrack(d, f, n, 30000);
                 changeLevel(giveElt(f, n), 60);
             }
         },
         32767, 32767},
        {"NegativeSumsSaturate",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", -32768);
             changeLevel(giveElt(f, "A"), 60);
         },
         -32768, -32768},
        {"ResampledTrack",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050);
         },
         5000, 5000},
    };
    return cases;
}

class MixerGolden : public ::testing::TestWithParam<Golden>
{
};

TEST_P(MixerGolden, SteadyStateFollowsLevelsPanMuteSoloAndSaturates)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    GetParam().setup(dir, project.file());
    const auto out = runMixer(project.file(), kRate, 200);
    const size_t frame = 60 * kBlock + 100;
    ASSERT_GT(out.size(), 2 * frame);
    EXPECT_EQ(GetParam().left, at(out, frame, 0));
    EXPECT_EQ(GetParam().right, at(out, frame, 1));
}

INSTANTIATE_TEST_SUITE_P(Cases, MixerGolden, ::testing::ValuesIn(goldenCases()),
                         [](const auto &info) { return std::string(info.param.name); });

// Track fade-in: w = c / L over L = int(2 x rate / block) blocks, for every channel count, sample
// size and output rate; the global 0.2 s fade is inside it.
struct FadeCase {
    const char *name;
    int channels;
    int sfFormat;
    double outRate;
};

class MixerFade : public ::testing::TestWithParam<FadeCase>
{
};

TEST_P(MixerFade, TrackFadeInLastsTwoSecondsOfBlocks)
{
    const FadeCase &c = GetParam();
    fixtures::TempDir dir;
    ProjectBuilder project;
    dcTrack(dir, project.file(), "A", 10000, c.channels, c.sfFormat);
    const auto out = runMixer(project.file(), c.outRate, 200);
    const int fadeBlocks = static_cast<int>(2.0 * c.outRate / kBlock);
    // Within the fade the gain climbs block by block and never passes 1.
    int previous = 0;
    for (int b = 0; b < fadeBlocks; ++b) {
        const int v = at(out, static_cast<size_t>(b) * kBlock + 10, 0);
        EXPECT_GE(v, previous) << "block " << b;
        EXPECT_LE(v, 5000) << "block " << b;
        previous = v;
    }
    EXPECT_EQ(static_cast<int16_t>(10000 * 0.5 * (fadeBlocks - 1.0) / fadeBlocks),
              at(out, static_cast<size_t>(fadeBlocks - 2) * kBlock + 10, 0));
    EXPECT_EQ(5000, at(out, static_cast<size_t>(fadeBlocks - 1) * kBlock + 10, 0));
    EXPECT_EQ(5000, at(out, static_cast<size_t>(fadeBlocks + 5) * kBlock + 10, 1));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixerFade,
    ::testing::Values(FadeCase{"Mono16", 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100.0},
                      FadeCase{"Stereo16", 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100.0},
                      FadeCase{"Mono24", 1, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 44100.0},
                      FadeCase{"Stereo24", 2, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 44100.0},
                      FadeCase{"Stereo16At48k", 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000.0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Mixer, GlobalFadeGainsStayWithinZeroAndOne)
{
    // A track already at full volume: only the 0.2 s start fade shapes the first blocks.
    fixtures::TempDir dir;
    ProjectBuilder project;
    dcTrack(dir, project.file(), "A", 20000);
    giveElt(project.file(), "A")->status = KSTATUS_BY_MEMBER;
    const auto out = runMixer(project.file(), kRate, 20);
    const double step = kBlock / (0.2 * kRate);
    for (int b = 0; b < 8; ++b) {
        const double g = std::min(1.0, (b + 1) * step);
        EXPECT_EQ(static_cast<int16_t>(20000 * 0.5 * g), at(out, b * kBlock + 5, 0)) << b;
    }
}

TEST(Mixer, SwitchedOffTrackFadesOutThenStopsWithLevelZero)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    dcTrack(dir, project.file(), "A", 10000, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 5);
    KElement *a = giveElt(project.file(), "A");
    changeLevel(a, -30);
    const int offAt = 50;
    const auto out = runMixer(project.file(), kRate, 129, [&](int b) {
        if (b == offAt)
            a->status = KSTATUS_OFF;
    });
    EXPECT_EQ(2500, at(out, (offAt - 1) * kBlock, 0));
    // Fading: strictly below full, above zero, then silent after L blocks.
    EXPECT_LT(at(out, offAt * kBlock, 0), 2500);
    EXPECT_GT(at(out, (offAt + kTrackFade - 2) * kBlock, 0), 0);
    EXPECT_EQ(0, at(out, (offAt + kTrackFade + 1) * kBlock, 0));
    EXPECT_EQ(KSTATUS_STOPPED, a->status);
    EXPECT_EQ(0, a->levels->level);
}

TEST(Mixer, EndsWithSilenceAfterTheLastTrackAndSignalsTheEnd)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    const int frames = kRate / 2;
    wav16Track(dir, project.file(), "A", "a.wav", 2, dc(frames, 2, 8000), frames);
    ESOMixAudioArg *m = nullptr;
    const auto out = runMixer(project.file(), kRate, 100, {}, &m);
    ASSERT_NE(nullptr, m);
    EXPECT_GT(KSemaphore_value(m->sem), 0);
    _delete_Memory(&m);
    // The track's samples end exactly at its last frame; everything after is silence.
    EXPECT_NE(0, at(out, frames - 1, 0));
    for (size_t i = frames; i < out.size() / 2; ++i) {
        ASSERT_EQ(0, at(out, i, 0)) << i;
    }
    EXPECT_LT(out.size() / 2, static_cast<size_t>(frames + 4 * kBlock));
}

TEST(Mixer, TrackShorterThanItsDescriptionEndsInSilenceAtTheDescribedLength)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    wav16Track(dir, project.file(), "A", "a.wav", 2, dc(kRate, 2, 8000), 2 * kRate);
    giveElt(project.file(), "A")->status = KSTATUS_BY_MEMBER;
    const auto out = runMixer(project.file(), kRate, 200);
    EXPECT_EQ(4000, at(out, kRate - 1, 0));
    for (size_t i = kRate; i < out.size() / 2; ++i) {
        ASSERT_EQ(0, at(out, i, 0)) << i;
    }
    // The piece lasts what the description says.
    EXPECT_GE(out.size() / 2, static_cast<size_t>(2 * kRate));
    EXPECT_LT(out.size() / 2, static_cast<size_t>(2 * kRate + 4 * kBlock));
}

// A seek the reader cannot follow (past the end of its file, inside the described length) leaves
// the track silent, counted, rather than playing on from where the reader stood.
TEST(Mixer, TrackWhoseReaderCannotBePlacedPlaysSilenceNotItsOldPosition)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    wav16Track(dir, project.file(), "A", "a.wav", 2, dc(kRate, 2, 8000), 4 * kRate);
    giveElt(project.file(), "A")->status = KSTATUS_BY_MEMBER;
    const int64_t target = static_cast<int64_t>(4.0 * kRate * 0.75 / kBlock) * kBlock;
    int jump = -1;
    ESOMixAudioArg *m = nullptr;
    const auto out = runMixer(
        project.file(), kRate, 200,
        [&](int b) {
            if (b == 10) {
                EXPECT_EQ(1, so_setTime(0.75));
            }
            if (b > 10 && jump < 0 && so_transport().date.load() == target)
                jump = b - 1;
        },
        &m);
    ASSERT_NE(nullptr, m);
    EXPECT_GT(m->silencedBlocks.load(), 0);
    _delete_Memory(&m);
    EXPECT_EQ(4000, at(out, 5 * kBlock, 0));
    ASSERT_GT(jump, 10);
    for (size_t i = static_cast<size_t>(jump) * kBlock; i < out.size() / 2; ++i)
        ASSERT_EQ(0, at(out, i, 0)) << i;
}

// The editor switches a track off while the mixer reads the track's first block after a seek:
// the track fades out and stops; the mixer's placing does not switch it on again.
TEST(Mixer, StatusChangedWhileTheBlockIsReadIsKept)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    dcTrack(dir, project.file(), "A", 10000);
    KElement *a = giveElt(project.file(), "A");
    a->status = KSTATUS_BY_MEMBER;
    int switchedOff = 0;
    runMixer(project.file(), kRate, 100, [&](int b) {
        if (b != 10)
            return;
        EXPECT_EQ(1, so_setTime(0.1));
        readerspy::onSeek = [&] {
            readerspy::onRead = [&] {
                const KProjectLock lock;
                a->status = KSTATUS_OFF;
                ++switchedOff;
            };
        };
    });
    readerspy::onSeek = readerspy::onRead = nullptr;
    EXPECT_EQ(1, switchedOff);
    EXPECT_EQ(KSTATUS_STOPPED, a->status);
}

// The editor gives a track another file while the mixer opens the track's first one: the track
// plays its new file.
TEST(Mixer, TrackGivenAnotherFileWhileItsReaderOpensPlaysTheNewFile)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    KFile *f = project.file();
    dcTrack(dir, f, "A", 8000);
    const std::string other = writeShorts(dir.file("other.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                                          kRate, 2, dc(3 * kRate, 2, -8000));
    giveElt(f, "A")->status = KSTATUS_BY_MEMBER;
    int changed = 0;
    const auto out = runMixer(f, kRate, 20, [&](int b) {
        if (b != 0)
            return;
        readerspy::onOpen = [&] {
            const KProjectLock lock;
            EXPECT_EQ(1, setPathWOC(f, "A", _tvr_strcpy(other.c_str())));
            ++changed;
        };
    });
    readerspy::onOpen = nullptr;
    EXPECT_EQ(1, changed);
    EXPECT_EQ(-4000, at(out, 15 * kBlock, 0));
}

TEST(Mixer, LaterTrackStartsAtItsDate)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    const int date = 10 * kBlock + 123;
    wav16Track(dir, project.file(), "A", "a.wav", 1, clickAt(1000, 1, 0, 20000), 1000, date);
    giveElt(project.file(), "A")->status = KSTATUS_BY_MEMBER;
    const auto out = runMixer(project.file(), kRate, 50);
    for (size_t i = 0; i < out.size() / 2; ++i) {
        if (i != static_cast<size_t>(date)) {
            ASSERT_EQ(0, at(out, i, 0)) << i;
        }
    }
    EXPECT_EQ(10000, at(out, date, 0));
}

// Two clicks meant to sound together: A's at 3 s, B (starting at 2 s) one second into it.
void coincidentClicks(fixtures::TempDir &dir, KFile *file)
{
    const int frames = 4 * kRate;
    wav16Track(dir, file, "A", "a.wav", 1, clickAt(frames, 1, 3 * kRate, 16000), frames);
    wav16Track(dir, file, "B", "b.wav", 1, clickAt(2 * kRate, 1, kRate, 16000), 2 * kRate,
               2 * kRate);
}

std::vector<size_t> nonZeroFrames(const std::vector<int16_t> &out)
{
    std::vector<size_t> frames;
    for (size_t i = 0; i < out.size() / 2; ++i) {
        if (at(out, i, 0) != 0)
            frames.push_back(i);
    }
    return frames;
}

// What the transport shows before each block of a run, beside the run's output.
struct TransportRun {
    std::vector<int16_t> out;
    std::vector<int> statuses;  // after the requests made before the block
    std::vector<int64_t> dates; // date of the block mixed last
    std::vector<double> volumes;
};

// A transport case: the project, the requests made before given blocks (each answers 1), and
// what the run must show.
struct TransportCase {
    const char *name;
    std::function<void(fixtures::TempDir &, KFile *)> build;
    int blocks;
    std::vector<std::pair<int, std::function<int()>>> requests;
    std::function<void(const TransportRun &)> check;
};

void PrintTo(const TransportCase &c, std::ostream *os)
{
    *os << c.name;
}

void dcAtFullLevel(fixtures::TempDir &dir, KFile *file)
{
    dcTrack(dir, file, "A", 10000);
    giveElt(file, "A")->status = KSTATUS_BY_MEMBER;
}

// Every frame of the output from `frame` on is silent.
void silentFrom(const TransportRun &run, size_t frame)
{
    for (size_t i = frame; i < run.out.size() / 2; ++i)
        ASSERT_EQ(0, at(run.out, i, 0)) << i;
}

const std::vector<TransportCase> &transportCases()
{
    static const int64_t seekTarget = static_cast<int64_t>(4.0 * kRate * 0.5 / kBlock) * kBlock;
    static const std::vector<TransportCase> cases = {
        {"PauseDoesNotShiftLaterTracks", coincidentClicks, 200,
         {{20, so_pause}, {35, so_pause}},
         [](const TransportRun &run) {
             EXPECT_EQ(1u, nonZeroFrames(run.out).size()) << "the two clicks no longer coincide";
         }},
        {"SeekFadesOutJumpsAndFadesIn", coincidentClicks, 200,
         {{10, [] { return so_setTime(0.5); }}},
         [](const TransportRun &run) {
             int firstAfterSeek = -1;
             for (int b = 11; b < static_cast<int>(run.dates.size()) && firstAfterSeek < 0; ++b)
                 if (run.dates[b] == seekTarget)
                     firstAfterSeek = b - 1;
             // 0.2 s of fade-out before the jump.
             EXPECT_EQ(10 + static_cast<int>(std::ceil(0.2 * kRate / kBlock)) - 1, firstAfterSeek);
             const auto clicks = nonZeroFrames(run.out);
             ASSERT_EQ(1u, clicks.size());
             EXPECT_EQ(static_cast<size_t>(firstAfterSeek) * kBlock + (3 * kRate - seekTarget),
                       clicks[0]);
         }},
        {"SeekWhilePausedStaysSilent", [](auto &d, KFile *f) { dcTrack(d, f, "A", 10000); }, 60,
         {{10, so_pause}, {20, [] { return so_setTime(0.5); }}},
         [](const TransportRun &run) {
             EXPECT_EQ(SO_PAUSED, run.statuses[40]);
             silentFrom(run, 30 * kBlock);
         }},
        {"VolumeRampsToItsTarget", dcAtFullLevel, 60, {{20, [] { return so_setVolume(0.5); }}},
         [](const TransportRun &run) {
             EXPECT_EQ(SO_VOLUME_RAMP, run.statuses[21]);
             EXPECT_EQ(SO_PLAYING, run.statuses[40]);
             EXPECT_EQ(5000, at(run.out, 19 * kBlock, 0));
             EXPECT_EQ(2500, at(run.out, 40 * kBlock, 0));
             for (int b = 20; b < 40; ++b)
                 EXPECT_LE(at(run.out, (b + 1) * kBlock, 0), at(run.out, b * kBlock, 0)) << b;
         }},
        {"VolumeAskedDuringASeekIsReachedAfterIt",
         [](auto &d, KFile *f) {
             dcTrack(d, f, "A", 10000, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 6);
         },
         120, {{10, [] { return so_setTime(0.1); }}, {11, [] { return so_setVolume(0.5); }}},
         [](const TransportRun &run) { EXPECT_EQ(2500, at(run.out, 110 * kBlock, 0)); }},
        {"PauseDuringVolumeRampPausesAtTheTarget",
         [](auto &d, KFile *f) { dcTrack(d, f, "A", 10000); }, 40,
         {{20, [] { return so_setVolume(0.25); }}, {21, so_pause}},
         [](const TransportRun &run) {
             EXPECT_DOUBLE_EQ(0.25, run.volumes[30]);
             silentFrom(run, 30 * kBlock);
         }},
    };
    return cases;
}

class MixerTransport : public ::testing::TestWithParam<TransportCase>
{
};

TEST_P(MixerTransport, FollowsTheRequests)
{
    const TransportCase &c = GetParam();
    fixtures::TempDir dir;
    ProjectBuilder project;
    c.build(dir, project.file());
    TransportRun run;
    run.out = runMixer(project.file(), kRate, c.blocks, [&](int b) {
        for (const auto &[block, request] : c.requests) {
            if (block == b) {
                EXPECT_EQ(1, request()) << "request before block " << b;
            }
        }
        run.statuses.push_back(so_getStatus());
        run.dates.push_back(so_transport().date.load());
        run.volumes.push_back(so_transport().volume.load());
    });
    c.check(run);
}

INSTANTIATE_TEST_SUITE_P(Requests, MixerTransport, ::testing::ValuesIn(transportCases()),
                         [](const auto &info) { return std::string(info.param.name); });

// Listening, the loop switch restarts the piece from its beginning; a render plays it once and
// ends whatever the switch says.
TEST(Mixer, LoopRestartsFromTheBeginningOnlyWhenListening)
{
    for (const bool listening : {true, false}) {
        SCOPED_TRACE(listening ? "listening" : "render");
        fixtures::TempDir dir;
        ProjectBuilder project;
        const int frames = kRate / 2;
        wav16Track(dir, project.file(), "A", "a.wav", 1, clickAt(frames, 1, kRate / 4, 20000), frames);
        giveElt(project.file(), "A")->status = KSTATUS_BY_MEMBER;
        const auto out = runMixer(
            project.file(), kRate, 60,
            [](int b) {
                if (b == 0)
                    so_setLoop(SO_LOOP);
            },
            nullptr, listening);
        so_setLoop(SO_LOOP_NONE);
        if (listening) {
            EXPECT_EQ(60u * kBlock * 2, out.size()); // never ended
            EXPECT_GE(nonZeroFrames(out).size(), 4u);
        } else {
            EXPECT_LT(out.size(), 60u * kBlock * 2); // ended
            EXPECT_EQ(nonZeroFrames(out).size(), 1u);
        }
    }
}

TEST(Mixer, FlatMasteringDelaysByHalfABlockAndKeepsTheTail)
{
    fixtures::TempDir dir;
    auto build = [&](ProjectBuilder &project, bool mastering) {
        const int frames = kRate;
        wav16Track(dir, project.file(), "A", "s.wav", 2, sine(frames, 2, kRate, 440.0, 12000),
                   frames);
        ASSERT_EQ(1, createDefaultSlctWithAllTracks(project.file(), "M"));
        if (mastering) {
            _KEqualization *flat = KEqual_new();
            ASSERT_EQ(1, k_setMixMastering(project.file(), "M", flat));
            KEqual_delete(&flat);
        }
        MixManager_setMixOnPlay(project.file()->mixes, "M");
        giveElt(project.file(), "A")->status = KSTATUS_ON;
    };
    ProjectBuilder plain, mastered;
    build(plain, false);
    build(mastered, true);
    const auto a = runMixer(plain.file(), kRate, 100);
    const auto b = runMixer(mastered.file(), kRate, 100);
    const size_t delay = kBlock / 2;
    ASSERT_GE(b.size(), a.size());
    size_t lastNonZero = 0;
    for (size_t i = 0; i < a.size() / 2; ++i) {
        ASSERT_NEAR(at(a, i, 0), at(b, i + delay, 0), 1) << i;
        if (at(a, i, 0) != 0)
            lastNonZero = i;
    }
    EXPECT_GT(lastNonZero, static_cast<size_t>(kRate - 100));
}

// Track "A" (constant 10000) on, in a mix "M" of every track set on play; with a one-point
// mastering curve of `amplitude` at kMasteringHz when one is given.
constexpr double kMasteringHz = 1000.0;

void dcTrackInMixOnPlay(fixtures::TempDir &dir, KFile *file, const double *amplitude)
{
    dcTrack(dir, file, "A", 10000);
    ASSERT_EQ(1, createDefaultSlctWithAllTracks(file, "M"));
    if (amplitude) {
        _KEqualization *curve = KEqual_initAmplitudes(&kMasteringHz, amplitude, 1);
        ASSERT_EQ(1, k_setMixMastering(file, "M", curve));
        KEqual_delete(&curve);
    }
    MixManager_setMixOnPlay(file->mixes, "M");
    giveElt(file, "A")->status = KSTATUS_ON;
}

TEST(Mixer, MasteringCurveScalesTheMix)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    const double amplitude = 0.5;
    ASSERT_NO_FATAL_FAILURE(dcTrackInMixOnPlay(dir, project.file(), &amplitude));
    const auto out = runMixer(project.file(), kRate, 80);
    EXPECT_NEAR(2500, at(out, 60 * kBlock, 0), 1);
    EXPECT_NEAR(2500, at(out, 60 * kBlock + 1500, 1), 1);
}

TEST(Mixer, MovedMasteringCurveIsReloadedAtTheNextBlock)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    const double amplitude = 1.0;
    ASSERT_NO_FATAL_FAILURE(dcTrackInMixOnPlay(dir, project.file(), &amplitude));
    const auto out = runMixer(project.file(), kRate, 60, [&](int b) {
        if (b == 50) {
            KEqual_setAmplitude(k_getMixMastering(project.file(), "M"), kMasteringHz, 0.25);
            so_mixEqualMoved("Other"); // another mix: nothing reloads
            so_mixEqualMoved("M");
        }
    });
    EXPECT_NEAR(5000, at(out, 49 * kBlock, 0), 1);
    EXPECT_NEAR(1250, at(out, 52 * kBlock, 0), 1);
}

TEST(Mixer, MixOnPlayWithoutMasteringLeavesTheBlockUntouched)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    ASSERT_NO_FATAL_FAILURE(dcTrackInMixOnPlay(dir, project.file(), nullptr));
    const auto out = runMixer(project.file(), kRate, 80);
    EXPECT_EQ(5000, at(out, 60 * kBlock, 0));
}

// An MP3 file written by libsndfile is imported as a track (its length read from the file)
// and played at the level of its samples.
TEST(Mixer, Mp3TrackIsImportedAndPlays)
{
    fixtures::TempDir dir;
    ProjectBuilder project;
    // Written from floats: libsndfile's 16-bit path into the MPEG encoder adds noise.
    const std::vector<float> left = fixtures::sine(kRate, kRate, 440.0, 10000.0 / 32768.0);
    const std::string path =
        fixtures::writeAudio(dir.file("a.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, kRate,
                             2, fixtures::interleave(left, left));
    KFile *file = project.file();
    ASSERT_EQ(1, addTrack(file, createTrack(0, nullptr, 0), "A"));
    char *owned = _tvr_strcpy(path.c_str());
    ASSERT_EQ(1, addSamplePath(file, "A", owned));
    EXPECT_EQ(KAUDIOFMT_MPEG, giveTrack(file, "A")->format->code);
    EXPECT_EQ(static_cast<uint32_t>(kRate), giveTrack(file, "A")->length);
    ASSERT_EQ(1, addTrackInCurrentMix(file, "A"));
    giveElt(file, "A")->status = KSTATUS_BY_MEMBER; // playing from the start, without a fade-in
    const auto out = runMixer(file, kRate, 100);
    ASSERT_GE(out.size() / 2, static_cast<size_t>(kRate));
    // A unity stereo track plays at half its level on each side.
    double sum = 0.0;
    for (int i = kRate / 4; i < kRate * 3 / 4; ++i)
        sum += static_cast<double>(at(out, i, 0)) * at(out, i, 0);
    EXPECT_NEAR(std::sqrt(sum / (kRate / 2)), 5000.0 / std::sqrt(2.0), 300.0);
}

TEST(Mixer, UnreadableTrackEndsThePlayAtOnce)
{
    ProjectBuilder project;
    addFileTrack(project.file(), "A", "/nonexistent/track.wav", kRate);
    ESOMixAudioArg *m = nullptr;
    const auto out = runMixer(project.file(), kRate, 10, {}, &m);
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(nullptr, m->slots);
    EXPECT_GT(KSemaphore_value(m->sem), 0);
    _delete_Memory(&m);
    EXPECT_EQ(static_cast<size_t>(kBlock * 2), out.size());
}

TEST(Mixer, ContainerStreamNumberOutsideTheTracksFailsThePlay)
{
    ProjectBuilder project("/nonexistent/song.tvx");
    for (int stream : {5, -3}) {
        const std::string name = "S" + std::to_string(stream);
        ASSERT_EQ(1, addBitstreamTrack(project.file(), name.c_str(), 0, nullptr, kRate, stream));
        giveElt(project.file(), name.c_str())->status = KSTATUS_ON;
        ESOMixAudioArg *m = nullptr;
        runMixer(project.file(), kRate, 5, {}, &m);
        ASSERT_NE(nullptr, m);
        EXPECT_EQ(1, m->sourceMode);
        EXPECT_EQ(nullptr, m->slots);
        _delete_Memory(&m);
        removeTrack(project.file(), name.c_str());
    }
}

TEST(MixerSum, AddsMonoAndStereoWithHalfGainAndPanPair)
{
    const double pair[2] = {0.5, 1.0};
    std::vector<int32_t> out(4, 0);
    const int16_t stereo[4] = {1000, 2000, -1000, 3};
    k_mixaudio_KInt16(out.data(), 2, stereo, 2, pair, 2, 1.0);
    EXPECT_EQ((std::vector<int32_t>{250, 1000, -250, 1}), out);
    const int16_t mono[2] = {400, -400};
    k_mixaudio_KInt16(out.data(), 2, mono, 1, pair, 2, 2.0);
    EXPECT_EQ((std::vector<int32_t>{450, 1400, -450, -399}), out);
    std::vector<int32_t> one(2, 0);
    k_mixaudio_KInt16(one.data(), 1, stereo, 2, pair, 2, 1.0);
    EXPECT_EQ((std::vector<int32_t>{1500, -499}), one);
    // The float form: the same sums without truncation.
    std::vector<float> floats(4, 0.0f);
    const float stereoF[4] = {0.25f, -0.5f, 1.0f, 0.75f};
    k_mixaudio_KFloat(floats.data(), 2, stereoF, 2, pair, 2, 1.0);
    EXPECT_EQ((std::vector<float>{0.0625f, -0.25f, 0.25f, 0.375f}), floats);
    const float monoF[2] = {0.5f, -0.125f};
    k_mixaudio_KFloat(floats.data(), 2, monoF, 1, pair, 2, 2.0);
    EXPECT_EQ((std::vector<float>{0.3125f, 0.25f, 0.1875f, 0.25f}), floats);
    std::vector<float> oneF(2, 0.0f);
    k_mixaudio_KFloat(oneF.data(), 1, stereoF, 2, pair, 2, 1.0);
    EXPECT_EQ((std::vector<float>{-0.125f, 0.875f}), oneF);
    std::vector<float> six(2, 0.0f);
    k_mixaudio_KFloat(six.data(), 2, stereoF, 6, pair, 1, 1.0); // no such combination
    EXPECT_EQ((std::vector<float>{0.0f, 0.0f}), six);
    std::vector<int16_t> narrowed(4);
    const int32_t sums[4] = {40000, -40000, 32767, -32768};
    k_saturate_KInt16(sums, narrowed.data(), 4);
    EXPECT_EQ((std::vector<int16_t>{32767, -32768, 32767, -32768}), narrowed);
}

} // namespace

// A stereo block's meter sums keep each channel apart, in the frames taken four at a time and in
// those left over at the block's end: only the right channel is loud, and the left stays silent.
TEST(MixerMeters, StereoSumsKeepTheChannelsApartToTheLastFrame)
{
    for (int frames : {1, 3, 4, 5, 7, 9, 10, 11}) {
        SCOPED_TRACE(frames);
        std::vector<int16_t> block(2 * static_cast<size_t>(frames), 0);
        for (int i = 0; i < frames; ++i)
            block[2 * static_cast<size_t>(i) + 1] = static_cast<int16_t>(-30000 + i);
        uint64_t expected = 0;
        for (int i = 0; i < frames; ++i)
            expected += static_cast<uint64_t>(static_cast<int64_t>(-30000 + i) * (-30000 + i));
        uint64_t left = 1, right = 1;
        sumOfSquaresStereo(block.data(), frames, &left, &right);
        EXPECT_EQ(left, 0u);
        EXPECT_EQ(right, expected);
    }
}
