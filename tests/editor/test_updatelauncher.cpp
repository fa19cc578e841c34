#include "../HttpFixture.h"
#include "MainWindowFixture.h"
#include "UpdateLauncher.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTcpServer>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace {
const QByteArray InstalledUpdater = "#!/bin/sh\nexit 0\n";

QByteArray description(const QString& version)
{
    return QString("<TOVRA_UPDATE><TOVRA_VERSION>%1</TOVRA_VERSION><TOVRA_DESC>Nouveautés</TOVRA_DESC>"
                   "</TOVRA_UPDATE>")
        .arg(version)
        .toUtf8();
}

const HttpFixture::Response Newer{200, description("9.0")};
const HttpFixture::Response Current{200, description("1.0")};
const HttpFixture::Response Malformed{200, "<TOVRA_UPDATE><TOVRA_VERSION>9.0</TOVRA_VERSION>"};
const HttpFixture::Response Failing{500, "<html>Server error</html>"};

// The mode bits (owner, group, others): read and execute, no write. The "user" flags describe the
// caller's access instead, which differs for root.
constexpr int ModeBits = 0x7077;
constexpr int ReadAndExecute = 0x5055;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// What the updater launch saw at the moment it started the program.
struct Launched {
    QString program;
    QStringList arguments;
    QString workDir;
    QStringList files;
    QByteArray updaterBytes;
    QFileDevice::Permissions updaterPermissions;
};

// Refuses every close of the window, as a cancelled save question does.
class CloseRefuser : public QObject
{
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        return true;
    }
};

class UpdateLauncherTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        work = SonaricParams::updateWorkDir();
        programDir = EditorTestEnvironment::get()->programDir();
        QDir(work).removeRecursively();
        writeFile(programDir + "/" + Snc::UpdateFile, InstalledUpdater);
        previousEndpoints = UpdateLauncher::endpoints();
        UpdateLauncher::setEndpoints({server.url("/release.update"), server.url("/test.update"),
                                      server.url("/news"), "local server",
                                      "https://installer.example/full.tar.gz"});
        previousStarter = UpdateLauncher::setStarter(
            [this](const QString& program, const QStringList& arguments, const QString& workDir) {
                Launched seen{program, arguments, workDir, QDir(workDir).entryList(QDir::Files | QDir::Hidden),
                              contents(program), QFile::permissions(program)};
                launches << seen;
                return startWorks;
            });
        previousOpener = UpdateLauncher::setPageOpener([this](const QUrl& url) {
            openedPages << url.toString();
            return pageOpens;
        });
        previousPrompt = KPrompt::setHandler([this](const KPrompt::Request& request) {
            asked << request;
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Dialog) {
                request.dialog->show();
                grabToScreens(request.dialog, "update_notice");
                answer.button = noticeAnswer;
            } else {
                answer.button = buttonAnswer;
            }
            return answer;
        });
    }

    void TearDown() override
    {
        KPrompt::setHandler(previousPrompt);
        UpdateLauncher::setPageOpener(previousOpener);
        UpdateLauncher::setStarter(previousStarter);
        UpdateLauncher::setEndpoints(previousEndpoints);
        window->getParams()->setUpdateSearch(SonaricParams::UpdateOnRequest);
        QDir(work).removeRecursively();
        QFile::remove(programDir + "/" + Snc::UpdateFile);
        MainWindowTest::TearDown();
    }

    void reset()
    {
        asked.clear();
        launches.clear();
        openedPages.clear();
        QDir(work).removeRecursively();
    }

    QStringList askedTexts() const
    {
        QStringList texts;
        for (const KPrompt::Request& request : asked)
            texts << request.title + " / " + request.text;
        return texts;
    }

    QString quotedProgramDir() const { return "\"" + programDir + "\""; }

    HttpFixture server;
    QString work;
    QString programDir;
    QList<KPrompt::Request> asked;
    QList<Launched> launches;
    QStringList openedPages;
    bool startWorks = true;
    bool pageOpens = true;
    int noticeAnswer = QDialog::Accepted;
    int buttonAnswer = QMessageBox::Ok;

