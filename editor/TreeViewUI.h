// A tree of groups and their elements over a checkable item model, every item addressed by its
// element name: items are added under a parent, moved and removed by name. Selected names are
// dragged as the editor's element names; a drop on a group (or beside the groups, on the root)
// moves the dropped elements there, first in the project through the main window when one is
// open, then in the tree, so the tree never shows a move the project refused.
#ifndef TREEVIEWUI_H
#define TREEVIEWUI_H

#include <QStringList>
#include <QTreeView>

class QStandardItem;
class QStandardItemModel;

class TreeViewUI : public QTreeView
{
    Q_OBJECT

public:
    explicit TreeViewUI(QWidget* parent = nullptr);

    // Adds a checkable item under the named parent (empty: at the top); false when the name is
    // empty or taken, or the parent unknown.
    bool addItem(const QString& name, const QString& parent = QString());
    // Moves the item with everything under it below another parent (empty: the top); false when
    // either is unknown or the parent lies inside the item.
    bool moveItem(const QString& name, const QString& parent);
    // Removes the item with everything under it; false when unknown.
    bool removeItem(const QString& name);
    void clearItems();

    bool contains(const QString& name) const { return find(name) != nullptr; }
    // The parent's name, empty for an item at the top or an unknown one.
    QString parentOf(const QString& name) const;
    QStringList childrenOf(const QString& name) const;
    QStringList checkedItems() const;
    QStandardItemModel* itemModel() const { return model_; }

signals:
    // Elements were moved by a drop, into the group (empty: the top).
    void itemsMoved(const QStringList& names, const QString& group);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QStandardItem* find(const QString& name) const;
    // The group a drop at that point goes into: the item under it, or the top.
    QString dropTarget(const QPoint& position) const;
    // Moves one element in the project, when a project is open.
    static bool moveInProject(const QString& name, const QString& from, const QString& to);

    QStandardItemModel* model_;
};

#endif
