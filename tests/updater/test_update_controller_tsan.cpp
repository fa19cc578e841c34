#include "ConnexionWindowUi.h"
#include "HTTPConnexion.h"
#include "QtComp.h"
#include "UpdateFixtures.h"
#include "UpdatePlatform.h"
#include "../HttpFixture.h"
#include "UpdateSonaricPro.h"
#include "UpdateWindowUi.h"
#include "UpdaterTestApp.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class RecordingPlatform : public UpdatePlatform
{
public:
    bool startDetached(const QString& program, const QStringList& arguments) override
    {
        started << program + QStringLiteral(" [") + arguments.join(' ') + QStringLiteral("]");
        return true;
    }
    QStringList started;
};

// The longest time the event loop went without running a 10 ms timer while it lives.
class LoopWatch
{
public:
    LoopWatch()
    {
        m_clock.start();
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = qMax(m_longest, m_clock.restart());
        });
        m_timer.start();
    }
    qint64 longestStall() const { return m_longest; }

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_longest = 0;
};

void grab(QWidget* window, const QString& name)
{
    QDir().mkpath(QStringLiteral(UPDATER_SCREENS_DIR));
    window->grab().save(QStringLiteral(UPDATER_SCREENS_DIR "/") + name + QStringLiteral(".png"));
}

class UpdateRunTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        editor = QDir::cleanPath(root.path()) + "/app";
        outside = QDir::cleanPath(root.path()) + "/outside";
        writeFile(editor + "/Sonaric", "old program");
        writeFile(editor + "/lib/libA.so", "old A");
        writeFile(editor + "/obsolete.txt", "old");
        writeFile(outside + "/precious", "keep me");
        QFile::link(outside, editor + "/outlink");
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tovra Media", "Tovra Sonaric Pro")
            .setValue("CurrentVersion", "1.1.5");
        UpdatePlatform::setInstance(&platform);
        HTTPConnexion::setStallInterval(HTTPConnexion::StallInterval);
        serveNormalUpdate();
        editorBefore = snapshot(editor);
        outsideBefore = snapshot(outside);
    }
    void TearDown() override
    {
        UpdatePlatform::setInstance(nullptr);
        HTTPConnexion::setStallInterval(HTTPConnexion::StallInterval);
        HTTPConnexion::setDeadlineLimit(0);
    }

    // A tar.gz archive that unpacks to more than a thousand times its size, past the cap.
    static QByteArray bomb()
    {
        static const QByteArray bytes = makeZeroBomb("z.so", UpdateSonaricPro::MaxUnpackedSize + 1024 * 1024);
        return bytes;
    }

    QByteArray description(const QByteArray& v12, const QByteArray& v13) const
    {
        QByteArray xml = "<TOVRA_UPDATE>\n<version number='1.0'><file name='Sonaric'><u>URL/ancient</u><d>./</d>"
                         "</file></version>\n<version number='1.2'>"
                         + v12 + "</version>\n<version number='1.3'>" + v13 + "</version></TOVRA_UPDATE>";
        return xml.replace("URL", server.url("").toUtf8());
    }

    // Two newer versions: a program file, a deletion and a tar.gz archive in 1.2; a library
    // served through a redirect and a qtcomp file in 1.3.
    void serveNormalUpdate()
    {
        v12 = "<file name='Sonaric'><u>URL/Sonaric</u><d>./</d></file><delete path='obsolete.txt'/>"
              "<archive type='tar.gz'><install>lib/</install><file>x/y.so</file><file>z.so</file>"
              "<url>URL/pack.tar.gz</url></archive>";
        v13 = "<file name='libA.so'><u>URL/moved-libA</u><d>lib/</d></file>"
              "<archive type='qtcomp'><install>share/</install><file>data.bin</file><url>URL/data.qz</url></archive>";
        server.set("/desc.xml", description(v12, v13));
        server.set("/Sonaric", QByteArray("new program"));
        server.set("/moved-libA", HttpFixture::Response{302, "<html>moved</html>", "/libA.so"});
        server.set("/libA.so", QByteArray("new A"));
        packMembers = {{"x/", {}, '5'}, {"x/y.so", "new Y"}, {"z.so", "new Z"}};
        server.set("/pack.tar.gz", makeTarGz(packMembers));
        writeFile(root.path() + "/data.src", QByteArray(100000, 'd'));
        QtComp::compressFile(root.path() + "/data.src", root.path() + "/data.qz", 9);
        server.set("/data.qz", readFile(root.path() + "/data.qz"));
    }

    std::unique_ptr<UpdateSonaricPro> start()
    {
        auto controller = std::make_unique<UpdateSonaricPro>();
        controller->setApplicationDirPath(editor);
        controller->setDescriptionAddress(server.url("/desc.xml"));
        EXPECT_TRUE(controller->start());
        return controller;
    }

    // Starts a run whose request of path never gets an answer.
    std::unique_ptr<UpdateSonaricPro> startWithHangingPath(const QString& path)
    {
        HttpFixture::Response hang;
        hang.hang = true;
        server.set(path, hang);
        return start();
    }

    // Starts a run and waits until it ends, succeeds or stops on a failure.
    std::unique_ptr<UpdateSonaricPro> run()
    {
        auto controller = start();
        UpdateSonaricPro* c = controller.get();
        const bool settled = QTest::qWaitFor(
            [&] {
                return c->hasEnded() || c->updateWindow()->okEnabled()
                       || c->updateWindow()->resultLine() == "Update failed!"
                       || boxes.texts.contains("Cannot open tvspro-update Volume!");
            },
            20000);
        EXPECT_TRUE(settled) << "the run neither ended nor settled";
        return controller;
    }

    QTemporaryDir root;
    QString editor, outside;
    HttpFixture server;
    BoxRecorder boxes;
    RecordingPlatform platform;
    QByteArray v12, v13;
    QList<TarMember> packMembers;
    QMap<QString, QByteArray> editorBefore, outsideBefore;
};

