// The transport's meter poll: one tick with N elements playing (N = 16, 64, 256: N - 2 tracks,
// one group holding them and the import group), the map built from the engine's meters and
// delivered to a receiving slot, beside an empty timer tick (a timer event delivered to an empty
// slot). Goal: under 1 ms per tick at 256 elements, against a 40 ms period.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

#include "BenchFixtures.h"
#include "KAudioFilePlayer.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "KPlayer.h"

namespace
{

int argc = 1;
char name[] = "bench";
char *argv[] = {name, nullptr};

QCoreApplication &app()
{
    static QCoreApplication application(argc, argv);
    return application;
}

void MeterTick(benchmark::State &state)
{
    app();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fixtures::TempDir dir;
    const std::string path = dir.file("t.wav");
    benchfix::writeStereoTrack(path, 44100, 5, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0,
                               benchfix::Tones::Plain);
    KCtrlFile doc;
    QStringList tracks;
    for (int t = 0; t < state.range(0) - 2; ++t)
        tracks << doc.addTrack(QString("T%1").arg(t), QString::fromStdString(path), nullptr);
    if (tracks.contains(QString()) || !doc.createGroup("G", tracks, 0, -1)) {
        state.SkipWithError("project not built");
        return;
    }
    doc.setEltsStatus(true, false);
    KAudioFilePlayer player(&doc);
    double sink = 0.0;
    QObject::connect(&player, &KAudioFilePlayer::newStatsView,
                     [&](const QMap<QString, QList<double> > &meters, double left, double) {
                         sink += meters.size() + left;
                     });
    player.setRepeat(true);
    player.play();
    while (player.getLoading() != 101 || so_getTime(doc.getKFile()) <= 0.0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (getEltNbr(doc.getKFile()) != state.range(0)) {
        state.SkipWithError(("elements: " + std::to_string(getEltNbr(doc.getKFile()))).c_str());
        return;
    }
    for (auto _ : state)
        player.refreshStats();
    benchmark::DoNotOptimize(sink);
    state.counters["elements"] = static_cast<double>(state.range(0));
    player.stop();
}
BENCHMARK(MeterTick)->Arg(16)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);

void EmptyTimerTick(benchmark::State &state)
{
    app();
    QTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(40);
    for (auto _ : state) {
        QTimerEvent event(timer.timerId());
        QCoreApplication::sendEvent(&timer, &event);
    }
    benchmark::DoNotOptimize(ticks);
}
BENCHMARK(EmptyTimerTick)->Unit(benchmark::kMicrosecond);

} // namespace
