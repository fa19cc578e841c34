#include "QtComp.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray sample(int size)
{
    // Compressible text with some noise, so the stream spans several buffers.
    QByteArray data;
    QRandomGenerator random(7);
    while (data.size() < size)
        data += "line " + QByteArray::number(data.size() / 17) + ' ' + char('a' + random.bounded(26)) + '\n';
    data.truncate(size);
    return data;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

class QtCompTest : public ::testing::Test
{
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(QtCompTest, StreamedOutputIsWhatQCompressWritesAndReadsBack)
{
    const int sizes[] = {0, 1, 1000, 3 * 256 * 1024 + 11};
    for (int size : sizes) {
        for (int level : {0, 1, 9}) {
            const QByteArray data = sample(size);
            ASSERT_TRUE(writeFile(path("src"), data));
            ASSERT_TRUE(QtComp::compressFile(path("src"), path("dst"), level));
            const QByteArray packed = readAll(path("dst"));
            // Stored blocks (level 0) may be cut at other places; compressed ones match exactly.
            if (level > 0) {
                EXPECT_EQ(packed, qCompress(data, level)) << size << " at level " << level;
            }
            EXPECT_EQ(qUncompress(packed), data);
            ASSERT_TRUE(QtComp::uncompressFile(path("dst"), path("back"), 1 << 30));
            EXPECT_EQ(readAll(path("back")), data) << size << " at level " << level;
        }
    }
}

TEST_F(QtCompTest, DamagedInputFailsAndLeavesTheTargetAsItWas)
{
    const QByteArray data = sample(50000);
    const QByteArray good = qCompress(data, 9);
    QByteArray wrongSize = good;
    wrongSize[3] = char(wrongSize[3] + 1);
    QByteArray corrupt = good;
    corrupt[good.size() / 2] = char(corrupt[good.size() / 2] ^ 0x55);
    const struct {
        const char* what;
        QByteArray bytes;
        qint64 maxSize;
    } cases[] = {
        {"empty file", QByteArray(), 1 << 20},
        {"header only, size not zero", good.left(4), 1 << 20},
        {"truncated stream", good.left(good.size() - 9), 1 << 20},
        {"corrupt stream", corrupt, 1 << 20},
        {"announced size differs", wrongSize, 1 << 20},
        {"bytes after the stream", good + "junk", 1 << 20},
        {"announced size over the cap", good, 1000},
        {"announced 4 GiB", QByteArray("\xff\xff\xff\xff", 4) + good.mid(4), qint64(1) << 31},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFile(path("in"), c.bytes));
        ASSERT_TRUE(writeFile(path("target"), "old"));
        QString error;
        EXPECT_FALSE(QtComp::uncompressFile(path("in"), path("target"), c.maxSize, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_EQ(readAll(path("target")), QByteArray("old")) << c.what;
    }
}

TEST_F(QtCompTest, CompressorRefusesAMissingSourceOrAnUnwritableTarget)
{
    EXPECT_FALSE(QtComp::compressFile(path("none"), path("dst"), 9));
    EXPECT_FALSE(QFile::exists(path("dst")));
    ASSERT_TRUE(writeFile(path("src"), "abc"));
    EXPECT_FALSE(QtComp::compressFile(path("src"), path("no/such/folder/dst"), 9));
    EXPECT_FALSE(QtComp::compressFile(path("."), path("dst"), 9));
}

} // namespace