TEST_F(UpdateRunTest, TwoNewerVersionsAreInstalledAndOkRestartsTheEditor)
{
    auto controller = run();
    UpdateWindowUi* window = controller->updateWindow();
    ASSERT_TRUE(window->okEnabled()) << boxes.texts.join('\n').toStdString();
    grab(window, "update_window_success");
    EXPECT_EQ(window->resultLine(), QStringLiteral("Update successful!"));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('\n').toStdString();
    const QMap<QString, QByteArray> expected{
        {"Sonaric", "new program"}, {"lib/", ""},         {"lib/libA.so", "new A"},
        {"lib/y.so", "new Y"},      {"lib/z.so", "new Z"}, {"share/", ""},
        {"share/data.bin", QByteArray(100000, 'd')},    {"outlink", "->" + outside.toUtf8()}};
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), expected);
    EXPECT_EQ(snapshot(outside), outsideBefore);
    const QString log = window->log();
    for (const char* line : {"Download: Sonaric\n", "Download: data.qz\n", "Download: libA.so\n",
                             "Download: pack.tar.gz\n", "Decompress: pack.tar.gz\n", "Delete: obsolete.txt\n",
                             "Install: Sonaric\n", "Install: libA.so\n", "Install: x/y.so\n"})
        EXPECT_TRUE(log.contains(QString::fromLatin1(line))) << line << " in\n" << log.toStdString();
    EXPECT_FALSE(QFile::exists(controller->descriptionFile()));
    EXPECT_FALSE(QFileInfo::exists(controller->downloadFolder()));
    EXPECT_EQ(server.requested().count("/ancient"), 0);
    // Only the path is requested, the redirect is followed and its own body never saved.
    EXPECT_TRUE(server.requested().contains("/libA.so"));

    QSignalSpy closed(controller.get(), &UpdateSonaricPro::closed);
    QTest::mouseClick(window->findChild<QPushButton*>("okButt"), Qt::LeftButton);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(platform.started, QStringList{editor + "/Sonaric []"});
}

