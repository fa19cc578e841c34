// The strips' level meter: drawn as the meter style draws it, repainting only the rows a level
// change touches, and holding its peak about 1.5 s before the peak line falls.
#include "KMeter.h"
#include "KStyleJaugeStereo.h"

#include "../widgets/WidgetTestEnv.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTest>

namespace {
QImage shown(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// What the meter style draws for a plain slider at a level.
QImage styleDrawn(int level)
{
    QSlider slider(Qt::Vertical);
    slider.setStyle(KStyleJaugeStereo::shared());
    slider.setRange(-240, 60);
    slider.setEnabled(false);
    slider.resize(13, 202);
    slider.setValue(level);
    return shown(slider);
}

// Rows of `image` that differ from `other`.
QList<int> rowsDiffering(const QImage& image, const QImage& other)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != other.pixel(x, y)) {
                rows << y;
                break;
            }
    return rows;
}

// A meter with a clock the test moves.
struct ClockedMeter
{
    qint64 time = 0;
    KMeter meter;
    ClockedMeter()
    {
        KMeter::setClock([this] { return time; });
        meter.setEnabled(false);
        meter.resize(13, 202);
    }
    ~ClockedMeter() { KMeter::setClock({}); }
    void at(qint64 ms, int level)
    {
        time = ms;
        meter.setLevel(level);
    }
};

// Records the areas painted while a meter is shown.
class PaintRecorder : public QObject
{
public:
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};
}

TEST(Meter, LevelsRisingDrawAsTheStyleDraws)
{
    ClockedMeter clocked;
    // Rising levels: the peak line stays on the top of the lit bar, where it adds nothing.
    for (int level : {-240, -200, -120, -60, -1, 0, 30, 60}) {
        SCOPED_TRACE(level);
        clocked.at(0, level);
        EXPECT_EQ(shown(clocked.meter), styleDrawn(level));
    }
}

TEST(Meter, ALevelChangeRepaintsOnlyTheRowsBetweenTheLevels)
{
    QWidget window; // before the meter, so that the meter goes first
    ClockedMeter clocked;
    clocked.meter.setParent(&window);
    window.resize(40, 220);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    clocked.at(0, -120);
    QApplication::processEvents();

    PaintRecorder recorder;
    clocked.meter.installEventFilter(&recorder);
    QImage onScreen = shown(clocked.meter);
    // Each change repaints some rows; painting just those rows over what was shown must give
    // the whole meter as it now is (falling levels included, with the peak line held).
    struct Step { qint64 ms; int level; };
    const Step steps[] = {{10, -100}, {20, -110}, {30, -110}, {40, -200}, {50, 40}, {60, -30}, {2000, -30}, {5000, -240}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.level);
        recorder.painted = QRegion();
        clocked.at(step.ms, step.level);
        QApplication::processEvents();
        const QRegion painted = recorder.painted;
        const QImage now = shown(clocked.meter);
        QPainter painter(&onScreen);
        for (const QRect& rect : painted)
            painter.drawImage(rect.topLeft(), now.copy(rect));
        painter.end();
        EXPECT_EQ(onScreen, now);
        EXPECT_LT(painted.boundingRect().height(), 202);
    }
    // The same level again repaints nothing.
    recorder.painted = QRegion();
    clocked.at(5010, -240);
    QApplication::processEvents();
    EXPECT_TRUE(recorder.painted.isEmpty());
    // A small change repaints a few rows, not the meter.
    clocked.at(5020, -100);
    QApplication::processEvents();
    recorder.painted = QRegion();
    clocked.at(5030, -98);
    QApplication::processEvents();
    EXPECT_LE(recorder.painted.boundingRect().height(), 6);
}

TEST(Meter, PeakIsHeldThenFalls)
{
    ClockedMeter clocked;
    clocked.at(0, 60);
    const QImage full = shown(clocked.meter);
    clocked.at(100, -240);
    // Held: the line at the top of the meter, in the colour of that level.
    for (qint64 ms : {100, 800, 1500}) {
        SCOPED_TRACE(ms);
        clocked.at(ms, -240);
        EXPECT_EQ(clocked.meter.peak(), 60);
        const QImage image = shown(clocked.meter);
        EXPECT_EQ(rowsDiffering(image, styleDrawn(-240)), (QList<int>{2, 3}));
        EXPECT_EQ(image.pixel(6, 2), full.pixel(6, 2));
    }
    // Then falling, without new levels, until it reaches the level.
    clocked.time = 1500 + 1000;
    KMeter::advanceAll();
    EXPECT_LT(clocked.meter.peak(), 60);
    EXPECT_GT(clocked.meter.peak(), -240);
    clocked.time = 1500 + 60000;
    KMeter::advanceAll();
    EXPECT_EQ(clocked.meter.peak(), -240);
    EXPECT_EQ(shown(clocked.meter), styleDrawn(-240));

    // A new higher level takes the line up at once and starts a new hold.
    clocked.at(70000, -120);
    clocked.at(70010, -200);
    clocked.at(71400, -200);
    EXPECT_EQ(clocked.meter.peak(), -120);
    clocked.at(71000 + 1500 + 400, -200);
    EXPECT_LT(clocked.meter.peak(), -120);
}

TEST(Meter, PeakFallsSteadilyFromWhereItWasHeld)
{
    ClockedMeter clocked;
    clocked.at(0, 60);
    clocked.at(100, -240);
    // Falling 150 units a second from the held 60 once 1.5 s have passed, however often the
    // line is moved meanwhile.
    struct Step { qint64 ms; int peak; };
    for (const Step& step : {Step{1700, 30}, Step{1900, 0}, Step{2100, -30}, Step{2500, -90}}) {
        SCOPED_TRACE(step.ms);
        clocked.time = step.ms;
        KMeter::advanceAll();
        EXPECT_EQ(clocked.meter.peak(), step.peak);
    }
}

TEST(Meter, ALevelBackAtItsPeakHoldsItFromThen)
{
    ClockedMeter clocked;
    clocked.at(0, 60);
    clocked.at(100, -240);
    // Back at the peak at 200 ms: the line stands on the level and is held from then, whatever
    // the fall of other meters does meanwhile.
    clocked.at(200, 60);
    clocked.time = 1000;
    KMeter::advanceAll();
    clocked.at(1100, -240);
    clocked.time = 2000; // 300 ms of falling from 60
    KMeter::advanceAll();
    EXPECT_EQ(clocked.meter.peak(), 15);
}
