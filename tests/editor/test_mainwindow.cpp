#include "KCheckMixTV.h"
#include "MiniPlayerUI.h"
#include "MainWindowFixture.h"
#include "MixViewUI.h"
#include "ProjectFixture.h"
#include "SonaricParams.h"
#include "TabViewUI.h"
#include "WorkSpaceUI.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QMenuBar>
#include <QSortFilterProxyModel>
#include <QTabBar>
#include <QTest>
#include <QToolBar>

namespace {
// The command ids of a menu or tool bar, -1 for a separator.
QList<int> idsOf(const QList<QAction*>& entries, TVRAction* actions)
{
    QList<int> ids;
    for (QAction* entry : entries) {
        if (entry->isSeparator()) {
            ids << -1;
            continue;
        }
        int found = -2;
        for (int id = 0; id < 60; ++id) {
            if (actions->getAction(id) == entry)
                found = id;
        }
        ids << found;
    }
    return ids;
}
// A new project of two tracks, bass and voice, in the group "Band"; null when it could not be made.
KCtrlFile* openBand(ZazuzoziZadiviDU* window, const fixtures::TempDir& dir)
{
    window->createFileObj();
    KCtrlFile* document = window->getTovraFile();
    for (const QString name : {"bass", "voice"})
        if (document->addTrack(name, sineTrack(dir, name + ".wav"), nullptr) != name)
            return nullptr;
    return document->createGroupWithRemovingElements("Band", {"bass", "voice"}, 0, 2) ? document : nullptr;
}
} // namespace

TEST_F(MainWindowTest, MenusHoldTheirCommandsInOrder)
{
    const QList<QAction*> menus = window->menuBar()->actions();
    ASSERT_EQ(menus.size(), 5);
    const QStringList titles = {"File", "Project", "View", "Tools", "?"};
    const QList<QList<int>> expected = {{0, 1, -1, 4, -1, 2, 3, -1, 5},
                                        {12, -1, 16, -1, 15, -1, 20},
                                        {23, 26, 27},
                                        {36, 37, 38},
                                        {35, -1, 10, 9, -1, 33, 34, 11}};
    for (int i = 0; i < menus.size(); ++i) {
        EXPECT_EQ(menus[i]->text(), titles[i]);
        EXPECT_EQ(idsOf(menus[i]->menu()->actions(), actions), expected[i]) << i;
    }
    const QList<QToolBar*> bars = window->findChildren<QToolBar*>();
    QList<QList<int>> panelBars;
    for (QToolBar* bar : bars)
        panelBars << idsOf(bar->actions(), actions);
    EXPECT_TRUE(panelBars.contains(QList<int>({12, 14, 13})));
    EXPECT_TRUE(panelBars.contains(QList<int>({16, 19, 18})));
    // The hidden chords belong to the window itself.
    EXPECT_TRUE(window->actions().contains(actions->getAction(51)));
    EXPECT_TRUE(window->actions().contains(actions->getAction(52)));
}

TEST_F(MainWindowTest, OptionalMenuEntriesGoToTheirMenus)
{
    window->addCreateRuleMenu();
    window->addConstraintsProjectMenu();
    window->addConstraintsViewMenu();
    const QList<QAction*> menus = window->menuBar()->actions();
    EXPECT_EQ(idsOf(menus[1]->menu()->actions(), actions),
              QList<int>({12, -1, 16, -1, 15, -1, 20, 7, -1, 22, 21, -1}));
    EXPECT_EQ(idsOf(menus[2]->menu()->actions(), actions), QList<int>({23, 26, 27, 25}));
}

TEST_F(MainWindowTest, WithoutProjectOnlyTheProjectFreeCommandsAreOn)
{
    const QList<QAction*> menus = window->menuBar()->actions();
    EXPECT_FALSE(menus[1]->menu()->isEnabled());
    EXPECT_FALSE(menus[2]->menu()->isEnabled());
    EXPECT_TRUE(menus[0]->menu()->isEnabled());
    EXPECT_FALSE(window->centralWidget()->isEnabled());
    for (int id : {2, 3, 4, 20})
        EXPECT_FALSE(actions->getAction(id)->isEnabled()) << id;
    EXPECT_EQ(window->windowTitle(), "Tovra Sonaric Free");
    EXPECT_EQ(window->currentTab(), 0);
    EXPECT_EQ(window->getTovraFile(), nullptr);
    EXPECT_TRUE(window->getCurPrjName().isEmpty());

    window->initUIForOpenedProject();
    EXPECT_TRUE(menus[1]->menu()->isEnabled());
    EXPECT_TRUE(window->centralWidget()->isEnabled());
    for (int id : {2, 3, 4, 20})
        EXPECT_TRUE(actions->getAction(id)->isEnabled()) << id;
    window->resetUI();
    EXPECT_FALSE(actions->getAction(2)->isEnabled());
}

