// Groups, rules and play status of the document: the structure tree's groups, the hidden rule
// elements and reserved groups, and switching elements under the rules.
#include "KObjFile.h"

#include <QSet>

#include "EngineText.h"
#include "KFile.h"
#include "KPlayer.h"
#include "KMixSolver.h"
#include "KSolver.h"

using EngineText::fromEngine;
using EngineText::key;

// The names of a solver list (which point into the model); the list itself is freed.
static QStringList takeSolverList(GSList* list)
{
    QStringList names;
    for (GSList* node = list; node; node = node->next)
        names.append(fromEngine(static_cast<const char*>(node->data)));
    g_slist_free(list);
    return names;
}

// --- Queries ------------------------------------------------------------------------------------

int KObjFile::getGroupMinPlay(const QString& group) const
{
    const int* bounds = m_file ? giveGrpDatas(m_file, key(group).constData()) : nullptr;
    return bounds ? bounds[0] : -1;
}

int KObjFile::getGroupMaxPlay(const QString& group) const
{
    const int* bounds = m_file ? giveGrpDatas(m_file, key(group).constData()) : nullptr;
    return bounds ? bounds[1] : -1;
}

KObjFile::EConst KObjFile::getConstraintType(const QString& name) const
{
    const KElement* elt = element(name);
    if (!elt || elt->visible || elt->type != KELT_GROUP)
        return OtherConst;
    const KGroupData* data = static_cast<const KGroupData*>(elt->data);
    if (data && data->kind == KCONST_IMPLY)
        return Implication;
    if (name.startsWith(DefaultCsttName) && getGroupMinPlay(name) == 0 && getGroupMaxPlay(name) == 1)
        return Exclusion;
    return OtherConst;
}

bool KObjFile::isConstraint(const QString& name) const
{
    return getConstraintType(name) < Equivalence;
}

QStringList KObjFile::contraintNames() const
{
    if (!m_file)
        return {};
    int count = 0;
    const char** names = unVisibleEltsName(m_file, &count);
    return EngineText::takeNames(names, count);
}

QStringList KObjFile::rulesNames() const
{
    QStringList rules;
    for (const QString& name : contraintNames())
        if (name.left(16) == RuleGroupPrefix)
            rules.append(name);
    return rules;
}

QString KObjFile::getImplying(const QString& rule) const
{
    return m_file ? fromEngine(::getImplying(m_file, key(rule).constData())) : QString();
}

QStringList KObjFile::getAllImplies(const QString& name) const
{
    QStringList implies;
    for (const QString& rule : contraintNames())
        if (getConstraintType(rule) == Implication && getImplying(rule) == name)
            implies.append(rule);
    return implies;
}

bool KObjFile::isNotMute(const QString& name) const
{
    return contains(NotMutePrefix + name);
}

bool KObjFile::elementPlays(const QString& name) const
{
    // The mixer's fades write statuses while the project plays.
    const KProjectLock lock;
    return m_file && isPlaying(m_file, key(name).constData()) == 1;
}

QString KObjFile::nextConstraintName() const
{
    return getNewEltName(DefaultCsttName);
}

// --- Structure ----------------------------------------------------------------------------------

// A hidden kind-10 group {0, 1} of that name, unless one exists.
static void createHiddenGroup(KObjFile& document, const QString& name)
{
    const KProjectLock lock;
    if (document.contains(name) || !document.getKFile())
        return;
    if (createElt(document.getKFile(), KCONST_GROUP, EngineText::key(name).constData(),
                  createDataGrp(0, 1))
        > 0)
        document.hide(name);
}

void KObjFile::createImportGroup()
{
    createHiddenGroup(*this, ImportAudioGrpName);
}

void KObjFile::createUnvisibleGroup()
{
    createHiddenGroup(*this, UnvisibleGrpName);
}

bool KObjFile::createGroup(const QString& name, const QStringList& members, int min, int max)
{
    const KProjectLock lock;
    // An existing name would give two elements one table key.
    if (!m_file || name.isEmpty() || contains(name))
        return false;
    const int n = members.size();
    const int maximum = (max >= 0 && n >= max) ? qMax(min, max) : n;
    const int minimum = min < 0 ? 0 : qMin(min, n);
    if (createElt(m_file, KCONST_GROUP, key(name).constData(), createDataGrp(minimum, maximum)) <= 0)
        return false;
    // Every member is tried; a member that could not be attached makes the result false.
    bool all = true;
    for (const QString& member : members)
        all = addEltInGroup(name, member) && all;
    return all;
}

