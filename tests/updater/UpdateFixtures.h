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

// A ustar archive of members, compressed with gzip.
inline QByteArray makeTarGz(const QList<TarMember>& members)
{
    QByteArray tar;
    auto octal = [](qint64 value, int width) {
        return QByteArray::number(value, 8).rightJustified(width - 1, '0') + '\0';
    };
    for (const TarMember& m : members) {
        QByteArray header(512, '\0');
        header.replace(0, m.name.size(), m.name);
        header.replace(100, 8, octal(m.type == '5' ? 0755 : 0644, 8));
        header.replace(108, 8, octal(0, 8));
        header.replace(116, 8, octal(0, 8));
        header.replace(124, 12, octal(m.type == '0' ? m.content.size() : 0, 12));
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
        tar += header;
        if (m.type == '0') {
            tar += m.content;
            tar += QByteArray((512 - m.content.size() % 512) % 512, '\0');
        }
    }
    tar += QByteArray(1024, '\0');
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-n"), QStringLiteral("-c")});
    gzip.write(tar);
    gzip.closeWriteChannel();
    gzip.waitForFinished(-1);
    return gzip.readAllStandardOutput();
}

#endif