TEST_F(MainWindowTest, TitleNamesTheProjectFileAndItsState)
{
    struct Case {
        QString path;
        bool saved;
        QString title;
    };
    const Case cases[] = {
        {"", true, "[Untitled] - Tovra Sonaric Free"},
        {"", false, "[Untitled]* - Tovra Sonaric Free"},
        {"/music/song.tvprj", true, "song - Tovra Sonaric Free"},
        {"/music/my.song.tvprj", false, "my.song* - Tovra Sonaric Free"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZazuzoziZadiviDU::titleFor(c.path, c.saved, "Tovra Sonaric Free"), c.title);
    window->setUnsavedProject();
    EXPECT_EQ(window->windowTitle(), "[Untitled]* - Tovra Sonaric Free");
    window->setSavedProject(true);
    EXPECT_EQ(window->windowTitle(), "[Untitled] - Tovra Sonaric Free");
}

TEST_F(MainWindowTest, TabChangeShowsItsPageAndKeepsTheSavedState)
{
    window->initUIForOpenedProject();
    window->setSavedProject(true);
    window->show();
    auto* workspace = qobject_cast<WorkSpaceUI*>(window->centralWidget());
    ASSERT_NE(workspace, nullptr);
    for (int tab : {3, 1, 2, 4, 0}) {
        window->setCurrentTab(tab);
        EXPECT_EQ(window->currentTab(), tab);
        for (int page = 0; page < 5; ++page)
            EXPECT_EQ(workspace->page(page)->isVisible(), page == tab) << tab << " " << page;
        EXPECT_TRUE(window->projectIsSaved());
    }
    EXPECT_EQ(window->windowTitle(), "[Untitled] - Tovra Sonaric Free");
}

// One table for the two name checks: a new element's name and a new stored mix's name.
TEST_F(MainWindowTest, NewElementAndMixNamesAreCheckedAgainstTheProject)
{
    EXPECT_FALSE(window->grpNameIsValid("Drums")); // no project: nothing may be named
    EXPECT_FALSE(window->isValidMixName("Evening"));
    fixtures::TempDir dir;
    window->createFileObj();
    KCtrlFile* document = window->getTovraFile();
    ASSERT_EQ(document->addTrack("bass", sineTrack(dir, "bass.wav"), nullptr), "bass");
    ASSERT_TRUE(document->createGroupWithRemovingElements("Rhythm", {"bass"}, 0, 1));
    ASSERT_TRUE(document->saveCurrentMix("Evening"));
    const struct {
        const char* name;
        bool element;
        bool mix;
    } cases[] = {{"", false, false},          {"   ", false, false},     {"bass", false, true},
                 {"Rhythm", false, true},     {"Evening", true, false}, {"Morning", true, true},
                 {"evening", true, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(window->grpNameIsValid(c.name), c.element) << c.name;
        EXPECT_EQ(window->isValidMixName(c.name), c.mix) << c.name;
    }
    EXPECT_EQ(window->getKAFPlayer(), window->getMixView()->getMiniPlayer()->getKAFPlayer());
}

// Leaving the mix editor (not entering it) settles the open mix's unsaved changes, and every tab
// change puts the elements back to their stored play statuses, so that what was heard on the
// page left does not stay in the project.
TEST_F(MainWindowTest, LeavingTheMixEditorStoresTheOpenMixAndResetsThePlayStatuses)
{
    fixtures::TempDir dir;
    KCtrlFile* document = openBand(window, dir);
    ASSERT_NE(document, nullptr);
    window->initUIForOpenedProject();
    window->resize(1000, 800);
    window->show();
    TabViewUI* strip = qobject_cast<WorkSpaceUI*>(window->centralWidget())->tabStrip();
    // The tabs are drawn 142 pixels apart from x = 28.
    auto clickTab = [strip](int index) {
        QTabBar* bar = strip->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->mapFrom(strip, QPoint(28 + 142 * index + 70, 20)));
    };
    clickTab(3);
    ASSERT_EQ(window->currentTab(), 3);
    QStringList asked;
    ScopedPromptHandler prompt([&asked](const KPrompt::Request& request) {
        KPrompt::Answer answer;
        if (request.kind == KPrompt::Dialog) {
            request.dialog->findChild<QLineEdit*>("lineEdit")->setText("Evening");
            answer.button = 1;
            return answer;
        }
        asked << request.text;
        answer.button = QMessageBox::Yes;
        return answer;
    });
    ASSERT_TRUE(window->createTovix());
    MixViewUI* editor = window->getMixView();
    editor->expandAll();
    QApplication::processEvents();
    KCheckMixTV* tree = editor->getKCheckableTV();
    const QModelIndex bass = tree->proxy()->mapFromSource(tree->getKModel()->getIndex("bass"));
    ASSERT_TRUE(bass.isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(bass).center());
    ASSERT_EQ(document->getPlayedTracks(), QStringList({"bass"}));
    asked.clear();

    clickTab(0);
    EXPECT_EQ(window->currentTab(), 0);
    EXPECT_TRUE(document->getPlayedTracks().isEmpty());
    EXPECT_FALSE(editor->hasUnsavedChanges());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked.first().contains("Evening")) << asked.first().toStdString();
    // The stored mix holds what was set on the page left.
    ASSERT_TRUE(document->setCurrentMix("Evening"));
    EXPECT_EQ(document->getPlayedTracks(), QStringList({"bass"}));
}

