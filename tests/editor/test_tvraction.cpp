#include "MainWindowFixture.h"
#include "UrlCatcher.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QUrl>

namespace {
// One row of the command table and what triggering it without a project must show: the tab
// made current (-1: none), the title of the box asked, the end of the address opened, or that
// the command is disabled.
struct Row {
    int id;
    const char* text;
    const char* shortcut;
    const char* icon;
    int tab;
    const char* prompt;
    const char* url;
    bool disabled;
};

const Row rows[] = {
    {0, "New...", "Ctrl+N", ":/Img/Icon", -1, "", "", false},
    // The chooser cancelled without a project: the start dialog.
    {1, "Open...", "Ctrl+O", ":/Img/OpenTV", -1, "Open a project", "", false},
    {2, "Save", "Ctrl+S", ":/Img/Save", -1, "", "", true},
    {3, "Save as...", "Ctrl+Shift+S", "", -1, "", "", true},
    {4, "Close", "Ctrl+W", "", -1, "", "", true},
    {23, "Structure tab", "Shift+F1", ":/Tabs/Struct", 0, "", "", false},
    {25, "Constraints tab", "Shift+F2", ":/Tabs/Constt", 1, "", "", false},
    {24, "Mixing rules tab", "Shift+F3", ":/Tabs/PreMix", 2, "", "", false},
    {26, "Tovix tab", "Shift+F4", ":/Tabs/Tovix", 3, "", "", false},
    {27, "Export tab", "Shift+F5", ":/Tabs/Export", 4, "", "", false},
    {6, "Structure", "", "", -1, "", "", false},
    {8, "Element properties", "", "", -1, "", "", false},
    {10, "Help", "F1", "", -1, "", "/documentation/EN/HTML/index.html", false},
    {34, "Tovra on the web", "", ":/Img/WebSite", -1, "", TOVRA_TEST_WEB_HOME, false},
    {9, "Tovra forum", "", "", -1, "", TOVRA_TEST_WEB_FORUM, false},
    {11, "About Tovra Sonaric Free", "", "", -1, "A propos d'Tovra Sonaric Free", "", false},
    {33, "Report a bug", "", "", -1, "", "beta/bug_report.php?software=TovraSonaricFree_Mac.1.1.", false},
    {36, "Basic parameters", "", "", -1, "Parameters", "", false},
    {37, "Tovix options", "", "", -1, "Parameters", "", false},
    {38, "Conversion options", "", "", -1, "Parameters", "", false},
    {12, "Import stem track(s)", "", ":/Img/AddAudio", 0, "Import stem tracks", "", false},
    {13, "Modify stem track", "", ":/Img/Customize", -1, "", "", false},
    {14, "Delete stem track", "", ":/Img/DeleteAudio", -1, "", "", false},
    {39, "Modify stem tracks", "", ":/Img/Customize", -1, "", "", false},
    {40, "Delete stem tracks", "", ":/Img/Delete", -1, "", "", false},
    {28, "Rename Tovix", "", "", -1, "TVRAction::nameMix", "", false},
    {16, "Create group", "", ":/Img/Create", 0, "Group creation", "", false},
    {17, "Create group", "", ":/Img/Create", -1, "", "", false},
    {18, "Modify group...", "", ":/Img/Customize", -1, "", "", false},
    {19, "Delete group...", "", ":/Img/Delete", -1, "", "", false},
    {20, "Export to Tovra", "", ":/Img/Export", -1, "", "", true},
    {7, "Create a mixing rule", "", "", 2, "Create a mixing rule", "", false},
    {15, "Create a Tovix", "", "", 3, "Create a Tovix", "", false},
    {21, "Create an implication", "", ":/Img/Imply16", 1, "Create implication", "", false},
    {22, "Create an exclusion", "", ":/Img/Exclu16", 1, "Create exclusion", "", false},
    {29, "Modify implication", "", ":/Img/Customize", -1, "", "", false},
    {30, "Modify exclusion", "", ":/Img/Customize", -1, "", "", false},
    {31, "Delete implication", "", ":/Img/DeleteAudio", -1, "", "", false},
    {32, "Delete exclusion", "", ":/Img/DeleteAudio", -1, "", "", false},
    {41, "What is this page for?", "", ":/Img/Help16", -1, "", "/EN/HTML/step__3__create_your_songs_str.htm", false},
    {42, "What is this page for?", "", ":/Img/Help16", -1, "", "/EN/HTML/step__4__setting_constraints__.htm", false},
    {43, "What is this page for?", "", ":/Img/Help16", -1, "", "/EN/HTML/step__5___setting_the_general_.htm", false},
    {44, "What is this page for?", "", ":/Img/Help16", -1, "", "/EN/HTML/step__6__creating_an_tovix_or_.htm", false},
    {45, "What is this page for?", "", ":/Img/Help16", -1, "", "/EN/HTML/step__7___exporting_tovra_file.htm", false},
    {47, "Properties", "", "", -1, "Stem track properties", "", false},
    {48, "Properties", "", "", -1, "", "", false},
    // The deployment's server cannot be reached from the tests: the command says so.
    {35, "Check for update", "", "", -1, "Checking for new versions...", "", false},
    {51, "Update Test", "T, V, R", "", -1, "Update Test", "", false},
    {52, "Qt's Versions", "Q, T", "", -1, "Qt's Versions", "", false},
};

QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}
} // namespace

