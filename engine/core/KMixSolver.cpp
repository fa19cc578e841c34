// Mix-law level solver: bounds and equivalences of the taking-part levels as a constraint model,
// the smallest total move found by branch and bound, applied through changeLevel.
#include "KMixSolver.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <gecode/int.hh>
#include <gecode/minimodel.hh>
#include <gecode/search.hh>

#include "KElement.h"
#include "KProjectLock.h"

using namespace Gecode;

namespace {

std::atomic<unsigned long> levelTimeLimit{KMIXSOLVER_TIME_LIMIT_MS};

enum { LEVEL_OFFSET = 240, VALUE_MAX = 300 };
// Default levels and current levels read from files are clamped to this magnitude so that every
// product the model forms stays far inside the solver's integer limits.
const long kLevelClamp = 100000;

bool isNumbered(const KFile *file, const KElement *elt)
{
    return elt && elt->id >= 0 && elt->id < file->eltCount && file->eltsById[elt->id] == elt;
}

bool plays(const KElement *elt)
{
    return elt->status > 0;
}

// A track, or a visible kind-10 group: the elements that carry a level of their own.
bool bearsLevel(KElement *elt)
{
    if (!elt->levels)
        return false;
    if (elt->type == KELT_TRACK)
        return true;
    KGroupData *group = elt->type == KELT_GROUP ? KElement_groupData(elt) : nullptr;
    return group && group->kind == KCONST_GROUP && elt->visible;
}

bool takesPart(KElement *elt, TypeMixSolver type)
{
    return bearsLevel(elt) && (type == TMS_ALL_BUT_MOVED || plays(elt));
}

long clampLevel(long value)
{
    return std::clamp(value, -kLevelClamp, kLevelClamp);
}

template <typename Fn> void forEachNumbered(KFile *file, Fn fn)
{
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (isNumbered(file, e))
            fn(e);
}

} // namespace

// One search node: the objective, a solver value per element id, and one deviation from the
// current level per taking-part element other than the moved one.
class OMSpace : public Space {
public:
    IntVar cost;
    IntVarArray level;
    IntVarArray deviation;
    int used = 0;

    OMSpace(int elements, int deviations, int maxDeviation)
        : cost(*this, 0, 0), level(*this, elements, 0, VALUE_MAX),
          deviation(*this, deviations, 0, maxDeviation)
    {
    }
    OMSpace(OMSpace &other) : Space(other), used(other.used)
    {
        cost.update(*this, other.cost);
        level.update(*this, other.level);
        deviation.update(*this, other.deviation);
    }
    Space *copy() override { return new OMSpace(*this); }
    // Strictly better only, so the kept answer does not depend on the machine's speed.
    void constrain(const Space &best) override
    {
        rel(*this, cost, IRT_LE, static_cast<const OMSpace &>(best).cost.val());
    }
};

