// The group dialog over a real document: creating from a selection, the counts and always-on
// coupling, the names it refuses, and modifications that either apply whole or leave the
// project as it was.
#include "../document/DocumentFixtures.h"
#include "DlgNewGroupUI.h"
#include "KCtrlFile.h"
#include "KPrompt.h"
#include "KTheme.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

class QtApp : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "group_dialog_test";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        KTheme::apply(*app);
    }
    void TearDown() override { delete app; }
    QApplication* app = nullptr;
};
const auto* const qtApp = ::testing::AddGlobalTestEnvironment(new QtApp);

QStringList names(QListView* list)
{
    QStringList all;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        all << list->model()->index(row, 0).data().toString();
    return all;
}

void selectRows(QListView* list, const QStringList& wanted)
{
    list->clearSelection();
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex index = list->model()->index(row, 0);
        if (wanted.contains(index.data().toString()))
            list->selectionModel()->select(index, QItemSelectionModel::Select);
    }
}

void click(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Answers the message boxes (Ok) and drives the dialogs run through the prompt helper.
struct Prompts {
    explicit Prompts(std::function<void(QDialog*)> drive = {}) : drive(std::move(drive))
    {
        previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Dialog) {
                request.dialog->show();
                if (this->drive)
                    this->drive(request.dialog);
                answer.button = request.dialog->result();
                return answer;
            }
            boxes << request.text;
            answer.button = QMessageBox::Ok;
            return answer;
        });
    }
    ~Prompts() { KPrompt::setHandler(previous); }
    std::function<void(QDialog*)> drive;
    QStringList boxes;
    KPrompt::Handler previous;
};

class GroupDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tracks = addTracks(doc, dir, {"t1", "t2", "t3", "t4"});
        ASSERT_EQ(tracks.size(), 4);
    }
    const Ui_Dialog& ui(DlgNewGroupUI& dialog) { return dialog.form(); }

    fixtures::TempDir dir;
    KCtrlFile doc;
    QStringList tracks;
};

TEST_F(GroupDialog, CreatesAGroupFromTheSelectionWithItsCountsLocationAndAlwaysOn)
{
    ASSERT_TRUE(doc.createGroupWithRemovingElements("G", {"t3", "t4"}, 0, 2));
    Prompts prompts([](QDialog* shown) {
        auto* dialog = static_cast<DlgNewGroupUI*>(shown);
        const Ui_Dialog& form = dialog->form();
        EXPECT_EQ(names(form.eltList), QStringList({"t1", "t2"}));
        EXPECT_EQ(names(form.trackList), QStringList({"t3", "t4"}));
        EXPECT_EQ(form.maxSpinBox->value(), 2);
        EXPECT_FALSE(form.okButton->isEnabled()); // no name yet
        QTest::keyClicks(form.nameLineEdit, "N");
        form.comboBox->setCurrentText("G");
        form.minSpinBox->setValue(1); // always on follows a minimum above 0
        EXPECT_TRUE(form.checkBox->isChecked());
        EXPECT_TRUE(form.okButton->isEnabled());
        QTest::mouseClick(form.okButton, Qt::LeftButton);
    });
    EXPECT_EQ(DlgNewGroupUI::openCreateDlg(&doc, nullptr, {"t1", "t2"}), 1);
    EXPECT_EQ(doc.getParent("N"), "G");
    EXPECT_EQ(doc.getSubElt("N"), QStringList({"t1", "t2"}));
    EXPECT_EQ(doc.getGroupMinPlay("N"), 1);
    EXPECT_EQ(doc.getGroupMaxPlay("N"), 2);
    EXPECT_TRUE(doc.isNotMute("N"));
    EXPECT_TRUE(prompts.boxes.isEmpty()) << prompts.boxes.join("|").toStdString();
}

// Always on inside a group where only one member plays would silence the other: the rules refuse
// it, and the group made in the first step does not stay behind.
TEST_F(GroupDialog, ARefusedCreationLeavesNoGroupBehind)
{
    ASSERT_TRUE(doc.createGroupWithRemovingElements("G", {"t3"}, 0, 1));
    const QStringList groups = doc.getGroupNames();
    Prompts prompts([](QDialog* shown) {
        const Ui_Dialog& form = static_cast<DlgNewGroupUI*>(shown)->form();
        form.nameLineEdit->setText("N");
        form.comboBox->setCurrentText("G");
        form.checkBox->setChecked(true);
        QTest::mouseClick(form.okButton, Qt::LeftButton);
    });
    EXPECT_EQ(DlgNewGroupUI::openCreateDlg(&doc, nullptr, {"t1"}), 0);
    EXPECT_FALSE(doc.isElement("N"));
    EXPECT_EQ(doc.getGroupNames(), groups);
    EXPECT_EQ(doc.getSubElt("G"), QStringList({"t3"}));
    EXPECT_EQ(prompts.boxes.size(), 1); // the rule check's own message
}

