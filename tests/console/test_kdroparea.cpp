#include "KDropArea.h"

#include "../widgets/WidgetTestEnv.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QSignalSpy>

namespace {

// Sends a drag over the area and then the drop; whether the hover was accepted and the drop.
std::pair<bool, bool> dragAndDrop(KDropArea& area, const QMimeData& data)
{
    const QPoint at(area.width() / 2, area.height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&area, &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&area, &move);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    drop.setAccepted(false);
    QApplication::sendEvent(&area, &drop);
    return {enter.isAccepted() && move.isAccepted(), drop.isAccepted()};
}

} // namespace

TEST(KDropArea, DroppedElementNamesAreReportedAsAList)
{
    KDropArea area;
    area.resize(120, 40);
    area.setText("Racine");
    QSignalSpy dropped(&area, &KDropArea::dropOnRoot);
    struct Case { QByteArray text; QStringList names; };
    const Case cases[] = {{"Kick", {"Kick"}},
                          {"Kick||Snare", {"Kick", "", "Snare"}},
                          {"Basse é|Snare", {QString::fromUtf8("Basse é"), "Snare"}},
                          {"|", {"", ""}},
                          {QByteArray("\xff\x00x|", 4), {QString::fromUtf8("\xff\x00x", 3), ""}}};
    for (const Case& c : cases) {
        QMimeData data;
        data.setData("Tovra/eltNames", c.text);
        EXPECT_EQ(std::make_pair(true, true), dragAndDrop(area, data)) << c.text.constData();
        ASSERT_FALSE(dropped.isEmpty());
        EXPECT_EQ(c.names, dropped.takeFirst()[0].toStringList());
    }
    grabScreen(area, "droparea");
}

TEST(KDropArea, OtherDataHoversButIsNotTaken)
{
    KDropArea area;
    area.resize(120, 40);
    QSignalSpy dropped(&area, &KDropArea::dropOnRoot);
    QMimeData plain;
    plain.setText("Kick");
    EXPECT_EQ(std::make_pair(true, false), dragAndDrop(area, plain));
    QMimeData empty;
    empty.setData("Tovra/eltNames", QByteArray());
    EXPECT_EQ(std::make_pair(true, false), dragAndDrop(area, empty));
    EXPECT_EQ(0, dropped.count());
}
