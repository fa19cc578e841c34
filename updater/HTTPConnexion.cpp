#include "HTTPConnexion.h"

#include "UpdatePaths.h"
#include "UpdaterPrompt.h"
#include "UpdaterTitle.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStorageInfo>
#include <QWidget>

namespace {
int& stallInterval()
{
    static int interval = HTTPConnexion::StallInterval;
    return interval;
}

int& deadlineLimit()
{
    static int limit = 0;
    return limit;
}

int defaultPort(const QUrl& url)
{
    return url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
}

// Room for the file system's own bookkeeping beyond the bytes of the file.
constexpr qint64 DiskMargin = 1024 * 1024;
// Redirects followed for one download before it is refused.
constexpr int MaxRedirects = 5;
// Bytes the reply holds before the network stops reading: whatever the server sends, memory
// stays small, and each pass of writeBody is short.
constexpr qint64 ReadBufferSize = 1024 * 1024;
} // namespace

void HTTPConnexion::setStallInterval(int milliseconds)
{
    stallInterval() = milliseconds;
}

void HTTPConnexion::setDeadlineLimit(int milliseconds)
{
    deadlineLimit() = milliseconds;
}

HTTPConnexion::HTTPConnexion(QObject* parent)
    : QObject(parent), m_http(new QNetworkAccessManager(this))
{
    // A redirect is followed only on the same host, to the same or a safer scheme (checked in
    // checkRedirect); its own body is never saved.
    m_http->setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
    m_timer.setSingleShot(true);
    m_timer.setInterval(stallInterval());
    connect(&m_timer, &QTimer::timeout, this, &HTTPConnexion::timeout);
    m_deadlineTimer.setSingleShot(true);
    connect(&m_deadlineTimer, &QTimer::timeout, this,
            [this] { fail(tr("the download did not end in time")); });
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
    m_abortCalled = false;
    m_received = 0;
    m_redirects = 0;
    m_cause.clear();
    QUrl address = m_url;
    address.setQuery(QString());
    request(address);
    m_timer.start(stallInterval());
    m_deadlineTimer.start(deadlineLimit() > 0 ? qMin(deadlineLimit(), m_deadline) : m_deadline);
    return true;
}

// Asks for `address`; each answer, a followed redirect's included, is read on its own reply, so
// its status, headers and size are its own.
void HTTPConnexion::request(const QUrl& address)
{
    QNetworkReply* reply = m_http->get(QNetworkRequest(address));
    reply->setReadBufferSize(ReadBufferSize);
    m_reply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, &HTTPConnexion::readResponseHeader);
    connect(reply, &QNetworkReply::readyRead, this, &HTTPConnexion::writeBody);
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this](qint64 received, qint64 total) { emit dataReadProgress(received, qMax<qint64>(total, 0)); });
    connect(reply, &QNetworkReply::redirected, this, &HTTPConnexion::checkRedirect);
    connect(reply, &QNetworkReply::finished, this, &HTTPConnexion::httpGetRequestFinished);
}

void HTTPConnexion::cancelDownload()
{
    m_aborted = true;
    abortReply();
}

// A reply is aborted once, and from the event loop: aborted inside one of its own signals (its
// head or its bytes arriving) the client would report its failure twice. A reply that has failed
// meanwhile finishes by itself; aborting it would report a second failure.
void HTTPConnexion::abortReply()
{
    if (!m_reply || m_abortCalled)
        return;
    m_abortCalled = true;
    m_deadlineTimer.stop();
    QPointer<QNetworkReply> reply = m_reply;
    QMetaObject::invokeMethod(
        this, [reply] {
            if (reply && reply->isRunning() && reply->error() == QNetworkReply::NoError)
                reply->abort();
        },
        Qt::QueuedConnection);
}

void HTTPConnexion::fail(const QString& cause)
{
    if (!m_reply || m_aborted || !m_cause.isEmpty())
        return;
    m_cause = cause;
    abortReply();
}

void HTTPConnexion::checkRedirect(const QUrl& url)
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_reply || m_aborted || !m_cause.isEmpty())
        return;
    const bool sameHost = url.host().compare(m_url.host(), Qt::CaseInsensitive) == 0
                          && defaultPort(url) == defaultPort(m_url);
    const bool safeScheme = url.scheme() == m_url.scheme() || url.scheme() == QLatin1String("https");
    if (!sameHost || !safeScheme) {
        fail(tr("the server redirected the download to another host"));
        return;
    }
    if (++m_redirects > MaxRedirects) {
        fail(tr("the server redirected the download too many times"));
        return;
    }
    if (!m_file.resize(0) || !m_file.seek(0)) {
        fail(tr("cannot write the download: ") + m_file.errorString());
        return;
    }
    // The redirect's reply is dropped unread and the new address asked on a reply of its own.
    disconnect(reply, nullptr, this, nullptr);
    QMetaObject::invokeMethod(
        this, [old = QPointer<QNetworkReply>(reply)] {
            if (old) {
                old->abort();
                old->deleteLater();
            }
        },
        Qt::QueuedConnection);
    m_received = 0;
    request(url);
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

