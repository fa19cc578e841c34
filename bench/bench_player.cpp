// Transport latency while playing 64 stereo 44.1 kHz tracks through the SDL dummy driver: the
// time `so_stop` takes, the time a restart (`so_outThread` while playing, which stops the
// running play first) takes on the calling thread, and a start followed at once by a stop,
// against the 100 ms a person accepts between a click and its effect (median, p99 and maximum
// over the iterations). Beside them, SDL opening and closing the same device alone: the cost a
// stop avoids by leaving the close to another thread.
// Start of a Vorbis container of the same 64 tracks: the longest wait of another thread (the
// editor) for the project lock while the play opens its readers and mixes its first 20 blocks,
// goal under 10 ms, beside the time opening the 64 readers one after another takes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <SDL.h>
#include <sndfile.h>

#include "BenchFixtures.h"
#include "KCodecVorbis.h"
#include "KContainer.h"
#include "KMix.h"
#include "KPlayer.h"
#include "tvr_utils.h"

namespace
{

const int kRate = 44100;
const int kTracks = 64;
const int kSeconds = 20;

struct Corpus {
    fixtures::TempDir dir;
    std::vector<std::string> files;
    Corpus()
    {
        for (int t = 0; t < kTracks; ++t)
            files.push_back(dir.file("t" + std::to_string(t) + ".wav"));
        benchfix::forEachInParallel(kTracks, [this](int t) {
            benchfix::writeStereoTrack(files[t], kRate, kSeconds, SF_FORMAT_WAV | SF_FORMAT_PCM_16, t,
                                       benchfix::Tones::Plain);
        });
    }
};

KFile *makeProject(const Corpus &corpus)
{
    KFile *file = newZark("Bench", 2.0);
    for (int t = 0; t < kTracks; ++t) {
        const std::string name = "T" + std::to_string(t);
        addTrack(file, createTrack(0, nullptr, static_cast<uint32_t>(kSeconds * kRate)),
                 name.c_str());
        setPathWOC(file, name.c_str(), _tvr_strcpy(corpus.files[t].c_str()));
        addTrackInCurrentMix(file, name.c_str());
    }
    initializeStatus(file);
    computeLengthFile(file);
    return file;
}

// Starts the play and waits until its blocks reach the device.
void startAndWait(KFile *file)
{
    so_transport().date.store(0); // the last play's position
    so_outThread(file, nullptr, SO_MODE_SOUNDCARD);
    while (so_transport().date.load() < 20 * SO_FRAMES_PER_BLOCK)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

double ms(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void report(benchmark::State &state, std::vector<double> &t)
{
    std::sort(t.begin(), t.end());
    state.counters["median_ms"] = t[t.size() / 2];
    state.counters["p99_ms"] = t[std::min(t.size() - 1, t.size() * 99 / 100)];
    state.counters["max_ms"] = t.back();
    state.counters["goal_ms"] = 100;
}

// Times `timed` once per iteration, after `prepare`, on the 64-track project.
template <typename Prepare, typename Timed>
void transport(benchmark::State &state, Prepare prepare, Timed timed)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    static Corpus corpus;
    KFile *file = makeProject(corpus);
    so_init();
    std::vector<double> times;
    for (auto _ : state) {
        prepare(file);
        const auto start = std::chrono::steady_clock::now();
        timed(file);
        const double elapsed = ms(std::chrono::steady_clock::now() - start);
        state.SetIterationTime(elapsed / 1000.0);
        times.push_back(elapsed);
        so_stop();
    }
    report(state, times);
    so_close();
    _freeZark(file);
}

void BM_StopWhilePlaying64(benchmark::State &state)
{
    transport(state, startAndWait, [](KFile *) { so_stop(); });
}

void BM_RestartWhilePlaying64(benchmark::State &state)
{
    transport(state, startAndWait,
              [](KFile *file) { so_outThread(file, nullptr, SO_MODE_SOUNDCARD); });
}

void BM_StartThenStop64(benchmark::State &state)
{
    transport(
        state, [](KFile *) {},
        [](KFile *file) {
            so_outThread(file, nullptr, SO_MODE_SOUNDCARD);
            so_stop();
        });
}

void silence(void *, Uint8 *stream, int len)
{
    std::memset(stream, 0, static_cast<size_t>(len));
}

// The device of a play (2048 frames of 16-bit stereo at 44.1 kHz) opened, started and closed.
void BM_SdlOpenCloseDevice(benchmark::State &state)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    so_init();
    SDL_AudioSpec spec;
    SDL_zero(spec);
    spec.freq = kRate;
    spec.format = AUDIO_S16LSB;
    spec.channels = 2;
    spec.samples = SO_FRAMES_PER_BLOCK;
    spec.callback = silence;
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
        SDL_PauseAudioDevice(device, 0);
        SDL_CloseAudioDevice(device);
        const double elapsed = ms(std::chrono::steady_clock::now() - start);
        state.SetIterationTime(elapsed / 1000.0);
        times.push_back(elapsed);
        if (device == 0) {
            state.SkipWithError("no audio device");
            break;
        }
    }
    report(state, times);
}