namespace {

// Bounds and deviation of one taking-part element (initMixLaw for a level-bearing element). A
// `free` element is tied to no other by a rule: its least deviation is its current level brought
// within its bounds, so it is fixed there instead of adding to the objective and the branching,
// which would make every search step cost a step per element.
void postLevel(OMSpace &home, KElement *elt, bool moved, bool free)
{
    IntVar l = home.level[elt->id];
    long min = static_cast<long>(elt->levels->minLevel) + LEVEL_OFFSET;
    long max = static_cast<long>(elt->levels->maxLevel) + LEVEL_OFFSET;
    rel(home, l, IRT_GQ, static_cast<int>(std::clamp(min, -1L, VALUE_MAX + 1L)));
    rel(home, l, IRT_LQ, static_cast<int>(std::clamp(max, -1L, VALUE_MAX + 1L)));
    if (moved)
        return;
    int old = static_cast<int>(clampLevel(elt->levels->level) + LEVEL_OFFSET);
    if (free) {
        // Nearest to the current level within the domain; an empty domain fails the space as
        // the bounds above already did.
        if (!home.failed() && l.min() <= l.max())
            rel(home, l, IRT_EQ, std::clamp(old, l.min(), l.max()));
        return;
    }
    int reach = VALUE_MAX + std::abs(old);
    IntVar difference(home, -reach, reach);
    linear(home, IntArgs({1, -1}), IntVarArgs({l, difference}), IRT_EQ, old);
    abs(home, difference, home.deviation[home.used++]);
}

// Consecutive taking-part members of an equivalence keep the proportion of their default levels:
// |(dq + 240) L[p] - (dp + 240) L[q]| < bound, the bound at least 1 so that the pair always has
// a solution; a pair whose defaults are both silence has no proportion and is skipped.
void postEquivalence(KFile *file, OMSpace &home, KGroupData *group, TypeMixSolver type)
{
    KElement *previous = nullptr;
    for (GList *l = group->members.head; l; l = l->next) {
        KElement *q = static_cast<KElement *>(l->data);
        if (!isNumbered(file, q) || !takesPart(q, type))
            continue;
        KElement *p = previous;
        previous = q;
        if (!p)
            continue;
        int fp = static_cast<int>(std::max(0L, clampLevel(p->levels->defaultLevel) + LEVEL_OFFSET));
        int fq = static_cast<int>(std::max(0L, clampLevel(q->levels->defaultLevel) + LEVEL_OFFSET));
        if (fp == 0 && fq == 0)
            continue;
        int bound = std::max(1, (fp + fq) / 2);
        IntArgs factors({fq, -fp});
        IntVarArgs pair({home.level[p->id], home.level[q->id]});
        linear(home, factors, pair, IRT_LE, bound);
        linear(home, factors, pair, IRT_GR, -bound);
    }
}

// Applies the solution (refreshLevel) and returns the changed names after the head.
GSList *applyLevels(KFile *file, const OMSpace &solution, KElement *moved, KElement *head,
                    TypeMixSolver type)
{
    GSList *changed = nullptr;
    forEachNumbered(file, [&](KElement *e) {
        if (!e->levels || (type != TMS_ALL_BUT_MOVED && !plays(e)))
            return;
        IntVar l = solution.level[e->id];
        if (!l.assigned())
            return;
        int delta = intToLevel(l.val()) - e->levels->level;
        if (e != moved && e != head && delta != 0)
            changed = g_slist_prepend(changed, e->name);
        changeLevel(e, delta);
    });
    return g_slist_reverse(changed);
}

GSList *solveLevels(KFile *file, KElement *moved, KElement *head, int value, TypeMixSolver type)
{
    Search::TimeStop stop(levelTimeLimit);
    // Taking-part members of equivalences: the only levels a rule ties to others.
    std::vector<bool> tied(static_cast<size_t>(std::max(0, file->eltCount)), false);
    forEachNumbered(file, [&](KElement *e) {
        KGroupData *group = e->type == KELT_GROUP ? KElement_groupData(e) : nullptr;
        if (!group || group->kind != KCONST_EQUIV)
            return;
        for (GList *l = group->members.head; l; l = l->next) {
            KElement *q = static_cast<KElement *>(l->data);
            if (isNumbered(file, q) && takesPart(q, type))
                tied[q->id] = true;
        }
    });
    int counted = 0;
    forEachNumbered(file, [&](KElement *e) { counted += takesPart(e, type); });
    // A lone element keeps its own rule (see below); otherwise untied ones are fixed directly.
    auto isFree = [&](const KElement *e) { return counted > 1 && e != moved && !tied[e->id]; };
    int deviations = 0;
    int maxDeviation = 0;
    forEachNumbered(file, [&](KElement *e) {
        if (!takesPart(e, type))
            return;
        if (e != moved && !isFree(e)) {
            ++deviations;
            int old = static_cast<int>(clampLevel(e->levels->level) + LEVEL_OFFSET);
            maxDeviation = std::max(maxDeviation, VALUE_MAX + std::abs(old));
        }
    });
    if (counted == 0)
        return nullptr;
    OMSpace *root = new OMSpace(file->eltCount, deviations, maxDeviation);
    std::unique_ptr<OMSpace> owner(root);
    IntVarArgs parts;
    forEachNumbered(file, [&](KElement *e) {
        if (takesPart(e, type)) {
            postLevel(*root, e, e == moved, isFree(e));
            parts << root->level[e->id];
        }
        KGroupData *group = e->type == KELT_GROUP ? KElement_groupData(e) : nullptr;
        if (group && group->kind == KCONST_EQUIV)
            postEquivalence(file, *root, group, type);
    });
    if (moved)
        rel(*root, root->level[moved->id], IRT_EQ,
            static_cast<int>(std::clamp(static_cast<long>(value) + LEVEL_OFFSET, -1L,
                                        VALUE_MAX + 1L)));
    // A lone taking-part element gets no objective and no branching: its level is left as it
    // is unless its bounds or the move fix it, even when it stands outside its bounds.
    if (counted > 1) {
        if (deviations > 0) {
            root->cost = expr(*root, sum(root->deviation));
            branch(*root, root->deviation, INT_VAR_SIZE_MIN(), INT_VAL_MIN());
        }
        // A deviation fixes a level only up to its sign: the levels are branched last.
        branch(*root, parts, INT_VAR_NONE(), INT_VAL_MIN());
    }
    Search::Options options;
    options.c_d = 8;
    options.a_d = 2;
    options.threads = 1;
    options.stop = &stop;
    BAB<OMSpace> engine(root, options);
    std::unique_ptr<OMSpace> best;
    while (OMSpace *solution = engine.next())
        best.reset(solution);
    if (!best && engine.stopped()) {
        // The limit is wall-clock time: on a busy machine it can pass before even a first
        // answer. A move is refused only when no answer exists, so a depth-first search for
        // any answer follows, under a long safety limit. The engine above searched a clone:
        // the root is still whole.
        Search::TimeStop longStop(std::max(1000ul, 4 * levelTimeLimit.load()));
        Search::Options first = options;
        first.stop = &longStop;
        DFS<OMSpace> fallback(root, first);
        best.reset(fallback.next());
    }
    if (!best)
        return nullptr;
    if (moved) {
        IntVar l = best->level[moved->id];
        if (!l.assigned() || l.val() != static_cast<long>(value) + LEVEL_OFFSET)
            return nullptr;
    }
    GSList *result = applyLevels(file, *best, moved, head, type);
    return head ? g_slist_prepend(result, head->name) : result;
}

// Whether each element plays, and its level, by id.
std::vector<std::pair<bool, int>> levelState(const KFile *file)
{
    std::vector<std::pair<bool, int>> state;
    for (int id = 0; id < file->eltCount; ++id) {
        const KElement *e = file->eltsById[id];
        state.emplace_back(plays(e), e->levels ? e->levels->level : 0);
    }
    return state;
}

bool sameElements(const KFile *a, const KFile *b)
{
    if (a->eltCount != b->eltCount)
        return false;
    for (int id = 0; id < a->eltCount; ++id)
        if (std::strcmp(a->eltsById[id]->name, b->eltsById[id]->name) != 0)
            return false;
    return true;
}

// Runs `request` on the project itself when no other thread reads it. On the playing project it
// runs on a copy taken under the project lock, searched without the lock; the levels of the
// answer are then written under the lock when the project still plays and levels as the copy
// did (a few tries, then refused).
template <typename Request> GSList *onLevels(KFile *file, Request request)
{
    if (file != k_sharedProject())
        return request(file);
    for (int attempt = 0; attempt < 3; ++attempt) {
        KFile *copy = nullptr;
        std::vector<std::pair<bool, int>> before;
        {
            KProjectLock lock;
            copy = KFile_clone(file);
            if (copy)
                before = levelState(copy);
        }
        if (!copy)
            return nullptr;
        GSList *answer = request(copy);
        GSList *own = nullptr;
        bool current = false;
        if (answer) {
            KProjectLock lock;
            current = sameElements(file, copy) && levelState(file) == before;
            for (GSList *l = answer; current && l; l = l->next) {
                const char *name = static_cast<const char *>(l->data);
                KElement *e = giveElt(file, name);
                const KElement *c = giveElt(copy, name);
                if (e->levels && c->levels && c->levels->level != e->levels->level)
                    changeLevel(e, c->levels->level - e->levels->level);
                own = g_slist_prepend(own, e->name);
            }
        }
        g_slist_free(answer);
        _freeZark(copy);
        if (!answer || current)
            return g_slist_reverse(own);
    }
    return nullptr;
}

GSList *checkLevelIn(KFile *file, const char *name, int level, TypeMixSolver type)
{
    KElement *named = name ? giveElt(file, name) : nullptr;
    KElement *moved = nullptr;
    if (type != TMS_ALL_PLAYING) {
        // Only an element that takes part can be held at a level: a silent one under type 1,
        // or one without a level of its own, would be reported moved while nothing moved.
        if (!isNumbered(file, named) || !takesPart(named, type))
            return nullptr;
        moved = named;
    }
    try {
        // Under type 2 a given name that is an element heads the list.
        return solveLevels(file, moved, isNumbered(file, named) ? named : nullptr, level, type);
    } catch (const Exception &e) {
        std::fprintf(stderr, "!!! ERROR checkLevel : %s\n", e.what());
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "!!! ERROR checkLevel : out of memory\n");
    }
    return nullptr;
}

} // namespace

