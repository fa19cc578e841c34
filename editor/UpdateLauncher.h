// The editor's side of an update: the check against the update description (at start-up per the
// update-search preference, or on the menu command), then the hand-over to the updater program:
// the work folder beside the editor receives a copy of the installed updater, which is started
// detached with "-p" and the editor's folder while the editor quits. No program that came from
// the network is ever run. GUI thread only.
#ifndef UPDATE_LAUNCHER_H
#define UPDATE_LAUNCHER_H

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>

class QUrl;
class ZazuzoziZadiviDU;

// The start-up check: true when the updater has been started (or the installer page opened) and
// the editor must end at once.
bool updatefct(ZazuzoziZadiviDU* mainWindow);

class UpdateLauncher
{
    Q_DECLARE_TR_FUNCTIONS(UpdateLauncher)

public:
    // Where the descriptions, the news page and the full installer are found.
    struct Endpoints {
        QString releaseDescription;
        QString testDescription;
        QString newsPage;
        QString serverName;
        QString installerPage;
    };
    static Endpoints endpoints();
    static void setEndpoints(const Endpoints& endpoints);

    // Starts program detached in workDir; false when it did not start. Tests replace it.
    using Starter = std::function<bool(const QString& program, const QStringList& arguments,
                                       const QString& workDir)>;
    // Opens a page in the desktop's web browser; false when nothing opened. Tests replace it.
    using PageOpener = std::function<bool(const QUrl& url)>;
    // Each returns the previous one; an empty function restores the real one.
    static Starter setStarter(Starter starter);
    static PageOpener setPageOpener(PageOpener opener);

    enum class Launch { Started, InstallerOpened, Declined, QuitRefused };

    // The updater's test access code given with "-c" in update test mode 2.
    static const QString TestCode;

    // The menu command: checks the description chosen by the update test mode and, when the user
    // accepts an update, closes the main window (with its save question) and starts the updater.
    static void menuCheck(ZazuzoziZadiviDU* mainWindow);

    // The hidden command: asks the password and sets the update test mode (0 release descriptions;
    // 1 test description; 2 test description and the updater in its test mode too).
    static void askTestMode(ZazuzoziZadiviDU* mainWindow);

    // Prepares the work folder and hands over to the updater with arguments + ["-p", "\"folder\""].
    // mayQuit runs once the updater is ready to start, or once the installer page is opened; false
    // means the editor has to stay open, and then nothing is started.
    static Launch launchUpdate(ZazuzoziZadiviDU* mainWindow, const QStringList& arguments,
                               const std::function<bool()>& mayQuit);

private:
    friend bool updatefct(ZazuzoziZadiviDU* mainWindow);
    static bool checkVersion(ZazuzoziZadiviDU* mainWindow, const QString& descriptionUrl, bool show,
                             bool& upToDate, bool* unreadable = nullptr);
    static bool prepareWorkFolder(const QString& workDir, const QString& updater);
};

#endif
