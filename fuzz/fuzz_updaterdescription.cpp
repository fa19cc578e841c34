// Reads arbitrary bytes as the updater's description: never a crash, and whatever it accepts
// names only short plain file names, paths that stay inside their folder and bounded versions.
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "UpdateDescription.h"
#include "UpdatePaths.h"
#include "VersionRule.h"

namespace
{

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool staysInside(const QString &relative)
{
    return UpdatePaths::isSafeRelative(relative)
           && !UpdatePaths::resolveInside(QStringLiteral("/nonexistent-root"), relative).isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    UpdateContent content;
    QString error;
    QStringList versions;
    const bool ok = UpdateDescription::read(bytes, QStringLiteral("1.0"), content,
                                            [&](const QString &v) { versions << v; }, &error);
    if (!ok) {
        check(!error.isEmpty());
        check(content.items.isEmpty() && content.archives.isEmpty() && content.deleteList.isEmpty());
        return 0;
    }
    for (const QString &version : versions)
        check(version.size() <= VersionRule::MaxLength);
    for (auto it = content.items.cbegin(); it != content.items.cend(); ++it) {
        check(UpdatePaths::isPlainName(it.key()) && it.key().size() <= UpdateDescription::MaxNameLength);
        const QString folder = it->getInstallDirectory();
        check(folder.size() <= UpdateDescription::MaxPathLength);
        check(folder.isEmpty() || staysInside(folder + it.key()));
    }
    for (const QString &path : content.deleteList)
        check(path.size() <= UpdateDescription::MaxPathLength && staysInside(path));
    for (const KDwnArchive &archive : content.archives) {
        check(UpdatePaths::isPlainName(archive.getName()));
        for (const QString &member : archive.getFiles()) {
            check(member.size() <= UpdateDescription::MaxPathLength && staysInside(member));
            check(staysInside(archive.getInstallDirPath() + member.section(QLatin1Char('/'), -1)));
        }
    }
    check(content.deleteList.size() == content.deleteVersions.size());
    return 0;
}
