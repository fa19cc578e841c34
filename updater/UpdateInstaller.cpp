#include "UpdateInstaller.h"

#include "UpdatePaths.h"

#include "VersionRule.h"

#include <QCryptographicHash>
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

const QByteArray JournalMagic = QByteArrayLiteral("tovra-install 2");

std::function<void(int)>& stepHook()
{
    static std::function<void(int)> hook;
    return hook;
}

// The folder holding a clean absolute path, cut at its last separator: always shorter, so every
// walk up the parents ends (the file system layer gives an overlong path back as its own parent).
QString parentOf(const QString& path)
{
    return path.left(qMax(0, path.lastIndexOf(QLatin1Char('/'))));
}

// The path itself or its nearest existing parent.
QString nearestExisting(QString path)
{
    while (!path.isEmpty() && !QFileInfo::exists(path))
        path = parentOf(path);
    return path.isEmpty() ? QStringLiteral("/") : path;
}

QByteArray encode(const QString& text)
{
    return QUrl::toPercentEncoding(text);
}

QString decode(const QByteArray& text)
{
    return QUrl::fromPercentEncoding(text);
}

QString checksumPath(const QString& workFolder)
{
    return UpdateInstaller::journalPath(workFolder) + QStringLiteral(".sum");
}

QString rollbackPath(const QString& workFolder)
{
    return QDir::cleanPath(workFolder) + QStringLiteral("/install.rollback");
}

QString backupFolder(const QString& workFolder)
{
    return QDir::cleanPath(workFolder) + QStringLiteral("/backup");
}

QByteArray checksum(const QByteArray& journal)
{
    return QCryptographicHash::hash(journal, QCryptographicHash::Sha256).toHex();
}

// path is a clean absolute path strictly below root.
bool isBelow(const QString& path, const QString& root)
{
    return QDir::cleanPath(path) == path && path.startsWith(root + QLatin1Char('/'));
}

bool sameAsOrBelow(const QString& path, const QString& root)
{
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

// A path the installer may change: inside the editor folder, outside the work folder, reached
// without passing through a link.
bool isInstallPath(const QString& path, const QString& editor, const QString& work)
{
    return isBelow(path, editor) && !sameAsOrBelow(path, work)
           && UpdatePaths::resolveInside(editor, path.mid(editor.size() + 1)) == path;
}

// A path in the editor folder (the work folder included) that is reached without passing
// through a link: a link anywhere on the way, even inside the work folder, could lead a move out.
bool isReachedWithoutLinks(const QString& path, const QString& editor)
{
    return isBelow(path, editor) && UpdatePaths::resolveInside(editor, path.mid(editor.size() + 1)) == path;
}

// Counts the changes of one commit or resume for the test hook.
struct Progress {
    int changes = 0;
    void changed()
    {
        if (stepHook())
            stepHook()(changes);
        ++changes;
    }
};

bool moveFile(const QString& from, const QString& to, Progress& progress)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return false;
    progress.changed();
    return true;
}

QString name(const QString& path)
{
    return QFileInfo(path).fileName();
}

// Carries a step out; running it again after an interruption leaves the same result.
bool forward(const UpdateInstaller::Step& step, Progress& progress, QStringList* failures)
{
    using Step = UpdateInstaller::Step;
    const QFileInfo target(step.target);
    switch (step.kind) {
    case Step::DeleteFolder:
        if (target.isDir() && !target.isSymLink() && QDir().rmdir(step.target))
            progress.changed();
        return true;
    case Step::Delete:
        if (!target.exists() && !target.isSymLink())
            return true;
        if (QFileInfo::exists(step.backup) || !target.isFile() || target.isSymLink()
            || !moveFile(step.target, step.backup, progress)) {
            *failures << QStringLiteral("Cannot delete file \"%1\"").arg(target.fileName());
            return false;
        }
        return true;
    case Step::Put:
        break;
    }
    if (!QFileInfo::exists(step.staged)) {
        // Already moved by an earlier, interrupted run.
        if (target.isFile())
            return true;
        *failures << QStringLiteral("Cannot install file \"%1\": its download is missing").arg(step.target);
        return false;
    }
    if (target.exists() || target.isSymLink()) {
        if (target.isDir() || target.isSymLink()) {
            *failures << QStringLiteral("Cannot install file \"%1\": a folder or link stands in its place")
                             .arg(step.target);
            return false;
        }
        if (QFileInfo::exists(step.backup) || !moveFile(step.target, step.backup, progress)) {
            *failures << QStringLiteral("Cannot set aside the old file \"%1\"").arg(step.target);
            return false;
        }
    }
    for (const QString& folder : step.created) {
        if (!QFileInfo(folder).isDir()) {
            if (!QDir().mkdir(folder)) {
                *failures << QStringLiteral("Cannot make the folder \"%1\"").arg(folder);
                return false;
            }
            progress.changed();
        }
    }
    if (!QDir().mkpath(target.path()) || !moveFile(step.staged, step.target, progress)) {
        *failures << QStringLiteral("Cannot install file \"%1\" in \"%2\"").arg(name(step.staged), step.target);
        return false;
    }
    return true;
}

