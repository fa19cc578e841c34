#include "TrackPlayer.h"

#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "KCtrlFile.h"
#include "KPlayer.h"
#include "KSlider.h"

#include "../PollUntil.h"
#include "ConsoleTestEnv.h"

#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// Tracks a, b and c, all playing; the author has muted b and soloed c.
struct Bar : ::testing::Test {
    fixtures::TempDir dir;
    KCtrlFile doc;
    std::unique_ptr<TrackPlayer> bar;

    void build(double seconds)
    {
        ASSERT_EQ(3, addSineTracks(doc, dir, {"a", "b", "c"}, seconds).size());
        ASSERT_TRUE(doc.createGroup("G", {"a", "b", "c"}, 0, -1));
        doc.setEltsStatus(true, false);
        ASSERT_TRUE(doc.saveCurrentMix("M"));
        doc.setEltMute("b", true);
        doc.setEltSolo("c", true);
        bar = std::make_unique<TrackPlayer>(&doc);
        bar->setTrackName("a");
    }
    void expectAuthorsMutesAndSolos()
    {
        EXPECT_TRUE(doc.getEltMute("b"));
        EXPECT_TRUE(doc.getEltSolo("c"));
        EXPECT_FALSE(doc.getEltSolo("a"));
        EXPECT_FALSE(doc.getEltMute("a"));
    }
    int state() const { return bar->getKAFPlayer()->getState(); }
    void TearDown() override { bar.reset(); }
};

} // namespace

TEST(TrackPlayerTime, MinutesCountFromTheTotal)
{
    struct Case { int seconds; bool two; const char* text; };
    const Case cases[] = {{0, false, "0:00"},   {65, false, "1:05"}, {65, true, "01:05"},
                          {3665, true, "61:05"}, {3665, false, "61:05"}, {-3, false, "0:00"}};
    for (const Case& c : cases)
        EXPECT_EQ(c.text, TrackPlayer::timeText(c.seconds, c.two)) << c.seconds;
}

TEST_F(Bar, PlaysPausesAndStopsTheElementAloneThenPutsBackTheMutesAndSolos)
{
    // Long enough that a starved test thread never sees the end before it looks.
    build(30.0);
    EXPECT_EQ("TrackPlayerClass", bar->objectName());
    EXPECT_EQ("0:00/0:30", bar->timeLabel()->text());
    // Pause while stopped: only the pause button's check changes.
    bar->pauseButton()->setChecked(true);
    bar->pause();
    EXPECT_FALSE(bar->pauseButton()->isChecked());
    EXPECT_FALSE(bar->playButton()->isChecked());
    EXPECT_EQ(KAudioFilePlayer::Stopped, state());

    QSignalSpy dates(bar->getKAFPlayer(), qOverload<double>(&KAudioFilePlayer::refreshDate));
    QTest::mouseClick(bar->playButton(), Qt::LeftButton);
    EXPECT_TRUE(bar->playButton()->isChecked());
    EXPECT_FALSE(bar->pauseButton()->isChecked());
    EXPECT_EQ(KAudioFilePlayer::Playing, state());
    EXPECT_TRUE(doc.getEltSolo("a"));
    EXPECT_FALSE(doc.getEltMute("b"));
    // Far enough in that the restart below shows as a step back even on a starved machine.
    ASSERT_TRUE(waitUntil([&] { return !dates.isEmpty() && dates.last()[0].toDouble() > 3.0; }));
    // One format for both; how far it has played depends on the machine.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^0:[0-2][0-9]/0:30$"))
                    .match(bar->timeLabel()->text()).hasMatch())
        << bar->timeLabel()->text().toStdString();
    EXPECT_GE(bar->positionSlider()->value(), 30); // a tenth of the way at least
    grabScreen(*bar, "trackplayer");

    // A second press while playing starts again without taking the preview's solo as the
    // author's.
    const double playedBefore = dates.last()[0].toDouble();
    bar->play();
    EXPECT_EQ(KAudioFilePlayer::Playing, state());
    const int before = int(dates.count());
    ASSERT_TRUE(waitUntil([&] { // the restart's seek is done: the position went back (the
        // stop on the way reads 0)
        const double at = dates.last()[0].toDouble();
        return dates.count() > before && at > 0.05 && at < playedBefore;
    }));
    bar->pause();
    EXPECT_EQ(KAudioFilePlayer::Paused, state());
    EXPECT_FALSE(bar->playButton()->isChecked());
    EXPECT_TRUE(bar->pauseButton()->isChecked());
    bar->pause();
    EXPECT_EQ(KAudioFilePlayer::Playing, state());
    EXPECT_TRUE(bar->playButton()->isChecked());
    EXPECT_FALSE(bar->pauseButton()->isChecked());

    QTest::mouseClick(bar->stopButton(), Qt::LeftButton);
    EXPECT_EQ(KAudioFilePlayer::Stopped, state());
    EXPECT_FALSE(bar->playButton()->isChecked());
    EXPECT_FALSE(bar->pauseButton()->isChecked());
    EXPECT_EQ("0:00/0:30", bar->timeLabel()->text()); // the last length stays
    EXPECT_EQ(bar->positionSlider()->minimum(), bar->positionSlider()->value());
    expectAuthorsMutesAndSolos();
}

TEST_F(Bar, SliderSeeksAndTheEndStopsTheBar)
{
    build(1.5);
    QSignalSpy dates(bar->getKAFPlayer(), qOverload<double>(&KAudioFilePlayer::refreshDate));
    QSignalSpy stops(bar->getKAFPlayer(), &KAudioFilePlayer::stopped);
    bar->play();
    ASSERT_TRUE(waitUntil([&] { return bar->getKAFPlayer()->getLoading() == 101; }));
    emit bar->positionSlider()->sliderMoved(0.6);
    ASSERT_TRUE(waitUntil([&] { return !dates.isEmpty() && dates.last()[0].toDouble() >= 0.85; }));
    ASSERT_TRUE(stops.wait(20000));
    EXPECT_EQ(KAudioFilePlayer::Stopped, state());
    EXPECT_FALSE(bar->playButton()->isChecked());
    EXPECT_TRUE(bar->timeLabel()->text().startsWith("0:00/"));
    expectAuthorsMutesAndSolos();
}

TEST_F(Bar, StopWithoutPlayAndPlayWithoutANameChangeNothing)
{
    build(1.6);
    // Before any play the read-out gives the track's length.
    EXPECT_EQ(bar->timeLabel()->text(), "0:00/0:02");
    bar->stop(); // the panel stops the bar whenever the shown track changes
    expectAuthorsMutesAndSolos();
    bar->setTrackName(QString());
    bar->play();
    EXPECT_EQ(KAudioFilePlayer::Stopped, state());
    EXPECT_FALSE(bar->playButton()->isChecked());
    expectAuthorsMutesAndSolos();
}

TEST_F(Bar, ClosingTheBarWhilePlayingStopsThePreview)
{
    build(3.0);
    bar->play();
    ASSERT_TRUE(waitUntil([&] { return bar->getKAFPlayer()->getLoading() == 101; }));
    bar.reset();
    EXPECT_EQ(0, so_isPlay());
    expectAuthorsMutesAndSolos();
}
