// The mini player's buttons, read-out and mute over a player whose engine side is scripted, so
// that every state, a refused start and the loading phase can be reached on demand.
#include "MiniPlayerFixture.h"

#include "KIsActiveFuncClass.h"
#include "KObjProgress.h"
#include "KPlayerFunctions.h"
#include "KSliderTime.h"

#include <QSignalSpy>
#include <QTest>

namespace {
// The engine side of the player, answering as the test says.
class ScriptedPlayer : public KPlayerFunctions
{
public:
    bool init() override { return true; }
    bool close() override { return true; }
    bool pause() override { return true; }
    bool stop() override
    {
        playing = false;
        return true;
    }
    bool playThread(KObjFile*, KObjProgress* given) override
    {
        progress = given;
        playing = startWorks;
        return startWorks;
    }
    bool isPlay() override { return playing; }
    bool setVolume(double value) override
    {
        volume = value;
        return true;
    }
    double getVolume() override { return volume; }
    bool setTime(double) override { return true; }
    double getTime(KObjFile*) override { return position; }
    bool setLoop(ESOLoop mode) override
    {
        loop = mode;
        return true;
    }
    bool isLoop() override { return loop == SO_LOOP; }

    bool startWorks = true;
    bool playing = false;
    double volume = 1.0;
    double position = 0.0;
    ESOLoop loop = SO_LOOP_NONE;
    KObjProgress* progress = nullptr;
};

class Gate : public KIsActiveFuncClass
{
public:
    bool isActive() override { return open; }
    bool open = false;
};

class ScriptedMiniPlayer : public MiniPlayerTest
{
protected:
    void SetUp() override
    {
        MiniPlayerTest::SetUp();
        bar->getKAFPlayer()->setPlayerFunc(&engine);
        bar->show();
    }
    void TearDown() override
    {
        bar->getKAFPlayer()->stop();
        MiniPlayerTest::TearDown();
    }
    void click(KButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    int state() const { return bar->getKAFPlayer()->getState(); }

    ScriptedPlayer engine;
};
} // namespace

TEST_F(MiniPlayerTest, StartsStoppedAtTimeZeroWithUnityVolume)
{
    EXPECT_EQ(bar->windowTitle(), "MiniPlayerUI");
    EXPECT_EQ(bar->timeText(), "0:00:00.000");
    EXPECT_EQ(bar->muteLevel(), -1);
    EXPECT_DOUBLE_EQ(bar->getKAFPlayer()->getVolume(), 1.0);
    EXPECT_EQ(bar->getKAFPlayer()->getState(), KAudioFilePlayer::Stopped);
    EXPECT_EQ(bar->positionSlider()->minimum(), 1);
    EXPECT_EQ(bar->positionSlider()->maximum(), 300);
    EXPECT_EQ(buttonStates(), "----");
    EXPECT_FALSE(bar->stopButton()->isCheckable());
    grabScreen(*bar, "MiniPlayerUI");
}

TEST_F(ScriptedMiniPlayer, ButtonsFollowPlayPauseAndStop)
{
    QSignalSpy played(bar.get(), &MiniPlayerUI::played);
    struct Step {
        KButton* (MiniPlayerUI::*button)() const;
        const char* states;
        int playerState;
    };
    const Step steps[] = {
        // Pause while stopped changes nothing.
        {&MiniPlayerUI::pauseButton, "----", KAudioFilePlayer::Stopped},
        {&MiniPlayerUI::playButton, "P---", KAudioFilePlayer::Playing},
        {&MiniPlayerUI::pauseButton, "-p--", KAudioFilePlayer::Paused},
        {&MiniPlayerUI::pauseButton, "P---", KAudioFilePlayer::Playing},
        {&MiniPlayerUI::pauseButton, "-p--", KAudioFilePlayer::Paused},
        {&MiniPlayerUI::playButton, "P---", KAudioFilePlayer::Playing},
        // Play while playing restarts and stays playing.
        {&MiniPlayerUI::playButton, "P---", KAudioFilePlayer::Playing},
        {&MiniPlayerUI::stopButton, "----", KAudioFilePlayer::Stopped},
        {&MiniPlayerUI::repeatButton, "---r", KAudioFilePlayer::Stopped},
    };
    int step = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(step++);
        click((bar.get()->*s.button)());
        EXPECT_EQ(buttonStates(), s.states);
        EXPECT_EQ(state(), s.playerState);
    }
    EXPECT_EQ(played.count(), 3);
    EXPECT_EQ(engine.loop, SO_LOOP);
    EXPECT_EQ(bar->timeText(), "0:00:00.000");
}

