#include "DlgHttpDownLoad.h"

#include "AppServices.h"
#include "KPrompt.h"
#include "ui_DlgHttpDownLoad.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

namespace {
int& stallTimeoutMs()
{
    static int milliseconds = 15000;
    return milliseconds;
}

int& totalTimeoutMs()
{
    static int milliseconds = 120000;
    return milliseconds;
}
} // namespace

DlgHttpDownLoad::DlgHttpDownLoad(const QString& serverName, QWidget* parent)
    : QDialog(parent), ui(new Ui::DlgHttpDownLoad), m_http(new QNetworkAccessManager(this)),
      m_file(nullptr), m_deadline(new QTimer(this)), m_cancelled(false), m_headerChecked(false), m_finished(false),
      m_success(false), m_parent(parent), m_serverName(serverName), m_maxBytes(DefaultMaxBytes),
      m_received(0)
{
    ui->setupUi(this);
    if (parent)
        AppServices::setFontParent(this, parent->font());
    ui->cancelButton->setText(tr("Annuler"));
    ui->label->setText(tr("Veuillez patienter pendant la connexion au serveur..."));
    connect(ui->cancelButton, &QPushButton::released, this, &DlgHttpDownLoad::cancelAction);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this,
            [this] { failWithMessage(tr("le serveur n'a pas tout envoyé dans le temps imparti")); });
    setWindowTitle(tr("Connexion au serveur"));
    setWindowFlags(Qt::Tool);
}

DlgHttpDownLoad::~DlgHttpDownLoad()
{
    if (m_reply) {
        m_cancelled = true;
        m_reply->abort();
    }
    delete m_file; // an uncommitted QSaveFile leaves nothing behind
    delete ui;
}

QString DlgHttpDownLoad::download(const QString& url, const QString& localFile,
                                  const QString& serverName, QWidget* parent, qint64 maxBytes)
{
    DlgHttpDownLoad dialog(serverName, parent);
    dialog.setMaxBytes(maxBytes);
    dialog.setModal(true);
    dialog.setVisible(true);
    dialog.downloadFile(url, localFile);
    if (!dialog.isFinished())
        dialog.exec();
    return dialog.isSuccessful() ? dialog.localFileName() : QString();
}

void DlgHttpDownLoad::setMaxBytes(qint64 maxBytes)
{
    m_maxBytes = maxBytes;
}

void DlgHttpDownLoad::setStallTimeout(int milliseconds)
{
    stallTimeoutMs() = milliseconds;
}

int DlgHttpDownLoad::stallTimeout()
{
    return stallTimeoutMs();
}

void DlgHttpDownLoad::setTotalTimeout(int milliseconds)
{
    totalTimeoutMs() = milliseconds;
}

int DlgHttpDownLoad::totalTimeout()
{
    return totalTimeoutMs();
}

bool DlgHttpDownLoad::isFinished() const
{
    return m_finished;
}

bool DlgHttpDownLoad::isSuccessful() const
{
    return m_success;
}

QString DlgHttpDownLoad::localFileName() const
{
    return m_localName;
}

void DlgHttpDownLoad::downloadFile(const QString& url, const QString& localFile)
{
    const QUrl address(url);
    m_localName = localFile.isEmpty() ? address.fileName() : localFile;
    m_success = false;
    m_finished = false;
    m_received = 0;
    if (!m_localName.isEmpty() && QFile::exists(m_localName))
        QFile::remove(m_localName);

    // The body goes to a temporary file beside the target, renamed over it only when complete.
    delete m_file;
    m_file = m_localName.isEmpty() ? nullptr : new QSaveFile(m_localName);
    if (!m_file || !m_file->open(QIODevice::WriteOnly)) {
        delete m_file;
        m_file = nullptr;
        finish();
        showFailure(tr("le fichier %1 ne peut pas être écrit").arg(QDir::toNativeSeparators(m_localName)));
        return;
    }

    m_cancelled = false;
    m_headerChecked = false;
    QNetworkRequest request(address);
    // A redirection is an answer other than 200, refused like any other.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(stallTimeoutMs());
    m_reply = m_http->get(request);
    // The network thread stops reading from the server while this much is waiting.
    m_reply->setReadBufferSize(ReadBufferBytes);
    m_deadline->start(totalTimeoutMs());
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &DlgHttpDownLoad::readResponseHeader);
    connect(m_reply, &QNetworkReply::readyRead, this, &DlgHttpDownLoad::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &DlgHttpDownLoad::httpRequestFinished);
}

// The connection window goes first, so that nothing stays behind the message naming the cause.
void DlgHttpDownLoad::showFailure(const QString& cause)
{
    hide();
    const QString server = m_serverName.isEmpty() ? tr("serveur") : m_serverName;
    KPrompt::critical(m_parent, tr("Recherche de nouvelles versions..."),
                      tr("Impossible de rechercher de nouvelles versions sur %1 : %2").arg(server, cause),
                      QMessageBox::Ok);
}

// Stops the transfer (its end is then handled as cancelled) and tells the user once.
void DlgHttpDownLoad::failWithMessage(const QString& cause)
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    if (m_reply)
        m_reply->abort();
    showFailure(cause);
}

void DlgHttpDownLoad::readResponseHeader()
{
    if (!m_reply || m_headerChecked || m_cancelled)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return;
    m_headerChecked = true;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (status.toInt() != 200) {
        const QString reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        failWithMessage(tr("le serveur a répondu %1").arg(QString("%1 %2").arg(status.toInt()).arg(reason).trimmed()));
    } else if (length.isValid() && length.toLongLong() > m_maxBytes) {
        failWithMessage(tooLarge());
    }
}

void DlgHttpDownLoad::readBody()
{
    if (!m_reply || m_cancelled || !m_file)
        return;
    const QByteArray bytes = m_reply->readAll();
    m_received += bytes.size();
    if (m_received > m_maxBytes)
        failWithMessage(tooLarge());
    else if (m_file->write(bytes) != bytes.size())
        failWithMessage(tr("le fichier %1 ne peut pas être écrit").arg(QDir::toNativeSeparators(m_localName)));
}

void DlgHttpDownLoad::httpRequestFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply || sender() != reply)
        return;
    m_reply = nullptr;
    if (!m_cancelled)
        readResponseHeader();
    if (!m_cancelled)
        readBody();
    const bool ok = !m_cancelled && reply->error() == QNetworkReply::NoError && m_headerChecked;
    // A server that could not be reached at all (no name, no connection) gave no answer to
    // refuse: it is reported like a refusal. A cancelled or refused transfer was handled already.
    if (!ok && !m_cancelled) {
        showFailure(reply->error() == QNetworkReply::NoError ? tr("le serveur n'a rien répondu")
                                                               : reply->errorString());
    }
    if (m_file) {
        if (ok)
            m_success = m_file->commit();
        else
            m_file->cancelWriting();
        delete m_file;
        m_file = nullptr;
    }
    reply->deleteLater();
    finish();
}

QString DlgHttpDownLoad::tooLarge() const
{
    return tr("la réponse dépasse %1 octets").arg(m_maxBytes);
}

void DlgHttpDownLoad::finish()
{
    m_deadline->stop();
    m_finished = true;
    hide();
}

void DlgHttpDownLoad::cancelAction()
{
    m_cancelled = true;
    if (m_reply)
        m_reply->abort();
    setResult(QDialog::Rejected);
    reject();
    hide();
}
