// The element tree with drag and drop of element names, a selection of whole rows, expansion
// by name and, in colour mode, a colour square on group rows. Signals carry names only.
#ifndef KDRAGDROPTREEVIEW_H
#define KDRAGDROPTREEVIEW_H

#include <QPointer>
#include <QTreeView>

#include "KTreeModel.h"
#include "KTreeViewNames.h"

class KCtrlFile;
class QSortFilterProxyModel;

class KDragDropTreeView : public QTreeView
{
    Q_OBJECT

public:
    // A null model makes the view build its own tree model over the document.
    KDragDropTreeView(KCtrlFile* document, QWidget* parent = nullptr, KTreeModel* model = nullptr);

    KTreeModel* getKModel() const { return m_model; }
    QSortFilterProxyModel* proxy() const { return m_names.proxy(); }
    void setSkinOptions(const SItemSkinOptions& skin) { m_model->setSkinOptions(skin); }
    void setItemBackground(bool on) { m_model->setItemBackground(on); }
    void setColorSelection(bool on);
    QString getSelectedItem() const;
    // Opens and closes its branches as the other view shows the same elements, without
    // announcing it: a view made later starts as the views that were there before it.
    void followExpansion(const KTreeViewNames& other) { m_names.follow(other); }
    const KTreeViewNames& names() const { return m_names; }

    using QTreeView::collapse;
    using QTreeView::collapsed;
    using QTreeView::expand;
    using QTreeView::expanded;

public slots:
    void setKFile(KCtrlFile* document);
    void collapse(const QString& name);
    void expand(const QString& name);
    void modelLayoutChanged();
    void selectionChanged_slot(const QItemSelection& selected, const QItemSelection& deselected);
    void collapsed_slot(const QModelIndex& index);
    void expanded_slot(const QModelIndex& index);
    // After a drop the elements are shown where they went: their groups open and they are
    // selected, so that a drop on a closed group is seen to have worked.
    void showDropped(const QStringList& names);

signals:
    void dropOnRoot(QStringList names);
    void selectionChanged(QStringList names);
    void collapsed(QString name);
    void expanded(QString name);
    void iconClicked(QString name, QPoint globalPos);
    void clearLV();

protected:
    using QTreeView::selectionChanged;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_colorSelection = false;
    QPointer<KCtrlFile> m_doc;
    KTreeModel* m_model;
    KTreeViewNames m_names;
};

#endif