TEST_F(ScriptedMiniPlayer, RefusedStartLeavesTheBarStopped)
{
    engine.startWorks = false;
    click(bar->playButton());
    EXPECT_EQ(state(), KAudioFilePlayer::Stopped);
    EXPECT_EQ(buttonStates(), "----");
}

TEST_F(ScriptedMiniPlayer, EndOfPlaybackResetsTheBar)
{
    click(bar->playButton());
    engine.progress->setState(0);
    engine.position = 0.5;
    bar->setDate(61.5);
    EXPECT_EQ(bar->timeText(), "0:01:01.500");
    EXPECT_EQ(bar->positionSlider()->value(), 150);
    engine.playing = false;
    QSignalSpy stopped(bar->getKAFPlayer(), &KAudioFilePlayer::stopped);
    ASSERT_TRUE(stopped.wait(2000));
    EXPECT_EQ(buttonStates(), "----");
    EXPECT_EQ(bar->timeText(), "0:00:00.000");
    EXPECT_EQ(bar->positionSlider()->value(), bar->positionSlider()->minimum());
}

TEST_F(ScriptedMiniPlayer, ReadOutShowsTheLoadingPercentageUntilLoaded)
{
    click(bar->playButton());
    ASSERT_NE(engine.progress, nullptr);
    engine.progress->setState(2);
    engine.progress->setProg(0.42);
    bar->setDate(3.0);
    EXPECT_EQ(bar->timeText(), "42% loading...");
    engine.progress->setState(0);
    bar->setDate(3.0);
    EXPECT_EQ(bar->timeText(), "0:00:03.000");
}

TEST_F(ScriptedMiniPlayer, MuteGivesBackTheUsersVolumeWhateverTheConsoleReported)
{
    QSignalSpy muted(bar.get(), &MiniPlayerUI::muted);
    const auto volume = [this] { return bar->getKAFPlayer()->getVolume(); };
    click(bar->muteButton());
    EXPECT_EQ(buttonStates(), "--M-");
    EXPECT_DOUBLE_EQ(volume(), 1.0);
    click(bar->muteButton());
    EXPECT_DOUBLE_EQ(volume(), 1.0);
    EXPECT_EQ(bar->muteLevel(), -1);

    // A user volume of -30 cB (half the gain) survives a mute from the bar and one from the
    // console, whose report carries its master level.
    bar->newUserVolume(-30);
    click(bar->muteButton());
    EXPECT_DOUBLE_EQ(volume(), 1.0);
    click(bar->muteButton());
    EXPECT_DOUBLE_EQ(volume(), 0.5);
    bar->muteChange(-60.0);
    EXPECT_EQ(buttonStates(), "--M-");
    EXPECT_DOUBLE_EQ(volume(), 0.5);
    click(bar->muteButton());
    EXPECT_DOUBLE_EQ(volume(), 0.5);
    EXPECT_EQ(buttonStates(), "----");

    // The console's "nothing muted" clears the button; the next press mutes again.
    click(bar->muteButton());
    bar->muteChange(-1.0);
    EXPECT_EQ(buttonStates(), "----");
    click(bar->muteButton());
    EXPECT_EQ(buttonStates(), "--M-");
    QList<bool> asked;
    for (const QList<QVariant>& call : muted)
        asked << call[0].toBool();
    EXPECT_EQ(asked, QList<bool>({true, false, true, false, false, true, true}));
}

TEST_F(ScriptedMiniPlayer, ClosedGateKeepsEveryButtonFromActing)
{
    Gate gate;
    bar->setActiveObject(&gate);
    QSignalSpy played(bar.get(), &MiniPlayerUI::played);
    QSignalSpy muted(bar.get(), &MiniPlayerUI::muted);
    for (KButton* button : {bar->playButton(), bar->pauseButton(), bar->muteButton(), bar->repeatButton()})
        click(button);
    EXPECT_EQ(played.count() + muted.count(), 0);
    EXPECT_EQ(state(), KAudioFilePlayer::Stopped);
    EXPECT_EQ(buttonStates(), "----");
    gate.open = true;
    click(bar->playButton());
    EXPECT_EQ(state(), KAudioFilePlayer::Playing);
}
