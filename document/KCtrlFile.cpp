#include "KCtrlFile.h"

#include "EngineText.h"
#include "KFile.h"
#include "KFilePlayer.h"
#include "KMix.h"
#include "KMixFile.h"
#include "KPlayer.h"

using EngineText::key;

KCtrlFile::KCtrlFile(QWidget* parent)
    : m_parent(parent)
{
}

KCtrlFile::~KCtrlFile()
{
    emit destroyKFile();
    if (m_checkpoint)
        _freeZark(m_checkpoint);
    if (m_backup)
        _freeZark(m_backup);
    delete m_player;
}

void KCtrlFile::aboutToReplaceProject()
{
    emit destroyKFile();
}

void KCtrlFile::projectLoaded()
{
    setPlayerFunctions();
    emit reloaded();
}

KPlayerFunctions* KCtrlFile::getPlayerFunctions()
{
    if (!m_player)
        setPlayerFunctions();
    return m_player;
}

void KCtrlFile::setPlayerFunctions()
{
    delete m_player;
    m_player = new KFilePlayer;
    emit playerFuncChanged(m_player);
}

// --- Checkpoint and backup ----------------------------------------------------------------------

bool KCtrlFile::copyElts()
{
    if (m_checkpoint)
        _freeZark(m_checkpoint);
    m_checkpoint = getKFile() ? KFile_clone(getKFile()) : nullptr;
    return m_checkpoint != nullptr;
}

bool KCtrlFile::resetElts()
{
    if (!m_checkpoint)
        return false;
    _KFile* restored = m_checkpoint;
    m_checkpoint = nullptr;
    replaceProject(restored);
    emit reloaded();
    return true;
}

void KCtrlFile::ActiveBackup()
{
    ClearBackup();
    m_backup = getKFile() ? KFile_clone(getKFile()) : nullptr;
}

bool KCtrlFile::RestoreBackup()
{
    if (!m_backup)
        return false;
    _KFile* restored = m_backup;
    m_backup = nullptr;
    replaceProject(restored);
    emit reloaded();
    return true;
}

void KCtrlFile::ClearBackup()
{
    if (m_backup)
        _freeZark(m_backup);
    m_backup = nullptr;
}

// --- Loading ------------------------------------------------------------------------------------

bool KCtrlFile::loadFromXmlObj(KXml* description)
{
    if (!KObjFile::loadFromXmlObj(description))
        return false;
    projectLoaded();
    return true;
}

bool KCtrlFile::loadTovraFile(const QString& path)
{
    if (!KObjFile::loadTovraFile(path))
        return false;
    projectLoaded();
    return true;
}

// --- Operations announced by a signal -----------------------------------------------------------

bool KCtrlFile::renameElt(const QString& oldName, const QString& newName)
{
    if (!KObjFile::renameElt(oldName, newName))
        return false;
    emit renamedElement(oldName, newName);
    return true;
}

bool KCtrlFile::setElementOnTop(const QString& name)
{
    if (!KObjFile::setElementOnTop(name))
        return false;
    emit modifiedElement(name);
    return true;
}

bool KCtrlFile::improvize()
{
    if (!KObjFile::improvize())
        return false;
    emit reloaded();
    return true;
}

bool KCtrlFile::setCurrentMix(const QString& name)
{
    if (!KObjFile::setCurrentMix(name))
        return false;
    emit mixChanged();
    return true;
}

bool KCtrlFile::setKmixAsCurrent(KMix* mix)
{
    if (!KObjFile::setKmixAsCurrent(mix))
        return false;
    emit reloaded();
    return true;
}

bool KCtrlFile::removeMix(const QString& name)
{
    if (!KObjFile::removeMix(name))
        return false;
    emit mixRemoved(name);
    return true;
}

bool KCtrlFile::renameMix(const QString& oldName, const QString& newName)
{
    if (!KObjFile::renameMix(oldName, newName))
        return false;
    emit renamedMix(oldName, newName);
    return true;
}

bool KCtrlFile::setMixAsDefault(const QString& name)
{
    const KProjectLock lock;
    if (!getKFile() || setSlctAsDef(getKFile(), key(name).constData()) <= 0)
        return false;
    emit newDefaultMix(name);
    return true;
}

bool KCtrlFile::saveCurrentMix(const QString& name)
{
    const bool wasDefault = getDefaultMixName() == name;
    const bool existed = getMixNames().contains(name);
    if (!KObjFile::saveCurrentMix(name))
        return false;
    if (!existed)
        emit mixAdded(name);
    if (!wasDefault && getDefaultMixName() == name)
        emit newDefaultMix(name);
    return true;
}

bool KCtrlFile::saveCurrentSlctToMix(const QString& name)
{
    const KProjectLock lock;
    if (isMix(name))
        return k_saveCurrentSlctToMix(getKFile(), key(name).constData()) == 1;
    return saveCurrentMix(name);
}

bool KCtrlFile::saveCurrentLevelsToMix(const QString& name)
{
    const KProjectLock lock;
    KMix* mix = getKFile() ? findASlct(getKFile(), key(name).constData()) : nullptr;
    return mix && k_setCurrentLevelsInMix(getKFile(), mix) == 1;
}

QString KCtrlFile::addTrack(const QString& name, const QString& path, const KStreamFormat* format)
{
    const QString added = KObjFile::addTrack(name, path, format);
    if (!added.isEmpty())
        emit addedTrack(added);
    return added;
}

