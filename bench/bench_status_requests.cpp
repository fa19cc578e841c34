// The play-status solver on the requests a person makes: the first switch of a session, from
// everything stopped (so that every rule with a minimum is broken at once), and the later switches
// from a state that breaks no rule, counted apart. Five shapes of rules at 128 and 256 elements;
// each request is answered by this solver and by the previous one (built from its own source in
// this program), alternating, each on its own copy of the project at the default time limit.
//
// Per solver and kind of request: median and p99 time, the share of requests that reached the time
// limit, and the changes above the best known answer in total, with the worst single answer. The
// best known answer is one that a search proved (it ended before its limit) or else the fewest
// changes of every answer seen, a long run of this solver included.
//
// Usage: bench_status_requests [--seeds=N] [--reference_ms=M] [Google Benchmark flags]
//   N projects per shape and size (default 8; 40 for the full comparison), M the long run's limit
//   (default 1000).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "KSolver.h"
#include "../tests/engine/SolverChecker.h"

// The previous solver, built beside this one under prefixed names.
GSList *previous_checkStatus(KFile *file, const char *name);
void previous_k_setStatusSolverTimeLimit(unsigned long ms);
long previous_k_statusSolverLimitHits(void);

namespace {

int seeds = 8;
unsigned long referenceMs = 1000;

// Later requests per project, after its first.
enum { LATER_REQUESTS = 16 };

using Rng = std::mt19937;

int draw(Rng &rng, int n)
{
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}

std::string trackName(int i)
{
    return "T" + std::to_string(i);
}

// A project of `tracks` tracks and nothing else.
KFile *tracksOnly(int tracks)
{
    KFile *f = newZark("Bench", 2.0);
    for (int i = 0; i < tracks; ++i)
        addTrack(f, createTrack(0, nullptr, 44100), trackName(i).c_str());
    return f;
}

void rule(KFile *f, int kind, const std::string &name, void *data, bool hidden,
          const std::vector<std::string> &members)
{
    createElt(f, kind, name.c_str(), data);
    if (hidden)
        hideElt(f, name.c_str());
    for (const std::string &m : members)
        addSubElt(f, name.c_str(), m.c_str());
}

std::vector<std::string> randomTracks(Rng &rng, int tracks, int count)
{
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(trackName(draw(rng, tracks)));
    return out;
}

// Groups of groups, four levels deep: tracks in leaf groups of four (a third of them with a
// minimum of 1, a maximum of 1 to 3), four groups under each group above (a minimum of 0 or 1, a
// maximum of 2 to 4).
KFile *deepNesting(int n, Rng &rng)
{
    const int tracks = 3 * n / 4;
    KFile *f = tracksOnly(tracks);
    std::vector<std::string> level;
    for (int i = 0; i < tracks; ++i)
        level.push_back(trackName(i));
    int made = 0;
    while (level.size() > 1) {
        std::vector<std::string> up;
        for (size_t i = 0; i < level.size(); i += 4) {
            const std::string name = "N" + std::to_string(made++);
            const std::vector<std::string> members(level.begin() + static_cast<long>(i),
                                                   level.begin() +
                                                       static_cast<long>(std::min(level.size(), i + 4)));
            const bool leaf = made <= (tracks + 3) / 4;
            const int min = leaf ? draw(rng, 3) == 0 : draw(rng, 2);
            const int max = leaf ? 1 + draw(rng, 3) : 2 + draw(rng, 3);
            rule(f, KCONST_GROUP, name, createDataGrp(min, max), false, members);
            up.push_back(name);
        }
        level = up;
    }
    return f;
}

// Visible groups of `size` consecutive tracks (the last may be smaller), each letting `min` to
// `max` of them play.
void consecutiveGroups(KFile *f, int tracks, int size, int min, int max)
{
    for (int g = 0; g * size < tracks; ++g) {
        std::vector<std::string> members;
        for (int i = g * size; i < std::min(tracks, g * size + size); ++i)
            members.push_back(trackName(i));
        rule(f, KCONST_GROUP, "G" + std::to_string(g), createDataGrp(min, max), false, members);
    }
}

// Tracks in visible groups of three with a minimum of 1, under as many hidden exclusions of 2 to
// 4 random tracks (at most one plays).
KFile *denseExclusions(int n, Rng &rng)
{
    const int tracks = n / 2;
    KFile *f = tracksOnly(tracks);
    consecutiveGroups(f, tracks, 3, 1, 3);
    for (int r = 0; r < n / 3; ++r)
        rule(f, KCONST_ONE, "X" + std::to_string(r), createDataGrp(0, 1), true,
             randomTracks(rng, tracks, 2 + draw(rng, 3)));
    return f;
}

// Groups of 5 to 9 random tracks, each with a minimum of 0 to 2 and a maximum 1 to 3 above it.
KFile *overlappingMinMax(int n, Rng &rng)
{
    const int tracks = 3 * n / 4;
    KFile *f = tracksOnly(tracks);
    for (int g = 0; g < n / 4; ++g) {
        const int min = draw(rng, 3);
        rule(f, KCONST_GROUP, "G" + std::to_string(g),
             createDataGrp(min, min + 1 + draw(rng, 3)), false,
             randomTracks(rng, tracks, 5 + draw(rng, 5)));
    }
    return f;
}

// Chains of implications (each track of a chain implies the next) over groups of four tracks
// with a minimum of 1 and a maximum of 2.
KFile *implicationChains(int n, Rng &rng)
{
    const int tracks = n / 2;
    KFile *f = tracksOnly(tracks);
    consecutiveGroups(f, tracks, 4, 1, 2);
    std::vector<int> order(static_cast<size_t>(tracks));
    for (int i = 0; i < tracks; ++i)
        order[static_cast<size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), rng);
    int made = 0;
    for (size_t start = 0; start + 1 < order.size(); start += 6) {
        for (size_t i = start; i + 1 < std::min(order.size(), start + 6); ++i) {
            const std::string implying = trackName(order[i]);
            rule(f, KCONST_IMPLY, "I" + std::to_string(made++),
                 const_cast<char *>(implying.c_str()), true, {trackName(order[i + 1])});
        }
    }
    return f;
}

