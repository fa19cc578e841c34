// Play-status solver: the rule checker over the current statuses and the constraint model that
// finds, for one switched element, the state that breaks no rule and keeps the most other tracks.
#include "KSolver.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <gecode/int.hh>
#include <gecode/minimodel.hh>
#include <gecode/search.hh>

#include "KElement.h"
#include "KProjectLock.h"

using namespace Gecode;

namespace {

std::atomic<unsigned long> statusTimeLimit{KSOLVER_STATUS_TIME_LIMIT_MS};

// Weight of a track's kept-status indicator in the objective.
enum { WEIGHT_TRACK = 1 };

bool isNumbered(const KFile *file, const KElement *elt)
{
    return elt && elt->id >= 0 && elt->id < file->eltCount && file->eltsById[elt->id] == elt;
}

bool plays(const KElement *elt)
{
    return elt->status > 0;
}

// The group data of a numbered group/rule element (type 5); null for anything else.
KGroupData *ruleOf(KElement *elt)
{
    return elt && elt->type == KELT_GROUP ? KElement_groupData(elt) : nullptr;
}

bool hasMinMax(int kind)
{
    return kind == KCONST_GROUP || kind == KCONST_ALL || kind == KCONST_ONE;
}

// The implying element of an implication when it exists and is numbered.
KElement *implyingOf(KFile *file, KGroupData *group)
{
    if (group->kind != KCONST_IMPLY || !group->kindData)
        return nullptr;
    KElement *implying = giveElt(file, static_cast<const char *>(group->kindData));
    return isNumbered(file, implying) ? implying : nullptr;
}

// The numbered members of a rule, in the rule's own order (working elements have no variable).
std::vector<KElement *> membersOf(KFile *file, KGroupData *group)
{
    std::vector<KElement *> members;
    for (GList *l = group->members.head; l; l = l->next) {
        KElement *member = static_cast<KElement *>(l->data);
        if (isNumbered(file, member))
            members.push_back(member);
    }
    return members;
}

// Every element filed in the project, in creation order (the fixed order of every walk here).
template <typename Fn> void forEachElt(KFile *file, Fn fn)
{
    for (KElement *e = file->firstCreated; e; e = e->nextCreated)
        fn(e);
}

// Statuses and playing counts of every element, to put back after a check.
class StatusSnapshot {
public:
    explicit StatusSnapshot(KFile *file)
    {
        saved_.reserve(static_cast<size_t>(file->eltCount));
        forEachElt(file, [this](KElement *e) {
            KGroupData *group = KElement_groupData(e);
            saved_.push_back({e, e->status, group ? group->playCount : 0});
        });
    }
    void restore() const
    {
        for (const Saved &s : saved_) {
            s.elt->status = s.status;
            if (KGroupData *group = KElement_groupData(s.elt))
                group->playCount = s.playCount;
        }
    }

private:
    struct Saved {
        KElement *elt;
        int status;
        int playCount;
    };
    std::vector<Saved> saved_;
};

// Violations of one element's rule in the current statuses, written to `stream` when given.
int checkElt(KFile *file, KElement *elt, FILE *stream)
{
    if (elt->type == KELT_TRACK)
        return 0;
    KGroupData *group = ruleOf(elt);
    if (!group) {
        if (stream)
            std::fprintf(stream,
                         " !!! ERROR solutionChecking::checkElt : unknown element type \"%d\" of "
                         "element \"%s\"!!!\n",
                         elt->type, elt->name);
        return 1;
    }
    std::vector<KElement *> members = membersOf(file, group);
    int playing = static_cast<int>(std::count_if(members.begin(), members.end(), plays));
    int violations = 0;
    if ((playing == 0) == plays(elt)) {
        ++violations;
        if (stream)
            std::fprintf(stream, "checkElt - 1 (%s) : %d (%d)\n", elt->name, elt->status, playing);
    }
    if (hasMinMax(group->kind)) {
        const int *bounds = static_cast<const int *>(group->kindData);
        if (bounds && (playing < bounds[0] || playing > bounds[1])) {
            ++violations;
            if (stream)
                std::fprintf(stream, "checkElt - 2 (%s) : %d [%d,%d]\n", elt->name, playing,
                             bounds[0], bounds[1]);
        }
    } else if (group->kind == KCONST_IMPLY) {
        KElement *implying = implyingOf(file, group);
        if (implying && plays(implying)) {
            for (KElement *member : members) {
                if (plays(member))
                    continue;
                ++violations;
                if (stream)
                    std::fprintf(stream, "checkElt - 3 (%s) : %d > %d\n", elt->name, elt->status,
                                 member->status);
            }
        }
    } else if (group->kind != KCONST_EQUIV) {
        ++violations;
        if (stream)
            std::fprintf(stream,
                         " !!! ERROR solutionChecking::checkElt : unknown constraint type \"%d\" "
                         "of element \"%s\"!!!\n",
                         group->kind, elt->name);
    }
    return violations;
}

// Union-find over element ids: the elements that rules tie together form one component.
class Components {
public:
    explicit Components(int n) : parent_(static_cast<size_t>(n))
    {
        for (int i = 0; i < n; ++i)
            parent_[static_cast<size_t>(i)] = i;
    }
    int find(int i)
    {
        while (parent_[static_cast<size_t>(i)] != i) {
            int up = parent_[static_cast<size_t>(parent_[static_cast<size_t>(i)])];
            parent_[static_cast<size_t>(i)] = up;
            i = up;
        }
        return i;
    }
    void join(int a, int b) { parent_[static_cast<size_t>(find(a))] = find(b); }

private:
    std::vector<int> parent_;
};

} // namespace

// --- Model ---------------------------------------------------------------------------------------

// One search node: the objective, a 0/1 status per searched element, the playing count of every
// searched rule with members, and the kept-status indicators that the search branches on.
class OSpace : public Space {
public:
    IntVar cost;
    BoolVarArray statusVars;
    IntVarArray counts;
    BoolVarArray indicators;

    OSpace(int elements, int rules)
        : cost(*this, 0, 0), statusVars(*this, elements, 0, 1),
          counts(*this, rules, 0, std::max(elements, 0))
    {
    }
    OSpace(OSpace &other) : Space(other)
    {
        cost.update(*this, other.cost);
        statusVars.update(*this, other.statusVars);
        counts.update(*this, other.counts);
        indicators.update(*this, other.indicators);
    }
    Space *copy() override { return new OSpace(*this); }
    // Strictly better only: equal-cost solutions are not delivered again, so the kept answer is
    // the first best one in search order, whatever the machine's speed.
    void constrain(const Space &best) override
    {
        rel(*this, cost, IRT_GR, static_cast<const OSpace &>(best).cost.val());
    }
};

// Everything one request builds: the project, the status variable of each searched element, the
// next free count slot, the root space, and the indicators with their weights in the order posted.
// Elements outside the searched components keep their state and get no variable.
class ZarkWorkSpace {
public:
    ZarkWorkSpace(KFile *file, const std::vector<char> &searched)
        : file(file), varOf(static_cast<size_t>(file->eltCount), -1)
    {
        for (KElement *e = file->firstCreated; e; e = e->nextCreated)
            if (isNumbered(file, e) && searched[static_cast<size_t>(e->id)])
                order.push_back(e);
        number();
    }
    // Searches the given numbered elements, which are in creation order.
    ZarkWorkSpace(KFile *file, std::vector<KElement *> searched)
        : file(file), varOf(static_cast<size_t>(file->eltCount), -1), order(std::move(searched)),
          wholeProject(false)
    {
        number();
    }
    ~ZarkWorkSpace() { delete root; }
    ZarkWorkSpace(const ZarkWorkSpace &) = delete;
    ZarkWorkSpace &operator=(const ZarkWorkSpace &) = delete;

