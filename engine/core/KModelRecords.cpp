// Construction, release and copying of the records a project owns beside its elements: the
// levels record, the mixes and the mix manager.
#include <cstring>

#include "KElement.h"
#include "KEqual.h"

// --- Levels ------------------------------------------------------------------------------------

KLevels *KLevels_new(void)
{
    KLevels *levels = static_cast<KLevels *>(tvr_malloc(sizeof(KLevels)));
    return levels ? KLevels_init(levels) : nullptr;
}

KLevels *KLevels_init(KLevels *levels)
{
    if (!levels)
        return nullptr;
    levels->gain = 1.0;
    levels->ownGain = 1.0;
    levels->defaultGain = 1.0;
    levels->lawBound1 = 0.0;
    levels->lawBound2 = 4.0;
    levels->law = 0;
    levels->level = KLEVEL_DEFAULT;
    levels->defaultLevel = KLEVEL_DEFAULT;
    levels->minLevel = KLEVEL_MIN;
    levels->maxLevel = KLEVEL_MAX;
    return levels;
}

KLevels *KLevels_clone(const KLevels *levels)
{
    if (!levels)
        return nullptr;
    KLevels *copy = static_cast<KLevels *>(tvr_malloc(sizeof(KLevels)));
    if (copy)
        *copy = *levels;
    return copy;
}

void KLevels_delete(KLevels **levels)
{
    if (!levels)
        return;
    releaseBlock(*levels);
    *levels = nullptr;
}

// --- Mixes -------------------------------------------------------------------------------------

static GHashTable *newLevelTable(void)
{
    return g_hash_table_new_full(g_str_hash, g_str_equal, releaseBlockNotify, releaseBlockNotify);
}

KMix *KMix_new(void)
{
    KMix *mix = static_cast<KMix *>(tvr_malloc(sizeof(KMix)));
    return mix ? KMix_init(mix) : nullptr;
}

KMix *KMix_init(KMix *mix)
{
    if (!mix)
        return nullptr;
    mix->tracks = nullptr;
    mix->trackCount = 0;
    mix->name = nullptr;
    mix->levels = newLevelTable();
    mix->mastering = nullptr;
    mix->masterGain = 1.0;
    mix->masterPan = 0.0;
    return mix;
}

KMix *KMix_create(const char *name)
{
    KMix *mix = KMix_new();
    if (mix && name) {
        mix->name = copyString(name);
        if (!mix->name)
            KMix_delete(&mix);
    }
    return mix;
}

// Copies every gain entry of `source` into `target` with keys and values of its own.
static bool copyLevelTable(GHashTable *target, GHashTable *source)
{
    GHashTableIter it;
    gpointer key, value;
    g_hash_table_iter_init(&it, source);
    while (g_hash_table_iter_next(&it, &key, &value)) {
        char *keyCopy = copyString(static_cast<const char *>(key));
        double *gain = static_cast<double *>(tvr_malloc(sizeof(double)));
        if (!keyCopy || !gain) {
            releaseBlock(keyCopy);
            releaseBlock(gain);
            return false;
        }
        *gain = *static_cast<const double *>(value);
        g_hash_table_replace(target, keyCopy, gain);
    }
    return true;
}

KMix *KMix_clone(const KMix *mix)
{
    if (!mix)
        return nullptr;
    KMix *copy = KMix_new();
    if (!copy)
        return nullptr;
    copy->masterGain = mix->masterGain;
    copy->masterPan = mix->masterPan;
    copy->tracks = g_slist_copy(mix->tracks);
    copy->trackCount = mix->trackCount;
    bool ok = copyLevelTable(copy->levels, mix->levels);
    if (ok && mix->name) {
        copy->name = copyString(mix->name);
        ok = copy->name != nullptr;
    }
    if (ok && mix->mastering) {
        copy->mastering = KEqual_clone(mix->mastering);
        ok = copy->mastering != nullptr;
    }
    if (!ok)
        KMix_delete(&copy);
    return copy;
}

