// Distributable files written at another rate than the project's tracks: what loads back
// describes the audio stored. The Vorbis writer encodes on helper threads.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include <QFile>

#include "DocumentFixtures.h"
#include "KCodecVorbis.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KOggSndfile.h"
#include "KTypes.h"

namespace {

// Frames of the audio stored for stream k, decoded or read to the end.
int64_t storedFrames(const QString& path, bool vorbis, int k)
{
    const QByteArray file = QFile::encodeName(path);
    std::vector<int16_t> buffer(8192);
    const int bytes = static_cast<int>(buffer.size() * 2);
    int64_t samples = 0;
    int channels = 0;
    if (vorbis) {
        KCodecVorbis* track = tvrVorbis_load(file.constData(), k, 0, 2, 0.0);
        if (!track)
            return -1;
        channels = track->channels;
        for (int got; (got = tvrVorbis_read(track, buffer.data(), bytes)) > 0;)
            samples += got / 2;
        KCodecVorbis_close(&track);
    } else {
        SOggSF* track = k_oggSndfileOpen(file.constData(), k);
        if (!track)
            return -1;
        channels = track->info.channels;
        for (int got; (got = k_sndfile_read(track, buffer.data(), bytes)) > 0;)
            samples += got / 2;
        k_sndfile_close(&track);
    }
    return channels > 0 ? samples / channels : -1;
}

} // namespace

TEST(ExportRate, TracksLoadBackAtTheExportRateWithTheirDurations)
{
    fixtures::TempDir dir;
    KCtrlFile doc;
    // 0.2501 s at 44.1 kHz: 11029 frames, which no export rate divides evenly.
    const struct {
        QString name;
        int channels;
        int date;
    } tracks[] = {{"lead", 2, 0}, {"echo", 1, 4410}};
    for (const auto& t : tracks) {
        ASSERT_EQ(doc.addTrack(t.name, sineFile(dir, t.name + ".wav", 0.2501, t.channels), nullptr),
                  t.name);
        doc.getKTrack(t.name)->date = t.date;
    }
    // Tracks left in the import group stay out of the file.
    ASSERT_TRUE(doc.createGroup("G", {"lead", "echo"}, 0, -1));
    const int frames = 11029;
    ASSERT_EQ(doc.getTrackSize("lead"), frames);

    const struct {
        const char* what;
        int code;
        int rate;
    } cases[] = {{"Vorbis 22050", KAUDIOFMT_VORBIS | 0x105, 22050},
                 {"Vorbis 48000", KAUDIOFMT_VORBIS | 0x105, 48000},
                 {"WAV 22050", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050},
                 {"WAV 48000", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        KStreamFormat format{};
        KStreamFormat_init(&format);
        format.code = c.code;
        format.bits = 16;
        format.channels = 0;
        format.rate = c.rate;
        const QString path = QString::fromStdString(dir.file("out.tvr"));
        ASSERT_TRUE(doc.exportToTovraFile(path, &format, nullptr, KObjFile::DefMixAllTracks));
        KObjFile written;
        ASSERT_TRUE(written.loadTovraFile(path));
        const int64_t expected = (static_cast<int64_t>(frames) * c.rate + 44099) / 44100;
        for (const auto& t : tracks) {
            SCOPED_TRACE(t.name.toStdString());
            KTrack* track = written.getKTrack(t.name);
            ASSERT_NE(track, nullptr);
            EXPECT_EQ(storedFrames(path, (c.code & KAUDIOFMT_MAJOR_MASK) == KAUDIOFMT_VORBIS,
                                   track->stream),
                      expected);
            EXPECT_EQ(written.getTrackSize(t.name), expected);
            EXPECT_EQ(written.getTrackRate(t.name), c.rate);
            EXPECT_NEAR(written.getTrackLength(t.name), frames / 44100.0, 1.0 / c.rate);
            EXPECT_EQ(track->date, std::llround(t.date * (c.rate / 44100.0)));
        }
        KStreamFormat_init(&format);
    }
    // The open project keeps its own counts.
    EXPECT_EQ(doc.getTrackSize("echo"), frames);
    EXPECT_EQ(doc.getKTrack("echo")->date, 4410);
    EXPECT_EQ(doc.getTrackRate("echo"), 44100.0);
}
