// One structure edit through the document's checked road (checkpoint, edit, rule check) beside
// the same edit without the check, on generated projects.
//
// Checked/Edit/T/R and Unchecked/Edit/T/R: T tracks in groups of 8 (each {0, all}), R exclusions
// over pairs of tracks of different groups, and one edit per iteration: 0 createExclu over two
// tracks, 1 addEltInGroup of a track into a spare group, 2 removeElement of a spare track. The
// state is put back after each edit outside the measured time. Counters: the median and the p95
// of one edit in milliseconds, and limit_decided, the share of checks whose answer changed when
// the status solver's time limit was raised to 10 s (the limit, not the rules, decided them).
// Goal: p95 under 200 ms at 64 tracks and 50 rules.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "KCtrlFile.h"
#include "KFile.h"
#include "KPrompt.h"
#include "KSolver.h"

namespace
{

QString track(int t)
{
    return QString("Track %1").arg(t);
}

std::unique_ptr<KCtrlFile> makeProject(int tracks, int rules)
{
    auto doc = std::make_unique<KCtrlFile>();
    QStringList names;
    for (int t = 0; t < tracks; ++t) {
        addBitstreamTrack(doc->getKFile(), track(t).toUtf8().constData(), 0, nullptr, 44100, t);
        names << track(t);
    }
    for (int g = 0; g * 8 < tracks; ++g)
        doc->KObjFile::createGroup(QString("Group %1").arg(g), names.mid(g * 8, 8), 0, -1);
    doc->KObjFile::createGroup("Spare", {}, 0, -1);
    doc->KObjFile::setGroupMinMaxPlay("Spare", 0, 8);
    for (int r = 0; r < rules; ++r) {
        const int a = (r * 7) % tracks;
        const int b = (a + 8 + (r * 13) % std::max(1, tracks - 8)) % tracks;
        if (a / 8 != b / 8)
            doc->KObjFile::createExclu({track(a), track(b)}, QString());
    }
    return doc;
}

int ruleCheck(KObjFile& doc)
{
    return checkConstraintsWF(doc.getKFile(), notOrphanCanPlay, notOrphanTracksNbr(doc.getKFile()));
}

void runEdit(benchmark::State& state, bool checked)
{
    const int tracks = static_cast<int>(state.range(0));
    const int rules = static_cast<int>(state.range(1));
    const int edit = static_cast<int>(state.range(2));
    std::unique_ptr<KCtrlFile> doc = makeProject(tracks, rules);
    // No box may block: a warning is kept, an error answered Ok.
    KPrompt::setHandler([](const KPrompt::Request&) {
        KPrompt::Answer answer;
        answer.button = QMessageBox::Ignore;
        return answer;
    });
    std::vector<double> times;
    int decidedByLimit = 0, checks = 0;
    for (auto _ : state) {
        const QString spare = QString("Spare track");
        if (edit == 2)
            addBitstreamTrack(doc->getKFile(), spare.toUtf8().constData(), 0, nullptr, 44100, 0);
        if (edit == 2)
            doc->KObjFile::addEltInGroup("Spare", spare);
        const auto start = std::chrono::steady_clock::now();
        QString rule;
        bool done = false;
        switch (edit) {
        case 0:
            rule = checked ? doc->createExclu({track(0), track(tracks - 1)}, QString())
                           : doc->KObjFile::createExclu({track(0), track(tracks - 1)}, QString());
            done = !rule.isEmpty();
            break;
        case 1:
            done = checked ? doc->addEltInGroup("Spare", track(1))
                           : doc->KObjFile::addEltInGroup("Spare", track(1));
            break;
        default:
            done = checked ? doc->removeElement(spare) : doc->KObjFile::removeElement(spare);
            break;
        }
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1000.0);
        if (!done) {
            state.SkipWithError("edit failed");
            break;
        }
        if (checked && times.size() <= 3) {
            // The same question with room to finish: a different answer means the limit decided.
            const int answer = ruleCheck(*doc);
            const unsigned long limit = k_getStatusSolverTimeLimit();
            k_setStatusSolverTimeLimit(10000);
            decidedByLimit += ruleCheck(*doc) != answer;
            k_setStatusSolverTimeLimit(limit);
            ++checks;
        }
        if (edit == 0)
            doc->KObjFile::removeConstraint(rule);
        else if (edit == 1)
            doc->KObjFile::removeEltFromGroup("Spare", track(1));
    }
    KPrompt::setHandler({});
    if (times.empty())
        return;
    std::sort(times.begin(), times.end());
    state.counters["p50_ms"] = times[times.size() / 2];
    state.counters["p95_ms"] = times[std::min(times.size() - 1, times.size() * 95 / 100)];
    if (checks)
        state.counters["limit_decided"] = double(decidedByLimit) / checks;
}

void Checked(benchmark::State& state)
{
    runEdit(state, true);
}

void Unchecked(benchmark::State& state)
{
    runEdit(state, false);
}

void shapes(benchmark::internal::Benchmark* b)
{
    for (int edit : {0, 1, 2})
        for (int tracks : {16, 64, 256})
            for (int rules : {10, 50, 200})
                b->Args({tracks, rules, edit});
    b->ArgNames({"tracks", "rules", "edit"})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
}

} // namespace

BENCHMARK(Checked)->Apply(shapes);
BENCHMARK(Unchecked)->Apply(shapes);
