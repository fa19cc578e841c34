// The transport controller over a recording player: the state table, the guards without a
// document or player, loading and position gates, the meter map, tracks switched while listening
// and the solo preview; and the document's ownership of the player.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTimer>

#include "DocumentFixtures.h"
#include "KAudioFilePlayer.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KFilePlayer.h"
#include "KMix.h"
#include "KObjProgress.h"
#include "KXml.h"
#include "TovraOLib.h"

namespace {

int argc = 1;
char name[] = "test";
char* argv[] = {name, nullptr};
QCoreApplication app(argc, argv);

// Records every call; answers as configured.
struct FakePlayer : KPlayerFunctions {
    QStringList calls;
    bool accept = true;
    bool playing = false;
    double time = 0.25;
    KObjProgress* progress = nullptr;
    bool init() override { return record("init"); }
    bool close() override { return record("close"); }
    bool pause() override { return record("pause"); }
    bool stop() override
    {
        playing = false;
        return record("stop");
    }
    bool playThread(KObjFile*, KObjProgress* progress) override
    {
        calls << "play";
        playing = accept;
        this->progress = progress;
        // The engine marks the record running while it loads.
        if (accept && progress)
            progress->setState(2);
        return accept;
    }
    bool isPlay() override { return playing; }
    bool setVolume(double v) override { return record(QString("volume %1").arg(v)); }
    double getVolume() override { return 1.0; }
    bool setTime(double t) override { return record(QString("time %1").arg(t)); }
    double getTime(KObjFile*) override { return time; }
    bool setLoop(ESOLoop mode) override { return record(QString("loop %1").arg(mode)); }
    bool isLoop() override { return false; }
    bool record(const QString& call)
    {
        calls << call;
        return accept;
    }
};

struct Transport : ::testing::Test {
    fixtures::TempDir dir;
    KCtrlFile doc;
    FakePlayer fake;
    KAudioFilePlayer player{&doc};
    QStringList tracks;

    void SetUp() override
    {
        tracks = addTracks(doc, dir, {"a", "b", "c"}, 1.0);
        ASSERT_EQ(tracks.size(), 3);
        ASSERT_TRUE(doc.createGroup("G", tracks, 0, -1));
        player.setPlayerFunc(&fake);
    }
    // Starts and hands the loading over to the playing state.
    void start()
    {
        player.play();
        ASSERT_EQ(player.getState(), KAudioFilePlayer::Playing);
    }
    QList<QTimer*> runningTimers() const
    {
        QList<QTimer*> running;
        for (QTimer* timer : player.findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly))
            if (timer->isActive())
                running << timer;
        return running;
    }
};

TEST_F(Transport, StateTableOfPlayPauseAndStop)
{
    struct Step {
        const char* action;
        int state;
        const char* lastCall;
    };
    const Step steps[] = {
        {"pause", KAudioFilePlayer::Stopped, "loop 0"}, // nothing while stopped
        {"stop", KAudioFilePlayer::Stopped, "loop 0"},
        {"play", KAudioFilePlayer::Playing, "play"},
        {"play", KAudioFilePlayer::Playing, "time 0"}, // restarts from the beginning
        {"pause", KAudioFilePlayer::Paused, "pause"},
        {"pause", KAudioFilePlayer::Playing, "pause"},
        {"pause", KAudioFilePlayer::Paused, "pause"},
        {"play", KAudioFilePlayer::Playing, "pause"}, // resumes
        {"stop", KAudioFilePlayer::Stopped, "time 0"},
        {"play", KAudioFilePlayer::Playing, "play"},
    };
    player.setRepeat(false);
    for (const Step& step : steps) {
        const QString action = step.action;
        if (action == "play")
            player.play();
        else if (action == "pause")
            player.pause();
        else
            player.stop();
        EXPECT_EQ(player.getState(), step.state) << step.action;
        EXPECT_EQ(fake.calls.last(), step.lastCall) << step.action;
    }
    EXPECT_EQ(fake.calls.count("play"), 2); // never a second playback
}

TEST_F(Transport, StartRunsBothTimersAtTheirPeriodsAndStopEndsThem)
{
    start();
    QList<int> periods;
    for (QTimer* timer : runningTimers())
        periods << timer->interval();
    std::sort(periods.begin(), periods.end());
    EXPECT_EQ(periods, QList<int>({40, 91}));
    player.pause();
    EXPECT_EQ(runningTimers().size(), 2); // still polling while paused
    player.stop();
    EXPECT_TRUE(runningTimers().isEmpty());
}

TEST_F(Transport, RefusedStartStaysStoppedWithoutProgressOrTimers)
{
    fake.accept = false;
    player.play();
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Stopped);
    EXPECT_EQ(player.getLoading(), -1);
    EXPECT_TRUE(runningTimers().isEmpty());
    // A refused pause leaves the state alone.
    fake.accept = true;
    start();
    fake.accept = false;
    player.pause();
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Playing);
}

