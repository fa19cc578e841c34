#include "EditorTestEnvironment.h"
#include "SonaricParams.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {
// Each test starts from an empty settings store.
class ParamsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, Snc::CompanyName,
                        Snc::ApplicationName);
        store.clear();
        store.sync();
    }
    void TearDown() override
    {
        // Give the other tests back the update search they run with.
        SonaricParams params;
        params.setUpdateSearch(SonaricParams::UpdateOnRequest);
    }

    // A project file that exists, named after its position.
    QString project(int n)
    {
        const QString path = files.filePath(QString("p%1.tvprj").arg(n));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

    QTemporaryDir files;
};
} // namespace

TEST_F(ParamsTest, FreshStoreAnswersEveryDefault)
{
    SonaricParams params;
    EXPECT_TRUE(params.getRecentPrj().isEmpty());
    EXPECT_TRUE(params.getLastPrjDirectory().isNull());
    EXPECT_TRUE(params.getLastExportDirectory().isNull());
    EXPECT_TRUE(params.getLastImportDirectory().isNull());
    EXPECT_TRUE(params.getWantTips());
    EXPECT_EQ(params.getImportStereoMode(), 0);
    EXPECT_EQ(params.getImportStereoConvert(), 20);
    EXPECT_EQ(params.getImportStereoSuffix(), "_mono");
    EXPECT_EQ(params.getUpdateSearch(), 2);
    EXPECT_TRUE(params.getUseCnsttSelection());
    EXPECT_TRUE(params.getUseCnsttLevel());
    EXPECT_EQ(params.getNotMuteLevelMode(), 0);
    EXPECT_EQ(params.getNotMuteMinLevel(), -120);
    EXPECT_EQ(params.getSoftName(), "Tovra Sonaric Free");
    EXPECT_TRUE(params.getLanguage().isEmpty());
    EXPECT_EQ(params.getAudioStreamFilter(), nullptr);
    EXPECT_TRUE(params.getCurrentVersion().startsWith("1.1."));
}

TEST_F(ParamsTest, SettersWriteThroughUnderTheirKeys)
{
    {
        SonaricParams params;
        params.setLastPrjDirectory("/p");
        params.setLastExportDirectory("/e");
        params.setLastImportDirectory("/i");
        params.setWantTips(false);
        params.setImportStereoMode(-1);
        params.setImportStereoConvert(23);
        params.setImportStereoSuffix("_m");
        params.setUpdateSearch(3);
        params.setUseCnsttSelection(false);
        params.setUseCnsttLevel(false);
        params.setNotMuteLevelMode(2);
        params.setNotMuteMinLevel(-60);
    }
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tovra Media",
                          "Tovra Sonaric Pro");
    const QList<QPair<QString, QVariant>> expected = {
        {"LastProjectDir", "/p"},     {"LastExportDir", "/e"},       {"LastImportDir", "/i"},
        {"WantTips", false},          {"ImportStereo", -1},          {"ImportStereoConvert", 23},
        {"ImportStereoSuffix", "_m"}, {"UpdateSearch", 3},           {"UseCnsttSelection", false},
        {"UseCnsttLevel", false},     {"NotMuteLevelMode", 2},       {"NotMuteMinLevel", -60}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(store.value("SonaricParams/" + key).toString(), value.toString()) << key.toStdString();
    SonaricParams again;
    EXPECT_EQ(again.getNotMuteMinLevel(), -60);
    EXPECT_EQ(again.getImportStereoSuffix(), "_m");
    EXPECT_FALSE(again.getUseCnsttLevel());
}

TEST_F(ParamsTest, RuleFlagsSignalOnlyChanges)
{
    SonaricParams params;
    QSignalSpy level(&params, &SonaricParams::useCnsttLevelChanged);
    QSignalSpy selection(&params, &SonaricParams::useCnsttSelectionChanged);
    params.setUseCnsttLevel(true);
    params.setUseCnsttSelection(true);
    EXPECT_EQ(level.count(), 0);
    EXPECT_EQ(selection.count(), 0);
    params.setUseCnsttLevel(false);
    params.setUseCnsttLevel(false);
    params.setUseCnsttSelection(false);
    ASSERT_EQ(level.count(), 1);
    EXPECT_FALSE(level[0][0].toBool());
    EXPECT_EQ(selection.count(), 1);
}

TEST_F(ParamsTest, RecentProjectsKeepSixPairsNewestFirst)
{
    SonaricParams params;
    for (int n = 0; n < 7; ++n)
        params.setRecentPrj(QString("n%1").arg(n), project(n));
    const QStringList list = params.getRecentPrj();
    ASSERT_EQ(list.size(), 12);
    EXPECT_EQ(list[0], "n6");
    EXPECT_EQ(list[1], project(6));
    EXPECT_EQ(list[11], project(1)); // the oldest, p0, was dropped
    EXPECT_EQ(params.getRecentPathPrj(0), project(6));
    EXPECT_EQ(params.getRecentPathPrj(5), project(1));
    for (int n : {-1, 6, 100})
        EXPECT_TRUE(params.getRecentPathPrj(n).isNull()) << n;

    // An entry already listed moves to the front with its new name and drops nothing.
    params.setRecentPrj("again", project(3));
    const QStringList moved = params.getRecentPrj();
    ASSERT_EQ(moved.size(), 12);
    EXPECT_EQ(moved.mid(0, 2), QStringList({"again", project(3)}));
    EXPECT_EQ(moved.count(project(3)), 1);
    EXPECT_EQ(params.getCleanRecentPrj()[0], "again (\"" + project(3) + "\")");

    // A path that names no file changes nothing.
    params.setRecentPrj("ghost", files.filePath("missing.tvprj"));
    params.setRecentPrj("folder", files.path());
    EXPECT_EQ(params.getRecentPrj(), moved);
}