// Undoes a step, done or not; running it again after an interruption leaves the same result.
bool backward(const UpdateInstaller::Step& step, Progress& progress, QStringList* failures)
{
    using Step = UpdateInstaller::Step;
    const QFileInfo target(step.target);
    switch (step.kind) {
    case Step::DeleteFolder:
        if (!target.exists() && !target.isSymLink()) {
            if (!QDir().mkdir(step.target)) {
                *failures << QStringLiteral("Cannot restore the folder \"%1\"").arg(step.target);
                return false;
            }
            progress.changed();
        }
        return true;
    case Step::Delete:
        if (QFileInfo::exists(step.backup)
            && ((target.exists() || target.isSymLink()) || !moveFile(step.backup, step.target, progress))) {
            *failures << QStringLiteral("Cannot restore file \"%1\"").arg(step.target);
            return false;
        }
        return true;
    case Step::Put:
        break;
    }
    // The new file goes back to the work folder, the old one back in place.
    if (!QFileInfo::exists(step.staged) && target.isFile() && !target.isSymLink()
        && !moveFile(step.target, step.staged, progress)) {
        *failures << QStringLiteral("Cannot take back file \"%1\"").arg(step.target);
        return false;
    }
    if (QFileInfo::exists(step.backup)) {
        if (QFileInfo::exists(step.target) || !moveFile(step.backup, step.target, progress)) {
            *failures << QStringLiteral("Cannot restore file \"%1\"").arg(step.target);
            return false;
        }
    }
    for (auto it = step.created.crbegin(); it != step.created.crend(); ++it) {
        if (QFileInfo(*it).isDir() && QDir().rmdir(*it))
            progress.changed();
    }
    return true;
}

bool applyAll(const QList<UpdateInstaller::Step>& steps, Progress& progress,
              const std::function<void(const UpdateInstaller::Step&)>& log, QStringList* failures)
{
    for (const UpdateInstaller::Step& step : steps) {
        if (!forward(step, progress, failures))
            return false;
        if (log)
            log(step);
    }
    return true;
}

bool rollBackAll(const QList<UpdateInstaller::Step>& steps, Progress& progress, QStringList* failures)
{
    bool ok = true;
    for (auto it = steps.crbegin(); it != steps.crend(); ++it)
        ok = backward(*it, progress, failures) && ok;
    return ok;
}

// Removes the journal and then what only it needed: from here on nothing is unfinished.
void finish(const QString& workFolder)
{
    QFile::remove(UpdateInstaller::journalPath(workFolder));
    QFile::remove(checksumPath(workFolder));
    QFile::remove(rollbackPath(workFolder));
    const QFileInfo backups(backupFolder(workFolder));
    if (backups.isSymLink())
        QFile::remove(backups.filePath());
    else
        QDir(backups.filePath()).removeRecursively();
}

