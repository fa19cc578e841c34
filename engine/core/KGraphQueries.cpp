// Read-only questions asked of the project graph: lookups, ancestry and tree positions for the
// element views, counts, name lists (in element creation order), song tags and a track's audio
// fields with the fall-back to the project's format.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

#include "KElement.h"

namespace {

// Builds a tvr_malloc array from collected names; null when `names` is empty and `nullWhenEmpty`.
const char **toNameArray(const std::vector<const char *> &names, int *count, bool nullWhenEmpty)
{
    if (count)
        *count = 0;
    if (names.empty() && nullWhenEmpty)
        return nullptr;
    const char **array = newNameArray(static_cast<int>(names.size()));
    if (!array)
        return nullptr;
    std::copy(names.begin(), names.end(), array);
    if (count)
        *count = static_cast<int>(names.size());
    return array;
}

// The n-th element of the creation order (tracks only when asked); null past the end. Reads the
// arrays the edits keep, or walks the creation list when they could not be kept.
KElement *nthCreated(KFile *file, int n, bool tracks)
{
    if (n < 0)
        return nullptr;
    if (file->orderCacheValid) {
        const int len = tracks ? file->trackCacheLen : file->orderCacheLen;
        return n < len ? (tracks ? file->trackCache : file->orderCache)[n] : nullptr;
    }
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if ((!tracks || e->type == KELT_TRACK) && n-- == 0)
            return e;
    return nullptr;
}

// Names of the elements that pass `keep`, in creation order.
template <typename Keep>
const char **collectNames(KFile *file, int *count, bool nullWhenEmpty, Keep keep)
{
    if (count)
        *count = 0;
    if (!file)
        return nullptr;
    std::vector<const char *> names;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (keep(e))
            names.push_back(e->name);
    return toNameArray(names, count, nullWhenEmpty);
}

template <typename Keep> int countElements(KFile *file, Keep keep)
{
    if (!file)
        return 0;
    int n = 0;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (keep(e))
            ++n;
    return n;
}

bool isRule(const KElement *e)
{
    return e->type == KELT_GROUP && e->data;
}

int kindOf(KElement *e)
{
    KGroupData *group = KElement_groupData(e);
    return group ? group->kind : 0;
}

// A top element: visible, no visible parent, and neither the excluded element nor below it.
bool isTop(KElement *e, const KElement *excluded)
{
    return e->visible && !KElement_hasVisibleParent(e) &&
           !(excluded && KElement_isAncestor(excluded, e));
}

const KStreamFormat *ownFormat(const KTrack *track)
{
    return track ? track->format : nullptr;
}

} // namespace

// The answers of the tree queries for one structure of the project: the top elements in id order
// with each one's place, and every element's depth. Queries take it under its own mutex (any
// number of threads may ask at once); it is rebuilt in one pass when the structure generation,
// the element count or the excluded element differ from those it was built for.
struct KTreeIndex {
    std::mutex mutex;
    bool built = false;
    unsigned long generation = 0;
    int eltCount = -1;
    const KElement *excluded = nullptr;
    std::vector<KElement *> tops;          // in id order
    std::vector<int> topIndexById;         // place among the tops, -1 when not a top
    bool depthsBuilt = false;
    unsigned long depthGeneration = 0;
    int depthCount = -1;
    std::unordered_map<const KElement *, int> depth; // every filed element
    std::vector<std::vector<KElement *>> visibleByDepth; // numbered visible elements, id order
    int deepest = 0;
};

KTreeIndex *KTreeIndex_new(void)
{
    return new (std::nothrow) KTreeIndex();
}

void KTreeIndex_delete(KTreeIndex *index)
{
    delete index;
}

