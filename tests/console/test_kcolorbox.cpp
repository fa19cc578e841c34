#include "KColorBox.h"
#include "KPrompt.h"

#include "../widgets/WidgetTestEnv.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Answers the next modal dialog with `drive`, which acts on the popup's box.
class PopupDriver
{
public:
    explicit PopupDriver(std::function<void(KColorBoxDlg&)> drive)
    {
        m_previous = KPrompt::setHandler([this, drive](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            auto* dialog = qobject_cast<KColorBoxDlg*>(request.dialog);
            EXPECT_NE(nullptr, dialog);
            if (dialog) {
                geometry = dialog->geometry();
                dialog->show();
                drive(*dialog);
                answer.button = dialog->result();
            }
            return answer;
        });
    }
    ~PopupDriver() { KPrompt::setHandler(m_previous); }
    QRect geometry;

private:
    KPrompt::Handler m_previous;
};

QPoint cellCentre(const KColorBox& box, int index)
{
    return QPoint(box.stripRect().left() + index * box.cellWidth() + box.cellWidth() / 2,
                  box.height() / 2);
}

} // namespace

TEST(ColorBox, DefaultRangeStepsDownFromWhiteToBlack)
{
    KColorBox box;
    EXPECT_EQ(10, box.cellCount());
    EXPECT_EQ(QColor(255, 255, 255), box.getSelectedColor());
    EXPECT_EQ(QColor(255, 255, 255), box.cellColor(0));
    EXPECT_EQ(QColor(230, 230, 230), box.cellColor(1));
    EXPECT_EQ(QColor(30, 30, 30), box.cellColor(9));
}

TEST(ColorBox, ChannelByChannelModeMovesOneChannelPerThird)
{
    KColorBox box;
    box.setRangeColors(QColor(0, 0, 0), QColor(90, 90, 90));
    box.setColorNb(9); // steps of 10, thirds of 3 cells
    box.setMode(KColorBox::ChannelByChannel);
    struct Case { int cell; QColor colour; };
    const Case cases[] = {{0, QColor(0, 0, 0)},    {2, QColor(60, 0, 0)},
                          {3, QColor(90, 0, 0)},   {5, QColor(90, 60, 0)},
                          {6, QColor(90, 90, 0)},  {8, QColor(90, 90, 60)}};
    for (const Case& c : cases)
        EXPECT_EQ(c.colour, box.cellColor(c.cell)) << c.cell;
}

TEST(ColorBox, CellCountFollowsTheListAndIgnoresBadCounts)
{
    KColorBox box;
    QList<QColor> colours;
    for (int i = 0; i < 12; ++i)
        colours << QColor::fromHsv(i * 30, 200, 200);
    box.setColors(colours);
    EXPECT_EQ(12, box.cellCount());
    box.setColorNb(0);
    EXPECT_EQ(12, box.cellCount());
    box.setColorNb(50);
    EXPECT_EQ(12, box.cellCount());
    box.setColorNb(5);
    EXPECT_EQ(5, box.cellCount());
    box.setColors({});
    EXPECT_EQ(5, box.cellCount());
    EXPECT_EQ(colours[11], box.cellColor(11));
}

TEST(ColorBox, GeometryAndPickingOnCellBoundaries)
{
    KColorBox box;
    box.resize(210, 30);
    box.show();
    EXPECT_EQ(16, box.cellWidth()); // trunc(210 * 0.8 / 10)
    EXPECT_EQ(QRect(QPoint(1, 1), QPoint(160, 28)), box.stripRect());
    EXPECT_EQ(QRect(QPoint(163, 1), QPoint(208, 28)), box.previewRect());
    QSignalSpy changed(&box, &KColorBox::colorChanged);
    // x - left = 16 lies on the boundary between cells 0 and 1: the right-hand cell.
    QTest::mouseMove(&box, QPoint(17, 10));
    ASSERT_EQ(1, changed.count());
    EXPECT_EQ(box.cellColor(1), changed.last().first().value<QColor>());
    QTest::mouseMove(&box, QPoint(16, 10));
    EXPECT_EQ(box.cellColor(0), box.getSelectedColor());
    // The preview shows the colour, the strip does not react.
    QTest::mouseMove(&box, QPoint(180, 10));
    EXPECT_EQ(2, changed.count());
    EXPECT_FALSE(box.hasChosen());
    grabScreen(box, "colorbox_range");
}

TEST(ColorBox, ManyCellsInANarrowBoxStayPickable)
{
    KColorBox box;
    QList<QColor> colours;
    for (int i = 0; i < 40; ++i)
        colours << QColor(i * 6, 0, 0);
    box.setColors(colours);
    box.resize(50, 20); // 40 cells in 40 * 0.8 = 32 pixels: one pixel each
    box.show();
    EXPECT_EQ(1, box.cellWidth());
    QTest::mouseMove(&box, QPoint(box.stripRect().right(), 10));
    EXPECT_EQ(colours[39], box.getSelectedColor());
    QTest::mouseMove(&box, QPoint(1, 10));
    EXPECT_EQ(colours[0], box.getSelectedColor());
}

TEST(ColorBoxDlg, PopupIsCentredOnThePointAndReturnsThePressedCell)
{
    QList<QColor> colours = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    PopupDriver driver([](KColorBoxDlg& dialog) {
        KColorBox* box = dialog.colorBox();
        EXPECT_EQ(QColor(Qt::green), box->getSelectedColor()); // the current colour
        grabScreen(dialog, "colorbox_popup");
        QTest::mouseMove(box, cellCentre(*box, 3));
        QTest::mousePress(box, Qt::LeftButton, {}, cellCentre(*box, 2));
        QTest::mouseRelease(box, Qt::LeftButton, {}, cellCentre(*box, 2));
        EXPECT_EQ(QDialog::Accepted, dialog.result());
    });
    const QColor picked = KColorBoxDlg::open(colours, QSize(200, 40), QPoint(100, 100), 0.2,
                                             nullptr, Qt::green);
    EXPECT_EQ(QRect(80, 80, 200, 40), driver.geometry);
    EXPECT_EQ(QColor(Qt::blue), picked);
}

TEST(ColorBoxDlg, PopupLeftWithoutAChoiceReturnsAnInvalidColour)
{
    PopupDriver driver([](KColorBoxDlg& dialog) {
        KColorBox* box = dialog.colorBox();
        QTest::mouseMove(box, cellCentre(*box, 4)); // passes over a cell
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(box, &leave);
        EXPECT_EQ(QDialog::Accepted, dialog.result());
    });
    const QColor picked = KColorBoxDlg::open(QColor(0, 0, 0), QColor(200, 100, 50), 5,
                                             QSize(150, 30), QPoint(50, 50), 0.3, nullptr,
                                             QColor());
    EXPECT_FALSE(picked.isValid());
}
