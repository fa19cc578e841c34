#include "UpdateInstaller.h"

#include "UpdatePaths.h"

#include "VersionRule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QUrl>

#include <cstdio>

namespace {

constexpr QFileDevice::Permissions ReadAndExecute =
    QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser | QFileDevice::ExeUser
    | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

std::function<void(int)>& stepHook()
{
    static std::function<void(int)> hook;
    return hook;
}

QString nearestExisting(QString path)
{
    while (!QFileInfo::exists(path) && path.contains(QLatin1Char('/')))
        path = QFileInfo(path).path();
    return path;
}

QByteArray encode(const QString& text)
{
    return QUrl::toPercentEncoding(text);
}

QString decode(const QByteArray& text)
{
    return QUrl::fromPercentEncoding(text);
}

// Each step can run again after an interruption and leave the same result.
bool apply(const UpdateInstaller::Step& step, QStringList* failures)
{
    if (step.kind == UpdateInstaller::Step::Delete) {
        const QFileInfo info(step.target);
        if (info.isFile() && !info.isSymLink() && !QFile::remove(step.target)) {
            *failures << QStringLiteral("Cannot delete file \"%1\" !").arg(info.fileName());
            return false;
        }
        if (info.isDir() && !info.isSymLink())
            QDir().rmdir(step.target);
        return true;
    }
    if (!QFileInfo::exists(step.staged)) {
        // Already moved by an earlier, interrupted run.
        if (QFileInfo::exists(step.target))
            return true;
        *failures << QStringLiteral("Cannot install file \"%1\" !").arg(step.target);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(step.target).path())
        || std::rename(QFile::encodeName(step.staged).constData(),
                       QFile::encodeName(step.target).constData())
               != 0) {
        *failures << QStringLiteral("Cannot install file \"%1\" in \"%2\" !").arg(step.staged, step.target);
        return false;
    }
    return true;
}

bool applyAll(const QList<UpdateInstaller::Step>& steps,
              const std::function<void(const UpdateInstaller::Step&)>& log, QStringList* failures)
{
    bool ok = true;
    for (int i = 0; i < steps.size(); ++i) {
        if (apply(steps[i], failures)) {
            if (log)
                log(steps[i]);
        } else {
            ok = false;
        }
        if (stepHook())
            stepHook()(i);
    }
    return ok;
}

} // namespace

UpdateInstaller::UpdateInstaller(const QString& editorFolder, const QString& workFolder)
    : m_editorFolder(QDir::cleanPath(editorFolder)), m_workFolder(QDir::cleanPath(workFolder))
{
}

QString UpdateInstaller::journalPath(const QString& workFolder)
{
    return QDir::cleanPath(workFolder) + QStringLiteral("/install.journal");
}

void UpdateInstaller::setStepHook(std::function<void(int)> hook)
{
    stepHook() = std::move(hook);
}

bool UpdateInstaller::addFile(const QString& staged, const QString& relative, const QString& label,
                              const QString& version, QString* error)
{
    const QString target = UpdatePaths::resolveInside(m_editorFolder, relative);
    const QFileInfo source(staged);
    if (target.isEmpty()) {
        *error = QStringLiteral("\"%1\" is not inside \"%2\"").arg(relative, m_editorFolder);
        return false;
    }
    if (!source.isFile() || source.isSymLink()
        || !QDir::cleanPath(source.absoluteFilePath()).startsWith(m_workFolder + QLatin1Char('/'))) {
        *error = QStringLiteral("\"%1\" is not a downloaded file").arg(staged);
        return false;
    }
    // A rename replaces a file at once only within one file system.
    if (QStorageInfo(nearestExisting(target)).device() != QStorageInfo(m_workFolder).device()) {
        *error = QStringLiteral("\"%1\" is on another file system").arg(target);
        return false;
    }
    QFile::setPermissions(staged, ReadAndExecute);
    m_steps << Step{Step::Put, source.absoluteFilePath(), target, label, version};
    return true;
}

bool UpdateInstaller::addDeletion(const QString& relative, const QString& version, QString* error)
{
    const QString target = UpdatePaths::resolveInside(m_editorFolder, relative);
    if (target.isEmpty()) {
        *error = QStringLiteral("\"%1\" is not inside \"%2\"").arg(relative, m_editorFolder);
        return false;
    }
    m_steps << Step{Step::Delete, QString(), target, relative, version};
    return true;
}

bool UpdateInstaller::commit(const std::function<void(const Step&)>& log, QStringList* failures)
{
    // Deletions first, then installations, each kept only when no later version overrides it.
    QList<Step> ordered;
    auto overridden = [this](const Step& step, Step::Kind by, bool strictlyLater) {
        for (const Step& other : m_steps) {
            if (other.kind != by || other.target != step.target)
                continue;
            const bool later = VersionRule::isNewer(other.version, step.version);
            const bool same = !later && !VersionRule::isNewer(step.version, other.version);
            if (later || (!strictlyLater && same))
                return true;
        }
        return false;
    };
    for (const Step& step : m_steps) {
        if (step.kind == Step::Delete && !overridden(step, Step::Put, false))
            ordered << step;
    }
    for (const Step& step : m_steps) {
        if (step.kind == Step::Put && !overridden(step, Step::Delete, true))
            ordered << step;
    }
    QSaveFile journal(journalPath(m_workFolder));
    bool written = journal.open(QIODevice::WriteOnly);
    for (const Step& step : ordered) {
        const QByteArray line = (step.kind == Step::Put ? "put\t" : "del\t") + encode(step.staged) + '\t'
                                + encode(step.target) + '\t' + encode(step.label) + '\n';
        written = written && journal.write(line) == line.size();
    }
    if (!written || !journal.commit()) {
        *failures << QStringLiteral("Cannot write \"%1\"").arg(journalPath(m_workFolder));
        return false;
    }
    const bool ok = applyAll(ordered, log, failures);
    if (ok)
        QFile::remove(journalPath(m_workFolder));
    return ok;
}

bool UpdateInstaller::resume(const QString& workFolder, QStringList* failures)
{
    QFile journal(journalPath(workFolder));
    if (!journal.exists())
        return true;
    if (!journal.open(QIODevice::ReadOnly)) {
        *failures << journal.errorString();
        return false;
    }
    QList<Step> steps;
    for (const QByteArray& line : journal.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 4)
            continue;
        steps << Step{fields[0] == "put" ? Step::Put : Step::Delete, decode(fields[1]),
                      decode(fields[2]), decode(fields[3]), QString()};
    }
    journal.close();
    const bool ok = applyAll(steps, nullptr, failures);
    if (ok)
        journal.remove();
    return ok;
}
