#include "KSingleApp.h"

#include "AppServices.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

const QString KSingleApp::LocalAdress = QStringLiteral("127.0.0.1");
const QString KSingleApp::Separator = QStringLiteral(";");
const QByteArray KSingleApp::Answer =
    QByteArrayLiteral("Tovra is the most powerful interactive music format in the world !!!");

namespace {
const char* const bufferProperty = "kSingleAppBuffer";
const char* const silenceProperty = "kSingleAppSilence";
}

KSingleApp::KSingleApp(int port, QObject* parent)
    : QObject(parent), m_server(new QTcpServer(this)), m_readTimeout(30000), m_silenceTimeout(5000)
{
    m_clock.start();
    if (!m_server->listen(QHostAddress(LocalAdress), static_cast<quint16>(port)))
        qWarning("KSingleApp: cannot listen on %s:%d: %s", qPrintable(LocalAdress), port,
                 qPrintable(m_server->errorString()));
    connect(m_server, &QTcpServer::newConnection, this, &KSingleApp::newConnection_slot);
}

KSingleApp::~KSingleApp()
{
    delete m_server;
}

bool KSingleApp::isListening() const
{
    return m_server->isListening();
}

int KSingleApp::port() const
{
    return m_server->serverPort();
}

void KSingleApp::setReadTimeout(int milliseconds)
{
    m_readTimeout = milliseconds;
}

void KSingleApp::setSilenceTimeout(int milliseconds)
{
    m_silenceTimeout = milliseconds;
}

// One connection a pass: the event loop reads what the connections taken before have sent (a
// later instance writes its message at once) before the next one may take a place.
void KSingleApp::newConnection_slot()
{
    QTcpSocket* socket = m_server->nextPendingConnection();
    if (!socket)
        return;
    if (m_server->hasPendingConnections())
        QTimer::singleShot(0, this, &KSingleApp::newConnection_slot);
    if (m_waiting.size() >= MaxClients)
        dropSilentLongest();
    m_waiting.insert(socket, m_clock.elapsed());
    connect(socket, &QObject::destroyed, this, [this, socket] { m_waiting.remove(socket); });
    // The socket goes with the connection's end, its time-outs or the server.
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readMessage(socket); });
    QTimer::singleShot(m_readTimeout, socket, [this, socket] { drop(socket); });
    auto* silence = new QTimer(socket);
    silence->setObjectName(silenceProperty);
    silence->setSingleShot(true);
    connect(silence, &QTimer::timeout, this, [this, socket] { drop(socket); });
    silence->start(m_silenceTimeout);
    if (socket->bytesAvailable() > 0)
        readMessage(socket);
}

void KSingleApp::drop(QTcpSocket* socket)
{
    m_waiting.remove(socket);
    socket->abort();
    socket->deleteLater();
}

void KSingleApp::dropSilentLongest()
{
    QTcpSocket* oldest = nullptr;
    qint64 heard = 0;
    for (auto it = m_waiting.cbegin(); it != m_waiting.cend(); ++it) {
        if (!oldest || it.value() < heard) {
            oldest = it.key();
            heard = it.value();
        }
    }
    if (oldest)
        drop(oldest);
}

void KSingleApp::readMessage(QTcpSocket* socket)
{
    if (auto* silence = socket->findChild<QTimer*>(silenceProperty, Qt::FindDirectChildrenOnly))
        silence->start(m_silenceTimeout);
    if (m_waiting.contains(socket))
        m_waiting[socket] = m_clock.elapsed();
    QByteArray buffer = socket->property(bufferProperty).toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf('\0');
    if (end < 0) {
        if (buffer.size() > MaxMessageBytes)
            drop(socket);
        else
            socket->setProperty(bufferProperty, buffer);
        return;
    }
    // One message per connection: what follows the end is ignored. The answered connection
    // waits no more: it leaves its place and goes with the client's close or its time-outs.
    m_waiting.remove(socket);
    socket->setProperty(bufferProperty, QByteArray());
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    const QString text = AppServices::KStringToQString(buffer.left(end).constData());
    emit newArguments(text.split(Separator, Qt::KeepEmptyParts));
    socket->write(Answer);
    socket->flush();
}
