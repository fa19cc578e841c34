// The group tree over a checkable model: items by name, and element names dropped on a group
// moved there in the project first, in the tree only once the project took the move.
#include "MainWindowFixture.h"
#include "ProjectFixture.h"
#include "TreeViewUI.h"

#include <QDropEvent>
#include <QMimeData>
#include <QStandardItemModel>
#include <QTest>

namespace {
// Drags names onto the tree and lets them go over the named item (empty: below every item).
void dropOn(TreeViewUI& tree, const QStringList& names, const QString& target)
{
    QPoint at(5, tree.viewport()->height() - 5);
    const QModelIndexList found = tree.itemModel()->match(tree.itemModel()->index(0, 0), Qt::DisplayRole, target, 1,
                                                          Qt::MatchExactly | Qt::MatchRecursive);
    if (!target.isEmpty() && !found.isEmpty())
        at = tree.visualRect(found.first()).center();
    QMimeData data;
    data.setData("Tovra/eltNames", names.join('|').toUtf8());
    QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &enter);
    QDragMoveEvent move(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &move);
    QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &drop);
}
} // namespace

TEST(TreeViewUI, ItemsAreAddedMovedAndRemovedByName)
{
    TreeViewUI tree;
    EXPECT_TRUE(tree.addItem("Top"));
    EXPECT_TRUE(tree.addItem("voice", "Top"));
    EXPECT_TRUE(tree.addItem("Inner", "Top"));
    EXPECT_TRUE(tree.addItem("keys", "Inner"));
    // Taken, empty or under an unknown parent.
    EXPECT_FALSE(tree.addItem("voice"));
    EXPECT_FALSE(tree.addItem(""));
    EXPECT_FALSE(tree.addItem("x", "nowhere"));
    EXPECT_EQ(tree.childrenOf("Top"), QStringList({"voice", "Inner"}));
    EXPECT_EQ(tree.parentOf("keys"), "Inner");

    EXPECT_TRUE(tree.moveItem("Inner", ""));
    EXPECT_EQ(tree.childrenOf(""), QStringList({"Top", "Inner"}));
    EXPECT_EQ(tree.parentOf("keys"), "Inner");
    // Never into itself or below itself.
    EXPECT_FALSE(tree.moveItem("Inner", "keys"));
    EXPECT_FALSE(tree.moveItem("ghost", "Top"));

    tree.itemModel()->findItems("keys", Qt::MatchExactly | Qt::MatchRecursive).first()->setCheckState(Qt::Checked);
    EXPECT_EQ(tree.checkedItems(), QStringList({"keys"}));
    EXPECT_TRUE(tree.removeItem("Inner"));
    EXPECT_FALSE(tree.contains("keys"));
    EXPECT_FALSE(tree.removeItem("Inner"));
    EXPECT_TRUE(tree.checkedItems().isEmpty());
}

TEST_F(MainWindowTest, TreeViewUIMovesDroppedElementsInTheProjectFirst)
{
    fixtures::TempDir dir;
    ASSERT_TRUE(window->newProject(false));
    KCtrlFile* doc = window->getTovraFile();
    ASSERT_TRUE(buildProject(*doc, dir));
    TreeViewUI tree;
    for (const QString group : {"Rhythm", "Top"}) {
        tree.addItem(group);
        for (const QString& member : doc->getSubElt(group))
            tree.addItem(member, group);
    }
    tree.resize(300, 300);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    QSignalSpy moved(&tree, &TreeViewUI::itemsMoved);

    dropOn(tree, {"voice"}, "Rhythm");
    EXPECT_EQ(doc->getParent("voice"), "Rhythm");
    EXPECT_EQ(tree.parentOf("voice"), "Rhythm");
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][0].toStringList(), QStringList{"voice"});

    // A group dropped into its own member, or an unknown name: nothing moves anywhere.
    dropOn(tree, {"Rhythm", "ghost"}, "bass");
    EXPECT_EQ(tree.parentOf("Rhythm"), "");
    EXPECT_EQ(moved.count(), 1);

    // Beside the groups: out of its group, in the project as in the tree.
    dropOn(tree, {"keys"}, "");
    EXPECT_NE(doc->getParent("keys"), "Top");
    EXPECT_EQ(tree.parentOf("keys"), "");
    EXPECT_EQ(moved.count(), 2);
}