namespace {

// The index for `excluded`, built now when stale; the caller holds index->mutex.
void buildTops(KFile *file, KTreeIndex *index, const KElement *excluded)
{
    const unsigned long generation = KFile_structureGeneration();
    if (index->built && index->generation == generation && index->eltCount == file->eltCount &&
        index->excluded == excluded)
        return;
    index->tops.clear();
    index->topIndexById.assign(static_cast<size_t>(file->eltCount), -1);
    for (int id = 0; id < file->eltCount; ++id) {
        KElement *e = file->eltsById[id];
        if (isTop(e, excluded)) {
            index->topIndexById[static_cast<size_t>(id)] = static_cast<int>(index->tops.size());
            index->tops.push_back(e);
        }
    }
    index->built = true;
    index->generation = generation;
    index->eltCount = file->eltCount;
    index->excluded = excluded;
}

// Depth of every element (1 for an element without a visible parent group, one more per visible
// group above it, through the first such group each time), each worked out once.
void buildDepths(KFile *file, KTreeIndex *index)
{
    const unsigned long generation = KFile_structureGeneration();
    if (index->depthsBuilt && index->depthGeneration == generation &&
        index->depthCount == file->eltCount)
        return;
    index->depth.clear();
    index->depth.reserve(static_cast<size_t>(file->eltCount) + 8);
    index->visibleByDepth.clear();
    index->deepest = 0;
    std::vector<KElement *> chain;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
        // Climb until an element of known depth (or the top), then number the climb downwards.
        // An element met twice on one climb would be a loop: the climb stops there.
        chain.clear();
        int base = 0;
        VisitedSet onChain;
        for (KElement *at = e; at; at = KElement_getParent(at)) {
            auto known = index->depth.find(at);
            if (known != index->depth.end()) {
                base = known->second;
                break;
            }
            if (!onChain.add(at))
                break;
            chain.push_back(at);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            index->depth.emplace(*it, ++base);
    }
    for (int id = 0; id < file->eltCount; ++id) {
        KElement *e = file->eltsById[id];
        const int d = index->depth[e];
        index->deepest = std::max(index->deepest, d);
        if (!e->visible)
            continue;
        if (index->visibleByDepth.size() < static_cast<size_t>(d) + 1)
            index->visibleByDepth.resize(static_cast<size_t>(d) + 1);
        index->visibleByDepth[static_cast<size_t>(d)].push_back(e);
    }
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        index->deepest = std::max(index->deepest, index->depth[e]);
    index->depthsBuilt = true;
    index->depthGeneration = generation;
    index->depthCount = file->eltCount;
}

} // namespace

// --- Lookups -------------------------------------------------------------------------------------

KElement *giveElt(KFile *file, const char *name)
{
    if (!file || !name || !file->elts)
        return nullptr;
    return static_cast<KElement *>(g_hash_table_lookup(file->elts, name));
}

KTrack *giveTrack(KFile *file, const char *name)
{
    return KElement_track(giveElt(file, name));
}

int isATrack(KFile *file, const char *name)
{
    return giveTrack(file, name) ? 1 : 0;
}

KGroupData *giveConst(KFile *file, const char *name)
{
    return KElement_groupData(giveElt(file, name));
}

int *giveGrpDatas(KFile *file, const char *name)
{
    KGroupData *group = giveConst(file, name);
    return (group && group->kind == KCONST_GROUP) ? static_cast<int *>(group->kindData) : nullptr;
}

const char *getImplyingElt(KElement *elt)
{
    KGroupData *group = KElement_groupData(elt);
    return (group && group->kind == KCONST_IMPLY) ? static_cast<const char *>(group->kindData)
                                                  : nullptr;
}

const char *getImplying(KFile *file, const char *name)
{
    return getImplyingElt(giveElt(file, name));
}

const char **getImplyWithElt(KFile *file, const char *name, int *count)
{
    if (count)
        *count = 0;
    KElement *elt = giveElt(file, name);
    if (!elt || !elt->impliedBy.head)
        return nullptr;
    std::vector<KElement *> rules;
    for (GList *l = elt->impliedBy.head; l; l = l->next)
        rules.push_back(static_cast<KElement *>(l->data));
    std::sort(rules.begin(), rules.end(),
              [](const KElement *a, const KElement *b) { return a->id < b->id; });
    std::vector<const char *> names;
    for (const KElement *rule : rules)
        names.push_back(rule->name);
    return toNameArray(names, count, true);
}

const char **subEltName(KFile *file, const char *name, int *count)
{
    if (count)
        *count = 0;
    KGroupData *group = giveConst(file, name);
    if (!group)
        return nullptr;
    std::vector<const char *> names;
    for (GList *l = group->members.head; l; l = l->next)
        names.push_back(static_cast<const KElement *>(l->data)->name);
    int members = static_cast<int>(names.size());
    // An implication lists its implying element after its members, outside the count.
    if (group->kind == KCONST_IMPLY && group->kindData)
        names.push_back(static_cast<const char *>(group->kindData));
    const char **array = toNameArray(names, nullptr, false);
    if (array && count)
        *count = members;
    return array;
}

