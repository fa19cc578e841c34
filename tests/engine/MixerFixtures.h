// Fixtures for the mixer, render and player tests: 16-bit tracks written sample-exact, projects
// whose tracks point at them, and a driver that runs the mixer block by block without threads.
#ifndef MIXER_FIXTURES_H
#define MIXER_FIXTURES_H

#include <gtest/gtest.h>

#include <sndfile.h>

#include <functional>
#include <string>
#include <vector>

#include "AudioFixtures.h"
#include "KMixer.h"
#include "KPlayer.h"
#include "ProjectBuilder.h"
#include "tvr_utils.h"

namespace mixfx
{

// Writes interleaved 16-bit samples exactly (no float conversion on the way).
inline std::string writeShorts(const std::string &path, int sfFormat, int rate, int channels,
                               const std::vector<int16_t> &interleaved)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = sfFormat;
    SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(nullptr, f) << path << ": " << sf_strerror(nullptr);
    if (!f)
        return path;
    EXPECT_EQ(static_cast<sf_count_t>(interleaved.size() / channels),
              sf_writef_short(f, interleaved.data(), interleaved.size() / channels));
    sf_close(f);
    return path;
}

// frames of a constant value on every channel.
inline std::vector<int16_t> dc(int frames, int channels, int16_t value)
{
    return std::vector<int16_t>(static_cast<size_t>(frames) * channels, value);
}

// frames of silence with one sample of value at frame position, on every channel.
inline std::vector<int16_t> clickAt(int frames, int channels, int position, int16_t value)
{
    std::vector<int16_t> s(static_cast<size_t>(frames) * channels, 0);
    for (int c = 0; c < channels; ++c)
        s[static_cast<size_t>(position) * channels + c] = value;
    return s;
}

inline std::vector<int16_t> sine(int frames, int channels, double rate, double frequency,
                                 double amplitude)
{
    std::vector<int16_t> s(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s[static_cast<size_t>(i) * channels + c] =
                static_cast<int16_t>(amplitude * std::sin(2.0 * M_PI * frequency * i / rate));
    return s;
}

// Adds a track bound to an audio file, switched on and in the current mix.
inline void addFileTrack(KFile *file, const char *name, const std::string &path, uint32_t frames,
                         int date = 0)
{
    ASSERT_EQ(1, addTrack(file, createTrack(date, nullptr, frames), name));
    ASSERT_EQ(1, setPathWOC(file, name, _tvr_strcpy(path.c_str())));
    ASSERT_EQ(1, addTrackInCurrentMix(file, name));
    giveElt(file, name)->status = KSTATUS_ON;
}

// Runs the mixer on the project block by block until it reports the end (or maxBlocks), with
// hook(block index) called before each block. Returns the interleaved stereo output. The mixer
// runs as for a render unless `listening` (as for the sound card).
inline std::vector<int16_t> runMixer(KFile *file, double rate, int maxBlocks,
                                     const std::function<void(int)> &hook = {},
                                     ESOMixAudioArg **keep = nullptr, bool listening = false)
{
    std::vector<int16_t> out;
    EXPECT_EQ(1, so_initLocks());
    computeLengthFile(file);
    ESOMixAudioArg *m =
        init_ESOMixAudioArg(file, rate, SO_FRAMES_PER_BLOCK, listening ? 0 : 1, nullptr);
    EXPECT_NE(nullptr, m);
    if (!m)
        return out;
    SOTransport &tr = so_transport();
    KMutex_lock(tr.mutexStatus);
    tr.pieceFrames.store(static_cast<int64_t>(std::llround(file->lengthSeconds * m->format->rate)));
    so_resetTransport(m->format->rate, m->frames);
    KMutex_unlock(tr.mutexStatus);
    std::vector<uint8_t> block(SO_FRAMES_PER_BLOCK * 4);
    so_setCurrentMixer(m);
    for (int b = 0; b < maxBlocks; ++b) {
        if (hook)
            hook(b);
        fillBuffer(block.data(), static_cast<int>(block.size()), m);
        const int16_t *s = reinterpret_cast<const int16_t *>(block.data());
        out.insert(out.end(), s, s + SO_FRAMES_PER_BLOCK * 2);
        if (KSemaphore_value(m->sem) > 0)
            break;
    }
    so_setCurrentMixer(nullptr);
    if (keep)
        *keep = m;
    else
        _delete_Memory(&m);
    KMutex_lock(tr.mutexStatus);
    tr.status.store(SO_STOPPED);
    tr.seekTarget.store(-1.0);
    tr.volume.store(1.0);
    tr.newVolume.store(1.0);
    tr.loop.store(SO_LOOP_NONE);
    KMutex_unlock(tr.mutexStatus);
    return out;
}

// Sample of channel c at frame i.
inline int16_t at(const std::vector<int16_t> &s, size_t frame, int c)
{
    return s[2 * frame + c];
}

} // namespace mixfx

#endif