TEST_F(Transport, StopEmitsTheFloorForEveryElementOnlyWhenNotStopped)
{
    QSignalSpy meters(&player, &KAudioFilePlayer::newStatsView);
    player.stop();
    EXPECT_EQ(meters.count(), 0);
    start();
    player.pause();
    player.stop();
    ASSERT_EQ(meters.count(), 1);
    const auto map = meters[0][0].value<QMap<QString, QList<double> > >();
    EXPECT_EQ(QStringList(map.keys()), QStringList({"G", "__ImportAudioGrp__", "a", "b", "c"}));
    for (const auto& pair : map)
        EXPECT_EQ(pair, QList<double>({-240.0, -240.0}));
    EXPECT_EQ(meters[0][1].toDouble(), -240.0);
    EXPECT_EQ(meters[0][2].toDouble(), -240.0);
}

TEST_F(Transport, PositionWaitsForTheLoadingAndFollowsThePlayer)
{
    QSignalSpy dates(&player, qOverload<double>(&KAudioFilePlayer::refreshDate));
    QSignalSpy stops(&player, &KAudioFilePlayer::stopped);
    fake.time = 0.5;
    EXPECT_EQ(player.getTime(), 0.0); // before the first start, whatever the player says
    EXPECT_EQ(player.getLoading(), -1);
    start();
    ASSERT_NE(fake.progress, nullptr);
    EXPECT_EQ(player.getLoading(), 0);
    fake.progress->setProg(0.5);
    EXPECT_EQ(player.getLoading(), 50);
    EXPECT_EQ(player.getTime(), 0.0);
    player.refreshDate();
    fake.progress->setState(3);
    EXPECT_EQ(player.getLoading(), 101);
    EXPECT_EQ(player.getTime(), 0.5);
    player.refreshDate();
    ASSERT_EQ(dates.count(), 2);
    EXPECT_EQ(dates[0][0].toDouble(), 0.0);
    // Half of the one-second piece.
    EXPECT_NEAR(dates[1][0].toDouble(), 0.5, 1e-3);
    EXPECT_EQ(stops.count(), 0);

    // The engine ended by itself: every tick says so, the state waits for a stop.
    fake.playing = false;
    player.refreshDate();
    player.refreshDate();
    EXPECT_EQ(stops.count(), 2);
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Playing);
    EXPECT_EQ(player.getMusicLen(), QTime(0, 0, 1));
}

TEST_F(Transport, EmptyPieceHasNoPosition)
{
    KCtrlFile empty;
    KAudioFilePlayer bare(&empty);
    bare.setPlayerFunc(&fake);
    QSignalSpy dates(&bare, qOverload<double>(&KAudioFilePlayer::refreshDate));
    fake.time = std::numeric_limits<double>::infinity();
    bare.play();
    fake.progress->setState(3);
    bare.refreshDate();
    ASSERT_EQ(dates.count(), 1);
    EXPECT_EQ(dates[0][0].toDouble(), 0.0);
}

TEST_F(Transport, GuardsWithoutPlayerOrDocument)
{
    KAudioFilePlayer bare;
    QSignalSpy flags(&bare, &KAudioFilePlayer::constraintsUsingChanged);
    bare.setConstraintsUsing(false);
    EXPECT_EQ(flags.count(), 0);
    bare.play();
    bare.setVolume(0.5);
    EXPECT_EQ(bare.getState(), KAudioFilePlayer::Stopped);
    EXPECT_EQ(bare.getTime(), 0.0);
    EXPECT_EQ(bare.getVolume(), 0.0);
    EXPECT_FALSE(bare.getMusicLen().isValid());
    EXPECT_EQ(bare.getLoading(), -1);

    // The stored volume reaches the player once one is there.
    bare.setKFile(&doc);
    bare.setPlayerFunc(&fake);
    EXPECT_EQ(bare.getVolume(), 0.5);
    bare.setConstraintsUsing(false);
    bare.setConstraintsUsing(false);
    EXPECT_EQ(flags.count(), 1);
    bare.setKFile(nullptr);
}

TEST(TransportDecibels, MeterScale)
{
    const struct {
        double reading, level;
    } cases[] = {{1e-6, -240.0}, {1.0, -50.526315789}, {0.0, -240.0}, {-1.0, -240.0},
                 {1e-9, -240.0}, {1e-3, -145.263157895}};
    for (const auto& c : cases)
        EXPECT_NEAR(KAudioFilePlayer::doubleToDecibel(c.reading), c.level, 1e-6) << c.reading;
}

