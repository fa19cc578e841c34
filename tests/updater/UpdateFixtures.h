// Files and folders for the updater tests: writing, snapshots of a tree, and gzip-compressed tar
// archives built byte by byte, so members of every kind (links, "..", absolute) can be made.
#ifndef UPDATE_FIXTURES_H
#define UPDATE_FIXTURES_H

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>

#include <zlib.h>

#include <vector>

inline bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every entry below root by relative path: a file's content, "->target" for a link, "" for a
// folder (its path ending in "/"). Entries starting with skip are left out.
inline QMap<QString, QByteArray> snapshot(const QString& root, const QString& skip = QString())
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        if (!skip.isEmpty() && relative.startsWith(skip))
            continue;
        if (it.fileInfo().isSymLink())
            files.insert(relative, "->" + it.fileInfo().symLinkTarget().toUtf8());
        else if (it.fileInfo().isDir())
            files.insert(relative + "/", QByteArray());
        else
            files.insert(relative, readFile(path));
    }
    return files;
}

struct TarMember {
    QByteArray name;
    QByteArray content;
    char type = '0';      // '0' file, '5' folder, '2' symbolic link, '1' hard link
    QByteArray linkName = {};
};

// The 512-byte ustar header of one member whose content has size bytes.
inline QByteArray tarHeader(const TarMember& m, qint64 size)
{
    auto octal = [](qint64 value, int width) {
        return QByteArray::number(value, 8).rightJustified(width - 1, '0') + '\0';
    };
    QByteArray header(512, '\0');
    header.replace(0, m.name.size(), m.name);
    header.replace(100, 8, octal(m.type == '5' ? 0755 : 0644, 8));
    header.replace(108, 8, octal(0, 8));
    header.replace(116, 8, octal(0, 8));
    header.replace(124, 12, octal(m.type == '0' ? size : 0, 12));
    header.replace(136, 12, octal(0, 12));
    header.replace(148, 8, QByteArray(8, ' '));
    header[156] = m.type;
    header.replace(157, m.linkName.size(), m.linkName);
    header.replace(257, 6, QByteArray("ustar\0", 6));
    header.replace(263, 2, "00");
    int sum = 0;
    for (char c : header)
        sum += static_cast<unsigned char>(c);
    header.replace(148, 8, QByteArray::number(sum, 8).rightJustified(6, '0') + QByteArray("\0 ", 2));
    return header;
}

// What gzip run with arguments writes for data on its input.
inline QByteArray gzipFilter(const QStringList& arguments, const QByteArray& data)
{
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), arguments);
    gzip.write(data);
    gzip.closeWriteChannel();
    gzip.waitForFinished(-1);
    return gzip.readAllStandardOutput();
}

// A ustar archive of members, compressed with gzip.
inline QByteArray makeTarGz(const QList<TarMember>& members)
{
    QByteArray tar;
    for (const TarMember& m : members) {
        tar += tarHeader(m, m.content.size());
        if (m.type == '0') {
            tar += m.content;
            tar += QByteArray((512 - m.content.size() % 512) % 512, '\0');
        }
    }
    tar += QByteArray(1024, '\0');
    return gzipFilter({QStringLiteral("-n"), QStringLiteral("-c")}, tar);
}

// A gzip-compressed tar archive of one member name holding size zero bytes: about a thousandth
// of size, compressed as it is made so the unpacked bytes never sit in memory.
inline QByteArray makeZeroBomb(const QByteArray& name, qint64 size)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_RLE);
    QByteArray out;
    std::vector<char> buffer(1 << 20);
    auto feed = [&](const char* data, qint64 n, int flush) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        z.avail_in = uInt(n);
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer.data());
            z.avail_out = uInt(buffer.size());
            deflate(&z, flush);
            out.append(buffer.data(), qsizetype(buffer.size() - z.avail_out));
        } while (z.avail_out == 0);
    };
    const QByteArray header = tarHeader(TarMember{name, {}}, size);
    feed(header.constData(), header.size(), Z_NO_FLUSH);
    const std::vector<char> zeros(1 << 20, 0);
    const qint64 padded = (size + 511) / 512 * 512 + 1024;
    for (qint64 left = padded; left > 0; left -= qint64(zeros.size()))
        feed(zeros.data(), qMin<qint64>(left, zeros.size()), left <= qint64(zeros.size()) ? Z_FINISH : Z_NO_FLUSH);
    deflateEnd(&z);
    return out;
}

#endif
