#include "RulesListView.h"

#include "DlgInputUI.h"
#include "KCtrlFile.h"
#include "KPrompt.h"

#include "ConsoleTestEnv.h"

#include <QAction>
#include <QSignalSpy>
#include <QHeaderView>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <QTranslator>

namespace {

// Answers the view's dialogs in turn: each new-rule dialog takes the next name and description
// (or is cancelled when the list runs out), each message box the given button.
class Answers
{
public:
    QList<QStringList> rules;
    QMessageBox::StandardButton question = QMessageBox::Yes;
    QStringList asked; // "dialog", "warning" or "question", in order

    Answers()
    {
        m_previous = KPrompt::setHandler([this](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Dialog) {
                asked << "dialog";
                auto* dialog = qobject_cast<DlgInputUI*>(request.dialog);
                EXPECT_NE(nullptr, dialog);
                if (dialog) {
                    EXPECT_EQ(QString::fromUtf8("Nouvelle règle"), dialog->windowTitle());
                }
                if (!dialog || rules.isEmpty()) {
                    answer.button = QDialog::Rejected;
                    return answer;
                }
                const QStringList texts = rules.takeFirst();
                dialog->setTexts(texts[0], texts[1]);
                answer.button = QDialog::Accepted;
            } else if (request.kind == KPrompt::Warning) {
                asked << "warning";
                EXPECT_EQ(QString::fromUtf8("Veuillez saisir un nom de règle valide et non utilisé"),
                          request.text);
                answer.button = QMessageBox::Ok;
            } else if (request.kind == KPrompt::Question) {
                asked << "question";
                EXPECT_EQ(QMessageBox::No, request.defaultButton);
                answer.button = question;
            }
            return answer;
        });
    }
    ~Answers() { KPrompt::setHandler(m_previous); }

private:
    KPrompt::Handler m_previous;
};

struct RulesProject : ::testing::Test {
    fixtures::TempDir dir;
    KCtrlFile doc;
    QStringList tracks;
    void SetUp() override
    {
        tracks = addSineTracks(doc, dir, {"kick", "snare", "bass"});
        ASSERT_EQ(3, tracks.size());
        ASSERT_FALSE(doc.createRuleGroup("__UnusefullGrp__Zeta", {tracks[2]}, "low end").isEmpty());
        ASSERT_FALSE(
            doc.createRuleGroup("__UnusefullGrp__Alpha", {tracks[0], tracks[1]}, "drums").isEmpty());
    }
    QStringList column(const QTableWidget* table, int c)
    {
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row)
            texts << table->item(row, c)->text();
        return texts;
    }
};

} // namespace

TEST_F(RulesProject, ColumnTitlesStayReadableInAPanelBuiltSmall)
{
    QWidget page;
    page.resize(60, 40);
    RulesListView view(&doc, &page);
    const QHeaderView* header = view.table()->horizontalHeader();
    for (int c = 0; c < 3; ++c)
        EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c)) << c;
}

TEST_F(RulesProject, ListsRulesByNameWithMembersAndDescriptions)
{
    RulesListView view(&doc);
    view.resize(600, 240);
    const QTableWidget* table = view.table();
    EXPECT_EQ("RulesListViewClass", view.objectName());
    EXPECT_EQ(QStringList({"Alpha", "Zeta"}), column(table, 0));
    EXPECT_EQ(QStringList({tracks[0] + "  " + tracks[1] + "  ", tracks[2] + "  "}),
              column(table, 1));
    EXPECT_EQ(QStringList({"drums", "low end"}), column(table, 2));
    EXPECT_EQ(QStringList({"__UnusefullGrp__Alpha", "__UnusefullGrp__Zeta"}), view.groupNames());
    ASSERT_EQ(4, view.toolBar()->actions().size());
    EXPECT_EQ(QString("Supprimer "), view.deleteAction()->text());
    grabScreen(view, "ruleslist");

    view.setKCtrlFile(nullptr);
    EXPECT_EQ(0, table->rowCount());
    KCtrlFile empty;
    view.setKCtrlFile(&empty);
    EXPECT_EQ(0, table->rowCount());
    EXPECT_TRUE(view.groupNames().isEmpty());
}

TEST_F(RulesProject, NewRuleAsksAgainUntilTheNameIsUsableOrTheUserCancels)
{
    RulesListView view(&doc);
    QSignalSpy created(&view, &RulesListView::newRule);
    QSignalSpy checked(&view, &RulesListView::checkSaveForModidf);
    Answers answers;
    answers.rules = {{"Alpha", "taken"}, {"", "empty"}, {"a|b", "bar"}, {"  Mid ", "middle"}};
    view.newRule_slot();
    EXPECT_EQ(QStringList({"dialog", "warning", "dialog", "warning", "dialog", "warning", "dialog"}),
              answers.asked);
    ASSERT_EQ(1, created.count());
    EXPECT_EQ("__UnusefullGrp__Mid", created[0][0].toString());
    EXPECT_EQ("middle", created[0][1].toString());
    EXPECT_EQ(1, checked.count());
    const QTableWidget* table = view.table();
    ASSERT_EQ(3, table->rowCount());
    EXPECT_EQ(2, table->currentRow());
    EXPECT_EQ("Mid", table->item(2, 0)->text());
    EXPECT_EQ("middle", table->item(2, 2)->text());

    // Cancelled: nothing is created.
    answers.asked.clear();
    view.newRule_slot();
    EXPECT_EQ(QStringList({"dialog"}), answers.asked);
    EXPECT_EQ(1, created.count());
}

