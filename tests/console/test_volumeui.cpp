// The strip row and its channel strips on a real document: values shown and typed, limits and
// lock modes, mute and solo, meters, and strips added, moved and removed.
#include "ConsoleFixture.h"

#include "KButton.h"
#include "KMeter.h"
#include "KPictureCache.h"
#include "KSlider.h"
#include "KSliderMax.h"
#include "KSliderMin.h"
#include "KSliderVol.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"
#include "KTextBox.h"
#include "KVolumeWdg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <functional>
#include <map>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString Rule = QStringLiteral("__UnusefullGrp__R");

QImage shown(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Records the areas painted on the widgets it watches, and how many paint events they took.
class PaintRecorder : public QObject
{
public:
    QRegion painted;
    int events = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++events;
        }
        return false;
    }
};

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

// The limit handles hold the level a strip sends, whether the fader goes past them or a level is
// typed beyond them.
TEST_F(VolumeUI, LevelsBeyondTheLimitsSendTheLimit)
{
    KVolumeUI* row = ruleRow();
    KVolumeWdg* strip = row->strip("t1");
    strip->minHandle()->setValue(-100);
    strip->setMin();
    strip->maxHandle()->setValue(10);
    strip->setMax();
    const struct {
        const char* label;
        std::function<void()> touch;
        int sent;
    } cases[] = {
        {"fader to its bottom", [&] { QTest::keyClick(strip->fader(), Qt::Key_Home); }, -100},
        {"fader to its top", [&] { QTest::keyClick(strip->fader(), Qt::Key_End); }, 10},
        {"typed below", [&] { type(strip->levelEdit(), "-20"); }, -100},
        {"typed above", [&] { type(strip->levelEdit(), "5"); }, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        strip->fader()->setValue(-50);
        ASSERT_EQ(doc.getElementLevel("t1"), -50);
        c.touch();
        EXPECT_EQ(doc.getElementLevel("t1"), c.sent);
    }
}

// A level set from outside (another strip of the rule, a stored mix) pins the limits of a locked
// strip to it and leaves those of a linked or free strip where they are.
TEST_F(VolumeUI, ALevelFromOutsidePinsOnlyALockedStrip)
{
    KVolumeUI* row = ruleRow();
    KVolumeWdg* strip = row->strip("t2");
    QButtonGroup* modes = strip->lockModes();
    ASSERT_NE(modes, nullptr);
    const struct {
        int mode;
        int min, max;
    } cases[] = {{0, -240, 60}, {1, -240, 60}, {2, -50, -50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        modes->button(0)->click();
        strip->fader()->setValue(-30);
        modes->button(c.mode)->click();
        row->setVolume("t2", -50);
        EXPECT_EQ(strip->fader()->value(), -50);
        EXPECT_EQ(strip->minHandle()->value(), c.min);
        EXPECT_EQ(strip->maxHandle()->value(), c.max);
        EXPECT_EQ(doc.getMinEltLevel("t2"), c.min);
        EXPECT_EQ(doc.getMaxEltLevel("t2"), c.max);
    }
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

TEST_F(VolumeUI, StripShowsItsBackgroundAndPanBox)
{
    KVolumeWdg* strip = liveRow()->strip("t1");
    const QImage shown = strip->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage background = KPictureCache::pixmap("Img/VolumeBG").toImage().convertToFormat(QImage::Format_RGB32);
    const QImage panBox = KPictureCache::pixmap("Img/PanoBG").toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(background.isNull());
    ASSERT_FALSE(panBox.isNull());
    // Places no child covers: the line under the name, the right edge and the bottom of the
    // strip, and the pan box's top, left and bottom edges.
    for (QPoint at : {QPoint(1, 24), QPoint(89, 200), QPoint(40, 320), QPoint(1, 27)})
        EXPECT_EQ(shown.pixel(at), background.pixel(at)) << at.x() << "," << at.y();
    for (QPoint at : {QPoint(40, 0), QPoint(0, 10), QPoint(40, 21)})
        EXPECT_EQ(shown.pixel(at + QPoint(3, 30)), panBox.pixel(at)) << at.x() << "," << at.y();
}

// A name wider than the strip shows its start and an ellipsis, standing still; the tooltip holds
// it whole.
TEST_F(VolumeUI, ALongNameEndsInAnEllipsisWithTheWholeNameInTheTooltip)
{
    const QString longName = QStringLiteral("Bass mono with a very long name");
    ASSERT_TRUE(doc.renameElt("t1", longName));
    KVolumeWdg* strip = liveRow()->strip(longName);
    ASSERT_NE(strip, nullptr);
    KTextBox* name = nullptr;
    for (KTextBox* box : strip->findChildren<KTextBox*>())
        if (box->toolTip() == longName)
            name = box;
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->text().startsWith("Bass")) << name->text().toStdString();
    EXPECT_TRUE(name->text().endsWith(QChar(0x2026))) << name->text().toStdString();
    EXPECT_FALSE(name->isScrolling());
    EXPECT_LE(name->fontMetrics().horizontalAdvance(name->text()), name->width());
}

TEST_F(VolumeUI, StripMetersShowWhatMeterWidgetsShowAndRepaintOnlyChangedRows)
{
    qint64 time = 0;
    KMeter::setClock([&time] { return time; });
    KVolumeWdg* strip = liveRow()->strip("t1");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(console.get()));
    // Meters on their own, as a strip showed them before it drew its meters itself.
    KMeter left;
    KMeter right;
    for (KMeter* meter : {&left, &right}) {
        meter->setEnabled(false);
        meter->resize(13, 202);
    }
    const QRect meters(63, 57, 24, 202);
    PaintRecorder recorder;
    strip->installEventFilter(&recorder);
    strip->meterLeft()->installEventFilter(&recorder);
    strip->meterRight()->installEventFilter(&recorder);
    QApplication::processEvents();
    QImage onScreen = shown(*strip);
    // Rising, falling, held and falling peaks, silence; left and right apart.
    struct Step { qint64 ms; int left; int right; };
    const Step steps[] = {{0, -30, -60}, {10, -120, -200}, {20, -121, -200}, {30, 60, -1},
                          {40, -240, -100}, {1000, -240, -240}, {2600, -200, -150},
                          {60000, -240, -240}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.ms);
        time = step.ms;
        recorder.painted = QRegion();
        recorder.events = 0;
        strip->setJaugeLeft(step.left);
        strip->setJaugeRight(step.right);
        left.setLevel(step.left);
        right.setLevel(step.right);
        QApplication::processEvents();
        const QRegion painted = recorder.painted;
        const int events = recorder.events;
        const QImage now = shown(*strip);
        // The left meter as a widget showed it where the right one did not cover it, the right
        // one whole.
        EXPECT_EQ(now.copy(63, 57, 11, 202), shown(left).copy(0, 0, 11, 202));
        EXPECT_EQ(now.copy(74, 57, 13, 202), shown(right));
        // What the strip repainted, over what it showed before, is the strip as it now is; both
        // meters' changes came in one paint event of the strip, within the meters.
        QPainter painter(&onScreen);
        for (const QRect& rect : painted)
            painter.drawImage(rect.topLeft(), now.copy(rect));
        painter.end();
        EXPECT_EQ(onScreen, now);
        EXPECT_LE(events, 1);
        EXPECT_TRUE(meters.contains(painted.boundingRect()));
    }
    KMeter::setClock({});
}

