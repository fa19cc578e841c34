// Helpers shared by the project graph's source files (not part of the engine's interface): block
// release through the counting allocator, string copies, and the bookkeeping of the graph's walks.
#ifndef KELEMENT_H
#define KELEMENT_H

#include <algorithm>
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "KFile.h"
#include "tvr_utils.h"

// Releases a block from tvr_malloc; null is allowed.
inline void releaseBlock(void *block)
{
    if (block) {
        tvr_free_called();
        std::free(block);
    }
}

// GDestroyNotify for hash tables that own tvr_malloc'd keys or values.
void releaseBlockNotify(gpointer block);

// Elements already met by a graph walk: a short list for the usual handful, a hash set beyond.
class VisitedSet {
public:
    // True when `p` was not in the set yet.
    bool add(const void *p)
    {
        if (big_.empty()) {
            if (std::find(small_.begin(), small_.end(), p) != small_.end())
                return false;
            if (small_.size() < 32) {
                small_.push_back(p);
                return true;
            }
            big_.insert(small_.begin(), small_.end());
        }
        return big_.insert(p).second;
    }
    bool contains(const void *p) const
    {
        if (big_.empty())
            return std::find(small_.begin(), small_.end(), p) != small_.end();
        return big_.count(p) != 0;
    }

private:
    std::vector<const void *> small_;
    std::unordered_set<const void *> big_;
};

// A copy of s from the counting allocator; null for a null s (or on allocation failure).
char *copyString(const char *s);

// New {min, max} block, or null on allocation failure.
int *newMinMax(int min, int max);

// The group data of a group, rule or working element; null for anything else.
KGroupData *KElement_groupData(KElement *elt);
// The track data of a track element; null for anything else.
KTrack *KElement_track(KElement *elt);
// True when `ancestor` is `elt` itself or above it through any chain of parents.
// `elt` has just started to play: its parents count it, and a parent whose count leaves 0 while
// it does not play starts playing through its member, and so on upward.
void KElement_raiseParents(KElement *elt);
bool KElement_isAncestor(const KElement *ancestor, KElement *elt);
// True when any parent of `elt` is visible.
bool KElement_hasVisibleParent(const KElement *elt);

// True when linking `member` under `group` would make a loop: `member` is `group` or one of its
// ancestors. Searches up from the group and down from the member in turn, so the cost follows
// the smaller side (a chain built from either end costs a step per link).
bool KElement_linkMakesLoop(KElement *group, KElement *member);

// Every edit that can change which elements are top elements or how deep an element sits (filing,
// deleting, linking, unlinking, showing, hiding) calls this; the tree queries' index is rebuilt
// on its next use.
void KFile_structureChanged(void);
unsigned long KFile_structureGeneration(void);
// The tree queries' index of a project: made with the project, released with it.
struct KTreeIndex *KTreeIndex_new(void);
void KTreeIndex_delete(struct KTreeIndex *index);

// A status and playing count as they were before a switch, to put back when it is refused.
struct KStatusSave {
    KElement *elt;
    int status;
    int playCount;
};
// moveStatusWithReturn that also appends, before each write, the record it overwrites to `undo`
// (when given): putting the records back in reverse order restores every touched element.
GSList *KElement_moveStatus(GSList *list, KElement *elt, std::vector<KStatusSave> *undo);
void KElement_restoreStatus(const std::vector<KStatusSave> &undo);

// Allocates a tvr_malloc array of n name pointers (at least one slot); null on failure.
const char **newNameArray(int n);

#endif
