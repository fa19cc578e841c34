// The modal download dialog: fetches one URL over HTTP(S) into a local file while the user may
// cancel. The file appears under its final name only when the whole body arrived with status
// 200; a stalled transfer fails after the stall time-out, any transfer after the total time-out,
// and a body larger than the limit is refused. At most ReadBufferBytes of the body are held in
// memory at a time, whatever the server sends.
#ifndef DLG_HTTP_DOWNLOAD_H
#define DLG_HTTP_DOWNLOAD_H

#include <QDialog>
#include <QPointer>
#include <QString>

class QTimer;
class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

namespace Ui {
class DlgHttpDownLoad;
}

class DlgHttpDownLoad : public QDialog
{
    Q_OBJECT

public:
    // Largest body download() accepts unless told otherwise (the updater program fits).
    static constexpr qint64 DefaultMaxBytes = qint64(256) * 1024 * 1024;
    static constexpr qint64 ReadBufferBytes = 64 * 1024;

    DlgHttpDownLoad(const QString& serverName, QWidget* parent = nullptr);
    ~DlgHttpDownLoad() override;

    // Runs the dialog on url; the local file name on success, a null string on failure or
    // cancel.
    static QString download(const QString& url, const QString& localFile, const QString& serverName,
                            QWidget* parent, qint64 maxBytes = DefaultMaxBytes);

    // Starts fetching url into localFile (or the URL's file name when localFile is empty).
    void downloadFile(const QString& url, const QString& localFile);

    void setMaxBytes(qint64 maxBytes);
    // Time without any data after which a transfer fails, in ms (every dialog made afterwards).
    static void setStallTimeout(int milliseconds);
    static int stallTimeout();
    // Time after which any transfer fails, in ms (every dialog made afterwards).
    static void setTotalTimeout(int milliseconds);
    static int totalTimeout();

    bool isFinished() const;
    bool isSuccessful() const;
    QString localFileName() const;

public slots:
    void cancelAction();
    void httpRequestFinished();
    void readResponseHeader();

private slots:
    void readBody();

private:
    // Ends the transfer and tells the user why (once).
    void failWithMessage(const QString& cause);
    void showFailure(const QString& cause);
    QString tooLarge() const;
    void finish();

    Ui::DlgHttpDownLoad* ui;
    QNetworkAccessManager* m_http;
    QPointer<QNetworkReply> m_reply;
    QSaveFile* m_file;
    QTimer* m_deadline;
    bool m_cancelled;
    bool m_headerChecked;
    bool m_finished;
    bool m_success;
    QWidget* m_parent;
    QString m_serverName;
    QString m_localName;
    qint64 m_maxBytes;
    qint64 m_received;
};

#endif
