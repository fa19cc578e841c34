// Editor start-up: wall time from process start to the first paint of the main window, offscreen,
// before any project is loaded, against a plain Qt program doing the same visible work (a splash
// screen with the same picture, then a main window with as many menus, entries, icons, tool bars
// and tab pages) started the same way, and against the older bare window. The time is the
// parent's, from starting the child until it says its main window has been painted; beside it:
//   paint_cpu_ms  the child's own CPU time (user and system) at that paint;
//   paint_rss_mb  its peak resident memory at that paint (the largest of its runs);
//   run_ms        the time until the child has ended by itself (the editor's start dialog, the
//                 teardown and the exit included);
//   max_rss_mb    its peak resident memory over the whole run (the largest of its runs).
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

namespace {
// The number after "key=" in the child's output, or -1.
double valueOf(const QByteArray& out, const QByteArray& key)
{
    const qsizetype at = out.lastIndexOf(key + "=");
    if (at < 0)
        return -1;
    bool ok = false;
    const double value = out.mid(at + key.size() + 1).split('\n').value(0).split(' ').value(0).toDouble(&ok);
    return ok ? value : -1;
}

void runChild(benchmark::State& state, const char* mode)
{
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", config.path());
    // The editor's settings are written before the clock runs, as a person's would be there.
    if (std::strcmp(mode, "editor") == 0) {
        QProcess settings;
        settings.setProcessEnvironment(env);
        settings.start(TOVRA_BENCH_CHILD, {"settings"});
        if (!settings.waitForFinished(30000) || settings.exitCode() != 0) {
            state.SkipWithError("the editor's settings could not be written");
            return;
        }
    }
    double paintCpuMs = 0;
    double runMs = 0;
    double paintRssKb = 0;
    double peakKb = 0;
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        child.start(TOVRA_BENCH_CHILD, {mode});
        QByteArray out;
        while (!out.contains('\n')) {
            if (!child.waitForReadyRead(30000)) {
                state.SkipWithError("the child did not paint its main window");
                return;
            }
            out += child.readAllStandardOutput();
        }
        const double paintSeconds = clock.nsecsElapsed() / 1e9;
        if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            state.SkipWithError("the child did not end cleanly");
            return;
        }
        runMs += clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(paintSeconds);
        out += child.readAllStandardOutput();
        const QByteArray paintLine = out.left(out.indexOf('\n'));
        const double cpu = valueOf(paintLine, "cpu_ms");
        const double paintRss = valueOf(paintLine, "maxrss_kb");
        const double peak = valueOf(out.mid(paintLine.size()), "maxrss_kb");
        if (!paintLine.startsWith("first_paint") || cpu < 0 || paintRss < 0 || peak < 0) {
            state.SkipWithError("the child did not report its paint and its memory");
            return;
        }
        paintCpuMs += cpu;
        paintRssKb = std::max(paintRssKb, paintRss);
        peakKb = std::max(peakKb, peak);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["paint_cpu_ms"] = paintCpuMs / runs;
    state.counters["paint_rss_mb"] = paintRssKb / 1024.0;
    state.counters["run_ms"] = runMs / runs;
    state.counters["max_rss_mb"] = peakKb / 1024.0;
}

void BM_EditorFirstPaint(benchmark::State& state)
{
    runChild(state, "editor");
}
BENCHMARK(BM_EditorFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

void BM_PlainMainWindowFirstPaint(benchmark::State& state)
{
    runChild(state, "plain");
}
BENCHMARK(BM_PlainMainWindowFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

void BM_PlainBareWindowFirstPaint(benchmark::State& state)
{
    runChild(state, "bare");
}
BENCHMARK(BM_PlainBareWindowFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
} // namespace