// Names dropped on the member list leave the available lists, once each.
TEST_F(GroupDialog, DroppedNamesBecomeMembers)
{
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Create);
    QAbstractItemModel* members = ui(dialog).eltList->model();
    for (const char* name : {"t2", "t2"}) {
        members->insertRows(members->rowCount(), 1);
        members->setData(members->index(members->rowCount() - 1, 0), QString(name));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(names(ui(dialog).eltList), QStringList({"t2"}));
    EXPECT_FALSE(names(ui(dialog).trackList).contains("t2"));
    EXPECT_EQ(ui(dialog).maxSpinBox->maximum(), 1);
    EXPECT_TRUE(ui(dialog).removeEltButton->isEnabled());
}

// Two tracks dragged onto the member list of a new group (the drag moves them out of the
// available list) raise the maximum heard at once to two: the new group, with no rule in the
// project, is created without any contradiction.
TEST_F(GroupDialog, TracksMovedByADragRaiseTheMaximumAndTheGroupIsCreated)
{
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Create);
    dialog.show();
    QTest::keyClicks(ui(dialog).nameLineEdit, "Pair");
    QAbstractItemModel* members = ui(dialog).eltList->model();
    QAbstractItemModel* available = ui(dialog).trackList->model();
    for (const char* name : {"t1", "t2"}) {
        members->insertRows(members->rowCount(), 1);
        members->setData(members->index(members->rowCount() - 1, 0), QString(name));
        const QModelIndexList from = available->match(available->index(0, 0), Qt::DisplayRole, QString(name));
        ASSERT_EQ(from.size(), 1);
        available->removeRows(from.first().row(), 1);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(ui(dialog).maxSpinBox->value(), 2);
    Prompts prompts;
    click(ui(dialog).okButton);
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(doc.getSubElt("Pair"), QStringList({"t1", "t2"}));
    EXPECT_TRUE(prompts.boxes.isEmpty()) << prompts.boxes.join("|").toStdString();
}

TEST_F(GroupDialog, AGroupFirstInTheSelectionBecomesTheLocationAndNothingIsAMember)
{
    ASSERT_TRUE(doc.createGroupWithRemovingElements("G", {"t3"}, 0, 1));
    Prompts prompts([](QDialog* shown) {
        const Ui_Dialog& form = static_cast<DlgNewGroupUI*>(shown)->form();
        EXPECT_EQ(form.comboBox->currentText(), "G");
        EXPECT_TRUE(names(form.eltList).isEmpty());
        EXPECT_FALSE(names(form.trackList).contains("t1"));
        EXPECT_FALSE(names(form.groupList).contains("G"));
        QTest::mouseClick(form.cancelButton, Qt::LeftButton);
    });
    EXPECT_EQ(DlgNewGroupUI::openCreateDlg(&doc, nullptr, {"G", "t1"}), 0);
    EXPECT_EQ(doc.getGroupNames(), QStringList({"G"}));
}

// A refused creation keeps the dialog open with the typed name and the chosen members, so the
// author can mend the choice; the project keeps no half-made group.
TEST_F(GroupDialog, ARefusedCreationKeepsTheDialogOpenWithWhatWasChosen)
{
    ASSERT_TRUE(doc.createGroupWithRemovingElements("G", {"t3"}, 0, 1));
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Create);
    dialog.show();
    QTest::keyClicks(ui(dialog).nameLineEdit, "N");
    selectRows(ui(dialog).trackList, {"t1"});
    click(ui(dialog).addTrackButton);
    ui(dialog).comboBox->setCurrentText("G");
    ui(dialog).checkBox->setChecked(true); // always on beside t3 in a one-at-a-time group
    Prompts prompts;
    click(ui(dialog).okButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(ui(dialog).nameLineEdit->text(), "N");
    EXPECT_EQ(names(ui(dialog).eltList), QStringList({"t1"}));
    EXPECT_EQ(prompts.boxes.size(), 1); // the rule check's own message
    EXPECT_FALSE(doc.isElement("N"));
    EXPECT_EQ(doc.getSubElt("G"), QStringList({"t3"}));
    // Mended, the same dialog creates the group.
    ui(dialog).checkBox->setChecked(false);
    click(ui(dialog).okButton);
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(doc.getParent("N"), "G");
    EXPECT_TRUE(doc.isGroup("N"));
}

