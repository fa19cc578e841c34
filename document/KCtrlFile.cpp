#include "KCtrlFile.h"

#include "EngineText.h"
#include "KFile.h"
#include "KFilePlayer.h"
#include "KMix.h"
#include "KMixFile.h"
#include "KPlayer.h"
#include "KPrompt.h"
#include "KSolver.h"

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
    // The playback threads may write statuses meanwhile: the copy is taken under the project lock.
    const KProjectLock lock;
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
    const KProjectLock lock;
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

// --- Checked edits ------------------------------------------------------------------------------

QString KCtrlFile::getMsgTitle(EActCnst act)
{
    switch (act) {
    case ActCreateGroup:
        return tr("Création d'un groupe");
    case ActCreateExclu:
        return tr("Création d'une exclusion");
    case ActCreateImply:
        return tr("Création d'une implication");
    case ActModifyGroup:
        return tr("Modification d'un groupe");
    case ActRemoveGroup:
        return tr("Suppression d'un groupe");
    case ActRemoveConstraint:
        return tr("Suppression d'une contrainte");
    case ActRemoveElement:
    case ActRemoveEltFromGroup:
        return tr("Suppresion d'un élément");
    case ActLoadProject:
        return tr("Chargement d'un fichier Projet Tovra");
    case ActCreateNotMute:
        return tr("Création d'un élément toujours allumé");
    default:
        return QString();
    }
}

QString KCtrlFile::getWarningMsg(EActCnst act)
{
    switch (act) {
    case ActCreateGroup:
        return tr("La création de ce groupe implique que certaines pistes ne pourront être écoutées "
                  "à la lecture du fichier Tovra.");
    case ActCreateExclu:
    case ActCreateImply:
        return tr("La création de cette contrainte implique que certaines pistes ne pourront être "
                  "écoutées à la lecture du fichier Tovra.");
    case ActModifyGroup:
        return tr("La modification de ce groupe implique que certaines pistes ne pourront être "
                  "écoutées à la lecture du fichier Tovra.");
    case ActRemoveGroup:
        return tr("Malgré la suppression de ce groupe, certaines pistes ne pourront être écoutées à "
                  "la lecture du fichier Tovra.");
    case ActRemoveConstraint:
        return tr("Malgré la suppression de cette contrainte, certaines pistes ne pourront être "
                  "écoutées à la lecture du fichier Tovra.");
    case ActRemoveElement:
    case ActRemoveEltFromGroup:
        return tr("Malgré la suppression de cet element, certaines pistes ne pourront être écoutées "
                  "à la lecture du fichier Tovra.");
    case ActLoadProject:
        return tr("L'organisation des contraintes du fichier projet implique que certaines pistes ne "
                  "pourront être écoutées à la lecture du fichier Tovra.");
    case ActCreateNotMute:
        return tr("La création de cette contrainte imlique que\n")
               + tr("certaines pistes ne pourront jamais être écoutées");
    default:
        return QString();
    }
}

QString KCtrlFile::getErrorMsg(EActCnst act)
{
    switch (act) {
    case ActCreateGroup:
        return tr("Impossible de créer le groupe : des contraintes déjà existantes sont "
                  "contradictoires avec ce nouveau groupe !");
    case ActCreateExclu:
    case ActCreateImply:
        return tr("Impossible de créer la contrainte : des contraintes déjà existantes sont "
                  "contradictoires avec cette nouvelle contrainte !");
    case ActModifyGroup:
        return tr("Impossible de modifier le groupe : des contraintes déjà existantes sont "
                  "contradictoires avec les modifications sur ce groupe !");
    case ActRemoveGroup:
        return tr("Impossible de supprimer le groupe : des contraintes sont contradictoires");
    case ActRemoveConstraint:
        return tr("Impossible de supprimer cette contrainte : des contraintes sont contradictoires");
    case ActRemoveElement:
    case ActRemoveEltFromGroup:
        return tr("Impossible de supprimer cette élément : des contraintes sont contradictoires");
    case ActLoadProject:
        return tr("Impossible de charger ce fichier projet : des contraintes sont contradictoires");
    case ActCreateNotMute:
        return tr("Impossible de créer cette contrainte :\n")
               + tr("Aucune piste ne peut être allumée en respectant les contraintes.");
    default:
        return QString();
    }
}

bool KCtrlFile::checkConstt(EActCnst act)
{
    m_refusalExplained = false;
    int result = 2;
    try {
        if (getKFile())
            result = checkConstraintsWF(getKFile(), notOrphanCanPlay, notOrphanTracksNbr(getKFile()));
    } catch (...) {
        // A solver that throws has not shown the project sound: refused like a contradiction.
        result = 2;
    }
    if (result == 0)
        return true;
    if (result == 1) {
        if (KPrompt::warning(m_parent, getMsgTitle(act), getWarningMsg(act),
                             QMessageBox::Ignore | QMessageBox::Abort, QMessageBox::Abort)
            == QMessageBox::Ignore)
            return true;
    } else {
        KPrompt::critical(m_parent, getMsgTitle(act), getErrorMsg(act), QMessageBox::Ok);
    }
    m_refusalExplained = true;
    resetElts();
    return false;
}

// The playback threads read elements without holding anything of the document's: an edit that
// frees elements ends playback first.
static void stopPlaybackBeforeFreeing()
{
    if (so_isPlay())
        so_stop();
}

template <typename Edit> bool KCtrlFile::checkedEdit(EActCnst act, Edit edit)
{
    m_refusalExplained = false;
    copyElts();
    if (!edit()) {
        resetElts();
        return false;
    }
    return checkConstt(act);
}

