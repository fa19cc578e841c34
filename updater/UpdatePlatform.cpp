#include "UpdatePlatform.h"

#include "UpdatePaths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

UpdatePlatform*& installed()
{
    static UpdatePlatform* platform = nullptr;
    return platform;
}

// Runs tar on archive; "--force-local" keeps a name with ':' from naming a remote host.
bool runTar(const QStringList& arguments, const QString& archive, const QString& folder,
            QByteArray* output, QString* error)
{
    QProcess tar;
    tar.setWorkingDirectory(folder);
    tar.start(QStringLiteral("tar"), QStringList{QStringLiteral("--force-local")} + arguments
                                         + QStringList{QStringLiteral("-f"), archive});
    if (!tar.waitForFinished(-1) || tar.exitStatus() != QProcess::NormalExit || tar.exitCode() != 0) {
        *error = QStringLiteral("tar failed on %1: %2")
                     .arg(archive, QString::fromLocal8Bit(tar.readAllStandardError()).trimmed());
        return false;
    }
    if (output)
        *output = tar.readAllStandardOutput();
    return true;
}

QList<QByteArray> lines(const QByteArray& text)
{
    QList<QByteArray> result = text.split('\n');
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

} // namespace

UpdatePlatform& UpdatePlatform::instance()
{
    static UpdatePlatform system;
    return installed() ? *installed() : system;
}

void UpdatePlatform::setInstance(UpdatePlatform* platform)
{
    installed() = platform;
}

bool UpdatePlatform::startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool UpdatePlatform::unpackTarGz(const QString& archive, const QString& folder, QString* error)
{
    const QString path = QFileInfo(archive).absoluteFilePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot make ") + folder;
        return false;
    }
    // Names are listed escaped, one a line, so every line is one member.
    const QStringList escaped{QStringLiteral("--quoting-style=escape"), QStringLiteral("-tz")};
    QByteArray names, details;
    if (!runTar(escaped, path, folder, &names, error)
        || !runTar(escaped + QStringList{QStringLiteral("-v")}, path, folder, &details, error))
        return false;
    const QList<QByteArray> nameLines = lines(names);
    const QList<QByteArray> detailLines = lines(details);
    if (nameLines.size() != detailLines.size()) {
        *error = QStringLiteral("unreadable member list in ") + archive;
        return false;
    }
    for (int i = 0; i < nameLines.size(); ++i) {
        const char type = detailLines[i].isEmpty() ? '?' : detailLines[i].at(0);
        QString name = QString::fromLocal8Bit(nameLines[i]);
        while (name.endsWith(QLatin1Char('/')))
            name.chop(1);
        if ((type != '-' && type != 'd') || !UpdatePaths::isSafeRelative(name)) {
            *error = QStringLiteral("refused member \"%1\" in %2").arg(name, archive);
            return false;
        }
    }
    return runTar({QStringLiteral("--no-same-owner"), QStringLiteral("--no-same-permissions"),
                   QStringLiteral("-xz")},
                  path, folder, nullptr, error);
}

QString UpdatePlatform::mountDiskImage(const QString& image, const QString& mountFolder)
{
    QString error;
    if (!unpackTarGz(image, mountFolder, &error))
        return QString();
    const QString package = UpdatePaths::resolveInside(
        mountFolder, QStringLiteral("tvspro-update/tvspro-update.pkg"));
    return !package.isEmpty() && QFileInfo(package).isFile() ? package : QString();
}
