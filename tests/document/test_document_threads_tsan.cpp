// The document with other threads: edits made while the project plays, a restore that replaces the
// playing project, and the import and export work done on worker threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <QFile>

#include "DocumentFixtures.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KMixSolver.h"
#include "KObjProgress.h"
#include "KPlayer.h"
#include "KPrompt.h"
#include "KSolver.h"
#include "../PollUntil.h"

namespace {

class Checkpointed : public KCtrlFile
{
public:
    using KCtrlFile::copyElts;
    using KCtrlFile::resetElts;
};

} // namespace

TEST(DocumentThreads, EditsWhilePlayingAndARestoreThatStopsPlayback)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    k_setStatusSolverTimeLimit(5000);
    fixtures::TempDir dir;
    Checkpointed doc;
    ASSERT_EQ(addTracks(doc, dir, {"a", "b", "c"}, 3.0).size(), 3);
    ASSERT_TRUE(doc.createGroup("G", {"a", "b", "c"}, 0, -1));
    doc.setEltsStatus(true, true);
    ASSERT_TRUE(doc.saveCurrentMix("M"));
    ASSERT_TRUE(doc.copyElts());

    ASSERT_EQ(1, so_init());
    ASSERT_EQ(1, so_outThread(doc.getKFile(), nullptr, SO_MODE_SOUNDCARD));
    ASSERT_TRUE(pollUntil([&] { return so_isPlay() && so_getTime(doc.getKFile()) > 0.0; }));
    for (int i = 0; i < 40; ++i) {
        doc.setEltLevel("a", -(i % 20));
        doc.setPan("b", (i % 5) / 5.0);
        doc.setEltMute("c", i % 2 == 0);
        doc.setEltSolo("a", i % 3 == 0);
        doc.setMixLevel("M", -(i % 10));
        doc.setMixPan("", (i % 3) / 3.0);
        doc.setMasterLvl(-(i % 7));
        ASSERT_TRUE(doc.setMixMastering("M", {{100, i % 4 * 1.0}, {1000, -1.0}}));
        doc.setGroupMinMaxPlay("G", 0, 3);
        doc.setEltStatus("b", i % 2 == 1, true);
    }
    ASSERT_TRUE(doc.resetElts());
    EXPECT_EQ(so_isPlay(), 0);
    EXPECT_TRUE(doc.isGroup("G"));
    so_close();
    k_setStatusSolverTimeLimit(0);
}

// The checkpoint is cloned under the project lock: a level the player thread writes under that
// lock is ordered before the clone by the lock alone. The writer's flag is read relaxed, which
// orders nothing, so ThreadSanitizer reports a clone taken without the lock.
TEST(DocumentThreads, TheCheckpointIsClonedUnderTheProjectLock)
{
    fixtures::TempDir dir;
    Checkpointed doc;
    ASSERT_EQ(addTracks(doc, dir, {"a"}, 0.1).size(), 1);
    std::atomic<bool> written{false};
    std::thread player([&] {
        doc.setEltLevel("a", -60);
        written.store(true, std::memory_order_relaxed);
    });
    while (!written.load(std::memory_order_relaxed))
        std::this_thread::yield();
    EXPECT_TRUE(doc.copyElts());
    player.join();
    doc.setEltLevel("a", 0);
    ASSERT_TRUE(doc.resetElts());
    EXPECT_EQ(doc.getElementLevel("a"), -60);
}