    void addIndicator(BoolVar b, int weight, KElement *track)
    {
        indicators << b;
        weights << weight;
        indicatorElts.push_back(track);
    }

    // The status variable of a searched element.
    BoolVar statusOf(const KElement *elt) const
    {
        return root->statusVars[varOf[static_cast<size_t>(elt->id)]];
    }
    bool searched(const KElement *elt) const { return varOf[static_cast<size_t>(elt->id)] >= 0; }

    KFile *file;
    std::vector<int> varOf;  // status variable of each element id, -1 not searched
    std::vector<KElement *> order; // the searched elements in creation order
    bool wholeProject = true;      // made from a flag per element of the whole project
    OSpace *root;
    int nextSlot = 0;
    BoolVarArgs indicators;
    IntArgs weights;
    std::vector<KElement *> indicatorElts; // the track of each indicator

private:
    void number()
    {
        int vars = 0, rules = 0;
        for (KElement *e : order) {
            varOf[static_cast<size_t>(e->id)] = vars++;
            if (e->type == KELT_GROUP)
                ++rules;
        }
        root = new OSpace(vars, rules);
    }
};

namespace {

// Posts one rule element's rule: its playing count, its own status (playing while a member plays)
// and its bounds or implication. A rule without members plays only when it is `requested`.
void postRule(ZarkWorkSpace &ws, KElement *elt, const KElement *requested)
{
    OSpace &home = *ws.root;
    KFile *file = ws.file;
    KGroupData *group = ruleOf(elt);
    if (!group) {
        std::fprintf(stderr, "Error iniatializeConst : Unknown element type (%d)\n", elt->type);
        return;
    }
    std::vector<KElement *> members = membersOf(file, group);
    if (members.empty()) {
        // A rule element without members plays only when it is the one asked for.
        if (elt != requested)
            rel(home, ws.statusOf(elt), IRT_EQ, 0);
        return;
    }
    IntVar count = home.counts[ws.nextSlot++];
    BoolVarArgs memberStatus;
    for (KElement *member : members)
        memberStatus << ws.statusOf(member);
    linear(home, memberStatus, IRT_EQ, count);
    rel(home, count, IRT_GR, 0, ws.statusOf(elt));
    int n = static_cast<int>(members.size());
    if (hasMinMax(group->kind)) {
        const int *bounds = static_cast<const int *>(group->kindData);
        if (bounds) {
            // Bounds come from files: clamp them so that any value posts (an impossible one
            // still fails).
            rel(home, count, IRT_GQ, std::clamp(bounds[0], 0, n + 1));
            rel(home, count, IRT_LQ, std::clamp(bounds[1], -1, n));
        }
    } else if (group->kind == KCONST_IMPLY) {
        if (KElement *implying = implyingOf(file, group))
            for (KElement *member : members)
                rel(home, ws.statusOf(implying), IRT_LQ, ws.statusOf(member));
    } else {
        std::fprintf(stderr, "Error iniatializeConst : Unknown constraint type (%d)\n",
                     group->kind);
    }
}

// Posts the rules of one element. A rule's indicators would always be 1 (every rule is also
// posted hard), so only the tracks' kept-status indicators are posted: they alone rank states.
void iniatializeConst(ZarkWorkSpace &ws, KElement *elt, const KElement *requested)
{
    OSpace &home = *ws.root;
    if (elt->type == KELT_TRACK) {
        if (elt == requested)
            return; // fixed by a hard constraint
        BoolVar s = ws.statusOf(elt);
        if (plays(elt)) {
            ws.addIndicator(s, WEIGHT_TRACK, elt);
        } else {
            BoolVar kept(home, 0, 1);
            rel(home, kept, IRT_NQ, s);
            ws.addIndicator(kept, WEIGHT_TRACK, elt);
        }
        return;
    }
    postRule(ws, elt, requested);
}

// Ids whose component (elements tied by memberships and implications) must be searched: the
// requested element's, and every component that breaks a rule now. The others keep their state.
std::vector<char> activeElements(KFile *file, KElement *requested)
{
    int n = file->eltCount;
    Components components(n);
    std::vector<KElement *> broken;
    forEachElt(file, [&](KElement *e) {
        KGroupData *group = ruleOf(e);
        if (!isNumbered(file, e) || !group)
            return;
        for (KElement *member : membersOf(file, group))
            components.join(member->id, e->id);
        if (KElement *implying = implyingOf(file, group))
            components.join(implying->id, e->id);
        if (checkElt(file, e, nullptr) > 0)
            broken.push_back(e);
    });
    std::vector<char> activeRoot(static_cast<size_t>(n), 0);
    activeRoot[static_cast<size_t>(components.find(requested->id))] = 1;
    for (KElement *e : broken)
        activeRoot[static_cast<size_t>(components.find(e->id))] = 1;
    std::vector<char> active(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; ++i)
        active[static_cast<size_t>(i)] = activeRoot[static_cast<size_t>(components.find(i))];
    return active;
}

// The requested element's component alone, in creation order: the elements reached from it
// through the links activeElements joins (a rule to its members and implying element, an element
// to the rules holding it and the implications it implies). Enough when no rule is broken now.
std::vector<KElement *> componentOf(KFile *file, KElement *requested)
{
    std::vector<KElement *> reached{requested};
    VisitedSet seen;
    seen.add(requested);
    auto reach = [&](KElement *e) {
        if (isNumbered(file, e) && seen.add(e))
            reached.push_back(e);
    };
    for (size_t i = 0; i < reached.size(); ++i) {
        KElement *e = reached[i];
        if (KGroupData *group = ruleOf(e)) {
            for (GList *l = group->members.head; l; l = l->next)
                reach(static_cast<KElement *>(l->data));
            if (KElement *implying = implyingOf(file, group))
                reach(implying);
        }
        for (GList *l = e->parents.head; l; l = l->next)
            if (ruleOf(static_cast<KElement *>(l->data)))
                reach(static_cast<KElement *>(l->data));
        for (GList *l = e->impliedBy.head; l; l = l->next) {
            KElement *rule = static_cast<KElement *>(l->data);
            KGroupData *group = ruleOf(rule);
            if (group && implyingOf(file, group) == e)
                reach(rule);
        }
    }
    std::sort(reached.begin(), reached.end(), [](const KElement *a, const KElement *b) {
        return a->createdRank < b->createdRank;
    });
    return reached;
}

// Writes the solution's statuses and playing counts; returns the changed names, requested first.
GSList *applyStatuses(const ZarkWorkSpace &ws, const OSpace &solution, KElement *requested)
{
    GSList *changed = nullptr;
    for (KElement *e : ws.order) {
        BoolVar s = solution.statusVars[ws.varOf[static_cast<size_t>(e->id)]];
        if (!s.assigned() || (s.val() == 1) == plays(e))
            continue;
        bool on = s.val() == 1;
        e->status = on ? KSTATUS_ON : KSTATUS_OFF;
        for (GList *l = e->parents.head; l; l = l->next) {
            KGroupData *group = KElement_groupData(static_cast<KElement *>(l->data));
            if (!group)
                continue;
            if (on)
                ++group->playCount;
            else if (group->playCount > 0)
                --group->playCount;
        }
        if (e != requested)
            changed = g_slist_prepend(changed, e->name);
    }
    return g_slist_prepend(g_slist_reverse(changed), requested->name);
}

// Posts the model of one request on the work space's root: every rule of the searched elements
// and the requested element's new state. Returns the requested value.
int postRequest(ZarkWorkSpace &ws, KElement *requested)
{
    KFile *file = ws.file;
    OSpace &root = *ws.root;
    if (!ws.wholeProject) {
        for (KElement *e : ws.order)
            iniatializeConst(ws, e, requested);
        int wanted = plays(requested) ? 0 : 1;
        rel(root, ws.statusOf(requested), IRT_EQ, wanted);
        return wanted;
    }
    forEachElt(file, [&](KElement *e) {
        if (!isNumbered(file, e)) {
            if (!ruleOf(e) && e->type != KELT_TRACK)
                std::fprintf(stderr, "Error iniatializeConst : Unknown element type (%d)\n",
                             e->type);
            return;
        }
        if (ws.searched(e)) {
            iniatializeConst(ws, e, requested);
        } else {
            KGroupData *group = ruleOf(e);
            if (group && group->kind == KCONST_EQUIV)
                std::fprintf(stderr, "Error iniatializeConst : Unknown constraint type (%d)\n",
                             group->kind);
        }
    });
    int wanted = plays(requested) ? 0 : 1;
    rel(root, ws.statusOf(requested), IRT_EQ, wanted);
    return wanted;
}

Search::Options searchOptions(Search::Stop *stop)
{
    Search::Options options;
    options.c_d = 8;
    options.a_d = 2;
    options.threads = 1;
    options.stop = stop;
    return options;
}

std::atomic<long> limitHits{0};

// The give-up test of the random selection running on this thread (null when none).
thread_local int (*t_cancel)(void) = nullptr;

bool cancelled()
{
    return t_cancel && t_cancel();
}

// The long safety limit of a search for any state, well past the optimising search's limit.
unsigned long safetyLimitMs()
{
    return std::max(1000ul, 4 * k_getStatusSolverTimeLimit());
}

// A search's time limit, also ended by the thread's give-up test.
class RequestStop : public Search::Stop {
public:
    explicit RequestStop(unsigned long ms) : time_(ms) {}
    bool stop(const Search::Statistics &s, const Search::Options &o) override
    {
        return time_.stop(s, o) || cancelled();
    }

private:
    Search::TimeStop time_;
};

// Any state of `space` that meets every rule, for a request whose optimising search found none in
// its time limit: a depth-first search on the statuses, the most constrained first, restarted on
// a growing failure limit. Refuses only when no state exists (or after a long safety limit).
OSpace *anyState(OSpace &space)
{
    RequestStop stop(safetyLimitMs());
    branch(space, space.statusVars, BOOL_VAR_AFC_MAX(0.99), BOOL_VAL_MIN());
    Search::Options options = searchOptions(&stop);
    options.cutoff = Search::Cutoff::luby(64);
    RBS<OSpace, DFS> engine(&space, options);
    return engine.next();
}

// Any state that meets every rule with the requested element switched; `searched` as the
// request's work space numbers them.
OSpace *firstSolution(KFile *file, const std::vector<KElement *> &searched, KElement *requested)
{
    ZarkWorkSpace ws(file, searched);
    postRequest(ws, requested);
    return anyState(*ws.root);
}

// Stops a search after `fails` failures, at the long safety limit of a search for any state, or
// when the thread gives up.
class FailStop : public Search::Stop {
public:
    explicit FailStop(unsigned long fails) : fails_(fails), time_(safetyLimitMs()) {}
    bool stop(const Search::Statistics &s, const Search::Options &o) override
    {
        return s.fail > fails_ || time_.stop(s, o);
    }

private:
    unsigned long fails_;
    RequestStop time_;
};

// Failures a greedy search for a state may meet before the complete search takes over.
enum { GREEDY_FAIL_LIMIT = 64 };

// The tracks that some state meeting every rule lets play, asked for `asked`, on one model of the
// whole project (`ws`, every rule posted, nothing requested). For each track not yet known to
// play, a search for a state where it plays tries to play every other unanswered track too, so a
// few states answer most tracks; when that greedy search gives up without proving that no state
// exists, a complete search answers the track alone. Returns a flag per element id.
std::vector<char> playableTracks(ZarkWorkSpace &ws, const std::vector<KElement *> &asked)
{
    std::vector<char> playable(ws.varOf.size(), 0);
    if (ws.root->status() == SS_FAILED)
        return playable;
    auto withPlaying = [&ws](KElement *track) {
        OSpace *space = static_cast<OSpace *>(ws.root->clone());
        rel(*space, space->statusVars[ws.varOf[static_cast<size_t>(track->id)]], IRT_EQ, 1);
        return std::unique_ptr<OSpace>(space);
    };
    for (KElement *track : asked) {
        if (playable[static_cast<size_t>(track->id)] || cancelled())
            continue;
        std::unique_ptr<OSpace> space = withPlaying(track);
        BoolVarArgs open;
        for (KElement *other : asked)
            if (!playable[static_cast<size_t>(other->id)] && other != track)
                open << space->statusVars[ws.varOf[static_cast<size_t>(other->id)]];
        if (open.size() > 0)
            branch(*space, open, BOOL_VAR_NONE(), BOOL_VAL_MAX());
        branch(*space, space->statusVars, BOOL_VAR_NONE(), BOOL_VAL_MIN());
        FailStop greedyStop(GREEDY_FAIL_LIMIT);
        // The greedy search goes as deep as there are tracks and seldom fails: a copy of the
        // whole space every few levels would make it cost a step per track per track. Fewer
        // copies only change how far a failure recomputes, never which state is found.
        Search::Options greedyOptions = searchOptions(&greedyStop);
        greedyOptions.c_d = 2048;
        greedyOptions.a_d = 2048;
        DFS<OSpace> greedy(space.get(), greedyOptions);
        std::unique_ptr<OSpace> state(greedy.next());
        if (!state && greedy.stopped() && !cancelled())
            state.reset(anyState(*withPlaying(track)));
        if (!state)
            continue;
        for (KElement *other : asked) {
            BoolVar s = state->statusVars[ws.varOf[static_cast<size_t>(other->id)]];
            if (s.assigned() && s.val() == 1)
                playable[static_cast<size_t>(other->id)] = 1;
        }
    }
    return playable;
}

// How many tracks of the project (only those with a parent unless `orphans`) some state meeting
// every rule lets play.
int countPlayableTracks(KFile *file, bool orphans)
{
    ZarkWorkSpace ws(file, std::vector<char>(static_cast<size_t>(file->eltCount), 1));
    std::vector<KElement *> asked;
    forEachElt(file, [&](KElement *e) {
        if (!isNumbered(file, e))
            return;
        if (e->type != KELT_TRACK)
            postRule(ws, e, nullptr);
        else if (orphans || e->parents.head)
            asked.push_back(e);
    });
    const std::vector<char> playable = playableTracks(ws, asked);
    return static_cast<int>(std::count_if(asked.begin(), asked.end(), [&](KElement *e) {
        return playable[static_cast<size_t>(e->id)] != 0;
    }));
}

// The rules of a request's model as the search's branching sees them: for each rule its own
// status variable, its members' and its implying element's status variables with the state each
// had before the request, and its bounds; for each indicator the rules of its track (the groups
// holding it and the implications it implies).
class Neighbourhood {
public:
    explicit Neighbourhood(const ZarkWorkSpace &ws)
    {
        KFile *file = ws.file;
        std::vector<int> ruleOfElt(ws.varOf.size(), -1);
        auto var = [&ws](const KElement *e) { return ws.varOf[static_cast<size_t>(e->id)]; };
        for (KElement *e : ws.order) {
            KGroupData *group = ruleOf(e);
            if (!group)
                continue;
            Rule rule;
            rule.self = var(e);
            rule.firstMember = static_cast<int>(memberVar_.size());
            for (KElement *member : membersOf(file, group)) {
                if (!ws.searched(member))
                    continue;
                memberVar_.push_back(var(member));
                memberWas_.push_back(plays(member) ? 1 : 0);
            }
            rule.endMember = static_cast<int>(memberVar_.size());
            if (hasMinMax(group->kind) && group->kindData) {
                const int *bounds = static_cast<const int *>(group->kindData);
                rule.min = bounds[0];
                rule.max = bounds[1];
            }
            if (KElement *implying = implyingOf(file, group)) {
                if (ws.searched(implying)) {
                    rule.implying = var(implying);
                    rule.implyingWas = plays(implying) ? 1 : 0;
                }
            }
            ruleOfElt[static_cast<size_t>(e->id)] = static_cast<int>(rules_.size());
            rules_.push_back(rule);
        }
        indicatorsOf_.resize(rules_.size());
        seen_.assign(rules_.size(), 0);
        count_.assign(ws.indicatorElts.size(), 0);
        was_.resize(ws.order.size());
        watchers_.resize(ws.order.size());
        for (size_t r = 0; r < rules_.size(); ++r) {
            const Rule &rule = rules_[r];
            auto watched = [&](int v) {
                watchers_[static_cast<size_t>(v)].push_back(static_cast<int>(r));
            };
            watched(rule.self);
            for (int m = rule.firstMember; m < rule.endMember; ++m)
                watched(memberVar_[static_cast<size_t>(m)]);
            if (rule.implying >= 0)
                watched(rule.implying);
        }
        for (KElement *e : ws.order) {
            was_[static_cast<size_t>(var(e))] = plays(e) ? 1 : 0;
            const int r = ruleOfElt[static_cast<size_t>(e->id)];
            if (r >= 0 && checkElt(file, e, nullptr) > 0)
                brokenBefore_.push_back(r);
        }
        for (size_t i = 0; i < ws.indicatorElts.size(); ++i) {
            KElement *track = ws.indicatorElts[i];
            const int indicator = static_cast<int>(i);
            auto add = [&](KElement *rule) {
                const int r = ruleOfElt[static_cast<size_t>(rule->id)];
                if (r >= 0)
                    indicatorsOf_[static_cast<size_t>(r)].push_back(indicator);
            };
            for (GList *l = track->parents.head; l; l = l->next) {
                KElement *parent = static_cast<KElement *>(l->data);
                if (isNumbered(file, parent))
                    add(parent);
            }
            for (GList *l = track->impliedBy.head; l; l = l->next) {
                KElement *rule = static_cast<KElement *>(l->data);
                KGroupData *group = ruleOf(rule);
                if (isNumbered(file, rule) && group && implyingOf(file, group) == track)
                    add(rule);
            }
        }
    }