// Applies the journal forward, or rolls it back when a step fails or a roll-back was under way.
// The journal stays while neither direction could be completed.
bool carryOut(const QList<UpdateInstaller::Step>& steps, const QString& workFolder,
              const std::function<void(const UpdateInstaller::Step&)>& log, QStringList* failures)
{
    Progress progress;
    const QString marker = rollbackPath(workFolder);
    if (!QFileInfo::exists(marker)) {
        if (applyAll(steps, progress, log, failures)) {
            finish(workFolder);
            return true;
        }
        QFile mark(marker);
        if (!mark.open(QIODevice::WriteOnly)) {
            *failures << QStringLiteral("Cannot write \"%1\"").arg(marker);
            return false;
        }
        mark.close();
    }
    if (!rollBackAll(steps, progress, failures)) {
        *failures << QStringLiteral("The installation could not be undone; it is finished at the next start");
        return false;
    }
    finish(workFolder);
    *failures << QStringLiteral("The installation was undone; the editor is unchanged");
    return false;
}

QByteArray listOf(const QStringList& paths)
{
    QByteArrayList encoded;
    for (const QString& path : paths)
        encoded << encode(path);
    return encoded.join(';');
}

QStringList pathsOf(const QByteArray& field)
{
    QStringList paths;
    if (field.isEmpty())
        return paths;
    for (const QByteArray& item : field.split(';'))
        paths << decode(item);
    return paths;
}

QByteArray kindName(UpdateInstaller::Step::Kind kind)
{
    switch (kind) {
    case UpdateInstaller::Step::Put: return "put";
    case UpdateInstaller::Step::Delete: return "del";
    case UpdateInstaller::Step::DeleteFolder: return "rmd";
    }
    return "?";
}

// The steps of journal text, each checked: false, with a reason, when one names a path that the
// installer never writes.
bool parseJournal(const QByteArray& text, const QString& workFolder, QList<UpdateInstaller::Step>* steps,
                  QString* error)
{
    using Step = UpdateInstaller::Step;
    const QString work = QDir::cleanPath(workFolder);
    const QString editor = QFileInfo(work).path();
    const QString backups = backupFolder(work);
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QList<QByteArray> head = lines.value(0).split('\t');
    if (head.size() != 3 || head[0] != JournalMagic || decode(head[1]) != editor || decode(head[2]) != work) {
        *error = QStringLiteral("the install journal was not written for this folder");
        return false;
    }
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split('\t');
        if (f.size() != 6) {
            *error = QStringLiteral("the install journal is damaged");
            return false;
        }
        Step step;
        step.kind = f[0] == "put" ? Step::Put : f[0] == "del" ? Step::Delete : Step::DeleteFolder;
        step.staged = decode(f[1]);
        step.target = decode(f[2]);
        step.backup = decode(f[3]);
        step.label = decode(f[4]);
        step.created = pathsOf(f[5]);
        bool safe = (f[0] == "put" || f[0] == "del" || f[0] == "rmd")
                    && isInstallPath(step.target, editor, work);
        if (step.kind == Step::Put)
            safe = safe && isBelow(step.staged, work) && !sameAsOrBelow(step.staged, backups)
                   && step.staged != UpdateInstaller::journalPath(work) && step.staged != checksumPath(work)
                   && step.staged != rollbackPath(work);
        if (step.kind == Step::Put)
            safe = safe && isReachedWithoutLinks(step.staged, editor);
        if (step.kind != Step::DeleteFolder)
            safe = safe && isBelow(step.backup, backups) && isReachedWithoutLinks(step.backup, editor);
        for (const QString& folder : step.created)
            safe = safe && isInstallPath(folder, editor, work) && step.target.startsWith(folder + QLatin1Char('/'));
        if (!safe) {
            *error = QStringLiteral("the install journal names a path outside the editor folder or through a link: \"%1\"")
                         .arg(step.target);
            return false;
        }
        *steps << step;
    }
    return true;
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