void k_setLevelSolverTimeLimit(unsigned long ms)
{
    levelTimeLimit = ms ? ms : static_cast<unsigned long>(KMIXSOLVER_TIME_LIMIT_MS);
}

unsigned long k_getLevelSolverTimeLimit(void)
{
    return levelTimeLimit;
}

int levelToInt(int level)
{
    return level + LEVEL_OFFSET;
}

int intToLevel(int value)
{
    return value - LEVEL_OFFSET;
}

GSList *checkLevel(KFile *file, const char *name, int level, TypeMixSolver type)
{
    if (!file)
        return nullptr;
    if (type != TMS_PLAYING_BUT_MOVED && type != TMS_ALL_PLAYING && type != TMS_ALL_BUT_MOVED) {
        std::fprintf(stderr, " !!! Warning OMSpace::OMSpace (KFile*, TypeMixSolver) : unknown "
                             "value of TypeMixSolver\n");
        return nullptr;
    }
    return onLevels(file, [name, level, type](KFile *f) { return checkLevelIn(f, name, level, type); });
}

GSList *moveLevelParams(KFile *file, const char *name, int level, TypeMixSolver type,
                        int outOfMix)
{
    if (!file || !name)
        return nullptr;
    {
        KProjectLock lock;
        KElement *elt = giveElt(file, name);
        if (!elt || (type != TMS_ALL_BUT_MOVED && !plays(elt)) || level < -240)
            return nullptr;
    }
    level = std::min(level, 60);
    GSList *result = checkLevel(file, name, level, type);
    if (result && outOfMix) {
        KProjectLock lock;
        MixManager_outOfMix(file->mixes);
    }
    return result;
}