    // Whether some rule was broken before the request (the request repairs it too).
    bool repairs() const { return !brokenBefore_.empty(); }

    // The indicator to branch on in `space`: among the undecided ones from `from` on, the one
    // whose track is in the most rules that keeping every undecided element as it was breaks
    // (the earliest among equals); `from` itself when no rule is broken so, and then `quiet` is
    // set. Only a rule that broke before the request or watches an element decided away from its
    // state can break so.
    int pick(const OSpace &space, int from, bool *quiet) const
    {
        ++stamp_;
        std::vector<int> &candidates = candidates_;
        candidates.clear();
        auto consider = [&](int r) {
            if (seen_[static_cast<size_t>(r)] == stamp_)
                return;
            seen_[static_cast<size_t>(r)] = stamp_;
            if (!brokenIfKept(space, rules_[static_cast<size_t>(r)]))
                return;
            for (int i : indicatorsOf_[static_cast<size_t>(r)])
                if (i >= from && !space.indicators[i].assigned() &&
                    count_[static_cast<size_t>(i)]++ == 0)
                    candidates.push_back(i);
        };
        for (int r : brokenBefore_)
            consider(r);
        for (int v = 0; v < space.statusVars.size(); ++v) {
            const BoolVar &x = space.statusVars[v];
            if (x.assigned() && x.val() != was_[static_cast<size_t>(v)])
                for (int r : watchers_[static_cast<size_t>(v)])
                    consider(r);
        }
        *quiet = candidates.empty();
        int best = from, bestCount = 0;
        for (int i : candidates) {
            const int count = count_[static_cast<size_t>(i)];
            count_[static_cast<size_t>(i)] = 0;
            if (count > bestCount || (count == bestCount && i < best)) {
                best = i;
                bestCount = count;
            }
        }
        return best;
    }

private:
    struct Rule {
        int self = -1;
        int firstMember = 0, endMember = 0;
        int min = 0, max = INT_MAX;
        int implying = -1, implyingWas = 0;
    };