private:
    UpdateLauncher::Endpoints previousEndpoints;
    UpdateLauncher::Starter previousStarter;
    UpdateLauncher::PageOpener previousOpener;
    KPrompt::Handler previousPrompt;
};
} // namespace

TEST_F(UpdateLauncherTest, StartupCheckFollowsTheSearchPreferenceAndTheServer)
{
    struct Case {
        const char* name;
        int mode;
        HttpFixture::Response answer;
        int noticeAnswer;
        int requests;
        QList<KPrompt::Kind> prompts;
        bool launched;
    };
    const Case cases[] = {
        {"manual only", SonaricParams::UpdateOnRequest, Newer, QDialog::Accepted, 0, {}, false},
        {"silent update", SonaricParams::UpdateAndDownload, Newer, QDialog::Rejected, 1, {}, true},
        {"notice accepted", SonaricParams::UpdateCheckOnly, Newer, QDialog::Accepted, 1, {KPrompt::Dialog}, true},
        {"notice declined", SonaricParams::UpdateCheckOnly, Newer, QDialog::Rejected, 1, {KPrompt::Dialog}, false},
        {"current version", SonaricParams::UpdateAndDownload, Current, QDialog::Accepted, 1, {}, false},
        {"malformed answer", SonaricParams::UpdateAndDownload, Malformed, QDialog::Accepted, 1, {}, false},
        {"server fails", SonaricParams::UpdateCheckOnly, Failing, QDialog::Accepted, 1, {KPrompt::Critical}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        const int requestsBefore = server.requests();
        server.set("/release.update", c.answer);
        // The start-up reads the release description whatever the test mode.
        server.set("/test.update", Current);
        window->setUpdateTest(2);
        window->getParams()->setUpdateSearch(c.mode);
        noticeAnswer = c.noticeAnswer;

        EXPECT_EQ(updatefct(window), c.launched);
        EXPECT_EQ(server.requests() - requestsBefore, c.requests);
        QList<KPrompt::Kind> kinds;
        for (const KPrompt::Request& request : asked)
            kinds << request.kind;
        EXPECT_EQ(kinds, c.prompts) << askedTexts().join("\n").toStdString();
        ASSERT_EQ(launches.size(), c.launched ? 1 : 0);
        EXPECT_EQ(QFileInfo::exists(work), c.launched);
        if (c.launched) {
            EXPECT_EQ(launches[0].arguments, QStringList({"-p", quotedProgramDir()}));
        }
    }
}

TEST_F(UpdateLauncherTest, LaunchCopiesTheInstalledUpdaterIntoAFreshWorkFolder)
{
    // A stale updater and a library already in the work folder, another library beside the editor.
    const QString keptLibrary = Snc::UpdateLibBinaries.value(0);
    const QString shippedLibrary = Snc::UpdateLibBinaries.value(1);
    ASSERT_TRUE(QDir().mkpath(work));
    writeFile(work + "/" + Snc::UpdateFile, "stale updater");
    writeFile(work + "/" + keptLibrary, "kept");
    writeFile(programDir + "/" + shippedLibrary, "shipped");
    // A user's file named like the description in the current folder is left alone.
    QTemporaryDir current;
    const QString previousCurrent = QDir::currentPath();
    QDir::setCurrent(current.path());
    writeFile(current.filePath("tvs_update.tmp"), "mine");

    server.set("/release.update", Newer);
    window->getParams()->setUpdateSearch(SonaricParams::UpdateAndDownload);
    const bool started = updatefct(window);
    QDir::setCurrent(previousCurrent);
    QFile::remove(programDir + "/" + shippedLibrary);

    EXPECT_TRUE(started);
    EXPECT_TRUE(asked.isEmpty()) << askedTexts().join("\n").toStdString();
    ASSERT_EQ(launches.size(), 1);
    const Launched& seen = launches[0];
    EXPECT_EQ(seen.program, work + "/" + Snc::UpdateFile);
    EXPECT_EQ(seen.workDir, work);
    EXPECT_EQ(QFileInfo(work).absoluteFilePath(), programDir + "/.tvrudttmp");
    EXPECT_EQ(seen.arguments, QStringList({"-p", quotedProgramDir()}));
    EXPECT_EQ(seen.updaterBytes, InstalledUpdater);
    EXPECT_EQ(int(seen.updaterPermissions) & ModeBits, ReadAndExecute);
    QStringList expectedFiles{Snc::UpdateFile, keptLibrary, shippedLibrary};
    expectedFiles.sort();
    QStringList files = seen.files;
    files.sort();
    EXPECT_EQ(files, expectedFiles);
    EXPECT_EQ(contents(work + "/" + keptLibrary), "kept");
    EXPECT_EQ(contents(work + "/" + shippedLibrary), "shipped");
    for (const QString& library : {keptLibrary, shippedLibrary})
        EXPECT_EQ(int(QFile::permissions(work + "/" + library)) & ModeBits, ReadAndExecute) << library.toStdString();
    EXPECT_EQ(contents(current.filePath("tvs_update.tmp")), "mine");
    EXPECT_EQ(QDir(current.path()).entryList(QDir::Files), QStringList{"tvs_update.tmp"});
}

TEST_F(UpdateLauncherTest, MenuCommandReadsTheDescriptionOfTheTestModeAndClosesTheWindow)
{
    struct Case {
        int testMode;
        const char* newerAt;
        QStringList arguments;
    };
    const Case cases[] = {
        {0, "/release.update", {}},
        {1, "/test.update", {}},
        {2, "/test.update", {"-c", "EssaiDeMiseAJour"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.testMode);
        reset();
        ZazuzoziZadiviDU::deleteInstance();
        window = ZazuzoziZadiviDU::getInstance();
        window->show();
        server.set("/release.update", Current);
        server.set("/test.update", Current);
        server.set(c.newerAt, Newer);
        window->setUpdateTest(c.testMode);

        window->getActionManager()->getAction(35)->trigger();
        ASSERT_EQ(launches.size(), 1) << askedTexts().join("\n").toStdString();
        EXPECT_EQ(launches[0].arguments, QStringList(c.arguments) << "-p" << quotedProgramDir());
        EXPECT_TRUE(window->isClosing());
        EXPECT_FALSE(window->isVisible());
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked[0].kind, KPrompt::Dialog);
    }
}

TEST_F(UpdateLauncherTest, MenuCommandWithoutUpdateTellsOnlyWhenTheVersionIsCurrent)
{
    struct Case {
        const char* name;
        HttpFixture::Response answer;
        int noticeAnswer;
        QStringList shown;
    };
    const Case cases[] = {
        {"current", Current, QDialog::Accepted,
         {"Check for update / Your version is already up to date!"}},
        {"malformed", Malformed, QDialog::Accepted,
         {"Check for update / The update information received from local server could not be read."}},
        {"notice declined", Newer, QDialog::Rejected, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        server.set("/release.update", c.answer);
        noticeAnswer = c.noticeAnswer;
        UpdateLauncher::menuCheck(window);
        QStringList shown;
        for (const KPrompt::Request& request : asked) {
            if (request.kind != KPrompt::Dialog)
                shown << request.title + " / " + request.text;
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_TRUE(launches.isEmpty());
        EXPECT_FALSE(window->isClosing());
    }

    // A failing server: only the download's own failure message.
    reset();
    server.set("/release.update", Failing);
    UpdateLauncher::menuCheck(window);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].kind, KPrompt::Critical);
    EXPECT_TRUE(launches.isEmpty());
}

TEST_F(UpdateLauncherTest, MenuUpdateStartsNothingWhileTheWindowRefusesToClose)
{
    window->show();
    CloseRefuser refuser;
    window->installEventFilter(&refuser);
    server.set("/release.update", Newer);
    UpdateLauncher::menuCheck(window);
    window->removeEventFilter(&refuser);
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isClosing());
    // Only the notice: the refused close is the user's own answer.
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].kind, KPrompt::Dialog);
}

