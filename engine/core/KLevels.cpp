// Level arithmetic down the group tree, level bounds and mix laws, mute and solo with their
// spreading up and down the tree, pan factors and the project's master gain and pan.
//
// Thread: the GUI thread, no lock; the playback threads read gains, pans, mute and solo.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "KElement.h"
#include "KProjectLock.h"

namespace {

bool isTrack(const KElement *elt)
{
    return elt->type == KELT_TRACK;
}

// Visible group parents, in link order.
template <typename Fn>
void forEachVisibleParent(KElement *elt, Fn fn)
{
    std::vector<KElement *> parents;
    for (GList *l = elt->parents.head; l; l = l->next) {
        KElement *parent = static_cast<KElement *>(l->data);
        if (parent->visible && parent->type == KELT_GROUP)
            parents.push_back(parent);
    }
    for (KElement *parent : parents)
        fn(parent);
}

// Members of a group element (none for a track), copied so that callees may relink.
std::vector<KElement *> membersOf(KElement *elt)
{
    std::vector<KElement *> members;
    if (KGroupData *group = KElement_groupData(elt))
        for (GList *l = group->members.head; l; l = l->next)
            members.push_back(static_cast<KElement *>(l->data));
    return members;
}

// Effective gain of `elt` from its own gain and its first visible group parent's gain.
void recomputeGain(KElement *elt)
{
    KLevels *levels = elt->levels;
    KElement *parent = KElement_getParent(elt);
    double gain = parent ? levels->ownGain * parent->levels->gain : levels->ownGain;
    levels->gain = std::isfinite(gain) ? gain : 0.0;
}

// Recomputes the effective gains of `elt` and of every element below it, parents before members.
void recomputeSubtree(KElement *elt)
{
    std::vector<KElement *> work{elt};
    while (!work.empty()) {
        KElement *e = work.back();
        work.pop_back();
        recomputeGain(e);
        std::vector<KElement *> members = membersOf(e);
        work.insert(work.end(), members.rbegin(), members.rend());
    }
}

// The set a group's mute or solo follows: its playing members, or all members when none plays.
std::vector<KElement *> followedMembers(KElement *group)
{
    std::vector<KElement *> all = membersOf(group), playing;
    for (KElement *m : all)
        if (m->status > 0)
            playing.push_back(m);
    return playing.empty() ? all : playing;
}

void recountSolo(KFile *file)
{
    int count = 0;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (e->solo)
            ++count;
    file->soloCount = count;
}

// A group is muted when every playing member is muted (so a group without a playing member is
// muted too), and unmuted when a playing member is not.
void checkMute(KElement *group)
{
    int playing = 0, muted = 0;
    for (KElement *m : membersOf(group)) {
        if (m->status <= 0)
            continue;
        ++playing;
        muted += m->mute ? 1 : 0;
    }
    int wanted = group->mute;
    // A soloed group is never muted by the check: solo and mute exclude each other.
    if (!group->mute && muted == playing && !group->solo)
        wanted = 1;
    else if (group->mute && muted < playing)
        wanted = 0;
    if (group->mute == wanted)
        return;
    group->mute = wanted;
    forEachVisibleParent(group, checkMute);
}

void checkSolo(KElement *group)
{
    std::vector<KElement *> set = followedMembers(group);
    if (set.empty())
        return;
    int wanted = std::any_of(set.begin(), set.end(), [](const KElement *m) { return m->solo != 0; })
                     ? 1
                     : 0;
    if (group->solo == wanted)
        return;
    group->solo = wanted;
    // As for a solo asked for, a soloed group is no longer muted.
    if (wanted && group->mute) {
        group->mute = 0;
        forEachVisibleParent(group, checkMute);
    }
    forEachVisibleParent(group, checkSolo);
}

void setSolo(KFile *file, KElement *elt, int value);

void setMute(KFile *file, KElement *elt, int value)
{
    if (elt->mute == value)
        return;
    elt->mute = value;
    if (value && elt->solo)
        setSolo(file, elt, 0);
    for (KElement *m : membersOf(elt))
        setMute(file, m, value);
    // The members' checks may have moved the group's flag; it keeps the value asked for.
    elt->mute = value;
    forEachVisibleParent(elt, checkMute);
}

void setSolo(KFile *file, KElement *elt, int value)
{
    if (elt->solo == value)
        return;
    elt->solo = value;
    if (value && elt->mute)
        setMute(file, elt, 0);
    forEachVisibleParent(elt, checkSolo);
    if (!KElement_groupData(elt))
        return;
    std::vector<KElement *> set = followedMembers(elt);
    bool anySoloed =
        std::any_of(set.begin(), set.end(), [](const KElement *m) { return m->solo != 0; });
    if (value != 0 && !anySoloed) {
        for (KElement *m : membersOf(elt))
            setSolo(file, m, 1);
    } else if (value == 0 && anySoloed) {
        for (KElement *m : membersOf(elt))
            setSolo(file, m, 0);
    }
    // The members' checks may have moved the group's flag; it keeps the value asked for, and the
    // groups above follow it again.
    if (elt->solo != value) {
        elt->solo = value;
        forEachVisibleParent(elt, checkSolo);
    }
}

// Walks up first visible parents: `hit` at the first element with `flag`, 0 at the first with
// `stop` or at the top.
template <typename Flag, typename Stop>
int walkUp(KElement *elt, Flag flag, Stop stop)
{
    for (KElement *e = elt; e; e = KElement_getParent(e)) {
        if (flag(e))
            return 1;
        if (stop(e))
            return 0;
    }
    return 0;
}

} // namespace