TEST_F(ParamsTest, RecentProjectsMatchPathsOnlyAndMendAnOddList)
{
    SonaricParams params;
    const QString path = project(0);
    // A name equal to the path, and a dangling name at the end of a hand-edited list.
    params.setRecentPrj(QStringList{path, project(1), "other", project(2), "dangling"});
    params.setRecentPrj("new", path);
    EXPECT_EQ(params.getRecentPrj(),
              QStringList({"new", path, path, project(1), "other", project(2)}));
}

TEST_F(ParamsTest, AudioFilterOffersEveryImportedTypeAndOnePerType)
{
    SonaricParams params;
    const QStringList entries = params.getAudioFileFilter().split(";;");
    ASSERT_EQ(entries.size(), 8);
    EXPECT_EQ(entries[0],
              "Fichiers audio (*.wav *.wave *.aif *.aiff *.flac *.ogg *.mp3 *.mp2 *.mpeg *.au *.caf)");
    EXPECT_EQ(entries[3], "Fichiers FLAC (*.flac)");
    EXPECT_EQ(entries[5], "Fichiers MPEG (*.mp3 *.mp2 *.mpeg)");
    EXPECT_EQ(entries[7], "Fichiers CAF (*.caf)");
}

// A list of files typed into the import chooser keeps every file, the FLAC one included.
TEST_F(ParamsTest, TypedListOfFilesInTheChooserKeepsEveryImportedType)
{
    QTemporaryDir dir;
    const QStringList names{"a.wav", "b.flac", "c.ogg", "d.mp3", "e.aiff"};
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    SonaricParams params;
    QFileDialog chooser(nullptr, "Import", dir.path(), params.getAudioFileFilter());
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setFileMode(QFileDialog::ExistingFiles);
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    auto* field = chooser.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(field, nullptr);
    QTest::keyClicks(field, "\"" + names.join("\" \"") + "\"");
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return chooser.result() == QDialog::Accepted; }, 20000));
    QStringList chosen;
    for (const QString& path : chooser.selectedFiles())
        chosen << QFileInfo(path).fileName();
    chosen.sort();
    EXPECT_EQ(chosen, names);
}

TEST_F(ParamsTest, ExportDefaultsAreFixed)
{
    EXPECT_EQ(SonaricDefines::ExportFormats(), QStringList({"OGG VORBIS", "Flac", "Raw"}));
    EXPECT_EQ(SonaricDefines::ExportDefaultFormat(), "OGG VORBIS");
    EXPECT_EQ(SonaricDefines::ExportRates(),
              QList<double>({11025, 16000, 22050, 44100, 48000, 96000}));
    EXPECT_EQ(SonaricDefines::ExportDefaultRate(), 44100.0);
}

TEST_F(ParamsTest, NewVersionTidiesTheUpdateFolderOnceWithoutFollowingLinks)
{
    const QString work = SonaricParams::updateWorkDir();
    QTemporaryDir outside;
    const QString keep = outside.filePath("keep.txt");
    QFile(keep).open(QIODevice::WriteOnly);
    const auto fill = [&] {
        QDir().mkpath(work + "/TovraMedia/sub/deeper");
        QFile(work + "/TovraMedia/sub/deeper/a.bin").open(QIODevice::WriteOnly);
        QFile(work + "/SonaricUpdate").open(QIODevice::WriteOnly);
        QFile(work + "/" + Snc::UpdateLibBinaries.first()).open(QIODevice::WriteOnly);
        QFile::link(outside.path(), work + "/TovraMedia/link");
        QFile::link(outside.path(), work + "/elsewhere");
    };
    fill();
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, Snc::CompanyName,
                        Snc::ApplicationName);
        store.setValue(Snc::CurrentVersion, "1.1.80101");
    }
    SonaricParams first;
    EXPECT_FALSE(QFileInfo::exists(work));
    EXPECT_TRUE(QFileInfo::exists(keep));
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, Snc::CompanyName,
                          Snc::ApplicationName);
    EXPECT_EQ(store.value(Snc::CurrentVersion).toString(), first.getCurrentVersion());

    // The same version again leaves the folder alone.
    fill();
    SonaricParams second;
    EXPECT_TRUE(QFileInfo::exists(work + "/SonaricUpdate"));
    QDir(work).removeRecursively();
}

TEST_F(ParamsTest, NewVersionKeepsAnUnfinishedInstallationForTheUpdater)
{
    const QString work = SonaricParams::updateWorkDir();
    QDir().mkpath(work + "/TovraMedia");
    QDir().mkpath(work + "/backup");
    QFile(work + "/TovraMedia/libA.so").open(QIODevice::WriteOnly);
    QFile(work + "/backup/0").open(QIODevice::WriteOnly);
    QFile(work + "/install.journal").open(QIODevice::WriteOnly);
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, Snc::CompanyName,
                        Snc::ApplicationName);
        store.setValue(Snc::CurrentVersion, "1.1.80101");
    }
    SonaricParams params;
    for (const char* kept : {"/install.journal", "/TovraMedia/libA.so", "/backup/0"})
        EXPECT_TRUE(QFileInfo::exists(work + kept)) << kept;
    QDir(work).removeRecursively();
}
