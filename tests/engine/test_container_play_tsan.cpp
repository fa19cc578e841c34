// Playing containers: every track of a Vorbis and of an uncompressed container seeks to the
// samples a straight read reaches; playback after a seek matches a play of the same mix from
// the start; readers are chosen by what the file stores, without a refused attempt; and the
// decoder never runs while the playback threads hold the project lock.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include <dlfcn.h>
#define OV_EXCLUDE_STATIC_CALLBACKS // this file uses none of them
#include <vorbis/vorbisfile.h>

#include "../PollUntil.h"
#include "AudioFixtures.h"
#include "KCodecVorbis.h"
#include "KContainer.h"
#include "KOggSndfile.h"
#include "KProjectLock.h"
#include "MixerFixtures.h"
#include "ProjectBuilder.h"

// The Vorbis decoder's work, seen by the test: this program's ov_open_callbacks, ov_read and
// ov_pcm_seek come before libvorbisfile's in the dynamic lookup; each counts its call, and the
// calls made by a thread holding the project lock, then passes the call on.
namespace decoderspy
{
std::atomic<int> calls{0}, underLock{0};

void note()
{
    calls.fetch_add(1);
    if (k_projectLockHeld())
        underLock.fetch_add(1);
}

template <typename F> F libvorbisfile(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace decoderspy

extern "C" int ov_open_callbacks(void *source, OggVorbis_File *decoder, const char *initial,
                                 long bytes, ov_callbacks callbacks)
{
    using Open = int (*)(void *, OggVorbis_File *, const char *, long, ov_callbacks);
    static const Open next = decoderspy::libvorbisfile<Open>("ov_open_callbacks");
    decoderspy::note();
    return next(source, decoder, initial, bytes, callbacks);
}

extern "C" long ov_read(OggVorbis_File *decoder, char *buffer, int length, int bigEndian, int word,
                        int signedSamples, int *link)
{
    using Read = long (*)(OggVorbis_File *, char *, int, int, int, int, int *);
    static const Read next = decoderspy::libvorbisfile<Read>("ov_read");
    decoderspy::note();
    return next(decoder, buffer, length, bigEndian, word, signedSamples, link);
}

extern "C" int ov_pcm_seek(OggVorbis_File *decoder, ogg_int64_t frame)
{
    using Seek = int (*)(OggVorbis_File *, ogg_int64_t);
    static const Seek next = decoderspy::libvorbisfile<Seek>("ov_pcm_seek");
    decoderspy::note();
    return next(decoder, frame);
}

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

// The container opened as a project with every track in the current mix and on.
KFile *openContainer(const std::string &path, const std::vector<Source> &sources)
{
    KFile *file = OpenTovraFile(path.c_str());
    EXPECT_NE(nullptr, file) << path;
    if (!file)
        return nullptr;
    k_lockProject();
    for (const Source &s : sources) {
        addTrackInCurrentMix(file, s.name);
        giveElt(file, s.name)->status = KSTATUS_ON;
    }
    k_unlockProject();
    return file;
}

class ContainerPlay : public testing::TestWithParam<SeekCase>
{
};

// A play sought to 30 % equals, once its fades are over, the play from the start at the same
// dates; neither play writes an error line (the reader of the stored format is the only one
// tried).
TEST_P(ContainerPlay, PlayAfterASeekMatchesThePlayFromTheStartAndWritesNoError)
{
    const SeekCase &c = GetParam();
    TempDir dir;
    const std::vector<Source> sources = {{"First", 2, 6 * kRate, 220.0},
                                         {"Middle", 1, 11 * kRate / 2, 330.0},
                                         {"Last", 2, 5 * kRate, 550.0}};
    const std::string path = exportContainer(dir, sources, c.code, "song.tvx");
    constexpr int kBlock = SO_FRAMES_PER_BLOCK;
    constexpr int kSettled = 50; // blocks after which the global and the track fades are over
    testing::internal::CaptureStderr();
    std::vector<int16_t> plain, sought;
    std::vector<int64_t> dates; // per block of `sought`, its first frame in the piece
    {
        KFile *file = openContainer(path, sources);
        ASSERT_NE(nullptr, file);
        plain = runMixer(file, kRate, 200);
        _freeZark(file);
    }
    {
        KFile *file = openContainer(path, sources);
        ASSERT_NE(nullptr, file);
        sought = runMixer(file, kRate, 200, [&](int block) {
            if (block > 0)
                dates.push_back(so_transport().date.load());
            if (block == 10) {
                ASSERT_EQ(1, so_setTime(0.3));
            }
        });
        _freeZark(file);
    }
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::string::npos, errors.find("ERROR")) << errors;
    EXPECT_EQ(std::string::npos, errors.find("Error")) << errors;

    const int64_t target = static_cast<int64_t>(6 * kRate * 0.3) / kBlock * kBlock;
    size_t jump = 0;
    while (jump < dates.size() && dates[jump] != target)
        ++jump;
    ASSERT_LT(jump, dates.size()) << "the seek never reached its block";
    int compared = 0;
    for (size_t b = jump + kSettled; b < dates.size() && b < jump + kSettled + 12; ++b) {
        const size_t from = static_cast<size_t>(dates[b]);
        ASSERT_EQ(static_cast<int64_t>(from), dates[jump] + static_cast<int64_t>(b - jump) * kBlock);
        ASSERT_LE((from + kBlock) * 2, plain.size());
        for (size_t f = 0; f < kBlock; ++f)
            for (int ch = 0; ch < 2; ++ch)
                ASSERT_NEAR(at(plain, from + f, ch), at(sought, b * kBlock + f, ch), 2 * c.tolerance)
                    << "block " << b << " frame " << f << " channel " << ch;
        ++compared;
    }
    EXPECT_EQ(12, compared);
}

INSTANTIATE_TEST_SUITE_P(Formats, ContainerPlay,
                         testing::Values(SeekCase{"Vorbis", kVorbis, 2}, SeekCase{"Wav", kWav, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

// While the tracks of a Vorbis container open for a play and its first blocks are decoded, the
// playback threads never hold the project lock inside the decoder: the editor never waits for a
// decode.
TEST(ContainerPlayStart, TracksOpenAndDecodeWithoutHoldingTheProjectLock)
{
    TempDir dir;
    std::vector<Source> sources;
    std::vector<std::string> names;
    for (int k = 0; k < 8; ++k)
        names.push_back("T" + std::to_string(k));
    for (int k = 0; k < 8; ++k)
        sources.push_back({names[k].c_str(), 1, kRate / 2, 200.0 + 10 * k});
    const std::string path = exportContainer(dir, sources, kVorbis, "many.tvx");
    KFile *file = openContainer(path, sources);
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(1, so_init());
    KProgress *progress = KProgress_new();
    decoderspy::calls = 0;
    decoderspy::underLock = 0;
    ASSERT_EQ(1, so_outThread(file, progress, SO_MODE_SOUNDCARD));
    // The readers opened, then the ring's first blocks mixed.
    EXPECT_TRUE(pollUntil([&] {
        const int state = KProgress_getState(progress);
        return state == KPROGRESS_FAILED ||
               (state == KPROGRESS_FINISHED &&
                so_transport().date.load() >= 8 * SO_FRAMES_PER_BLOCK);
    }));
    EXPECT_EQ(KPROGRESS_FINISHED, KProgress_getState(progress));
    EXPECT_EQ(1, so_stop());
    KProgress_delete(&progress);
    _freeZark(file);
    EXPECT_GE(decoderspy::calls.load(), 8 * 2); // every track opened and read
    EXPECT_EQ(0, decoderspy::underLock.load());
}

} // namespace