// The checked road while playing: a kept edit leaves playback running, an aborted one and a
// restored backup replace the project only after playback has stopped.
TEST(DocumentThreads, CheckedEditsAndTheBackupWhilePlaying)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    k_setStatusSolverTimeLimit(5000);
    fixtures::TempDir dir;
    KCtrlFile doc;
    ASSERT_EQ(addTracks(doc, dir, {"a", "b", "c", "x"}, 3.0).size(), 4);
    ASSERT_TRUE(doc.KObjFile::createGroup("G", {"a", "b", "c"}, 0, -1));
    // x can never play: every later check warns.
    ASSERT_TRUE(doc.KObjFile::createGroup("X", {"x"}, 0, 0));
    doc.setEltsStatus(true, true);
    doc.ActiveBackup();
    QMessageBox::StandardButton answer = QMessageBox::Ignore;
    const KPrompt::Handler previous = KPrompt::setHandler([&](const KPrompt::Request&) {
        KPrompt::Answer reply;
        reply.button = answer;
        return reply;
    });
    auto play = [&] {
        return so_outThread(doc.getKFile(), nullptr, SO_MODE_SOUNDCARD) == 1
               && pollUntil([&] { return so_isPlay() && so_getTime(doc.getKFile()) > 0.0; });
    };

    ASSERT_EQ(1, so_init());
    ASSERT_TRUE(play());
    EXPECT_FALSE(doc.createExclu({"a", "b"}, "").isEmpty());
    EXPECT_TRUE(doc.setGroupMinMaxPlay("G", 0, 2));
    EXPECT_NE(so_isPlay(), 0);

    answer = QMessageBox::Abort;
    EXPECT_FALSE(doc.setGroupMinMaxPlay("G", 0, 1));
    EXPECT_EQ(so_isPlay(), 0);
    EXPECT_EQ(doc.getGroupMaxPlay("G"), 2);

    // Removals free elements that the mixer reads: kept or not, playback ends first.
    ASSERT_TRUE(play());
    EXPECT_FALSE(doc.removeElement("c"));
    EXPECT_EQ(so_isPlay(), 0);
    EXPECT_TRUE(doc.isTrack("c"));
    answer = QMessageBox::Ignore;
    ASSERT_TRUE(play());
    EXPECT_TRUE(doc.removeElement("c"));
    EXPECT_EQ(so_isPlay(), 0);
    EXPECT_FALSE(doc.isTrack("c"));

    ASSERT_TRUE(play());
    ASSERT_TRUE(doc.RestoreBackup());
    EXPECT_EQ(so_isPlay(), 0);
    EXPECT_EQ(doc.getGroupMaxPlay("G"), 3);
    so_close();
    KPrompt::setHandler(previous);
    k_setStatusSolverTimeLimit(0);
}

TEST(DocumentThreads, ImportAndExportOnWorkerThreads)
{
    fixtures::TempDir dir;
    KCtrlFile doc;
    const QString a = sineFile(dir, "a.wav", 0.3);
    const QString b = sineFile(dir, "b.wav", 0.3, 2);
    QStringList added;
    std::thread importer([&] { added = doc.addTracks({a, b}); });
    importer.join();
    ASSERT_EQ(added, QStringList({"a", "b"}));
    ASSERT_TRUE(doc.createGroup("G", added, 0, -1));
    for (const QString& t : added)
        ASSERT_TRUE(doc.addTrackInCurMix(t));
    ASSERT_TRUE(doc.saveCurrentMix("M"));

    KStreamFormat format{};
    KStreamFormat_init(&format);
    format.code = KAUDIOFMT_VORBIS | (KAUDIOFMT_VORBIS_QUALITY_BASE + 3);
    format.rate = 44100;
    format.channels = 2;
    KObjProgress renderProgress, exportProgress;
    bool rendered = false, exported = false;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        rendered = doc.exportTovixToAudioFile(
            "M", QString::fromStdString(dir.file("mix.ogg")), &format, &renderProgress);
        exported = doc.exportToTovraFile(QString::fromStdString(dir.file("out.tvr")), &format,
                                         &exportProgress, KObjFile::DefMixAllTracks);
        done = true;
    });
    // The progress dialog's polling reads the records meanwhile, and the author goes on editing.
    double seen = 0.0;
    int edits = 0;
    EXPECT_TRUE(pollUntil([&] {
        seen = std::max(seen, renderProgress.getProg() + exportProgress.getProg());
        doc.setPan("a", (++edits % 5) / 5.0);
        doc.setEltLevel("b", -(edits % 10));
        return done.load();
    }));
    worker.join();
    EXPECT_TRUE(rendered);
    EXPECT_TRUE(exported);
    EXPECT_GE(renderProgress.getProg(), 0.0);
    KObjFile written;
    ASSERT_TRUE(written.loadTovraFile(QString::fromStdString(dir.file("out.tvr"))));
    EXPECT_EQ(written.getTrackNames(), added);
    KStreamFormat_init(&format);
}
