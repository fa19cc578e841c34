#include "KItem.h"

#include <QHash>

KItem::KItem() : QStandardItem() {}

KItem::KItem(const QString& text) : QStandardItem(text) {}

QStandardItem* KItem::clone() const
{
    return new KItem(*this);
}

void KItem::setCheckState(Qt::CheckState state)
{
    int checkedChildren = 0;
    for (int row = 0; row < rowCount(); ++row) {
        QStandardItem* item = child(row, 0);
        if (item && item->checkState() == Qt::Checked)
            ++checkedChildren;
    }
    const bool partialRequest = state == Qt::PartiallyChecked;
    const Qt::CheckState newState =
        partialRequest ? (checkedChildren > 0 ? Qt::Checked : Qt::Unchecked) : state;
    QStandardItem::setCheckState(newState);

    if (auto* up = dynamic_cast<KItem*>(parent())) {
        if (up->checkState() != newState)
            up->setCheckState(Qt::PartiallyChecked);
    }
    if (partialRequest)
        return;

    if (checkedChildren > 0 && newState == Qt::Unchecked) {
        for (int row = 0; row < rowCount(); ++row) {
            if (QStandardItem* item = child(row, 0))
                item->QStandardItem::setCheckState(Qt::Unchecked);
        }
    } else if (checkedChildren == 0 && newState == Qt::Checked && rowCount() > 0) {
        if (QStandardItem* first = child(0, 0))
            first->QStandardItem::setCheckState(Qt::Checked);
    }
}

void KItem::uncheckAll()
{
    QStandardItem::setCheckState(Qt::Unchecked);
    for (int row = 0; row < rowCount(); ++row) {
        if (auto* item = dynamic_cast<KItem*>(child(row, 0)))
            item->uncheckAll();
        else if (QStandardItem* plain = child(row, 0))
            plain->setCheckState(Qt::Unchecked);
    }
}

KItemModel::KItemModel(QObject* parent) : QStandardItemModel(parent), m_constraintsUse(false)
{
    setItemPrototype(new KItem);
    setConstraintsUse(true);
}

void KItemModel::setConstraintsUse(const bool& on)
{
    disconnect(this, &QStandardItemModel::itemChanged, this, &KItemModel::changeItemData);
    if (!on)
        connect(this, &QStandardItemModel::itemChanged, this, &KItemModel::changeItemData);
    m_constraintsUse = on;
}

void KItemModel::changeItemData(QStandardItem* item)
{
    auto* kitem = dynamic_cast<KItem*>(item);
    if (!kitem)
        return;
    kitem->setCheckState(kitem->checkState());
    emit itemDataChanged(kitem->text(), kitem->checkState() == Qt::Checked);
}

void KItemModel::updateChecked(const QStringList& names)
{
    QStandardItem* root = invisibleRootItem();
    for (int row = 0; row < root->rowCount(); ++row) {
        if (auto* item = dynamic_cast<KItem*>(root->child(row, 0)))
            item->uncheckAll();
    }
    // The first item of each text in depth-first order, as findNode would find it, indexed
    // once instead of searched once per name.
    QHash<QString, KItem*> firstByText;
    indexFirstByText(root, firstByText);
    for (const QString& name : names) {
        if (KItem* item = firstByText.value(name))
            item->setCheckState(Qt::Checked);
    }
}

void KItemModel::indexFirstByText(QStandardItem* item, QHash<QString, KItem*>& index)
{
    if (auto* kitem = dynamic_cast<KItem*>(item); kitem && !index.contains(kitem->text()))
        index.insert(kitem->text(), kitem);
    for (int row = 0; row < item->rowCount(); ++row) {
        if (QStandardItem* child = item->child(row, 0))
            indexFirstByText(child, index);
    }
}

KItemDelegate::KItemDelegate(QObject* parent) : QItemDelegate(parent) {}

void KItemDelegate::drawCheck(QPainter*, const QStyleOptionViewItem&, const QRect&, Qt::CheckState) const
{
}

void KItemDelegate::drawDisplay(QPainter* painter, const QStyleOptionViewItem& option,
                                const QRect& rect, const QString& text) const
{
    // The text takes the room of the check box that is not drawn.
    QItemDelegate::drawDisplay(painter, option, rect.adjusted(-20, 0, 0, 0), text);
}