int subEltNbr(KFile *file, const char *name)
{
    KGroupData *group = giveConst(file, name);
    if (!group)
        return -1;
    return group->memberCount + (group->kind == KCONST_IMPLY ? 1 : 0);
}

int subPlayEltNbr(KFile *file, const char *name)
{
    KGroupData *group = giveConst(file, name);
    return group ? group->playCount : -1;
}

int subGroupNbr(KFile *file, const char *name)
{
    if (!file || !name)
        return -1;
    KElement *elt = giveElt(file, name);
    if (!elt || elt->type == KELT_TRACK)
        return -2;
    KGroupData *group = KElement_groupData(elt);
    if (!group)
        return -3;
    int n = 0;
    for (GList *l = group->members.head; l; l = l->next)
        if (static_cast<const KElement *>(l->data)->type == KELT_GROUP)
            ++n;
    return n;
}

const char *findLostSon(KFile *file, const char *name, GSList *names)
{
    KGroupData *group = giveConst(file, name);
    if (!group)
        return nullptr;
    for (GList *l = group->members.head; l; l = l->next) {
        const KElement *m = static_cast<const KElement *>(l->data);
        if (m->status <= 0)
            continue;
        bool listed = false;
        for (GSList *n = names; n && !listed; n = n->next)
            listed = n->data && std::strcmp(static_cast<const char *>(n->data), m->name) == 0;
        if (!listed)
            return m->name;
    }
    return nullptr;
}

const char *giveEltName(KFile *file, int id)
{
    if (!file || id < 0 || id >= file->eltCount)
        return nullptr;
    return file->eltsById[id]->name;
}

const char *findName(KFile *file, int id)
{
    return giveEltName(file, id);
}

// --- Tree and ancestry ---------------------------------------------------------------------------

KElement *KElement_getParent(KElement *elt)
{
    if (!elt)
        return nullptr;
    for (GList *l = elt->parents.head; l; l = l->next) {
        KElement *parent = static_cast<KElement *>(l->data);
        if (parent->visible && parent->type == KELT_GROUP)
            return parent;
    }
    return nullptr;
}

const char *getParentName(KFile *file, const char *name)
{
    KElement *parent = KElement_getParent(giveElt(file, name));
    return parent ? parent->name : nullptr;
}

KElement *getVisibleFatherElt(KFile *file, const char *name)
{
    return KElement_getParent(giveElt(file, name));
}

const char *getVisibleFather(KFile *file, const char *name)
{
    return getParentName(file, name);
}

int hasVisibleParent(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    return (elt && KElement_hasVisibleParent(elt)) ? 1 : 0;
}

int eltIsOrphan(KElement *elt)
{
    if (!elt)
        return -1;
    return elt->parents.head ? 0 : 1;
}

int isOrphan(KFile *file, const char *name)
{
    return eltIsOrphan(giveElt(file, name));
}

int isOrphanVisibleElt(KFile *file, const char *name)
{
    if (!file || !name)
        return -1;
    KElement *elt = giveElt(file, name);
    if (!elt)
        return -2;
    return KElement_hasVisibleParent(elt) ? 0 : 1;
}

int k_isFather(KFile *file, const char *a, const char *b)
{
    KElement *parent = giveElt(file, a);
    KElement *child = giveElt(file, b);
    if (!parent || !child || parent == child)
        return 0;
    return g_queue_find(&child->parents, parent) ? 1 : 0;
}

int k_isParent(KFile *file, const char *a, const char *b)
{
    KElement *ancestor = giveElt(file, a);
    KElement *elt = giveElt(file, b);
    if (!ancestor || !elt)
        return 0;
    return KElement_isAncestor(ancestor, elt) ? 1 : 0;
}

int isSon(KElement *elt, const char *name)
{
    if (!elt || !name)
        return 0;
    // Breadth-first over every ancestor, each visited once.
    std::vector<KElement *> work;
    VisitedSet seen;
    for (GList *l = elt->parents.head; l; l = l->next)
        if (seen.add(l->data))
            work.push_back(static_cast<KElement *>(l->data));
    int found = 0;
    for (size_t i = 0; i < work.size() && !found; ++i) {
        if (std::strcmp(work[i]->name, name) == 0)
            found = 1;
        for (GList *l = work[i]->parents.head; l; l = l->next)
            if (seen.add(l->data))
                work.push_back(static_cast<KElement *>(l->data));
    }
    return found;
}

