// The strip row and its channel strips on a real document: values shown and typed, limits and
// lock modes, mute and solo, meters, and strips added, moved and removed.
#include "ConsoleFixture.h"

#include "KButton.h"
#include "KSlider.h"
#include "KSliderMax.h"
#include "KSliderMin.h"
#include "KSliderVol.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"
#include "KVolumeWdg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString Rule = QStringLiteral("__UnusefullGrp__R");

void type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

class VolumeUI : public ConsoleTest
{
protected:
    // A rule-editing console with t1 and t2 as members.
    KVolumeUI* ruleRow()
    {
        console = std::make_unique<KSuperUI>(&doc, 184, KVirtualUI::RuleEdit);
        console->newRule_slot(Rule, QStringLiteral("d"));
        console->selectItem({"t2", "t1"});
        console->show();
        return console->row();
    }
    // A live-mix console with every track playing.
    KVolumeUI* liveRow()
    {
        doc.setEltsStatus(true, false);
        console = std::make_unique<KSuperUI>(&doc, 186, KVirtualUI::LiveMix);
        console->setLevel(1);
        console->show();
        return console->row();
    }
    std::unique_ptr<KSuperUI> console;
};
}

TEST_F(VolumeUI, LevelsShownFromOutsideGoNowhere)
{
    KVolumeUI* row = liveRow();
    ASSERT_EQ(row->getListElt(), QStringList({"t1", "t2", "t3"}));
    KVolumeWdg* strip = row->strip("t1");
    QSignalSpy levels(&doc, &KCtrlFile::levelChanged);
    const int before = doc.getElementLevel("t1");

    row->setVolume("t1", -35);
    EXPECT_EQ(strip->levelEdit()->text(), "-7.0");
    EXPECT_EQ(strip->fader()->value(), -35);
    row->setVolume("t1", 61);
    EXPECT_EQ(strip->fader()->value(), -35);
    row->setVolume("t1", before); // the same value as the fader's: still nothing sent
    EXPECT_EQ(levels.count(), 0);
    EXPECT_EQ(doc.getElementLevel("t1"), before);

    // The next user step reaches the document.
    strip->fader()->setValue(-60);
    EXPECT_EQ(doc.getElementLevel("t1"), -60);
}

TEST_F(VolumeUI, TypedLevelAndPanReachTheDocument)
{
    KVolumeUI* row = liveRow();
    KVolumeWdg* strip = row->strip("t2");
    type(strip->levelEdit(), "-7");
    EXPECT_EQ(doc.getElementLevel("t2"), -35);
    EXPECT_EQ(strip->fader()->value(), -35);
    EXPECT_EQ(strip->levelEdit()->text(), "-7.0");
    type(strip->levelEdit(), "13");
    EXPECT_EQ(doc.getElementLevel("t2"), 60);
    EXPECT_EQ(strip->levelEdit()->text(), "12.0");

    type(strip->panEdit(), "L7");
    EXPECT_EQ(strip->panSlider()->value(), -7);
    EXPECT_DOUBLE_EQ(doc.getPan("t2"), -0.07);
    strip->panSlider()->setValue(100);
    EXPECT_EQ(strip->panEdit()->text(), "R");
    EXPECT_DOUBLE_EQ(doc.getPan("t2"), 1.0);
}

TEST_F(VolumeUI, StoredPanIsShownUnchangedAndNotWrittenBack)
{
    doc.setPan("t1", 0.29);
    KVolumeUI* row = liveRow();
    EXPECT_EQ(row->strip("t1")->panEdit()->text(), "R29");
    EXPECT_EQ(row->strip("t1")->panSlider()->value(), 29);
    EXPECT_DOUBLE_EQ(doc.getPan("t1"), 0.29);
}

TEST_F(VolumeUI, MinimumHandlePushesMaximumAndLevel)
{
    KVolumeUI* row = ruleRow();
    KVolumeWdg* strip = row->strip("t1");
    strip->maxHandle()->setValue(10);
    strip->setMax();
    ASSERT_EQ(doc.getMaxEltLevel("t1"), 10);
    strip->fader()->setValue(0);
    ASSERT_EQ(doc.getElementLevel("t1"), 0);

    strip->minHandle()->setValue(20);
    strip->setMin();
    EXPECT_EQ(strip->maxHandle()->value(), 20);
    EXPECT_EQ(strip->fader()->value(), 20);
    EXPECT_EQ(doc.getMinEltLevel("t1"), 20);
    EXPECT_EQ(doc.getMaxEltLevel("t1"), 20);
    EXPECT_EQ(doc.getElementLevel("t1"), 20);
    EXPECT_TRUE(console->isModified());
}

TEST_F(VolumeUI, LockModesSetAndReleaseTheLimits)
{
    KVolumeUI* row = ruleRow();
    KVolumeWdg* strip = row->strip("t2");
    strip->fader()->setValue(-30);
    QButtonGroup* modes = strip->lockModes();
    ASSERT_NE(modes, nullptr);

    modes->button(2)->click(); // locked at the level
    EXPECT_EQ(doc.getMinEltLevel("t2"), -30);
    EXPECT_EQ(doc.getMaxEltLevel("t2"), -30);
    modes->button(1)->click(); // linked: limits released, member of the equivalence
    EXPECT_EQ(doc.getMinEltLevel("t2"), -240);
    EXPECT_EQ(doc.getMaxEltLevel("t2"), 60);
    EXPECT_TRUE(doc.isUnderEquivConst("t2", Rule));

    strip->minHandle()->setValue(-100);
    strip->setMin();
    modes->button(0)->click(); // unequal limits stay
    EXPECT_EQ(doc.getMinEltLevel("t2"), -100);
    EXPECT_EQ(doc.getMaxEltLevel("t2"), 60);
    EXPECT_FALSE(doc.isUnderEquivConst("t2", Rule));
}

