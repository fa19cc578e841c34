#include "UpdateFixtures.h"
#include "UpdateInstaller.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class UpdateInstallerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editor = QDir::cleanPath(root.path()) + "/app";
        work = editor + "/.tvrudttmp";
        QDir().mkpath(work);
        outside = QDir::cleanPath(root.path()) + "/outside";
        writeFile(outside + "/precious", "keep me");
        writeFile(editor + "/Sonaric", "old program");
        writeFile(editor + "/lib/libA.so", "old A");
        writeFile(editor + "/obsolete.txt", "old");
        QDir().mkpath(editor + "/emptydir");
    }

    // The plan of a two-version update, staged in the work folder.
    void planUpdate(UpdateInstaller& installer)
    {
        QString error;
        writeFile(work + "/TovraMedia/Sonaric", "new program");
        writeFile(work + "/TovraMedia/libA.so", "new A");
        writeFile(work + "/TovraMedia/libB.so", "new B");
        ASSERT_TRUE(installer.addFile(work + "/TovraMedia/Sonaric", "Sonaric", "Sonaric", "1.2", &error));
        ASSERT_TRUE(installer.addFile(work + "/TovraMedia/libA.so", "lib/libA.so", "libA.so", "1.3", &error));
        ASSERT_TRUE(installer.addFile(work + "/TovraMedia/libB.so", "lib/new/libB.so", "libB.so", "1.2", &error));
        ASSERT_TRUE(installer.addDeletion("obsolete.txt", "1.2", &error));
        ASSERT_TRUE(installer.addDeletion("emptydir", "1.3", &error));
        // Deleted by 1.2 but installed again by 1.3: stays installed.
        ASSERT_TRUE(installer.addDeletion("lib/libA.so", "1.2", &error));
    }

    QMap<QString, QByteArray> expectedNew() const
    {
        return {{"Sonaric", "new program"}, {"lib/", ""}, {"lib/libA.so", "new A"},
                {"lib/new/", ""}, {"lib/new/libB.so", "new B"}};
    }

    QTemporaryDir root;
    QString editor, work, outside;
};

TEST_F(UpdateInstallerTest, CommitReplacesDeletesAndLogsInOrder)
{
    const auto before = snapshot(outside);
    UpdateInstaller installer(editor, work);
    planUpdate(installer);
    QStringList logged, failures;
    ASSERT_TRUE(installer.commit([&](const UpdateInstaller::Step& s) { logged << s.label; }, &failures))
        << failures.join('\n').toStdString();
    EXPECT_EQ(logged, QStringList({"obsolete.txt", "emptydir", "Sonaric", "libA.so", "libB.so"}));
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), expectedNew());
    EXPECT_FALSE(QFile::exists(UpdateInstaller::journalPath(work)));
    // Owner, group and others: read and execute, no write (the "user" bits follow who asks).
    EXPECT_EQ(QFile::permissions(editor + "/lib/libA.so") & 0x7077, QFileDevice::Permissions(0x5055));
    EXPECT_EQ(snapshot(outside), before);
}

TEST_F(UpdateInstallerTest, PathsThatLeaveTheEditorFolderAreRefused)
{
    QFile::link(outside, editor + "/link");
    writeFile(work + "/f", "x");
    writeFile(outside + "/staged", "x");
    UpdateInstaller installer(editor, work);
    QString error;
    const char* const targets[] = {"../outside/precious", "/tmp/x", "link/precious", "link", "a/../../x"};
    for (const char* target : targets) {
        EXPECT_FALSE(installer.addFile(work + "/f", target, "f", "2", &error)) << target;
        EXPECT_FALSE(installer.addDeletion(target, "2", &error)) << target;
    }
    EXPECT_FALSE(installer.addFile(outside + "/staged", "x", "x", "2", &error));
    EXPECT_FALSE(installer.addFile(work + "/missing", "x", "x", "2", &error));
    QStringList failures;
    EXPECT_TRUE(installer.commit(nullptr, &failures));
    EXPECT_EQ(snapshot(outside).value("precious"), QByteArray("keep me"));
}

TEST_F(UpdateInstallerTest, AKilledInstallIsTheOldOrAfterResumeTheNewEditorWhole)
{
    const auto old = snapshot(editor, ".tvrudttmp");
    const auto outsideBefore = snapshot(outside);
    for (int killAt = 0; killAt < 5; ++killAt) {
        SCOPED_TRACE(killAt);
        {
            UpdateInstaller installer(editor, work);
            planUpdate(installer);
            EXPECT_EXIT(
                {
                    UpdateInstaller::setStepHook([killAt](int step) {
                        if (step == killAt)
                            std::raise(SIGKILL);
                    });
                    QStringList failures;
                    installer.commit(nullptr, &failures);
                    std::_Exit(0);
                },
                ::testing::KilledBySignal(SIGKILL), "");
        }
        // The journal survives the kill; the next start of the updater finishes the work.
        ASSERT_TRUE(QFile::exists(UpdateInstaller::journalPath(work)));
        QStringList failures;
        ASSERT_TRUE(UpdateInstaller::resume(work, &failures)) << failures.join('\n').toStdString();
        EXPECT_EQ(snapshot(editor, ".tvrudttmp"), expectedNew());
        EXPECT_FALSE(QFile::exists(UpdateInstaller::journalPath(work)));
        EXPECT_EQ(snapshot(outside), outsideBefore);
        // Back to the old editor for the next kill point.
        QDir(editor).removeRecursively();
        SetUp();
        ASSERT_EQ(snapshot(editor, ".tvrudttmp"), old);
    }
}

TEST_F(UpdateInstallerTest, NothingIsTouchedWhenTheJournalCannotBeWritten)
{
    const auto old = snapshot(editor, ".tvrudttmp");
    UpdateInstaller installer(editor, work);
    planUpdate(installer);
    QDir().mkpath(UpdateInstaller::journalPath(work)); // a folder where the journal should go
    QStringList failures;
    EXPECT_FALSE(installer.commit(nullptr, &failures));
    EXPECT_FALSE(failures.isEmpty());
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), old);
}

} // namespace