const char **k_getAllFathers(KFile *file, const char *name, int *count)
{
    if (count)
        *count = 0;
    KElement *elt = giveElt(file, name);
    if (!elt)
        return nullptr;
    std::vector<const char *> names;
    for (GList *l = elt->parents.head; l; l = l->next)
        names.push_back(static_cast<const KElement *>(l->data)->name);
    return toNameArray(names, count, true);
}

const char **k_getAllParents(KFile *file, const char *name, int *count)
{
    if (count)
        *count = 0;
    KElement *elt = giveElt(file, name);
    if (!elt)
        return nullptr;
    std::vector<const char *> names;
    for (KElement *e = elt; e; e = KElement_getParent(e))
        names.push_back(e->name);
    std::reverse(names.begin(), names.end());
    return toNameArray(names, count, false);
}

int KElement_getVisibleChildCount(KElement *elt)
{
    KGroupData *group = KElement_groupData(elt);
    if (!group)
        return 0;
    int n = 0;
    for (GList *l = group->members.head; l; l = l->next)
        if (static_cast<const KElement *>(l->data)->visible)
            ++n;
    return n;
}

KElement *KElement_getVisibleChild(KElement *elt, int index)
{
    KGroupData *group = KElement_groupData(elt);
    if (!group || index < 0)
        return nullptr;
    for (GList *l = group->members.head; l; l = l->next) {
        KElement *m = static_cast<KElement *>(l->data);
        if (m->visible && index-- == 0)
            return m;
    }
    return nullptr;
}

int KElement_getIndexFromParent(KFile *file, KElement *elt, const char *excluded)
{
    if (!file || !elt)
        return -1;
    KElement *parent = KElement_getParent(elt);
    if (!parent)
        return k_getEltOnTopIndex(file, elt, excluded);
    int index = 0;
    for (GList *l = static_cast<KGroupData *>(parent->data)->members.head; l; l = l->next) {
        const KElement *m = static_cast<const KElement *>(l->data);
        if (m == elt)
            return index;
        if (m->visible)
            ++index;
    }
    return -1;
}

// The top elements come from the project's tree index: a pass over the elements after each
// structure edit, then each answer at once, so that a view asking row by row stays linear.
int k_getEltOnTopNbr(KFile *file, const char *excluded)
{
    if (!file)
        return -1;
    const KElement *ex = giveElt(file, excluded);
    KTreeIndex *index = file->treeIndex;
    if (!index) {
        int n = 0;
        for (int id = 0; id < file->eltCount; ++id)
            n += isTop(file->eltsById[id], ex) ? 1 : 0;
        return n;
    }
    std::lock_guard<std::mutex> hold(index->mutex);
    buildTops(file, index, ex);
    return static_cast<int>(index->tops.size());
}

int k_getEltOnTopIndex(KFile *file, KElement *elt, const char *excluded)
{
    if (!file || !elt || elt->id < 0 || elt->id >= file->eltCount ||
        file->eltsById[elt->id] != elt)
        return -1;
    const KElement *ex = giveElt(file, excluded);
    if (!isTop(elt, ex))
        return -1;
    KTreeIndex *index = file->treeIndex;
    if (!index) {
        int n = 0;
        for (int id = 0; id < elt->id; ++id)
            n += isTop(file->eltsById[id], ex) ? 1 : 0;
        return n;
    }
    std::lock_guard<std::mutex> hold(index->mutex);
    buildTops(file, index, ex);
    return index->topIndexById[static_cast<size_t>(elt->id)];
}

KElement *k_getNthEltOnTop(KFile *file, int n, const char *excluded)
{
    if (!file || n < 0)
        return nullptr;
    const KElement *ex = giveElt(file, excluded);
    KTreeIndex *index = file->treeIndex;
    if (!index) {
        for (int id = 0; id < file->eltCount; ++id)
            if (isTop(file->eltsById[id], ex) && n-- == 0)
                return file->eltsById[id];
        return nullptr;
    }
    std::lock_guard<std::mutex> hold(index->mutex);
    buildTops(file, index, ex);
    return n < static_cast<int>(index->tops.size()) ? index->tops[static_cast<size_t>(n)]
                                                    : nullptr;
}

