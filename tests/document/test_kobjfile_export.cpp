// Export preparation: what the distributable file carries, written from a clone of the project.
#include <gtest/gtest.h>

#include <cstdio>

#include <QFile>

#include "DocumentFixtures.h"
#include "KContainer.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KTypes.h"
#include "tvr_utils.h"

namespace {

class Export : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(addTracks(doc, dir, {"t1", "t2", "t3"}), QStringList({"t1", "t2", "t3"}));
        ASSERT_TRUE(doc.createGroup("G", {"t1", "t3"}, 0, -1));
        ASSERT_TRUE(doc.setVisibleToExport("t3", false));
        ASSERT_EQ(doc.createRuleGroup(rule, {"t1"}, "r"), rule);
        KStreamFormat_init(&format);
        format.code = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        format.channels = 2;
        format.rate = 44100;
    }
    void TearDown() override { KStreamFormat_init(&format); }

    QString file(const char* name) { return QString::fromStdString(dir.file(name)); }

    // The description stream's serial (the number of tracks written); -1 when unreadable.
    int writtenTracks(const QString& path)
    {
        FILE* stream = std::fopen(QFile::encodeName(path).constData(), "rb");
        if (!stream)
            return -1;
        size_t length = 0;
        KContainerInfo info{};
        char* text = KContainer_readDescription(stream, &length, &info);
        std::fclose(stream);
        if (!text)
            return -1;
        tvr_free(text);
        return info.serial;
    }

    const QString rule = KObjFile::RuleGroupPrefix + "r";
    fixtures::TempDir dir;
    KCtrlFile doc;
    KStreamFormat format{};
};

} // namespace

TEST_F(Export, TheFileCarriesOnlyWhatAListenerNeeds)
{
    const QStringList before = doc.getConstNames();
    ASSERT_TRUE(doc.exportToTovraFile(file("out.tvr"), &format, nullptr, KObjFile::DefMixAllTracks));
    EXPECT_EQ(writtenTracks(file("out.tvr")), 2);

    KObjFile written;
    ASSERT_TRUE(written.loadTovraFile(file("out.tvr")));
    EXPECT_EQ(written.getTrackNames(), QStringList({"t1", "t3"}));
    EXPECT_TRUE(written.isMix("Default Mix"));
    EXPECT_FALSE(isVisible(written.getKFile(), "t3"));
    EXPECT_TRUE(isVisible(written.getKFile(), "t1"));
    for (const QString& gone : {KObjFile::UnvisibleGrpName, rule, KObjFile::ImportAudioGrpName})
        EXPECT_FALSE(written.contains(gone)) << gone.toStdString();

    // The open project is as it was.
    EXPECT_EQ(doc.getConstNames(), before);
    EXPECT_EQ(doc.mixCount(), 0);
    EXPECT_FALSE(doc.isVisibleToExport("t3"));
}

TEST_F(Export, DefaultMixPolicies)
{
    const struct {
        KObjFile::EDefMix policy;
        bool written, withMix;
    } cases[] = {{KObjFile::DefMixAllTracks, true, true},
                 {KObjFile::DefMixPlain, true, true},
                 {KObjFile::DefMixNone, true, false},
                 {static_cast<KObjFile::EDefMix>(3), false, false}};
    int n = 0;
    for (const auto& c : cases) {
        const QString path = file("out") + QString::number(n++);
        EXPECT_EQ(doc.exportToTovraFile(path, &format, nullptr, c.policy), c.written) << c.policy;
        EXPECT_EQ(QFile::exists(path), c.written) << c.policy;
        if (!c.written)
            continue;
        KObjFile written;
        ASSERT_TRUE(written.loadTovraFile(path));
        EXPECT_EQ(written.mixCount() > 0, c.withMix) << c.policy;
    }
}

TEST_F(Export, ARawFormatBecomesAu)
{
    format.code = 0x40002;
    doc.exportToTovraFile(file("raw.tvr"), &format, nullptr, KObjFile::DefMixNone);
    EXPECT_EQ(format.code, 0x30002);
}

TEST_F(Export, HiddenFromExportIsOneMembership)
{
    EXPECT_TRUE(doc.setVisibleToExport("t1", false));
    EXPECT_TRUE(doc.setVisibleToExport("t1", false));
    EXPECT_EQ(doc.getSubElt(KObjFile::UnvisibleGrpName).count("t1"), 1);
    EXPECT_FALSE(doc.isVisibleToExport("t1"));
    EXPECT_EQ(doc.getGroupMaxPlay(KObjFile::UnvisibleGrpName), 2);
    EXPECT_TRUE(doc.setVisibleToExport("t1", true));
    EXPECT_TRUE(doc.isVisibleToExport("t1"));
    EXPECT_FALSE(doc.setVisibleToExport("nosuch", false));
}

TEST_F(Export, StereoChoicesShapeTheFileNotTheProject)
{
    const QString pad = doc.addTrack("", sineFile(dir, "pad.wav", 0.2, 2), nullptr);
    ASSERT_TRUE(doc.addEltInGroup("G", pad));
    EXPECT_FALSE(doc.getExportToStereo("t1"));
    EXPECT_TRUE(doc.getExportToStereo(pad));
    doc.setExportToStereo("t1", true);
    doc.setExportToStereo(pad, false);
    format.channels = 0;
    ASSERT_TRUE(doc.exportToTovraFile(file("choices.tvr"), &format, nullptr, KObjFile::DefMixNone));
    EXPECT_EQ(doc.getTrackChannels("t1"), 1);
    EXPECT_EQ(doc.getTrackChannels(pad), 2);
    KObjFile written;
    ASSERT_TRUE(written.loadTovraFile(file("choices.tvr")));
    EXPECT_EQ(written.getTrackChannels("t1"), 2);
    EXPECT_EQ(written.getTrackChannels(pad), 1);
}
