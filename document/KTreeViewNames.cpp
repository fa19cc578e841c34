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

void KTreeViewNames::follow(const KTreeViewNames& other)
{
    QList<QModelIndex> work{QModelIndex()};
    while (!work.isEmpty()) {
        const QModelIndex parent = work.takeLast();
        const int rows = m_proxy->rowCount(parent);
        for (int row = 0; row < rows; ++row) {
            const QModelIndex child = m_proxy->index(row, 0, parent);
            if (!m_proxy->hasChildren(child))
                continue;
            const QString childName = name(child);
            const QModelIndex there = other.viewIndex(childName);
            if (there.isValid())
                setExpanded(childName, other.m_view->isExpanded(there));
            work.append(child);
        }
    }
}

namespace {
// An open branch and its key: the names from the top down to it, so that an element shown under
// two groups keeps each branch's own state.
struct Branch
{
    QModelIndex index;
    QString key;
    bool root = true;
};

QString childKey(const Branch& parent, const QString& name)
{
    return parent.root ? name : parent.key + QChar(0x1f) + name;
}
} // namespace

// Both walks carry each branch's path key down to its children, so that a tree of n rows costs
// n names rather than one walk to the top per row.
void KTreeViewNames::save()
{
    if (m_proxy->rowCount() == 0)
        return; // an unloaded model: keep what the last loaded one showed
    m_expanded.clear();
    m_saved = true;
    QList<Branch> work{Branch{}};
    while (!work.isEmpty()) {
        const Branch parent = work.takeLast();
        const int rows = m_proxy->rowCount(parent.index);
        for (int row = 0; row < rows; ++row) {
            const QModelIndex child = m_proxy->index(row, 0, parent.index);
            if (m_view->isExpanded(child)) {
                Branch branch{child, childKey(parent, name(child)), false};
                m_expanded.insert(branch.key);
                work.append(std::move(branch));
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
    QList<Branch> work{Branch{}};
    while (!work.isEmpty()) {
        const Branch parent = work.takeLast();
        const int rows = m_proxy->rowCount(parent.index);
        for (int row = 0; row < rows; ++row) {
            const QModelIndex child = m_proxy->index(row, 0, parent.index);
            QString key = childKey(parent, name(child));
            if (m_expanded.contains(key)) {
                m_view->setExpanded(child, true);
                work.append(Branch{child, std::move(key), false});
            }
        }
    }
    m_quiet = false;
}