static int depthOf(KElement *elt)
{
    int depth = 0;
    for (KElement *e = elt; e; e = KElement_getParent(e))
        ++depth;
    return depth;
}

int getLevelFamily(KFile *file, const char *name)
{
    KElement *elt = giveElt(file, name);
    if (!elt)
        return 0;
    KTreeIndex *index = file->treeIndex;
    if (!index)
        return depthOf(elt);
    std::lock_guard<std::mutex> hold(index->mutex);
    buildDepths(file, index);
    auto found = index->depth.find(elt);
    return found != index->depth.end() ? found->second : depthOf(elt);
}

int k_getTreeDepth(KFile *file)
{
    if (!file)
        return 0;
    KTreeIndex *index = file->treeIndex;
    if (!index) {
        int deepest = 0;
        for (KElement *e = file->firstCreated; e; e = e->nextCreated)
            deepest = std::max(deepest, depthOf(e));
        return deepest;
    }
    std::lock_guard<std::mutex> hold(index->mutex);
    buildDepths(file, index);
    return index->deepest;
}

const char **k_getEltsInNthDepth(KFile *file, int n, int *count)
{
    if (count)
        *count = 0;
    if (!file)
        return nullptr;
    std::vector<const char *> names;
    KTreeIndex *index = file->treeIndex;
    if (!index) {
        for (int id = 0; id < file->eltCount; ++id) {
            KElement *e = file->eltsById[id];
            if (e->visible && depthOf(e) == n + 1)
                names.push_back(e->name);
        }
        return toNameArray(names, count, true);
    }
    std::lock_guard<std::mutex> hold(index->mutex);
    buildDepths(file, index);
    if (n >= 0 && static_cast<size_t>(n) + 1 < index->visibleByDepth.size())
        for (const KElement *e : index->visibleByDepth[static_cast<size_t>(n) + 1])
            names.push_back(e->name);
    return toNameArray(names, count, true);
}

// --- Counts and name lists ----------------------------------------------------------------------

int getEltNbr(KFile *file)
{
    return file ? file->eltCount : 0;
}

int tracksNbr(KFile *file)
{
    if (!file)
        return 0;
    if (file->orderCacheValid)
        return file->trackCacheLen;
    return countElements(file, [](const KElement *e) { return e->type == KELT_TRACK; });
}

int constraintsNbr(KFile *file)
{
    return file ? file->groupCount : 0;
}

int notOrphanTracksNbr(KFile *file)
{
    return countElements(file, [](const KElement *e) {
        return e->type == KELT_TRACK && e->parents.head != nullptr;
    });
}

int playEltNbr(KFile *file)
{
    return countElements(file, [](const KElement *e) { return e->status > 0; });
}

int playTrackNbr(KFile *file)
{
    // Counts every playing element, groups included.
    return playEltNbr(file);
}

int getVisibleGrpNbr(KFile *file)
{
    if (!file)
        return -1;
    return countElements(file, [](KElement *e) {
        return e->visible && e->type == KELT_GROUP && kindOf(e) == KCONST_GROUP;
    });
}

const char **allEltsNames(KFile *file, int *count)
{
    return collectNames(file, count, false, [](const KElement *) { return true; });
}

const char **tracksName(KFile *file, int *count)
{
    return collectNames(file, count, false,
                        [](const KElement *e) { return e->type == KELT_TRACK; });
}

const char **eltsName(KFile *file, int *count)
{
    return collectNames(file, count, false, [](const KElement *e) { return isRule(e); });
}

const char **structureEltsName(KFile *file, int *count)
{
    if (count)
        *count = 0;
    if (!file)
        return nullptr;
    std::vector<const char *> names;
    for (int id = 0; id < file->eltCount; ++id) {
        const KElement *e = file->eltsById[id];
        if (e->type == KELT_TRACK || e->visible)
            names.push_back(e->name);
    }
    return toNameArray(names, count, false);
}

const char **unVisibleEltsName(KFile *file, int *count)
{
    return collectNames(file, count, true,
                        [](const KElement *e) { return isRule(e) && !e->visible; });
}

