// What both element tree views share: names read from view indexes through the sort proxy,
// expansion by name that does not announce itself again, and the expanded branches kept by name
// across a model reset. GUI thread only.
#ifndef KTREEVIEWNAMES_H
#define KTREEVIEWNAMES_H

#include <QModelIndex>
#include <QSet>
#include <QString>
#include <QStringList>

class QTreeView;
class QSortFilterProxyModel;
class KTreeModel;

class KTreeViewNames
{
public:
    // Makes the proxy (a child of the view, case-insensitive, sorted on every change) and keeps
    // the expanded branches across resets of the model.
    KTreeViewNames(QTreeView* view, KTreeModel* model);

    KTreeModel* model() const { return m_model; }
    QSortFilterProxyModel* proxy() const { return m_proxy; }
    QString name(const QModelIndex& viewIndex) const;
    QStringList names(const QModelIndexList& viewIndexes) const;
    QModelIndex viewIndex(const QString& name) const;
    // Opens or closes the branch on another view's request; false when nothing changed.
    bool setExpanded(const QString& name, bool expanded);
    // True while the view's branches change on request, when nothing is to be announced.
    bool quiet() const { return m_quiet; }
    void expandAll();
    // Opens and closes the branches as the other view shows the same elements, quietly.
    void follow(const KTreeViewNames& other);

private:
    void save();
    void restore();

    QTreeView* m_view;
    KTreeModel* m_model;
    QSortFilterProxyModel* m_proxy;
    bool m_quiet = false;
    bool m_saved = false;
    QSet<QString> m_expanded;
};

#endif
