#include "UpdateFixtures.h"
#include "UpdateServer.h"
#include "UpdateSonaricPro.h"
#include "UpdaterTestApp.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

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
        if (c.level > 0)
            EXPECT_EQ(packed, qCompress(data, c.level));
        else
            EXPECT_GT(packed.size(), data.size()); // stored, not compressed
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

    UpdateServer server;
    QByteArray xml = "<U><version number='1.2'><file name='Sonaric'><u>URL/Sonaric</u><d>./</d></file>"
                     "<file name='libA.so'><u>URL/libA.so</u><d>lib/</d></file></version></U>";
    server.set(UpdateSonaricPro::ReleaseDescriptionPath, xml.replace("URL", server.url("").toUtf8()));
    server.set("/Sonaric", QByteArray("new program"));
    UpdateServer::Response hang;
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

} // namespace
