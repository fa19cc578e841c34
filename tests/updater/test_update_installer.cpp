#include "UpdateFixtures.h"
#include "UpdateInstaller.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QUrl>

#include <csignal>
#include <random>

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
    void planUpdate(UpdateInstaller& installer, bool failing = false)
    {
        if (failing)
            writeFile(editor + "/lib/new/libB.so/inside", "in the way");
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

    // The old editor again, with nothing in the work folder.
    void reset()
    {
        QDir(editor).removeRecursively();
        SetUp();
    }
    int changesOfOneCommit(bool failing);

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
    EXPECT_FALSE(UpdateInstaller::hasUnfinishedJournal(work));
    EXPECT_TRUE(snapshot(work, "TovraMedia").isEmpty()) << "backups or journal left";
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
    const char* const targets[] = {"../outside/precious", "/tmp/x", "link/precious", "link", "a/../../x",
                                   ".tvrudttmp/install.journal", ".tvrudttmp", "./.tvrudttmp/x"};
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

// Counts the file-system changes of one commit of the plan, then puts the old editor back.
int UpdateInstallerTest::changesOfOneCommit(bool failing)
{
    int changes = 0;
    UpdateInstaller::setStepHook([&changes](int) { ++changes; });
    {
        UpdateInstaller installer(editor, work);
        planUpdate(installer, failing);
        QStringList failures;
        EXPECT_EQ(installer.commit(nullptr, &failures), !failing) << failures.join('\n').toStdString();
    }
    UpdateInstaller::setStepHook(nullptr);
    reset();
    return changes;
}

TEST_F(UpdateInstallerTest, AKilledInstallEndsWholeAtTheOldOrTheNewEditorAfterResume)
{
    const auto outsideBefore = snapshot(outside);
    const int changes[2] = {changesOfOneCommit(false), changesOfOneCommit(true)};
    ASSERT_GT(changes[0], 5);
    ASSERT_GT(changes[1], changes[0] / 2); // the failing plan also undoes what it did
    const auto oldOf = [this](bool failing) {
        reset();
        if (failing)
            writeFile(editor + "/lib/new/libB.so/inside", "in the way");
        return snapshot(editor, ".tvrudttmp");
    };
    const QMap<QString, QByteArray> olds[2] = {oldOf(false), oldOf(true)};
    const unsigned seed = std::random_device()();
    std::mt19937 random(seed);
    for (int run = 0; run < 20; ++run) {
        const bool failing = run % 2 == 1;
        const int killAt = std::uniform_int_distribution<int>(0, changes[failing] - 1)(random);
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", failing " << failing << ", kill after change " << killAt);
        reset();
        {
            UpdateInstaller installer(editor, work);
            planUpdate(installer, failing);
            EXPECT_EXIT(
                {
                    UpdateInstaller::setStepHook([killAt](int change) {
                        if (change == killAt)
                            std::raise(SIGKILL);
                    });
                    QStringList failures;
                    installer.commit(nullptr, &failures);
                    std::_Exit(0);
                },
                ::testing::KilledBySignal(SIGKILL), "");
        }
        // The journal survives the kill; the next start of the updater finishes or undoes the work.
        ASSERT_TRUE(UpdateInstaller::hasUnfinishedJournal(work));
        QStringList failures;
        ASSERT_TRUE(UpdateInstaller::resume(work, &failures)) << failures.join('\n').toStdString();
        const auto now = snapshot(editor, ".tvrudttmp");
        if (failing) {
            EXPECT_EQ(now, olds[1]);
        } else {
            EXPECT_EQ(now, expectedNew());
        }
        EXPECT_FALSE(UpdateInstaller::hasUnfinishedJournal(work));
        EXPECT_FALSE(QFileInfo::exists(work + "/backup"));
        EXPECT_EQ(snapshot(outside), outsideBefore);
    }
}