    static int valueIfKept(const OSpace &space, int var, int was)
    {
        const BoolVar &v = space.statusVars[var];
        return v.assigned() ? v.val() : was;
    }

    // Whether the rule breaks when every undecided element keeps its state (a rule's own
    // undecided status follows its members and is not looked at).
    bool brokenIfKept(const OSpace &space, const Rule &rule) const
    {
        int count = 0;
        bool memberSilent = false;
        for (int m = rule.firstMember; m < rule.endMember; ++m) {
            const int on = valueIfKept(space, memberVar_[static_cast<size_t>(m)],
                                       memberWas_[static_cast<size_t>(m)]);
            count += on;
            memberSilent = memberSilent || on == 0;
        }
        if (count < rule.min || count > rule.max)
            return true;
        const BoolVar &self = space.statusVars[rule.self];
        if (self.assigned() && (self.val() == 1) != (count > 0))
            return true;
        return rule.implying >= 0 && memberSilent &&
               valueIfKept(space, rule.implying, rule.implyingWas) == 1;
    }

    std::vector<Rule> rules_;
    std::vector<int> memberVar_, memberWas_; // members of every rule, rule after rule
    std::vector<int> was_;                          // per status variable: state before
    std::vector<std::vector<int>> watchers_;        // per status variable: rules watching it
    std::vector<std::vector<int>> indicatorsOf_;    // per rule: indicators of its tracks
    std::vector<int> brokenBefore_;                 // rules broken before the request
    // Scratch of pick(), which one search thread calls at a time.
    mutable std::vector<unsigned> seen_;            // per rule: last pick that looked at it
    mutable std::vector<int> count_, candidates_;   // per indicator: broken rules counted
    mutable unsigned stamp_ = 0;
};

// Branches on the kept-status indicators, keeping a track as it is first: the track chosen is
// one in the most rules that keeping everything else would break, so the search repairs what the
// request and the broken rules disturb instead of trying changes where none is needed. When
// keeping everything undecided breaks no rule, a first alternative keeps every undecided track at
// once: that state is found in one step instead of one per track. It is followed by keeping and
// by changing the first undecided track, which cover every state below, so that nothing is lost
// where the first alternative fails.
class TouchedBrancher : public Brancher {
public:
    static void post(Home home, const Neighbourhood *neighbourhood)
    {
        (void)new (home) TouchedBrancher(home, neighbourhood);
    }
    bool status(const Space &home) const override
    {
        const BoolVarArray &indicators = static_cast<const OSpace &>(home).indicators;
        for (; start_ < indicators.size(); ++start_)
            if (!indicators[start_].assigned())
                return true;
        return false;
    }
    const Choice *choice(Space &home) override
    {
        bool quiet = false;
        const int at = neighbourhood_->pick(static_cast<const OSpace &>(home), start_, &quiet);
        return new Pick(*this, at, quiet);
    }
    const Choice *choice(const Space &, Archive &e) override
    {
        int at, quiet;
        e >> at >> quiet;
        return new Pick(*this, at, quiet != 0);
    }
    ExecStatus commit(Space &home, const Choice &c, unsigned int a) override
    {
        const Pick &pick = static_cast<const Pick &>(c);
        BoolVarArray &indicators = static_cast<OSpace &>(home).indicators;
        if (pick.quiet) {
            if (a == 0) {
                for (int i = pick.at; i < indicators.size(); ++i)
                    if (!indicators[i].assigned() &&
                        me_failed(Int::BoolView(indicators[i]).one(home)))
                        return ES_FAILED;
                return ES_OK;
            }
            --a;
        }
        Int::BoolView indicator(indicators[pick.at]);
        return me_failed(indicator.eq(home, a == 0 ? 1 : 0)) ? ES_FAILED : ES_OK;
    }
    Actor *copy(Space &home) override { return new (home) TouchedBrancher(home, *this); }
    size_t dispose(Space &home) override
    {
        (void)Brancher::dispose(home);
        return sizeof(*this);
    }

private:
    struct Pick : public Choice {
        Pick(const Brancher &b, int at, bool quiet) : Choice(b, quiet ? 3 : 2), at(at), quiet(quiet)
        {
        }
        void archive(Archive &e) const override
        {
            Choice::archive(e);
            e << at << (quiet ? 1 : 0);
        }
        int at;
        bool quiet; // nothing breaks when every undecided track is kept
    };

