// Editor start-up: wall time from process start to the first paint of the main window
// offscreen, before any project is loaded, against a plain QMainWindow with the same number of
// menus, tool bars and tab pages started the same way. Beside the time, each reports the peak
// resident memory of its started program (max_rss_mb, the largest of its runs).
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>

namespace {
// CPU seconds (user and system) of the ended children so far: less sensitive than wall time to
// a loaded machine.
double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void runChild(benchmark::State& state, const char* mode)
{
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", config.path());
    const double cpuBefore = childCpuSeconds();
    long peakKb = 0;
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(TOVRA_BENCH_CHILD, {mode});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            state.SkipWithError("the child did not start and end cleanly");
            return;
        }
        const QByteArray out = child.readAllStandardOutput();
        const qsizetype at = out.lastIndexOf("maxrss_kb=");
        if (at < 0) {
            state.SkipWithError("the child did not report its peak memory");
            return;
        }
        const QByteArray value = out.mid(at + 10).split('\n').value(0).trimmed();
        peakKb = std::max(peakKb, value.toLong());
    }
    state.counters["child_cpu_ms"] = (childCpuSeconds() - cpuBefore) * 1000.0 / state.iterations();
    state.counters["max_rss_mb"] = peakKb / 1024.0;
}

void BM_EditorFirstPaint(benchmark::State& state)
{
    runChild(state, "editor");
}
BENCHMARK(BM_EditorFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_PlainMainWindowFirstPaint(benchmark::State& state)
{
    runChild(state, "plain");
}
BENCHMARK(BM_PlainMainWindowFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
} // namespace
