// The element tree and list views over a project of 200, 1,000 and 5,000 elements. The tree is
// measured as the editor's element tree is when a project opens: the existing view, every branch
// open, colour squares on group rows, reset onto the project and painted offscreen. Beside it, a
// QStandardItemModel holding the same rows, texts, icons, flags and roles under the same sorting
// proxy and view, cleared, filled, opened and painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>

#include <memory>

#include "KCtrlFile.h"
#include "KDragDropTreeView.h"
#include "KDragTrackList.h"
#include "KFile.h"

namespace
{

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_element_views";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}

// `elements` elements: groups of five tracks, every fifth group inside the group before it.
std::unique_ptr<KCtrlFile> makeProject(int elements)
{
    auto doc = std::make_unique<KCtrlFile>();
    const int groups = elements / 6;
    QString previous;
    for (int g = 0; g < groups; ++g) {
        QStringList members;
        for (int t = 0; t < 5; ++t) {
            const QString name = QString("Track %1").arg(g * 5 + t);
            addBitstreamTrack(doc->getKFile(), name.toUtf8().constData(), 0, nullptr, 44100, g * 5 + t);
            members << name;
        }
        const QString group = QString("Group %1").arg(g);
        doc->createGroup(group, members, 0, -1);
        if (g % 5 == 4)
            doc->addEltInGroup(previous, group);
        previous = group;
    }
    return doc;
}

// The same rows as the element tree shows, as standard items with the same roles and flags.
void fill(QStandardItem* parent, const KTreeModel& model, const QModelIndex& at)
{
    static const int roles[] = {Qt::DisplayRole, Qt::DecorationRole, Qt::BackgroundRole,
                                Qt::ForegroundRole, Qt::FontRole, Qt::CheckStateRole};
    for (int r = 0; r < model.rowCount(at); ++r) {
        const QModelIndex child = model.index(r, 0, at);
        auto* item = new QStandardItem;
        for (int role : roles) {
            const QVariant value = model.data(child, role);
            if (value.isValid())
                item->setData(value, role);
        }
        item->setFlags(model.flags(child));
        parent->appendRow(item);
        fill(item, model, child);
    }
}

void ElementTree(benchmark::State& state)
{
    app();
    std::unique_ptr<KCtrlFile> doc = makeProject(static_cast<int>(state.range(0)));
    KDragDropTreeView view(doc.get());
    view.setIconSize(QSize(16, 16));
    view.setColorSelection(true);
    view.resize(400, 800);
    view.expandAll();
    benchmark::DoNotOptimize(view.grab());
    for (auto _ : state) {
        view.setKFile(doc.get());
        benchmark::DoNotOptimize(view.grab());
    }
    state.counters["rows"] = view.getKModel()->rowCount();
}
BENCHMARK(ElementTree)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void StandardTree(benchmark::State& state)
{
    app();
    std::unique_ptr<KCtrlFile> doc = makeProject(static_cast<int>(state.range(0)));
    KTreeModel shape(doc.get());
    shape.setColorSelection(true);
    QStandardItemModel model;
    QSortFilterProxyModel proxy;
    proxy.setSortCaseSensitivity(Qt::CaseInsensitive);
    proxy.setDynamicSortFilter(true);
    proxy.setSourceModel(&model);
    proxy.sort(0);
    QTreeView view;
    view.setModel(&proxy);
    view.setIconSize(QSize(16, 16));
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.resize(400, 800);
    for (auto _ : state) {
        model.clear();
        fill(model.invisibleRootItem(), shape, QModelIndex());
        view.expandAll();
        benchmark::DoNotOptimize(view.grab());
    }
    state.counters["rows"] = model.rowCount();
}
BENCHMARK(StandardTree)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void TrackList(benchmark::State& state)
{
    app();
    std::unique_ptr<KCtrlFile> doc = makeProject(static_cast<int>(state.range(0)));
    KDragTrackList view(doc.get());
    view.resize(400, 800);
    for (auto _ : state) {
        view.setKFile(doc.get());
        benchmark::DoNotOptimize(view.grab());
    }
    state.counters["rows"] = view.getEltCount();
}
BENCHMARK(TrackList)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// One rename travels through the document to the tree and its proxy.
void RenameRoundTrip(benchmark::State& state)
{
    app();
    std::unique_ptr<KCtrlFile> doc = makeProject(static_cast<int>(state.range(0)));
    KDragDropTreeView view(doc.get());
    bool flip = false;
    for (auto _ : state) {
        doc->renameElt(flip ? "Renamed" : "Track 3", flip ? "Track 3" : "Renamed");
        flip = !flip;
    }
}
BENCHMARK(RenameRoundTrip)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

namespace
{

// `tracks` tracks side by side at the top, or in groups of five (every tenth group allowing
// four players).
std::unique_ptr<KCtrlFile> makeFlatProject(int tracks, bool grouped)
{
    auto doc = std::make_unique<KCtrlFile>();
    for (int t = 0; t < tracks; ++t)
        addBitstreamTrack(doc->getKFile(), QString("Track %1").arg(t).toUtf8().constData(), 0,
                          nullptr, 44100, t);
    if (grouped)
        doc->checkedEdits(KCtrlFile::ActCreateGroup, [&] {
            for (int g = 0; g < tracks / 5; ++g) {
                QStringList members;
                for (int t = 0; t < 5; ++t)
                    members << QString("Track %1").arg(g * 5 + t);
                doc->KObjFile::createGroup(QString("Group %1").arg(g), members, 0,
                                           g % 10 == 0 ? 4 : 5);
            }
            return true;
        });
    return doc;
}

// The tree model over top-level elements only: made anew and reset, 500 against 5,000 (linear
// costs about 10x).
void TopLevelTree(benchmark::State& state)
{
    app();
    std::unique_ptr<KCtrlFile> doc = makeFlatProject(static_cast<int>(state.range(0)), false);
    for (auto _ : state) {
        KTreeModel model(doc.get());
        model.reloaded_slot();
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(TopLevelTree)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

// Every track switched on under the rules (one in fifty meets a group's maximum), 500 against
// 5,000; the switch off between runs is not timed.
void SwitchEveryTrack(benchmark::State& state)
{
    app();
    std::unique_ptr<KCtrlFile> doc = makeFlatProject(static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        state.PauseTiming();
        doc->setEltsStatus(false);
        state.ResumeTiming();
        benchmark::DoNotOptimize(doc->setEltsStatus(true));
    }
}
BENCHMARK(SwitchEveryTrack)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
