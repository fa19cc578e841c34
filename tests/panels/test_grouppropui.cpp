#include "../widgets/WidgetTestEnv.h"
#include "GroupPropUI.h"
#include "PanelTestHelpers.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTranslator>

class GroupProp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        parent.resize(360, 200);
        panel = new GroupPropUI(&parent);
        panel->resize(360, 200);
        panel->setName("Rhythm");
        panel->setElementsNbr(4);
        panel->setMinMaxPlay(1, 3);
        parent.show();
    }
    QWidget parent;
    GroupPropUI* panel = nullptr;
};

TEST_F(GroupProp, ShowsWhatItIsGiven)
{
    EXPECT_EQ(child<QLineEdit>(*panel, "nameLE")->text(), "Rhythm");
    EXPECT_EQ(child<QLabel>(*panel, "eltNbLabel")->text(), "4");
    EXPECT_EQ(panel->getName(), "Rhythm");
    EXPECT_EQ(panel->getMinPlay(), 1);
    EXPECT_EQ(panel->getMaxPlay(), 3);
    EXPECT_EQ(child<QSpinBox>(*panel, "minSP")->maximum(), 4);
    EXPECT_EQ(child<QSpinBox>(*panel, "maxSP")->minimum(), 0);
    // The spin boxes never go past the number of members.
    panel->setMinMaxPlay(7, 9);
    EXPECT_EQ(panel->getMinPlay(), 4);
    EXPECT_EQ(panel->getMaxPlay(), 4);
    panel->setMinMaxPlay(1, 3);
    panel->setCheckNotMute(true);
    EXPECT_TRUE(child<QCheckBox>(*panel, "notMuteCB")->isChecked());
    grabScreen(*panel, "GroupPropUI");

    panel->reset();
    EXPECT_EQ(panel->getName(), "");
    EXPECT_EQ(child<QLabel>(*panel, "eltNbLabel")->text(), "0");
    EXPECT_EQ(child<QSpinBox>(*panel, "maxSP")->maximum(), 0);
    EXPECT_EQ(panel->getMinPlay(), 0);
    EXPECT_EQ(panel->getMaxPlay(), 0);
    EXPECT_FALSE(child<QCheckBox>(*panel, "notMuteCB")->isChecked());
}

TEST_F(GroupProp, EditedBoundsKeepMinimumBelowMaximum)
{
    const struct {
        const char* box;
        const char* typed;
        int min, max;
    } rows[] = {
        {"minSP", "2", 2, 3}, // within bounds: nothing else moves
        {"minSP", "4", 4, 4}, // above the maximum: the maximum follows
        {"maxSP", "0", 0, 0}, // below the minimum: the minimum follows
        {"maxSP", "2", 1, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.box) + "=" + row.typed);
        panel->setMinMaxPlay(1, 3);
        QSignalSpy changed(panel, &GroupPropUI::minMaxPlayChanged);
        typeInto(child<QSpinBox>(*panel, row.box), row.typed);
        EXPECT_EQ(panel->getMinPlay(), row.min);
        EXPECT_EQ(panel->getMaxPlay(), row.max);
        ASSERT_GE(changed.size(), 1);
        EXPECT_EQ(changed.last(), QVariantList({row.min, row.max}));
    }
}

TEST_F(GroupProp, RenameAndAlwaysOnSpeakOfTheRememberedName)
{
    QSignalSpy renamed(panel, &GroupPropUI::nameChanged);
    QSignalSpy checked(panel, &GroupPropUI::grpCheckBoxChanged);
    auto* name = child<QLineEdit>(*panel, "nameLE");

    typeInto(name, "Beat");
    ASSERT_EQ(renamed.size(), 1);
    EXPECT_EQ(renamed[0], QVariantList({"Rhythm", "Beat"}));
    // Finishing the edit again without a change renames nothing.
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(renamed.size(), 1);
    typeInto(name, "Groove");
    ASSERT_EQ(renamed.size(), 2);
    EXPECT_EQ(renamed[1], QVariantList({"Beat", "Groove"}));

    auto* box = child<QCheckBox>(*panel, "notMuteCB");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    ASSERT_EQ(checked.size(), 1);
    EXPECT_EQ(checked[0], QVariantList({"Groove", true}));
}

TEST(GroupPropTexts, EnglishCatalogueTranslatesThePanel)
{
    QTranslator english;
    ASSERT_TRUE(english.load(":/TovraTr/panels_en.qm"));
    QCoreApplication::installTranslator(&english);
    GroupPropUI panel;
    QCoreApplication::removeTranslator(&english);
    EXPECT_EQ(child<QLabel>(panel, "nameLabel")->text(), "Group name");
    EXPECT_EQ(child<QCheckBox>(panel, "notMuteCB")->text(), "Group always on");
}
