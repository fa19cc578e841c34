// The console's slider styles, limit handles, LED meter, tab style and item delegate.
#include "KJauge.h"
#include "KSlider.h"
#include "KSliderMax.h"
#include "KSliderMin.h"
#include "KStyleJaugeStereo.h"
#include "KStyleMax.h"
#include "KStyleMin.h"
#include "KStylePano.h"
#include "KStyleSlider.h"
#include "KStyleTab.h"
#include "KStyleVol.h"
#include "SncItemDeleg.h"

#include "../widgets/WidgetTestEnv.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionSlider>

namespace {
QStyleOptionSlider sliderOption(Qt::Orientation orientation, QSize size,
                                QSlider::TickPosition ticks = QSlider::NoTicks)
{
    QStyleOptionSlider option;
    option.orientation = orientation;
    option.rect = QRect(QPoint(0, 0), size);
    option.tickPosition = ticks;
    option.minimum = -240;
    option.maximum = 60;
    option.sliderPosition = 0;
    option.subControls = QStyle::SC_All;
    return option;
}

QImage shown(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void enter(QWidget& widget, bool in)
{
    if (in) {
        QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(&widget, &event);
    } else {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(&widget, &event);
    }
}
}

TEST(SliderStyles, HandleLengthsFollowStyleAndOrientation)
{
    struct Case {
        QStyle* style;
        Qt::Orientation orientation;
        int length;
    };
    const Case cases[] = {
        {KStyleSlider::shared(), Qt::Horizontal, 14}, {KStyleSlider::shared(), Qt::Vertical, 10},
        {KStyleVol::shared(), Qt::Horizontal, 14},    {KStyleVol::shared(), Qt::Vertical, 10},
        {KStyleMax::shared(), Qt::Vertical, 8},       {KStyleMin::shared(), Qt::Vertical, 8},
        {KStylePano::shared(), Qt::Horizontal, 2},
    };
    for (const Case& c : cases) {
        const QStyleOptionSlider option = sliderOption(c.orientation, QSize(20, 184));
        EXPECT_EQ(c.style->pixelMetric(QStyle::PM_SliderLength, &option), c.length);
        const QRect handle =
            c.style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle);
        EXPECT_EQ(c.orientation == Qt::Horizontal ? handle.width() : handle.height(), c.length);
    }
    // Without an option (size hints, style-sheet proxies) the widget gives the orientation.
    QSlider vertical(Qt::Vertical);
    EXPECT_EQ(KStyleSlider::shared()->pixelMetric(QStyle::PM_SliderLength, nullptr, &vertical), 10);
    EXPECT_EQ(KStyleSlider::shared()->pixelMetric(QStyle::PM_SliderLength), 14);
    EXPECT_EQ(KStyleSlider::shared()->pixelMetric(QStyle::PM_SliderControlThickness), 0);
}

TEST(SliderStyles, ThicknessTickOffsetAndRectangles)
{
    QStyle* style = KStyleSlider::shared();
    struct Case {
        QSlider::TickPosition ticks;
        int thickness;
        int offset;
    };
    // Horizontal, 20 pixels high: space 20, handle length 14.
    const Case cases[] = {
        {QSlider::NoTicks, 20, 0},
        {QSlider::TicksBothSides, 6 + 2 * 14 / 4, (20 - 13) / 2},
        {QSlider::TicksAbove, 9 + 2 * 11 / 3, 20 - 16},
        {QSlider::TicksBelow, 9 + 2 * 11 / 3, 0},
    };
    for (const Case& c : cases) {
        const QStyleOptionSlider option = sliderOption(Qt::Horizontal, QSize(200, 20), c.ticks);
        EXPECT_EQ(style->pixelMetric(QStyle::PM_SliderControlThickness, &option), c.thickness);
        EXPECT_EQ(style->pixelMetric(QStyle::PM_SliderTickmarkOffset, &option), c.offset);
        EXPECT_EQ(style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove),
                  QRect(0, c.offset, 200, c.thickness));
    }
    // Level 0 of -240..60 on a 200-pixel slider with a 14-pixel handle: 186 * 240 / 300.
    QStyleOptionSlider option = sliderOption(Qt::Horizontal, QSize(200, 20));
    EXPECT_EQ(style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle),
              QRect(QStyle::sliderPositionFromValue(-240, 60, 0, 186), 0, 14, 20));
    EXPECT_TRUE(style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderTickmarks)
                    .isEmpty());
    EXPECT_TRUE(style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove)
                    .isEmpty());
}

TEST(SliderStyles, HandlePictureFollowsHoverOfKSliderOnly)
{
    const QImage handle = QPixmap(":/Sliders/Handle").toImage();
    const QImage over = QPixmap(":/Sliders/HandleOver").toImage();
    ASSERT_FALSE(handle.isNull());
    ASSERT_NE(handle.pixel(6, 2), over.pixel(6, 2));

    KSlider fader(Qt::Vertical);
    QSlider plain(Qt::Vertical);
    for (QSlider* slider : {static_cast<QSlider*>(&fader), &plain}) {
        slider->setStyle(KStyleSlider::shared());
        slider->setRange(-240, 60);
        slider->setValue(60); // handle at the top: rows 0..9, picture at x 4
        slider->resize(20, 184);
    }
    EXPECT_EQ(shown(fader).pixel(4 + 6, 2), handle.pixel(6, 2));
    enter(fader, true);
    EXPECT_TRUE(fader.isHovered());
    EXPECT_EQ(shown(fader).pixel(4 + 6, 2), over.pixel(6, 2));
    enter(fader, false);
    EXPECT_EQ(shown(fader).pixel(4 + 6, 2), handle.pixel(6, 2));

    enter(plain, true);
    EXPECT_EQ(shown(plain).pixel(4 + 6, 2), handle.pixel(6, 2));
}

