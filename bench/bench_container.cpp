// Exporting 16 stereo tracks of 60 s at 44.1 kHz as a container, beside the same work done by
// standard tools on the same WAV files.
//
// Vorbis: VorbisContainer/1 (one encoding thread) and VorbisContainer/0 (every core, tracks still
// written in order) at the quality the editor asks for (format code low word 255, the encoder's
// highest quality), against Oggenc: oggenc -q 10 on the 16 files one after another.
// Uncompressed: WavContainer (16-bit WAV tracks and their table) against CopyAndSync: cp of the
// same bytes followed by sync of the copy (the container is synced before it replaces its target).
// Scramble: descrambling 64 MB in memory, beside Memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sndfile.h>

#include "BenchFixtures.h"
#include "KContainer.h"
#include "KFile.h"
#include "KScramble.h"
#include "tvr_utils.h"

namespace
{

const int kTracks = 16;
const int kSeconds = 60;
const int kRate = 44100;

struct Corpus {
    fixtures::TempDir dir;
    std::vector<std::string> wav;
    KFile *project = nullptr;
    int64_t wavBytes = 0;
};

// Two tones and a little noise per track.
void writeTrack(const std::string &path, int track)
{
    benchfix::writeStereoTrack(path, kRate, kSeconds, SF_FORMAT_WAV | SF_FORMAT_PCM_16, track,
                               benchfix::Tones::WithNoise);
}

Corpus &corpus()
{
    static Corpus *made = [] {
        Corpus *c = new Corpus;
        for (int t = 0; t < kTracks; ++t)
            c->wav.push_back(c->dir.file("track" + std::to_string(t) + ".wav"));
        benchfix::forEachInParallel(kTracks, [c](int t) { writeTrack(c->wav[t], t); });
        c->project = newZark("Bench", 2.0);
        for (int t = 0; t < kTracks; ++t) {
            const std::string name = "Track " + std::to_string(t);
            addTrack(c->project, createTrack(0, nullptr, kRate * kSeconds), name.c_str());
            if (addSamplePath(c->project, name.c_str(), _tvr_strcpy(c->wav[t].c_str())) != 1) {
                std::fprintf(stderr, "cannot add %s\n", c->wav[t].c_str());
                std::exit(1);
            }
            struct stat info;
            stat(c->wav[t].c_str(), &info);
            c->wavBytes += info.st_size;
        }
        std::system("sync");
        return c;
    }();
    return *made;
}

void exportContainer(benchmark::State &state, int code, int threads)
{
    Corpus &c = corpus();
    const std::string out = c.dir.file("export.tvx");
    KContainer_setEncoderThreads(threads);
    for (auto _ : state) {
        KStreamFormat format = {};
        KStreamFormat_init(&format);
        format.code = code;
        format.bits = 16;
        format.channels = 2;
        format.rate = kRate;
        if (MeskToOgg5(c.project, out.c_str(), &format, nullptr, nullptr) != 1)
            state.SkipWithError("export failed");
    }
    struct stat info;
    stat(out.c_str(), &info);
    state.counters["MB"] = static_cast<double>(info.st_size) / 1e6;
    std::remove(out.c_str());
    KContainer_setEncoderThreads(0);
}

void VorbisContainer(benchmark::State &state)
{
    exportContainer(state, KAUDIOFMT_VORBIS | 0xFF, static_cast<int>(state.range(0)));
}
BENCHMARK(VorbisContainer)->Arg(1)->Arg(0)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void Oggenc(benchmark::State &state)
{
    Corpus &c = corpus();
    std::string command = "true";
    for (int t = 0; t < kTracks; ++t)
        command += " && oggenc -Q -q 10 -o " + c.dir.file("oggenc.ogg") + " " + c.wav[t];
    for (auto _ : state)
        benchfix::runCommand(state, command);
    std::remove(c.dir.file("oggenc.ogg").c_str());
}
BENCHMARK(Oggenc)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void WavContainer(benchmark::State &state)
{
    exportContainer(state, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);
}
BENCHMARK(WavContainer)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void CopyAndSync(benchmark::State &state)
{
    Corpus &c = corpus();
    const std::string copies = c.dir.file("copies");
    std::string command = "mkdir -p " + copies + " && cp";
    for (const std::string &w : c.wav)
        command += " " + w;
    command += " " + copies + " && sync " + copies + "/*";
    for (auto _ : state)
        benchfix::runCommand(state, command);
    state.counters["MB"] = static_cast<double>(c.wavBytes) / 1e6;
    benchfix::runCommand(state, "rm -rf " + copies);
}
BENCHMARK(CopyAndSync)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

const size_t kScrambleBytes = 64u << 20;

void Scramble(benchmark::State &state)
{
    std::vector<uint8_t> buffer(kScrambleBytes, 0x5a);
    for (auto _ : state) {
        kd(buffer.data(), buffer.size(), 12345);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kScrambleBytes);
}
BENCHMARK(Scramble)->Unit(benchmark::kMillisecond);

void Memcpy(benchmark::State &state)
{
    std::vector<uint8_t> from(kScrambleBytes, 0x5a), to(kScrambleBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kScrambleBytes);
}
BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond);

} // namespace
