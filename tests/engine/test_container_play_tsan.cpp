// Playing containers: every track of a Vorbis and of an uncompressed container seeks to the
// samples a straight read reaches; playback after a seek matches a play of the same mix from
// the start; readers are chosen by what the file stores, without a refused attempt; and the
// readers open without holding the project lock.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "AudioFixtures.h"
#include "KCodecVorbis.h"
#include "KContainer.h"
#include "KOggSndfile.h"
#include "MixerFixtures.h"
#include "ProjectBuilder.h"

namespace
{

using fixtures::TempDir;
using namespace mixfx;

constexpr int kRate = 44100;

struct Source {
    const char *name;
    int channels;
    int frames;
    double frequency;
};

// A project over generated 16-bit files, exported as a container of `code`; returns its path.
std::string exportContainer(const TempDir &dir, const std::vector<Source> &sources, int code,
                            const char *fileName)
{
    ProjectBuilder project("Export");
    for (const Source &s : sources) {
        std::vector<float> samples = fixtures::sine(s.frames, kRate, s.frequency, 0.5);
        if (s.channels == 2)
            samples = fixtures::interleave(samples,
                                           fixtures::sine(s.frames, kRate, s.frequency * 1.5, 0.3));
        const std::string path = dir.file(std::string(s.name) + ".wav");
        fixtures::writeAudio(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, s.channels, samples);
        project.track(s.name, static_cast<uint32_t>(s.frames));
        EXPECT_EQ(1, addSamplePath(project.file(), s.name, _tvr_strcpy(path.c_str())));
    }
    KStreamFormat format = {};
    KStreamFormat_init(&format);
    format.code = code;
    format.bits = 16;
    format.channels = 0;
    format.rate = kRate;
    const std::string path = dir.file(fileName);
    EXPECT_EQ(1, MeskToOgg5(project.file(), path.c_str(), &format, nullptr, nullptr));
    return path;
}

constexpr int kVorbis = KAUDIOFMT_VORBIS | 0x105;
constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

// One track reader of either kind, through the functions the mixer uses.
struct TrackReader {
    KCodecVorbis *vorbis = nullptr;
    SOggSF *raw = nullptr;
    int channels = 0;
    TrackReader(const std::string &path, int track, bool isVorbis)
    {
        if (isVorbis) {
            vorbis = tvrVorbis_load(path.c_str(), track, 0, 2, 0.0);
            channels = vorbis ? vorbis->channels : 0;
        } else {
            raw = k_oggSndfileOpen(path.c_str(), track);
            channels = raw ? raw->info.channels : 0;
        }
    }
    ~TrackReader()
    {
        KCodecVorbis_close(&vorbis);
        k_sndfile_close(&raw);
    }
    bool open() const { return vorbis || raw; }
    bool seek(int64_t frame)
    {
        return vorbis ? tvrVorbis_seek(vorbis, frame) == 1 : k_sndfile_seek(raw, frame) == frame;
    }
    // Up to `frames` frames (fewer at the end).
    std::vector<int16_t> read(int frames)
    {
        std::vector<int16_t> out(static_cast<size_t>(frames) * channels);
        size_t filled = 0;
        while (filled < out.size()) {
            const int bytes = static_cast<int>((out.size() - filled) * 2);
            const int got = vorbis ? tvrVorbis_read(vorbis, out.data() + filled, bytes)
                                   : k_sndfile_read(raw, out.data() + filled, bytes);
            if (got <= 0)
                break;
            filled += static_cast<size_t>(got) / 2;
        }
        out.resize(filled);
        return out;
    }
};

struct SeekCase {
    const char *name;
    int code;
    int tolerance; // largest sample difference from a straight read
};

void PrintTo(const SeekCase &c, std::ostream *out)
{
    *out << c.name;
}

class ContainerSeek : public testing::TestWithParam<SeekCase>
{
};

// First, middle and last track; the frames 0, one block, the middle and the last frame: the
// samples read after the seek are those a straight read from the track's start finds there.
TEST_P(ContainerSeek, EveryTrackSeeksToTheSamplesOfAStraightRead)
{
    const SeekCase &c = GetParam();
    TempDir dir;
    const std::vector<Source> sources = {
        {"First", 2, 30000, 220.0}, {"Middle", 1, 25000, 330.0}, {"Last", 2, 20000, 550.0}};
    const std::string path = exportContainer(dir, sources, c.code, "song.tvx");
    const bool isVorbis = c.code == kVorbis;
    for (int k = 0; k < static_cast<int>(sources.size()); ++k) {
        TrackReader straight(path, k, isVorbis);
        ASSERT_TRUE(straight.open()) << k;
        const std::vector<int16_t> whole = straight.read(sources[k].frames + 4096);
        const int frames = static_cast<int>(whole.size()) / straight.channels;
        ASSERT_GE(frames, sources[k].frames) << k;
        if (!isVorbis) {
            // Uncompressed tracks hold the source's samples.
            const std::vector<float> source =
                fixtures::readAudio(dir.file(std::string(sources[k].name) + ".wav"));
            ASSERT_EQ(source.size(), whole.size()) << k;
            for (size_t i = 0; i < source.size(); i += 97)
                ASSERT_EQ(static_cast<int16_t>(std::lrint(source[i] * 32768.0)), whole[i]) << k;
        }
        TrackReader seeking(path, k, isVorbis);
        ASSERT_TRUE(seeking.open()) << k;
        // Backwards too, so that each seek leaves a reader somewhere else.
        for (const int frame : {frames - 1, frames / 2, static_cast<int>(SO_FRAMES_PER_BLOCK), 0}) {
            ASSERT_TRUE(seeking.seek(frame)) << "track " << k << " frame " << frame;
            const std::vector<int16_t> got = seeking.read(512);
            const size_t expected =
                static_cast<size_t>(std::min(512, frames - frame)) * straight.channels;
            ASSERT_EQ(expected, got.size()) << "track " << k << " frame " << frame;
            const size_t at = static_cast<size_t>(frame) * straight.channels;
            for (size_t i = 0; i < got.size(); ++i)
                ASSERT_NEAR(whole[at + i], got[i], c.tolerance)
                    << "track " << k << " frame " << frame << " sample " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ContainerSeek,
                         testing::Values(SeekCase{"Vorbis", kVorbis, 2}, SeekCase{"Wav", kWav, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
