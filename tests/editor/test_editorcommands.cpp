// Editor commands driven as an author drives them: the colour square of a group, the tab
// shortcuts, a rule edited on the mixing-rules page and left by a tab change, the mix editor's
// Modify button and its element tree, and pages that cannot be opened.
#include "DlgInputUI.h"
#include "KColorBox.h"
#include "KCheckMixTV.h"
#include "KDDMenuTV.h"
#include "KListWidget.h"
#include "KSliderVol.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"
#include "KVolumeWdg.h"
#include "MainWindowFixture.h"
#include "MixViewUI.h"
#include "PreMixView.h"
#include "ProjectFixture.h"
#include "TabViewUI.h"
#include "WorkSpaceUI.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>

namespace {

// Answers the prompts: dialogs through `drive`, message boxes with `button`; keeps every request.
struct Prompts {
    Prompts()
        : scope([this](const KPrompt::Request& request) {
              asked << request;
              KPrompt::Answer answer;
              if (request.kind == KPrompt::Dialog) {
                  request.dialog->show();
                  answer.button = drive ? drive(request.dialog) : QDialog::Rejected;
              } else {
                  answer.button = button;
              }
              return answer;
          })
    {
    }
    QStringList texts() const { return messageTexts(asked); }

    std::function<int(QDialog*)> drive;
    int button = QMessageBox::Ok;
    QList<KPrompt::Request> asked;
    ScopedPromptHandler scope;
};

// Types the rule's name into the new-rule dialog and confirms it.
int nameRule(QDialog* dialog, const QString& name)
{
    auto* field = dialog->findChild<QLineEdit*>("lineEdit1");
    if (!field)
        return QDialog::Rejected;
    QTest::keyClicks(field, name);
    QTest::mouseClick(dialog->findChild<QPushButton*>("okButton_4"), Qt::LeftButton);
    return dialog->result();
}

// Drags element names from the trees onto the console and lets them go at x.
void dropNames(KSuperUI* console, const QString& names, int x)
{
    QMimeData data;
    data.setData(QStringLiteral("Tovra/eltNames"), names.toUtf8());
    QDragEnterEvent enter(QPoint(x, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(console, &enter);
    QDropEvent dropped(QPointF(x, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(console, &dropped);
    // The rule dialog and the new strips come through queued calls.
    QApplication::processEvents();
    QApplication::processEvents();
}

QModelIndex indexOf(QAbstractItemView* view, const QString& name)
{
    const QModelIndexList found =
        view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? QModelIndex() : found.first();
}

class EditorCommands : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(window->newProject(false));
        doc = window->getTovraFile();
        ASSERT_TRUE(buildProject(*doc, dir));
        window->updateUI();
        window->setSavedProject(true);
        window->resize(1280, 800);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        workspace = qobject_cast<WorkSpaceUI*>(window->centralWidget());
        ASSERT_NE(workspace, nullptr);
    }

    void clickTab(int tab)
    {
        QTabBar* bar = workspace->tabStrip()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        ASSERT_EQ(window->currentTab(), tab);
    }

    fixtures::TempDir dir;
    KCtrlFile* doc = nullptr;
    WorkSpaceUI* workspace = nullptr;
};

} // namespace

TEST_F(EditorCommands, ColourSquareColoursTheGroupAndEverythingUnderItOrNothingWhenDismissed)
{
    KDDMenuTV* tree = window->getStructureView();
    tree->expandAll();
    const QModelIndex top = indexOf(tree, "Top");
    ASSERT_TRUE(top.isValid());
    const QRect row = tree->visualRect(top);
    const QPoint square(row.left() + row.height() / 2, row.center().y());
    const QList<QColor> palette = ZazuzoziZadiviDU::elementPalette();
    const QColor rhythmBefore = doc->getEltColor("Rhythm");
    const QColor topBefore = doc->getEltColor("Top");

    Prompts prompts;
    // Dismissed: the box goes without a cell chosen.
    prompts.drive = [](QDialog* dialog) {
        dialog->reject();
        return int(QDialog::Rejected);
    };
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, square);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(doc->getEltColor("Top"), topBefore);
    EXPECT_TRUE(window->projectIsSaved());

    // The third cell: the group and its members take it, the other group keeps its colour.
    QStringList offered;
    prompts.drive = [&](QDialog* dialog) {
        auto* box = qobject_cast<KColorBoxDlg*>(dialog);
        if (!box)
            return int(QDialog::Rejected);
        for (int i = 0; i < box->colorBox()->cellCount(); ++i)
            offered << box->colorBox()->cellColor(i).name();
        KColorBox* cells = box->colorBox();
        const QPoint cell(cells->stripRect().left() + 2 * cells->cellWidth() + cells->cellWidth() / 2,
                          cells->height() / 2);
        QTest::mouseClick(cells, Qt::LeftButton, {}, cell);
        return dialog->result();
    };
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, square);
    ASSERT_EQ(prompts.asked.size(), 2);
    EXPECT_EQ(offered.size(), palette.size());
    for (const QString name : {"Top", "voice", "keys"})
        EXPECT_EQ(doc->getEltColor(name), palette.at(2)) << name.toStdString();
    EXPECT_EQ(doc->getEltColor("Rhythm"), rhythmBefore);
    // A colour is an edit of the project.
    EXPECT_FALSE(window->projectIsSaved());
}

