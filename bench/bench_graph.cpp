// Cost per element of the project graph's main steps as the project grows: building N tracks in
// N/10 visible groups with N/2 hidden rules, cloning it (the checkpoint taken before every checked
// edit), asking every element the tree view's and the solvers' questions, and deleting half of
// it. The "per_element" counter is the time of one step divided by the number of elements it
// handled: it must stay flat from N = 100 to N = 10,000, and a clone must cost no more per
// element than building the project did.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "KFile.h"
#include "tvr_utils.h"

namespace {

std::string name(char prefix, int i)
{
    return prefix + std::to_string(i);
}

// N tracks "T<i>"; N/10 visible groups "G<g>" of ten tracks, each group but the first inside the
// previous group so the tree has depth; N/2 hidden rules "Const_<r>" over neighbouring tracks:
// implications, exclusions {0, 1}, "all together" and equivalences in turn.
KFile *buildProject(int n)
{
    KFile *file = newZark("Bench", 2.0);
    for (int i = 0; i < n; ++i)
        addTrack(file, createTrack(i, nullptr, 44100), name('T', i).c_str());
    for (int g = 0; g < n / 10; ++g) {
        std::string group = name('G', g);
        createElt(file, KCONST_GROUP, group.c_str(), createDataGrp(0, 10));
        for (int i = g * 10; i < g * 10 + 10; ++i)
            addSubElt(file, group.c_str(), name('T', i).c_str());
        if (g % 10 != 0)
            addSubElt(file, name('G', g - 1).c_str(), group.c_str());
    }
    static const int kinds[] = {KCONST_IMPLY, KCONST_GROUP, KCONST_ALL, KCONST_EQUIV};
    for (int r = 0; r < n / 2; ++r) {
        std::string rule = "Const_" + std::to_string(r);
        int kind = kinds[r % 4];
        std::string first = name('T', (2 * r) % n), second = name('T', (2 * r + 1) % n);
        void *data = kind == KCONST_IMPLY   ? static_cast<void *>(&first[0])
                     : kind == KCONST_GROUP ? static_cast<void *>(createDataGrp(0, 1))
                                            : nullptr;
        createElt(file, kind, rule.c_str(), data);
        hideElt(file, rule.c_str());
        addSubElt(file, rule.c_str(), second.c_str());
        if (kind != KCONST_IMPLY)
            addSubElt(file, rule.c_str(), first.c_str());
    }
    return file;
}

int elementCount(int n)
{
    return n + n / 10 + n / 2;
}

void perElement(benchmark::State &state, int elements)
{
    state.counters["elements"] = elements;
    state.counters["per_element"] = benchmark::Counter(
        elements, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void releaseArray(const void *array)
{
    if (array) {
        tvr_free_called();
        std::free(const_cast<void *>(array));
    }
}

void BM_Build(benchmark::State &state)
{
    int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        KFile *file = buildProject(n);
        benchmark::DoNotOptimize(file);
        state.PauseTiming();
        _freeZark(file);
        state.ResumeTiming();
    }
    perElement(state, elementCount(n));
}

void BM_Clone(benchmark::State &state)
{
    int n = static_cast<int>(state.range(0));
    KFile *file = buildProject(n);
    for (auto _ : state) {
        KFile *clone = KFile_clone(file);
        benchmark::DoNotOptimize(clone);
        state.PauseTiming();
        _freeZark(clone);
        state.ResumeTiming();
    }
    _freeZark(file);
    perElement(state, elementCount(n));
}

// The questions the element views and the solvers ask of every element: lookup, depth, path
// from the top, ancestry, rows under it and its own row, members, implications naming it.
void BM_Queries(benchmark::State &state)
{
    int n = static_cast<int>(state.range(0));
    KFile *file = buildProject(n);
    std::vector<std::string> names;
    int count = 0;
    const char **all = allEltsNames(file, &count);
    for (int i = 0; i < count; ++i)
        names.emplace_back(all[i]);
    releaseArray(all);
    for (auto _ : state) {
        long sum = 0;
        for (const std::string &eltName : names) {
            KElement *elt = giveElt(file, eltName.c_str());
            sum += getLevelFamily(file, eltName.c_str());
            int k = 0;
            const char **path = k_getAllParents(file, eltName.c_str(), &k);
            sum += k_isParent(file, path[0], eltName.c_str());
            releaseArray(path);
            sum += KElement_getVisibleChildCount(elt);
            sum += KElement_getIndexFromParent(file, elt, "G0");
            releaseArray(subEltName(file, eltName.c_str(), &k));
            releaseArray(getImplyWithElt(file, eltName.c_str(), &k));
            sum += isPlaying(file, eltName.c_str());
        }
        benchmark::DoNotOptimize(sum);
    }
    _freeZark(file);
    perElement(state, static_cast<int>(names.size()));
}

// Deletes every second element in creation order: tracks, groups and rules.
void BM_DeleteHalf(benchmark::State &state)
{
    int n = static_cast<int>(state.range(0));
    int deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        KFile *file = buildProject(n);
        std::vector<std::string> victims;
        int count = 0;
        const char **all = allEltsNames(file, &count);
        for (int i = 0; i < count; i += 2)
            victims.emplace_back(all[i]);
        releaseArray(all);
        state.ResumeTiming();
        for (const std::string &victim : victims)
            deleteElt(file, victim.c_str());
        state.PauseTiming();
        deleted = static_cast<int>(victims.size());
        _freeZark(file);
        state.ResumeTiming();
    }
    perElement(state, deleted);
}

} // namespace

BENCHMARK(BM_Build)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Clone)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Queries)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteHalf)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