TEST_F(VolumeUI, LockModeLabelsAreWholeAndClearOfTheRemoveButton)
{
    KVolumeWdg* strip = ruleRow()->strip("t2");
    const QRect remove = strip->removeButton()->geometry();
    for (QAbstractButton* radio : strip->lockModes()->buttons()) {
        const std::string text = radio->text().toStdString();
        EXPECT_TRUE(strip->rect().contains(radio->geometry())) << text;
        EXPECT_FALSE(radio->geometry().intersects(remove)) << text;
        EXPECT_GE(radio->width(), radio->sizeHint().width()) << text;
        EXPECT_GE(radio->height(), radio->fontMetrics().height()) << text;
    }
}

TEST_F(VolumeUI, MuteAndSoloExcludeEachOther)
{
    KVolumeUI* row = liveRow();
    KVolumeWdg* strip = row->strip("t3");
    strip->soloButton()->click();
    EXPECT_TRUE(doc.getEltSolo("t3"));
    strip->muteButton()->click();
    EXPECT_TRUE(doc.getEltMute("t3"));
    EXPECT_FALSE(doc.getEltSolo("t3"));
    EXPECT_TRUE(strip->muteButton()->isChecked());
    EXPECT_FALSE(strip->soloButton()->isChecked());
}

TEST_F(VolumeUI, MetersShowOnlyTheirOwnElement)
{
    KVolumeUI* row = liveRow();
    QMap<QString, QList<double>> meters;
    meters.insert("t1", {-30.7, -60.2});
    meters.insert("G1", {10, 10});
    meters.insert("nosuch", {0, 0});
    meters.insert("t2", {});
    row->setJauge(meters);
    EXPECT_EQ(row->strip("t1")->meterLeft()->value(), -30);
    EXPECT_EQ(row->strip("t1")->meterRight()->value(), -60);
    EXPECT_EQ(row->strip("t2")->meterLeft()->value(), -240);
    EXPECT_EQ(row->strip("t3")->meterLeft()->value(), -240);
}

TEST_F(VolumeUI, LiveUpdatesFollowPlayStatus)
{
    KVolumeUI* row = liveRow();
    doc.setEltStatus("t1", false, false);
    doc.setEltStatus("t3", false, false);
    QMap<QString, KVirtualUI::KStructVol> records;
    for (const char* name : {"t1", "t2", "t3"})
        records.insert(name, KVirtualUI::KStructVol());
    // t1 stops, t2 keeps playing and keeps its strip, t3 stops: every name is handled.
    row->switchWidgets(records, false, 0, -1);
    EXPECT_EQ(row->getListElt(), QStringList({"t2"}));
    doc.setEltStatus("t3", true, false);
    row->switchWidgets(records, false, 0, -1);
    EXPECT_EQ(row->getListElt(), QStringList({"t3", "t2"}));
}

TEST_F(VolumeUI, DropsAddAndMoveStripsAtTheirColumn)
{
    KVolumeUI* row = ruleRow();
    ASSERT_EQ(row->getListElt(), QStringList({"t1", "t2"}));
    QSignalSpy added(row, &KVolumeUI::addedElementWidget);
    QMap<QString, KVirtualUI::KStructVol> t3;
    t3.insert("t3", KVirtualUI::KStructVol());
    row->switchWidgets(t3, true, -1, 95); // column 1
    EXPECT_EQ(row->getListElt(), QStringList({"t1", "t3", "t2"}));
    EXPECT_EQ(added.count(), 1);
    EXPECT_TRUE(doc.isPlay("t3"));

    // A strip moves from its own column, whatever the entry point, and never past the end.
    QMap<QString, KVirtualUI::KStructVol> t1;
    t1.insert("t1", KVirtualUI::KStructVol());
    row->switchWidgets(t1, true, 500, 10 * 90);
    EXPECT_EQ(row->getListElt(), QStringList({"t3", "t2", "t1"}));
    row->switchWidgets(t1, true, 0, 0);
    EXPECT_EQ(row->getListElt(), QStringList({"t1", "t3", "t2"}));
}

TEST_F(VolumeUI, RemovingTheLastStripStopsThePlayer)
{
    KVolumeUI* row = ruleRow();
    QSignalSpy removed(row, &KVolumeUI::removedElementWidget);
    QSignalSpy stop(console.get(), &KSuperUI::mustStopPlayer);
    row->strip("t1")->removeButton()->click();
    row->strip("t2")->closeWdg();
    ASSERT_EQ(removed.count(), 2);
    EXPECT_EQ(removed.at(0).at(1).toInt(), 1);
    EXPECT_EQ(removed.at(1).at(0).toString(), "t2");
    EXPECT_EQ(removed.at(1).at(1).toInt(), 0);
    EXPECT_EQ(stop.count(), 1);
    EXPECT_EQ(row->getNbElt(), 0);
    EXPECT_FALSE(doc.isPlay("t2"));
    EXPECT_TRUE(doc.getSubElt(Rule).isEmpty());
}

TEST_F(VolumeUI, ZoomShowsAGroupsChildrenAndCloses)
{
    KVolumeUI* row = liveRow();
    row->zoom("G1");
    ASSERT_NE(row->zoomedRow(), nullptr);
    EXPECT_EQ(row->zoomedRow()->getListElt(), QStringList({"t1", "t2"}));
    row->setVolume("t2", -50);
    EXPECT_EQ(row->zoomedRow()->strip("t2")->fader()->value(), -50);
    row->zoomedRow()->strip("t1")->fader()->setValue(-20);
    EXPECT_EQ(doc.getElementLevel("t1"), -20);
    row->closeMePlease();
    EXPECT_EQ(row->zoomedRow(), nullptr);
}
