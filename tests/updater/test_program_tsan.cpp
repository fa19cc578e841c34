#include "UpdateFixtures.h"
#include "../HttpFixture.h"
#include "UpdateSonaricPro.h"
#include "UpdaterTestApp.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <random>

namespace {

struct Outcome {
    int exitCode = -100;
    QByteArray errors;
};

Outcome runProgram(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(SONARIC_UPDATE_PROGRAM), arguments);
    Outcome outcome;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        outcome.exitCode = process.exitCode();
    outcome.errors = process.readAllStandardError();
    return outcome;
}

TEST(UpdaterProgram, CompressorModeAndUsage)
{
    QTemporaryDir dir;
    const QString src = dir.filePath("src"), dst = dir.filePath("dst");
    QByteArray data;
    for (int i = 0; i < 20000; ++i)
        data += QByteArray::number(i * 7919 % 1000) + ',';
    ASSERT_TRUE(writeFile(src, data));
    const struct {
        QStringList arguments;
        int exitCode;    // as the process reports it: -1 is 255
        const char* message;
        int level;       // of the written file; -2 when none is written
    } cases[] = {
        {{"-a", src, dst}, 0, " Ok !", 9},
        {{"-a", src, dst, "0"}, 0, " Ok !", 0},
        {{"-a", src, dst, "abc"}, 0, " Ok !", 0},
        {{"-a", dir.filePath("none"), dst}, 255, " ERROR !", -2},
        {{"-a", src, dir.filePath("no/dir/x")}, 255, " ERROR !", -2},
        {{"-x"}, 255, "Usage : ", -2},
        {{"-p", dir.path(), "-a", src, dst}, 255, "Usage : ", -2},
        {{"-c"}, 255, "Usage : ", -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QFile::remove(dst);
        const Outcome outcome = runProgram(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_TRUE(outcome.errors.contains(c.message)) << outcome.errors.toStdString();
        if (c.level == -2) {
            EXPECT_FALSE(QFile::exists(dst));
            continue;
        }
        const QByteArray packed = readFile(dst);
        EXPECT_EQ(qUncompress(packed), data);
        if (c.level > 0) {
            EXPECT_EQ(packed, qCompress(data, c.level));
        } else {
            EXPECT_GT(packed.size(), data.size()); // stored, not compressed
        }
    }
}

// The updater process killed while it downloads leaves the editor as it was; the next run
// installs the new version whole.
TEST(UpdaterProgram, AKilledRunLeavesTheOldEditorAndTheNextRunInstallsTheNew)
{
    QTemporaryDir root;
    const QString editor = QDir::cleanPath(root.path()) + "/app";
    const QString outside = QDir::cleanPath(root.path()) + "/outside";
    writeFile(editor + "/Sonaric", "old program");
    writeFile(editor + "/lib/libA.so", "old A");
    writeFile(outside + "/precious", "keep me");
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tovra Media", "Tovra Sonaric Pro")
        .setValue("CurrentVersion", "1.1.5");
    const auto editorBefore = snapshot(editor);
    const auto outsideBefore = snapshot(outside);

    HttpFixture server;
    QByteArray xml = "<U><version number='1.2'><file name='Sonaric'><u>URL/Sonaric</u><d>./</d></file>"
                     "<file name='libA.so'><u>URL/libA.so</u><d>lib/</d></file></version></U>";
    server.set(UpdateSonaricPro::ReleaseDescriptionPath, xml.replace("URL", server.url("").toUtf8()));
    server.set("/Sonaric", QByteArray("new program"));
    HttpFixture::Response hang;
    hang.hang = true;
    server.set("/libA.so", hang);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TOVRA_UPDATE_SERVER", server.url(""));
    process.setProcessEnvironment(environment);
    const QStringList arguments{"-p", "\"" + editor + "\""};
    process.start(QStringLiteral(SONARIC_UPDATE_PROGRAM), arguments);
    ASSERT_TRUE(waitUntil([&] { return server.requested().contains("/libA.so"); }, 30000))
        << server.requested().join(" ").toStdString();
    process.kill();
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), editorBefore);
    EXPECT_EQ(snapshot(outside), outsideBefore);

    server.set("/libA.so", QByteArray("new A"));
    process.start(QStringLiteral(SONARIC_UPDATE_PROGRAM), arguments);
    const QMap<QString, QByteArray> expected{{"Sonaric", "new program"}, {"lib/", ""}, {"lib/libA.so", "new A"}};
    EXPECT_TRUE(waitUntil([&] { return snapshot(editor, ".tvrudttmp") == expected; }, 30000));
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), expected);
    // The run now waits for Ok, which would start the editor.
    EXPECT_EQ(process.state(), QProcess::Running);
    process.kill();
    process.waitForFinished(30000);
    EXPECT_EQ(snapshot(outside), outsideBefore);
}

