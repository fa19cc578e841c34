#include "KDragDropTreeView.h"

#include <QMouseEvent>
#include <QSortFilterProxyModel>

#include "KCtrlFile.h"

KDragDropTreeView::KDragDropTreeView(KCtrlFile* document, QWidget* parent, KTreeModel* model)
    : QTreeView(parent)
    , m_model(model ? model : new KTreeModel(document, this))
    , m_names(this, m_model)
{
    m_names.expandAll();
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(true);
    setAcceptDrops(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_model, &KTreeModel::dropOnRoot, this, &KDragDropTreeView::dropOnRoot);
    // Queued: the view shows the drop once the model's own refresh has reached it.
    connect(m_model, &KTreeModel::dropped, this, &KDragDropTreeView::showDropped,
            Qt::QueuedConnection);
    connect(m_model, &QAbstractItemModel::layoutChanged, this,
            &KDragDropTreeView::modelLayoutChanged);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &KDragDropTreeView::selectionChanged_slot);
    connect(this, &QTreeView::expanded, this, &KDragDropTreeView::expanded_slot);
    connect(this, &QTreeView::collapsed, this, &KDragDropTreeView::collapsed_slot);
}

void KDragDropTreeView::setKFile(KCtrlFile* document)
{
    m_doc = document;
    m_model->setKFile(document);
}

void KDragDropTreeView::setColorSelection(bool on)
{
    m_colorSelection = on;
    m_model->setColorSelection(on);
}

QString KDragDropTreeView::getSelectedItem() const
{
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? m_names.name(current) : QString();
}

void KDragDropTreeView::collapse(const QString& name)
{
    m_names.setExpanded(name, false);
}

void KDragDropTreeView::expand(const QString& name)
{
    m_names.setExpanded(name, true);
}

void KDragDropTreeView::modelLayoutChanged()
{
    m_names.proxy()->sort(0, Qt::AscendingOrder);
}

void KDragDropTreeView::selectionChanged_slot(const QItemSelection& selected, const QItemSelection&)
{
    emit selectionChanged(m_names.names(selected.indexes()));
}

void KDragDropTreeView::collapsed_slot(const QModelIndex& index)
{
    if (!m_names.quiet())
        emit collapsed(m_names.name(index));
}

void KDragDropTreeView::expanded_slot(const QModelIndex& index)
{
    if (!m_names.quiet())
        emit expanded(m_names.name(index));
}

void KDragDropTreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_colorSelection && m_doc) {
        const QPoint pos = event->position().toPoint();
        const QModelIndex index = indexAt(pos);
        const QRect rect = visualRect(index);
        const QRect square(rect.left(), rect.top(), rect.height(), rect.height());
        if (index.isValid() && square.contains(pos) && m_doc->isGroup(m_names.name(index))) {
            emit iconClicked(m_names.name(index), event->globalPosition().toPoint());
            event->accept();
            return;
        }
    }
    QTreeView::mousePressEvent(event);
}

void KDragDropTreeView::showDropped(const QStringList& names)
{
    KCtrlFile* document = m_model->document();
    QItemSelection dropped;
    for (const QString& name : names) {
        const QString group = document ? document->getParent(name) : QString();
        if (!group.isEmpty())
            m_names.setExpanded(group, true);
        const QModelIndex row = m_names.proxy()->mapFromSource(m_model->getIndex(name));
        if (row.isValid())
            dropped.select(row, row);
    }
    if (dropped.isEmpty())
        return;
    selectionModel()->select(dropped, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectionModel()->setCurrentIndex(dropped.indexes().first(), QItemSelectionModel::NoUpdate);
    scrollTo(dropped.indexes().first());
}