template <typename Edit> QString KCtrlFile::checkedRule(EActCnst act, Edit edit)
{
    QString name;
    return checkedEdit(act, [&] { return !(name = edit()).isEmpty(); }) ? name : QString();
}

bool KCtrlFile::createGroup(const QString& name, const QStringList& members, int min, int max)
{
    if (!checkedEdit(ActCreateGroup, [&] { return KObjFile::createGroup(name, members, min, max); }))
        return false;
    emit addedGroup(name);
    return true;
}

bool KCtrlFile::createGroupWithRemovingElements(const QString& name, const QStringList& members,
                                                int min, int max)
{
    if (!checkedEdit(ActCreateGroup, [&] {
            return KObjFile::createGroupWithRemovingElements(name, members, min, max);
        }))
        return false;
    emit addedGroup(name);
    return true;
}

QString KCtrlFile::createExclu(const QStringList& members, const QString& comment)
{
    const QString name =
        checkedRule(ActCreateExclu, [&] { return KObjFile::createExclu(members, comment); });
    if (!name.isEmpty())
        emit addedConstraint(name, Exclusion);
    return name;
}

QString KCtrlFile::createImply(const QString& implying, const QStringList& implied,
                               const QString& comment)
{
    const QString name = checkedRule(
        ActCreateImply, [&] { return KObjFile::createImply(implying, implied, comment); });
    if (!name.isEmpty())
        emit addedConstraint(name, Implication);
    return name;
}

QString KCtrlFile::createEquiv(const QString& name, const QStringList& members,
                               const QString& comment)
{
    if (contains(name))
        stopPlaybackBeforeFreeing();
    const QString created =
        checkedRule(ActCreateEquiv, [&] { return KObjFile::createEquiv(name, members, comment); });
    if (!created.isEmpty())
        emit addedConstraint(created, Equivalence);
    return created;
}

bool KCtrlFile::setGroupMinMaxPlay(const QString& group, int min, int max)
{
    if (!checkedEdit(ActModifyGroup, [&] { return KObjFile::setGroupMinMaxPlay(group, min, max); }))
        return false;
    emit modifiedElement(group);
    return true;
}

bool KCtrlFile::addEltInGroup(const QString& group, const QString& element)
{
    // One checkpoint for the whole edit: a refusal at either step restores the project as the
    // user left it.
    copyElts();
    if (isGroup(group) && getGroupMaxPlay(group) == 0) {
        if (!KObjFile::setGroupMinMaxPlay(group, getGroupMinPlay(group), 1)) {
            resetElts();
            return false;
        }
        if (!checkConstt(ActModifyGroup))
            return false;
        emit modifiedElement(group);
    }
    if (!KObjFile::addEltInGroup(group, element)) {
        resetElts();
        return false;
    }
    if (!checkConstt(ActModifyGroup))
        return false;
    emit modifiedElement(element);
    return true;
}

bool KCtrlFile::moveEltToGroup(const QString& element, const QString& group)
{
    const QString parent = getParent(element);
    if (parent == group)
        return true;
    bool opened = false;
    if (!checkedEdit(ActModifyGroup, [&] {
            if (!parent.isEmpty() && !KObjFile::removeEltFromGroup(parent, element))
                return false;
            // A group that lets no member play is opened to one playing member.
            if (isGroup(group) && getGroupMaxPlay(group) == 0) {
                if (!KObjFile::setGroupMinMaxPlay(group, getGroupMinPlay(group), 1))
                    return false;
                opened = true;
            }
            return KObjFile::addEltInGroup(group, element);
        }))
        return false;
    if (!parent.isEmpty()) {
        emit modifiedElement(parent);
        emit removedEltFromGroup(element);
    }
    if (opened)
        emit modifiedElement(group);
    emit modifiedElement(element);
    return true;
}

bool KCtrlFile::removeGroup(const QString& group)
{
    stopPlaybackBeforeFreeing();
    return checkedEdit(ActRemoveGroup, [&] { return KObjFile::removeGroup(group); });
}

bool KCtrlFile::removeConstraint(const QString& rule)
{
    stopPlaybackBeforeFreeing();
    return checkedEdit(ActRemoveConstraint, [&] { return KObjFile::removeConstraint(rule); });
}

bool KCtrlFile::removeElement(const QString& name)
{
    stopPlaybackBeforeFreeing();
    if (!checkedEdit(ActRemoveElement, [&] { return KObjFile::removeElement(name); }))
        return false;
    emit reloaded();
    return true;
}

bool KCtrlFile::removeEltFromGroup(const QString& group, const QString& element)
{
    if (!checkedEdit(ActRemoveEltFromGroup,
                     [&] { return KObjFile::removeEltFromGroup(group, element); }))
        return false;
    emit modifiedElement(group);
    emit removedEltFromGroup(element);
    return true;
}

bool KCtrlFile::setEltNotMute(const QString& element, bool on)
{
    if (!on)
        stopPlaybackBeforeFreeing();
    return checkedEdit(ActCreateNotMute, [&] { return KObjFile::setEltNotMute(element, on); });
}

bool KCtrlFile::checkedEdits(EActCnst act, const std::function<bool()>& edits)
{
    // The steps may free elements (an always-on rule cleared, members moved): playback ends first.
    stopPlaybackBeforeFreeing();
    if (!checkedEdit(act, edits))
        return false;
    emit reloaded();
    return true;
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
    return announceStatusChanges(KObjFile::setEltStatus(name, play, rules), rules);
}

QStringList KCtrlFile::setEltsStatus(const QStringList& names, bool play, bool rules)
{
    return announceStatusChanges(KObjFile::setElementsStatus(names, play, rules), rules);
}

QStringList KCtrlFile::announceStatusChanges(const QStringList& changed, bool rules)
{
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
    const QStringList gathered = setTracksStatus(play, rules);
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
