// Time of one rule-checked switch and one level move on generated projects of 16 to 256
// elements, set beside the solvers' time limits (40 ms for statuses, 10 ms for levels), the
// bound an answer must stay under. Every answer is also checked against every rule.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "KMixSolver.h"
#include "KSolver.h"
#include "../tests/engine/SolverChecker.h"

// Requests reaching the status solver's time limit (weak: a library without the counter reports
// -1, so that the same benchmark runs against an older library).
long k_statusSolverLimitHits(void) __attribute__((weak));

namespace {

// N elements: 3N/4 tracks in N/4 visible groups, N/2 rules (implications and exclusions), and
// equivalences over a quarter of the elements.
KFile *generate(int n, std::mt19937 &rng)
{
    auto pick = [&rng](int k) { return static_cast<int>(rng() % static_cast<unsigned>(k)); };
    KFile *f = newZark("Bench", 2.0);
    int tracks = 3 * n / 4;
    std::vector<std::string> t;
    for (int i = 0; i < tracks; ++i) {
        t.push_back("T" + std::to_string(i));
        addTrack(f, createTrack(0, nullptr, 44100), t.back().c_str());
    }
    std::vector<std::string> order = t;
    std::shuffle(order.begin(), order.end(), rng);
    int groups = n / 4;
    for (int g = 0; g < groups; ++g) {
        std::string name = "G" + std::to_string(g);
        int size = 0;
        for (size_t i = static_cast<size_t>(g); i < order.size(); i += static_cast<size_t>(groups))
            ++size;
        createElt(f, KCONST_GROUP, name.c_str(), createDataGrp(0, 1 + pick(size)));
        for (size_t i = static_cast<size_t>(g); i < order.size(); i += static_cast<size_t>(groups))
            addSubElt(f, name.c_str(), order[i].c_str());
    }
    for (int r = 0; r < n / 2; ++r) {
        std::string name = "R" + std::to_string(r);
        std::string a = t[static_cast<size_t>(pick(tracks))];
        std::string b = t[static_cast<size_t>(pick(tracks))];
        if (a == b)
            continue;
        if (r % 2)
            createElt(f, KCONST_IMPLY, name.c_str(), const_cast<char *>(a.c_str()));
        else
            createElt(f, KCONST_GROUP, name.c_str(), createDataGrp(0, 1));
        hideElt(f, name.c_str());
        if (r % 2 == 0)
            addSubElt(f, name.c_str(), a.c_str());
        addSubElt(f, name.c_str(), b.c_str());
    }
    for (int e = 0; e < n / 8; ++e) {
        std::string name = "Eq" + std::to_string(e);
        createElt(f, KCONST_EQUIV, name.c_str(), nullptr);
        hideElt(f, name.c_str());
        addSubElt(f, name.c_str(), t[static_cast<size_t>(pick(tracks))].c_str());
        addSubElt(f, name.c_str(), t[static_cast<size_t>(pick(tracks))].c_str());
    }
    for (const std::string &name : t) {
        KElement *e = giveElt(f, name.c_str());
        changeDefLevel(e, -60 + pick(61));
        changeLevel(e, e->levels->defaultLevel - e->levels->level);
    }
    // A starting selection: a few switches under the rules.
    for (int i = 0; i < n / 2; ++i)
        g_slist_free(
            changeEltStatusWithCnsttControl(f, t[static_cast<size_t>(pick(tracks))].c_str(), 1));
    return f;
}

struct Timings {
    std::vector<double> ms;
    int refused = 0;
    int invalid = 0;
};

void report(benchmark::State &state, Timings &timings, double limit)
{
    std::sort(timings.ms.begin(), timings.ms.end());
    size_t n = timings.ms.size();
    state.counters["median_ms"] = timings.ms[n / 2];
    state.counters["p99_ms"] = timings.ms[std::min(n - 1, n * 99 / 100)];
    state.counters["max_ms"] = timings.ms.back();
    state.counters["limit_ms"] = limit;
    state.counters["refused"] = timings.refused;
    state.counters["invalid"] = timings.invalid;
}

template <typename Fn> double timed(Fn fn)
{
    auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Switches of random tracks through `request`, each answer checked against every rule.
template <typename Request> void switches(benchmark::State &state, Request request)
{
    std::mt19937 rng(static_cast<unsigned>(state.range(0)));
    KFile *f = generate(static_cast<int>(state.range(0)), rng);
    int tracks = tracksNbr(f);
    Timings timings;
    for (auto _ : state) {
        std::string name = "T" + std::to_string(rng() % static_cast<unsigned>(tracks));
        GSList *changed = nullptr;
        timings.ms.push_back(timed([&] { changed = request(f, name.c_str()); }));
        if (!changed)
            ++timings.refused;
        else if (!solvercheck::statusViolations(f).empty())
            ++timings.invalid;
        g_slist_free(changed);
    }
    report(state, timings, static_cast<double>(k_getStatusSolverTimeLimit()));
    _freeZark(f);
}

// A rule-checked switch as the editor makes it (one that breaks no rule skips the solver).
void BM_Toggle(benchmark::State &state)
{
    switches(state, [](KFile *f, const char *name) {
        return changeEltStatusWithCnsttControl(f, name, 1);
    });
}

// The same switches, every one through the solver.
void BM_SolverSwitch(benchmark::State &state)
{
    switches(state, checkStatus);
}

void BM_LevelMove(benchmark::State &state)
{
    std::mt19937 rng(static_cast<unsigned>(state.range(0)) + 1);
    KFile *f = generate(static_cast<int>(state.range(0)), rng);
    std::vector<KElement *> playing;
    for (KElement *e : solvercheck::elements(f))
        if (e->type == KELT_TRACK && e->status > 0)
            playing.push_back(e);
    Timings timings;
    for (auto _ : state) {
        KElement *e = playing[rng() % playing.size()];
        int level = -120 + static_cast<int>(rng() % 121);
        GSList *changed = nullptr;
        timings.ms.push_back(timed([&] {
            changed = moveLevelParams(f, e->name, level, TMS_PLAYING_BUT_MOVED, 0);
        }));
        if (!changed)
            ++timings.refused;
        else if (!solvercheck::levelViolations(f, TMS_PLAYING_BUT_MOVED).empty())
            ++timings.invalid;
        g_slist_free(changed);
    }
    report(state, timings, static_cast<double>(k_getLevelSolverTimeLimit()));
    _freeZark(f);
}

// --- Hard rule sets: 256 elements ----------------------------------------------------------------

long limitHits()
{
    return k_statusSolverLimitHits ? k_statusSolverLimitHits() : -1;
}

// 192 tracks under 64 overlapping groups of 5 to 9 random tracks, each with a minimum of 0 to 2
// and a maximum of 1 to 3 above it.
KFile *overlappingMinMax(std::mt19937 &rng)
{
    KFile *f = newZark("Bench", 2.0);
    for (int i = 0; i < 192; ++i)
        addTrack(f, createTrack(0, nullptr, 44100), ("T" + std::to_string(i)).c_str());
    for (int g = 0; g < 64; ++g) {
        const std::string name = "G" + std::to_string(g);
        const int min = static_cast<int>(rng() % 3);
        createElt(f, KCONST_GROUP, name.c_str(), createDataGrp(min, min + 1 + static_cast<int>(rng() % 3)));
        const int size = 5 + static_cast<int>(rng() % 5);
        for (int m = 0; m < size; ++m)
            addSubElt(f, name.c_str(), ("T" + std::to_string(rng() % 192)).c_str());
    }
    return f;
}

// 128 tracks under 128 hidden exclusions of 2 to 4 random tracks (at most one plays).
KFile *denseExclusions(std::mt19937 &rng)
{
    KFile *f = newZark("Bench", 2.0);
    for (int i = 0; i < 128; ++i)
        addTrack(f, createTrack(0, nullptr, 44100), ("T" + std::to_string(i)).c_str());
    for (int r = 0; r < 128; ++r) {
        const std::string name = "X" + std::to_string(r);
        createElt(f, KCONST_ONE, name.c_str(), createDataGrp(0, 1));
        hideElt(f, name.c_str());
        const int size = 2 + static_cast<int>(rng() % 3);
        for (int m = 0; m < size; ++m)
            addSubElt(f, name.c_str(), ("T" + std::to_string(rng() % 128)).c_str());
    }
    return f;
}

// Tracks named in a solver's answer (the list freed).
int tracksIn(KFile *f, GSList *changed)
{
    int tracks = 0;
    for (GSList *l = changed; l; l = l->next)
        tracks += isATrack(f, static_cast<const char *>(l->data)) == 1;
    g_slist_free(changed);
    return tracks;
}

// Projects per hard benchmark: the requests are spread over this many generated projects, each
// starting from every track stopped (which breaks every rule with a minimum).
enum { HARD_PROJECTS = 6 };
// Time limit of the reference answer every timed answer is compared with, in milliseconds.
enum { REFERENCE_LIMIT_MS = 5000 };

// Switch requests of random tracks through the solver at the default time limit: median, p99,
// how many reached the limit and how many were refused. Each request is also answered on a copy
// of the project under a long time limit (not timed): "non_optimal" counts the answers that
// changed more tracks than that one, "unproven" the reference answers that reached even the long
// limit.
void hardSwitches(benchmark::State &state, KFile *(*make)(std::mt19937 &))
{
    std::mt19937 rng(2026);
    const int perProject =
        std::max(1, static_cast<int>(state.max_iterations) / HARD_PROJECTS);
    KFile *f = nullptr;
    int tracks = 0, done = 0, nonOptimal = 0, unproven = 0;
    Timings timings;
    long hits = 0;
    for (auto _ : state) {
        if (done++ % perProject == 0) {
            if (f)
                _freeZark(f);
            f = make(rng);
            tracks = tracksNbr(f);
        }
        std::string name = "T" + std::to_string(rng() % static_cast<unsigned>(tracks));
        KFile *twin = KFile_clone(f);
        k_setStatusSolverTimeLimit(0);
        const long before = limitHits();
        GSList *changed = nullptr;
        timings.ms.push_back(timed([&] { changed = checkStatus(f, name.c_str()); }));
        hits += limitHits() - before;
        if (!changed)
            ++timings.refused;
        else if (!solvercheck::statusViolations(f).empty())
            ++timings.invalid;
        const int movedTracks = changed ? tracksIn(f, changed) : -1;
        if (twin) {
            k_setStatusSolverTimeLimit(REFERENCE_LIMIT_MS);
            const long refBefore = limitHits();
            GSList *reference = checkStatus(twin, name.c_str());
            if (limitHits() != refBefore)
                ++unproven;
            const int best = reference ? tracksIn(twin, reference) : -1;
            if (movedTracks >= 0 && best >= 0 && best < movedTracks)
                ++nonOptimal;
            _freeZark(twin);
        }
    }
    k_setStatusSolverTimeLimit(0);
    report(state, timings, static_cast<double>(k_getStatusSolverTimeLimit()));
    state.counters["limit_hits"] = limitHits() < 0 ? -1.0 : static_cast<double>(hits);
    state.counters["limit_pct"] = 100.0 * static_cast<double>(hits) / static_cast<double>(done);
    state.counters["non_optimal"] = nonOptimal;
    state.counters["unproven"] = unproven;
    if (f)
        _freeZark(f);
}

void BM_OverlappingMinMax256(benchmark::State &state)
{
    hardSwitches(state, overlappingMinMax);
}

void BM_DenseExclusions256(benchmark::State &state)
{
    hardSwitches(state, denseExclusions);
}

// The model builders name every equivalence on the error stream; keep the report readable.
const bool quiet = std::freopen("/dev/null", "w", stderr) != nullptr;

} // namespace

#define SOLVER_SIZES(bm) \
    BENCHMARK(bm)->RangeMultiplier(2)->Range(16, 256)->Iterations(300)->Unit(benchmark::kMillisecond)
SOLVER_SIZES(BM_Toggle);
SOLVER_SIZES(BM_SolverSwitch);
SOLVER_SIZES(BM_LevelMove);
BENCHMARK(BM_OverlappingMinMax256)->Iterations(1800)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DenseExclusions256)->Iterations(1800)->Unit(benchmark::kMillisecond);