    TouchedBrancher(Home home, const Neighbourhood *neighbourhood)
        : Brancher(home), neighbourhood_(neighbourhood)
    {
    }
    TouchedBrancher(Space &home, TouchedBrancher &other)
        : Brancher(home, other), neighbourhood_(other.neighbourhood_), start_(other.start_)
    {
    }

    const Neighbourhood *neighbourhood_; // outlives every space searched with it
    mutable int start_ = 0;              // indicators before it are all decided
};

// Failures the deepening of fewestChanges may meet in all before branch and bound takes over: a
// count, not a time, so that which search answers does not depend on the machine's speed. About
// half the time limit on a desktop machine.
enum { DEEPENING_FAIL_LIMIT = 6000 };

// The request's time limit and the failures the deepening levels have left.
class DeepeningStop : public Search::Stop {
public:
    explicit DeepeningStop(RequestStop &request) : request_(request) {}
    bool stop(const Search::Statistics &s, const Search::Options &o) override
    {
        if (request_.stop(s, o))
            return timeUp_ = true;
        return spent_ + s.fail > DEEPENING_FAIL_LIMIT;
    }
    // After a level: its failures count against the next ones.
    void levelDone(const Search::Statistics &s) { spent_ += s.fail; }
    bool timeUp() const { return timeUp_; }

private:
    RequestStop &request_;
    unsigned long spent_ = 0;
    bool timeUp_ = false;
};

// Failures the search in creation order meets at least on a request that repairs broken rules,
// whatever the time limit: a count, so that the answer is never worse than the state these
// failures reach, on a fast or a slow machine. About half the time limit on a desktop machine.
enum { IN_ORDER_FAIL_FLOOR = 2500 };

// Stops the search in creation order once it has met its floor of failures and the request's
// time limit has passed, at the long safety limit, or when the thread gives up.
class InOrderStop : public Search::Stop {
public:
    explicit InOrderStop(RequestStop &request) : request_(request), safety_(safetyLimitMs()) {}
    bool stop(const Search::Statistics &s, const Search::Options &o) override
    {
        if (safety_.stop(s, o))
            return true;
        return s.fail > IN_ORDER_FAIL_FLOOR && request_.stop(s, o);
    }

private:
    RequestStop &request_;
    RequestStop safety_;
};

// The state of `model` (branched on the tracks in creation order, keeping each first) that keeps
// the most tracks as they are, by branch and bound: its first state is a greedy repair that keeps
// what it can in creation order, and each next one changes fewer. On a request that repairs many
// broken rules this reaches few changes sooner than the branching on broken rules. Null when no
// state exists or none was found before the search stopped (`stopped` then says so).
std::unique_ptr<OSpace> fewestChangesInOrder(OSpace &model, RequestStop &request, bool *stopped)
{
    InOrderStop stop(request);
    BAB<OSpace> engine(&model, searchOptions(&stop));
    std::unique_ptr<OSpace> best;
    while (OSpace *solution = engine.next())
        best.reset(solution);
    *stopped = engine.stopped();
    return best;
}

// The state of the work space's model (branchings posted) that keeps the most tracks as they are,
// the first such in search order; null when none exists or none was found in time (`stopped` then
// says the time ran out). A first state from a depth-first search bounds the answer; then states
// that change at most k tracks are searched for k = 0, 1, ...: with few changes allowed, every
// other track is fixed as soon as they are spent, so these searches are small, and the first
// state found is optimal. When the changes needed are many, the deepening gives up after a
// number of failures and branch and bound improves on the first state in the time left.
std::unique_ptr<OSpace> fewestChanges(ZarkWorkSpace &ws, RequestStop &stop, bool *stopped)
{
    OSpace &root = *ws.root;
    *stopped = false;
    if (root.status() == SS_FAILED)
        return nullptr; // the rules and the request contradict each other
    Search::Options options = searchOptions(&stop);
    std::unique_ptr<OSpace> first;
    {
        DFS<OSpace> engine(&root, options);
        first.reset(engine.next());
        if (!first) {
            *stopped = engine.stopped();
            return nullptr;
        }
    }
    int total = 0;
    for (int w : ws.weights)
        total += w;
    const int firstCost = first->cost.val();
    // The changes that the rules force at once (kept-status indicators fixed to 0 at the root):
    // no state changes fewer, so the deepening starts there, and a first state with no more is
    // already one of the fewest.
    const int forced = total - root.cost.max();
    if (total - firstCost <= forced)
        return first;
    {
        DeepeningStop deepening(stop);
        Search::Options levelOptions = searchOptions(&deepening);
        int k = forced;
        for (; total - k > firstCost; ++k) {
            std::unique_ptr<OSpace> probe(static_cast<OSpace *>(root.clone()));
            rel(*probe, probe->cost, IRT_GQ, total - k);
            DFS<OSpace> engine(probe.get(), levelOptions);
            std::unique_ptr<OSpace> found(engine.next());
            if (found)
                return found;
            if (deepening.timeUp()) {
                *stopped = true;
                return first;
            }
            if (engine.stopped())
                break; // out of failures
            deepening.levelDone(engine.statistics());
        }
        if (total - k <= firstCost)
            return first; // every state with fewer changes is ruled out
    }
    // Branch and bound from the first state, in the time that is left.
    std::unique_ptr<OSpace> bounded(static_cast<OSpace *>(root.clone()));
    rel(*bounded, bounded->cost, IRT_GR, firstCost);
    BAB<OSpace> engine(bounded.get(), options);
    std::unique_ptr<OSpace> best = std::move(first);
    while (OSpace *solution = engine.next())
        best.reset(solution);
    *stopped = engine.stopped();
    return best;
}

// `noneBroken`: the caller knows that the current statuses break no rule, so only the requested
// element's component can need a change and the rest of the project is not looked at.
GSList *solveStatus(KFile *file, KElement *requested, bool noneBroken)
{
    RequestStop stop(k_getStatusSolverTimeLimit());
    ZarkWorkSpace ws = noneBroken ? ZarkWorkSpace(file, componentOf(file, requested))
                                  : ZarkWorkSpace(file, activeElements(file, requested));
    OSpace &root = *ws.root;
    const int wanted = postRequest(ws, requested);
    std::unique_ptr<Neighbourhood> neighbourhood; // read by every space's branching
    bool repairs = false;
    if (ws.indicators.size() > 0) {
        root.indicators = BoolVarArray(root, ws.indicators);
        root.cost = expr(root, sum(ws.weights, ws.indicators));
        neighbourhood = std::make_unique<Neighbourhood>(ws);
        // A request that also repairs rules broken before it (the first of a session, from
        // everything stopped) often needs many changes: the search in creation order answers it.
        repairs = neighbourhood->repairs();
        if (repairs)
            branch(root, root.indicators, BOOL_VAR_NONE(), BOOL_VAL_MAX());
        else
            TouchedBrancher::post(root, neighbourhood.get());
    }
    // Every status is decided, whatever the indicators leave open.
    branch(root, root.statusVars, BOOL_VAR_NONE(), BOOL_VAL_MIN());
    bool stopped = false;
    std::unique_ptr<OSpace> best = repairs ? fewestChangesInOrder(root, stop, &stopped)
                                           : fewestChanges(ws, stop, &stopped);
    if (stopped)
        limitHits.fetch_add(1);
    if (!best && stopped && !cancelled())
        best.reset(firstSolution(file, ws.order, requested));
    if (cancelled())
        return nullptr;
    if (!best)
        return nullptr;
    BoolVar s = best->statusVars[ws.varOf[static_cast<size_t>(requested->id)]];
    if (!s.assigned() || s.val() != wanted)
        return nullptr;
    return applyStatuses(ws, *best, requested);
}

// Puts every track of the list that plays at its default level and in the current mix; takes
// every silent one out of the current mix.
// The tracks whose place in the current mix a run of switches has decided, in order, each with
// whether it played at that moment.
struct MixFollow {
    std::vector<KTrack *> tracks;
    std::vector<char> playing;

