#include "../widgets/WidgetTestEnv.h"
#include "DWProperties.h"

#include <QLabel>
#include <QMainWindow>

TEST(DWProperties, ShowsTheGivenPanelUnderItsTitleOrTheDefault)
{
    DWProperties dock;
    EXPECT_EQ(dock.windowTitle(), "Propriétés");

    const struct {
        bool withWidget;
        const char* title;
        const char* shown;
    } rows[] = {
        {true, "Piste bass", "Piste bass"},
        {true, "", "Propriétés"},
        {false, "Groupe", "Groupe"},
        {false, "", "Propriétés"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title);
        QWidget* given = row.withWidget ? new QLabel("panel") : nullptr;
        dock.addCentralWidget(given, row.title);
        ASSERT_NE(dock.widget(), nullptr);
        if (given) {
            EXPECT_EQ(dock.widget(), given);
        }
        EXPECT_EQ(dock.widget()->parent(), &dock);
        EXPECT_EQ(dock.windowTitle(), row.shown);
    }

    QMainWindow window;
    window.resize(360, 180);
    auto* shown = new DWProperties(&window);
    shown->addCentralWidget(new QLabel("Volume, pan et couleur de l'élément"), "Piste bass");
    window.addDockWidget(Qt::LeftDockWidgetArea, shown);
    window.setCentralWidget(new QWidget);
    grabScreen(window, "DWProperties");
}
