#include "KTreeViewNames.h"

#include <QSortFilterProxyModel>
#include <QTreeView>

#include "KTreeModel.h"

KTreeViewNames::KTreeViewNames(QTreeView* view, KTreeModel* model)
    : m_view(view)
    , m_model(model)
    , m_proxy(new QSortFilterProxyModel(view))
{
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setDynamicSortFilter(true);
    m_proxy->setSourceModel(model);
    m_proxy->sort(0, Qt::AscendingOrder);
    view->setModel(m_proxy);
    QObject::connect(m_proxy, &QAbstractItemModel::modelAboutToBeReset, view, [this] { save(); });
    QObject::connect(m_proxy, &QAbstractItemModel::modelReset, view, [this] { restore(); });
}

QString KTreeViewNames::name(const QModelIndex& viewIndex) const
{
    return m_model->getItem(m_proxy->mapToSource(viewIndex));
}

QStringList KTreeViewNames::names(const QModelIndexList& viewIndexes) const
{
    QStringList result;
    for (const QModelIndex& index : viewIndexes)
        result.append(name(index));
    return result;
}

QModelIndex KTreeViewNames::viewIndex(const QString& name) const
{
    return m_proxy->mapFromSource(m_model->getIndex(name));
}

bool KTreeViewNames::setExpanded(const QString& name, bool expanded)
{
    const QModelIndex index = viewIndex(name);
    if (!index.isValid() || m_view->isExpanded(index) == expanded)
        return false;
    m_quiet = true;
    m_view->setExpanded(index, expanded);
    m_quiet = false;
    return true;
}

void KTreeViewNames::expandAll()
{
    m_quiet = true;
    m_view->expandAll();
    m_quiet = false;
}

// The names from the top down to the index, so that an element shown under two groups keeps
// each branch's own state.
QString KTreeViewNames::pathKey(QModelIndex viewIndex) const
{
    QStringList path;
    for (; viewIndex.isValid(); viewIndex = viewIndex.parent())
        path.prepend(name(viewIndex));
    return path.join(QChar(0x1f));
}

void KTreeViewNames::save()
{
    if (m_proxy->rowCount() == 0)
        return; // an unloaded model: keep what the last loaded one showed
    m_expanded.clear();
    m_saved = true;
    QModelIndexList work{QModelIndex()};
    while (!work.isEmpty()) {
        const QModelIndex parent = work.takeLast();
        for (int row = 0; row < m_proxy->rowCount(parent); ++row) {
            const QModelIndex child = m_proxy->index(row, 0, parent);
            if (m_view->isExpanded(child)) {
                m_expanded.insert(pathKey(child));
                work.append(child);
            }
        }
    }
}

void KTreeViewNames::restore()
{
    if (m_proxy->rowCount() == 0)
        return;
    if (!m_saved) {
        expandAll();
        return;
    }
    m_quiet = true;
    QModelIndexList work{QModelIndex()};
    while (!work.isEmpty()) {
        const QModelIndex parent = work.takeLast();
        for (int row = 0; row < m_proxy->rowCount(parent); ++row) {
            const QModelIndex child = m_proxy->index(row, 0, parent);
            if (m_expanded.contains(pathKey(child))) {
                m_view->setExpanded(child, true);
                work.append(child);
            }
        }
    }
    m_quiet = false;
}
