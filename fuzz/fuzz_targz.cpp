// Unpacks arbitrary bytes as a downloaded tar.gz archive: never a crash or a hang, nothing written
// outside the target folder, no link made, and the bounds on bytes and members hold whatever the
// archive announces. Every gzip member's CRC and length are checked by the unpacker itself.
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "TarGz.h"

namespace
{

constexpr qint64 Cap = 1024 * 1024;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTemporaryDir root;
    check(root.isValid());
    const QString base = QDir::cleanPath(root.path());
    const QString archive = base + QStringLiteral("/archive.tgz");
    const QString folder = base + QStringLiteral("/out");
    QFile file(archive);
    check(file.open(QIODevice::WriteOnly));
    check(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    file.close();

    TarGz::Control control;
    QString error;
    const bool ok = TarGz::unpack(archive, folder, Cap, &control, &error);
    check(ok || !error.isEmpty());

    // Only the archive and the target folder sit beside each other.
    const QStringList beside = QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    check(beside.size() <= 2);
    for (const QString &name : beside)
        check(name == QLatin1String("archive.tgz") || name == QLatin1String("out"));
    qint64 bytes = 0;
    int entries = 0;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        check(!it.fileInfo().isSymLink());
        check(it.fileInfo().isDir() || it.fileInfo().isFile());
        if (it.fileInfo().isFile())
            bytes += it.fileInfo().size();
        ++entries;
    }
    check(bytes <= Cap);
    // A member's path may add its folders too, each at most a few.
    check(entries <= TarGz::MaxHeaders * 8);
    return 0;
}
