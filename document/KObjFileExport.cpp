// Export preparation: marking elements as left out of the distributable file, and writing that
// file from a prepared clone of the project.
#include "KObjFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "EngineText.h"
#include "KContainer.h"
#include "KFile.h"
#include "KPlayer.h"
#include "KMix.h"
#include "KAudioFile.h"
#include "KObjProgress.h"
#include "KProjectLock.h"

using EngineText::key;

namespace {

const char* const DefaultMixName = "Default Mix";
const int RawMajor = 0x40000;
const int AuMajor = 0x30000;

// Applies the default-mix policy to a clone without a stored mix; false when it fails.
bool applyDefaultMix(KFile* clone, KObjFile::EDefMix policy)
{
    switch (policy) {
    case KObjFile::DefMixAllTracks:
        return createDefaultSlctWithAllTracks(clone, DefaultMixName) >= 1
               || createDefaultSlct(clone, DefaultMixName) >= 1;
    case KObjFile::DefMixPlain:
        return createDefaultSlct(clone, DefaultMixName) >= 1
               || createDefaultSlctWithAllTracks(clone, DefaultMixName) >= 1;
    case KObjFile::DefMixNone:
        return true;
    }
    return false;
}

// Prepares the clone: the import group's members and the group go, the default mix policy is
// applied, every track defers to the project's format (with its channel count, or the one given
// for it), the caller's format becomes the project's, hidden-from-export elements are hidden and
// the mix-rule groups and the hidden-from-export group go.
bool prepareClone(KFile* clone, KStreamFormat* format, KObjFile::EDefMix policy,
                  const QHash<QString, int>& channels)
{
    const QByteArray importKey = key(KObjFile::ImportAudioGrpName);
    if (giveElt(clone, importKey.constData())) {
        int count = 0;
        const QStringList members = EngineText::takeNames(subEltName(clone, importKey.constData(), &count), count);
        for (const QString& member : members) {
            const QByteArray memberKey = key(member);
            if (isATrack(clone, memberKey.constData()) == 1)
                removeTrack(clone, memberKey.constData());
            else
                delSubElt(clone, importKey.constData(), memberKey.constData());
        }
        deleteElt(clone, importKey.constData());
    }
    if (MixManager_getMixNbr(clone->mixes) < 1 && !applyDefaultMix(clone, policy))
        return false;

    int trackCount = 0;
    for (const QString& track : EngineText::takeNames(tracksName(clone, &trackCount), trackCount)) {
        KTrack* kTrack = giveTrack(clone, key(track).constData());
        if (!kTrack)
            continue;
        if (!kTrack->format && !(kTrack->format = KStreamFormat_new()))
            return false;
        kTrack->format->code = 0;
        kTrack->format->bits = -1;
        kTrack->format->rate = -1.0;
        if (channels.contains(track))
            kTrack->format->channels = channels.value(track);
    }

    if ((format->code & KAUDIOFMT_MAJOR_MASK) == RawMajor)
        format->code = AuMajor | (format->code & KAUDIOFMT_SUB_MASK);
    if (!KStreamFormat_copy(clone->format, format))
        return false;

    int eltCount = 0;
    const QStringList all = EngineText::takeNames(allEltsNames(clone, &eltCount), eltCount);
    const QByteArray unvisibleKey = key(KObjFile::UnvisibleGrpName);
    const bool hasUnvisible = giveElt(clone, unvisibleKey.constData()) != nullptr;
    if (hasUnvisible) {
        int count = 0;
        for (const QString& member :
             EngineText::takeNames(subEltName(clone, unvisibleKey.constData(), &count), count))
            if (KElement* elt = giveElt(clone, key(member).constData()))
                _hideEltRec(elt);
    }
    for (const QString& name : all)
        if (name.left(16) == KObjFile::RuleGroupPrefix)
            deleteElt(clone, key(name).constData());
    if (hasUnvisible)
        deleteElt(clone, unvisibleKey.constData());
    return true;
}

} // namespace

bool KObjFile::isVisibleToExport(const QString& name) const
{
    return !isParent(UnvisibleGrpName, name);
}

