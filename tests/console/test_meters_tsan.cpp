// The console's meters follow real playback (SDL's dummy driver): they rise while the project
// plays and fall back to silence when it stops; a console built and dropped meanwhile leaves
// the playback alone.
#include "ConsoleFixture.h"

#include "KAudioFilePlayer.h"
#include "KMasterMix.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"
#include "KVolumeWdg.h"

#include "KPlayer.h"

#include <QSlider>
#include <QTest>

using ConsoleMeters = ConsoleTest;

TEST_F(ConsoleMeters, RiseWhilePlayingAndFallToSilenceOnStop)
{
    // The fixture's tracks are 0.2 s long: two longer ones play.
    ASSERT_EQ(addTracks(doc, dir, {"long1", "long2"}, 3.0).size(), 2);
    doc.setEltsStatus(false, false);
    doc.setEltStatus("long1", true, false);
    doc.setEltStatus("long2", true, false);
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    console.setLevel(0);
    console.show();
    ASSERT_NE(console.row()->strip("long1"), nullptr);
    KAudioFilePlayer player(&doc);
    QObject::connect(&player, &KAudioFilePlayer::newStatsView, &console, &KSuperUI::updateSliders);

    player.play();
    ASSERT_EQ(player.getState(), KAudioFilePlayer::Playing);
    QSlider* left = console.row()->strip("long1")->meterLeft();
    ASSERT_TRUE(QTest::qWaitFor([&] { return left->value() > -240; }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return console.master()->meterLeft()->value() > -240; }, 60000));
    EXPECT_EQ(console.row()->strip("t1"), nullptr);

    {
        // Another console comes and goes while this one plays.
        KSuperUI other(&doc, 186, KVirtualUI::LiveMix);
        other.show();
        QApplication::processEvents();
    }
    EXPECT_EQ(player.getState(), KAudioFilePlayer::Playing);
    EXPECT_NE(so_isPlay(), 0);

    player.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return left->value() == -240; }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return console.row()->strip("long2")->meterRight()->value() == -240; }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return console.master()->meterLeft()->value() == -240; }, 60000));
}
