#include "DlgHttpDownLoad.h"
#include "DlgUpdate.h"
#include "AppServices.h"
#include "../HttpFixture.h"
#include "KPrompt.h"
#include "QtAppEnvironment.h"
#include "VersionRule.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A server in a child process, so that it sends as fast as the network takes it whatever the
// test's threads do: accepts one connection and answers with an endless chunked body (stopping
// at `limit` bytes). sent() gives how many body bytes the client took before it closed.
class EndlessServer
{
public:
    explicit EndlessServer(qint64 limit)
    {
        const int listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof(address);
        if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(listener, 1) != 0 ||
            getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0 || pipe(m_pipe) != 0)
            return;
        m_port = ntohs(address.sin_port);
        const QByteArray chunk = "10000\r\n" + QByteArray(0x10000, 'a') + "\r\n";
        const char head[] = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
        m_pid = fork();
        if (m_pid == 0) {
            // Only system calls from here: the parent has threads.
            qint64 sent = 0;
            const int client = accept(listener, nullptr, nullptr);
            char request[4096];
            if (client >= 0 && read(client, request, sizeof(request)) > 0 &&
                send(client, head, sizeof(head) - 1, MSG_NOSIGNAL) > 0) {
                while (sent < limit) {
                    const ssize_t n = send(client, chunk.constData(), chunk.size(), MSG_NOSIGNAL);
                    if (n <= 0)
                        break;
                    sent += n;
                }
            }
            ssize_t ignored = write(m_pipe[1], &sent, sizeof(sent));
            (void)ignored;
            _exit(0);
        }
        close(listener);
        close(m_pipe[1]);
    }
    ~EndlessServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_pipe[0]);
    }
    QString url() const { return QString("http://127.0.0.1:%1/endless").arg(m_port); }
    qint64 sent()
    {
        qint64 sent = -1;
        return read(m_pipe[0], &sent, sizeof(sent)) == sizeof(sent) ? sent : -1;
    }

private:
    int m_port = 0;
    int m_pipe[2] = {-1, -1};
    pid_t m_pid = -1;
};

QByteArray description(const QString& versionTag, const QString& version, const QString& descTag = "TOVRA_DESC")
{
    return QString("<TOVRA_UPDATE><%1>%2</%1><%3>Nouveautés</%3></TOVRA_UPDATE>")
        .arg(versionTag, version, descTag)
        .toUtf8();
}

HttpFixture::Response ok(const QByteArray& body)
{
    HttpFixture::Response response;
    response.body = body;
    return response;
}

// Answers every prompt, counting the critical messages and the dialogs run.
class UpdateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KPrompt::setHandler([this](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Critical) {
                messages << request.text;
                // The connection window is gone before its failure is told.
                for (QWidget* window : QApplication::topLevelWidgets())
                    if (window->isVisible() && qobject_cast<DlgHttpDownLoad*>(window))
                        ++windowsBehind;
                answer.button = QMessageBox::Ok;
            } else if (request.kind == KPrompt::Dialog) {
                ++dialogs;
                shownDescription = request.dialog->findChild<QTextBrowser*>("textBrowser")->toPlainText();
                request.dialog->findChild<QPushButton*>(dialogButton)->click();
                answer.button = request.dialog->result();
            }
            return answer;
        });
        localFile = dir.filePath("tvs_update.tmp");
    }
    void TearDown() override
    {
        KPrompt::setHandler(nullptr);
        DlgHttpDownLoad::setStallTimeout(15000);
        DlgHttpDownLoad::setTotalTimeout(120000);
    }

    // The folder holds nothing: no description, no partial or temporary file.
    bool folderIsEmpty() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty();
    }

    bool check(const QString& path, bool& upToDate, bool show = false)
    {
        return DlgUpdate::checkup(upToDate, "1.1.90217", server.url(path), "Tovra Sonaric Pro",
                                  "tovra.invalid", "http://tovra.invalid/news", localFile, nullptr, show);
    }

    QTemporaryDir dir;
    QString localFile;
    HttpFixture server;
    QStringList messages;
    int dialogs = 0;
    int windowsBehind = 0;
    QString dialogButton = "updateButton";
    QString shownDescription;
};

} // namespace

