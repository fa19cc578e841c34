// Editor start-up: wall time from process start to the first paint of the main window, offscreen,
// before any project is loaded, against a plain Qt program doing the same visible work (a splash
// screen with the same picture, then a main window with as many menus, entries, icons, tool bars
// and tab pages) that links only Qt, and against the older bare window. The starts of the three
// programs alternate in one run (editor, plain, bare, editor, ...), so that a change in the
// machine's load falls on all of them alike; each benchmark then reports its program's starts.
// The time is the parent's, from starting the child until it says its main window has been
// painted; beside it:
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
#include <vector>

namespace {
constexpr int Starts = 20;

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

struct Start {
    double paintSeconds = 0;
    double paintCpuMs = 0;
    double paintRssKb = 0;
    double runMs = 0;
    double peakKb = 0;
};

struct Program {
    const char* path;
    const char* mode;
    std::vector<Start> starts;
    QString error;
};

// One start of the program to its end; false with `error` set when it did not go as it should.
bool startOnce(Program& program, const QProcessEnvironment& env)
{
    QProcess child;
    child.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    child.start(program.path, {program.mode});
    QByteArray out;
    while (!out.contains('\n')) {
        if (!child.waitForReadyRead(30000)) {
            program.error = "the child did not paint its main window";
            return false;
        }
        out += child.readAllStandardOutput();
    }
    Start start;
    start.paintSeconds = clock.nsecsElapsed() / 1e9;
    if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        program.error = "the child did not end cleanly";
        return false;
    }
    start.runMs = clock.nsecsElapsed() / 1e6;
    out += child.readAllStandardOutput();
    const QByteArray paintLine = out.left(out.indexOf('\n'));
    start.paintCpuMs = valueOf(paintLine, "cpu_ms");
    start.paintRssKb = valueOf(paintLine, "maxrss_kb");
    start.peakKb = valueOf(out.mid(paintLine.size()), "maxrss_kb");
    if (!paintLine.startsWith("first_paint") || start.paintCpuMs < 0 || start.paintRssKb < 0 || start.peakKb < 0) {
        program.error = "the child did not report its paint and its memory";
        return false;
    }
    program.starts.push_back(start);
    return true;
}

// The three programs, each started `Starts` times in turn, once per run of this benchmark program.
std::vector<Program>& programs()
{
    static std::vector<Program> all = [] {
        std::vector<Program> list{{TOVRA_BENCH_CHILD, "editor", {}, {}},
                                  {TOVRA_BENCH_PLAIN_CHILD, "plain", {}, {}},
                                  {TOVRA_BENCH_PLAIN_CHILD, "bare", {}, {}}};
        QTemporaryDir config;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", config.path());
        // The editor's settings are written before the clock runs, as a person's would be there.
        QProcess settings;
        settings.setProcessEnvironment(env);
        settings.start(TOVRA_BENCH_CHILD, {"settings"});
        if (!settings.waitForFinished(30000) || settings.exitCode() != 0) {
            list[0].error = "the editor's settings could not be written";
            return list;
        }
        for (int round = 0; round < Starts; ++round) {
            for (Program& program : list) {
                if (program.error.isEmpty())
                    startOnce(program, env);
            }
        }
        return list;
    }();
    return all;
}

void report(benchmark::State& state, int which)
{
    const Program& program = programs()[which];
    if (!program.error.isEmpty()) {
        state.SkipWithError(qPrintable(program.error));
        return;
    }
    double paintCpuMs = 0, runMs = 0, paintRssKb = 0, peakKb = 0;
    size_t i = 0;
    for (auto _ : state) {
        const Start& start = program.starts[i++ % program.starts.size()];
        state.SetIterationTime(start.paintSeconds);
        paintCpuMs += start.paintCpuMs;
        runMs += start.runMs;
        paintRssKb = std::max(paintRssKb, start.paintRssKb);
        peakKb = std::max(peakKb, start.peakKb);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["paint_cpu_ms"] = paintCpuMs / runs;
    state.counters["paint_rss_mb"] = paintRssKb / 1024.0;
    state.counters["run_ms"] = runMs / runs;
    state.counters["max_rss_mb"] = peakKb / 1024.0;
}

void BM_EditorFirstPaint(benchmark::State& state)
{
    report(state, 0);
}
BENCHMARK(BM_EditorFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(Starts);

void BM_PlainMainWindowFirstPaint(benchmark::State& state)
{
    report(state, 1);
}
BENCHMARK(BM_PlainMainWindowFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(Starts);

void BM_PlainBareWindowFirstPaint(benchmark::State& state)
{
    report(state, 2);
}
BENCHMARK(BM_PlainBareWindowFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(Starts);
} // namespace