// --- Levels --------------------------------------------------------------------------------------

double KLevels_levelToGain(int level)
{
    return level <= KLEVEL_MIN ? 0.0 : cBToDouble(level);
}

int KElement_setLevels(KElement *elt, const KLevels *levels)
{
    if (!elt || !levels)
        return 0;
    KLevels *copy = KLevels_clone(levels);
    if (!copy)
        return 0;
    KLevels_delete(&elt->levels);
    elt->levels = copy;
    return 1;
}

void changeLevel(KElement *elt, int delta)
{
    if (!elt || !elt->levels)
        return;
    KLevels *levels = elt->levels;
    long target = static_cast<long>(levels->level) + delta;
    if (isTrack(elt)) {
        // A zero move only recomputes, so a track whose stored level lies out of range still
        // follows its group.
        if (delta != 0 && (target < KLEVEL_MIN || target > KLEVEL_MAX)) {
            std::fprintf(stderr, "!!! WARNING changeLevel (%s) : incorrect level value !!!\n",
                         elt->name);
            std::fprintf(stderr, "    level %d + delta %d = %ld\n", levels->level, delta, target);
            target = levels->level;
        }
    } else {
        target = std::clamp<long>(target, KLEVEL_GROUP_FLOOR, KLEVEL_GROUP_CEIL);
    }
    levels->level = static_cast<int>(target);
    levels->ownGain = KLevels_levelToGain(levels->level);
    recomputeSubtree(elt);
}

void changeMinLevel(KElement *elt, int level)
{
    if (elt && elt->levels)
        elt->levels->minLevel = level;
}

void changeMaxLevel(KElement *elt, int level)
{
    if (elt && elt->levels)
        elt->levels->maxLevel = level;
}

void changeDefLevel(KElement *elt, int level)
{
    if (!elt || !elt->levels)
        return;
    elt->levels->defaultLevel = level;
    elt->levels->defaultGain = KLevels_levelToGain(level);
}

int setDefaultLevel(KFile *file, const char *name, double level)
{
    KElement *elt = giveElt(file, name);
    if (!elt)
        return -1;
    if (!std::isfinite(level))
        return TVR_ERR_PARAM;
    double low = isTrack(elt) ? KLEVEL_MIN : KLEVEL_GROUP_FLOOR;
    double high = isTrack(elt) ? KLEVEL_MAX : KLEVEL_GROUP_CEIL;
    changeDefLevel(elt, static_cast<int>(std::clamp(std::trunc(level), low, high)));
    return 1;
}

