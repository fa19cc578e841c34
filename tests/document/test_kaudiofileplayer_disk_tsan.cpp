// What the transport plays reaches the sound card unchanged: a stored mix played through SDL's
// disk driver gives the samples of the same mix rendered to a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <QCoreApplication>
#include <QSignalSpy>

#include "DocumentFixtures.h"
#include "KAudioFilePlayer.h"
#include "KCtrlFile.h"
#include "KPlayer.h"

namespace {

int argc = 1;
char name[] = "test";
char* argv[] = {name, nullptr};
QCoreApplication app(argc, argv);

std::vector<int16_t> readWav(const std::string& path)
{
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<int16_t> samples(static_cast<size_t>(info.frames * info.channels));
    if (file) {
        samples.resize(static_cast<size_t>(sf_read_short(file, samples.data(), samples.size())));
        sf_close(file);
    }
    return samples;
}

TEST(PlayingToDisk, CapturedStreamEqualsTheRenderOfTheMix)
{
    fixtures::TempDir dir;
    const std::string rendered = dir.file("render.wav"), played = dir.file("played.raw");
    // The sound card is opened once per process: the disk driver before anything plays.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", played.c_str(), 1);
    // Faster than real time: the device never waits for the mixer, so blocks it finds not yet
    // mixed play as whole silent blocks, left out below.
    setenv("SDL_DISKAUDIODELAY", "9", 1);

    KCtrlFile doc;
    doc.addTrack("a", sineFile(dir, "a.wav", 1.5), nullptr);
    doc.addTrack("b", sineFile(dir, "b.wav", 1.0, 2), nullptr);
    ASSERT_TRUE(doc.createGroup("G", {"a", "b"}, 0, -1));
    doc.setEltsStatus(true, false);
    doc.setEltLevel("b", -30);
    doc.setPan("a", -0.5);
    ASSERT_TRUE(doc.saveCurrentMix("M"));
    KStreamFormat format{};
    KStreamFormat_init(&format);
    format.code = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    format.rate = 44100;
    format.channels = 2;
    ASSERT_TRUE(doc.exportTovixToAudioFile("M", QString::fromStdString(rendered), &format, nullptr));

    KAudioFilePlayer player(&doc);
    QSignalSpy stops(&player, &KAudioFilePlayer::stopped);
    player.play();
    ASSERT_EQ(player.getState(), KAudioFilePlayer::Playing);
    ASSERT_TRUE(stops.wait(30000));
    player.stop();
    EXPECT_EQ(so_isPlay(), 0);

    const std::vector<int16_t> want = readWav(rendered);
    ASSERT_EQ(want.size(), size_t(1.5 * 44100) * 2);
    std::vector<int16_t> got;
    const long start = fixtures::findRenderInPlayed(played, want, SO_FRAMES_PER_BLOCK * 2, &got);
    ASSERT_GE(start, 0) << "render not found in the played stream";
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(want[i], got[start + i]) << i << " of " << want.size();
    KStreamFormat_init(&format);
}

} // namespace
