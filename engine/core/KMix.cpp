// Operations on one mix: its track list, its gain table and its mastering curve.
//
// Thread: the GUI thread (or a worker that owns the project), no lock.
#include <cstring>
#include <list>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "KElement.h"
#include "KEqual.h"

namespace {

const char *trackName(const KTrack *track)
{
    return (track && track->elt) ? track->elt->name : nullptr;
}

// The listed track of that name, or null.
KTrack *listedTrack(const KMix *mix, const char *name)
{
    for (GSList *l = mix->tracks; l; l = l->next) {
        const char *listed = trackName(static_cast<const KTrack *>(l->data));
        if (listed && std::strcmp(listed, name) == 0)
            return static_cast<KTrack *>(l->data);
    }
    return nullptr;
}

// Stores (or replaces) the gain entry of `name` with owned key and value.
int putLevel(KMix *mix, const char *name, double gain)
{
    char *key = copyString(name);
    double *value = static_cast<double *>(tvr_malloc(sizeof(double)));
    if (!key || !value) {
        releaseBlock(key);
        releaseBlock(value);
        return TVR_ERR_MEMORY;
    }
    *value = gain;
    g_hash_table_replace(mix->levels, key, value);
    return TVR_OK;
}

// KMix_removeElt below a group: a group without a gain entry is left alone (1); otherwise its
// entry goes and so do its members', recursively; member tracks are gathered into `tracks` for
// the caller to take out of the list. The first result at most 0, else 1.
int removeGroupEntries(KMix *mix, KElement *elt, std::unordered_set<const KTrack *> &tracks)
{
    if (!elt || !elt->name)
        return TVR_ERR_PARAM;
    if (KTrack *track = KElement_track(elt)) {
        const char *name = trackName(track);
        if (!name)
            return TVR_ERR_PARAM;
        tracks.insert(track);
        g_hash_table_remove(mix->levels, name);
        return TVR_OK;
    }
    if (!g_hash_table_remove(mix->levels, elt->name))
        return TVR_OK;
    int result = TVR_OK;
    if (KGroupData *group = KElement_groupData(elt)) {
        std::vector<KElement *> members;
        for (GList *l = group->members.head; l; l = l->next)
            members.push_back(static_cast<KElement *>(l->data));
        for (KElement *m : members) {
            int r = removeGroupEntries(mix, m, tracks);
            if (r <= 0 && result > 0)
                result = r;
        }
    }
    return result;
}

} // namespace

int KMix_setName(KMix *mix, const char *name)
{
    if (!mix || !name)
        return 0;
    // Copy first: `name` may be the mix's own name.
    char *copy = copyString(name);
    if (!copy)
        return TVR_ERR_MEMORY;
    releaseBlock(mix->name);
    mix->name = copy;
    return 1;
}

int KMix_clear(KMix *mix)
{
    if (!mix)
        return TVR_ERR_PARAM;
    g_slist_free(mix->tracks);
    mix->tracks = nullptr;
    mix->trackCount = 0;
    g_hash_table_remove_all(mix->levels);
    KEqual_delete(&mix->mastering);
    return TVR_OK;
}

int KMix_addTrack(KMix *mix, KTrack *track)
{
    const char *name = trackName(track);
    if (!mix || !name)
        return TVR_ERR_PARAM;
    if (listedTrack(mix, name))
        return TVR_OK;
    int result = putLevel(mix, name, track->elt->levels->defaultGain);
    if (result != TVR_OK)
        return result;
    mix->tracks = g_slist_append(mix->tracks, track);
    ++mix->trackCount;
    return TVR_OK;
}

int KMix_removeTrack(KMix *mix, KTrack *track)
{
    const char *name = trackName(track);
    if (!mix || !name)
        return TVR_ERR_PARAM;
    if (g_slist_find(mix->tracks, track)) {
        mix->tracks = g_slist_remove_all(mix->tracks, track);
        mix->trackCount = static_cast<int>(g_slist_length(mix->tracks));
    }
    g_hash_table_remove(mix->levels, name);
    return TVR_OK;
}

int KMix_followTracks(KMix *mix, KTrack *const *tracks, const char *plays, int count)
{
    if (!mix || (count > 0 && (!tracks || !plays)))
        return TVR_ERR_PARAM;
    std::list<KTrack *> order;
    std::unordered_map<std::string, std::list<KTrack *>::iterator> listed;
    for (GSList *l = mix->tracks; l; l = l->next) {
        KTrack *track = static_cast<KTrack *>(l->data);
        auto at = order.insert(order.end(), track);
        if (const char *name = trackName(track))
            listed.emplace(name, at);
    }
    for (int i = 0; i < count; ++i) {
        KTrack *track = tracks[i];
        const char *name = trackName(track);
        if (!name)
            continue;
        auto found = listed.find(name);
        if (plays[i]) {
            if (found != listed.end() ||
                putLevel(mix, name, track->elt->levels->defaultGain) != TVR_OK)
                continue;
            listed.emplace(name, order.insert(order.end(), track));
        } else {
            // As KMix_removeTrack: the list entry goes when it is this very track.
            if (found != listed.end() && *found->second == track) {
                order.erase(found->second);
                listed.erase(found);
            }
            g_hash_table_remove(mix->levels, name);
        }
    }
    GSList *rebuilt = nullptr;
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        rebuilt = g_slist_prepend(rebuilt, *it);
    g_slist_free(mix->tracks);
    mix->tracks = rebuilt;
    mix->trackCount = static_cast<int>(order.size());
    return TVR_OK;
}