int setMinMaxLevel(KFile *file, const char *name, int min, int max)
{
    k_checkProjectLock(file, "setMinMaxLevel");
    KElement *elt = giveElt(file, name);
    if (!elt)
        return -1;
    bool track = isTrack(elt);
    bool minGiven = min != KLEVEL_UNCHANGED, maxGiven = max != KLEVEL_UNCHANGED;
    if (minGiven && !maxGiven) {
        if (track && min < KLEVEL_MIN)
            return -3;
        changeMinLevel(elt, min);
        return 1;
    }
    if (minGiven && maxGiven) {
        if (max < min || (track && (min < KLEVEL_MIN || max > KLEVEL_MAX)))
            return -4;
        changeMinLevel(elt, min);
        changeMaxLevel(elt, max);
        return 1;
    }
    if (!maxGiven || (track && max > KLEVEL_MAX))
        return -2;
    changeMaxLevel(elt, max);
    return 1;
}

int setMixLaw(KFile *file, const char *name, int lawType, void *lawData)
{
    KElement *elt = giveElt(file, name);
    if (!elt)
        return -1;
    bool accepted = false;
    if (lawType == KMIXLAW_NONE) {
        accepted = true;
    } else if (isTrack(elt)) {
        accepted = lawType == KMIXLAW_TRACK;
    } else if (KGroupData *group = KElement_groupData(elt)) {
        switch (group->kind) {
        case KCONST_GROUP:
        case KCONST_ALL:
        case KCONST_ONE: {
            const int *bounds = static_cast<const int *>(group->kindData);
            accepted = bounds && bounds[1] >= 2;
            break;
        }
        case KCONST_IMPLY:
        case KCONST_EQUIV:
            accepted = lawType == KMIXLAW_UPCOEF;
            break;
        default:
            break;
        }
    }
    if (!accepted)
        return 0;
    if (elt->mixLawData != lawData)
        releaseBlock(elt->mixLawData);
    elt->mixLawType = lawType;
    elt->mixLawData = lawData;
    return 1;
}

int setAllLevelAtZero(KFile *file)
{
    k_checkProjectLock(file, "setAllLevelAtZero");
    if (!file)
        return -1;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
        e->levels->level = KLEVEL_MIN;
        e->levels->ownGain = 0.0;
        e->levels->gain = 0.0;
    }
    return 1;
}

int getLevel(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return elt ? elt->levels->level : KLEVEL_DEFAULT;
}

int getDefLevel(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return elt ? elt->levels->defaultLevel : KLEVEL_DEFAULT;
}

int getMinLevel(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return elt ? elt->levels->minLevel : KLEVEL_MIN;
}

int getMaxLevel(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return elt ? elt->levels->maxLevel : KLEVEL_MAX;
}

int k_getTotalPan(KElement *elt, double *left, double *right)
{
    if (!elt || !left || !right)
        return 0;
    for (KElement *e = elt; e;) {
        if (!isTrack(e) && !e->visible)
            return 0;
        if (e->pan > 0.0)
            *left *= 1.0 - e->pan;
        if (e->pan < 0.0)
            *right *= 1.0 + e->pan;
        e = KElement_getParent(e);
    }
    return 1;
}

// --- Mute and solo -------------------------------------------------------------------------------

void k_setMute(KFile *file, const char *name, int value)
{
    k_checkProjectLock(file, "k_setMute");
    KElement *elt = giveElt(file, name);
    if (!elt)
        return;
    setMute(file, elt, value ? 1 : 0);
    recountSolo(file);
}

void k_setSolo(KFile *file, const char *name, int value)
{
    k_checkProjectLock(file, "k_setSolo");
    KElement *elt = giveElt(file, name);
    if (!elt)
        return;
    setSolo(file, elt, value ? 1 : 0);
    recountSolo(file);
}

void k_checkMute(KElement *group)
{
    if (group)
        checkMute(group);
}

void k_checkSolo(KFile *file, KElement *group)
{
    if (!file || !group)
        return;
    checkSolo(group);
    recountSolo(file);
}

