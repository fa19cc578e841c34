// Export preparation: marking elements as left out of the distributable file, and writing that
// file from a prepared clone of the project.
#include "KObjFile.h"

#include <QFile>

#include "EngineText.h"
#include "KContainer.h"
#include "KFile.h"
#include "KPlayer.h"
#include "KMix.h"
#include "KObjProgress.h"

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
    _freeZark(clone);
    return written;
}