// A live mix never shows the limit handles, yet the levels its strips send stay within the
// element's limits, and handles asked for show those limits.
TEST_F(VolumeUI, LiveStripsSendLevelsWithinTheLimits)
{
    doc.setEltMinLevel("t1", -100);
    doc.setEltMaxLevel("t1", 10);
    KVolumeWdg* strip = liveRow()->strip("t1");
    strip->fader()->setFocus();
    QTest::keyClick(strip->fader(), Qt::Key_End);
    EXPECT_EQ(doc.getElementLevel("t1"), 10);
    QTest::keyClick(strip->fader(), Qt::Key_Home);
    EXPECT_EQ(doc.getElementLevel("t1"), -100);
    type(strip->levelEdit(), "5");
    EXPECT_EQ(doc.getElementLevel("t1"), 10);
    EXPECT_EQ(strip->minHandle()->value(), -100);
    EXPECT_EQ(strip->maxHandle()->value(), 10);
    EXPECT_FALSE(strip->minHandle()->isVisible());
    EXPECT_FALSE(strip->maxHandle()->isVisible());
}

// A tick repaints each strip's two meters whole, one rectangle the same on every strip, whatever
// its levels did: the window joins a hundred strips' rectangles of one band cheaply.
TEST_F(VolumeUI, AMeterTickRepaintsEachStripsMetersAsOneRectangle)
{
    qint64 time = 0;
    KMeter::setClock([&time] { return time; });
    KVolumeUI* row = liveRow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(console.get()));
    const QRect meters(63, 57, 24, 202);
    std::map<QString, PaintRecorder> recorders;
    for (const QString& name : {QStringLiteral("t1"), QStringLiteral("t2")})
        row->strip(name)->installEventFilter(&recorders[name]);
    QApplication::processEvents();
    struct Step { int t1Left; int t1Right; int t2Left; int t2Right; };
    const Step steps[] = {{-30, -60, -200, -10}, {-40, -60, -120, -12}, {60, -240, -119, 40}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.t1Left);
        time += 10;
        for (auto& [name, recorder] : recorders)
            recorder.painted = QRegion();
        QMap<QString, QList<double>> levels;
        levels.insert("t1", {double(step.t1Left), double(step.t1Right)});
        levels.insert("t2", {double(step.t2Left), double(step.t2Right)});
        console->updateSliders(levels, -240, -240);
        QApplication::processEvents();
        for (auto& [name, recorder] : recorders)
            EXPECT_EQ(recorder.painted, QRegion(meters)) << name.toStdString();
    }
    KMeter::setClock({});
}

