// The interactive-music container: the byte scramble, description-only files, Vorbis and
// uncompressed track containers written and read back, standard Ogg validity once unscrambled,
// atomic writes, and refusal of damaged files.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <ogg/ogg.h>
#include <sndfile.h>
#include <vorbis/vorbisfile.h>

#include "AudioFixtures.h"
#include "KCodecVorbis.h"
#include "KContainer.h"
#include "KOggSndfile.h"
#include "KSafeFile.h"
#include "KScramble.h"
#include "KZarkXml.h"
#include "ProjectBuilder.h"
#include "tvr_utils.h"

namespace
{

using fixtures::TempDir;

std::string unscramble(std::string bytes)
{
    kd(&bytes[0], bytes.size(), 0);
    return bytes;
}

std::string scramble(std::string bytes)
{
    ke(&bytes[0], bytes.size(), 0);
    return bytes;
}

std::string takeText(char *text)
{
    std::string out = text ? text : "";
    tvr_free(text);
    return out;
}

struct PageInfo {
    int serial;
    bool bos, eos;
    int64_t offset;
    long bodyBytes;
};

// Every page of an unscrambled image through libogg, which checks each CRC; fails the test when
// any byte has to be skipped.
std::vector<PageInfo> pagesOf(const std::string &image, int64_t limit = -1)
{
    const size_t size = limit < 0 ? image.size() : static_cast<size_t>(limit);
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char *buffer = ogg_sync_buffer(&sync, static_cast<long>(size));
    std::memcpy(buffer, image.data(), size);
    ogg_sync_wrote(&sync, static_cast<long>(size));
    std::vector<PageInfo> pages;
    ogg_page page;
    int64_t offset = 0;
    int got;
    while ((got = ogg_sync_pageout(&sync, &page)) != 0) {
        EXPECT_EQ(1, got) << "bytes skipped (bad page or CRC) after offset " << offset;
        if (got != 1)
            break;
        pages.push_back({ogg_page_serialno(&page), ogg_page_bos(&page) != 0,
                         ogg_page_eos(&page) != 0, offset, page.body_len});
        offset += page.header_len + page.body_len;
    }
    ogg_sync_clear(&sync);
    EXPECT_EQ(static_cast<int64_t>(size), offset) << "unread bytes at the end of the Ogg part";
    return pages;
}

// vorbisfile over an unscrambled image in memory.
struct MemoryImage {
    const std::string *bytes;
    size_t position;
};

size_t memRead(void *out, size_t size, size_t count, void *source)
{
    MemoryImage *m = static_cast<MemoryImage *>(source);
    const size_t n = std::min(size * count, m->bytes->size() - m->position);
    std::memcpy(out, m->bytes->data() + m->position, n);
    m->position += n;
    return n / size;
}

int memSeek(void *source, ogg_int64_t offset, int whence)
{
    MemoryImage *m = static_cast<MemoryImage *>(source);
    const int64_t base = whence == SEEK_SET   ? 0
                         : whence == SEEK_CUR ? m->position
                                              : m->bytes->size();
    if (base + offset < 0 || base + offset > static_cast<int64_t>(m->bytes->size()))
        return -1;
    m->position = static_cast<size_t>(base + offset);
    return 0;
}

long memTell(void *source)
{
    return static_cast<long>(static_cast<MemoryImage *>(source)->position);
}

// Decodes every link of the image: per link its serial, channels and float samples.
struct Link {
    long serial;
    int channels;
    long rate;
    std::vector<float> samples;
};

std::vector<Link> decodeLinks(const std::string &image)
{
    MemoryImage source{&image, 0};
    OggVorbis_File vf;
    const ov_callbacks callbacks = {memRead, memSeek, nullptr, memTell};
    std::vector<Link> links;
    const int opened = ov_open_callbacks(&source, &vf, nullptr, 0, callbacks);
    EXPECT_EQ(0, opened);
    if (opened != 0)
        return links;
    const long n = ov_streams(&vf);
    for (long i = 0; i < n; ++i) {
        vorbis_info *info = ov_info(&vf, static_cast<int>(i));
        links.push_back(
            {ov_serialnumber(&vf, static_cast<int>(i)), info->channels, info->rate, {}});
    }
    float **pcm;
    int section = 0;
    long got;
    while ((got = ov_read_float(&vf, &pcm, 4096, &section)) > 0) {
        Link &link = links[static_cast<size_t>(section)];
        for (long f = 0; f < got; ++f)
            for (int c = 0; c < link.channels; ++c)
                link.samples.push_back(pcm[c][f]);
    }
    ov_clear(&vf);
    return links;
}

double correlation(const std::vector<float> &a, const std::vector<float> &b, size_t count)
{
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < count; ++i) {
        ab += a[i] * b[i];
        aa += a[i] * a[i];
        bb += b[i] * b[i];
    }
    return ab / std::sqrt(aa * bb + 1e-30);
}

struct SourceTrack {
    std::string name;
    int channels;
    int rate;
    int frames;
    double frequency;
};

// A project whose tracks read generated 16-bit files.
class ContainerProject
{
public:
    ContainerProject(const TempDir &dir, const std::vector<SourceTrack> &sources,
                     int sfFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_16)
        : project("Export")
    {
        for (const SourceTrack &s : sources) {
            std::vector<float> mono = fixtures::sine(s.frames, s.rate, s.frequency, 0.5);
            std::vector<float> samples = mono;
            if (s.channels == 2)
                samples = fixtures::interleave(
                    mono, fixtures::sine(s.frames, s.rate, s.frequency * 1.5, 0.3));
            const std::string path = dir.file(s.name + ".wav");
            fixtures::writeAudio(path, sfFormat, s.rate, s.channels, samples);
            project.track(s.name.c_str(), static_cast<uint32_t>(s.frames));
            EXPECT_EQ(1, addSamplePath(project.file(), s.name.c_str(), _tvr_strcpy(path.c_str())));
            paths.push_back(path);
            this->samples.push_back(fixtures::readAudio(path));
        }
    }
    ProjectBuilder project;
    std::vector<std::string> paths;
    std::vector<std::vector<float>> samples;
};

KStreamFormat exportFormat(int code, int channels, double rate)
{
    KStreamFormat format = {};
    KStreamFormat_init(&format);
    format.code = code;
    format.bits = 16;
    format.channels = channels;
    format.rate = rate;
    return format;
}

// --- Scramble ----------------------------------------------------------------------------------

