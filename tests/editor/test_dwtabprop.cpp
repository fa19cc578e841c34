#include "DWTabProp.h"
#include "UiTestHelpers.h"

#include <QLabel>

class TabProp : public BundleTest
{
};

TEST_F(TabProp, ShowsItsPanelAndComesBackWhenClosedFloating)
{
    QMainWindow window;
    auto* dock = new DWTabProp(&window);
    auto* panel = new QLabel("Piste bass : volume -3.0 dB");
    dock->addCentralWidget(panel, "Propriétés de la piste");
    EXPECT_EQ(dock->widget(), panel);
    EXPECT_EQ(dock->windowTitle(), "Propriétés de la piste");
    dockInWindow(window, dock, {360, 160});
    grabToScreens(&window, "DWTabProp");

    dock->setFloating(true);
    EXPECT_GE(dock->minimumWidth(), panel->sizeHint().width());
    EXPECT_TRUE(dock->close() == false);
    EXPECT_FALSE(dock->isFloating());
    EXPECT_TRUE(dock->isVisible());
    EXPECT_EQ(dock->minimumWidth(), 0);

    // Docked, a close hides it as any dock.
    EXPECT_TRUE(dock->close());
    EXPECT_FALSE(dock->isVisible());
}