int KMix_isInMix(const KMix *mix, const char *name)
{
    return (mix && name && listedTrack(mix, name)) ? 1 : 0;
}

int KMix_trackIndex(const KMix *mix, const char *name)
{
    if (!mix || !name)
        return TVR_ERR_PARAM;
    int index = 0;
    for (GSList *l = mix->tracks; l; l = l->next, ++index) {
        const char *listed = trackName(static_cast<const KTrack *>(l->data));
        if (listed && std::strcmp(listed, name) == 0)
            return index;
    }
    return -1;
}

int KMix_removeTrackName(KMix *mix, const char *name)
{
    if (!mix || !name)
        return TVR_ERR_PARAM;
    KTrack *track = listedTrack(mix, name);
    return track ? KMix_removeTrack(mix, track) : TVR_ERR_NOT_FOUND;
}

int KMix_removeElt(KMix *mix, KElement *elt)
{
    if (!mix || !elt || !elt->name)
        return TVR_ERR_PARAM;
    if (KTrack *track = KElement_track(elt))
        return KMix_removeTrack(mix, track);
    // A group's member tracks are gathered and leave the list in one pass: removing them one by
    // one would walk the list once per member.
    std::unordered_set<const KTrack *> tracks;
    int result = removeGroupEntries(mix, elt, tracks);
    if (!tracks.empty()) {
        bool removed = false;
        for (GSList **link = &mix->tracks; *link;) {
            GSList *cell = *link;
            if (tracks.count(static_cast<const KTrack *>(cell->data))) {
                *link = cell->next;
                g_slist_free_1(cell);
                removed = true;
            } else {
                link = &cell->next;
            }
        }
        if (removed)
            mix->trackCount = static_cast<int>(g_slist_length(mix->tracks));
    }
    return result;
}

int KMix_addLevelToElt(KMix *mix, const char *name, double gain)
{
    if (!mix || !name)
        return TVR_ERR_PARAM;
    return putLevel(mix, name, gain);
}

int KMix_addLevelsToElts(KMix *mix, const char **names, const double *gains, int n)
{
    if (!mix || !names || !gains || n <= 0)
        return TVR_ERR_PARAM;
    for (int i = 0; i < n; ++i) {
        int result = KMix_addLevelToElt(mix, names[i], gains[i]);
        if (result != TVR_OK)
            return result;
    }
    return TVR_OK;
}

int KMix_renameElt(KMix *mix, const char *oldName, const char *newName)
{
    if (!mix || !oldName || !newName)
        return TVR_ERR_PARAM;
    gpointer key, value;
    if (!g_hash_table_lookup_extended(mix->levels, oldName, &key, &value))
        return TVR_OK;
    char *newKey = copyString(newName);
    if (!newKey)
        return TVR_ERR_MEMORY;
    g_hash_table_steal(mix->levels, key);
    releaseBlock(key);
    g_hash_table_replace(mix->levels, newKey, value);
    return TVR_OK;
}

double KMix_getLevel(const KMix *mix, const char *name)
{
    if (!mix || !name)
        return -1.0;
    const double *gain = static_cast<const double *>(g_hash_table_lookup(mix->levels, name));
    return gain ? *gain : -1.0;
}

int KMix_fixCurrentLevels(KMix *mix)
{
    if (!mix)
        return TVR_ERR_PARAM;
    g_hash_table_remove_all(mix->levels);
    int result = TVR_OK;
    for (GSList *l = mix->tracks; l; l = l->next) {
        const KTrack *track = static_cast<const KTrack *>(l->data);
        for (KElement *e = track ? track->elt : nullptr; e; e = KElement_getParent(e)) {
            int r = putLevel(mix, e->name, e->levels->ownGain);
            if (r != TVR_OK)
                result = r;
        }
    }
    return result;
}

int KMix_setMastering(KMix *mix, const _KEqualization *curve)
{
    if (!mix)
        return -1;
    if (!curve)
        return TVR_ERR_PARAM;
    if (mix->mastering)
        return KEqual_copy(mix->mastering, curve) ? TVR_OK : TVR_ERR_MEMORY;
    mix->mastering = KEqual_clone(curve);
    return mix->mastering ? TVR_OK : TVR_ERR_MEMORY;
}

_KEqualization *KMix_getMastering(const KMix *mix)
{
    return mix ? mix->mastering : nullptr;
}