TEST(ContainerScramble, RoundTripAtAnyPositionAndLength)
{
    std::mt19937 random(7);
    const int64_t M = KSCRAMBLE_PERIOD;
    const std::vector<std::pair<int64_t, size_t>> cases = {{0, 0},
                                                           {0, 1},
                                                           {0, 4096},
                                                           {1, 255},
                                                           {M - 1, 2},
                                                           {M - 100, 300},
                                                           {M, 17},
                                                           {2 * M - 5, 1000000},
                                                           {123456789, 65536},
                                                           {(int64_t(1) << 40) + 3, 5000}};
    for (const auto &c : cases) {
        std::vector<uint8_t> original(c.second);
        for (uint8_t &b : original)
            b = static_cast<uint8_t>(random());
        std::vector<uint8_t> buffer = original;
        ke(buffer.data(), buffer.size(), c.first);
        if (c.second > 300) {
            EXPECT_NE(original, buffer) << c.first;
        }
        kd(buffer.data(), buffer.size(), c.first);
        EXPECT_EQ(original, buffer) << "position " << c.first << " length " << c.second;
    }
}

TEST(ContainerScramble, StoredByteDependsOnPositionModuloPeriod)
{
    auto stored = [](uint8_t value, int64_t position) {
        ke(&value, 1, position);
        return value;
    };
    const int64_t M = KSCRAMBLE_PERIOD;
    EXPECT_EQ(static_cast<uint8_t>('O' + KSCRAMBLE_OFFSET), stored('O', 0));
    for (int64_t p : {int64_t(0), int64_t(5), M - 1, int64_t(999999)}) {
        EXPECT_EQ(stored(0x41, p), stored(0x41, p + M)) << p;
        EXPECT_NE(stored(0x41, p), stored(0x41, p + 1)) << p;
    }
    // A block scrambled in one piece equals the same block scrambled in pieces.
    std::vector<uint8_t> whole(3000, 9), parts(3000, 9);
    ke(whole.data(), whole.size(), M - 1000);
    ke(parts.data(), 1000, M - 1000);
    ke(parts.data() + 1000, 2000, M);
    EXPECT_EQ(whole, parts);
}

TEST(ContainerScramble, VorbisQualityFromFormatCode)
{
    EXPECT_FLOAT_EQ(0.5f, k_vorbisQualityFromFormat(KAUDIOFMT_VORBIS | 0x105));
    EXPECT_FLOAT_EQ(0.0f, k_vorbisQualityFromFormat(KAUDIOFMT_VORBIS | 0x100));
    EXPECT_FLOAT_EQ(1.0f, k_vorbisQualityFromFormat(KAUDIOFMT_VORBIS | 0x10A));
    EXPECT_GT(k_vorbisQualityFromFormat(KAUDIOFMT_VORBIS | 0xFF), 1.0e8f);
}

// --- Description-only containers -----------------------------------------------------------------

TEST(ContainerDescription, OnePageWithBothFlagsAndTextBack)
{
    TempDir dir;
    const std::string path = dir.file("project.tvprj");
    const std::string text = "<TOVRA-2.0><VERSION>2.000000</VERSION></TOVRA-2.0>";
    ASSERT_EQ(1, MeskToOgg5(nullptr, path.c_str(), nullptr, text.c_str(), nullptr));
    const std::string image = unscramble(fixtures::readBytes(path));
    std::vector<PageInfo> pages = pagesOf(image);
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(0, pages[0].serial);
    EXPECT_TRUE(pages[0].bos);
    EXPECT_TRUE(pages[0].eos);
    EXPECT_EQ(static_cast<long>(text.size()), pages[0].bodyBytes);
    EXPECT_EQ(text, takeText(extractXmlDescFromOgg(path.c_str())));
    EXPECT_EQ(std::vector<std::string>{"project.tvprj"}, dir.entries());
}

TEST(ContainerDescription, ProjectOfThreeHundredTracksSpansPagesAndReopens)
{
    ProjectBuilder project;
    for (int i = 0; i < 300; ++i) {
        const std::string name = "Track number " + std::to_string(i);
        project.track(name.c_str(), 44100 + i);
        setEltComment(project.file(), name.c_str(), std::string(300, 'a' + i % 26).c_str());
    }
    addSong(project.file(), "TITLE", "Large");
    XmlObject *tree = exportXmlDesc(project.file(), 0);
    ASSERT_NE(nullptr, tree);
    const std::string text = takeText(XmlToString2(nullptr, tree));
    DeleteRecXmlObject(tree);
    ASSERT_GT(text.size(), 65024u * 2);

    TempDir dir;
    const std::string path = dir.file("large.tvprj");
    ASSERT_EQ(1, MeskToOgg5(nullptr, path.c_str(), nullptr, text.c_str(), nullptr));
    std::vector<PageInfo> pages = pagesOf(unscramble(fixtures::readBytes(path)));
    ASSERT_GE(pages.size(), 3u);
    EXPECT_TRUE(pages.front().bos);
    EXPECT_TRUE(pages.back().eos);
    EXPECT_EQ(text, takeText(extractXmlDescFromOgg(path.c_str())));

    KFile *reopened = OpenTovraFile(path.c_str());
    ASSERT_NE(nullptr, reopened);
    EXPECT_EQ(300, tracksNbr(reopened));
    _freeZark(reopened);
}

// --- Vorbis containers
// ------------------------------------------------------------------------------