TEST_F(Transport, TracksSwitchedWithoutRulesLeaveTheMixAtUnityOrJoinItAtTheirDefault)
{
    QSignalSpy changed(&player, &KAudioFilePlayer::changedEltStatus);
    player.setConstraintsUsing(false);
    doc.setEltLevel("a", -30);
    player.setTrackStatus("a", true);
    EXPECT_TRUE(doc.isPlay("a"));
    EXPECT_TRUE(isSelected(doc.getKFile(), "a"));
    EXPECT_EQ(doc.getElementLevel("a"), doc.getDefEltLevel("a"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toStringList(), QStringList({"a"}));

    player.setTrackStatus("a", false);
    EXPECT_FALSE(doc.isPlay("a"));
    EXPECT_FALSE(isSelected(doc.getKFile(), "a"));
    EXPECT_EQ(doc.getElementLevel("a"), 0);
    EXPECT_EQ(changed.last()[0].toStringList(), QStringList());
}

TEST_F(Transport, TracksSwitchedUnderRulesFollowTheRule)
{
    doc.setGroupMinMaxPlay("G", 0, 1);
    QSignalSpy changed(&player, &KAudioFilePlayer::changedEltStatus);
    player.setTrackStatus("a", true);
    player.setTrackStatus("b", true);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.last()[0].toStringList(), QStringList({"b"}));
}

TEST_F(Transport, SoloPreviewPutsBackMutesSolosAndTheSelection)
{
    doc.setEltsStatus(true, false);
    player.setTrackStatus("c", false);
    doc.setEltMute("a", true);
    doc.setEltSolo("b", true);
    const int levelC = doc.getElementLevel("c");
    player.init("c");
    EXPECT_TRUE(doc.getEltSolo("c"));
    EXPECT_FALSE(doc.getEltMute("a"));
    EXPECT_FALSE(doc.getEltSolo("b"));
    EXPECT_TRUE(doc.isPlay("c"));

    // Changes made while previewing do not survive the restore.
    doc.setEltMute("b", true);
    doc.setEltSolo("a", true);
    player.reset();
    for (const QString& t : tracks) {
        EXPECT_EQ(doc.getEltMute(t), t == "a") << t.toStdString();
        EXPECT_EQ(doc.getEltSolo(t), t == "b") << t.toStdString();
    }
    EXPECT_FALSE(doc.isPlay("c"));
    EXPECT_FALSE(isSelected(doc.getKFile(), "c"));
    EXPECT_EQ(doc.getElementLevel("c"), levelC);
    // A second restore gives the same settings.
    player.reset();
    EXPECT_TRUE(doc.getEltMute("a"));
    EXPECT_TRUE(doc.getEltSolo("b"));
}

TEST_F(Transport, TheDocumentOwnsThePlayerAndRemakesItAfterALoad)
{
    KPlayerFunctions* first = doc.getPlayerFunctions();
    ASSERT_NE(dynamic_cast<KFilePlayer*>(first), nullptr);
    EXPECT_EQ(doc.getPlayerFunctions(), first);
    const QString path = QString::fromStdString(dir.file("p"));
    std::unique_ptr<KXml> desc(doc.exportToXmlDesc(false));
    ASSERT_TRUE(TovraOLib::writeStreamInFile(desc->toQString(), path));

    // A load while the transport plays stops it and hands it the new player.
    start();
    qRegisterMetaType<KPlayerFunctions*>();
    QSignalSpy players(&doc, &KCtrlFile::playerFuncChanged);
    ASSERT_TRUE(doc.loadTovraFile(path));
    ASSERT_EQ(players.count(), 1);
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Stopped);
    EXPECT_TRUE(runningTimers().isEmpty());
    EXPECT_EQ(doc.getPlayerFunctions(), players[0][0].value<KPlayerFunctions*>());
}

TEST_F(Transport, AnotherDocumentTakesOverAndTheFirstNoLongerReachesIt)
{
    start();
    KCtrlFile other;
    player.setKFile(&other);
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Stopped); // the first document's play ended
    EXPECT_EQ(fake.calls.mid(fake.calls.size() - 2), QStringList({"stop", "time 0"}));
    player.setKFile(&other);
    player.setPlayerFunc(&fake);
    start();
    // A new player of the first document is not the transport's business any more.
    doc.setPlayerFunctions();
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Playing);
    other.setPlayerFunctions();
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Stopped);
}

TEST(TransportLifetime, ADocumentDeletedFirstLeavesTheTransportWithoutPlayer)
{
    auto* doc = new KCtrlFile;
    KAudioFilePlayer player(doc);
    EXPECT_GT(player.getVolume(), 0.0);
    delete doc;
    EXPECT_EQ(player.getVolume(), 0.0);
    player.play();
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Stopped);
    // The destructor must not close a player that went with its document.
}

} // namespace