int checkLevelLaws(KFile *file, GSList *names, const char *name, double gain)
{
    if (!file)
        return 0;
    KProjectLock lock;
    int violations = 0;
    auto report = [&violations](const char *line, const char *what) {
        ++violations;
        if (what)
            std::fprintf(stderr, "%s : %s\n", line, what);
        else
            std::fprintf(stderr, "%s\n", line);
    };
    if (names && (!name || !names->data ||
                  std::strcmp(static_cast<const char *>(names->data), name) != 0))
        report("checkLevelLaws 1", nullptr);
    KElement *named = name ? giveElt(file, name) : nullptr;
    if (named && names && named->levels && named->levels->ownGain != gain)
        report("checkLevelLaws 2", nullptr);
    forEachNumbered(file, [&](KElement *e) {
        const KLevels *lv = e->levels;
        if (lv && bearsLevel(e) && plays(e)) {
            if (lv->lawBound2 != 0.0
                && (lv->ownGain < lv->lawBound1 || lv->ownGain > lv->lawBound2))
                report("cLLForeach 1", e->name);
            KElement *parent = KElement_getParent(e);
            double above = parent && parent->levels ? parent->levels->gain : 1.0;
            if (std::fabs(lv->gain - lv->ownGain * above) >= 0.01)
                report("cLLForeach 2", e->name);
        }
        KGroupData *group = e->type == KELT_GROUP ? KElement_groupData(e) : nullptr;
        if (!group || group->kind != KCONST_EQUIV)
            return;
        const KElement *p = nullptr;
        for (GList *l = group->members.head; l; l = l->next) {
            const KElement *q = static_cast<const KElement *>(l->data);
            if (!q->levels || !plays(q))
                continue;
            if (p && std::fabs(q->levels->ownGain * p->levels->defaultGain -
                               p->levels->ownGain * q->levels->defaultGain) >= 0.01)
                report("cLLForeach 3", q->name);
            p = q;
        }
    });
    return violations;
}

