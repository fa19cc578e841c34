// The document core: names, track fields, levels, metadata, and the project round trip through a
// description and a project file.
#include <gtest/gtest.h>

#include <clocale>

#include <QFile>
#include <QFileInfo>

#include "DocumentFixtures.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KXml.h"

TEST(KObjFile, UniqueElementNames)
{
    KObjFile doc;
    EXPECT_EQ(doc.getNewEltName(""), "Element");
    ASSERT_TRUE(doc.createGroup("Element", {}, 0, 0));
    EXPECT_EQ(doc.getNewEltName(""), "Element_0");
    ASSERT_TRUE(doc.createGroup("Element_0", {}, 0, 0));
    EXPECT_EQ(doc.getNewEltName(""), "Element_1");
    EXPECT_EQ(doc.getNewEltName("Other"), "Other");
}

TEST(KObjFile, ImportedTracksAreNamedUniquelyAndWaitInTheImportGroup)
{
    fixtures::TempDir dir;
    KObjFile doc;
    const QString kick = sineFile(dir, "kick.wav", 1.5);
    EXPECT_EQ(doc.addTrack("", kick, nullptr), "kick");
    EXPECT_EQ(doc.addTrack("", kick, nullptr), "kick_0");
    EXPECT_EQ(doc.getTrackNames(), QStringList({"kick", "kick_0"}));
    EXPECT_TRUE(doc.getElementNames().isEmpty());
    EXPECT_TRUE(doc.isParent(KObjFile::ImportAudioGrpName, "kick"));
    EXPECT_FALSE(doc.isVisibleToExport(KObjFile::ImportAudioGrpName) == false);
}