TEST_F(GroupDialog, RefusesNamesTheProjectOrTheLocationListAlreadyUse)
{
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Create);
    const struct {
        const char* name;
        bool valid;
    } cases[] = {{"", false},          {"   ", false},       {" \t", false},
                 {"t1", false},        {"My Tovra Music", false},
                 {"__Mine", false},    {"a|b", false},       {"_cstt_auto_9", false},
                 {"Drums", true},      {"t1 bis", true}};
    for (const auto& c : cases) {
        ui(dialog).nameLineEdit->setText(c.name);
        EXPECT_EQ(ui(dialog).okButton->isEnabled(), c.valid) << c.name;
    }
}

TEST_F(GroupDialog, MembersMoveBothWaysAndTheCountsFollow)
{
    ASSERT_TRUE(doc.createGroupWithRemovingElements("G", {"t3"}, 0, 1));
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Create);
    dialog.show();
    selectRows(ui(dialog).trackList, {"t1", "t2"});
    click(ui(dialog).addTrackButton);
    selectRows(ui(dialog).groupList, {"G"});
    click(ui(dialog).addGrpButton);
    EXPECT_EQ(names(ui(dialog).eltList), QStringList({"G", "t1", "t2"}));
    EXPECT_EQ(ui(dialog).maxSpinBox->maximum(), 3);
    EXPECT_EQ(ui(dialog).maxSpinBox->value(), 3);
    EXPECT_FALSE(ui(dialog).addGrpButton->isEnabled());

    // Minimum and maximum push each other, and always-on follows the minimum.
    ui(dialog).minSpinBox->setValue(2);
    EXPECT_TRUE(ui(dialog).checkBox->isChecked());
    ui(dialog).maxSpinBox->setValue(1);
    EXPECT_EQ(ui(dialog).minSpinBox->value(), 1);
    ui(dialog).checkBox->setChecked(false);
    EXPECT_EQ(ui(dialog).minSpinBox->value(), 0);
    ui(dialog).checkBox->setChecked(true);
    EXPECT_EQ(ui(dialog).minSpinBox->value(), 1);

    // Back out: a candidate group returns to the groups, a track to the tracks.
    selectRows(ui(dialog).eltList, {"G", "t2"});
    click(ui(dialog).removeEltButton);
    EXPECT_EQ(names(ui(dialog).groupList), QStringList({"G"}));
    EXPECT_TRUE(names(ui(dialog).trackList).contains("t2"));
    EXPECT_EQ(ui(dialog).maxSpinBox->maximum(), 1);
    EXPECT_EQ(ui(dialog).maxSpinBox->value(), 1);
    const QString path = QStringLiteral(TOVRA_SCREENS_DIR) + "/DlgNewGroupUI.png";
    EXPECT_TRUE(dialog.grab().save(path));
}

// A top-level group moved into another group, with a member added, renamed: all applied.
TEST_F(GroupDialog, ModifyMovesATopLevelGroupChangesMembersAndRenamesLast)
{
    ASSERT_TRUE(doc.createGroupWithRemovingElements("A", {"t1"}, 0, 1));
    ASSERT_TRUE(doc.createGroupWithRemovingElements("B", {"t2"}, 0, 1));
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Modify);
    dialog.setName("A");
    dialog.setParent(doc.getParent("A"));
    dialog.setEltInGrp(doc.getSubElt("A"));
    dialog.setMinMaxPlay(0, 1);
    dialog.show();
    EXPECT_TRUE(ui(dialog).okButton->isEnabled()); // its own name is valid
    EXPECT_EQ(ui(dialog).comboBox->findText("A"), -1);
    ui(dialog).comboBox->setCurrentText("B");
    selectRows(ui(dialog).trackList, {"t4"});
    click(ui(dialog).addTrackButton);
    ui(dialog).nameLineEdit->setText("A2");
    Prompts prompts;
    click(ui(dialog).okButton);
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_TRUE(prompts.boxes.isEmpty()) << prompts.boxes.join("|").toStdString();
    EXPECT_FALSE(doc.isElement("A"));
    EXPECT_EQ(doc.getParent("A2"), "B");
    EXPECT_EQ(doc.getSubElt("A2"), QStringList({"t1", "t4"}));
    EXPECT_EQ(doc.getGroupMaxPlay("A2"), 2);
}