const char **getSpecElsNames(KFile *file, int *count, int kind)
{
    if (count)
        *count = 0;
    if (kind == KCONST_IMPLY)
        return collectNames(file, count, true,
                            [](KElement *e) { return isRule(e) && kindOf(e) == KCONST_IMPLY; });
    if (kind == KCONST_ONE)
        // Exclusions: hidden groups allowing {0, 1} playing members.
        return collectNames(file, count, true, [](KElement *e) {
            KGroupData *group = isRule(e) && !e->visible ? KElement_groupData(e) : nullptr;
            const int *bounds = (group && group->kind == KCONST_GROUP)
                                    ? static_cast<const int *>(group->kindData)
                                    : nullptr;
            return bounds && bounds[0] == 0 && bounds[1] == 1;
        });
    return nullptr;
}

const char **pathsSamples(KFile *file, int *count)
{
    if (count)
        *count = 0;
    if (!file)
        return nullptr;
    std::vector<const char *> paths;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
        const KTrack *track = KElement_track(e);
        if (track && track->path)
            paths.push_back(track->path);
    }
    return toNameArray(paths, count, false);
}

const char *k_getNthElement(KFile *file, int n)
{
    KElement *e = file ? nthCreated(file, n, false) : nullptr;
    return e ? e->name : nullptr;
}

const char *k_getNthTrackName(KFile *file, int n)
{
    KElement *e = file ? nthCreated(file, n, true) : nullptr;
    return e ? e->name : nullptr;
}

int k_isAProject(KFile *file)
{
    return countElements(file,
                         [](KElement *e) {
                             const KTrack *track = KElement_track(e);
                             return track && track->path;
                         }) > 0
               ? 1
               : 0;
}

int computeInEltHT(KFile *file, GHFunc callback)
{
    int counter = 0;
    if (file && callback)
        for (KElement *e = file->firstCreated; e; e = e->nextCreated)
            callback(e->name, e, &counter);
    return counter;
}

// --- Song tags ----------------------------------------------------------------------------------

const char *giveSongField(KFile *file, const char *key)
{
    if (!file || !key)
        return nullptr;
    return static_cast<const char *>(g_hash_table_lookup(file->songs, key));
}

int addSong(KFile *file, const char *key, const char *value)
{
    if (!file || !key || !value)
        return -1;
    char *valueCopy = copyString(value);
    if (!valueCopy)
        return TVR_ERR_MEMORY;
    gpointer storedKey;
    if (g_hash_table_lookup_extended(file->songs, key, &storedKey, nullptr)) {
        // The key string stays: the order list points at it.
        g_hash_table_insert(file->songs, copyString(key), valueCopy);
        return 1;
    }
    char *keyCopy = copyString(key);
    if (!keyCopy) {
        releaseBlock(valueCopy);
        return TVR_ERR_MEMORY;
    }
    g_hash_table_insert(file->songs, keyCopy, valueCopy);
    g_queue_push_tail(&file->songKeys, keyCopy);
    return 1;
}

int removeSongInfo(KFile *file, const char *key)
{
    if (!file || !key)
        return -1;
    gpointer storedKey;
    if (!g_hash_table_lookup_extended(file->songs, key, &storedKey, nullptr))
        return -3;
    g_queue_remove(&file->songKeys, storedKey);
    g_hash_table_remove(file->songs, key);
    return 1;
}

int deleteMediaSongs(KFile *file)
{
    if (!file)
        return -1;
    g_queue_clear(&file->songKeys);
    g_hash_table_remove_all(file->songs);
    return 1;
}

const char **giveCompleteSongInfos(KFile *file, int *count)
{
    if (count)
        *count = 0;
    if (!file)
        return nullptr;
    std::vector<const char *> items;
    for (GList *l = file->songKeys.head; l; l = l->next) {
        const char *key = static_cast<const char *>(l->data);
        items.push_back(key);
        items.push_back(giveSongField(file, key));
    }
    return toNameArray(items, count, false);
}

// --- Track fields -------------------------------------------------------------------------------

const char *getTrackFilePath(KFile *file, const char *name)
{
    const KTrack *track = giveTrack(file, name);
    return track ? track->path : nullptr;
}

const char *getSamplePath(KFile *file, const char *name)
{
    return getTrackFilePath(file, name);
}

uint32_t tvr_getTrackSize(KFile *file, const char *name)
{
    const KTrack *track = giveTrack(file, name);
    return track ? track->length : 0;
}