bool KObjFile::createGroupWithRemovingElements(const QString& name, const QStringList& members,
                                               int min, int max)
{
    for (const QString& member : members) {
        const QString parent = getParent(member);
        if (!parent.isEmpty())
            removeEltFromGroup(parent, member);
    }
    return createGroup(name, members, min, max);
}

bool KObjFile::addEltInGroup(const QString& group, const QString& element)
{
    const KProjectLock lock;
    if (!contains(group) || !contains(element) || isParent(element, group))
        return false;
    if (addSubElt(m_file, key(group).constData(), key(element).constData()) <= 0)
        return false;
    if (group != ImportAudioGrpName && isParent(ImportAudioGrpName, element)) {
        removeEltFromGroup(ImportAudioGrpName, element);
        show(element);
    }
    const QByteArray groupKey = key(group);
    if ((isTrack(element) || getEltColor(element) == QColor(Qt::white))
        && isVisible(m_file, groupKey.constData()))
        setEltColor(element, getEltColor(group), true);
    return true;
}

bool KObjFile::removeEltFromGroup(const QString& group, const QString& element)
{
    const KProjectLock lock;
    if (!m_file)
        return false;
    const QString from = group.isEmpty() ? ImportAudioGrpName : group;
    if (delSubElt(m_file, key(from).constData(), key(element).constData()) < 1)
        return false;
    const QByteArray elementKey = key(element);
    if (from != ImportAudioGrpName && isTrack(element) && isVisible(m_file, key(from).constData())
        && hasVisibleParent(m_file, elementKey.constData()) == 0) {
        // A track that leaves its last visible group goes back to the hidden import group.
        createImportGroup();
        addEltInGroup(ImportAudioGrpName, element);
        hide(element);
        setEltColor(element, QColor(Qt::white), false);
    }
    return true;
}

bool KObjFile::setElementOnTop(const QString& name)
{
    const KProjectLock lock;
    if (!m_file)
        return false;
    const QString parent = getParent(name);
    const bool imported = isParent(ImportAudioGrpName, name) && name != ImportAudioGrpName;
    if (!imported && parent.isEmpty())
        return true;
    if (!parent.isEmpty() && !removeEltFromGroup(parent, name))
        return false;
    if (delSubElt(m_file, key(ImportAudioGrpName).constData(), key(name).constData()) > 0)
        show(name);
    return true;
}

bool KObjFile::setGroupMinMaxPlay(const QString& group, int min, int max)
{
    const KProjectLock lock;
    KElement* elt = element(group);
    if (!elt || elt->type != KELT_GROUP)
        return false;
    KGroupData* data = static_cast<KGroupData*>(elt->data);
    // Only kinds with a {min, max} block: an implication's data is another element's name.
    if (!data || !data->kindData
        || (data->kind != KCONST_GROUP && data->kind != KCONST_ALL && data->kind != KCONST_ONE))
        return false;
    int* bounds = static_cast<int*>(data->kindData);
    bounds[0] = min;
    bounds[1] = max;
    return true;
}

bool KObjFile::removeConstraint(const QString& rule)
{
    const KProjectLock lock;
    if (!contains(rule))
        return false;
    const QString implying = getImplying(rule);
    for (const QString& member : getSubElt(rule)) {
        if (member == implying && !isFather(rule, member))
            continue;
        if (!removeEltFromGroup(rule, member))
            return false;
    }
    return deleteElt(m_file, key(rule).constData()) > 0;
}

bool KObjFile::removeFromAllParents(const QString& name)
{
    const KProjectLock lock;
    if (name.isEmpty())
        return false;
    for (const QString& parent : getAllParents(name)) {
        // Automatic rules and the element's always-on rule mean nothing without it: deleted whole.
        const bool whole = parent.startsWith(DefaultCsttName) || parent == NotMutePrefix + name;
        if (!(whole ? removeConstraint(parent) : removeEltFromGroup(parent, name)))
            return true;
    }
    // An implication whose implying element leaves would point at nothing: deleted whole.
    for (const QString& rule : getAllImplies(name))
        if (!removeConstraint(rule))
            return true;
    return true;
}

