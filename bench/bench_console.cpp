// The console's costs, offscreen, each beside a plain-Qt comparison:
// - meter fan-out: 256 elements' meters each tick with 64 or 128 strips shown (128 or 256 meters),
//   repaint included, beside one plain widget drawing the same meters from the same pictures,
//   repainted whole (second argument 0) or meter by meter as the strips' meters are (1)
//   (goal: < 0.6 ms for 256 meters);
// - build and first paint of a console of 20, 100 and 300 elements beside as many rows of plain
//   QSlider, QPushButton, QLineEdit, QLabel and QDial (goal: linear, within 2x);
// - a master mute click with 50, 100 and 200 strips (goal: linear).
#include "../tests/document/DocumentFixtures.h"

#include "KButton.h"
#include "KCtrlFile.h"
#include "KMasterMix.h"
#include "KSuperUI.h"
#include "KVolumeUI.h"

#include "KPictureCache.h"

#include <QApplication>
#include <QDial>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {
constexpr int Ticks = 250;

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_console";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    static QApplication application(argc, argv);
    return application;
}

// A document of n short playing tracks, all at the top, kept for the whole run.
KCtrlFile& documentOf(int n)
{
    static fixtures::TempDir dir;
    static std::map<int, std::unique_ptr<KCtrlFile>> documents;
    std::unique_ptr<KCtrlFile>& doc = documents[n];
    if (!doc) {
        doc = std::make_unique<KCtrlFile>();
        QStringList names;
        for (int i = 0; i < n; ++i)
            names << QStringLiteral("n%1_%2").arg(n).arg(i, 3, 10, QLatin1Char('0'));
        addTracks(*doc, dir, names, 0.02);
        doc->setEltsStatus(true, false);
    }
    return *doc;
}

// Meter values of every element for one tick: the shown ones and as many again not shown.
QMap<QString, QList<double>> meterTick(const QStringList& shown, int hidden, int tick)
{
    QMap<QString, QList<double>> meters;
    const double level = (tick % 2) ? -30.0 : -120.0;
    for (const QString& name : shown)
        meters.insert(name, {level, level - 10});
    for (int i = 0; i < hidden; ++i)
        meters.insert(QStringLiteral("hidden%1").arg(i), {level, level});
    return meters;
}

void BM_MeterFanOutConsole(benchmark::State& state)
{
    app();
    const int strips = int(state.range(0));
    KCtrlFile& doc = documentOf(strips);
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    console.resize(103 + strips * 90, 360);
    console.show();
    QApplication::processEvents();
    const QStringList shown = console.row()->getListElt();
    const QMap<QString, QList<double>> ticks[] = {meterTick(shown, 256 - strips, 0),
                                                  meterTick(shown, 256 - strips, 1)};
    int tick = 0;
    for (auto _ : state) {
        console.updateSliders(ticks[tick % 2], -20, -30);
        QApplication::processEvents();
        ++tick;
    }
    state.counters["strips"] = shown.size();
}

// Two meters a strip drawn from the meter pictures by one widget, the lit part clipped to the
// level.
class PlainMeters : public QWidget
{
public:
    explicit PlainMeters(int meters) : values(meters, -240),
        groove(KPictureCache::pixmap("Sliders/JaugeStereoGroove")),
        lit(KPictureCache::pixmap("Sliders/JaugeStereoGrooveOver")) {}
    QList<int> values;
    QPixmap groove;
    QPixmap lit;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        for (int i = 0; i < values.size(); ++i) {
            const int x = (i / 2) * 90 + 63 + (i % 2) * 11;
            painter.drawPixmap(x, 57, groove);
            const int top = int(198 * (60 - values[i]) / 300.0);
            painter.drawPixmap(x + 2, 59 + top, lit, 0, top, lit.width(), lit.height() - top);
        }
    }
};

void BM_MeterFanOutPlain(benchmark::State& state)
{
    app();
    const int strips = int(state.range(0));
    PlainMeters meters(2 * strips);
    meters.resize(103 + strips * 90, 360);
    meters.show();
    QApplication::processEvents();
    int tick = 0;
    for (auto _ : state) {
        const int level = (tick % 2) ? -30 : -120;
        for (int i = 0; i < meters.values.size(); ++i)
            meters.values[i] = level - (i % 2) * 10;
        if (state.range(1))
            for (int i = 0; i < strips; ++i)
                meters.update(i * 90 + 63, 57, 24, 202);
        else
            meters.update();
        QApplication::processEvents();
        ++tick;
    }
}

void BM_ConsoleBuildAndPaint(benchmark::State& state)
{
    app();
    KCtrlFile& doc = documentOf(int(state.range(0)));
    for (auto _ : state) {
        KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
        console.resize(1200, 360);
        console.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(console.row()->getNbElt());
    }
    state.SetComplexityN(state.range(0));
}

void BM_PlainRowsBuildAndPaint(benchmark::State& state)
{
    app();
    const int n = int(state.range(0));
    for (auto _ : state) {
        QScrollArea window;
        auto* content = new QWidget;
        auto* row = new QHBoxLayout(content);
        for (int i = 0; i < n; ++i) {
            auto* strip = new QWidget;
            auto* column = new QVBoxLayout(strip);
            column->addWidget(new QLabel(QStringLiteral("n%1").arg(i)));
            column->addWidget(new QLineEdit(QStringLiteral("0")));
            column->addWidget(new QSlider(Qt::Vertical));
            column->addWidget(new QPushButton(QStringLiteral("M")));
            column->addWidget(new QDial);
            strip->setFixedSize(90, 325);
            row->addWidget(strip);
        }
        window.setWidget(content);
        window.resize(1200, 360);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(content);
    }
    state.SetComplexityN(state.range(0));
}

void BM_MasterMuteClick(benchmark::State& state)
{
    app();
    KCtrlFile& doc = documentOf(int(state.range(0)));
    KSuperUI console(&doc, 186, KVirtualUI::LiveMix);
    console.resize(1200, 360);
    console.show();
    QApplication::processEvents();
    for (auto _ : state) {
        console.master()->muteButton()->click();
        QApplication::processEvents();
    }
    state.SetComplexityN(state.range(0));
}
}

BENCHMARK(BM_MeterFanOutConsole)->Arg(64)->Arg(128)->Iterations(Ticks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeterFanOutPlain)->ArgsProduct({{64, 128}, {0, 1}})->Iterations(Ticks)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConsoleBuildAndPaint)->Arg(20)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_PlainRowsBuildAndPaint)->Arg(20)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_MasterMuteClick)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->Complexity();