// "Create a Tovix" cancelled at its name changes nothing: the project stays saved, the mix editor
// stays on the step it showed under the same heading. Statuses changed on another page (the
// mixing-rules page playing a rule) are no edit of the open mix: leaving asks nothing.
TEST_F(MainWindowTest, CancelledTovixAndOtherPagesLeaveTheOpenMixAndTheSavedStateAlone)
{
    fixtures::TempDir dir;
    KCtrlFile* document = openBand(window, dir);
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(document->saveCurrentMix("Evening"));
    window->initUIForOpenedProject();
    window->resize(1000, 800);
    window->show();
    window->setCurrentTab(3);
    MixViewUI* editor = window->getMixView();
    editor->itemActivated_slots("Evening");
    for (int step = 0; step < 2; ++step)
        QTest::mouseClick(editor->findChild<QPushButton*>("nextButton"), Qt::LeftButton);
    ASSERT_EQ(editor->currentStep(), 2);
    const QString heading = editor->findChild<QLabel*>("stepLabel")->text();
    window->setSavedProject(true);

    QStringList asked;
    ScopedPromptHandler prompt([&asked](const KPrompt::Request& request) {
        asked << request.text;
        KPrompt::Answer answer;
        answer.button = request.kind == KPrompt::Dialog ? 0 : int(QMessageBox::Yes);
        return answer;
    });
    QMenu* project = nullptr;
    for (QAction* entry : window->menuBar()->actions())
        if (entry->menu() && entry->menu()->actions().contains(actions->getAction(15)))
            project = entry->menu();
    ASSERT_NE(project, nullptr);
    project->popup(window->mapToGlobal(QPoint(40, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(project));
    QTest::mouseClick(project, Qt::LeftButton, {}, project->actionGeometry(actions->getAction(15)).center());
    EXPECT_TRUE(window->projectIsSaved());
    EXPECT_EQ(editor->currentStep(), 2);
    EXPECT_EQ(editor->findChild<QLabel*>("stepLabel")->text(), heading);
    EXPECT_EQ(editor->getEditedMix(), "Evening");

    window->setCurrentTab(2);
    document->setEltStatus("voice", true, false);
    asked.clear();
    window->setCurrentTab(0);
    EXPECT_TRUE(asked.filter("Tovix").isEmpty()) << asked.join("|").toStdString();
}

TEST_F(MainWindowTest, ClosingWithoutProjectAsksNothing)
{
    PromptRecorder prompts;
    window->show();
    window->setUnsavedProject();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_TRUE(window->isClosing());
}

TEST_F(MainWindowTest, ExpansionSignalsAreRelayed)
{
    QSignalSpy collapsed(window, &ZazuzoziZadiviDU::collapsed);
    QSignalSpy expanded(window, &ZazuzoziZadiviDU::expanded);
    window->collapse_slot("Drums");
    window->expand_slot("Bass");
    ASSERT_EQ(collapsed.count(), 1);
    EXPECT_EQ(collapsed[0][0].toString(), "Drums");
    ASSERT_EQ(expanded.count(), 1);
    EXPECT_EQ(expanded[0][0].toString(), "Bass");
}

TEST_F(MainWindowTest, GrabsTheWindow)
{
    window->resize(1280, 800);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_TRUE(grabToScreens(window, "editor_main_window"));
    window->initUIForOpenedProject();
    window->setCurrentTab(3);
    window->menuBar()->actions()[0]->menu()->popup(window->mapToGlobal(QPoint(0, 22)));
    // The opened page lays itself out first; the test screen is narrower than the window asks.
    QApplication::processEvents();
    window->resize(1280, 800);
    QApplication::processEvents();
    EXPECT_TRUE(grabToScreens(window, "editor_main_window_project"));
    EXPECT_TRUE(grabToScreens(window->menuBar()->actions()[0]->menu(), "editor_file_menu"));
    window->menuBar()->actions()[0]->menu()->close();
}
