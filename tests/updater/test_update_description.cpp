#include "KDwnArchive.h"
#include "UpdateDescription.h"
#include "UpdatePaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct VersionCase {
    const char* published;
    const char* installed;
    bool newer;
};

TEST(UpdateVersions, PartsCompareAsNumbersAndAMissingInstalledVersionIsZero)
{
    const VersionCase cases[] = {
        {"1.2.4", "1.2.3", true},       {"1.2.3", "1.2.3", false},
        {"1.2", "1.2.0", false},        {"1.9.9", "2.0", false},
        {"2.0", "1.9.9", true},         {"1.1.101", "1.1.90217", false},
        {"1.2", "1.1.90217", true},     {"1.10", "1.9", true},
        {"99999999999.1", "1.0", true}, {"1.0", "99999999999.1", false},
        {"1.0", "", true},              {"0.0.1", "garbage", true},
        {"", "", false},                {"1.a", "", false},
        {"abc", "1.0", false},
    };
    for (const VersionCase& c : cases) {
        EXPECT_EQ(UpdateDescription::isNewer(c.published, c.installed), c.newer)
            << c.published << " against " << c.installed;
    }
}

TEST(KDwnArchive, TypeNameAndValidity)
{
    KDwnArchive archive;
    EXPECT_FALSE(archive.isValid());
    archive.setType(QStringLiteral("TAR.GZ"));
    EXPECT_EQ(archive.getType(), KDwnArchive::DAT_none);
    archive.setType(QStringLiteral("qtcomp"));
    EXPECT_EQ(archive.getType(), KDwnArchive::DAT_qtcomp);
    archive.setType(QStringLiteral("tar.gz"));
    EXPECT_EQ(archive.getType(), KDwnArchive::DAT_targz);
    archive.setUrl(QStringLiteral("http://h/dl/pack.tar.gz"));
    archive.setInstallDirPath(QStringLiteral("lib/"));
    EXPECT_FALSE(archive.isValid());
    archive.addFile(QStringLiteral("x/y.so"));
    EXPECT_TRUE(archive.isValid());
    EXPECT_EQ(archive.getName(), QStringLiteral("pack.tar.gz"));
}

struct ReadResult {
    bool ok = false;
    UpdateContent content;
    QStringList versionsSeen;
    QString error;
};

ReadResult readText(const QByteArray& xml, const QString& installed)
{
    ReadResult r;
    r.ok = UpdateDescription::read(xml, installed, r.content,
                                   [&](const QString& v) { r.versionsSeen << v; }, &r.error);
    return r;
}

TEST(UpdateDescriptionRead, NewerVersionsAreCollectedInOrder)
{
    const QByteArray xml = R"(<UPD>
      <version number="1.1.5"><file name="old.txt"><u>http://h/old</u><d>x/</d></file></version>
      <other/>
      <version number="1.2"><file name="a.txt"><anything>http://h/a1</anything><dir>sub/</dir></file>
        <delete path="gone.txt"/><delete/><delete path="gone.txt"/>
        <archive type="tar.gz"><install>lib/</install><file>x/y.so</file><url>http://h/p/pack.tar.gz</url>
          <file>z.so</file><url>http://h/p2/pack2.tar.gz</url></archive>
        <archive type="TAR.GZ"><install>lib/</install><file>q</file><url>http://h/q.tgz</url></archive>
        <archive type="qtcomp"><file>q</file><url>http://h/noinstall.qz</url></archive>
        <oddity/>
      </version>
      <version number="1.3"><file name="a.txt"><u>http://h/a2</u></file></version>
      <version number="1.0"/>
    </UPD>)";
    const ReadResult r = readText(xml, QStringLiteral("1.1.5"));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.versionsSeen, QStringList({"1.1.5", "1.2", "1.3", "1.0"}));
    EXPECT_EQ(r.content.items.keys(), QStringList({"a.txt", "pack2.tar.gz"}));
    EXPECT_EQ(r.content.items["a.txt"].getUrl(), QStringLiteral("http://h/a2"));
    EXPECT_EQ(r.content.items["a.txt"].getInstallDirectory(), QString());
    EXPECT_EQ(r.content.items["a.txt"].getVersion(), QStringLiteral("1.3"));
    EXPECT_EQ(r.content.items["pack2.tar.gz"].getInstallDirectory(), QString());
    EXPECT_EQ(r.content.deleteList, QStringList({"gone.txt", "gone.txt"}));
    ASSERT_EQ(r.content.archives.size(), 1);
    EXPECT_EQ(r.content.archives[0].getFiles(), QStringList({"x/y.so", "z.so"}));
}

