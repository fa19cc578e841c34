#include "UiTestHelpers.h"
#include "DockWidgetWithToolBar.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QToolBar>

class DockWithTools : public BundleTest
{
};

TEST_F(DockWithTools, HoldsOneToolBarAbovePanelAndReplacesThem)
{
    QMainWindow window;
    auto* dock = new DockWidgetWithToolBar(&window);
    EXPECT_EQ(dock->windowTitle(), "Bibliothèque des Pistes");
    EXPECT_EQ(dock->getToolBar(), nullptr);
    EXPECT_EQ(dock->getCentralWidget(), nullptr);
    for (const char* picture : {"DWBar", "DWCloseOff", "DWUndockOff"})
        EXPECT_TRUE(dock->styleSheet().contains(QString("url(:/Img/") + picture + ")")) << picture;

    QPointer<QLabel> first = new QLabel("first");
    dock->setCentralWidget(first);
    auto* tools = new QToolBar;
    tools->addAction("Importer");
    tools->addAction("Supprimer");
    dock->setToolBar(tools);
    auto* list = new QLabel("bass\ndrums\nvoice");
    dock->setCentralWidget(list);
    EXPECT_TRUE(first.isNull()); // the replaced panel is deleted, not left behind
    EXPECT_EQ(dock->getToolBar(), tools);
    EXPECT_EQ(dock->getCentralWidget(), list);
    dockInWindow(window, dock, {360, 220});
    EXPECT_LT(tools->geometry().bottom(), list->geometry().top());
    grabToScreens(&window, "DockWidgetWithToolBar");

    dock->setToolBar(nullptr);
    EXPECT_EQ(dock->getToolBar(), nullptr);
    EXPECT_EQ(dock->getCentralWidget(), list);
}

TEST_F(DockWithTools, FloatingTakesTheDesktopTitleAndDockingTakesTheLookBack)
{
    QMainWindow window;
    auto* dock = new DockWidgetWithToolBar(&window);
    dockInWindow(window, dock, {300, 200});
    const QString docked = dock->styleSheet();
    dock->setFloating(true);
    EXPECT_TRUE(dock->styleSheet().isEmpty());
    dock->setFloating(false);
    EXPECT_EQ(dock->styleSheet(), docked);
}