TEST_F(UpdateInstallerTest, AFailedStepUndoesTheCommitAndAJournalNotUndoneIsKept)
{
    const auto old = snapshot(editor, ".tvrudttmp");
    // A folder stands where the last file goes: everything done before is undone.
    {
        writeFile(editor + "/lib/new/libB.so/inside", "in the way");
        const auto blocked = snapshot(editor, ".tvrudttmp");
        UpdateInstaller installer(editor, work);
        planUpdate(installer);
        QStringList failures;
        EXPECT_FALSE(installer.commit(nullptr, &failures));
        EXPECT_TRUE(failures.join('\n').contains("a folder or link stands in its place"))
            << failures.join('\n').toStdString();
        EXPECT_EQ(snapshot(editor, ".tvrudttmp"), blocked);
        EXPECT_FALSE(UpdateInstaller::hasUnfinishedJournal(work));
        QDir(editor + "/lib/new").removeRecursively();
        ASSERT_EQ(snapshot(editor, ".tvrudttmp"), old);
    }
    // The new program cannot go back to the work folder either: the journal stays, and once the
    // way is free the next resume undoes the whole commit.
    reset();
    writeFile(editor + "/lib/new/libB.so/inside", "in the way");
    const auto blocked = snapshot(editor, ".tvrudttmp");
    UpdateInstaller installer(editor, work);
    planUpdate(installer);
    UpdateInstaller::setStepHook([this](int) {
        if (readFile(editor + "/Sonaric") == "new program")
            writeFile(work + "/TovraMedia/Sonaric/x", "in the way");
    });
    QStringList failures;
    EXPECT_FALSE(installer.commit(nullptr, &failures));
    UpdateInstaller::setStepHook(nullptr);
    ASSERT_TRUE(UpdateInstaller::hasUnfinishedJournal(work));
    EXPECT_FALSE(UpdateInstaller::resume(work, &failures));
    EXPECT_TRUE(UpdateInstaller::hasUnfinishedJournal(work));
    EXPECT_FALSE(installer.commit(nullptr, &failures)) << "a new commit over an unfinished journal";
    QDir(work + "/TovraMedia/Sonaric").removeRecursively();
    failures.clear();
    EXPECT_TRUE(UpdateInstaller::resume(work, &failures)) << failures.join('\n').toStdString();
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), blocked);
    EXPECT_FALSE(UpdateInstaller::hasUnfinishedJournal(work));
}

// Journals that the updater did not write, or that were changed since, are never carried out.
TEST_F(UpdateInstallerTest, AForeignOrAlteredJournalIsRefusedAndKept)
{
    const QString wk = QString::fromUtf8(QUrl::toPercentEncoding(work));
    const QString ed = QString::fromUtf8(QUrl::toPercentEncoding(editor));
    const auto enc = [](const QString& path) { return QString::fromUtf8(QUrl::toPercentEncoding(path)); };
    writeFile(work + "/TovraMedia/evil", "evil");
    const QString head = "tovra-install 2\t" + ed + "\t" + wk + "\n";
    const QString backup = enc(work + "/backup/0");
    const struct {
        const char* what;
        QString text;
        bool withSum;
    } cases[] = {
        {"put outside", head + "put\t" + enc(work + "/TovraMedia/evil") + "\t" + enc(outside + "/precious") + "\t" + backup + "\tx\t\n", true},
        {"delete outside", head + "del\t\t" + enc(outside + "/precious") + "\t" + backup + "\tx\t\n", true},
        {"climbing target", head + "del\t\t" + enc(editor + "/../outside/precious") + "\t" + backup + "\tx\t\n", true},
        {"backup outside", head + "del\t\t" + enc(editor + "/Sonaric") + "\t" + enc(outside + "/b") + "\tx\t\n", true},
        {"staged outside", head + "put\t" + enc(outside + "/precious") + "\t" + enc(editor + "/Sonaric") + "\t" + backup + "\tx\t\n", true},
        {"target in the work folder", head + "put\t" + enc(work + "/TovraMedia/evil") + "\t" + enc(work + "/x") + "\t" + backup + "\tx\t\n", true},
        {"another folder's journal", "tovra-install 2\t" + enc(outside) + "\t" + wk + "\n", true},
        {"no checksum", head + "del\t\t" + enc(editor + "/Sonaric") + "\t" + backup + "\tx\t\n", false},
    };
    const auto editorBefore = snapshot(editor, ".tvrudttmp");
    const auto outsideBefore = snapshot(outside);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray text = c.text.toUtf8();
        writeFile(UpdateInstaller::journalPath(work), text);
        writeFile(UpdateInstaller::journalPath(work) + ".sum",
                  c.withSum ? QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex() : "0");
        QStringList failures;
        EXPECT_FALSE(UpdateInstaller::resume(work, &failures));
        EXPECT_FALSE(failures.isEmpty());
        EXPECT_EQ(readFile(UpdateInstaller::journalPath(work)), text);
        EXPECT_EQ(snapshot(editor, ".tvrudttmp"), editorBefore);
        EXPECT_EQ(snapshot(outside), outsideBefore);
    }
}