TEST_F(UpdateLauncherTest, WithoutAStartableUpdaterTheInstallerPageIsOfferedAndMustOpen)
{
    struct Case {
        const char* name;
        bool updaterInstalled;
        int answer;
        bool pageOpens;
        bool result;
    };
    const Case cases[] = {
        {"no updater, page opened", false, QMessageBox::Yes, true, true},
        {"no updater, no browser", false, QMessageBox::Yes, false, false},
        {"no updater, declined", false, QMessageBox::No, true, false},
        {"updater does not start, page opened", true, QMessageBox::Yes, true, true},
    };
    const QString fallbackTitle = window->getParams()->getSoftName() + " Update Tovra Sonaric Pro";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        if (c.updaterInstalled)
            writeFile(programDir + "/" + Snc::UpdateFile, InstalledUpdater);
        else
            QFile::remove(programDir + "/" + Snc::UpdateFile);
        startWorks = false;
        buttonAnswer = c.answer;
        pageOpens = c.pageOpens;
        server.set("/release.update", Newer);
        window->getParams()->setUpdateSearch(SonaricParams::UpdateAndDownload);

        EXPECT_EQ(updatefct(window), c.result);
        EXPECT_EQ(launches.size(), c.updaterInstalled ? 1 : 0);
        ASSERT_GE(asked.size(), 1);
        EXPECT_EQ(asked[0].kind, KPrompt::Warning);
        EXPECT_EQ(asked[0].title, fallbackTitle);
        EXPECT_TRUE(asked[0].text.startsWith("The program cannot be updated automatically.\n"));
        EXPECT_EQ(asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(asked[0].defaultButton, QMessageBox::Yes);
        EXPECT_EQ(openedPages, c.answer == QMessageBox::Yes
                                   ? QStringList{"https://installer.example/full.tar.gz"}
                                   : QStringList());
        // A start-up that goes on says why.
        EXPECT_EQ(askedTexts().mid(1),
                  c.result ? QStringList() : QStringList{"Update Tovra Sonaric Pro / Cannot start update!"});
    }
}