// A modification the rules refuse reports the error and leaves the group whole: old name,
// old location, old members, old counts.
TEST_F(GroupDialog, ARefusedModifyLeavesTheGroupAsItWas)
{
    ASSERT_TRUE(doc.createGroupWithRemovingElements("A", {"t1", "t2"}, 0, 2));
    ASSERT_FALSE(doc.createExclu({"t1", "t2"}, "never together").isEmpty());
    const QString t3Parent = doc.getParent("t3");
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Modify);
    dialog.setName("A");
    dialog.setParent(doc.getParent("A"));
    dialog.setEltInGrp(doc.getSubElt("A"));
    dialog.setMinMaxPlay(0, 2);
    selectRows(ui(dialog).trackList, {"t3"});
    click(ui(dialog).addTrackButton);
    ui(dialog).minSpinBox->setValue(3); // all three at once: the exclusion forbids it
    ui(dialog).nameLineEdit->setText("A2");
    Prompts prompts;
    click(ui(dialog).okButton);
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(prompts.boxes.contains("Erreur durant la modification du groupe !"))
        << prompts.boxes.join("|").toStdString();
    EXPECT_TRUE(doc.isGroup("A"));
    EXPECT_FALSE(doc.isElement("A2"));
    EXPECT_EQ(doc.getSubElt("A"), QStringList({"t1", "t2"}));
    EXPECT_EQ(doc.getGroupMinPlay("A"), 0);
    EXPECT_EQ(doc.getParent("t3"), t3Parent);
}

// A step that fails halfway (the chosen location was deleted from another view while the dialog
// was open) undoes the steps before it: the group keeps its counts, its place and its name.
TEST_F(GroupDialog, AModifyStepThatFailsUndoesTheStepsBeforeIt)
{
    ASSERT_TRUE(doc.createGroupWithRemovingElements("P", {"t1"}, 0, 1));
    ASSERT_TRUE(doc.createGroupWithRemovingElements("A", {"t2"}, 0, 1));
    ASSERT_TRUE(doc.addEltInGroup("P", "A"));
    ASSERT_TRUE(doc.createGroupWithRemovingElements("B", {"t3"}, 0, 1));
    ASSERT_EQ(doc.getParent("A"), "P");
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Modify);
    dialog.setName("A");
    dialog.setParent(doc.getParent("A"));
    dialog.setEltInGrp(doc.getSubElt("A"));
    dialog.setMinMaxPlay(0, 1);
    dialog.show();
    ui(dialog).minSpinBox->setValue(1);
    ui(dialog).comboBox->setCurrentText("B");
    ui(dialog).nameLineEdit->setText("A2");
    ASSERT_TRUE(doc.removeGroup("B"));
    Prompts prompts;
    click(ui(dialog).okButton);
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(prompts.boxes.contains("Erreur durant la modification du groupe !"))
        << prompts.boxes.join("|").toStdString();
    EXPECT_FALSE(doc.isElement("A2"));
    ASSERT_TRUE(doc.isGroup("A"));
    EXPECT_EQ(doc.getParent("A"), "P");
    EXPECT_EQ(doc.getGroupMinPlay("A"), 0);
    EXPECT_EQ(doc.getSubElt("A"), QStringList({"t2"}));
}

TEST_F(GroupDialog, AGroupIsNeverOfferedAsItsOwnLocationOrMember)
{
    ASSERT_TRUE(doc.createGroupWithRemovingElements("Inner", {"t1"}, 0, 1));
    ASSERT_TRUE(doc.createGroupWithRemovingElements("Outer", {"Inner"}, 0, 1));
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Modify);
    dialog.setName("Outer");
    dialog.setParent(QString());
    dialog.setEltInGrp(doc.getSubElt("Outer"));
    EXPECT_EQ(ui(dialog).comboBox->currentText(), DlgNewGroupUI::RootName());
    EXPECT_EQ(ui(dialog).comboBox->findText("Outer"), -1);
    EXPECT_EQ(ui(dialog).comboBox->findText("Inner"), -1);
    EXPECT_FALSE(names(ui(dialog).groupList).contains("Outer"));
}

// A 204-character group keeps the dialog's width: the location box ends the name with an
// ellipsis and holds it whole in its tooltip.
TEST_F(GroupDialog, ALongGroupNameKeepsTheDialogNarrow)
{
    const QString longName = QString("Strings and brass ").repeated(12).left(204);
    ASSERT_TRUE(doc.createGroupWithRemovingElements(longName, {"t4"}, 0, 1));
    DlgNewGroupUI dialog(&doc, DlgNewGroupUI::Create);
    dialog.show();
    ui(dialog).comboBox->setCurrentText(longName);
    QCoreApplication::processEvents();
    EXPECT_LE(dialog.width(), 1024);
    EXPECT_LE(dialog.minimumSizeHint().width(), 1024);
    EXPECT_EQ(ui(dialog).comboBox->toolTip(), longName);
    EXPECT_TRUE(dialog.grab().save(QStringLiteral(TOVRA_SCREENS_DIR) + "/DlgNewGroupUI_long_name.png"));
}

} // namespace