TEST(UpdateDescriptionRead, WhatDecidesWhichListingOfANameIsKept)
{
    const QByteArray xml = R"(<U>
      <version number="1.3"><file name="f"><u>http://h/from13</u><d>a/</d></file></version>
      <!-- a comment between versions is skipped -->
      <version number="1.2"><file name="f"><u>http://h/from12</u><d>a/</d></file></version>
      <version number="1.3"><file name="f"><u>http://h/from13b</u><d>a/</d></file></version>
    </U>)";
    const ReadResult r = readText(xml, QString());
    ASSERT_TRUE(r.ok);
    // A lower version never replaces a higher one's file; an equal one listed later does.
    EXPECT_EQ(r.content.items["f"].getUrl(), QStringLiteral("http://h/from13b"));
}

TEST(UpdateDescriptionRead, NothingNewerCollectsNothingButShowsTheLastNumber)
{
    const ReadResult r = readText(R"(<U><version number="1.0"><file name="f"><u>http://h/f</u></file>
      </version><version number="0.9"/></U>)",
                                  QStringLiteral("2.0"));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.content.items.isEmpty());
    EXPECT_EQ(r.versionsSeen.last(), QStringLiteral("0.9"));
}

TEST(UpdateDescriptionRead, MalformedTextAndPathsLeavingTheirFolderAreRefused)
{
    const char* const refused[] = {
        "<U><version number='2'><file name='a'><u>x</u></version></U>",
        "not xml at all",
        "",
        "<U><version number='2'><file name='../a'><u>http://h/a</u><d>x/</d></file></version></U>",
        "<U><version number='2'><file name='a/b'><u>http://h/a</u><d>x/</d></file></version></U>",
        "<U><version number='2'><file name='..'><u>http://h/a</u><d>x/</d></file></version></U>",
        "<U><version number='2'><file name='a'><u>http://h/a</u><d>../</d></file></version></U>",
        "<U><version number='2'><file name='a'><u>http://h/a</u><d>/etc/</d></file></version></U>",
        "<U><version number='2'><file name='a'><u>http://h/a</u><d>x/../../</d></file></version></U>",
        "<U><version number='2'><delete path='../../.bashrc'/></version></U>",
        "<U><version number='2'><delete path='/home/u/x'/></version></U>",
        "<U><version number='2'><delete path='a\\..\\..\\b'/></version></U>",
        "<U><version number='2'><archive type='tar.gz'><install>lib/</install><file>../../x</file>"
        "<url>http://h/p.tgz</url></archive></version></U>",
        "<U><version number='2'><archive type='tar.gz'><install>lib/</install><file>/etc/passwd</file>"
        "<url>http://h/p.tgz</url></archive></version></U>",
        "<U><version number='2'><archive type='qtcomp'><install>../</install><file>x</file>"
        "<url>http://h/p.qz</url></archive></version></U>",
        "<U><version number='2'><archive type='qtcomp'><install>a/</install><file>x</file>"
        "<url>http://h/</url></archive></version></U>",
    };
    for (const char* xml : refused) {
        const ReadResult r = readText(QByteArray(xml), QStringLiteral("1"));
        EXPECT_FALSE(r.ok) << xml;
        EXPECT_FALSE(r.error.isEmpty()) << xml;
        EXPECT_TRUE(r.content.items.isEmpty() && r.content.deleteList.isEmpty()
                    && r.content.archives.isEmpty())
            << xml;
    }
    // The same entries in versions that do not apply are never looked at.
    EXPECT_TRUE(readText("<U><version number='0.5'><delete path='/etc/x'/></version></U>", "1").ok);
}

