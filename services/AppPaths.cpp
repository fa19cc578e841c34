#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString& programDirOverride()
{
    static QString dir;
    return dir;
}
} // namespace

QString AppPaths::programDir()
{
    if (!programDirOverride().isEmpty())
        return programDirOverride();
    return QCoreApplication::applicationDirPath();
}

void AppPaths::setProgramDir(const QString& dir)
{
    programDirOverride() = dir;
}

QString AppPaths::besideProgram(const QString& folder)
{
    return QDir::cleanPath(programDir() + "/../" + folder) + "/";
}

QString AppPaths::resourcesDir()
{
    return besideProgram("Resources");
}

QString AppPaths::frameworksDir()
{
    return besideProgram("Frameworks");
}

QString AppPaths::documentationDir()
{
    return besideProgram("documentation");
}
