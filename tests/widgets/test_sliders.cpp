// Sliders that jump to the pointer: values, signals and the held state.
#include "KSliderTime.h"
#include "KSliderVol.h"
#include "WidgetTestEnv.h"

#include <QEnterEvent>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>

namespace {
// A drag with the left button held, which QTest::mouseMove cannot express.
void dragTo(QWidget& widget, QPoint point)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(point), widget.mapToGlobal(QPointF(point)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}
}

TEST(KSliderTime, AClickMovesOnceAtReleaseAndReportsOnlyTheRelease)
{
    KSliderTime slider(Qt::Horizontal, nullptr);
    slider.setRange(0, 300);
    slider.resize(300, 20);
    QSignalSpy onPress(&slider, &KSliderTime::valueChangedOnPress);
    QSignalSpy onRelease(&slider, &KSliderTime::valueChangedOnRelease);
    QSignalSpy held(&slider, &KSliderTime::pressed);

    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(slider.value(), 0);
    EXPECT_TRUE(slider.isPressed());
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(slider.value(), 150);
    EXPECT_EQ(onPress.count(), 0);
    ASSERT_EQ(onRelease.count(), 1);
    EXPECT_DOUBLE_EQ(onRelease.at(0).at(0).toDouble(), 0.5);
    ASSERT_EQ(held.count(), 1);
    EXPECT_FALSE(held.at(0).at(0).toBool());
}

TEST(KSliderTime, DragReportsEveryStepAndTimerMovesWaitForRelease)
{
    KSliderTime slider(Qt::Horizontal, nullptr);
    slider.setRange(0, 100);
    slider.resize(200, 20);
    QSignalSpy onPress(&slider, &KSliderTime::valueChangedOnPress);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(10, 10));
    dragTo(slider, QPoint(50, 10));
    dragTo(slider, QPoint(100, 10));
    EXPECT_EQ(onPress.count(), 2);
    EXPECT_EQ(slider.value(), 50);
    slider.setValue(10);
    EXPECT_EQ(slider.value(), 50);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(100, 10));
    slider.setValue(10);
    EXPECT_EQ(slider.value(), 10);
}

TEST(KSliderTime, PositionsMapToValuesClampedAtTheEnds)
{
    const struct {
        Qt::Orientation orientation;
        QPoint release;
        int expected;
    } cases[] = {
        {Qt::Horizontal, QPoint(-40, 5), -50},  {Qt::Horizontal, QPoint(500, 5), 50},
        {Qt::Horizontal, QPoint(100, 5), 0},    {Qt::Horizontal, QPoint(199, 5), 49},
        {Qt::Vertical, QPoint(5, 0), 50},       {Qt::Vertical, QPoint(5, 200), -50},
        {Qt::Vertical, QPoint(5, -30), 50},     {Qt::Vertical, QPoint(5, 150), -25},
    };
    for (const auto& c : cases) {
        KSliderTime slider(c.orientation, nullptr);
        slider.setRange(-50, 50);
        slider.resize(200, 200);
        QTest::mousePress(&slider, Qt::LeftButton, {}, c.release);
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, c.release);
        EXPECT_EQ(slider.value(), c.expected) << c.release.x() << "," << c.release.y();

        KSliderVol volume(c.orientation, nullptr);
        volume.setRange(-50, 50);
        volume.resize(200, 200);
        QTest::mousePress(&volume, Qt::LeftButton, {}, c.release);
        QTest::mouseRelease(&volume, Qt::LeftButton, {}, c.release);
        EXPECT_EQ(volume.value(), c.expected);
    }
}

TEST(KSliderTime, AnEmptySliderGoesToItsMinimum)
{
    KSliderTime slider(Qt::Horizontal, nullptr);
    slider.setRange(5, 9);
    slider.setValue(7);
    slider.resize(0, 0);
    EXPECT_DOUBLE_EQ(KSliderTime::fractionAt(slider, QPointF(3, 3)), 0.0);
    EXPECT_DOUBLE_EQ(KSliderTime::moveToPointer(slider, QPointF(3, 3)), 0.0);
    EXPECT_EQ(slider.value(), 5);
}

TEST(KSliderTime, ALostReleaseDoesNotFreezeTheSlider)
{
    const struct {
        const char* how;
        std::function<void(KSliderTime&)> lose;
    } cases[] = {
        {"hidden mid-drag", [](KSliderTime& s) { s.hide(); s.show(); }},
        {"grab taken away",
         [](KSliderTime& s) {
             QEvent ungrab(QEvent::UngrabMouse);
             QApplication::sendEvent(&s, &ungrab);
         }},
    };
    for (const auto& c : cases) {
        KSliderTime slider(Qt::Horizontal, nullptr);
        slider.resize(100, 20);
        slider.show();
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(10, 10));
        ASSERT_TRUE(slider.isPressed());
        c.lose(slider);
        EXPECT_FALSE(slider.isPressed()) << c.how;
        slider.setValue(42);
        EXPECT_EQ(slider.value(), 42) << c.how;
    }
}

TEST(KSliderVol, FlagsFollowHoverAndDrag)
{
    KSliderVol slider(Qt::Vertical, nullptr);
    slider.setRange(0, 100);
    slider.resize(20, 100);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&slider, &enter);
    EXPECT_TRUE(slider.isHovered());
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(10, 50));
    EXPECT_FALSE(slider.isMoved());
    EXPECT_EQ(slider.value(), 0);
    dragTo(slider, QPoint(10, 25));
    EXPECT_TRUE(slider.isMoved());
    EXPECT_EQ(slider.value(), 75);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(slider.value(), 90);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(10, 50));
    EXPECT_FALSE(slider.isMoved());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&slider, &leave);
    EXPECT_FALSE(slider.isHovered());
}

TEST(KSliderTime, Screen)
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* time = new KSliderTime(Qt::Horizontal, &window);
    time->setRange(0, 300);
    time->setValue(120);
    time->setMinimumWidth(200);
    auto* volume = new KSliderVol(Qt::Vertical, &window);
    volume->setRange(-240, 60);
    volume->setValue(0);
    volume->setFixedHeight(120);
    layout->addWidget(time);
    layout->addWidget(volume);
    grabScreen(window, "kit_sliders");
    EXPECT_TRUE(pictureCheck::showsWhole(window, {time, volume}));
    EXPECT_GE(time->width(), 200);
    EXPECT_EQ(volume->height(), 120);
    EXPECT_EQ(time->value(), 120);
    EXPECT_EQ(volume->value(), 0);
}
