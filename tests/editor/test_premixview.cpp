// The mixing-rules page: its element tree and mini player follow the project, the player acts
// only while the page is active, and the page's own create action runs the command.
#include "ViewsFixture.h"

#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "MiniPlayerUI.h"
#include "PreMixView.h"
#include "WorkSpaceUI.h"

#include <QSignalSpy>

TEST_F(ViewsTest, MixingRulesPageFollowsTheProjectAndGatesItsPlayer)
{
    PreMixView* page = window->getPreMixView();
    ASSERT_NE(page, nullptr);
    auto* workspace = qobject_cast<WorkSpaceUI*>(window->centralWidget());
    window->setCurrentTab(2);
    EXPECT_TRUE(workspace->page(2)->isAncestorOf(page));
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->getKDragDropTV()->getKModel()->rowCount(), 2);
    EXPECT_FALSE(page->getKDragDropTV()->acceptDrops());
    grabToScreens(window, "PreMixView");

    // Nothing plays: the page is inactive and its player refuses to start.
    EXPECT_FALSE(page->isActive());
    QSignalSpy played(page->getMiniPlayer(), &MiniPlayerUI::played);
    QTest::mouseClick(page->getMiniPlayer()->playButton(), Qt::LeftButton);
    EXPECT_EQ(played.count(), 0);
    EXPECT_EQ(page->getMiniPlayer()->getKAFPlayer()->getState(), KAudioFilePlayer::Stopped);
    PromptRecorder prompts(QMessageBox::Ignore);
    window->getTovraFile()->setEltStatus("voice", true);
    EXPECT_TRUE(page->isActive());

    // Without a project the page empties and stays inactive.
    page->setKFile(nullptr);
    EXPECT_FALSE(page->isActive());
    EXPECT_EQ(page->getKDragDropTV()->getKModel()->rowCount(), 0);
    EXPECT_DOUBLE_EQ(page->getMiniPlayer()->getKAFPlayer()->getVolume(), 0.0);
    page->setKFile(window->getTovraFile());
    EXPECT_EQ(page->getKDragDropTV()->getKModel()->rowCount(), 2);
}

TEST_F(ViewsTest, MixingRulesPageCreateActionRunsTheCreateRuleCommand)
{
    detachCommands({7});
    QSignalSpy created(actions->getAction(7), &QAction::triggered);
    PreMixView* page = window->getPreMixView();
    page->createAction()->trigger();
    EXPECT_EQ(created.count(), 1);
    // Given again, the command still runs once.
    page->setCreateRuleAction(actions->getAction(7));
    page->createAction()->trigger();
    EXPECT_EQ(created.count(), 2);
}
