// The sound card while the mixer is late: a filler held up by the project lock leaves the device
// playing silence, counted as underruns, and never an earlier block again. Played through SDL's
// disk driver, whose output file shows exactly what the device was given.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "MixerFixtures.h"
#include "../PollUntil.h"

using namespace mixfx;

namespace
{

constexpr int kRate = 44100;
constexpr int kBlock = SO_FRAMES_PER_BLOCK;

TEST(PlayerUnderrun, AHeldUpMixerGivesSilenceNeverAnEarlierBlock)
{
    fixtures::TempDir dir;
    const std::string out = dir.file("played.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    ASSERT_EQ(1, so_init()) << "no disk audio driver";

    // One track whose value steps up at every block: every mixed block is louder than the one
    // before it, through the fades too, so a block played again shows as a step down or as a
    // value lasting more than a block.
    constexpr int kBlocks = 60;
    std::vector<int16_t> ramp(static_cast<size_t>(kBlocks) * kBlock * 2);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>(1000 + 400 * (i / 2 / kBlock));
    ProjectBuilder project;
    addFileTrack(project.file(), "Ramp",
                 writeShorts(dir.file("ramp.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2, ramp),
                 kBlocks * kBlock);

    ASSERT_EQ(1, so_outThread(project.file(), nullptr, SO_MODE_SOUNDCARD));
    ASSERT_TRUE(pollUntil([] { return scm_callbacksBegun() > 15; }));
    {
        // The editor holds the project: the filler waits at its next block, the ring runs dry.
        KProjectLock hold;
        EXPECT_TRUE(pollUntil([] { return scm_lateCallbacks() >= 5; }))
            << "the device waited for the mixer";
    }
    so_waitEndPlay();
    EXPECT_GE(scm_lateCallbacks(), 5);
    unsetenv("SDL_DISKAUDIOFILE");

    const std::string bytes = fixtures::readBytes(out);
    ASSERT_GT(bytes.size(), static_cast<size_t>(kBlocks) * kBlock * 4);
    const int16_t *s = reinterpret_cast<const int16_t *>(bytes.data());
    const size_t frames = bytes.size() / 4;
    std::map<int16_t, size_t> lengths;
    int16_t last = 0;
    size_t longestSilence = 0, silence = 0, firstSound = frames;
    for (size_t f = 0; f < frames; ++f) {
        const int16_t v = s[2 * f];
        if (v == 0) {
            ++silence;
            continue;
        }
        if (firstSound == frames)
            firstSound = f;
        else
            longestSilence = std::max(longestSilence, silence);
        silence = 0;
        ASSERT_GE(v, last) << "an earlier block came back at frame " << f;
        last = v;
        ASSERT_LE(++lengths[v], static_cast<size_t>(kBlock)) << "a block played twice at " << f;
    }
    // The held-up stretch played as silence between the blocks.
    EXPECT_GE(longestSilence, static_cast<size_t>(4 * kBlock));
}

} // namespace