    void applyTo(KFile *file) const
    {
        KMix *current = file->mixes ? file->mixes->current : nullptr;
        if (tracks.empty() || !current)
            return;
        // One pass over the mix's list for all of them.
        KMix_followTracks(current, tracks.data(), playing.data(), static_cast<int>(tracks.size()));
        MixManager_outOfMix(file->mixes);
    }
};

// With `later`, the mix part is only noted there, for the caller to apply once at the end.
void followInMix(KFile *file, GSList *names, MixFollow *later = nullptr)
{
    MixFollow now;
    MixFollow &follow = later ? *later : now;
    std::vector<KTrack *> &tracks = follow.tracks;
    std::vector<char> &playing = follow.playing;
    for (GSList *l = names; l; l = l->next) {
        KElement *elt = giveElt(file, static_cast<const char *>(l->data));
        KTrack *track = KElement_track(elt);
        if (!track)
            continue;
        if (plays(elt) && elt->levels)
            changeLevel(elt, elt->levels->defaultLevel - elt->levels->level);
        tracks.push_back(track);
        playing.push_back(plays(elt) ? 1 : 0);
    }
    if (!later)
        now.applyTo(file);
}

// Rule violations among the rules a switch can have touched: the changed elements' own rules,
// the groups holding them and the implications they imply. With no violation before the switch,
// this is the violation count of the whole project after it.
int touchedViolations(KFile *file, GSList *changed)
{
    VisitedSet seen;
    int violations = 0;
    auto check = [&](KElement *rule) {
        if (seen.add(rule))
            violations += checkElt(file, rule, nullptr);
    };
    for (GSList *l = changed; l; l = l->next) {
        KElement *e = giveElt(file, static_cast<const char *>(l->data));
        if (!e)
            continue;
        check(e);
        for (GList *p = e->parents.head; p; p = p->next)
            check(static_cast<KElement *>(p->data));
        for (GList *r = e->impliedBy.head; r; r = r->next)
            check(static_cast<KElement *>(r->data));
    }
    return violations;
}

} // namespace

long k_statusSolverLimitHits(void)
{
    return limitHits.load();
}

void k_setStatusSolverTimeLimit(unsigned long ms)
{
    statusTimeLimit = ms ? ms : static_cast<unsigned long>(KSOLVER_STATUS_TIME_LIMIT_MS);
}

unsigned long k_getStatusSolverTimeLimit(void)
{
    return statusTimeLimit;
}

namespace {

GSList *checkStatusIn(KFile *file, const char *name, bool noneBroken = false)
{
    KElement *requested = giveElt(file, name);
    if (!isNumbered(file, requested))
        return nullptr;
    try {
        return solveStatus(file, requested, noneBroken);
    } catch (const Exception &e) {
        std::fprintf(stderr, "!!! ERROR checkStatus (%s) : %s\n", name, e.what());
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "!!! ERROR checkStatus (%s) : out of memory\n", name);
    }
    return nullptr;
}

