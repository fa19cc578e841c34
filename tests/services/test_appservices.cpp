#include "AppPaths.h"
#include "AppServices.h"
#include "QtAppEnvironment.h"
#include "tvr_utils.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

bool writeFile(const QString& path, const QByteArray& content = "x")
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

std::string kBytes(const QString& text)
{
    char* bytes = AppServices::QStringToKString(text);
    std::string result = bytes ? std::string(bytes) : std::string("<null>");
    AppServices::freeKString(bytes);
    return result;
}

} // namespace

TEST(AppServicesText, TextCrossesIntoTheEngineAsUtf8AndEmptyGivesNull)
{
    EXPECT_EQ(AppServices::QStringToKString(QString()), nullptr);
    EXPECT_EQ(AppServices::QStringToKString(QString("")), nullptr);
    EXPECT_EQ(kBytes("Track 1"), "Track 1");
    EXPECT_EQ(kBytes(QString::fromUtf8("é")), "\xC3\xA9");
    // Characters above U+00FF are kept, not cut.
    EXPECT_EQ(kBytes(QString::fromUtf8("Cœur €")), "C\xC5\x93ur \xE2\x82\xAC");
}

TEST(AppServicesText, TextFromTheEngineIsUtf8OrElseLatin1)
{
    struct Case {
        const char* bytes;
        QString expected;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"\xC3\xA9t\xC3\xA9", QString::fromUtf8("été")},
        {"C\xC5\x93ur", QString::fromUtf8("Cœur")},
        {"\xE9t\xE9", QString::fromUtf8("été")},  // an older Latin-1 file
        {"caf\xC3", QString::fromLatin1("caf\xC3")}, // cut UTF-8 sequence: Latin-1
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppServices::KStringToQString(c.bytes), c.expected) << c.bytes;
    EXPECT_TRUE(AppServices::KStringToQString(nullptr).isNull());
}

TEST(AppServicesText, RoundTripKeepsEveryCharacter)
{
    const QString names[] = {QString::fromUtf8("Prix €"), QString::fromUtf8("l’intro"),
                             QString::fromUtf8("日本語"), "a;b|c"};
    for (const QString& name : names) {
        char* bytes = AppServices::QStringToKString(name);
        EXPECT_EQ(AppServices::KStringToQString(bytes), name);
        AppServices::freeKString(bytes);
    }
}

TEST(AppServicesLevels, DecibelConversionsMoveInLevelUnitsTowardZero)
{
    EXPECT_DOUBLE_EQ(AppServices::doubleToDecibel(1.0), 0.0);
    EXPECT_DOUBLE_EQ(AppServices::doubleToDecibel(2.0), 3.0);
    EXPECT_DOUBLE_EQ(AppServices::doubleToDecibel(0.5), -3.0);
    EXPECT_DOUBLE_EQ(AppServices::doubleToDecibel(0.0), -24.0);
    EXPECT_DOUBLE_EQ(AppServices::decibelToDouble(0.0), 1.0);
    EXPECT_DOUBLE_EQ(AppServices::decibelToDouble(3.0), 2.0);
    EXPECT_DOUBLE_EQ(AppServices::decibelToDouble(-0.05), AppServices::decibelToDouble(0.0));
    EXPECT_DOUBLE_EQ(AppServices::decibelToDouble(-24.0), 0.00390625);
}

TEST(AppServicesLevels, EveryDisplayedLevelMapsBackToItsOwnUnit)
{
    for (int units = -240; units <= 60; ++units) {
        const double shown = units / 10.0;
        EXPECT_DOUBLE_EQ(AppServices::decibelToDouble(shown), cBToDouble(units)) << shown;
    }
}

TEST(AppServicesWidgets, FontReachesEveryDescendant)
{
    QWidget top;
    auto* middle = new QWidget(&top);
    auto* layout = new QVBoxLayout(middle);
    auto* deep = new QLabel("deep");
    layout->addWidget(deep);
    auto* deeper = new QLabel("deeper", deep);
    QFont font("Tahoma", 13);
    AppServices::setFontParent(&top, font);
    for (QWidget* w : {&top, middle, static_cast<QWidget*>(deep), static_cast<QWidget*>(deeper)})
        EXPECT_EQ(w->font().pointSize(), 13);
    AppServices::setFontParent(nullptr, font);
}

TEST(AppServicesFiles, SearchFileInListRebuildsAPathSplitAtBlanks)
{
    QTemporaryDir dir;
    const QString withBlank = dir.filePath("my song.tvprj");
    ASSERT_TRUE(writeFile(withBlank));
    const QString first = dir.filePath("my");
    EXPECT_EQ(AppServices::searchFileInList({first, "song.tvprj"}), withBlank);
    EXPECT_EQ(AppServices::searchFileInList({withBlank}), withBlank);
    EXPECT_TRUE(AppServices::searchFileInList({first, "other"}).isNull());
    EXPECT_TRUE(AppServices::searchFileInList({}).isNull());
    // A folder is not a regular file.
    EXPECT_TRUE(AppServices::searchFileInList({dir.path()}).isNull());
    // A file named by a shorter join does not hide the whole path.
    ASSERT_TRUE(writeFile(first));
    EXPECT_EQ(AppServices::searchFileInList({first, "song.tvprj"}), withBlank);
    EXPECT_EQ(AppServices::searchFileInList({first, "other"}), first);
}

