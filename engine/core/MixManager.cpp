// The project's mix manager (stored mixes, default mix, mix on play, current mix) and the
// project-level selection operations built on it: storing and applying mixes, default mixes,
// relinking mixes after a description is read.
//
// Thread: the GUI thread (or a worker that owns the project), no lock. The playback threads read
// the current mix and the mix on play.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "KElement.h"
#include "KEqual.h"

namespace {

const char *trackName(const KTrack *track)
{
    return (track && track->elt) ? track->elt->name : nullptr;
}

// Switches an element on or off unless it already is.
void setPlaying(KElement *elt, bool on)
{
    if (elt && (elt->status > 0) != on)
        g_slist_free(moveStatusWithReturn(nullptr, elt));
}

// Calls fn on every stored mix (in stored order) and on the current mix.
template <typename Fn>
void forEachMixOf(MixManager *manager, Fn fn)
{
    for (GList *l = manager->order.head; l; l = l->next)
        fn(static_cast<KMix *>(l->data));
    if (manager->current)
        fn(manager->current);
}

// Relinks the mix's tracks by name to the project's own tracks; false when a listed name is not
// one of them (the entry is dropped). Repeats are dropped too, the first place kept.
bool relinkTracks(KFile *file, KMix *mix)
{
    bool complete = true;
    std::unordered_set<const KTrack *> seen;
    GSList *linked = nullptr;
    for (GSList *l = mix->tracks; l; l = l->next) {
        const char *name = trackName(static_cast<const KTrack *>(l->data));
        KTrack *own = name ? giveTrack(file, name) : nullptr;
        if (!own) {
            std::fprintf(stderr,
                         "!!! WARNING updateMix : mix \"%s\" lists an unknown track \"%s\"\n",
                         mix->name ? mix->name : "", name ? name : "");
            complete = false;
        } else if (seen.insert(own).second) {
            linked = g_slist_prepend(linked, own);
        }
    }
    g_slist_free(mix->tracks);
    mix->tracks = g_slist_reverse(linked);
    mix->trackCount = static_cast<int>(seen.size());
    return complete;
}

// Appends tracks to a mix as KMix_addTrack does (a listed name is skipped; a new track brings its
// element's default gain), but keeps the listed names in a set and the list's last cell, so that
// filling a mix of n tracks takes n steps rather than n squared. Nothing else may change the
// mix's track list while the appender is in use.
class TrackAppender {
public:
    explicit TrackAppender(KMix *mix) : mix_(mix)
    {
        for (GSList *l = mix->tracks; l; l = l->next) {
            if (const char *name = trackName(static_cast<const KTrack *>(l->data)))
                names_.insert(name);
            tail_ = l;
        }
    }

    bool listed(const char *name) const { return names_.count(name) != 0; }

    // The codes of KMix_addTrack: 1 (also for a listed name), -101, -102.
    int add(KTrack *track)
    {
        const char *name = trackName(track);
        if (!name)
            return TVR_ERR_PARAM;
        if (!names_.insert(name).second)
            return TVR_OK;
        int result = KMix_addLevelToElt(mix_, name, track->elt->levels->defaultGain);
        if (result != TVR_OK) {
            names_.erase(name);
            return result;
        }
        GSList *cell = g_slist_prepend(nullptr, track);
        (tail_ ? tail_->next : mix_->tracks) = cell;
        tail_ = cell;
        ++mix_->trackCount;
        return TVR_OK;
    }

private:
    KMix *mix_;
    std::unordered_set<std::string_view> names_; // point into the tracks' elements
    GSList *tail_ = nullptr;
};

// Names into a new engine array (the strings stay the model's); null for none.
const char **nameArray(const std::vector<const char *> &names)
{
    if (names.empty())
        return nullptr;
    const char **array = newNameArray(static_cast<int>(names.size()));
    if (array)
        std::copy(names.begin(), names.end(), array);
    return array;
}

// A new unnamed mix of every track in creation order; null on memory failure.
KMix *mixOfAllTracks(KFile *file)
{
    KMix *mix = KMix_new();
    if (!mix)
        return nullptr;
    TrackAppender appender(mix);
    for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
        KTrack *track = KElement_track(e);
        if (track && appender.add(track) != TVR_OK) {
            KMix_delete(&mix);
            return nullptr;
        }
    }
    return mix;
}