KMix *KMix_cloneWithLinks(KFile *file, const KMix *mix)
{
    KMix *copy = KMix_clone(mix);
    if (!copy)
        return nullptr;
    // Re-point every entry at the project's track of the same name; names it lacks are dropped.
    GSList *linked = nullptr;
    int count = 0;
    for (GSList *l = copy->tracks; l; l = l->next) {
        const KTrack *source = static_cast<const KTrack *>(l->data);
        KTrack *own = (source && source->elt) ? giveTrack(file, source->elt->name) : nullptr;
        if (own) {
            linked = g_slist_prepend(linked, own);
            ++count;
        }
    }
    g_slist_free(copy->tracks);
    copy->tracks = g_slist_reverse(linked);
    copy->trackCount = count;
    return copy;
}

void KMix_delete(KMix **mix)
{
    if (!mix || !*mix)
        return;
    KMix *m = *mix;
    releaseBlock(m->name);
    if (m->levels)
        g_hash_table_destroy(m->levels);
    g_slist_free(m->tracks);
    KEqual_delete(&m->mastering);
    releaseBlock(m);
    *mix = nullptr;
}

// --- Mix manager -------------------------------------------------------------------------------

MixManager *MixManager_new(void)
{
    MixManager *manager = static_cast<MixManager *>(tvr_malloc(sizeof(MixManager)));
    if (!manager)
        return nullptr;
    if (!MixManager_init(manager)) {
        releaseBlock(manager);
        return nullptr;
    }
    return manager;
}

MixManager *MixManager_init(MixManager *manager)
{
    if (!manager)
        return nullptr;
    manager->current = KMix_new();
    if (!manager->current)
        return nullptr;
    manager->mixes = g_hash_table_new(g_str_hash, g_str_equal);
    manager->defaultMix = nullptr;
    manager->onPlay = nullptr;
    g_queue_init(&manager->order);
    return manager;
}

MixManager *MixManager_create(void)
{
    MixManager *manager = MixManager_new();
    if (manager) {
        manager->current->name = copyString(KMIX_CURRENT_NAME);
        if (!manager->current->name)
            MixManager_delete(&manager);
    }
    return manager;
}

void _MixManager_delete(MixManager *manager)
{
    if (!manager)
        return;
    for (GList *l = manager->order.head; l; l = l->next) {
        KMix *mix = static_cast<KMix *>(l->data);
        KMix_delete(&mix);
    }
    g_queue_clear(&manager->order);
    if (manager->mixes)
        g_hash_table_destroy(manager->mixes);
    KMix_delete(&manager->current);
    releaseBlock(manager->onPlay);
    releaseBlock(manager);
}

void MixManager_delete(MixManager **manager)
{
    if (!manager)
        return;
    _MixManager_delete(*manager);
    *manager = nullptr;
}

// Copy of `manager` whose mixes come from `cloneMix`; null when any mix fails to copy.
template <typename CloneMix>
static MixManager *copyManager(const MixManager *manager, CloneMix cloneMix)
{
    MixManager *copy = static_cast<MixManager *>(tvr_malloc(sizeof(MixManager)));
    if (!copy)
        return nullptr;
    copy->mixes = g_hash_table_new(g_str_hash, g_str_equal);
    g_queue_init(&copy->order);
    copy->defaultMix = nullptr;
    copy->onPlay = nullptr;
    copy->current = cloneMix(manager->current);
    bool ok = copy->current != nullptr;
    for (GList *l = manager->order.head; ok && l; l = l->next) {
        const KMix *source = static_cast<const KMix *>(l->data);
        KMix *mix = cloneMix(source);
        if (!mix || !mix->name) {
            KMix_delete(&mix);
            ok = false;
            break;
        }
        g_hash_table_insert(copy->mixes, mix->name, mix);
        g_queue_push_tail(&copy->order, mix);
        if (source == manager->defaultMix)
            copy->defaultMix = mix;
    }
    if (ok && manager->onPlay) {
        copy->onPlay = copyString(manager->onPlay);
        ok = copy->onPlay != nullptr;
    }
    if (!ok)
        MixManager_delete(&copy);
    return copy;
}

MixManager *MixManager_clone(const MixManager *manager)
{
    if (!manager)
        return nullptr;
    return copyManager(manager, [](const KMix *mix) { return KMix_clone(mix); });
}

int MixManager_cloneWithLinks(KFile *file, const MixManager *manager)
{
    if (!file || !manager)
        return 0;
    MixManager *copy =
        copyManager(manager, [file](const KMix *mix) { return KMix_cloneWithLinks(file, mix); });
    if (!copy)
        return 0;
    MixManager_delete(&file->mixes);
    file->mixes = copy;
    return 1;
}
