// Fetches one web address with a GET and streams the body straight into one local file. Refuses
// every status outside 2xx, follows redirects only on the same host with an equally safe scheme,
// and runs a single-shot stall timer from the start of the request, which its owner uses to
// detect a transfer that stopped moving. A download also fails when it passes its size cap (while
// the bytes arrive), does not end by its deadline, or ends with another size than the server
// announced; failureCause() then names why. GUI thread only.
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
    static constexpr qint64 DefaultMaxSize = qint64(2) << 30;
    static constexpr int DefaultDeadline = 60 * 60 * 1000;

    explicit HTTPConnexion(QObject* parent = nullptr);

    bool initDownload(const QUrl& url, const QString& fileName);
    bool downloadFile(QIODevice::OpenMode mode);
    void cancelDownload();
    void closeDialog();
    void startTimer();

    // The largest body accepted and the time the whole download may take, from its request on.
    void setMaxSize(qint64 bytes) { m_maxSize = bytes; }
    void setDeadline(int milliseconds) { m_deadline = milliseconds; }

    bool getError() const { return m_error; }
    // Why the last transfer failed, in words for the user; empty after a success.
    QString failureCause() const { return m_cause; }
    QString obtainErrorType() const { return m_errorText; }
    QString obtainResultRequest() const { return m_resultText; }

    // Removes each named file of downloadFolder, the folder when empty, and the target file.
    bool removeDownloadedFile(const QStringList& names, const QString& downloadFolder);

    // Tests shorten the stall interval of every downloader made afterwards.
    static void setStallInterval(int milliseconds);
    // Tests cap the deadline of every download started afterwards (0: no cap).
    static void setDeadlineLimit(int milliseconds);

public slots:
    // Ends the transfer as the client reported it: stores the flag, sets the result text, closes
    // the file and emits done().
    void requestDone(bool error);

signals:
    void done();
    void dataReadProgress(qint64 done, qint64 total);
    void errorRequest();
    void timeout();

private:
    void request(const QUrl& address);
    void readResponseHeader();
    void writeBody();
    void httpGetRequestFinished();
    bool statusAccepted() const;
    void refuse();
    void fail(const QString& cause);
    void checkRedirect(const QUrl& url);
    void abortReply();

    bool m_error = false;
    QFile m_file;
    QNetworkAccessManager* m_http = nullptr;
    QString m_errorText;
    QString m_resultText;
    QTimer m_timer;
    QTimer m_deadlineTimer;
    qint64 m_maxSize = DefaultMaxSize;
    qint64 m_received = 0;
    int m_redirects = 0;          // redirects followed for this download
    int m_deadline = DefaultDeadline;
    QString m_cause;
    bool m_abortCalled = false;
    QUrl m_url;
    QPointer<QNetworkReply> m_reply;
    bool m_aborted = false;
    bool m_writeFailed = false;
};

#endif