TEST_F(UpdateLauncherTest, StartupEndsBeforeTheStartDialogOnceTheUpdaterRuns)
{
    server.set("/release.update", Newer);
    window->getParams()->setUpdateSearch(SonaricParams::UpdateAndDownload);
    // Should the start-up reach its event loop, the window closes there and the test fails below.
    std::function<void()> closeInLoop = [&] {
        if (QThread::currentThread()->loopLevel() == 0) {
            QTimer::singleShot(0, window, closeInLoop);
            return;
        }
        window->close();
    };
    QTimer::singleShot(0, window, closeInLoop);
    EXPECT_EQ(SonaricStartup::run({}), 0);
    EXPECT_EQ(launches.size(), 1);
    // The start-up deleted the window it used.
    window = ZazuzoziZadiviDU::getInstance();
}

TEST_F(UpdateLauncherTest, HiddenCommandSetsTheTestModeOnlyWithThePassword)
{
    struct Case {
        const char* password;
        bool testFile;
        const char* button;
        int mode;
        const char* message;
    };
    const Case cases[] = {
        {"Le chat est gris !", false, "test", 1,
         "Mode test pour la mise à jour, avec fichier xml de localisation des serveurs réels."},
        {"Le chat est gris !", true, "test", 2,
         "Mode test pour la mise à jour, avec fichier xml de test de localisation des serveurs."},
        {"Le chat est gris !", true, "real", 0, "Mode réel pour la mise à jour."},
        {"le chat est gris !", true, "test", 3, "Mot de passe incorrect"},
        {"", false, "real", 3, "Mot de passe incorrect"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password + std::string(" ") + c.button);
        QList<KPrompt::Request> seen;
        const KPrompt::Handler fixtureHandler = KPrompt::setHandler([&](const KPrompt::Request& request) {
            seen << request;
            KPrompt::Answer answer;
            answer.button = QMessageBox::Ok;
            if (request.kind == KPrompt::Dialog) {
                QDialog* dialog = request.dialog;
                dialog->show();
                QTest::keyClicks(dialog->findChild<QLineEdit*>("password"), c.password);
                if (c.testFile)
                    dialog->findChild<QCheckBox*>("testFile")->click();
                grabToScreens(dialog, "update_test_password");
                dialog->findChild<QPushButton*>(c.button)->click();
                answer.button = dialog->result();
            }
            return answer;
        });
        window->setUpdateTest(3);
        window->getActionManager()->getAction(51)->trigger();
        KPrompt::setHandler(fixtureHandler);

        EXPECT_EQ(window->getUpdateTest(), c.mode);
        ASSERT_EQ(seen.size(), 2);
        EXPECT_EQ(seen[0].kind, KPrompt::Dialog);
        EXPECT_EQ(seen[1].kind, KPrompt::Information);
        EXPECT_EQ(seen[1].title, c.mode == 3 ? "Update Test" : "Update");
        EXPECT_EQ(seen[1].text, QString(c.message));
        EXPECT_EQ(seen[1].parent, window);
    }
}

