// The workspace: its tab strip of five picture tabs with their help tool bars, the page of the
// current tab, and tab changes reaching the main window.
#include "MainWindowFixture.h"

#include "TabViewUI.h"
#include "WorkSpaceUI.h"

#include <QAction>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolBar>

namespace {
QString visiblePages(const WorkSpaceUI& workspace, int count)
{
    QString shown;
    for (int i = 0; i < count; ++i)
        shown += workspace.page(i)->isVisibleTo(&workspace) ? QString::number(i) : QString("-");
    return shown;
}
} // namespace

TEST_F(MainWindowTest, WorkspaceShowsOnePageAtATime)
{
    WorkSpaceUI workspace;
    for (int i = 0; i < 5; ++i)
        workspace.addCentralWidget(new QWidget(&workspace));
    workspace.show();
    EXPECT_EQ(visiblePages(workspace, 5), "0----");
    for (int i : {3, 3, 0, 4}) {
        workspace.viewWidget(i);
        QString expected = "-----";
        expected[i] = QChar('0' + i);
        EXPECT_EQ(visiblePages(workspace, 5), expected);
    }
}

TEST_F(MainWindowTest, TabStripHoldsTheHelpCommandOfEachTab)
{
    TabViewUI strip;
    EXPECT_EQ(strip.count(), 5);
    EXPECT_EQ(strip.currentIndex(), 1);
    EXPECT_EQ(strip.maximumHeight(), 66);
    EXPECT_TRUE(strip.styleSheet().startsWith(
        "QTabWidget::pane { left: 0px; right: 0px; top: 0em; }QTabBar::tab { border-top: 0px solid "
        "transparent; min-height: 35px; min-width: 142px; }"));
    EXPECT_EQ(strip.titles(), QStringList({"Structure", "Constraints", "Mixing rules", "Tovix", "Export"}));
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(strip.widget(i)->objectName(), QString("tab_%1").arg(i + 1));
        EXPECT_TRUE(strip.tabText(i).isEmpty());
        ASSERT_NE(strip.toolBar(i), nullptr);
        EXPECT_EQ(strip.toolBar(i)->actions(), QList<QAction*>{actions->getAction(41 + i)});
        EXPECT_EQ(strip.toolBar(i)->parentWidget(), strip.widget(i));
    }
}

TEST_F(MainWindowTest, TabStripPaintsThePictureOfTheCurrentTab)
{
    TabViewUI strip;
    strip.resize(800, 66);
    strip.show();
    const QColor accent(0x3f, 0xa7, 0xd6);
    for (int current = 0; current < 5; ++current) {
        SCOPED_TRACE(current);
        strip.setCurrentIndex(current);
        const QImage shown = strip.grab().toImage();
        for (int tab = 0; tab < 5; ++tab) {
            // A point of each drawn tab away from its title.
            const QColor colour = shown.pixelColor(28 + 142 * tab + 130, 8);
            EXPECT_EQ(colour == accent, tab == current) << tab;
        }
        // The current title (black on the accent) lies whole inside its tab: none of its
        // letters reach the tab's bottom edge or the tool bar below.
        int lowInk = 0;
        for (int y = 31; y < 40; ++y)
            for (int x = 28 + 142 * current; x < 28 + 142 * current + 140; ++x)
                lowInk += shown.pixelColor(x, y).lightness() < 40 ? 1 : 0;
        EXPECT_EQ(lowInk, 0);
        strip.grab().save(QString(TOVRA_SCREENS_DIR) + QString("/TabViewUI_%1.png").arg(current));
    }
}

TEST_F(MainWindowTest, TabChangesReachTheMainWindowOnlyWhenTheTabChanges)
{
    window->newProject(false);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    auto* workspace = qobject_cast<WorkSpaceUI*>(window->centralWidget());
    ASSERT_NE(workspace, nullptr);
    QSignalSpy changes(workspace->tabStrip(), &QTabWidget::currentChanged);
    workspace->setCurrentTab(workspace->currentTab());
    EXPECT_EQ(changes.count(), 0);

    // A click on the drawn tab "Mixing rules" shows page 2.
    QTabBar* bar = workspace->tabStrip()->tabBar();
    const QPoint mixingRules = bar->mapFrom(workspace->tabStrip(), QPoint(28 + 142 * 2 + 70, 20));
    QTest::mouseClick(bar, Qt::LeftButton, {}, mixingRules);
    EXPECT_EQ(workspace->currentTab(), 2);
    EXPECT_EQ(visiblePages(*workspace, 5), "--2--");
    window->setCurrentTab(4);
    EXPECT_EQ(visiblePages(*workspace, 5), "----4");
    EXPECT_EQ(changes.count(), 2);
    window->setCurrentTab(0);
    grabToScreens(window, "WorkSpaceUI");
}
