// Reading, folding and resampling 16 stereo tracks of 60 s at 48 kHz (WAV and Ogg Vorbis),
// beside the same jobs done by libsndfile's own reading loop, sndfile-convert and sox.
//
// Reading: ReadFold (the engine's reader and channel folding) against PlainLibsndfile (a bare
// sf_readf_float loop over the same files) and SndfileConvert (the command-line converter).
// Resampling to 44.1 kHz and writing 16-bit WAV: Resample against Sox (default quality) and
// SoxQuickRate (its quick resampler).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <sndfile.h>
#include <unistd.h>

#include "BenchFixtures.h"
#include "KAudioConvert.h"
#include "KAudioFile.h"
#include "KResample.h"

namespace {

const int kTracks = 16;
const int kSeconds = 60;
const int kRate = 48000;
const int kOutRate = 44100;
const int kBlock = 2048;

struct Corpus {
    fixtures::TempDir dir;
    std::vector<std::string> wav, ogg;
};

// Two tones and a little noise per track.
void writeTrack(const std::string &path, int format, int track)
{
    benchfix::writeStereoTrack(path, kRate, kSeconds, format, track, benchfix::Tones::WithNoise);
}

Corpus &corpus()
{
    static Corpus *made = [] {
        Corpus *c = new Corpus;
        for (int t = 0; t < kTracks; ++t) {
            c->wav.push_back(c->dir.file("track" + std::to_string(t) + ".wav"));
            c->ogg.push_back(c->dir.file("track" + std::to_string(t) + ".ogg"));
        }
        // Tracks are made in parallel, one thread per file.
        benchfix::forEachInParallel(2 * kTracks, [c](int i) {
            const int t = i / 2;
            if (i % 2 == 0)
                writeTrack(c->wav[t], SF_FORMAT_WAV | SF_FORMAT_PCM_16, t);
            else
                writeTrack(c->ogg[t], SF_FORMAT_OGG | SF_FORMAT_VORBIS, t);
        });
        // Every case then starts from the same warm page cache, with no write-back running.
        sync();
        for (const std::vector<std::string> *set : {&c->wav, &c->ogg})
            for (const std::string &path : *set)
                benchmark::DoNotOptimize(fixtures::readBytes(path).size());
        return c;
    }();
    return *made;
}

const std::vector<std::string> &files(const benchmark::State &state)
{
    return state.range(0) == 0 ? corpus().wav : corpus().ogg;
}

void label(benchmark::State &state)
{
    state.SetLabel(state.range(0) == 0 ? "wav" : "ogg");
    state.counters["audio_s"] = kTracks * kSeconds;
}

// Engine: read floats and fold both channels with unit gains, block by block.
void ReadFold(benchmark::State &state)
{
    const std::vector<std::string> &paths = files(state);
    std::vector<float> in(2 * kBlock), out(2 * kBlock);
    const double gains[2] = {1.0, 1.0};
    for (auto _ : state) {
        double sum = 0.0;
        for (const std::string &path : paths) {
            KAudioFile *file = openKAudioFile(path.c_str(), nullptr, nullptr);
            int got;
            while ((got = readKAudioSamples_float(file, in.data(), kBlock)) > 0) {
                mixChannels_2(out.data(), 2, in.data(), 2, got, gains);
                sum += out[0];
            }
            closeKAudioReading(&file);
        }
        benchmark::DoNotOptimize(sum);
    }
    label(state);
}

// libsndfile's own reading of the same files (it decodes Ogg Vorbis through libvorbis too).
void PlainLibsndfile(benchmark::State &state)
{
    const std::vector<std::string> &paths = files(state);
    std::vector<float> in(2 * kBlock);
    for (auto _ : state) {
        double sum = 0.0;
        for (const std::string &path : paths) {
            SF_INFO info{};
            SNDFILE *file = sf_open(path.c_str(), SFM_READ, &info);
            while (sf_readf_float(file, in.data(), kBlock) > 0)
                sum += in[0];
            sf_close(file);
        }
        benchmark::DoNotOptimize(sum);
    }
    label(state);
}

// Runs before 'file' middle 'out'after on every file of the set, one after another.
void runCommands(benchmark::State &state, const std::string &before, const std::string &middle,
                 const std::string &after = std::string())
{
    const std::vector<std::string> &paths = files(state);
    const std::string out = corpus().dir.file("tool-out.wav");
    for (auto _ : state) {
        for (const std::string &path : paths) {
            const std::string command =
                before + " '" + path + "' " + middle + " '" + out + "'" + after;
            if (!benchfix::runCommand(state, command))
                return;
        }
    }
    label(state);
}

// sndfile-convert: read each file and write it as 16-bit WAV at its own rate.
void SndfileConvert(benchmark::State &state)
{
    runCommands(state, "sndfile-convert -pcm16", "");
}

// Engine: read, fold, resample 48 kHz -> 44.1 kHz and write 16-bit WAV, block by block.
void Resample(benchmark::State &state)
{
    const std::vector<std::string> &paths = files(state);
    const std::string outPath = corpus().dir.file("engine-out.wav");
    std::vector<float> in(2 * kBlock), folded(2 * kBlock), out(2 * (kBlock + 2));
    const double gains[2] = {1.0, 1.0};
    KResampler *resampler = KResampler_new(kRate, kOutRate, 2);
    for (auto _ : state) {
        for (const std::string &path : paths) {
            KAudioFile *file = openKAudioFile(path.c_str(), nullptr, nullptr);
            SF_INFO info{};
            info.samplerate = kOutRate;
            info.channels = 2;
            info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
            SNDFILE *output = sf_open(outPath.c_str(), SFM_WRITE, &info);
            int got;
            while ((got = readKAudioSamples_float(file, in.data(), kBlock)) > 0) {
                mixChannels_2(folded.data(), 2, in.data(), 2, got, gains);
                const int frames = KResampler_process_KFloat(resampler, folded.data(), got,
                                                             out.data(), kBlock + 2);
                sf_writef_float(output, out.data(), frames);
            }
            const int rest = KResampler_flush_KFloat(resampler, out.data(), kBlock + 2);
            sf_writef_float(output, out.data(), rest);
            sf_close(output);
            closeKAudioReading(&file);
        }
    }
    KResampler_delete(&resampler);
    label(state);
}

// sox: the same conversion with its default (high quality) and quick resamplers.
void Sox(benchmark::State &state)
{
    runCommands(state, "sox -q", "-b 16 -r 44100");
}

void SoxQuickRate(benchmark::State &state)
{
    runCommands(state, "sox -q", "-b 16", " rate -q 44100");
}

void configure(benchmark::internal::Benchmark *b)
{
    b->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
}

} // namespace

BENCHMARK(ReadFold)->Apply(configure);
BENCHMARK(PlainLibsndfile)->Apply(configure);
BENCHMARK(SndfileConvert)->Apply(configure);
BENCHMARK(Resample)->Apply(configure);
BENCHMARK(Sox)->Apply(configure);
BENCHMARK(SoxQuickRate)->Apply(configure);
