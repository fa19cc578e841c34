// Stored mixes on the document: naming, master values, mastering, mix files, handles and
// rendering a mix to audio files, which runs on the engine's threads.
#include <gtest/gtest.h>

#include <cmath>

#include <QFile>

#include "DocumentFixtures.h"
#include "KFile.h"
#include "KMix.h"
#include "KOMix.h"
#include "KObjProgress.h"
#include "KTypes.h"
#include "KXml.h"

namespace {

class Mixes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tracks = addTracks(doc, dir, {"a", "b"}, 0.5);
        ASSERT_TRUE(doc.createGroup("G", tracks, 0, -1));
        for (const QString& t : tracks)
            ASSERT_TRUE(doc.addTrackInCurMix(t));
        ASSERT_TRUE(doc.saveCurrentMix("M"));
    }

    QString file(const char* name) { return QString::fromStdString(dir.file(name)); }

    fixtures::TempDir dir;
    KObjFile doc;
    QStringList tracks;
};

struct Format {
    KStreamFormat record{};
    explicit Format(int code)
    {
        KStreamFormat_init(&record);
        record.code = code;
        record.rate = 44100;
        record.channels = 2;
    }
    ~Format() { KStreamFormat_init(&record); }
};

double peak(const std::vector<float>& samples)
{
    double p = 0;
    for (float s : samples)
        p = std::max(p, static_cast<double>(std::fabs(s)));
    return p;
}

} // namespace

TEST_F(Mixes, NamesDefaultAndRemoval)
{
    EXPECT_EQ(doc.mixCount(), 1);
    EXPECT_EQ(doc.getMixNames(), QStringList({"M"}));
    EXPECT_EQ(doc.getDefaultMixName(), "M");
    ASSERT_TRUE(doc.saveCurrentMix("N"));
    EXPECT_TRUE(doc.isMix("N"));
    EXPECT_FALSE(doc.renameMix("N", "M"));
    EXPECT_FALSE(doc.renameMix("nosuch", "X"));
    EXPECT_TRUE(doc.renameMix("N", QString::fromUtf8("Ñ €")));
    EXPECT_TRUE(doc.isMix(QString::fromUtf8("Ñ €")));
    EXPECT_TRUE(doc.removeMix("M"));
    EXPECT_FALSE(doc.removeMix("M"));
    EXPECT_EQ(doc.getMixNames(), QStringList({QString::fromUtf8("Ñ €")}));
    EXPECT_TRUE(doc.setCurrentMix(QString::fromUtf8("Ñ €")));
    EXPECT_FALSE(doc.setCurrentMix("M"));
    KMix* current = doc.getCurrentKmix();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->trackCount, 2);
    KMix_delete(&current);
}

TEST_F(Mixes, MasterLevelAndPanOfANamedOrTheCurrentMix)
{
    doc.setMixLevel("", 30);
    EXPECT_DOUBLE_EQ(doc.getKFile()->mixes->current->masterGain, 2.0);
    doc.setMixLevel("M", -30);
    EXPECT_EQ(doc.getMixLevel("M"), -30);
    doc.setMixPan("M", 0.5);
    EXPECT_DOUBLE_EQ(doc.getMixPan("M"), 0.5);
    doc.setMixPan("nosuch", -0.25);
    EXPECT_DOUBLE_EQ(doc.getKFile()->mixes->current->masterPan, -0.25);
}

TEST_F(Mixes, MasteringCurves)
{
    const QMap<int, double> curve{{100, 3.0}, {1000, -6.0}};
    ASSERT_TRUE(doc.setMixMastering("M", curve));
    EXPECT_EQ(doc.getMixMastering("M"), curve);
    EXPECT_FALSE(doc.setMixMastering("M", QMap<int, double>()));
    EXPECT_FALSE(doc.setMixMastering("", curve));
    EXPECT_FALSE(doc.setMixMastering("nosuch", curve));
    EXPECT_EQ(doc.getMixMastering("M"), curve);
    // One point moved by its index; negative values are refused.
    EXPECT_TRUE(doc.setMixMastering("M", 2000, 1.5, 1));
    EXPECT_EQ(doc.getMixMastering("M"), (QMap<int, double>{{100, 3.0}, {2000, 1.5}}));
    EXPECT_FALSE(doc.setMixMastering("M", -1, 1.0, 0));
    EXPECT_FALSE(doc.setMixMastering("M", 10, 1.0, -1));
    doc.removeMixMasteringFreq("M", 100);
    EXPECT_EQ(doc.getMixMastering("M"), (QMap<int, double>{{2000, 1.5}}));
    // A mix without a curve gets one of the single point.
    ASSERT_TRUE(doc.saveCurrentMix("N"));
    EXPECT_TRUE(doc.getMixMastering("N").isEmpty());
    EXPECT_TRUE(doc.setMixMastering("N", 440, -3.0, 0));
    EXPECT_EQ(doc.getMixMastering("N"), (QMap<int, double>{{440, -3.0}}));
}

TEST_F(Mixes, HandlesBuildMixesByTrackName)
{
    KOMix* handle = doc.getKOMix("M");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(doc.getKOMix("nosuch"), nullptr);
    EXPECT_FALSE(handle->addTracks({"a", "nosuch", "b"}));
    EXPECT_EQ(handle->getKMix()->trackCount, 1);
    EXPECT_EQ(KMix_isInMix(handle->getKMix(), "a"), 1);
    EXPECT_TRUE(handle->addTracks({}));
    // The manager gets its own copy: deleting the handle leaves the stored mix whole.
    ASSERT_TRUE(doc.addMixLink(handle));
    delete handle;
    EXPECT_EQ(findThisSlct(doc.getKFile(), "M")->trackCount, 1);

    KOMix other("M", &doc);
    EXPECT_TRUE(doc.removeMixLink(&other));
    EXPECT_FALSE(doc.isMix("M"));
    EXPECT_FALSE(doc.removeMixLink(&other));
    KOMix empty("", &doc);
    EXPECT_TRUE(empty.isNull());
    EXPECT_FALSE(doc.addMixLink(&empty));
    EXPECT_FALSE(doc.addMixLink(nullptr));
}

