#include "../widgets/WidgetTestEnv.h"
#include "KTreeModel.h"
#include "ListViewUI.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
// Keeps what each drag carried instead of running the drop loop.
class RecordingList : public ListViewUI
{
public:
    using ListViewUI::ListViewUI;
    QList<QPair<QByteArray, QString>> drags;

protected:
    void execDrag(QDrag* drag) override
    {
        drags.append({drag->mimeData()->data(KModels::EltsDragDropMimeType), drag->mimeData()->text()});
        drag->deleteLater();
    }
};

QPoint centreOf(ListViewUI& list, int row)
{
    return list.visualRect(list.model()->index(row, 0)).center();
}
} // namespace

TEST(ListViewUI, AddsSortedAndRemovesTheFirstOccurrence)
{
    ListViewUI list;
    QSignalSpy added(&list, &ListViewUI::itemsAdded);
    QSignalSpy removed(&list, &ListViewUI::itemsRemoved);

    list.addItem("voice");
    list.addItems({"drums", "bass"});
    list.addItem("keys", 0);
    EXPECT_EQ(list.getItems(), QStringList({"bass", "drums", "keys", "voice"}));
    ASSERT_EQ(added.size(), 3);
    EXPECT_EQ(added[1][0].toStringList(), QStringList({"drums", "bass"}));
    EXPECT_EQ(list.getItem(2), "keys");
    EXPECT_TRUE(list.getItem(4).isNull());
    EXPECT_TRUE(list.getItem(-1).isNull());

    list.addItem("bass");
    list.removeItem("bass");
    EXPECT_EQ(list.getItems(), QStringList({"bass", "drums", "keys", "voice"}));
    list.removeItems({"voice", "nosuch", "keys"});
    ASSERT_EQ(removed.size(), 2);
    EXPECT_EQ(removed[1][0].toStringList(), QStringList({"voice", "keys"}));
    list.removeRow(0);
    list.removeRow(5);
    EXPECT_EQ(list.getItems(), QStringList({"drums"}));
    EXPECT_EQ(removed.size(), 3);
    EXPECT_EQ(removed[2][0].toStringList(), QStringList({"bass"}));

    list.addItems({"bass", "voice"});
    list.renamedElement("voice", "alto");
    list.renamedElement("nosuch", "zz");
    EXPECT_EQ(list.getItems(), QStringList({"alto", "bass", "drums"}));
}

TEST(ListViewUI, APressSelectsOneNameAndAMoveDragsIt)
{
    RecordingList list;
    list.resize(200, 160);
    list.addItems({"bass", "drums", "keys"});
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.selectAll();
    EXPECT_EQ(list.getSelectedItems().size(), 3);
    grabScreen(list, "ListViewUI");

    QWidget* area = list.viewport();
    const QPoint start = centreOf(list, 1);
    QTest::mousePress(area, Qt::LeftButton, {}, start);
    EXPECT_EQ(list.getSelectedItems(), QStringList({"drums"}));

    // Shorter than the start-drag distance: no drag yet.
    const int distance = QApplication::startDragDistance();
    QTest::mouseMove(area, start + QPoint(distance - 1, 0));
    EXPECT_TRUE(list.drags.isEmpty());
    QTest::mouseMove(area, start + QPoint(distance / 2, distance / 2 + 1));
    ASSERT_EQ(list.drags.size(), 1);
    EXPECT_EQ(list.drags[0].first, QByteArray("drums"));
    EXPECT_EQ(list.drags[0].second, "drums");
    EXPECT_EQ(KModels::namesFromMimeData(std::unique_ptr<QMimeData>(ListViewUI::dragData("keys")).get()),
              QStringList({"keys"}));
    QTest::mouseRelease(area, Qt::LeftButton, {}, start);

    // A press outside every row drags nothing.
    const QPoint empty(10, list.viewport()->height() - 3);
    QTest::mousePress(area, Qt::LeftButton, {}, empty);
    EXPECT_TRUE(list.getSelectedItems().isEmpty());
    QTest::mouseMove(area, empty + QPoint(0, -3 * distance));
    QTest::mouseRelease(area, Qt::LeftButton, {}, empty);
    EXPECT_EQ(list.drags.size(), 1);
}
