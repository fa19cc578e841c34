// Player over SDL2 (dummy driver): a start that fails leaves no one waiting, transport requests
// while playing, stops that leave no callback running, meters, and level, mute and solo edits
// from another thread while the filler mixes, clean under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "KLevels.h"
#include "KMix.h"
#include "KRender.h"
#include "KMixSolver.h"
#include "KSolver.h"
#include "MixerFixtures.h"
#include "../PollUntil.h"

using namespace mixfx;

namespace
{

constexpr int kRate = 44100;

struct PlayProject {
    fixtures::TempDir dir;
    ProjectBuilder project;
    explicit PlayProject(int seconds = 2)
    {
        const int frames = seconds * kRate;
        for (const char *name : {"A", "B"})
            addFileTrack(project.file(), name,
                         writeShorts(dir.file(std::string(name) + ".wav"),
                                     SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
                                     sine(frames, 2, kRate, 330.0, 12000)),
                         frames);
        EXPECT_EQ(1, createElt(project.file(), KCONST_GROUP, "G", createDataGrp(0, 10)));
        EXPECT_EQ(1, addSubElt(project.file(), "G", "A"));
        EXPECT_EQ(1, addSubElt(project.file(), "G", "B"));
    }
    KFile *file() { return project.file(); }
};

TEST(Player, StartWithoutAudioDeviceEndsStoppedAndLeavesNoOneWaiting)
{
    PlayProject p;
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    KProgress *progress = KProgress_new();
    ASSERT_EQ(1, so_outThread(p.file(), progress, SO_MODE_SOUNDCARD));
    EXPECT_EQ(1, so_waitEndPlay());
    EXPECT_EQ(0, so_isPlay());
    EXPECT_EQ(KPROGRESS_FAILED, KProgress_getState(progress));
    EXPECT_STREQ("Error during playing initialization...", KProgress_getMsg(progress));
    EXPECT_EQ(1, so_stop());
    KProgress_delete(&progress);

    // A later start works once a device is there.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(1, so_init());
    ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
    EXPECT_TRUE(pollUntil([] { return so_getTime(nullptr) >= 0.0 && so_isPlay(); }));
    EXPECT_EQ(1, so_stop());
    EXPECT_EQ(0, so_isPlay());
}

TEST(Player, UnreadableTrackFailsThePlayWithItsMessage)
{
    PlayProject p;
    setPathWOC(p.file(), "B", _tvr_strcpy("/nonexistent/b.wav"));
    ASSERT_EQ(1, so_init());
    KProgress *progress = KProgress_new();
    ASSERT_EQ(1, so_outThread(p.file(), progress, SO_MODE_SOUNDCARD));
    so_waitEndPlay();
    EXPECT_EQ(0, so_isPlay());
    EXPECT_EQ(KPROGRESS_FAILED, KProgress_getState(progress));
    EXPECT_STREQ("Error during playing initialization...", KProgress_getMsg(progress));
    KProgress_delete(&progress);
}

TEST(Player, TransportRequestsWhileEditingLevelsMuteAndSoloFromAnotherThread)
{
    PlayProject p(3);
    ASSERT_EQ(1, so_init());
    KProgress *progress = KProgress_new();
    ASSERT_EQ(1, so_outThread(p.file(), progress, SO_MODE_SOUNDCARD));
    ASSERT_TRUE(pollUntil([&] { return KProgress_getState(progress) == KPROGRESS_FINISHED; }));
    EXPECT_STREQ("Playing...", KProgress_getMsg(progress));

    std::atomic<bool> run{true};
    std::thread editor([&] {
        KFile *file = p.file();
        for (int i = 0; run; ++i) {
            k_lockProject();
            changeLevel(giveElt(file, "A"), (i % 2) ? 3 : -3);
            k_setMute(file, "B", i % 3 == 0);
            k_setSolo(file, "A", i % 5 == 0);
            KElement_setPan(giveElt(file, "A"), (i % 7) / 7.0);
            changeLevel(giveElt(file, "G"), (i % 2) ? -1 : 1);
            k_unlockProject();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    EXPECT_TRUE(pollUntil([] { return so_getDataView(nullptr, 0) > 0.0; }));
    so_getDataView("A", 1);
    so_getDataView("G", 0);
    EXPECT_EQ(1, so_setVolume(0.5));
    EXPECT_EQ(1, so_setMasterPan(-0.25));
    EXPECT_DOUBLE_EQ(-0.25, so_getMasterPan());
    so_mixEqualMoved("M");
    EXPECT_EQ(1, so_pause());
    EXPECT_TRUE(pollUntil([] { return so_getStatus() == SO_PAUSED; }));
    EXPECT_EQ(1, so_setTime(0.25));
    EXPECT_DOUBLE_EQ(0.25, so_getTime(p.file()));
    EXPECT_TRUE(pollUntil([] { return so_getStatus() == SO_PAUSED; }));
    EXPECT_EQ(1, so_pause());
    EXPECT_EQ(1, so_setLoop(SO_LOOP));
    EXPECT_EQ(1, so_isLoop());
    const double t = so_getTime(p.file());
    EXPECT_GE(t, 0.0);
    EXPECT_LE(t, 1.0);
    EXPECT_EQ(1, so_setLoop(SO_LOOP_NONE));
    EXPECT_EQ(1, so_stop());
    EXPECT_EQ(0, so_isPlay());
    run = false;
    editor.join();
    KProgress_delete(&progress);
    EXPECT_EQ(1, so_setVolume(1.0));
}

TEST(Player, PlaysToTheEndAndStops)
{
    PlayProject p(1);
    ASSERT_EQ(1, so_init());
    ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
    so_waitEndPlay();
    EXPECT_EQ(0, so_isPlay());
    // A stop after the end and a restart at once.
    EXPECT_EQ(1, so_stop());
    ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
    ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
    EXPECT_EQ(1, so_stop());
}

TEST(Player, AnEndedPlayIsJoinedWithoutWaitingForARunningOne)
{
    PlayProject p(1);
    ASSERT_EQ(1, so_init());
    ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
    ASSERT_EQ(1, so_pause());
    // Paused, the play still runs: nothing is joined and nothing waits.
    EXPECT_EQ(0, so_joinEndedPlay());
    ASSERT_EQ(1, so_pause());
    // Ended by itself: the joiner needs no stop (the leak checker sees no thread left).
    ASSERT_TRUE(pollUntil([] { return so_joinEndedPlay() != 0; }));
    EXPECT_EQ(0, so_isPlay());
    EXPECT_EQ(1, so_joinEndedPlay());
}

TEST(Player, MetersReportTracksGroupsAndTheMaster)
{
    PlayProject p(3);
    ASSERT_EQ(1, so_init());
    ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
    EXPECT_TRUE(pollUntil([] {
        return so_getDataView("A", 0) > 0.0 && so_getDataView("B", 1) > 0.0 &&
               so_getDataView("G", 0) > 0.0 && so_getDataView(nullptr, 1) > 0.0;
    }));
    EXPECT_EQ(so_getDataView(nullptr, 0), so_getDataView("no such element", 0));
    EXPECT_EQ(1, so_stop());
    EXPECT_EQ(0.0, so_getDataView(nullptr, 0));
}

TEST(Player, SeekWhileStoppedStartsThereAndTimeIsSafeOnAnEmptyProject)
{
    ProjectBuilder empty;
    k_lockProject();
    empty.file()->format->rate = 0.0;
    k_unlockProject();
    EXPECT_EQ(0.0, so_getTime(empty.file()));
    EXPECT_EQ(0.0, so_getTime(nullptr));
    PlayProject p;
    ASSERT_EQ(1, so_init());
    ASSERT_EQ(1, so_setTime(0.5));
    EXPECT_DOUBLE_EQ(0.5, so_getTime(p.file()));
    ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
    // The first block played after the start is the one holding the middle of the piece.
    EXPECT_TRUE(pollUntil([] { return so_transport().seekTarget.load() < 0.0; }));
    // The seek lands on the start of the block holding the middle: at most one block before it.
    EXPECT_GE(so_getTime(p.file()), 0.5 - SO_FRAMES_PER_BLOCK / (2.0 * kRate));
    EXPECT_EQ(1, so_stop());
}

TEST(Player, EveryStopEndsThePlay)
{
    PlayProject p(2);
    ASSERT_EQ(1, so_init());
    for (ESOLoop loop : {SO_LOOP_NONE, SO_LOOP, SO_LOOP_RANDOM}) {
        ASSERT_EQ(1, so_setLoop(loop));
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
            EXPECT_EQ(1, so_stop());
            EXPECT_EQ(SO_STOPPED, so_getStatus()) << "loop " << loop << " start " << i;
        }
        for (int i = 0; i < 4; ++i)
            ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
        EXPECT_EQ(1, so_stop());
        EXPECT_EQ(SO_STOPPED, so_getStatus()) << "loop " << loop << " after restarts";
    }
    // Stops from another thread while this one restarts the play.
    std::atomic<bool> run{true};
    std::thread stopper([&] {
        while (run) {
            so_stop();
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
    run = false;
    EXPECT_EQ(1, so_stop());
    stopper.join();
    EXPECT_EQ(SO_STOPPED, so_getStatus());
    EXPECT_EQ(1, so_setLoop(SO_LOOP_NONE));
}

// Start and stop pairs, looping or not, stopped before the device plays or while it plays: none
// hangs, a start right after a stop plays, and once so_stop returned no callback runs, neither at
// once nor while the stopped plays' devices are being closed.
TEST(Player, StartStopPairsLeaveNoCallbackRunning)
{
    PlayProject p(2);
    for (ESOLoop loop : {SO_LOOP_NONE, SO_LOOP}) {
        ASSERT_EQ(1, so_init());
        ASSERT_EQ(1, so_setLoop(loop));
        for (int i = 0; i < 25; ++i) {
            ASSERT_EQ(1, so_outThread(p.file(), nullptr, SO_MODE_SOUNDCARD));
            if (i % 5 == 4) {
                // A second callback begun: the first one played a block.
                const int64_t before = scm_callbacksBegun();
                ASSERT_TRUE(pollUntil([before] { return scm_callbacksBegun() > before + 1; }))
                    << "loop " << loop << " start " << i;
            }
            ASSERT_EQ(1, so_stop());
            EXPECT_EQ(0, scm_callbacksRunning()) << "loop " << loop << " start " << i;
            EXPECT_EQ(SO_STOPPED, so_getStatus());
        }
        // so_close waits until every device is closed, long enough for the dummy driver to
        // call a device left running (one callback every 46 ms).
        const int64_t calls = scm_callbacksBegun();
        ASSERT_EQ(1, so_close());
        EXPECT_EQ(calls, scm_callbacksBegun()) << "loop " << loop;
        EXPECT_EQ(0, scm_callbacksRunning());
    }
    EXPECT_EQ(1, so_setLoop(SO_LOOP_NONE));
}

TEST(Player, GraphReadFromAnotherThreadWhilePlaybackStarts)
{
    PlayProject p(1);
    KFile *file = p.file();
    ASSERT_EQ(1, so_init());
    for (int i = 0; i < 4; ++i) {
        // An edit first, as the editor makes them between plays.
        ASSERT_EQ(1, addTrack(file, createTrack(0, nullptr, 4410), ("N" + std::to_string(i)).c_str()));
        std::atomic<bool> run{true};
        std::thread reader([&] {
            int sum = 0;
            do
                sum += tracksNbr(file) + k_getEltOnTopNbr(file, nullptr) +
                       (k_getNthTrackName(file, 1) ? 1 : 0) +
                       (k_getNthEltOnTop(file, 0, nullptr) ? 1 : 0);
            while (run);
            EXPECT_GT(sum, 0);
        });
        ASSERT_EQ(1, so_outThread(file, nullptr, SO_MODE_SOUNDCARD));
        EXPECT_TRUE(pollUntil([] { return so_transport().date.load() > 0; }));
        run = false;
        reader.join();
        EXPECT_EQ(1, so_stop());
    }
}

// The editor asks for rule-checked switches while a short piece loops with a new random
// selection at each restart: the searches run on copies, so the sound card never waits.
TEST(Player, SolverRequestsAndRandomReselectionsNeverMakeTheCardWait)
{
    PlayProject p(1);
    KFile *file = p.file();
    // Seven "pigeons" that must each play one of six "holes", no hole twice: no state exists,
    // and every search runs to its time limit, longer than the buffered audio.
    std::vector<std::string> names;
    for (int pigeon = 0; pigeon < 7; ++pigeon)
        for (int hole = 0; hole < 6; ++hole) {
            names.push_back("P" + std::to_string(pigeon) + "H" + std::to_string(hole));
            ASSERT_EQ(1, addTrack(file, createTrack(0, nullptr, 4410), names.back().c_str()));
        }
    for (int pigeon = 0; pigeon < 7; ++pigeon) {
        const std::string row = "Pigeon" + std::to_string(pigeon);
        ASSERT_EQ(1, createElt(file, KCONST_GROUP, row.c_str(), createDataGrp(1, 1)));
        for (int hole = 0; hole < 6; ++hole)
            ASSERT_EQ(1, addSubElt(file, row.c_str(), names[static_cast<size_t>(6 * pigeon + hole)].c_str()));
    }
    for (int hole = 0; hole < 6; ++hole) {
        const std::string column = "Hole" + std::to_string(hole);
        ASSERT_EQ(1, createElt(file, KCONST_GROUP, column.c_str(), createDataGrp(0, 1)));
        for (int pigeon = 0; pigeon < 7; ++pigeon)
            ASSERT_EQ(1, addSubElt(file, column.c_str(), names[static_cast<size_t>(6 * pigeon + hole)].c_str()));
    }
    k_setStatusSolverTimeLimit(600);
    ASSERT_EQ(1, so_init());
    ASSERT_EQ(1, so_setLoop(SO_LOOP_RANDOM));
    ASSERT_EQ(1, so_outThread(file, nullptr, SO_MODE_SOUNDCARD));
    std::atomic<bool> run{true};
    std::thread editor([&] {
        for (size_t i = 0; run; ++i)
            g_slist_free(changeEltStatusWithCnsttControl(file, names[i % names.size()].c_str(), 1));
    });
    int restarts = 0;
    double last = 0.0;
    EXPECT_TRUE(pollUntil(
        [&] {
            const double t = so_getTime(file);
            restarts += t < last ? 1 : 0;
            last = t;
            return restarts >= 3;
        },
        30000));
    run = false;
    editor.join();
    EXPECT_EQ(1, so_stop());
    EXPECT_EQ(0, scm_lateCallbacks());
    EXPECT_EQ(1, so_setLoop(SO_LOOP_NONE));
    k_setStatusSolverTimeLimit(0);
}

TEST(Player, SolverAnswersOnThePlayingProjectAreWrittenBack)
{
    PlayProject p(3);
    KFile *file = p.file();
    k_setLevelSolverTimeLimit(20000); // answers independent of the machine's load
    ASSERT_EQ(1, so_init());
    ASSERT_EQ(1, so_outThread(file, nullptr, SO_MODE_SOUNDCARD));
    ASSERT_TRUE(pollUntil([] { return so_transport().date.load() > 0; }));
    std::vector<std::string> moved;
    for (GSList *l = moveLevelParams(file, "A", -30, TMS_PLAYING_BUT_MOVED, 0); l;
         l = g_slist_delete_link(l, l))
        moved.emplace_back(static_cast<const char *>(l->data));
    EXPECT_EQ(std::vector<std::string>{"A"}, moved);
    GSList *off = changeEltStatusWithCnsttControl(file, "B", 1);
    ASSERT_NE(nullptr, off);
    EXPECT_STREQ("B", static_cast<const char *>(off->data));
    g_slist_free(off);
    {
        KProjectLock lock;
        EXPECT_EQ(-30, getLevel(file, "A"));
        EXPECT_EQ(0, isPlaying(file, "B"));
        EXPECT_EQ(1, isPlaying(file, "G"));
    }
    EXPECT_EQ(1, so_stop());
    k_setLevelSolverTimeLimit(0);
}

TEST(Player, RenderOnAWorkerWhileTheProgressIsPolled)
{
    PlayProject p(4);
    ASSERT_EQ(1, createDefaultSlctWithAllTracks(p.file(), "M"));
    KStreamFormat format = {};
    format.code = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    format.rate = 48000;
    KProgress *progress = KProgress_new();
    const std::string path = p.dir.file("mix.wav");
    std::atomic<int> result{-1};
    std::thread worker(
        [&] { result = k_exportTovixToAudioFile(p.file(), "M", path.c_str(), &format, progress); });
    int64_t last = 0;
    while (result.load() < 0) {
        const int64_t done = KProgress_getIDone(progress);
        EXPECT_GE(done, last);
        last = done;
        KProgress_getMsg(progress);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    EXPECT_EQ(1, result.load());
    EXPECT_EQ(4000, KProgress_getITotal(progress));
    KProgress_delete(&progress);
}

} // namespace