// The updater killed at random changes of its installation, then started again as a user would:
// each time the editor ends whole at the old or the new version. Odd runs meet a folder where the
// last file goes, so the kill also lands while the installation is being undone.
TEST(UpdaterProgram, KilledDuringTheInstallationTheEditorEndsWholeAtTheOldOrTheNewVersion)
{
    QTemporaryDir root;
    const QString editor = QDir::cleanPath(root.path()) + "/app";
    const QString outside = QDir::cleanPath(root.path()) + "/outside";
    const QString work = editor + "/.tvrudttmp";
    writeFile(outside + "/precious", "keep me");
    const auto outsideBefore = snapshot(outside);
    const auto oldEditor = [&](bool blocked) {
        QDir(editor).removeRecursively();
        writeFile(editor + "/Sonaric", "old program");
        writeFile(editor + "/lib/libA.so", "old A");
        writeFile(editor + "/obsolete.txt", "old");
        if (blocked)
            writeFile(editor + "/lib/new/libB.so/inside", "in the way");
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tovra Media", "Tovra Sonaric Pro")
            .setValue("CurrentVersion", "1.1.5");
        return snapshot(editor, ".tvrudttmp");
    };
    const QMap<QString, QByteArray> newEditor{{"Sonaric", "new program"}, {"lib/", ""}, {"lib/libA.so", "new A"},
                                              {"lib/new/", ""}, {"lib/new/libB.so", "new B"}};
    HttpFixture server;
    QByteArray xml = "<U><version number='1.2'><file name='Sonaric'><u>URL/Sonaric</u><d>./</d></file>"
                     "<file name='libA.so'><u>URL/libA.so</u><d>lib/</d></file>"
                     "<file name='libB.so'><u>URL/libB.so</u><d>lib/new/</d></file>"
                     "<delete path='obsolete.txt'/></version></U>";
    server.set(UpdateSonaricPro::ReleaseDescriptionPath, xml.replace("URL", server.url("").toUtf8()));
    server.set("/Sonaric", QByteArray("new program"));
    server.set("/libA.so", QByteArray("new A"));
    server.set("/libB.so", QByteArray("new B"));

    const unsigned seed = std::random_device()();
    std::mt19937 random(seed);
    for (int run = 0; run < 20; ++run) {
        const bool blocked = run % 2 == 1;
        // Both kinds of run make at least six changes after writing their journal.
        const int killAt = std::uniform_int_distribution<int>(0, 5)(random);
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", blocked " << blocked << ", killed at " << killAt);
        const auto before = oldEditor(blocked);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TOVRA_UPDATE_SERVER", server.url(""));
        environment.insert("TOVRA_UPDATER_KILL_AT_CHANGE", QString::number(killAt));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(SONARIC_UPDATE_PROGRAM), {"-p", editor});
        // The server answers from this thread's event loop.
        ASSERT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 60000));
        ASSERT_EQ(process.exitStatus(), QProcess::CrashExit) << process.readAllStandardError().toStdString();
        ASSERT_TRUE(QFile::exists(work + "/install.journal"));

        // The next start of the updater finishes or undoes the installation before anything else.
        BoxRecorder boxes;
        UpdateSonaricPro controller;
        controller.setApplicationDirPath(editor);
        controller.setDescriptionAddress(server.url("/gone.xml"));
        controller.start();
        EXPECT_FALSE(QFile::exists(work + "/install.journal"));
        EXPECT_EQ(snapshot(editor, ".tvrudttmp"), blocked ? before : newEditor);
        EXPECT_EQ(snapshot(outside), outsideBefore);
        EXPECT_TRUE(waitUntil([&] { return controller.hasEnded(); }, 30000));
        // Nothing of the interrupted run is left: no download, backup, journal or marker.
        EXPECT_EQ(snapshot(work), (QMap<QString, QByteArray>())) << "left in the work folder";
        QDir(work).removeRecursively();
    }
}

} // namespace
