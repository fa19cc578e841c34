// Flat models of the open project: KListModel lists every element with its audio format and its
// place in the tree; KTracksModel lists the tracks alone. Rows follow the project's element
// order and are announced one change at a time. GUI thread only.
#ifndef KLISTMODEL_H
#define KLISTMODEL_H

#include <QAbstractListModel>
#include <QPointer>
#include <QStringList>

#include "KCtrlFile.h"
#include "KNameTree.h"

class KListModel : public QAbstractListModel, private KNameTree::Listener
{
    Q_OBJECT

public:
    KListModel(KCtrlFile* document, QObject* parent = nullptr);

    void setItemBackground(bool on);
    QString modelIndexToQString(const QModelIndex& index) const;

    QModelIndex index(int row, int column = 0, const QModelIndex& parent = QModelIndex()) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

public slots:
    void setKFile(KCtrlFile* document);
    // Brings the rows in line with the project.
    void layoutChanged_slot();

protected:
    // The names the model lists, in order.
    virtual QStringList projectNames() const;
    KCtrlFile* document() const { return m_doc; }

private:
    void reset(bool loaded);
    void renamed(const QString& oldName, const QString& newName);
    QString location(const QString& name) const;

    void beginInsert(KNameTree::Node*, int first, int last) override { beginInsertRows({}, first, last); }
    void endInsert() override { endInsertRows(); }
    void beginRemove(KNameTree::Node*, int first, int last) override { beginRemoveRows({}, first, last); }
    void endRemove() override { endRemoveRows(); }
    void beginMove(KNameTree::Node*, int row, KNameTree::Node*, int toRow) override;
    void endMove() override { endMoveRows(); }

    QPointer<KCtrlFile> m_doc;
    bool m_itemBackground = false;
    bool m_loaded = false;
    KNameTree m_rows;
};

class KTracksModel : public KListModel
{
    Q_OBJECT

public:
    KTracksModel(KCtrlFile* document, QObject* parent = nullptr);

protected:
    QStringList projectNames() const override;
};

#endif