namespace {

// Coefficients of the level-to-solver-value mapping kept for the library's interface; the solver
// itself uses the fixed offset of levelToInt.
double levelIntA = 75.0;
double levelIntB = 0.0;
int levelIntSet = 0;

// A solver value as a level, or an unassigned one as its size and " [min; max]".
void printLevelVar(IntVar v, int shift)
{
    if (v.assigned())
        std::printf("%d", intToLevel(v.val()) - shift);
    else
        std::printf("%u [%d; %d]", v.size(), intToLevel(v.min()) - shift, intToLevel(v.max()) - shift);
}

} // namespace

void initLevelInt_ab(void)
{
    levelIntA = 75.0;
    levelIntB = 0.0;
    levelIntSet = 1;
}

void seeOMSpaceForeach(KFile *file, OMSpace *space, KElement *elt, int movedId)
{
    if (!file || !space || !isNumbered(file, elt))
        return;
    std::printf("%d : ", elt->id);
    if (!plays(elt) || !elt->levels) {
        std::printf("Not playing\n");
        return;
    }
    IntVar l = space->level[elt->id];
    const int old = elt->levels->level;
    printLevelVar(l, 0);
    std::printf(" || %d || ", old);
    printLevelVar(l, old);
    if (elt->mixLawType == KMIXLAW_TRACK && elt->id != movedId) {
        std::printf(" || ");
        if (l.assigned())
            std::printf("%d", std::abs(intToLevel(l.val()) - old));
        else
            printLevelVar(l, old);
    }
    std::printf("\n");
}

void seeOMSpace(KFile *file, OMSpace *space, int movedId)
{
    std::printf("----- SEE SPACE -----\n");
    if (!file || !space) {
        std::printf("Space is null\n");
        return;
    }
    int playing = 0;
    forEachNumbered(file, [&](KElement *e) { playing += plays(e) ? 1 : 0; });
    std::printf("nbElt : %d / %d\n", space->level.size(), file->eltCount);
    std::printf("nbEltPlaying : %d\n", playing);
    std::printf(" _vLevel  || _dLevel (2) || _dLevel (1) || _absDLevel\n");
    std::printf(" newLevel ||  oldLevel   || difference  ||  diff.abs \n");
    forEachNumbered(file, [&](KElement *e) { seeOMSpaceForeach(file, space, e, movedId); });
}