TEST_F(EditorCommands, ShiftF2AndShiftF3ShowTheConstraintsAndMixingRulesTabs)
{
    struct Case {
        Qt::Key key;
        int tab;
    };
    const Case cases[] = {{Qt::Key_F2, 1}, {Qt::Key_F3, 2}, {Qt::Key_F1, 0}, {Qt::Key_F3, 2}};
    for (const Case& c : cases) {
        QTest::keyClick(window, c.key, Qt::ShiftModifier);
        EXPECT_EQ(window->currentTab(), c.tab) << c.key;
    }
}

TEST_F(EditorCommands, MixingRulesConsoleTakesASecondDropAndShowsMovedLevels)
{
    clickTab(2);
    KSuperUI* console = window->getPreMixView()->getSuperUI();
    Prompts prompts;
    prompts.drive = [](QDialog* dialog) { return nameRule(dialog, "Calm"); };
    dropNames(console, "bass", 10);
    ASSERT_NE(console->row(), nullptr);
    ASSERT_EQ(console->row()->getListElt(), QStringList({"bass"}));
    // The rule is open: a second drop adds its strip without asking again.
    dropNames(console, "voice", 300);
    EXPECT_EQ(console->row()->getListElt(), QStringList({"bass", "voice"}));
    EXPECT_EQ(prompts.asked.size(), 1);

    KVolumeWdg* strip = console->row()->strip("bass");
    ASSERT_NE(strip, nullptr);
    const int before = strip->fader()->value();
    const QString readout = strip->levelEdit()->text();
    strip->fader()->setFocus();
    QTest::keyClick(strip->fader(), Qt::Key_PageDown);
    ASSERT_NE(strip->fader()->value(), before);
    EXPECT_EQ(doc->getElementLevel("bass"), strip->fader()->value());
    // The readout follows the level the document took.
    EXPECT_NE(strip->levelEdit()->text(), readout);
}

TEST_F(EditorCommands, LeavingAHalfEditedRuleAsksAndAnUnsavedEditLeavesNoLevelBehind)
{
    const int storedLevel = doc->getElementLevel("bass");
    const int storedDefault = doc->getDefEltLevel("bass");
    clickTab(2);
    const QString stored = projectText(*doc);
    KSuperUI* console = window->getPreMixView()->getSuperUI();
    Prompts prompts;
    prompts.drive = [](QDialog* dialog) { return nameRule(dialog, "Calm"); };
    dropNames(console, "bass", 10);
    KVolumeWdg* strip = console->row() ? console->row()->strip("bass") : nullptr;
    ASSERT_NE(strip, nullptr);
    strip->fader()->setFocus();
    QTest::keyClick(strip->fader(), Qt::Key_PageDown);
    QTest::keyClick(strip->fader(), Qt::Key_PageDown);
    ASSERT_NE(doc->getElementLevel("bass"), storedLevel);

    // The author leaves for the structure and does not keep the edit.
    prompts.asked.clear();
    prompts.button = QMessageBox::No;
    clickTab(0);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].kind, KPrompt::Warning);
    EXPECT_EQ(doc->getElementLevel("bass"), storedLevel);
    EXPECT_EQ(doc->getDefEltLevel("bass"), storedDefault);
    EXPECT_EQ(projectText(*doc), stored);
    // Coming back asks nothing more.
    prompts.asked.clear();
    clickTab(2);
    clickTab(1);
    EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(EditorCommands, MixEditorModifyOpensTheSelectedMix)
{
    ASSERT_TRUE(doc->saveCurrentMix("Loud"));
    ASSERT_TRUE(doc->saveCurrentMix("Soft"));
    clickTab(3);
    MixViewUI* editor = window->getMixView();
    KListWidget* list = editor->getMixList();
    ASSERT_EQ(list->count(), 2);
    QListWidgetItem* soft = list->getItem("Soft");
    ASSERT_NE(soft, nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(soft).center());
    ASSERT_TRUE(soft->isSelected());
    ASSERT_TRUE(editor->getEditedMix().isEmpty());

    QToolButton* modify = nullptr;
    // The panels' catalogue is not loaded here: the source text.
    for (QToolButton* button : editor->findChildren<QToolButton*>())
        if (button->text() == "Modify" || button->text() == "Modifier")
            modify = button;
    ASSERT_NE(modify, nullptr);
    Prompts prompts;
    QTest::mouseClick(modify, Qt::LeftButton);
    EXPECT_EQ(editor->getEditedMix(), "Soft");
    EXPECT_EQ(list->getCurrentMix(), "Soft");
    EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(EditorCommands, MixEditorTreeFollowsTheOtherTreesAndShowsNoHeader)
{
    KCheckMixTV* mixTree = window->getMixView()->getKCheckableTV();
    EXPECT_TRUE(mixTree->isHeaderHidden());
    EXPECT_EQ(mixTree->model()->headerData(0, Qt::Horizontal).toString(), "My music");
    EXPECT_EQ(mixTree->font(), window->getStructureView()->font());

    KDDMenuTV* tree = window->getStructureView();
    tree->expandAll();
    mixTree->expandAll();
    const QModelIndex top = indexOf(tree, "Top");
    ASSERT_TRUE(top.isValid());
    ASSERT_TRUE(mixTree->isExpanded(indexOf(mixTree, "Top")));
    // Collapsed by the author in the structure tree: collapsed in the mix editor's tree too.
    tree->setCurrentIndex(top);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Left);
    ASSERT_FALSE(tree->isExpanded(top));
    EXPECT_FALSE(mixTree->isExpanded(indexOf(mixTree, "Top")));
    // And back the other way.
    const QModelIndex mixTop = indexOf(mixTree, "Top");
    mixTree->setCurrentIndex(mixTop);
    mixTree->setFocus();
    QTest::keyClick(mixTree, Qt::Key_Right);
    ASSERT_TRUE(mixTree->isExpanded(mixTop));
    EXPECT_TRUE(tree->isExpanded(top));
}

