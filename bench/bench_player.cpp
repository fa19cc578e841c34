// Transport latency while playing 64 stereo 44.1 kHz tracks through the SDL dummy driver: the
// time `so_stop` takes, and the time a restart (`so_outThread` while playing, which stops the
// running play first) takes on the calling thread, against the 100 ms a person accepts between a
// click and its effect (median, p99 and maximum over the iterations).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <sndfile.h>

#include "BenchFixtures.h"
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

template <typename Timed> void transport(benchmark::State &state, Timed timed)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    static Corpus corpus;
    KFile *file = makeProject(corpus);
    so_init();
    std::vector<double> times;
    for (auto _ : state) {
        startAndWait(file);
        const auto start = std::chrono::steady_clock::now();
        timed(file);
        const double elapsed = ms(std::chrono::steady_clock::now() - start);
        state.SetIterationTime(elapsed / 1000.0);
        times.push_back(elapsed);
        so_stop();
    }
    report(state, times);
    _freeZark(file);
}

void BM_StopWhilePlaying64(benchmark::State &state)
{
    transport(state, [](KFile *) { so_stop(); });
}

void BM_RestartWhilePlaying64(benchmark::State &state)
{
    transport(state, [](KFile *file) { so_outThread(file, nullptr, SO_MODE_SOUNDCARD); });
}

} // namespace

BENCHMARK(BM_StopWhilePlaying64)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestartWhilePlaying64)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);
