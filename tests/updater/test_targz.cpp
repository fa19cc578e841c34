#include "TarGz.h"
#include "UpdateFixtures.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray gzip(const QByteArray& data)
{
    return gzipFilter({QStringLiteral("-n"), QStringLiteral("-c")}, data);
}

QByteArray gunzip(const QByteArray& data)
{
    return gzipFilter({QStringLiteral("-d"), QStringLiteral("-c")}, data);
}

// What GNU tar writes for the folder source, packed from inside it ("./" first).
QByteArray gnuTar(const QString& source, const QStringList& options)
{
    QProcess tar;
    tar.start(QStringLiteral("tar"), options + QStringList{"--owner=0", "--group=0", "-C", source, "-czf", "-", "."});
    tar.waitForFinished(-1);
    return tar.readAllStandardOutput();
}

// A GNU-format header (magic "ustar  ") whose access and change times are set: they sit where a
// POSIX header keeps its name prefix.
QByteArray gnuHeaderWithTimes(const QByteArray& name, const QByteArray& content)
{
    QByteArray header = tarHeader(TarMember{name, content}, content.size());
    header.replace(257, 8, QByteArray("ustar  \0", 8));
    header.replace(345, 12, QByteArray("14515340520") + '\0');
    header.replace(357, 12, QByteArray("14515340521") + '\0');
    header.replace(148, 8, QByteArray(8, ' '));
    int sum = 0;
    for (char c : header)
        sum += static_cast<unsigned char>(c);
    header.replace(148, 8, QByteArray::number(sum, 8).rightJustified(6, '0') + QByteArray("\0 ", 2));
    return header + content + QByteArray((512 - content.size() % 512) % 512, '\0') + QByteArray(1024, '\0');
}

TEST(TarGzUnpack, WhatCommonToolsWriteIsAcceptedAndDamageOrExcessRefused)
{
    QTemporaryDir root;
    const QString base = QDir::cleanPath(root.path());
    const QByteArray longName = QByteArray(120, 'l');
    writeFile(base + "/src/a", "A");
    writeFile(base + "/src/sub/" + longName, "long");
    const QMap<QString, QByteArray> sourceTree{{"a", "A"}, {"sub/", ""}, {"sub/" + longName, "long"}};
    const QByteArray plain = makeTarGz({{"f", "content"}});
    const QByteArray tar = gunzip(plain);
    auto changed = [](QByteArray bytes, qsizetype fromEnd) {
        bytes[bytes.size() - fromEnd] = char(bytes[bytes.size() - fromEnd] ^ 1);
        return bytes;
    };
    QList<TarMember> manyFiles, manyFolders;
    for (int i = 0; i <= TarGz::MaxHeaders; ++i) {
        manyFiles << TarMember{"f" + QByteArray::number(i), {}};
        manyFolders << TarMember{"d/", {}, '5'};
    }
    const struct {
        const char* what;
        QByteArray archive;
        qint64 cap;
        QMap<QString, QByteArray> expected; // when accepted
        const char* cause;                  // nullptr: accepted
    } cases[] = {
        {"GNU tar with a ./ root and a long name", gnuTar(base + "/src", {"--format=gnu"}), 1 << 20, sourceTree, nullptr},
        {"pax headers", gnuTar(base + "/src", {"--format=pax"}), 1 << 20, sourceTree, nullptr},
        {"two gzip members", gzip(tar.left(700)) + gzip(tar.mid(700)), 1 << 20, {{"f", "content"}}, nullptr},
        {"GNU header with times set", gzip(gnuHeaderWithTimes("a", "A")), 1 << 20, {{"a", "A"}}, nullptr},
        {"CRC of the data altered", changed(plain, 8), 1 << 20, {}, "damaged"},
        {"length of the data altered", changed(plain, 4), 1 << 20, {}, "damaged"},
        {"second member's CRC altered", gzip(tar.left(700)) + changed(gzip(tar.mid(700)), 8), 1 << 20, {}, "damaged"},
        {"trailer missing", plain.left(plain.size() - 8), 1 << 20, {}, "ends too early"},
        {"more members than allowed", makeTarGz(manyFiles), 1 << 20, {}, "more than 10000 members"},
        {"folder header repeated", makeTarGz(manyFolders), 1 << 20, {}, "more than 10000 members"},
        // The cap holds for all members together, not for each one.
        {"two members of 0.6 of the cap", makeTarGz({{"a", QByteArray(60000, 'a')}, {"b", QByteArray(60000, 'b')}}),
         100000, {}, "unpacks to more than 100000 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString archive = base + "/archive.tgz";
        const QString folder = base + "/out";
        ASSERT_TRUE(writeFile(archive, c.archive));
        TarGz::Control control;
        QString error;
        const bool ok = TarGz::unpack(archive, folder, c.cap, &control, &error);
        EXPECT_EQ(ok, c.cause == nullptr) << error.toStdString();
        if (c.cause) {
            EXPECT_TRUE(error.contains(QLatin1String(c.cause))) << error.toStdString();
        } else {
            EXPECT_EQ(snapshot(folder), c.expected);
        }
        EXPECT_EQ(snapshot(base + "/src"), sourceTree);
        QDir(folder).removeRecursively();
    }
}

} // namespace
