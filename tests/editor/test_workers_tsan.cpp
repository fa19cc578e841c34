// The editor's worker threads: audio import into the document (alone and under the progress
// dialog, with its cancel), the distributable export and the export of one stored mix, each read
// back through the engine, and failed or cancelled exports that keep the old file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <memory>
#include <vector>
#include <mutex>

#include <sys/resource.h>

#include "../document/DocumentFixtures.h"
#include "DlgProgBar.h"
#include "ExportThread.h"
#include "ImportAudioThread.h"
#include "KCtrlFile.h"
#include "KObjProgress.h"
#include "KTypes.h"

namespace {

class QtApp : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "workers_test";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
    }
    void TearDown() override { delete app; }
    QApplication* app = nullptr;
};
const auto* const qtApp = ::testing::AddGlobalTestEnvironment(new QtApp);

// Counts the worker's reports; the worker emits them on its own thread.
struct Reports {
    std::atomic<int> successes{0}, failures{0};
    explicit Reports(KObjThread& thread)
    {
        QObject::connect(&thread, &KObjThread::success, &thread, [this] { ++successes; },
                         Qt::DirectConnection);
        QObject::connect(&thread, &KObjThread::failure, &thread, [this] { ++failures; },
                         Qt::DirectConnection);
    }
};

// Runs the worker to its end on its own thread.
void runToEnd(KObjThread& thread)
{
    thread.start();
    thread.wait();
    thread.stopAndWait(); // orders the worker's writes before the checks, also for ThreadSanitizer
}

class Workers : public ::testing::Test
{
protected:
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }

    // Three readable files of three formats, one file that is not audio, one that is absent and
    // one damaged.
    QStringList mixedFiles()
    {
        QFile text(file("notes.wav"));
        EXPECT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("these are not samples\n");
        text.close();
        // A WAVE header with nothing of a format behind it.
        QFile damaged(file("fake.wav"));
        EXPECT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("RIFF\x24\0\0\0WAVEdata\x10\0\0\0", 20) + QByteArray(16, 'x'));
        damaged.close();
        return {sineFile(dir, "kick.wav", 0.3),
                file("notes.wav"),
                sineFile(dir, "bass.flac", 0.3, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16),
                file("absent.wav"),
                file("fake.wav"),
                sineFile(dir, "pad.ogg", 0.3, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS)};
    }

    QStringList sines(int count)
    {
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths << sineFile(dir, QString("s%1.wav").arg(i), 0.1);
        return paths;
    }

    fixtures::TempDir dir;
    KCtrlFile doc;
};

} // namespace

TEST_F(Workers, ImportAddsEveryReadableFileAndNamesTheOthers)
{
    const struct {
        const char* label;
        bool mixed;
        QStringList names, failed;
        int state;
        QString message;
        bool ok;
    } cases[] = {
        {"empty list", false, {}, {}, 3, "Piste audio importée !", true},
        {"mixed formats", true, {"kick", "bass", "pad"}, {"notes.wav", "absent.wav", "fake.wav"}, -2,
         "Erreur : impossible d'importer la piste !\n"
         "\"notes.wav\" : ce n'est pas un fichier audio\n"
         "\"absent.wav\" : fichier introuvable\n"
         "\"fake.wav\" : données audio endommagées ou codage non pris en charge",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        KCtrlFile document;
        const QStringList paths = c.mixed ? mixedFiles() : QStringList();
        ImportAudioThread thread(paths, &document);
        Reports reports(thread);
        runToEnd(thread);
        EXPECT_EQ(thread.getTrackNames(), c.names);
        QStringList failedNames;
        for (const QString& path : thread.getFailedPaths())
            failedNames << QFileInfo(path).fileName();
        EXPECT_EQ(failedNames, c.failed);
        EXPECT_EQ(thread.getProgress()->getState(), c.state);
        EXPECT_EQ(thread.getProgress()->getMsg(), c.message);
        EXPECT_EQ(reports.successes.load(), c.ok ? 1 : 0);
        EXPECT_EQ(reports.failures.load(), c.ok ? 0 : 1);
        // Each imported track is whole and waits in the import group.
        EXPECT_EQ(document.getTrackNames(), c.names);
        for (const QString& name : c.names) {
            EXPECT_TRUE(document.getSubElt(KObjFile::ImportAudioGrpName).contains(name));
            EXPECT_GT(document.getTrackLength(name), 0.25);
        }
    }
}

TEST_F(Workers, ImportStopsBetweenFilesWhenCancelled)
{
    const QStringList paths = sines(5);
    ImportAudioThread thread(paths, &doc);
    Reports reports(thread);
    // The cancel arrives while the second file is being added, as the dialog's button would.
    // Each file's progress shows the files done before it.
    int added = 0;
    std::vector<double> progressAtAdd;
    QObject::connect(&doc, &KCtrlFile::addedTrack, &doc, [&] {
        progressAtAdd.push_back(thread.getProgress()->getProg());
        if (++added == 2)
            thread.quit();
    }, Qt::DirectConnection);
    runToEnd(thread);
    EXPECT_EQ(progressAtAdd, (std::vector<double>{0.0, 0.2}));
    EXPECT_EQ(thread.getTrackNames(), QStringList({"s0", "s1"}));
    EXPECT_EQ(doc.getTrackNames(), QStringList({"s0", "s1"}));
    EXPECT_EQ(thread.getProgress()->getMsg(), "Import interrompu");
    EXPECT_EQ(thread.getProgress()->getState(), -2);
    EXPECT_EQ(reports.failures.load(), 1);
    EXPECT_EQ(reports.successes.load(), 0);
}

TEST_F(Workers, ImportUnderTheProgressDialog)
{
    QStringList paths = mixedFiles().mid(1, 1); // the file that is not audio
    paths << sines(4);
    // Cancel clicked while the worker is between two files: the worker waits for the click.
    KCtrlFile document;
    ImportAudioThread thread(paths, &document);
    std::mutex mutex;
    std::condition_variable clicked;
    bool done = false;
    bool buttonFound = false;
    QObject::connect(&document, &KCtrlFile::addedTrack, &document, [&] {
        QMetaObject::invokeMethod(qApp, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == "DlgProgBar" && top->isVisible())
                    if (auto* button = top->findChild<QPushButton*>("cancelButton")) {
                        QTest::mouseClick(button, Qt::LeftButton);
                        buttonFound = true;
                    }
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
            clicked.notify_one();
        }, Qt::QueuedConnection);
        std::unique_lock<std::mutex> lock(mutex);
        clicked.wait(lock, [&] { return done; });
    }, Qt::DirectConnection);
    EXPECT_EQ(DlgProgBar::open(true, &thread, "Importer des pistes", "ok", "bad", nullptr),
              DlgProgBar::Cancelled);
    EXPECT_TRUE(buttonFound);
    EXPECT_EQ(thread.getTrackNames(), QStringList({"s0"}));
    EXPECT_EQ(thread.getFailedPaths(), paths.mid(0, 1));
    EXPECT_EQ(document.getTrackNames(), QStringList({"s0"}));
    EXPECT_EQ(thread.getProgress()->getMsg(), "Import interrompu");
}

