// The transport over the engine's player (SDL's dummy driver): play, seek, restart, pause, loop
// and stop polled on the GUI timers, meters of what plays, and a restore, a reload or the
// document's end while playing, which stop playback before the project goes.
#include <gtest/gtest.h>

#include <memory>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include "../PollUntil.h"
#include "DocumentFixtures.h"
#include "KAudioFilePlayer.h"
#include "KCtrlFile.h"
#include "KPlayer.h"
#include "KXml.h"
#include "TovraOLib.h"

namespace {

int argc = 1;
char name[] = "test";
char* argv[] = {name, nullptr};
QCoreApplication app(argc, argv);

using Meters = QMap<QString, QList<double> >;

double lastDate(const QSignalSpy& dates)
{
    return dates.isEmpty() ? -1.0 : dates.last()[0].toDouble();
}

struct Playing : ::testing::Test {
    fixtures::TempDir dir;
    KCtrlFile doc;
    std::unique_ptr<KAudioFilePlayer> player;

    // Tracks a and b play, c does not.
    void build(double seconds)
    {
        ASSERT_EQ(addTracks(doc, dir, {"a", "b", "c"}, seconds).size(), 3);
        ASSERT_TRUE(doc.createGroup("G", {"a", "b", "c"}, 0, -1));
        doc.setEltsStatus(true, false);
        doc.setEltStatus("c", false, false);
        ASSERT_TRUE(doc.saveCurrentMix("M"));
        player = std::make_unique<KAudioFilePlayer>(&doc);
    }
    void TearDown() override { player.reset(); }
};

TEST_F(Playing, PlaysSeeksRestartsPausesAndStops)
{
    build(3.0);
    QSignalSpy dates(player.get(), qOverload<double>(&KAudioFilePlayer::refreshDate));
    QSignalSpy meters(player.get(), &KAudioFilePlayer::newStatsView);
    player->play();
    ASSERT_EQ(player->getState(), KAudioFilePlayer::Playing);
    ASSERT_TRUE(waitUntil([&] { return player->getLoading() == 101 && lastDate(dates) > 0.3; }));
    for (int i = 1; i < dates.count(); ++i) {
        EXPECT_GE(dates[i][0].toDouble(), dates[i - 1][0].toDouble());
        EXPECT_LE(dates[i][0].toDouble(), 3.0);
    }

    // Meters: the playing tracks and the master move, the silent track stays at the floor.
    ASSERT_TRUE(waitUntil([&] {
        const Meters m = meters.last()[0].value<Meters>();
        return m["a"][0] > -240.0 && meters.last()[1].toDouble() > -240.0;
    }));
    EXPECT_EQ(meters.last()[0].value<Meters>()["c"][0], -240.0);

    player->changeTime(0.75);
    ASSERT_TRUE(waitUntil([&] { return lastDate(dates) >= 2.2; }));
    player->play(); // from the beginning again, once the seek is done
    ASSERT_TRUE(waitUntil([&] { return lastDate(dates) > 0.05 && lastDate(dates) < 1.0; }));
    EXPECT_EQ(player->getState(), KAudioFilePlayer::Playing);

    // Paused, the position stands still.
    player->pause();
    EXPECT_EQ(player->getState(), KAudioFilePlayer::Paused);
    ASSERT_TRUE(waitUntil([&] {
        const int n = dates.count();
        return n > 3 && dates[n - 1][0] == dates[n - 2][0] && dates[n - 2][0] == dates[n - 3][0];
    }));
    player->pause();
    EXPECT_EQ(player->getState(), KAudioFilePlayer::Playing);

    player->stop();
    EXPECT_EQ(player->getState(), KAudioFilePlayer::Stopped);
    EXPECT_EQ(so_isPlay(), 0);
    const Meters last = meters.last()[0].value<Meters>();
    EXPECT_EQ(last.size(), 5);
    for (const auto& pair : last)
        EXPECT_EQ(pair, QList<double>({-240.0, -240.0}));
}

TEST_F(Playing, EndsAloneOrLoops)
{
    build(0.5);
    QSignalSpy dates(player.get(), qOverload<double>(&KAudioFilePlayer::refreshDate));
    QSignalSpy stops(player.get(), &KAudioFilePlayer::stopped);
    player->play();
    ASSERT_TRUE(stops.wait(20000));
    player->stop();

    player->setRepeat(true);
    player->play();
    // Back to the beginning after the end: a position below an earlier one.
    ASSERT_TRUE(waitUntil([&] {
        for (int i = 1; i < dates.count(); ++i)
            if (dates[i][0].toDouble() < dates[i - 1][0].toDouble() - 0.1)
                return true;
        return false;
    }));
    EXPECT_TRUE(so_isPlay());
    player->stop();
    EXPECT_EQ(so_isPlay(), 0);
}

TEST_F(Playing, RestoreAndReloadWhilePlayingStopPlaybackFirst)
{
    build(3.0);
    const QString path = QString::fromStdString(dir.file("p"));
    std::unique_ptr<KXml> desc(doc.exportToXmlDesc(false));
    ASSERT_TRUE(TovraOLib::writeStreamInFile(desc->toQString(), path));
    QSignalSpy dates(player.get(), qOverload<double>(&KAudioFilePlayer::refreshDate));
    auto playSome = [&] {
        dates.clear();
        player->play();
        ASSERT_EQ(player->getState(), KAudioFilePlayer::Playing);
        ASSERT_TRUE(waitUntil([&] { return lastDate(dates) > 0.1; }));
    };

    doc.ActiveBackup();
    playSome();
    doc.setEltStatus("c", true, false);
    ASSERT_TRUE(doc.RestoreBackup());
    EXPECT_EQ(so_isPlay(), 0);
    EXPECT_EQ(player->getState(), KAudioFilePlayer::Stopped);
    EXPECT_FALSE(doc.isPlay("c"));

    playSome();
    ASSERT_TRUE(doc.loadTovraFile(path));
    EXPECT_EQ(so_isPlay(), 0);
    EXPECT_EQ(player->getState(), KAudioFilePlayer::Stopped);

    // The new player takes over.
    playSome();
    ASSERT_TRUE(doc.loadFromXmlObj(desc.get()));
    EXPECT_EQ(so_isPlay(), 0);
    EXPECT_EQ(player->getState(), KAudioFilePlayer::Stopped);
    playSome();
    player->stop();
}

TEST(PlayingLifetime, DocumentDeletedWhilePlaying)
{
    fixtures::TempDir dir;
    auto* doc = new KCtrlFile;
    ASSERT_EQ(addTracks(*doc, dir, {"a"}, 3.0).size(), 1);
    doc->setEltsStatus(true, false);
    KAudioFilePlayer player(doc);
    QSignalSpy dates(&player, qOverload<double>(&KAudioFilePlayer::refreshDate));
    player.play();
    ASSERT_TRUE(waitUntil([&] { return lastDate(dates) > 0.1; }));
    delete doc;
    EXPECT_EQ(so_isPlay(), 0);
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Stopped);
    player.play();
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Stopped);
}

} // namespace