TEST_F(Mixes, MixFilesCarryTheProjectIdentity)
{
    const QString mixFile = file("m.mix");
    ASSERT_TRUE(doc.exportTovixFile("M", mixFile, true));
    EXPECT_EQ(doc.getTovixFileId(mixFile).size(), 128);
    EXPECT_EQ(doc.getTovixFileId(mixFile), doc.getId());
    EXPECT_EQ(doc.getTovixFileId(file("missing")), "");

    std::unique_ptr<KXml> desc(doc.exportToXmlDesc(false));
    KObjFile same;
    ASSERT_TRUE(same.loadFromXmlObj(desc.get()));
    ASSERT_TRUE(same.removeMix("M"));
    EXPECT_TRUE(same.loadTovixFile(mixFile));
    EXPECT_TRUE(same.isMix("M"));

    KObjFile other;
    addTracks(other, dir, {"a", "b"});
    EXPECT_FALSE(other.loadTovixFile(mixFile));
    EXPECT_FALSE(other.isMix("M"));
}

TEST_F(Mixes, RenderToEveryUncompressedFormat)
{
    const struct {
        const char* target;
        int code;
    } cases[] = {{"out.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                 {"out8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8},
                 {"out.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
                 {"out.au", SF_FORMAT_AU | SF_FORMAT_FLOAT},
                 {"out.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16}};
    for (const auto& c : cases) {
        KObjProgress progress;
        Format format(c.code);
        ASSERT_TRUE(doc.exportTovixToAudioFile("M", file(c.target), &format.record, &progress))
            << c.target;
        SF_INFO info{};
        const std::vector<float> samples = fixtures::readAudio(dir.file(c.target), &info);
        EXPECT_EQ(info.format, c.code) << c.target;
        EXPECT_EQ(info.channels, 2) << c.target;
        EXPECT_EQ(info.samplerate, 44100) << c.target;
        EXPECT_NEAR(info.frames, 0.5 * 44100, 2048) << c.target;
        EXPECT_GT(peak(samples), 0.1) << c.target;
        EXPECT_LE(peak(samples), 1.0) << c.target;
        EXPECT_EQ(progress.getState(), 3) << c.target;
    }
    Format wav(SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_FALSE(doc.exportTovixToAudioFile("nosuch", file("no.wav"), &wav.record, nullptr));
    EXPECT_FALSE(QFile::exists(file("no.wav")));
}

TEST_F(Mixes, FloatFilesAreFullScaleAtOne)
{
    Format wav(SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_TRUE(doc.exportTovixToAudioFile("M", file("float.wav"), &wav.record, nullptr));
    const std::vector<float> samples = fixtures::readAudio(dir.file("float.wav"));
    EXPECT_LE(peak(samples), 1.0);
    EXPECT_GT(peak(samples), 0.1);
}

TEST_F(Mixes, CompressedTargetsGoThroughAFreeTemporaryFile)
{
    Format wav(SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_TRUE(doc.exportTovixToAudioFile("M", file("ref.wav"), &wav.record, nullptr));
    const std::vector<float> reference = fixtures::readAudio(dir.file("ref.wav"));
    const double referenceRms = fixtures::rms(reference, 2, 0, 4096, 16384);

    QFile taken(file("take_0.tmp"));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("keep me");
    taken.close();
    const struct {
        const char* target;
        int code;
    } cases[] = {{"take.ogg", KAUDIOFMT_VORBIS | (KAUDIOFMT_VORBIS_QUALITY_BASE + 5)},
                 {"take.mp3", KAUDIOFMT_MPEG},
                 {"plain.ogg", KAUDIOFMT_VORBIS}};
    for (const auto& c : cases) {
        Format format(c.code);
        KObjProgress progress;
        ASSERT_TRUE(doc.exportTovixToAudioFile("M", file(c.target), &format.record, &progress))
            << c.target;
        SF_INFO info{};
        const std::vector<float> samples = fixtures::readAudio(dir.file(c.target), &info);
        ASSERT_EQ(info.channels, 2) << c.target;
        const double rms = fixtures::rms(samples, 2, 0, 4096, 16384);
        EXPECT_NEAR(20 * std::log10(rms / referenceRms), 0.0, 1.0) << c.target;
        EXPECT_FALSE(QFile::exists(file("take_1.tmp"))) << c.target;
        EXPECT_FALSE(QFile::exists(file("plain_0.tmp"))) << c.target;
    }
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), "keep me");
}

TEST_F(Mixes, AFailedCompressedRenderLeavesNoTemporaryFile)
{
    Format ogg(KAUDIOFMT_VORBIS | (KAUDIOFMT_VORBIS_QUALITY_BASE + 5));
    const std::vector<std::string> before = dir.entries();
    EXPECT_FALSE(doc.exportTovixToAudioFile("nosuch", file("x.ogg"), &ogg.record, nullptr));
    EXPECT_EQ(dir.entries(), before);
    Format unknown(0x7f0000);
    EXPECT_FALSE(doc.exportTovixToAudioFile("M", file("x.bin"), &unknown.record, nullptr));
    EXPECT_EQ(dir.entries(), before);
}
