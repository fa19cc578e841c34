// The mini player over the engine's player (SDL's dummy driver): the read-out and the slider
// move while the project plays, pause holds the position, and the end of the piece resets the
// bar by itself.
#include "MiniPlayerFixture.h"

#include "KSliderTime.h"

#include <QSignalSpy>
#include <QTest>

namespace {
double shownSeconds(const MiniPlayerUI& bar)
{
    const QTime time = QTime::fromString(bar.timeText(), "h:mm:ss.zzz");
    return time.isValid() ? QTime(0, 0).msecsTo(time) / 1000.0 : -1.0;
}

class PlayingMiniPlayer : public MiniPlayerTest
{
protected:
    void SetUp() override
    {
        seconds = 1.5;
        MiniPlayerTest::SetUp();
        bar->show();
    }
};
} // namespace

TEST_F(PlayingMiniPlayer, PlaysPausesAndStopsTheProject)
{
    QTest::mouseClick(bar->playButton(), Qt::LeftButton);
    ASSERT_EQ(bar->getKAFPlayer()->getState(), KAudioFilePlayer::Playing);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownSeconds(*bar) > 0.3; }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->positionSlider()->value() > 1; }, 60000));
    grabScreen(*bar, "MiniPlayerUI_playing");

    QTest::mouseClick(bar->pauseButton(), Qt::LeftButton);
    EXPECT_EQ(bar->getKAFPlayer()->getState(), KAudioFilePlayer::Paused);
    EXPECT_EQ(buttonStates(), "-p--");
    // The sound already handed to the card plays out; from then on the position holds.
    QSignalSpy dates(bar->getKAFPlayer(), qOverload<double>(&KAudioFilePlayer::refreshDate));
    const auto settled = [&dates] {
        const int n = dates.count();
        return n >= 2 && dates[n - 1][0].toDouble() == dates[n - 2][0].toDouble();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(); }, 60000));
    const QString held = bar->timeText();
    const int ticks = dates.count();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dates.count() >= ticks + 3; }, 60000));
    EXPECT_EQ(bar->timeText(), held);

    QTest::mouseClick(bar->stopButton(), Qt::LeftButton);
    EXPECT_EQ(bar->getKAFPlayer()->getState(), KAudioFilePlayer::Stopped);
    EXPECT_EQ(buttonStates(), "----");
    EXPECT_EQ(bar->timeText(), "0:00:00.000");
}

TEST_F(PlayingMiniPlayer, EndOfThePieceResetsTheBar)
{
    QSignalSpy stopped(bar->getKAFPlayer(), &KAudioFilePlayer::stopped);
    QTest::mouseClick(bar->playButton(), Qt::LeftButton);
    ASSERT_TRUE(stopped.wait(20000));
    EXPECT_EQ(buttonStates(), "----");
    EXPECT_EQ(bar->timeText(), "0:00:00.000");
    // The bar plays again after the end.
    QTest::mouseClick(bar->playButton(), Qt::LeftButton);
    EXPECT_EQ(bar->getKAFPlayer()->getState(), KAudioFilePlayer::Playing);
    QTest::mouseClick(bar->stopButton(), Qt::LeftButton);
}