namespace {

// A project of two tracks placed in a group and one stored mix of both, with the two formats
// the export page builds: Vorbis at quality -1 for the container, 16-bit WAV for a mix.
class Exports : public Workers
{
protected:
    void SetUp() override
    {
        tracks = addTracks(doc, dir, {"a", "b"}, 1.0);
        ASSERT_TRUE(doc.createGroup("G", tracks, 0, -1));
        for (const QString& t : tracks)
            ASSERT_TRUE(doc.addTrackInCurMix(t));
        ASSERT_TRUE(doc.saveCurrentMix("M"));
        KStreamFormat_init(&container);
        container.code = 0x5100FF;
        container.rate = 44100.0;
        container.bits = KAudioFmt_getNumberBits(container.code);
        KStreamFormat_init(&wave);
        wave.code = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        wave.rate = 44100.0;
        wave.bits = KAudioFmt_getNumberBits(wave.code);
    }
    void TearDown() override
    {
        KStreamFormat_init(&container);
        KStreamFormat_init(&wave);
    }

    // Runs the export of the container (mix empty) or of a mix onto the path.
    bool exportTo(const QString& mix, const QString& path, bool cancelFirst = false)
    {
        KObjProgress progress;
        std::unique_ptr<KObjThread> thread;
        if (mix.isEmpty())
            thread.reset(new ExportThread(path, &container, &progress, KObjFile::DefMixNone, &doc));
        else
            thread.reset(new ExportTovixThread(mix, path, &wave, &progress, &doc));
        Reports reports(*thread);
        if (cancelFirst)
            thread->quit();
        runToEnd(*thread);
        EXPECT_EQ(reports.successes + reports.failures, 1);
        return reports.successes == 1;
    }

    QStringList tracks;
    KStreamFormat container{};
    KStreamFormat wave{};
};

} // namespace

TEST_F(Exports, BothExportsReadBackThroughTheEngine)
{
    ASSERT_TRUE(exportTo("", file("song.tovra")));
    KObjFile written;
    ASSERT_TRUE(written.loadTovraFile(file("song.tovra")));
    EXPECT_EQ(written.getTrackNames(), tracks);
    EXPECT_TRUE(written.isMix("M"));

    ASSERT_TRUE(exportTo("M", file("mix.wav")));
    KObjFile rendered;
    const QString track = rendered.addTrack("", file("mix.wav"), nullptr);
    ASSERT_EQ(track, "mix");
    EXPECT_EQ(rendered.getTrackChannels(track), 2);
    EXPECT_NEAR(rendered.getTrackLength(track), 1.0, 0.1);
    // The open project is as it was.
    EXPECT_EQ(doc.getTrackNames(), tracks);
    EXPECT_EQ(doc.getMixNames(), QStringList({"M"}));
}

TEST_F(Exports, AFailedOrCancelledExportKeepsTheOldFile)
{
    const struct {
        const char* label;
        const char* mix;
        bool cancel;
    } cases[] = {{"container, write refused", "", false},
                 {"mix, write refused", "M", false},
                 {"container, cancelled", "", true},
                 {"mix, cancelled", "M", true}};
    const QByteArray old = "the previous export\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QString target = file("target.out");
        {
            QFile previous(target);
            ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
            previous.write(old);
        }
        const auto before = dir.entries();
        // Files may grow to 2 KiB only: every export write beyond that fails.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (!c.cancel) {
            rlimit small = saved;
            small.rlim_cur = 2048;
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        const bool ok = exportTo(c.mix, target, c.cancel);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        EXPECT_FALSE(ok);
        QFile kept(target);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), old);
        EXPECT_EQ(dir.entries(), before);
    }
    EXPECT_EQ(doc.getTrackNames(), tracks);
}
