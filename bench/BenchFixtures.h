// Fixtures shared by the benchmarks: generated stereo tracks written with libsndfile, parallel
// setup work and external commands run as the comparison.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <sndfile.h>

#include "../tests/engine/AudioFixtures.h"

namespace benchfix
{

// The two signals the benchmarks read: two tones with a little noise (different per track), or
// two plain tones.
enum class Tones { WithNoise, Plain };

// Writes `seconds` of a stereo track at `rate` in one-second blocks; exits if the file cannot be
// opened, since no benchmark means anything without its input.
inline void writeStereoTrack(const std::string &path, int rate, int seconds, int format, int track,
                             Tones tones)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = format;
    SNDFILE *file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::vector<float> block(2 * static_cast<size_t>(rate));
    unsigned noise = 12345u + track;
    const bool noisy = tones == Tones::WithNoise;
    const double amplitude = noisy ? 0.3 : 0.2;
    const double f1 = noisy ? 220.0 * (1 + track % 5) : 110.0 * (1 + track % 7);
    const double f2 = noisy ? 330.0 + 17.0 * track : 330.0 + 13.0 * track;
    for (int second = 0; second < seconds; ++second) {
        for (int i = 0; i < rate; ++i) {
            const double t = (static_cast<double>(second) * rate + i) / rate;
            const float left = static_cast<float>(amplitude * std::sin(2 * M_PI * f1 * t));
            const float right = static_cast<float>(amplitude * std::sin(2 * M_PI * f2 * t));
            if (noisy) {
                noise = noise * 1664525u + 1013904223u;
                const float n = static_cast<float>(noise >> 8) / 16777216.0f - 0.5f;
                block[2 * i] = left + 0.02f * n;
                block[2 * i + 1] = right - 0.02f * n;
            } else {
                block[2 * i] = left;
                block[2 * i + 1] = right;
            }
        }
        sf_writef_float(file, block.data(), rate);
    }
    sf_close(file);
}

// Runs job(0) .. job(count - 1) on `threads` threads (one per job by default), thread j taking
// jobs j, j + threads, ...
inline void forEachInParallel(int count, const std::function<void(int)> &job, int threads = 0)
{
    if (threads <= 0)
        threads = count;
    std::vector<std::thread> workers;
    for (int j = 0; j < threads; ++j)
        workers.emplace_back([&job, count, threads, j] {
            for (int i = j; i < count; i += threads)
                job(i);
        });
    for (std::thread &w : workers)
        w.join();
}

// Runs a shell command; on failure marks the case as skipped with `message` (by default
// "failed: " and the command) and returns false.
inline bool runCommand(benchmark::State &state, const std::string &command,
                       const std::string &message = std::string())
{
    if (std::system(command.c_str()) == 0)
        return true;
    state.SkipWithError((message.empty() ? "failed: " + command : message).c_str());
    return false;
}

} // namespace benchfix