TEST(ContainerVorbis, TracksAreLinksOfAValidChainAndDecodeBack)
{
    TempDir dir;
    ContainerProject source(dir, {{"Bass", 2, 44100, 50000, 220.0},
                                  {"Voice", 1, 44100, 1000, 440.0},
                                  {"Drums", 2, 44100, 30000, 330.0}});
    KFile *file = source.project.file();
    KStreamFormat format = exportFormat(KAUDIOFMT_VORBIS | 0x105, 2, 44100);
    const std::string path = dir.file("song.tvx");
    KProgress *progress = KProgress_new();
    ASSERT_EQ(1, MeskToOgg5(file, path.c_str(), &format, nullptr, progress));
    EXPECT_EQ(KPROGRESS_FINISHED, KProgress_getState(progress));
    KProgress_delete(&progress);
    // The project keeps its own stream numbers (its tracks still point to their files).
    EXPECT_EQ(KSTREAM_NONE, giveTrack(file, "Bass")->stream);

    const std::string image = unscramble(fixtures::readBytes(path));
    std::vector<PageInfo> pages = pagesOf(image);
    ASSERT_GE(pages.size(), 5u);
    // First link: the description's and track 0's beginning pages come first.
    EXPECT_TRUE(pages[0].bos && pages[0].serial == 3 && pages[0].eos);
    EXPECT_TRUE(pages[1].bos && pages[1].serial == 0);
    // Every later beginning page starts a link of one track, numbered in order; no serial twice in
    // a link.
    std::vector<int> linkSerials;
    std::set<int> inLink = {3, 0};
    for (size_t i = 2; i < pages.size(); ++i) {
        if (pages[i].bos) {
            EXPECT_FALSE(inLink.count(pages[i].serial));
            inLink = {pages[i].serial};
            linkSerials.push_back(pages[i].serial);
        }
    }
    EXPECT_EQ((std::vector<int>{1, 2}), linkSerials);
    EXPECT_TRUE(pages.back().eos);

    std::vector<Link> links = decodeLinks(image);
    ASSERT_EQ(3u, links.size());
    for (size_t k = 0; k < links.size(); ++k) {
        EXPECT_EQ(static_cast<long>(k), links[k].serial);
        EXPECT_EQ(2, links[k].channels);
        EXPECT_EQ(44100, links[k].rate);
    }
    // Whole blocks of 1024 frames: 1000 frames become 1024.
    EXPECT_EQ(1024u * 2, links[1].samples.size());
    // Stereo sources decode close to what they were.
    for (size_t k : {size_t(0), size_t(2)}) {
        const size_t count = std::min(links[k].samples.size(), source.samples[k].size());
        EXPECT_GT(correlation(links[k].samples, source.samples[k], count), 0.99) << k;
    }
    // A mono source goes to both sides.
    std::vector<float> left;
    for (size_t f = 0; f < 1000; ++f)
        left.push_back(links[1].samples[2 * f]);
    EXPECT_GT(correlation(left, source.samples[1], 1000), 0.95);

    // The description names the tracks by stream.
    const std::string text = takeText(extractXmlDescFromOgg(path.c_str()));
    EXPECT_NE(std::string::npos, text.find("<STREAM>2</STREAM>"));
    EXPECT_EQ(std::string::npos, text.find("<FILE>"));
}

TEST(ContainerVorbis, PlaybackReaderReadsSeeksAndStopsAtTheLinkEnd)
{
    TempDir dir;
    ContainerProject source(dir, {{"A", 2, 44100, 4096, 200.0}, {"B", 2, 44100, 20000, 500.0}});
    KStreamFormat format = exportFormat(KAUDIOFMT_VORBIS | 0x105, 2, 44100);
    const std::string path = dir.file("song.tvx");
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &format, nullptr, nullptr));

    KCodecVorbis *track = tvrVorbis_load(path.c_str(), 1, 2, 2, 44100.0);
    ASSERT_NE(nullptr, track);
    EXPECT_EQ(2, track->channels);
    const int64_t frames = tvrVorbis_frames(track);
    EXPECT_EQ(20480, frames);
    std::vector<int16_t> all(static_cast<size_t>(frames) * 2 + 1000, 0x5555);
    const int bytes = static_cast<int>(all.size() * 2);
    EXPECT_EQ(frames * 4, tvrVorbis_read(track, all.data(), bytes));
    // The rest of the request is cleared.
    EXPECT_EQ(0, all.back());
    EXPECT_EQ(0, tvrVorbis_read(track, all.data(), 400));

    // A seek lands on the same samples as a straight read.
    ASSERT_EQ(1, tvrVorbis_seek(track, 10000));
    std::vector<int16_t> part(200);
    EXPECT_EQ(400, tvrVorbis_read(track, part.data(), 400));
    for (size_t i = 0; i < part.size(); ++i)
        EXPECT_NEAR(all[20000 + i], part[i], 2) << i;
    EXPECT_GT(0, tvrVorbis_seek(track, frames + 1));
    KCodecVorbis_close(&track);
    EXPECT_EQ(nullptr, track);

    // Track 0 of the first link starts at its own first sample.
    KCodecVorbis *first = tvrVorbis_load(path.c_str(), 0, 0, 2, 0.0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(4096, tvrVorbis_frames(first));
    KCodecVorbis_close(&first);

    testing::internal::CaptureStderr();
    EXPECT_EQ(nullptr, tvrVorbis_load(path.c_str(), 2, 2, 2, 44100.0)); // no such link
    EXPECT_EQ(nullptr, tvrVorbis_load(path.c_str(), 0, 1, 2, 44100.0)); // channels differ
    EXPECT_EQ(nullptr, tvrVorbis_load(dir.file("none.tvx").c_str(), 0, 2, 2, 44100.0));
    testing::internal::GetCapturedStderr();
}

// A link whose codebooks cannot be built is refused at open (the decoder would otherwise fail on
// the first read and divide by zero on the next); the other tracks still read.
TEST(ContainerVorbis, DamagedCodebooksAreRefusedAtOpen)
{
    TempDir dir;
    ContainerProject source(dir, {{"A", 1, 44100, 3000, 200.0}, {"B", 1, 44100, 3000, 500.0}});
    KStreamFormat format = exportFormat(KAUDIOFMT_VORBIS | 0x105, 1, 44100);
    const std::string path = dir.file("song.tvx");
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &format, nullptr, nullptr));
    const std::string image = unscramble(fixtures::readBytes(path));
    fixtures::writeBytes(path, scramble(fixtures::breakCodebook(image, 1)));

    testing::internal::CaptureStderr();
    KCodecVorbis *broken = tvrVorbis_load(path.c_str(), 1, 0, 2, 0.0);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(nullptr, broken);
    KCodecVorbis_close(&broken);
    EXPECT_NE(std::string::npos, message.find("cannot be decoded")) << message;

    KCodecVorbis *good = tvrVorbis_load(path.c_str(), 0, 0, 2, 0.0);
    ASSERT_NE(nullptr, good);
    std::vector<int16_t> samples(3000);
    EXPECT_EQ(6000, tvrVorbis_read(good, samples.data(), 6000));
    KCodecVorbis_close(&good);
}