// Switches `elt` directly and, under `control`, hands a switch that breaks a rule to the solver.
// `sound`, when given, says whether the statuses broke no rule before the call (then only the
// rules the switch touched need checking) and receives whether they break none after it (false
// when not known).
GSList *switchElement(KFile *file, KElement *elt, int control, bool *sound,
                      MixFollow *later = nullptr)
{
    // Only what the switch writes is saved: its elements and the groups above them.
    std::vector<KStatusSave> undo;
    GSList *changed = KElement_moveStatus(nullptr, elt, &undo);
    if (control) {
        const int violations = (sound && *sound) ? touchedViolations(file, changed)
                                                 : solutionChecking(file, changed, elt->name,
                                                                    nullptr);
        const bool wasSound = sound && *sound;
        if (sound)
            *sound = violations == 0;
        if (violations != 0) {
            // Back to the state before the switch, which broke no rule when known to be sound.
            g_slist_free(changed);
            KElement_restoreStatus(undo);
            changed = checkStatusIn(file, elt->name, wasSound);
            // A refusal leaves the state before the switch; an answer differs from it only in
            // the changed elements, so their rules tell whether it still breaks none.
            if (sound)
                *sound = wasSound && (!changed || touchedViolations(file, changed) == 0);
            if (!changed)
                return nullptr;
        }
    } else if (sound) {
        *sound = false;
    }
    followInMix(file, changed, later);
    return changed;
}

GSList *changeStatusIn(KFile *file, const char *name, int control)
{
    KElement *elt = giveElt(file, name);
    if (!elt)
        return nullptr;
    return switchElement(file, elt, control, nullptr);
}

// The switches of changeEltsStatusWithCnsttControl on one project: each changed name once, in
// order of first change. The rules are checked in full until a state is known to break none;
// from then on each switch checks only the rules it touched.
GSList *changeStatusesIn(KFile *file, const std::vector<std::string> &names, bool play,
                         int control)
{
    bool sound = false;
    VisitedSet listed;
    GSList *all = nullptr;
    MixFollow mix;
    for (const std::string &name : names) {
        KElement *elt = giveElt(file, name.c_str());
        if (!elt || plays(elt) == play)
            continue;
        GSList *changed = switchElement(file, elt, control, &sound, &mix);
        for (GSList *l = changed; l; l = l->next)
            if (listed.add(l->data))
                all = g_slist_prepend(all, l->data);
        g_slist_free(changed);
    }
    mix.applyTo(file);
    return g_slist_reverse(all);
}

int randomSlctIn(KFile *file)
{
    if (file->eltCount <= 0)
        return 1;
    int count = file->eltCount;
    // rand() / RAND_MAX can be exactly 1.0: every derived index is clamped.
    auto draw = [count]() {
        return std::min(static_cast<int>(std::rand() / 2147483647.0 * count), count - 1);
    };
    int target = static_cast<int>(std::rand() / 2147483647.0 * count) + 5;
    int successes = 0;
    for (int tries = 0; tries < 100 && successes < target && !cancelled(); ++tries) {
        KElement *elt = file->eltsById[draw()];
        // A rule element without members would play against its rule: a failed try.
        KGroupData *group = ruleOf(elt);
        if (group && membersOf(file, group).empty())
            continue;
        GSList *changed = changeStatusIn(file, elt->name, 1);
        if (changed)
            ++successes;
        g_slist_free(changed);
    }
    return 1;
}

// A request on the playing project: it is answered on a copy taken under the project lock, so
// the lock is never held during a search, and the answer is written back under the lock.
class PlayingSnapshot {
public:
    explicit PlayingSnapshot(KFile *file) : file_(file)
    {
        KProjectLock lock;
        copy_ = KFile_clone(file);
        if (copy_)
            before_ = playState(copy_);
    }
    ~PlayingSnapshot() { _freeZark(copy_); }
    PlayingSnapshot(const PlayingSnapshot &) = delete;
    PlayingSnapshot &operator=(const PlayingSnapshot &) = delete;

    KFile *copy() const { return copy_; }

    // With the project lock held: true when the project still has the copy's elements under the
    // same ids and names, playing as they did when the copy was taken.
    bool stillCurrent() const
    {
        if (!copy_ || file_->eltCount != copy_->eltCount)
            return false;
        for (int id = 0; id < file_->eltCount; ++id) {
            const KElement *e = file_->eltsById[id];
            if (std::strcmp(e->name, copy_->eltsById[id]->name) != 0 ||
                plays(e) != (before_[static_cast<size_t>(id)] != 0))
                return false;
        }
        return true;
    }

    // With the project lock held: writes the copy's statuses into the project, recounts the
    // playing members, and lets every track whose playing state changed follow in the current
    // mix. Returns the project's own names for `names` (the copy's), in order.
    GSList *apply(GSList *names) const
    {
        GSList *moved = nullptr;
        for (int id = 0; id < file_->eltCount; ++id) {
            KElement *e = file_->eltsById[id];
            const KElement *c = copy_->eltsById[id];
            if (plays(c) == plays(e))
                continue;
            e->status = c->status;
            moved = g_slist_prepend(moved, e->name);
        }
        for (int id = 0; id < file_->eltCount; ++id) {
            KGroupData *group = KElement_groupData(file_->eltsById[id]);
            if (!group)
                continue;
            group->playCount = 0;
            for (GList *l = group->members.head; l; l = l->next)
                group->playCount += plays(static_cast<KElement *>(l->data)) ? 1 : 0;
        }
        followInMix(file_, moved);
        g_slist_free(moved);
        GSList *own = nullptr;
        for (GSList *l = names; l; l = l->next) {
            KElement *e = giveElt(file_, static_cast<const char *>(l->data));
            if (e)
                own = g_slist_prepend(own, e->name);
        }
        return g_slist_reverse(own);
    }

private:
    static std::vector<char> playState(KFile *file)
    {
        std::vector<char> state(static_cast<size_t>(file->eltCount));
        for (int id = 0; id < file->eltCount; ++id)
            state[static_cast<size_t>(id)] = plays(file->eltsById[id]) ? 1 : 0;
        return state;
    }

    KFile *file_;
    KFile *copy_ = nullptr;
    std::vector<char> before_;
};

// Runs `request` on the project itself when no other thread reads it, else on a copy (a few
// tries when the project moved meanwhile); an answer is a list of the project's own names.
template <typename Request> GSList *onProject(KFile *file, Request request)
{
    if (file != k_sharedProject())
        return request(file); // no other thread reads it
    for (int attempt = 0; attempt < 3; ++attempt) {
        PlayingSnapshot snapshot(file);
        if (!snapshot.copy())
            return nullptr;
        GSList *answer = request(snapshot.copy());
        if (!answer)
            return nullptr;
        KProjectLock lock;
        if (snapshot.stillCurrent()) {
            GSList *own = snapshot.apply(answer);
            g_slist_free(answer);
            return own;
        }
        g_slist_free(answer);
    }
    return nullptr;
}

} // namespace

GSList *checkStatus(KFile *file, const char *name)
{
    if (!file || !name)
        return nullptr;
    return onProject(file, [name](KFile *f) { return checkStatusIn(f, name); });
}

GSList *changeEltStatusWithCnsttControl(KFile *file, const char *name, int control)
{
    if (!file || !name)
        return nullptr;
    return onProject(file,
                     [name, control](KFile *f) { return changeStatusIn(f, name, control); });
}

