#include "TreeViewUI.h"

#include "KCtrlFile.h"
#include "KTreeModel.h"
#include "ZazuzoziZadiviDU.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStandardItemModel>

namespace {
// The model drags the selected names as the editor's element names.
class NameItemModel : public QStandardItemModel
{
public:
    using QStandardItemModel::QStandardItemModel;

    QStringList mimeTypes() const override { return {KModels::EltsDragDropMimeType}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override
    {
        QStringList names;
        for (const QModelIndex& index : indexes)
            if (index.isValid() && !names.contains(index.data().toString()))
                names << index.data().toString();
        auto* data = new QMimeData;
        data->setData(KModels::EltsDragDropMimeType, names.join(KModels::EltNameSep).toUtf8());
        return data;
    }
};
} // namespace

TreeViewUI::TreeViewUI(QWidget* parent) : QTreeView(parent), model_(new NameItemModel(this))
{
    setModel(model_);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QStandardItem* TreeViewUI::find(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    const QList<QStandardItem*> found = model_->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

bool TreeViewUI::addItem(const QString& name, const QString& parent)
{
    QStandardItem* holder = parent.isEmpty() ? model_->invisibleRootItem() : find(parent);
    if (name.isEmpty() || contains(name) || !holder)
        return false;
    auto* entry = new QStandardItem(name);
    entry->setCheckable(true);
    entry->setEditable(false);
    entry->setDropEnabled(true);
    holder->appendRow(entry);
    expand(entry->parent() ? entry->parent()->index() : QModelIndex());
    return true;
}

bool TreeViewUI::moveItem(const QString& name, const QString& parent)
{
    QStandardItem* entry = find(name);
    QStandardItem* holder = parent.isEmpty() ? model_->invisibleRootItem() : find(parent);
    if (!entry || !holder)
        return false;
    for (QStandardItem* above = holder; above; above = above->parent())
        if (above == entry)
            return false;
    QStandardItem* former = entry->parent() ? entry->parent() : model_->invisibleRootItem();
    if (former == holder)
        return true;
    const QList<QStandardItem*> row = former->takeRow(entry->row());
    holder->appendRow(row);
    return true;
}

bool TreeViewUI::removeItem(const QString& name)
{
    QStandardItem* entry = find(name);
    if (!entry)
        return false;
    QStandardItem* former = entry->parent() ? entry->parent() : model_->invisibleRootItem();
    former->removeRow(entry->row());
    return true;
}

void TreeViewUI::clearItems()
{
    model_->clear();
}

QString TreeViewUI::parentOf(const QString& name) const
{
    const QStandardItem* entry = find(name);
    return entry && entry->parent() ? entry->parent()->text() : QString();
}

QStringList TreeViewUI::childrenOf(const QString& name) const
{
    const QStandardItem* holder = name.isEmpty() ? model_->invisibleRootItem() : find(name);
    QStringList names;
    for (int row = 0; holder && row < holder->rowCount(); ++row)
        names << holder->child(row)->text();
    return names;
}

QStringList TreeViewUI::checkedItems() const
{
    QStringList names;
    QList<const QStandardItem*> pending{model_->invisibleRootItem()};
    while (!pending.isEmpty()) {
        const QStandardItem* holder = pending.takeFirst();
        for (int row = 0; row < holder->rowCount(); ++row) {
            const QStandardItem* entry = holder->child(row);
            if (entry->checkState() == Qt::Checked)
                names << entry->text();
            pending << entry;
        }
    }
    return names;
}

QString TreeViewUI::dropTarget(const QPoint& position) const
{
    const QModelIndex index = indexAt(position);
    return index.isValid() ? index.data().toString() : QString();
}

void TreeViewUI::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(KModels::EltsDragDropMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TreeViewUI::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(KModels::EltsDragDropMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

bool TreeViewUI::moveInProject(const QString& name, const QString& from, const QString& to)
{
    if (!ZazuzoziZadiviDU::hasInstance() || !ZazuzoziZadiviDU::getInstance()->getTovraFile())
        return true;
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    if (to.isEmpty())
        return from.isEmpty() || window->removeEltFromGroup(name, from);
    return window->addEltInGroup(name, to);
}

void TreeViewUI::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasFormat(KModels::EltsDragDropMimeType)) {
        event->ignore();
        return;
    }
    const QString group = dropTarget(event->position().toPoint());
    QStringList moved;
    for (const QString& name : KModels::namesFromMimeData(event->mimeData())) {
        // Unknown names, a drop on itself or into its own subtree move nothing.
        QStandardItem* entry = find(name);
        if (!entry || name == group)
            continue;
        bool inside = false;
        for (QStandardItem* above = find(group); above; above = above->parent())
            inside = inside || above == entry;
        if (inside)
            continue;
        const QString from = parentOf(name);
        if (from == group || !moveInProject(name, from, group))
            continue;
        moveItem(name, group);
        moved << name;
    }
    // The tree moved the items itself: the view's own move must not remove them again.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (!moved.isEmpty())
        emit itemsMoved(moved, group);
}
