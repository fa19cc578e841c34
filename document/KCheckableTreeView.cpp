#include "KCheckableTreeView.h"

#include <QMouseEvent>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>

#include "KCtrlFile.h"

namespace {

// Draws the check boxes but never switches them: the view's press is the one way to switch, so
// a click cannot run two status changes.
class DisplayOnlyDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&,
                     const QModelIndex&) override
    {
        return false;
    }
};

} // namespace

KCheckableTreeView::KCheckableTreeView(KCtrlFile* document, QWidget* parent)
    : QTreeView(parent)
    , m_model(new KCheckableTreeModel(document, this))
    , m_doc(document)
    , m_names(this, m_model)
{
    setItemDelegate(new DisplayOnlyDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    connect(m_model, &QAbstractItemModel::layoutChanged, this,
            &KCheckableTreeView::modelLayoutChanged);
    connect(this, &QTreeView::expanded, this, &KCheckableTreeView::expanded_slot);
    connect(this, &QTreeView::collapsed, this, &KCheckableTreeView::collapsed_slot);
    m_names.expandAll();
    setAnimated(true);
}

void KCheckableTreeView::setKFile(KCtrlFile* document)
{
    m_doc = document;
    m_model->setKFile(document);
}

QRect KCheckableTreeView::getCheckRect(const QModelIndex& index) const
{
    const int depth = m_model->depth(m_names.proxy()->mapToSource(index));
    return QRect(depth * 20, 0, 20, 20);
}

void KCheckableTreeView::collapse(const QString& name)
{
    m_names.setExpanded(name, false);
}

void KCheckableTreeView::expand(const QString& name)
{
    m_names.setExpanded(name, true);
}

void KCheckableTreeView::modelLayoutChanged()
{
    m_names.proxy()->sort(0, Qt::AscendingOrder);
}

void KCheckableTreeView::collapsed_slot(const QModelIndex& index)
{
    if (!m_names.quiet())
        emit collapsed(m_names.name(index));
}

void KCheckableTreeView::expanded_slot(const QModelIndex& index)
{
    if (!m_names.quiet())
        emit expanded(m_names.name(index));
}

void KCheckableTreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return;
    // The row's box and label, and a margin of 20 pixels to their right.
    const QRect rect = visualRect(index);
    if (!rect.contains(pos) && !rect.translated(20, 0).contains(pos))
        return;
    const QModelIndex source = m_names.proxy()->mapToSource(index);
    const bool checked = m_model->data(source, Qt::CheckStateRole).toInt() == Qt::Checked;
    m_model->setData(source, !checked, Qt::CheckStateRole);
}
