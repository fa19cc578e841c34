// The constraints page and its dialog in the main window: the tables mirror the document's
// implications and exclusions, follow its renamings and removals, and the dialog creates,
// refuses and edits rules.
#include "DlgCreateConstt.h"
#include "ExcluWidget.h"
#include "MainWindowFixture.h"
#include "ProjectFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

namespace {

using Kind = KObjFile::EConst;

// Each row of a table as "element 1 > element 2 : description".
QStringList rows(ExcluWidget* page, Kind kind)
{
    QStringList shown;
    QTableWidget* table = page->table(kind);
    for (int row = 0; row < table->rowCount(); ++row)
        shown << table->item(row, 0)->text() + " > " + table->item(row, 1)->text() + " : "
                     + table->item(row, 2)->text();
    return shown;
}

class ConstraintPage : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(window->newProject(false));
        doc = window->getTovraFile();
        ASSERT_TRUE(buildProject(*doc, dir));
        page = window->getExcluWidget();
        ASSERT_NE(page, nullptr);
        page->initUI(doc);
    }

    // The row of the rule becomes the current one of its table.
    void select(Kind kind, int row) { page->table(kind)->setCurrentCell(row, 0); }

    // Every rule shown stands for a rule of the document with those elements.
    void expectRowsMatchTheDocument()
    {
        for (Kind kind : {KObjFile::Implication, KObjFile::Exclusion}) {
            const QStringList names = page->ruleNames(kind);
            ASSERT_EQ(names.size(), page->table(kind)->rowCount());
            for (int row = 0; row < names.size(); ++row) {
                const QString& rule = names.at(row);
                EXPECT_EQ(doc->getConstraintType(rule), kind) << rule.toStdString();
                const QString first = kind == KObjFile::Implication ? doc->getImplying(rule)
                                                                    : doc->getSubElt(rule).value(0);
                EXPECT_EQ(page->table(kind)->item(row, 0)->text(), first);
            }
        }
    }

    fixtures::TempDir dir;
    KCtrlFile* doc = nullptr;
    ExcluWidget* page = nullptr;
};

TEST_F(ConstraintPage, ShowsEachRuleOfTheDocumentOnceInItsTable)
{
    EXPECT_EQ(rows(page, KObjFile::Implication), QStringList({"keys > voice : keys need voice"}));
    EXPECT_EQ(rows(page, KObjFile::Exclusion), QStringList({"bass > drums : one at a time"}));
    expectRowsMatchTheDocument();
    select(KObjFile::Exclusion, 0);
    EXPECT_EQ(page->getCurrentDescription(KObjFile::Exclusion), "one at a time");
    EXPECT_EQ(window->selectedConstraint(KObjFile::Exclusion), page->ruleNames(KObjFile::Exclusion).at(0));
    EXPECT_TRUE(window->selectedConstraint(KObjFile::Implication).isEmpty());
    window->resize(900, 400);
    window->setCurrentTab(1);
    window->show();
    // Each column's title shows whole, however small the column's share of the table.
    for (QTableWidget* table : {page->table(KObjFile::Implication), page->table(KObjFile::Exclusion)})
        for (int c = 0; c < 3; ++c)
            EXPECT_GE(table->horizontalHeader()->sectionSize(c),
                      table->horizontalHeader()->sectionSizeHint(c)) << c;
    EXPECT_TRUE(grabToScreens(page, "editor_constraints_page"));
}

TEST_F(ConstraintPage, FollowsRenamingsGroupExitsAndRemovals)
{
    ASSERT_FALSE(doc->createExclu({"voice", "bass"}, "voice is not bass").isEmpty());
    page->initUI(doc);
    ASSERT_TRUE(doc->renameElt("voice", "vocals"));
    EXPECT_EQ(rows(page, KObjFile::Implication), QStringList({"keys > vocals : keys need voice"}));
    EXPECT_TRUE(rows(page, KObjFile::Exclusion).contains("vocals > bass : voice is not bass"));

    // Leaving a group keeps the element's rules.
    PromptRecorder prompts(QMessageBox::Ignore);
    ASSERT_TRUE(doc->removeEltFromGroup("Rhythm", "bass"));
    EXPECT_EQ(rows(page, KObjFile::Exclusion).size(), 2);

    // Removing it takes both of its exclusions; the implication stays with its rule name.
    const QString implication = page->ruleNames(KObjFile::Implication).at(0);
    ASSERT_TRUE(doc->removeElement("bass"));
    EXPECT_TRUE(rows(page, KObjFile::Exclusion).isEmpty());
    EXPECT_EQ(page->ruleNames(KObjFile::Implication), QStringList({implication}));
    expectRowsMatchTheDocument();
}

