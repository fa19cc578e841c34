// The console on a real document: what it shows at each depth, rule editing with its save
// question, levels through the mix-law solver, master mute, and drops of element names.
#include "ConsoleFixture.h"

#include "KButton.h"
#include "KMasterMix.h"
#include "KRubberBand.h"
#include "KSlider.h"
#include "KSliderVol.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"
#include "KVolumeWdg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString Rule = QStringLiteral("__UnusefullGrp__R");

// Sends a drag entering at x and a drop at x carrying that payload in that format.
bool drop(KSuperUI& console, const QString& format, const QByteArray& payload, int x)
{
    QMimeData data;
    data.setData(format, payload);
    QDragEnterEvent enter(QPoint(x, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&console, &enter);
    QDropEvent dropped(QPointF(x, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(&console, &dropped);
    QApplication::processEvents();
    return enter.isAccepted();
}

bool dropNames(KSuperUI& console, const QString& names, int x = 10)
{
    return drop(console, QStringLiteral("Tovra/eltNames"), names.toUtf8(), x);
}

using Console = ConsoleTest;
}

TEST_F(Console, ShowsThePlayingElementsOfADepth)
{
    doc.setEltsStatus(true, false);
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    EXPECT_EQ(console.row()->getListElt(), QStringList({"G1", "G2"}));
    console.setLevel(1);
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t1", "t2", "t3"}));
    // A depth with no elements shows the tracks of every shallower depth.
    console.setLevel(5);
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t1", "t2", "t3"}));
    doc.setEltStatus("t2", false, false);
    console.setLevel(1);
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t1", "t3"}));

    // Depth stays within the tree whatever the buttons' slots are asked.
    console.moveUp();
    EXPECT_EQ(console.depth(), 0);
    console.moveDown();
    console.moveDown();
    console.moveDown();
    EXPECT_EQ(console.depth(), 1);
    console.resetUI();
    EXPECT_EQ(console.depth(), 1);
}

TEST_F(Console, LiveMixFollowsPlayStatusAndReportsChanges)
{
    doc.setEltsStatus(true, false);
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    console.setLevel(1);
    console.activeExternConnections(true);
    QSignalSpy changed(&console, &KSuperUI::changedMix);
    doc.setEltStatus("t3", false, false);
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t1", "t2"}));
    console.row()->strip("t1")->fader()->setValue(-40);
    EXPECT_EQ(doc.getElementLevel("t1"), -40);
    console.row()->strip("t1")->panSlider()->setValue(-20);
    EXPECT_DOUBLE_EQ(doc.getPan("t1"), -0.2);
    EXPECT_EQ(changed.count(), 2);
    // Live mix never accepts a drag.
    EXPECT_FALSE(dropNames(console, "t3"));
    EXPECT_FALSE(console.isModified());
}

TEST_F(Console, AnotherMixKeepsTheStripsOfElementsStillShown)
{
    doc.setEltsStatus(true, false);
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    console.setLevel(1);
    console.activeExternConnections(true);
    KVolumeWdg* t1 = console.row()->strip("t1");
    KVolumeWdg* t3 = console.row()->strip("t3");
    QSignalSpy changed(&console, &KSuperUI::changedMix);

    // Another mix: t1 at another level, pan and mute, t2 silent.
    doc.KObjFile::setEltLevel("t1", -55);
    doc.KObjFile::setPan("t1", 0.5);
    doc.setEltMute("t1", true);
    doc.KObjFile::setEltStatus("t2", false, false);
    console.setLevel(1);
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t1", "t3"}));
    EXPECT_EQ(console.row()->strip("t1"), t1);
    EXPECT_EQ(console.row()->strip("t3"), t3);
    EXPECT_EQ(t1->fader()->value(), -55);
    EXPECT_EQ(t1->panSlider()->value(), 50);
    EXPECT_TRUE(t1->isEltMute());
    // Showing the mix changed nothing in it.
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(doc.getElementLevel("t1"), -55);

    // t2 back: its strip is built in its place, and a kept strip still drives the document.
    doc.KObjFile::setEltStatus("t2", true, false);
    console.setLevel(1);
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t1", "t2", "t3"}));
    EXPECT_EQ(console.row()->strip("t1"), t1);
    t1->fader()->setValue(-30);
    EXPECT_EQ(doc.getElementLevel("t1"), -30);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(Console, RefusedMoveSpringsBackAndSaysNothing)
{
    // t1 and t2 keep equal levels, and t2 is locked at 0: t1 cannot move.
    ASSERT_TRUE(doc.addToEquivConst("t1", ""));
    ASSERT_TRUE(doc.addToEquivConst("t2", ""));
    doc.setEltsStatus(true, false);
    doc.setEltMinLevel("t2", 0);
    doc.setEltMaxLevel("t2", 0);
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    console.setRulesMix(true);
    console.setLevel(1);
    console.activeExternConnections(true);
    QSignalSpy changed(&console, &KSuperUI::changedMix);
    QSignalSpy levels(&doc, &KCtrlFile::levelChanged);
    KVolumeWdg* strip = console.row()->strip("t1");
    strip->fader()->setValue(-60);
    EXPECT_EQ(doc.getElementLevel("t1"), 0);
    EXPECT_EQ(strip->fader()->value(), 0);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(levels.count(), 0);
}

TEST_F(Console, RefusedRuleMoveSpringsBackAndKeepsTheRuleUnchanged)
{
    KSuperUI console(&doc, 184, KVirtualUI::RuleEdit);
    console.activeExternConnections(true);
    console.newRule_slot(Rule, QString());
    dropNames(console, "t1|t2");
    console.saveRule_slot();
    // t1 and t2 keep their proportion, and t2 cannot move.
    ASSERT_TRUE(doc.addToEquivConst("t1", Rule));
    ASSERT_TRUE(doc.addToEquivConst("t2", Rule));
    doc.setEltMinLevel("t2", 0);
    doc.setEltMaxLevel("t2", 0);
    QSignalSpy levels(&doc, &KCtrlFile::levelChanged);
    KVolumeWdg* strip = console.row()->strip("t1");
    const int before = doc.getElementLevel("t1");
    strip->fader()->setValue(before - 60);
    EXPECT_EQ(doc.getElementLevel("t1"), before);
    EXPECT_EQ(strip->fader()->value(), before);
    EXPECT_EQ(levels.count(), 0);
    EXPECT_FALSE(console.isModified());
}

TEST_F(Console, RuleEditingFromDropToSave)
{
    KSuperUI console(&doc, 184, KVirtualUI::RuleEdit);
    console.activeExternConnections(true);
    console.show();
    // No rule yet: the dropped names go out to become one; no strip changes.
    const QStringList before = console.row()->getListElt();
    QSignalSpy withoutRule(&console, &KSuperUI::dropWithoutRule);
    EXPECT_TRUE(dropNames(console, "t1|t2"));
    ASSERT_EQ(withoutRule.count(), 1);
    EXPECT_EQ(withoutRule.at(0).at(0).toStringList(), QStringList({"t1", "t2"}));
    EXPECT_EQ(console.row()->getListElt(), before);

    console.newRule_slot(Rule, QStringLiteral("d"));
    EXPECT_EQ(console.currentRule(), Rule);
    dropNames(console, "t2|t1");
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t1", "t2"}));
    EXPECT_EQ(doc.getSubElt(Rule), QStringList({"t1", "t2"}));
    EXPECT_TRUE(console.isModified());

    // Switching to the current rule asks nothing.
    console.switchRule_slot(Rule);
    EXPECT_TRUE(asked.empty());

    console.row()->strip("t1")->fader()->setValue(-50);
    EXPECT_EQ(doc.getElementLevel("t1"), -50);
    console.saveRule_slot();
    EXPECT_FALSE(console.isModified());
    EXPECT_EQ(doc.getDefEltLevel("t1"), -50);
    EXPECT_EQ(doc.getDefEltLevel("t2"), doc.getElementLevel("t2"));
}

TEST_F(Console, UnsavedChangesAreAskedAboutAndDiscardedOnNo)
{
    KSuperUI console(&doc, 184, KVirtualUI::RuleEdit);
    console.activeExternConnections(true);
    console.newRule_slot(Rule, QString());
    dropNames(console, "t1");
    console.saveRule_slot();
    const int kept = doc.getElementLevel("t1");
    console.row()->strip("t1")->fader()->setValue(kept - 30);
    ASSERT_EQ(doc.getElementLevel("t1"), kept - 30);

    QSignalSpy listUpdate(&console, &KSuperUI::needsRuleListUpdate);
    answers = {QMessageBox::No};
    console.switchRule_slot(QStringLiteral("__UnusefullGrp__Other"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, KPrompt::Warning);
    EXPECT_EQ(asked[0].title, "Enregistrement des modifications");
    EXPECT_EQ(asked[0].text, "Voulez-vous enregistrer les modifications ?");
    EXPECT_EQ(asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(asked[0].defaultButton, QMessageBox::No);
    EXPECT_EQ(listUpdate.count(), 1);
    EXPECT_EQ(doc.getElementLevel("t1"), kept);
}

TEST_F(Console, ATrackOrGroupNameIsNeverEditedAsARule)
{
    KSuperUI console(&doc, 184, KVirtualUI::RuleEdit);
    QSignalSpy stop(&console, &KSuperUI::mustStopPlayer);
    console.newRule_slot(QStringLiteral("G1"), QString());
    console.newRule_slot(QStringLiteral("t1"), QString());
    EXPECT_TRUE(console.currentRule().isEmpty());
    EXPECT_EQ(stop.count(), 0);
    EXPECT_EQ(doc.getSubElt("G1"), QStringList({"t1", "t2"}));
}

TEST_F(Console, LinkedMembersMoveTogetherWithOneSolvePerStep)
{
    KSuperUI console(&doc, 184, KVirtualUI::RuleEdit);
    console.activeExternConnections(true);
    console.newRule_slot(Rule, QString());
    dropNames(console, "t1|t2");
    KVolumeUI* row = console.row();
    row->strip("t1")->lockModes()->button(1)->click();
    row->strip("t2")->lockModes()->button(1)->click();
    console.saveRule_slot();

    QSignalSpy levels(&doc, &KCtrlFile::levelChanged);
    row->strip("t1")->fader()->setValue(-30);
    ASSERT_EQ(levels.count(), 1);
    EXPECT_TRUE(levels.at(0).at(0).toStringList().contains("t2"));
    EXPECT_EQ(row->strip("t2")->fader()->value(), doc.getElementLevel("t2"));
    EXPECT_EQ(doc.getElementLevel("t2"), -30);
    row->strip("t1")->fader()->setValue(-20);
    EXPECT_EQ(levels.count(), 2);
}

TEST_F(Console, MasterMuteFollowsTheStrips)
{
    doc.setEltsStatus(true, false);
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    console.setLevel(1);
    console.master()->fader()->setValue(-10);
    QSignalSpy muted(&console, &KSuperUI::mutedState);
    // The master lights only once the last strip is muted.
    for (const char* name : {"t1", "t2", "t3"}) {
        console.row()->strip(name)->muteButton()->click();
        EXPECT_EQ(console.master()->muteButton()->isChecked(), QString(name) == "t3") << name;
    }
    ASSERT_EQ(muted.count(), 1);
    EXPECT_DOUBLE_EQ(muted.at(0).at(0).toDouble(), -10.0);
    console.row()->strip("t2")->muteButton()->click();
    EXPECT_FALSE(console.master()->muteButton()->isChecked());
    EXPECT_DOUBLE_EQ(muted.last().at(0).toDouble(), -1.0);

    console.master()->muteButton()->click();
    EXPECT_TRUE(doc.getEltMute("t1") && doc.getEltMute("t2") && doc.getEltMute("t3"));
    EXPECT_TRUE(console.row()->isAllMute());
    console.row()->strip("t3")->soloButton()->click();
    console.master()->clearButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !doc.getEltMute("t1"); }, 60000));
    EXPECT_FALSE(doc.getEltSolo("t3"));
    EXPECT_FALSE(console.master()->muteButton()->isChecked());
    EXPECT_DOUBLE_EQ(muted.last().at(0).toDouble(), -1.0);
}

TEST_F(Console, JunkDropsChangeNothing)
{
    KSuperUI console(&doc, 184, KVirtualUI::RuleEdit);
    console.activeExternConnections(true);
    console.newRule_slot(Rule, QString());
    QSignalSpy selected(&console, &KSuperUI::needsSelectItem);
    const QByteArray junk[] = {"", "|", "||||", "nosuch", "__UnvisibleGrp__", "__EquivConst__ROOT",
                               "_cstt_auto_", QByteArray("t\0" "1", 3), "\xff\xfe|", Rule.toUtf8(),
                               QByteArray(1 << 20, 'x')};
    for (const QByteArray& payload : junk) {
        drop(console, QStringLiteral("Tovra/eltNames"), payload, 10);
        drop(console, QStringLiteral("VolumeWdg"), payload, 10);
    }
    EXPECT_EQ(selected.count(), 0);
    EXPECT_EQ(console.row()->getNbElt(), 0);
    // Duplicates and empty parts are dropped, the rest kept.
    dropNames(console, "t1||t1|nosuch|t2|");
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toStringList(), QStringList({"t1", "t2"}));
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t1", "t2"}));
}

TEST_F(Console, StripDragShowsSourceAndTargetAndLeavesNothingBehind)
{
    KSuperUI console(&doc, 184, KVirtualUI::RuleEdit);
    console.activeExternConnections(true);
    console.newRule_slot(Rule, QString());
    dropNames(console, "t1|t2|t3");
    ASSERT_EQ(console.row()->getListElt(), QStringList({"t1", "t2", "t3"}));

    QMimeData data;
    data.setData(QStringLiteral("VolumeWdg"), "t1");
    QDragEnterEvent enter(QPoint(10, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&console, &enter);
    ASSERT_NE(console.sourceMarker(), nullptr);
    EXPECT_EQ(console.sourceMarker()->painted(), QRect(0, 0, 90, 325));
    EXPECT_EQ(console.dropMarker()->painted(), QRect(0, 0, 90, 325));
    EXPECT_EQ(console.dropMarker()->color(), QColor(204, 0, 0, 128));
    QDragLeaveEvent leave;
    QApplication::sendEvent(&console, &leave);
    EXPECT_FALSE(console.dropMarker()->isVisible());

    // The next drag starts afresh: t3 dragged from column 2 to the front.
    drop(console, QStringLiteral("VolumeWdg"), "t3", 200);
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t1", "t2", "t3"}));
    QMimeData moved;
    moved.setData(QStringLiteral("VolumeWdg"), "t3");
    QDragEnterEvent enter3(QPoint(200, 50), Qt::CopyAction | Qt::MoveAction, &moved,
                           Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&console, &enter3);
    QDropEvent dropped(QPointF(5, 50), Qt::CopyAction | Qt::MoveAction, &moved, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(&console, &dropped);
    QApplication::processEvents();
    EXPECT_EQ(console.row()->getListElt(), QStringList({"t3", "t1", "t2"}));
}

TEST_F(Console, LooksLikeAMixingConsole)
{
    doc.setEltsStatus(true, false);
    doc.setPan("t1", -0.4);
    doc.setEltMute("t3", true);
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    console.setLevel(1);
    console.row()->setVolume("t2", -60);
    QMap<QString, QList<double>> meters;
    meters.insert("t1", {-20, -35});
    meters.insert("t2", {-90, -80});
    meters.insert("t3", {-240, -240});
    console.updateSliders(meters, -15, -25);
    console.resize(103 + 3 * 90 + 10, 360);
    grabScreen(console, QStringLiteral("console_live_mix"));
    // Three strips beside the master, all in sight at this width.
    EXPECT_TRUE(pictureCheck::showsWhole(console, {console.master(), console.row()->strip("t1"),
                                              console.row()->strip("t2"), console.row()->strip("t3")}));
    EXPECT_EQ(console.row()->strip("t2")->fader()->value(), -60);
    EXPECT_TRUE(console.row()->strip("t3")->muteButton()->isChecked());

    KSuperUI rules(&doc, 184, KVirtualUI::RuleEdit);
    rules.activeExternConnections(true);
    rules.newRule_slot(Rule, QString());
    dropNames(rules, "t1|t2");
    rules.resize(103 + 3 * 90, 360);
    grabScreen(rules, QStringLiteral("console_rule_edit"));
    EXPECT_TRUE(pictureCheck::showsWhole(rules, {rules.row()->strip("t1"), rules.row()->strip("t2")}));
}