// Visible groups with minimums and maximums, exclusions, implications and equivalences together.
KFile *mixed(int n, Rng &rng)
{
    const int tracks = n / 2;
    KFile *f = tracksOnly(tracks);
    for (int g = 0; g < n / 8; ++g) {
        const int min = draw(rng, 2);
        rule(f, KCONST_GROUP, "G" + std::to_string(g), createDataGrp(min, min + 1 + draw(rng, 2)),
             false, randomTracks(rng, tracks, 3 + draw(rng, 4)));
    }
    for (int r = 0; r < n / 8; ++r) {
        if (r % 2) {
            const std::string implying = trackName(draw(rng, tracks));
            rule(f, KCONST_IMPLY, "I" + std::to_string(r), const_cast<char *>(implying.c_str()),
                 true, randomTracks(rng, tracks, 1 + draw(rng, 2)));
        } else {
            rule(f, KCONST_ONE, "X" + std::to_string(r), createDataGrp(0, 1), true,
                 randomTracks(rng, tracks, 2 + draw(rng, 2)));
        }
    }
    for (int e = 0; e < n / 16; ++e)
        rule(f, KCONST_EQUIV, "Q" + std::to_string(e), nullptr, true, randomTracks(rng, tracks, 2));
    return f;
}

// One solver's answers to one kind of request.
struct Figures {
    std::vector<double> ms;
    int atLimit = 0;
    int refused = 0;
    int invalid = 0;
    long aboveBest = 0;
    int worstAbove = 0;
    void add(double time, bool limit)
    {
        ms.push_back(time);
        atLimit += limit;
    }
    double percentile(int p)
    {
        if (ms.empty())
            return 0;
        std::sort(ms.begin(), ms.end());
        return ms[std::min(ms.size() - 1, ms.size() * static_cast<size_t>(p) / 100)];
    }
};

// One request answered by one solver on its project: changed tracks (-1 refused), time, limit.
struct Answer {
    int changes = -1;
    double ms = 0;
    bool limit = false;
};

struct Solver {
    GSList *(*request)(KFile *, const char *);
    void (*setLimit)(unsigned long);
    long (*limitHits)(void);
};

const Solver current{checkStatus, k_setStatusSolverTimeLimit, k_statusSolverLimitHits};
const Solver previous{previous_checkStatus, previous_k_setStatusSolverTimeLimit,
                      previous_k_statusSolverLimitHits};

Answer ask(const Solver &solver, KFile *f, const std::string &name, unsigned long limitMs,
           Figures *invalidCount)
{
    solver.setLimit(limitMs);
    const long before = solver.limitHits();
    const auto start = std::chrono::steady_clock::now();
    GSList *changed = solver.request(f, name.c_str());
    Answer a;
    a.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
               .count();
    a.limit = solver.limitHits() != before;
    solver.setLimit(0);
    if (!changed)
        return a;
    a.changes = 0;
    for (GSList *l = changed; l; l = l->next)
        a.changes += isATrack(f, static_cast<const char *>(l->data)) == 1;
    g_slist_free(changed);
    if (invalidCount && !solvercheck::statusViolations(f).empty())
        ++invalidCount->invalid;
    return a;
}

// Both solvers' answers to the same request, each on its own copy of the session (the first
// request finds both copies stopped alike; later ones find each where its own answers left it).
struct Side {
    Figures first, later;
};

// The best known answer for a request on `before` (a copy of the state it was asked in), given
// the answers made there: a search that ended before its limit proved its answer; otherwise the
// fewest changes seen, a long run of this solver included.
int bestKnown(KFile *before, const std::string &name, std::vector<Answer> answers)
{
    for (const Answer &a : answers)
        if (a.changes >= 0 && !a.limit)
            return a.changes;
    if (before)
        answers.push_back(ask(current, before, name, referenceMs, nullptr));
    int best = -1;
    for (const Answer &a : answers)
        if (a.changes >= 0 && (best < 0 || a.changes < best))
            best = a.changes;
    return best;
}