// Stores `mix` under `name` when it holds tracks; otherwise frees it. The codes of
// createDefaultSlct.
int storeIfTracks(KFile *file, KMix *mix, const char *name)
{
    if (!mix || KMix_setName(mix, name) != 1) {
        KMix_delete(&mix);
        return TVR_ERR_MEMORY;
    }
    if (mix->trackCount == 0) {
        KMix_delete(&mix);
        return TVR_ERR_ELT_ORGANISATION;
    }
    int result = MixManager_addMix(file->mixes, mix);
    if (result != TVR_OK)
        KMix_delete(&mix);
    return result;
}

} // namespace

// --- Manager -------------------------------------------------------------------------------------

int MixManager_getMixNbr(const MixManager *manager)
{
    return manager ? static_cast<int>(g_hash_table_size(manager->mixes)) : TVR_ERR_PARAM;
}

KMix *MixManager_getMix(const MixManager *manager, const char *name)
{
    if (!manager || !name)
        return nullptr;
    return static_cast<KMix *>(g_hash_table_lookup(manager->mixes, name));
}

int MixManager_forEachMix(MixManager *manager, void (*function)(const char *, KMix *, void *),
                          void *data)
{
    if (!manager || !function)
        return TVR_ERR_PARAM;
    for (GList *l = manager->order.head; l;) {
        GList *next = l->next;
        KMix *mix = static_cast<KMix *>(l->data);
        function(mix->name, mix, data);
        l = next;
    }
    return TVR_OK;
}

KMix *MixManager_getCurrentMix(MixManager *manager)
{
    if (!manager)
        return nullptr;
    KMix_fixCurrentLevels(manager->current);
    return manager->current;
}

KMix *MixManager_getDefaultMix(const MixManager *manager)
{
    return manager ? manager->defaultMix : nullptr;
}

const char *MixManager_MixOnPlay(const MixManager *manager)
{
    return manager ? manager->onPlay : nullptr;
}

void MixManager_outOfMix(MixManager *manager)
{
    if (!manager)
        return;
    releaseBlock(manager->onPlay);
    manager->onPlay = nullptr;
    if (manager->current) {
        manager->current->masterGain = 1.0;
        manager->current->masterPan = 0.0;
    }
}

int MixManager_clearCurrentMix(MixManager *manager)
{
    if (!manager || !manager->current)
        return TVR_ERR_PARAM;
    int result = KMix_clear(manager->current);
    MixManager_outOfMix(manager);
    return result;
}

int MixManager_addTrackInCurMix(MixManager *manager, KTrack *track)
{
    if (!manager || !track)
        return TVR_ERR_PARAM;
    int result = KMix_addTrack(manager->current, track);
    if (result == TVR_OK)
        MixManager_outOfMix(manager);
    return result;
}

int MixManager_removeTrackFromCurMix(MixManager *manager, KTrack *track)
{
    if (!manager || !track)
        return TVR_ERR_PARAM;
    int result = KMix_removeTrack(manager->current, track);
    if (result == TVR_OK)
        MixManager_outOfMix(manager);
    return result;
}

int MixManager_renameElt(MixManager *manager, const char *oldName, const char *newName)
{
    if (!manager || !oldName || !newName)
        return TVR_ERR_PARAM;
    int result = TVR_OK;
    forEachMixOf(manager, [&](KMix *mix) {
        int r = KMix_renameElt(mix, oldName, newName);
        if (r != TVR_OK)
            result = r;
    });
    return result;
}

int MixManager_addMix(MixManager *manager, KMix *mix)
{
    if (!manager || !mix || !mix->name || mix == manager->current)
        return TVR_ERR_PARAM;
    KMix *old = MixManager_getMix(manager, mix->name);
    if (old == mix) {
        if (!manager->defaultMix)
            manager->defaultMix = mix;
        return TVR_OK;
    }
    if (old) {
        // The new mix takes the replaced one's place and roles; nothing else holds a stored mix.
        g_hash_table_steal(manager->mixes, old->name);
        if (GList *place = g_queue_find(&manager->order, old))
            place->data = mix;
        else
            g_queue_push_tail(&manager->order, mix);
        if (manager->defaultMix == old)
            manager->defaultMix = mix;
        KMix_delete(&old);
    } else {
        g_queue_push_tail(&manager->order, mix);
    }
    g_hash_table_insert(manager->mixes, mix->name, mix);
    if (!manager->defaultMix)
        manager->defaultMix = mix;
    return TVR_OK;
}