// Strips dropped onto a scrolled row land at the drop's columns in name order, laid out at once,
// and the row stays where it was scrolled while the last new strip is in view.
TEST_F(VolumeUI, ADropKeepsTheScrollAndPlacesStripsInOrder)
{
    QStringList names;
    for (int i = 0; i < 16; ++i)
        names << QStringLiteral("u%1").arg(i, 2, 10, QLatin1Char('0'));
    ASSERT_EQ(addTracks(doc, dir, names), names);
    KVolumeUI* row = ruleRow();
    console->resize(900, 400);
    QMap<QString, KVirtualUI::KStructVol> first;
    for (const QString& name : names.mid(0, 14))
        first.insert(name, KVirtualUI::KStructVol());
    row->switchWidgets(first, true, -1, 0);
    QApplication::processEvents();
    QScrollBar* bar = row->findChild<QScrollArea*>()->horizontalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    bar->setValue(270);
    QMap<QString, KVirtualUI::KStructVol> dropped;
    dropped.insert("u15", KVirtualUI::KStructVol());
    dropped.insert("u14", KVirtualUI::KStructVol());
    row->switchWidgets(dropped, true, -1, 95); // column (270 + 95) / 90 = 4
    EXPECT_EQ(bar->value(), 270);
    const QStringList order = row->getListElt();
    ASSERT_EQ(order.size(), 18);
    EXPECT_EQ(order.mid(4, 2), QStringList({"u14", "u15"}));
    for (int column = 0; column < order.size(); ++column)
        EXPECT_EQ(row->strip(order[column])->geometry(),
                  QRect(column * KVolumeUI::ColumnWidth, 0, KVolumeUI::ColumnWidth,
                        KVolumeUI::RowHeight))
            << order[column].toStdString();
}
