#include "HTTPConnexion.h"
#include "../HttpFixture.h"
#include "UpdaterTestApp.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>

#include <algorithm>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class HttpConnexionTest : public ::testing::Test
{
protected:
    void SetUp() override { HTTPConnexion::setStallInterval(HTTPConnexion::StallInterval); }
    void TearDown() override { HTTPConnexion::setStallInterval(HTTPConnexion::StallInterval); }
    QString target() const { return dir.filePath(QStringLiteral("out.bin")); }

    QTemporaryDir dir;
    HttpFixture server;
    BoxRecorder boxes;
};

// Records Qt's warnings while it lives.
class WarningRecorder
{
public:
    WarningRecorder() { m_previous = qInstallMessageHandler(&WarningRecorder::record); }
    ~WarningRecorder() { qInstallMessageHandler(m_previous); }
    static QStringList& lines()
    {
        static QStringList recorded;
        return recorded;
    }

private:
    static void record(QtMsgType, const QMessageLogContext&, const QString& text) { lines() << text; }
    QtMessageHandler m_previous = nullptr;
};

TEST_F(HttpConnexionTest, OutcomeOfEachKindOfAnswer)
{
    HttpFixture::Response redirect{302, "<html>moved</html>", "/real"};
    HttpFixture::Response bareRedirect{302, "moved"};
    HttpFixture::Response elsewhere{302, "moved", "http://localhost:1/real"};
    HttpFixture::Response cut{200, QByteArray(4000, 'c')};
    cut.stopAfter = 1000;
    cut.cutShort = true;
    HttpFixture::Response unannounced{200, QByteArray(4027, 'u')};
    unannounced.declareLength = false;
    HttpFixture::Response unannouncedCut = unannounced;
    unannouncedCut.stopAfter = 2013;
    unannouncedCut.cutShort = true;
    HttpFixture::Response endless;
    endless.endless = true;
    HttpFixture::Response huge;
    huge.streamBytes = qint64(1) << 40;
    HttpFixture::Response drip{200, QByteArray(1000, 'd')};
    drip.dripMs = 200;
    server.set("/ok", QByteArray("payload bytes"));
    server.set("/real", QByteArray("the real file"));
    server.set("/redirect", redirect);
    server.set("/bare-redirect", bareRedirect);
    server.set("/elsewhere", elsewhere);
    server.set("/server-error", HttpFixture::Response{500, "oops"});
    server.set("/cut", cut);
    server.set("/empty", QByteArray());
    server.set("/unannounced", unannounced);
    server.set("/unannounced-cut", unannouncedCut);
    server.set("/endless", endless);
    server.set("/huge", huge);
    server.set("/drip", drip);
    // Chains of redirects on the same host: five are followed, a sixth is refused.
    for (int i = 1; i <= 6; ++i) {
        const QString next = i == 5 ? QStringLiteral("/real") : QStringLiteral("/five%1").arg(i + 1);
        server.set(QStringLiteral("/five%1").arg(i), HttpFixture::Response{302, "moved", next.toUtf8()});
        const QString after = i == 6 ? QStringLiteral("/real") : QStringLiteral("/six%1").arg(i + 1);
        server.set(QStringLiteral("/six%1").arg(i), HttpFixture::Response{302, "moved", after.toUtf8()});
    }
    // The same host on another port is another server.
    const QByteArray otherPort = "http://127.0.0.1:" + QByteArray::number(QUrl(server.url("/")).port() + 1) + "/real";
    server.set("/other-port", HttpFixture::Response{302, "moved", otherPort});
    struct Case {
        const char* path;
        bool refused;        // errorRequest() and the box, no done()
        bool failed;         // done() with the error flag
        QByteArray content;  // when neither: the saved file
        const char* cause = ""; // part of failureCause(), or one of such parts split by '|'
        bool causeShown(const QString& text) const
        {
            const QStringList parts = QString(cause).split('|');
            return std::any_of(parts.begin(), parts.end(), [&](const QString& p) { return text.contains(p); });
        }
    } const cases[] = {
        {"/ok", false, false, "payload bytes"},
        {"/redirect", false, false, "the real file"},
        {"/five1", false, false, "the real file"},
        {"/six1", false, true, {}, "too many times"},
        {"/other-port", false, true, {}, "another host"},
        {"/empty", false, false, ""},
        {"/missing", true, false, {}, "status 404"},
        {"/server-error", true, false, {}, "status 500"},
        {"/bare-redirect", true, false, {}, "status 302"},
        // The client may see the closed connection as a failure or as a short body.
        {"/cut", false, true, {}, "the connection failed|ended after 1000 of the 4000 bytes"},
        {"/elsewhere", false, true, {}, "another host"},
        {"/unannounced", false, true, {}, "did not announce the size"},
        {"/unannounced-cut", false, true, {}, "did not announce the size"},
        {"/endless", false, true, {}, "more than allowed"},
        {"/huge", false, true, {}, "larger than allowed"},
        {"/drip", false, true, {}, "did not end in time"},
    };
    WarningRecorder warnings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        // Each reply is failed once at most. A refused status is checked apart: there the client
        // itself may report the server's error status twice, whatever this code does.
        WarningRecorder::lines().clear();
        // Only the drip, which would take minutes, meets a short deadline.
        HTTPConnexion::setDeadlineLimit(QByteArray(c.path) == "/drip" ? 1500 : 0);
        boxes.texts.clear();
        HTTPConnexion http;
        http.setMaxSize(300000);
        QSignalSpy done(&http, &HTTPConnexion::done);
        QSignalSpy refused(&http, &HTTPConnexion::errorRequest);
        ASSERT_TRUE(http.initDownload(QUrl(server.url(c.path)), target()));
        ASSERT_TRUE(http.downloadFile(QIODevice::WriteOnly));
        if (c.refused) {
            ASSERT_TRUE(refused.wait(5000));
            EXPECT_EQ(boxes.texts, QStringList{"Download failed!"});
            EXPECT_TRUE(waitUntil([&] { return !QFile::exists(target()); }, 5000));
            EXPECT_EQ(done.count(), 0);
            EXPECT_TRUE(http.getError());
            EXPECT_TRUE(c.causeShown(http.failureCause())) << http.failureCause().toStdString();
            continue;
        }
        ASSERT_TRUE(done.wait(60000));
        EXPECT_EQ(refused.count(), 0);
        EXPECT_EQ(http.getError(), c.failed);
        if (c.failed) {
            EXPECT_FALSE(QFile::exists(target()));
            EXPECT_EQ(http.obtainResultRequest(), QStringLiteral("Download failed!"));
            EXPECT_TRUE(c.causeShown(http.failureCause())) << http.failureCause().toStdString();
        } else {
            EXPECT_EQ(readAll(target()), c.content);
            EXPECT_EQ(http.obtainResultRequest(), QStringLiteral("Download successful!"));
            EXPECT_TRUE(http.failureCause().isEmpty()) << http.failureCause().toStdString();
        }
        EXPECT_TRUE(boxes.texts.isEmpty());
        EXPECT_FALSE(WarningRecorder::lines().join('\n').contains("must only be called once"))
            << WarningRecorder::lines().join('\n').toStdString();
    }
    HTTPConnexion::setDeadlineLimit(0);
    EXPECT_EQ(server.requested().count("/real"), 2) << "only redirects on the same host, five at most, are followed";
}