int MixManager_removeMix(MixManager *manager, const char *name)
{
    if (!manager || !name)
        return TVR_ERR_PARAM;
    KMix *mix = MixManager_getMix(manager, name);
    if (!mix)
        return TVR_ERR_NOT_FOUND;
    g_hash_table_remove(manager->mixes, mix->name);
    g_queue_remove(&manager->order, mix);
    // The default passes to the first other stored mix; a mix on play leaves none on play.
    if (manager->defaultMix == mix)
        manager->defaultMix = static_cast<KMix *>(g_queue_peek_head(&manager->order));
    if (manager->onPlay && std::strcmp(manager->onPlay, mix->name) == 0)
        MixManager_outOfMix(manager);
    return TVR_OK;
}

int MixManager_removeMixLink(MixManager *manager, const char *name)
{
    return MixManager_removeMix(manager, name);
}

int MixManager_setMixAsDef(MixManager *manager, const char *name)
{
    if (!manager || !name)
        return TVR_ERR_PARAM;
    KMix *mix = MixManager_getMix(manager, name);
    if (!mix)
        return -1;
    manager->defaultMix = mix;
    return TVR_OK;
}

int MixManager_renameMix(MixManager *manager, const char *oldName, const char *newName)
{
    KMix *mix = manager ? MixManager_getMix(manager, oldName) : nullptr;
    if (!mix)
        return TVR_ERR_MIX_CORRUPTED;
    if (!newName || !*newName || MixManager_getMix(manager, newName))
        return TVR_ERR_PARAM;
    bool onPlay = manager->onPlay && std::strcmp(manager->onPlay, mix->name) == 0;
    char *playName = onPlay ? copyString(newName) : nullptr;
    if (onPlay && !playName)
        return TVR_ERR_MEMORY;
    // Re-filed in place: the order, the default role and the mix on play stay with the mix.
    g_hash_table_steal(manager->mixes, mix->name);
    int result = KMix_setName(mix, newName);
    g_hash_table_insert(manager->mixes, mix->name, mix);
    if (result != TVR_OK) {
        releaseBlock(playName);
        return result;
    }
    if (onPlay) {
        releaseBlock(manager->onPlay);
        manager->onPlay = playName;
    }
    return TVR_OK;
}

void MixManager_setMixOnPlay(MixManager *manager, const char *name)
{
    if (!manager)
        return;
    KMix *mix = MixManager_getMix(manager, name);
    char *copy = mix ? copyString(mix->name) : nullptr;
    if (!copy) {
        MixManager_outOfMix(manager);
        return;
    }
    releaseBlock(manager->onPlay);
    manager->onPlay = copy;
    manager->current->masterGain = mix->masterGain;
    manager->current->masterPan = mix->masterPan;
}

int MixManager_setMixAsCur(MixManager *manager, KMix *mix, int switchStatus)
{
    if (!manager || !mix || !manager->current)
        return TVR_ERR_PARAM;
    KMix *current = manager->current;
    if (mix != current) {
        // Names are looked up in sets built once: a walk of a list per track would make
        // applying a mix cost the square of its size.
        std::unordered_set<std::string_view> wanted;
        for (GSList *l = mix->tracks; l; l = l->next)
            if (const char *name = trackName(static_cast<const KTrack *>(l->data)))
                wanted.insert(name);
        // One pass over the current list drops the tracks the mix does not list (with their
        // gains), in list order; a track without a name stays.
        bool removed = false;
        for (GSList **link = &current->tracks; *link;) {
            GSList *cell = *link;
            KTrack *track = static_cast<KTrack *>(cell->data);
            const char *name = trackName(track);
            if (!name || wanted.count(name)) {
                link = &cell->next;
                continue;
            }
            *link = cell->next;
            g_slist_free_1(cell);
            g_hash_table_remove(current->levels, name);
            removed = true;
            if (switchStatus)
                setPlaying(track->elt, false);
        }
        if (removed)
            current->trackCount = static_cast<int>(g_slist_length(current->tracks));
        TrackAppender appender(current);
        for (GSList *l = mix->tracks; l; l = l->next) {
            KTrack *track = static_cast<KTrack *>(l->data);
            const char *name = trackName(track);
            if (!name || appender.listed(name))
                continue;
            appender.add(track);
            if (switchStatus)
                setPlaying(track->elt, true);
        }
    }
    MixManager_setMixOnPlay(manager, mix->name);
    return TVR_OK;
}

