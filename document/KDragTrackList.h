// The headerless table of the project's tracks, sorted by name, whose rows can be dragged as
// element names. Signals carry names only.
#ifndef KDRAGTRACKLIST_H
#define KDRAGTRACKLIST_H

#include <QPersistentModelIndex>
#include <QTableView>

class KCtrlFile;
class KTracksModel;
class QSortFilterProxyModel;

class KDragTrackList : public QTableView
{
    Q_OBJECT

public:
    KDragTrackList(KCtrlFile* document, QWidget* parent = nullptr);

    KTracksModel* getKModel() const { return m_model; }
    QSortFilterProxyModel* proxy() const { return m_proxy; }
    void setItemBackground(bool on);
    int getEltCount() const;
    // The names of every selected row, each once, in selection order.
    QStringList getSelectedItems() const;
    // Kept for the editor, which calls it after a rename; it selects nothing.
    void setSelection(const QStringList&) {}

public slots:
    void setKFile(KCtrlFile* document);
    void clearSel() { clearSelection(); }
    // Sorts the rows and fits every column and row to its contents.
    void modelLayoutChanged();
    void selectionChanged_slot(const QItemSelection& selected, const QItemSelection& deselected);

signals:
    void selectionChanged(QStringList names);

protected:
    using QTableView::selectionChanged;
    using QTableView::setSelection;

private:
    QStringList uniqueNames(const QModelIndexList& indexes) const;
    // Queues one fit for the changes of this turn of the event loop: a refit of
    // every row, or of the rows changed or inserted meanwhile.
    void scheduleLayout();
    void scheduleRows(int first, int last);
    void queueLayout();
    void fitQueued();
    void fitRows();

    KTracksModel* m_model;
    QSortFilterProxyModel* m_proxy;
    bool m_layoutQueued = false;
    bool m_fitAll = true;
    QList<QPersistentModelIndex> m_changedRows;
};

#endif