TEST(KObjFile, AddTrackRefusesWhatIsNoReadableRegularFile)
{
    fixtures::TempDir dir;
    KObjFile doc;
    QFile text(QString::fromStdString(dir.file("notes.wav")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not audio at all");
    text.close();
    const QString unreadable = sineFile(dir, "locked.wav", 0.1);
    QFile::setPermissions(unreadable, QFileDevice::WriteOwner);
    const QString cases[] = {"", QString::fromStdString(dir.file("missing.wav")),
                             QString::fromStdString(dir.path().string()), text.fileName(),
                             "/dev/null"};
    for (const QString& path : cases)
        EXPECT_TRUE(doc.addTrack("", path, nullptr).isEmpty()) << path.toStdString();
    if (!QFileInfo(unreadable).isReadable()) {
        EXPECT_TRUE(doc.addTrack("", unreadable, nullptr).isEmpty());
    }
    EXPECT_TRUE(doc.getTrackNames().isEmpty());
    EXPECT_FALSE(doc.contains(KObjFile::ImportAudioGrpName));
}

TEST(KObjFile, TrackFieldsAndFormatTexts)
{
    fixtures::TempDir dir;
    KObjFile doc;
    struct Case {
        const char* file;
        int sfFormat;
        int channels;
        const char* format;
        int bits;
    } cases[] = {
        {"kick.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, "WAVE (Signed 16 bits)", 16},
        {"deep.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 2, "AIFF (Signed 24 bits)", 24},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, "WAVE (32 bits float)", 32},
        {"loop.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2, "Vorbis", 16},
    };
    for (const Case& c : cases) {
        const QString name =
            doc.addTrack("", sineFile(dir, c.file, 1.5, c.channels, c.sfFormat), nullptr);
        ASSERT_FALSE(name.isEmpty()) << c.file;
        EXPECT_EQ(doc.getTrackAudioFormat(name), c.format);
        EXPECT_EQ(doc.getTrackBPS(name), c.bits);
        EXPECT_EQ(doc.getTrackChannels(name), c.channels);
        EXPECT_DOUBLE_EQ(doc.getTrackRate(name), 44100.0);
        EXPECT_NEAR(doc.getTrackLength(name), 1.5, 0.1);
        EXPECT_EQ(doc.getTrackMpgKBPS(name), "");
        EXPECT_EQ(doc.getTrackPath(name), QString::fromStdString(dir.file(c.file)));
    }
    EXPECT_EQ(doc.getTrackBPS("nosuch"), 0);
    EXPECT_EQ(doc.getTracksRates(), QList<double>({44100.0}));
    EXPECT_EQ(doc.getTrackNames().size(), 4);
}

TEST(KObjFile, FileLengthIsAValidTimeOnlyWithAProject)
{
    fixtures::TempDir dir;
    KObjFile doc;
    doc.addTrack("", sineFile(dir, "kick.wav", 1.5), nullptr);
    doc.addTrack("", sineFile(dir, "pad.wav", 2.0, 2), nullptr);
    EXPECT_EQ(doc.getFileLength(), QTime(0, 0, 2));
    EXPECT_TRUE(doc.getFileLength().isValid());

    KObjFile failed;
    EXPECT_FALSE(failed.loadTovraFile(QString::fromStdString(dir.file("kick.wav"))));
    // A failed open keeps the project that was there.
    EXPECT_TRUE(failed.fileIsValid());
}

TEST(KObjFile, PanIsClampedAndLevelsMoveByTheirDifference)
{
    fixtures::TempDir dir;
    KObjFile doc;
    const QString t = addTracks(doc, dir, {"t"}).first();
    const struct {
        double asked, stored;
    } pans[] = {{3.5, 1.0}, {-7, -1.0}, {0.25, 0.25}};
    for (const auto& pan : pans) {
        doc.setPan(t, pan.asked);
        EXPECT_DOUBLE_EQ(doc.getPan(t), pan.stored);
    }
    doc.setEltLevel(t, 10);
    EXPECT_EQ(doc.getElementLevel(t), 10);
    doc.setEltLevel(t, 40);
    EXPECT_EQ(doc.getElementLevel(t), 40);
    // Unknown names give neutral values and change nothing.
    doc.setEltLevel("nosuch", 5);
    EXPECT_EQ(doc.getElementLevel("nosuch"), 0);
    EXPECT_EQ(doc.getMinEltLevel("nosuch"), 0);
}

TEST(KObjFile, MasterLevelRoundTripsForEveryLevel)
{
    KObjFile doc;
    for (int level = -239; level <= 60; ++level) {
        doc.setMasterLvl(level);
        ASSERT_EQ(doc.getMasterLvl(), level);
    }
}

TEST(KObjFile, SongMetadata)
{
    KObjFile doc;
    ASSERT_TRUE(doc.setGenMediaInfo("T", "A", "C", "Al", "S", 2009));
    ASSERT_TRUE(doc.setMediaInfo("LABEL", "x"));
    EXPECT_EQ(doc.getOtherMediaInfos(), QStringList({"LABEL", "x"}));
    EXPECT_EQ(doc.getYear(), 2009u);
    EXPECT_EQ(doc.getTitle(), "T");
    EXPECT_EQ(doc.getAuthor(), "A");
    EXPECT_EQ(doc.getCopyright(), "C");
    EXPECT_EQ(doc.getAlbum(), "Al");
    EXPECT_EQ(doc.getStyle(), "S");
    ASSERT_TRUE(doc.setMediaInfo("YEAR", "20x9"));
    EXPECT_EQ(doc.getYear(), 0u);
    EXPECT_FALSE(doc.setMediaInfo("", "v"));
    EXPECT_FALSE(doc.setMediaInfo("K", ""));
    doc.clearMediaInfo();
    EXPECT_EQ(doc.getTitle(), "");
    EXPECT_TRUE(doc.getOtherMediaInfos().isEmpty());
}

TEST(KObjFile, RenameRefusesNamesThatWouldClash)
{
    KObjFile doc;
    ASSERT_TRUE(doc.createGroup("A", {}, 0, 0));
    ASSERT_TRUE(doc.createGroup("B", {}, 0, 0));
    for (const QString& bad : {QString("B"), QString(), QString("x|y"), KObjFile::ImportAudioGrpName,
                               KObjFile::UnvisibleGrpName, KObjFile::NotMutePrefix + "B",
                               KObjFile::DefaultCsttName, KObjFile::RuleGroupPrefix + "r"})
        EXPECT_FALSE(doc.renameElt("A", bad)) << bad.toStdString();
    // A mix-rule group keeps its prefix under a new name.
    ASSERT_EQ(doc.createRuleGroup(KObjFile::RuleGroupPrefix + "r", {}, ""),
              KObjFile::RuleGroupPrefix + "r");
    EXPECT_TRUE(doc.renameElt(KObjFile::RuleGroupPrefix + "r", KObjFile::RuleGroupPrefix + "s"));
    EXPECT_FALSE(doc.renameElt("nosuch", "C"));
    EXPECT_TRUE(doc.renameElt("A", QString::fromUtf8("Été €")));
    EXPECT_TRUE(doc.contains(QString::fromUtf8("Été €")));
    EXPECT_FALSE(doc.contains("A"));
}

TEST(KObjFile, ColourOfASubtree)
{
    fixtures::TempDir dir;
    KObjFile doc;
    const QStringList t = addTracks(doc, dir, {"a", "b"});
    ASSERT_TRUE(doc.createGroup("Sub", {t[1]}, 0, -1));
    ASSERT_TRUE(doc.createGroup("G", {t[0], "Sub"}, 0, -1));
    doc.setEltColor("G", QColor(10, 20, 30), true);
    for (const QString& name : {QString("G"), QString("Sub"), t[0], t[1]})
        EXPECT_EQ(doc.getEltColor(name), QColor(10, 20, 30)) << name.toStdString();
    doc.setEltColor("G", QColor(1, 2, 3), false);
    EXPECT_EQ(doc.getEltColor("Sub"), QColor(10, 20, 30));
    doc.setEltColor("G", QColor(), true);
    EXPECT_EQ(doc.getEltColor("G"), QColor(1, 2, 3));
    EXPECT_FALSE(doc.getEltColor("nosuch").isValid());
    EXPECT_EQ(doc.getParentList(t[1]), QStringList({"G", "Sub", t[1]}));
}

// The project of the round trip: tracks, a coloured group, rules, a mix with mastering, texts
// with accents, "€" and markup characters.
static void buildRoundTripProject(KObjFile& doc, const fixtures::TempDir& dir)
{
    const QStringList t = addTracks(doc, dir, {"a", "b", "c"});
    ASSERT_TRUE(doc.createGroup("G", {t[0], t[1]}, 1, 2));
    doc.setEltColor("G", QColor(200, 10, 10), true);
    ASSERT_FALSE(doc.createExclu({t[0], t[1]}, QString::fromUtf8("comment <&> é")).isEmpty());
    ASSERT_FALSE(doc.createImply(t[2], {t[0]}, "").isEmpty());
    doc.setDefEltLevel(t[0], -30);
    doc.setPan(t[1], -0.5);
    ASSERT_TRUE(doc.setGenMediaInfo(QString::fromUtf8("Démo é € <&>"), "A", "", "", "", 2009));
    ASSERT_TRUE(doc.saveCurrentMix("M"));
    ASSERT_TRUE(doc.setMixMastering("M", {{100, 3.0}, {1000, -6.0}}));
}

// Everything the round trip must keep, as one comparable text.
static QStringList summary(const KObjFile& doc)
{
    QStringList lines;
    for (const QString& name : doc.getConstNames())
        lines << QString("%1 type=%2 min=%3 max=%4 default=%5 pan=%6 colour=%7 parents=%8 desc=%9")
                     .arg(name)
                     .arg(doc.getConstraintType(name))
                     .arg(doc.getGroupMinPlay(name))
                     .arg(doc.getGroupMaxPlay(name))
                     .arg(doc.getDefEltLevel(name))
                     .arg(doc.getPan(name))
                     .arg(doc.getEltColor(name).name())
                     .arg(doc.getAllParents(name).join(","))
                     .arg(doc.getEltDesc(name));
    lines << doc.getMixNames().join(",") << doc.getTitle() << QString::number(doc.getYear());
    for (auto it : doc.getMixMastering("M").toStdMap())
        lines << QString("%1:%2").arg(it.first).arg(it.second);
    return lines;
}

TEST(KObjFile, ProjectRoundTripsThroughAProjectFile)
{
    fixtures::TempDir dir;
    KObjFile doc;
    buildRoundTripProject(doc, dir);
    std::unique_ptr<KXml> desc(doc.exportToXmlDesc(false));
    ASSERT_TRUE(desc);
    const QString path = QString::fromStdString(dir.file("p.tvr"));
    ASSERT_TRUE(TovraOLib::writeStreamInFile(desc->toQString(), path));

    KCtrlFile copy;
    KXml read(TovraOLib::readStreamFromFile(path));
    ASSERT_TRUE(copy.loadFromXmlObj(&read));
    EXPECT_EQ(summary(copy), summary(doc));
    EXPECT_EQ(copy.getTitle(), QString::fromUtf8("Démo é € <&>"));
    EXPECT_EQ(copy.getMixMastering("M"), (QMap<int, double>{{100, 3.0}, {1000, -6.0}}));
}

TEST(KObjFile, AFrenchLocaleWritesTheSameBytes)
{
    fixtures::TempDir dir;
    KObjFile doc;
    buildRoundTripProject(doc, dir);
    doc.setMixPan("M", 0.25);
    doc.setPan("b", -0.125);
    // The project file written under the process's locale and under a French one.
    auto save = [&](const char* name) {
        std::unique_ptr<KXml> desc(doc.exportToXmlDesc(false));
        const QString path = QString::fromStdString(dir.file(name));
        EXPECT_TRUE(desc && TovraOLib::writeStreamInFile(desc->toQString(), path));
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray plain = save("plain.tvr");
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no French locale";
    const QByteArray french = save("french.tvr");
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_FALSE(plain.isEmpty());
    EXPECT_EQ(french, plain);
}

TEST(KObjFile, RefusedDescriptionsChangeNothing)
{
    fixtures::TempDir dir;
    KObjFile doc;
    addTracks(doc, dir, {"a"});
    const QStringList before = summary(doc);
    KXml garbage(QString("<TOVRA-2.0><VERSION>x</VERSION>"));
    EXPECT_FALSE(doc.loadFromXmlObj(&garbage));
    EXPECT_FALSE(doc.loadFromXmlObj(nullptr));
    EXPECT_EQ(summary(doc), before);
}

TEST(KObjFile, TreeQueriesAndTrackSetters)
{
    fixtures::TempDir dir;
    KObjFile doc;
    const QStringList t = addTracks(doc, dir, {"a", "b", "c"});
    ASSERT_TRUE(doc.createGroup("Sub", {"b", "c"}, 0, -1));
    ASSERT_TRUE(doc.createGroup("Top", {"a", "Sub"}, 0, -1));
    EXPECT_EQ(doc.getSubElt("Top"), QStringList({"a", "Sub"}));
    EXPECT_TRUE(doc.getSubElt("a").isEmpty());
    EXPECT_EQ(doc.getSubEltNbr("Sub"), 2);
    EXPECT_EQ(doc.getSubEltNbr("a"), -1);
    EXPECT_EQ(doc.getSubEltNbr("nosuch"), -1);
    EXPECT_EQ(doc.getParent("b"), "Sub");
    EXPECT_EQ(doc.getParent("Top"), "");
    EXPECT_TRUE(doc.isParent("Top", "c"));
    EXPECT_FALSE(doc.isFather("Top", "c"));
    EXPECT_GT(doc.getElementDepth("c"), doc.getElementDepth("Sub"));
    EXPECT_GE(doc.getTreeDepth(), doc.getElementDepth("c"));
    // Depths of that list count from 0 where element depths count from 1.
    EXPECT_TRUE(doc.getEltsInNthDepth(doc.getElementDepth("c") - 1).contains("c"));
    EXPECT_TRUE(doc.getEltsInNthDepth(99).isEmpty());
    EXPECT_EQ(doc.getAllElements(), QStringList({"a", "b", "c", "Sub", "Top"}));
    EXPECT_EQ(doc.getGroupNames(), QStringList({"Sub", "Top"}));
    EXPECT_TRUE(doc.canMixTracks());
    EXPECT_EQ(doc.getPlaySubEltNb("Top"), 0);

    doc.hideRec("Sub");
    for (const QString& hidden : {QString("Sub"), QString("b"), QString("c")})
        EXPECT_FALSE(isVisible(doc.getKFile(), hidden.toUtf8().constData())) << hidden.toStdString();
    doc.show("Sub");
    EXPECT_TRUE(isVisible(doc.getKFile(), "Sub"));

    const QString other = sineFile(dir, QString::fromUtf8("é other.wav"), 0.1);
    EXPECT_TRUE(doc.setTrackPath("a", other));
    EXPECT_EQ(doc.getTrackPath("a"), other);
    EXPECT_FALSE(doc.setTrackPath("Top", other));
    EXPECT_FALSE(doc.setTrackPath("a", QString::fromStdString(dir.file("missing.wav"))));
    EXPECT_EQ(doc.getTrackPath("a"), other);
    EXPECT_TRUE(doc.setTrackChannels("a", 2));
    EXPECT_EQ(doc.getTrackChannels("a"), 2);
    EXPECT_FALSE(doc.setTrackChannels("Top", 2));

    EXPECT_TRUE(doc.getEqualization("a").isEmpty());
    EXPECT_FALSE(doc.setEqualization("a", {{100, 1.0}}));
    EXPECT_FALSE(doc.setEqualization("a", 100, 1.0, 0));
}

TEST(KObjFile, MpegTrackTexts)
{
    KObjFile doc;
    ASSERT_EQ(addBitstreamTrack(doc.getKFile(), "song", 0, nullptr, 44100, 0), 1);
    ASSERT_EQ(addBitstreamTrack(doc.getKFile(), "plain", 0, nullptr, 44100, 1), 1);
    KStreamExtra extra{{4, 3, 192, 2, 0}};
    KStreamFormat mpeg{};
    KStreamFormat_init(&mpeg);
    mpeg.code = KAUDIOFMT_MPEG;
    mpeg.extra = &extra;
    ASSERT_GT(addTrackFormat(doc.getKFile(), "song", &mpeg), 0);
    mpeg.extra = nullptr;
    ASSERT_GT(addTrackFormat(doc.getKFile(), "plain", &mpeg), 0);
    const QString major = QString::fromUtf8(KAudioFmt_getMajorFmtName(KAUDIOFMT_MPEG));
    EXPECT_EQ(doc.getTrackAudioFormat("song"), major + "  Version 1.0  Layer 3");
    EXPECT_EQ(doc.getTrackMpgKBPS("song"), "192 (VBR)");
    EXPECT_EQ(doc.getTrackBPS("song"), -1);
    EXPECT_EQ(doc.getTrackAudioFormat("plain"), major);
    EXPECT_EQ(doc.getTrackMpgKBPS("plain"), "");
}
