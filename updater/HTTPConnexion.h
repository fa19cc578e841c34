// Fetches one web address with a GET and streams the body straight into one local file. Refuses
// every status outside 2xx, follows redirects only to an equally safe scheme, and runs a
// single-shot stall timer from the start of the request, which its owner uses to detect a
// transfer that stopped moving. GUI thread only.
#ifndef HTTP_CONNEXION_H
#define HTTP_CONNEXION_H

#include <QFile>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

class HTTPConnexion : public QObject
{
    Q_OBJECT

public:
    static constexpr int StallInterval = 10000;

    explicit HTTPConnexion(QObject* parent = nullptr);

    bool initDownload(const QUrl& url, const QString& fileName);
    bool downloadFile(QIODevice::OpenMode mode);
    void cancelDownload();
    void closeDialog();
    void startTimer();

    bool getError() const { return m_error; }
    QString obtainErrorType() const { return m_errorText; }
    QString obtainResultRequest() const { return m_resultText; }

    // Removes each named file of downloadFolder, the folder when empty, and the target file.
    bool removeDownloadedFile(const QStringList& names, const QString& downloadFolder);

    // Tests shorten the stall interval of every downloader made afterwards.
    static void setStallInterval(int milliseconds);

signals:
    void done();
    void dataReadProgress(qint64 done, qint64 total);
    void errorRequest();
    void timeout();

private:
    void readResponseHeader();
    void writeBody();
    void httpGetRequestFinished();
    bool statusAccepted() const;
    void refuse();

    bool m_error = false;
    QFile m_file;
    QNetworkAccessManager* m_http = nullptr;
    QString m_errorText;
    QString m_resultText;
    QTimer m_timer;
    QUrl m_url;
    QPointer<QNetworkReply> m_reply;
    bool m_aborted = false;
    bool m_writeFailed = false;
};

#endif