TEST_F(UpdateLauncherTest, MenuCommandSaysWhenTheServerCannotBeReached)
{
    // A port nobody listens on any more: the connection is refused.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    const QString nowhere = QString("http://127.0.0.1:%1/release.update").arg(closedPort);
    UpdateLauncher::setEndpoints({nowhere, nowhere, server.url("/news"), "local server",
                                  "https://installer.example/full.tar.gz"});
    window->show();
    QMenu* help = window->menuBar()->actions().last()->menu();
    QAction* update = window->getActionManager()->getAction(35);
    help->popup(window->mapToGlobal(QPoint(0, 22)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    QTest::mouseClick(help, Qt::LeftButton, {}, help->actionGeometry(update).center());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].kind, KPrompt::Critical);
    EXPECT_TRUE(asked[0].text.contains("local server")) << asked[0].text.toStdString();
    EXPECT_TRUE(launches.isEmpty());
    EXPECT_FALSE(window->isClosing());
}

// The server answers, but with something that is no update description: the menu command says so
// instead of ending in silence, and nothing starts.
TEST_F(UpdateLauncherTest, MenuCommandSaysWhenTheUpdateInformationCannotBeRead)
{
    const HttpFixture::Response answers[] = {
        Malformed,
        {200, "<html><body>Maintenance</body></html>"},
        {200, "<TOVRA_UPDATE><TOVRA_VERSION>latest</TOVRA_VERSION></TOVRA_UPDATE>"},
        {200, ""},
    };
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QMenu* help = window->menuBar()->actions().last()->menu();
    QAction* update = window->getActionManager()->getAction(35);
    for (const HttpFixture::Response& answer : answers) {
        SCOPED_TRACE(answer.body.toStdString());
        reset();
        server.set("/release.update", answer);
        help->popup(window->mapToGlobal(QPoint(0, 22)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
        QTest::mouseClick(help, Qt::LeftButton, {}, help->actionGeometry(update).center());
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked[0].kind, KPrompt::Warning);
        EXPECT_EQ(asked[0].title + " / " + asked[0].text,
                  "Check for update / The update information received from local server could not be read.");
        EXPECT_TRUE(launches.isEmpty());
        EXPECT_FALSE(window->isClosing());
    }
}
