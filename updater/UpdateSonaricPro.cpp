#include "UpdateSonaricPro.h"

#include "ConnexionWindowUi.h"
#include "HTTPConnexion.h"
#include "QtComp.h"
#include "UpdateInstaller.h"
#include "UpdatePaths.h"
#include "UpdatePlatform.h"
#include "UpdateWindowUi.h"
#include "UpdaterPrompt.h"
#include "UpdaterTheme.h"
#include "UpdaterTitle.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QThread>

#include <cstdio>

const QString UpdateSonaricPro::Title = updaterTitle();
const QString UpdateSonaricPro::ReleaseDescriptionPath =
    QStringLiteral("/beta/dld/files/update/sonaric-free/tvs-free-mac.update.xml");
const QString UpdateSonaricPro::TestDescriptionPath =
    QStringLiteral("/beta/dld/files/update/test/tvs-free-mac.update.xml");

namespace {
void diagnostic(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

// A progress bar holds ints: large transfers are shown in KiB.
int barUnits(qint64 bytes, qint64 total)
{
    return int(total > 0x7fffffff ? bytes / 1024 : bytes);
}
} // namespace

UpdateSonaricPro* UpdateSonaricPro::getInstance()
{
    static UpdateSonaricPro* instance = new UpdateSonaricPro;
    return instance;
}

QString UpdateSonaricPro::serverAddress()
{
    const QString configured = qEnvironmentVariable("TOVRA_UPDATE_SERVER");
    return configured.isEmpty() ? QStringLiteral(TOVRA_UPDATE_SERVER) : configured;
}

UpdateSonaricPro::UpdateSonaricPro(QWidget* parent)
    : QWidget(parent), m_editorFolder(QCoreApplication::applicationDirPath())
{
    UpdaterTheme::apply();
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tovra Media"),
                       QStringLiteral("Tovra Sonaric Pro"));
    m_installedVersion = settings.value(QStringLiteral("CurrentVersion")).toString();
    init();
}

UpdateSonaricPro::~UpdateSonaricPro()
{
    stopUnpacking();
}

