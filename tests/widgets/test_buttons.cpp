// Picture buttons, scrolling labels and clickable labels, driven as a user would.
#include "KButton.h"
#include "KIsActiveFuncClass.h"
#include "KPictureCache.h"
#include "KTextBox.h"
#include "KUrlLabel.h"
#include "WidgetTestEnv.h"

#include <QAction>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {
bool refuse()
{
    return false;
}
bool allow()
{
    return true;
}

struct Gate : KIsActiveFuncClass {
    bool active = true;
    bool isActive() override { return active; }
};

void enter(QWidget& widget)
{
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(&widget, &event);
}

void leave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

QIcon picture(const char* name)
{
    return QIcon(KPictureCache::pixmap(name));
}
}

TEST(KButton, GatesDecideWhetherAClickActs)
{
    Gate gate;
    const struct {
        bool (*func)();
        bool objectActive;
        bool acts;
    } cases[] = {{nullptr, true, true}, {allow, true, true}, {refuse, true, false},
                 {allow, false, false}, {nullptr, false, false}};
    for (const auto& c : cases) {
        KButton button(nullptr, false);
        button.setCheckable(true);
        button.resize(40, 30);
        button.setActiveFunc(c.func);
        gate.active = c.objectActive;
        button.setActiveObject(&gate);
        QSignalSpy clicked(&button, &KButton::isClicked);
        QSignalSpy state(&button, &KButton::stateChanged);
        QTest::mouseClick(&button, Qt::LeftButton);
        EXPECT_EQ(clicked.count(), c.acts ? 1 : 0);
        EXPECT_EQ(button.isChecked(), c.acts);
        if (!c.acts) {
            ASSERT_EQ(state.count(), 1);
            EXPECT_FALSE(state.at(0).at(0).toBool());
        }
    }
}

TEST(KButton, SetCheckedEmitsAndSetStateIsSilent)
{
    KButton button(nullptr, false);
    button.setCheckable(true);
    const QIcon normal = picture("Img/Folder");
    const QIcon checked(KPictureCache::pixmap("Img/Folder", QSize(8, 8)));
    button.setIcons(normal, QIcon(), checked);
    QSignalSpy state(&button, &KButton::stateChanged);
    button.setState(true);
    EXPECT_TRUE(button.isChecked());
    EXPECT_EQ(state.count(), 0);
    EXPECT_EQ(button.icon().cacheKey(), checked.cacheKey());
    button.setState(false);
    EXPECT_EQ(button.icon().cacheKey(), normal.cacheKey());
    button.setChecked(true);
    ASSERT_EQ(state.count(), 1);
    EXPECT_TRUE(state.at(0).at(0).toBool());
}

