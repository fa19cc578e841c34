// A checkable tree of items (a group and its members) whose check states follow tree rules,
// its model, and a delegate that shows the text in place of the check box.
#ifndef KITEM_H
#define KITEM_H

#include <QHash>
#include <QItemDelegate>
#include <QStandardItem>
#include <QStandardItemModel>

class KItem : public QStandardItem
{
public:
    KItem();
    explicit KItem(const QString& text);

    // The tree rule: a partial request makes the item checked when one of its children is;
    // the parent follows the item's new state; unchecking an item with checked children
    // unchecks them, checking an item without any checks its first child. Called through a
    // KItem pointer (it hides QStandardItem::setCheckState).
    void setCheckState(Qt::CheckState state);
    // The item and every descendant become unchecked (plain state changes).
    void uncheckAll();

    QStandardItem* clone() const override;
};

class KItemModel : public QStandardItemModel
{
    Q_OBJECT

public:
    explicit KItemModel(QObject* parent = nullptr);

signals:
    void itemDataChanged(QString text, bool checked);

public slots:
    void changeItemData(QStandardItem* item);
    // true: the user's clicks change single boxes; false: the tree rule follows each click.
    void setConstraintsUse(const bool& on);
    void updateChecked(const QStringList& names);

private:
    static void indexFirstByText(QStandardItem* item, QHash<QString, KItem*>& index);

    bool m_constraintsUse;
};

class KItemDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    explicit KItemDelegate(QObject* parent = nullptr);

protected:
    void drawCheck(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                   Qt::CheckState state) const override;
    void drawDisplay(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                     const QString& text) const override;
};

#endif