TEST(AppServicesFiles, AddExtIfNec)
{
    struct Case {
        QString name, ext, expected;
        bool null;
    };
    const Case cases[] = {
        {"a", ".tvprj", "a.tvprj", false},
        {"a.tvprj", ".tvprj", "a.tvprj", false},
        {"a.TVPRJ", ".tvprj", "a.TVPRJ.tvprj", false},
        {"a", "", "a", false},
        {"", "", "", true},
    };
    for (const Case& c : cases) {
        const QString result = AppServices::addExtIfNec(c.name, c.ext);
        EXPECT_EQ(result, c.expected) << c.name.toStdString();
        EXPECT_EQ(result.isNull(), c.null) << c.name.toStdString();
    }
}

TEST(AppServicesFiles, RemoveDirEmptiesFoldersAndKeepsThem)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("update");
    ASSERT_TRUE(QDir().mkpath(root + "/sub/subsub"));
    ASSERT_TRUE(writeFile(root + "/f"));
    ASSERT_TRUE(writeFile(root + "/sub/g"));
    ASSERT_TRUE(writeFile(root + "/sub/subsub/.hidden"));
    EXPECT_TRUE(AppServices::removeDir(root));
    EXPECT_FALSE(QFile::exists(root + "/f"));
    EXPECT_FALSE(QFile::exists(root + "/sub/g"));
    EXPECT_FALSE(QFile::exists(root + "/sub/subsub/.hidden"));
    EXPECT_TRUE(QDir(root + "/sub/subsub").exists());

    EXPECT_FALSE(AppServices::removeDir(dir.filePath("missing")));
    EXPECT_FALSE(AppServices::removeDir(QString()));
    ASSERT_TRUE(writeFile(dir.filePath("single")));
    EXPECT_TRUE(AppServices::removeDir(dir.filePath("single")));
    EXPECT_FALSE(QFile::exists(dir.filePath("single")));
}

TEST(AppServicesFiles, RemoveDirNeverFollowsALinkOutOfTheFolder)
{
    QTemporaryDir dir;
    const QString outside = dir.filePath("outside");
    const QString root = dir.filePath("update");
    ASSERT_TRUE(QDir().mkpath(outside + "/keep"));
    ASSERT_TRUE(writeFile(outside + "/precious"));
    ASSERT_TRUE(writeFile(outside + "/keep/also"));
    ASSERT_TRUE(QDir().mkpath(root + "/sub"));
    ASSERT_TRUE(writeFile(root + "/sub/g"));
    ASSERT_TRUE(QFile::link(outside, root + "/linkToOutside"));
    ASSERT_TRUE(QFile::link(outside + "/precious", root + "/linkToFile"));
    ASSERT_TRUE(QFile::link(root, root + "/sub/loop"));
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), root + "/broken"));

    EXPECT_TRUE(AppServices::removeDir(root));
    EXPECT_TRUE(QFile::exists(outside + "/precious"));
    EXPECT_TRUE(QFile::exists(outside + "/keep/also"));
    EXPECT_FALSE(QFileInfo(root + "/linkToOutside").isSymLink());
    EXPECT_FALSE(QFileInfo(root + "/linkToFile").isSymLink());
    EXPECT_FALSE(QFileInfo(root + "/sub/loop").isSymLink());
    EXPECT_FALSE(QFileInfo(root + "/broken").isSymLink());
    EXPECT_FALSE(QFile::exists(root + "/sub/g"));

    // A link given as the path itself is removed as a link.
    ASSERT_TRUE(QFile::link(outside, dir.filePath("topLink")));
    EXPECT_TRUE(AppServices::removeDir(dir.filePath("topLink")));
    EXPECT_TRUE(QFile::exists(outside + "/precious"));
}