TEST(VersionRule, PartsCompareAsNumbersWithMissingPartsZero)
{
    struct Case {
        const char* remote;
        const char* installed;
        bool newer;
    };
    const Case cases[] = {
        {"1.1.90301", "1.1.90217", true},
        {"1.1.90217", "1.1.90217", false},
        {"1.1.90216", "1.1.90217", false},
        {"1.1.100000", "1.1.90217", true},
        {"1.10", "1.9", true},
        {"1.1", "1.1.5", false},
        {"1.1.5.1", "1.1.5", true},
        {"1.1.0", "1.1", false},
        {"1.1", "1.1.0", false},
        {"01.02", "1.1", true},
        // Zero-padded parts count by their value, not their length or their text.
        {"1.010", "1.9", true},
        {"1.9", "1.010", false},
        {"1.009", "1.10", false},
        {"1.010", "1.10", false},
        {"Sonaric.1.2", "1.1", true},
        {" 1.2 ", "1.1", true},
        {"1.1.99999999999999999999", "1.1.90217", true},
        {"1.1.90217", "1.1.99999999999999999999", false},
        // Never newer without a valid version on both sides.
        {"abc", "1.1", false},
        {"", "1.1", false},
        {"1..2", "1.1", false},
        {"1.2.beta", "1.1", false},
        {"-1", "0", false},
        {"1.2", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DlgUpdate::isMoreRecent(QString(c.remote), QString(c.installed)), c.newer)
            << c.remote << " vs " << c.installed;
        EXPECT_EQ(VersionRule::isNewer(QString(c.remote), QString(c.installed)), c.newer);
    }
    // Longer than MaxLength characters is no version, on either side (as the updater refuses it).
    const QString longest = "1." + QString(VersionRule::MaxLength - 2, QLatin1Char('9'));
    EXPECT_TRUE(DlgUpdate::isMoreRecent(longest, "1.1"));
    EXPECT_TRUE(VersionRule::isValid(" " + longest + " "));
    for (const QString& tooLong : {longest + "9", "1." + QString(4998, QLatin1Char('9'))}) {
        EXPECT_FALSE(DlgUpdate::isMoreRecent(tooLong, "1.1")) << tooLong.size();
        EXPECT_FALSE(DlgUpdate::isMoreRecent("1.1", "0." + tooLong)) << tooLong.size();
        EXPECT_FALSE(VersionRule::isValid(tooLong)) << tooLong.size();
    }
    EXPECT_TRUE(DlgUpdate::isMoreRecent(QStringList{"1", "2"}, QStringList{"1", "1"}));
    EXPECT_FALSE(DlgUpdate::isMoreRecent(QStringList{}, QStringList{"1"}));
}

TEST_F(UpdateTest, TheAnnouncedVersionDecides)
{
    struct Case {
        const char* name;
        QByteArray body;
        bool result;
        bool upToDate;
    };
    const Case cases[] = {
        {"/newer", description("TOVRA_VERSION", "1.1.90301"), true, false},
        {"/equal", description("TOVRA_VERSION", "1.1.90217"), false, true},
        {"/older", description("TOVRA_VERSION", "1.1.90101"), false, true},
        {"/longer", description("TOVRA_VERSION", "1.1.100000"), true, false},
        {"/oldnames", description("TVS_VERSION", "1.1.90301", "TVS_DESC"), true, false},
        {"/noversion", "<TOVRA_UPDATE><TOVRA_DESC>x</TOVRA_DESC></TOVRA_UPDATE>", false, false},
        {"/badversion", description("TOVRA_VERSION", "latest"), false, false},
        {"/hugeversion", description("TOVRA_VERSION", "1." + QString(4998, QLatin1Char('9'))), false, false},
        {"/wrongroot", "<Error><TOVRA_VERSION>9.9</TOVRA_VERSION></Error>", false, false},
        {"/malformed", "<TOVRA_UPDATE><TOVRA_VERSION>1.1.90301</TOVRA_VERSION>", false, false},
        {"/html", "<html><body>Bienvenue</body></html>", false, false},
        {"/empty", "", false, false},
    };
    for (const Case& c : cases) {
        server.set(c.name, ok(c.body));
        bool upToDate = true;
        EXPECT_EQ(check(c.name, upToDate), c.result) << c.name;
        EXPECT_EQ(upToDate, c.upToDate) << c.name;
        EXPECT_TRUE(folderIsEmpty()) << c.name;
    }
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(dialogs, 0);
}

