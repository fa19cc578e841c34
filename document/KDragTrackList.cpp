#include "KDragTrackList.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>

#include <utility>

#include "KListModel.h"

KDragTrackList::KDragTrackList(KCtrlFile* document, QWidget* parent)
    : QTableView(parent)
    , m_model(new KTracksModel(document, this))
    , m_proxy(new QSortFilterProxyModel(this))
{
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setDynamicSortFilter(true);
    m_proxy->setSourceModel(m_model);
    setModel(m_proxy);
    setDragEnabled(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    // Column widths and row heights follow every change of the rows, once per burst of changes:
    // fitting them reads every row, so doing it per added track made an import quadratic. A
    // reset refits every row; rows changed or inserted refit alone, and the columns widen to
    // them.
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &KDragTrackList::scheduleLayout);
    connect(m_model, &QAbstractItemModel::modelReset, this, &KDragTrackList::scheduleLayout);
    connect(m_proxy, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { scheduleRows(first, last); });
    connect(m_proxy, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                scheduleRows(from.row(), to.row());
            });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &KDragTrackList::selectionChanged_slot);
    modelLayoutChanged();
}

void KDragTrackList::setKFile(KCtrlFile* document)
{
    m_model->setKFile(document);
}

void KDragTrackList::setItemBackground(bool on)
{
    m_model->setItemBackground(on);
    // Every row takes another font: all of them are fitted again.
    scheduleLayout();
}

int KDragTrackList::getEltCount() const
{
    return m_model->rowCount();
}

void KDragTrackList::scheduleLayout()
{
    m_fitAll = true;
    m_changedRows.clear();
    queueLayout();
}

void KDragTrackList::queueLayout()
{
    if (m_layoutQueued)
        return;
    m_layoutQueued = true;
    QMetaObject::invokeMethod(this, &KDragTrackList::fitQueued, Qt::QueuedConnection);
}

void KDragTrackList::scheduleRows(int first, int last)
{
    // Past a few hundred rows one pass over every row costs no more than one per row.
    constexpr int fewRows = 256;
    if (!m_fitAll) {
        if (m_changedRows.size() + (last - first + 1) > fewRows) {
            scheduleLayout();
            return;
        }
        for (int row = first; row <= last; ++row)
            m_changedRows.append(QPersistentModelIndex(m_proxy->index(row, 0)));
    }
    queueLayout();
}

void KDragTrackList::modelLayoutChanged()
{
    m_fitAll = false;
    m_changedRows.clear();
    m_proxy->sort(m_model->columnCount() > 2 ? 1 : 0, Qt::AscendingOrder);
    resizeColumnsToContents();
    resizeRowsToContents();
}

void KDragTrackList::fitQueued()
{
    m_layoutQueued = false;
    if (m_fitAll)
        modelLayoutChanged();
    else
        fitRows();
}

void KDragTrackList::fitRows()
{
    const QList<QPersistentModelIndex> rows = std::exchange(m_changedRows, {});
    const int columns = m_proxy->columnCount();
    // Columns first: a row's height is measured at the widths its texts will have.
    for (const QPersistentModelIndex& index : rows) {
        if (!index.isValid())
            continue;
        for (int column = 0; column < columns; ++column) {
            const int wanted = sizeHintForIndex(m_proxy->index(index.row(), column)).width();
            if (wanted > columnWidth(column))
                setColumnWidth(column, wanted);
        }
    }
    for (const QPersistentModelIndex& index : rows)
        if (index.isValid())
            resizeRowToContents(index.row());
}

QStringList KDragTrackList::uniqueNames(const QModelIndexList& indexes) const
{
    QStringList names;
    for (const QModelIndex& index : indexes) {
        const QString name = m_model->modelIndexToQString(m_proxy->mapToSource(index));
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

QStringList KDragTrackList::getSelectedItems() const
{
    return uniqueNames(selectionModel()->selectedIndexes());
}

void KDragTrackList::selectionChanged_slot(const QItemSelection& selected, const QItemSelection&)
{
    emit selectionChanged(uniqueNames(selected.indexes()));
}
