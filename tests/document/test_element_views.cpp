// The element views: names out of selections, expansion followed between two trees without
// echo, colour-square clicks, check toggling by the left button only, drops between views, and
// grabs of each view in the editor's theme.
#include "ElementTestEnv.h"

#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTest>

#include <memory>

#include "KCheckableTreeView.h"
#include "KDragDropTreeView.h"
#include "KDragTrackList.h"
#include "KListModel.h"
#include "KTheme.h"

namespace {

// The editor's dark skin: bright text while playing, dim otherwise, rows lighter by depth.
SItemSkinOptions darkSkin()
{
    SItemSkinOptions skin;
    skin.color0 = KTheme::color(KTheme::Text);
    skin.color1 = KTheme::color(KTheme::DimText);
    skin.color2 = KTheme::color(KTheme::Panel);
    skin.color4 = KTheme::color(KTheme::Text);
    skin.color5 = KTheme::color(KTheme::Raised);
    skin.color6 = QColor(9, 10, 12);
    skin.text = "Ma musique";
    return skin;
}

class ElementViews : public ::testing::Test
{
protected:
    void SetUp() override
    {
        addTracks(doc, dir, {"kick", "snare", "hat", "bass", "pad", "lead"});
        ASSERT_TRUE(doc.group("Drums", {"kick", "snare", "hat"}));
        ASSERT_TRUE(doc.group("Keys", {"pad", "lead"}));
        ASSERT_TRUE(doc.group("Band", {"Drums"}));
        doc.setEltColor("Band", QColor(214, 110, 60), true);
        doc.setEltColor("Keys", QColor(70, 140, 210), true);
    }
    // The centre of the name's row in a tree view.
    template <typename View> QPoint rowCentre(View& view, const QString& name)
    {
        const QModelIndex index = view.proxy()->mapFromSource(view.getKModel()->getIndex(name));
        return view.visualRect(index).center();
    }
    template <typename View> QRect rowRect(View& view, const QString& name)
    {
        return view.visualRect(view.proxy()->mapFromSource(view.getKModel()->getIndex(name)));
    }

