#include "../engine/AudioFixtures.h"
#include "../widgets/WidgetTestEnv.h"
#include "KCtrlFile.h"
#include "MixPropUI.h"
#include "PanelTestHelpers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <memory>

// A document of two tracks with the stored mixes A (default), B and C.
class MixProp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"bass", "drums"}) {
            const std::string path = fixtures::writeAudio(dir.file(std::string(name) + ".wav"),
                                                           SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                                                           fixtures::sine(4410, 44100, 440, 0.5));
            ASSERT_EQ(doc->addTrack(name, QString::fromStdString(path), nullptr), name);
        }
        for (const char* mix : {"A", "B", "C"})
            ASSERT_TRUE(doc->saveCurrentMix(mix));
        ASSERT_EQ(doc->getDefaultMixName(), "A");
        parent.resize(320, 120);
        panel = new MixPropUI(doc.get(), &parent);
        panel->resize(320, 120);
        parent.show();
        combo = child<QComboBox>(*panel, "defMixComboBox");
        current = child<QLineEdit>(*panel, "curMixLineEdit");
    }
    QString count() { return child<QLabel>(*panel, "mixNbLabel")->text(); }

    fixtures::TempDir dir;
    std::unique_ptr<KCtrlFile> doc = std::make_unique<KCtrlFile>();
    QWidget parent;
    MixPropUI* panel = nullptr;
    QComboBox* combo = nullptr;
    QLineEdit* current = nullptr;
};

TEST_F(MixProp, ListsTheMixesAndChoosesTheDefaultThroughTheDocument)
{
    EXPECT_EQ(panel->getMixes(), QStringList({"A", "B", "C"}));
    EXPECT_EQ(combo->currentText(), "A");
    EXPECT_EQ(count(), "3");
    EXPECT_FALSE(combo->isEditable());
    EXPECT_TRUE(current->alignment() & Qt::AlignRight);
    panel->setCurrentMix("B");
    grabScreen(*panel, "MixPropUI");

    // Choosing an entry by keyboard makes it the project's default.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(doc->getDefaultMixName(), "B");
    // A default chosen elsewhere is followed.
    ASSERT_TRUE(doc->setMixAsDefault("C"));
    EXPECT_EQ(combo->currentText(), "C");
}

TEST_F(MixProp, CurrentMixIsEditableOnlyWhenListed)
{
    const struct {
        const char* name;
        const char* shown;
        bool readOnly;
    } rows[] = {{"B", "B", false}, {"nosuch", "", true}, {"", "", true}, {"C", "C", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        panel->setCurrentMix(row.name);
        EXPECT_EQ(current->text(), row.shown);
        EXPECT_EQ(current->isReadOnly(), row.readOnly);
    }
    panel->currentMixChanged(QString("A"));
    EXPECT_EQ(current->text(), "A");
    panel->currentMixChanged(QStringList({"bass"}));
    EXPECT_EQ(current->text(), "");
    EXPECT_TRUE(current->isReadOnly());

    panel->addMix("D", true, true);
    panel->addMix("", true, true);
    EXPECT_EQ(panel->getMixes(), QStringList({"A", "B", "C", "D"}));
    EXPECT_EQ(count(), "4");
    EXPECT_EQ(current->text(), "D");
    EXPECT_EQ(combo->currentText(), "D");
}

TEST_F(MixProp, EditingTheCurrentNameRenamesTheMixOrPutsTheNameBack)
{
    const struct {
        const char* typed;
        const char* shown;
        QStringList mixes;
    } rows[] = {
        {"Intro", "Intro", {"A", "Intro", "C"}},
        {"C", "Intro", {"A", "Intro", "C"}}, // taken: refused
        {"", "Intro", {"A", "Intro", "C"}},  // empty: refused
        {"Outro", "Outro", {"A", "Outro", "C"}},
    };
    panel->setCurrentMix("B");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        typeInto(current, row.typed);
        EXPECT_EQ(current->text(), row.shown);
        EXPECT_EQ(panel->getMixes(), row.mixes);
        EXPECT_EQ(doc->getMixNames(), row.mixes);
    }
}

TEST_F(MixProp, RemovingTheDefaultMixPassesItToTheNextEntry)
{
    panel->setCurrentMix("C");
    ASSERT_TRUE(doc->setMixAsDefault("C"));
    // The last entry's successor wraps to the first.
    ASSERT_TRUE(doc->removeMix("C"));
    EXPECT_EQ(panel->getMixes(), QStringList({"A", "B"}));
    EXPECT_EQ(count(), "2");
    EXPECT_EQ(current->text(), "");
    EXPECT_EQ(doc->getDefaultMixName(), "A");
    EXPECT_EQ(combo->currentText(), "A");

    panel->removeMix("nosuch");
    EXPECT_EQ(count(), "2");
    ASSERT_TRUE(doc->removeMix("B"));
    ASSERT_TRUE(doc->removeMix("A"));
    EXPECT_TRUE(panel->getMixes().isEmpty());
    EXPECT_EQ(count(), "0");
}

TEST_F(MixProp, ADocumentThatGoesLeavesNoDanglingBinding)
{
    doc.reset();
    panel->setCurrentMix("A");
    typeInto(current, "Other");
    EXPECT_EQ(current->text(), "A");
    panel->removeMix("A");
    EXPECT_EQ(panel->getMixes(), QStringList({"B", "C"}));
    panel->setKFile(nullptr);
    EXPECT_EQ(count(), "0");
}