TEST_F(MainWindowTest, TableHoldsEveryCommandWithItsTextShortcutAndIcon)
{
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        QAction* action = actions->getAction(row.id);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QString(row.text));
        EXPECT_EQ(action->shortcut().toString(), QString(row.shortcut));
        EXPECT_FALSE(action->isCheckable());
        if (*row.icon) {
            // The picture comes from the registered bundle.
            EXPECT_FALSE(iconImage(action->icon()).isNull());
            EXPECT_EQ(iconImage(action->icon()), iconImage(QIcon(row.icon)));
        } else {
            EXPECT_TRUE(action->icon().isNull());
        }
    }
    for (int free : {46, 49, 50, 53, -1})
        EXPECT_EQ(actions->getAction(free), nullptr) << free;
}

TEST_F(MainWindowTest, EveryCommandReachesItsHandler)
{
    UrlCatcher catcher;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        QAction* action = actions->getAction(row.id);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->isEnabled(), !row.disabled);
        window->setSavedProject(true);
        window->setCurrentTab(row.tab == 0 ? 4 : 0);
        const int tabBefore = window->currentTab();
        PromptRecorder prompts(QMessageBox::No);
        catcher.urls.clear();
        action->trigger();

        EXPECT_EQ(window->currentTab(), row.tab >= 0 ? row.tab : tabBefore);
        // Message boxes only, since a command may run a dialog of its own first; a command whose
        // only window is a dialog (the about box) is known by that dialog's title.
        QStringList boxes, dialogs;
        for (const KPrompt::Request& request : prompts.asked)
            (request.kind == KPrompt::Dialog ? dialogs : boxes) << request.title;
        if (boxes.isEmpty())
            boxes = dialogs;
        EXPECT_EQ(boxes, *row.prompt ? QStringList{row.prompt} : QStringList{});
        if (*row.url) {
            ASSERT_EQ(catcher.urls.size(), 1);
            EXPECT_TRUE(catcher.urls[0].toString().contains(row.url)) << catcher.urls[0].toString().toStdString();
        } else {
            EXPECT_TRUE(catcher.urls.isEmpty());
        }
        // A project the command opened goes again, so that every row starts without one.
        window->closeProject(false);
    }
}

TEST_F(MainWindowTest, HelpPagesShipInBothLanguages)
{
    UrlCatcher catcher;
    const QList<int> help = {10, 41, 42, 43, 44, 45};
    for (const QString language : {"EN", "FR"}) {
        // Without the English catalogue the French source names are used.
        if (language == "FR")
            QCoreApplication::removeTranslator(&editorTr);
        catcher.urls.clear();
        for (int id : help)
            actions->getAction(id)->trigger();
        ASSERT_EQ(catcher.urls.size(), help.size());
        for (const QUrl& url : catcher.urls) {
            const QString page = url.toLocalFile().section("/documentation/", 1);
            EXPECT_TRUE(page.startsWith(language + "/HTML/")) << page.toStdString();
            EXPECT_TRUE(QFileInfo::exists(QString(TOVRA_TEST_BUNDLE_DIR) + "/documentation/" + page))
                << page.toStdString();
        }
    }
}

