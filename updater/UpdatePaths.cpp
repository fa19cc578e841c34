#include "UpdatePaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace UpdatePaths {

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && isSafeRelative(name);
}

bool isSafeRelative(const QString& path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\'))
        || path.contains(QChar(0)))
        return false;
    const QStringList parts = path.split(QLatin1Char('/'));
    for (const QString& part : parts) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

QString resolveInside(const QString& root, const QString& relative)
{
    if (!isSafeRelative(relative))
        return QString();
    const QString base = QDir::cleanPath(root);
    const QString result = QDir::cleanPath(base + QLatin1Char('/') + relative);
    if (!result.startsWith(base + QLatin1Char('/')))
        return QString();
    // A link anywhere below the root could lead the write or the removal out of it.
    QString walk = base;
    const QStringList parts = result.mid(base.size() + 1).split(QLatin1Char('/'));
    for (const QString& part : parts) {
        walk += QLatin1Char('/') + part;
        if (QFileInfo(walk).isSymLink())
            return QString();
    }
    return result;
}

} // namespace UpdatePaths