QByteArray fileEntry(const QByteArray& name, const QByteArray& folder)
{
    return "<U><version number='2'><file name='" + name + "'><u>http://h/f</u><d>" + folder
           + "</d></file></version></U>";
}

// Shapes that would make the document model slow or large are refused before it is built;
// a quadratic parse of the deep case would not end within the test's time-out. Names are shown in
// the window and paths walked up to their nearest existing folder: both are bounded far below the
// platform's limits, as their entries are read.
TEST(UpdateDescriptionRead, DeepWideAndLongDescriptionsAreRefusedByTheirBound)
{
    const auto nested = [](int levels) {
        return "<U><version number='2'>" + QByteArray("<a>").repeated(levels)
               + QByteArray("</a>").repeated(levels) + "</version></U>";
    };
    const struct {
        const char* what;
        QByteArray xml;
        const char* cause;   // nullptr: accepted
        bool read = false;   // refused while reading the entries, not before
    } cases[] = {
        {"a million levels", nested(1000000), "nested more than 16 levels"},
        {"one level too deep", nested(UpdateDescription::MaxDepth - 1), "nested more than 16 levels"},
        {"as deep as allowed", nested(UpdateDescription::MaxDepth - 2), nullptr},
        {"very many elements", "<U>" + QByteArray("<b/>").repeated(200000) + "</U>", "more than 100000 elements"},
        {"a million-digit version", "<U><version number='1" + QByteArray(1000000, '0') + "'/></U>",
         "version number longer than 32"},
        {"a version as long as allowed", "<U><version number='1." + QByteArray(30, '1') + "'/></U>", nullptr},
        {"a 60,000-character install folder", fileEntry("f", QByteArray(60000, 'd') + "/"),
         "install folder longer than 1024", true},
        {"a 200,000-character file name", fileEntry(QByteArray(200000, 'n'), "x/"), "file name longer than 255", true},
        {"a file name as long as allowed", fileEntry(QByteArray(255, 'n'), "x/"), nullptr},
        {"a long delete path", "<U><version number='2'><delete path='" + QByteArray(1025, 'p') + "'/></version></U>",
         "delete path longer than 1024", true},
        {"a long archive member", "<U><version number='2'><archive type='tar.gz'><install>lib/</install><file>"
         + QByteArray(300, 'm') + "</file><url>http://h/p.tgz</url></archive></version></U>", "file name longer than 255", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ReadResult r = readText(c.xml, QStringLiteral("1"));
        EXPECT_EQ(r.ok, c.cause == nullptr);
        if (c.cause) {
            EXPECT_TRUE(r.error.contains(QLatin1String(c.cause))) << r.error.toStdString();
            EXPECT_EQ(r.versionsSeen.isEmpty(), !c.read);
        }
    }
}

TEST(UpdatePaths, ResolveStaysInsideAndRefusesLinks)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString base = QDir::cleanPath(root.path());
    QDir(base).mkpath(QStringLiteral("sub/deeper"));
    QTemporaryDir outside;
    QFile::link(outside.path(), base + "/out");
    QFile::link(base + "/sub", base + "/sub/loop");
    struct Case {
        const char* relative;
        const char* expected; // relative to base; nullptr: refused
    } const cases[] = {
        {"a.txt", "a.txt"},
        {"sub/deeper/a.txt", "sub/deeper/a.txt"},
        {"sub//./a.txt", "sub/a.txt"},
        {"new/folder/a", "new/folder/a"},
        {"", nullptr},
        {".", nullptr},
        {"../a", nullptr},
        {"sub/../../a", nullptr},
        {"/etc/passwd", nullptr},
        {"out/a.txt", nullptr},
        {"out", nullptr},
        {"sub/loop/a", nullptr},
    };
    for (const Case& c : cases) {
        const QString got = UpdatePaths::resolveInside(base, QString::fromUtf8(c.relative));
        if (c.expected) {
            EXPECT_EQ(got, base + "/" + c.expected) << c.relative;
        } else {
            EXPECT_TRUE(got.isEmpty()) << c.relative << " gave " << got.toStdString();
        }
    }
}

} // namespace
