#include "AppServices.h"
#include "KSingleApp.h"
#include "../PollUntil.h"
#include "QtAppEnvironment.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Runs a later instance, or a raw client, on its own thread; the GUI thread goes on serving
// until the client has finished.
class Client
{
public:
    template <typename Job>
    explicit Client(Job job)
        : m_thread([this, job] {
              job();
              m_done = true;
          })
    {
    }
    ~Client()
    {
        EXPECT_TRUE(waitUntil([this] { return m_done.load(); }, 60000));
        m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

class SingleApp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        first = std::make_unique<KSingleApp>(0);
        ASSERT_TRUE(first->isListening());
        port = first->port();
    }

    int port = 0;
    std::unique_ptr<KSingleApp> first;
};

} // namespace

TEST_F(SingleApp, ALaterInstanceHandsOverItsArgumentsIntact)
{
    QSignalSpy spy(first.get(), &KSingleApp::newArguments);
    const QStringList args{QString::fromUtf8("/home/é/Cœur d’été.tvprj"), "", "x", QString::fromUtf8("日本")};
    std::atomic<bool> returnedNull(false);
    {
        Client later([&] { returnedNull = AppServices::getSingleApp(port, args, nullptr) == nullptr; });
        ASSERT_TRUE(spy.wait(10000));
    }
    EXPECT_TRUE(returnedNull);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy[0][0].toStringList(), args);
}

TEST_F(SingleApp, AnInstanceWithoutArgumentsMakesTheFirstEmitNothing)
{
    QSignalSpy spy(first.get(), &KSingleApp::newArguments);
    std::atomic<bool> emptyDone(false);
    {
        Client later([&] {
            emptyDone = AppServices::getSingleApp(port, {}, nullptr) == nullptr;
            AppServices::getSingleApp(port, {"after"}, nullptr);
        });
        ASSERT_TRUE(spy.wait(10000));
    }
    EXPECT_TRUE(emptyDone);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy[0][0].toStringList(), QStringList{"after"});
}

TEST_F(SingleApp, TheFirstInstanceAnswersWithItsFixedText)
{
    QSignalSpy spy(first.get(), &KSingleApp::newArguments);
    QByteArray answer;
    {
        Client raw([&] {
            QTcpSocket socket;
            socket.connectToHost("127.0.0.1", port);
            if (!socket.waitForConnected(5000))
                return;
            socket.write(QByteArray("a;;b\0", 5));
            socket.waitForBytesWritten(5000);
            while (answer.size() < 68 && socket.waitForReadyRead(5000))
                answer += socket.readAll();
        });
        ASSERT_TRUE(spy.wait(10000));
    }
    EXPECT_EQ(answer, "Tovra is the most powerful interactive music format in the world !!!");
    EXPECT_EQ(answer.size(), 68);
    EXPECT_EQ(spy[0][0].toStringList(), (QStringList{"a", "", "b"}));
}

TEST_F(SingleApp, SilentOrHostileClientsNeverHoldUpTheGuiThread)
{
    first->setReadTimeout(2000);
    QSignalSpy spy(first.get(), &KSingleApp::newArguments);
    std::atomic<bool> silentDropped(false);
    std::atomic<bool> floodDropped(false);
    {
        // Connects and sends nothing: dropped after the read time-out.
        Client silent([&] {
            QTcpSocket socket;
            socket.connectToHost("127.0.0.1", port);
            if (socket.waitForConnected(5000))
                silentDropped = !socket.waitForReadyRead(10000) && socket.state() != QAbstractSocket::ConnectedState;
        });
        // Sends far more than a message without its end: dropped.
        Client flood([&] {
            QTcpSocket socket;
            socket.connectToHost("127.0.0.1", port);
            if (!socket.waitForConnected(5000))
                return;
            const QByteArray garbage(64 * 1024, '\xff');
            for (int i = 0; i < 64 && socket.state() == QAbstractSocket::ConnectedState; ++i) {
                socket.write(garbage);
                socket.waitForBytesWritten(2000);
            }
            floodDropped = socket.state() != QAbstractSocket::ConnectedState || !socket.waitForReadyRead(5000);
        });
        // Meanwhile a real instance still gets through.
        Client later([&] { AppServices::getSingleApp(port, {"real"}, nullptr); });
        ASSERT_TRUE(spy.wait(10000));
    }
    EXPECT_EQ(spy.size(), 1);
    EXPECT_EQ(spy[0][0].toStringList(), QStringList{"real"});
    EXPECT_TRUE(silentDropped);
    EXPECT_TRUE(floodDropped);
}

// Each connection beyond the limit closes one that was waiting; the others stay until their
// time-outs.
TEST_F(SingleApp, ConcurrentClientsAreCapped)
{
    const int extra = 4;
    std::atomic<int> dropped(-1);
    {
        Client crowd([&] {
            std::vector<std::unique_ptr<QTcpSocket>> sockets;
            for (int i = 0; i < KSingleApp::MaxClients + extra; ++i) {
                sockets.push_back(std::make_unique<QTcpSocket>());
                sockets.back()->connectToHost("127.0.0.1", port);
                if (!sockets.back()->waitForConnected(5000))
                    return;
            }
            auto count = [&] {
                int closed = 0;
                for (auto& socket : sockets) {
                    if (socket->state() == QAbstractSocket::ConnectedState)
                        socket->waitForReadyRead(20);
                    closed += socket->state() != QAbstractSocket::ConnectedState;
                }
                return closed;
            };
            QDeadlineTimer deadline(10000);
            int closed = 0;
            while ((closed = count()) < extra && !deadline.hasExpired()) {
            }
            dropped = closed;
        });
    }
    EXPECT_EQ(dropped, extra);
}

// Hundreds of idle connections held open never keep a later instance from being answered.
TEST_F(SingleApp, IdleConnectionsHeldOpenLeaveRoomForALaterInstance)
{
    const int idle = 300;
    QSignalSpy spy(first.get(), &KSingleApp::newArguments);
    std::atomic<int> opened(0);
    std::atomic<bool> answered(false);
    std::atomic<bool> release(false);
    QByteArray answer;
    {
        Client crowd([&] {
            std::vector<std::unique_ptr<QTcpSocket>> sockets;
            for (int i = 0; i < idle; ++i) {
                sockets.push_back(std::make_unique<QTcpSocket>());
                sockets.back()->connectToHost("127.0.0.1", port);
                if (sockets.back()->waitForConnected(5000))
                    ++opened;
            }
            QDeadlineTimer deadline(60000);
            while (!release && !deadline.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return opened.load() == idle; }, 30000));
        Client later([&] {
            QTcpSocket socket;
            socket.connectToHost("127.0.0.1", port);
            if (socket.waitForConnected(5000)) {
                socket.write(QByteArray("real\0", 5));
                socket.waitForBytesWritten(5000);
                while (answer.size() < KSingleApp::Answer.size() && socket.waitForReadyRead(20000))
                    answer += socket.readAll();
            }
            answered = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answered.load(); }, 60000));
        release = true;
    }
    EXPECT_EQ(answer, KSingleApp::Answer);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy[0][0].toStringList(), QStringList{"real"});
}

TEST(SingleAppPort, APortHeldByAnotherProgramIsReported)
{
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress(KSingleApp::LocalAdress), 0));
    KSingleApp guard(other.serverPort());
    EXPECT_FALSE(guard.isListening());
    EXPECT_EQ(KSingleApp::LocalAdress, "127.0.0.1");
    EXPECT_EQ(KSingleApp::Separator, ";");
}