TEST_F(EditorCommands, ProjectNameIsTheSongTitle)
{
    EXPECT_TRUE(window->getCurPrjName().isEmpty());
    ASSERT_TRUE(doc->setMediaInfo("TITLE", "Night drive"));
    EXPECT_EQ(window->getCurPrjName(), "Night drive");
    window->closeProject(false);
    EXPECT_TRUE(window->getCurPrjName().isEmpty());
}

TEST_F(EditorCommands, PagesThatCannotOpenSayWhereTheyAre)
{
    // No browser or viewer starts on this platform: every page command answers.
    Prompts prompts;
    QTest::keyClick(window, Qt::Key_F1);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].kind, KPrompt::Warning);
    EXPECT_EQ(prompts.asked[0].title, "Opening a page");
    const QString shown = prompts.asked[0].text.section('\n', 1);
    EXPECT_TRUE(shown.endsWith(QDir::toNativeSeparators("/documentation/EN/HTML/index.html"))) << shown.toStdString();
    EXPECT_TRUE(QFileInfo(shown).isAbsolute());

    // The "?" menu's web site entry, clicked.
    QMenu* help = window->menuBar()->actions().last()->menu();
    QAction* site = actions->getAction(34);
    ASSERT_TRUE(help->actions().contains(site));
    help->popup(window->mapToGlobal(QPoint(0, 22)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    QTest::mouseClick(help, Qt::LeftButton, {}, help->actionGeometry(site).center());
    ASSERT_EQ(prompts.asked.size(), 2);
    EXPECT_TRUE(prompts.asked[1].text.endsWith(TOVRA_TEST_WEB_HOME)) << prompts.asked[1].text.toStdString();

    // "What is this page for?" on the structure tab's bar.
    QToolButton* how = nullptr;
    for (QToolButton* button : workspace->findChildren<QToolButton*>())
        if (button->defaultAction() == actions->getAction(41) && button->isVisible())
            how = button;
    ASSERT_NE(how, nullptr);
    QTest::mouseClick(how, Qt::LeftButton);
    ASSERT_EQ(prompts.asked.size(), 3);
    EXPECT_TRUE(prompts.asked[2].text.contains("step__3__create_your_songs_str.htm"));
}

TEST_F(EditorCommands, AFailedOpenFromTheMenuLeavesTheStartDialog)
{
    window->closeProject(false);
    const QString broken = QString::fromStdString(dir.file("broken.tvprj"));
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a project");
    }
    QStringList titles;
    const KPrompt::Handler previous = KPrompt::setHandler([&](const KPrompt::Request& request) {
        titles << (request.dialog ? request.dialog->windowTitle() : request.title);
        KPrompt::Answer answer;
        answer.text = broken;
        answer.ok = true;
        answer.button = QMessageBox::Ok;
        return answer;
    });
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    KPrompt::setHandler(previous);
    // The chooser, the error, then the start dialog (titled with the program's name).
    ASSERT_GE(titles.size(), 3) << titles.join(" | ").toStdString();
    EXPECT_EQ(titles.last(), window->getParams()->getSoftName());
    EXPECT_EQ(window->getTovraFile(), nullptr);
}