bool UpdateInstaller::hasUnfinishedJournal(const QString& workFolder)
{
    const QFileInfo journal(journalPath(workFolder));
    return journal.exists() || journal.isSymLink();
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
    if (target.isEmpty() || sameAsOrBelow(target, m_workFolder)) {
        *error = QStringLiteral("the server sent an unsafe path: \"%1\" is not inside \"%2\"")
                     .arg(relative, m_editorFolder);
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
    m_steps << Step{Step::Put, QDir::cleanPath(source.absoluteFilePath()), target, label, version};
    return true;
}

bool UpdateInstaller::addDeletion(const QString& relative, const QString& version, QString* error)
{
    const QString target = UpdatePaths::resolveInside(m_editorFolder, relative);
    if (target.isEmpty() || sameAsOrBelow(target, m_workFolder)) {
        *error = QStringLiteral("the server sent an unsafe path: \"%1\" is not inside \"%2\"")
                     .arg(relative, m_editorFolder);
        return false;
    }
    m_steps << Step{Step::Delete, QString(), target, relative, version};
    return true;
}

bool UpdateInstaller::commit(const std::function<void(const Step&)>& log, QStringList* failures)
{
    if (hasUnfinishedJournal(m_workFolder)) {
        *failures << QStringLiteral("An earlier installation is unfinished");
        return false;
    }
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
    const QString backups = backupFolder(m_workFolder);
    auto nextBackup = [&backups, &ordered] { return backups + QLatin1Char('/') + QString::number(ordered.size()); };
    for (const Step& step : m_steps) {
        if (step.kind != Step::Delete || overridden(step, Step::Put, false))
            continue;
        const QFileInfo target(step.target);
        Step planned = step;
        if (target.isDir() && !target.isSymLink())
            planned.kind = Step::DeleteFolder;
        else if (target.isFile() && !target.isSymLink())
            planned.backup = nextBackup();
        else
            continue; // nothing there, or a link that is never followed
        ordered << planned;
    }
    for (const Step& step : m_steps) {
        if (step.kind != Step::Put || overridden(step, Step::Delete, true))
            continue;
        Step planned = step;
        planned.backup = nextBackup();
        for (QString folder = parentOf(step.target);
             folder.size() > m_editorFolder.size() && !QFileInfo::exists(folder); folder = parentOf(folder))
            planned.created.prepend(folder);
        ordered << planned;
    }
    // Earlier leftovers of a finished run.
    finish(m_workFolder);
    if (!QDir().mkpath(backups)) {
        *failures << QStringLiteral("Cannot make \"%1\"").arg(backups);
        return false;
    }
    QByteArray text = JournalMagic + '\t' + encode(m_editorFolder) + '\t' + encode(m_workFolder) + '\n';
    for (const Step& step : ordered)
        text += kindName(step.kind) + '\t' + encode(step.staged) + '\t' + encode(step.target) + '\t'
                + encode(step.backup) + '\t' + encode(step.label) + '\t' + listOf(step.created) + '\n';
    // The checksum first: a journal is never there without it.
    QSaveFile sum(checksumPath(m_workFolder));
    QSaveFile journal(journalPath(m_workFolder));
    const QByteArray hash = checksum(text);
    const bool written = sum.open(QIODevice::WriteOnly) && sum.write(hash) == hash.size() && sum.commit()
                         && journal.open(QIODevice::WriteOnly) && journal.write(text) == text.size()
                         && journal.commit();
    if (!written) {
        QFile::remove(checksumPath(m_workFolder));
        *failures << QStringLiteral("Cannot write \"%1\": %2")
                         .arg(journalPath(m_workFolder), journal.errorString());
        return false;
    }
    return carryOut(ordered, m_workFolder, log, failures);
}

bool UpdateInstaller::resume(const QString& workFolder, QStringList* failures)
{
    if (!hasUnfinishedJournal(workFolder))
        return true;
    QFile journal(journalPath(workFolder));
    QFile sum(checksumPath(workFolder));
    const QFileInfo info(journal.fileName());
    // A real journal is small; anything else is not the updater's own.
    if (info.isSymLink() || !info.isFile() || info.size() > 64 * 1024 * 1024 || !journal.open(QIODevice::ReadOnly)
        || !sum.open(QIODevice::ReadOnly)) {
        *failures << QStringLiteral("The install journal cannot be read");
        return false;
    }
    const QByteArray text = journal.readAll();
    if (sum.read(128) != checksum(text)) {
        *failures << QStringLiteral("The install journal does not match its checksum");
        return false;
    }
    QList<Step> steps;
    QString error;
    if (!parseJournal(text, workFolder, &steps, &error)) {
        *failures << error;
        return false;
    }
    if (carryOut(steps, workFolder, nullptr, failures)) {
        failures->clear();
        return true;
    }
    // Undone completely: nothing is left unfinished.
    return !hasUnfinishedJournal(workFolder);
}
