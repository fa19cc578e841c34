// Mixer cost and mix render speed.
//
// MixBlock: one 2048-frame block of N stereo 44.1 kHz tracks with levels and pans, without and
// with a 4-point mastering equaliser; reported as the share of one core each track takes in real
// time (block time / block period / N; the mastering is a fixed cost per block).
// Render16x60s against SoxMix: a stored mix of 16 stereo tracks of 60 s rendered to 16-bit WAV
// (without and with the mastering equaliser), beside `sox -m` mixing the same 16 files into one
// WAV.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <sndfile.h>
#include <sys/resource.h>

#include "BenchFixtures.h"
#include "KEqual.h"
#include "KLevels.h"
#include "KMix.h"
#include "KMixer.h"
#include "KPlayer.h"
#include "KRender.h"
#include "tvr_utils.h"

namespace
{

const int kRate = 44100;

// A stereo track of two tones, written in one-second blocks.
void writeTrack(const std::string &path, int seconds, int track,
                int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16)
{
    benchfix::writeStereoTrack(path, kRate, seconds, format, track, benchfix::Tones::Plain);
}

struct Corpus {
    fixtures::TempDir dir;
    std::vector<std::string> files;
    Corpus(int tracks, int seconds)
    {
        for (int t = 0; t < tracks; ++t)
            files.push_back(dir.file("t" + std::to_string(t) + ".wav"));
        benchfix::forEachInParallel(tracks,
                                    [this, seconds](int t) { writeTrack(files[t], seconds, t); });
    }
};

// A project over the first n files, every track on, with a level and a pan of its own, and a
// stored mix "M" on play with a 4-point mastering curve.
KFile *makeProject(const Corpus &corpus, int n, int seconds, bool mastering = true)
{
    KFile *file = newZark("Bench", 2.0);
    for (int t = 0; t < n; ++t) {
        const std::string name = "T" + std::to_string(t);
        addTrack(file, createTrack(0, nullptr, static_cast<uint32_t>(seconds * kRate)),
                 name.c_str());
        setPathWOC(file, name.c_str(), _tvr_strcpy(corpus.files[t].c_str()));
        addTrackInCurrentMix(file, name.c_str());
        KElement *elt = giveElt(file, name.c_str());
        changeLevel(elt, -(t % 20));
        KElement_setPan(elt, (t % 9 - 4) / 5.0);
    }
    createDefaultSlctWithAllTracks(file, "M");
    const double freqs[4] = {60.0, 400.0, 3000.0, 12000.0}, amps[4] = {1.2, 0.9, 1.1, 0.8};
    if (mastering) {
        _KEqualization *curve = KEqual_initAmplitudes(freqs, amps, 4);
        k_setMixMastering(file, "M", curve);
        KEqual_delete(&curve);
    }
    KMix *mix = findThisSlct(file, "M");
    setMixAsCurrentMix(file, mix, 0);
    initializeStatus(file);
    k_applyLevelsFromMix(file, mix);
    MixManager_setMixOnPlay(file->mixes, "M");
    computeLengthFile(file);
    return file;
}

const Corpus &blockCorpus()
{
    static Corpus corpus(64, 20);
    return corpus;
}

void MixBlock(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    const int seconds = 20;
    KFile *file = makeProject(blockCorpus(), n, seconds, state.range(1) != 0);
    so_initLocks();
    ESOMixAudioArg *m = init_ESOMixAudioArg(file, kRate, SO_FRAMES_PER_BLOCK, 1, nullptr);
    SOTransport &tr = so_transport();
    KMutex_lock(tr.mutexStatus);
    tr.pieceFrames.store(static_cast<int64_t>(seconds) * kRate);
    tr.seekTarget.store(-1.0);
    so_resetTransport(kRate, SO_FRAMES_PER_BLOCK);
    tr.loop.store(SO_LOOP);
    KMutex_unlock(tr.mutexStatus);
    std::vector<uint8_t> block(SO_FRAMES_PER_BLOCK * 4);
    fillBuffer(block.data(), static_cast<int>(block.size()), m); // loads the tracks
    const auto start = std::chrono::steady_clock::now();
    int64_t blocks = 0;
    for (auto _ : state) {
        fillBuffer(block.data(), static_cast<int>(block.size()), m);
        benchmark::DoNotOptimize(block.data());
        ++blocks;
    }
    const double seconds_used =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double period = static_cast<double>(SO_FRAMES_PER_BLOCK) / kRate;
    state.counters["core_pct_per_track"] = 100.0 * seconds_used / blocks / period / n;
    state.counters["realtime_x"] = period * blocks / seconds_used;
    _delete_Memory(&m);
    KMutex_lock(tr.mutexStatus);
    tr.loop.store(SO_LOOP_NONE);
    tr.status.store(SO_STOPPED);
    KMutex_unlock(tr.mutexStatus);
    _freeZark(file);
}
BENCHMARK(MixBlock)
    ->ArgNames({"tracks", "mastering"})
    ->ArgsProduct({{8, 32, 64}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

const int kRenderTracks = 16;
const int kRenderSeconds = 60;

const Corpus &renderCorpus()
{
    static Corpus corpus(kRenderTracks, kRenderSeconds);
    return corpus;
}

void Render16x60s(benchmark::State &state)
{
    const Corpus &corpus = renderCorpus();
    KFile *file = makeProject(corpus, kRenderTracks, kRenderSeconds, state.range(0) != 0);
    const std::string out = corpus.dir.file("render.wav");
    KStreamFormat format = {};
    format.code = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    format.rate = kRate;
    for (auto _ : state) {
        if (k_exportTovixToAudioFile(file, "M", out.c_str(), &format, nullptr) != 1)
            state.SkipWithError("render failed");
    }
    state.counters["realtime_x"] =
        benchmark::Counter(kRenderSeconds, benchmark::Counter::kIsIterationInvariantRate);
    _freeZark(file);
}
BENCHMARK(Render16x60s)
    ->ArgName("mastering")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void SoxMix(benchmark::State &state)
{
    const Corpus &corpus = renderCorpus();
    std::string command = "sox -m";
    for (const auto &f : corpus.files)
        command += " '" + f + "'";
    command += " '" + corpus.dir.file("sox.wav") + "' 2>/dev/null";
    for (auto _ : state)
        benchfix::runCommand(state, command, "sox failed (is sox installed?)");
    state.counters["realtime_x"] =
        benchmark::Counter(kRenderSeconds, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(SoxMix)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// 64 Ogg Vorbis tracks played through SDL's disk driver in real time for 60 s: the process's
// CPU share and the callbacks that had to wait for the filler (underruns).
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void PlayVorbis64DiskDriver(benchmark::State &state)
{
    const int tracks = 64, seconds = 60;
    fixtures::TempDir dir;
    std::vector<std::string> files;
    for (int t = 0; t < tracks; ++t)
        files.push_back(dir.file("v" + std::to_string(t) + ".ogg"));
    benchfix::forEachInParallel(
        tracks,
        [&](int t) { writeTrack(files[t], seconds, t, SF_FORMAT_OGG | SF_FORMAT_VORBIS); },
        static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    KFile *file = newZark("Vorbis", 2.0);
    for (int t = 0; t < tracks; ++t) {
        const std::string name = "V" + std::to_string(t);
        addTrack(file, createTrack(0, nullptr, static_cast<uint32_t>(seconds * kRate)),
                 name.c_str());
        setPathWOC(file, name.c_str(), _tvr_strcpy(files[t].c_str()));
        addTrackInCurrentMix(file, name.c_str());
        KElement_setPan(giveElt(file, name.c_str()), (t % 9 - 4) / 5.0);
    }
    initializeStatus(file);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    const std::string out = dir.file("played.raw");
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    if (so_init() != 1) {
        state.SkipWithError("no disk audio driver");
        _freeZark(file);
        return;
    }
    double cpu = 0.0, wall = 0.0;
    for (auto _ : state) {
        const double cpu0 = cpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        so_outThread(file, nullptr, SO_MODE_SOUNDCARD);
        so_waitEndPlay();
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu = cpuSeconds() - cpu0;
    }
    state.counters["cpu_pct_of_one_core"] = 100.0 * cpu / wall;
    state.counters["underruns"] = static_cast<double>(scm_lateCallbacks());
    state.counters["wall_s"] = wall;
    so_close();
    _freeZark(file);
}
BENCHMARK(PlayVorbis64DiskDriver)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