TEST_F(UpdateRunTest, NothingNewerEndsInSuccessWithoutTouchingTheEditor)
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tovra Media", "Tovra Sonaric Pro")
        .setValue("CurrentVersion", "2.0");
    auto controller = run();
    EXPECT_TRUE(controller->updateWindow()->okEnabled());
    EXPECT_EQ(controller->updateWindow()->findChild<QLabel*>("version2")->text(), QStringLiteral("1.3"));
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), editorBefore);
    EXPECT_TRUE(controller->updateWindow()->log().isEmpty());
}

struct FailureCase {
    const char* what;
    std::function<void(UpdateRunTest&)> arrange;
    QStringList boxes;    // the boxes shown, in order, each up to its cause
    bool ended;           // the run ends (else: the window stays with Cancel)
    const char* cause = ""; // named in the last box
};

using UpdateFailureTest = UpdateRunTest;

TEST_F(UpdateFailureTest, EveryFailureLeavesTheOldEditorWholeAndNothingOutsideChanged)
{
    const QString stop = "Impossible to update your Tovra Sonaric software! The update software will stop!";
    HttpFixture::Response cut{200, QByteArray(5000, 'c')};
    cut.stopAfter = 100;
    cut.cutShort = true;
    HttpFixture::Response hang;
    hang.hang = true;
    auto archive = [](QList<TarMember> members) {
        return [members](UpdateRunTest& t) { t.server.set("/pack.tar.gz", makeTarGz(members)); };
    };
    const FailureCase cases[] = {
        {"item answered 404", [](UpdateRunTest& t) { t.server.set("/libA.so", HttpFixture::Response{404, "no"}); },
         {"Download failed!", stop}, true},
        {"item answered 500", [](UpdateRunTest& t) { t.server.set("/libA.so", HttpFixture::Response{500, "err"}); },
         {"Download failed!", stop}, true},
        {"item body cut short", [cut](UpdateRunTest& t) { t.server.set("/libA.so", cut); }, {stop}, true},
        {"item stalls", [hang](UpdateRunTest& t) {
             // Long enough that the description, served at once, never counts as stalled on a
             // loaded machine; only the hanging item does.
             HTTPConnexion::setStallInterval(1500);
             t.server.set("/libA.so", hang);
         }, {stop}, true},
        {"redirect without an address", [](UpdateRunTest& t) {
             t.server.set("/moved-libA", HttpFixture::Response{302, "moved"});
         }, {"Download failed!", stop}, true},
        {"description answered 404", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", HttpFixture::Response{404, "no"});
         }, {"Download failed!", "Error: Connexion failed!"}, true, "status 404"},
        {"description stalls", [hang](UpdateRunTest& t) {
             HTTPConnexion::setStallInterval(1000);
             t.server.set("/desc.xml", hang);
         }, {"Error: Connexion failed!"}, true},
        {"description malformed", [](UpdateRunTest& t) { t.server.set("/desc.xml", QByteArray("<a><b></a>")); },
         {"Error during udpate!"}, true},
        {"file name climbing out", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", t.description(t.v12, "<file name='..'><u>URL/libA.so</u><d>lib/</d></file>"));
         }, {"Error during udpate!"}, true},
        {"install folder climbing out", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", t.description(t.v12, "<file name='libA.so'><u>URL/libA.so</u><d>lib/../../</d></file>"));
         }, {"Error during udpate!"}, true},
        {"absolute delete path", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", t.description(t.v12 + "<delete path='" + t.outside.toUtf8() + "/precious'/>", t.v13));
         }, {"Error during udpate!"}, true},
        {"install folder through a link", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", t.description(t.v12, "<file name='libA.so'><u>URL/libA.so</u><d>outlink/</d></file>"));
         }, {}, false},
        {"delete path through a link", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", t.description(t.v12 + "<delete path='outlink/precious'/>", t.v13));
         }, {}, false},
        {"archive member climbing out", archive({{"../evil", "x"}, {"x/y.so", "y"}, {"z.so", "z"}}), {}, false},
        {"absolute archive member", archive({{"/tmp/evil", "x"}, {"x/y.so", "y"}, {"z.so", "z"}}), {}, false},
        {"archive member is a link", archive({{"x/y.so", {}, '2', "/etc/passwd"}, {"z.so", "z"}}), {}, false},
        {"link then a member through it", archive({{"x", {}, '2', "../../outside"}, {"x/y.so", "y"}, {"z.so", "z"}}), {}, false},
        {"archive member is a hard link", archive({{"x/y.so", {}, '1', "z.so"}, {"z.so", "z"}}), {}, false},
        {"archive member missing", archive({{"z.so", "z"}}), {}, false},
        {"archive damaged", [](UpdateRunTest& t) { t.server.set("/pack.tar.gz", QByteArray("not gzip")); }, {}, false},
        {"qtcomp damaged", [](UpdateRunTest& t) {
             QByteArray bytes = readFile(t.root.path() + "/data.qz");
             bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x5a);
             t.server.set("/data.qz", bytes);
         }, {}, false},
        // The update names the installer's own journal in the work folder.
        {"journal swapped by the update", [](UpdateRunTest& t) {
             t.server.set("/journal", QByteArray("tovra-install 2\t%2Fetc\t%2Fetc\n"));
             t.server.set("/desc.xml", t.description(t.v12, t.v13 + "<file name='install.journal'><u>URL/journal</u>"
                                                                      "<d>.tvrudttmp/</d></file>"));
         }, {}, false, "the server sent an unsafe path"},
        {"item cut short without a length", [](UpdateRunTest& t) {
             HttpFixture::Response r{200, QByteArray(4027, 'a')};
             r.declareLength = false;
             r.stopAfter = 2013;
             r.cutShort = true;
             t.server.set("/libA.so", r);
         }, {stop}, true, "did not announce the size"},
        {"item redirected to another host", [](UpdateRunTest& t) {
             t.server.set("/moved-libA", HttpFixture::Response{302, "moved", "http://localhost:1/libA.so"});
         }, {stop}, true, "another host"},
        {"description deep", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", "<U>" + QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000) + "</U>");
         }, {"Error during udpate!"}, true, "nested more than"},
        {"description with a long version", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", "<U><version number='1" + QByteArray(1000000, '1') + "'/></U>");
         }, {"Error during udpate!"}, true, "version number longer"},
        {"description huge", [](UpdateRunTest& t) {
             HttpFixture::Response r;
             r.streamBytes = qint64(1) << 34;
             t.server.set("/desc.xml", r);
         }, {"Error: Connexion failed!"}, true, "larger than allowed"},
        {"description endless", [](UpdateRunTest& t) {
             HttpFixture::Response r;
             r.endless = true;
             t.server.set("/desc.xml", r);
         }, {"Error: Connexion failed!"}, true, "more than allowed"},
        {"description drip", [](UpdateRunTest& t) {
             HTTPConnexion::setDeadlineLimit(1500);
             HttpFixture::Response r{200, t.description(t.v12, t.v13)};
             r.dripMs = 100;
             t.server.set("/desc.xml", r);
         }, {"Error: Connexion failed!"}, true, "did not end in time"},
        {"archive with an altered CRC", [](UpdateRunTest& t) {
             QByteArray bytes = makeTarGz(t.packMembers);
             bytes[bytes.size() - 8] = char(bytes[bytes.size() - 8] ^ 1);
             t.server.set("/pack.tar.gz", bytes);
         }, {}, false, "damaged"},
        {"archive without its trailer", [](UpdateRunTest& t) {
             const QByteArray bytes = makeTarGz(t.packMembers);
             t.server.set("/pack.tar.gz", bytes.left(bytes.size() - 8));
         }, {}, false, "ends too early"},
        {"archive of very many members", [](UpdateRunTest& t) {
             QList<TarMember> members = t.packMembers;
             for (int i = 0; i < 10000; ++i)
                 members << TarMember{"e" + QByteArray::number(i), {}};
             t.server.set("/pack.tar.gz", makeTarGz(members));
         }, {}, false, "more than 10000 members"},
        {"install folder as an unresolved entity", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", "<!DOCTYPE TOVRA_UPDATE [<!ENTITY f SYSTEM 'folder.txt'>]>\n"
                                           + t.description(t.v12, "<file name='libA.so'><u>URL/libA.so</u><d>&f;</d></file>"));
         }, {"Error during udpate!"}, true, "names no install folder"},
        {"install folder of 60,000 characters", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", t.description(t.v12, "<file name='libA.so'><u>URL/libA.so</u><d>"
                                                                + QByteArray(60000, 'd') + "/</d></file>"));
         }, {"Error during udpate!"}, true, "install folder longer than"},
        {"file name of 200,000 characters", [](UpdateRunTest& t) {
             t.server.set("/desc.xml", t.description(t.v12, "<file name='" + QByteArray(200000, 'n')
                                                                + "'><u>URL/libA.so</u><d>lib/</d></file>"));
         }, {"Error during udpate!"}, true, "file name longer than"},
        {"archive bomb", [](UpdateRunTest& t) {
             EXPECT_GT(UpdateSonaricPro::MaxUnpackedSize / t.bomb().size(), 1000);
             t.server.set("/pack.tar.gz", t.bomb());
         }, {}, false, "unpacks to more than"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        HTTPConnexion::setStallInterval(HTTPConnexion::StallInterval);
        HTTPConnexion::setDeadlineLimit(0);
        serveNormalUpdate();
        boxes.texts.clear();
        c.arrange(*this);
        LoopWatch watch;
        auto controller = run();
        // Generous: the window answers while descriptions are refused and archives unpacked.
        EXPECT_LT(watch.longestStall(), 5000);
        EXPECT_EQ(controller->hasEnded(), c.ended);
        if (c.ended) {
            EXPECT_EQ(boxes.texts.size(), c.boxes.size()) << boxes.texts.join('\n').toStdString();
            for (int i = 0; i < qMin(c.boxes.size(), boxes.texts.size()); ++i)
                EXPECT_EQ(boxes.texts[i].section('\n', 0, 0), c.boxes[i]);
            EXPECT_FALSE(QFileInfo::exists(controller->downloadFolder()));
        } else {
            EXPECT_EQ(controller->updateWindow()->resultLine(), QStringLiteral("Update failed!"));
            EXPECT_EQ(boxes.texts.size(), 1);
            EXPECT_FALSE(controller->updateWindow()->okEnabled());
        }
        EXPECT_TRUE(boxes.texts.value(boxes.texts.size() - 1).contains(QLatin1String(c.cause)))
            << boxes.texts.join('\n').toStdString();
        EXPECT_EQ(snapshot(editor, ".tvrudttmp"), editorBefore);
        // No partial download, unpacked file, backup or journal is left.
        for (const QString& entry : snapshot(editor + "/.tvrudttmp").keys())
            EXPECT_TRUE(entry.endsWith('/')) << entry.toStdString();
        EXPECT_EQ(snapshot(outside), outsideBefore);
        EXPECT_TRUE(platform.started.isEmpty());
        if (QString(c.what) == "archive member is a link")
            grab(controller->updateWindow(), "update_window_refused");
        if (QString(c.what) == "archive with an altered CRC")
            grab(controller->updateWindow(), "update_window_damaged_archive");
        QDir(editor + "/.tvrudttmp").removeRecursively();
    }
}

