// Console-speed paths of the level and mix operations on a large project, each beside the bare
// loop that does the same work on the records directly (the floor the operation can reach).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "KFile.h"

namespace {

// A top group holding `tracks` playing tracks spread over `groups` visible groups.
struct BigProject {
    KFile *file;
    std::vector<KElement *> tracks;
    BigProject(int tracks, int groups) : file(newZark("Bench", 2.0))
    {
        createElt(file, KCONST_GROUP, "Top", createDataGrp(0, tracks));
        for (int g = 0; g < groups; ++g) {
            std::string name = "G" + std::to_string(g);
            createElt(file, KCONST_GROUP, name.c_str(), createDataGrp(0, tracks));
            addSubElt(file, "Top", name.c_str());
        }
        for (int t = 0; t < tracks; ++t) {
            std::string name = "T" + std::to_string(t);
            addTrack(file, createTrack(0, nullptr, 44100), name.c_str());
            addSubElt(file, ("G" + std::to_string(t % groups)).c_str(), name.c_str());
            KElement *elt = giveElt(file, name.c_str());
            g_slist_free(moveStatusWithReturn(nullptr, elt));
            MixManager_addTrackInCurMix(file->mixes, static_cast<KTrack *>(elt->data));
            this->tracks.push_back(elt);
        }
    }
    ~BigProject() { _freeZark(file); }
};

// Soloing and unsoloing the top group of 2,000 tracks: every flag below it moves twice.
void BM_SoloTopGroup(benchmark::State &state)
{
    BigProject p(2000, 20);
    for (auto _ : state) {
        k_setSolo(p.file, "Top", 1);
        k_setSolo(p.file, "Top", 0);
    }
    benchmark::DoNotOptimize(p.file->soloCount);
}
BENCHMARK(BM_SoloTopGroup)->Unit(benchmark::kMillisecond);

void BM_SoloTopGroupBareFlags(benchmark::State &state)
{
    BigProject p(2000, 20);
    for (auto _ : state) {
        for (int value : {1, 0})
            for (KElement *e = p.file->firstCreated; e; e = e->nextCreated)
                e->solo = value;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SoloTopGroupBareFlags)->Unit(benchmark::kMillisecond);

// One fader step of the top group: every effective gain below it is recomputed.
void BM_GroupLevelStep(benchmark::State &state)
{
    BigProject p(2000, 20);
    KElement *top = giveElt(p.file, "Top");
    int delta = 1;
    for (auto _ : state) {
        changeLevel(top, delta);
        delta = -delta;
    }
}
BENCHMARK(BM_GroupLevelStep)->Unit(benchmark::kMicrosecond);

void BM_GroupLevelStepBareGains(benchmark::State &state)
{
    BigProject p(2000, 20);
    for (auto _ : state) {
        for (KElement *t : p.tracks)
            t->levels->gain = t->levels->ownGain * KElement_getParent(t)->levels->gain;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GroupLevelStepBareGains)->Unit(benchmark::kMicrosecond);

// Is every track of a 1,000-track current mix selected?
void BM_IsSelectedEveryTrack(benchmark::State &state)
{
    BigProject p(1000, 10);
    for (auto _ : state) {
        int selected = 0;
        for (KElement *t : p.tracks)
            selected += isSelected(p.file, t->name);
        benchmark::DoNotOptimize(selected);
    }
}
BENCHMARK(BM_IsSelectedEveryTrack)->Unit(benchmark::kMillisecond);

} // namespace