// --- Project-level operations --------------------------------------------------------------------

KMix *findThisSlct(KFile *file, const char *name)
{
    return file ? MixManager_getMix(file->mixes, name) : nullptr;
}

KMix *findASlct(KFile *file, const char *name)
{
    KMix *mix = findThisSlct(file, name);
    return mix ? mix : giveSlct(file);
}

KMix *giveSlct(KFile *file)
{
    return file ? MixManager_getCurrentMix(file->mixes) : nullptr;
}

KMix *getCurrentSlct(KFile *file)
{
    return giveSlct(file);
}

int getNbSlct(KFile *file)
{
    return (file && file->mixes) ? MixManager_getMixNbr(file->mixes) : 0;
}

int setSlctAsDef(KFile *file, const char *name)
{
    return file ? MixManager_setMixAsDef(file->mixes, name) : TVR_ERR_PARAM;
}

int addSlct(KFile *file, KMix *mix, int flag)
{
    if (!file)
        return TVR_ERR_PARAM;
    int result = MixManager_addMix(file->mixes, mix);
    if (result <= 0)
        return result;
    if (flag == KSLCT_AS_DEFAULT) {
        result = MixManager_setMixAsDef(file->mixes, mix->name);
        if (result <= 0)
            return result;
    }
    return TVR_OK;
}

int deleteSlct(KFile *file, const char *name)
{
    return file ? MixManager_removeMix(file->mixes, name) : TVR_ERR_PARAM;
}

KMix *newSlct(GSList *tracks, const char *name)
{
    KMix *mix = KMix_create(name);
    if (!mix)
        return nullptr;
    TrackAppender appender(mix);
    for (GSList *l = tracks; l; l = l->next) {
        if (appender.add(static_cast<KTrack *>(l->data)) == TVR_ERR_MEMORY) {
            KMix_delete(&mix);
            return nullptr;
        }
    }
    return mix;
}

int initLevel(KFile *file, const char *name)
{
    KMix *mix = findThisSlct(file, name);
    return (mix && mix->trackCount > 0) ? 1 : -1;
}

int isInSlct(KFile *file, const char *trackName, const char *mixName)
{
    return KMix_isInMix(findThisSlct(file, mixName), trackName);
}

int isSelected(KFile *file, const char *trackName)
{
    // The track list alone answers: no need to rebuild the gains.
    return (file && file->mixes) ? KMix_isInMix(file->mixes->current, trackName) : 0;
}

int selectedTracksNbr(KFile *file)
{
    return (file && file->mixes && file->mixes->current) ? file->mixes->current->trackCount : 0;
}

const char **selectedTracksName(KFile *file)
{
    if (!file || !file->mixes || !file->mixes->current)
        return nullptr;
    std::vector<const char *> names;
    for (GSList *l = file->mixes->current->tracks; l; l = l->next)
        if (const char *name = trackName(static_cast<const KTrack *>(l->data)))
            names.push_back(name);
    return nameArray(names);
}

const char **giveSlctName(KFile *file, int *count)
{
    if (count)
        *count = 0;
    if (!file || !file->mixes)
        return nullptr;
    MixManager *manager = file->mixes;
    std::vector<const char *> names;
    if (manager->defaultMix)
        names.push_back(manager->defaultMix->name);
    for (GList *l = manager->order.head; l; l = l->next)
        if (l->data != manager->defaultMix)
            names.push_back(static_cast<KMix *>(l->data)->name);
    const char **array = nameArray(names);
    if (array && count)
        *count = static_cast<int>(names.size());
    return array;
}

int addTrackInCurrentMix(KFile *file, const char *trackName)
{
    KTrack *track = giveTrack(file, trackName);
    return track ? MixManager_addTrackInCurMix(file->mixes, track) : TVR_ERR_PARAM;
}

int removeTrackFromCurrentMix(KFile *file, const char *trackName)
{
    KTrack *track = giveTrack(file, trackName);
    return track ? MixManager_removeTrackFromCurMix(file->mixes, track) : TVR_ERR_PARAM;
}