TEST_F(UpdateRunTest, CancelDuringTheDownloadsRemovesWhatCameAndStartsNothing)
{
    auto started = startWithHangingPath("/libA.so");
    UpdateSonaricPro& controller = *started;
    ASSERT_TRUE(waitUntil([&] { return server.requested().contains("/libA.so"); }, 10000));
    EXPECT_TRUE(QFile::exists(controller.downloadFolder() + "Sonaric"));
    grab(controller.updateWindow(), "update_window_downloading");
    QTest::mouseClick(controller.updateWindow()->findChild<QPushButton*>("cancelButt"), Qt::LeftButton);
    EXPECT_TRUE(controller.hasEnded());
    EXPECT_FALSE(QFileInfo::exists(controller.downloadFolder()));
    EXPECT_FALSE(QFile::exists(controller.descriptionFile()));
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), editorBefore);
    EXPECT_TRUE(platform.started.isEmpty());
}

TEST_F(UpdateRunTest, CancelWhileUnpackingStopsItAndRemovesWhatWasUnpacked)
{
    // Large enough that the unpacking is still under way when Cancel is clicked.
    server.set("/pack.tar.gz", makeZeroBomb("z.so", qint64(900) << 20));
    auto controller = start();
    ASSERT_TRUE(waitUntil([&] { return controller->isUnpacking(); }, 20000));
    QTest::mouseClick(controller->updateWindow()->findChild<QPushButton*>("cancelButt"), Qt::LeftButton);
    EXPECT_TRUE(controller->hasEnded());
    EXPECT_FALSE(controller->isUnpacking());
    EXPECT_FALSE(QFileInfo::exists(controller->downloadFolder()));
    EXPECT_EQ(snapshot(editor, ".tvrudttmp"), editorBefore);
    EXPECT_TRUE(platform.started.isEmpty());
}