TEST_F(HttpConnexionTest, RequestDoneEndsTheTransferWithItsFlag)
{
    for (bool error : {false, true}) {
        SCOPED_TRACE(error);
        HTTPConnexion http;
        QSignalSpy done(&http, &HTTPConnexion::done);
        ASSERT_TRUE(http.initDownload(QUrl(server.url("/x")), target()));
        http.requestDone(error);
        EXPECT_EQ(done.count(), 1);
        EXPECT_EQ(http.getError(), error);
        EXPECT_EQ(http.obtainResultRequest(),
                  error ? QStringLiteral("Download failed!") : "File downloaded: " + target());
    }
}

TEST_F(HttpConnexionTest, AddressesAreCheckedBeforeAnythingIsSent)
{
    const struct {
        const char* url;
        const char* error; // nullptr: accepted
    } cases[] = {
        {"ftp://127.0.0.1/x", "Error : You must use HTTP protocol"},
        {"file:///etc/passwd", "Error : You must use HTTP protocol"},
        {"http://127.0.0.1", "Error : This URL is empty"},
        {"http://[::1", "Error : Invalid URL"},
        {"https://127.0.0.1/x", nullptr},
        {"http://127.0.0.1/x", nullptr},
    };
    for (const auto& c : cases) {
        HTTPConnexion http;
        EXPECT_EQ(http.initDownload(QUrl(QString::fromLatin1(c.url)), target()), c.error == nullptr) << c.url;
        if (c.error) {
            EXPECT_EQ(http.obtainErrorType(), QString::fromLatin1(c.error));
            EXPECT_TRUE(http.getError());
        }
    }
    EXPECT_TRUE(server.requested().isEmpty());
}

