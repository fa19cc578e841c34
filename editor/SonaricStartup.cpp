#include "SonaricStartup.h"

#include "AppPaths.h"
#include "AppServices.h"
#include "KPrompt.h"
#include "KSplashScreen.h"
#include "KTheme.h"
#include "SonaricParams.h"
#include "TerminationWatcher.h"
#include "ZazuzoziZadiviDU.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QResource>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <cstdio>
#include <memory>
#include <vector>

// The splash pictures are compiled into this library; a static library needs them named.
static void initSplashPictures()
{
    Q_INIT_RESOURCE(pictures_SonaricApp);
}

namespace {
bool quitAsking = false; // the main window's close (and its save question) is under way

// Ends the editor from wherever the user is, as Quit does: every modal dialog (the start
// dialog, a progress dialog, a question) is dismissed as its Cancel does, one a pass, until
// none is left; a progress dialog closes once its worker has stopped. Then the main window is
// closed, which asks the save question only when the project is modified.
void quitFromAnywhere(QPointer<ZazuzoziZadiviDU> window)
{
    // A further signal while the save question is open leaves the question to the user.
    if (!window || window->isClosing() || quitAsking)
        return;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        QTimer::singleShot(20, window, [window] { quitFromAnywhere(window); });
        return;
    }
    quitAsking = true;
    window->close();
    quitAsking = false;
}

// Shown in a box and written on the error output, so that a start without a screen in view
// still says why it stopped.
void reportFailure(QWidget* parent, const QString& title, const QString& text)
{
    std::fprintf(stderr, "Sonaric: %s\n", qPrintable(text));
    KPrompt::critical(parent, title, text);
}