void k_checkMuteSolo(KFile *file, KElement *group)
{
    if (!file || !group || !group->visible || group->type != KELT_GROUP)
        return;
    checkMute(group);
    checkSolo(group);
    // A group left without members keeps no solo: it would silence everything else.
    if (group->solo && membersOf(group).empty()) {
        group->solo = 0;
        forEachVisibleParent(group, checkSolo);
    }
    recountSolo(file);
}

void k_resetSoloMute(KFile *file)
{
    if (!file)
        return;
    for (int i = 0; i < file->eltCount; ++i) {
        file->eltsById[i]->mute = 0;
        file->eltsById[i]->solo = 0;
    }
    recountSolo(file);
}

int k_isMute(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return elt ? elt->mute : 0;
}

int k_isSolo(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return elt ? elt->solo : 0;
}

int eltIsMute(KElement *elt)
{
    return walkUp(
        elt, [](const KElement *e) { return e->mute != 0; },
        [](const KElement *e) { return e->solo != 0; });
}

int eltIsSolo(KElement *elt)
{
    return walkUp(
        elt, [](const KElement *e) { return e->solo != 0; },
        [](const KElement *e) { return e->mute != 0; });
}

int eltCanPlayWithMuteSoloMode(KFile *file, KElement *elt)
{
    if (!file || !elt || (elt->status < 0 && elt->status != KSTATUS_OFF))
        return 0;
    if (file->soloCount > 0)
        return elt->solo ? 1 : 0;
    return elt->mute ? 0 : 1;
}

KTrack **getTrackSolo(KFile *file, int *count)
{
    if (count)
        *count = 0;
    if (!file || file->eltCount <= 0)
        return nullptr;
    std::vector<char> taken(static_cast<size_t>(file->eltCount), 0);
    std::vector<KTrack *> tracks;
    auto take = [&](KElement *e) {
        if (e->id >= 0 && e->id < file->eltCount && !taken[static_cast<size_t>(e->id)]) {
            taken[static_cast<size_t>(e->id)] = 1;
            tracks.push_back(static_cast<KTrack *>(e->data));
        }
    };
    for (int i = 0; i < file->eltCount; ++i) {
        KElement *e = file->eltsById[i];
        if (isTrack(e) && e->solo)
            take(e);
    }
    for (int i = 0; i < file->eltCount; ++i) {
        KElement *group = file->eltsById[i];
        if (group->type != KELT_GROUP || !group->solo)
            continue;
        // Every unmuted member below the soloed group, at any depth.
        std::vector<KElement *> work = membersOf(group);
        while (!work.empty()) {
            KElement *e = work.back();
            work.pop_back();
            if (e->mute)
                continue;
            if (isTrack(e))
                take(e);
            else {
                std::vector<KElement *> members = membersOf(e);
                work.insert(work.end(), members.begin(), members.end());
            }
        }
    }
    if (tracks.empty())
        return nullptr;
    KTrack **array = static_cast<KTrack **>(tvr_calloc(tracks.size(), sizeof(KTrack *)));
    if (!array)
        return nullptr;
    std::copy(tracks.begin(), tracks.end(), array);
    if (count)
        *count = static_cast<int>(tracks.size());
    return array;
}

// --- Master --------------------------------------------------------------------------------------

int k_setMasterLvl(KFile *file, double gain)
{
    if (!file)
        return 0;
    if (std::isnan(gain))
        return TVR_ERR_PARAM;
    file->masterGain = std::clamp(gain, 0.0, KMASTER_GAIN_MAX);
    return 1;
}

double k_getMasterLvl(KFile *file)
{
    return file ? file->masterGain : 1.0;
}

int k_setMasterPan(KFile *file, double pan)
{
    if (!file)
        return 0;
    if (std::isnan(pan))
        return TVR_ERR_PARAM;
    file->masterPan = std::clamp(pan, -1.0, 1.0);
    return 1;
}

double k_getMasterPan(KFile *file)
{
    return file ? file->masterPan : 0.0;
}