// removeGroup's walk: `seen` holds the groups already on the way down, so a cycle from a damaged
// file ends, and a member group that another visible group also holds is only unlinked.
static bool removeGroupRec(KObjFile& document, const QString& group, QSet<QString>& seen)
{
    if (seen.contains(group))
        return false;
    seen.insert(group);
    for (const QString& member : document.getSubElt(group)) {
        bool ok;
        if (document.isGroup(member)) {
            int visibleParents = 0;
            for (const QString& parent : document.getAllParents(member))
                if (isVisible(document.getKFile(), EngineText::key(parent).constData()))
                    ++visibleParents;
            ok = visibleParents > 1 ? document.removeEltFromGroup(group, member)
                                    : removeGroupRec(document, member, seen);
        } else {
            ok = document.removeFromAllParents(member);
        }
        if (!ok)
            return false;
    }
    document.removeFromAllParents(group);
    if (removeEltFromAllMix(document.getKFile(), EngineText::key(group).constData()) == 0)
        return false;
    return deleteElt(document.getKFile(), EngineText::key(group).constData()) > 0;
}

bool KObjFile::removeGroup(const QString& group)
{
    const KProjectLock lock;
    if (!isGroup(group))
        return false;
    QSet<QString> seen;
    return removeGroupRec(*this, group, seen);
}

bool KObjFile::removeElement(const QString& name)
{
    const KProjectLock lock;
    if (!contains(name))
        return false;
    if (getConstraintType(name) <= Exclusion)
        return removeConstraint(name);
    if (isGroup(name))
        return removeGroup(name);
    removeFromAllParents(name);
    return removeTrack(m_file, key(name).constData()) > 0;
}

// --- Rules --------------------------------------------------------------------------------------

// Names the rule, hides it, stores the comment and attaches every member; the name when all
// members were attached.
static QString finishRule(KObjFile& document, const QString& name, const QStringList& members,
                          const QString& comment)
{
    document.hide(name);
    if (!comment.isEmpty())
        setEltComment(document.getKFile(), EngineText::key(name).constData(),
                      EngineText::key(comment).constData());
    int attached = 0;
    for (const QString& member : members)
        if (addSubElt(document.getKFile(), EngineText::key(name).constData(),
                      EngineText::key(member).constData())
            > 0)
            ++attached;
    return attached == members.size() ? name : QString();
}

QString KObjFile::createExclu(const QStringList& members, const QString& comment)
{
    const KProjectLock lock;
    if (!m_file)
        return QString();
    const QString name = nextConstraintName();
    if (createElt(m_file, KCONST_GROUP, key(name).constData(), createDataGrp(0, 1)) <= 0)
        return QString();
    return finishRule(*this, name, members, comment);
}

QString KObjFile::createImply(const QString& implying, const QStringList& implied,
                              const QString& comment)
{
    const KProjectLock lock;
    // The engine links the rule to the implying element itself, which must exist.
    if (!m_file || !contains(implying))
        return QString();
    const QString name = nextConstraintName();
    QByteArray implyingKey = key(implying);
    if (createElt(m_file, KCONST_IMPLY, key(name).constData(), implyingKey.data()) <= 0)
        return QString();
    return finishRule(*this, name, implied, comment);
}

QString KObjFile::createEquiv(const QString& name, const QStringList& members,
                              const QString& comment)
{
    const KProjectLock lock;
    if (!m_file || name.isEmpty())
        return QString();
    if (const KElement* existing = element(name)) {
        // Only an older equivalence of that name gives way; any other element is kept.
        const KGroupData* data = existing->type == KELT_GROUP
                                     ? static_cast<const KGroupData*>(existing->data)
                                     : nullptr;
        if (existing->visible || !data || data->kind != KCONST_EQUIV || !removeConstraint(name))
            return QString();
    }
    if (createElt(m_file, KCONST_EQUIV, key(name).constData(), nullptr) <= 0)
        return QString();
    return finishRule(*this, name, members, comment);
}

QString KObjFile::createNotMute(const QString& rule, const QString& element,
                                const QString& comment)
{
    const KProjectLock lock;
    if (contains(rule))
        return rule;
    if (!contains(element) || !createGroup(rule, {}, 1, 1))
        return QString();
    hide(rule);
    if (!addEltInGroup(rule, element) || !setGroupMinMaxPlay(rule, 1, 1))
        return QString();
    if (!comment.isEmpty()
        && setEltComment(m_file, key(rule).constData(), key(comment).constData()) <= 0)
        return QString();
    return rule;
}