GSList *changeEltsStatusWithCnsttControl(KFile *file, const char *const *names, int count,
                                         int play, int control)
{
    if (!file || count <= 0 || !names)
        return nullptr;
    std::vector<std::string> wanted;
    try {
        for (int i = 0; i < count; ++i)
            if (names[i])
                wanted.emplace_back(names[i]);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
    return onProject(file, [&wanted, play, control](KFile *f) {
        return changeStatusesIn(f, wanted, play != 0, control);
    });
}

void canPlay(gpointer name, gpointer elt, gpointer data)
{
    KElement *e = static_cast<KElement *>(elt);
    KCheckWFData *check = static_cast<KCheckWFData *>(data);
    if (!e || !check || e->type != KELT_TRACK)
        return;
    setAllStatusStop(check->file);
    GSList *changed = checkStatus(check->file, static_cast<const char *>(name));
    if (changed)
        ++check->counter;
    g_slist_free(changed);
}

void notOrphanCanPlay(gpointer name, gpointer elt, gpointer data)
{
    KElement *e = static_cast<KElement *>(elt);
    if (e && e->parents.head)
        canPlay(name, elt, data);
}

int checkConstraintsWF(KFile *file, GHFunc test, int expected)
{
    if (!file || !test)
        return 2;
    const bool playTests = test == canPlay || test == notOrphanCanPlay;
    // A check is a question: the author's selection (and what the player plays meanwhile) stays
    // as it is. The play tests only read the project, so a project no other thread reads is
    // asked directly; otherwise the check works on a copy taken under the lock.
    KFile *copy = nullptr;
    if (!playTests || file == k_sharedProject()) {
        KProjectLock lock;
        copy = KFile_clone(file);
        if (!copy) {
            std::fprintf(stderr, "!!! ERROR checkConstraintsWF : cannot copy the project\n");
            return 2;
        }
    }
    KFile *asked = copy ? copy : file;
    KCheckWFData data{asked, 0};
    if (playTests) {
        // The play tests are answered together on one model: the same answers as asking for
        // each track in turn, without a model and a search per track.
        try {
            data.counter = countPlayableTracks(asked, test == canPlay);
        } catch (const Exception &e) {
            std::fprintf(stderr, "!!! ERROR checkConstraintsWF : %s\n", e.what());
            data.counter = -1;
        } catch (const std::bad_alloc &) {
            std::fprintf(stderr, "!!! ERROR checkConstraintsWF : out of memory\n");
            data.counter = -1;
        }
    } else {
        // The copy is this thread's alone: its requests need no lock.
        forEachElt(copy, [&](KElement *e) { test(e->name, e, &data); });
    }
    if (copy)
        _freeZark(copy);
    if (data.counter < 0)
        return 2;
    if (data.counter == expected)
        return 0;
    return data.counter > 0 && data.counter < expected ? 1 : 2;
}

int randomSlct(KFile *file)
{
    if (!file)
        return 1;
    // The answer is the whole new selection: a marker list, so that it is written back.
    static char selected[] = "";
    g_slist_free(onProject(file, [](KFile *f) {
        randomSlctIn(f);
        return cancelled() ? nullptr : g_slist_prepend(nullptr, selected);
    }));
    return 1;
}

int randomSlctWithCancel(KFile *file, int (*cancel)(void))
{
    int (*outer)(void) = t_cancel;
    t_cancel = cancel;
    const int result = randomSlct(file);
    t_cancel = outer;
    return result;
}

int statusIsOk(KFile *file, FILE *stream)
{
    if (!file)
        return 0;
    KProjectLock lock;
    int violations = 0;
    forEachElt(file, [&](KElement *e) { violations += checkElt(file, e, stream); });
    return violations;
}

int solutionChecking(KFile *file, GSList *list, const char *name, FILE *stream)
{
    if (!list)
        return 0;
    bool listed = false;
    for (GSList *l = list; l && name && !listed; l = l->next)
        listed = l->data && std::strcmp(static_cast<const char *>(l->data), name) == 0;
    if (!listed)
        return -1;
    return statusIsOk(file, stream);
}

int controlStatus(KFile *file, const char **names, int count)
{
    if (!file || count < 0 || (!names && count > 0))
        return 0;
    KProjectLock lock;
    setAllStatusStop(file);
    for (int i = 0; i < count; ++i) {
        KElement *elt = giveElt(file, names[i]);
        if (!elt)
            return 0;
        if (plays(elt))
            continue;
        elt->status = KSTATUS_BY_MEMBER;
        KElement_raiseParents(elt);
    }
    return statusIsOk(file, nullptr) == 0 ? 1 : 0;
}

void seeOS(OSpace *space)
{
    if (!space) {
        std::printf(" : KNULL\n");
        return;
    }
    for (int i = 0; i < space->statusVars.size(); ++i) {
        BoolVar s = space->statusVars[i];
        if (s.assigned())
            std::printf(" S[%d] = %d\n", i, s.val());
        else
            std::printf(" S[%d] = [0; 1]\n", i);
    }
}

void seeSpace(OSpace *space)
{
    seeOS(space);
    if (space)
        for (int i = 0; i < space->counts.size(); ++i) {
            IntVar n = space->counts[i];
            std::printf(" N[%d] = [%d; %d]\n", i, n.min(), n.max());
        }
    std::printf("+++++\n");
}

// --- Spaces over the whole project ---------------------------------------------------------------
OSpace *OSpace_create(KFile *file)
{
    if (!file)
        return nullptr;
    return new OSpace(file->eltCount, file->groupCount);
}

void OSpace_destroy(OSpace **space)
{
    if (!space)
        return;
    delete *space;
    *space = nullptr;
}

int addConstraints2(OSpace *space, KFile *file)
{
    if (!space || !file || space->failed())
        return 0;
    const int n = std::min(file->eltCount, space->statusVars.size());
    for (int id = 0; id < n; ++id) {
        KElement *e = file->eltsById[id];
        if (!e || !KElement_track(e) || space->statusVars[id].assigned())
            continue;
        rel(*space, space->statusVars[id], IRT_EQ, plays(e) ? 1 : 0);
        return 1;
    }
    return 0;
}

int addConstraints(OSpace *space, KFile *file)
{
    if (!space || !file || space->failed())
        return 0;
    const int n = std::min(file->eltCount, space->statusVars.size());
    const auto inSpace = [&](const KElement *e) { return isNumbered(file, e) && e->id < n; };
    int posted = 0;
    for (int id = 0; id < n; ++id) {
        KGroupData *group = ruleOf(file->eltsById[id]);
        if (!group || (group->kind != KCONST_GROUP && group->kind != KCONST_ALL &&
                       group->kind != KCONST_ONE) ||
            !group->kindData)
            continue;
        const int *bounds = static_cast<const int *>(group->kindData);
        int count = 0;
        const KElement *firstFree = nullptr;
        for (GList *l = group->members.head; l; l = l->next) {
            const KElement *member = static_cast<const KElement *>(l->data);
            if (!member)
                continue;
            if (member->type != KELT_TRACK && member->type != KELT_GROUP) {
                std::fprintf(stderr, "Error addConstraints : element type \"%d\" not correct.\n",
                             member->type);
                continue;
            }
            if (inSpace(member) && space->statusVars[member->id].assigned()) {
                count += space->statusVars[member->id].val();
                continue;
            }
            if (!firstFree && inSpace(member))
                firstFree = member;
            count += plays(member) ? 1 : 0;
        }
        if (!firstFree || (count >= bounds[0] && count <= bounds[1]))
            continue;
        rel(*space, space->statusVars[firstFree->id], IRT_EQ, count < bounds[0] ? 1 : 0);
        ++posted;
    }
    return posted;
}
