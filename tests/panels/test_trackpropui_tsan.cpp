// The track property panel's player over the engine (SDL's dummy driver): it previews the track
// the panel shows, alone, and the panel's stop ends the preview and gives the mutes and solos back.
#include "MiniPlayerFixture.h"

#include "TrackPlayer.h"
#include "TrackPropUI.h"

#include <QTest>

namespace {
class TrackPreview : public MiniPlayerTest
{
protected:
    void SetUp() override
    {
        seconds = 2.0;
        MiniPlayerTest::SetUp();
        panel = new TrackPropUI(&doc, &host);
        host.show();
    }
    QWidget host;
    TrackPropUI* panel = nullptr;
};
} // namespace

TEST_F(TrackPreview, PlaysTheShownTrackAloneUntilThePanelStops)
{
    TrackPlayer* player = panel->getTrackPlayer();
    ASSERT_NE(player, nullptr);
    // Nothing named yet: play does nothing.
    QTest::mouseClick(player->playButton(), Qt::LeftButton);
    EXPECT_EQ(player->getKAFPlayer()->getState(), KAudioFilePlayer::Stopped);

    panel->setName("b");
    QTest::mouseClick(player->playButton(), Qt::LeftButton);
    ASSERT_EQ(player->getKAFPlayer()->getState(), KAudioFilePlayer::Playing);
    EXPECT_TRUE(doc.getEltSolo("b"));
    EXPECT_FALSE(doc.getEltSolo("a"));
    panel->stop();
    EXPECT_EQ(player->getKAFPlayer()->getState(), KAudioFilePlayer::Stopped);
    EXPECT_FALSE(doc.getEltSolo("b"));
    EXPECT_FALSE(player->playButton()->isChecked());
}