TEST(SliderStyles, PanHandleIsABlueBar)
{
    KSlider pan(Qt::Horizontal);
    pan.setStyle(KStylePano::shared());
    pan.setRange(-100, 100);
    pan.setValue(0);
    pan.resize(45, 17);
    QStyleOptionSlider option = sliderOption(Qt::Horizontal, QSize(45, 17));
    option.minimum = -100;
    option.maximum = 100;
    const QRect h = KStylePano::shared()->subControlRect(QStyle::CC_Slider, &option,
                                                        QStyle::SC_SliderHandle);
    const QImage image = shown(pan);
    EXPECT_EQ(QColor(image.pixel(h.x(), h.y() + 2)), QColor(0, 153, 204));
    EXPECT_EQ(QColor(image.pixel(h.x() + 1, h.y() + 16)), QColor(0, 153, 204));
}

TEST(SliderStyles, MeterIsDarkAtSilenceAndLitAtFullLevel)
{
    QSlider meter(Qt::Vertical);
    meter.setStyle(KStyleJaugeStereo::shared());
    meter.setRange(-240, 60);
    meter.setEnabled(false);
    meter.resize(13, 202);
    const auto litPixels = [&]() {
        const QImage image = shown(meter);
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 3; x < 10; ++x)
                count += qGreen(image.pixel(x, y)) > 150 || qRed(image.pixel(x, y)) > 150;
        return count;
    };
    meter.setValue(-240);
    EXPECT_EQ(litPixels(), 0);
    meter.setValue(-120);
    const int half = litPixels();
    meter.setValue(60);
    const int full = litPixels();
    EXPECT_GT(half, 0);
    EXPECT_GT(full, half);
}

TEST(SliderStyles, LimitHandlesMapOntoTheLevelRange)
{
    KSliderMax max;
    KSliderMin min;
    for (KSliderLimit* handle : {static_cast<KSliderLimit*>(&max), static_cast<KSliderLimit*>(&min)}) {
        handle->setRange(-240, 60);
        EXPECT_DOUBLE_EQ(handle->valueToCB(-240), -240.0);
        EXPECT_DOUBLE_EQ(handle->valueToCB(60), 60.0);
        EXPECT_DOUBLE_EQ(handle->valueToCB(0), 0.0);
        handle->setRange(0, 100);
        EXPECT_DOUBLE_EQ(handle->valueToCB(50), -90.0);
        handle->setRange(5, 5); // an empty range must not divide by zero
        EXPECT_DOUBLE_EQ(handle->valueToCB(5), -240.0);
    }
}

TEST(SliderStyles, LedColumnLightsUpToItsValue)
{
    KJauge jauge;
    jauge.setRange(0, 100);
    jauge.resize(3, 150); // 10 segments, tops at 140, 125, ... 5
    jauge.setValue(0);
    QImage image = shown(jauge);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(QColor(image.pixel(1, 150 - 10 - 15 * i + 5)), QColor(Qt::black)) << i;

    jauge.setValue(100);
    image = shown(jauge);
    EXPECT_EQ(QColor(image.pixel(1, 145)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(image.pixel(1, 10)), QColor(248, 255, 0));

    // 20 segments: green at the bottom, red at the top; half the value lights half of them.
    jauge.resize(3, 300);
    image = shown(jauge);
    EXPECT_EQ(QColor(image.pixel(1, 295)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(image.pixel(1, 10)), QColor(255, 170, 0));
    jauge.setValue(50);
    image = shown(jauge);
    EXPECT_NE(QColor(image.pixel(1, 160)), QColor(Qt::black));
    EXPECT_EQ(QColor(image.pixel(1, 145)), QColor(Qt::black));

    // Columns shorter than two segments and empty ranges paint without dividing by zero.
    jauge.resize(3, 20);
    shown(jauge);
    jauge.setRange(0, 0);
    shown(jauge);
}

TEST(SliderStyles, TabStyleKeepsACurrentTabWithinItsPictures)
{
    KStyleTab style;
    EXPECT_EQ(style.currentTab(), -1);
    style.setCurrentTab(0);
    EXPECT_EQ(style.currentTab(), -1);
    style.setPixmaps({QPixmap(4, 4), QPixmap(4, 4)});
    style.setCurrentTab(1);
    EXPECT_EQ(style.currentTab(), 1);
    style.setCurrentTab(2);
    EXPECT_EQ(style.currentTab(), -1);
}

TEST(SliderStyles, DelegateRowsAre20PixelsAndUnderlined)
{
    QStandardItemModel model(1, 1);
    model.setItem(0, 0, new QStandardItem(QStringLiteral("Piste")));
    SncItemDeleg delegate;
    EXPECT_FALSE(delegate.lineColor().isValid());
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 100, 20);
    option.font.setPointSize(40);
    EXPECT_EQ(delegate.sizeHint(option, model.index(0, 0)).height(), 20);

    delegate.setLineColor(QColor(255, 0, 0));
    QImage image(100, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    option.font = QFont();
    delegate.paint(&painter, option, model.index(0, 0));
    painter.end();
    EXPECT_EQ(QColor(image.pixel(0, 19)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(image.pixel(99, 19)), QColor(255, 0, 0));
}