    fixtures::TempDir dir;
    Document doc;
};

TEST_F(ElementViews, TwoTreesFollowEachOthersExpansionWithoutEcho)
{
    KDragDropTreeView first(&doc);
    KDragDropTreeView second(&doc);
    KCheckableTreeView third(&doc);
    for (auto* view : {static_cast<QTreeView*>(&first), static_cast<QTreeView*>(&second)})
        view->resize(300, 300);
    auto link = [](auto& a, auto& b) {
        using A = std::remove_reference_t<decltype(a)>;
        using B = std::remove_reference_t<decltype(b)>;
        QObject::connect(&a, qOverload<QString>(&A::expanded), &b, qOverload<const QString&>(&B::expand));
        QObject::connect(&a, qOverload<QString>(&A::collapsed), &b, qOverload<const QString&>(&B::collapse));
    };
    link(first, second);
    link(second, first);
    link(first, third);
    QSignalSpy firstExpanded(&first, qOverload<QString>(&KDragDropTreeView::expanded));
    QSignalSpy secondExpanded(&second, qOverload<QString>(&KDragDropTreeView::expanded));
    QSignalSpy firstCollapsed(&first, qOverload<QString>(&KDragDropTreeView::collapsed));
    QSignalSpy secondCollapsed(&second, qOverload<QString>(&KDragDropTreeView::collapsed));
    const QModelIndex keys1 = first.proxy()->mapFromSource(first.getKModel()->getIndex("Keys"));
    const QModelIndex keys2 = second.proxy()->mapFromSource(second.getKModel()->getIndex("Keys"));
    const QModelIndex keys3 = third.proxy()->mapFromSource(third.getKModel()->getIndex("Keys"));
    ASSERT_TRUE(first.isExpanded(keys1) && second.isExpanded(keys2)) << "trees open expanded";

    first.collapse(keys1); // as the user's click on the branch does
    EXPECT_FALSE(second.isExpanded(keys2));
    EXPECT_FALSE(third.isExpanded(keys3));
    EXPECT_EQ(firstCollapsed.count(), 1);
    EXPECT_EQ(secondCollapsed.count(), 0);
    second.expand(keys2);
    EXPECT_TRUE(first.isExpanded(keys1));
    EXPECT_EQ(secondExpanded.count(), 1);
    EXPECT_EQ(firstExpanded.count(), 0);
    EXPECT_EQ(secondExpanded.takeFirst().at(0).toString(), "Keys");

    // Requests that change nothing leave the next user expansion announced.
    first.expand(QString("Keys"));
    first.expand(QString("nobody"));
    first.collapse(keys1);
    first.expand(keys1);
    EXPECT_EQ(firstExpanded.count(), 1);
    EXPECT_EQ(firstCollapsed.count(), 2);
}

TEST_F(ElementViews, ExpansionSurvivesARestoredProject)
{
    KDragDropTreeView view(&doc);
    view.collapse(QString("Band"));
    view.collapse(view.proxy()->mapFromSource(view.getKModel()->getIndex("Keys")));
    view.expand(view.proxy()->mapFromSource(view.getKModel()->getIndex("Band")));
    EXPECT_FALSE(doc.group("Refused", {"bass"}, true));
    auto expanded = [&](const QString& name) {
        return view.isExpanded(view.proxy()->mapFromSource(view.getKModel()->getIndex(name)));
    };
    EXPECT_TRUE(expanded("Band"));
    EXPECT_TRUE(expanded("Drums"));
    EXPECT_FALSE(expanded("Keys"));
}

TEST_F(ElementViews, SelectionsAreAnnouncedAsNames)
{
    KDragDropTreeView tree(&doc);
    tree.resize(300, 300);
    tree.show();
    QSignalSpy treeSelection(&tree, qOverload<QStringList>(&KDragDropTreeView::selectionChanged));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, rowCentre(tree, "snare"));
    ASSERT_EQ(treeSelection.count(), 1);
    EXPECT_EQ(treeSelection.takeFirst().at(0).toStringList(), QStringList({"snare"}));
    EXPECT_EQ(tree.getSelectedItem(), "snare");
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(tree, "pad"));
    EXPECT_EQ(treeSelection.takeFirst().at(0).toStringList(), QStringList({"pad"}));

    KDragTrackList list(&doc);
    list.resize(400, 300);
    list.show();
    EXPECT_EQ(list.getEltCount(), 6);
    QSignalSpy listSelection(&list, qOverload<QStringList>(&KDragTrackList::selectionChanged));
    int kickRow = -1;
    for (int row = 0; row < list.proxy()->rowCount(); ++row)
        if (list.proxy()->index(row, 1).data().toString() == "kick")
            kickRow = row;
    ASSERT_GE(kickRow, 0);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualRect(list.proxy()->index(kickRow, 1)).center());
    ASSERT_EQ(listSelection.count(), 1);
    EXPECT_EQ(listSelection.takeFirst().at(0).toStringList(), QStringList({"kick"}));
    EXPECT_EQ(list.getSelectedItems(), QStringList({"kick"}));
    EXPECT_EQ(list.proxy()->index(0, 1).data().toString(), "bass") << "sorted by name";
    list.clearSel();
    EXPECT_TRUE(list.getSelectedItems().isEmpty());
}