int addMixInCurrentMix(KFile *file, GSList *tracks)
{
    if (!file || !tracks)
        return TVR_ERR_PARAM;
    int result = TVR_OK;
    for (GSList *l = tracks; l; l = l->next) {
        int r = MixManager_addTrackInCurMix(file->mixes, static_cast<KTrack *>(l->data));
        if (r <= 0 && result > 0)
            result = r;
    }
    return result;
}

int clearCurrentMix(KFile *file)
{
    return file ? MixManager_clearCurrentMix(file->mixes) : TVR_ERR_PARAM;
}

int renameEltInAllMix(KFile *file, const char *oldName, const char *newName)
{
    if (!giveElt(file, oldName))
        return TVR_ERR_PARAM;
    return MixManager_renameElt(file->mixes, oldName, newName);
}

int removeTrackFromAllSlct(KFile *file, const char *trackName)
{
    if (!file || !trackName)
        return TVR_ERR_PARAM;
    if (!isATrack(file, trackName))
        return TVR_OK;
    forEachMixOf(file->mixes, [trackName](KMix *mix) { KMix_removeTrackName(mix, trackName); });
    return TVR_OK;
}

int removeEltFromAllMix(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    if (elt)
        forEachMixOf(file->mixes, [elt](KMix *mix) { KMix_removeElt(mix, elt); });
    return TVR_OK;
}

int k_saveCurrentSlctToMix(KFile *file, const char *mixName)
{
    KMix *mix = findThisSlct(file, mixName);
    if (!mix)
        return 0;
    g_slist_free(mix->tracks);
    mix->tracks = g_slist_copy(file->mixes->current->tracks);
    mix->trackCount = file->mixes->current->trackCount;
    return TVR_OK;
}

int k_setCurrentLevelsInMix(KFile *file, KMix *mix)
{
    if (!file || !mix)
        return TVR_ERR_PARAM;
    if (mix->trackCount <= 0)
        return TVR_OK;
    int result = TVR_OK;
    for (int i = 0; i < file->eltCount; ++i) {
        KElement *e = file->eltsById[i];
        if (e->status > 0 && (e->type == KELT_TRACK || e->visible)) {
            int r = KMix_addLevelToElt(mix, e->name, e->levels->ownGain);
            if (r != TVR_OK)
                result = r;
        }
    }
    return result;
}

int saveCurrentSlct(KFile *file, const char *name)
{
    if (!file || !file->mixes || !name || !*name)
        return -1;
    MixManager *manager = file->mixes;
    KMix *old = MixManager_getMix(manager, name);
    bool wasDefault = old && old == manager->defaultMix;
    KMix *current = MixManager_getCurrentMix(manager);
    KMix *mix = current ? KMix_clone(current) : KMix_new();
    if (!mix)
        return -12;
    // A replaced mix is freed by addSlct, and `name` may be its name: name the new one first.
    if (k_setCurrentLevelsInMix(file, mix) != TVR_OK || KMix_setName(mix, name) != TVR_OK ||
        addSlct(file, mix, wasDefault ? KSLCT_AS_DEFAULT : 0) != TVR_OK) {
        KMix_delete(&mix);
        return -12;
    }
    MixManager_setMixOnPlay(manager, mix->name);
    return TVR_OK;
}

int k_applyLevelsFromMix(KFile *file, KMix *mix)
{
    if (!file || !mix)
        return TVR_ERR_PARAM;
    for (int i = 0; i < file->eltCount; ++i) {
        KElement *e = file->eltsById[i];
        if (e->status < 1)
            continue;
        double gain = KMix_getLevel(mix, e->name);
        // No entry (or a gain that is not one) gives the default level; a gain below the
        // bottom of the scale is silence.
        int target = gain >= 0.0 ? std::max(doubleToCB(gain), static_cast<int>(KLEVEL_MIN))
                                 : e->levels->defaultLevel;
        changeLevel(e, target - e->levels->level);
    }
    return TVR_OK;
}

int setMixAsCurrentMix(KFile *file, KMix *mix, int switchStatus)
{
    if (!file || !mix)
        return TVR_ERR_PARAM;
    int result = MixManager_setMixAsCur(file->mixes, mix, switchStatus);
    if (result != TVR_OK)
        return result;
    return k_applyLevelsFromMix(file, mix);
}