TEST_F(UpdateTest, ANewerVersionIsOfferedWhenShown)
{
    server.set("/newer", ok(description("TOVRA_VERSION", "1.1.90301")));
    bool upToDate = true;
    EXPECT_TRUE(check("/newer", upToDate, true));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(shownDescription, QString::fromUtf8("Nouveautés"));
    dialogButton = "cancelButton";
    EXPECT_FALSE(check("/newer", upToDate, true));
    EXPECT_FALSE(upToDate);
    EXPECT_EQ(dialogs, 2);
    EXPECT_TRUE(folderIsEmpty());
}

TEST_F(UpdateTest, ServerFailuresEndTheCheckWithoutAFileOrAHang)
{
    HttpFixture::Response missing;
    missing.status = 404;
    missing.body = "<html>404</html>";
    HttpFixture::Response moved;
    moved.status = 302;
    HttpFixture::Response hang;
    hang.hang = true;
    HttpFixture::Response huge;
    huge.streamBytes = 8 * DlgUpdate::MaxDescriptionBytes;
    HttpFixture::Response hugeUndeclared = huge;
    hugeUndeclared.declareLength = false;
    // Each message names the server and then the cause (empty: any cause the network gives).
    struct Case {
        const char* name;
        HttpFixture::Response response;
        const char* cause;
    };
    const Case cases[] = {
        {"/404", missing, "le serveur a répondu 404"},
        {"/302", moved, "le serveur a répondu 302"},
        {"/hang", hang, ""},
        {"/huge", huge, "la réponse dépasse 1048576 octets"},
        {"/hugeUndeclared", hugeUndeclared, "la réponse dépasse 1048576 octets"},
    };
    ASSERT_EQ(DlgUpdate::MaxDescriptionBytes, 1048576);
    const QString prefix = "Impossible de rechercher de nouvelles versions sur tovra.invalid : ";
    for (const Case& c : cases) {
        messages.clear();
        server.set(c.name, c.response);
        DlgHttpDownLoad::setStallTimeout(c.response.hang ? 500 : 15000);
        bool upToDate = true;
        EXPECT_FALSE(check(c.name, upToDate)) << c.name;
        EXPECT_FALSE(upToDate) << c.name;
        ASSERT_EQ(messages.size(), 1) << c.name;
        EXPECT_TRUE(messages[0].startsWith(prefix + QString::fromUtf8(c.cause))) << messages[0].toStdString();
        EXPECT_GT(messages[0].size(), prefix.size()) << c.name;
        EXPECT_FALSE(messages[0].contains("  ")) << messages[0].toStdString();
        EXPECT_TRUE(folderIsEmpty()) << c.name;
    }

    // Nobody listening at all: said like any other failure, with the network's cause.
    messages.clear();
    bool upToDate = true;
    EXPECT_FALSE(DlgUpdate::checkup(upToDate, "1.1", "http://127.0.0.1:1/x", "P", "srv", "", localFile, nullptr, false));
    EXPECT_TRUE(folderIsEmpty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Impossible de rechercher de nouvelles versions sur srv : ")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("refused", Qt::CaseInsensitive)) << messages[0].toStdString();
    EXPECT_EQ(windowsBehind, 0);
}

// A server that drips its body never stalls the transfer, which still ends at the total
// time-out; one that sends an endless body is cut at the cap.
TEST_F(UpdateTest, SlowOrEndlessBodiesEndTheCheckWithinItsLimits)
{
    HttpFixture::Response drip;
    drip.streamBytes = DlgUpdate::MaxDescriptionBytes - 1;
    drip.dripMs = 20;
    server.set("/drip", drip);
    DlgHttpDownLoad::setStallTimeout(5000);
    DlgHttpDownLoad::setTotalTimeout(500);
    // Cancels a check still running long after its time-outs, so that a fault fails the test.
    bool rescued = false;
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<DlgHttpDownLoad*>(QApplication::activeModalWidget())) {
            rescued = true;
            dialog->findChild<QPushButton*>("cancelButton")->click();
        }
    });
    rescue.start(20000);
    bool upToDate = true;
    EXPECT_FALSE(check("/drip", upToDate));
    EXPECT_FALSE(rescued);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(folderIsEmpty());

    messages.clear();
    DlgHttpDownLoad::setTotalTimeout(60000);
    const qint64 limit = qint64(1024) * 1024 * 1024;
    EndlessServer endless(limit);
    EXPECT_FALSE(DlgUpdate::checkup(upToDate, "1.1", endless.url(), "P", "srv", "", localFile, nullptr, false));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(folderIsEmpty());
    // The transfer is cut: the server never reaches its end. Usually a few megabytes pass (the
    // cap, the network side's bounded buffer and the system's socket buffers), but while the
    // check's thread is starved, the network thread may take a few hundred megabytes more
    // before the connection closes; the bound stays far above that.
    const qint64 sent = endless.sent();
    EXPECT_GT(sent, DlgUpdate::MaxDescriptionBytes);
    EXPECT_LT(sent, limit);
}

