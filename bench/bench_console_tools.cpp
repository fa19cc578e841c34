// The console's editing tools: one equaliser dial step (the reported values and the curve
// redrawn into the editor's picture) beside a bare 482-point polyline drawn on the same pixmap;
// and refreshing the rule list over 200 rules of 20 members beside filling the same table with
// constant strings.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDial>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QTableWidget>

#include <memory>

#include "EqualisationUi.h"
#include "KCtrlFile.h"
#include "KFile.h"
#include "MainEqualsUi.h"
#include "RulesListView.h"

namespace
{

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_console_tools";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}

int gLimits[] = {20, 100, 1000, 20000};
int gGains[] = {-12, 12};

void EqualiserDialStep(benchmark::State& state)
{
    app();
    MainEqualsUi editor(3, gLimits, 1, gGains, 4, nullptr);
    editor.openEqualisationButtons({{100, 3.0}, {800, -2.0}, {2000, 0.0}, {12000, 6.0}});
    editor.show();
    QDial* dial = editor.bands()[1]->frequencyDial();
    int step = 0;
    for (auto _ : state) {
        // Sweeps the second band over its own range and back, 1,000 positions per sweep.
        dial->setValue(334 + (step++ % 332));
        benchmark::DoNotOptimize(editor.getEqualisationValues());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(EqualiserDialStep)->Iterations(1000)->Unit(benchmark::kMicrosecond);

void BarePolylineOnTheCurvePixmap(benchmark::State& state)
{
    app();
    const QSize size = MainEqualsUi::curveSize();
    QPixmap picture(size);
    QPolygon line(size.width());
    int step = 0;
    for (auto _ : state) {
        ++step;
        for (int x = 0; x < size.width(); ++x)
            line.setPoint(x, x, (x * 7 + step) % size.height());
        picture.fill(Qt::black);
        QPainter painter(&picture);
        painter.setPen(QColor(0x00, 0xB6, 0xC1));
        painter.drawPolyline(line);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BarePolylineOnTheCurvePixmap)->Iterations(1000)->Unit(benchmark::kMicrosecond);

constexpr int kRules = 200;
constexpr int kMembers = 20;

std::unique_ptr<KCtrlFile> rulesProject()
{
    auto doc = std::make_unique<KCtrlFile>();
    QStringList tracks;
    for (int t = 0; t < kRules; ++t) {
        const QString name = QString("Track %1").arg(t);
        addBitstreamTrack(doc->getKFile(), name.toUtf8().constData(), 0, nullptr, 44100, t);
        tracks << name;
    }
    for (int r = 0; r < kRules; ++r) {
        QStringList members;
        for (int m = 0; m < kMembers; ++m)
            members << tracks[(r + m * 7) % kRules];
        doc->createRuleGroup(QString("__UnusefullGrp__Rule %1").arg(r, 3, 10, QChar('0')), members,
                             QString("Description of rule %1").arg(r));
    }
    return doc;
}

void RuleListRefresh(benchmark::State& state)
{
    app();
    const auto doc = rulesProject();
    RulesListView view(doc.get());
    if (view.table()->rowCount() != kRules)
        state.SkipWithError("the rules were not listed");
    for (auto _ : state)
        view.updateList_slot();
    state.SetItemsProcessed(state.iterations() * kRules);
}
BENCHMARK(RuleListRefresh)->Unit(benchmark::kMillisecond);

void ConstantTableFill(benchmark::State& state)
{
    app();
    QTableWidget table(0, 3);
    QString members;
    for (int m = 0; m < kMembers; ++m)
        members += QString("Track %1  ").arg(m);
    for (auto _ : state) {
        table.clearContents();
        table.setRowCount(kRules);
        for (int row = 0; row < kRules; ++row) {
            table.setItem(row, 0, new QTableWidgetItem(QStringLiteral("Rule")));
            table.setItem(row, 1, new QTableWidgetItem(members));
            table.setItem(row, 2, new QTableWidgetItem(QStringLiteral("Description")));
        }
        table.sortItems(0, Qt::AscendingOrder);
    }
    state.SetItemsProcessed(state.iterations() * kRules);
}
BENCHMARK(ConstantTableFill)->Unit(benchmark::kMillisecond);

} // namespace