void score(Figures &f, const Answer &a, int best)
{
    f.add(a.ms, a.limit);
    f.refused += a.changes < 0;
    if (a.changes < 0 || best < 0)
        return;
    f.aboveBest += a.changes - best;
    f.worstAbove = std::max(f.worstAbove, a.changes - best);
}

void compare(KFile *ours, KFile *theirs, const std::string &name, Side &now, Side &before,
             bool first, int *worseByMoreThan2, int *worstVsPrevious)
{
    KFile *oursBefore = KFile_clone(ours);
    KFile *theirsBefore = first ? nullptr : KFile_clone(theirs);
    const Answer a = ask(current, ours, name, 0, first ? &now.first : &now.later);
    const Answer b = ask(previous, theirs, name, 0, first ? &before.first : &before.later);
    if (first) {
        const int best = bestKnown(oursBefore, name, {a, b});
        score(now.first, a, best);
        score(before.first, b, best);
        if (a.changes >= 0 && b.changes >= 0) {
            *worseByMoreThan2 += a.changes > b.changes + 2;
            *worstVsPrevious = std::max(*worstVsPrevious, a.changes - b.changes);
        }
    } else {
        score(now.later, a, bestKnown(oursBefore, name, {a}));
        score(before.later, b, bestKnown(theirsBefore, name, {b}));
    }
    for (KFile *copy : {oursBefore, theirsBefore})
        if (copy)
            _freeZark(copy);
}

void putFigures(benchmark::State &state, const char *prefix, Figures &f)
{
    const std::string p = prefix;
    state.counters[p + "_p50_ms"] = f.percentile(50);
    state.counters[p + "_p99_ms"] = f.percentile(99);
    state.counters[p + "_limit_pct"] =
        f.ms.empty() ? 0 : 100.0 * f.atLimit / static_cast<double>(f.ms.size());
    state.counters[p + "_above_best"] = static_cast<double>(f.aboveBest);
    state.counters[p + "_worst"] = f.worstAbove;
    state.counters[p + "_refused"] = f.refused;
    state.counters[p + "_invalid"] = f.invalid;
}

// `seeds` projects of one shape and size: the first request from everything stopped, then
// LATER_REQUESTS more, every one answered by both solvers.
void requests(benchmark::State &state, KFile *(*make)(int, Rng &))
{
    const int n = static_cast<int>(state.range(0));
    Side now, before;
    int worseByMoreThan2 = 0, worstVsPrevious = 0;
    for (auto _ : state) {
        for (int seed = 1; seed <= seeds; ++seed) {
            Rng rng(static_cast<unsigned>(seed * 7919 + n));
            KFile *ours = make(n, rng);
            KFile *theirs = KFile_clone(ours);
            const int tracks = tracksNbr(ours);
            for (int r = 0; r <= LATER_REQUESTS; ++r) {
                const std::string name = trackName(draw(rng, tracks));
                compare(ours, theirs, name, now, before, r == 0, &worseByMoreThan2,
                        &worstVsPrevious);
            }
            _freeZark(ours);
            _freeZark(theirs);
        }
    }
    putFigures(state, "first", now.first);
    putFigures(state, "first_prev", before.first);
    putFigures(state, "later", now.later);
    putFigures(state, "later_prev", before.later);
    state.counters["first_worse_by_3"] = worseByMoreThan2;
    state.counters["first_most_vs_prev"] = worstVsPrevious;
    state.counters["projects"] = seeds;
}

void BM_DeepNesting(benchmark::State &state) { requests(state, deepNesting); }
void BM_DenseExclusions(benchmark::State &state) { requests(state, denseExclusions); }
void BM_OverlappingMinMax(benchmark::State &state) { requests(state, overlappingMinMax); }
void BM_ImplicationChains(benchmark::State &state) { requests(state, implicationChains); }
void BM_Mixed(benchmark::State &state) { requests(state, mixed); }

} // namespace

#define REQUEST_SIZES(bm) \
    BENCHMARK(bm)->Arg(128)->Arg(256)->Iterations(1)->Unit(benchmark::kMillisecond)
REQUEST_SIZES(BM_DeepNesting);
REQUEST_SIZES(BM_DenseExclusions);
REQUEST_SIZES(BM_OverlappingMinMax);
REQUEST_SIZES(BM_ImplicationChains);
REQUEST_SIZES(BM_Mixed);

int main(int argc, char **argv)
{
    // The model builders name every equivalence on the error stream; keep the report readable.
    if (!std::freopen("/dev/null", "w", stderr))
        return 1;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--seeds=", 8) == 0)
            seeds = std::max(1, std::atoi(argv[i] + 8));
        else if (std::strncmp(argv[i], "--reference_ms=", 15) == 0)
            referenceMs = static_cast<unsigned long>(std::max(1, std::atoi(argv[i] + 15)));
        else
            rest.push_back(argv[i]);
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
