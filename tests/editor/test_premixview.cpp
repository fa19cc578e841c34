// The mixing-rules page: its element tree and mini player follow the project, the player acts
// only while the page is active, and the page's own create action runs the command.
#include "ViewsFixture.h"

#include "ExcluWidget.h"
#include "ExportUI.h"
#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "KCheckMixTV.h"
#include "MixViewUI.h"
#include "MiniPlayerUI.h"
#include "KSuperUI.h"
#include "PreMixView.h"
#include "RulesListView.h"
#include "WorkSpaceUI.h"

#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableWidget>

namespace {
// Whether the view shows the element's branch open.
template <typename View> bool branchOpen(View* view, const QString& name)
{
    const QModelIndex shown = view->proxy()->mapFromSource(view->getKModel()->getIndex(name));
    return shown.isValid() && view->isExpanded(shown);
}
} // namespace

// The pages of the tabs not shown yet are built when their tab first shows; a page built after
// the project was opened and a branch closed starts as the pages built before it would have.
TEST_F(ViewsTest, PagesBuiltWhenFirstShownStartFromTheOpenProjectAndTheStructureTree)
{
    EXPECT_TRUE(window->findChildren<PreMixView*>().isEmpty());
    EXPECT_TRUE(window->findChildren<MixViewUI*>().isEmpty());
    EXPECT_TRUE(window->findChildren<ExcluWidget*>().isEmpty());
    EXPECT_TRUE(window->findChildren<ExportUI*>().isEmpty());

    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, treeRow("Rhythm"));
    QTest::keyClick(tree->viewport(), Qt::Key_Left);
    ASSERT_FALSE(branchOpen(tree, "Rhythm"));
    ASSERT_TRUE(branchOpen(tree, "Top"));

    window->setCurrentTab(2);
    KDragDropTreeView* rulesTree = window->getPreMixView()->getKDragDropTV();
    EXPECT_TRUE(rulesTree->isVisible());
    EXPECT_FALSE(branchOpen(rulesTree, "Rhythm"));
    EXPECT_TRUE(branchOpen(rulesTree, "Top"));

    window->setCurrentTab(3);
    KCheckMixTV* mixTree = window->getMixView()->getKCheckableTV();
    EXPECT_TRUE(window->getMixView()->isVisible());
    EXPECT_FALSE(branchOpen(mixTree, "Rhythm"));
    EXPECT_TRUE(branchOpen(mixTree, "Top"));

    // Branches opened afterwards open on every page.
    window->setCurrentTab(0);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, treeRow("Rhythm"));
    QTest::keyClick(tree->viewport(), Qt::Key_Right);
    EXPECT_TRUE(branchOpen(rulesTree, "Rhythm"));
    EXPECT_TRUE(branchOpen(mixTree, "Rhythm"));

    // The rules page lists the project's two rules when it first shows.
    window->setCurrentTab(1);
    ExcluWidget* rules = window->getExcluWidget();
    EXPECT_TRUE(rules->isVisible());
    EXPECT_EQ(rules->table(KObjFile::Exclusion)->rowCount(), 1);
    EXPECT_EQ(rules->table(KObjFile::Implication)->rowCount(), 1);
}

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

    // No rule is open, so the console shows no active element: the page is inactive and its
    // player refuses to start.
    EXPECT_FALSE(page->isActive());
    QSignalSpy played(page->getMiniPlayer(), &MiniPlayerUI::played);
    QTest::mouseClick(page->getMiniPlayer()->playButton(), Qt::LeftButton);
    EXPECT_EQ(played.count(), 0);
    EXPECT_EQ(page->getMiniPlayer()->getKAFPlayer()->getState(), KAudioFilePlayer::Stopped);
    EXPECT_LE(page->getSuperUI()->getActiveElementsNb(), 0);

    // Without a project the page empties and stays inactive.
    page->setKFile(nullptr);
    EXPECT_FALSE(page->isActive());
    EXPECT_EQ(page->getKDragDropTV()->getKModel()->rowCount(), 0);
    EXPECT_TRUE(page->getRulesList()->groupNames().isEmpty());
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
