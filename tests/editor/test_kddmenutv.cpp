// The structure tree's context menus, double-click and keys, each reaching the command
// controller's actions.
#include "ViewsFixture.h"

#include <QSignalSpy>

namespace {
struct MenuCase {
    const char* row; // empty: below the last row
    const char* menu;
    QList<int> ids;
};
} // namespace

TEST_F(ViewsTest, RightClickShowsTheMenuOfWhatIsUnderTheMouse)
{
    KCtrlFile* document = window->getTovraFile();
    ASSERT_TRUE(document->createGroup("Empty", {}, 0, 0));
    tree->expandAll();
    const MenuCase cases[] = {
        {"", "emptyMenu", {16}},
        {"Rhythm", "groupMenu", {18, 19, 17, 48}},
        {"bass", "trackMenu", {39, 40, 47}},
        {"Empty", "trackMenu", {39, 40, 47}},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(c.row);
        const QString row = QString::fromUtf8(c.row);
        const QPoint at = row.isEmpty() ? QPoint(20, tree->viewport()->height() - 5) : treeRow(row);
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, at);
        EXPECT_EQ(shownMenu(tree), c.menu);
        EXPECT_EQ(menuIds(tree, c.menu), c.ids);
        EXPECT_EQ(tree->getSelectedItem(), row);
        tree->findChild<QMenu*>(c.menu)->close();
    }
    grabToScreens(window, "structure_tree_views");
}

TEST_F(ViewsTest, DoubleClickAndKeysTriggerTheGroupCommands)
{
    detachCommands({18, 19});
    QSignalSpy modify(actions->getAction(18), &QAction::triggered);
    QSignalSpy remove(actions->getAction(19), &QAction::triggered);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, treeRow("Top"));
    EXPECT_EQ(tree->getSelectedItem(), "Top");
    EXPECT_EQ(modify.count(), 1);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(tree, key);
    EXPECT_EQ(modify.count(), 3);
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace})
        QTest::keyClick(tree, key);
    EXPECT_EQ(remove.count(), 2);
    EXPECT_EQ(tree->getSelectedItem(), "Top");
}

TEST_F(ViewsTest, WithoutControllerRightClicksAndKeysDoNothing)
{
    detachCommands({18, 19});
    QSignalSpy modify(actions->getAction(18), &QAction::triggered);
    QSignalSpy remove(actions->getAction(19), &QAction::triggered);
    tree->setActionManager(nullptr);
    EXPECT_TRUE(tree->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly).isEmpty());
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, treeRow("bass"));
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, treeRow("Top"));
    QTest::keyClick(tree, Qt::Key_Delete);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(modify.count() + remove.count(), 0);
    // Given again, the controller brings one set of menus back.
    tree->setActionManager(actions);
    EXPECT_EQ(tree->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly).size(), 3);
}

TEST_F(ViewsTest, LeftClickInTheTreeClearsTheLibrarySelection)
{
    library->selectAll();
    ASSERT_EQ(library->getSelectedItems().size(), 4);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, treeRow("voice"));
    EXPECT_TRUE(library->getSelectedItems().isEmpty());
    EXPECT_EQ(tree->getSelectedItem(), "voice");
}