TEST_F(UpdateRunTest, ConnectionWindowShowsTheRequestUnderWay)
{
    auto started = startWithHangingPath("/desc.xml");
    UpdateSonaricPro& controller = *started;
    ConnexionWindowUi* window = controller.connexionWindow();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("Initialisation"));
    grab(window, "connection_window");
    QSignalSpy closed(&controller, &UpdateSonaricPro::closed);
    QTest::mousePress(window->cancelButton(), Qt::LeftButton);
    EXPECT_GE(closed.count(), 1);
    EXPECT_FALSE(QFile::exists(controller.descriptionFile()));
}

TEST_F(UpdateRunTest, ASingleDiskImageIsMountedInTheWorkFolderAndItsInstallerStarted)
{
    const QByteArray volume = makeTarGz({{"tvspro-update/", {}, '5'}, {"tvspro-update/tvspro-update.pkg", "pkg"}});
    for (bool withPackage : {true, false}) {
        SCOPED_TRACE(withPackage);
        boxes.texts.clear();
        platform.started.clear();
        server.set("/desc.xml", description("", "<file name='Setup.DMG'><u>URL/image</u><d></d></file>"));
        server.set("/image", withPackage ? volume : makeTarGz({{"other", "x"}}));
        auto controller = run();
        if (withPackage) {
            EXPECT_TRUE(controller->updateWindow()->okEnabled());
            EXPECT_EQ(platform.started,
                      QStringList{controller->workFolder() + "Volumes/tvspro-update/tvspro-update.pkg []"});
        } else {
            EXPECT_EQ(boxes.texts, QStringList{"Cannot open tvspro-update Volume!"});
            EXPECT_TRUE(platform.started.isEmpty());
        }
        EXPECT_EQ(snapshot(editor, ".tvrudttmp"), editorBefore);
        QDir(editor + "/.tvrudttmp").removeRecursively();
    }
}

} // namespace
