#include "EditorTestEnvironment.h"
#include "KSplashScreen.h"
#include "ProjectFixture.h"
#include "SonaricStartup.h"
#include "SonaricParams.h"
#include "ZazuzoziZadiviDU.h"

#include <QApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QResource>
#include <QSignalSpy>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>

#include <signal.h>
#include <unistd.h>

namespace {
// Runs the start-up in-process; the main window is built first so that the commands it
// reaches can be watched, and it is closed as soon as the event loop runs.
class StartupTest : public ::testing::Test
{
protected:
    // Registered here too, so that a window built before the start-up finds its pictures.
    void SetUp() override
    {
        ASSERT_TRUE(QResource::registerResource(EditorTestEnvironment::get()->bundlePath()));
    }
    void TearDown() override
    {
        QResource::unregisterResource(EditorTestEnvironment::get()->bundlePath());
        ZazuzoziZadiviDU::deleteInstance();
        EditorTestEnvironment::get()->writeLanguage("EN");
    }

    int start(const QStringList& arguments)
    {
        ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
        closeOnceLoopRuns(window);
        return SonaricStartup::run(arguments);
    }

    // The splash screen lets events through while it shows its messages: wait for the event
    // loop itself before looking and closing.
    void closeOnceLoopRuns(ZazuzoziZadiviDU* window)
    {
        QTimer::singleShot(0, window, [this, window] {
            if (QThread::currentThread()->loopLevel() == 0) {
                closeOnceLoopRuns(window);
                return;
            }
            ranLoop = true;
            // The window is built before the start-up installs its catalogues: ask them directly.
            newText = QCoreApplication::translate("TVRAction", "Nouveau projet");
            language = window->getLanguage();
            paramsLanguage = window->getParams()->getLanguage();
            shownTitle = window->windowTitle();
            window->close();
        });
    }

    bool ranLoop = false;
    QString newText;
    QString language;
    QString paramsLanguage;
    QString shownTitle;
};

// Reached only when a termination signal was not acted on: dismisses every dialog and closes
// the window, so that such a fault fails the test instead of hanging until ctest's time-out.
class SignalDeadline
{
public:
    explicit SignalDeadline(ZazuzoziZadiviDU* window) : window(window)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            reached = true;
            timer.start(100);
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->done(QDialog::Rejected);
                modal->hide();
                return;
            }
            if (this->window)
                this->window->close();
            QCoreApplication::exit(0);
        });
        timer.setSingleShot(true);
        timer.start(60000);
    }
    bool reached = false;

private:
    QPointer<ZazuzoziZadiviDU> window;
    QTimer timer;
};

// Runs `action` once an event loop runs and, when `dialogClass` is given, a dialog of that class
// shows in it.
void onceShown(QObject* context, const char* dialogClass, std::function<void()> action)
{
    QTimer::singleShot(10, context, [context, dialogClass, action] {
        bool shown = !dialogClass;
        for (QWidget* widget : QApplication::topLevelWidgets())
            shown = shown || (widget->isVisible() && widget->inherits(dialogClass));
        if (QThread::currentThread()->loopLevel() == 0 || !shown) {
            onceShown(context, dialogClass, action);
            return;
        }
        action();
    });
}
} // namespace

TEST(StartupLanguage, UnknownOrMissingCodesFallBackToEnglish)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("lang.ini");
    EXPECT_EQ(SonaricStartup::languageCode(file), "EN");
    struct Case {
        const char* value;
        const char* code;
    };
    for (const Case& c : {Case{"FR", "FR"}, Case{"fr", "FR"}, Case{" FR ", "FR"}, Case{"EN", "EN"},
                          Case{"DE", "EN"}, Case{"", "EN"}}) {
        QFile::remove(file);
        QSettings(file, QSettings::IniFormat).setValue("LANG", c.value);
        EXPECT_EQ(SonaricStartup::languageCode(file), c.code) << c.value;
    }
}

TEST(StartupLanguage, EmbeddedCataloguesLoad)
{
    for (const char* code : {"EN", "FR"}) {
        QTranslator editor, qt;
        QString error;
        EXPECT_TRUE(SonaricStartup::loadTranslations(code, editor, qt, &error)) << code;
        EXPECT_FALSE(editor.isEmpty()) << code;
    }
    QTranslator editor, qt;
    EXPECT_TRUE(SonaricStartup::loadTranslations("EN", editor, qt, nullptr));
    EXPECT_EQ(editor.translate("TVRAction", "Nouveau projet"), "New...");
    EXPECT_EQ(editor.translate("QObject", "Fichier introuvable : "), "File not found: ");
    EXPECT_EQ(qt.translate("QPlatformTheme", "Cancel"), "Cancel");
    QString error;
    EXPECT_FALSE(SonaricStartup::loadTranslations("DE", editor, qt, &error));
    EXPECT_EQ(error, "Cannot open Tovra languages files!");
}