TEST_F(ElementViews, ColourSquareOfAGroupRowAsksForAColour)
{
    KDragDropTreeView tree(&doc);
    tree.setKFile(&doc);
    tree.setColorSelection(true);
    tree.resize(300, 300);
    tree.show();
    QSignalSpy icons(&tree, &KDragDropTreeView::iconClicked);
    QSignalSpy selection(&tree, qOverload<QStringList>(&KDragDropTreeView::selectionChanged));
    const QRect keys = rowRect(tree, "Keys");
    const QPoint square(keys.left() + keys.height() / 2, keys.center().y());
    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, square);
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, square);
    ASSERT_EQ(icons.count(), 1);
    EXPECT_EQ(icons.at(0).at(0).toString(), "Keys");
    EXPECT_EQ(icons.at(0).at(1).toPoint(), tree.viewport()->mapToGlobal(square));
    EXPECT_EQ(selection.count(), 0);
    EXPECT_TRUE(tree.selectionModel()->selectedIndexes().isEmpty());

    const QRect pad = rowRect(tree, "pad");
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(pad.left() + 3, pad.center().y()));
    EXPECT_EQ(icons.count(), 1);
    ASSERT_EQ(selection.count(), 1);
    EXPECT_EQ(selection.at(0).at(0).toStringList(), QStringList({"pad"}));
    // Without colour selection the square is an ordinary press.
    tree.setColorSelection(false);
    const QRect plainKeys = rowRect(tree, "Keys");
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(plainKeys.left() + 3, plainKeys.center().y()));
    EXPECT_EQ(icons.count(), 1);
    EXPECT_EQ(tree.getSelectedItem(), "Keys");
}

TEST_F(ElementViews, CheckableTreeSwitchesOncePerLeftPressAndIgnoresOtherButtons)
{
    KCheckableTreeView view(&doc);
    view.resize(300, 300);
    view.show();
    QSignalSpy statuses(&doc, &KCtrlFile::eltStatusChanged);
    const QRect pad = rowRect(view, "pad");
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(view.viewport(), button, {}, pad.center());
        EXPECT_EQ(statuses.count(), 0);
        EXPECT_FALSE(doc.elementPlays("pad"));
    }
    const struct {
        const char* where;
        QPoint at;
        bool plays;
    } presses[] = {
        {"label", pad.center(), true},
        {"check box", QPoint(pad.left() + 8, pad.center().y()), false},
        {"label again", QPoint(pad.left() + 40, pad.center().y()), true},
    };
    for (const auto& p : presses) {
        statuses.clear();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, p.at);
        EXPECT_EQ(statuses.count(), 1) << p.where;
        EXPECT_EQ(doc.elementPlays("pad"), p.plays) << p.where;
        EXPECT_EQ(view.proxy()->mapFromSource(view.getKModel()->getIndex("pad"))
                      .data(Qt::CheckStateRole).toInt(),
                  p.plays ? Qt::Checked : Qt::Unchecked)
            << p.where;
    }
    EXPECT_EQ(view.getCheckRect(view.proxy()->mapFromSource(view.getKModel()->getIndex("kick"))),
              QRect(60, 0, 20, 20));
}

TEST_F(ElementViews, TrackNamesDraggedFromTheListDropIntoATreeGroup)
{
    KDragTrackList list(&doc);
    KDragDropTreeView tree(&doc);
    addTracks(doc, dir, {"fx"});
    list.selectAll();
    QModelIndexList fxCells;
    for (const QModelIndex& index : list.selectionModel()->selectedIndexes())
        if (list.getKModel()->modelIndexToQString(list.proxy()->mapToSource(index)) == "fx")
            fxCells << index;
    ASSERT_EQ(fxCells.size(), 3);
    std::unique_ptr<QMimeData> data(list.proxy()->mimeData(fxCells));
    // A view drops on an item with neither row nor column.
    EXPECT_EQ(data->data(KModels::EltsDragDropMimeType), QByteArray("fx"));
    const QModelIndex keys = tree.proxy()->mapFromSource(tree.getKModel()->getIndex("Keys"));
    EXPECT_TRUE(tree.proxy()->dropMimeData(data.get(), Qt::CopyAction, -1, -1, keys));
    EXPECT_EQ(rows(*tree.proxy(), tree.proxy()->mapFromSource(tree.getKModel()->getIndex("Keys"))),
              "fx,lead,pad");
    // Back out to the top level: the empty area of the tree.
    std::unique_ptr<QMimeData> back(tree.proxy()->mimeData(
        {tree.proxy()->mapFromSource(tree.getKModel()->getIndex("fx"))}));
    EXPECT_TRUE(tree.proxy()->dropMimeData(back.get(), Qt::CopyAction, -1, -1, QModelIndex()));
    EXPECT_EQ(rows(*tree.proxy()), "Band(Drums(hat,kick,snare)),fx,Keys(lead,pad)");
}