int setDefSlct(KFile *file)
{
    if (!file || !file->mixes)
        return -1;
    KMix *mix = file->mixes->defaultMix;
    return mix ? setMixAsCurrentMix(file, mix, 1) : 0;
}

int chooseSlct(KFile *file, const char *name)
{
    int result = setMixAsCurrentMix(file, findASlct(file, name), 1);
    if (result != TVR_OK)
        return result;
    return initLevel(file, name);
}

int updateMix(KFile *file)
{
    if (!file || !file->mixes)
        return TVR_ERR_PARAM;
    bool complete = true;
    for (GList *l = file->mixes->order.head; l; l = l->next)
        complete = relinkTracks(file, static_cast<KMix *>(l->data)) && complete;
    if (!complete)
        return TVR_ERR_MIX_CORRUPTED;
    if (file->mixes->defaultMix && setDefSlct(file) != TVR_OK)
        return TVR_ERR_MIX_MANAGER;
    return TVR_OK;
}

int updateSomeMix(KFile *file, GSList *mixNames)
{
    if (!file || !file->mixes)
        return TVR_ERR_PARAM;
    std::vector<KMix *> mixes;
    for (GSList *l = mixNames; l; l = l->next) {
        KMix *mix = findThisSlct(file, static_cast<const char *>(l->data));
        if (!mix)
            return TVR_ERR_NOT_FOUND;
        mixes.push_back(mix);
    }
    bool complete = true;
    for (KMix *mix : mixes)
        complete = relinkTracks(file, mix) && complete;
    return complete ? TVR_OK : TVR_ERR_MIX_CORRUPTED;
}

int createDefaultMix(KFile *file)
{
    if (!file || !file->mixes)
        return TVR_ERR_PARAM;
    if (tracksNbr(file) <= 0)
        return TVR_ERR_ELT_TABLE;
    int result = storeIfTracks(file, mixOfAllTracks(file), KMIX_DEFAULT_SELECTION);
    return result == TVR_ERR_ELT_ORGANISATION ? TVR_ERR_ELT_TABLE : result;
}

int createDefaultSlct(KFile *file, const char *name)
{
    if (!file || !file->mixes || !name || !*name)
        return TVR_ERR_PARAM;
    if (!file->firstCreated)
        return TVR_ERR_NOT_FOUND;
    // From every group, the first track reached down the first members of visible groups.
    KMix *mix = KMix_new();
    if (!mix)
        return TVR_ERR_MEMORY;
    TrackAppender appender(mix);
    for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
        KElement *reached = e;
        while (KGroupData *group = KElement_groupData(reached)) {
            if (!reached->visible || !group->members.head)
                break;
            reached = static_cast<KElement *>(group->members.head->data);
        }
        KTrack *track = reached != e ? KElement_track(reached) : nullptr;
        if (track && appender.add(track) != TVR_OK) {
            KMix_delete(&mix);
            break;
        }
    }
    // A stored mix of that name is replaced only by a mix that holds tracks.
    return storeIfTracks(file, mix, name);
}

int createDefaultSlctWithAllTracks(KFile *file, const char *name)
{
    if (!file || !file->mixes || !name || !*name)
        return TVR_ERR_PARAM;
    if (!file->firstCreated)
        return TVR_ERR_NOT_FOUND;
    return storeIfTracks(file, mixOfAllTracks(file), name);
}

_KEqualization *k_getMixMastering(KFile *file, const char *mixName)
{
    return KMix_getMastering(findThisSlct(file, mixName));
}

int k_setMixMastering(KFile *file, const char *mixName, const _KEqualization *curve)
{
    KMix *mix = findThisSlct(file, mixName);
    return (mix && KMix_setMastering(mix, curve) == TVR_OK) ? 1 : 0;
}

void tvr_debug_slct(KFile *)
{
}

char *TovraNextConfigName(KFile *file)
{
    if (!file)
        return nullptr;
    char buffer[32];
    for (long n = static_cast<long>(file->slctCounter) + 1;; ++n) {
        std::snprintf(buffer, sizeof buffer, "Selection_%ld", n);
        if (!findThisSlct(file, buffer))
            return copyString(buffer);
    }
}