TEST_F(StartupTest, MissingBundleStopsWithTheFullPathAndAFailureCode)
{
    EditorTestEnvironment* env = EditorTestEnvironment::get();
    const QString moved = env->bundlePath() + ".away";
    ASSERT_TRUE(QFile::rename(env->bundlePath(), moved));
    PromptRecorder prompts;
    const int code = SonaricStartup::run({});
    QFile::rename(moved, env->bundlePath());
    EXPECT_NE(code, 0);
    EXPECT_FALSE(ZazuzoziZadiviDU::hasInstance());
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].kind, KPrompt::Critical);
    EXPECT_EQ(prompts.asked[0].title, "Error");
    EXPECT_EQ(prompts.asked[0].text, "File not found: " + SonaricStartup::imageBundlePath());
    EXPECT_TRUE(prompts.asked[0].text.endsWith("/Frameworks/TovraDream.eus"));
}

TEST_F(StartupTest, UnreadableBundleStopsWithAFailureCode)
{
    EditorTestEnvironment* env = EditorTestEnvironment::get();
    const QString moved = env->bundlePath() + ".away";
    ASSERT_TRUE(QFile::rename(env->bundlePath(), moved));
    {
        QFile junk(env->bundlePath());
        junk.open(QIODevice::WriteOnly);
        junk.write("not a resource file");
    }
    PromptRecorder prompts;
    const int code = SonaricStartup::run({});
    QFile::remove(env->bundlePath());
    QFile::rename(moved, env->bundlePath());
    EXPECT_NE(code, 0);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].text, "Unreadable file: " + SonaricStartup::imageBundlePath());
}

TEST_F(StartupTest, ProjectSplitOverArgumentsOpensWithoutStartDialog)
{
    QTemporaryDir dir;
    const QString project = dir.filePath("my song.tvprj");
    {
        KCtrlFile document;
        ASSERT_TRUE(writeProjectFile(document, project));
    }
    QFile(dir.filePath("my")).open(QIODevice::WriteOnly);
    PromptRecorder prompts;
    EXPECT_EQ(start({dir.filePath("my"), "song.tvprj"}), 0);
    EXPECT_TRUE(ranLoop);
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_EQ(newText, "New...");
    EXPECT_EQ(language, "EN");
    EXPECT_EQ(paramsLanguage, "EN");
    EXPECT_EQ(shownTitle, "my song - Tovra Sonaric Free");
    // The window and its settings are gone when the start-up returns.
    EXPECT_FALSE(ZazuzoziZadiviDU::hasInstance());
}

TEST_F(StartupTest, WithoutProjectTheStartDialogFollowsTheUpdateCheck)
{
    for (const QStringList& arguments : {QStringList{}, QStringList{"/no/such/project.tvprj"}}) {
        PromptRecorder prompts;
        EXPECT_EQ(start(arguments), 0);
        EXPECT_TRUE(ranLoop);
            // The start dialog, known by the product name in its title; a missing project is reported first.
        ASSERT_FALSE(prompts.asked.isEmpty());
        EXPECT_EQ(prompts.asked.last().kind, KPrompt::Dialog);
        EXPECT_TRUE(prompts.asked.last().title.startsWith("Tovra Sonaric"));
        ranLoop = false;
    }
}

// A project on the command line that cannot be read is named in an error, left as it was, and
// the start dialog follows.
TEST_F(StartupTest, DamagedProjectIsReportedAndKept)
{
    QTemporaryDir dir;
    const QString project = dir.filePath("damaged.tvprj");
    fixtures::writeBytes(project.toStdString(), "SONARIC_PROJECT but not a project");
    PromptRecorder prompts;
    EXPECT_EQ(start({project}), 0);
    EXPECT_TRUE(ranLoop);
    ASSERT_EQ(prompts.asked.size(), 2);
    EXPECT_EQ(prompts.asked[0].kind, KPrompt::Critical);
    EXPECT_EQ(prompts.asked[0].text, "Error: cannot open project\n" + project);
    EXPECT_EQ(prompts.asked[1].kind, KPrompt::Dialog);
    EXPECT_EQ(fixtures::readBytes(project.toStdString()), "SONARIC_PROJECT but not a project");
}

TEST_F(StartupTest, FrenchLanguageFileGivesFrenchTexts)
{
    EditorTestEnvironment::get()->writeLanguage("FR");
    EXPECT_EQ(start({}), 0);
    EXPECT_EQ(newText, "Nouveau projet");
    EXPECT_EQ(language, "FR");
    EXPECT_EQ(paramsLanguage, "FR");
    // The catalogues are taken out again when the start-up returns.
    EXPECT_EQ(QCoreApplication::translate("TVRAction", "Nouveau projet"), "Nouveau projet");
}

