// Mix rendering, run under ThreadSanitizer too (the render plays on the engine's threads): what a
// render contains depends on the mix alone, not on what plays in the open project.
#include <gtest/gtest.h>

#include <string>

#include "AudioFixtures.h"
#include "KMix.h"
#include "KRender.h"
#include "MixerFixtures.h"
#include "ProjectBuilder.h"

namespace {

using namespace mixfx;

constexpr int kRate = 44100;

// Tracks A (440 Hz) and B (1000 Hz), 1 s each, and a stored mix "M" holding A alone.
struct TwoTracks {
    fixtures::TempDir dir;
    ProjectBuilder project;
    TwoTracks()
    {
        addFileTrack(project.file(), "A",
                     writeShorts(dir.file("a.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
                                 sine(kRate, 2, kRate, 440.0, 20000)),
                     kRate);
        EXPECT_EQ(1, createDefaultSlctWithAllTracks(project.file(), "M"));
        addFileTrack(project.file(), "B",
                     writeShorts(dir.file("b.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
                                 sine(kRate, 2, kRate, 1000.0, 20000)),
                     kRate);
    }
    std::string render(const char *name)
    {
        KStreamFormat format = {};
        format.code = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        format.rate = kRate;
        format.bits = 16;
        format.channels = 2;
        const std::string path = dir.file(name);
        EXPECT_EQ(1, k_exportTovixToAudioFile(project.file(), "M", path.c_str(), &format, nullptr));
        return fixtures::readBytes(path);
    }
};

// Tracks playing outside the current mix neither sound in the render of a mix that leaves them
// out nor go silent in one that holds them: moving the statuses with the mix alone would toggle
// A off and leave B on.
TEST(RenderThreads, PlaysExactlyTheMixWhateverPlaysInTheProject)
{
    TwoTracks p;
    const std::string expected = p.render("plain.wav");
    EXPECT_GT(expected.size(), static_cast<size_t>(4 * kRate));
    KFile *f = p.project.file();
    ASSERT_EQ(1, clearCurrentMix(f));
    giveElt(f, "A")->status = KSTATUS_ON;
    giveElt(f, "B")->status = KSTATUS_ON;
    EXPECT_EQ(expected, p.render("playing.wav"));

    // And the render of a mix holding both differs: B was really left out above.
    ASSERT_EQ(1, addTrackInCurrentMix(f, "A"));
    ASSERT_EQ(1, addTrackInCurrentMix(f, "B"));
    ASSERT_EQ(1, saveCurrentSlct(f, "M"));
    EXPECT_NE(expected, p.render("both.wav"));
}

} // namespace