// A journal whose sum is right (whoever forges it writes the sum too) but whose staged or
// backup path passes through a link in the work folder is refused, forward and rolling back.
TEST_F(UpdateInstallerTest, AJournalThroughALinkInTheWorkFolderIsRefused)
{
    const auto enc = [](const QString& path) { return QString::fromUtf8(QUrl::toPercentEncoding(path)); };
    const QString head = "tovra-install 2\t" + enc(editor) + "\t" + enc(work) + "\n";
    writeFile(editor + "/readme.txt", "readme");
    const struct {
        const char* what;
        QString link;  // in the work folder, leading to the outside folder
        QString step;
        bool rollingBack;
    } cases[] = {
        {"del, backup through a linked backup folder", "backup",
         "del\t\t" + enc(editor + "/readme.txt") + "\t" + enc(work + "/backup/x") + "\tx\t\n", false},
        {"del rolled back, backup through a linked backup folder", "backup",
         "del\t\t" + enc(editor + "/gone.txt") + "\t" + enc(work + "/backup/precious") + "\tx\t\n", true},
        {"put, staged through a linked folder", "st",
         "put\t" + enc(work + "/st/precious") + "\t" + enc(editor + "/new.txt") + "\t" + enc(work + "/backup/0")
             + "\tx\t\n", false},
        {"put rolled back, staged through a linked folder", "st",
         "put\t" + enc(work + "/st/taken") + "\t" + enc(editor + "/readme.txt") + "\t" + enc(work + "/backup/0")
             + "\tx\t\n", true},
    };
    const auto editorBefore = snapshot(editor, ".tvrudttmp");
    const auto outsideBefore = snapshot(outside);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QFile::link(outside, work + "/" + c.link));
        if (c.rollingBack)
            writeFile(work + "/install.rollback", "");
        const QByteArray text = (head + c.step).toUtf8();
        writeFile(UpdateInstaller::journalPath(work), text);
        writeFile(UpdateInstaller::journalPath(work) + ".sum", QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
        QStringList failures;
        EXPECT_FALSE(UpdateInstaller::resume(work, &failures));
        EXPECT_TRUE(failures.join('\n').contains("through a link")) << failures.join('\n').toStdString();
        EXPECT_EQ(readFile(UpdateInstaller::journalPath(work)), text);
        EXPECT_EQ(snapshot(editor, ".tvrudttmp"), editorBefore);
        EXPECT_EQ(snapshot(outside), outsideBefore);
        QFile::remove(work + "/" + c.link);
        QFile::remove(work + "/install.rollback");
    }
}

// The walk up to the nearest existing folder ends even for a path longer than the platform
// allows (whose parent the file system layer gives back unchanged).
TEST_F(UpdateInstallerTest, AnOverlongTargetEndsTheWalkAndChangesNothing)
{
    const auto old = snapshot(editor, ".tvrudttmp");
    writeFile(work + "/TovraMedia/f", "new");
    UpdateInstaller installer(editor, work);
    QString error;
    const bool planned = installer.addFile(work + "/TovraMedia/f", QString(60000, 'd') + "/f", "f", "2", &error);
    QStringList failures;
    if (planned) {
        EXPECT_FALSE(installer.commit(nullptr, &failures));
    }
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), old);
    EXPECT_FALSE(UpdateInstaller::hasUnfinishedJournal(work));
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
