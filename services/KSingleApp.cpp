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
}

KSingleApp::KSingleApp(int port, QObject* parent)
    : QObject(parent), m_server(new QTcpServer(this)), m_readTimeout(30000), m_clients(0)
{
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

void KSingleApp::newConnection_slot()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        if (m_clients >= MaxClients) {
            socket->abort();
            delete socket;
            continue;
        }
        ++m_clients;
        connect(socket, &QObject::destroyed, this, [this] { --m_clients; });
        // The socket goes with the connection's end, its time-out or the server.
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readMessage(socket); });
        QTimer::singleShot(m_readTimeout, socket, [socket] { socket->abort(); socket->deleteLater(); });
        if (socket->bytesAvailable() > 0)
            readMessage(socket);
    }
}

void KSingleApp::readMessage(QTcpSocket* socket)
{
    QByteArray buffer = socket->property(bufferProperty).toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf('\0');
    if (end < 0) {
        if (buffer.size() > MaxMessageBytes) {
            socket->abort();
            socket->deleteLater();
        } else {
            socket->setProperty(bufferProperty, buffer);
        }
        return;
    }
    // One message per connection: what follows the end is ignored.
    socket->setProperty(bufferProperty, QByteArray());
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    const QString text = AppServices::KStringToQString(buffer.left(end).constData());
    emit newArguments(text.split(Separator, Qt::KeepEmptyParts));
    socket->write(Answer);
    socket->flush();
}