TEST_F(RulesProject, DroppedElementsMakeARuleAndAreSelected)
{
    RulesListView view(&doc);
    QSignalSpy created(&view, &RulesListView::newRule);
    QSignalSpy select(&view, &RulesListView::needsSelectItem);
    Answers answers;
    answers.rules = {{"Beat", ""}};
    view.newRule_slot(QStringList{tracks[0], tracks[1]});
    ASSERT_EQ(1, created.count());
    ASSERT_EQ(1, select.count());
    EXPECT_EQ(QStringList({tracks[0], tracks[1]}), select[0][0].toStringList());
    EXPECT_EQ(tracks[0] + "  " + tracks[1] + "  ", view.table()->item(2, 1)->text());
}

namespace {

// The names in the rows the table shows selected.
QStringList selectedNames(const QTableWidget* table)
{
    QStringList names;
    for (const QTableWidgetItem* item : table->selectedItems())
        if (item->column() == 0)
            names << item->text();
    return names;
}

} // namespace

TEST_F(RulesProject, OpenAndDeleteActOnTheRuleOfTheRowEvenAfterResorting)
{
    RulesListView view(&doc);
    QTableWidget* table = view.table();
    QSignalSpy switched(&view, &RulesListView::switchRule);
    QSignalSpy removed(&view, &RulesListView::removeRule);
    table->sortItems(0, Qt::DescendingOrder); // a header click: Zeta first
    table->setCurrentCell(0, 0);
    view.modifyAction()->trigger();
    ASSERT_EQ(1, switched.count());
    EXPECT_EQ("__UnusefullGrp__Zeta", switched[0][0].toString());
    // The opened rule's row stays selected once the list is refreshed.
    const auto selectedRules = [&] { return selectedNames(table); };
    EXPECT_EQ(QStringList{"Zeta"}, selectedRules());

    Answers answers;
    answers.question = QMessageBox::No;
    view.deleteAction()->trigger();
    EXPECT_EQ(QStringList({"question"}), answers.asked);
    EXPECT_EQ(0, removed.count());
    EXPECT_EQ(2, table->rowCount());

    answers.question = QMessageBox::Yes;
    view.deleteAction()->trigger();
    ASSERT_EQ(1, removed.count());
    EXPECT_EQ("__UnusefullGrp__Zeta", removed[0][0].toString());
    EXPECT_EQ(QStringList({"Alpha"}), column(table, 0));
    EXPECT_EQ(QStringList({"__UnusefullGrp__Alpha"}), view.groupNames());
    EXPECT_EQ(0, table->currentRow());
}

TEST_F(RulesProject, DoubleClickOpensSaveRefreshesAndCreateRunsTheEditorsCommand)
{
    RulesListView view(&doc);
    QSignalSpy switched(&view, &RulesListView::switchRule);
    QSignalSpy saved(&view, &RulesListView::saveRule);
    view.show();
    QTableWidget* table = view.table();
    const QRect cell = table->visualItemRect(table->item(1, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(1, switched.count());
    EXPECT_EQ("__UnusefullGrp__Zeta", switched[0][0].toString());
    // The opened rule's row stays selected once the list is refreshed.
    const auto selectedRules = [&] { return selectedNames(table); };
    EXPECT_EQ(QStringList{"Zeta"}, selectedRules());

    ASSERT_FALSE(doc.createRuleGroup("__UnusefullGrp__Mu", {tracks[0]}, "").isEmpty());
    view.saveAction()->trigger();
    EXPECT_EQ(1, saved.count());
    EXPECT_EQ(QStringList({"Alpha", "Mu", "Zeta"}), column(table, 0));
    EXPECT_EQ(QStringList{"Zeta"}, selectedRules());

    QAction command(nullptr);
    QSignalSpy ran(&command, &QAction::triggered);
    view.setCreateRuleAction(&command);
    view.createAction()->trigger();
    EXPECT_EQ(1, ran.count());
}

TEST(RulesListViewCatalogue, EnglishCatalogueTranslatesTheView)
{
    QTranslator english;
    ASSERT_TRUE(english.load(":/TovraTr/consoletools_en.qm"));
    QCoreApplication::installTranslator(&english);
    RulesListView view(nullptr);
    QCoreApplication::removeTranslator(&english);
    const QTableWidget* table = view.table();
    EXPECT_EQ("Rule name", table->horizontalHeaderItem(0)->text());
    EXPECT_EQ("Stem track(s) associated to rule", table->horizontalHeaderItem(1)->text());
    EXPECT_EQ("Description (optional)", table->horizontalHeaderItem(2)->text());
    EXPECT_EQ("Delete rule", view.deleteAction()->text());
}
