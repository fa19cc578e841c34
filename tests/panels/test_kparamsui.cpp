#include "../widgets/WidgetTestEnv.h"
#include "KNotMuteLevelUI.h"
#include "KParamsUI.h"

#include <QComboBox>
#include <QSpinBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

TEST(KParamsUI, PagesAndTheirRequests)
{
    KParamsUI panel;
    auto* tabs = panel.findChild<QTabWidget*>("tabWidget");
    ASSERT_NE(tabs, nullptr);
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    EXPECT_EQ(titles, QStringList({"Général", "Pistes", "Tovix", "Conversion"}));
    EXPECT_EQ(tabs->currentIndex(), 0);
    // Each request opens its own page: the conversion page is reachable by its command.
    EXPECT_EQ(KParamsUI::getTabIndex(KParamsUI::GeneralTab), 0);
    EXPECT_EQ(KParamsUI::getTabIndex(KParamsUI::TovixTab), 2);
    EXPECT_EQ(KParamsUI::getTabIndex(KParamsUI::ConversionTab), 3);
    EXPECT_EQ(KParamsUI::getTabIndex(KParamsUI::KParamsTab(7)), 0);
    panel.resize(560, 360);
    for (int page = 0; page < tabs->count(); ++page) {
        panel.openTabDefault(page);
        EXPECT_EQ(tabs->currentIndex(), page);
        grabScreen(panel, QString("KParamsUI_%1").arg(page));
    }
}

TEST(KParamsUI, SettersAndGettersMapEveryValue)
{
    KParamsUI panel;
    const struct {
        int given, read;
    } update[] = {{1, 1}, {2, 2}, {3, 3}, {0, 1}}, import[] = {{-1, -1}, {0, 0}, {1, 1}, {5, 0}},
      conversion[] = {{21, 21}, {22, 22}, {23, 23}, {20, 20}, {0, 20}, {24, 20}};
    for (const auto& row : update) {
        panel.setUpdateSearch(SonaricEnums::EUpdateSearch(row.given));
        EXPECT_EQ(panel.getUpdateSearch(), row.read) << row.given;
    }
    for (const auto& row : import) {
        panel.setImportStereoMode(SonaricEnums::EImportStereo(row.given));
        EXPECT_EQ(panel.getImportStereoMode(), row.read) << row.given;
    }
    for (const auto& row : conversion) {
        panel.setImportStereoConvert(SonaricEnums::EImportStereo(row.given));
        EXPECT_EQ(panel.getImportStereoConvert(), row.read) << row.given;
        // The suffix row is live only for its own choice.
        EXPECT_EQ(panel.findChild<QLineEdit*>("lineEdit")->isEnabled(), row.read == 22) << row.given;
    }
    panel.setImportStereoSuffix("_m");
    EXPECT_EQ(panel.getImportStereoSuffix(), "_m");
    for (bool on : {true, false}) {
        panel.setUseCnsttSelection(on);
        panel.setUseCnsttLevel(!on);
        EXPECT_EQ(panel.getUseCnsttSelection(), on);
        EXPECT_EQ(panel.getUseCnsttLevel(), !on);
    }
    for (const char* code : {"FR", "EN", "DE"}) {
        panel.setLanguage(code);
        EXPECT_EQ(panel.getLanguage(), QString(code) == "FR" ? "FR" : "EN");
    }
}

TEST(KParamsUI, OnlyTheUsersLanguageChangeAsksForARestart)
{
    KParamsUI panel;
    panel.setLanguage("EN");
    panel.setLanguage("FR");
    EXPECT_FALSE(panel.mustRestart());
    auto* combo = panel.findChild<QComboBox*>("langCB");
    combo->setCurrentIndex(1);
    combo->setCurrentIndex(0);
    EXPECT_TRUE(panel.mustRestart());
}

TEST(KNotMuteLevelUI, ModesAndTheHiddenAskChoice)
{
    const struct {
        bool askShown;
        int given, read;
        bool spin;
    } rows[] = {{true, 0, 0, false}, {true, 1, 1, true}, {true, 2, 2, false}, {true, 9, 1, true},
                {false, 0, 1, true}, {false, 2, 2, false}};
    for (const auto& row : rows) {
        KNotMuteLevelUI policy;
        policy.setVisibleAlwaysAsk(row.askShown);
        policy.setNotMuteLevelMode(SonaricEnums::ENotMuteLevel(row.given));
        EXPECT_EQ(policy.getNotMuteLevelMode(), row.read) << row.given;
        EXPECT_EQ(policy.findChild<QSpinBox*>("spinBox1")->isEnabled(), row.spin) << row.given;
    }
    // Hiding the ask choice while it is checked moves to the minimum level.
    KNotMuteLevelUI policy;
    ASSERT_EQ(policy.getNotMuteLevelMode(), 0);
    policy.setVisibleAlwaysAsk(false);
    EXPECT_EQ(policy.getNotMuteLevelMode(), 1);
    EXPECT_TRUE(policy.findChild<QSpinBox*>("spinBox1")->isEnabled());
}

TEST(KNotMuteLevelUI, EveryLevelComesBackWholeInDecibels)
{
    KNotMuteLevelUI policy;
    auto* spin = policy.findChild<QSpinBox*>("spinBox1");
    for (int level = -240; level <= 60; ++level) {
        policy.setMinLevel(level);
        ASSERT_EQ(policy.getMinLevelCB(), level);
    }
    policy.setMinLevel(-60);
    EXPECT_EQ(spin->text(), "-12.0 dB");
    // One step is one level unit.
    policy.setMinLevel(-240); // silence
    EXPECT_EQ(spin->text(), "-inf dB");
    for (int i = 0; i < 3; ++i)
        spin->stepUp();
    EXPECT_EQ(policy.getMinLevelCB(), -237);
    policy.setMinLevel(-300);
    EXPECT_EQ(policy.getMinLevelCB(), -240);
    policy.setMinLevel(100);
    EXPECT_EQ(policy.getMinLevelCB(), 60);
    EXPECT_EQ(spin->text(), "12.0 dB");

    // Typed decibels become the nearest level; too low or too high stop at the limits.
    policy.setNotMuteLevelMode(SonaricEnums::NotMuteMinLevel);
    policy.show();
    const std::pair<const char*, int> typed[] = {{"-6", -30}, {"-12.0", -60}, {"0", 0}, {"-99", -240}, {"20", 60}};
    for (const auto& [text, level] : typed) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, QString::fromLatin1(text));
        QTest::keyClick(spin, Qt::Key_Return);
        EXPECT_EQ(policy.getMinLevelCB(), level) << text;
    }
    // Pasted text that is no finite number is refused whole; the silence readout reads back.
    const std::pair<const char*, int> pasted[] = {{"inf", -30}, {"nan", -30}, {"-nan", -30},
                                                  {"+inf", -30}, {"-inf", -240}};
    for (const auto& [text, level] : pasted) {
        policy.setMinLevel(-30);
        QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
        spin->setFocus();
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_V, Qt::ControlModifier);
        if (level == -30) {
            EXPECT_EQ(spin->text(), "-6.0 dB") << text;
        }
        QTest::keyClick(spin, Qt::Key_Return);
        EXPECT_EQ(policy.getMinLevelCB(), level) << text;
    }
}
