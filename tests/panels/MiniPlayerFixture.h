// The mini player over a document of short sine tracks, with the program's pictures registered
// from the built image bundle.
#ifndef MINI_PLAYER_FIXTURE_H
#define MINI_PLAYER_FIXTURE_H

#include "../document/ElementTestEnv.h"
#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "KCtrlFile.h"
#include "MiniPlayerUI.h"

#include <QResource>

#include <memory>

class MiniPlayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QResource::registerResource(TOVRA_IMAGE_BUNDLE));
        ASSERT_EQ(addTracks(doc, dir, {"a", "b"}, seconds).size(), 2);
        doc.setEltsStatus(true, false);
        bar = std::make_unique<MiniPlayerUI>(&doc);
    }
    void TearDown() override
    {
        bar.reset();
        QResource::unregisterResource(TOVRA_IMAGE_BUNDLE);
    }

    // Checked states of play, pause, mute and repeat, as "PpMr" with a dash for unchecked.
    QString buttonStates() const
    {
        QString states;
        states += bar->playButton()->isChecked() ? 'P' : '-';
        states += bar->pauseButton()->isChecked() ? 'p' : '-';
        states += bar->muteButton()->isChecked() ? 'M' : '-';
        states += bar->repeatButton()->isChecked() ? 'r' : '-';
        return states;
    }

    double seconds = 0.2;
    fixtures::TempDir dir;
    KCtrlFile doc;
    std::unique_ptr<MiniPlayerUI> bar;
};

#endif