// A lost page in the middle of a track is a hole the decoder steps over: every read but the last
// is filled, and only the lost page's samples are missing.
TEST(ContainerVorbis, ALostPageIsSteppedOver)
{
    TempDir dir;
    ContainerProject source(dir, {{"A", 1, 44100, 3000, 200.0}, {"B", 2, 44100, 400000, 500.0}});
    KStreamFormat format = exportFormat(KAUDIOFMT_VORBIS | 0x105, 0, 44100);
    const std::string path = dir.file("song.tvx");
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &format, nullptr, nullptr));
    std::string image = unscramble(fixtures::readBytes(path));
    std::vector<PageInfo> trackPages;
    for (const PageInfo &page : pagesOf(image))
        if (page.serial == 1)
            trackPages.push_back(page);
    ASSERT_GT(trackPages.size(), 8u);
    const PageInfo &lost = trackPages[trackPages.size() / 2];
    image.erase(static_cast<size_t>(lost.offset), trackPages[trackPages.size() / 2 + 1].offset - lost.offset);
    fixtures::writeBytes(path, scramble(image));

    KCodecVorbis *track = tvrVorbis_load(path.c_str(), 1, 0, 2, 0.0);
    ASSERT_NE(nullptr, track);
    std::vector<int16_t> samples(2000);
    int64_t frames = 0;
    int got, shortReads = 0;
    testing::internal::CaptureStderr();
    while ((got = tvrVorbis_read(track, samples.data(), 4000)) > 0) {
        frames += got / 4;
        shortReads += got < 4000;
    }
    testing::internal::GetCapturedStderr();
    EXPECT_LE(shortReads, 1);
    EXPECT_GT(frames, 300000);
    EXPECT_LT(frames, 400000);
    KCodecVorbis_close(&track);
}

// What a command prints (both streams) and whether it succeeded.
std::pair<bool, std::string> runTool(const std::string &command)
{
    std::string output;
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return {false, "cannot run " + command};
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        output.append(buffer, got);
    return {pclose(pipe) == 0, output};
}

// The standard Ogg tools accept every Vorbis container written, its scramble removed: tracks of
// one page, of many pages, empty, mono and stereo.
TEST(ContainerVorbis, StandardToolsAcceptTheContainers)
{
    struct Case {
        const char *name;
        std::vector<SourceTrack> tracks;
        int code;
    } cases[] = {
        {"one short track", {{"A", 1, 44100, 300, 200.0}}, KAUDIOFMT_VORBIS | 0x105},
        {"one-page tracks", {{"A", 2, 44100, 1000, 200.0}, {"B", 1, 44100, 2000, 300.0}},
         KAUDIOFMT_VORBIS | 0x105},
        {"empty and long", {{"A", 2, 44100, 0, 200.0}, {"B", 2, 44100, 100000, 300.0}},
         KAUDIOFMT_VORBIS | 0x105},
    };
    for (const Case &c : cases) {
        TempDir dir;
        ContainerProject source(dir, c.tracks);
        KStreamFormat format = exportFormat(c.code, 0, 44100);
        const std::string path = dir.file("song.tvx");
        ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &format, nullptr, nullptr))
            << c.name;
        const std::string plain = dir.file("song.ogg");
        fixtures::writeBytes(plain, unscramble(fixtures::readBytes(path)));
        for (const std::string tool : {"ogginfo", "oggz-validate", "oggdec -Q -o /dev/null"}) {
            const auto [ok, output] = runTool(tool + " '" + plain + "'");
            EXPECT_TRUE(ok) << c.name << ": " << tool << "\n" << output;
            EXPECT_EQ(std::string::npos, output.find("WARNING")) << c.name << ": " << output;
            EXPECT_EQ(std::string::npos, output.find("rror")) << c.name << ": " << output;
        }
    }
}

TEST(ContainerVorbis, EachTrackIsFoundAloneInALargeContainer)
{
    TempDir dir;
    std::vector<SourceTrack> sources;
    for (int i = 0; i < 12; ++i)
        sources.push_back({"T" + std::to_string(i), 2, 44100, 200000 + 1000 * i, 150.0 + 40 * i});
    ContainerProject source(dir, sources);
    KStreamFormat format = exportFormat(KAUDIOFMT_VORBIS | 0xFF, 2, 44100); // highest quality
    const std::string path = dir.file("large.tvx");
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &format, nullptr, nullptr));
    ASSERT_GT(fixtures::readBytes(path).size(), 8u * 65536); // large enough to be bisected
    for (int k = 0; k < 12; ++k) {
        KCodecVorbis *track = tvrVorbis_load(path.c_str(), k, 2, 2, 44100.0);
        ASSERT_NE(nullptr, track) << k;
        EXPECT_EQ(0, track->decoderLink) << k; // the decoder sees this track's bytes alone
        EXPECT_EQ((sources[k].frames + 1023) / 1024 * 1024, tvrVorbis_frames(track)) << k;
        std::vector<int16_t> samples(2 * 4000);
        ASSERT_EQ(static_cast<int>(samples.size() * 2),
                  tvrVorbis_read(track, samples.data(), static_cast<int>(samples.size() * 2)));
        std::vector<float> decoded(samples.begin(), samples.end());
        EXPECT_GT(correlation(decoded, source.samples[k], decoded.size()), 0.99) << k;
        KCodecVorbis_close(&track);
    }
}

TEST(ContainerVorbis, LongDescriptionKeepsFirstLinkDecodable)
{
    TempDir dir;
    ContainerProject source(dir, {{"A", 1, 44100, 8000, 300.0}, {"B", 1, 44100, 8000, 600.0}});
    const std::string text = "<TOVRA-2.0>" + std::string(200000, 'x') + "</TOVRA-2.0>";
    KStreamFormat format = exportFormat(KAUDIOFMT_VORBIS | 0x103, 1, 44100);
    const std::string path = dir.file("big.tvx");
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &format, text.c_str(), nullptr));
    const std::string image = unscramble(fixtures::readBytes(path));
    std::vector<PageInfo> pages = pagesOf(image);
    ASSERT_GE(pages.size(), 4u);
    EXPECT_TRUE(pages[0].bos && pages[0].serial == 2 && !pages[0].eos);
    EXPECT_TRUE(pages[1].bos && pages[1].serial == 0);
    std::vector<Link> links = decodeLinks(image);
    ASSERT_EQ(2u, links.size());
    EXPECT_GT(correlation(links[0].samples, source.samples[0], 8000), 0.99);
    EXPECT_EQ(text, takeText(extractXmlDescFromOgg(path.c_str())));
    KCodecVorbis *track = tvrVorbis_load(path.c_str(), 0, 1, 2, 44100.0);
    ASSERT_NE(nullptr, track);
    KCodecVorbis_close(&track);

    // The same description before uncompressed tracks: the table starts after its last page.
    KStreamFormat wav = exportFormat(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 44100);
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &wav, text.c_str(), nullptr));
    EXPECT_EQ(text, takeText(extractXmlDescFromOgg(path.c_str())));
    SOggSF *raw = k_oggSndfileOpen(path.c_str(), 1);
    ASSERT_NE(nullptr, raw);
    EXPECT_EQ(8000, raw->info.frames);
    k_sndfile_close(&raw);
}