// The 64 tracks exported once as a Vorbis container (quality 0.3).
const std::string &vorbisContainer()
{
    static Corpus corpus;
    static const std::string path = [] {
        KFile *file = makeProject(corpus);
        KStreamFormat format = {};
        KStreamFormat_init(&format);
        format.code = KAUDIOFMT_VORBIS | (KAUDIOFMT_VORBIS_QUALITY_BASE + 3);
        format.bits = 16;
        format.rate = kRate;
        const std::string out = corpus.dir.file("container.tvx");
        if (MeskToOgg5(file, out.c_str(), &format, nullptr, nullptr) != 1)
            std::fprintf(stderr, "the container could not be written\n");
        _freeZark(file);
        return out;
    }();
    return path;
}

void BM_LockWaitAtStartVorbis64(benchmark::State &state)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string &path = vorbisContainer();
    so_init();
    std::vector<double> longest;
    for (auto _ : state) {
        KFile *file = OpenTovraFile(path.c_str());
        if (!file) {
            state.SkipWithError("no container");
            break;
        }
        k_lockProject();
        initializeStatus(file);
        computeLengthFile(file);
        k_unlockProject();
        KProgress *progress = KProgress_new();
        const auto start = std::chrono::steady_clock::now();
        so_outThread(file, progress, SO_MODE_SOUNDCARD);
        double worst = 0.0;
        for (;;) {
            const int s = KProgress_getState(progress);
            if (s == KPROGRESS_FAILED ||
                (s == KPROGRESS_FINISHED && so_transport().date.load() >= 20 * SO_FRAMES_PER_BLOCK))
                break;
            const auto t0 = std::chrono::steady_clock::now();
            k_lockProject();
            worst = std::max(worst, ms(std::chrono::steady_clock::now() - t0));
            k_unlockProject();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        state.SetIterationTime(ms(std::chrono::steady_clock::now() - start) / 1000.0);
        longest.push_back(worst);
        so_stop();
        KProgress_delete(&progress);
        _freeZark(file);
    }
    std::sort(longest.begin(), longest.end());
    state.counters["max_wait_ms"] = longest.empty() ? 0.0 : longest.back();
    state.counters["median_wait_ms"] = longest.empty() ? 0.0 : longest[longest.size() / 2];
    state.counters["goal_ms"] = 10;
}

// The comparison: the 64 readers opened one after another on this thread.
void BM_OpenVorbis64Readers(benchmark::State &state)
{
    const std::string &path = vorbisContainer();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int t = 0; t < kTracks; ++t) {
            KCodecVorbis *reader = tvrVorbis_load(path.c_str(), t, 0, 2, 0.0);
            KCodecVorbis_close(&reader);
        }
        state.SetIterationTime(ms(std::chrono::steady_clock::now() - start) / 1000.0);
    }
}

} // namespace

BENCHMARK(BM_LockWaitAtStartVorbis64)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenVorbis64Readers)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StopWhilePlaying64)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestartWhilePlaying64)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartThenStop64)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SdlOpenCloseDevice)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