int64_t getTrackSamplesNbr(KFile *file, const char *name)
{
    const KTrack *track = giveTrack(file, name);
    return track ? static_cast<int64_t>(track->length) + track->date : 0;
}

double tvr_getTrackLength(KFile *file, const char *name)
{
    KTrack *track = giveTrack(file, name);
    return track ? track->length / k_getTrackLengthRate(file, track) : 0.0;
}

KStreamFormat *getTrackFormat(KFile *file, const char *name)
{
    KTrack *track = giveTrack(file, name);
    return track ? track->format : nullptr;
}

static bool usableRate(double rate)
{
    return std::isfinite(rate) && rate > 0.0;
}

double k_getTrackRate(KFile *file, KTrack *track)
{
    const KStreamFormat *own = ownFormat(track);
    if (own && usableRate(own->rate))
        return own->rate;
    return (file && file->format) ? file->format->rate : -1.0;
}

double k_getTrackLengthRate(KFile *file, KTrack *track)
{
    double rate = k_getTrackRate(file, track);
    return usableRate(rate) ? rate : 44100.0;
}

int k_getTrackAudioFmt(KFile *file, KTrack *track)
{
    const KStreamFormat *own = ownFormat(track);
    if (own && own->code != 0)
        return own->code;
    return (file && file->format) ? file->format->code : 0;
}

int k_getTrackBits(KFile *file, KTrack *track)
{
    const KStreamFormat *own = ownFormat(track);
    if (own && own->bits >= 0)
        return own->bits;
    return (file && file->format) ? file->format->bits : -1;
}

int k_getTrackChannels(KFile *file, KTrack *track)
{
    const KStreamFormat *own = ownFormat(track);
    if (own && own->channels >= 0)
        return own->channels;
    return (file && file->format) ? file->format->channels : -1;
}

int k_setTrackChannels(KTrack *track, int channels)
{
    if (!track)
        return 0;
    if (!track->format && !(track->format = KStreamFormat_new()))
        return 0;
    track->format->channels = channels;
    return 1;
}

double *k_getTracksRates(KFile *file, int *count)
{
    if (count)
        *count = 0;
    if (!file || tracksNbr(file) == 0)
        return nullptr;
    std::vector<double> rates;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
        const KStreamFormat *own = ownFormat(KElement_track(e));
        if (!own)
            continue;
        auto at = std::lower_bound(rates.begin(), rates.end(), own->rate);
        if (at == rates.end() || *at != own->rate)
            rates.insert(at, own->rate);
    }
    double *array =
        static_cast<double *>(tvr_calloc(rates.empty() ? 1 : rates.size(), sizeof(double)));
    if (!array)
        return nullptr;
    std::copy(rates.begin(), rates.end(), array);
    if (count)
        *count = static_cast<int>(rates.size());
    return array;
}

int k_getTrackBitrate(KFile *file, const char *name)
{
    KTrack *track = giveTrack(file, name);
    if (!track)
        return 0;
    int major = k_getTrackAudioFmt(file, track) & KAUDIOFMT_MAJOR_MASK;
    if (major == KAUDIOFMT_MPEG) {
        const KStreamFormat *own = ownFormat(track);
        const KStreamExtra *extra =
            (own && own->extra) ? own->extra : (file->format ? file->format->extra : nullptr);
        return extra ? extra->values[2] : 0;
    }
    if (major == KAUDIOFMT_VORBIS)
        return 0;
    int bits = k_getTrackBits(file, track);
    int channels = k_getTrackChannels(file, track);
    double rate = k_getTrackRate(file, track);
    // Unset bits, channels or rate give no figure rather than a product of -1s.
    if (bits <= 0 || channels <= 0 || !usableRate(rate))
        return 0;
    return static_cast<int>(static_cast<int64_t>(bits) * channels * static_cast<int64_t>(rate) /
                            1024);
}

double computeLengthFile(KFile *file)
{
    if (!file)
        return 0.0;
    double longest = 0.0;
    for (KElement *e = file->firstCreated; e; e = e->nextCreated) {
        KTrack *track = KElement_track(e);
        if (track)
            longest = std::max(longest, (static_cast<double>(track->date) + track->length) /
                                            k_getTrackLengthRate(file, track));
    }
    file->lengthSeconds = longest;
    return longest;
}

double lengthInSec(KFile *file)
{
    return file ? file->lengthSeconds : 0.0;
}