TEST(ContainerVorbis, ResampledTrackKeepsItsDuration)
{
    TempDir dir;
    ContainerProject source(dir, {{"Fast", 1, 48000, 48000, 440.0}});
    KStreamFormat format = exportFormat(KAUDIOFMT_VORBIS | 0x104, 1, 44100);
    const std::string path = dir.file("rate.tvx");
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &format, nullptr, nullptr));
    std::vector<Link> links = decodeLinks(unscramble(fixtures::readBytes(path)));
    ASSERT_EQ(1u, links.size());
    EXPECT_EQ(44100, links[0].rate);
    EXPECT_EQ(44100u, links[0].samples.size());
}

// --- Uncompressed containers
// -------------------------------------------------------------------------

int64_t readInt64(const std::string &image, size_t at)
{
    uint64_t v = 0;
    for (int b = 7; b >= 0; --b)
        v = (v << 8) | static_cast<uint8_t>(image[at + b]);
    return static_cast<int64_t>(v);
}

struct RawCase {
    const char *name;
    int code;
    const char *magic;
};

class ContainerRaw : public testing::TestWithParam<RawCase>
{
};

TEST_P(ContainerRaw, TracksComeBackBitExactWithTheirTable)
{
    const RawCase &c = GetParam();
    TempDir dir;
    ContainerProject source(dir, {{"One", 2, 44100, 5000, 220.0},
                                  {"Two", 1, 44100, 2049, 330.0},
                                  {"Three", 2, 44100, 4096, 440.0}});
    KStreamFormat format = exportFormat(c.code, 0, 44100);
    const std::string path = dir.file("song.tvx");
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &format, nullptr, nullptr));
    if ((c.code & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW) {
        EXPECT_EQ(SF_FORMAT_AU, format.code & SF_FORMAT_TYPEMASK); // RAW is written as AU
    }

    const std::string image = unscramble(fixtures::readBytes(path));
    const size_t size = image.size();
    EXPECT_EQ(3, readInt64(image, size - 8));
    std::vector<int64_t> offsets = {readInt64(image, size - 32), readInt64(image, size - 24),
                                    readInt64(image, size - 16)};
    std::vector<PageInfo> pages = pagesOf(image, offsets[0]);
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(3, pages[0].serial);
    for (int64_t offset : offsets)
        EXPECT_EQ(0, image.compare(static_cast<size_t>(offset), 4, c.magic)) << offset;

    for (int k = 0; k < 3; ++k) {
        SOggSF *track = k_oggSndfileOpen(path.c_str(), k);
        ASSERT_NE(nullptr, track) << k;
        EXPECT_EQ(offsets[k], track->start);
        EXPECT_EQ((k < 2 ? offsets[k + 1] : static_cast<int64_t>(size) - 32) - 1, track->end);
        // Exactly the source's frames: the last block is not padded.
        const std::vector<float> &expected = source.samples[k];
        const int channels = track->info.channels;
        EXPECT_EQ(static_cast<sf_count_t>(expected.size() / channels), track->info.frames);
        std::vector<int16_t> samples(expected.size() + 64);
        const int bytes =
            k_sndfile_read(track, samples.data(), static_cast<int>(samples.size() * 2));
        ASSERT_EQ(static_cast<int>(expected.size() * 2), bytes);
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(static_cast<int16_t>(std::lrint(expected[i] * 32768.0)), samples[i])
                << k << ":" << i;
        EXPECT_EQ(100, k_sndfile_seek(track, 100));
        int16_t frame[2];
        EXPECT_EQ(2 * channels, k_sndfile_read(track, frame, 2 * channels));
        EXPECT_EQ(static_cast<int16_t>(std::lrint(expected[100 * channels] * 32768.0)), frame[0]);
        k_sndfile_close(&track);
        EXPECT_EQ(nullptr, track);
    }
    // The embedded files are complete: their headers carry their real sizes, and a standard
    // reader sees each one's length.
    std::string second =
        image.substr(static_cast<size_t>(offsets[1]), static_cast<size_t>(offsets[2] - offsets[1]));
    if (std::string(c.magic) == "RIFF") {
        const uint32_t riff = static_cast<uint8_t>(second[4]) |
                              static_cast<uint8_t>(second[5]) << 8 |
                              static_cast<uint8_t>(second[6]) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(second[7])) << 24;
        EXPECT_EQ(second.size() - 8, riff);
    }
    if (std::string(c.magic) == ".snd") {
        const uint32_t dataOffset =
            static_cast<uint8_t>(second[4]) << 24 | static_cast<uint8_t>(second[5]) << 16 |
            static_cast<uint8_t>(second[6]) << 8 | static_cast<uint8_t>(second[7]);
        const uint32_t dataSize = static_cast<uint32_t>(static_cast<uint8_t>(second[8])) << 24 |
                                  static_cast<uint8_t>(second[9]) << 16 |
                                  static_cast<uint8_t>(second[10]) << 8 |
                                  static_cast<uint8_t>(second[11]);
        EXPECT_EQ(second.size() - dataOffset, dataSize);
    }
    const std::string copy = dir.file(std::string("second.") + c.name);
    fixtures::writeBytes(copy, second);
    SF_INFO info{};
    fixtures::readAudio(copy, &info);
    EXPECT_EQ(2049, info.frames);
}

