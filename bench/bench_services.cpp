// Ticking names in a checkable tree: KItemModel::updateChecked (a depth-first search per name
// plus the tree rule) against the floor of the same job, a hash from name to item and a plain
// state change per name.
#include "KItem.h"

#include <QHash>

#include <benchmark/benchmark.h>

namespace {

// groups x members items under the root, members named "g<i>m<j>".
void fill(KItemModel& model, int groups, int members)
{
    for (int g = 0; g < groups; ++g) {
        auto* group = new KItem(QString("g%1").arg(g));
        group->setCheckable(true);
        for (int m = 0; m < members; ++m) {
            auto* member = new KItem(QString("g%1m%2").arg(g).arg(m));
            member->setCheckable(true);
            group->appendRow(member);
        }
        model.appendRow(group);
    }
}

QStringList names(int groups, int members, int count)
{
    QStringList result;
    for (int i = 0; i < count; ++i)
        result << QString("g%1m%2").arg((i * 7) % groups).arg(i % members);
    return result;
}

void BM_UpdateChecked(benchmark::State& state)
{
    const int groups = static_cast<int>(state.range(0)) / 20;
    KItemModel model;
    fill(model, groups, 20);
    const QStringList ticked = names(groups, 20, static_cast<int>(state.range(0)) / 2);
    for (auto _ : state)
        model.updateChecked(ticked);
    state.SetItemsProcessed(state.iterations() * ticked.size());
}
BENCHMARK(BM_UpdateChecked)->Arg(200)->Arg(2000);

void BM_HashLookupFloor(benchmark::State& state)
{
    const int groups = static_cast<int>(state.range(0)) / 20;
    KItemModel model;
    fill(model, groups, 20);
    const QStringList ticked = names(groups, 20, static_cast<int>(state.range(0)) / 2);
    QHash<QString, QStandardItem*> byName;
    QStandardItem* root = model.invisibleRootItem();
    for (int g = 0; g < root->rowCount(); ++g) {
        QStandardItem* group = root->child(g);
        byName.insert(group->text(), group);
        for (int m = 0; m < group->rowCount(); ++m)
            byName.insert(group->child(m)->text(), group->child(m));
    }
    for (auto _ : state) {
        for (QStandardItem* item : std::as_const(byName))
            item->setCheckState(Qt::Unchecked);
        for (const QString& name : ticked)
            byName.value(name)->setCheckState(Qt::Checked);
    }
    state.SetItemsProcessed(state.iterations() * ticked.size());
}
BENCHMARK(BM_HashLookupFloor)->Arg(200)->Arg(2000);

} // namespace
