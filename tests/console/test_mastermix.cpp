// The master strip: typed level and pan, values shown from outside, and what it reports.
#include "KLevelText.h"
#include "KMasterMix.h"
#include "KSlider.h"

#include "KButton.h"

#include "../widgets/WidgetTestEnv.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {
void type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}
}

TEST(MasterMix, TypedLevelMovesTheFaderAndReportsIt)
{
    KMasterMix master(nullptr);
    master.show();
    EXPECT_EQ("0.0", master.levelEdit()->text()); // read as a strip reads its level
    QSignalSpy levels(&master, &KMasterMix::masterValueChanged);
    const std::pair<const char*, int> cases[] = {{"12.5", 60}, {"-50", -240}, {"0.05", 0}, {"-7", -35}, {"-6", -30}};
    for (const auto& [text, level] : cases) {
        levels.clear();
        type(master.levelEdit(), QString::fromLatin1(text));
        EXPECT_EQ(master.fader()->value(), level) << text;
        EXPECT_EQ(master.levelEdit()->text(), KLevelText::levelText(level)) << text;
        ASSERT_EQ(levels.count(), 1) << text;
        EXPECT_EQ(levels.at(0).at(0).toInt(), level);
    }
    // The fader's bottom is silence, and reads so; the widest readout fits the field whole.
    master.fader()->setValue(-240);
    EXPECT_EQ(master.levelEdit()->text(), "-inf");
    EXPECT_LE(master.levelEdit()->fontMetrics().horizontalAdvance("-48.0"), master.levelEdit()->width() - 4);
    // Dragging the fader writes the text.
    master.fader()->setValue(-120);
    EXPECT_EQ(master.levelEdit()->text(), "-24.1");
}

TEST(MasterMix, TypedPanMovesTheSliderAndReportsIt)
{
    KMasterMix master(nullptr);
    master.show();
    QSignalSpy pans(&master, &KMasterMix::panoValueChanged);
    type(master.panEdit(), QStringLiteral("L50"));
    EXPECT_EQ(master.panSlider()->value(), -50);
    ASSERT_EQ(pans.count(), 1);
    EXPECT_DOUBLE_EQ(pans.at(0).at(0).toDouble(), -0.5);
    master.panSlider()->setValue(100);
    EXPECT_EQ(master.panEdit()->text(), "R");
    EXPECT_DOUBLE_EQ(pans.last().at(0).toDouble(), 1.0);
}

TEST(MasterMix, OutsideValuesAreShownWithoutBeingReportedBack)
{
    KMasterMix master(nullptr);
    QSignalSpy levels(&master, &KMasterMix::masterValueChanged);
    QSignalSpy pans(&master, &KMasterMix::panoValueChanged);
    master.applyMasterValues(-0.5, -30);
    EXPECT_EQ(master.panEdit()->text(), "L50");
    EXPECT_EQ(master.levelEdit()->text(), "-6.0");
    EXPECT_EQ(master.fader()->value(), -30);
    master.applyMasterValues(0.29, 0);
    EXPECT_EQ(master.panEdit()->text(), "R29");
    EXPECT_EQ(master.panSlider()->value(), 29);
    master.applyMasterValues(std::nan(""), 10000);
    EXPECT_EQ(master.panEdit()->text(), "C");
    EXPECT_EQ(master.fader()->value(), 60);
    EXPECT_EQ(levels.count(), 0);
    EXPECT_EQ(pans.count(), 0);
}

TEST(MasterMix, LooksLikeAMasterStrip)
{
    KMasterMix master(nullptr);
    master.applyMasterValues(-0.2, -45);
    master.meterLeft()->setValue(-30);
    master.meterRight()->setValue(-60);
    EXPECT_TRUE(master.muteButton()->isCheckable());
    grabScreen(master, QStringLiteral("console_master_strip"));
}
