// The element tree with a play-status check box per element and no selection. A left press on
// a row switches its element once, through the document; other buttons do nothing.
#ifndef KCHECKABLETREEVIEW_H
#define KCHECKABLETREEVIEW_H

#include <QPointer>
#include <QTreeView>

#include "KTreeModel.h"
#include "KTreeViewNames.h"

class KCtrlFile;
class QSortFilterProxyModel;

class KCheckableTreeView : public QTreeView
{
    Q_OBJECT

public:
    KCheckableTreeView(KCtrlFile* document, QWidget* parent = nullptr);

    KCheckableTreeModel* getKModel() const { return m_model; }
    QSortFilterProxyModel* proxy() const { return m_names.proxy(); }
    // Opens and closes its branches as the other view shows the same elements, without
    // announcing it: a view made later starts as the views that were there before it.
    void followExpansion(const KTreeViewNames& other) { m_names.follow(other); }
    void setSkinOptions(const SItemSkinOptions& skin) { m_model->setSkinOptions(skin); }
    void setItemBackground(bool on) { m_model->setItemBackground(on); }
    // 20 x 20 pixels at the row's depth times 20, for views that draw their own boxes.
    QRect getCheckRect(const QModelIndex& index) const;

    using QTreeView::collapse;
    using QTreeView::collapsed;
    using QTreeView::expand;
    using QTreeView::expanded;

public slots:
    void setKFile(KCtrlFile* document);
    void collapse(const QString& name);
    void expand(const QString& name);
    void modelLayoutChanged();
    void collapsed_slot(const QModelIndex& index);
    void expanded_slot(const QModelIndex& index);

signals:
    void collapsed(QString name);
    void expanded(QString name);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    KCheckableTreeModel* m_model;
    QPointer<KCtrlFile> m_doc;
    KTreeViewNames m_names;
};

#endif