TEST_F(UpdateTest, DownloadWritesTheWholeFileUnderItsNameOnly)
{
    const QByteArray body(300000, 'z');
    server.set("/updater.bin", ok(body));
    // An older file of that name is replaced.
    QFile old(dir.filePath("updater.bin"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    const QString target = dir.filePath("updater.bin");
    EXPECT_EQ(DlgHttpDownLoad::download(server.url("/updater.bin"), target, "srv", nullptr), target);
    QFile fetched(target);
    ASSERT_TRUE(fetched.open(QIODevice::ReadOnly));
    EXPECT_EQ(fetched.readAll(), body);
    fetched.close();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // Without a local name, the URL's file name is used (relative to the working folder).
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    server.set("/named.txt", ok("n"));
    EXPECT_EQ(DlgHttpDownLoad::download(server.url("/named.txt"), QString(), "srv", nullptr), "named.txt");
    QDir::setCurrent(cwd);
    EXPECT_TRUE(QFile::exists(dir.filePath("named.txt")));
}

// The limit is the largest body accepted: exactly that many bytes arrive whole, one more fails,
// whether or not the server announces the length.
TEST_F(UpdateTest, ABodyOfExactlyTheLimitIsAcceptedAndOneByteMoreRefused)
{
    const qint64 limit = 100000;
    struct Case {
        qint64 bytes;
        bool declared;
        bool accepted;
    };
    const Case cases[] = {
        {limit, true, true},
        {limit, false, true},
        {limit + 1, true, false},
        {limit + 1, false, false},
    };
    for (const Case& c : cases) {
        messages.clear();
        const QString path = QString("/file-%1-%2").arg(c.bytes).arg(c.declared);
        HttpFixture::Response response = ok(QByteArray(static_cast<int>(c.bytes), 'b'));
        response.declareLength = c.declared;
        server.set(path, response);
        const QString target = dir.filePath("download.bin");
        const QString fetched = DlgHttpDownLoad::download(server.url(path), target, "srv", nullptr, limit);
        EXPECT_EQ(fetched, c.accepted ? target : QString()) << c.bytes << " " << c.declared;
        EXPECT_EQ(messages.size(), c.accepted ? 0 : 1) << c.bytes << " " << c.declared;
        EXPECT_EQ(QFileInfo(target).size(), c.accepted ? c.bytes : 0) << c.bytes << " " << c.declared;
        QFile::remove(target);
        EXPECT_TRUE(folderIsEmpty());
    }
}

TEST_F(UpdateTest, AFileThatCannotBeWrittenFailsAtOnceWithOneMessage)
{
    server.set("/x", ok("x"));
    const QString target = dir.filePath("missing-folder/x");
    EXPECT_TRUE(DlgHttpDownLoad::download(server.url("/x"), target, "", nullptr).isNull());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "Impossible de rechercher de nouvelles versions sur serveur : le fichier " +
                               QDir::toNativeSeparators(target) + " ne peut pas être écrit");
    EXPECT_EQ(server.requests(), 0);
}

TEST_F(UpdateTest, CancellingTheDownloadLeavesNothing)
{
    DlgHttpDownLoad::setStallTimeout(60000);
    HttpFixture::Response hang;
    hang.hang = true;
    server.set("/slow", hang);
    QTimer::singleShot(200, [] {
        if (auto* dialog = qobject_cast<DlgHttpDownLoad*>(QApplication::activeModalWidget()))
            dialog->findChild<QPushButton*>("cancelButton")->click();
    });
    const QString target = dir.filePath("slow");
    EXPECT_TRUE(DlgHttpDownLoad::download(server.url("/slow"), target, "srv", nullptr).isNull());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(folderIsEmpty());
}

TEST(DlgUpdateForm, LabelAndInformationToggle)
{
    DlgUpdate dialog;
    dialog.setLinks("P", "S", "u");
    EXPECT_EQ(dialog.findChild<QLabel*>("label")->text(), "Une nouvelle version d'P est disponible sur S.");
    EXPECT_EQ(dialog.windowTitle(), "Recherche de nouvelles versions...");
    EXPECT_EQ(dialog.findChild<QPushButton*>("updateButton")->text(), QString::fromUtf8("Mettre à jour"));
    auto* browser = dialog.findChild<QTextBrowser*>("textBrowser");
    EXPECT_TRUE(browser->isHidden());
    EXPECT_EQ(dialog.minimumHeight(), 75);
    EXPECT_EQ(dialog.maximumHeight(), 75);
    dialog.info_action();
    EXPECT_FALSE(browser->isHidden());
    EXPECT_EQ(dialog.minimumHeight(), 220);
    EXPECT_EQ(dialog.maximumHeight(), 220);
    dialog.info_action();
    EXPECT_TRUE(browser->isHidden());
    EXPECT_EQ(dialog.maximumHeight(), 75);
    dialog.setDesc("Texte");
    EXPECT_EQ(browser->toPlainText(), "Texte");
}

TEST_F(UpdateTest, PlainEntryPointForwardsTheUsersChoice)
{
    server.set("/newer", ok(description("TOVRA_VERSION", "1.1.90301")));
    const QByteArray url = server.url("/newer").toUtf8();
    const QByteArray local = localFile.toUtf8();
    EXPECT_EQ(kQt_versionCheckUp("1.1.90217", url.constData(), "P", "S", "u", local.constData()), 1);
    bool upToDate = false;
    EXPECT_FALSE(AppServices::versionCheckUp(upToDate, "1.1.90301", server.url("/newer"), "P", "S", "u",
                                             localFile, nullptr, true));
    EXPECT_TRUE(upToDate);
}

TEST(UpdateNotice, AWrappedMessageKeepsEveryLineInsideTheClosedDialog)
{
    QFont large;
    large.setPointSize(16);
    QWidget parent;
    parent.setFont(large);
    for (const QString server : {"srv", "a.very.long.update.server.name.of.the.maker.example"}) {
        DlgUpdate dialog(&parent);
        dialog.setLinks("Tovra Sonaric Free", server, "https://example.invalid/news");
        dialog.show();
        auto* label = dialog.findChild<QLabel*>("label");
        ASSERT_NE(label, nullptr);
        EXPECT_GE(dialog.height(), 75);
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << server.toStdString();
        // Opening and closing the description comes back to the same height.
        const int closed = dialog.height();
        dialog.info_action();
        dialog.info_action();
        EXPECT_EQ(dialog.height(), closed);
    }
}
