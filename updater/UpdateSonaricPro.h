// Drives one update run: reads the installed version, downloads the update description, then
// every item of the newer versions, checks and prepares everything in the work folder, installs
// it into the editor folder in one journaled step, and on Ok starts the editor again.
// GUI thread only; never shown.
#ifndef UPDATE_SONARIC_PRO_H
#define UPDATE_SONARIC_PRO_H

#include "PropertiesFile.h"
#include "UpdateDescription.h"

#include "TarGz.h"

#include <QMap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>

class ConnexionWindowUi;
class HTTPConnexion;
class QThread;
class UpdateInstaller;
class UpdateWindowUi;

class UpdateSonaricPro : public QWidget
{
    Q_OBJECT

public:
    static const QString Title;
    static const QString ReleaseDescriptionPath;
    static const QString TestDescriptionPath;
    // Larger descriptions and unpacked "qtcomp" files are refused.
    static constexpr qint64 MaxDescriptionSize = 16 * 1024 * 1024;
    static constexpr qint64 MaxUnpackedSize = qint64(1) << 30;
    // The whole description download may take this long.
    static constexpr int DescriptionDeadline = 2 * 60 * 1000;

    static UpdateSonaricPro* getInstance();

    explicit UpdateSonaricPro(QWidget* parent = nullptr);
    ~UpdateSonaricPro() override;

    void setApplicationDirPath(const QString& path);
    QString applicationDirPath() const { return m_editorFolder; }
    void setTest(bool test) { m_test = test; }
    bool isTest() const { return m_test; }
    // The description's address; by default the maker's server with the release or test path.
    void setDescriptionAddress(const QString& address) { m_descriptionAddress = address; }
    // The server that holds the descriptions: a deployment setting, or the environment's
    // TOVRA_UPDATE_SERVER (scheme and host) when set.
    static QString serverAddress();

    bool start();
    bool updateFiles();

    QString workFolder() const;
    QString downloadFolder() const;
    QString descriptionFile() const;
    ConnexionWindowUi* connexionWindow() const { return m_connexionWindow; }
    UpdateWindowUi* updateWindow() const { return m_updateWindow; }
    // True once the run has ended (closed by success and Ok, a failure or a cancel).
    bool hasEnded() const { return m_ended; }
    // True while the archives are being unpacked.
    bool isUnpacking() const { return m_unpackThread != nullptr; }

public slots:
    void init();
    bool connexionRequest();
    void connexionOK();
    void connexionCanceled();
    void downloadRequest();
    void downloadAndInstall();
    void downloadOk();
    void downloadNotOk();
    void quitUpdate();
    void updateDataReadProgressInit(qint64 done, qint64 total);
    void updateDataReadProgress(qint64 done, qint64 total);
    void timeoutFinishedInit();
    void timeoutFinished();
    void finishOk();

signals:
    // The run is over and the program may end.
    void closed();

private:
    void connexionFailed(const QString& cause = QString());
    void stopRun(const QString& cause);
    bool deleteFiles(UpdateInstaller& installer, QStringList* failures);
    void startUnpacking();
    void unpackingEnded();
    void stopUnpacking();
    bool installArchives(UpdateInstaller& installer, QStringList* failures);
    void install();
    bool installDiskImage();
    void installationFailed(const QStringList& failures);
    void cleanDownloadFolder();
    // Removes folders (with what they hold) and files on a worker thread; the window keeps being
    // painted, its bar busy, while input to it waits.
    void removeOffTheGuiThread(const QStringList& paths);
    void removeDownloads();
    void endRun();

    QString m_editorFolder;
    bool m_test = false;
    ConnexionWindowUi* m_connexionWindow = nullptr;
    HTTPConnexion* m_descriptionDownloader = nullptr;
    HTTPConnexion* m_fileDownloader = nullptr;
    QString m_installedVersion;
    QString m_newVersion = QStringLiteral("?");
    UpdateWindowUi* m_updateWindow = nullptr;
    QStringList m_pendingNames;
    QList<PropertiesFile> m_pendingItems;
    QMap<QString, PropertiesFile> m_downloadedItems;
    qint64 m_lastProgress = 0;
    qint64 m_progressAtExpiry = 0;
    QString m_descriptionAddress;
    QString m_currentName;
    UpdateContent m_content;
    bool m_ended = false;
    QString m_descriptionError;
    // The unpacking of the archives on a worker thread: its control, its outcome (read once the
    // thread has ended) and the timer that shows its progress.
    QThread* m_unpackThread = nullptr;
    std::unique_ptr<TarGz::Control> m_unpackControl;
    QStringList m_unpackFailures;
    QTimer m_unpackProgress;
};

#endif