TEST_F(ConstraintPage, ARuleWithTooFewMembersIsNotShown)
{
    const QString rule = page->ruleNames(KObjFile::Exclusion).at(0);
    ASSERT_TRUE(doc->KObjFile::removeEltFromGroup(rule, "drums"));
    page->initUI(doc);
    EXPECT_TRUE(rows(page, KObjFile::Exclusion).isEmpty());
    EXPECT_EQ(rows(page, KObjFile::Implication).size(), 1);
}

TEST_F(ConstraintPage, DialogRefusesOneElementTwiceAndAddsAReciprocal)
{
    PromptRecorder prompts;
    DlgCreateConstt same(KObjFile::Exclusion, window, window);
    same.show();
    same.comboBox1->setCurrentText("bass");
    same.comboBox2->setCurrentText("bass");
    QTest::mouseClick(same.okButton, Qt::LeftButton);
    EXPECT_EQ(same.result(), 0);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].text, "Invalid element(s)");
    EXPECT_EQ(rows(page, KObjFile::Exclusion).size(), 1);

    DlgCreateConstt both(KObjFile::Implication, window, window);
    EXPECT_EQ(both.windowTitle(), "Create implication");
    both.show();
    EXPECT_TRUE(grabToScreens(&both, "editor_constraint_dialog"));
    both.comboBox1->setCurrentText("bass");
    both.comboBox2->setCurrentText("keys");
    both.textEdit->setPlainText("together");
    both.checkBox->setChecked(true);
    QTest::mouseClick(both.okButton, Qt::LeftButton);
    EXPECT_EQ(both.result(), 1);
    EXPECT_EQ(rows(page, KObjFile::Implication),
              QStringList({"keys > voice : keys need voice", "bass > keys : together", "keys > bass : together"}));
    expectRowsMatchTheDocument();
}

// A group named with 204 characters keeps both rule dialogs inside a 1024-pixel screen: the boxes
// end the name with an ellipsis and hold it whole in their tooltips.
TEST_F(ConstraintPage, LongNamesKeepTheRuleDialogsNarrow)
{
    const QString longName = QString("Strings and brass ").repeated(12).left(204);
    ASSERT_TRUE(doc->createGroupWithRemovingElements(longName, {"voice"}, 0, 1));
    for (const Kind kind : {KObjFile::Implication, KObjFile::Exclusion}) {
        DlgCreateConstt dialog(kind, window, window);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.comboBox1->setCurrentText(longName);
        QApplication::processEvents();
        EXPECT_LE(dialog.frameGeometry().width(), 1024) << int(kind);
        EXPECT_LE(dialog.minimumSizeHint().width(), 1024) << int(kind);
        EXPECT_TRUE(dialog.okButton->isVisible());
        EXPECT_LE(dialog.okButton->mapTo(&dialog, dialog.okButton->rect().bottomRight()).x(), dialog.width());
        EXPECT_EQ(dialog.comboBox1->toolTip(), longName);
        const int at = dialog.comboBox2->findText(longName);
        ASSERT_GE(at, 0);
        EXPECT_EQ(dialog.comboBox2->itemData(at, Qt::ToolTipRole).toString(), longName);
        EXPECT_TRUE(grabToScreens(&dialog, kind == KObjFile::Implication ? "editor_constraint_dialog_long_name"
                                                                          : "editor_exclusion_dialog_long_name"));
    }
}

