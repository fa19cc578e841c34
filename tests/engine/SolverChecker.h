// An independent checker for the two solvers, in plain C++ over the project graph: it lists
// every play rule and level law that a state breaks, and finds the best state of a small project
// by exhaustive enumeration, so that a solver's answer (or refusal) can be verified.
#ifndef SOLVER_CHECKER_H
#define SOLVER_CHECKER_H

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "KFile.h"

namespace solvercheck {

inline bool numbered(const KFile *f, const KElement *e)
{
    return e && e->id >= 0 && e->id < f->eltCount && f->eltsById[e->id] == e;
}

inline KGroupData *rule(const KElement *e)
{
    return e && e->type == KELT_GROUP ? static_cast<KGroupData *>(e->data) : nullptr;
}

inline std::vector<KElement *> members(const KFile *f, const KGroupData *g)
{
    std::vector<KElement *> out;
    for (GList *l = g->members.head; l; l = l->next) {
        KElement *m = static_cast<KElement *>(l->data);
        if (numbered(f, m))
            out.push_back(m);
    }
    return out;
}

// The names of a solver's answer, the list freed.
inline std::vector<std::string> takeList(GSList *list)
{
    std::vector<std::string> out;
    for (GSList *l = list; l; l = l->next)
        out.emplace_back(static_cast<const char *>(l->data));
    g_slist_free(list);
    return out;
}

inline std::vector<KElement *> elements(const KFile *f)
{
    return std::vector<KElement *>(f->eltsById, f->eltsById + f->eltCount);
}

// --- Play rules ----------------------------------------------------------------------------------

// A play state: whether each element id plays.
using PlayState = std::vector<char>;

inline PlayState currentPlay(const KFile *f)
{
    PlayState s;
    for (KElement *e : elements(f))
        s.push_back(e->status > 0);
    return s;
}

// Every rule that the play state breaks, described (only the first with `firstOnly`); empty
// when all hold.
inline std::vector<std::string> playViolations(KFile* f, const PlayState& on,
                                               bool firstOnly = false)
{
    std::vector<std::string> out;
    for (KElement *e : elements(f)) {
        KGroupData *g = rule(e);
        if (!g)
            continue;
        std::vector<KElement *> ms = members(f, g);
        int playing = 0;
        for (KElement *m : ms)
            playing += on[m->id] ? 1 : 0;
        if (firstOnly && !out.empty())
            break;
        std::string name = e->name;
        if (!ms.empty() && bool(on[e->id]) != (playing > 0))
            out.push_back(name + ": group state does not follow its members");
        if (g->kind == KCONST_GROUP || g->kind == KCONST_ALL || g->kind == KCONST_ONE) {
            const int *b = static_cast<const int *>(g->kindData);
            if (b && (playing < b[0] || playing > b[1]))
                out.push_back(name + ": " + std::to_string(playing) + " playing outside [" +
                              std::to_string(b[0]) + "," + std::to_string(b[1]) + "]");
        } else if (g->kind == KCONST_IMPLY) {
            KElement *imp = giveElt(f, static_cast<const char *>(g->kindData));
            if (numbered(f, imp) && on[imp->id])
                for (KElement *m : ms)
                    if (!on[m->id])
                        out.push_back(name + ": " + imp->name + " plays without " + m->name);
        }
    }
    return out;
}

// The rules broken by the project's statuses, plus any playing count that is out of step.
inline std::vector<std::string> statusViolations(KFile *f)
{
    std::vector<std::string> out = playViolations(f, currentPlay(f));
    for (KElement *e : elements(f))
        if (KGroupData *g = rule(e)) {
            int playing = 0;
            for (KElement *m : members(f, g))
                playing += m->status > 0 ? 1 : 0;
            if (g->playCount != playing)
                out.push_back(std::string(e->name) + ": playing count " +
                              std::to_string(g->playCount) + " for " + std::to_string(playing));
        }
    return out;
}

struct PlayOptimum {
    bool feasible = false;
    int kept = -1; // most tracks other than the requested one that keep their state
};

// Completes a choice of track states in `on`: every rule element plays when one of its members
// does (a rule without members only when it is the requested element and `wanted`). True when
// the requested element is `wanted` and the state breaks no rule.
inline bool completesToValid(KFile *f, PlayState &on, KElement *requested, bool wanted)
{
    std::vector<int> done(on.size(), 0);
    std::function<bool(KElement *)> state = [&](KElement *e) -> bool {
        KGroupData *g = rule(e);
        if (!g || done[e->id])
            return on[e->id];
        done[e->id] = 1;
        std::vector<KElement *> ms = members(f, g);
        if (ms.empty()) {
            on[e->id] = e == requested && wanted;
            return on[e->id];
        }
        bool any = false;
        for (KElement *m : ms)
            any = state(m) || any;
        on[e->id] = any;
        return on[e->id];
    };
    for (KElement *e : elements(f))
        state(e);
    return bool(on[requested->id]) == wanted && playViolations(f, on, true).empty();
}

// Enumerates every on/off choice of the tracks (group states follow their members; a rule
// without members plays only when it is the requested element) and returns the best state in which `requested` is `wanted`.
inline PlayOptimum bestPlay(KFile *f, KElement *requested, bool wanted, const PlayState &before)
{
    std::vector<KElement *> tracks;
    for (KElement *e : elements(f))
        if (e->type == KELT_TRACK)
            tracks.push_back(e);
    PlayOptimum best;
    PlayState on(before);
    for (unsigned long mask = 0; mask < (1ul << tracks.size()); ++mask) {
        for (size_t i = 0; i < tracks.size(); ++i)
            on[tracks[i]->id] = (mask >> i) & 1;
        if (!completesToValid(f, on, requested, wanted))
            continue;
        int kept = 0;
        for (KElement *t : tracks)
            kept += (t != requested && on[t->id] == before[t->id]) ? 1 : 0;
        if (!best.feasible || kept > best.kept)
            best = {true, kept};
    }
    return best;
}

// Whether some state that breaks no rule has `requested` `wanted` and at most `changes` other
// tracks switched from `before`: every set of up to `changes` tracks is tried, so projects too
// large to enumerate whole can be checked when few tracks change.
inline bool fewChangesSuffice(KFile *f, KElement *requested, bool wanted,
                              const PlayState &before, int changes)
{
    std::vector<KElement *> others;
    for (KElement *e : elements(f))
        if (e->type == KELT_TRACK && e != requested)
            others.push_back(e);
    std::vector<size_t> picked;
    std::function<bool(size_t)> tryFrom = [&](size_t from) -> bool {
        PlayState on(before);
        if (requested->type == KELT_TRACK)
            on[requested->id] = wanted;
        for (size_t i : picked)
            on[others[i]->id] = !before[others[i]->id];
        if (completesToValid(f, on, requested, wanted))
            return true;
        if (static_cast<int>(picked.size()) == changes)
            return false;
        for (size_t i = from; i < others.size(); ++i) {
            picked.push_back(i);
            const bool found = tryFrom(i + 1);
            picked.pop_back();
            if (found)
                return true;
        }
        return false;
    };
    return changes >= 0 && tryFrom(0);
}

// --- Level laws ----------------------------------------------------------------------------------

inline bool bearsLevel(const KElement *e)
{
    if (e->type == KELT_TRACK)
        return true;
    KGroupData *g = rule(e);
    return g && g->kind == KCONST_GROUP && e->visible;
}

// The elements whose levels the level solver of `type` (1, 2 or 3) moves.
inline bool takesPart(const KElement *e, int type)
{
    return bearsLevel(e) && (type == 3 || e->status > 0);
}

// Pairs of consecutive taking-part members of each equivalence, with their factors.
struct Pair {
    KElement *p, *q;
    long fp, fq, bound;
};

inline std::vector<Pair> equivalencePairs(KFile *f, int type)
{
    std::vector<Pair> out;
    for (KElement *e : elements(f)) {
        KGroupData *g = rule(e);
        if (!g || g->kind != KCONST_EQUIV)
            continue;
        KElement *p = nullptr;
        for (KElement *q : members(f, g)) {
            if (!takesPart(q, type))
                continue;
            if (p) {
                long fp = std::max(0L, p->levels->defaultLevel + 240L);
                long fq = std::max(0L, q->levels->defaultLevel + 240L);
                if (fp || fq)
                    out.push_back({p, q, fp, fq, std::max(1L, (fp + fq) / 2)});
            }
            p = q;
        }
    }
    return out;
}

inline bool pairHolds(const Pair &pr, long lp, long lq)
{
    return std::labs(pr.fq * (lp + 240) - pr.fp * (lq + 240)) < pr.bound;
}

// Every level law that the current levels break under `type`.
inline std::vector<std::string> levelViolations(KFile *f, int type)
{
    std::vector<std::string> out;
    for (KElement *e : elements(f)) {
        if (!takesPart(e, type))
            continue;
        const KLevels *l = e->levels;
        if (l->level < std::max(l->minLevel, -240) || l->level > std::min(l->maxLevel, 60))
            out.push_back(std::string(e->name) + ": level " + std::to_string(l->level) +
                          " outside its bounds");
    }
    for (const Pair &pr : equivalencePairs(f, type))
        if (!pairHolds(pr, pr.p->levels->level, pr.q->levels->level))
            out.push_back(std::string(pr.p->name) + "/" + pr.q->name + ": out of proportion");
    return out;
}

struct LevelOptimum {
    bool feasible = false;
    long cost = -1; // least total |new - old| over the taking-part elements but the moved one
};

// Finds the least total move by enumeration, component by component of the equivalence pairs.
// `old` holds every element's level before the move; `moved` (may be null) is held at `value`.
inline LevelOptimum bestLevels(KFile *f, int type, KElement *moved, int value,
                               const std::vector<int> &old)
{
    std::vector<KElement *> parts;
    for (KElement *e : elements(f))
        if (takesPart(e, type))
            parts.push_back(e);
    std::vector<Pair> pairs = equivalencePairs(f, type);
    std::map<KElement *, std::vector<const Pair *>> touching;
    for (const Pair &pr : pairs) {
        touching[pr.p].push_back(&pr);
        touching[pr.q].push_back(&pr);
    }
    std::map<KElement *, long> assigned;
    LevelOptimum total{true, 0};
    for (KElement *start : parts) {
        if (assigned.count(start))
            continue;
        // The component in breadth-first order, the moved element first when it lies in it.
        std::vector<KElement *> comp{start};
        for (size_t i = 0; i < comp.size(); ++i)
            for (const Pair *pr : touching[comp[i]])
                for (KElement *n : {pr->p, pr->q})
                    if (std::find(comp.begin(), comp.end(), n) == comp.end())
                        comp.push_back(n);
        auto m = std::find(comp.begin(), comp.end(), moved);
        if (m != comp.end()) {
            comp.erase(m);
            comp.insert(comp.begin(), moved);
            std::vector<KElement *> ordered{moved};
            for (size_t i = 0; i < ordered.size(); ++i)
                for (const Pair *pr : touching[ordered[i]])
                    for (KElement *n : {pr->p, pr->q})
                        if (std::find(ordered.begin(), ordered.end(), n) == ordered.end())
                            ordered.push_back(n);
            comp = ordered;
        }
        long best = LONG_MAX;
        std::map<KElement *, long> local;
        std::function<void(size_t, long)> search = [&](size_t i, long cost) {
            if (cost >= best)
                return;
            if (i == comp.size()) {
                best = cost;
                return;
            }
            KElement *e = comp[i];
            long lo = std::max<long>(e->levels->minLevel, -240);
            long hi = std::min<long>(e->levels->maxLevel, 60);
            for (long v = lo; v <= hi; ++v) {
                if (e == moved && v != value)
                    continue;
                bool ok = true;
                for (const Pair *pr : touching[e]) {
                    KElement *other = pr->p == e ? pr->q : pr->p;
                    if (!local.count(other))
                        continue;
                    ok = pr->p == e ? pairHolds(*pr, v, local[other])
                                    : pairHolds(*pr, local[other], v);
                    if (!ok)
                        break;
                }
                if (!ok)
                    continue;
                local[e] = v;
                search(i + 1, cost + (e == moved ? 0 : std::labs(v - old[e->id])));
                local.erase(e);
            }
        };
        search(0, 0);
        for (KElement *e : comp)
            assigned[e] = 0;
        if (best == LONG_MAX)
            return {};
        total.cost += best;
    }
    return total;
}

} // namespace solvercheck

#endif