TEST(KButton, OneShotButtonUnchecksAndIgnoresTheNextHoverUntilFadedOut)
{
    KButton button(nullptr, false);
    button.setObjectName("mixButton");
    button.setCheckable(true);
    button.resize(40, 30);
    QSignalSpy clicked(&button, &KButton::isClicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(button.isChecked());
    EXPECT_TRUE(button.isHoverSuppressed());
    EXPECT_TRUE(button.isNotHovered());

    // The next enter only clears the flags: the fade does not restart forward.
    enter(button);
    EXPECT_FALSE(button.isHoverSuppressed());
    EXPECT_FALSE(button.isNotHovered());

    // A plain button fades in on enter and its caption turns dark unless a gate refuses.
    KButton plain(nullptr, false);
    plain.setActiveFunc(refuse);
    enter(plain);
    EXPECT_TRUE(plain.isNotHovered());
    plain.setActiveFunc(allow);
    enter(plain);
    EXPECT_FALSE(plain.isNotHovered());
    leave(plain);
    EXPECT_TRUE(plain.isNotHovered());
}

TEST(KButton, PulseRisesAndFallsOverTwentyTicks)
{
    KButton button(nullptr, true);
    std::vector<double> values;
    for (int i = 0; i < 21; ++i) {
        button.loop();
        values.push_back(button.blinkValue());
    }
    EXPECT_DOUBLE_EQ(values[0], 0.0);
    EXPECT_DOUBLE_EQ(values[10], 1.0);
    EXPECT_NEAR(values[5], 0.5, 1e-9);
    EXPECT_NEAR(values[15], 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(values[20], 0.0);
}

TEST(KButton, PulseTimerRunsOnlyWhileCheckedAnimatedAndShown)
{
    KButton animated(nullptr, true);
    animated.setCheckable(true);
    KButton still(nullptr, false);
    still.setCheckable(true);
    animated.show();
    still.show();
    EXPECT_FALSE(animated.isBlinking());
    EXPECT_FALSE(still.isBlinking());

    const struct {
        const char* step;
        std::function<void()> act;
        bool animatedBlinks;
    } steps[] = {
        {"checked by setChecked", [&] { animated.setChecked(true); still.setChecked(true); }, true},
        {"hidden", [&] { animated.hide(); }, false},
        {"shown again", [&] { animated.show(); }, true},
        {"unchecked by a click", [&] { QTest::mouseClick(&animated, Qt::LeftButton); }, false},
        {"checked by setState", [&] { animated.setState(true); }, true},
        {"unchecked by setState", [&] { animated.setState(false); }, false},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(animated.isBlinking(), s.animatedBlinks) << s.step;
        EXPECT_FALSE(still.isBlinking()) << s.step;
    }
    still.setActiveAnim();
    EXPECT_TRUE(still.isBlinking());
}

TEST(KButton, ActionTriggersOnAcceptedClickOnly)
{
    KButton button(nullptr, false);
    button.resize(40, 30);
    QAction action(nullptr);
    QSignalSpy triggered(&action, &QAction::triggered);
    button.setAction(&action);
    button.setAction(nullptr);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(triggered.count(), 1);
    button.removeAction(&action);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(triggered.count(), 1);
}

TEST(KTextBox, ScrollsOnlyWhenTheTextIsWiderThanTheBoxLessThree)
{
    KTextBox probe(100, "", nullptr);
    const QFontMetrics metrics = probe.fontMetrics();
    // Find texts whose widths straddle the threshold, measured with the label's own font.
    QString fits, overflows;
    for (QString text = "i"; text.size() < 200; text += "i") {
        const int width = metrics.horizontalAdvance(text);
        if (width <= 97)
            fits = text;
        else if (overflows.isEmpty())
            overflows = text;
    }
    KTextBox box(100, fits, nullptr);
    box.show();
    EXPECT_FALSE(box.isScrolling());
    EXPECT_FALSE(box.isTimerRunning());
    QSignalSpy changed(&box, &KTextBox::textChanged);
    box.setText(overflows);
    EXPECT_TRUE(box.isScrolling());
    EXPECT_TRUE(box.isTimerRunning());
    EXPECT_EQ(box.toolTip(), overflows);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(box.width(), 100);

    box.hide();
    EXPECT_FALSE(box.isTimerRunning());
    box.show();
    EXPECT_TRUE(box.isTimerRunning());
}

TEST(KTextBox, TravelsBetweenThreePixelsBeforeAndPastTheText)
{
    const QString text = "Une piste au nom beaucoup trop long pour la boite";
    KTextBox box(60, text, nullptr);
    const int textWidth = box.fontMetrics().horizontalAdvance(text);
    int low = 0, high = 0;
    for (int i = 0; i < 4 * textWidth; ++i) {
        box.timeout_slot();
        low = std::min(low, box.offset());
        high = std::max(high, box.offset());
    }
    EXPECT_EQ(low, -4);
    EXPECT_EQ(high, textWidth + 4 - 60);

    // A smaller font mid-scroll re-measures: the travel stays bounded by the new width.
    QFont tiny = box.font();
    tiny.setPointSize(4);
    box.setFont(tiny);
    const int tinyWidth = box.fontMetrics().horizontalAdvance(text);
    for (int i = 0; i < 4 * textWidth; ++i) {
        box.timeout_slot();
        EXPECT_LE(box.offset(), std::max(-3, tinyWidth + 4 - 60));
    }
}

TEST(KUrlLabel, PressEmitsTheSendText)
{
    const struct {
        const char* send;
        bool null;
    } cases[] = {{nullptr, true}, {"https://example.invalid/aide", false}};
    for (const auto& c : cases) {
        KUrlLabel label = c.null ? KUrlLabel("Aide", nullptr) : KUrlLabel("Aide", c.send, nullptr);
        label.resize(60, 20);
        QSignalSpy withText(&label, qOverload<const QString&>(&KUrlLabel::labelClicked));
        QSignalSpy bare(&label, qOverload<>(&KUrlLabel::labelClicked));
        QTest::mousePress(&label, Qt::LeftButton);
        ASSERT_EQ(withText.count(), 1);
        EXPECT_EQ(bare.count(), 1);
        EXPECT_EQ(withText.at(0).at(0).toString().isNull(), c.null);
        if (!c.null) {
            EXPECT_EQ(withText.at(0).at(0).toString(), QString(c.send));
        }
    }
}

TEST(KButton, Screen)
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* off = new KButton(&window, true);
    off->setText("Mute");
    off->setFixedSize(64, 28);
    auto* on = new KButton(&window, true);
    on->setText("Solo");
    on->setFixedSize(64, 28);
    on->setCheckable(true);
    on->setChecked(true);
    layout->addWidget(on);
    auto* boxes = new QVBoxLayout;
    auto* shortName = new KTextBox(80, "Basse", &window);
    auto* longName = new KTextBox(80, "Guitare rythmique et choeurs", &window);
    boxes->addWidget(shortName);
    boxes->addWidget(longName);
    layout->addWidget(off);
    layout->addLayout(boxes);
    auto* link = new KUrlLabel("Ouvrir un projet", "open", &window);
    layout->addWidget(link);
    grabScreen(window, "kit_buttons_labels");
    EXPECT_TRUE(pictureCheck::showsWhole(window, {on, off, shortName, longName, link}, {longName}));
    EXPECT_FALSE(shortName->isScrolling());
    EXPECT_TRUE(longName->isScrolling()); // the name too long for its box runs through it
}
