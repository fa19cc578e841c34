// The first instance's side of the single-instance guard: a TCP server on the loopback address
// that receives the arguments of later instances and announces them. Each message is the
// arguments joined by ";", as UTF-8, ended by a NUL byte (command-line arguments cannot hold
// one). Connections are served without ever blocking the GUI thread: a client that sends too
// much is dropped at once, one that stays silent longer than the silence time-out or takes longer
// than the read time-out is dropped then. At most MaxClients connections wait for their message
// at a time: a new one takes the place of the one silent the longest, so that idle connections
// held open never keep a later instance from being answered.
#ifndef KSINGLE_APP_H
#define KSINGLE_APP_H

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

class KSingleApp : public QObject
{
    Q_OBJECT

public:
    static const QString LocalAdress;
    static const QString Separator;
    // The answer written to each instance whose arguments arrived (68 ASCII bytes).
    static const QByteArray Answer;
    // Largest message accepted.
    static constexpr qint64 MaxMessageBytes = 1024 * 1024;
    // Connections served at a time.
    static constexpr int MaxClients = 16;

    // Port 0 takes any free port (see port()).
    KSingleApp(int port, QObject* parent = nullptr);
    ~KSingleApp() override;

    // False when the port could not be taken (another program holds it).
    bool isListening() const;
    // The port listened on.
    int port() const;
    // How long a connection may take to deliver its message, in ms (default 30000).
    void setReadTimeout(int milliseconds);
    // How long a connection may stay without sending anything, in ms (default 5000).
    void setSilenceTimeout(int milliseconds);

signals:
    void newArguments(const QStringList& arguments);

public slots:
    void newConnection_slot();

private:
    void readMessage(QTcpSocket* socket);
    void drop(QTcpSocket* socket);
    // Closes the waiting connection heard from the longest ago.
    void dropSilentLongest();

    QTcpServer* m_server;
    int m_readTimeout;
    int m_silenceTimeout;
    QElapsedTimer m_clock;
    // Connections still waiting for their message, with when each was last heard from.
    QHash<QTcpSocket*, qint64> m_waiting;
};

#endif
