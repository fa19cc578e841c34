#include "PanoramisationUi.h"

#include "../widgets/WidgetTestEnv.h"

#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <cmath>

TEST(PanoramisationUi, ReadoutTruncatesThePanToWholeSteps)
{
    PanoramisationUi pan;
    EXPECT_EQ("PanoramisationUiClass", pan.objectName());
    EXPECT_EQ("C", pan.label()->text());
    struct Case { double pan; int slider; const char* text; };
    const Case cases[] = {{0.005, 0, "C"},    {-1.0, -100, "L"}, {0.42, 42, "R42"},
                          {-0.99, -99, "L99"}, {1.0, 100, "R"},  {-0.019, -1, "L1"}};
    QSignalSpy moved(&pan, &PanoramisationUi::panoValueChanged);
    for (const Case& c : cases) {
        pan.setValuePano(c.pan);
        EXPECT_EQ(c.slider, pan.slider()->value()) << c.pan;
        EXPECT_EQ(c.text, pan.label()->text()) << c.pan;
    }
    pan.setValuePano(std::nan(""));
    EXPECT_EQ(-100, pan.slider()->value());
    EXPECT_EQ(-1, pan.getValue());
    pan.setValuePano(5.0);
    EXPECT_EQ("R", pan.label()->text());
    EXPECT_EQ(0, moved.count()); // shown values are not reported
    pan.setValuePano(-0.5);
    EXPECT_EQ(0, pan.getValue());
    pan.setValuePano(1.0);
    EXPECT_EQ(1, pan.getValue());
}

TEST(PanoramisationUi, SliderMovesAreReportedAsPans)
{
    PanoramisationUi pan;
    pan.show();
    QSignalSpy moved(&pan, &PanoramisationUi::panoValueChanged);
    pan.slider()->setFocus();
    QTest::keyClick(pan.slider(), Qt::Key_Left);
    ASSERT_EQ(1, moved.count());
    EXPECT_DOUBLE_EQ(-0.01, moved[0][0].toDouble());
    EXPECT_EQ("L1", pan.label()->text());
    // Every position stays where the user put it, although 0.29 * 100 truncates to 28.
    for (int v : {29, 57, -29, 58}) {
        pan.slider()->setValue(v);
        EXPECT_EQ(v, pan.slider()->value());
        EXPECT_DOUBLE_EQ(v / 100.0, moved.last()[0].toDouble());
    }
    EXPECT_EQ(5, moved.count());
    QTest::keyClick(pan.slider(), Qt::Key_PageUp);
    EXPECT_EQ(QString("R%1").arg(pan.slider()->value()), pan.label()->text());
    EXPECT_DOUBLE_EQ(pan.slider()->value() / 100.0, moved.last()[0].toDouble());
}

TEST(PanoramisationUi, ExportChoiceIsHiddenUntilAModeIsSet)
{
    PanoramisationUi pan;
    pan.show();
    EXPECT_FALSE(pan.monoButton()->isVisible());
    EXPECT_FALSE(pan.stereoButton()->isVisible());
    QSignalSpy stereo(&pan, &PanoramisationUi::modeStereo);
    pan.setMode(PanoramisationUi::Stereo);
    EXPECT_TRUE(pan.monoButton()->isVisible());
    EXPECT_EQ(1, pan.getChannel());
    pan.monoButton()->click();
    ASSERT_EQ(1, stereo.count());
    EXPECT_FALSE(stereo[0][0].toBool());
    EXPECT_EQ(0, pan.getChannel());
    pan.stereoButton()->click();
    EXPECT_TRUE(stereo.last()[0].toBool());
    pan.setMode(PanoramisationUi::Mono);
    EXPECT_EQ(0, pan.getChannel());
    EXPECT_FALSE(pan.stereoButton()->isEnabled());
    pan.setValuePano(-0.35);
    grabScreen(pan, "panoramisation");
}