// A panned track keeps its pan, also a 16-bit stereo one written to 16-bit stereo, where only
// one side is lowered and unchanged samples could otherwise be copied as they are.
TEST(ContainerRawMix, PanAndChannelsAreBakedIn)
{
    TempDir dir;
    ContainerProject source(dir,
                            {{"Mono", 1, 44100, 3000, 440.0}, {"Stereo", 2, 44100, 3000, 330.0}});
    KElement_setPan(source.project.elt("Mono"), 0.5);    // left side at half gain
    KElement_setPan(source.project.elt("Stereo"), -0.5); // right side at half gain
    KStreamFormat format = exportFormat(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100);
    const std::string path = dir.file("mix.tvx");
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &format, nullptr, nullptr));
    for (int k = 0; k < 2; ++k) {
        SOggSF *track = k_oggSndfileOpen(path.c_str(), k);
        ASSERT_NE(nullptr, track);
        ASSERT_EQ(2, track->info.channels);
        std::vector<int16_t> samples(6000);
        ASSERT_EQ(12000, k_sndfile_read(track, samples.data(), 12000));
        k_sndfile_close(&track);
        const std::vector<float> &in = source.samples[k];
        for (size_t f = 0; f < 3000; ++f) {
            const double left = (k == 0 ? in[f] : in[2 * f]) * 32768.0;
            const double right = (k == 0 ? in[f] : in[2 * f + 1]) * 32768.0;
            ASSERT_NEAR(k == 0 ? 0.5 * left : left, samples[2 * f], 1.0) << k << ":" << f;
            ASSERT_NEAR(k == 0 ? right : 0.5 * right, samples[2 * f + 1], 1.0) << k << ":" << f;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ContainerRaw,
                         testing::Values(RawCase{"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "RIFF"},
                                         RawCase{"aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, "FORM"},
                                         RawCase{"au", SF_FORMAT_AU | SF_FORMAT_PCM_16, ".snd"},
                                         RawCase{"caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, "caff"},
                                         RawCase{"raw", SF_FORMAT_RAW | SF_FORMAT_PCM_16, ".snd"}),
                         [](const testing::TestParamInfo<RawCase> &info) {
                             return std::string(info.param.name);
                         });

// --- Export at another rate than the sources'
// ----------------------------------------------------------

// The audio a container stores for track k: frames, channels and rate, decoded from its Vorbis
// link or read from its uncompressed file.
struct StoredAudio {
    int64_t frames = -1;
    int channels = 0;
    double rate = 0.0;
};

StoredAudio storedAudio(const std::string &path, bool vorbis, int k)
{
    StoredAudio stored;
    if (vorbis) {
        std::vector<Link> links = decodeLinks(unscramble(fixtures::readBytes(path)));
        if (k < static_cast<int>(links.size()) && links[k].channels > 0)
            stored = {static_cast<int64_t>(links[k].samples.size() / links[k].channels),
                      links[k].channels, static_cast<double>(links[k].rate)};
    } else if (SOggSF *raw = k_oggSndfileOpen(path.c_str(), k)) {
        stored = {raw->info.frames, raw->info.channels, static_cast<double>(raw->info.samplerate)};
        k_sndfile_close(&raw);
    }
    return stored;
}

// Tracks of 44.1 kHz files exported at another rate load back with the frame counts, start
// dates, rate and channels of the audio stored for them, so their durations and positions in
// seconds are those of the sources; the project keeps its own values.
TEST(ContainerRate, ReadBackTracksDescribeTheStoredAudio)
{
    const struct {
        const char *what;
        int code;
        int rate;
        int channels; // 0: each track's own
    } cases[] = {
        {"Vorbis 22050", KAUDIOFMT_VORBIS | 0x104, 22050, 0},
        {"Vorbis 48000 mono", KAUDIOFMT_VORBIS | 0x104, 48000, 1},
        {"WAV 22050 mono", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1},
        {"WAV 48000", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 0},
        {"AIFF 44100", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 0},
    };
    const struct {
        const char *name;
        int channels;
        int frames;
        int date;
    } tracks[] = {{"Stereo", 2, 30001, 0}, {"Mono", 1, 10000, 22050}};
    TempDir dir;
    ContainerProject source(
        dir, {{tracks[0].name, tracks[0].channels, 44100, tracks[0].frames, 220.0},
              {tracks[1].name, tracks[1].channels, 44100, tracks[1].frames, 440.0}});
    KFile *file = source.project.file();
    giveTrack(file, "Mono")->date = tracks[1].date;
    computeLengthFile(file);
    const double seconds = lengthInSec(file);

    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        KStreamFormat format = exportFormat(c.code, c.channels, c.rate);
        const std::string path = dir.file("rate.tvx");
        ASSERT_EQ(1, MeskToOgg5(file, path.c_str(), &format, nullptr, nullptr));
        KFile *back = OpenTovraFile(path.c_str());
        ASSERT_NE(nullptr, back);
        for (int k = 0; k < 2; ++k) {
            const auto &t = tracks[k];
            SCOPED_TRACE(t.name);
            KTrack *track = giveTrack(back, t.name);
            ASSERT_NE(nullptr, track);
            ASSERT_EQ(k, track->stream);
            const bool vorbis = (c.code & KAUDIOFMT_MAJOR_MASK) == KAUDIOFMT_VORBIS;
            const StoredAudio stored = storedAudio(path, vorbis, k);
            // The audio really is at the export rate: ceil(frames x rate / 44100) frames.
            EXPECT_EQ(c.rate, stored.rate);
            EXPECT_EQ((static_cast<int64_t>(t.frames) * c.rate + 44099) / 44100, stored.frames);
            EXPECT_EQ(c.channels > 0 ? c.channels : t.channels, stored.channels);
            // And the description says so.
            EXPECT_EQ(stored.frames, static_cast<int64_t>(tvr_getTrackSize(back, t.name)));
            EXPECT_EQ(stored.rate, k_getTrackRate(back, track));
            EXPECT_EQ(stored.channels, k_getTrackChannels(back, track));
            EXPECT_EQ(std::llround(t.date * (c.rate / 44100.0)), track->date);
            EXPECT_NEAR(t.frames / 44100.0, tvr_getTrackLength(back, t.name), 1.0 / c.rate);
        }
        EXPECT_NEAR(seconds, lengthInSec(back), 1.0 / c.rate);
        _freeZark(back);
    }
    for (const auto &t : tracks) {
        KTrack *track = giveTrack(file, t.name);
        EXPECT_EQ(static_cast<uint32_t>(t.frames), track->length);
        EXPECT_EQ(t.date, track->date);
        EXPECT_EQ(44100.0, k_getTrackRate(file, track));
        EXPECT_EQ(t.channels, k_getTrackChannels(file, track));
    }
}

// A container written with its tracks' source frame counts in the description (as files were
// before the description followed the export rate) loads as it always did: nothing in it tells
// the counts apart.
TEST(ContainerRate, ADescriptionWithSourceCountsLoadsAsWritten)
{
    TempDir dir;
    ContainerProject source(dir, {{"Mono", 1, 44100, 10000, 440.0}});
    KFile *file = source.project.file();
    KTrack *mono = giveTrack(file, "Mono");
    mono->stream = 0;
    const std::string text = takeText(exportToCleanXmlDesc(file));
    mono->stream = KSTREAM_NONE;
    KStreamFormat format = exportFormat(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 22050);
    const std::string path = dir.file("older.tvx");
    ASSERT_EQ(1, MeskToOgg5(file, path.c_str(), &format, text.c_str(), nullptr));
    EXPECT_EQ(5000, storedAudio(path, false, 0).frames);
    KFile *back = OpenTovraFile(path.c_str());
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(10000u, tvr_getTrackSize(back, "Mono"));
    EXPECT_EQ(44100.0, k_getTrackRate(back, giveTrack(back, "Mono")));
    _freeZark(back);
}

// --- Failures
// ---------------------------------------------------------------------------------------

TEST(ContainerErrors, ExportRefusalsSetCodesAndMessages)
{
    TempDir dir;
    ContainerProject source(dir, {{"A", 1, 44100, 3000, 300.0}});
    KFile *file = source.project.file();
    const std::string path = dir.file("out.tvx");
    fixtures::writeBytes(path, "previous export");
    KProgress *progress = KProgress_new();
    testing::internal::CaptureStderr();

    KStreamFormat flac = exportFormat(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0, 44100);
    EXPECT_EQ(KCONTAINER_ERR_FORMAT, MeskToOgg5(file, path.c_str(), &flac, nullptr, progress));
    EXPECT_STREQ("Error : Export failed!", KProgress_getMsg(progress));
    EXPECT_EQ(KPROGRESS_FAILED, KProgress_getState(progress));

    KStreamFormat wav = exportFormat(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 44100);
    EXPECT_EQ(KCONTAINER_ERR_FILE,
              MeskToOgg5(file, dir.file("missing/out.tvx").c_str(), &wav, nullptr, nullptr));
    const std::string stderrText = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, stderrText.find("ERROR MeskToOgg5 : cannot open"));

    // A track without audio.
    source.project.track("Silent", 100);
    KProgress_init(progress);
    EXPECT_EQ(KCONTAINER_ERR_TRACKS, MeskToOgg5(file, path.c_str(), &wav, nullptr, progress));
    EXPECT_STREQ("Error during iniatialization", KProgress_getMsg(progress));
    removeTrack(file, "Silent");

    // An unreadable track file.
    std::remove(source.paths[0].c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(KCONTAINER_ERR_FORMAT, MeskToOgg5(file, path.c_str(), &wav, nullptr, nullptr));
    KStreamFormat vorbis = exportFormat(KAUDIOFMT_VORBIS | 0x105, 1, 44100);
    EXPECT_EQ(KCONTAINER_ERR_FORMAT, MeskToOgg5(file, path.c_str(), &vorbis, nullptr, nullptr));
    testing::internal::GetCapturedStderr();

    KProgress_init(progress);
    EXPECT_EQ(-1, exportToTovraPrg(nullptr, file, &wav, progress));
    EXPECT_STREQ("Error in Parameters", KProgress_getMsg(progress));
    KProgress_delete(&progress);

    EXPECT_EQ("previous export", fixtures::readBytes(path));
    EXPECT_EQ((std::vector<std::string>{"out.tvx"}), dir.entries()); // the source was removed
}

TEST(ContainerErrors, FailedWritesKeepThePreviousFile)
{
    TempDir dir;
    ContainerProject source(dir, {{"A", 2, 44100, 20000, 300.0}, {"B", 1, 44100, 9000, 200.0}});
    KFile *file = source.project.file();
    KStreamFormat wav = exportFormat(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 44100);
    KStreamFormat vorbis = exportFormat(KAUDIOFMT_VORBIS | 0x105, 2, 44100);
    const std::string text(100000, 'd');
    const std::vector<std::function<int(const std::string &)>> exports = {
        [&](const std::string &to) { return MeskToOgg5(file, to.c_str(), &wav, nullptr, nullptr); },
        [&](const std::string &to) {
            return MeskToOgg5(file, to.c_str(), &vorbis, nullptr, nullptr);
        },
        [&](const std::string &to) {
            return MeskToOgg5(nullptr, to.c_str(), nullptr, text.c_str(), nullptr);
        },
    };
    const std::string path = dir.file("out.tvx");
    fixtures::writeBytes(path, "previous");
    testing::internal::CaptureStderr();
    for (size_t e = 0; e < exports.size(); ++e) {
        const std::string reference = dir.file("reference.tvx");
        ASSERT_EQ(1, exports[e](reference));
        const int64_t size = static_cast<int64_t>(fixtures::readBytes(reference).size());
        std::remove(reference.c_str());
        for (int64_t limit : {int64_t(0), int64_t(1), size / 2, size - 1}) {
            KSafeFile_failWritesAfter(limit);
            EXPECT_GT(0, exports[e](path)) << e << " limit " << limit;
            KSafeFile_failWritesAfter(-1);
        }
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ("previous", fixtures::readBytes(path));
    EXPECT_EQ((std::vector<std::string>{"A.wav", "B.wav", "out.tvx"}), dir.entries());
}

TEST(ContainerErrors, CancelledExportLeavesNothing)
{
    TempDir dir;
    ContainerProject source(dir, {{"A", 1, 44100, 20000, 300.0}});
    KProgress *progress = KProgress_new();
    KProgress_setState(progress, KPROGRESS_STOPPED);
    KStreamFormat wav = exportFormat(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 44100);
    EXPECT_GT(
        0, MeskToOgg5(source.project.file(), dir.file("out.tvx").c_str(), &wav, nullptr, progress));
    KProgress_delete(&progress);
    EXPECT_EQ(std::vector<std::string>{"A.wav"}, dir.entries());
}

TEST(ContainerErrors, VorbisExportCancelledWhileEncodingLeavesNothing)
{
    TempDir dir;
    ContainerProject source(dir, {{"A", 2, 44100, 400000, 300.0},
                                  {"B", 2, 44100, 400000, 200.0},
                                  {"C", 2, 44100, 400000, 250.0}});
    KProgress *progress = KProgress_new();
    std::atomic<bool> done{false};
    std::thread canceller([&] {
        while (!done.load() && !(KProgress_getProg(progress) > 0.0))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        KProgress_setState(progress, KPROGRESS_STOPPED);
    });
    KContainer_setEncoderThreads(2);
    KStreamFormat vorbis = exportFormat(KAUDIOFMT_VORBIS | 0x105, 2, 44100);
    const int result =
        MeskToOgg5(source.project.file(), dir.file("out.tvx").c_str(), &vorbis, nullptr, progress);
    done.store(true);
    canceller.join();
    KContainer_setEncoderThreads(0);
    EXPECT_GT(0, result);
    EXPECT_EQ(KPROGRESS_STOPPED, KProgress_getState(progress));
    KProgress_delete(&progress);
    EXPECT_EQ((std::vector<std::string>{"A.wav", "B.wav", "C.wav"}), dir.entries());
}

TEST(ContainerErrors, EmptyTrackExportsWithFiniteProgress)
{
    TempDir dir;
    ContainerProject source(dir, {{"Empty", 1, 44100, 0, 100.0}, {"Short", 1, 44100, 100, 100.0}});
    for (int code : {SF_FORMAT_WAV | SF_FORMAT_PCM_16, KAUDIOFMT_VORBIS | 0x105}) {
        KProgress *progress = KProgress_new();
        KStreamFormat format = exportFormat(code, 1, 44100);
        EXPECT_EQ(1, MeskToOgg5(source.project.file(), dir.file("out.tvx").c_str(), &format,
                                nullptr, progress))
            << code;
        EXPECT_EQ(KPROGRESS_FINISHED, KProgress_getState(progress));
        KProgress_delete(&progress);
    }
    SOggSF *track = k_oggSndfileOpen(dir.file("out.tvx").c_str(), 0); // the Vorbis container
    EXPECT_EQ(nullptr, track);
    k_sndfile_close(&track);
    KCodecVorbis *empty = tvrVorbis_load(dir.file("out.tvx").c_str(), 0, 1, 2, 44100.0);
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(0, tvrVorbis_frames(empty));
    EXPECT_EQ(1, tvrVorbis_seek(empty, 0));
    KCodecVorbis_close(&empty);
}

TEST(ContainerErrors, DecoderMessages)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(-132, OggVorbisError("ctx", -132));
    EXPECT_EQ(-9, OggVorbisError("ctx", -9));
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_NE(
        std::string::npos,
        text.find(
            "*** Error OggVorbis (-132) - ctx : Bitstream does not contain any Vorbis data. ***"));
    EXPECT_NE(std::string::npos, text.find("*** Error OggVorbis (-9) - ctx : Unknown error. ***"));
}

// The unscrambled image of a description-only container holding `text` as it stands.
std::string descriptionImage(const std::string &text)
{
    ogg_stream_state state;
    ogg_stream_init(&state, 0);
    ogg_packet packet;
    std::memset(&packet, 0, sizeof(packet));
    packet.packet = reinterpret_cast<unsigned char *>(const_cast<char *>(text.data()));
    packet.bytes = static_cast<long>(text.size());
    packet.b_o_s = 1;
    packet.e_o_s = 1;
    ogg_stream_packetin(&state, &packet);
    std::string image;
    ogg_page page;
    while (ogg_stream_flush(&state, &page) > 0) {
        image.append(reinterpret_cast<const char *>(page.header), page.header_len);
        image.append(reinterpret_cast<const char *>(page.body), page.body_len);
    }
    ogg_stream_clear(&state);
    return image;
}

// Damaged files: every reader refuses with a message, never crashes.
TEST(ContainerErrors, DamagedContainersAreRefused)
{
    TempDir dir;
    ContainerProject source(dir, {{"A", 1, 44100, 3000, 300.0}, {"B", 2, 44100, 2500, 200.0}});
    const std::string path = dir.file("good.tvx");
    KStreamFormat wav = exportFormat(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 44100);
    ASSERT_EQ(1, MeskToOgg5(source.project.file(), path.c_str(), &wav, nullptr, nullptr));
    const std::string image = unscramble(fixtures::readBytes(path));
    const size_t size = image.size();
    const size_t firstTrack = static_cast<size_t>(readInt64(image, size - 24));

    auto setInt64 = [](std::string bytes, size_t at, int64_t value) {
        for (int b = 0; b < 8; ++b)
            bytes[at + b] = static_cast<char>(static_cast<uint64_t>(value) >> (8 * b));
        return bytes;
    };
    std::mt19937 random(3);
    std::string noise(5000, 0);
    for (char &ch : noise)
        ch = static_cast<char>(random());
    std::string badCrc = image;
    badCrc[30] ^= 0x40;
    const std::string readable = "<ZARK><VERSION>2.0</VERSION></ZARK>";
    const std::map<std::string, std::string> damaged = {
        {"empty", ""},
        {"short", image.substr(0, 20)},
        {"cut page", image.substr(0, 60)},
        {"bad crc", badCrc},
        {"noise", noise},
        {"count huge", setInt64(image, size - 8, INT64_C(1) << 60)},
        {"count negative", setInt64(image, size - 8, -2)},
        {"count mismatch",
         setInt64(setInt64(image, size - 8, 1), size - 16, static_cast<int64_t>(firstTrack))},
        {"offset past end", setInt64(image, size - 16, static_cast<int64_t>(size) + 100)},
        {"offsets descending", setInt64(image, size - 16, static_cast<int64_t>(firstTrack) - 1)},
        {"offset in description", setInt64(image, size - 24, 3)},
        {"no trailer", image.substr(0, size - 32)},
        {"nul in description", descriptionImage(std::string("<ZARK>") + '\0' + readable)},
    };
    testing::internal::CaptureStderr();
    for (const auto &d : damaged) {
        const std::string file = dir.file("damaged.tvx");
        fixtures::writeBytes(file, scramble(d.second));
        SOggSF *track = k_oggSndfileOpen(file.c_str(), 1);
        EXPECT_EQ(nullptr, track) << d.first;
        k_sndfile_close(&track);
        KCodecVorbis *vorbis = tvrVorbis_load(file.c_str(), 0, 0, 2, 0.0);
        EXPECT_EQ(nullptr, vorbis) << d.first;
        KCodecVorbis_close(&vorbis);
        if (d.first == "empty" || d.first == "short" || d.first == "cut page" ||
            d.first == "bad crc" || d.first == "noise" || d.first == "nul in description") {
            EXPECT_EQ(nullptr, extractXmlDescFromOgg(file.c_str())) << d.first;
        }
    }
    // The description refused for its NUL byte is read without it.
    fixtures::writeBytes(dir.file("readable.tvx"), scramble(descriptionImage(readable)));
    EXPECT_EQ(readable, takeText(extractXmlDescFromOgg(dir.file("readable.tvx").c_str())));
    EXPECT_EQ(nullptr, extractXmlDescFromOgg(dir.file("absent").c_str()));
    EXPECT_EQ(nullptr, OpenTovraFile(dir.path().c_str()));
    EXPECT_EQ(nullptr, k_oggSndfileOpen(path.c_str(), 2));
    EXPECT_EQ(nullptr, k_oggSndfileOpen(path.c_str(), -1));
    testing::internal::GetCapturedStderr();
    SOggSF *ok = k_oggSndfileOpen(path.c_str(), 1);
    EXPECT_NE(nullptr, ok);
    k_sndfile_close(&ok);
}

} // namespace
