// Idle cost of the widget kit: timer events delivered per second to a window of 100 picture
// buttons and 100 scrolling labels while nothing is hovered or checked, beside the same window
// built from plain QPushButtons and QLabels. Five seconds of event loop per case.
#include "KButton.h"
#include "KTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {
constexpr int Controls = 100;
constexpr int RunMs = 5000;

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_widgets";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}

// Counts every timer event the application delivers.
class TimerCounter : public QObject
{
public:
    long events = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            ++events;
        return false;
    }
};

enum Kind { Kit, Plain };

void buildWindow(QWidget& window, Kind kind, const QString& labelText)
{
    auto* grid = new QGridLayout(&window);
    for (int i = 0; i < Controls; ++i) {
        QWidget* button;
        QWidget* label;
        if (kind == Kit) {
            auto* kitButton = new KButton(&window, true);
            kitButton->setCheckable(true);
            kitButton->setText("M");
            button = kitButton;
            label = new KTextBox(60, labelText.arg(i), &window);
        } else {
            auto* plainButton = new QPushButton("M", &window);
            plainButton->setCheckable(true);
            button = plainButton;
            label = new QLabel(labelText.arg(i), &window);
            label->setFixedWidth(60);
        }
        grid->addWidget(button, i / 10, (i % 10) * 2);
        grid->addWidget(label, i / 10, (i % 10) * 2 + 1);
    }
}

void idleWindow(benchmark::State& state, Kind kind, const char* labelText)
{
    QApplication& application = app();
    for (auto _ : state) {
        QWidget window;
        buildWindow(window, kind, labelText);
        window.show();
        QApplication::processEvents();
        TimerCounter counter;
        application.installEventFilter(&counter);
        QElapsedTimer clock;
        clock.start();
        // The single-shot timer that ends the loop counts once in every case.
        QEventLoop loop;
        QTimer::singleShot(RunMs, &loop, &QEventLoop::quit);
        loop.exec();
        application.removeEventFilter(&counter);
        state.counters["timer_events_per_s"] = counter.events * 1000.0 / clock.elapsed();
    }
}
}

// Names that fit their box: nothing should move.
BENCHMARK_CAPTURE(idleWindow, kit_short_names, Kit, "Pst %1")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idleWindow, plain_short_names, Plain, "Pst %1")->Iterations(1)->Unit(benchmark::kSecond);
// Names wider than their box: the kit's labels scroll, as they are meant to.
BENCHMARK_CAPTURE(idleWindow, kit_long_names, Kit, "Guitare rythmique %1")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(idleWindow, plain_long_names, Plain, "Guitare rythmique %1")->Iterations(1)->Unit(benchmark::kSecond);