TEST_F(MainWindowTest, AboutBoxShowsTheProgramOverItsPicture)
{
    bool grabbed = false;
    QStringList texts;
    const KPrompt::Handler previous = KPrompt::setHandler([&](const KPrompt::Request& request) {
        EXPECT_EQ(request.parent, window);
        if (request.dialog) {
            request.dialog->show();
            for (const QLabel* label : request.dialog->findChildren<QLabel*>())
                texts << label->text();
            grabbed = grabToScreens(request.dialog, "editor_about");
        }
        return KPrompt::Answer();
    });
    actions->getAction(11)->trigger();
    KPrompt::setHandler(previous);
    EXPECT_TRUE(grabbed);
    EXPECT_TRUE(texts.join('\n').contains(window->getParams()->getCurrentVersion()));
}

TEST_F(MainWindowTest, BoxesOfCommandsWithoutTracksSayWhy)
{
    PromptRecorder prompts;
    actions->getAction(21)->trigger();
    actions->getAction(16)->trigger();
    actions->getAction(52)->trigger();
    ASSERT_EQ(prompts.asked.size(), 3);
    EXPECT_EQ(prompts.asked[0].kind, KPrompt::Information);
    EXPECT_EQ(prompts.asked[0].parent, window);
    EXPECT_EQ(prompts.asked[0].text, "No audio file available in the stem tracks library (structure tab)!");
    EXPECT_EQ(prompts.asked[1].text, "No audio file available in the stem tracks library!");
    EXPECT_EQ(prompts.asked[2].text, QString("Qt's run-time version : ") + qVersion() +
                                         "\nQt's compiled version : " + QT_VERSION_STR);
    window->setSavedProject(true);
    actions->getAction(28)->trigger();
    ASSERT_EQ(prompts.asked.size(), 4);
    EXPECT_EQ(prompts.asked[3].kind, KPrompt::Warning);
    EXPECT_EQ(prompts.asked[3].parent, nullptr);
    EXPECT_EQ(prompts.asked[3].text, "Action not yet implemented !");
    EXPECT_TRUE(window->projectIsSaved());
    prompts.asked.removeLast();
    // Commands on a constraint with none selected neither ask nor mark the project modified.
    window->setSavedProject(true);
    for (int id : {29, 30, 31, 32})
        actions->getAction(id)->trigger();
    EXPECT_EQ(prompts.asked.size(), 3);
    EXPECT_TRUE(window->projectIsSaved());
}

TEST_F(MainWindowTest, ImportOffersTheAudioFilterAndACancelLeavesTheProjectSaved)
{
    ASSERT_TRUE(window->newProject(false));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->setSavedProject(true);
    window->getParams()->setLastImportDirectory("/music");
    PromptRecorder prompts;
    // The track library's tool button, as the author presses it.
    QToolButton* importButton = nullptr;
    for (QToolButton* button : window->findChildren<QToolButton*>())
        if (button->defaultAction() == actions->getAction(12) && button->isVisible())
            importButton = button;
    ASSERT_NE(importButton, nullptr);
    QTest::mouseClick(importButton, Qt::LeftButton);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].kind, KPrompt::OpenFileNames);
    EXPECT_EQ(prompts.asked[0].text, "/music");
    EXPECT_EQ(prompts.asked[0].filter, window->getParams()->getAudioFileFilter());
    EXPECT_TRUE(prompts.asked[0].filter.startsWith("Audio Files ("));
    // Cancelled: nothing is imported and the project is as saved.
    EXPECT_TRUE(window->projectIsSaved());
    EXPECT_FALSE(window->windowTitle().contains("*")) << window->windowTitle().toStdString();
}

TEST_F(MainWindowTest, HiddenKeyChordsWorkAnywhereInTheWindow)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    PromptRecorder prompts;
    QTest::keyClick(window, Qt::Key_Q);
    QTest::keyClick(window, Qt::Key_T);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].title, "Qt's Versions");
    QTest::keyClick(window, Qt::Key_T);
    QTest::keyClick(window, Qt::Key_V);
    QTest::keyClick(window, Qt::Key_R);
    // The password dialog, answered with nothing typed.
    ASSERT_EQ(prompts.asked.size(), 3);
    EXPECT_EQ(prompts.asked[1].kind, KPrompt::Dialog);
    EXPECT_EQ(prompts.asked[2].text, "Mot de passe incorrect");
    EXPECT_EQ(window->getUpdateTest(), 0);
}

TEST_F(MainWindowTest, QuitClosesTheWindow)
{
    window->show();
    actions->getAction(5)->trigger();
    EXPECT_TRUE(window->isClosing());
    EXPECT_FALSE(window->isVisible());
}

#include "moc_UrlCatcher.cpp"
