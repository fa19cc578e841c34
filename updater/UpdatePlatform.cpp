#include "UpdatePlatform.h"

#include "TarGz.h"
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
    return TarGz::unpack(archive, folder, MaxUnpackedSize, nullptr, error);
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
