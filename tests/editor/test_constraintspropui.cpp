#include "ConstraintsPropUI.h"
#include "EditorTestEnvironment.h"

TEST(ConstraintsPropUI, IsAnEmptyPanelOfItsFormSize)
{
    ConstraintsPropUI panel;
    EXPECT_EQ(panel.size(), QSize(400, 300));
    EXPECT_TRUE(panel.children().isEmpty());
    panel.show();
    grabToScreens(&panel, "ConstraintsPropUI");
}