bool KObjFile::setVisibleToExport(const QString& name, bool visible)
{
    const KProjectLock lock;
    if (!contains(name))
        return false;
    createUnvisibleGroup();
    const bool hidden = isParent(UnvisibleGrpName, name);
    if (hidden != visible)
        return true;
    const QByteArray groupKey = key(UnvisibleGrpName);
    const int changed = visible ? delSubElt(m_file, groupKey.constData(), key(name).constData())
                                : addSubElt(m_file, groupKey.constData(), key(name).constData());
    if (changed <= 0)
        return false;
    return setGroupMinMaxPlay(UnvisibleGrpName, 0, getSubEltNbr(UnvisibleGrpName));
}

bool KObjFile::exportToTovraFile(const QString& path, KStreamFormat* format,
                                 KObjProgress* progress, EDefMix policy)
{
    return exportToTovraFile(path, format, progress, policy, {});
}

// Why a track's audio file cannot be read; empty when it can.
static QString audioFileProblem(const QString& path)
{
    const QByteArray kPath = QFile::encodeName(path);
    if (!QFileInfo::exists(path) || !QFileInfo(path).isReadable()) {
        const int error = ::access(kPath.constData(), R_OK) != 0 ? errno : ENOENT;
        return QString::fromLocal8Bit(std::strerror(error));
    }
    if (QFileInfo(path).isDir())
        return QString::fromLocal8Bit(std::strerror(EISDIR));
    int frames = 0;
    KAudioFile* audio = openKAudioFile(kPath.constData(), nullptr, &frames);
    if (!audio)
        return KObjFile::tr("ce n'est pas un fichier audio lisible");
    closeKAudioReading(&audio);
    return QString();
}

// Why nothing can be written at `target`: a folder in its place, a missing or closed folder.
static QString targetProblem(const QString& target)
{
    const QFileInfo info(target);
    if (info.isDir())
        return KObjFile::tr("un dossier porte ce nom");
    const QString folder = info.absolutePath();
    const QByteArray kFolder = QFile::encodeName(folder);
    if (::access(kFolder.constData(), W_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (info.exists() && !info.isWritable())
        return QString::fromLocal8Bit(std::strerror(EACCES));
    return QString();
}

QString KObjFile::exportFailureCause(_KFile* project, const QString& target,
                                     const QString& engineMessage)
{
    if (project) {
        int count = 0;
        const KProjectLock lock;
        for (const QString& track : EngineText::takeNames(tracksName(project, &count), count)) {
            const KTrack* kTrack = giveTrack(project, key(track).constData());
            const QString path = kTrack && kTrack->path ? QFile::decodeName(kTrack->path) : QString();
            if (path.isEmpty() || path == QLatin1String(KTRACK_IGNORE_AUDIO))
                continue;
            const QString problem = audioFileProblem(path);
            if (!problem.isEmpty())
                return tr("Impossible de lire le fichier audio \"%1\" de la piste \"%2\" : %3")
                    .arg(QDir::toNativeSeparators(path), track, problem);
        }
    }
    const QString problem = targetProblem(target);
    if (!problem.isEmpty())
        return tr("Impossible d'écrire \"%1\" : %2").arg(QDir::toNativeSeparators(target), problem);
    return tr("L'écriture de \"%1\" a échoué : %2")
        .arg(QDir::toNativeSeparators(target),
             engineMessage.isEmpty() ? tr("erreur inconnue") : engineMessage);
}

void KObjFile::reportExportFailure(_KFile* project, const QString& target, KObjProgress* progress)
{
    // A cancel is no failure; the cause goes where the progress dialog reads it.
    if (!progress || progress->getState() == -1)
        return;
    progress->setMsg(exportFailureCause(project, target, progress->getMsg()));
    progress->setState(-2);
}

bool KObjFile::exportToTovraFile(const QString& path, KStreamFormat* format,
                                 KObjProgress* progress, EDefMix policy,
                                 const QHash<QString, int>& channels)
{
    if (!m_file || !format || path.isEmpty())
        return false;
    KFile* clone;
    {
        // The export runs on a worker: the clone is taken while no edit is half made.
        const KProjectLock lock;
        clone = KFile_clone(m_file);
    }
    if (!clone)
        return false;
    bool written = false;
    if (prepareClone(clone, format, policy, channels))
        written = exportToTovraPrg(QFile::encodeName(path).constData(), clone, format,
                                   progress ? progress->getKProg() : nullptr)
                  > 0;
    if (!written)
        reportExportFailure(clone, path, progress);
    _freeZark(clone);
    return written;
}