TEST(AppServicesFiles, RemoveDirStopsAtAnEntryItCannotRemove)
{
    // The kernel's process folders: entries that nobody, root included, may remove.
    const QString kernelFolder = "/proc/self/fdinfo";
    ASSERT_FALSE(QDir(kernelFolder).isEmpty());
    EXPECT_FALSE(AppServices::removeDir(kernelFolder));
    EXPECT_FALSE(AppServices::removeDir(kernelFolder + "/0"));

    // A folder its owner made read-only keeps its file from anyone but root.
    if (geteuid() == 0)
        return;
    QTemporaryDir dir;
    const QString root = dir.filePath("update");
    ASSERT_TRUE(QDir().mkpath(root + "/locked"));
    ASSERT_TRUE(writeFile(root + "/locked/f"));
    QFile::setPermissions(root + "/locked", QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(AppServices::removeDir(root));
    QFile::setPermissions(root + "/locked", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Receives the URLs the desktop services would open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class AppServicesDocs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(scheme, &catcher, "open");
    }
    void TearDown() override
    {
        for (const char* scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
        AppPaths::setProgramDir(QString());
    }
    UrlCatcher catcher;
};

TEST_F(AppServicesDocs, OpenDocOpensRelativeFilesAndUrls)
{
    AppPaths::setProgramDir("/opt/tovra/bin");
    EXPECT_TRUE(AppServices::openDoc("../documentation/index.html", true));
    EXPECT_TRUE(AppServices::openDoc("http://example.invalid/help?page=1", false));
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile("/opt/tovra/bin/../documentation/index.html"));
    EXPECT_EQ(catcher.urls[1].toString(), "http://example.invalid/help?page=1");

    EXPECT_EQ(kQt_openDoc("https://example.invalid/x"), 1);
    EXPECT_EQ(catcher.urls.last().toString(), "https://example.invalid/x");
}

TEST_F(AppServicesDocs, OpenPdfOpensOnlyExistingPdfFiles)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("my manual's (v2).pdf");
    const QString other = dir.filePath("manual.PDF");
    ASSERT_TRUE(writeFile(pdf));
    ASSERT_TRUE(writeFile(other));
    EXPECT_TRUE(AppServices::openPdf(pdf));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), pdf);
    EXPECT_FALSE(AppServices::openPdf(other));
    EXPECT_FALSE(AppServices::openPdf(dir.filePath("missing.pdf")));
    EXPECT_EQ(catcher.urls.size(), 1);
}

TEST(AppServicesPaths, BundleFoldersSitBesideTheProgramFolder)
{
    AppPaths::setProgramDir("/opt/tovra/bin");
    EXPECT_EQ(AppPaths::resourcesDir(), "/opt/tovra/Resources/");
    EXPECT_EQ(AppPaths::frameworksDir(), "/opt/tovra/Frameworks/");
    EXPECT_EQ(AppPaths::documentationDir(), "/opt/tovra/documentation/");
    AppPaths::setProgramDir(QString());
    EXPECT_EQ(AppPaths::programDir(), QCoreApplication::applicationDirPath());
}

TEST(AppServicesFiles, GetBaseName)
{
    struct Case {
        QString path, base, expected;
    };
    const Case cases[] = {
        {"/Users/me/Music/song.wav", "users/ME", "song.wav"},
        {"C:\\Data\\Tovra\\a.tvprj", "c:/data/tov", "a.tvprj"},
        {"http://server.invalid/updates/v2/file.zip", "SERVER/updates", "file.zip"},
        {"http://server.invalid/updates/v2/file.zip", "updates/v2", QString()},
        {"/a/b", "x", QString()},
        {"/single", "", QString()},
        {"/a/b", "a/b/c", QString()},
    };
    for (const Case& c : cases) {
        const QString result = AppServices::getBaseName(c.path, c.base);
        EXPECT_EQ(result, c.expected) << c.path.toStdString();
        EXPECT_EQ(result.isNull(), c.expected.isNull()) << c.path.toStdString();
    }
}

TEST(AppServicesVersion, DateToIntAndGetVersion)
{
    struct Case {
        const char* date;
        int expected;
    };
    const Case cases[] = {
        {"Feb 17 2009", 90217}, {"Feb  7 2009", 90207}, {"Mar 14 2010", 314},
        {"Dec 31 2019", 91231}, {"Foo 1 2009", 901},    {"sept 9 2008", 80909},
        {"", 0},                {"Feb 2009", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppServices::dateToInt(c.date), c.expected) << c.date;
    EXPECT_EQ(AppServices::getVersion("1.1", "Feb 17 2009"), "1.1.90217");

    char* version = kQt_getVersion("1.1", "Feb 17 2009");
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version, "1.1.90217");
    AppServices::freeKString(version);
}

TEST(AppServicesLog, LoggingWritesNothingAndSucceeds)
{
    EXPECT_TRUE(AppServices::log("x", true));
    EXPECT_TRUE(AppServices::log(QStringList{"a", "b"}));
    AppServices::closelog();
}

TEST(AppServicesPlain, InitKeepsAnExistingApplication)
{
    QCoreApplication* before = QCoreApplication::instance();
    EXPECT_EQ(kQt_initAppServices(), 1);
    EXPECT_EQ(QCoreApplication::instance(), before);
    EXPECT_EQ(kQt_closeAppServices(), 1);
    EXPECT_EQ(QCoreApplication::instance(), before);
}

#include "test_appservices.moc"
