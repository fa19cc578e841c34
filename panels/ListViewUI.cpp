#include "ListViewUI.h"

#include "KTreeModel.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QStringListModel>

ListViewUI::ListViewUI(QWidget* parent) : QListView(parent), m_model(new QStringListModel(this))
{
    setObjectName("ListViewUI");
    setModel(m_model);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDropIndicatorShown(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont listFont = font();
    listFont.setPointSize(10);
    setFont(listFont);
}

void ListViewUI::insertNames(const QStringList& names, int row)
{
    if (names.isEmpty())
        return;
    row = qBound(0, row, m_model->rowCount());
    m_model->insertRows(row, int(names.size()));
    for (int i = 0; i < names.size(); ++i)
        m_model->setData(m_model->index(row + i), names[i]);
    sortNames();
    emit itemsAdded(names);
}

void ListViewUI::sortNames()
{
    m_model->sort(0, Qt::AscendingOrder);
}

void ListViewUI::addItem(const QString& name)
{
    insertNames({name}, m_model->rowCount());
}

void ListViewUI::addItem(const QString& name, int row)
{
    insertNames({name}, row);
}

void ListViewUI::addItems(const QStringList& names)
{
    insertNames(names, m_model->rowCount());
}

void ListViewUI::removeRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QString name = getItem(row);
    m_model->removeRows(row, 1);
    emit itemsRemoved({name});
}

void ListViewUI::removeItem(const QString& name)
{
    removeItems({name});
}

void ListViewUI::removeItems(const QStringList& names)
{
    QStringList removed;
    for (const QString& name : names) {
        const int row = int(m_model->stringList().indexOf(name));
        if (row < 0)
            continue;
        m_model->removeRows(row, 1);
        removed << name;
    }
    if (!removed.isEmpty())
        emit itemsRemoved(removed);
}

void ListViewUI::renamedElement(const QString& oldName, const QString& newName)
{
    const int row = int(m_model->stringList().indexOf(oldName));
    if (row < 0)
        return;
    m_model->setData(m_model->index(row), newName);
    sortNames();
}

QStringList ListViewUI::getItems() const
{
    return m_model->stringList();
}

QString ListViewUI::getItem(int row) const
{
    if (row < 0 || row >= m_model->rowCount())
        return QString();
    return m_model->index(row).data().toString();
}

QStringList ListViewUI::getSelectedItems() const
{
    QStringList names;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        names << index.data().toString();
    return names;
}

QMimeData* ListViewUI::dragData(const QString& name)
{
    auto* data = new QMimeData;
    data->setData(KModels::EltsDragDropMimeType, name.toUtf8());
    data->setText(name);
    return data;
}

void ListViewUI::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QListView::mousePressEvent(event);
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    m_pressPos = event->position().toPoint();
    m_pressed = index.isValid() ? index.data().toString() : QString();
    selectionModel()->clearSelection();
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
}

void ListViewUI::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_pressed.isEmpty())
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    const QString name = m_pressed;
    m_pressed.clear(); // one drag per press
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData(name));
    execDrag(drag);
}

void ListViewUI::execDrag(QDrag* drag)
{
    drag->exec(Qt::CopyAction | Qt::MoveAction);
}