TEST_F(StartupTest, WindowClosedDuringConstructionEndsTheStart)
{
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    window->show();
    window->close();
    EXPECT_EQ(SonaricStartup::run({}), 0);
}

TEST(StartupSplashScreen, ListsItsMessagesOverThePicture)
{
    for (const char* code : {"EN", "FR"}) {
        Q_INIT_RESOURCE(pictures_SonaricApp);
        const QString picture = QString(":/Intern/PubIntro") + code;
        EXPECT_EQ(QPixmap(picture).size(), QSize(800, 600)) << code;
        KSplashScreen splash(picture, QString());
        splash.setListGeometry(QRect(223, 143, 355, 125));
        QFont font = splash.font();
        font.setWeight(QFont::Bold);
        splash.setListFont(font, Qt::black);
        splash.setPrgText("Images loading…", 0);
        splash.setPrgText("Main window creation…", 30);
        splash.start();
        EXPECT_TRUE(splash.isVisible());
        EXPECT_EQ(splash.size(), QSize(800, 600));
        EXPECT_TRUE(splash.list()->toPlainText().contains("Main window creation…"));
        EXPECT_TRUE(grabToScreens(&splash, QString("editor_splash_") + code));
        splash.finish();
        EXPECT_FALSE(splash.isVisible());
    }
}

TEST_F(StartupTest, TerminationSignalClosesTheWindowAsQuitDoes)
{
    QTemporaryDir dir;
    const QString project = dir.filePath("song.tvprj");
    {
        KCtrlFile document;
        ASSERT_TRUE(writeProjectFile(document, project));
    }
    struct sigaction before {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &before), 0);
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    bool hadProject = false;
    std::function<void()> terminateOnceLoopRuns = [&] {
        if (QThread::currentThread()->loopLevel() == 0) {
            QTimer::singleShot(0, window, terminateOnceLoopRuns);
            return;
        }
        ranLoop = true;
        hadProject = window->getTovraFile() != nullptr;
        ::kill(::getpid(), SIGTERM);
    };
    QTimer::singleShot(0, window, terminateOnceLoopRuns);
    PromptRecorder prompts;
    SignalDeadline deadline(window);
    // Without its own handling the signal would end this process here.
    EXPECT_EQ(SonaricStartup::run({project}), 0);
    EXPECT_FALSE(deadline.reached) << "the signal did not end the editor";
    EXPECT_TRUE(ranLoop);
    EXPECT_TRUE(hadProject);
    // A saved project closes without a question; the signal is the program's again afterwards.
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_FALSE(ZazuzoziZadiviDU::hasInstance());
    struct sigaction now {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, before.sa_handler);
}

// SIGTERM and SIGINT end the editor from a modal dialog as Quit does: over the start dialog
// without a question; over a dialog on a modified project with the save question, once.
TEST_F(StartupTest, TerminationSignalEndsTheEditorFromAModalDialog)
{
    QTemporaryDir dir;
    const QString project = dir.filePath("song.tvprj");
    {
        KCtrlFile document;
        ASSERT_TRUE(writeProjectFile(document, project));
    }
    struct Case {
        const char* name;
        int signal;
        bool withProject;
    };
    for (const Case& c : {Case{"start dialog, SIGTERM", SIGTERM, false}, Case{"start dialog, SIGINT", SIGINT, false},
                          Case{"settings over a modified project, SIGTERM", SIGTERM, true}}) {
        SCOPED_TRACE(c.name);
        ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
        QList<KPrompt::Request> asked;
        QString modalShown;
        // The editor's own dialogs run modally as they do for a person; questions answer No.
        ScopedPromptHandler prompts([&](const KPrompt::Request& request) {
            asked << request;
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Dialog) {
                answer.button = request.dialog->exec();
                return answer;
            }
            answer.button = QMessageBox::No;
            return answer;
        });
        const char* dialogClass = c.withProject ? "KParamsDlg" : "DlgOpenSonaric";
        if (c.withProject)
            onceShown(window, nullptr, [window] {
                window->setUnsavedProject();
                window->openSettingsDialog(0);
            });
        onceShown(window, dialogClass, [&modalShown, &c] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->isVisible() && qobject_cast<QDialog*>(widget))
                    modalShown = widget->metaObject()->className();
            ::kill(::getpid(), c.signal);
        });
        SignalDeadline deadline(window);
        EXPECT_EQ(SonaricStartup::run(c.withProject ? QStringList{project} : QStringList{}), 0);
        EXPECT_FALSE(deadline.reached) << "the signal did not end the editor";
        EXPECT_EQ(modalShown, dialogClass);
        EXPECT_FALSE(ZazuzoziZadiviDU::hasInstance());
        QStringList questions;
        for (const KPrompt::Request& request : asked)
            if (request.kind == KPrompt::Question)
                questions << request.text;
        EXPECT_EQ(questions.size(), c.withProject ? 1 : 0) << questions.join(" | ").toStdString();
    }
}
