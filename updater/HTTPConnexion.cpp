#include "HTTPConnexion.h"

#include "UpdatePaths.h"
#include "UpdaterPrompt.h"
#include "UpdaterTitle.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QWidget>

namespace {
int& stallInterval()
{
    static int interval = HTTPConnexion::StallInterval;
    return interval;
}
} // namespace

void HTTPConnexion::setStallInterval(int milliseconds)
{
    stallInterval() = milliseconds;
}

HTTPConnexion::HTTPConnexion(QObject* parent)
    : QObject(parent), m_http(new QNetworkAccessManager(this))
{
    // A redirect is followed only to the same or a safer scheme; its own body is never saved.
    m_http->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_timer.setSingleShot(true);
    m_timer.setInterval(stallInterval());
    connect(&m_timer, &QTimer::timeout, this, &HTTPConnexion::timeout);
}

bool HTTPConnexion::initDownload(const QUrl& url, const QString& fileName)
{
    m_url = url;
    QString problem;
    if (!url.isValid())
        problem = tr("Error : Invalid URL");
    else if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))
        problem = tr("Error : You must use HTTP protocol");
    else if (url.path().isEmpty())
        problem = tr("Error : This URL is empty");
    if (!problem.isEmpty()) {
        m_errorText = problem;
        m_error = true;
        return false;
    }
    m_aborted = false;
    m_file.setFileName(fileName);
    return true;
}

bool HTTPConnexion::downloadFile(QIODevice::OpenMode mode)
{
    if (!m_file.open(mode)) {
        m_errorText = tr("Error : Cannot open file ") + m_file.fileName();
        m_error = true;
        UpdaterPrompt::critical(qobject_cast<QWidget*>(parent()), updaterTitle(), m_errorText);
        return false;
    }
    m_aborted = false;
    m_writeFailed = false;
    QUrl address = m_url;
    address.setQuery(QString());
    QNetworkReply* reply = m_http->get(QNetworkRequest(address));
    m_reply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, &HTTPConnexion::readResponseHeader);
    connect(reply, &QNetworkReply::readyRead, this, &HTTPConnexion::writeBody);
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this](qint64 received, qint64 total) { emit dataReadProgress(received, qMax<qint64>(total, 0)); });
    connect(reply, &QNetworkReply::finished, this, &HTTPConnexion::httpGetRequestFinished);
    m_timer.start(stallInterval());
    return true;
}

void HTTPConnexion::cancelDownload()
{
    m_aborted = true;
    if (m_reply)
        m_reply->abort();
}

void HTTPConnexion::closeDialog()
{
    m_http->clearConnectionCache();
}

void HTTPConnexion::startTimer()
{
    m_timer.setSingleShot(true);
    m_timer.start(stallInterval());
}

bool HTTPConnexion::statusAccepted() const
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status < 300;
}

void HTTPConnexion::readResponseHeader()
{
    if (!m_reply || m_aborted)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool redirecting = status.toInt() / 100 == 3
                             && m_reply->hasRawHeader(QByteArrayLiteral("Location"));
    if (status.isValid() && !redirecting && !statusAccepted())
        refuse();
}

void HTTPConnexion::writeBody()
{
    if (!m_reply || m_aborted || m_writeFailed)
        return;
    if (!statusAccepted()) {
        refuse();
        return;
    }
    // Through one reused buffer: the body never gathers in memory.
    char buffer[256 * 1024];
    qint64 got;
    while ((got = m_reply->read(buffer, sizeof buffer)) > 0) {
        if (m_file.write(buffer, got) != got) {
            m_writeFailed = true;
            m_reply->abort();
            return;
        }
    }
}

void HTTPConnexion::refuse()
{
    UpdaterPrompt::critical(qobject_cast<QWidget*>(parent()), updaterTitle(), tr("Download failed!"));
    m_resultText = QStringLiteral("failure...");
    m_aborted = true;
    m_error = true;
    if (m_reply)
        m_reply->abort();
    emit errorRequest();
}

void HTTPConnexion::httpGetRequestFinished()
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_reply)
        return;
    reply->deleteLater();
    m_reply = nullptr;
    if (m_aborted) {
        m_error = true;
        if (m_file.exists()) {
            m_file.close();
            m_file.remove();
        }
        return;
    }
    const bool failed = m_writeFailed || reply->error() != QNetworkReply::NoError
                        || !(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() / 100 == 2)
                        || !m_file.flush();
    m_file.close();
    m_timer.stop();
    if (failed) {
        if (m_file.exists())
            m_file.remove();
        m_resultText = tr("Download failed!");
        m_error = true;
    } else {
        m_resultText = tr("Download successful!");
        m_error = false;
    }
    emit done();
}

bool HTTPConnexion::removeDownloadedFile(const QStringList& names, const QString& downloadFolder)
{
    for (const QString& name : names) {
        const QString path = UpdatePaths::resolveInside(downloadFolder, name);
        if (!path.isEmpty())
            QFile::remove(path);
    }
    QDir().rmdir(downloadFolder);
    if (m_file.exists())
        return m_file.remove();
    return false;
}
