#include "KDragTrackList.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>

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
    // fitting them reads every row, so doing it per added track made an import quadratic.
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &KDragTrackList::scheduleLayout);
    connect(m_model, &QAbstractItemModel::modelReset, this, &KDragTrackList::scheduleLayout);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &KDragTrackList::scheduleLayout);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &KDragTrackList::scheduleLayout);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &KDragTrackList::scheduleLayout);
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
}

int KDragTrackList::getEltCount() const
{
    return m_model->rowCount();
}

void KDragTrackList::scheduleLayout()
{
    if (m_layoutQueued)
        return;
    m_layoutQueued = true;
    QMetaObject::invokeMethod(this, &KDragTrackList::modelLayoutChanged, Qt::QueuedConnection);
}

void KDragTrackList::modelLayoutChanged()
{
    m_layoutQueued = false;
    m_proxy->sort(m_model->columnCount() > 2 ? 1 : 0, Qt::AscendingOrder);
    resizeColumnsToContents();
    resizeRowsToContents();
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