void KCtrlFile::setEltSolo(const QString& name, bool solo)
{
    const KProjectLock lock;
    if (getKFile())
        k_setSolo(getKFile(), key(name).constData(), solo ? 1 : 0);
}

void KCtrlFile::setEltMute(const QString& name, bool mute)
{
    const KProjectLock lock;
    if (getKFile())
        k_setMute(getKFile(), key(name).constData(), mute ? 1 : 0);
}

bool KCtrlFile::getEltSolo(const QString& name) const
{
    return getKFile() && k_isSolo(getKFile(), key(name).constData()) != 0;
}

bool KCtrlFile::getEltMute(const QString& name) const
{
    return getKFile() && k_isMute(getKFile(), key(name).constData()) != 0;
}

void KCtrlFile::resetSoloMute()
{
    const KProjectLock lock;
    if (getKFile())
        k_resetSoloMute(getKFile());
}

bool KCtrlFile::isAProject() const
{
    return getKFile() && k_isAProject(getKFile()) != 0;
}

void KCtrlFile::setMixPan(const QString& mix, double pan)
{
    KObjFile::setMixPan(mix, pan);
}

void KCtrlFile::setMixLevel(const QString& mix, int level)
{
    KObjFile::setMixLevel(mix, level);
}

void KCtrlFile::setMasterLvl(int level)
{
    KObjFile::setMasterLvl(level);
}

void KCtrlFile::setMasterPan(double pan)
{
    KObjFile::setMasterPan(pan);
}

bool KCtrlFile::setVisibleToExport(const QString& name, bool visible)
{
    return KObjFile::setVisibleToExport(name, visible);
}

bool KCtrlFile::initPlaying(const QString& mix)
{
    if (!mix.isEmpty() && !setCurrentMix(mix))
        return false;
    return getKFile() && initializeStatus(getKFile()) >= 1 && initializeLevel(getKFile()) >= 1;
}

bool KCtrlFile::setElementLevel(const QString& name, int level, TypeMixSolver type, bool outOfMix)
{
    if (!getKFile())
        return false;
    GSList* moved = moveLevelParams(getKFile(), key(name).constData(), level, type, outOfMix ? 1 : 0);
    if (!moved)
        return false;
    QStringList names;
    for (GSList* node = moved; node; node = node->next)
        names.append(EngineText::fromEngine(static_cast<const char*>(node->data)));
    g_slist_free(moved);
    // A list holding only the name while the level stayed elsewhere is a refusal, not a move.
    if (names.size() == 1 && getElementLevel(name) != qMin(level, 60))
        return false;
    emit levelChanged(names);
    return true;
}

// --- Play status --------------------------------------------------------------------------------

void KCtrlFile::announceLevelRules()
{
    const QStringList moved = checkVolConst();
    if (!moved.isEmpty())
        emit levelChanged(moved);
}

QStringList KCtrlFile::setEltStatus(const QString& name, bool play, bool rules)
{
    const QStringList changed = KObjFile::setEltStatus(name, play, rules);
    for (const QString& element : changed) {
        if (!isPlay(element)) {
            setEltSolo(element, false);
            setEltMute(element, false);
        }
    }
    if (changed.isEmpty())
        return changed;
    emit eltStatusChanged(changed);
    if (rules)
        announceLevelRules();
    return changed;
}

QStringList KCtrlFile::setEltStatus(const QString& name)
{
    return setEltStatus(name, elementPlays(name), true);
}

QStringList KCtrlFile::setEltStatus(const QString& name, bool play)
{
    return setEltStatus(name, play, true);
}

QStringList KCtrlFile::setEltsStatus(bool play, bool rules)
{
    resetSoloMute();
    QStringList gathered;
    for (const QString& track : getTrackNames())
        for (const QString& name : KObjFile::setEltStatus(track, play, rules))
            if (!gathered.contains(name))
                gathered.append(name);
    emit eltStatusChanged(gathered);
    announceLevelRules();
    return gathered;
}

QStringList KCtrlFile::setEltsStatus(bool play)
{
    return setEltsStatus(play, true);
}

void KCtrlFile::resetEltsStatus()
{
    resetElementsStatus();
    emit eltStatusChanged(getAllElements());
}

// --- Distributable export -----------------------------------------------------------------------

bool KCtrlFile::getExportToStereo(const QString& track) const
{
    const auto choice = m_exportToStereo.constFind(track);
    if (choice != m_exportToStereo.constEnd())
        return choice.value();
    return getTrackChannels(track) == 2;
}

void KCtrlFile::setExportToStereo(const QString& track, bool stereo)
{
    m_exportToStereo.insert(track, stereo);
}

bool KCtrlFile::exportToTovraFile(const QString& path, KStreamFormat* format,
                                  KObjProgress* progress, KObjFile::EDefMix policy)
{
    QHash<QString, int> channels;
    if (format && format->channels == 0)
        for (auto it = m_exportToStereo.constBegin(); it != m_exportToStereo.constEnd(); ++it)
            if (isTrack(it.key()))
                channels.insert(it.key(), it.value() ? 2 : 1);
    const bool written = KObjFile::exportToTovraFile(path, format, progress, policy, channels);
    emit reloaded();
    return written;
}
