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

// Allocates a tvr_malloc array of n name pointers (at least one slot); null on failure.
const char **newNameArray(int n);

#endif