TEST_F(HttpConnexionTest, OnlyThePathIsRequestedAndProgressIsReported)
{
    server.set("/file.bin", HttpFixture::Response{200, QByteArray(100000, 'p')});
    HTTPConnexion http;
    QSignalSpy done(&http, &HTTPConnexion::done);
    QSignalSpy progress(&http, &HTTPConnexion::dataReadProgress);
    ASSERT_TRUE(http.initDownload(QUrl(server.url("/file.bin?sig=abc")), target()));
    ASSERT_TRUE(http.downloadFile(QIODevice::WriteOnly));
    ASSERT_TRUE(done.wait(5000));
    EXPECT_FALSE(http.getError());
    EXPECT_EQ(server.requested(), QStringList{"/file.bin"});
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).toLongLong(), 100000);
    EXPECT_EQ(progress.last().at(1).toLongLong(), 100000);
}

TEST_F(HttpConnexionTest, StallTimerFiresOnceUnlessRestartedAndStopsWithTheTransfer)
{
    HTTPConnexion::setStallInterval(50);
    HttpFixture::Response hang;
    hang.hang = true;
    server.set("/hang", hang);
    server.set("/ok", QByteArray("x"));
    {
        HTTPConnexion http;
        QSignalSpy timeouts(&http, &HTTPConnexion::timeout);
        ASSERT_TRUE(http.initDownload(QUrl(server.url("/hang")), target()));
        ASSERT_TRUE(http.downloadFile(QIODevice::WriteOnly));
        ASSERT_TRUE(timeouts.wait(5000));
        http.startTimer();
        ASSERT_TRUE(timeouts.wait(5000));
        // Not restarted: a further wait sees no third expiry.
        EXPECT_FALSE(timeouts.wait(300));
        EXPECT_EQ(timeouts.count(), 2);
        QSignalSpy done(&http, &HTTPConnexion::done);
        http.cancelDownload();
        EXPECT_TRUE(waitUntil([&] { return !QFile::exists(target()); }, 5000));
        EXPECT_EQ(done.count(), 0);
    }
    HTTPConnexion::setStallInterval(200);
    HTTPConnexion http;
    QSignalSpy timeouts(&http, &HTTPConnexion::timeout);
    QSignalSpy done(&http, &HTTPConnexion::done);
    ASSERT_TRUE(http.initDownload(QUrl(server.url("/ok")), target()));
    ASSERT_TRUE(http.downloadFile(QIODevice::WriteOnly));
    ASSERT_TRUE(done.wait(5000));
    EXPECT_FALSE(timeouts.wait(400));
}

TEST_F(HttpConnexionTest, ATargetThatCannotBeOpenedSendsNothing)
{
    HTTPConnexion http;
    const QString bad = dir.filePath(QStringLiteral("no/folder/x"));
    ASSERT_TRUE(http.initDownload(QUrl(server.url("/ok")), bad));
    EXPECT_FALSE(http.downloadFile(QIODevice::WriteOnly));
    EXPECT_TRUE(http.getError());
    EXPECT_EQ(boxes.texts, QStringList{"Error : Cannot open file " + bad});
    EXPECT_TRUE(server.requested().isEmpty());
}

TEST_F(HttpConnexionTest, RemoveDownloadedFileStaysInItsFolder)
{
    const QString folder = dir.filePath(QStringLiteral("dl"));
    QDir().mkpath(folder);
    QFile(folder + "/a").open(QIODevice::WriteOnly);
    QFile(dir.filePath("keep")).open(QIODevice::WriteOnly);
    HTTPConnexion http;
    ASSERT_TRUE(http.initDownload(QUrl(server.url("/x")), dir.filePath("partial")));
    QFile(dir.filePath("partial")).open(QIODevice::WriteOnly);
    EXPECT_TRUE(http.removeDownloadedFile({"a", "../keep"}, folder));
    EXPECT_FALSE(QFile::exists(folder + "/a"));
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_FALSE(QFile::exists(dir.filePath("partial")));
    EXPECT_TRUE(QFile::exists(dir.filePath("keep")));
}

} // namespace
