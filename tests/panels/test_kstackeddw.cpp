#include "../widgets/WidgetTestEnv.h"
#include "KStackedDW.h"

#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QResource>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

class StackedDock : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(QResource::registerResource(TOVRA_IMAGE_BUNDLE)); }
    static void TearDownTestSuite() { QResource::unregisterResource(TOVRA_IMAGE_BUNDLE); }
};

TEST_F(StackedDock, ForwardsToItsStackAndTitlesTheShownPanel)
{
    KStackedDW dock;
    EXPECT_TRUE(dock.font().bold());
    EXPECT_EQ(dock.font().pointSize(), 8);
    EXPECT_EQ(dock.widget(), dock.stack());
    EXPECT_EQ(dock.count(), 0);

    auto* tracks = new QLabel("tracks");
    auto* groups = new QLabel("groups");
    EXPECT_EQ(dock.addWidget(tracks), 0);
    EXPECT_EQ(dock.addWidget(groups), 1);
    EXPECT_EQ(dock.count(), 2);
    dock.setCurrentIndex(1);
    EXPECT_EQ(dock.stack()->currentWidget(), groups);

    dock.setCurrentWidget(tracks, "Pistes");
    EXPECT_EQ(dock.stack()->currentWidget(), tracks);
    EXPECT_EQ(dock.windowTitle(), "Pistes");
    // A panel not in the stack yet joins it.
    auto* mixes = new QLabel("mixes");
    dock.setCurrentWidget(mixes, "Tovix");
    EXPECT_EQ(dock.count(), 3);
    EXPECT_EQ(dock.stack()->currentWidget(), mixes);
    EXPECT_EQ(dock.windowTitle(), "Tovix");
    dock.setCurrentWidget(nullptr, "nothing");
    EXPECT_EQ(dock.count(), 3);
    EXPECT_EQ(dock.windowTitle(), "Tovix");
}

TEST_F(StackedDock, EveryPictureOfItsLookIsInTheBundle)
{
    KStackedDW dock;
    const QString style = dock.styleSheet();
    for (const char* name : {"DWBar", "ToolBar", "DWCloseOff", "DWCloseOver", "DWCloseOn", "DWUndockOff",
                             "DWUndockOver", "DWUndockOn"}) {
        SCOPED_TRACE(name);
        const QString path = QString(":/Img/") + name;
        EXPECT_TRUE(style.contains("url(" + path + ")"));
        EXPECT_FALSE(QPixmap(path).isNull());
    }

    QMainWindow window;
    window.resize(420, 260);
    auto* dockPtr = new KStackedDW(&window);
    dockPtr->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetFloatable);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* tools = new QToolBar(page);
    tools->addAction("Ajouter");
    tools->addAction("Supprimer");
    layout->addWidget(tools);
    layout->addWidget(new QLabel("bass\ndrums\nvoice", page), 1);
    dockPtr->setCurrentWidget(page, "Bibliothèque");
    window.addDockWidget(Qt::LeftDockWidgetArea, dockPtr);
    window.setCentralWidget(new QWidget);
    grabScreen(window, "KStackedDW");
}