// A rule refused by the dialog or by the document, or aborted by the author, leaves the dialog
// open with the elements and the description typed; the author is told once.
TEST_F(ConstraintPage, ARefusedOrAbortedRuleKeepsTheDialogOpenWithWhatWasTyped)
{
    const struct {
        const char* why;
        Kind kind;
        const char *first, *second;
        int answer; // to the document's warning
        QStringList told;
    } cases[] = {
        {"implication of an element to itself", KObjFile::Implication, "voice", "voice",
         QMessageBox::Ok, {"Invalid element(s)"}},
        // keys needs voice: excluding them silences keys, which the document asks about.
        {"exclusion aborted at the warning", KObjFile::Exclusion, "keys", "voice",
         QMessageBox::Abort, {"WARNING"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        QStringList told;
        int warningAnswer = c.answer;
        ScopedPromptHandler answers([&](const KPrompt::Request& request) {
            told << (request.kind == KPrompt::Warning ? QString("WARNING") : request.text);
            KPrompt::Answer answer;
            answer.button = warningAnswer;
            return answer;
        });
        const QString before = projectText(*doc);
        const QStringList shown = rows(page, c.kind);
        DlgCreateConstt dialog(c.kind, window, window);
        dialog.show();
        dialog.comboBox1->setCurrentText(c.first);
        dialog.comboBox2->setCurrentText(c.second);
        QTest::keyClicks(dialog.textEdit, "typed with care");
        QTest::mouseClick(dialog.okButton, Qt::LeftButton);
        EXPECT_EQ(told, c.told);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.textEdit->toPlainText(), "typed with care");
        EXPECT_EQ(dialog.comboBox1->currentText(), c.first);
        EXPECT_EQ(dialog.comboBox2->currentText(), c.second);
        EXPECT_EQ(projectText(*doc), before);
        EXPECT_EQ(rows(page, c.kind), shown);

        // Mended (or the warning let through), the same dialog makes the rule.
        warningAnswer = QMessageBox::Ignore;
        dialog.comboBox2->setCurrentText("bass");
        QTest::mouseClick(dialog.okButton, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), 1);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(rows(page, c.kind).contains(QString(c.first) + " > bass : typed with care"));
    }
}

TEST_F(ConstraintPage, EditingAnExclusionReplacesItsRule)
{
    const QString old = page->ruleNames(KObjFile::Exclusion).at(0);
    select(KObjFile::Exclusion, 0);
    const KPrompt::Handler previous = KPrompt::setHandler([](const KPrompt::Request& request) {
        KPrompt::Answer answer;
        if (auto* dialog = qobject_cast<DlgCreateConstt*>(request.dialog)) {
            EXPECT_EQ(dialog->comboBox1->currentText(), "bass");
            EXPECT_EQ(dialog->comboBox2->currentText(), "drums");
            EXPECT_EQ(dialog->textEdit->toPlainText(), "one at a time");
            dialog->comboBox2->setCurrentText("voice");
            dialog->okAction();
            answer.button = dialog->result();
        }
        return answer;
    });
    EXPECT_TRUE(window->openConstraintDialog(KObjFile::Exclusion, old));
    KPrompt::setHandler(previous);
    EXPECT_FALSE(doc->isElement(old));
    EXPECT_EQ(rows(page, KObjFile::Exclusion), QStringList({"bass > voice : one at a time"}));
    expectRowsMatchTheDocument();
}

TEST_F(ConstraintPage, DeleteKeyAsksThenRemovesTheCurrentRule)
{
    const QString rule = page->ruleNames(KObjFile::Exclusion).at(0);
    select(KObjFile::Exclusion, 0);
    window->show();
    QApplication::setActiveWindow(window);
    page->table(KObjFile::Exclusion)->setFocus();
    ASSERT_TRUE(page->table(KObjFile::Exclusion)->hasFocus());
    {
        PromptRecorder no(QMessageBox::No);
        QTest::keyClick(page->table(KObjFile::Exclusion), Qt::Key_Delete);
        ASSERT_EQ(no.asked.size(), 1);
        EXPECT_EQ(no.asked[0].title, "Delete exclusion");
        EXPECT_TRUE(doc->isElement(rule));
    }
    PromptRecorder yes(QMessageBox::Yes);
    QTest::keyClick(page->table(KObjFile::Exclusion), Qt::Key_Delete);
    EXPECT_FALSE(doc->isElement(rule));
    EXPECT_TRUE(rows(page, KObjFile::Exclusion).isEmpty());
    EXPECT_EQ(rows(page, KObjFile::Implication).size(), 1);
}

} // namespace