// The Content-Length of the answer, or -1 when none was given. After a followed redirect the
// reply may still list the redirect's headers first: the length is the last one given.
static qint64 announcedLength(const QNetworkReply* reply)
{
    qint64 length = -1;
    for (const QNetworkReply::RawHeaderPair& header : reply->rawHeaderPairs()) {
        bool ok = false;
        if (header.first.compare("Content-Length", Qt::CaseInsensitive) == 0) {
            const qint64 value = header.second.trimmed().toLongLong(&ok);
            length = ok && value >= 0 ? value : -1;
        }
    }
    return length;
}

void HTTPConnexion::readResponseHeader()
{
    if (!m_reply || m_aborted)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool redirecting = status.toInt() / 100 == 3
                             && m_reply->hasRawHeader(QByteArrayLiteral("Location"));
    if (status.isValid() && !redirecting && !statusAccepted()) {
        refuse();
        return;
    }
    if (redirecting || !statusAccepted())
        return;
    // The announced size is checked before any byte is written. It is kept from here: once a
    // redirect was followed, the finished reply may still carry the redirect's own length.
    const qint64 length = announcedLength(m_reply);
    if (length < 0)
        return;
    if (length > m_maxSize)
        fail(tr("the download is larger than allowed (%1 bytes)").arg(length));
    else if (QStorageInfo(QFileInfo(m_file.fileName()).absolutePath()).bytesAvailable() < length + DiskMargin)
        fail(tr("not enough disk space"));
}

void HTTPConnexion::writeBody()
{
    if (!m_reply || m_aborted || m_writeFailed || !m_cause.isEmpty())
        return;
    if (!statusAccepted()) {
        refuse();
        return;
    }
    // Through one reused buffer: the body never gathers in memory.
    char buffer[256 * 1024];
    qint64 got;
    while ((got = m_reply->read(buffer, sizeof buffer)) > 0) {
        m_received += got;
        if (m_received > m_maxSize) {
            fail(tr("the server sent more than allowed (%1 bytes)").arg(m_maxSize));
            return;
        }
        if (m_file.write(buffer, got) != got) {
            m_writeFailed = true;
            const qint64 room = QStorageInfo(QFileInfo(m_file.fileName()).absolutePath()).bytesAvailable();
            fail(room < got + DiskMargin ? tr("not enough disk space")
                                         : tr("cannot write the download: ") + m_file.errorString());
            return;
        }
    }
}

void HTTPConnexion::refuse()
{
    UpdaterPrompt::critical(qobject_cast<QWidget*>(parent()), updaterTitle(), tr("Download failed!"));
    m_resultText = QStringLiteral("failure...");
    m_cause = tr("the server answered with status %1")
                  .arg(m_reply ? m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0);
    m_aborted = true;
    m_error = true;
    abortReply();
    emit errorRequest();
}

void HTTPConnexion::httpGetRequestFinished()
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_reply)
        return;
    reply->deleteLater();
    m_reply = nullptr;
    m_deadlineTimer.stop();
    if (m_aborted) {
        m_error = true;
        if (m_file.exists()) {
            m_file.close();
            m_file.remove();
        }
        return;
    }
    if (m_cause.isEmpty()) {
        const qint64 length = announcedLength(reply);
        const bool known = length >= 0;
        // Without a length or chunks, a connection closed early looks like a finished body.
        const bool chunked = reply->rawHeader(QByteArrayLiteral("Transfer-Encoding")).toLower().contains("chunked");
        if (reply->error() != QNetworkReply::NoError)
            m_cause = tr("the connection failed: ") + reply->errorString();
        else if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() / 100 != 2)
            m_cause = tr("the server answered with status %1")
                          .arg(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
        else if (known && length != m_received)
            m_cause = tr("the download ended after %1 of the %2 bytes announced").arg(m_received).arg(length);
        else if (!known && !chunked)
            m_cause = tr("the server did not announce the size of the download");
        else if (!m_file.flush())
            m_cause = tr("cannot write the download: ") + m_file.errorString();
    }
    m_file.close();
    m_timer.stop();
    m_error = !m_cause.isEmpty();
    if (m_error) {
        if (m_file.exists())
            m_file.remove();
        m_resultText = tr("Download failed!");
    } else {
        m_resultText = tr("Download successful!");
    }
    emit done();
}

void HTTPConnexion::requestDone(bool error)
{
    m_error = error;
    if (error)
        m_resultText = m_cause.isEmpty() ? tr("Download failed!") : m_cause;
    else
        m_resultText = tr("File downloaded: ") + m_file.fileName();
    m_file.close();
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