// A track dragged from the library onto a closed group: the group opens on it, the track is
// selected, and the library says at once where the track now is.
TEST_F(ElementViews, DropOnAClosedGroupOpensItAndTheLibraryFollows)
{
    KDragTrackList list(&doc);
    KDragDropTreeView tree(&doc);
    tree.resize(300, 400);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    tree.collapse("Keys");
    const QModelIndex keysRow = tree.proxy()->mapFromSource(tree.getKModel()->getIndex("Keys"));
    ASSERT_FALSE(tree.isExpanded(keysRow));
    auto place = [&](const QString& name) {
        KListModel* model = list.getKModel();
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 1).data().toString() == name)
                return model->index(row, 2).data().toString();
        return QString("not listed");
    };
    ASSERT_NE(place("bass"), QString::fromUtf8("(dans \"Keys\")"));
    QSignalSpy placeShown(list.getKModel(), &QAbstractItemModel::dataChanged);

    QModelIndexList bassCells;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < list.proxy()->rowCount(); ++row)
            if (list.getKModel()->modelIndexToQString(list.proxy()->mapToSource(list.proxy()->index(row, column))) == "bass")
                bassCells << list.proxy()->index(row, column);
    std::unique_ptr<QMimeData> data(list.proxy()->mimeData(bassCells));
    // A view drops on an item with neither row nor column.
    EXPECT_TRUE(tree.proxy()->dropMimeData(data.get(), Qt::CopyAction, -1, -1, keysRow));
    QCoreApplication::processEvents();

    EXPECT_EQ(doc.getParent("bass"), "Keys");
    EXPECT_TRUE(tree.isExpanded(tree.proxy()->mapFromSource(tree.getKModel()->getIndex("Keys"))));
    EXPECT_EQ(tree.getSelectedItem(), "bass");
    EXPECT_EQ(place("bass"), QString::fromUtf8("(dans \"Keys\")"));
    // The views are told to show the new place: the library's row is repainted.
    int bassRow = -1;
    for (int row = 0; row < list.getKModel()->rowCount(); ++row)
        if (list.getKModel()->index(row, 1).data().toString() == "bass")
            bassRow = row;
    bool told = false;
    for (const QList<QVariant>& change : placeShown) {
        const auto from = change[0].value<QModelIndex>(), to = change[1].value<QModelIndex>();
        told = told || (from.row() <= bassRow && to.row() >= bassRow && from.column() <= 2 && to.column() >= 2);
    }
    EXPECT_TRUE(told);
}

TEST_F(ElementViews, ViewsInTheDarkTheme)
{
    ASSERT_FALSE(doc.setEltStatus("kick", true, true).isEmpty());
    ASSERT_FALSE(doc.setEltStatus("pad", true, true).isEmpty());
    KDragDropTreeView tree(&doc);
    tree.setKFile(&doc);
    tree.setSkinOptions(darkSkin());
    tree.setColorSelection(true);
    tree.resize(260, 240);
    tree.selectionModel()->select(
        tree.proxy()->mapFromSource(tree.getKModel()->getIndex("snare")),
        QItemSelectionModel::Select);
    grabScreen(tree, "element_tree");

    KCheckableTreeView checkable(&doc);
    checkable.setSkinOptions(darkSkin());
    checkable.resize(260, 240);
    grabScreen(checkable, "element_checkable_tree");

    KDragTrackList list(&doc);
    list.resize(320, 200);
    grabScreen(list, "element_track_list");
    list.setItemBackground(true);
    grabScreen(list, "element_track_list_colours");
}

} // namespace
