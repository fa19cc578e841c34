#include "UpdateLauncher.h"

#include "AppPaths.h"
#include "AppServices.h"
#include "KPrompt.h"
#include "SonaricParams.h"
#include "ZazuzoziZadiviDU.h"

#include <QCheckBox>
#include <QDebug>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#ifndef TOVRA_UPDATE_DESC_URL
#error "TOVRA_UPDATE_DESC_URL must give the release update description"
#endif

const QString UpdateLauncher::TestCode = QStringLiteral("EssaiDeMiseAJour");

namespace {
// Read and execute for everybody, write for nobody.
constexpr QFileDevice::Permissions ReadAndExecute =
    QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser | QFileDevice::ExeUser |
    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

UpdateLauncher::Endpoints& currentEndpoints()
{
    static UpdateLauncher::Endpoints endpoints{
        QStringLiteral(TOVRA_UPDATE_DESC_URL), QStringLiteral(TOVRA_UPDATE_TEST_DESC_URL),
        QStringLiteral(TOVRA_UPDATE_NEWS_URL), QStringLiteral(TOVRA_UPDATE_SERVER_NAME),
        QStringLiteral(TOVRA_UPDATE_INSTALLER_URL)};
    return endpoints;
}

UpdateLauncher::Starter& starterOverride()
{
    static UpdateLauncher::Starter starter;
    return starter;
}

UpdateLauncher::PageOpener& openerOverride()
{
    static UpdateLauncher::PageOpener opener;
    return opener;
}

bool startProgram(const QString& program, const QStringList& arguments, const QString& workDir)
{
    if (starterOverride())
        return starterOverride()(program, arguments, workDir);
    return QProcess::startDetached(program, arguments, workDir);
}

bool openPage(const QUrl& url)
{
    if (openerOverride())
        return openerOverride()(url);
    return QDesktopServices::openUrl(url);
}
} // namespace

UpdateLauncher::Endpoints UpdateLauncher::endpoints()
{
    return currentEndpoints();
}

void UpdateLauncher::setEndpoints(const Endpoints& endpoints)
{
    currentEndpoints() = endpoints;
}

UpdateLauncher::Starter UpdateLauncher::setStarter(Starter starter)
{
    std::swap(starterOverride(), starter);
    return starter;
}

UpdateLauncher::PageOpener UpdateLauncher::setPageOpener(PageOpener opener)
{
    std::swap(openerOverride(), opener);
    return opener;
}

bool UpdateLauncher::checkVersion(ZazuzoziZadiviDU* mainWindow, const QString& descriptionUrl,
                                  bool show, bool& upToDate, bool* unreadable)
{
    // The description lands in a private folder, never in the current one.
    upToDate = false;
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    const SonaricParams* params = mainWindow->getParams();
    const Endpoints where = endpoints();
    return AppServices::versionCheckUp(upToDate, params->getCurrentVersion(), descriptionUrl,
                                       params->getSoftName(), where.serverName, where.newsPage,
                                       scratch.filePath("tvs_update.tmp"), mainWindow, show, unreadable);
}

bool updatefct(ZazuzoziZadiviDU* mainWindow)
{
    const int mode = mainWindow->getParams()->getUpdateSearch();
    if (mode == SonaricParams::UpdateOnRequest)
        return false;
    // Only "update and download" goes ahead without the notice.
    bool upToDate = false;
    if (!UpdateLauncher::checkVersion(mainWindow, UpdateLauncher::endpoints().releaseDescription,
                                      mode != SonaricParams::UpdateAndDownload, upToDate))
        return false;
    const UpdateLauncher::Launch launch =
        UpdateLauncher::launchUpdate(mainWindow, QStringList(), [] { return true; });
    if (launch == UpdateLauncher::Launch::Started || launch == UpdateLauncher::Launch::InstallerOpened)
        return true;
    KPrompt::warning(mainWindow, UpdateLauncher::tr("Update"), UpdateLauncher::tr("Cannot start update !"));
    return false;
}

void UpdateLauncher::menuCheck(ZazuzoziZadiviDU* mainWindow)
{
    const int testMode = mainWindow->getUpdateTest();
    const Endpoints where = endpoints();
    bool upToDate = false;
    bool unreadable = false;
    if (!checkVersion(mainWindow, testMode >= 1 ? where.testDescription : where.releaseDescription,
                      true, upToDate, &unreadable)) {
        // A server that could not be reached has already said so; an answer that is no update
        // description is told here, since the user asked.
        if (upToDate)
            KPrompt::information(mainWindow, tr("Vérification des Mises à Jour"),
                                 tr("Vous bénéficiez déjà de la dernière version !"));
        else if (unreadable)
            KPrompt::warning(mainWindow, tr("Vérification des Mises à Jour"),
                             tr("Les informations de mise à jour reçues de %1 n'ont pas pu être lues.")
                                 .arg(where.serverName));
        return;
    }
    QStringList arguments;
    if (testMode == 2)
        arguments << QStringLiteral("-c") << TestCode;
    // The window closes (asking to save the project) before anything starts, so the updater never
    // replaces the files of an editor that stays open.
    const Launch launch = launchUpdate(mainWindow, arguments, [mainWindow] { return mainWindow->close(); });
    if (launch == Launch::Declined)
        KPrompt::warning(mainWindow, tr("Mise à Jour Tovra Sonaric Pro"),
                         tr("Impossible d'effectuer les mises à jour !"));
}

