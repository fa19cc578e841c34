// A small HTTP/1.0 server on 127.0.0.1 inside the test, answering each path as told. It runs
// on the GUI thread, served while the download dialog runs its event loop.
#ifndef HTTP_FIXTURE_H
#define HTTP_FIXTURE_H

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

class HttpFixture
{
public:
    struct Response {
        int status = 200;
        QByteArray body;
        bool hang = false;            // accept, read the request, never answer
        qint64 streamBytes = 0;       // send this many filler bytes as the body instead
        bool declareLength = true;    // send a Content-Length header
        int dripMs = 0;               // with streamBytes: one byte every dripMs ms
    };

    HttpFixture()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }

    void set(const QString& path, const Response& response) { m_responses.insert(path, response); }
    QString url(const QString& path) const
    {
        return QString("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    int requests() const { return m_requests; }

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(&m_server);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        }
    }

    void serve(QTcpSocket* socket)
    {
        QByteArray request = socket->property("request").toByteArray() + socket->readAll();
        socket->setProperty("request", request);
        if (!request.contains("\r\n\r\n") || socket->property("served").toBool())
            return;
        socket->setProperty("served", true);
        ++m_requests;
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        const Response response = m_responses.value(path, Response{404, "<html>Not found</html>"});
        if (response.hang)
            return;
        const qint64 length = response.streamBytes > 0 ? response.streamBytes : response.body.size();
        QByteArray head = "HTTP/1.0 " + QByteArray::number(response.status) + " X\r\nConnection: close\r\n";
        if (response.declareLength)
            head += "Content-Length: " + QByteArray::number(length) + "\r\n";
        socket->write(head + "\r\n");
        if (response.streamBytes > 0 && response.dripMs > 0) {
            dripFiller(socket, response.streamBytes, response.dripMs);
            return;
        }
        if (response.streamBytes > 0) {
            streamFiller(socket, response.streamBytes);
            return;
        }
        socket->write(response.body);
        socket->disconnectFromHost();
    }

    // Writes the filler in chunks as the client takes it, so the client can refuse midway.
    static void streamFiller(QTcpSocket* socket, qint64 total)
    {
        auto left = std::make_shared<qint64>(total);
        auto writeMore = [socket, left] {
            while (*left > 0 && socket->bytesToWrite() < 256 * 1024) {
                const qint64 chunk = qMin<qint64>(*left, 64 * 1024);
                socket->write(QByteArray(chunk, 'a'));
                *left -= chunk;
            }
            if (*left == 0 && socket->bytesToWrite() == 0)
                socket->disconnectFromHost();
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, writeMore);
        writeMore();
    }

    static void dripFiller(QTcpSocket* socket, qint64 total, int dripMs)
    {
        auto* timer = new QTimer(socket);
        auto left = std::make_shared<qint64>(total);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, left] {
            if (*left > 0 && socket->state() == QAbstractSocket::ConnectedState) {
                socket->write("a");
                --*left;
            }
        });
        timer->start(dripMs);
    }

    QTcpServer m_server;
    QHash<QString, Response> m_responses;
    int m_requests = 0;
};

#endif

