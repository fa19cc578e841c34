// Flat models of the open project: KListModel lists every element with its audio format and its
// place in the tree; KTracksModel lists the tracks alone. Rows follow the project's element
// order and are announced one change at a time. GUI thread only.
#ifndef KLISTMODEL_H
#define KLISTMODEL_H

#include <QAbstractListModel>
#include <QHash>
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
    // What a structure edit can change in a row: its place and its colour.
    struct Shown {
        QString location;
        quint32 colour = 0;
        bool operator==(const Shown& other) const
        {
            return colour == other.colour && location == other.location;
        }
    };
    Shown shown(const QString& name) const;
    // Reads every row's place and colour again; with `announce`, the rows whose place or colour
    // differ from what was shown are announced by dataChanged, a run of neighbours at a time.
    void readShown(bool announce);

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
    QHash<QString, Shown> m_shown;
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