void UpdateLauncher::askTestMode(ZazuzoziZadiviDU* mainWindow)
{
    // One field, a check box, and "Test" / "Réel"; none of these texts is translated.
    QDialog dialog(mainWindow);
    dialog.setWindowTitle(QStringLiteral("Update Test"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QStringLiteral("Mot de Passe :"), &dialog);
    auto* password = new QLineEdit(&dialog);
    password->setObjectName(QStringLiteral("password"));
    password->setEchoMode(QLineEdit::Password);
    label->setBuddy(password);
    auto* testFile = new QCheckBox(QStringLiteral("Utiliser le xml de test (Localisation des serveurs)."), &dialog);
    testFile->setObjectName(QStringLiteral("testFile"));
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* test = buttons->addButton(QStringLiteral("Test"), QDialogButtonBox::AcceptRole);
    test->setObjectName(QStringLiteral("test"));
    buttons->addButton(QStringLiteral("Réel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("real"));
    test->setDefault(true);
    layout->addWidget(label);
    layout->addWidget(password);
    layout->addWidget(testFile);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    const bool accepted = KPrompt::exec(&dialog) == QDialog::Accepted;
    const QString title = QStringLiteral("Update");
    if (password->text() != QLatin1String("Le chat est gris !")) {
        KPrompt::information(mainWindow, QStringLiteral("Update Test"), QStringLiteral("Mot de passe incorrect"));
        return;
    }
    if (!accepted) {
        mainWindow->setUpdateTest(0);
        KPrompt::information(mainWindow, title, QStringLiteral("Mode réel pour la mise à jour."));
    } else if (!testFile->isChecked()) {
        mainWindow->setUpdateTest(1);
        KPrompt::information(mainWindow, title,
                             QStringLiteral("Mode test pour la mise à jour, avec fichier xml de localisation "
                                            "des serveurs réels."));
    } else {
        mainWindow->setUpdateTest(2);
        KPrompt::information(mainWindow, title,
                             QStringLiteral("Mode test pour la mise à jour, avec fichier xml de test de "
                                            "localisation des serveurs."));
    }
}

bool UpdateLauncher::prepareWorkFolder(const QString& workDir, const QString& updater)
{
    if (!QDir().mkpath(workDir))
        qDebug().noquote() << "Cannot create directory : [" + workDir + "]";
    const QString appDir = AppPaths::programDir();
    // Libraries the updater needs while the editor's own copies are replaced; a copy already
    // there is kept.
    for (const QString& name : Snc::UpdateLibBinaries) {
        const QString source = appDir + "/" + name;
        const QString target = workDir + "/" + name;
        if (!QFile::copy(source, target))
            qDebug().noquote() << "Cannot copy [" + source + "] to [" + target + "]";
        QFile::setPermissions(target, ReadAndExecute);
    }
    // The updater is the one installed beside the editor, copied afresh every time.
    const QFileInfo stale(updater);
    if (stale.exists() || stale.isSymLink())
        QFile::remove(updater);
    const QString installed = appDir + "/" + Snc::UpdateFile;
    const bool copied = QFile::copy(installed, updater);
    if (!copied)
        qDebug().noquote() << "Cannot copy [" + installed + "] to [" + updater + "]";
    QFile::setPermissions(updater, ReadAndExecute);
    return copied;
}

UpdateLauncher::Launch UpdateLauncher::launchUpdate(ZazuzoziZadiviDU* mainWindow,
                                                    const QStringList& arguments,
                                                    const std::function<bool()>& mayQuit)
{
    const QString appDir = AppPaths::programDir();
    const QString workDir = SonaricParams::updateWorkDir();
    const QString updater = workDir + "/" + Snc::UpdateFile;
    const QStringList launchArguments =
        QStringList(arguments) << QStringLiteral("-p") << "\"" + appDir + "\"";

    bool quitAgreed = false;
    if (prepareWorkFolder(workDir, updater)) {
        if (!mayQuit())
            return Launch::QuitRefused;
        quitAgreed = true;
        if (startProgram(updater, launchArguments, workDir))
            return Launch::Started;
    }

    // These texts have no English translation.
    const QString title = mainWindow->getParams()->getSoftName() + " " + tr("Update");
    const QString text = tr("Impossible de mettre à jour le logiciel automatiquement.") + "\n" +
                         tr("Pour mettre à jour votre logiciel, merci de télécharger") + "\n" +
                         tr("manuellemment le programme de mise à jour.") + "\n\n" +
                         tr("Télécharger le programme de mise à jour maintenant ?");
    if (KPrompt::warning(mainWindow, title, text, QMessageBox::Yes | QMessageBox::No,
                         QMessageBox::Yes) != QMessageBox::Yes)
        return Launch::Declined;
    // The editor ends only when the installer page really opened.
    if (!openPage(QUrl(endpoints().installerPage)))
        return Launch::Declined;
    if (!quitAgreed && !mayQuit())
        return Launch::QuitRefused;
    return Launch::InstallerOpened;
}