void UpdateSonaricPro::setApplicationDirPath(const QString& path)
{
    m_editorFolder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString UpdateSonaricPro::workFolder() const
{
    return m_editorFolder + QStringLiteral("/.tvrudttmp/");
}

QString UpdateSonaricPro::downloadFolder() const
{
    return workFolder() + QStringLiteral("TovraMedia/");
}

QString UpdateSonaricPro::descriptionFile() const
{
    return workFolder() + QStringLiteral("./tvs-pro.update.xml");
}

void UpdateSonaricPro::init()
{
    m_connexionWindow = new ConnexionWindowUi(this);
    m_updateWindow = new UpdateWindowUi(m_installedVersion, m_newVersion, this);
    m_updateWindow->hide();
    m_updateWindow->setOkEnabled(false);
    m_descriptionDownloader = new HTTPConnexion(this);
    m_descriptionDownloader->setMaxSize(MaxDescriptionSize);
    m_descriptionDownloader->setDeadline(DescriptionDeadline);
    m_fileDownloader = new HTTPConnexion(this);
    m_unpackProgress.setInterval(100);
    connect(&m_unpackProgress, &QTimer::timeout, this, [this] {
        if (m_unpackControl)
            updateDataReadProgress(m_unpackControl->done.load(), m_unpackControl->total.load());
    });
    m_lastProgress = 0;
    m_progressAtExpiry = 0;

    connect(m_connexionWindow, &ConnexionWindowUi::nextPressed, this, &UpdateSonaricPro::downloadRequest);
    connect(m_connexionWindow, &ConnexionWindowUi::cancelPressed, this, &UpdateSonaricPro::connexionCanceled);
    connect(m_updateWindow, &UpdateWindowUi::ok, this, &UpdateSonaricPro::finishOk);
    connect(m_updateWindow, &UpdateWindowUi::cancelled, this, &UpdateSonaricPro::connexionCanceled);
    connect(m_updateWindow, &QDialog::rejected, this, &UpdateSonaricPro::connexionCanceled);
    connect(m_connexionWindow, &QDialog::rejected, this, &UpdateSonaricPro::connexionCanceled);
    connect(m_descriptionDownloader, &HTTPConnexion::done, this, &UpdateSonaricPro::connexionOK);
    connect(m_descriptionDownloader, &HTTPConnexion::errorRequest, this, [this] {
        if (!m_ended)
            connexionFailed(m_descriptionDownloader->failureCause());
    });
    connect(m_descriptionDownloader, &HTTPConnexion::dataReadProgress, this,
            &UpdateSonaricPro::updateDataReadProgressInit);
    connect(m_fileDownloader, &HTTPConnexion::done, this, &UpdateSonaricPro::downloadAndInstall);
    connect(m_fileDownloader, &HTTPConnexion::dataReadProgress, this, &UpdateSonaricPro::updateDataReadProgress);
    connect(m_fileDownloader, &HTTPConnexion::errorRequest, this, &UpdateSonaricPro::downloadNotOk);
    connect(m_descriptionDownloader, &HTTPConnexion::timeout, this, &UpdateSonaricPro::timeoutFinishedInit);
    connect(m_fileDownloader, &HTTPConnexion::timeout, this, &UpdateSonaricPro::timeoutFinished);
}

bool UpdateSonaricPro::start()
{
    // An installation that was stopped half-way is finished before anything else.
    // A journal that can be neither finished nor undone is kept, and no new update starts over it.
    QStringList failures;
    if (!UpdateInstaller::resume(workFolder(), &failures)) {
        m_ended = true;
        UpdaterPrompt::critical(this, Title,
                                tr("An earlier update could not be finished: ") + failures.join(QLatin1Char('\n')));
        endRun();
        return false;
    }
    if (!failures.isEmpty())
        diagnostic(QStringLiteral("Unfinished installation: ") + failures.join(QStringLiteral("; ")));
    // What an earlier run downloaded or unpacked is needed only until its installation is finished
    // or undone: a new run starts from an empty download folder. A link there is removed, never
    // followed.
    const QFileInfo downloads(QDir::cleanPath(downloadFolder()));
    if (downloads.isSymLink() || downloads.isFile())
        QFile::remove(downloads.filePath());
    else if (downloads.isDir())
        QDir(downloads.filePath()).removeRecursively();
    return connexionRequest();
}

bool UpdateSonaricPro::connexionRequest()
{
    m_connexionWindow->addStatusConnexion(QString());
    m_connexionWindow->show();
    m_connexionWindow->activateWindow();
    if (m_descriptionAddress.isEmpty())
        m_descriptionAddress = serverAddress() + (m_test ? TestDescriptionPath : ReleaseDescriptionPath);
    QDir().mkpath(workFolder());
    m_lastProgress = m_progressAtExpiry = 0;
    m_descriptionDownloader->initDownload(QUrl(m_descriptionAddress), descriptionFile());
    m_connexionWindow->addStatusConnexion(tr("Initialisation"));
    if (!m_descriptionDownloader->downloadFile(QIODevice::WriteOnly)) {
        connexionCanceled();
        return false;
    }
    return true;
}

void UpdateSonaricPro::updateDataReadProgressInit(qint64 done, qint64 total)
{
    m_lastProgress = done;
    m_connexionWindow->setTotalOnBarFile(barUnits(total, total));
    m_connexionWindow->setValueProgressBar(barUnits(done, total));
}

void UpdateSonaricPro::updateDataReadProgress(qint64 done, qint64 total)
{
    m_lastProgress = done;
    m_updateWindow->setTotalOnBarFile(barUnits(total, total));
    m_updateWindow->setProgressOnBarFile(barUnits(done, total));
}

void UpdateSonaricPro::timeoutFinishedInit()
{
    if (m_ended)
        return;
    const bool stalled = m_lastProgress == m_progressAtExpiry;
    m_progressAtExpiry = m_lastProgress;
    if (stalled) {
        m_descriptionDownloader->cancelDownload();
        connexionFailed(tr("the server stopped sending"));
    } else {
        m_descriptionDownloader->startTimer();
    }
}

void UpdateSonaricPro::timeoutFinished()
{
    if (m_ended)
        return;
    const bool stalled = m_lastProgress == m_progressAtExpiry;
    m_progressAtExpiry = m_lastProgress;
    if (stalled)
        stopRun(tr("the server stopped sending"));
    else
        m_fileDownloader->startTimer();
}

void UpdateSonaricPro::connexionOK()
{
    if (m_ended)
        return;
    if (!m_descriptionDownloader->getError()) {
        m_connexionWindow->addStatusConnexion(tr("Connexion successful"));
        m_connexionWindow->setNextEnabled(true);
        m_descriptionDownloader->closeDialog();
        return;
    }
    connexionFailed(m_descriptionDownloader->failureCause());
}

void UpdateSonaricPro::connexionFailed(const QString& cause)
{
    if (m_ended)
        return;
    m_connexionWindow->addStatusConnexion(tr("Connexion failed..."));
    m_connexionWindow->lower();
    m_ended = true;
    m_descriptionDownloader->cancelDownload();
    UpdaterPrompt::critical(this, Title,
                            tr("Error: Connexion failed!") + (cause.isEmpty() ? QString() : QLatin1Char('\n') + cause));
    QFile::remove(descriptionFile());
    m_connexionWindow->close();
    m_descriptionDownloader->removeDownloadedFile(QStringList(), downloadFolder());
    m_descriptionDownloader->closeDialog();
    endRun();
}

void UpdateSonaricPro::downloadRequest()
{
    m_connexionWindow->hide();
    m_updateWindow->show();
    m_updateWindow->activateWindow();
    m_updateWindow->repaint();
    if (!updateFiles()) {
        m_updateWindow->addLine(tr("Download interrupted..."));
        m_updateWindow->addConnexionResult(tr("No files downloaded"));
        m_ended = true;
        QFile::remove(descriptionFile());
        UpdaterPrompt::critical(m_updateWindow, Title, tr("Error during udpate!") + QLatin1Char('\n') + m_descriptionError);
        m_updateWindow->close();
        endRun();
        return;
    }
    m_pendingNames = m_content.items.keys();
    m_pendingItems = m_content.items.values();
    downloadAndInstall();
}

bool UpdateSonaricPro::updateFiles()
{
    QFile file(descriptionFile());
    if (!file.open(QIODevice::ReadOnly)) {
        m_descriptionError = tr("the description cannot be read");
        return false;
    }
    if (file.size() > MaxDescriptionSize) {
        m_descriptionError = tr("the description is too large");
        diagnostic(QStringLiteral("Update description too large"));
        return false;
    }
    const QByteArray text = file.readAll();
    file.close();
    QString error;
    const bool ok = UpdateDescription::read(
        text, m_installedVersion, m_content,
        [this](const QString& number) {
            m_newVersion = number;
            m_updateWindow->setUpdateVersion(number);
        },
        &error);
    if (!ok) {
        m_descriptionError = tr("the server sent an unusable description: ") + error;
        diagnostic(QStringLiteral("Update description refused: ") + error);
        return false;
    }
    // A file without an install folder would be downloaded and never installed, and the run end
    // in success with nothing done; only a single disk image goes nowhere but its mount folder.
    QStringList archives;
    for (const KDwnArchive& archive : m_content.archives)
        archives << archive.getName();
    const bool diskImage = m_content.items.size() == 1
                           && QFileInfo(m_content.items.firstKey()).suffix().toLower() == QLatin1String("dmg");
    for (auto it = m_content.items.cbegin(); it != m_content.items.cend() && !diskImage; ++it) {
        if (it->getInstallDirectory().isEmpty() && !archives.contains(it.key())) {
            m_descriptionError = tr("the server sent an unusable description: ")
                                 + QStringLiteral("file \"%1\" names no install folder").arg(it.key());
            m_content = UpdateContent();
            return false;
        }
    }
    return true;
}

void UpdateSonaricPro::downloadAndInstall()
{
    if (m_ended)
        return;
    if (m_fileDownloader->getError()) {
        m_updateWindow->addLine(tr("Download failed...."));
        stopRun(m_fileDownloader->failureCause());
        return;
    }
    if (!m_pendingNames.isEmpty() && !m_pendingItems.isEmpty()) {
        const QString name = m_pendingNames.takeFirst();
        const PropertiesFile item = m_pendingItems.takeFirst();
        m_currentName = name;
        m_downloadedItems.insert(name, item);
        if (!QDir().mkpath(downloadFolder())) {
            UpdaterPrompt::critical(m_updateWindow, Title, tr("Cannot create install directories!"));
            downloadNotOk();
            return;
        }
        m_lastProgress = m_progressAtExpiry = 0;
        m_updateWindow->setProgressOnBarFile(0);
        m_updateWindow->addLine(tr("Download: ") + name);
        if (!m_fileDownloader->initDownload(QUrl(item.getUrl()), downloadFolder() + name)) {
            m_updateWindow->addLine(m_fileDownloader->obtainErrorType());
            stopRun(m_fileDownloader->obtainErrorType());
        } else if (!m_fileDownloader->downloadFile(QIODevice::WriteOnly)) {
            stopRun(m_fileDownloader->obtainErrorType());
        }
        return;
    }
    m_updateWindow->addConnexionResult(tr("Install downloaded files..."));
    m_fileDownloader->closeDialog();
    QFile::remove(descriptionFile());
    downloadOk();
}

void UpdateSonaricPro::downloadOk()
{
    m_pendingNames = m_downloadedItems.keys();
    m_pendingItems = m_downloadedItems.values();
    const bool diskImage = m_downloadedItems.size() == 1
                           && QFileInfo(m_currentName).suffix().toLower() == QLatin1String("dmg");
    if (diskImage) {
        if (!installDiskImage())
            return;
        m_updateWindow->addConnexionResult(tr("Update successful!"));
        m_updateWindow->setOkEnabled(true);
        return;
    }
    startUnpacking();
}

// The archives are unpacked on a worker thread; the window shows its progress and Cancel stops it.
void UpdateSonaricPro::startUnpacking()
{
    struct Job {
        QString name, file, unpacked;
        bool tar;
    };
    QList<Job> jobs;
    for (const KDwnArchive& archive : m_content.archives) {
        const QString name = archive.getName();
        m_updateWindow->addLine(tr("Decompress: ") + name);
        jobs << Job{name, downloadFolder() + name, downloadFolder() + name + QStringLiteral(".unpacked"),
                    archive.getType() == KDwnArchive::DAT_targz};
    }
    m_unpackControl = std::make_unique<TarGz::Control>();
    m_unpackFailures.clear();
    TarGz::Control* control = m_unpackControl.get();
    QStringList* failures = &m_unpackFailures;
    m_unpackThread = QThread::create([jobs, control, failures] {
        for (const Job& job : jobs) {
            QString error;
            const bool ok = job.tar ? TarGz::unpack(job.file, job.unpacked, MaxUnpackedSize, control, &error)
                                    : QtComp::uncompressFile(job.file, job.unpacked, MaxUnpackedSize, &error, &control->cancel);
            if (!ok) {
                *failures << QCoreApplication::translate("UpdateSonaricPro", "Cannot unpack \"%1\": %2")
                                 .arg(job.name, error);
                return;
            }
        }
    });
    connect(m_unpackThread, &QThread::finished, this, &UpdateSonaricPro::unpackingEnded, Qt::QueuedConnection);
    m_unpackProgress.start();
    m_unpackThread->start();
}

void UpdateSonaricPro::stopUnpacking()
{
    if (!m_unpackThread)
        return;
    m_unpackControl->cancel.store(true);
    m_unpackThread->wait();
    delete m_unpackThread;
    m_unpackThread = nullptr;
    m_unpackProgress.stop();
}

void UpdateSonaricPro::unpackingEnded()
{
    if (!m_unpackThread)
        return; // stopped by a cancel, which tidied up
    m_unpackThread->wait();
    delete m_unpackThread;
    m_unpackThread = nullptr;
    m_unpackProgress.stop();
    if (m_ended)
        return;
    if (!m_unpackFailures.isEmpty()) {
        installationFailed(m_unpackFailures);
        return;
    }
    install();
}

void UpdateSonaricPro::install()
{
    UpdateInstaller installer(m_editorFolder, workFolder());
    QStringList failures;
    for (int i = 0; i < m_pendingNames.size(); ++i) {
        const QString& name = m_pendingNames[i];
        const PropertiesFile& item = m_pendingItems[i];
        const QString source = downloadFolder() + name;
        if (!QFile::exists(source) || item.getInstallDirectory().isEmpty())
            continue;
        QString error;
        if (!installer.addFile(source, item.getInstallDirectory() + name, name, item.getVersion(), &error))
            failures << tr("Cannot install file") + QStringLiteral(" \"%1\": %2").arg(name, error);
    }
    const bool planned = failures.isEmpty() && deleteFiles(installer, &failures)
                         && installArchives(installer, &failures);
    if (!planned) {
        installationFailed(failures);
        return;
    }
    const bool installed = installer.commit(
        [this](const UpdateInstaller::Step& step) {
            m_updateWindow->addLine((step.kind == UpdateInstaller::Step::Put ? tr("Install: ") : tr("Delete: "))
                                    + step.label);
        },
        &failures);
    if (!installed) {
        installationFailed(failures);
        return;
    }
    cleanDownloadFolder();
    m_updateWindow->addConnexionResult(tr("Update successful!"));
    if (!m_updateWindow->okEnabled())
        m_updateWindow->setOkEnabled(true);
}

bool UpdateSonaricPro::installDiskImage()
{
    const QString image = downloadFolder() + m_currentName;
    if (!QFile::exists(image))
        return true;
    UpdatePlatform& platform = UpdatePlatform::instance();
    const QString package = platform.mountDiskImage(image, workFolder() + QStringLiteral("Volumes"));
    if (package.isEmpty() || !platform.startDetached(package, QStringList())) {
        UpdaterPrompt::critical(this, Title, tr("Cannot open tvspro-update Volume!"));
        return false;
    }
    return true;
}

bool UpdateSonaricPro::deleteFiles(UpdateInstaller& installer, QStringList* failures)
{
    for (int i = 0; i < m_content.deleteList.size(); ++i) {
        QString error;
        if (!installer.addDeletion(m_content.deleteList[i], m_content.deleteVersions.value(i), &error))
            *failures << tr("Cannot delete file") + QStringLiteral("\"%1\" !").arg(error);
    }
    return failures->isEmpty();
}

// Plans the unpacked members of every archive.
bool UpdateSonaricPro::installArchives(UpdateInstaller& installer, QStringList* failures)
{
    for (const KDwnArchive& archive : m_content.archives) {
        const QString name = archive.getName();
        const QString unpacked = downloadFolder() + name + QStringLiteral(".unpacked");
        const QString version = m_downloadedItems.value(name).getVersion();
        QString error;
        if (archive.getType() == KDwnArchive::DAT_targz) {
            for (const QString& member : archive.getFiles()) {
                const QString source = UpdatePaths::resolveInside(unpacked, member);
                const QString target = archive.getInstallDirPath() + QFileInfo(member).fileName();
                if (source.isEmpty() || !QFileInfo(source).isFile()) {
                    *failures << tr("Cannot copy file") + QStringLiteral(" \"%1\": ").arg(member)
                                     + tr("the archive does not hold it");
                    return false;
                }
                if (!installer.addFile(source, target, member, version, &error)) {
                    *failures << tr("Cannot copy file") + QStringLiteral(" \"%1\" to \"%2\": %3").arg(member, target, error);
                    return false;
                }
            }
        } else {
            const QString target = archive.getInstallDirPath() + QFileInfo(archive.getFiles().first()).fileName();
            if (!installer.addFile(unpacked, target, target, version, &error)) {
                *failures << tr("Cannot copy file") + QStringLiteral(" \"%1\" to \"%2\": %3").arg(name, target, error);
                return false;
            }
        }
    }
    return true;
}

void UpdateSonaricPro::installationFailed(const QStringList& failures)
{
    // The editor folder is as it was (or, when the installation could not be undone, finished by
    // the next start, which needs the prepared files: they stay with the journal).
    if (!UpdateInstaller::hasUnfinishedJournal(workFolder()))
        removeDownloads();
    m_updateWindow->addConnexionResult(tr("Update failed!"));
    UpdaterPrompt::critical(this, Title, failures.join(QLatin1Char('\n')));
}

void UpdateSonaricPro::cleanDownloadFolder()
{
    QStringList paths;
    for (const KDwnArchive& archive : m_content.archives)
        paths << downloadFolder() + archive.getName() << downloadFolder() + archive.getName() + QStringLiteral(".unpacked");
    removeOffTheGuiThread(paths);
    QDir().rmdir(downloadFolder());
}

void UpdateSonaricPro::removeOffTheGuiThread(const QStringList& paths)
{
    QThread* worker = QThread::create([paths] {
        for (const QString& path : paths) {
            const QFileInfo info(path);
            // A link is removed itself, never followed.
            if (info.isDir() && !info.isSymLink())
                QDir(path).removeRecursively();
            else
                QFile::remove(path);
        }
    });
    QEventLoop loop;
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    m_updateWindow->setTotalOnBarFile(0);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
    m_updateWindow->setTotalOnBarFile(1);
    m_updateWindow->setProgressOnBarFile(1);
}

void UpdateSonaricPro::downloadNotOk()
{
    stopRun(m_fileDownloader->failureCause());
}

void UpdateSonaricPro::removeDownloads()
{
    if (UpdateInstaller::hasUnfinishedJournal(workFolder()))
        return;
    QStringList names = m_downloadedItems.keys();
    names << m_currentName;
    for (const QString& name : names) {
        const QString path = UpdatePaths::resolveInside(downloadFolder(), name);
        if (!path.isEmpty())
            QFile::remove(path);
    }
    cleanDownloadFolder();
}

void UpdateSonaricPro::stopRun(const QString& cause)
{
    if (m_ended)
        return;
    m_ended = true;
    m_fileDownloader->cancelDownload();
    stopUnpacking();
    removeDownloads();
    QFile::remove(descriptionFile());
    m_updateWindow->lower();
    UpdaterPrompt::critical(this, Title,
                            tr("Impossible to update your Tovra Sonaric software! ")
                                + tr("The update software will stop!")
                                + (cause.isEmpty() ? QString() : QLatin1Char('\n') + cause));
    m_updateWindow->close();
    endRun();
}

void UpdateSonaricPro::finishOk()
{
    m_ended = true;
    UpdatePlatform::instance().startDetached(
        QFileInfo(m_editorFolder + QStringLiteral("/./Sonaric")).absoluteFilePath(), QStringList());
    endRun();
}

void UpdateSonaricPro::connexionCanceled()
{
    m_descriptionDownloader->cancelDownload();
    if (!m_ended)
        m_fileDownloader->cancelDownload();
    // Nothing that arrives while the downloads are removed starts anything again.
    m_ended = true;
    stopUnpacking();
    removeDownloads();
    m_descriptionDownloader->removeDownloadedFile(m_downloadedItems.keys() << m_currentName, downloadFolder());
    QFile::remove(descriptionFile());
    m_descriptionDownloader->closeDialog();
    m_ended = true;
    m_connexionWindow->close();
    endRun();
}

void UpdateSonaricPro::quitUpdate()
{
    endRun();
}

void UpdateSonaricPro::endRun()
{
    m_ended = true;
    close();
    emit closed();
}