bool KObjFile::setEltNotMute(const QString& element, bool on)
{
    const KProjectLock lock;
    const QString rule = NotMutePrefix + element;
    if (on)
        return !createNotMute(rule, element, QString()).isEmpty();
    return m_file && deleteElt(m_file, key(rule).constData()) > 0;
}

static QString equivConstName(const QString& parent)
{
    return KObjFile::EquivConstPrefix + (parent.isEmpty() ? QStringLiteral("ROOT") : parent);
}

bool KObjFile::createEquivConst(const QString& parent)
{
    const QString rule = equivConstName(parent);
    return !contains(rule) && !createEquiv(rule, {}, QString()).isEmpty();
}

bool KObjFile::addToEquivConst(const QString& element, const QString& parent)
{
    const QString rule = equivConstName(parent);
    if (contains(rule))
        return addEltInGroup(rule, element);
    return !createEquiv(rule, {element}, QString()).isEmpty();
}

bool KObjFile::removeFromEquivConst(const QString& element, const QString& parent)
{
    return removeEltFromGroup(equivConstName(parent), element);
}

bool KObjFile::removeEquivConst(const QString& parent)
{
    return removeConstraint(equivConstName(parent));
}

bool KObjFile::isUnderEquivConst(const QString& element, const QString& parent) const
{
    if (!parent.isEmpty())
        return isFather(equivConstName(parent), element);
    for (const QString& holder : getAllParents(element))
        if (holder.startsWith(EquivConstPrefix))
            return true;
    return false;
}

QString KObjFile::createRuleGroup(const QString& name, const QStringList& members,
                                  const QString& comment)
{
    if (contains(name))
        return name;
    if (!createGroup(name, members, 0, 1) && !contains(name))
        return QString();
    if (hideElt(m_file, key(name).constData()) > 0 && !comment.isEmpty())
        setEltComment(m_file, key(name).constData(), key(comment).constData());
    return name;
}

bool KObjFile::addToRuleGroup(const QString& element, const QString& group)
{
    if (group.isEmpty())
        return false;
    if (!contains(group))
        return !createRuleGroup(group, {element}, QString()).isEmpty();
    if (!addEltInGroup(group, element))
        return false;
    return setGroupMinMaxPlay(group, 0, getSubEltNbr(group));
}

bool KObjFile::removeFromRuleGroup(const QString& element, const QString& group)
{
    const bool removed = removeEltFromGroup(group, element);
    if (removed)
        setGroupMinMaxPlay(group, 0, getSubEltNbr(group));
    removeFromEquivConst(element, group);
    return removed;
}

// --- Play status --------------------------------------------------------------------------------

QStringList KObjFile::setEltStatus(const QString& name, const bool& play, const bool& rules)
{
    // An unknown element is never handed to the engine's switch.
    if (!contains(name) || elementPlays(name) == play)
        return {};
    return takeSolverList(
        changeEltStatusWithCnsttControl(m_file, key(name).constData(), rules ? 1 : 0));
}

QStringList KObjFile::setTracksStatus(bool play, bool rules)
{
    if (!m_file)
        return {};
    int count = 0;
    const char** names = tracksName(m_file, &count);
    if (!names)
        return {};
    GSList* changed = changeEltsStatusWithCnsttControl(m_file, names, count, play ? 1 : 0,
                                                       rules ? 1 : 0);
    EngineText::release(static_cast<void*>(names));
    return takeSolverList(changed);
}

QStringList KObjFile::setElementsStatus(const QStringList& names, bool play, bool rules)
{
    if (!m_file || names.isEmpty())
        return {};
    QList<QByteArray> keys;
    QList<const char*> pointers;
    keys.reserve(names.size());
    pointers.reserve(names.size());
    for (const QString& name : names)
        if (contains(name))
            pointers << keys.emplace_back(key(name)).constData();
    if (pointers.isEmpty())
        return {};
    return takeSolverList(changeEltsStatusWithCnsttControl(m_file, pointers.constData(),
                                                           int(pointers.size()), play ? 1 : 0,
                                                           rules ? 1 : 0));
}

void KObjFile::resetElementsStatus()
{
    const KProjectLock lock;
    if (!m_file)
        return;
    setAllStatusStop(m_file);
    clearCurrentMix(m_file);
}

QStringList KObjFile::checkVolConst()
{
    if (!m_file)
        return {};
    return takeSolverList(checkLevel(m_file, nullptr, 0, TMS_ALL_PLAYING));
}