// Runs the events that show the window (its expose, which paints it) before anything is built
// over it, for at most a second: a window placed out of view may never be exposed. Input waits
// for the event loop.
void showFirst(QWidget* window)
{
    QWindow* handle = window->windowHandle();
    if (!handle)
        return;
    const QDeadlineTimer deadline(1000);
    // Wakes the wait below when no event comes.
    QTimer wake;
    wake.start(20);
    while (window->isVisible() && !handle->isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

// Registers the image bundle for as long as the start-up runs.
class BundleRegistration
{
public:
    explicit BundleRegistration(const QString& path) : path(path)
    {
        registered = QResource::registerResource(path, QString());
    }
    ~BundleRegistration()
    {
        if (registered)
            QResource::unregisterResource(path, QString());
    }
    bool ok() const { return registered; }

private:
    QString path;
    bool registered = false;
};
} // namespace

QString SonaricStartup::langFilePath()
{
    return QDir::toNativeSeparators(AppPaths::resourcesDir() + Snc::LangFileName);
}

QString SonaricStartup::imageBundlePath()
{
    return AppPaths::frameworksDir() + "TovraDream.eus";
}

QString SonaricStartup::languageCode(const QString& langFilePath)
{
    const QSettings file(langFilePath, QSettings::IniFormat);
    // A hand-edited "fr" or an unknown code must not keep the editor from starting.
    const QString code = file.value(Snc::LangKey, "EN").toString().trimmed().toUpper();
    return code == "FR" ? code : QString("EN");
}

bool SonaricStartup::loadTranslations(const QString& code, QTranslator& editor, QTranslator& qt,
                                      QString* error)
{
    if (!editor.load(":/TovraTr/" + code)) {
        if (error)
            *error = "Cannot open Tovra languages files!";
        return false;
    }
    if (!qt.load(":/QtTr/" + code)) {
        if (error)
            *error = "Cannot open Qt languages files!";
        return false;
    }
    return true;
}

int SonaricStartup::run(const QStringList& arguments)
{
    const QString code = languageCode(langFilePath());
    QTranslator editorTranslator;
    QTranslator qtTranslator;
    QString error;
    if (!loadTranslations(code, editorTranslator, qtTranslator, &error)) {
        reportFailure(nullptr, "Error", error);
        return ExitStartupFailure;
    }
    // The libraries' texts are French at the source: only English needs their catalogues, one
    // "<library>_en.qm" each under ":/TovraTr/".
    std::vector<std::unique_ptr<QTranslator>> libraryTranslators;
    if (code == "EN") {
        for (const QString& name : QDir(":/TovraTr").entryList({"*_en.qm"}, QDir::Files)) {
            auto translator = std::make_unique<QTranslator>();
            if (translator->load(":/TovraTr/" + name))
                libraryTranslators.push_back(std::move(translator));
            else
                std::fprintf(stderr, "Sonaric: cannot read the catalogue %s\n", qPrintable(name));
        }
    }
    QCoreApplication::installTranslator(&editorTranslator);
    for (const auto& translator : libraryTranslators)
        QCoreApplication::installTranslator(translator.get());
    QCoreApplication::installTranslator(&qtTranslator);
    // The translators live on this stack: take them out again on every way out.
    struct Uninstall {
        QTranslator* editor;
        std::vector<std::unique_ptr<QTranslator>>* libraries;
        QTranslator* qt;
        ~Uninstall()
        {
            QCoreApplication::removeTranslator(qt);
            for (const auto& translator : *libraries)
                QCoreApplication::removeTranslator(translator.get());
            QCoreApplication::removeTranslator(editor);
        }
    } uninstall{&editorTranslator, &libraryTranslators, &qtTranslator};

    initSplashPictures();
    // Deleted once it has closed, with its picture and its window's pixels, before the main
    // window and the start dialog draw theirs.
    auto splash = std::make_unique<KSplashScreen>(":/Intern/PubIntro" + code, QString());
    QStyle* style = KTheme::createStyle();
    style->setParent(splash.get());
    splash->setStyle(style);
    splash->setListGeometry(QRect(223, 143, 355, 125));
    QFont listFont = splash->font();
    listFont.setWeight(QFont::Bold);
    splash->setListFont(listFont, Qt::black);
    splash->setPrgText(QObject::tr("Chargement des images..."), 0);
    splash->start();

    const QString bundle = imageBundlePath();
    if (!QFileInfo(bundle).isFile()) {
        reportFailure(splash.get(), QObject::tr("Erreur"), QObject::tr("Fichier introuvable : ") + bundle);
        return ExitStartupFailure;
    }
    BundleRegistration registration(bundle);
    if (!registration.ok()) {
        reportFailure(splash.get(), QObject::tr("Erreur"), QObject::tr("Fichier illisible : ") + bundle);
        return ExitStartupFailure;
    }

    splash->setPrgText(QObject::tr("Dénoyautage des olives..."), 10);
    splash->setPrgText(QObject::tr("Création de la fenêtre principale..."), 30);
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    // The window, its document and its settings go before the bundle and the translators.
    struct Teardown {
        ~Teardown() { ZazuzoziZadiviDU::deleteInstance(); }
    } teardown;
    window->show();
    window->getParams()->setLanguage(code);
    window->changeLanguage(code);
    const QMetaObject::Connection quitOnClose =
        QObject::connect(qApp, &QGuiApplication::lastWindowClosed, qApp, &QCoreApplication::quit);
    struct Disconnect {
        QMetaObject::Connection connection;
        ~Disconnect() { QObject::disconnect(connection); }
    } disconnect{quitOnClose};
    if (window->isClosing())
        return 0;
    // SIGTERM and SIGINT close the window as the Quit command does, modal dialogs first.
    TerminationWatcher termination([window] { quitFromAnywhere(window); });

    splash->setPrgText(QObject::tr("Gestion des arguments..."), 95);
    const QString project = AppServices::searchFileInList(arguments);
    // A project that cannot be read is reported; the start dialog then offers the other ways in.
    if (!project.isNull() && !window->openTovraProject(project))
        reportFailure(window, ZazuzoziZadiviDU::tr("Erreur"),
                      ZazuzoziZadiviDU::tr("Impossible d'ouvrir le projet !") + "\n" + project);
    splash->finish();
    splash.reset();
    if (window->checkForUpdate(false))
        return 0;
    if (!window->getTovraFile()) {
        // The window shows at once; the start dialog is then built over it.
        showFirst(window);
        if (window->isVisible())
            window->openStartDialog();
    }

    if (!window->isVisible())
        return 0;
    return QApplication::exec();
}

int sonaric_main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("media.tovra.sonaric");
    KTheme::apply(app);
    return SonaricStartup::run(QApplication::arguments().mid(1));
}
